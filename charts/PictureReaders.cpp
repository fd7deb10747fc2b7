#include "charts/PictureReaders.h"

#include "charts/ChartPaths.h"
#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <jerror.h>
#include <jpeglib.h>
#include <memory>
#include <vector>

namespace vrn {

namespace {

void CheckPictureSize(long long width, long long height, const char *kind)
{
    if (width <= 0 || height <= 0)
        throw EVrnError(std::string(kind) + " picture has no pixels (" + FormatInt(width) + "x"
            + FormatInt(height) + ")");
    if (width * height > kMaxPicturePixels)
        throw EVrnError(std::string(kind) + " picture too large: " + FormatInt(width) + "x"
            + FormatInt(height) + " pixels (at most " + FormatInt(kMaxPicturePixels) + ")");
}

// Sequential byte source over memory or a file.
class TByteSource
{
public:
    virtual ~TByteSource() = default;
    virtual std::size_t Read(void *buf, std::size_t n) = 0;

    bool ReadExact(void *buf, std::size_t n) { return Read(buf, n) == n; }

    bool Skip(std::size_t n)
    {
        std::uint8_t tmp[4096];
        while (n > 0) {
            const std::size_t k = std::min(n, sizeof tmp);
            if (Read(tmp, k) != k)
                return false;
            n -= k;
        }
        return true;
    }
};

class TMemorySource : public TByteSource
{
public:
    explicit TMemorySource(std::span<const std::uint8_t> data)
        : FData(data)
    { }

    std::size_t Read(void *buf, std::size_t n) override
    {
        const std::size_t k = std::min(n, FData.size() - FPos);
        if (k > 0)
            std::memcpy(buf, FData.data() + FPos, k);
        FPos += k;
        return k;
    }

private:
    std::span<const std::uint8_t> FData;
    std::size_t FPos = 0;
};

class TFileSource : public TByteSource
{
public:
    explicit TFileSource(std::FILE *f)
        : FFile(f)
    { }

    std::size_t Read(void *buf, std::size_t n) override { return std::fread(buf, 1, n, FFile); }

private:
    std::FILE *FFile;
};

// ---- JPEG ----------------------------------------------------------------------------------

struct TJpegError
{
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<TJpegError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

// libjpeg pads a truncated stream with a fake end marker and only warns; a chart must not be
// shown half grey, so the end-of-file warning is an error. Other warnings are tolerated.
extern "C" void OnJpegMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        OnJpegError(cinfo);
}

// The setjmp lives here with nothing but plain data between it and libjpeg, so the longjmp of
// the error handler skips no destructor. Returns false with the message in err.
bool DecodeJpegInto(
    jpeg_decompress_struct *cinfo, TJpegError *err, TExBitmap *out, std::string *failure)
{
    if (setjmp(err->Jump)) {
        *failure = err->Message;
        return false;
    }
    jpeg_read_header(cinfo, TRUE);
    const long long w = cinfo->image_width;
    const long long h = cinfo->image_height;
    try {
        CheckPictureSize(w, h, "JPEG");
        *out = TExBitmap(static_cast<int>(w), static_cast<int>(h));
    } catch (const EVrnError &e) {
        *failure = e.what();
        return false;
    }
    cinfo->out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != w || cinfo->output_height != h || cinfo->output_components != 3) {
        *failure = "unexpected JPEG output format";
        return false;
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->ScanLine(static_cast<int>(cinfo->output_scanline));
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
            *failure = "JPEG data ends early";
            return false;
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

template <class SetSource>
TExBitmap DecodeJpegWith(SetSource setSource)
{
    jpeg_decompress_struct cinfo;
    TJpegError err;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&err, 0, sizeof err);
    cinfo.err = jpeg_std_error(&err.Pub);
    err.Pub.error_exit = OnJpegError;
    err.Pub.emit_message = OnJpegMessage;
    jpeg_create_decompress(&cinfo);
    setSource(&cinfo);
    TExBitmap out;
    std::string failure;
    const bool ok = DecodeJpegInto(&cinfo, &err, &out, &failure);
    jpeg_destroy_decompress(&cinfo);
    if (!ok)
        throw EVrnError("Invalid JPEG picture: " + failure);
    return out;
}

// ---- GIF -----------------------------------------------------------------------------------

extern "C" int ReadGifBytes(GifFileType *gif, GifByteType *buf, int n)
{
    auto *src = static_cast<TByteSource *>(gif->UserData);
    return n <= 0 ? 0 : static_cast<int>(src->Read(buf, static_cast<std::size_t>(n)));
}

struct TGifCloser
{
    void operator()(GifFileType *g) const
    {
        int err = 0;
        DGifCloseFile(g, &err);
    }
};

[[noreturn]] void GifFailure(int code)
{
    const char *text = GifErrorString(code);
    throw EVrnError(std::string("Invalid GIF picture: ") + (text ? text : "unknown error"));
}

TExBitmap DecodeGifFrom(TByteSource &src)
{
    int err = 0;
    std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&src, ReadGifBytes, &err));
    if (!gif)
        GifFailure(err);
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            GifFailure(gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            throw EVrnError("Invalid GIF picture: no image in the file");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                GifFailure(gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1))
                transparent = block[4];
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    GifFailure(gif->Error);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            GifFailure(gif->Error);
        const GifImageDesc &d = gif->Image;
        CheckPictureSize(d.Width, d.Height, "GIF");
        // The picture is the first frame itself: a logical screen far larger than its frame
        // would only be background, and a few hostile bytes could ask for hundreds of megabytes.
        const long long cw = d.Width;
        const long long ch = d.Height;
        const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || !map->Colors || map->ColorCount <= 0)
            throw EVrnError("Invalid GIF picture: no colour table");
        TExBitmap out(static_cast<int>(cw), static_cast<int>(ch));
        TColor bg = kClWhite;
        if (gif->SColorMap && gif->SBackGroundColor >= 0
            && gif->SBackGroundColor < gif->SColorMap->ColorCount
            && gif->SBackGroundColor != transparent) {
            const GifColorType c = gif->SColorMap->Colors[gif->SBackGroundColor];
            bg = MakeColor(c.Red, c.Green, c.Blue);
        }
        // Rows are filled with the background as they are decoded, so a truncated file never
        // costs a pass over the whole picture.
        auto fillRow = [&](int y) {
            std::uint8_t *p = out.ScanLine(y);
            for (long long x = 0; x < cw; ++x, p += 3) {
                p[0] = static_cast<std::uint8_t>(BlueOf(bg));
                p[1] = static_cast<std::uint8_t>(GreenOf(bg));
                p[2] = static_cast<std::uint8_t>(RedOf(bg));
            }
        };
        std::vector<GifPixelType> line(static_cast<std::size_t>(d.Width));
        auto putRow = [&](int row) {
            if (DGifGetLine(gif.get(), line.data(), d.Width) == GIF_ERROR)
                GifFailure(gif->Error);
            fillRow(row);
            std::uint8_t *dst = out.ScanLine(row);
            for (int x = 0; x < d.Width; ++x, dst += 3) {
                const int k = line[static_cast<std::size_t>(x)];
                if (k == transparent)
                    continue;
                // An index beyond the table is corrupt data; it is drawn black, never read.
                const GifColorType c =
                    k < map->ColorCount ? map->Colors[k] : GifColorType {0, 0, 0};
                dst[0] = c.Blue;
                dst[1] = c.Green;
                dst[2] = c.Red;
            }
        };
        if (d.Interlace) {
            constexpr int offsets[] = {0, 4, 2, 1};
            constexpr int steps[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int row = offsets[pass]; row < d.Height; row += steps[pass])
                    putRow(row);
        } else {
            for (int row = 0; row < d.Height; ++row)
                putRow(row);
        }
        return out;
    }
}

