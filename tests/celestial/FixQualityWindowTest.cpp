// How the celestial navigation window shows the quality of a fix: the least-squares lines after
// the fix report on page 3, the least-squares fix and its error ellipse on the position pane,
// and the suspect LOP dashed in the list and on the pane. Driven offscreen through the window's
// buttons; file dialogs and boxes answer through the ui seams.

#include "celestial/LOPFiles.h"
#include "celestial/LOPOverlay.h"
#include "celestial/LeastSquaresFix.h"
#include "celestial/SuspectLOPDelegate.h"
#include "celestial/fVrn32.h"
#include "charts/Dcarta.h"
#include "engine/DateTime.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <memory>

namespace vrn {

class TFixQualityWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void BlunderIsNamedInTheReportTheListAndThePane();
    void TwoLOPsGiveAFixWithoutAnEllipse();
    void TickingALOPDropsTheMarksOfTheFix();
    void Screenshot();

private:
    template <typename T>
    T *Child(const char *name) const
    {
        T *w = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }

    // Opens a list of the test data through "Open LOP list" and computes the fix on page 3.
    void OpenAndFix(const char *file);
    QStringList MemoLines() const;
    QImage Pane() const;
    QPoint OnPane(double latDeg, double lonDeg) const;

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TFormVrn32> FWindow;
};

namespace {

const QColor kAqua(0, 255, 255); // the LOPs of the list
const QColor kMagenta(255, 0, 255); // the least-squares fix and its ellipse
const QColor kSuspectFrame(0xC0, 0, 0);

QString DataFile(const char *name)
{
    return QStringLiteral(VRN_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

struct TLineSamples
{
    int Samples = 0;
    int On = 0;
    int LongestRun = 0;
};

// Walks the segment one pixel at a time along its longer extent, from a tenth to nine tenths of
// its length, and counts the steps where the line's colour lies within a pixel across it.
TLineSamples SampleLine(const QImage &image, QPoint a, QPoint b, const QColor &colour)
{
    TLineSamples s;
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const bool across = std::abs(dx) >= std::abs(dy); // true: look up and down
    int run = 0;
    for (int k = steps / 10; k <= steps * 9 / 10; ++k) {
        const double t = static_cast<double>(k) / steps;
        const int x = static_cast<int>(std::lround(a.x() + t * dx));
        const int y = static_cast<int>(std::lround(a.y() + t * dy));
        if (!image.rect().contains(x, y))
            continue;
        bool on = false;
        for (int d = -1; d <= 1 && !on; ++d) {
            const QPoint p = across ? QPoint(x, y + d) : QPoint(x + d, y);
            on = image.rect().contains(p) && image.pixelColor(p) == colour;
        }
        ++s.Samples;
        run = on ? run + 1 : 0;
        s.On += on ? 1 : 0;
        s.LongestRun = std::max(s.LongestRun, run);
    }
    return s;
}

} // namespace

void TFixQualityWindowTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
}

void TFixQualityWindowTest::init()
{
    // No LOPS.LST of an earlier test: every test opens its list into an empty one.
    QDir(qEnvironmentVariable("VRN_DATA_DIR")).removeRecursively();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FWindow = std::make_unique<TFormVrn32>();
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TFixQualityWindowTest::cleanup()
{
    FWindow.reset();
    FFiles.reset();
    FBoxes.reset();
}

void TFixQualityWindowTest::OpenAndFix(const char *file)
{
    // The page tab clicked as a sailor would.
    auto *pages = Child<QTabWidget>("PageControl1");
    QTabBar *tabs = pages->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(TFormVrn32::PagePosition).center());
    QCOMPARE(pages->currentIndex(), static_cast<int>(TFormVrn32::PagePosition));
    FFiles->Answers = {DataFile(file)};
    QTest::mouseClick(Child<QPushButton>("BOpenLOPList"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>("BCalcPosAstronomica"), Qt::LeftButton);
    QApplication::processEvents();
}

QStringList TFixQualityWindowTest::MemoLines() const
{
    return Child<QPlainTextEdit>("MemoPosition")->toPlainText().split(QLatin1Char('\n'));
}

QImage TFixQualityWindowTest::Pane() const
{
    return Child<TLogCarta>("PositionChart")->Picture();
}

QPoint TFixQualityWindowTest::OnPane(double latDeg, double lonDeg) const
{
    const TScreenPoint p = Child<TLogCarta>("PositionChart")->Escala().World2Screen(latDeg, lonDeg);
    return {p.X, p.Y};
}

void TFixQualityWindowTest::BlunderIsNamedInTheReportTheListAndThePane()
{
    // Five star LOPs round 45°N 30°W, the fourth observed 5' high (the list of the vrncli
    // golden case, reviewed with tools/review-lsq-golden.py).
    OpenAndFix("five_stars_one_blunder.vll");
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));

