// The sky chart control as it draws and as the pointer reads it: figure lines by the horizon
// rule, bodies at the centre and on the rim, the blink marker kept out of pictures, the hint box,
// printing black on white, and the antialiased picture.

#include "sky/AstroChart.h"
#include "sky/StarFinderIcons.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <cmath>

namespace vrn {

class TStarFinderChartTest : public QObject
{
    Q_OBJECT

private slots:
    void FigureLinesFollowTheHorizonRule_data();
    void FigureLinesFollowTheHorizonRule();
    void BodiesAtTheCentreAndOnTheRim_data();
    void BodiesAtTheCentreAndOnTheRim();
    void BlinkMarkerStaysOutOfPictures();
    void SelectingWhatIsNotPlottedStopsTheBlink();
    void PointerReadOut();
    void PrintingIsBlackOnWhiteAndRestoresTheControl();
    void AntialiasAveragesADoubleSizePicture();
    void IconsHaveTransparentKeys();
};

namespace {

constexpr QRgb kSilver = 0xC0C0C0;

QPoint PointAt(const TSkyProjection &p, double hc, double zn)
{
    const TSkyChartPoint c = p.Project(hc, zn);
    return {c.X, c.Y};
}

bool HasColour(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == colour)
                return true;
        }
    }
    return false;
}

QImage PictureOf(TStarFinder &chart)
{
    QImage image(chart.size(), QImage::Format_RGB32);
    chart.PaintTo(image);
    return image;
}

} // namespace

void TStarFinderChartTest::FigureLinesFollowTheHorizonRule_data()
{
    QTest::addColumn<double>("hcFrom");
    QTest::addColumn<double>("hcTo");
    QTest::addColumn<bool>("drawn");
    QTest::addRow("below to above is drawn") << -10.0 << 40.0 << true;
    QTest::addRow("above to below is drawn") << 40.0 << -10.0 << true;
    QTest::addRow("wholly below is not drawn") << -5.0 << -40.0 << false;
}

void TStarFinderChartTest::FigureLinesFollowTheHorizonRule()
{
    QFETCH(double, hcFrom);
    QFETCH(double, hcTo);
    QFETCH(bool, drawn);
    TStarFinder chart;
    chart.resize(300, 300);
    TStarFinderStyle style;
    style.GridAltitudes = style.GridAzimuths = false;
    chart.SetStyle(style);
    chart.AddFigurePoint(50, hcFrom);
    chart.AddFigurePoint(50, hcTo);
    const QImage image = PictureOf(chart);
    QCOMPARE(HasColour(image, kSilver), drawn);
    if (drawn) {
        // Along the line: a point at 20° of altitude is silver, and so is the part that runs
        // beyond the rim below the horizon.
        const TSkyProjection &p = chart.Projection();
        QCOMPARE(image.pixel(PointAt(p, 20, 50)) & 0xFFFFFF, kSilver);
        QCOMPARE(image.pixel(PointAt(p, -5, 50)) & 0xFFFFFF, kSilver);
    }
}

void TStarFinderChartTest::BodiesAtTheCentreAndOnTheRim_data()
{
    QTest::addColumn<double>("hc");
    QTest::addColumn<double>("zn");
    QTest::addColumn<bool>("overhead");
    QTest::addColumn<QPoint>("at");
    // A 200 × 200 chart: centre (100, 100), R = 96.
    QTest::addRow("zenith at the centre") << 90.0 << 0.0 << false << QPoint(100, 100);
    QTest::addRow("horizon east on the right") << 0.0 << 90.0 << false << QPoint(196, 100);
    QTest::addRow("horizon east on the left overhead") << 0.0 << 90.0 << true << QPoint(4, 100);
    QTest::addRow("horizon north at the top") << 0.0 << 0.0 << false << QPoint(100, 4);
}