// ---- BMP -----------------------------------------------------------------------------------

std::uint32_t U32(const std::uint8_t *p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t U16(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

[[noreturn]] void BmpFailure(const std::string &why)
{
    throw EVrnError("Invalid BMP picture: " + why);
}

// One channel of a bit-field pixel scaled to 0..255.
struct TBitField
{
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0;

    explicit TBitField(std::uint32_t mask = 0)
        : Mask(mask)
    {
        if (mask == 0)
            return;
        while (!((mask >> Shift) & 1))
            ++Shift;
        Max = mask >> Shift;
    }

    std::uint8_t Of(std::uint32_t v) const
    {
        if (Max == 0)
            return 0;
        return static_cast<std::uint8_t>(((v & Mask) >> Shift) * 255ULL / Max);
    }
};

TExBitmap DecodeBmpFrom(TByteSource &src)
{
    std::uint8_t fh[14];
    if (!src.ReadExact(fh, sizeof fh))
        BmpFailure("the file is truncated");
    if (fh[0] != 'B' || fh[1] != 'M')
        BmpFailure("not a bitmap file");
    const std::uint32_t offBits = U32(fh + 10);
    std::uint8_t ih[124] = {};
    if (!src.ReadExact(ih, 4))
        BmpFailure("the file is truncated");
    const std::uint32_t ihSize = U32(ih);
    if (ihSize != 12 && ihSize != 40 && ihSize != 52 && ihSize != 56 && ihSize != 64
        && ihSize != 108 && ihSize != 124)
        BmpFailure("unknown header size " + FormatInt(ihSize));
    if (!src.ReadExact(ih + 4, ihSize - 4))
        BmpFailure("the file is truncated");
    long long width = 0, height = 0;
    int planes = 0, bits = 0;
    std::uint32_t compression = 0, colorsUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    if (ihSize == 12) {
        width = U16(ih + 4);
        height = static_cast<std::int16_t>(U16(ih + 6));
        planes = U16(ih + 8);
        bits = U16(ih + 10);
    } else {
        width = static_cast<std::int32_t>(U32(ih + 4));
        height = static_cast<std::int32_t>(U32(ih + 8));
        planes = U16(ih + 12);
        bits = U16(ih + 14);
        compression = U32(ih + 16);
        colorsUsed = U32(ih + 32);
        if (ihSize >= 52) {
            masks[0] = U32(ih + 40);
            masks[1] = U32(ih + 44);
            masks[2] = U32(ih + 48);
        }
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1)
        BmpFailure("bad plane count " + FormatInt(planes));
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        BmpFailure("unsupported bit count " + FormatInt(bits));
    constexpr std::uint32_t biRgb = 0, biBitfields = 3;
    if (compression != biRgb && !(compression == biBitfields && (bits == 16 || bits == 32)))
        BmpFailure("unsupported compression " + FormatInt(compression));
    CheckPictureSize(width, height, "BMP");
    std::size_t consumed = 14 + ihSize;
    if (compression == biBitfields && ihSize == 40) {
        std::uint8_t m[12];
        if (!src.ReadExact(m, sizeof m))
            BmpFailure("the file is truncated");
        masks[0] = U32(m);
        masks[1] = U32(m + 4);
        masks[2] = U32(m + 8);
        consumed += 12;
    }
    if (compression == biRgb && bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (compression == biRgb && bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    std::vector<GifColorType> palette;
    if (bits <= 8) {
        const std::uint32_t maxColors = 1u << bits;
        const std::uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors)
            BmpFailure(
                "palette of " + FormatInt(count) + " colours for " + FormatInt(bits) + " bits");
        const std::size_t entry = ihSize == 12 ? 3 : 4;
        std::vector<std::uint8_t> raw(count * entry);
        if (!src.ReadExact(raw.data(), raw.size()))
            BmpFailure("the file is truncated");
        consumed += raw.size();
        palette.resize(maxColors, GifColorType {0, 0, 0});
        for (std::uint32_t i = 0; i < count; ++i)
            palette[i] = {raw[i * entry + 2], raw[i * entry + 1], raw[i * entry]};
    }
    if (offBits < consumed)
        BmpFailure("pixel data overlaps the header");
    if (!src.Skip(offBits - consumed))
        BmpFailure("the file is truncated");
    const TBitField red(masks[0]), green(masks[1]), blue(masks[2]);
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    TExBitmap out(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint8_t> row(rowBytes);
    for (long long r = 0; r < height; ++r) {
        if (!src.ReadExact(row.data(), rowBytes))
            BmpFailure("the file is truncated");
        const int y = static_cast<int>(topDown ? r : height - 1 - r);
        std::uint8_t *dst = out.ScanLine(y);
        if (bits == 24) {
            std::memcpy(dst, row.data(), static_cast<std::size_t>(width) * 3);
            continue;
        }
        for (long long x = 0; x < width; ++x, dst += 3) {
            GifColorType c {0, 0, 0};
            if (bits <= 8) {
                const std::size_t bit = static_cast<std::size_t>(x) * bits;
                const int shift = 8 - bits - static_cast<int>(bit % 8);
                c = palette[(row[bit / 8] >> shift) & ((1u << bits) - 1)];
            } else {
                const std::uint32_t v =
                    bits == 16 ? U16(&row[x * 2]) : U32(&row[static_cast<std::size_t>(x) * 4]);
                c = {red.Of(v), green.Of(v), blue.Of(v)};
            }
            dst[0] = c.Blue;
            dst[1] = c.Green;
            dst[2] = c.Red;
        }
    }
    return out;
}

} // namespace

TExBitmap DecodeJpeg(std::span<const std::uint8_t> data)
{
    if (data.empty())
        throw EVrnError("Invalid JPEG picture: the file is empty");
    return DecodeJpegWith([&](jpeg_decompress_struct *cinfo) {
        jpeg_mem_src(cinfo, data.data(), static_cast<unsigned long>(data.size()));
    });
}

TExBitmap DecodeGif(std::span<const std::uint8_t> data)
{
    TMemorySource src(data);
    return DecodeGifFrom(src);
}

TExBitmap DecodeBmp(std::span<const std::uint8_t> data)
{
    TMemorySource src(data);
    return DecodeBmpFrom(src);
}

TExBitmap ReadJpegFile(const std::string &path)
{
    TFilePtr f = OpenRegularFile(path);
    return DecodeJpegWith([&](jpeg_decompress_struct *cinfo) { jpeg_stdio_src(cinfo, f.get()); });
}

TExBitmap ReadGifFile(const std::string &path)
{
    TFilePtr f = OpenRegularFile(path);
    TFileSource src(f.get());
    return DecodeGifFrom(src);
}

TExBitmap ReadBmpFile(const std::string &path)
{
    TFilePtr f = OpenRegularFile(path);
    TFileSource src(f.get());
    return DecodeBmpFrom(src);
}

} // namespace vrn
