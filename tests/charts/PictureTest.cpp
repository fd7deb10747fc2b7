#include "charts/ChartPaths.h"
#include "charts/EXBitmap.h"
#include "charts/KaMD5.h"
#include "charts/PictureReaders.h"
#include "engine/VrnError.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numbers>
#include <vector>

namespace vrn {
namespace {

std::vector<std::uint8_t> Bytes(const std::string &name)
{
    std::ifstream in(std::string(VRN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The quadrant picture of tools/make-chart-test-data.py: 6 x 4, red and green on top, blue and
// white below.
TRgb Quadrant(int x, int y)
{
    if (y < 2)
        return x < 3 ? TRgb {255, 0, 0} : TRgb {0, 255, 0};
    return x < 3 ? TRgb {0, 0, 255} : TRgb {255, 255, 255};
}

void ExpectQuadrants(const TExBitmap &b, int tolerance, bool twoColours = false)
{
    ASSERT_EQ(b.Width(), 6);
    ASSERT_EQ(b.Height(), 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            TRgb want = Quadrant(x, y);
            if (twoColours && !(want == TRgb {255, 0, 0}))
                want = {255, 255, 255};
            const TRgb got = b.GetPixel(x, y);
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            EXPECT_NEAR(got.R, want.R, tolerance);
            EXPECT_NEAR(got.G, want.G, tolerance);
            EXPECT_NEAR(got.B, want.B, tolerance);
        }
    }
}

TEST(PictureReaders, DecodeEveryForm)
{
    struct Case
    {
        const char *File;
        int Tolerance; // JPEG is lossy
        bool TwoColours; // 1-bit: red and white
    };

    const Case cases[] = {
        {"quad24.bmp", 0, false},
        {"quad24-topdown.bmp", 0, false},
        {"quad32.bmp", 0, false},
        {"quad8.bmp", 0, false},
        {"quad4.bmp", 0, false},
        {"quad1.bmp", 0, true},
        {"quad.gif", 0, false},
        {"quad.jpg", 40, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.File);
        const std::string path = std::string(VRN_TEST_DATA_DIR) + "/" + c.File;
        const std::string ext = path.substr(path.rfind('.'));
        const TExBitmap fromFile = ext == ".bmp" ? ReadBmpFile(path)
            : ext == ".gif"                      ? ReadGifFile(path)
                                                 : ReadJpegFile(path);
        ExpectQuadrants(fromFile, c.Tolerance, c.TwoColours);
        const auto bytes = Bytes(c.File);
        const TExBitmap fromMemory = ext == ".bmp" ? DecodeBmp(bytes)
            : ext == ".gif"                        ? DecodeGif(bytes)
                                                   : DecodeJpeg(bytes);
        ExpectQuadrants(fromMemory, c.Tolerance, c.TwoColours);
    }
}

enum class TKind
{
    Bmp,
    Gif,
    Jpeg
};

TExBitmap Decode(TKind kind, const std::vector<std::uint8_t> &data)
{
    switch (kind) {
    case TKind::Bmp:
        return DecodeBmp(data);
    case TKind::Gif:
        return DecodeGif(data);
    default:
        return DecodeJpeg(data);
    }
}

void PutU32(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v)
{
    if (b.size() < at + 4)
        b.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(PictureReaders, BrokenPicturesRaiseAClearError)
{
    const auto bmp = Bytes("quad24.bmp");
    const auto bmp8 = Bytes("quad8.bmp");
    const auto gif = Bytes("quad.gif");
    const auto jpg = Bytes("quad.jpg");
    const auto sample = Bytes("sample.jpg");
    auto cut = [](std::vector<std::uint8_t> v, std::size_t n) {
        v.resize(std::min(n, v.size()));
        return v;
    };
    auto hugeBmp = bmp;
    PutU32(hugeBmp, 18, 100000); // width
    PutU32(hugeBmp, 22, 100000); // height: 10^10 pixels
    auto zeroBmp = bmp;
    PutU32(zeroBmp, 18, 0);
    auto minHeightBmp = bmp;
    PutU32(minHeightBmp, 22, 0x80000000u); // INT_MIN rows, top-down
    auto paletteBmp = bmp8;
    PutU32(paletteBmp, 46, 1000); // 1000 colours for 8 bits
    auto overlapBmp = bmp;
    PutU32(overlapBmp, 10, 20); // pixel data inside the header
    auto rleBmp = bmp8;
    PutU32(rleBmp, 30, 1); // RLE8
    // The image descriptor follows the header, the global colour table and any extensions.
    std::size_t desc = 13 + ((gif[10] & 0x80) ? 3u << ((gif[10] & 7) + 1) : 0);
    while (desc < gif.size() && gif[desc] == 0x21) {
        desc += 2;
        while (desc < gif.size() && gif[desc] != 0)
            desc += gif[desc] + 1;
        ++desc;
    }
    auto hugeGif = gif;
    hugeGif[desc + 5] = hugeGif[desc + 6] = hugeGif[desc + 7] = hugeGif[desc + 8] = 0xFF;
    auto zeroGif = gif;
    zeroGif[desc + 5] = zeroGif[desc + 6] = 0; // frame width 0
    auto hugeScreen = gif;
    hugeScreen[6] = hugeScreen[7] = hugeScreen[8] = hugeScreen[9] = 0xFF;
    auto corruptJpeg = sample;
    for (std::size_t i = 600; i < corruptJpeg.size(); i += 7)
        corruptJpeg[i] = 0xFF;

    struct Case
    {
        const char *Name;
        TKind Kind;
        std::vector<std::uint8_t> Data;
    };

    const Case cases[] = {
        {"empty BMP", TKind::Bmp, {}},
        {"BMP header only", TKind::Bmp, cut(bmp, 30)},
        {"BMP pixels cut", TKind::Bmp, cut(bmp, bmp.size() - 5)},
        {"BMP absurd size", TKind::Bmp, hugeBmp},
        {"BMP zero width", TKind::Bmp, zeroBmp},
        {"BMP INT_MIN height", TKind::Bmp, minHeightBmp},
        {"BMP palette too large", TKind::Bmp, paletteBmp},
        {"BMP data overlaps header", TKind::Bmp, overlapBmp},
        {"BMP compressed", TKind::Bmp, rleBmp},
        {"not a BMP", TKind::Bmp, gif},
        {"empty GIF", TKind::Gif, {}},
        {"GIF cut", TKind::Gif, cut(gif, gif.size() - 10)},
        {"GIF signature only", TKind::Gif, cut(gif, 6)},
        {"GIF absurd frame", TKind::Gif, hugeGif},
        {"GIF zero frame", TKind::Gif, zeroGif},
        {"GIF absurd logical screen", TKind::Gif, hugeScreen},
        {"empty JPEG", TKind::Jpeg, {}},
        {"JPEG cut in half", TKind::Jpeg, cut(sample, sample.size() / 2)},
        {"JPEG cut before the end marker", TKind::Jpeg, cut(jpg, jpg.size() - 2)},
        {"JPEG header only", TKind::Jpeg, cut(jpg, 20)},
        {"JPEG corrupt", TKind::Jpeg, corruptJpeg},
        {"not a JPEG", TKind::Jpeg, bmp},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            const TExBitmap b = Decode(c.Kind, c.Data);
            // The picture is the first frame: the logical screen does not matter; anything
            // else must fail.
            EXPECT_STREQ(c.Name, "GIF absurd logical screen");
            EXPECT_EQ(b.Width(), 6);
            EXPECT_EQ(b.Height(), 4);
        } catch (const EVrnError &e) {
            EXPECT_GT(std::strlen(e.what()), 10u);
        }
    }
}

TEST(PictureReaders, OnlyRegularFilesAreOpened)
{
    EXPECT_THROW(ReadBmpFile(VRN_TEST_DATA_DIR), EVrnError);
    EXPECT_THROW(ReadJpegFile("/dev/zero"), EVrnError);
    EXPECT_THROW(ReadGifFile("/nonexistent.gif"), EVrnError);
    EXPECT_FALSE(IsRegularFile("/dev/null"));
}

TEST(KaMD5, DigestsAs32LowerCaseHexDigits)
{
    struct Case
    {
        const char *Text;
        const char *Digest; // RFC 1321, appendix A.5 test suite
    };

    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
            "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        const auto *p = reinterpret_cast<const std::uint8_t *>(c.Text);
        EXPECT_EQ(MD5OfBytes({p, std::strlen(c.Text)}), c.Digest);
    }
    // md5sum of the committed picture.
    EXPECT_EQ(MD5OfFile(std::string(VRN_TEST_DATA_DIR) + "/quad24.bmp"),
        "2e31818b11933d14087c55a1abdc867b");
    EXPECT_THROW(MD5OfFile("/nonexistent"), EVrnError);
}

TEST(ExBitmap, AlfaBlend)
{
    // 30 % of black onto white: (70 * 255 + 30 * 0) div 100 = 178.
    TExBitmap white(3, 2), black(3, 2);
    white.FillColour(kClWhite);
    white.AlfaBlend(black, 30);
    EXPECT_EQ(white.GetPixel(2, 1), (TRgb {178, 178, 178}));
    TExBitmap other(2, 2);
    EXPECT_THROW(white.AlfaBlend(other, 50), EVrnError);
    try {
        white.AlfaBlend(black, 101);
        FAIL();
    } catch (const EVrnError &e) {
        EXPECT_STREQ(e.what(), "TExBitmap.AlfaBlend: Opacity must be between 0 and 100");
    }
}

TEST(ExBitmap, HalveSizeAveragesBlocks)
{
    TExBitmap b(3, 3);
    b.SetPixel(0, 0, 100, 0, 0);
    b.SetPixel(1, 0, 200, 0, 0);
    b.SetPixel(0, 1, 0, 40, 0);
    b.SetPixel(1, 1, 0, 0, 8);
    b.HalveSize();
    ASSERT_EQ(b.Width(), 1);
    ASSERT_EQ(b.Height(), 1);
    EXPECT_EQ(b.GetPixel(0, 0), (TRgb {75, 10, 2})); // sums div 4
}

TEST(ExBitmap, RotationTurnsTheSizeAndKeepsTheCentre)
{
    TExBitmap b(40, 20);
    b.FillColour(kClRed);
    TExBitmap turned = b;
    turned.Rotate(std::numbers::pi / 2);
    EXPECT_EQ(turned.Width(), 20);
    EXPECT_EQ(turned.Height(), 40);
    EXPECT_EQ(turned.GetPixel(10, 20), (TRgb {255, 0, 0}));
    TExBitmap same = b;
    same.Rotate(0);
    EXPECT_EQ(same.Width(), 40);
    EXPECT_EQ(same.GetPixel(5, 5), (TRgb {255, 0, 0}));
    // Corners of a picture turned by 45 degrees lie outside the old one: black.
    TExBitmap diag = b;
    diag.Rotate(std::numbers::pi / 4);
    EXPECT_EQ(diag.GetPixel(0, 0), (TRgb {0, 0, 0}));
}

// The rotation against bilinear interpolation written out in doubles, the neighbours outside
// the picture white, on a picture of noise: every channel within one step of exact rounding.
TEST(ExBitmap, RotationIsBilinear)
{
    TExBitmap b(31, 17);
    std::uint32_t seed = 12345;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            seed = seed * 1103515245 + 12345;
            b.SetPixel(x, y, static_cast<std::uint8_t>(seed >> 24),
                static_cast<std::uint8_t>(seed >> 16), static_cast<std::uint8_t>(seed >> 8));
        }
    for (const double deg : {3.0, -2.5, 30.0, 90.0}) {
        SCOPED_TRACE(deg);
        const double a = deg * std::numbers::pi / 180;
        const TExBitmap r = b.Rotated(a);
        const double w = b.Width(), h = b.Height(), nw = r.Width(), nh = r.Height();
        auto channel = [&](int x, int y, int k) -> double {
            if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height())
                return 255;
            const TRgb p = b.GetPixel(x, y);
            return k == 0 ? p.R : k == 1 ? p.G : p.B;
        };
        int worst = 0;
        for (int j = 0; j < r.Height(); ++j)
            for (int i = 0; i < r.Width(); ++i) {
                const double sx = (i - nw / 2) * std::cos(a) + w / 2 - (j - nh / 2) * std::sin(a);
                const double sy = (i - nw / 2) * std::sin(a) + h / 2 + (j - nh / 2) * std::cos(a);
                const double x0 = std::floor(sx), y0 = std::floor(sy);
                const TRgb got = r.GetPixel(i, j);
                const int gotK[3] = {got.R, got.G, got.B};
                for (int k = 0; k < 3; ++k) {
                    double want = 0;
                    if (x0 >= -1 && x0 < w && y0 >= -1 && y0 < h) {
                        const int xi = int(x0), yi = int(y0);
                        const double fx = sx - x0, fy = sy - y0;
                        want = std::nearbyint(
                            (channel(xi, yi, k) * (1 - fx) + channel(xi + 1, yi, k) * fx) * (1 - fy)
                            + (channel(xi, yi + 1, k) * (1 - fx) + channel(xi + 1, yi + 1, k) * fx)
                                * fy);
                    }
                    worst = std::max(worst, std::abs(gotK[k] - int(want)));
                }
            }
        EXPECT_LE(worst, 1);
    }
}

TEST(ExBitmap, SizesAreCapped)
{
    EXPECT_THROW(TExBitmap(-1, 5), EVrnError);
    EXPECT_THROW(TExBitmap(1 << 15, 1 << 14), EVrnError); // 2^29 pixels
    EXPECT_TRUE(TExBitmap(0, 0).IsEmpty());
}

} // namespace
} // namespace vrn
