#include "platform/gui/ImageList.h"

#include <QPainter>
#include <algorithm>

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(std::max(1, width)), height_(std::max(1, height))
{
}

void TImageList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TImageList::SetSize(int width, int height)
{
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    images_.clear();
    Changed();
}

namespace {

// Cuts `src` into cells of w x h, making the pixels that `transparent` selects fully transparent.
template <typename Pred>
std::vector<QImage> Cut(const QImage& src, int w, int h, Pred transparent)
{
    std::vector<QImage> out;
    const int cells = std::max(1, src.width() / w);
    for (int c = 0; c < cells; ++c) {
        QImage cell(w, h, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        for (int y = 0; y < h && y < src.height(); ++y)
            for (int x = 0; x < w && c * w + x < src.width(); ++x) {
                const QRgb px = src.pixel(c * w + x, y);
                if (!transparent(c * w + x, y, px))
                    cell.setPixel(x, y, px | 0xFF000000u);
            }
        out.push_back(cell);
    }
    return out;
}

}  // namespace

int TImageList::Add(const TBitmap& image, const TBitmap* mask)
{
    if (image.Empty())
        return -1;
    const QImage& src = image.Image();
    const QImage* m = mask && !mask->Empty() ? &mask->Image() : nullptr;
    const int first = Count();
    for (QImage& cell : Cut(src, width_, height_, [&](int x, int y, QRgb) {
             return m && x < m->width() && y < m->height() && (m->pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
         }))
        images_.push_back(std::move(cell));
    Changed();
    return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor)
{
    if (image.Empty())
        return -1;
    const QRgb key = ToQColor(maskColor).rgb() & 0xFFFFFF;
    const int first = Count();
    for (QImage& cell : Cut(image.Image(), width_, height_,
                            [&](int, int, QRgb px) { return maskColor != clNone && (px & 0xFFFFFF) == key; }))
        images_.push_back(std::move(cell));
    Changed();
    return first;
}

void TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    images_.erase(images_.begin() + index);
    Changed();
}

void TImageList::Clear()
{
    images_.clear();
    Changed();
}

const QImage& TImageList::ImageAt(int index) const
{
    static const QImage empty;
    return index >= 0 && index < Count() ? images_[static_cast<size_t>(index)] : empty;
}

bool TImageList::GetBitmap(int index, TBitmap& bitmap) const
{
    if (index < 0 || index >= Count())
        return false;
    QImage out(width_, height_, QImage::Format_RGB32);
    out.fill(ToQColor(BkColor == clNone ? clWhite : BkColor));
    {
        QPainter p(&out);
        p.drawImage(0, 0, images_[static_cast<size_t>(index)]);
    }
    bitmap.SetImage(out);
    return true;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count() || !canvas)
        return;
    const QImage& img = images_[static_cast<size_t>(index)];
    if (enabled) {
        canvas->DrawImage(x, y, img);
        return;
    }
    // Embossed: the shape (opaque pixels that are not white) in the highlight colour one pixel
    // down-right, then in the shadow colour in place.
    TBitmap mask(width_, height_);
    for (int j = 0; j < height_; ++j)
        for (int i = 0; i < width_; ++i) {
            const QRgb px = img.pixel(i, j);
            const bool shape = qAlpha(px) != 0 && (px & 0xFFFFFF) != 0xFFFFFF;
            mask.SetPixel(i, j, shape ? clBlack : clWhite);
        }
    canvas->FillMasked(x + 1, y + 1, width_, height_, mask, 0, 0, clBtnHighlight);
    canvas->FillMasked(x, y, width_, height_, mask, 0, 0, clBtnShadow);
}

void TImageList::DrawEx(TCanvas* canvas, int x, int y, int index, TColor bkColor, TColor fgColor,
                        TDrawingStyle style, TImageType type) const
{
    if (index < 0 || index >= Count() || !canvas)
        return;
    QImage img = images_[static_cast<size_t>(index)];
    if (type == itMask) {
        QImage m(width_, height_, QImage::Format_ARGB32);
        for (int j = 0; j < height_; ++j)
            for (int i = 0; i < width_; ++i)
                m.setPixel(i, j, qAlpha(img.pixel(i, j)) ? 0xFF000000u : 0xFFFFFFFFu);
        img = m;
    }
    if (style == dsFocus || style == dsSelected) {
        const QColor blend = ToQColor(fgColor == clDefault || fgColor == clNone ? clHighlight : fgColor);
        const int part = style == dsFocus ? 25 : 50;
        for (int j = 0; j < img.height(); ++j)
            for (int i = 0; i < img.width(); ++i) {
                const QRgb px = img.pixel(i, j);
                if (!qAlpha(px))
                    continue;
                auto mix = [&](int a, int b) { return (a * (100 - part) + b * part) / 100; };
                img.setPixel(i, j, qRgb(mix(qRed(px), blend.red()), mix(qGreen(px), blend.green()),
                                        mix(qBlue(px), blend.blue())));
            }
    }
    if (style != dsTransparent && bkColor != clNone) {
        QImage back(img.size(), QImage::Format_ARGB32);
        back.fill(ToQColor(bkColor));
        QPainter p(&back);
        p.drawImage(0, 0, img);
        p.end();
        img = back;
    }
    canvas->DrawImage(x, y, img);
}
