#include "celestial/fVrnCalculator.h"
#include "charts/ChtObjects.h"
#include "charts/Dcarta.h"
#include "common/VrnEdit.h"
#include "tests/celestial/WindowChecks.h"
#include "ui/FormSettings.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <memory>

namespace vrn {

// The leg calculator driven offscreen through its fields and buttons; boxes answer through the
// ui seam and the routes go to a chart view of the test's own.
class TLegCalculatorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void StartsEmptyOnTheGeneralPage();
    void TypedLegIsCalculated();
    void ExchangeAndEnter();
    void FewerPointsFromTheSpinBox();
    void AddRouteBeforeCalculatingIsRefused_data();
    void AddRouteBeforeCalculatingIsRefused();
    void AddedRoutesReachTheChartView();
    void StayOnTopAndClose();
    void FieldsAreKeptUnderTheCalculatorsOwnIdentity();
    void ReadingOrderMnemonicsAndSize();
    void Screenshots();

private:
    TFormRouteCalculator &Window() { return *FWindow; }

    template <typename T>
    T *Child(const char *name) const
    {
        T *w = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }

    QString Label(const char *name) const { return Child<QLabel>(name)->text(); }

    QString Cell(const char *grid, int row, int column) const
    {
        const QTableWidgetItem *item = Child<QTableWidget>(grid)->item(row, column);
        return item ? item->text() : QString();
    }

    // Types a position into a field as a user does: the focus on its degrees cell, then keys.
    void TypePosition(const char *field, const QString &keys);

    void Click(const char *button)
    {
        QTest::mouseClick(Child<QAbstractButton>(button), Qt::LeftButton);
    }

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TLogCarta> FChart;
    std::unique_ptr<TFormRouteCalculator> FWindow;
};

void TLegCalculatorWindowTest::init()
{
    // Every case starts from settings of its own: a window stores its fields when it goes.
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FWindow = std::make_unique<TFormRouteCalculator>();
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    // Keys go to the active window (a screen without a window manager may never activate it:
    // only the screenshots are taken there).
    QApplication::setActiveWindow(FWindow.get());
    (void)QTest::qWaitForWindowActive(FWindow.get(), 1000);
}

void TLegCalculatorWindowTest::cleanup()
{
    FWindow.reset();
    FChart.reset();
    FBoxes.reset();
    FFolder.reset();
}

void TLegCalculatorWindowTest::TypePosition(const char *field, const QString &keys)
{
    auto *edit = Child<TKaPositionEdit>(field);
    edit->DegreesCell()->setFocus(Qt::TabFocusReason);
    for (const QChar c : keys)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void TLegCalculatorWindowTest::StartsEmptyOnTheGeneralPage()
{
    QCOMPARE(Window().windowTitle(), QStringLiteral("Leg Calculator"));
    QCOMPARE(
        Child<QTabWidget>("PageControl")->currentIndex(), int(TFormRouteCalculator::PageGeneral));
    QVERIFY(Child<QCheckBox>("CBOnTop")->isChecked());
    QVERIFY(Window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    auto *points = Child<QSpinBox>("EdNumPointsInRoute");
    QCOMPARE(points->value(), 5);
    QCOMPARE(points->minimum(), 1);
    QCOMPARE(points->maximum(), 100);
    for (const char *name : {"GridGCRoute", "GridRLRoute"}) {
        auto *grid = Child<QTableWidget>(name);
        QCOMPARE(grid->columnCount(), 3);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("#"));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Lat"));
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral("Lon"));
        QCOMPARE(grid->rowCount(), 1);
    }
    // No chart viewer yet: nowhere to add a route to.
    QVERIFY(!Child<QPushButton>("BAddGCRouteToDesktop")->isEnabled());
    QVERIFY(!Child<QPushButton>("BAddRLRouteToDesktop")->isEnabled());
}

