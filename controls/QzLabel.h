#pragma once
// A text label that paints into a bitmap first and copies the result to the screen in one step,
// with an optional frame and text effects (raised, sunken, heavy, shadowed, rotated text). Its
// mouse-enter and mouse-leave events let a handler change the look and ask for one repaint.
#include <memory>
#include <string>

#include "controls/QzCaptionStyle.h"
#include "controls/QzFrame.h"
#include "controls/common/Qzcommon.h"
#include "platform/gui/Controls.h"

class TQzLabel : public TGraphicControl {
public:
    explicit TQzLabel(QWidget* parent = nullptr, TComponent* owner = nullptr);
    ~TQzLabel() override;

    // "TQzLabel,1.0"; writing it does nothing.
    std::string About() const;
    void SetAbout(const std::string&) {}

    TQzFrame* Frame() { return frame_.get(); }
    // Copies the settings of `frame` into the label's own frame and repaints at once.
    void SetFrame(const TQzFrame& frame);
    TQzCaptionStyle* CaptionStyle() { return captionStyle_.get(); }
    // Copies the settings of `style` into the label's own style (which repaints).
    void SetCaptionStyle(const TQzCaptionStyle& style);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    // The label takes the size of its text whenever the text or the font changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    // A transparent label leaves its background unfilled, so the parent's background shows.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    TControl* FocusControl = nullptr;

    // Painting is suspended while an update is open; EndUpdate of the last one repaints at once.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // These take the place of the control's plain enter and leave events. The handler may set
    // Changed to ask for one repaint.
    TQzNotifyHighlight OnMouseEnter;
    TQzNotifyHighlight OnMouseLeave;

    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void TextChanged() override;
    void FontChanged() override;

    // The size AutoSize gives the label for the current caption, font and WordWrap.
    void AdjustBounds();

private:
    void Refresh(TObject*);
    unsigned TextFlags() const;
    void Highlight(const TQzNotifyHighlight& handler);

    std::unique_ptr<TQzFrame> frame_;
    std::unique_ptr<TQzCaptionStyle> captionStyle_;
    int updateCount_ = 0;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool autoSize_ = true;
    bool showAccelChar_ = true;
    bool transparent_ = false;
    bool wordWrap_ = false;
};
