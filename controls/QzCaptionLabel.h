#pragma once
// A panel that shows one caption the way a movie player would: the caption's lines, optionally
// wrapped, aligned left, centred or right, with the markup captions carry (font colour by name or
// hexadecimal value, bold, underline). It draws into a back bitmap and copies that to the screen
// in one step. Every setter that changes a value repaints at once.
#include <memory>
#include <string>

#include "document/TarkiHash.h"
#include "platform/core/StringList.h"
#include "platform/gui/Controls.h"

enum TQzTextAlignOption { qztalLeft, qztalCenter, qztalRight };

class TQzCaptionLabel : public TCustomPanel {
public:
    explicit TQzCaptionLabel(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TQzCaptionLabel() override;

    // Left margin (and right margin for right alignment), pixels; also taken off both sides of
    // the width available for wrapping.
    int SpaceLeft() const { return spaceLeft_; }
    void SetSpaceLeft(int v);
    int SpaceTop() const { return spaceTop_; }
    void SetSpaceTop(int v);
    // Extra pixels between lines.
    int SpaceLine() const { return spaceLine_; }
    void SetSpaceLine(int v);
    // Height follows the number of lines.
    bool AutoHeight() const { return autoHeight_; }
    void SetAutoHeight(bool v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // false: break after the last blank that fits; true: break hard at the column limit.
    bool WordBreak() const { return wordBreak_; }
    void SetWordBreak(bool v);
    TQzTextAlignOption TextAlign() const { return textAlign_; }
    void SetTextAlign(TQzTextAlignOption v);
    // Adds 2 pixels to the line height.
    bool OutLine() const { return outLine_; }
    void SetOutLine(bool v);

    void Paint() override;
    void Update() override;
    void TextChanged() override;
    void Resize() override;
    void FontChanged() override;

    // Draws one laid-out line with its markup at (X, Y) and returns the x behind the last piece.
    // "</font>" returns to Font's colour. Colours and styles stay in the canvas font afterwards.
    int CaptionTextOut(TCanvas* canvas, const TFont& font, int X, int Y, const std::string& text);

    // The lines of the last layout.
    const TStringList& Lines() const { return lines_; }
    // Lays out Caption for the current width and font (what Paint draws).
    void LayoutLines();
    // Columns available for wrapping, at most 4086; 0 or less when not one column fits, and then
    // the lines are not wrapped.
    int WrapColumns() const;
    // Height of one line: -Font.Height + SpaceLine (+ 2 with OutLine).
    int LineHeight() const;

    // The colour table: upper-case name -> RRGGBB.
    const TTarkiHash& ColorNames() const { return colorNames_; }
    // A colour value of a font tag as TColor: a name of the table or 6 hexadecimal characters
    // (each channel kept within 0..255); false when the tag is to be dropped.
    bool ColorFromValue(const std::string& value, TColor& color) const;

private:
    void Changed();
    // With AutoSize or AutoHeight: the height of the laid-out lines, set at once.
    void FitHeight();
    int FittedHeight(int count) const;

    int spaceLeft_ = 0;
    int spaceTop_ = 0;
    int spaceLine_ = 2;
    bool autoHeight_ = false;
    bool autoSize_ = false;
    bool wordWrap_ = false;
    bool wordBreak_ = false;
    TQzTextAlignOption textAlign_ = qztalLeft;
    bool outLine_ = false;

    TTarkiHash colorNames_;
    TBitmap back_;
    TStringList lines_;
    TStringList tokens_;
    TStringList rawLines_;
};
