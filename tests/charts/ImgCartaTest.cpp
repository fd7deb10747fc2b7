#include "charts/ImgCarta.h"

#include "charts/ChartPaths.h"
#include "charts/KaMD5.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <unistd.h>

namespace vrn {
namespace {

namespace fs = std::filesystem;

const std::string kData = VRN_TEST_DATA_DIR;

std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EVrnError &e) {
        return e.what();
    }
    return "no error";
}

TImageCalibration MakeCalibration(std::array<TChartPoint, 3> ref, bool mercator)
{
    TImageCalibration c;
    c.Ref = ref;
    c.Mercator = mercator;
    c.Calibrate();
    return c;
}

TEST(ImageCalibration, RoundTripsLinearAndMercator)
{
    struct Case
    {
        const char *Name;
        std::array<TChartPoint, 3> Ref;
        bool Mercator;
    };

    const Case cases[] = {
        {"north-up linear", {{{0, 0, 52, 7}, {4000, 0, 52, -3}, {0, 3000, 47, 7}}}, false},
        {"north-up Mercator", {{{0, 0, 52, 7}, {4000, 0, 52, -3}, {0, 3000, 47, 7}}}, true},
        {"three latitudes Mercator", {{{10, 20, 60, 5}, {900, 50, 59, -5}, {30, 800, 54, 4}}},
            true},
        {"leaning picture", {{{0, 0, 10, 10}, {100, 2, 10, 9}, {-2, 100, 9, 10}}}, false},
        {"southern hemisphere", {{{0, 0, -30, 150}, {500, 0, -30, 149}, {0, 400, -31, 150}}}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TImageCalibration cal = MakeCalibration(c.Ref, c.Mercator);
        // The reference points map onto their own pixels.
        for (const auto &p : c.Ref) {
            double x = 0, y = 0;
            cal.World2Screen(p.Lat, p.Lon, x, y);
            EXPECT_NEAR(x, p.X, 1e-6);
            EXPECT_NEAR(y, p.Y, 1e-6);
        }
        for (double px = -50; px < 1000; px += 97) {
            for (double py = -50; py < 1000; py += 89) {
                double lat = 0, lon = 0, x = 0, y = 0;
                cal.Screen2World(px, py, lat, lon);
                cal.World2Screen(lat, lon, x, y);
                EXPECT_NEAR(x, px, 1e-6);
                EXPECT_NEAR(y, py, 1e-6);
            }
        }
    }
}

TEST(ImageCalibration, MercatorAxisFollowsMercatorsLaw)
{
    // Rows 0 and 1000 at 60 N and 40 N: latitude 50 N sits where its Mercator ordinate puts it,
    // (y(60) - y(50)) / (y(60) - y(40)) * 1000 with y = asinh(tan(lat)), computed independently:
    // (1.3169579 - 1.0106831) / (1.3169579 - 0.7629096) * 1000 = 552.80.
    const TImageCalibration cal =
        MakeCalibration({{{0, 0, 60, 10}, {1000, 0, 60, 0}, {0, 1000, 40, 10}}}, true);
    double x = 0, y = 0;
    cal.World2Screen(50, 5, x, y);
    EXPECT_NEAR(y, 552.80, 0.01);
    EXPECT_NEAR(x, 500, 1e-6);
    const TImageCalibration linear =
        MakeCalibration({{{0, 0, 60, 10}, {1000, 0, 60, 0}, {0, 1000, 40, 10}}}, false);
    linear.World2Screen(50, 5, x, y);
    EXPECT_NEAR(y, 500, 1e-6);
}

TEST(ImageCalibration, BadReferencePointsAreRefused)
{
    const std::string bad = "Bad reference points.\nThe points provided can't be used. Try again";

    struct Case
    {
        const char *Name;
        std::array<TChartPoint, 3> Ref;
        std::string Error;
    };

    const Case cases[] = {
        {"one latitude", {{{0, 0, 50, 1}, {10, 0, 50, 2}, {0, 10, 50, 3}}}, "Error: LatMax=LatMin"},
        {"pixels on one row", {{{0, 0, 50, 1}, {10, 0, 51, 2}, {20, 0, 49, 3}}}, bad},
        {"pixels on one column", {{{5, 0, 50, 1}, {5, 10, 51, 2}, {5, 20, 49, 3}}}, bad},
        {"pixels collinear", {{{0, 0, 50, 1}, {10, 10, 51, 2}, {20, 20, 49, 3}}}, bad},
        {"repeated pixel", {{{0, 0, 50, 1}, {0, 0, 51, 2}, {20, 30, 49, 3}}}, bad},
        {"positions collinear", {{{0, 0, 50, 1}, {10, 0, 51, 2}, {0, 10, 52, 3}}}, bad},
        {"latitude at a pole", {{{0, 0, 90, 1}, {10, 0, 80, 2}, {0, 10, 80, 1}}}, bad},
        {"not a number", {{{NAN, 0, 50, 1}, {10, 0, 51, 2}, {0, 10, 50, 3}}}, bad},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TImageCalibration cal;
        cal.Ref = c.Ref;
        cal.Mercator = false;
        EXPECT_EQ(ErrorOf([&] { cal.Calibrate(); }), c.Error);
        EXPECT_FALSE(cal.IsCalibrated());
        double x = 1, y = 1;
        cal.World2Screen(50, 1, x, y);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
    }
}

TEST(ChartRect, IntersectAndSnap)
{
    TChartRect a;
    a.TopLeft = {0, 0, 50, 10};
    a.BottomRight = {100, 100, 40, 0};
    a.UpdateScales();
    EXPECT_DOUBLE_EQ(a.XScale, 10);
    TChartRect b;
    b.TopLeft = {0, 0, 45, 5};
    b.BottomRight = {0, 0, 30, -5};
    const auto i = a.Intersect(b);
    ASSERT_TRUE(i);
    EXPECT_EQ(i->TopLeft.Lat, 45);
    EXPECT_EQ(i->TopLeft.Lon, 5);
    EXPECT_EQ(i->BottomRight.Lat, 40);
    EXPECT_EQ(i->BottomRight.Lon, 0);
    TChartRect far;
    far.TopLeft = {0, 0, 10, 50};
    far.BottomRight = {0, 0, 0, 40};
    EXPECT_FALSE(a.Intersect(far));
    TChartRect s = a;
    s.TopLeft.X = 2.7;
    s.BottomRight.X = 50.2;
    s.SnapToPixels();
    EXPECT_EQ(s.TopLeft.X, 2);
    EXPECT_EQ(s.BottomRight.X, 51);
    EXPECT_NEAR(s.TopLeft.Lon, 10 + 0.07, 1e-9); // 0.7 pixel at 10 px/degree
}

struct TTempDir
{
    fs::path Path = fs::temp_directory_path() / ("vrn-img-" + std::to_string(::getpid()));

    TTempDir() { fs::create_directories(Path); }

    ~TTempDir() { fs::remove_all(Path); }
};

TEST(ImagemCarta, LoadsTheSampleDataFile)
{
    TImagemCarta img;
    img.DeferredLoad = true;
    img.LoadFromCID(kData + "/sample.CID");
    EXPECT_TRUE(img.IsCalibrated());
    EXPECT_FALSE(img.MercatorLatitudeScale());
    EXPECT_EQ(img.ChartDescription(), "English Channel (world coastline)");
    EXPECT_EQ(img.LoadState(), 0); // deferred: not read yet
    const TChartRect b = img.Bounds(); // from limit point 3 without reading the picture
    EXPECT_NEAR(b.TopLeft.Lon, 7, 1e-6);
    EXPECT_NEAR(b.BottomRight.Lat, 47.080806, 1e-6);
    double angle = 1;
    EXPECT_FALSE(img.NeedsRotation(angle));
    EXPECT_NEAR(angle, 0, 1e-12);
}

TEST(ImagemCarta, DataFileErrors)
{
    TTempDir tmp;
    fs::copy(kData + "/sample.jpg", tmp.Path / "sample.jpg");
    std::ifstream in(kData + "/sample.CID", std::ios::binary);
    const std::string cid((std::istreambuf_iterator<char>(in)), {});
    auto write = [&](const std::string &name, std::string text) {
        std::ofstream(tmp.Path / name, std::ios::binary) << text;
        return (tmp.Path / name).string();
    };
    auto without = [&](const std::string &key) {
        std::string s = cid;
        const auto at = s.find(key);
        s.erase(at, s.find('\n', at) - at + 1);
        return s;
    };
    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string s = cid;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    // Limit point 2 missing: zeroed, and the outline cannot be drawn.
    {
        TImagemCarta img;
        img.DeferredLoad = true;
        img.LoadFromCID(write("nolimit.CID", without("LimitPoint2=")));
        EXPECT_EQ(img.LimitPoints()[1].Lat, 0);
        TChartRect view = img.Bounds();
        EXPECT_FALSE(img.Outline(view));
        TImagemCarta full;
        full.DeferredLoad = true;
        full.LoadFromCID(kData + "/sample.CID");
        EXPECT_TRUE(full.Outline(view));
    }

    struct Case
    {
        const char *Name;
        std::string Text;
        std::string ErrorStart;
    };

    const Case cases[] = {
        {"reference point missing", without("RefPoint2="), "Error loading Reference Point 2"},
        {"reference point field missing", replaced("RefPoint3=  0.000000;", "RefPoint3="),
            "Error loading Reference Point 3"},
        {"reference point bad number", replaced("RefPoint1=  0.000000", "RefPoint1=  zero"),
            "Error loading Reference Point 1"},
        {"picture missing", replaced("ImageName=sample.jpg", "ImageName=gone.jpg"),
            "Cannot open file"},
        {"picture is a folder", replaced("ImageName=sample.jpg", "ImageName=."),
            "Cannot open file"},
        {"signature differs", replaced("0e13bc2f", "1e13bc2f"),
            "Error loading " + (tmp.Path / "bad.CID").string() + "\nFile "
                + (tmp.Path / "sample.jpg").string()
                + " has changed.\nMD5 signature = 1e13bc2f39ebc8e4aa1e1589d7c52d4a\nMD5 should be "
                  "= "
                  "0e13bc2f39ebc8e4aa1e1589d7c52d4a\nImage file has changed since it was "
                  "imported.\nFor your safety, image must be imported again with Kartograv."},
        {"empty file", "", "Cannot open file"},
        {"over a megabyte is no data file", cid + std::string(1 << 20, ';'),
            "File \"" + (tmp.Path / "bad.CID").string() + "\" is too large"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TImagemCarta img;
        img.DeferredLoad = true;
        const std::string err = ErrorOf([&] { img.LoadFromCID(write("bad.CID", c.Text)); });
        EXPECT_EQ(err.substr(0, c.ErrorStart.size()), c.ErrorStart);
    }
    EXPECT_EQ(ErrorOf([&] {
        TImagemCarta img;
        img.LoadFromCID((tmp.Path / "none.CID").string());
    }).substr(0, 16),
        "Cannot open file");
}

TEST(ImagemCarta, NoOutlineForAViewWithoutAScale)
{
    // A chart across the equator and the prime meridian, so that it meets the all-zero window of
    // a scale that has no surface yet (0/0 pixels per degree).
    TImagemCarta img;
    img.SetPoints({{{0, 0, 1, 1}, {100, 0, 1, -1}, {0, 100, -1, 1}}},
        {{{0, 0, 1, 1}, {100, 0, 1, -1}, {100, 100, -1, -1}, {0, 100, -1, 1}}});
    const TEscalaCarta unset;
    EXPECT_FALSE(img.Outline(ViewRectOf(unset)));
    // The picture's own window shows the four limit points at the picture's corners.
    const auto outline = img.Outline(img.Bounds());
    ASSERT_TRUE(outline);
    EXPECT_EQ((*outline)[2], (TScreenPoint {100, 100}));
}

TEST(ImagemCarta, PictureNamesIgnoreCaseAndBackslashes)
{
    TTempDir tmp;
    fs::create_directories(tmp.Path / "Pics");
    fs::copy(kData + "/sample.jpg", tmp.Path / "Pics" / "Sample.JPG");
    std::ifstream in(kData + "/sample.CID", std::ios::binary);
    std::string cid((std::istreambuf_iterator<char>(in)), {});
    cid.replace(cid.find("ImageName=sample.jpg"), 20, "ImageName=pics\\sample.jpg");
    std::ofstream(tmp.Path / "c.CID", std::ios::binary) << cid;
    TImagemCarta img;
    img.LoadFromCID((tmp.Path / "c.CID").string());
    EXPECT_EQ(fs::path(img.ImageFileName()).filename(), "Sample.JPG");
    EXPECT_EQ(img.LoadState(), 1);
    EXPECT_EQ(img.Bitmap()->Width(), 400);
}

TEST(ImagemCarta, SavedDataFileReadsBack)
{
    TTempDir tmp;
    fs::copy(kData + "/quad24.bmp", tmp.Path / "quad24.bmp");
    TImagemCarta img;
    img.SetImageFile((tmp.Path / "quad24.bmp").string());
    EXPECT_EQ(ErrorOf([&] { img.SaveCID((tmp.Path / "q.CID").string(), 45000); }), "Scale not set");
    img.SetChartDescription("Quad; test");
    img.SetMercatorLatitudeScale(true);
    img.SetPoints({{{0, 0, 10, 20}, {6, 0, 10, 19}, {0, 4, 9, 20}}},
        {{{0, 0, 10, 20}, {5, 0, 10, 19.1}, {5, 3, 9.3, 19.1}, {0, 3, 9.3, 20}}});
    img.SaveCID((tmp.Path / "q.CID").string(), EncodeDate(2025, 1, 2) + 0.5);
    std::ifstream in(tmp.Path / "q.CID", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("ImageName=quad24.bmp\r\n"), std::string::npos);
    EXPECT_NE(
        text.find("MD5ImageSignature=2e31818b11933d14087c55a1abdc867b\r\n"), std::string::npos);
    EXPECT_NE(
        text.find("RefPoint2=  6.000000;  0.000000; 19.000000; 10.000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("ChartDescription=Quad, test\r\n"), std::string::npos);
    TImagemCarta back;
    back.LoadFromCID((tmp.Path / "q.CID").string());
    EXPECT_TRUE(back.MercatorLatitudeScale());
    EXPECT_EQ(back.RefPoints()[1].Lon, 19);
    EXPECT_EQ(back.LimitPoints()[2].Lat, 9.3);
}

// A calibrated picture whose pixel (x, y) has red x, green y, blue 0: renders are checked
// against these values.
std::shared_ptr<TImagemCarta> GradientImage(const fs::path &dir, int w, int h)
{
    TExBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0);
    // Written as a 24-bit BMP by hand.
    const std::size_t stride = (3 * std::size_t(w) + 3) & ~std::size_t(3);
    std::string file(54 + stride * h, '\0');
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            file[at + i] = static_cast<char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, w, 4);
    put(22, static_cast<std::uint32_t>(-h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; ++y)
        std::memcpy(&file[54 + y * stride], b.ScanLine(y), 3 * std::size_t(w));
    const fs::path path = dir / "gradient.bmp";
    std::ofstream(path, std::ios::binary) << file;
    auto img = std::make_shared<TImagemCarta>();
    img->SetImageFile(path.string());
    // One degree per 100 pixels, top-left corner of the picture at (10 N, 10 W).
    img->SetPoints({{{0, 0, 10, 10}, {100, 0, 10, 9}, {0, 100, 9, 10}}}, {});
    return img;
}

TChartRect View(double latTop, double lonLeft, double degPerPixel, int w, int h)
{
    TChartRect v;
    v.TopLeft = {0, 0, latTop, lonLeft};
    v.BottomRight = {double(w), double(h), latTop - h * degPerPixel, lonLeft - w * degPerPixel};
    v.UpdateScales();
    return v;
}

TEST(ImagemCarta, RenderViewResamplesTheVisiblePart)
{
    TTempDir tmp;
    auto img = GradientImage(tmp.Path, 200, 150);

    struct Case
    {
        const char *Name;
        TChartRect View;
        int W, H; // rendered size
        int X, Y; // a rendered pixel
        int R, G; // expected channels: the mean of the picture pixels it covers
        int Tolerance;
    };

    const Case cases[] = {
        // View pixel = picture pixel; the output starts at the view's top-left.
        {"one to one", View(10, 10, 0.01, 300, 300), 200, 150, 37, 21, 37, 21, 1},
        // Two picture pixels per view pixel: pixel 10 covers columns 20..21 (and edges).
        {"half scale", View(10, 10, 0.02, 300, 300), 100, 75, 10, 5, 20, 10, 2},
        // The view starts inside the picture: its pixel 0 is picture pixel 50.
        {"offset view", View(9.5, 9.5, 0.01, 50, 40), 50, 40, 0, 0, 50, 50, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = img->RenderView(c.View);
        ASSERT_TRUE(r);
        EXPECT_NEAR(r->Bitmap.Width(), c.W, 1);
        EXPECT_NEAR(r->Bitmap.Height(), c.H, 1);
        const TRgb p = r->Bitmap.GetPixel(c.X, c.Y);
        EXPECT_NEAR(p.R, c.R, c.Tolerance);
        EXPECT_NEAR(p.G, c.G, c.Tolerance);
    }
    // Outside the picture: nothing.
    EXPECT_FALSE(img->RenderView(View(50, 50, 0.01, 100, 100)));
}

TEST(ImagemCarta, RenderStopsWhenCancelledOrBusy)
{
    TTempDir tmp;
    auto img = GradientImage(tmp.Path, 200, 150);
    std::atomic<bool> cancel {true};
    EXPECT_FALSE(img->RenderView(View(10, 10, 0.01, 300, 300), &cancel));
    EXPECT_FALSE(img->Busy());
    cancel = false;
    EXPECT_TRUE(img->RenderView(View(10, 10, 0.01, 300, 300), &cancel));
}

TEST(ImagemCarta, NorthAngleOfALeaningPicture)
{
    // The meridian leans by 1 degree: reference pixels of a north-up calibration turned by 1
    // degree about pixel (0, 0).
    const double a = std::numbers::pi / 180;
    auto turn = [&](double x, double y) {
        return std::pair {x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a)};
    };
    auto [x2, y2] = turn(1000, 0);
    auto [x3, y3] = turn(0, 1000);
    TImagemCarta img;
    img.SetMercatorLatitudeScale(false);
    img.SetPoints({{{0, 0, 50, 10}, {x2, y2, 50, 0}, {x3, y3, 40, 10}}}, {});
    double angle = 0;
    EXPECT_TRUE(img.NeedsRotation(angle));
    EXPECT_NEAR(std::fabs(angle), a, 1e-9);
    bool asked = false;
    EXPECT_FALSE(img.CheckAlignment([&](const std::string &q) {
        asked = q.find("needs to be rotated") != std::string::npos;
        return false;
    }));
    EXPECT_TRUE(asked);
    TImagemCarta notSet;
    EXPECT_EQ(ErrorOf([&] { notSet.NorthAngle(); }), "Scale not set");
}

TEST(ImagemCarta, RotationMakesThePictureNorthUp)
{
    TTempDir tmp;
    auto img = GradientImage(tmp.Path, 200, 150);
    const double a = 3 * std::numbers::pi / 180;
    auto turn = [&](double x, double y) {
        return std::pair {x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a)};
    };
    auto [x2, y2] = turn(100, 0);
    auto [x3, y3] = turn(0, 100);
    img->SetMercatorLatitudeScale(false);
    img->SetPoints({{{50, 50, 10, 10}, {50 + x2, 50 + y2, 10, 9}, {50 + x3, 50 + y3, 9, 10}}},
        {{{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {4, 4, 4, 4}}});
    img->RotateImage();
    EXPECT_TRUE(img->Rotated());
    double angle = 1;
    EXPECT_FALSE(img->NeedsRotation(angle));
    EXPECT_NEAR(angle, 0, 1e-9);
    EXPECT_GT(img->Bitmap()->Width(), 200);
    EXPECT_EQ(ErrorOf([&] { img->SaveCID((tmp.Path / "r.CID").string(), 0); }),
        "The image was rotated. You need to save it before savind the CID");
}

} // namespace
} // namespace vrn
