// The chart view control under the offscreen platform: the seven tools driven by mouse events,
// wheel and keys, the events it raises, the back buffer and its overlays, the boat marker,
// raster charts rendered in the background, printing to PDF and a golden picture of the world.

#include "charts/Dcarta.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <cmath>
#include <memory>

using namespace vrn;

Q_DECLARE_METATYPE(vrn::TTipoFerramentaCarta)

namespace {

const QString kChartData = QStringLiteral(VRN_CHART_DATA_DIR);
const QString kTestData = QStringLiteral(VRN_TEST_DATA_DIR);
const QString kGolden = QStringLiteral(VRN_TEST_DATA_DIR "/world_360x180.png");

constexpr TColor kTestSea = 0x000000; // black: anything drawn differs from it

// The scale's worked view: centre 45N 10W, 10 degrees of longitude on 600 x 300 pixels, so 60
// pixels per degree of longitude and 84.85 per degree of latitude; (300, 150) is 45N 10W.
std::unique_ptr<TLogCarta> MakeView(int w = 600, int h = 300)
{
    auto view = std::make_unique<TLogCarta>();
    view->resize(w, h);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    view->SetSeaColor(kTestSea);
    view->Escala().SetView(45, 10, 10);
    view->Redraw(true, true);
    return view;
}

void Move(QWidget *w, int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier,
    Qt::MouseButtons buttons = Qt::NoButton)
{
    const QPointF p(x, y);
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, buttons, mods);
    QApplication::sendEvent(w, &e);
}

void Press(QWidget *w, int x, int y, Qt::MouseButton b = Qt::LeftButton,
    Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::mousePress(w, b, mods, QPoint(x, y));
}

void Release(QWidget *w, int x, int y, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mouseRelease(w, b, Qt::NoModifier, QPoint(x, y));
}

QColor Pixel(const TLogCarta &view, int x, int y)
{
    return view.Picture().pixelColor(x, y);
}

int Distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
        + std::abs(a.blue() - b.blue());
}

// The scale's own inverse of a pixel, the reference for the positions the tools create.
TViewCentre PositionOf(const TLogCarta &view, int x, int y)
{
    TViewCentre p;
    view.Screen2World(x, y, p.LatDeg, p.LonDeg);
    return p;
}

struct TEvents
{
    int Redraws = 0;
    int ScaleChanges = 0;
    double LatC = 0, LonC = 0;
    QStringList Messages;
    QList<TChtRoute *> Routes;
    QList<TChtTrack *> Tracks;

    explicit TEvents(TLogCarta &view)
    {
        QObject::connect(&view, &TLogCarta::OnRedrawChart, [this](TLogCarta *) { ++Redraws; });
        QObject::connect(
            &view, &TLogCarta::OnChangeScale, [this](TLogCarta *, double lat, double lon) {
                ++ScaleChanges;
                LatC = lat;
                LonC = lon;
            });
        QObject::connect(&view, &TLogCarta::OnChartMessage,
            [this](TLogCarta *, const QString &s) { Messages << s; });
        QObject::connect(&view, &TLogCarta::OnRouteChanged, [this](TChtRoute *r) { Routes << r; });
        QObject::connect(&view, &TLogCarta::OnTrackChanged, [this](TChtTrack *t) { Tracks << t; });
    }
};

} // namespace

class TChartViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void zoomTool_data();
    void zoomTool();
    void measureTool();
    void measureSnapsWithShift_data();
    void measureSnapsWithShift();
    void measureLabelHidesOutside();
    void routeTool_data();
    void routeTool();
    void trackToolStampsGmt();
    void listedTrackGetsMousePoints();
    void objectsTool();
    void pointNameTool();
    void handDrag();
    void wheelAndKeys();
    void toolChangeRestartsTheBand();
    void boatMarkerMoves();
    void ownerOverlaysAndRedrawEvent();
    void addTrackPoint();
    void trackReplay();
    void colours();
    void loadChartErrors();
    void desktopLoadAlwaysEndsWithANewDesktop();
    void rasterRendersInTheBackground();
    void printsToPdf();
    void printFailureRestoresTheScreen();
    void worldMatchesGolden();
};

void TChartViewTest::initTestCase()
{
    qRegisterMetaType<TTipoFerramentaCarta>();
}

void TChartViewTest::zoomTool_data()
{
    QTest::addColumn<double>("startSpan");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("events");
    QTest::addColumn<double>("lonC");
    // Centres from the worked view: x 0 is 15W, x 600 is 5W at span 10.
    QTest::addRow("left click zooms in on the click")
        << 10.0 << 0 << 150 << int(Qt::LeftButton) << false << 10 / 1.5 << 1 << 15.0;
    QTest::addRow("shift click zooms out")
        << 10.0 << 540 << 150 << int(Qt::LeftButton) << true << 15.0 << 1 << 6.0;
    QTest::addRow("right click zooms out")
        << 10.0 << 300 << 150 << int(Qt::RightButton) << false << 15.0 << 1 << 10.0;
    QTest::addRow("no zoom in at 0.05")
        << 0.05 << 0 << 150 << int(Qt::LeftButton) << false << 0.05 << 0 << 10.0;
}