void TStarFinderChartTest::BodiesAtTheCentreAndOnTheRim()
{
    QFETCH(double, hc);
    QFETCH(double, zn);
    QFETCH(bool, overhead);
    QFETCH(QPoint, at);
    TStarFinder chart;
    chart.resize(200, 200);
    TStarFinderStyle style;
    style.GridAltitudes = style.GridAzimuths = false;
    style.Overhead = overhead;
    chart.SetStyle(style);
    chart.AddBody("Vega", kIconBrightStar, hc, zn, 279.2, 38.8);
    const QImage image = PictureOf(chart);
    // The bright star's icon has a white centre.
    QCOMPARE(image.pixel(at) & 0xFFFFFF, 0xFFFFFFu);
    QCOMPARE(chart.Scene().BodyAt(at.x(), at.y())->Name, std::string("Vega"));
}

void TStarFinderChartTest::BlinkMarkerStaysOutOfPictures()
{
    TStarFinder chart;
    chart.resize(200, 200);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    TStarFinderStyle style;
    style.GridAltitudes = style.GridAzimuths = false;
    chart.SetStyle(style);
    chart.AddBody("Vega", kIconBrightStar, 45, 30, 279.2, 38.8);
    chart.Select(QStringLiteral("VEGA"));
    QCOMPARE(chart.SelectedName(), QStringLiteral("Vega"));
    QVERIFY(chart.Blinking());
    // Wait for a shown phase of the marker.
    QTRY_VERIFY_WITH_TIMEOUT(chart.BlinkShown(), 1000);
    const QImage screen = chart.grab().toImage();
    const QImage picture = PictureOf(chart);
    const TAstroStarFinder &vega = chart.Scene().Bodies()[0];
    // The marker is a ring three pixels outside the icon's rectangle.
    const QPoint ring(vega.Center.X, vega.Rect.Top - 2);
    QVERIFY(screen.pixel(ring) != picture.pixel(ring));
    QCOMPARE(picture.pixel(ring) & 0xFFFFFF, 0u); // the black sky, no marker

    // A rebuild without the body stops the blinking; a rebuild with it starts it again.
    chart.Clear();
    QVERIFY(!chart.Blinking());
    QCOMPARE(chart.SelectedName(), QStringLiteral("Vega"));
    chart.AddBody("Vega", kIconBrightStar, 50, 10, 279.2, 38.8);
    QVERIFY(chart.Blinking());
}

void TStarFinderChartTest::SelectingWhatIsNotPlottedStopsTheBlink()
{
    TStarFinder chart;
    chart.AddBody("Vega", kIconBrightStar, 45, 0, 279.2, 38.8);
    chart.Select(QStringLiteral("Vega"));
    QVERIFY(chart.Blinking());
    chart.Select(QStringLiteral("Sirius"));
    QVERIFY(!chart.Blinking());
    QCOMPARE(chart.SelectedName(), QString());
}

void TStarFinderChartTest::PointerReadOut()
{
    TStarFinder chart;
    chart.resize(300, 300);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.AddBody("Vega", kIconBrightStar, 30, 45, 279.2, 38.8);
    QLabel *hint = chart.HintAstro();
    const TSkyProjection &p = chart.Projection();

    QTest::mouseMove(&chart, QPoint(p.Cx, p.Cy));
    QTRY_VERIFY(hint->isVisible());
    QVERIFY(hint->text().startsWith(QStringLiteral("Hc=90° Az=")));

    const TAstroStarFinder &vega = chart.Scene().Bodies()[0];
    QTest::mouseMove(&chart, QPoint(vega.Center.X, vega.Center.Y));
    QTRY_COMPARE(hint->text(),
        QStringLiteral("Vega\nAz=45.00°  Hc:30°00.0' \nRA=18:36:48    Dec=38°48.0'N"));
    QVERIFY(chart.rect().contains(hint->geometry()));

    QTest::mouseMove(&chart, QPoint(2, 2)); // outside the rim
    QTRY_VERIFY(!hint->isVisible());
}

