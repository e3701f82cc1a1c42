// Pagination of the editor's text into printed sheets.

#include "editor/model/QzPadPaginate.h"

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzSyntax.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

std::string LocalTime(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[64];
    const size_t n = std::strftime(buf, sizeof buf, format, &tm);
    return std::string(buf, n);
}

void ReplaceFirst(std::string& text, const std::string& macro, const std::string& value)
{
    const size_t at = text.find(macro);
    if (at != std::string::npos) text.replace(at, macro.size(), value);
}

// Millimetres to device pixels at `dpi`, to the nearest pixel (ties to even).
int MmToPixels(double mm, int dpi)
{
    return static_cast<int>(std::nearbyint(mm * dpi / 25.4));
}

}  // namespace

int TQzPrintFont::PixelSize() const
{
    return std::max(1, static_cast<int>(std::nearbyint(Points * static_cast<double>(DpiY) / 72.0)));
}

std::string TQzPadPagination::InterpretHeader(int page, const std::string& text, const std::string& fileName) const
{
    std::string s = text;
    if (s.find('%') == std::string::npos) return s;
    if (s.find("%d%") != std::string::npos) ReplaceFirst(s, "%d%", DateText ? DateText() : LocalTime("%Y-%m-%d"));
    if (s.find("%t%") != std::string::npos) ReplaceFirst(s, "%t%", TimeText ? TimeText() : LocalTime("%H:%M:%S"));
    // The file name is a native path; the header is code page 949 text.
    ReplaceFirst(s, "%F%", Cp949FromUtf8(fileName));
    ReplaceFirst(s, "%f%", Cp949FromUtf8(ExtractFileName(fileName)));
    ReplaceFirst(s, "%p%", std::to_string(page));
    return s;
}

TQzPrintFont TQzPadPagination::ApplyFont(const TQzFontDesc& desc, TQzPrintFontMetrics& metrics) const
{
    TQzPrintFont font;
    font.Desc = desc;
    font.DpiY = metrics_.DpiY > 0 ? metrics_.DpiY : 72;
    int points = desc.Size;
    if (pad_ && pad_->PrintOptions().PagesPerSheet != ppps1) points = points / 2 - 1;
    // A font of a point or less would print nothing readable and break the line arithmetic.
    font.Points = std::max(points, 1);
    metrics = measurer_->Measure(font);
    metrics.LineHeight = std::max(metrics.LineHeight, 1);
    metrics.CharWidth = std::max(metrics.CharWidth, 1);
    return font;
}

void TQzPadPagination::AddText(int x, int y, const TRect& clip, std::string text, TColor color,
                               const TQzPrintFont& font, const TQzPrintFontMetrics& m)
{
    if (text.empty() || sheets_.empty()) return;
    TQzPrintItem item;
    item.Kind = TQzPrintItem::qpiText;
    item.X = x;
    item.Y = y;
    item.Clip = clip;
    item.Text = std::move(text);
    item.Color = color == clNone ? font.Desc.Color : color;
    item.Font = font;
    item.Ascent = m.Ascent;
    item.CharWidth = m.CharWidth;
    sheets_.back().Items.push_back(std::move(item));
}

void TQzPadPagination::AddRule(int x1, int x2, int y, int penWidth, TColor color)
{
    if (sheets_.empty()) return;
    TQzPrintItem item;
    item.Kind = TQzPrintItem::qpiRule;
    item.X = x1;
    item.X2 = x2;
    item.Y = y;
    item.PenWidth = penWidth;
    item.Color = color;
    sheets_.back().Items.push_back(std::move(item));
}

void TQzPadPagination::DrawHeader(int page, int& left, int& top, int& right, int& bottom, bool draw)
{
    DrawBand(true, page, left, top, right, bottom, draw);
}

void TQzPadPagination::DrawFooter(int page, int& left, int& top, int& right, int& bottom, bool draw)
{
    DrawBand(false, page, left, top, right, bottom, draw);
}

void TQzPadPagination::DrawBand(bool header, int page, int& left, int& top, int& right, int& bottom, bool draw)
{
    if (!pad_ || !measurer_) return;
    TQzPadModel& pad = *pad_;
    const TQzPrintHeader& band = header ? pad.PrintHeader() : pad.PrintFooter();
    TQzPrintFontMetrics m;
    const TQzPrintFont font = ApplyFont(band.Font, m);
    const int lh = m.LineHeight;
    if (band.Visible) {
        const int y = header ? top : bottom - lh;
        if (draw) {
            const TRect clip(left, y, right, y + lh);
            const std::string l = InterpretHeader(page, band.TextLeft, pad.FileName());
            const std::string c = InterpretHeader(page, band.TextCenter, pad.FileName());
            const std::string r = InterpretHeader(page, band.TextRight, pad.FileName());
            AddText(left, y, clip, l, clNone, font, m);
            const int cw = static_cast<int>(c.size()) * m.CharWidth;
            AddText(left + (right - left - cw) / 2, y, clip, c, clNone, font, m);
            AddText(right - static_cast<int>(r.size()) * m.CharWidth, y, clip, r, clNone, font, m);
        }
        if (header)
            top += lh;
        else
            bottom -= lh;
    }
    if (pad.PrintOptions().PrintSeperator) {
        const int q = lh / 4;
        if (header) {
            top += q;
            if (draw) AddRule(left, right, top, 2, clBlack);
            top += 3 * q;
        } else {
            bottom -= q;
            if (draw) AddRule(left, right, bottom, 2, clBlack);
            bottom -= 3 * q;
        }
    }
}

