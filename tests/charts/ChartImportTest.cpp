// The importer's side of chart pictures: picture writers, reference points, alignment checks,
// grid, the refusals that protect the source picture, and the calibration of a picture into a
// data file that the chart viewer's reader and renderer then use.

#include "charts/ChartImageImport.h"
#include "charts/KaMD5.h"
#include "charts/PictureReaders.h"
#include "charts/PictureWriters.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "tests/charts/GeoPicture.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <unistd.h>

namespace vrn {
namespace {

namespace fs = std::filesystem;
using testing::FindDot;
using testing::TGeoPicture;

struct TTempDir
{
    fs::path Path = fs::temp_directory_path() / ("vrn-import-" + std::to_string(::getpid()));

    TTempDir() { fs::create_directories(Path); }

    ~TTempDir()
    {
        std::error_code ec;
        fs::permissions(Path / "ro", fs::perms::owner_all, ec);
        fs::remove_all(Path);
    }

    std::string operator/(const std::string &name) const { return (Path / name).string(); }
};

std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EVrnError &e) {
        return e.what();
    }
    return "no error";
}

constexpr double kDeg = std::numbers::pi / 180;

TGeoPicture Picture(bool mercator, double turnDeg)
{
    TGeoPicture p;
    p.Mercator = mercator;
    p.TurnRad = turnDeg * kDeg;
    p.Dots = TGeoPicture::SpreadDots(p);
    return p;
}

// A picture file with the importer's object on it, the reference points not yet entered.
std::unique_ptr<TImagemCarta> Loaded(const TGeoPicture &p, const std::string &file)
{
    WritePictureFile(file, p.Draw());
    auto img = std::make_unique<TImagemCarta>();
    img->SetImageFile(file);
    img->SetMercatorLatitudeScale(p.Mercator);
    return img;
}

void EnterDots(TImagemCarta &img, const TGeoPicture &p)
{
    for (int i = 0; i < 3; ++i) {
        const auto [x, y] = p.PixelOf(p.Dots[i].Lat, p.Dots[i].Lon);
        img.AddReferencePoint(std::round(x), std::round(y), p.Dots[i].Lat, p.Dots[i].Lon);
    }
}

std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PictureWriters, WrittenPicturesReadBack)
{
    TTempDir tmp;
    TExBitmap b(37, 21); // odd width: padded rows
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 12),
                static_cast<std::uint8_t>((x + y) * 4));

    struct Case
    {
        const char *Name;
        const char *File;
        TExBitmap (*Read)(const std::string &);
        int Tolerance; // per channel: BMP exact, GIF palette of 256, JPEG lossy
    };

    const Case cases[] = {
        {"bmp", "w.bmp", &ReadBmpFile, 0},
        {"upper-case extension", "W.BMP", &ReadBmpFile, 0},
        {"gif", "w.gif", &ReadGifFile, 48}, // 777 colours in 256
        {"jpeg", "w.jpg", &ReadJpegFile, 40},
        {"jpeg long extension", "w.jpeg", &ReadJpegFile, 40},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        WritePictureFile(tmp / c.File, b);
        const TExBitmap back = c.Read(tmp / c.File);
        ASSERT_EQ(back.Width(), b.Width());
        ASSERT_EQ(back.Height(), b.Height());
        int worst = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                const TRgb p = b.GetPixel(x, y), q = back.GetPixel(x, y);
                worst = std::max(
                    {worst, std::abs(p.R - q.R), std::abs(p.G - q.G), std::abs(p.B - q.B)});
            }
        EXPECT_LE(worst, c.Tolerance);
    }
}

