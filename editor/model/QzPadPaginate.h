#pragma once
// Pagination of the editor's text for printing: lays the whole text out once into sheets, each a
// list of drawing operations in the printer's device pixels (the printed form of the sheet, which
// the widget plays back onto a printer page or a preview image).
//
// Layout: margins in millimetres from the sheet's physical edges; one, two or four logical pages
// (cells) per sheet, filled left to right, then top to bottom, with a 2.5 mm gap between cells;
// an optional header and footer line per page with the macros of InterpretHeader, an optional
// rule under (over) them; optional line numbers; syntax colours from the control's colouriser;
// long lines cut at the cell's edge or, with WordWrap, continued on the next line. A line that
// begins with a form feed (byte 12) starts a new page. Every byte of text takes one average
// character width, so a double-byte character takes two cells.
//
// Fonts are applied at the printer's vertical resolution, so point sizes print at their true
// size; with two or four pages per sheet a font of size s prints at s div 2 - 1 points (at least
// one point). Line height and character width come from a measurer that the widget provides.

#include "editor/model/QzPadModel.h"

#include <functional>
#include <string>
#include <vector>

// The printer at the start of a pagination: the physical sheet in device pixels and the dots per
// inch of each axis.
struct TQzPrinterMetrics {
    int PageWidth = 0;
    int PageHeight = 0;
    int DpiX = 0;
    int DpiY = 0;
};

// A font as applied to the sheet: the face and colour of `Desc` at `Points` points, rendered with
// a pixel height of Points * DpiY / 72 (to the nearest pixel).
struct TQzPrintFont {
    TQzFontDesc Desc;
    int Points = 10;
    int DpiY = 72;
    int PixelSize() const;
    bool operator==(const TQzPrintFont& o) const { return Desc == o.Desc && Points == o.Points && DpiY == o.DpiY; }
};

struct TQzPrintFontMetrics {
    int Ascent = 0;      // baseline below the top of the text, pixels
    int LineHeight = 0;  // character height + internal leading + external leading, pixels
    int CharWidth = 0;   // average character width, pixels; the advance of every byte
};

class IQzPrintMeasurer {
public:
    virtual ~IQzPrintMeasurer() = default;
    virtual TQzPrintFontMetrics Measure(const TQzPrintFont& font) = 0;
};

// One drawing operation of a sheet, in device pixels.
struct TQzPrintItem {
    enum TKind : uint8_t { qpiText, qpiRule };
    TKind Kind = qpiText;
    // Text: byte i of Text is drawn at X + i * CharWidth with its top at Y, clipped to Clip,
    // transparent background. Rule: a line from (X, Y) to (X2, Y) of PenWidth pixels.
    int X = 0;
    int Y = 0;
    int X2 = 0;
    TRect Clip;
    std::string Text;
    TColor Color = clBlack;  // clNone never occurs: token colours are resolved to the font's
    TQzPrintFont Font;
    int Ascent = 0;
    int CharWidth = 0;
    int PenWidth = 0;
};

struct TQzPrintSheet {
    std::vector<TQzPrintItem> Items;
};

class TQzPadPagination {
public:
    using TNotifyEvent = std::function<void(TQzPadPagination& sender)>;
    using TProgressEvent = std::function<void(TQzPadPagination& sender, int page, bool& cancel)>;

    TNotifyEvent OnPaginatingStart;
    TNotifyEvent OnPaginatingEnd;
    // Page: the number of sheets made so far; setting cancel stops after the current line.
    TProgressEvent OnPaginatingProgress;
    // The texts of "%d%" and "%t%"; without them the date is "YYYY-MM-DD" and the time
    // "HH:MM:SS" of the local clock.
    std::function<std::string()> DateText;
    std::function<std::string()> TimeText;

    // Lays out the pad's text into Sheets(); false (and no sheets) when cancelled.
    bool PreparePage(TQzPadModel& pad, const TQzPrinterMetrics& printer, IQzPrintMeasurer& measurer);
    // Expands the first occurrence of each of "%d%", "%t%", "%F%" (the file name), "%f%" (its
    // name part) and "%p%" (the page number, counting logical pages), in that order. `fileName`
    // is a native path; it is put in as code page 949 text ("?" for what that code page lacks).
    std::string InterpretHeader(int page, const std::string& text, const std::string& fileName) const;

    const std::vector<TQzPrintSheet>& Sheets() const { return sheets_; }
    int SheetCount() const { return static_cast<int>(sheets_.size()); }
    // The number of logical pages laid out by the last pagination.
    int PageCount() const { return pageCount_; }
    const TQzPrinterMetrics& Metrics() const { return metrics_; }
    void ClearPreviewPage() { sheets_.clear(); }

    // Draw the header (footer) of `page` into the cell and move its top (bottom) past the space
    // they take. With draw false only the cell moves. They act only while PreparePage runs (from
    // its events, for instance); outside it they do nothing.
    void DrawHeader(int page, int& left, int& top, int& right, int& bottom, bool draw);
    void DrawFooter(int page, int& left, int& top, int& right, int& bottom, bool draw);

private:
    struct TState;
    void DrawBand(bool header, int page, int& left, int& top, int& right, int& bottom, bool draw);
    TQzPrintFont ApplyFont(const TQzFontDesc& desc, TQzPrintFontMetrics& metrics) const;
    void AddText(int x, int y, const TRect& clip, std::string text, TColor color,
                 const TQzPrintFont& font, const TQzPrintFontMetrics& m);
    void AddRule(int x1, int x2, int y, int penWidth, TColor color);

    std::vector<TQzPrintSheet> sheets_;
    TQzPrinterMetrics metrics_;
    int pageCount_ = 0;
    // Set for the duration of PreparePage.
    TQzPadModel* pad_ = nullptr;
    IQzPrintMeasurer* measurer_ = nullptr;
};