void TStarFinderChartTest::PrintingIsBlackOnWhiteAndRestoresTheControl()
{
    TStarFinder chart;
    chart.resize(200, 200);
    TStarFinderStyle style;
    style.GridAltitudes = style.GridAzimuths = false;
    chart.SetStyle(style);
    chart.AddFigurePoint(50, -10);
    chart.AddFigurePoint(50, 40);
    const TSkyProjection before = chart.Projection();

    // A landscape page of 1500 × 1000 pixels at 300 dpi.
    QImage page(1500, 1000, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        chart.PrintTo(painter, page.rect(), 300);
    }
    const TSkyProjection printed = TSkyProjection::ForPage(1500, 1000);
    QCOMPARE(page.pixel(PointAt(printed, 20, 50)) & 0xFFFFFF, 0u); // the line in black
    QCOMPARE(page.pixel(PointAt(printed, 60, 200)) & 0xFFFFFF, 0xFFFFFFu); // the sky in white
    // Clipped to the chart's square: nothing drawn right of it.
    for (int x = printed.Cx + printed.R + 2; x < page.width(); x += 7)
        QCOMPARE(page.pixel(x, printed.Cy) & 0xFFFFFF, 0xFFFFFFu);

    const TSkyProjection after = chart.Projection();
    QCOMPARE(after.Cx, before.Cx);
    QCOMPARE(after.R, before.R);
    QCOMPARE(chart.BackColor(), QColor(Qt::black));
    QCOMPARE(PictureOf(chart).pixel(PointAt(after, 20, 50)) & 0xFFFFFF, kSilver);
}

void TStarFinderChartTest::AntialiasAveragesADoubleSizePicture()
{
    QImage big(4, 2, QImage::Format_RGB32);
    big.setPixel(0, 0, qRgb(0, 0, 0));
    big.setPixel(1, 0, qRgb(255, 255, 255));
    big.setPixel(0, 1, qRgb(255, 255, 255));
    big.setPixel(1, 1, qRgb(0, 0, 0));
    for (int x = 2; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            big.setPixel(x, y, qRgb(40, 80, 120));
    const QImage small = HalveByAveraging(big);
    QCOMPARE(small.size(), QSize(2, 1));
    QCOMPARE(small.pixel(0, 0) & 0xFFFFFF, qRgb(128, 128, 128) & 0xFFFFFF);
    QCOMPARE(small.pixel(1, 0) & 0xFFFFFF, qRgb(40, 80, 120) & 0xFFFFFF);

    // With antialias the pointer is doubled for the body test.
    TStarFinder chart;
    chart.resize(200, 200);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.SetAntialias(true);
    chart.AddBody("Vega", kIconBrightStar, 30, 90, 279.2, 38.8);
    // Laid out on the double-size picture: 400 × 400, R = 196, which is 98 on screen.
    QCOMPARE(chart.Projection().R, 196);
    const QPoint onScreen(100 + 65, 100); // 60° from the zenith is 65.3 screen pixels
    QTest::mouseMove(&chart, onScreen);
    QTRY_VERIFY(chart.HintAstro()->text().startsWith(QStringLiteral("Vega")));
    QCOMPARE(PictureOf(chart).size(), QSize(200, 200));
}

void TStarFinderChartTest::IconsHaveTransparentKeys()
{
    const TStarFinderIcons &icons = StarFinderIcons();
    for (int slot = 0; slot < kStarFinderIconCount; ++slot) {
        QCOMPARE(icons.Screen(slot).isNull(), slot == 2 || slot == 3);
        if (icons.Screen(slot).isNull())
            continue;
        // The corners are the key colour, now transparent, on screen and on paper.
        QCOMPARE(qAlpha(icons.Screen(slot).pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icons.Printer(slot).pixel(0, 0)), 0);
        const QImage &s = icons.Screen(slot);
        QVERIFY(qAlpha(s.pixel(s.width() / 2, s.height() / 2)) == 255);
    }
}

} // namespace vrn

QTEST_MAIN(vrn::TStarFinderChartTest)
#include "StarFinderChartTest.moc"