    // Page 3: the fix report as it always was, then the least-squares lines.
    TLOPList list;
    list.AddLOPs(ReadLOPListFile(DataFile("five_stars_one_blunder.vll").toStdString()).LOPs);
    TFixReport crossings;
    list.CalcFix({}, crossings);
    const QStringList lines = MemoLines();
    const int n = static_cast<int>(crossings.Lines.size());
    QVERIFY(lines.size() > n);
    for (int i = 0; i < n; ++i)
        QCOMPARE(lines[i], QString::fromStdString(crossings.Lines[static_cast<std::size_t>(i)]));
    QCOMPARE(lines.value(n), QStringLiteral("Least-squares fix ------------"));
    QCOMPARE(lines.value(n + 1), QStringLiteral("Lat: 44°58.5'N"));
    QCOMPARE(lines.value(n + 2), QStringLiteral("Lon: 30°01.9'W"));
    QCOMPARE(lines.last(), QStringLiteral("Suspect LOP: LOP 4 (Star 4), scatter 0.3NM without it"));
    QVERIFY(
        lines.contains(QStringLiteral("Error ellipse (1 sigma): 1.5NM x 1.4NM, major axis  21°")));
    // The fix labels keep the fix by crossings.
    QCOMPARE(Child<QLabel>("LFixLat")->text(), QStringLiteral("Lat: 44°58.6'N"));

    // The list: the fourth row framed with dashes, and only that row.
    auto *view = Child<QTreeWidget>("LVRetasPosicao");
    for (int row = 0; row < 5; ++row) {
        QTreeWidgetItem *item = view->topLevelItem(row);
        QCOMPARE(item->data(0, TSuspectLOPDelegate::kSuspectRole).toBool(), row == 3);
        QCOMPARE(item->toolTip(1).isEmpty(), row != 3);
    }
    view->clearSelection();
    const QImage rows = view->viewport()->grab().toImage();
    for (int row = 0; row < 5; ++row) {
        const QRect r = view->visualItemRect(view->topLevelItem(row));
        int red = 0, other = 0;
        for (int x = r.left() + 2; x < r.right() - 2; ++x)
            (rows.pixelColor(x, r.top()) == kSuspectFrame ? red : other) += 1;
        if (row == 3) {
            QVERIFY2(
                red > 20 && other > 10, qPrintable(QStringLiteral("%1 %2").arg(red).arg(other)));
        } else {
            QCOMPARE(red, 0);
        }
    }

    // The pane: the LOP of the blunder dashed, the others solid.
    const QImage pane = Pane();
    const auto &tle = Child<TLogCarta>("PositionChart")->Escala();
    const TViewBox box {tle.LatMin, tle.LatMax, tle.LonMin, tle.LonMax};
    for (int i = 0; i < 5; ++i) {
        const TLOPOverlay o = PlanLOPOverlay(list.LOPs()[static_cast<std::size_t>(i)],
            TLOPPlaneScale::AssumedLatitude, box, {45, 30}, false);
        QCOMPARE(o.Kind, TLOPLineKind::Sloped);
        const TLineSamples s =
            SampleLine(pane, OnPane(o.Lat1, o.Lon1), OnPane(o.Lat2, o.Lon2), kAqua);
        QVERIFY(s.Samples > 50);
        const QString seen = QStringLiteral("LOP %1: %2 of %3, run %4")
                                 .arg(i + 1)
                                 .arg(s.On)
                                 .arg(s.Samples)
                                 .arg(s.LongestRun);
        if (i == 3) {
            // Qt's dashes: four pixels drawn, two left out.
            QVERIFY2(s.On < s.Samples * 85 / 100 && s.On > s.Samples * 45 / 100, qPrintable(seen));
            QVERIFY2(s.LongestRun >= 3, qPrintable(seen));
        } else {
            QVERIFY2(s.On >= s.Samples * 95 / 100, qPrintable(seen));
        }
    }

