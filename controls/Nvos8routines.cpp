#include "controls/Nvos8routines.h"

#include <algorithm>

uint32_t ShadeColor(uint32_t color, int delta)
{
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = std::clamp(static_cast<int>((color >> shift) & 0xFF) + delta, 0, 255);
        result |= static_cast<uint32_t>(c) << shift;
    }
    return result;
}

void LoadShades(uint32_t color, uint32_t (&shades)[16])
{
    for (int i = 0; i < 16; ++i)
        shades[i] = ShadeColor(color, (i - 7) * 17);
}
