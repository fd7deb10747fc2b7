// Drawing through QPainter and background rendering, under the offscreen platform.

#include "charts/ChartPng.h"
#include "charts/ChartRender.h"
#include "charts/Dchtbmps.h"
#include "charts/ImgCarta.h"
#include "charts/PainterSurface.h"
#include "charts/ZoomMaker.h"
#include "engine/VrnError.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace vrn;

namespace {

const std::string kData = VRN_TEST_DATA_DIR;

// A surface drawing on its own image, as the chart view does on its back buffer.
struct TImageSurface
{
    QImage Image;
    QPainter Painter;
    TPainterSurface Surface;

    TImageSurface(int w, int h, bool printing = false)
        : Image(w, h, QImage::Format_RGB32)
    {
        Image.fill(Qt::black);
        Painter.begin(&Image);
        Surface.Attach(&Painter, w, h, printing ? nullptr : &Image, printing);
        Surface.SetSize(w, h);
    }

    QColor At(int x, int y)
    {
        Painter.end();
        const QColor c = Image.pixelColor(x, y);
        Painter.begin(&Image);
        Surface.Attach(&Painter, Image.width(), Image.height(), &Image, Surface.IsPrinting());
        return c;
    }
};

int Distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
        + std::abs(a.blue() - b.blue());
}

} // namespace

class TChartsGuiTest : public QObject
{
    Q_OBJECT

private slots:
    void polygonColours_data();
    void polygonColours();
    void boatMarkerRestoresTheChartUnderIt();
    void markerBitmapsIgnoreCase();
    void worldCoastlineRender_data();
    void worldCoastlineRender();
    void rasterRenderMatchesTheVectorChart();
    void opacityBlendsWithTheChart();
    void backgroundRenderReachesTheChart();
    void zoomingTwiceShowsOnlyTheSecondRender();
    void destroyingAnImageWhileItRenders();
    void pngOfAMissingFileFails();
    void desktopIsDrawnWithItsChartImageRouteAndMarks();
};

void TChartsGuiTest::polygonColours_data()
{
    QTest::addColumn<bool>("printing");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QColor>("inside");
    // Chart colour conventions: land $008080 (olive), sea $800000 (navy), white on paper.
    QTest::addRow("screen, filled") << false << "" << QColor(128, 128, 0);
    QTest::addRow("screen, no fill") << false << "BrushStyle=0" << QColor(0, 0, 128);
    QTest::addRow("screen, own colour") << false << "BGColor=$000000FF" << QColor(255, 0, 0);
    QTest::addRow("printer") << true << "" << QColor(255, 255, 255);
}

void TChartsGuiTest::polygonColours()
{
    QFETCH(bool, printing);
    QFETCH(QString, attribute);
    QFETCH(QColor, inside);
    TImageSurface s(200, 100, printing);
    s.Surface.Escala.SetView(0, 0, 20); // 10 pixels per degree
    s.Surface.ClearBackground();
    TChtPolygon p;
    p.ParseAttribute(attribute.toStdString());
    for (const auto &[lat, lon] : {std::pair {3.0, 3.0}, {3.0, -3.0}, {-3.0, -3.0}, {-3.0, 3.0}})
        p.AddPoint("", lat, lon, 0);
    p.Draw(s.Surface, true);
    QCOMPARE(s.At(100, 50), inside);
    QCOMPARE(s.At(10, 10), QColor(0, 0, 128)); // sea outside
}

void TChartsGuiTest::boatMarkerRestoresTheChartUnderIt()
{
    TImageSurface s(100, 100);
    s.Surface.Escala.SetView(0, 0, 10);
    s.Surface.ClearBackground();
    s.Surface.SetPen(kClWhite);
    s.Surface.Line(0, 50, 99, 50); // something under the marker
    s.Painter.end();
    const QImage before = s.Image.copy();
    s.Painter.begin(&s.Image);
    s.Surface.Attach(&s.Painter, 100, 100, &s.Image);
    TMarcadorDePosicao m(&s.Surface);
    m.SetPosition(0, 0);
    m.SetVisible(true);
    QCOMPARE(s.At(53, 48), QColor(255, 0, 0)); // the red square around the centre
    m.SetShowCourse(true);
    m.SetCourse(45);
    m.SetVisible(false);
    s.Painter.end();
    QCOMPARE(s.Image, before);
}

void TChartsGuiTest::markerBitmapsIgnoreCase()
{
    AcquireMarkerBitmaps();
    const QImage upper = GetMarkerBitmap("BOAT");
    QVERIFY(!upper.isNull());
    QCOMPARE(GetMarkerBitmap("boat"), upper);
    const QImage label = GetMarkerBitmap("Lighthouse");
    QVERIFY(!label.isNull());
    QCOMPARE(label.pixelColor(0, 0), QColor(255, 0, 0)); // the red border
    QCOMPARE(GetMarkerBitmap("LIGHTHOUSE"), label);
    // On screen olive is transparent.
    QCOMPARE(GetMarkerBitmap("REDMARK", true).pixelColor(0, 0).alpha(), 0);
    ReleaseMarkerBitmaps();
    QVERIFY(GetMarkerBitmap("BOAT").isNull());
}

