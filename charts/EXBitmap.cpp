#include "charts/EXBitmap.h"

#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace vrn {

TExBitmap::TExBitmap(int width, int height)
{
    if (width < 0 || height < 0)
        throw EVrnError("Invalid picture size " + FormatInt(width) + "x" + FormatInt(height));
    if (std::int64_t(width) * height > kMaxPicturePixels)
        throw EVrnError("Picture too large: " + FormatInt(width) + "x" + FormatInt(height)
            + " pixels (at most " + FormatInt(kMaxPicturePixels) + ")");
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    if (bytes > 0) {
        FData.reset(static_cast<std::uint8_t *>(std::calloc(bytes, 1)));
        if (!FData)
            throw EVrnError("Not enough memory for a picture of " + FormatInt(width) + "x"
                + FormatInt(height) + " pixels");
    }
    FWidth = width;
    FHeight = height;
    FStride = stride;
}

void TExBitmap::TFree::operator()(std::uint8_t *p) const
{
    std::free(p);
}

TExBitmap::TExBitmap(const TExBitmap &other)
    : TExBitmap(other.FWidth, other.FHeight)
{
    if (FData)
        std::memcpy(FData.get(), other.FData.get(), FStride * static_cast<std::size_t>(FHeight));
}

TExBitmap &TExBitmap::operator=(const TExBitmap &other)
{
    if (this != &other) {
        TExBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TExBitmap::TExBitmap(TExBitmap &&other) noexcept
    : FWidth(std::exchange(other.FWidth, 0))
    , FHeight(std::exchange(other.FHeight, 0))
    , FStride(std::exchange(other.FStride, 0))
    , FData(std::move(other.FData))
{ }

TExBitmap &TExBitmap::operator=(TExBitmap &&other) noexcept
{
    FWidth = std::exchange(other.FWidth, 0);
    FHeight = std::exchange(other.FHeight, 0);
    FStride = std::exchange(other.FStride, 0);
    FData = std::move(other.FData);
    return *this;
}

TRgb TExBitmap::GetPixel(int x, int y) const
{
    const std::uint8_t *p = ScanLine(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

void TExBitmap::SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    std::uint8_t *p = ScanLine(y) + 3 * x;
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

void TExBitmap::FillColour(TColor colour)
{
    const auto r = static_cast<std::uint8_t>(RedOf(colour));
    const auto g = static_cast<std::uint8_t>(GreenOf(colour));
    const auto b = static_cast<std::uint8_t>(BlueOf(colour));
    for (int y = 0; y < FHeight; ++y) {
        std::uint8_t *p = ScanLine(y);
        for (int x = 0; x < FWidth; ++x, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

TExBitmap TExBitmap::Copy(int x, int y, int width, int height) const
{
    TExBitmap out(width, height);
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min<long long>(static_cast<long long>(x) + width, FWidth);
    const int y1 = std::min<long long>(static_cast<long long>(y) + height, FHeight);
    for (int row = y0; row < y1 && x0 < x1; ++row)
        std::memcpy(out.ScanLine(row - y) + 3 * (x0 - x), ScanLine(row) + 3 * x0,
            3 * static_cast<std::size_t>(x1 - x0));
    return out;
}

void TExBitmap::AlfaBlend(const TExBitmap &other, int opacity)
{
    if (other.FWidth != FWidth || other.FHeight != FHeight)
        throw EVrnError("TExBitmap.AlfaBlend: Images must be same size");
    if (opacity < 0 || opacity > 100)
        throw EVrnError("TExBitmap.AlfaBlend: Opacity must be between 0 and 100");
    const int own = 100 - opacity;
    for (int y = 0; y < FHeight; ++y) {
        std::uint8_t *p = ScanLine(y);
        const std::uint8_t *q = other.ScanLine(y);
        for (int i = 0; i < 3 * FWidth; ++i)
            p[i] = static_cast<std::uint8_t>((own * p[i] + opacity * q[i]) / 100);
    }
}

void TExBitmap::Rotate(double angleRad)
{
    *this = Rotated(angleRad);
}

TExBitmap TExBitmap::Rotated(double angleRad) const
{
    const double s = std::sin(angleRad);
    const double c = std::cos(angleRad);
    const int w = FWidth;
    const int h = FHeight;
    const double newW = std::nearbyint(std::fabs(h * s) + std::fabs(w * c));
    const double newH = std::nearbyint(std::fabs(h * c) + std::fabs(w * s));
    TExBitmap out(static_cast<int>(newW), static_cast<int>(newH));
    // Bilinear weights in 16-bit fixed point: a scan-sized picture turns in about a second where
    // the same sums in doubles took three. The result differs from exact rounding only for
    // values within 1/65536 of a half.
    constexpr std::int64_t kOne = 1 << 16;
    constexpr double kShift = 4.0; // keeps the coordinates positive for the truncation below
    // Neighbours outside the picture count as white.
    auto edgePixel = [&](int x, int y, int k) -> std::int64_t {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return 255;
        return ScanLine(y)[3 * x + k];
    };
    for (int j = 0; j < out.FHeight; ++j) {
        std::uint8_t *dst = out.ScanLine(j);
        // Source of the new pixel (i, j): x = i*c + rowX, y = i*s + rowY.
        const double rowX = -newW / 2 * c + w / 2.0 - (j - newH / 2) * s;
        const double rowY = -newW / 2 * s + h / 2.0 + (j - newH / 2) * c;
        for (int i = 0; i < out.FWidth; ++i, dst += 3) {
            const double sx = i * c + rowX;
            const double sy = i * s + rowY;
            // floor(sx) in [-1, w) and floor(sy) in [-1, h).
            if (!(sx >= -1 && sx < w && sy >= -1 && sy < h))
                continue;
            const auto fxX =
                static_cast<std::int64_t>((sx + kShift) * kOne) - std::int64_t(kShift) * kOne;
            const auto fxY =
                static_cast<std::int64_t>((sy + kShift) * kOne) - std::int64_t(kShift) * kOne;
            const int x0 = static_cast<int>(fxX >> 16);
            const int y0 = static_cast<int>(fxY >> 16);
            const std::int64_t fx = fxX & (kOne - 1);
            const std::int64_t fy = fxY & (kOne - 1);
            if (x0 >= 0 && y0 >= 0 && x0 + 1 < w && y0 + 1 < h) {
                const std::uint8_t *p = ScanLine(y0) + 3 * x0;
                const std::uint8_t *q = p + FStride;
                for (int k = 0; k < 3; ++k) {
                    const std::int64_t top = p[k] * (kOne - fx) + p[k + 3] * fx;
                    const std::int64_t bottom = q[k] * (kOne - fx) + q[k + 3] * fx;
                    dst[k] = static_cast<std::uint8_t>(
                        (top * (kOne - fy) + bottom * fy + (std::int64_t(1) << 31)) >> 32);
                }
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                const std::int64_t top =
                    edgePixel(x0, y0, k) * (kOne - fx) + edgePixel(x0 + 1, y0, k) * fx;
                const std::int64_t bottom =
                    edgePixel(x0, y0 + 1, k) * (kOne - fx) + edgePixel(x0 + 1, y0 + 1, k) * fx;
                dst[k] = static_cast<std::uint8_t>(
                    (top * (kOne - fy) + bottom * fy + (std::int64_t(1) << 31)) >> 32);
            }
        }
    }
    return out;
}

void TExBitmap::HalveSize()
{
    TExBitmap out(FWidth / 2, FHeight / 2);
    for (int j = 0; j < out.FHeight; ++j) {
        const std::uint8_t *r0 = ScanLine(2 * j);
        const std::uint8_t *r1 = ScanLine(std::min(2 * j + 1, FHeight - 1));
        std::uint8_t *dst = out.ScanLine(j);
        for (int i = 0; i < out.FWidth; ++i) {
            const int a = 2 * i;
            const int b = std::min(2 * i + 1, FWidth - 1);
            for (int k = 0; k < 3; ++k)
                dst[3 * i + k] = static_cast<std::uint8_t>(
                    (r0[3 * a + k] + r0[3 * b + k] + r1[3 * a + k] + r1[3 * b + k]) / 4);
        }
    }
    *this = std::move(out);
}

} // namespace vrn
