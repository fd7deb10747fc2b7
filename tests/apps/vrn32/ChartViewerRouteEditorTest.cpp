// The route and track editor and the track replay in the chart viewer, all windows made as vrn32
// makes them at start-up, on the sample desktop a sailor opens first: "Properties" shows the
// editor page that moves the route on the chart, the Tracks menu shows the replay that draws the
// track up to the clock's time, and GPX files come in and go out through the File menu, a large
// one with its progress in the window and its Cancel.

#include "apps/vrn32/PointTableModel.h"
#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fVrnSpla.h"
#include "apps/vrn32/fchvrn32.h"
#include "charts/Dcarta.h"
#include "charts/GpxFile.h"
#include "engine/DateTime.h"
#include "tests/apps/vrn32/PointTableTyping.h"
#include "ui/UiTestDoubles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <memory>

namespace vrn {

namespace {

const QString kSample = QStringLiteral(VRN_SOURCE_DIR "/share/desktops/Sample.vrn");
const QString kHandwritten =
    QStringLiteral(VRN_SOURCE_DIR "/tests/data/chartview/gpx/handwritten.gpx");

// The sample's colours: the route red, the track green ($00008000).
constexpr QRgb kRoute = 0xFFFF0000;
constexpr QRgb kTrack = 0xFF008000;

double At(int h, int m)
{
    return EncodeDate(2024, 7, 1) + EncodeTime(h, m, 0, 0);
}

} // namespace

class TChartViewerRouteEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void PropertiesShowTheEditorThatMovesTheRoute();
    void TracksMenuReplaysTheTrackByTheClock();
    void GpxComesInAndGoesOutThroughTheFileMenu();
    void LargeGpxShowsProgressAndCancelImportsNothing();
    void ChartOptionOpensADesktopOrAVectorChart();
    void Screenshots();

private:
    void OpenSample();

    TFormCartaVrn &Viewer() { return FWindows->ChartViewer(); }

    TLogCarta &Chart() { return Viewer().Chart(); }

    template <class T>
    T *Find(const char *name)
    {
        auto *w = Viewer().findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    QTableView *Table() { return Find<QTableView>("RouteGrid"); }

    QString Cell(int row, TPointColumn column)
    {
        return Table()->model()->index(row, static_cast<int>(column)).data().toString();
    }

    void TypeIntoCell(int row, TPointColumn column, const QString &text);
    // Whether the chart's picture has the colour at the position or a pixel beside it (lines are
    // one pixel wide and positions round).
    bool HasColourAt(double latDeg, double lonDeg, QRgb colour);

    std::unique_ptr<TTestSettingsFolder> FSettings;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TFixedClock> FClock;
    std::unique_ptr<QTemporaryDir> FFolder;
    std::unique_ptr<TVrn32Windows> FWindows;
};

void TChartViewerRouteEditorTest::init()
{
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    FSettings = std::make_unique<TTestSettingsFolder>();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FClock = std::make_unique<TFixedClock>(QDateTime(QDate(2026, 5, 15), QTime(9, 0), Qt::UTC));
    FFolder = std::make_unique<QTemporaryDir>();
    FWindows = std::make_unique<TVrn32Windows>();
}

void TChartViewerRouteEditorTest::cleanup()
{
    FWindows.reset();
    FFolder.reset();
    FClock.reset();
    FFiles.reset();
    FBoxes.reset();
    FSettings.reset();
}

void TChartViewerRouteEditorTest::OpenSample()
{
    FWindows->Launcher().findChild<QPushButton *>(QStringLiteral("BChartNavigation"))->click();
    QVERIFY(QTest::qWaitForWindowExposed(&Viewer()));
    QTRY_VERIFY(!Chart().Desk().ChartFileName.empty());
    FFiles->Answers << kSample;
    Find<QAction>("OpenVrnDesktop1")->trigger();
    QCOMPARE(Chart().Desk().Routes.Count(), std::size_t(1));
    QCOMPARE(Chart().Desk().Tracks.Count(), std::size_t(1));
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join('|')));
}

