#pragma once
// The shade ramp of the shaded push button: 16 shades of one base colour.

#include <cstdint>

// `color` read as raw bytes (red lowest, then green, blue; the top byte ignored): each channel
// moves by `delta` and is clamped to 0..255. Result is 0x00BBGGRR.
uint32_t ShadeColor(uint32_t color, int delta);

// shades[i] = ShadeColor(color, (i - 7) * 17) for i = 0..15: index 0 darkest, 7 the base colour.
void LoadShades(uint32_t color, uint32_t (&shades)[16]);
