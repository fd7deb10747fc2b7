// The route and track editor and the track replay, driven through their widgets beside a real
// chart view: typing into the point table, the point editor, deletes, printing to PDF, the
// replay by the clock, GPS fixes into a long track, and GPX files in and out.

#include "apps/vrn32/RouteTrackPanels.h"

#include "apps/vrn32/RouteTrackPanelsUi.h"
#include "charts/Dcarta.h"
#include "charts/FormEditaPosicao.h"
#include "charts/GpxFile.h"
#include "charts/PainterSurface.h"
#include "tests/apps/vrn32/PointTableTyping.h"
#include "tests/ui/PdfText.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace vrn;

namespace {

// The chart view with the editor page at its right and the replay controls above it, as the
// viewer window holds them.
struct TEditorHost
{
    QWidget Window;
    TLogCarta *Chart = nullptr;
    std::unique_ptr<TRouteTrackPanels> Panels;

    TEditorHost()
    {
        Chart = new TLogCarta(&Window);
        Chart->setObjectName(QStringLiteral("Chart"));
        Panels = std::make_unique<TRouteTrackPanels>(*Chart, &Window);
        auto *row = new QHBoxLayout;
        row->addWidget(Chart, 1);
        row->addWidget(Panels->RoutesTracksPage());
        auto *layout = new QVBoxLayout(&Window);
        layout->addWidget(Panels->TrackAnimationControls());
        layout->addLayout(row, 1);
        // The chart view's events, as the viewer passes them on.
        QObject::connect(Chart, &TLogCarta::OnRouteChanged, Chart,
            [this](TChtRoute *route) { Panels->RouteChanged(route); });
        QObject::connect(Chart, &TLogCarta::OnTrackChanged, Chart,
            [this](TChtTrack *track) { Panels->TrackChanged(track); });
        QObject::connect(
            Chart, &TLogCarta::OnRedrawChart, Chart, [this] { Panels->ChartRedrawn(); });
        Window.resize(1200, 700);
        Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window));
        Window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Window));
        Chart->SetViewAndClear(10.5, 20, 4);
        QApplication::processEvents();
    }

    template <class T>
    T *Find(const char *name) const
    {
        return Window.findChild<T *>(QLatin1String(name));
    }

    QTableView *Table() const { return Find<QTableView>("RouteGrid"); }

    QListWidget *List() const { return Find<QListWidget>("LBRoutesTracks"); }

    QString Cell(int row, TPointColumn column) const
    {
        return Table()->model()->index(row, static_cast<int>(column)).data().toString();
    }

    void Click(const char *button) const
    {
        auto *b = Find<QPushButton>(button);
        QVERIFY2(b, button);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // A click into the list's entry at `row`, right of the icons.
    void SelectEntry(int row) const
    {
        QListWidget *list = List();
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center() + QPoint(20, 0));
    }

    void ClickRow(int row) const
    {
        QTableView *t = Table();
        const QRect r = t->visualRect(t->model()->index(row, 1));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
    }

    void TypeIntoCell(int row, TPointColumn column, const QString &text) const
    {
        TypeIntoPointCell(*Table(), row, column, text);
    }

    // The colour of the chart's picture at a position when the pixel there or one beside it has
    // it (lines are one pixel wide and positions round), else the colour of the pixel itself.
    QRgb PixelAt(double latDeg, double lonDeg, QRgb wanted = kRedPixel) const
    {
        const TScreenPoint p = Chart->World2Screen(latDeg, lonDeg);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (Chart->Picture().pixel(p.X + dx, p.Y + dy) == wanted)
                    return wanted;
        return Chart->Picture().pixel(p.X, p.Y);
    }

    static constexpr QRgb kRedPixel = 0xFFFF0000;

    TChtRoute *AddRoute(const char *name, std::initializer_list<std::pair<double, double>> points)
    {
        auto route = std::make_unique<TChtRoute>();
        route->Name = name;
        for (const auto &[lat, lon] : points)
            route->AddPoint("", lat, lon, 0);
        return Chart->Desk().Routes.Add(std::move(route));
    }

    TChtTrack *AddTrack(const char *name, std::initializer_list<std::array<double, 3>> points)
    {
        auto track = std::make_unique<TChtTrack>();
        track->Name = name;
        for (const auto &[lat, lon, time] : points)
            track->AddPoint("", lat, lon, time);
        return Chart->Desk().Tracks.Add(std::move(track));
    }

    void Redraw() const
    {
        Chart->Redraw(true, true);
        QApplication::processEvents();
    }
};