void TChartViewerRouteEditorTest::TypeIntoCell(int row, TPointColumn column, const QString &text)
{
    TypeIntoPointCell(*Table(), row, column, text);
}

bool TChartViewerRouteEditorTest::HasColourAt(double latDeg, double lonDeg, QRgb colour)
{
    const TScreenPoint p = Chart().World2Screen(latDeg, lonDeg);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (Chart().Picture().pixel(p.X + dx, p.Y + dy) == colour)
                return true;
    return false;
}

void TChartViewerRouteEditorTest::PropertiesShowTheEditorThatMovesTheRoute()
{
    OpenSample();
    // A wide screen's window: room for the whole point table beside the chart.
    Viewer().resize(1800, 900);
    QTRY_VERIFY(Chart().width() > 1600);
    auto *properties = Find<QCheckBox>("CBToggleProperties");
    QTest::mouseClick(properties, Qt::LeftButton);
    QVERIFY(Find<QDockWidget>("PanelEditor")->isVisible());
    // The editor's page stands in the panel where the viewer keeps its routes and tracks.
    auto *tabs = Find<QTabWidget>("PageControlEditor");
    QCOMPARE(tabs->currentWidget(), Find<QWidget>("TabRoutesTracks"));
    QVERIFY(tabs->currentWidget()->isAncestorOf(Table()));
    QVERIFY(Table()->isVisible());
    QCOMPARE(Find<QListWidget>("LBRoutesTracks")->count(), 2);
    QCOMPARE(Find<QLineEdit>("EdNomeRota")->text(), QStringLiteral("Solent to Cherbourg"));
    QCOMPARE(Table()->model()->rowCount(), 4);
    QCOMPARE(Cell(0, TPointColumn::Text), QStringLiteral("Needles"));
    // The window has room for the whole table: no column is left to scroll to.
    QCOMPARE(Table()->horizontalScrollBar()->maximum(), 0);
    QVERIFY(Chart().width() >= Viewer().width() * 11 / 20);
    // The leg from the Needles as the desktop has it, drawn on the chart.
    QTRY_VERIFY(HasColourAt(50.375, 1.70, kRoute));
    QVERIFY(!HasColourAt(50.3167, 1.65, kRoute));

    // The second point typed due south of the Needles: 28' of latitude are 28 NM at 180°.
    TypeIntoCell(1, TPointColumn::Lat, QStringLiteral("50°05.00'N"));
    TypeIntoCell(1, TPointColumn::Lon, QStringLiteral("1°39.00'W"));
    const TChtRoute &route = *Chart().Desk().Routes[0];
    QCOMPARE(route.Points[1].Lon, 1.65);
    QVERIFY(qAbs(route.Points[1].Lat - (50 + 5 / 60.0)) < 1e-12);
    QCOMPARE(Cell(0, TPointColumn::Cog), QStringLiteral("180°"));
    QCOMPARE(Cell(0, TPointColumn::Rng), QStringLiteral(" 28.00 "));
    QVERIFY(Chart().Desk().RoutesModified);
    QVERIFY(Chart().IsModified());
    // The chart follows: the first leg now runs down the meridian, the old line is gone.
    QTRY_VERIFY(HasColourAt(50.3167, 1.65, kRoute));
    QVERIFY(!HasColourAt(50.375, 1.70, kRoute));

    // The hint of a chosen track point stays beside it when the view changes under it.
    auto *list = Find<QListWidget>("LBRoutesTracks");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
        list->visualItemRect(list->item(1)).center() + QPoint(20, 0));
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {},
        Table()->visualRect(Table()->model()->index(2, 1)).center());
    auto *hint = Find<QLabel>("PointHint");
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->text(), QStringLiteral("01/07/2024 10:00:00 "));
    const auto hintBeside = [this, hint] {
        const TScreenPoint p = Chart().World2Screen(50.15, 3.20);
        return hint->isVisible() && hint->pos() == QPoint(p.X + 3, p.Y + 3);
    };
    QVERIFY(hintBeside());
    Chart().SetViewAndClear(50.0, 3.0, 3.0);
    QTRY_VERIFY(hintBeside());
    // Another row moves it; a route point without a name has none.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
        list->visualItemRect(list->item(0)).center() + QPoint(20, 0));
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {},
        Table()->visualRect(Table()->model()->index(2, 1)).center());
    QVERIFY(!hint->isVisible());
    Chart().SetViewAndClear(50.05, 2.2, 6.5);
    QTRY_VERIFY(Find<QWidget>("HighlightedPoint")->isVisible());
    QVERIFY(!hint->isVisible());

    // Unticked, the panel goes and the chart keeps the edit.
    QTest::mouseClick(properties, Qt::LeftButton);
    QVERIFY(!Find<QDockWidget>("PanelEditor")->isVisible());
    QTRY_VERIFY(HasColourAt(50.3167, 1.65, kRoute));
}

