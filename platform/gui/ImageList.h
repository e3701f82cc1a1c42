#pragma once
// A list of equally sized images with transparency, drawn normally or embossed (disabled).
#include <QImage>
#include <vector>

#include "platform/gui/Graphics.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner = nullptr, int width = 16, int height = 16);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Clears the list and sets the size of its images.
    void SetSize(int width, int height);
    void SetWidth(int w) { SetSize(w, height_); }
    void SetHeight(int h) { SetSize(width_, h); }
    int Count() const { return static_cast<int>(images_.size()); }

    // Adds the bitmap cut into cells of Width() (a strip adds several images); `mask`, when given,
    // marks transparent pixels in white. Returns the index of the first image added, -1 when none.
    int Add(const TBitmap& image, const TBitmap* mask);
    // As Add, with the pixels of maskColor transparent.
    int AddMasked(const TBitmap& image, TColor maskColor);
    void Delete(int index);
    void Clear();
    // Copies image `index` into `bitmap` (resized to the image size) over BkColor (or white when
    // BkColor is clNone). False for a bad index.
    bool GetBitmap(int index, TBitmap& bitmap) const;
    const QImage& ImageAt(int index) const;  // ARGB; transparent pixels have alpha 0

    // Draws image `index` at (x, y); disabled images are embossed in the button highlight and
    // shadow colours. A bad index draws nothing.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
    // dsTransparent (or bkColor clNone) keeps the destination under transparent pixels; otherwise
    // they are filled with bkColor. dsFocus/dsSelected blend 25%/50% of fgColor (the highlight
    // colour when fgColor is clDefault) into the image.
    void DrawEx(TCanvas* canvas, int x, int y, int index, TColor bkColor, TColor fgColor,
                TDrawingStyle style, TImageType type = itImage) const;

    TColor BkColor = clNone;
    bool Masked = true;
    TNotifyEvent OnChange;

private:
    void Changed();
    int width_;
    int height_;
    std::vector<QImage> images_;
};