void TChartsGuiTest::worldCoastlineRender_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<bool>("land");
    // Positions known to be deep inland or far at sea (west-positive longitudes).
    QTest::addRow("Sahara") << 23.0 << -10.0 << true;
    QTest::addRow("Central Siberia") << 62.0 << -100.0 << true;
    QTest::addRow("Brazil") << -10.0 << 50.0 << true;
    QTest::addRow("Antarctic plateau") << -85.0 << 0.0 << true;
    QTest::addRow("Pacific") << 0.0 << 140.0 << false;
    QTest::addRow("South Atlantic") << -30.0 << 15.0 << false;
    QTest::addRow("Indian Ocean") << -20.0 << -75.0 << false;
}

void TChartsGuiTest::worldCoastlineRender()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(bool, land);
    static TChartScene scene;
    if (scene.ObjectCount() == 0)
        scene.Load(kData + "/../../../charts/data/world.cht");
    const QImage img = scene.Render({0, 0, 360}, 720, 360, false);
    TPainterSurface geometry;
    geometry.SetSize(720, 360);
    geometry.Escala.SetView(0, 0, 360);
    const TScreenPoint p = geometry.World2Screen(lat, lon);
    QCOMPARE(img.pixelColor(p.X, p.Y), land ? QColor(128, 128, 0) : QColor(0, 0, 128));
}

void TChartsGuiTest::rasterRenderMatchesTheVectorChart()
{
    // sample.jpg is the coastline drawn at this very view; rendering its chart image data file
    // at the same view must give the same picture, up to JPEG noise.
    const TChartViewSpec view {49.5, 2.0, 10.0};
    TChartScene vector;
    vector.Load(kData + "/../../../charts/data/world.cht");
    const QImage expected = vector.Render(view, 400, 300, true);
    TChartScene raster;
    raster.Load(kData + "/sample.CID");
    const QImage got = raster.Render(view, 400, 300, false);
    // Resampling blends each pixel with its neighbours, so thin lines and coast edges soften;
    // wherever the chart is uniform over 5 x 5 pixels the two pictures must agree.
    int uniform = 0, differ = 0;
    for (int y = 4; y < 296; ++y) {
        for (int x = 4; x < 396; ++x) {
            const QColor c = expected.pixelColor(x, y);
            bool same = true;
            for (int dy = -2; dy <= 2 && same; ++dy)
                for (int dx = -2; dx <= 2 && same; ++dx)
                    same = expected.pixelColor(x + dx, y + dy) == c;
            if (!same)
                continue;
            ++uniform;
            differ += Distance(got.pixelColor(x, y), c) > 40;
        }
    }
    QVERIFY(uniform > 396 * 292 / 2);
    QVERIFY2(
        differ < uniform / 200, qPrintable(QString("%1 of %2 differ").arg(differ).arg(uniform)));
}

void TChartsGuiTest::opacityBlendsWithTheChart()
{
    TImageSurface s(400, 300);
    s.Surface.SeaColor = kClWhite;
    s.Surface.Escala.SetView(49.5, 2.0, 10.0);
    s.Surface.ClearBackground();
    TChtChartImage img;
    img.CIDFile = kData + "/sample.CID";
    img.LoadCID();
    img.Visible = true;
    img.Opacity = 30;
    img.Draw(s.Surface, true);
    // Deep sea in the picture is navy (0, 0, 128): 30 % of it on white gives
    // (178, 178, 216) by (70 * 255 + 30 * c) div 100.
    const TScreenPoint p = s.Surface.World2Screen(50.2, 2.2); // mid-Channel
    const QColor c = s.At(p.X, p.Y);
    QVERIFY2(Distance(c, QColor(178, 178, 216)) < 12, qPrintable(c.name()));
}

void TChartsGuiTest::backgroundRenderReachesTheChart()
{
    TImageSurface s(400, 300);
    s.Surface.Escala.SetView(49.5, 2.0, 10.0);
    int invalidated = 0;
    s.Surface.SetInvalidateHandler([&] { ++invalidated; });
    s.Surface.SetRenderLauncher(&TZoomMakerThreadManager::Instance());
    TChtChartImage img;
    img.CIDFile = kData + "/sample.CID";
    img.LoadCID();
    img.Visible = true;
    img.Draw(s.Surface, true);
    QVERIFY(img.IsRendering());
    QVERIFY(!img.Rendered);
    QTRY_VERIFY_WITH_TIMEOUT(!img.IsRendering(), 5000);
    QVERIFY(img.Rendered);
    QCOMPARE(invalidated, 1);
    // The picture's extent runs from pixel (0, 0) to its last pixel (399, 299).
    QCOMPARE(img.Rendered->Width(), 399);
    QCOMPARE(img.DrawX, 0);
    QTRY_COMPARE_WITH_TIMEOUT(TZoomMakerThreadManager::Instance().Count(), 0, 2000);
}