void TChartViewTest::zoomTool()
{
    QFETCH(double, startSpan);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, button);
    QFETCH(bool, shift);
    QFETCH(double, span);
    QFETCH(int, events);
    QFETCH(double, lonC);
    auto view = MakeView();
    QVERIFY(view);
    view->Escala().SetView(45, 10, startSpan);
    TEvents ev(*view);
    QCOMPARE(view->Ferramenta(), TTipoFerramentaCarta::fcZoom);
    QTest::mouseClick(view.get(), Qt::MouseButton(button),
        shift ? Qt::ShiftModifier : Qt::NoModifier, QPoint(x, y));
    QVERIFY(std::fabs(view->Escala().LonSpan - span) < 1e-12);
    QCOMPARE(ev.ScaleChanges, events);
    QCOMPARE(ev.Redraws, events);
    QVERIFY(std::fabs(view->Escala().LonC - lonC) < 1e-9);
    if (events) {
        QVERIFY(std::fabs(ev.LonC - lonC) < 1e-9);
        QVERIFY(std::fabs(ev.LatC - 45) < 1e-9);
    }
}

void TChartViewTest::measureTool()
{
    auto view = MakeView();
    QVERIFY(view);
    TEvents ev(*view);
    view->SetFerramenta(TTipoFerramentaCarta::fcMeasure);
    QVERIFY(view->MeasureHint().isVisible());
    Move(view.get(), 120, 60);
    // Before a click the label and the message give the cursor position (x 120 is 13W,
    // y 60 is 46.76777 - 60/84.8528 = 46.0607N = 46°03.64'N).
    QCOMPARE(view->MeasureHint().text(), QStringLiteral("46°03.64'N 13°00.00'W"));
    QCOMPARE(ev.Messages.last(), view->MeasureHint().text());

    Press(view.get(), 300, 150);
    QVERIFY(view->LineActive());
    QCOMPARE(view->RubberStart(), (TScreenPoint {300, 150}));
    Move(view.get(), 360, 150, Qt::NoModifier, Qt::LeftButton);
    // 45N 10W to 45N 9W: great circle 89.65 deg, 42.43 NM (spherical law of cosines,
    // computed independently).
    const QString expected = QStringLiteral("COG= 90°  Rng= 42.43 NM");
    QCOMPARE(view->MeasureHint().text(), expected);
    QCOMPARE(ev.Messages.last(), expected);
    QVERIFY(view->MeasureHint().isVisible());
    QCOMPARE(view->RubberEnd(), (TScreenPoint {360, 150}));
    const QRect label = view->MeasureHint().geometry();
    QCOMPARE(label.left(), 365);
    QCOMPARE(label.bottom() + 1, 150 - 5);

    Move(view.get(), 300, 235, Qt::NoModifier, Qt::LeftButton);
    // 85 pixels down is 1.0017 deg south: course 180, 60.10 NM (one minute is one mile).
    QCOMPARE(view->MeasureHint().text(), QStringLiteral("COG=180°  Rng= 60.10 NM"));

    Release(view.get(), 300, 235);
    QVERIFY(!view->LineActive());
    QVERIFY(!view->RubberDrawn());
    QVERIFY(!view->MeasureHint().isVisible());
    QCOMPARE(ev.Redraws, 0); // measuring never redraws the chart
}

void TChartViewTest::measureSnapsWithShift_data()
{
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("snapped");
    // The worked examples of the measuring tool, from (100, 100).
    QTest::addRow("slope 0.5 is horizontal") << QPoint(200, 150) << QPoint(200, 100);
    QTest::addRow("slope 2.8 is vertical") << QPoint(150, 240) << QPoint(100, 240);
    QTest::addRow("slope 0.8 is a diagonal") << QPoint(200, 180) << QPoint(200, 200);
}

void TChartViewTest::measureSnapsWithShift()
{
    QFETCH(QPoint, to);
    QFETCH(QPoint, snapped);
    auto view = MakeView();
    QVERIFY(view);
    view->SetFerramenta(TTipoFerramentaCarta::fcMeasure);
    Press(view.get(), 100, 100);
    Move(view.get(), to.x(), to.y(), Qt::ShiftModifier, Qt::LeftButton);
    QCOMPARE(view->RubberEnd(), (TScreenPoint {snapped.x(), snapped.y()}));
    const TViewCentre start = PositionOf(*view, 100, 100);
    const TViewCentre end = PositionOf(*view, snapped.x(), snapped.y());
    QCOMPARE(view->MeasureHint().text().toStdString(),
        MeasureText(start.LatDeg, start.LonDeg, end.LatDeg, end.LonDeg));
}