const QRgb kRed = ToQColor(kClRed).rgb();
// The eleventh of the 16 standard colours.
constexpr TColor kLime = 0x00FF00;

double At(int h, int m, int s = 0)
{
    return EncodeDate(2024, 6, 21) + EncodeTime(h, m, s, 0);
}

// Runs `act` on the next modal dialog of type T once it is shown.
template <class T>
void WhenModalShown(std::function<void(T &)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
    });
}

} // namespace

class TRouteTrackPanelsTest : public QObject
{
    Q_OBJECT

private slots:

    void init() { SetShortDateFormat({TDateOrder::DayMonthYear, '/'}); }

    void typedPositionMovesTheChartAndTheLegs();
    void pointEditorChangesThePoint();
    void deletingTheLastPointLeavesAnEmptyRoute();
    void commandsWithNothingSelectedDoNothing();
    void listSelectsTheFirstVisibleEntryAndTogglesVisibility();
    void deleteAllAnsweredNoRebuildsTheList();
    void tableIsPrintedAsTextPages();
    void replayFollowsTheClock();
    void replayControlsNeedARange();
    void gpsFixesBecomeRowsOfALongTrack();
    void gpxFilesComeInAndGoOut();
    void brokenGpxImportsNothing();
};

void TRouteTrackPanelsTest::typedPositionMovesTheChartAndTheLegs()
{
    TTestMessageBoxes boxes;
    TEditorHost host;
    // Off the grid lines, which are drawn over routes.
    host.AddRoute("Passage", {{10, 20.17}, {11, 20.17}});
    host.Panels->ShowEditor();
    host.Redraw();
    QCOMPARE(host.List()->count(), 1);
    // 60' of latitude are 60 NM (the Part's example).
    QCOMPARE(host.Cell(0, TPointColumn::Rng), QStringLiteral(" 60.00 "));
    QCOMPARE(host.Find<QLabel>("LTotal")->text(), QStringLiteral("  60.0NM"));
    QCOMPARE(host.PixelAt(10.63, 20.17), kRed);
    QVERIFY(host.PixelAt(11.4, 20.17) != kRed);

    host.TypeIntoCell(1, TPointColumn::Lat, QStringLiteral("11°30.00'N"));
    TChtRoute &route = *host.Chart->Desk().Routes[0];
    QCOMPARE(route.Points[1].Lat, 11.5);
    QCOMPARE(host.Cell(1, TPointColumn::Lat), QStringLiteral("11°30.00'N"));
    QCOMPARE(host.Cell(0, TPointColumn::Rng), QStringLiteral(" 90.00 "));
    QCOMPARE(host.Cell(0, TPointColumn::Cog), QStringLiteral("  0°"));
    QCOMPARE(host.Find<QLabel>("LTotal")->text(), QStringLiteral("  90.0NM"));
    QCOMPARE(route.LatMax, 11.5);
    QVERIFY(host.Chart->Desk().RoutesModified);
    // The chart follows: the line reaches the new place.
    QApplication::processEvents();
    QCOMPARE(host.PixelAt(11.4, 20.17), kRed);
    // The highlight stands on the edited point.
    const TScreenPoint p = host.Chart->World2Screen(11.5, 20.17);
    auto *mark = host.Find<THighlightMark>("HighlightedPoint");
    QVERIFY(mark->isVisible());
    QCOMPARE(mark->Centre(), QPoint(p.X, p.Y));

    // A text that is no latitude is refused with a message; the point stays.
    host.TypeIntoCell(1, TPointColumn::Lat, QStringLiteral("95°00.00'N"));
    QCOMPARE(route.Points[1].Lat, 11.5);
    QVERIFY(boxes.Texts().join('|').contains(QStringLiteral("is not a latitude")));
    // A longitude typed east moves the point east (west-positive inside).
    host.TypeIntoCell(1, TPointColumn::Lon, QStringLiteral("1°00.00'E"));
    QCOMPARE(route.Points[1].Lon, -1.0);
}

