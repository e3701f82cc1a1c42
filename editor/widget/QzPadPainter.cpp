// Painting of the editor control into its off-screen image.

#include "editor/widget/QzPadPainter.h"

#include "editor/widget/QzPadGraphics.h"
#include "platform/gui/QtText.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>

#include <algorithm>

void TQzPadPainter::SetFont(const QFont& font)
{
    font_ = font;
    raw_ = QRawFont::fromFont(font_);
    ascent_ = QFontMetrics(font_).ascent();
}

// Each character is placed at its own column: byte i of `bytes` starts at x + i * charWidth, and
// a double-byte character is drawn at its lead byte and covers two columns. Characters the face
// has no glyph for are drawn through Qt's font fallback, still at their column. Control bytes
// take their column and draw nothing.
void TQzPadPainter::DrawText(QPainter& p, int x, int top, const std::string& bytes, int charWidth,
                             const QColor& color)
{
    QString chars;
    QVector<QPointF> positions;
    chars.reserve(static_cast<int>(bytes.size()));
    positions.reserve(static_cast<int>(bytes.size()));
    const qreal baseline = top + ascent_;
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const qreal cx = x + static_cast<qreal>(i) * charWidth;
        if (b >= 0x80) {
            if (i + 1 < n) {
                const char16_t u = Cp949CharToUnicode(b, static_cast<unsigned char>(bytes[i + 1]));
                chars.append(QChar(u ? u : char16_t(0xFFFD)));
                positions.append(QPointF(cx, baseline));
            }
            i += 2;
            continue;
        }
        if (b > ' ' && b != 0x7F) {
            chars.append(QChar(b));
            positions.append(QPointF(cx, baseline));
        }
        ++i;
    }
    if (chars.isEmpty()) return;
    p.setPen(color);
    QVector<quint32> glyphs = raw_.isValid() ? raw_.glyphIndexesForString(chars) : QVector<quint32>();
    if (glyphs.size() != chars.size()) glyphs = QVector<quint32>(chars.size(), 0);
    QVector<quint32> runGlyphs;
    QVector<QPointF> runPositions;
    runGlyphs.reserve(glyphs.size());
    runPositions.reserve(glyphs.size());
    for (int k = 0; k < chars.size(); ++k) {
        if (glyphs[k] != 0) {
            runGlyphs.append(glyphs[k]);
            runPositions.append(positions[k]);
        } else {
            p.setFont(font_);
            p.drawText(positions[k], QString(chars[k]));
        }
    }
    if (!runGlyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(runGlyphs);
        run.setPositions(runPositions);
        p.drawGlyphRun(QPointF(0, 0), run);
    }
}