void TChartViewTest::measureLabelHidesOutside()
{
    auto view = MakeView();
    QVERIFY(view);
    view->SetFerramenta(TTipoFerramentaCarta::fcMeasure);
    Press(view.get(), 300, 150);
    Move(view.get(), 400, 150, Qt::NoModifier, Qt::LeftButton);
    QVERIFY(view->MeasureHint().isVisible());
    Move(view.get(), 650, 150, Qt::NoModifier, Qt::LeftButton);
    QVERIFY(!view->MeasureHint().isVisible());
    QVERIFY(view->LineActive());
    Move(view.get(), 400, 150, Qt::NoModifier, Qt::LeftButton);
    QVERIFY(view->MeasureHint().isVisible());
    // Leaving the control without a button hides it too.
    Release(view.get(), 400, 150);
    Move(view.get(), 200, 100);
    QVERIFY(view->MeasureHint().isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.get(), &leave);
    QVERIFY(!view->MeasureHint().isVisible());
}

void TChartViewTest::routeTool_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("answer"); // empty: Cancel
    QTest::addColumn<QString>("currentAfter");
    QTest::addRow("named route is listed") << QStringList() << "Passage"
                                           << "Route1";
    QTest::addRow("cancel drops it, Route1 is next") << QStringList() << ""
                                                     << "Route1";
    QTest::addRow("cancel with Route1 listed gives Route2") << QStringList {"Route1"} << ""
                                                            << "Route2";
    QTest::addRow("Route1 and Route3 listed give Route2") << QStringList {"Route1", "Route3"} << ""
                                                          << "Route2";
}

void TChartViewTest::routeTool()
{
    QFETCH(QStringList, listed);
    QFETCH(QString, answer);
    QFETCH(QString, currentAfter);
    auto view = MakeView();
    QVERIFY(view);
    for (const QString &name : listed) {
        auto r = std::make_unique<TChtRoute>();
        r->Name = name.toStdString();
        view->Desk().Routes.Add(std::move(r));
    }
    TEvents ev(*view);
    QStringList prompts;
    view->SetNameAsker([&](const std::string &prompt, const std::string &initial) {
        prompts << QString::fromStdString(prompt + "|" + initial);
        return answer.isEmpty() ? std::nullopt : std::optional<std::string>(answer.toStdString());
    });
    view->SetFerramenta(TTipoFerramentaCarta::fcRoute);
    const QPoint clicks[] = {{100, 100}, {300, 100}, {300, 250}};
    for (const QPoint &c : clicks)
        QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, c);
    TChtRoute *route = view->CurrentRoute();
    QCOMPARE(route->PointCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const TViewCentre p = PositionOf(*view, clicks[i].x(), clicks[i].y());
        QCOMPARE(route->GetPoint(i).Lat, p.LatDeg);
        QCOMPARE(route->GetPoint(i).Lon, p.LonDeg);
    }
    QVERIFY(ev.Routes.isEmpty()); // an unlisted route is not the desktop's yet
    QVERIFY(!view->Desk().RoutesModified);
    QVERIFY(view->LineActive());
    QCOMPARE(view->RubberStart(), (TScreenPoint {300, 250}));
    // The route is on the buffer in red, half way along its first leg.
    QCOMPARE(Pixel(*view, 200, 100), QColor(255, 0, 0));
    Move(view.get(), 400, 260);
    QCOMPARE(view->RubberEnd(), (TScreenPoint {400, 260}));

    QTest::mouseClick(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(400, 260));
    QCOMPARE(prompts, QStringList {"Enter Name for new route or Cancel to drop|Route1"});
    QVERIFY(!view->LineActive());
    const bool kept = !answer.isEmpty();
    QCOMPARE(view->Desk().Routes.Count(), std::size_t(listed.size() + (kept ? 1 : 0)));
    QCOMPARE(view->Desk().RoutesModified, kept);
    QCOMPARE(ev.Routes.size(), kept ? 1 : 0);
    if (kept) {
        QCOMPARE(QString::fromStdString(ev.Routes[0]->Name), answer);
        QVERIFY(view->IsRouteListed(ev.Routes[0]));
    }
    QCOMPARE(QString::fromStdString(view->CurrentRoute()->Name), currentAfter);
    QCOMPARE(view->CurrentRoute()->PointCount(), 0u);
    // After the repaint a listed route is still drawn and a dropped one is gone.
    QTRY_COMPARE(Pixel(*view, 200, 100), kept ? QColor(255, 0, 0) : QColor(0, 0, 0));
}