void TLegCalculatorWindowTest::TypedLegIsCalculated()
{
    // From (0, 0) to 10°N 10°E: the great circle of the sailing formulas' example, 44.56° and
    // 846.36 NM; the rhumb line by Mercator sailing (tan C = Δλ/Δψ, Bowditch) 44.85°, 846.37 NM.
    TypePosition("EdLatIni", QStringLiteral("00000n"));
    TypePosition("EdLonIni", QStringLiteral("000000w"));
    TypePosition("EdLatFin", QStringLiteral("10000n"));
    TypePosition("EdLonFin", QStringLiteral("010000e"));
    QCOMPARE(Child<TKaPositionEdit>("EdLonFin")->Position(), -10.0);
    Click("BCalculate");
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    QCOMPARE(Label("LTcGC"), QStringLiteral("   44.56°"));
    QCOMPARE(Label("LDistGC"), QStringLiteral("  846.36 NM"));
    QCOMPARE(Label("LTcRL"), QStringLiteral("   44.85°"));
    QCOMPARE(Label("LDistRL"), QStringLiteral("  846.37 NM"));
    QCOMPARE(Label("LDiffNM"), QStringLiteral("    0.01 NM"));
    QCOMPARE(Label("LDifPerc"), QStringLiteral("    0.00 %"));
    // N = 5: seven rows, from the start to the final position as typed.
    for (const char *grid : {"GridGCRoute", "GridRLRoute"}) {
        QCOMPARE(Child<QTableWidget>(grid)->rowCount(), 7);
        QCOMPARE(Cell(grid, 0, 0), QStringLiteral("1"));
        QCOMPARE(Cell(grid, 0, 1), QStringLiteral(" 0°00.00'N"));
        QCOMPARE(Cell(grid, 0, 2), QStringLiteral(" 0°00.00'W"));
        QCOMPARE(Cell(grid, 6, 0), QStringLiteral("7"));
        QCOMPARE(Cell(grid, 6, 1), QStringLiteral("10°00.00'N"));
        QCOMPARE(Cell(grid, 6, 2), QStringLiteral("10°00.00'E"));
    }
    // The great circle steps 10/6° of longitude a row: the third point is at 3°20'E.
    QCOMPARE(Cell("GridGCRoute", 2, 2), QStringLiteral(" 3°20.00'E"));
}

void TLegCalculatorWindowTest::ExchangeAndEnter()
{
    Child<TKaPositionEdit>("EdLatIni")->SetPosition(0);
    Child<TKaPositionEdit>("EdLonIni")->SetPosition(0);
    Child<TKaPositionEdit>("EdLatFin")->SetPosition(10);
    Child<TKaPositionEdit>("EdLonFin")->SetPosition(-10);
    // Enter presses the focused button.
    auto *exchange = Child<QPushButton>("BExchangePositions");
    exchange->setFocus(Qt::TabFocusReason);
    QTest::keyClick(exchange, Qt::Key_Return);
    QCOMPARE(Child<TKaPositionEdit>("EdLatIni")->Position(), 10.0);
    QCOMPARE(Child<TKaPositionEdit>("EdLonIni")->Position(), -10.0);
    QCOMPARE(Child<TKaPositionEdit>("EdLatFin")->Position(), 0.0);
    QCOMPARE(Child<TKaPositionEdit>("EdLonFin")->Position(), 0.0);
    auto *calculate = Child<QPushButton>("BCalculate");
    calculate->setFocus(Qt::TabFocusReason);
    QTest::keyClick(calculate, Qt::Key_Enter);
    // From (10, −10) to (0, 0): 225.44° (the sailing formulas' example).
    QCOMPARE(Label("LTcGC"), QStringLiteral("  225.44°"));
}

void TLegCalculatorWindowTest::FewerPointsFromTheSpinBox()
{
    Child<TKaPositionEdit>("EdLatIni")->SetPosition(10);
    Child<TKaPositionEdit>("EdLonIni")->SetPosition(20);
    Child<TKaPositionEdit>("EdLatFin")->SetPosition(20);
    Child<TKaPositionEdit>("EdLonFin")->SetPosition(20);
    auto *points = Child<QSpinBox>("EdNumPointsInRoute");
    points->setFocus(Qt::TabFocusReason);
    points->selectAll();
    QTest::keyClick(points, '1');
    QTest::keyClick(points, Qt::Key_Tab);
    QCOMPARE(points->value(), 1);
    Click("BCalculate");
    // Along the meridian: start, middle and end.
    QCOMPARE(Child<QTableWidget>("GridGCRoute")->rowCount(), 3);
    QCOMPARE(Cell("GridGCRoute", 1, 1), QStringLiteral("15°00.00'N"));
    QCOMPARE(Cell("GridGCRoute", 1, 2), QStringLiteral("20°00.00'W"));
    QCOMPARE(Label("LTcRL"), QStringLiteral("    0.00°"));
    QCOMPARE(Label("LDistRL"), QStringLiteral("  600.00 NM"));
}

void TLegCalculatorWindowTest::AddRouteBeforeCalculatingIsRefused_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("message");
    QTest::addRow("great circle") << "BAddGCRouteToDesktop"
                                  << int(TFormRouteCalculator::PageGCRoute)
                                  << "Great Circle not calculated";
    QTest::addRow("rhumb line") << "BAddRLRouteToDesktop" << int(TFormRouteCalculator::PageRLRoute)
                                << "Rhumb Line not calculated";
}

void TLegCalculatorWindowTest::AddRouteBeforeCalculatingIsRefused()
{
    QFETCH(QString, button);
    QFETCH(int, page);
    QFETCH(QString, message);
    FChart = std::make_unique<TLogCarta>();
    Window().SetChartView(FChart.get());
    Child<QTabWidget>("PageControl")->setCurrentIndex(page);
    auto *add = FWindow->findChild<QPushButton *>(button);
    QVERIFY(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {message});
    QCOMPARE(FChart->Desk().Routes.Count(), 0u);
    QVERIFY(!FChart->Desk().RoutesModified);
}