TEST(PictureWriters, RefusesWhatItCannotWrite)
{
    TTempDir tmp;
    const TExBitmap b(4, 4);
    EXPECT_EQ(ErrorOf([&] { WritePictureFile(tmp / "w.png", b); }),
        "Save image error. Use image formats .jpg , .gif or .bmp.");
    EXPECT_EQ(ErrorOf([&] { WritePictureFile(tmp / "missing/w.bmp", b); }),
        "Cannot write file " + tmp / "missing/w.bmp");
    EXPECT_EQ(ErrorOf([&] { EncodeGif(TExBitmap(70000, 1)); }),
        "Picture too large for a GIF file: 70000x1 pixels (at most 65535 each way)");
    EXPECT_FALSE(fs::exists(tmp / "w.png"));
}

TEST(ImporterReferencePoints, DegeneratePointsClearTheCalibration)
{
    struct Case
    {
        const char *Name;
        std::array<TChartPoint, 3> Ref;
    };

    // Each set fails one of the calibration's tests (Bad reference points., LatMax=LatMin).
    const Case cases[] = {
        {"one pixel row", {{{10, 50, 50, 5}, {200, 50, 49, 4}, {400, 50, 48, 3}}}},
        {"one pixel column", {{{50, 10, 50, 5}, {50, 200, 49, 4}, {50, 300, 48, 3}}}},
        {"one parallel", {{{10, 10, 49, 5}, {300, 40, 49, 4}, {40, 300, 49, 3}}}},
        {"repeated point", {{{10, 10, 50, 5}, {10, 10, 50, 5}, {40, 300, 48, 3}}}},
        {"a pole", {{{10, 10, 90, 5}, {300, 10, 90, 4}, {10, 300, 89, 5}}}},
        {"collinear positions", {{{10, 10, 50, 5}, {300, 10, 49, 4}, {10, 300, 48, 3}}}},
    };
    TTempDir tmp;
    const auto img = Loaded(Picture(false, 0), tmp / "p.bmp");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        img->AddReferencePoint(c.Ref[0].X, c.Ref[0].Y, c.Ref[0].Lat, c.Ref[0].Lon);
        img->AddReferencePoint(c.Ref[1].X, c.Ref[1].Y, c.Ref[1].Lat, c.Ref[1].Lon);
        EXPECT_EQ(img->PointCount(), 2);
        EXPECT_EQ(ErrorOf([&] {
            img->AddReferencePoint(c.Ref[2].X, c.Ref[2].Y, c.Ref[2].Lat, c.Ref[2].Lon);
        }),
            "Invalid reference points. Try again");
        EXPECT_EQ(img->PointCount(), 0);
        EXPECT_FALSE(img->IsCalibrated());
    }
}

TEST(ImporterReferencePoints, ThirdPointCalibratesAndSetsTheCorners)
{
    TTempDir tmp;
    const TGeoPicture p = Picture(false, 0);
    const auto img = Loaded(p, tmp / "p.bmp");
    EnterDots(*img, p);
    ASSERT_TRUE(img->IsCalibrated());
    // A fourth point is ignored.
    img->AddReferencePoint(1, 1, 0, 0);
    EXPECT_EQ(img->RefPoints()[0].Lat, p.Dots[0].Lat);
    const auto limit = img->LimitPoints();
    const double corners[4][2] = {{0, 0}, {599, 0}, {599, 449}, {0, 449}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(limit[i].X, corners[i][0]);
        EXPECT_EQ(limit[i].Y, corners[i][1]);
        // The construction: 200 pixels per degree from 50N 5W at the top left; the reference
        // pixels were rounded, hence the tolerance.
        EXPECT_NEAR(limit[i].Lat, 50 - corners[i][1] / 200, 0.005);
        EXPECT_NEAR(limit[i].Lon, 5 - corners[i][0] / 200, 0.005);
    }
}

TEST(ImporterReferencePoints, WithoutAPictureTheLimitPointsStayZero)
{
    TImagemCarta img;
    img.AddReferencePoint(0, 0, 50, 5);
    img.AddReferencePoint(100, 0, 50, 4);
    img.AddReferencePoint(0, 100, 49, 5);
    EXPECT_TRUE(img.IsCalibrated());
    for (const auto &p : img.LimitPoints())
        EXPECT_TRUE(p.X == 0 && p.Y == 0 && p.Lat == 0 && p.Lon == 0);
    EXPECT_EQ(ErrorOf([&] { img.SaveImage("/tmp/none.bmp"); }), "No picture to save");
}