void TChartViewTest::trackToolStampsGmt()
{
    auto view = MakeView();
    QVERIFY(view);
    // 2024-03-01 12:00 UTC seen from a zone 2 hours east: the point takes GMT, day 45352.5
    // (days since 1899-12-30, computed independently).
    TFixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(14, 0), QTimeZone(7200)));
    TEvents ev(*view);
    view->SetNameAsker(
        [](const std::string &, const std::string &) { return std::optional<std::string>("Log"); });
    view->SetFerramenta(TTipoFerramentaCarta::fcTrack);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 150));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(360, 150));
    TChtTrack *track = view->CurrentTrack();
    QCOMPARE(track->PointCount(), 2u);
    QVERIFY(std::fabs(track->GetPoint(0).Time - 45352.5) < 1e-9);
    QVERIFY(std::fabs(track->GetPoint(0).Lat - 45) < 1e-9);
    QVERIFY(std::fabs(track->GetPoint(1).Lon - 9) < 1e-9);
    QVERIFY(ev.Tracks.isEmpty());
    QTest::mouseClick(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(360, 150));
    QCOMPARE(ev.Tracks.size(), 1);
    QCOMPARE(ev.Tracks[0], track);
    QCOMPARE(track->Name, std::string("Log"));
    QVERIFY(view->IsTrackListed(track));
    QVERIFY(view->Desk().TracksModified);
    QCOMPARE(view->CurrentTrack()->Name, std::string("Track1"));
}

void TChartViewTest::listedTrackGetsMousePoints()
{
    auto view = MakeView();
    QVERIFY(view);
    TFixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(12, 0), QTimeZone::utc()));
    auto t = std::make_unique<TChtTrack>();
    t->AddPoint("", 45, 10, 45352.4);
    TChtTrack *listed = view->Desk().Tracks.Add(std::move(t));
    TEvents ev(*view);
    view->SetFerramenta(TTipoFerramentaCarta::fcTrack);
    view->SelectTrack(listed);
    QCOMPARE(view->CurrentTrack(), listed);
    QVERIFY(view->LineActive());
    QCOMPARE(view->RubberStart(), (TScreenPoint {300, 150}));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(420, 150));
    QCOMPARE(listed->PointCount(), 2u);
    QCOMPARE(ev.Tracks.size(), 1);
    QCOMPARE(ev.Tracks[0], listed);
    QVERIFY(view->Desk().TracksModified);
}

void TChartViewTest::objectsTool()
{
    auto view = MakeView();
    QVERIFY(view);
    QList<TChtURLObject *> edited;
    bool accept = false;
    view->SetMarkEditor([&](QWidget *, TChtURLObject &mark) {
        edited << &mark;
        return accept;
    });
    view->SetFerramenta(TTipoFerramentaCarta::fcObjects);

    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 60));
    QCOMPARE(edited.size(), 1);
    QVERIFY(view->Desk().OtherObjects.Empty()); // the editor said Cancel
    QVERIFY(!view->Desk().OtherObjectsModified);

    accept = true;
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 60));
    QCOMPARE(view->Desk().OtherObjects.Count(), 1u);
    auto *mark = dynamic_cast<TChtURLObject *>(view->Desk().OtherObjects[0]);
    QVERIFY(mark);
    QCOMPARE(mark->Name, std::string("Untitled"));
    QCOMPARE(mark->BitmapName, std::string("HAND"));
    QCOMPARE(mark->Size, 0.1);
    const TViewCentre p = PositionOf(*view, 120, 60);
    QCOMPARE(mark->Lat, p.LatDeg);
    QCOMPARE(mark->Lon, p.LonDeg);
    QVERIFY(view->Desk().OtherObjectsModified);

    // A click within 10 pixels of the mark edits that mark.
    view->Desk().OtherObjectsModified = false;
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(124, 64));
    QCOMPARE(edited.size(), 3);
    QCOMPARE(edited.last(), mark);
    QCOMPARE(view->Desk().OtherObjects.Count(), 1u);
    QVERIFY(view->Desk().OtherObjectsModified);
}

void TChartViewTest::pointNameTool()
{
    auto view = MakeView();
    QVERIFY(view);
    TRecordingOpener opener;
    auto route = std::make_unique<TChtRoute>();
    route->Name = "Passage";
    route->Color = 0x00FF00; // green
    route->AddPoint("WP1", 46, 13, 0); // x 120, y 65
    route->AddPoint("", 44, 8, 0); // x 420, y 235
    view->Desk().Routes.Add(std::move(route));
    view->Desk().OtherObjects.Add(
        std::make_unique<TChtURLObject>("https://example.org/buoy", "", "Buoy", 0.1, 45, 10));
    view->Redraw(true, true);
    view->SetFerramenta(TTipoFerramentaCarta::fcPointName);

    struct TRow
    {
        QPoint At;
        QString Text;
        QColor Colour;
    };

    const TRow rows[] = {
        {{121, 66}, "WP1", QColor(0, 255, 0)}, // a named point, in its route's colour
        {{419, 236}, "Passage", QColor(0, 255, 0)}, // an unnamed point names the route
        {{303, 152}, "Buoy", QColor(0, 255, 255)}, // a mark, aqua
        {{500, 40}, "", QColor()}, // nothing
    };
    for (const TRow &r : rows) {
        Move(view.get(), r.At.x(), r.At.y());
        QCOMPARE(view->NameHint().isVisible(), !r.Text.isEmpty());
        if (r.Text.isEmpty())
            continue;
        QCOMPARE(view->NameHint().text(), r.Text);
        QCOMPARE(view->NameHint().pos(), r.At + QPoint(10, 2));
        QCOMPARE(view->NameHint().palette().color(QPalette::WindowText), r.Colour);
    }
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(301, 151));
    QCOMPARE(opener.Opened.size(), 1);
    QCOMPARE(opener.Opened[0], QUrl("https://example.org/buoy"));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(121, 66));
    QCOMPARE(opener.Opened.size(), 1);
    // A link that is not a web address is never handed to the system.
    TTestMessageBoxes boxes;
    static_cast<TChtURLObject *>(view->Desk().OtherObjects[0])->URL = "file:///etc/passwd";
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(301, 151));
    QCOMPARE(opener.Opened.size(), 1);
    QCOMPARE(boxes.Texts(),
        QStringList({"The link file:///etc/passwd is not a web address (http:// or https://) and "
                     "is not opened."}));
}

