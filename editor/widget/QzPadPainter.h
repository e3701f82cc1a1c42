#pragma once
// Draws one paint of the editor control (what TQzPadModel::BuildPaint describes) into an image:
// the gutter and number bands, line backgrounds, bookmark images, line numbers, the column
// indicator, page-break rules, the coloured text with every character at its column (a
// double-byte character covers two columns), the new-line mark, the current-line frame and the
// inverted selection.

#include "editor/model/QzPadModel.h"

#include <QFont>
#include <QImage>
#include <QRawFont>

class TImageList;

class TQzPadPainter {
public:
    // `font` is the control's screen font; its metrics must be those the model was given.
    void SetFont(const QFont& font);

    // Paints into `image` (already sized to the client area, format RGB32).
    void Paint(QImage& image, const TQzPadPaint& paint, const TQzPadModel& model,
               const TImageList* gutterImages);

private:
    struct TInversion {
        int Left, Top, Right, Bottom;
    };
    void DrawText(QPainter& p, int x, int top, const std::string& bytes, int charWidth, const QColor& color);

    QFont font_;
    QRawFont raw_;
    int ascent_ = 0;
    std::vector<TInversion> inversions_;
    std::vector<std::pair<int, int>> dots_;  // single inverted pixels of focus frames
};
