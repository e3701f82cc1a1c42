#pragma once
// The few graphics services of the platform layer that the editor control uses (font faces,
// colours, image lists), reached through plain Qt types. This header deliberately includes no
// platform geometry header, so it can sit next to the editor model's own position types.

#include <QColor>
#include <QFont>
#include <QImage>

#include <cstdint>
#include <string>

class TImageList;

// The Qt font for a face name (code page 949 bytes) and a size in points, with the platform's
// face substitution (a fixed-pitch request gets a fixed-pitch, Hangul-capable face). No
// antialiasing, so painted pixels are exact.
QFont QzPadMakeFont(const std::string& name, int points, bool fixedPitch);

// A colour value 0x00BBGGRR or a system colour (0x80000000 + index) as a Qt colour.
QColor QzPadColor(uint32_t color);

// The image list's images: count, cell size, and image i (a null image for a bad index).
int QzPadImageCount(const TImageList* list);
int QzPadImageWidth(const TImageList* list);
int QzPadImageHeight(const TImageList* list);
QImage QzPadImage(const TImageList* list, int index);