void TChartViewTest::handDrag()
{
    auto view = MakeView();
    QVERIFY(view);
    TEvents ev(*view);
    view->SetFerramenta(TTipoFerramentaCarta::fcHandDrag);
    Press(view.get(), 300, 150);
    Move(view.get(), 330, 150, Qt::NoModifier, Qt::LeftButton);
    Move(view.get(), 360, 150, Qt::NoModifier, Qt::LeftButton);
    Release(view.get(), 360, 150);
    // 60 pixels right on a 600-pixel view of 10 degrees: the view moves 1 degree west.
    QVERIFY(std::fabs(view->Escala().LonC - 11) < 1e-9);
    QVERIFY(std::fabs(view->Escala().LatC - 45) < 1e-9);
    QCOMPARE(ev.Redraws, 2);
    // The new centre is told once, at the release.
    QCOMPARE(ev.ScaleChanges, 1);
    QVERIFY(std::fabs(ev.LonC - 11) < 1e-9);
    Move(view.get(), 400, 150);
    QVERIFY(std::fabs(view->Escala().LonC - 11) < 1e-9); // released: no more dragging
    Press(view.get(), 300, 150);
    Release(view.get(), 300, 150);
    QCOMPARE(ev.ScaleChanges, 1); // a click that moves nothing tells nothing
}

void TChartViewTest::wheelAndKeys()
{
    auto view = MakeView();
    QVERIFY(view);
    TEvents ev(*view);
    const TViewCentre before = PositionOf(*view, 100, 80);
    QWheelEvent wheel(QPointF(100, 80), view->mapToGlobal(QPointF(100, 80)), QPoint(),
        QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.get(), &wheel);
    QVERIFY(std::fabs(view->Escala().LonSpan - 10 / 1.5) < 1e-12);
    const TViewCentre after = PositionOf(*view, 100, 80);
    // The position under the cursor stays within a hundredth of a minute.
    QVERIFY(std::fabs(after.LatDeg - before.LatDeg) < 0.01 / 60);
    QVERIFY(std::fabs(after.LonDeg - before.LonDeg) < 0.01 / 60);
    QCOMPARE(ev.ScaleChanges, 1);

    // Two half notches of a fine wheel make one step out.
    for (int i = 0; i < 2; ++i) {
        QWheelEvent half(QPointF(300, 150), view->mapToGlobal(QPointF(300, 150)), QPoint(),
            QPoint(0, -60), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &half);
        QVERIFY(std::fabs(view->Escala().LonSpan - (i == 0 ? 10 / 1.5 : 10)) < 1e-12);
    }
    QCOMPARE(ev.ScaleChanges, 2);

    view->Escala().SetView(45, 10, 10);
    QTest::keyClick(view.get(), Qt::Key_Left);
    QVERIFY(std::fabs(view->Escala().LonC - 12.5) < 1e-9); // a quarter of the width westwards
    QTest::keyClick(view.get(), Qt::Key_Minus);
    QVERIFY(std::fabs(view->Escala().LonSpan - 15) < 1e-12);
    QCOMPARE(ev.ScaleChanges, 4);
}

void TChartViewTest::toolChangeRestartsTheBand()
{
    auto view = MakeView();
    QVERIFY(view);
    view->SetFerramenta(TTipoFerramentaCarta::fcRoute);
    QVERIFY(!view->LineActive()); // nothing drawn yet
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    view->SetFerramenta(TTipoFerramentaCarta::fcZoom);
    QVERIFY(!view->LineActive());
    QVERIFY(!view->MeasureHint().isVisible());
    view->SetFerramenta(TTipoFerramentaCarta::fcMeasure);
    QVERIFY(view->MeasureHint().isVisible());
    view->SetFerramenta(TTipoFerramentaCarta::fcRoute);
    QVERIFY(!view->MeasureHint().isVisible());
    // Back on the route tool the band starts again at the route's last point, and follows.
    QVERIFY(view->LineActive());
    QCOMPARE(view->RubberStart(), (TScreenPoint {200, 100}));
    Move(view.get(), 250, 120);
    QCOMPARE(view->RubberEnd(), (TScreenPoint {250, 120}));
    // A redraw after a zoom puts the band's start on the point's new pixel (the centre).
    view->CenterOn(view->CurrentRoute()->GetPoint(0).Lat, view->CurrentRoute()->GetPoint(0).Lon);
    QCOMPARE(view->RubberStart(), (TScreenPoint {300, 150}));
}