void TChartViewerRouteEditorTest::TracksMenuReplaysTheTrackByTheClock()
{
    OpenSample();
    auto *bar = Find<QToolBar>("TrackAnimation");
    QAction *menu = Find<QAction>("TrackAnimation1");
    QVERIFY(!bar->isVisible());
    QVERIFY(menu->isEnabled());
    // Every point of the track drawn: the last leg, 12:00 to 13:00, is on the chart.
    QTRY_VERIFY(HasColourAt(49.775, 3.925, kTrack));

    menu->trigger();
    QVERIFY(bar->isVisible());
    QVERIFY(menu->isChecked());
    QCOMPARE(Find<QLabel>("LTrackTimeIni")->text(), QStringLiteral("08:00:00"));
    QCOMPARE(Find<QLabel>("LTrackTimeFin")->text(), QStringLiteral("13:00:00"));
    QCOMPARE(Chart().TrackTime(), At(8, 0));

    // 25 s of play at the default speed (3 steps each 100 ms): 750 of 1000, 11:45, the boat
    // three quarters down the leg from 11:00 (50°N 3°30'W) to 12:00 (49°51'N 3°48'W).
    const QDateTime start = FClock->Time;
    QTest::mouseClick(Find<QPushButton>("BPlay"), Qt::LeftButton);
    FClock->Time = start.addSecs(25);
    auto *slider = Find<QSlider>("BarraTrackTime");
    QTRY_COMPARE(slider->value(), 750);
    QCOMPARE(Find<QLabel>("LTrackTime")->text(), QStringLiteral("11:45:00"));
    QCOMPARE(Chart().TrackTime(), At(11, 45));
    QTest::mouseClick(Find<QPushButton>("BStop"), Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(HasColourAt(49.925, 3.65, kTrack)); // half-way down that leg: passed
    QVERIFY(!HasColourAt(49.865, 3.77, kTrack)); // nine tenths: still ahead
    QVERIFY(!HasColourAt(49.775, 3.925, kTrack));

    // The slider's keys as a person uses them: Home goes back to the start, a page on is half
    // an hour (100 of 1000 over five hours), End is the last fix.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(Chart().TrackTime(), At(8, 0));
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(Find<QLabel>("LTrackTime")->text(), QStringLiteral("08:30:00"));
    QApplication::processEvents();
    QVERIFY(HasColourAt(50.4125, 2.675, kTrack)); // a quarter of the first leg
    QVERIFY(!HasColourAt(50.3375, 2.825, kTrack)); // three quarters
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(Chart().TrackTime(), At(13, 0));

    // Hidden from the menu again, the replay ends and every point is drawn.
    QTest::keyClick(slider, Qt::Key_Home);
    menu->trigger();
    QVERIFY(!bar->isVisible());
    QCOMPARE(Chart().TrackTime(), 0.0);
    QTRY_VERIFY(HasColourAt(49.775, 3.925, kTrack));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TChartViewerRouteEditorTest::GpxComesInAndGoesOutThroughTheFileMenu()
{
    OpenSample();
    // In the File menu, before the printing commands.
    const QList<QAction *> file = Find<QMenu>("File1")->actions();
    const auto at = [&file](const char *name) {
        for (qsizetype i = 0; i < file.size(); ++i)
            if (file[i]->objectName() == QLatin1String(name))
                return i;
        return qsizetype(-1);
    };
    QVERIFY(at("ImportGpx1") >= 0);
    QCOMPARE(at("ExportGpx1"), at("ImportGpx1") + 1);
    QVERIFY(at("ExportGpx1") < at("PrintChart1"));

    FFiles->Answers << kHandwritten;
    Find<QAction>("ImportGpx1")->trigger();
    const TChartDesk &desk = Chart().Desk();
    QCOMPARE(desk.Routes.Count(), std::size_t(2));
    QCOMPARE(desk.Tracks.Count(), std::size_t(3));
    QCOMPARE(desk.OtherObjects.Count(), std::size_t(5));
    QCOMPARE(FBoxes->Texts().size(), 1);
    QVERIFY(FBoxes->Texts()[0].contains(QStringLiteral("1 route, 2 tracks, 2 marks (10 points)")));
    QVERIFY(desk.IsModified());

    // The whole desktop goes out: the sample's objects and what came in, each as it is here.
    const QString out = FFolder->filePath(QStringLiteral("all.gpx"));
    FFiles->Answers << out;
    Find<QAction>("ExportGpx1")->trigger();
    QCOMPARE(FBoxes->Texts().size(), 1);
    const TGpxImport back = ReadGpxFile(out.toStdString());
    QCOMPARE(back.Routes.Count(), desk.Routes.Count());
    QCOMPARE(back.Tracks.Count(), desk.Tracks.Count());
    QCOMPARE(back.Marks.Count(), desk.OtherObjects.Count());
    for (std::size_t i = 0; i < desk.Tracks.Count(); ++i) {
        const auto &here = desk.Tracks[i]->Points;
        const auto &there = back.Tracks[i]->Points;
        QCOMPARE(there.size(), here.size());
        for (std::size_t k = 0; k < here.size(); ++k) {
            QVERIFY(qAbs(there[k].Lat - here[k].Lat) < 1e-9);
            QVERIFY(qAbs(there[k].Lon - here[k].Lon) < 1e-9);
            // Times in whole milliseconds of a day count.
            QVERIFY(qAbs(there[k].Time - here[k].Time) * 86400000 < 1);
        }
    }
    QCOMPARE(back.Routes[0]->Name, std::string("Solent to Cherbourg"));
    QCOMPARE(back.Routes[1]->Points.back().Name, std::string("Horta"));
}

void TChartViewerRouteEditorTest::LargeGpxShowsProgressAndCancelImportsNothing()
{
    OpenSample();
    // 160 MB of a plotter's log: 64,000 points, each with a long block of extensions. Reading
    // it takes over a second here, well past the 300 ms after which the progress shows.
    const QString big = FFolder->filePath(QStringLiteral("big.gpx"));
    {
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"plotter\" "
                "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:p=\"urn:plotter\">\n"
                "<trk><name>Long log</name><trkseg>\n");
        const QByteArray padding(2500, 'x');
        for (int i = 0; i < 64000; ++i)
            f.write("<trkpt lat=\"" + QByteArray::number(40 + i * 1e-4, 'f', 6)
                + "\" lon=\"-9\"><time>2024-06-21T04:29:47Z</time><extensions><p:raw>" + padding
                + "</p:raw></extensions></trkpt>\n");
        f.write("</trkseg></trk></gpx>\n");
    }
    QVERIFY(QFileInfo(big).size() > 160'000'000);
    const std::size_t tracks = Chart().Desk().Tracks.Count();

    // The progress dialog of the viewer, watched while the file is read; Cancel is pressed
    // once it shows a part done.
    int seen = -1;
    bool cancelled = false;
    QTimer watch;
    watch.setInterval(20);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *progress = Viewer().findChild<QProgressDialog *>(QStringLiteral("GpxProgress"));
        if (cancelled || !progress || !progress->isVisible())
            return;
        if (progress->value() <= 0 || progress->value() >= 1000)
            return;
        seen = progress->value();
        QVERIFY(progress->windowModality() == Qt::WindowModal);
        auto *cancel = progress->findChild<QPushButton *>();
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
        cancelled = true;
    });
    watch.start();
    FFiles->Answers << big;
    Find<QAction>("ImportGpx1")->trigger();
    watch.stop();
    QVERIFY2(cancelled, "the progress was never shown part-way");
    QVERIFY(seen > 0 && seen < 1000);
    QCOMPARE(Chart().Desk().Tracks.Count(), tracks);
    QVERIFY(!Chart().Desk().TracksModified);
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join('|')));

    // Read to its end, the same file comes in whole.
    FFiles->Answers << big;
    Find<QAction>("ImportGpx1")->trigger();
    QCOMPARE(Chart().Desk().Tracks.Count(), tracks + 1);
    QCOMPARE(Chart().Desk().Tracks[tracks]->Points.size(), std::size_t(64000));
}

