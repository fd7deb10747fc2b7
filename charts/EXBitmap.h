#pragma once

// A 24-bit picture held in memory as blue-green-red bytes per pixel, rows padded to four bytes,
// top row first. It is the pixel buffer of raster chart pictures and of their renderings, free of
// any window system so that decoding and resampling run in worker threads and tests alike.

#include "charts/ChartColor.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vrn {

// Largest picture accepted anywhere: 2^28 pixels (about 805 MB at 24 bits).
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

struct TRgb
{
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;

    bool operator==(const TRgb &) const = default;
};

class TExBitmap
{
public:
    TExBitmap() = default;
    // A black picture. Raises EVrnError for a negative size, more than kMaxPicturePixels pixels
    // or when the memory cannot be had.
    TExBitmap(int width, int height);
    TExBitmap(const TExBitmap &other);
    TExBitmap &operator=(const TExBitmap &other);
    TExBitmap(TExBitmap &&other) noexcept;
    TExBitmap &operator=(TExBitmap &&other) noexcept;
    ~TExBitmap() = default;

    int Width() const { return FWidth; }

    int Height() const { return FHeight; }

    bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }

    std::size_t Stride() const { return FStride; }

    // Row y (0 = top) as B, G, R triples.
    std::uint8_t *ScanLine(int y) { return FData.get() + static_cast<std::size_t>(y) * FStride; }

    const std::uint8_t *ScanLine(int y) const
    {
        return FData.get() + static_cast<std::size_t>(y) * FStride;
    }

    TRgb GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    void FillColour(TColor colour);

    // The part (x, y, width, height), clipped to the picture; pixels outside stay black.
    TExBitmap Copy(int x, int y, int width, int height) const;

    // Every channel becomes ((100 - opacity)*own + opacity*other) div 100. Raises EVrnError when
    // the sizes differ or opacity is outside 0..100.
    void AlfaBlend(const TExBitmap &other, int opacity);

    // Bilinear rotation by angleRad about the centre into a picture that holds the whole turned
    // one; new corners outside the old picture stay black, neighbours outside it count as white.
    void Rotate(double angleRad);
    // The same rotation into a new picture, this one untouched: rotating a large picture needs
    // only the source and the result in memory.
    TExBitmap Rotated(double angleRad) const;

    // Half the width and height (div 2), each pixel the mean of a 2x2 block.
    void HalveSize();

private:
    int FWidth = 0;
    int FHeight = 0;
    std::size_t FStride = 0;

    struct TFree
    {
        void operator()(std::uint8_t *p) const;
    };

    // Zeroed by calloc: a large picture's pages are only touched as it is decoded, so a header
    // that promises more than the data holds costs no more than the data.
    std::unique_ptr<std::uint8_t[], TFree> FData;
};

} // namespace vrn