    // The least-squares fix and its 1.5 x 1.4 NM ellipse round it, in magenta, seen after two
    // clicks of the zoom tool on the fix.
    const TLeastSquaresFix *lsq = FWindow->ShownLeastSquares();
    QVERIFY(lsq && lsq->Ellipse);
    auto *chart = Child<TLogCarta>("PositionChart");
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(chart, Qt::LeftButton, {}, OnPane(lsq->Lat, lsq->Lon));
        QApplication::processEvents();
    }
    const QImage zoomed = Pane();
    const QPoint centre = OnPane(lsq->Lat, lsq->Lon);
    const double pixelsPerNm = std::hypot(OnPane(lsq->Lat + 1 / 60.0, lsq->Lon).x() - centre.x(),
        OnPane(lsq->Lat + 1 / 60.0, lsq->Lon).y() - centre.y());
    double nearest = 1e9, farthest = 0;
    int magenta = 0;
    for (int y = 0; y < zoomed.height(); ++y)
        for (int x = 0; x < zoomed.width(); ++x) {
            if (zoomed.pixelColor(x, y) != kMagenta)
                continue;
            const double r = std::hypot(x - centre.x(), y - centre.y());
            if (r > 7) { // beyond the mark
                nearest = std::min(nearest, r);
                farthest = std::max(farthest, r);
                ++magenta;
            }
        }
    QVERIFY2(magenta > 50,
        qPrintable(QStringLiteral("%1 pixels, %2 px/NM").arg(magenta).arg(pixelsPerNm)));
    QVERIFY2(std::fabs(nearest - lsq->Ellipse->SigmaMinorNm * pixelsPerNm) < 2,
        qPrintable(QString::number(nearest)));
    QVERIFY2(std::fabs(farthest - lsq->Ellipse->SigmaMajorNm * pixelsPerNm) < 2,
        qPrintable(QString::number(farthest)));
    // The mark: a circle crossed by arms of six pixels.
    for (const QPoint arm : {QPoint(5, 0), QPoint(-5, 0), QPoint(0, 5), QPoint(0, -5)})
        QCOMPARE(zoomed.pixelColor(centre + arm), kMagenta);
}

void TFixQualityWindowTest::TwoLOPsGiveAFixWithoutAnEllipse()
{
    OpenAndFix("two_lops.vll");
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    QCOMPARE(MemoLines().last(), QStringLiteral("2 LOPs: no error ellipse (needs 3 or more)"));
    const TLeastSquaresFix *lsq = FWindow->ShownLeastSquares();
    QVERIFY(lsq && !lsq->Ellipse);
    const QImage pane = Pane();
    const QPoint centre = OnPane(lsq->Lat, lsq->Lon);
    int mark = 0, beyond = 0;
    for (int y = 0; y < pane.height(); ++y)
        for (int x = 0; x < pane.width(); ++x)
            if (pane.pixelColor(x, y) == kMagenta)
                (std::hypot(x - centre.x(), y - centre.y()) <= 7 ? mark : beyond) += 1;
    QVERIFY(mark > 0);
    QCOMPARE(beyond, 0);
}

void TFixQualityWindowTest::TickingALOPDropsTheMarksOfTheFix()
{
    OpenAndFix("five_stars_one_blunder.vll");
    auto *view = Child<QTreeWidget>("LVRetasPosicao");
    QVERIFY(view->topLevelItem(3)->data(0, TSuspectLOPDelegate::kSuspectRole).toBool());

    // Unticking the suspect, a click into its check box: the fix no longer belongs to the list,
    // nor do its marks.
    const QModelIndex index = view->model()->index(3, 0);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    QApplication::processEvents();
    QCOMPARE(view->topLevelItem(3)->checkState(0), Qt::Unchecked);
    QVERIFY(!FWindow->ShownLeastSquares());
    QVERIFY(!view->topLevelItem(3)->data(0, TSuspectLOPDelegate::kSuspectRole).toBool());
    QVERIFY(view->topLevelItem(3)->toolTip(1).isEmpty());

    // The four good LOPs give a small ellipse and no suspect.
    QTest::mouseClick(Child<QPushButton>("BCalcPosAstronomica"), Qt::LeftButton);
    QCOMPARE(MemoLines().last(), QStringLiteral("Suspect LOP: none"));
    const TLeastSquaresFix *lsq = FWindow->ShownLeastSquares();
    QVERIFY(lsq && lsq->Ellipse && lsq->Ellipse->SigmaMajorNm < 0.5);
    for (int row = 0; row < 5; ++row)
        QVERIFY(!view->topLevelItem(row)->data(0, TSuspectLOPDelegate::kSuspectRole).toBool());
}

void TFixQualityWindowTest::Screenshot()
{
    const QString dir = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    OpenAndFix("five_stars_one_blunder.vll");
    const TLeastSquaresFix *lsq = FWindow->ShownLeastSquares();
    QVERIFY(lsq);
    QVERIFY(FWindow->grab().save(dir + QStringLiteral("/celestial-3-fix-quality.png")));
    auto *chart = Child<TLogCarta>("PositionChart");
    for (int click = 0; click < 3; ++click)
        QTest::mouseClick(chart, Qt::LeftButton, {}, OnPane(lsq->Lat, lsq->Lon));
    QApplication::processEvents();
    QVERIFY(FWindow->grab().save(dir + QStringLiteral("/celestial-3-fix-quality-zoomed.png")));
    if (qEnvironmentVariableIsSet("VRN_SCREENSHOT_HOLD"))
        QTest::qWait(qEnvironmentVariableIntValue("VRN_SCREENSHOT_HOLD"));
}

} // namespace vrn

QTEST_MAIN(vrn::TFixQualityWindowTest)
#include "FixQualityWindowTest.moc"