TEST(ImporterAlignment, RotationIsOfferedFromFiveTenThousandthsOfARadian)
{
    struct Case
    {
        const char *Name;
        double TurnDeg;
        bool Needs;
        const char *Question; // the importer's question, or empty
    };

    // 0.03 degrees = 0.0005236 rad, above the threshold of 0.0005; 0.02 degrees is below.
    const Case cases[] = {
        {"north-up", 0, false, ""},
        {"0.02 degrees", 0.02, false, ""},
        {"0.03 degrees", 0.03, true,
            "Image needs to be rotated 0.030°  \nto align North-South axis with vertical.\n"
            "Do it now?"},
        {"minus 3 degrees", -3, true,
            "Image needs to be rotated -3.000°  \nto align North-South axis with vertical.\n"
            "Do it now?"},
    };
    TTempDir tmp;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        // Reference pixels exact (not rounded), so that the angle is the construction's.
        TGeoPicture p = Picture(false, c.TurnDeg);
        TImagemCarta img;
        img.SetMercatorLatitudeScale(false);
        for (int i = 0; i < 3; ++i) {
            const auto [x, y] = p.PixelOf(p.Dots[i].Lat, p.Dots[i].Lon);
            img.AddReferencePoint(x, y, p.Dots[i].Lat, p.Dots[i].Lon);
        }
        double a = 0;
        EXPECT_EQ(img.NeedsRotation(a), c.Needs);
        EXPECT_NEAR(a, c.TurnDeg * kDeg, 1e-9);
        if (c.Needs) {
            EXPECT_EQ(RotationQuestion(a), c.Question);
        }
        // The parallels turn with the meridians; measured from east to west, the other way.
        EXPECT_NEAR(img.EastAngle(), -c.TurnDeg * kDeg, 1e-9);
    }
}

TEST(ImporterAlignment, EastWestVerdicts)
{
    struct Case
    {
        double Angle;
        const char *Text;
        bool Good;
    };

    const Case cases[] = {
        {0.002, "WE axis angle is 0.0020 radians, which is good.", true},
        {-0.0035, "WE axis angle is 0.0035 radians, which is acceptable.", true},
        {0.005, "WE axis angle is 0.0050 radians, which is acceptable.", true},
        {0.0051,
            "WE axis angle is 0.0051 radians, which is too much. Image is skewed and may be "
            "unusable.",
            false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Angle);
        const TEastWestVerdict v = EastWestVerdict(c.Angle);
        EXPECT_EQ(v.Text, c.Text);
        EXPECT_EQ(v.Good, c.Good);
    }
}

TEST(ImporterAlignment, SkewedPictureHasAnEastWestAngle)
{
    // Meridians vertical, parallels leaning 0.01 rad: a skewed projection.
    TImagemCarta img;
    img.SetMercatorLatitudeScale(false);
    img.AddReferencePoint(0, 0, 50, 5);
    img.AddReferencePoint(100, 1, 50, 4); // tan(0.01) * 100 = 1.0000333
    img.AddReferencePoint(0, 100, 49, 5);
    EXPECT_NEAR(img.NorthAngle(), 0, 1e-12);
    EXPECT_NEAR(std::fabs(img.EastAngle()), std::atan(0.01), 1e-9);
    EXPECT_FALSE(EastWestVerdict(img.EastAngle()).Good);
    TImagemCarta none;
    EXPECT_EQ(ErrorOf([&] { none.EastAngle(); }), "Scale not set");
}

