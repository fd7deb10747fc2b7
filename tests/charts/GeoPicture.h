#pragma once

// A chart picture made by the tests with known georeferencing: white, with coloured dots at
// known positions, its latitude axis linear or Mercator, optionally turned by a small angle about
// its centre as a crooked scan is. The positions of its pixels follow from the construction, so
// the importer's calibration can be checked against them.

#include "charts/EXBitmap.h"
#include "charts/Mercator.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace vrn::testing {

struct TGeoDot
{
    double Lat = 0;
    double Lon = 0; // west positive
    TRgb Colour;
};

struct TGeoPicture
{
    int Width = 600;
    int Height = 450;
    bool Mercator = false;
    double TurnRad = 0; // the scan's lean: positive turns the picture clockwise on screen
    double LatTop = 50; // latitude of the top row (before the turn)
    double LonLeft = 5; // longitude of the left column (west positive)
    double PxPerDeg = 200; // pixels per degree of longitude (and of latitude when linear)
    std::vector<TGeoDot> Dots;
    TColor Background = 0xFFFFFF;

    // The pixel where a position lies on the (turned) picture.
    std::pair<double, double> PixelOf(double latDeg, double lonDeg) const
    {
        const double x = (LonLeft - lonDeg) * PxPerDeg;
        const double y = Mercator
            ? (MercatorY(LatTop) - MercatorY(latDeg)) * PxPerDeg * 180 / std::numbers::pi
            : (LatTop - latDeg) * PxPerDeg;
        const double cx = Width / 2.0, cy = Height / 2.0;
        const double c = std::cos(TurnRad), s = std::sin(TurnRad);
        return {cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c};
    }

    // Dots of 7x7 pixels on the background.
    TExBitmap Draw() const
    {
        TExBitmap b(Width, Height);
        b.FillColour(Background);
        for (const auto &d : Dots) {
            const auto [x, y] = PixelOf(d.Lat, d.Lon);
            const int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
            for (int j = iy - 3; j <= iy + 3; ++j)
                for (int i = ix - 3; i <= ix + 3; ++i)
                    if (i >= 0 && j >= 0 && i < Width && j < Height)
                        b.SetPixel(i, j, d.Colour.R, d.Colour.G, d.Colour.B);
        }
        return b;
    }

    // Five dots spread over the picture (the first three serve as reference points).
    static std::vector<TGeoDot> SpreadDots(const TGeoPicture &p)
    {
        const double lonSpan = p.Width / p.PxPerDeg;
        const double latSpan = p.Height / p.PxPerDeg * (p.Mercator ? 0.6 : 1.0);
        auto at = [&](double fx, double fy, TRgb c) {
            return TGeoDot {p.LatTop - fy * latSpan, p.LonLeft - fx * lonSpan, c};
        };
        return {at(0.2, 0.2, {255, 0, 0}), at(0.8, 0.25, {0, 160, 0}), at(0.25, 0.8, {0, 0, 255}),
            at(0.7, 0.7, {255, 0, 255}), at(0.5, 0.45, {0, 170, 170})};
    }
};

// The centre of the pixels close to a colour (each channel within tol), or none.
inline std::optional<std::pair<double, double>> FindDot(
    const TExBitmap &b, TRgb colour, int tol = 40)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TRgb p = b.GetPixel(x, y);
            if (std::abs(p.R - colour.R) <= tol && std::abs(p.G - colour.G) <= tol
                && std::abs(p.B - colour.B) <= tol) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    if (n == 0)
        return std::nullopt;
    return std::pair {sx / n, sy / n};
}

} // namespace vrn::testing