void TRouteTrackPanelsTest::pointEditorChangesThePoint()
{
    TTestMessageBoxes boxes;
    TEditorHost host;
    TChtTrack *track = host.AddTrack("Log", {{{10, 20, At(10, 0)}}, {{10.1, 20, At(11, 0)}}});
    host.Panels->ShowEditor();
    host.ClickRow(1);
    QString prompt;
    WhenModalShown<TFormEditaPosicao>([&](TFormEditaPosicao &dialog) {
        prompt = dialog.findChild<QLabel *>(QStringLiteral("LPrompt"))->text();
        auto *text = dialog.findChild<QLineEdit *>(QStringLiteral("EdText"));
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Reef"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("BOK")), Qt::LeftButton);
    });
    QTest::mouseDClick(host.Table()->viewport(), Qt::LeftButton, {},
        host.Table()->visualRect(host.Table()->model()->index(1, 1)).center());
    QCOMPARE(prompt, QStringLiteral("Edit track point"));
    QCOMPARE(track->Points[1].Name, std::string("Reef"));
    QCOMPARE(host.Cell(1, TPointColumn::Text), QStringLiteral("Reef"));
    QVERIFY(host.Chart->Desk().TracksModified);
    // The hint on the chart: the point's time and name.
    QCOMPARE(host.Panels->PointHint()->text(), QStringLiteral("21/06/2024 11:00:00 Reef"));
    // The leg from the first point: 6 NM in one hour.
    host.ClickRow(0);
    QCOMPARE(host.Find<QLabel>("LLegText")->text(),
        QStringLiteral("Cog:  0° Rng:  6.00 Tm:01:00:00 Spd:  6.00"));
}

void TRouteTrackPanelsTest::deletingTheLastPointLeavesAnEmptyRoute()
{
    TTestMessageBoxes boxes;
    TEditorHost host;
    TChtRoute *route = host.AddRoute("Single", {{10.63, 20.17}});
    host.AddRoute("Other", {{10, 21.17}, {11, 21.17}});
    host.Panels->ShowEditor();
    host.Redraw();
    host.ClickRow(0);
    QVERIFY(host.Panels->HighlightedPoint());
    boxes.Answers = {QMessageBox::Yes};
    host.Click("DDelPontoRota");
    QCOMPARE(boxes.Texts().last(), QStringLiteral("Delete point 1 ?"));
    QVERIFY(route->Points.empty());
    QCOMPARE(host.Table()->model()->rowCount(), 0);
    QVERIFY(!host.Panels->HighlightedPoint());
    QCOMPARE(host.Find<QLabel>("LPontos")->text(), QStringLiteral("Points: 0"));
    QCOMPARE(host.Find<QLabel>("LTotal")->text(), QStringLiteral("   0.0NM"));
    QVERIFY(host.Chart->Desk().RoutesModified);
    // An object without points draws nothing (its box is empty); the other route still draws.
    QVERIFY(route->LatMin > route->LatMax);
    host.Redraw();
    QVERIFY(host.PixelAt(10.63, 20.17) != kRed);
    QCOMPARE(host.PixelAt(10.63, 21.17), kRed);

    // The whole route goes after its question.
    boxes.Answers = {QMessageBox::Yes};
    host.Click("BDeletaRotaTrack");
    QCOMPARE(boxes.Texts().last(), QStringLiteral("Delete \"Single\" ?"));
    QCOMPARE(host.Chart->Desk().Routes.Count(), std::size_t(1));
    QCOMPARE(host.List()->count(), 1);
    QCOMPARE(host.Panels->Selected(), host.Chart->Desk().Routes[0]);
    QCOMPARE(host.Find<QLineEdit>("EdNomeRota")->text(), QStringLiteral("Other"));
}