void TChartsGuiTest::zoomingTwiceShowsOnlyTheSecondRender()
{
    TImageSurface s(400, 300);
    s.Surface.SetRenderLauncher(&TZoomMakerThreadManager::Instance());
    int invalidated = 0;
    s.Surface.SetInvalidateHandler([&] { ++invalidated; });
    TChtChartImage img;
    img.CIDFile = kData + "/sample.CID";
    img.LoadCID();
    img.Visible = true;
    s.Surface.Escala.SetView(49.5, 2.0, 10.0);
    img.Draw(s.Surface, true);
    // Zoom in on the middle: the picture now covers the whole 400 x 300 view at 2x.
    s.Surface.Escala.SetView(49.5, 2.0, 5.0);
    img.Draw(s.Surface, true);
    QTRY_VERIFY_WITH_TIMEOUT(!img.IsRendering(), 5000);
    QTest::qWait(400); // a late first result would arrive within this
    QCOMPARE(invalidated, 1);
    QVERIFY(img.Rendered);
    QCOMPARE(img.Rendered->Width(), 400);
    QCOMPARE(img.Rendered->Height(), 300);
}

void TChartsGuiTest::destroyingAnImageWhileItRenders()
{
    TImageSurface s(400, 300);
    s.Surface.Escala.SetView(49.5, 2.0, 10.0);
    s.Surface.SetRenderLauncher(&TZoomMakerThreadManager::Instance());
    for (int i = 0; i < 5; ++i) {
        auto img = std::make_unique<TChtChartImage>();
        img->CIDFile = kData + "/sample.CID";
        img->LoadCID();
        img->Visible = true;
        img->Draw(s.Surface, true);
        if (i % 2)
            QTest::qWait(220); // past the start delay: the render is under way
        img.reset();
    }
    QTRY_COMPARE_WITH_TIMEOUT(TZoomMakerThreadManager::Instance().Count(), 0, 5000);
}

void TChartsGuiTest::pngOfAMissingFileFails()
{
    QTemporaryDir dir;
    TPngRenderRequest r;
    r.ChartFile = "/nonexistent/chart.cht";
    r.PngFile = dir.filePath("x.png").toStdString();
    QVERIFY_THROWS_EXCEPTION(EVrnError, RenderChartToPng(r));
    QVERIFY(!QFile::exists(dir.filePath("x.png")));
    r.ChartFile = kData + "/../../../charts/data/world.cht";
    r.Width = 64;
    r.Height = 32;
    const auto report = RenderChartToPng(r);
    QCOMPARE(report.LonSpan, 360.0); // all of the world, the widest default view
    QVERIFY(QImage(dir.filePath("x.png")).size() == QSize(64, 32));
}

void TChartsGuiTest::desktopIsDrawnWithItsChartImageRouteAndMarks()
{
    // The sample desktop: the world coastline, the Channel's raster chart, a red route, a green
    // track and three marks (tools/make-sample-desktop.py).
    QTemporaryDir dir;
    TPngRenderRequest r;
    r.ChartFile = kData + "/../../../share/desktops/Sample.vrn";
    r.PngFile = dir.filePath("desk.png").toStdString();
    r.Width = 400;
    r.Height = 300;
    const auto report = RenderChartToPng(r);
    QVERIFY(report.Problems.empty());
    QCOMPARE(report.LatC, 50.05);
    QCOMPARE(report.LonSpan, 6.5);
    const QImage png(dir.filePath("desk.png"));
    QCOMPARE(png.size(), QSize(400, 300));
    int paper = 0, red = 0;
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            const QColor c = png.pixelColor(x, y);
            // The raster's land (#efdca2) and sea (#dbeaf3) cover the vector chart's navy sea.
            paper +=
                std::abs(c.red() - 0xef) + std::abs(c.green() - 0xdc) + std::abs(c.blue() - 0xa2)
                < 30;
            red += c == QColor(255, 0, 0);
        }
    }
    QVERIFY2(paper > 20000, qPrintable(QString::number(paper)));
    QVERIFY2(red > 50, qPrintable(QString::number(red)));
    // Open water at 49.6 N 3.5 W is the raster's sea, not the vector chart's navy: pixel
    // ((5.45 - 3.5) * 400 / 6.5, (51.6148 - 49.6) * 300 / 3.1295), the view's scale by hand.
    const QColor sea = png.pixelColor(120, 193);
    QVERIFY2(std::abs(sea.red() - 0xdb) + std::abs(sea.green() - 0xea) + std::abs(sea.blue() - 0xf3)
            < 30,
        qPrintable(sea.name()));
}

QTEST_MAIN(TChartsGuiTest)
#include "ChartsGuiTest.moc"