void TChartViewerRouteEditorTest::ChartOptionOpensADesktopOrAVectorChart()
{
    // vrn32 --chart Sample.vrn: the desktop with its routes, tracks and view.
    QVERIFY(FWindows->ShowChartFile(kSample));
    QVERIFY(Viewer().isVisible());
    QCOMPARE(Chart().DesktopFileName(), kSample);
    QCOMPARE(Chart().Desk().Routes.Count(), std::size_t(1));
    QCOMPARE(Chart().Escala().LatC, 50.05);
    // In a program started afresh, a vector chart is shown whole; a desktop that is not there
    // says so and opens nothing.
    cleanup();
    init();
    const QString chart = FFolder->filePath(QStringLiteral("wight.cht"));
    {
        QFile f(chart);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("O;Polygon;Wight\r\nP;50.75;1.55\r\nP;50.58;1.10\r\nP;50.72;1.05\r\n");
    }
    QVERIFY(FWindows->ShowChartFile(chart));
    QCOMPARE(QString::fromStdString(Chart().Desk().ChartFileName), chart);
    QVERIFY(Chart().Escala().LonSpan < 1);
    // (A vector chart opened is a change of the desktop: the question comes first.)
    const QString none = FFolder->filePath(QStringLiteral("none.vrn"));
    QVERIFY(!FWindows->ShowChartFile(none));
    QCOMPARE(FBoxes->Texts(),
        (QStringList {QStringLiteral("Desktop changed. Save?"),
            QStringLiteral("File %1 not found").arg(none)}));
    QCOMPARE(QString::fromStdString(Chart().Desk().ChartFileName), chart);
}