void TLegCalculatorWindowTest::AddedRoutesReachTheChartView()
{
    FChart = std::make_unique<TLogCarta>();
    Window().SetChartView(FChart.get());
    QSignalSpy changed(FChart.get(), &TLogCarta::OnRouteChanged);
    // From 170°E to 170°W, the shorter way across 180°.
    Child<TKaPositionEdit>("EdLatIni")->SetPosition(-30);
    Child<TKaPositionEdit>("EdLonIni")->SetPosition(-170);
    Child<TKaPositionEdit>("EdLatFin")->SetPosition(-20);
    Child<TKaPositionEdit>("EdLonFin")->SetPosition(170);
    Click("BCalculate");
    QCOMPARE(Cell("GridGCRoute", 3, 2), QStringLiteral("180°00.00'E"));
    QCOMPARE(Cell("GridGCRoute", 4, 2), QStringLiteral("176°40.00'W"));
    Child<QTabWidget>("PageControl")->setCurrentIndex(TFormRouteCalculator::PageGCRoute);
    Click("BAddGCRouteToDesktop");
    Child<QTabWidget>("PageControl")->setCurrentIndex(TFormRouteCalculator::PageRLRoute);
    Click("BAddRLRouteToDesktop");
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));

    const TChartDesk &desk = FChart->Desk();
    QCOMPARE(desk.Routes.Count(), 2u);
    QVERIFY(desk.RoutesModified);
    QCOMPARE(changed.count(), 2);
    const TChtRoute &gc = *desk.Routes[0];
    QCOMPARE(QString::fromStdString(gc.Name), QStringLiteral("Great Circle"));
    QCOMPARE(QString::fromStdString(desk.Routes[1]->Name), QStringLiteral("Rhumb Line"));
    QCOMPARE(gc.PointCount(), std::size_t(7));
    // Read back from the cell texts (hundredths of a minute) and unwrapped: east of 180° the
    // longitudes run on below -180 instead of jumping to +180.
    QCOMPARE(gc.Points.front().Lat, -30.0);
    QCOMPARE(gc.Points.front().Lon, -170.0);
    QCOMPARE(gc.Points.back().Lon, -190.0);
    for (std::size_t k = 1; k < gc.Points.size(); ++k)
        QVERIFY(std::fabs(gc.Points[k].Lon - gc.Points[k - 1].Lon - (-20.0 / 6)) < 1e-9);
}

