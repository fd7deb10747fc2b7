#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fBoatMovement.h"
#include "apps/vrn32/fVrnSpla.h"
#include "apps/vrn32/fchvrn32.h"
#include "celestial/Sextante.h"
#include "celestial/fMeridianPassageByEqualAltitudes.h"
#include "celestial/fTwoObjectsCalculations.h"
#include "celestial/fVrn32.h"
#include "celestial/fVrnCalculator.h"
#include "charts/ChtObjects.h"
#include "charts/Dcarta.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "sky/MiniBoat.h"
#include "sky/fAlmanacPages.h"
#include "sky/fTAstroChart.h"
#include "ui/UiTestDoubles.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <memory>

namespace vrn {

// The boat course and speed dialog with its picture, the boat glyph, and the windows of vrn32
// created at start-up.
class TBoatMovementTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void HullPoints_data();
    void HullPoints();
    void CourseFromThePointer_data();
    void CourseFromThePointer();
    void DraggingSetsTheCourse();
    void FieldsFillTheSharedCourseAndSpeedAndAreStored();
    void StartupCreatesTheWindowsAndWiresThem();
    void LegCalculatorRoutesGoToTheChartViewer();
    void Screenshots();

private:
    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
};

void TBoatMovementTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
}

void TBoatMovementTest::init()
{
    FBoxes = std::make_unique<TTestMessageBoxes>();
}

void TBoatMovementTest::cleanup()
{
    FBoxes.reset();
    BoatCourseAndSpeed() = {};
}

void TBoatMovementTest::HullPoints_data()
{
    QTest::addColumn<double>("course");
    QTest::addColumn<QPoint>("bow");
    QTest::addColumn<QPoint>("starboardBeam");
    QTest::addColumn<QPoint>("axisStern");

    // L = 10 at (33, 33): the bow (0, 0.5) is 5 px ahead, the beam (0.24, 0) 2.4 px to starboard
    // and the axis end (0, -0.6) 6 px astern; screen y grows downwards.
    QTest::addRow("north") << 0.0 << QPoint(33, 28) << QPoint(35, 33) << QPoint(33, 39);
    QTest::addRow("east") << 90.0 << QPoint(38, 33) << QPoint(33, 35) << QPoint(27, 33);
    QTest::addRow("south") << 180.0 << QPoint(33, 38) << QPoint(31, 33) << QPoint(33, 27);
    QTest::addRow("west") << 270.0 << QPoint(28, 33) << QPoint(33, 31) << QPoint(39, 33);
}

void TBoatMovementTest::HullPoints()
{
    QFETCH(double, course);
    QFETCH(QPoint, bow);
    QFETCH(QPoint, starboardBeam);
    QFETCH(QPoint, axisStern);
    TMiniBoat boat;
    boat.Cx = 33;
    boat.Cy = 33;
    boat.Course = course;
    QCOMPARE(boat.L, 10.0);
    QCOMPARE(boat.Hull()[0], bow);
    QCOMPARE(boat.Hull()[2], starboardBeam);
    QCOMPARE(boat.Axis()[1], axisStern);
}

void TBoatMovementTest::CourseFromThePointer_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("course");

    // From the centre (33, 33) of the 66 × 66 picture: up is north.
    QTest::addRow("straight up") << QPoint(33, 0) << 360;
    QTest::addRow("right") << QPoint(66, 33) << 90;
    QTest::addRow("down, on the vertical centre line") << QPoint(33, 60) << 180;
    QTest::addRow("left") << QPoint(0, 33) << 270;
    QTest::addRow("up and right") << QPoint(53, 13) << 45;
    QTest::addRow("just left of up") << QPoint(32, 0) << 358;
    QTest::addRow("the very centre") << QPoint(33, 33) << -1;
}

void TBoatMovementTest::CourseFromThePointer()
{
    QFETCH(QPoint, pointer);
    QFETCH(int, course);
    const auto c = TBoatDirectionIndicator::CourseAt(pointer.x(), pointer.y(), 66, 66);
    QCOMPARE(c.value_or(-1), course);
}