void TChartViewerRouteEditorTest::Screenshots()
{
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR names the folder for the screenshots");
    OpenSample();
    Viewer().resize(1100, 680);
    QTest::mouseClick(Find<QCheckBox>("CBToggleProperties"), Qt::LeftButton);
    auto *list = Find<QListWidget>("LBRoutesTracks");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
        list->visualItemRect(list->item(1)).center() + QPoint(20, 0));
    const QModelIndex third = Table()->model()->index(2, 1);
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, Table()->visualRect(third).center());
    QTRY_VERIFY_WITH_TIMEOUT(Chart().Desk().ChartImages[0]->Rendered.has_value(), 10000);
    QTest::qWait(300);
    QVERIFY(Viewer().grab().save(folder + QStringLiteral("/chart-viewer-route-editor.png")));
    Find<QAction>("TrackAnimation1")->trigger();
    const QDateTime start = FClock->Time;
    QTest::mouseClick(Find<QPushButton>("BPlay"), Qt::LeftButton);
    FClock->Time = start.addSecs(25);
    QTRY_COMPARE(Find<QSlider>("BarraTrackTime")->value(), 750);
    QTest::mouseClick(Find<QPushButton>("BStop"), Qt::LeftButton);
    QTest::qWait(300);
    QVERIFY(Viewer().grab().save(folder + QStringLiteral("/chart-viewer-track-replay.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TChartViewerRouteEditorTest)
#include "ChartViewerRouteEditorTest.moc"
