#include "charts/PictureWriters.h"

#include "common/FileIO.h"
#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gif_lib.h>
#include <jpeglib.h>
#include <vector>

namespace vrn {

namespace {

void PutLe16(std::string &out, unsigned v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutLe32(std::string &out, std::uint32_t v)
{
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

} // namespace

std::string EncodeBmp(const TExBitmap &picture)
{
    const std::uint32_t stride = static_cast<std::uint32_t>(picture.Stride());
    const std::uint64_t imageBytes = std::uint64_t(stride) * picture.Height();
    if (imageBytes + 54 > 0xFFFFFFFFu)
        throw EVrnError("Picture too large for a BMP file");
    std::string out;
    out.reserve(static_cast<std::size_t>(imageBytes) + 54);
    out += "BM";
    PutLe32(out, static_cast<std::uint32_t>(imageBytes + 54));
    PutLe32(out, 0);
    PutLe32(out, 54);
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(picture.Width()));
    PutLe32(out, static_cast<std::uint32_t>(picture.Height())); // bottom-up rows
    PutLe16(out, 1);
    PutLe16(out, 24);
    PutLe32(out, 0); // no compression
    PutLe32(out, static_cast<std::uint32_t>(imageBytes));
    PutLe32(out, 2835); // 72 dpi
    PutLe32(out, 2835);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (int y = picture.Height() - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char *>(picture.ScanLine(y)), stride);
    return out;
}

// ---- JPEG ----------------------------------------------------------------------------------

namespace {

struct TJpegWriteError
{
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegWriteError(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<TJpegWriteError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

// Nothing with a destructor lives between the setjmp and libjpeg.
bool EncodeJpegInto(jpeg_compress_struct *cinfo, TJpegWriteError *err, const TExBitmap *picture,
    unsigned char **buffer, unsigned long *size)
{
    if (setjmp(err->Jump))
        return false;
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = static_cast<JDIMENSION>(picture->Width());
    cinfo->image_height = static_cast<JDIMENSION>(picture->Height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(picture->ScanLine(static_cast<int>(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

std::string EncodeJpeg(const TExBitmap &picture)
{
    if (picture.IsEmpty())
        throw EVrnError("Cannot write a JPEG picture without pixels");
    if (picture.Width() > JPEG_MAX_DIMENSION || picture.Height() > JPEG_MAX_DIMENSION)
        throw EVrnError("Picture too large for a JPEG file");
    jpeg_compress_struct cinfo;
    TJpegWriteError err;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&err, 0, sizeof err);
    cinfo.err = jpeg_std_error(&err.Pub);
    err.Pub.error_exit = OnJpegWriteError;
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const bool ok = EncodeJpegInto(&cinfo, &err, &picture, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    std::string out;
    if (ok && buffer)
        out.assign(reinterpret_cast<const char *>(buffer), size);
    std::free(buffer);
    if (!ok)
        throw EVrnError(std::string("Cannot encode the JPEG picture: ") + err.Message);
    return out;
}

// ---- GIF -----------------------------------------------------------------------------------

namespace {

extern "C" int WriteGifBytes(GifFileType *gif, const GifByteType *buf, int n)
{
    auto *out = static_cast<std::string *>(gif->UserData);
    out->append(reinterpret_cast<const char *>(buf), static_cast<std::size_t>(n));
    return n;
}

std::string GifFailure(int code)
{
    const char *text = GifErrorString(code);
    return std::string("Cannot encode the GIF picture: ") + (text ? text : "unknown error");
}

struct TGifCloser
{
    GifFileType *Gif = nullptr;

    ~TGifCloser()
    {
        int err = 0;
        if (Gif)
            EGifCloseFile(Gif, &err);
    }
};

} // namespace

std::string EncodeGif(const TExBitmap &picture)
{
    const int w = picture.Width();
    const int h = picture.Height();
    if (picture.IsEmpty())
        throw EVrnError("Cannot write a GIF picture without pixels");
    if (w > 65535 || h > 65535)
        throw EVrnError("Picture too large for a GIF file: " + FormatInt(w) + "x" + FormatInt(h)
            + " pixels (at most 65535 each way)");
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::vector<GifByteType> red(n), green(n), blue(n), indices(n);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *p = picture.ScanLine(y);
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x, p += 3) {
            blue[row + x] = p[0];
            green[row + x] = p[1];
            red[row + x] = p[2];
        }
    }
    int mapSize = 256;
    GifColorType colours[256] = {};
    if (GifQuantizeBuffer(static_cast<unsigned>(w), static_cast<unsigned>(h), &mapSize, red.data(),
            green.data(), blue.data(), indices.data(), colours)
        != GIF_OK)
        throw EVrnError("Cannot reduce the picture to 256 colours for a GIF file");
    red = {};
    green = {};
    blue = {};

    std::string out;
    int err = 0;
    TGifCloser closer {EGifOpen(&out, WriteGifBytes, &err)};
    if (!closer.Gif)
        throw EVrnError(GifFailure(err));
    ColorMapObject *map = GifMakeMapObject(256, colours);
    if (!map)
        throw EVrnError("Cannot encode the GIF picture: out of memory");
    const int screen = EGifPutScreenDesc(closer.Gif, w, h, 8, 0, map);
    GifFreeMapObject(map);
    if (screen != GIF_OK || EGifPutImageDesc(closer.Gif, 0, 0, w, h, false, nullptr) != GIF_OK)
        throw EVrnError(GifFailure(closer.Gif->Error));
    for (int y = 0; y < h; ++y)
        if (EGifPutLine(closer.Gif, indices.data() + static_cast<std::size_t>(y) * w, w) != GIF_OK)
            throw EVrnError(GifFailure(closer.Gif->Error));
    GifFileType *gif = closer.Gif;
    closer.Gif = nullptr;
    if (EGifCloseFile(gif, &err) != GIF_OK)
        throw EVrnError(GifFailure(err));
    return out;
}

// ---- files ---------------------------------------------------------------------------------

TPictureFormat PictureFormatOf(const std::string &fileName)
{
    std::string ext = std::filesystem::path(fileName).extension().string();
    for (char &c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (ext == ".bmp")
        return TPictureFormat::Bmp;
    if (ext == ".jpg" || ext == ".jpeg")
        return TPictureFormat::Jpeg;
    if (ext == ".gif")
        return TPictureFormat::Gif;
    return TPictureFormat::None;
}

void WritePictureFile(const std::string &fileName, const TExBitmap &picture)
{
    std::string bytes;
    switch (PictureFormatOf(fileName)) {
    case TPictureFormat::Bmp:
        bytes = EncodeBmp(picture);
        break;
    case TPictureFormat::Jpeg:
        bytes = EncodeJpeg(picture);
        break;
    case TPictureFormat::Gif:
        bytes = EncodeGif(picture);
        break;
    case TPictureFormat::None:
        throw EVrnError("Save image error. Use image formats .jpg , .gif or .bmp.");
    }
    WriteFileAtomically(fileName, bytes);
}

} // namespace vrn
