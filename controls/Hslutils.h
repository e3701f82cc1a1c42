#pragma once
// Conversion between RGB colours (0x00BBGGRR) and hue, saturation and lightness.
//
// The fraction forms work on 0..1 for every component. The range forms work on the integer
// scale of HSLRange: hue 0..HSLRange-1, saturation and lightness 0..HSLRange. Rounding is to the
// nearest integer with halves to the even neighbour. Colours passed in must already be RGB
// (system colours resolved by the caller); the top byte is ignored.

#include <cstdint>

extern int HSLRange; // 240

void RGBtoHSL(uint32_t color, double& h, double& s, double& l);
// Components outside 0..1 are clamped first, so every channel of the result is 0..255.
uint32_t HSLtoRGB(double h, double s, double l);

void RGBtoHSLRange(uint32_t color, int& h, int& s, int& l);
uint32_t HSLRangeToRGB(int h, int s, int l);
