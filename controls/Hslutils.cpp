#include "controls/Hslutils.h"

#include <algorithm>
#include <cmath>

int HSLRange = 240;

namespace {

// std::nearbyint under the default rounding mode rounds halves to even.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

double Clamp01(double v) { return std::min(1.0, std::max(0.0, v)); }

int Channel(double v) { return std::min(255, std::max(0, RoundEven(255.0 * v))); }

double HueToValue(double m1, double m2, double h)
{
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    if (6 * h < 1) return m1 + (m2 - m1) * h * 6;
    if (2 * h < 1) return m2;
    if (3 * h < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6;
    return m1;
}

} // namespace

void RGBtoHSL(uint32_t color, double& h, double& s, double& l)
{
    const double r = (color & 0xFF) / 255.0;
    const double g = ((color >> 8) & 0xFF) / 255.0;
    const double b = ((color >> 16) & 0xFF) / 255.0;
    const double mx = std::max(r, std::max(g, b));
    const double mn = std::min(r, std::min(g, b));
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = 0;
        s = 0;
        return;
    }
    const double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
}

uint32_t HSLtoRGB(double h, double s, double l)
{
    h = Clamp01(h);
    s = Clamp01(s);
    l = Clamp01(l);
    int r, g, b;
    if (s == 0) {
        r = g = b = Channel(l);
    } else {
        const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
        const double m1 = 2 * l - m2;
        r = Channel(HueToValue(m1, m2, h + 1.0 / 3.0));
        g = Channel(HueToValue(m1, m2, h));
        b = Channel(HueToValue(m1, m2, h - 1.0 / 3.0));
    }
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

void RGBtoHSLRange(uint32_t color, int& h, int& s, int& l)
{
    double hf, sf, lf;
    RGBtoHSL(color, hf, sf, lf);
    h = RoundEven(hf * (HSLRange - 1));
    s = RoundEven(sf * HSLRange);
    l = RoundEven(lf * HSLRange);
}

uint32_t HSLRangeToRGB(int h, int s, int l)
{
    return HSLtoRGB(static_cast<double>(h) / (HSLRange - 1), static_cast<double>(s) / HSLRange,
                    static_cast<double>(l) / HSLRange);
}