void TBoatMovementTest::DraggingSetsTheCourse()
{
    TFormBoatMovement dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *picture =
        dialog.findChild<TBoatDirectionIndicator *>(QStringLiteral("ImgBoatDirectionIndicator"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(66, 66));
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(60, 33));
    QCOMPARE(dialog.GetBoatCourse(), 90);
    QCOMPARE(BoatCourseAndSpeed().Course, 90.0);
    QMouseEvent move(QEvent::MouseMove, QPointF(33, 60), picture->mapToGlobal(QPointF(33, 60)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    QCOMPARE(dialog.GetBoatCourse(), 180);
    QCOMPARE(picture->Course(), 180.0);
    QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(33, 60));
}

void TBoatMovementTest::FieldsFillTheSharedCourseAndSpeedAndAreStored()
{
    {
        TFormBoatMovement dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Boat course & speed"));
        dialog.SetBoatCourse(45);
        dialog.SetBoatSpeed(6.5);
        QCOMPARE(BoatCourseAndSpeed().Course, 45.0);
        QCOMPARE(BoatCourseAndSpeed().Speed, 6.5);
        // A negative speed is not a speed.
        auto *speed = dialog.findChild<TNumEdit *>(QStringLiteral("EdBoatSpeed"));
        QVERIFY(!speed->AllowNegative());
    }
    BoatCourseAndSpeed() = {};
    TFormBoatMovement again;
    QCOMPARE(again.GetBoatCourse(), 45);
    QCOMPARE(again.GetBoatSpeed(), 6.5);
    // Filled from the stored values at creation.
    QCOMPARE(BoatCourseAndSpeed().Course, 45.0);
    QCOMPARE(BoatCourseAndSpeed().Speed, 6.5);
}

void TBoatMovementTest::StartupCreatesTheWindowsAndWiresThem()
{
    {
        TVrn32Windows windows;
        QVERIFY(Astros().Created());
        QVERIFY(!windows.CelestialNavigation().isVisible());
        QCOMPARE(
            windows.CelestialNavigation().windowTitle(), QStringLiteral("Celestial Navigation"));
        auto *launch =
            windows.Launcher().findChild<QPushButton *>(QStringLiteral("BCelestialNavigation"));
        QVERIFY(launch->isEnabled());
        QVERIFY(windows.Launcher()
                    .findChild<QPushButton *>(QStringLiteral("BStarFinder"))
                    ->isEnabled());
        auto *chartButton =
            windows.Launcher().findChild<QPushButton *>(QStringLiteral("BChartNavigation"));
        QVERIFY(chartButton->isEnabled());
        QVERIFY(!windows.ChartViewer().isVisible());
        chartButton->click();
        QVERIFY(windows.ChartViewer().isVisible());
        windows.ChartViewer().hide();
        launch->click();
        QVERIFY(windows.CelestialNavigation().isVisible());

        auto *almanac =
            windows.CelestialNavigation().findChild<QPushButton *>(QStringLiteral("BAlmanacPages"));
        QVERIFY(almanac->isEnabled());
        almanac->click();
        QVERIFY(windows.AlmanacPages().isVisible());
        auto *ea = windows.CelestialNavigation().findChild<QPushButton *>(
            QStringLiteral("BMeridianPassageByMethodOfEqualAltitudes"));
        ea->click();
        QVERIFY(windows.EqualAltitudes().isVisible());
        // The leg calculator waits hidden for the chart viewer; the two-object window is made
        // by the celestial window's command on first use.
        QVERIFY(!windows.LegCalculator().isVisible());
        QCOMPARE(windows.LegCalculator().windowTitle(), QStringLiteral("Leg Calculator"));
        QVERIFY(!windows.CelestialNavigation().findChild<TFormTwoObjectsCalculations *>());
        auto *lunars = windows.CelestialNavigation().findChild<QPushButton *>(
            QStringLiteral("BShowDistanceBetweenTwoObjects"));
        QVERIFY(lunars->isVisibleTo(&windows.CelestialNavigation()));
        lunars->click();
        auto *twoObjects = windows.CelestialNavigation().findChild<TFormTwoObjectsCalculations *>();
        QVERIFY(twoObjects && twoObjects->isVisible());
        lunars->click();
        QCOMPARE(
            windows.CelestialNavigation().findChildren<TFormTwoObjectsCalculations *>().size(), 1);
        // Both star finder commands open it on the assumed position and GMT of the sight.
        windows.CelestialNavigation()
            .findChild<TKaPositionEdit *>(QStringLiteral("EdLatitude"))
            ->SetPosition(-33.5);
        windows.CelestialNavigation()
            .findChild<TKaPositionEdit *>(QStringLiteral("EdLongitude"))
            ->SetPosition(70.5);
        auto *finder =
            windows.CelestialNavigation().findChild<QPushButton *>(QStringLiteral("BStarFinder"));
        QVERIFY(finder->isEnabled());
        finder->click();
        QVERIFY(windows.StarFinder().isVisible());
        const auto *lat =
            windows.StarFinder().findChild<TKaPositionEdit *>(QStringLiteral("EdLat"));
        QCOMPARE(lat->Position(), -33.5);
        QVERIFY(windows.StarFinder().Sky().LonDeg == 70.5);
        windows.StarFinder().hide();
        windows.CelestialNavigation()
            .findChild<TKaPositionEdit *>(QStringLiteral("EdLatitude"))
            ->SetPosition(12);
        windows.Launcher().findChild<QPushButton *>(QStringLiteral("BStarFinder"))->click();
        QVERIFY(windows.StarFinder().isVisible());
        QCOMPARE(lat->Position(), 12.0);
        // "Chart..." hands the page's overlay to the chart viewer and shows it.
        auto *chart =
            windows.CelestialNavigation().findChild<QPushButton *>(QStringLiteral("BAbreCarta"));
        QVERIFY(chart->isEnabled());
        chart->click();
        QVERIFY(windows.ChartViewer().isVisible());
        QCOMPARE(windows.ChartViewer().windowTitle(), QStringLiteral("Chart"));
        TLOPRecord lop;
        lop.ObjectName = "Sun";
        lop.GMTDay = 3;
        lop.GMTMonth = 1;
        lop.GMTYear = 2024;
        windows.CelestialNavigation().LOPList().AddLOP(lop);
        // Closing the launcher asks about a changed desktop, once.
        windows.ChartViewer().Chart().Desk().RoutesModified = true;
        FBoxes->Answers << QMessageBox::No;
        windows.Launcher().close();
        QCOMPARE(FBoxes->Texts(), QStringList({"Desktop changed. Save?"}));
        FBoxes->Shown.clear();
    }
    // The bodies go after the last window; LOPS.LST was written.
    QVERIFY(!Astros().Created());
    QVERIFY(QFile::exists(FFolder->DataPath() + QStringLiteral("/LOPS.LST")));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TBoatMovementTest::LegCalculatorRoutesGoToTheChartViewer()
{
    TVrn32Windows windows;
    TFormRouteCalculator &legs = windows.LegCalculator();
    QVERIFY(!legs.isVisible());
    // Both of the viewer's commands show it: the Routes menu entry and the tool bar button.
    for (const char *command : {"LegCalculator1", "BLegCalculator"}) {
        legs.hide();
        auto *action = windows.ChartViewer().findChild<QAction *>(QString::fromLatin1(command));
        QVERIFY2(action && action->isEnabled(), command);
        action->trigger();
        QVERIFY(legs.isVisible());
    }
    legs.findChild<TKaPositionEdit *>(QStringLiteral("EdLatIni"))->SetPosition(40);
    legs.findChild<TKaPositionEdit *>(QStringLiteral("EdLonIni"))->SetPosition(70);
    legs.findChild<TKaPositionEdit *>(QStringLiteral("EdLatFin"))->SetPosition(50);
    legs.findChild<TKaPositionEdit *>(QStringLiteral("EdLonFin"))->SetPosition(5);
    QTest::mouseClick(legs.findChild<QPushButton *>(QStringLiteral("BCalculate")), Qt::LeftButton);
    auto *add = legs.findChild<QPushButton *>(QStringLiteral("BAddGCRouteToDesktop"));
    QVERIFY(add->isEnabled());
    add->click();
    const TLogCarta &chart = windows.ChartViewer().Chart();
    QCOMPARE(chart.Desk().Routes.Count(), 1u);
    QCOMPARE(QString::fromStdString(chart.Desk().Routes[0]->Name), QStringLiteral("Great Circle"));
    QCOMPARE(chart.Desk().Routes[0]->PointCount(), std::size_t(7));
    QVERIFY(chart.IsModified());
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
}

void TBoatMovementTest::Screenshots()
{
    const QString dir = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    TFormBoatMovement dialog;
    dialog.SetBoatCourse(60);
    dialog.SetBoatSpeed(6.5);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.grab().save(dir + QStringLiteral("/boat-course-speed.png")));
    TFormVarunelSplash launcher;
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    QVERIFY(launcher.grab().save(dir + QStringLiteral("/launcher.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TBoatMovementTest)
#include "BoatMovementTest.moc"