bool TQzPadPagination::PreparePage(TQzPadModel& pad, const TQzPrinterMetrics& printer, IQzPrintMeasurer& measurer)
{
    sheets_.clear();
    pageCount_ = 0;
    metrics_ = printer;
    pad_ = &pad;
    measurer_ = &measurer;
    if (OnPaginatingStart) OnPaginatingStart(*this);

    TQzPadModel& control = pad;
    const TQzPrintOptions& opt = control.PrintOptions();
    const int dpiX = std::max(printer.DpiX, 1);
    const int dpiY = std::max(printer.DpiY, 1);
    const TRect area(MmToPixels(opt.MarginLeft, dpiX), MmToPixels(opt.MarginTop, dpiY),
                     printer.PageWidth - MmToPixels(opt.MarginRight, dpiX),
                     printer.PageHeight - MmToPixels(opt.MarginBottom, dpiY));
    const int cols = opt.PagesPerSheet == ppps1 ? 1 : 2;
    const int rows = opt.PagesPerSheet == ppps4 ? 2 : 1;
    const int cellW = area.Width() / cols;
    const int cellH = area.Height() / rows;
    const int gapX = MmToPixels(2.5, dpiX);
    const int gapY = MmToPixels(2.5, dpiY);

    const int lineCount = control.Lines().Count();
    const int fieldWidth = DecimalDigits(std::max(lineCount, 0)) + 1;
    TQzSyntax* syntax = control.Syntax();
    const bool colouring = syntax && control.HasOption(qzoHighlightSyntax);

    int col = 0, row = 0, page = 1;
    int y = 0, lh = 10, cw = 1, band = 0;
    TRect cell;
    TQzPrintFont font;
    TQzPrintFontMetrics fm;
    int state = 0;

    auto newPage = [&](std::string& text) {
        if (col == 0 && row == 0) sheets_.emplace_back();
        cell.Left = col * cellW + area.Left;
        cell.Right = cell.Left + cellW;
        cell.Top = row * cellH + area.Top;
        cell.Bottom = cell.Top + cellH;
        if (cols == 2) {
            if (col == 0) cell.Right -= gapX; else cell.Left += gapX;
        }
        if (rows == 2) {
            if (row == 0) cell.Bottom -= gapY; else cell.Top += gapY;
        }
        DrawHeader(page, cell.Left, cell.Top, cell.Right, cell.Bottom, true);
        DrawFooter(page, cell.Left, cell.Top, cell.Right, cell.Bottom, true);
        y = cell.Top;
        font = ApplyFont(opt.Font, fm);
        lh = fm.LineHeight;
        cw = fm.CharWidth;
        band = opt.PrintLineNo ? (fieldWidth + 1) * cw : 0;
        if (!text.empty() && text[0] == '\f') text.erase(0, 1);
        ++page;
        if (++col >= cols) {
            col = 0;
            if (++row >= rows) row = 0;
        }
    };

    for (int i = 0; i < lineCount; ++i) {
        std::string text = control.ExpandedLine(i);
        if (sheets_.empty() || y + lh > cell.Bottom || (!text.empty() && text[0] == '\f')) newPage(text);
        if (opt.PrintLineNo) {
            char number[32];
            std::snprintf(number, sizeof number, "%*d  ", fieldWidth, i + 1);
            AddText(cell.Left, y, TRect(cell.Left, y, cell.Left + band, y + lh), number, clNone, font, fm);
        }
        if (text.empty()) {
            y += lh;
        } else {
            std::vector<TQzSyntaxItem> tokens;
            if (colouring) {
                syntax->Parse(text, state);
                tokens = syntax->ParsedItems();
            } else {
                tokens.push_back(TQzSyntaxItem{text, clNone});
            }
            const int textLeft = cell.Left + band;
            int x = textLeft;
            if (!opt.WordWrap) {
                for (const TQzSyntaxItem& tok : tokens) {
                    if (x > cell.Right) break;
                    AddText(x, y, TRect(cell.Left, y, cell.Right, y + lh), tok.Text, tok.Color, font, fm);
                    x += static_cast<int>(tok.Text.size()) * cw;
                }
            } else {
                std::string none;
                for (const TQzSyntaxItem& tok : tokens) {
                    std::string rest = tok.Text;
                    while (!rest.empty()) {
                        const int room = (cell.Right - x) / cw;
                        if (static_cast<int>(rest.size()) <= room) {
                            AddText(x, y, TRect(cell.Left, y, cell.Right, y + lh), rest, tok.Color, font, fm);
                            x += static_cast<int>(rest.size()) * cw;
                            break;
                        }
                        int cut = std::max(room, 0);
                        if (cut > 0 && QzIsTrailAt(rest, cut)) --cut;
                        // A cell too narrow for even one character still takes one per line.
                        if (cut == 0 && x == textLeft) cut = QzCharWidthAt(rest, 0);
                        if (cut > 0) {
                            AddText(x, y, TRect(cell.Left, y, cell.Right, y + lh), rest.substr(0, static_cast<size_t>(cut)), tok.Color, font, fm);
                            rest.erase(0, static_cast<size_t>(cut));
                        }
                        y += lh;
                        if (y + lh > cell.Bottom) newPage(none);
                        x = cell.Left + band;
                    }
                }
            }
            y += lh;
        }
        bool cancel = false;
        if (OnPaginatingProgress) OnPaginatingProgress(*this, SheetCount(), cancel);
        if (cancel) {
            sheets_.clear();
            pad_ = nullptr;
            if (OnPaginatingEnd) OnPaginatingEnd(*this);
            return false;
        }
    }
    if (sheets_.empty()) {
        std::string none;
        newPage(none);
    }
    pageCount_ = page - 1;
    pad_ = nullptr;
    if (OnPaginatingEnd) OnPaginatingEnd(*this);
    return true;
}