void TChartViewTest::boatMarkerMoves()
{
    auto view = MakeView();
    QVERIFY(view);
    view->SetBoatMarker(true, false, 0, 45, 10);
    QVERIFY(view->BoatMarker().Visible);
    // The square marker is filled red around (300, 150); its cross is black.
    QCOMPARE(Pixel(*view, 303, 153), QColor(255, 0, 0));
    view->SetBoatMarker(true, false, 0, 45, 9);
    QCOMPARE(Pixel(*view, 363, 153), QColor(255, 0, 0));
    QCOMPARE(Pixel(*view, 303, 153), QColor(0, 0, 0)); // the old place shows the sea again
    view->Redraw(true, true); // a full redraw draws it again where it is
    QCOMPARE(Pixel(*view, 363, 153), QColor(255, 0, 0));
    view->SetBoatMarker(false, false, 0, 45, 9);
    QCOMPARE(Pixel(*view, 363, 153), QColor(0, 0, 0));
}

void TChartViewTest::ownerOverlaysAndRedrawEvent()
{
    auto view = MakeView();
    QVERIFY(view);
    // The owner draws its overlay when the chart is redrawn, as the celestial panes do.
    QObject::connect(view.get(), &TLogCarta::OnRedrawChart, [](TLogCarta *v) {
        v->SetPenColor(0x00FFFF);
        v->DrawParallel(TPenStyle::Solid, 44.5); // y = 192
    });
    TEvents ev(*view);
    view->Invalidate();
    QTRY_COMPARE(ev.Redraws, 1);
    QCOMPARE(Pixel(*view, 100, 192), QColor(255, 255, 0));
    view->Redraw(true, false);
    QCOMPARE(ev.Redraws, 2);
}

void TChartViewTest::addTrackPoint()
{
    auto view = MakeView();
    QVERIFY(view);
    TEvents ev(*view);
    TChtTrack stray;
    try {
        view->AddTrackPoint(&stray, "", 45, 10, 45352.5);
        QFAIL("no error");
    } catch (const EVrnError &e) {
        QCOMPARE(QString(e.what()), QStringLiteral("invalid Track."));
    }
    QVERIFY(ev.Tracks.isEmpty());
    auto t = std::make_unique<TChtTrack>();
    TChtTrack *gps = view->Desk().Tracks.Add(std::move(t));
    view->SetGpsTrack(gps);
    QCOMPARE(view->GpsTrack(), gps);
    QCOMPARE(ev.Tracks.size(), 1);
    view->AddTrackPoint(gps, "fix", 45, 10, 45352.5);
    view->AddTrackPoint(gps, "fix", 45, 9, 45352.6);
    QCOMPARE(ev.Tracks.size(), 3);
    QCOMPARE(gps->PointCount(), 2u);
    QCOMPARE(Pixel(*view, 330, 150), QColor(255, 0, 0)); // drawn at once
}

void TChartViewTest::trackReplay()
{
    auto view = MakeView();
    QVERIFY(view);
    // Points at 10:00, 10:10 and 10:20 along 45.5N (y 108) at x 180, 300 and 420.
    const double day = 45352;
    auto t = std::make_unique<TChtTrack>();
    t->AddPoint("", 45.5, 12, day + 10.0 / 24);
    t->AddPoint("", 45.5, 10, day + (10 + 10.0 / 60) / 24);
    t->AddPoint("", 45.5, 8, day + (10 + 20.0 / 60) / 24);
    view->Desk().Tracks.Add(std::move(t));
    view->Redraw(true, true);
    QCOMPARE(view->TrackTimeInicial(), day + 10.0 / 24);
    QCOMPARE(view->TrackTimeFinal(), day + (10 + 20.0 / 60) / 24);
    QCOMPARE(Pixel(*view, 390, 108), QColor(255, 0, 0));
    // At 10:15 the replay shows the first leg and half of the second, erasing the rest.
    view->SetTrackTime(day + (10 + 15.0 / 60) / 24);
    QCOMPARE(Pixel(*view, 240, 108), QColor(255, 0, 0));
    QCOMPARE(Pixel(*view, 330, 108), QColor(255, 0, 0));
    QCOMPARE(Pixel(*view, 390, 108), QColor(0, 0, 0));
}

