#pragma once

// Decoders of raster chart pictures into TExBitmap: JPEG (libjpeg), the first frame of a GIF
// (giflib) and BMP (uncompressed 1, 4, 8, 16, 24 and 32 bits, as scanners write them). Headers
// are validated before anything is allocated, sizes are capped at kMaxPicturePixels, and bad or
// truncated data raises EVrnError with a clear message; no decoder ever ends the process.

#include "charts/EXBitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace vrn {

TExBitmap DecodeJpeg(std::span<const std::uint8_t> data);
TExBitmap DecodeGif(std::span<const std::uint8_t> data);
TExBitmap DecodeBmp(std::span<const std::uint8_t> data);

// Picture files are streamed from disk, so a large picture is held in memory once.
TExBitmap ReadJpegFile(const std::string &path);
TExBitmap ReadGifFile(const std::string &path);
TExBitmap ReadBmpFile(const std::string &path);

} // namespace vrn
