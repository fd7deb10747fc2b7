#pragma once

#include <cstdint>

namespace vrn {

// Colours are 32-bit values with red in the low byte, green in the next and blue in the third
// ($00BBGGRR), as chart files and desktops write them.
using TColor = std::uint32_t;

constexpr TColor kClRed = 0x0000FF;
constexpr TColor kClBlack = 0x000000;
constexpr TColor kClWhite = 0xFFFFFF;
constexpr TColor kClOlive = 0x008080;
constexpr TColor kClYellow = 0x00FFFF;
constexpr TColor kClNavy = 0x800000;
constexpr TColor kClGreen = 0x008000;
constexpr TColor kClAqua = 0xFFFF00;
constexpr TColor kClGray = 0x808080;

constexpr int RedOf(TColor c)
{
    return static_cast<int>(c & 0xFF);
}

constexpr int GreenOf(TColor c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}

constexpr int BlueOf(TColor c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr TColor MakeColor(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

} // namespace vrn
