// What a paint draws: the rows of the view with their background, gutter marks, line numbers,
// coloured text pieces and inverted selection spans. The widget draws exactly this.

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadModel.h"

#include <algorithm>

TQzPadPaint TQzPadModel::BuildPaint()
{
    TQzPadPaint out;
    if (updateCount_ >= 1) {
        out.Skip = true;
        return out;
    }
    LayoutEditRect();
    out.EditRect = editRect_;
    const int cw = SafeCharWidth();
    const int lh = SafeLineHeight();
    if (options_.Contains(qzoShowColumnIndicator))
        out.ColumnIndicatorX = (columnCount_ - leftCol_) * cw + editRect_.Left + 1;
    const bool colour = Colouring();
    const bool selection = GetSelectAvail();
    const TPoint s = GetSelStart();
    const TPoint e = GetSelEnd();
    const int textX = editRect_.Left - leftCol_ * cw;
    std::vector<std::pair<std::string, TColor>> items;

    const int first = std::max(topLine_, 0);
    const int last = topLine_ + VisibleLines();
    for (int i = first; i <= last; ++i) {
        TQzPadPaintLine row;
        row.Line = i;
        row.Top = editRect_.Top + (i - topLine_) * lh;
        row.Exists = lines_.IsLine(i);
        TQzLineAttribute* attr = lines_.Attribute(i);
        const bool bookmarked = attr && attr->Bookmark != -2;
        if (options_.Contains(qzoFillCurrentLine) && i == caretY_)
            row.Background = currentLineColor_;
        else
            row.Background = bookmarked ? bookmarkColor_ : color_;
        if (!row.Exists) {
            out.Lines.push_back(std::move(row));
            continue;
        }
        if (colour && !attr) {
            const bool wasLoading = loading_;
            loading_ = true;
            attr = lines_.EnsureAttribute(i, -2, false);
            loading_ = wasLoading;
        }
        const TQzLineAttribute* above = lines_.Attribute(i - 1);
        int state = above ? above->SyntaxState : 0;

        if (options_.Contains(qzoShowGutter) && attr && gutterImageCount_ > 0) {
            if (attr->Bookmark >= 0 && attr->Bookmark <= 9 && gutterImageCount_ >= 10) row.GutterImages.push_back(attr->Bookmark);
            if (attr->Wrapped && gutterImageCount_ == 11) row.GutterImages.push_back(10);
        }
        if (options_.Contains(qzoShowLineNo) && row.Top + lh <= editRect_.Bottom) {
            row.LineNumber = std::to_string(i + 1);
            row.LineNumberX = editRect_.Left - static_cast<int>(row.LineNumber.size()) * cw - 10;
        }
        const std::string line = ExpandedLine(i);
        const int len = static_cast<int>(line.size());
        if (len > maxColumn_) {
            SetMaxColumn(len);
            UpdateHorzScrollBar();
        }
        row.PageBreak = len > 0 && line[0] == '\x0C';
        row.TextFits = row.Top + lh <= editRect_.Bottom;
        if (row.TextFits) {
            int x = textX;
            if (colour) {
                SyntaxParse(line, state, items);
                for (auto& item : items) {
                    const int right = x + static_cast<int>(item.first.size()) * cw;
                    if (right >= editRect_.Left - cw) row.Tokens.push_back(TQzPadPaintToken{x, std::move(item.first), item.second});
                    x = right;
                    if (x > clientWidth_) break;
                }
            } else {
                int start = 0;
                // One column left of the view shows the visible half of a character cut by the
                // edge; a whole character left of the view is not drawn, so the text never
                // starts on a trail byte.
                if (leftCol_ > 0)
                    start = QzIsLeadAt(line, leftCol_) || QzIsTrailAt(line, leftCol_ - 1) ? leftCol_ : leftCol_ - 1;
                if (start < len) {
                    const int count = VisibleCols() + 4 + (leftCol_ > 0 ? 1 : 0);
                    row.Tokens.push_back(TQzPadPaintToken{textX + start * cw, line.substr(static_cast<size_t>(start), static_cast<size_t>(count)), clNone});
                }
                x = textX + len * cw;
            }
            if (options_.Contains(qzoShowNewLineMark) && !newLineMark_.empty() && x <= clientWidth_) {
                row.NewLineMark = true;
                row.NewLineMarkX = x;
            }
        }
        if (colour && attr) attr->SyntaxState = state;
        row.FocusRect = options_.Contains(qzoHighlightCurrentLine) && i == caretY_;

        if (selection && i >= s.Y && i <= e.Y) {
            auto colX = [&](int col) { return textX + col * cw; };
            int l = 0;
            int r = 0;
            if (blockMode_ == qzbmColumn) {
                l = colX(QzAdjustEdge(line, s.X));
                r = colX(QzAdjustEdge(line, e.X));
            } else if (s.Y == e.Y) {
                l = colX(std::min(s.X, len));
                r = colX(std::min(e.X, len));
            } else if (len == 0 && i < e.Y) {
                l = editRect_.Left;
                r = editRect_.Right;
            } else if (i == s.Y && s.X >= 1) {
                l = colX(std::min(s.X, len));
                r = editRect_.Right;
            } else if (i == e.Y) {
                l = textX;
                r = colX(std::min(e.X, len));
            } else {
                l = editRect_.Left;
                r = editRect_.Right;
            }
            l = std::max(l, editRect_.Left);
            if (r > l) row.Inverted.emplace_back(l, r);
        }
        out.Lines.push_back(std::move(row));
    }
    return out;
}