void TRouteTrackPanelsTest::commandsWithNothingSelectedDoNothing()
{
    TTestMessageBoxes boxes;
    TTestPrinterDialog printers;
    TEditorHost host;
    host.AddRoute("Hidden", {{10, 20}, {11, 20}})->Visible = false;
    host.Panels->ShowEditor();
    // With no route visible nothing is selected at first.
    QCOMPARE(host.List()->currentRow(), -1);
    QCOMPARE(host.Find<QLabel>("LNomeRota")->text(), QStringLiteral("Name:"));
    QVERIFY(!host.Find<QCheckBox>("CBRouteVisible")->isEnabled());
    for (const char *button : {"BDeletaRotaTrack", "DDelPontoRota", "BEditRoutePoint"})
        host.Click(button);
    auto *palette = host.Find<TRouteColorGrid>("GridRouteColor");
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CellRect(10).center());
    QVERIFY(boxes.Shown.isEmpty());
    QCOMPARE(host.Chart->Desk().Routes.Count(), std::size_t(1));
    QVERIFY(!host.Chart->Desk().IsModified());
    host.Click("BPrintRoute");
    QCOMPARE(boxes.Texts(), QStringList {QStringLiteral("No route/track selected")});
    QCOMPARE(printers.Shown, 0);

    // Adding points needs a route or track to add them to.
    TEditorHost empty;
    empty.Panels->AddPointsToRoute();
    empty.Panels->AddPointsToTrack();
    QCOMPARE(boxes.Texts().mid(1),
        (QStringList {QStringLiteral("No routes defined"), QStringLiteral("No Tracks defined")}));
}

void TRouteTrackPanelsTest::listSelectsTheFirstVisibleEntryAndTogglesVisibility()
{
    TTestMessageBoxes boxes;
    TEditorHost host;
    host.AddRoute("Hidden route", {{10, 20.17}, {11, 20.17}})->Visible = false;
    host.AddTrack("Hidden track", {{{10, 20, At(10, 0)}}})->Visible = false;
    TChtTrack *shown =
        host.AddTrack("Shown track", {{{10, 19.5, At(10, 0)}}, {{11, 19.5, At(11, 0)}}});
    host.Panels->ShowEditor();
    // The Part's edge case: no route visible, so the first visible track.
    QCOMPARE(host.List()->currentRow(), 2);
    QCOMPARE(host.Panels->Selected(), shown);
    QCOMPARE(host.Find<QLabel>("LNomeRota")->text(), QStringLiteral("Track:"));
    QCOMPARE(host.Find<QLabel>("LRoutes")->text(), QStringLiteral("Routes: 1"));
    QCOMPARE(host.Find<QLabel>("LTracks")->text(), QStringLiteral("Tracks: 2"));

    // A click on the leftmost pixels of an entry selects it and toggles its visibility.
    QListWidget *list = host.List();
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, first.center().y()));
    TChtRoute *route = host.Chart->Desk().Routes[0];
    QCOMPARE(host.Panels->Selected(), route);
    QVERIFY(route->Visible);
    QVERIFY(host.Find<QCheckBox>("CBRouteVisible")->isChecked());
    QVERIFY(host.Chart->Desk().RoutesModified);
    host.Redraw();
    QCOMPARE(host.PixelAt(10.63, 20.17), kRed);

    // The name field renames the selected entry.
    auto *name = host.Find<QLineEdit>("EdNomeRota");
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Landfall"));
    QCOMPARE(route->Name, std::string("Landfall"));
    QCOMPARE(list->item(0)->text(), QStringLiteral("Landfall"));
    // ";" cannot be typed into a name a desktop line must hold.
    QTest::keyClicks(name, QStringLiteral(";x"));
    QCOMPARE(route->Name, std::string("Landfallx"));

    // A palette click colours the selected route and the chart follows.
    auto *palette = host.Find<TRouteColorGrid>("GridRouteColor");
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CellRect(10).center());
    QCOMPARE(route->Color, kLime);
    QApplication::processEvents();
    QCOMPARE(host.PixelAt(10.63, 20.17, ToQColor(kLime).rgb()), ToQColor(kLime).rgb());

    // Selection is kept by object when the list is refilled with a new route in front.
    host.SelectEntry(2);
    auto added = std::make_unique<TChtRoute>();
    added->AddPoint("", 1, 1, 0);
    host.Chart->Desk().Routes.Add(std::move(added));
    host.Panels->RouteChanged(host.Chart->Desk().Routes[1]);
    QCOMPARE(host.List()->count(), 4);
    QCOMPARE(host.Panels->Selected(), static_cast<TChtRoute *>(shown));
}