void TChartViewTest::colours()
{
    auto view = MakeView();
    QVERIFY(view);
    QTemporaryDir dir;
    const QString file = dir.filePath("sq.cht");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // A default-coloured square around 45N 10W and one with its own fill.
    f.write("O;Polygon;Sq\r\nP;45.5;10.5\r\nP;45.5;9.5\r\nP;44.5;9.5\r\nP;44.5;10.5\r\n"
            "O;Polygon;Own\r\nA;BGColor=$00FF0000\r\nP;46.5;14\r\nP;46.5;13\r\nP;46;13\r\n");
    f.close();
    view->LoadChart(file, false);
    QCOMPARE(view->ChartObjectCount(), 2u);
    QCOMPARE(view->ChartPointCount(), 7u);
    QTRY_COMPARE(Pixel(*view, 310, 160), QColor(128, 128, 0)); // olive land
    view->SetDefaultLandColor(0x00FF00);
    QTRY_COMPARE(Pixel(*view, 310, 160), QColor(0, 255, 0));
    QCOMPARE(static_cast<TChtPolygon *>((*view->Desk().ChartObjects)[1])->BGColor, 0xFF0000u);
    view->SetSeaColor(0x800000);
    QTRY_COMPARE(Pixel(*view, 500, 250), QColor(0, 0, 128));
}

void TChartViewTest::loadChartErrors()
{
    auto view = MakeView();
    QVERIFY(view);
    TTestMessageBoxes boxes;
    QTemporaryDir dir;
    const QString good = dir.filePath("good.cht");
    QFile f(good);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("O;Polygon;Land\nP;1;1\nP;2;2\nO;ImgChart;Scan\nA;CIDFile=missing.cid\nP;1;1\n");
    f.close();
    view->LoadChart(good, false);
    QCOMPARE(view->ChartObjectCount(), 1u);
    QCOMPARE(boxes.Texts(), QStringList {"Error loading object Scan"});
    const QString missing = dir.filePath("none.cht");
    try {
        view->LoadChart(missing, true);
        QFAIL("no error");
    } catch (const EVrnError &e) {
        QCOMPARE(QString(e.what()), "File " + missing + " not found");
    }
    QCOMPARE(view->ChartObjectCount(), 1u);
    QCOMPARE(QString::fromStdString(view->Desk().ChartFileName), good);
}

void TChartViewTest::desktopLoadAlwaysEndsWithANewDesktop()
{
    auto view = MakeView();
    QVERIFY(view);
    TEvents ev(*view);
    int newDesktops = 0;
    QObject::connect(view.get(), &TLogCarta::OnNewDesktop, [&](TLogCarta *) { ++newDesktops; });
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lost.vrn"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("O;Chart;lost.cht;38.5;28.6;2\r\nA;seacolor=$00000000\r\n\r\n"
                "O;Route;Faial\r\nP;38.5;28.6\r\nP;38.6;28.7\r\n");
    }
    const auto messages = view->LoadDesktop(file);
    // The chart is missing: the desktop is in place all the same, at its view and in its colours,
    // and the missing chart is the last thing to tell.
    QCOMPARE(newDesktops, 1);
    QCOMPARE(ev.ScaleChanges, 1);
    QCOMPARE(ev.LatC, 38.5);
    QCOMPARE(view->SeaColor(), TColor(0));
    QCOMPARE(view->Desk().Routes.Count(), std::size_t(1));
    QCOMPARE(view->DesktopFileName(), file);
    QVERIFY(view->NeedsFullRedraw());
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages.back()),
        QStringLiteral("File %1 not found").arg(dir.filePath(QStringLiteral("lost.cht"))));

    // A file that cannot be read changes nothing.
    QVERIFY_THROWS_EXCEPTION(EVrnError, view->LoadDesktop(dir.filePath(QStringLiteral("no.vrn"))));
    QCOMPARE(newDesktops, 1);
    QCOMPARE(view->DesktopFileName(), file);
    QCOMPARE(view->Desk().Routes.Count(), std::size_t(1));
}