void TLegCalculatorWindowTest::StayOnTopAndClose()
{
    Click("CBOnTop");
    QVERIFY(!Child<QCheckBox>("CBOnTop")->isChecked());
    QVERIFY(!Window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(Window().isVisible());
    Click("CBOnTop");
    QVERIFY(Window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(Window().isVisible());
    Click("BClose");
    QVERIFY(!Window().isVisible());
}

void TLegCalculatorWindowTest::FieldsAreKeptUnderTheCalculatorsOwnIdentity()
{
    Child<TKaPositionEdit>("EdLatIni")->SetPosition(12.5);
    Child<TKaPositionEdit>("EdLonIni")->SetPosition(-33.25);
    Child<TKaPositionEdit>("EdLatFin")->SetPosition(-40);
    Child<TKaPositionEdit>("EdLonFin")->SetPosition(170.5);
    Child<QSpinBox>("EdNumPointsInRoute")->setValue(12);
    Click("BClose"); // stored when hidden
    FWindow = std::make_unique<TFormRouteCalculator>();
    QCOMPARE(Child<TKaPositionEdit>("EdLatIni")->Position(), 12.5);
    QCOMPARE(Child<TKaPositionEdit>("EdLonIni")->Position(), -33.25);
    QCOMPARE(Child<TKaPositionEdit>("EdLatFin")->Position(), -40.0);
    QCOMPARE(Child<TKaPositionEdit>("EdLonFin")->Position(), 170.5);
    QCOMPARE(Child<QSpinBox>("EdNumPointsInRoute")->value(), 12);

    // Its own store, not the program's.
    const TFormSettings own(QString::fromLatin1(kSettingsOrganization),
        QString::fromLatin1(kLegCalculatorSettingsApplication),
        QStringLiteral("FormRouteCalculator"));
    QVERIFY(own.Contains(QStringLiteral("EdNumPointsInRoute"), QStringLiteral("Value")));
    const TFormSettings program(QStringLiteral("FormRouteCalculator"));
    QVERIFY(!program.Contains(QStringLiteral("EdNumPointsInRoute"), QStringLiteral("Value")));
    QVERIFY(own.FileName() != program.FileName());

    // A stored count outside the spin box's range is brought into it.
    FWindow.reset();
    {
        TFormSettings s(QString::fromLatin1(kSettingsOrganization),
            QString::fromLatin1(kLegCalculatorSettingsApplication),
            QStringLiteral("FormRouteCalculator"));
        s.WriteInt(QStringLiteral("EdNumPointsInRoute"), QStringLiteral("Value"), 5000);
        s.WriteString(
            QStringLiteral("EdLatIni"), QStringLiteral("Position"), QStringLiteral("nan"));
        s.Flush();
    }
    FWindow = std::make_unique<TFormRouteCalculator>();
    QCOMPARE(Child<QSpinBox>("EdNumPointsInRoute")->value(), 100);
    QCOMPARE(Child<TKaPositionEdit>("EdLatIni")->Position(), 0.0);
}

void TLegCalculatorWindowTest::ReadingOrderMnemonicsAndSize()
{
    const QStringList order = {"EdLatIni", "EdLonIni", "EdLatFin", "EdLonFin", "BExchangePositions",
        "EdNumPointsInRoute", "PageControl", "BCalculate", "CBOnTop", "BClose"};
    QCOMPARE(TabVisits(*Child<TKaPositionEdit>("EdLatIni")->DegreesCell(), order), order);
    for (int page = 0; page < 3; ++page) {
        Child<QTabWidget>("PageControl")->setCurrentIndex(page);
        QVERIFY2(SharedMnemonics(Window()).isEmpty(),
            qPrintable(SharedMnemonics(Window()).join(QStringLiteral("; "))));
    }
    const QSize least = Window().minimumSizeHint();
    QVERIFY(least.width() <= 1280 && least.height() <= 720);
    Child<QTabWidget>("PageControl")->setCurrentIndex(TFormRouteCalculator::PageGeneral);
    Child<TKaPositionEdit>("EdLatIni")->SetPosition(-89.5);
    Child<TKaPositionEdit>("EdLonIni")->SetPosition(179.5);
    Child<TKaPositionEdit>("EdLatFin")->SetPosition(89.5);
    Child<TKaPositionEdit>("EdLonFin")->SetPosition(-0.5);
    Click("BCalculate"); // the longest figures: over 10 000 NM
    QApplication::processEvents();
    QVERIFY2(ClippedTexts(Window()).isEmpty(),
        qPrintable(ClippedTexts(Window()).join(QStringLiteral("|"))));
    // The table columns are wide enough for their cells (a cell too narrow is elided).
    for (const char *name : {"GridGCRoute", "GridRLRoute"}) {
        auto *grid = Child<QTableWidget>(name);
        Child<QTabWidget>("PageControl")
            ->setCurrentIndex(QString::fromLatin1(name) == QStringLiteral("GridGCRoute") ? 1 : 2);
        QApplication::processEvents();
        const QFontMetrics fm(grid->font());
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < grid->rowCount(); ++r)
                QVERIFY2(grid->columnWidth(c) >= fm.horizontalAdvance(grid->item(r, c)->text()) + 6,
                    qPrintable(grid->item(r, c)->text()));
    }
}

void TLegCalculatorWindowTest::Screenshots()
{
    const QString dir = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    Child<TKaPositionEdit>("EdLatIni")->SetPosition(40 + 34 / 60.0);
    Child<TKaPositionEdit>("EdLonIni")->SetPosition(73 + 58 / 60.0);
    Child<TKaPositionEdit>("EdLatFin")->SetPosition(50 + 22 / 60.0);
    Child<TKaPositionEdit>("EdLonFin")->SetPosition(4 + 25 / 60.0);
    Click("BCalculate");
    const char *names[] = {"leg-1-general.png", "leg-2-gc.png", "leg-3-rl.png"};
    for (int page = 0; page < 3; ++page) {
        Child<QTabWidget>("PageControl")->setCurrentIndex(page);
        QApplication::processEvents();
        QVERIFY(Window().grab().save(dir + QLatin1Char('/') + QString::fromLatin1(names[page])));
    }
    // Both routes on a chart view of the North Atlantic.
    FChart = std::make_unique<TLogCarta>();
    FChart->resize(700, 450);
    FChart->show();
    QVERIFY(QTest::qWaitForWindowExposed(FChart.get()));
    Window().SetChartView(FChart.get());
    Window().BAddGCRouteToDesktopClick();
    Window().BAddRLRouteToDesktopClick();
    FChart->SetViewAndClear(47, 40, 90);
    FChart->Redraw(true, true);
    QApplication::processEvents();
    QVERIFY(FChart->grab().save(dir + QStringLiteral("/leg-4-routes-on-chart.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TLegCalculatorWindowTest)
#include "LegCalculatorWindowTest.moc"
