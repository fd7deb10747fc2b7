#pragma once

// Encoders of TExBitmap pictures: 24-bit BMP, JPEG (libjpeg, its default quality) and GIF
// (giflib, the colours reduced to a 256-colour palette by GifQuantizeBuffer). Files are written
// like every other file of the programs: to a temporary file renamed over the target only when
// complete, so a failed write leaves the old file whole.

#include "charts/EXBitmap.h"

#include <string>

namespace vrn {

std::string EncodeBmp(const TExBitmap &picture);
std::string EncodeJpeg(const TExBitmap &picture);
// Raises EVrnError for a picture wider or higher than the 65535 pixels a GIF can hold.
std::string EncodeGif(const TExBitmap &picture);

// The format by the extension, compared without case: ".bmp", ".jpg" or ".jpeg", ".gif".
enum class TPictureFormat
{
    None,
    Bmp,
    Jpeg,
    Gif
};

TPictureFormat PictureFormatOf(const std::string &fileName);

// Writes the picture in the format of its extension. Raises EVrnError "Save image error. Use
// image formats .jpg , .gif or .bmp." for another extension, and "Cannot write file <name>"
// when the file cannot be written.
void WritePictureFile(const std::string &fileName, const TExBitmap &picture);

} // namespace vrn
