// Bridges the editor control to the platform's fonts, colours and image lists.

#include "editor/widget/QzPadGraphics.h"

#include "platform/gui/Graphics.h"
#include "platform/gui/ImageList.h"

QFont QzPadMakeFont(const std::string& name, int points, bool fixedPitch)
{
    TFont font;
    font.SetName(name);
    font.SetSize(points > 0 ? points : 10);
    font.SetPitch(fixedPitch ? fpFixed : fpDefault);
    return font.ToQFont();
}

QColor QzPadColor(uint32_t color)
{
    return ToQColor(color);
}

int QzPadImageCount(const TImageList* list)
{
    return list ? list->Count() : 0;
}

int QzPadImageWidth(const TImageList* list)
{
    return list ? list->Width() : 0;
}

int QzPadImageHeight(const TImageList* list)
{
    return list ? list->Height() : 0;
}

QImage QzPadImage(const TImageList* list, int index)
{
    if (!list || index < 0 || index >= list->Count()) return QImage();
    return list->ImageAt(index);
}
