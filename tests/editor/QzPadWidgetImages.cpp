// Gutter image lists for the editor control's paint tests (kept apart from the control's header,
// whose mouse-button names the platform's control header also uses).

#include "platform/gui/ImageList.h"

// `count` images of 8 x 6 pixels; image i is filled with the colour 0x0000RR with RR = 0x10 * (i + 1).
TImageList* NewGutterImages(int count)
{
    auto* list = new TImageList(nullptr, 8, 6);
    for (int i = 0; i < count; ++i) {
        TBitmap bmp(8, 6);
        bmp.Canvas()->Brush->Color = static_cast<TColor>(0x10 * (i + 1));
        bmp.Canvas()->FillRect(Rect(0, 0, 8, 6));
        list->Add(bmp, nullptr);
    }
    return list;
}

void FreeGutterImages(TImageList* list)
{
    delete list;
}