void TChartViewTest::rasterRendersInTheBackground()
{
    auto view = MakeView();
    QVERIFY(view);
    auto image = std::make_unique<TChtChartImage>();
    image->CIDFile = (kTestData + "/../charts/sample.CID").toStdString();
    image->Visible = true;
    image->LoadCID();
    TChtChartImage *img = view->Desk().ChartImages.Add(std::move(image));
    // The picture spans 7W..3E, 47.1N..51.9N at 40 pixels per degree of longitude and 61.6 per
    // degree of latitude; its pixel (350, 150), land (olive), is 49.5N 1.75E.
    view->Escala().SetView(49.5, 2, 10);
    view->Redraw(true, true);
    const TScreenPoint land = view->World2Screen(49.5, -1.75);
    // Drawing does not wait for the render: the chart is still bare sea.
    QVERIFY(img->IsRendering());
    QCOMPARE(Pixel(*view, land.X, land.Y), QColor(0, 0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(!img->IsRendering(), 10000);
    QTRY_VERIFY(Distance(Pixel(*view, land.X, land.Y), QColor(128, 128, 0)) < 60);
}

void TChartViewTest::printsToPdf()
{
    auto view = MakeView();
    QVERIFY(view);
    view->LoadChart(kChartData + "/world.cht", false);
    auto image = std::make_unique<TChtChartImage>();
    image->CIDFile = (kTestData + "/../charts/sample.CID").toStdString();
    image->Visible = true;
    image->LoadCID();
    view->Desk().ChartImages.Add(std::move(image));
    // The page centre, 49.8N 2.4W, is the picture's pixel (184, 131): sea, navy.
    view->Escala().SetView(49.8, 2.4, 10);
    view->Redraw(true, true);
    TEvents ev(*view);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("chart.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    view->Print(printer);
    // The screen has its scale and a fresh picture back.
    QVERIFY(!view->Printing());
    QVERIFY(std::fabs(view->Escala().XScale - 60) < 1e-9);
    QVERIFY(view->NeedsFullRedraw());
    QVERIFY(QFileInfo(pdf).size() > 1000);
    QTRY_VERIFY(ev.Redraws >= 1);

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftoppm.isEmpty() || pdftotext.isEmpty())
        QSKIP("poppler-utils are needed to read the PDF back");
    QProcess text;
    text.start(pdftotext, {pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains("Varunel - www.pelvarq.com"));
    QProcess raster;
    raster.start(pdftoppm, {"-png", "-r", "30", "-singlefile", pdf, dir.filePath("page")});
    QVERIFY(raster.waitForFinished(30000));
    const QImage page(dir.filePath("page.png"));
    QVERIFY(!page.isNull());
    // Paper without the raster would be white there (printed land is white, outlined in
    // green): the raster was rendered for the page while the job waited.
    const QColor centre = page.pixelColor(page.width() / 2, page.height() / 2);
    QVERIFY2(Distance(centre, QColor(0, 0, 128)) < 80, qPrintable(centre.name()));
    // The frame runs round the printable area: the first mark down the middle column is dark.
    int y = 0;
    while (y < page.height() && page.pixelColor(page.width() / 2, y).lightness() > 200)
        ++y;
    QVERIFY(y < page.height() / 10);
    QVERIFY(page.pixelColor(page.width() / 2, y).lightness() < 160);
}

void TChartViewTest::printFailureRestoresTheScreen()
{
    auto view = MakeView();
    QVERIFY(view);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("no/such/folder/chart.pdf"));
    try {
        view->Print(printer);
        QFAIL("no error");
    } catch (const EVrnError &e) {
        QCOMPARE(QString(e.what()), QStringLiteral("The print job could not be started."));
    }
    QVERIFY(!view->Printing());
    QVERIFY(std::fabs(view->Escala().XScale - 60) < 1e-9);
    QVERIFY(!QFileInfo::exists(dir.filePath("no/such/folder/chart.pdf")));
    // The view still draws on screen.
    view->SetBoatMarker(true, false, 0, 45, 10);
    QCOMPARE(Pixel(*view, 303, 153), QColor(255, 0, 0));
}

void TChartViewTest::worldMatchesGolden()
{
    // The golden picture's labels are in DejaVu Sans (fonts-dejavu-core, always installed), the
    // default font where no other desktop fonts are; pinned so that a machine with more fonts
    // (Noto Sans, pulled in by desktop packages) draws the same picture.
    const QFont saved = QApplication::font();
    QFont pinned = saved;
    pinned.setFamily(QStringLiteral("DejaVu Sans"));
    QApplication::setFont(pinned);
    const auto restore = qScopeGuard([&] { QApplication::setFont(saved); });
    auto view = MakeView(360, 180);
    QVERIFY(view);
    view->SetSeaColor(0x800000);
    view->LoadChart(kChartData + "/world.cht", false);
    view->Escala().SetView(0, 0, 360);
    view->Redraw(true, true);
    const QImage picture = view->Picture().convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("VRN_WRITE_GOLDEN")) {
        QVERIFY(picture.save(kGolden));
        QSKIP("golden picture written");
    }
    const QImage golden = QImage(kGolden).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!golden.isNull(), "run tools/gen-chartview-golden.sh to make it");
    QCOMPARE(golden.size(), picture.size());
    // Antialiasing and font hinting may move a few pixels; the coastline and the grid may not.
    int differing = 0;
    for (int y = 0; y < golden.height(); ++y)
        for (int x = 0; x < golden.width(); ++x)
            if (Distance(golden.pixelColor(x, y), picture.pixelColor(x, y)) > 48)
                ++differing;
    QVERIFY2(differing < golden.width() * golden.height() / 200,
        qPrintable(QString::number(differing) + " pixels differ"));
}

QTEST_MAIN(TChartViewTest)
#include "ChartViewTest.moc"