void TRouteTrackPanelsTest::deleteAllAnsweredNoRebuildsTheList()
{
    TTestMessageBoxes boxes;
    TEditorHost host;
    host.AddRoute("A", {{10, 20}, {11, 20}});
    host.Panels->ShowEditor();
    // Listed behind the editor's back: the answer No still shows it.
    host.AddTrack("B", {{{10, 19, At(10, 0)}}});
    boxes.Answers = {QMessageBox::No};
    host.Click("BClearAllRotas");
    QCOMPARE(boxes.Texts().last(), QStringLiteral("Delete all routes and tracks?"));
    QCOMPARE(host.List()->count(), 2);
    QCOMPARE(host.List()->currentRow(), 0);
    boxes.Answers = {QMessageBox::Yes};
    host.Click("BClearAllRotas");
    QCOMPARE(host.List()->count(), 0);
    QVERIFY(host.Chart->Desk().Routes.Empty());
    QVERIFY(host.Chart->Desk().Tracks.Empty());
    QVERIFY(host.Chart->CurrentRoute());
    QVERIFY(host.Chart->Desk().RoutesModified && host.Chart->Desk().TracksModified);
    QCOMPARE(host.Find<QLineEdit>("EdNomeRota")->text(), QString());
    QCOMPARE(host.Table()->model()->rowCount(), 0);
}

void TRouteTrackPanelsTest::tableIsPrintedAsTextPages()
{
    if (!PdfTextAvailable())
        QSKIP("pdftotext is not installed");
    TTestMessageBoxes boxes;
    TTestFileDialogs files;
    TTestPrinterDialog printers;
    QTemporaryDir dir;
    TEditorHost host;
    auto route = std::make_unique<TChtRoute>();
    route->Name = "Long passage";
    for (int i = 0; i < 150; ++i)
        route->AddPoint(i == 149 ? "Landfall" : "", 10 + i / 60.0, 20, 0);
    host.Chart->Desk().Routes.Add(std::move(route));
    host.Panels->ShowEditor();

    const QString pdf = dir.filePath(QStringLiteral("table.pdf"));
    files.Answers = {pdf};
    host.Click("BSaveRoutePdf");
    QVERIFY2(boxes.Shown.isEmpty(), qPrintable(boxes.Texts().join('|')));
    QCOMPARE(files.Requests.size(), 1);
    QVERIFY(files.Requests[0].Folder.endsWith(QStringLiteral("Long passage.pdf")));
    const QString text = PdfText(pdf);
    // 150 rows of 10-point lines, and the title and header: three A4 or letter sheets.
    QCOMPARE(PdfSheetCount(text), 3);
    const QStringList words = PdfWords(text);
    const QStringList head = {QStringLiteral("Route:"), QStringLiteral("Long"),
        QStringLiteral("passage"), QStringLiteral("150"), QStringLiteral("points"),
        QStringLiteral("149.0NM"), QStringLiteral("#"), QStringLiteral("Lat"),
        QStringLiteral("Lon"), QStringLiteral("Cog"), QStringLiteral("Rng"), QStringLiteral("[NM]"),
        QStringLiteral("Text"), QStringLiteral("Date/Time"), QStringLiteral("1"),
        QStringLiteral("10°00.00'N"), QStringLiteral("20°00.00'W"), QStringLiteral("0°"),
        QStringLiteral("1.00")};
    QCOMPARE(words.mid(0, head.size()), head);
    const QStringList tail = {QStringLiteral("150"), QStringLiteral("12°29.00'N"),
        QStringLiteral("20°00.00'W"), QStringLiteral("Landfall")};
    QCOMPARE(words.mid(words.size() - tail.size()), tail);

    // Print... sends the same pages to the printer chosen.
    const QString printed = dir.filePath(QStringLiteral("printer.pdf"));
    printers.Answers = {printed};
    host.Click("BPrintRoute");
    QCOMPARE(printers.Shown, 1);
    QCOMPARE(PdfWords(PdfText(printed)), words);
}