void TQzPadPainter::Paint(QImage& image, const TQzPadPaint& paint, const TQzPadModel& model,
                          const TImageList* gutterImages)
{
    if (paint.Skip || image.isNull()) return;
    inversions_.clear();
    dots_.clear();
    const int width = image.width();
    const int height = image.height();
    const TRect& er = paint.EditRect;
    const int cw = std::max(model.CharWidth(), 1);
    const int lh = std::max(model.LineHeight(), 1);
    const bool gutter = model.HasOption(qzoShowGutter);
    const bool lineNo = model.HasOption(qzoShowLineNo);
    const int gw = model.GutterWidth();
    const QColor color = QzPadColor(model.Color());
    const QColor gutterColor = QzPadColor(model.GutterColor());
    const QColor lineNoColor = QzPadColor(model.LineNoColor());
    const QColor fontColor = QzPadColor(model.Font().Color);
    const int bandLeft = gutter ? gw : 0;
    const int bandRight = er.Left - 4;
    const int textTop = model.LineSpace() / 2 + 1;

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font_);
    auto vline = [&](int x, int top, int bottom, const QColor& c) {
        if (bottom > top) p.fillRect(QRect(x, top, 1, bottom - top), c);
    };

    // The bands above and below the text lines.
    const int below = er.Bottom;
    if (gutter) {
        p.fillRect(QRect(0, 0, gw, er.Top), gutterColor);
        p.fillRect(QRect(0, below, gw, std::max(height - below, 0)), gutterColor);
        vline(gw - 3, 0, er.Top, color);
        vline(gw - 3, below, height, color);
    }
    if (lineNo && bandRight > bandLeft) {
        p.fillRect(QRect(bandLeft, 0, bandRight - bandLeft, er.Top), lineNoColor);
        p.fillRect(QRect(bandLeft, below, bandRight - bandLeft, std::max(height - below, 0)), lineNoColor);
        vline(er.Left - 7, 0, er.Top, color);
        vline(er.Left - 7, below, height, color);
    }
    p.fillRect(QRect(er.Left - 4, 0, std::max(width - (er.Left - 4), 0), er.Top), color);
    p.fillRect(QRect(er.Left - 4, 0, 4, height), color);
    if (er.Right < width) p.fillRect(QRect(er.Right, 0, width - er.Right, height), color);
    if (paint.ColumnIndicatorX >= 0) vline(paint.ColumnIndicatorX, 0, er.Top, gutterColor);

    const int imageCount = gutterImages ? QzPadImageCount(gutterImages) : 0;
    const int imageW = gutterImages ? QzPadImageWidth(gutterImages) : 0;
    const int imageH = gutterImages ? QzPadImageHeight(gutterImages) : 0;
    const QRect clip(er.Left, er.Top, std::max(er.Width(), 0), std::max(er.Height(), 0));

    for (const TQzPadPaintLine& row : paint.Lines) {
        const int top = row.Top;
        const int bottom = top + lh;
        if (top >= height) break;
        // Background of the row.
        if (gutter) {
            p.fillRect(QRect(0, top, gw, lh), gutterColor);
            vline(gw - 3, top, bottom, color);
        }
        if (lineNo && bandRight > bandLeft) {
            p.fillRect(QRect(bandLeft, top, bandRight - bandLeft, lh), lineNoColor);
            vline(er.Left - 7, top, bottom, color);
        }
        p.fillRect(QRect(er.Left - 4, top, std::max(er.Right - (er.Left - 4), 0), lh), QzPadColor(row.Background));
        if (paint.ColumnIndicatorX >= 0) vline(paint.ColumnIndicatorX, top, bottom, gutterColor);
        if (!row.Exists) continue;

        int ix = 2;
        for (int index : row.GutterImages) {
            if (index >= imageCount) continue;
            p.drawImage(ix, top + (lh - imageH) / 2, QzPadImage(gutterImages, index));
            ix += imageW + 2;
        }
        if (!row.LineNumber.empty()) {
            p.setPen(fontColor);
            p.drawText(QPointF(row.LineNumberX, top + ascent_), QString::fromLatin1(row.LineNumber.c_str()));
        }
        if (row.PageBreak) {
            const QColor c = QzPadColor(model.PageBreakLineColor());
            for (int x = er.Left; x < er.Right; x += 2) p.fillRect(QRect(x, top, 1, 1), c);
        }
        if (row.TextFits) {
            p.save();
            p.setClipRect(clip);
            for (const TQzPadPaintToken& t : row.Tokens)
                DrawText(p, t.X, top + textTop, t.Text, cw, t.Color == clNone ? fontColor : QzPadColor(t.Color));
            if (row.NewLineMark) {
                p.setPen(QzPadColor(model.NewLineMarkColor()));
                p.setFont(font_);
                p.drawText(QPointF(row.NewLineMarkX, top + textTop + ascent_), Cp949ToQString(model.NewLineMark()));
            }
            p.restore();
        }
        if (row.FocusRect) {
            // A dotted frame: every other pixel of its border, inverted.
            const int l = er.Left - 4;
            const int r = er.Right + 1;
            for (int x = l; x < r; ++x) {
                if (((x - l) & 1) == 0) {
                    dots_.emplace_back(x, top);
                    dots_.emplace_back(x, bottom - 1);
                }
            }
            for (int y = top + 1; y < bottom - 1; ++y) {
                if (((y - top) & 1) == 0) {
                    dots_.emplace_back(l, y);
                    dots_.emplace_back(r - 1, y);
                }
            }
        }
        for (const auto& span : row.Inverted) inversions_.push_back({span.first, top, span.second, bottom});
    }
    p.end();

    // Inversions commute with each other and touch no pixel drawn by a later row, so they are
    // applied once the drawing is done.
    auto invert = [&](int x, int y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        line[x] ^= 0x00FFFFFFu;
    };
    for (const TInversion& r : inversions_) {
        const int l = std::max(r.Left, 0);
        const int rr = std::min(r.Right, width);
        const int t = std::max(r.Top, 0);
        const int b = std::min(r.Bottom, height);
        for (int y = t; y < b; ++y)
            for (int x = l; x < rr; ++x) invert(x, y);
    }
    for (const auto& d : dots_)
        if (d.first >= 0 && d.first < width && d.second >= 0 && d.second < height) invert(d.first, d.second);
}