TEST(ImporterVerification, ErrorOfFourPixelsIsTooLarge)
{
    TImagemCarta img;
    img.SetMercatorLatitudeScale(false);
    img.AddReferencePoint(0, 0, 50, 5);
    img.AddReferencePoint(200, 0, 50, 4);
    img.AddReferencePoint(0, 200, 49, 5);

    struct Case
    {
        int X, Y; // clicked; the typed position 49.5N 4.5W lies at pixel (100, 100)
        const char *Text;
    };

    const Case cases[] = {
        {103, 100,
            "Verification point\nClicked point x=103  y=100\nCalculated point x=100.0  y=100.0\n"
            "Error=  3.0 pixels : acceptable"},
        {100, 96,
            "Verification point\nClicked point x=100  y=96\nCalculated point x=100.0  y=100.0\n"
            "Error=  4.0 pixels : error too large. Check scale."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(VerifyPoint(img, c.X, c.Y, 49.5, 4.5).Text, c.Text);
    }
}

TEST(ImporterGrid, MeridiansStartAtTheStepBelowTheWestEdge)
{
    // 600 pixels from 11.7W to 10.2W (400 pixels per degree), 100 pixels of latitude.
    TTempDir tmp;
    WritePictureFile(tmp / "g.bmp", TExBitmap(601, 101));
    TImagemCarta img;
    img.SetImageFile(tmp / "g.bmp");
    img.SetMercatorLatitudeScale(false);
    img.AddReferencePoint(0, 0, 45.25, 11.7);
    img.AddReferencePoint(600, 0, 45.25, 10.2);
    img.AddReferencePoint(0, 100, 45, 11.7);
    const auto lines = img.ImageGridLines(GridStepOf("30'"));
    std::vector<int> meridianX;
    for (const auto &l : lines)
        if (l.A.X == l.B.X)
            meridianX.push_back(l.A.X);
    // Meridians 10, 10.5, 11 and 11.5 W: pixels (11.7 - lon) * 400; 10 lies outside the picture.
    EXPECT_EQ(meridianX, (std::vector<int> {680, 480, 280, 80}));
    EXPECT_EQ(lines.size(), 4u + 1u); // and the parallel of 45N
    EXPECT_EQ(img.ImageGridLines(1.0 / 360000).size(), 10000u);
    EXPECT_EQ(GridStepOf("5'"), 1.0 / 12);
    EXPECT_EQ(GridStepOf("10°"), 10);
    EXPECT_EQ(GridStepOf("2°"), 1);
}

TEST(ImporterFiles, NeitherThePictureNorItsDataFileGoesOverTheSource)
{
    TTempDir tmp;
    const TGeoPicture p = Picture(false, 2);
    const auto img = Loaded(p, tmp / "scan.jpg");
    const std::string before = MD5OfFile(tmp / "scan.jpg");
    EnterDots(*img, p);
    EXPECT_EQ(ErrorOf([&] { img->SaveCID(tmp / "scan.jpg", 45000); }),
        "The chart image data file cannot be written over its picture " + tmp / "scan.jpg");
    img->RotateToNorth();
    EXPECT_EQ(ErrorOf([&] { img->SaveImage(tmp / "scan.jpg"); }),
        "The picture is not written over its source file " + tmp / "scan.jpg"
            + ". Choose another name.");
    EXPECT_EQ(ErrorOf([&] { img->SaveImage(tmp / "./scan.jpg"); }),
        "The picture is not written over its source file " + tmp / "scan.jpg"
            + ". Choose another name.");
    EXPECT_EQ(ErrorOf([&] { img->SaveCID(tmp / "scan.CID", 45000); }),
        "The image was rotated. You need to save it before savind the CID");
    EXPECT_EQ(MD5OfFile(tmp / "scan.jpg"), before);
    EXPECT_EQ(ProposedRotatedPictureName(tmp / "scan.jpg"), tmp / "scan-ns.jpg");
    EXPECT_EQ(ProposedCidName(tmp / "scan.jpg"), tmp / "scan.CID");

    fs::create_directory(tmp.Path / "ro");
    fs::permissions(tmp.Path / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access((tmp / "ro").c_str(), W_OK) != 0) { // root writes anywhere
        EXPECT_EQ(ErrorOf([&] { img->SaveImage(tmp / "ro/scan-ns.jpg"); }),
            "Cannot write file " + tmp / "ro/scan-ns.jpg");
        EXPECT_TRUE(img->Rotated());
    }
    img->SaveImage(tmp / "scan-ns.jpg");
    EXPECT_FALSE(img->Rotated());
    img->SaveCID(tmp / "scan.CID", 45000);
    EXPECT_NE(FileBytes(tmp / "scan.CID").find("ImageName=scan-ns.jpg\r\n"), std::string::npos);
}

TEST(ImporterFiles, RotationOfAnAlignedPictureIsRefused)
{
    TImagemCarta img;
    EXPECT_EQ(ErrorOf([&] { img.RotateToNorth(); }), "Scale not set");
    img.AddReferencePoint(0, 0, 50, 5);
    img.AddReferencePoint(100, 0, 50, 4);
    img.AddReferencePoint(0, 100, 49, 5);
    EXPECT_EQ(ErrorOf([&] { img.RotateToNorth(); }), "Image is already aligned with direction N-S");
}

// ---- CalibrateChartImage -------------------------------------------------------------------

TCalibrationRequest RequestFor(
    const TGeoPicture &p, const std::string &picture, const std::string &cid, bool rotate)
{
    TCalibrationRequest r;
    r.Picture = picture;
    r.CidFile = cid;
    r.Mercator = p.Mercator;
    r.Rotate = rotate;
    r.Description = "Test chart";
    r.WrittenAt = EncodeDate(2026, 3, 4) + EncodeTime(5, 6, 7, 0);
    for (int i = 0; i < 3; ++i) {
        const auto [x, y] = p.PixelOf(p.Dots[i].Lat, p.Dots[i].Lon);
        r.Ref[i] = {std::round(x), std::round(y), p.Dots[i].Lat, p.Dots[i].Lon};
    }
    return r;
}

TEST(CalibrateChartImage, RotatedPicturesOpenWithEveryDotInPlace)
{
    struct Case
    {
        const char *Name;
        bool Mercator;
        double TurnDeg;
        const char *Extension;
    };

    const Case cases[] = {
        {"plain, north-up", false, 0, ".bmp"},
        {"plain, turned 3 degrees", false, 3, ".bmp"},
        {"Mercator, turned -2.5 degrees", true, -2.5, ".gif"},
        {"Mercator, turned 4 degrees, JPEG", true, 4, ".jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir tmp;
        fs::create_directory(tmp.Path / "out");
        const TGeoPicture p = Picture(c.Mercator, c.TurnDeg);
        const std::string source = tmp / (std::string("scan") + c.Extension);
        WritePictureFile(source, p.Draw());
        const std::string md5 = MD5OfFile(source);
        const auto outcome =
            CalibrateChartImage(RequestFor(p, source, tmp / "out/chart.CID", true));
        EXPECT_NEAR(outcome.NorthAngleRad, c.TurnDeg * kDeg, 0.003);
        EXPECT_EQ(outcome.Rotated, c.TurnDeg != 0);
        EXPECT_EQ(MD5OfFile(source), md5);

        // The chart viewer's reader: signature, points, alignment.
        TImagemCarta back;
        back.LoadFromCID(tmp / "out/chart.CID");
        EXPECT_EQ(back.ImageFileName(),
            c.TurnDeg != 0 ? tmp / (std::string("out/chart") + c.Extension) : source);
        double a = 1;
        EXPECT_FALSE(back.NeedsRotation(a));
        const auto picture = back.Bitmap();
        const auto limit = back.LimitPoints();
        EXPECT_EQ(limit[2].X, picture->Width() - 1);
        EXPECT_EQ(limit[2].Y, picture->Height() - 1);
        EXPECT_EQ(limit[1].Y, 0);
        for (const auto &dot : p.Dots) {
            const auto found = FindDot(*picture, dot.Colour);
            ASSERT_TRUE(found);
            double x = 0, y = 0;
            back.World2Screen(dot.Lat, dot.Lon, x, y);
            EXPECT_LT(std::hypot(x - found->first, y - found->second), 2.0)
                << dot.Lat << " " << dot.Lon;
        }
    }
}

TEST(CalibrateChartImage, RefusesWhatItCannotDo)
{
    TTempDir tmp;
    const TGeoPicture turned = Picture(false, 3);
    WritePictureFile(tmp / "turned.bmp", turned.Draw());
    auto request = RequestFor(turned, tmp / "turned.bmp", tmp / "t.CID", false);
    try {
        CalibrateChartImage(request);
        ADD_FAILURE() << "no error";
    } catch (const ENeedsRotation &e) {
        EXPECT_NEAR(e.AngleRad, 3 * kDeg, 0.003);
    }
    EXPECT_FALSE(fs::exists(tmp / "t.CID"));

    auto outside = request;
    outside.Ref[1].X = 600;
    EXPECT_EQ(ErrorOf([&] { CalibrateChartImage(outside); }),
        "Reference point 2 at pixel 600.0, " + FormatFixed(outside.Ref[1].Y, 1)
            + " is outside the picture (600x450 pixels)");

    // --rotate with the data file named like the picture would write the picture over itself.
    auto self = request;
    self.Rotate = true;
    self.CidFile = tmp / "turned.CID";
    const std::string md5 = MD5OfFile(tmp / "turned.bmp");
    EXPECT_EQ(ErrorOf([&] { CalibrateChartImage(self); }),
        "The picture is not written over its source file " + tmp / "turned.bmp"
            + ". Choose another name.");
    EXPECT_EQ(MD5OfFile(tmp / "turned.bmp"), md5);

    std::ofstream(tmp / "cut.jpg", std::ios::binary) << EncodeJpeg(turned.Draw()).substr(0, 900);
    auto cut = request;
    cut.Picture = tmp / "cut.jpg";
    EXPECT_EQ(ErrorOf([&] { CalibrateChartImage(cut); }), "Error loading " + tmp / "cut.jpg");
    cut.Picture = tmp.Path.string();
    EXPECT_NE(ErrorOf([&] { CalibrateChartImage(cut); }), "no error");
}

TEST(CalibrateChartImage, DataFileLayout)
{
    TTempDir tmp;
    TGeoPicture p = Picture(false, 0);
    WritePictureFile(tmp / "Chart.BMP", p.Draw());
    fs::create_directory(tmp.Path / "cid");
    auto request = RequestFor(p, tmp / "Chart.BMP", tmp / "cid/c.CID", false);
    request.Description = "North; up";
    CalibrateChartImage(request);
    const std::string text = FileBytes(tmp / "cid/c.CID");
    // The layout of a chart image data file, CR LF, the picture relative and in its own case.
    const std::string expected = "Content=Varunel Chart Image Data\r\n"
                                 "Creator=Varunel Kartograv 4.0\r\n"
                                 "ChartDescription=North, up\r\n"
                                 "Date=04/03/2026 05:06:07\r\n"
                                 "ImageName=../Chart.BMP\r\n"
                                 "MD5ImageSignature="
        + MD5OfFile(tmp / "Chart.BMP")
        + "\r\n"
          "MercatorLatitudeScale=false\r\n"
          "\r\n"
          "[ReferencePoints] // x; y; Lon; Lat\r\n"
          "RefPoint1=120.000000; 90.000000;  4.400000; 49.550000\r\n"
          "RefPoint2=480.000000;113.000000;  2.600000; 49.437500\r\n"
          "RefPoint3=150.000000;360.000000;  4.250000; 48.200000\r\n"
          "\r\n"
          "[LimitPoints]     // x; y; Lon; Lat\r\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_NE(text.find("LimitPoint3=599.000000;449.000000;"), std::string::npos);
}

} // namespace
} // namespace vrn