void TRouteTrackPanelsTest::replayFollowsTheClock()
{
    TTestMessageBoxes boxes;
    const QDateTime start(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);
    TFixedClock clock(start);
    TEditorHost host;
    // Points at 10:00, 10:10 and 10:20, a degree of longitude apart (the Part's example).
    TChtTrack *track = host.AddTrack("Log",
        {{{10.33, 21.17, At(10, 0)}}, {{10.33, 20.17, At(10, 10)}}, {{10.33, 19.17, At(10, 20)}}});
    host.Redraw();
    host.Panels->PanelChanged(true);
    QCOMPARE(host.Panels->ReplayRange().Start, At(10, 0));
    QCOMPARE(host.Panels->ReplayRange().End, At(10, 20));
    // Twenty minutes are less than a day: times alone.
    QCOMPARE(host.Find<QLabel>("LTrackTimeIni")->text(), QStringLiteral("10:00:00"));
    QCOMPARE(host.Find<QLabel>("LTrackTimeFin")->text(), QStringLiteral("10:20:00"));
    QVERIFY(host.Find<QDateEdit>("EdTrackDateIni")->isEnabled());
    QCOMPARE(host.Find<QDateEdit>("EdTrackDateIni")->date(), QDate(2024, 6, 21));
    QCOMPARE(host.Chart->TrackTime(), At(10, 0));

    host.Click("BPlay");
    auto *timer = host.Panels->findChild<QTimer *>(QStringLiteral("TimerTrackTime"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 100);
    // 25 s of the clock at 3 steps each 100 ms: slider 750, a quarter past ten.
    clock.Time = start.addMSecs(25000);
    auto *slider = host.Find<QSlider>("BarraTrackTime");
    QTRY_COMPARE(slider->value(), 750);
    QCOMPARE(host.Find<QLabel>("LTrackTime")->text(), QStringLiteral("10:15:00"));
    QCOMPARE(host.Chart->TrackTime(), At(10, 15));
    QCOMPARE(track->TimeLimit, At(10, 15));
    // The track is drawn to half its second leg: the head of the replay at 19.67°W.
    QApplication::processEvents();
    QCOMPARE(host.PixelAt(10.33, 19.77), kRed);
    QVERIFY(host.PixelAt(10.33, 19.47) != kRed);

    // Stopped, the clock may run: nothing moves.
    host.Click("BStop");
    QVERIFY(!timer->isActive());
    clock.Time = start.addMSecs(40000);
    QTest::qWait(150);
    QCOMPARE(slider->value(), 750);

    // Faster: 10 steps each 30 ms, counted from the moment of the change; the end stops it.
    host.Find<QSlider>("TrackTimeTimerSpeed")->setValue(100);
    QCOMPARE(host.Panels->ReplayStep(), 10);
    QCOMPARE(timer->interval(), 30);
    host.Click("BPlay");
    clock.Time = start.addMSecs(40000 + 300);
    QTRY_COMPARE(slider->value(), 850);
    clock.Time = start.addMSecs(50000);
    QTRY_VERIFY(!timer->isActive());
    QCOMPARE(slider->value(), 1000);
    QCOMPARE(host.Find<QLabel>("LTrackTime")->text(), QStringLiteral("10:20:00"));

    host.Click("BRewind");
    QCOMPARE(slider->value(), 0);
    QCOMPARE(host.Chart->TrackTime(), At(10, 0));

    // A later end date keeps its time of day and spreads the range over two days and more.
    auto *end = host.Find<QDateEdit>("EdTrackDateFin");
    end->setFocus();
    end->setDate(QDate(2024, 6, 23));
    QTest::keyClick(end, Qt::Key_Return);
    QCOMPARE(host.Panels->ReplayRange().End, EncodeDate(2024, 6, 23) + EncodeTime(10, 20, 0, 0));
    QCOMPARE(host.Panels->ReplayFormat(), std::string("dd/MM hh:mm"));
    QCOMPARE(host.Find<QLabel>("LTrackTimeFin")->text(), QStringLiteral("23/06 10:20"));
    // A start after the end is refused: the picker goes back.
    auto *ini = host.Find<QDateEdit>("EdTrackDateIni");
    ini->setFocus();
    ini->setDate(QDate(2024, 6, 24));
    QTest::keyClick(ini, Qt::Key_Return);
    QCOMPARE(host.Panels->ReplayRange().Start, At(10, 0));
    QCOMPARE(ini->date(), QDate(2024, 6, 21));

    // Hiding the panel stops the replay and draws every point again.
    host.Click("BPlay");
    host.Panels->PanelChanged(false);
    QVERIFY(!timer->isActive());
    QCOMPARE(host.Chart->TrackTime(), 0.0);
    QCOMPARE(track->TimeLimit, 0.0);
    QVERIFY(boxes.Shown.isEmpty());
}

void TRouteTrackPanelsTest::replayControlsNeedARange()
{
    TTestMessageBoxes boxes;
    TEditorHost host;
    // A track without times and a hidden one with times: nothing to replay.
    host.AddTrack("No times", {{{10, 20, 0}}, {{11, 20, 0}}});
    host.AddTrack("Hidden", {{{10, 20, At(10, 0)}}, {{11, 20, At(11, 0)}}})->Visible = false;
    host.Panels->PanelChanged(true);
    host.Click("BUpdateTimes");
    QCOMPARE(boxes.Texts(), QStringList {QStringLiteral("No tracks visible to animate")});
    QVERIFY(!host.Find<QDateEdit>("EdTrackDateIni")->isEnabled());
    QCOMPARE(host.Find<QLabel>("LTrackTimeIni")->text(), QString());
    host.Click("BPlay");
    QVERIFY(!host.Panels->findChild<QTimer *>(QStringLiteral("TimerTrackTime"))->isActive());
    host.Find<QSlider>("BarraTrackTime")->setValue(500);
    QCOMPARE(host.Chart->TrackTime(), 0.0);
    // "Points:" gives every shown track its tail.
    host.Find<QSpinBox>("EdNumPontos")->setValue(7);
    QCOMPARE(host.Chart->Desk().Tracks[0]->TailLength, 7);
}

void TRouteTrackPanelsTest::gpsFixesBecomeRowsOfALongTrack()
{
    TEditorHost host;
    auto owned = std::make_unique<TChtTrack>();
    owned->Name = "GPS";
    owned->GpsTrack = true;
    for (int i = 0; i < 36000; ++i)
        owned->AddPoint("", 10 + (i % 600) * 1e-3, 20 + i * 1e-5, At(0, 0) + i / 86400.0);
    TChtTrack *track = host.Chart->Desk().Tracks.Add(std::move(owned));
    host.Panels->ShowEditor();
    QAbstractItemModel *model = host.Table()->model();
    QCOMPARE(model->rowCount(), 36000);
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 60; ++i)
        host.Chart->AddTrackPoint(track, "", 10.7, 20.4 + i * 1e-4, At(10, 0) + i / 86400.0);
    QCOMPARE(model->rowCount(), 36060);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(inserted.count(), 60);
    // The leg of the row before a fix is filled in when the fix comes.
    QVERIFY(!host.Cell(36058, TPointColumn::Rng).isEmpty());
    QCOMPARE(host.Cell(36059, TPointColumn::Rng), QString());
    QCOMPARE(host.Find<QLabel>("LPontos")->text(), QStringLiteral("Points: 36060"));
    QCOMPARE(host.Find<QLabel>("LTotal")->text(),
        QString::fromStdString(TotalLengthText(TotalLength(*track))));
    // A fix that comes while the sailor renames the track leaves the name as it is being typed.
    auto *name = host.Find<QLineEdit>("EdNomeRota");
    name->setFocus();
    name->setCursorPosition(1);
    QTest::keyClick(name, Qt::Key_X);
    host.Chart->AddTrackPoint(track, "", 10.7, 20.5, At(10, 2));
    QCOMPARE(name->cursorPosition(), 2);
    QTest::keyClick(name, Qt::Key_Y);
    QCOMPARE(track->Name, std::string("GxyPS"));

    // The end of the table is one key away.
    host.Table()->setFocus();
    host.ClickRow(0);
    QTest::keyClick(host.Table(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(host.Table()->currentIndex().row(), 36060);
    const int bottom = host.Table()->rowAt(host.Table()->viewport()->height() - 2);
    QVERIFY2(bottom >= 36051, qPrintable(QString::number(bottom)));
    QCOMPARE(host.Cell(36060, TPointColumn::Number), QStringLiteral("36061"));
}

void TRouteTrackPanelsTest::gpxFilesComeInAndGoOut()
{
    TTestMessageBoxes boxes;
    TTestFileDialogs files;
    QTemporaryDir dir;
    TEditorHost host;
    host.AddRoute("Existing", {{10, 20}, {11, 20}});
    host.Panels->ShowEditor();
    files.Answers = {QStringLiteral(VRN_TEST_DATA_DIR "/chartview/gpx/handwritten.gpx")};
    host.Click("BImportGpx");
    TChartDesk &desk = host.Chart->Desk();
    QCOMPARE(desk.Routes.Count(), std::size_t(2));
    QCOMPARE(desk.Tracks.Count(), std::size_t(2));
    QCOMPARE(desk.OtherObjects.Count(), std::size_t(2));
    QVERIFY(desk.IsModified());
    QCOMPARE(host.List()->count(), 4);
    QVERIFY(
        boxes.Texts().last().contains(QStringLiteral("1 route, 2 tracks, 2 marks (10 points)")));
    // The Azores are far from the view: it shows what came in, from 28°38'W to 0°30'E.
    const TEscalaCarta &view = host.Chart->Escala();
    QVERIFY(view.LonMax >= 28.6264 && view.LonMin <= -0.5);
    QVERIFY(view.LatMax >= 38.5336 && view.LatMin <= 37.7412);

    // The second track, alone, goes out and comes back the same.
    host.SelectEntry(3);
    host.ClickRow(1);
    if (const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR"); !folder.isEmpty()) {
        host.Panels->PanelChanged(true);
        QTest::qWait(100);
        QVERIFY(host.Window.grab().save(folder + QStringLiteral("/route-editor-standalone.png")));
    }
    QCOMPARE(host.Panels->Selected()->Name, std::string("Log (2)"));
    const QString out = dir.filePath(QStringLiteral("out.gpx"));
    files.Answers = {out};
    host.Click("BExportGpx");
    QVERIFY(files.Requests.last().Folder.endsWith(QStringLiteral("Log (2).gpx")));
    const TGpxImport back = ReadGpxFile(out.toStdString());
    QCOMPARE(back.Tracks.Count(), std::size_t(1));
    QCOMPARE(back.Routes.Count(), std::size_t(0));
    const auto &points = back.Tracks[0]->Points;
    QCOMPARE(points.size(), std::size_t(3));
    QCOMPARE(points[2].Lon, desk.Tracks[1]->Points[2].Lon);
    QCOMPARE(points[0].Time, desk.Tracks[1]->Points[0].Time);

    // Everything of the desktop.
    const QString all = dir.filePath(QStringLiteral("all.gpx"));
    files.Answers = {all};
    host.Panels->ExportGpx();
    const TGpxImport whole = ReadGpxFile(all.toStdString());
    QCOMPARE(whole.Routes.Count() + whole.Tracks.Count() + whole.Marks.Count(), std::size_t(6));
}

void TRouteTrackPanelsTest::brokenGpxImportsNothing()
{
    TTestMessageBoxes boxes;
    TTestFileDialogs files;
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.gpx"));
    {
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n<wpt lat=\"1\" lon=\"2\">\n"
                "<rte><rtept lat=\"1\" lon=\"1\"/></rte>\n</gpx>\n");
    }
    TEditorHost host;
    host.Panels->ShowEditor();
    files.Answers = {broken};
    host.Click("BImportGpx");
    QCOMPARE(boxes.Texts(),
        QStringList {broken
            + QStringLiteral(", line 5: Opening and ending "
                             "tag mismatch. (nothing imported)")});
    QVERIFY(host.Chart->Desk().Routes.Empty());
    QVERIFY(host.Chart->Desk().OtherObjects.Empty());
    QVERIFY(!host.Chart->Desk().IsModified());
}

QTEST_MAIN(TRouteTrackPanelsTest)
#include "RouteTrackPanelsTest.moc"
