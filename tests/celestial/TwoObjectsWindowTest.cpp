#include "celestial/SystemTimeZone.h"
#include "celestial/fTwoObjectsCalculations.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "tests/celestial/WindowChecks.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <cmath>
#include <memory>

namespace vrn {

// The two-object window driven offscreen through its fields and buttons; boxes and the clock
// answer through the ui seams.
class TTwoObjectsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ListsAndLimbSwitches();
    void SunAndMoonDistanceWithTheirLimbs();
    void TwoStarsHaveNoSemiDiameters();
    void BadChoicesAndDatesShowTheirMessage_data();
    void BadChoicesAndDatesShowTheirMessage();
    void NowTakesTheClockAndTheZone();
    void LunarDistanceIsClearedToItsGMT();
    void LunarThatCannotBeClearedSaysWhy();
    void FieldsAreKeptBetweenRuns();
    void ReadingOrderMnemonicsAndSize();
    void Screenshots();

private:
    TFormTwoObjectsCalculations &Window() { return *FWindow; }

    template <typename T>
    T *Child(const char *name) const
    {
        T *w = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }

    QStringList Report() const { return FWindow->ReportText().split(QLatin1Char('\n')); }

    void Choose(const char *list, const char *body)
    {
        auto *l = Child<QComboBox>(list);
        l->setCurrentIndex(l->findText(QString::fromLatin1(body)));
    }

    void Click(const char *button)
    {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }

    // The Moon and the Sun at 15/03/2024 18:00:00 GMT, as the watch shows 17:58:00 and is two
    // minutes slow.
    void TypeSunMoonInstant();

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TFormTwoObjectsCalculations> FWindow;
};

void TTwoObjectsWindowTest::initTestCase()
{
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
}

void TTwoObjectsWindowTest::init()
{
    // Every case starts from settings of its own: a window stores its fields when it goes.
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FWindow = std::make_unique<TFormTwoObjectsCalculations>();
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    // Keys go to the active window (a screen without a window manager may never activate it:
    // only the screenshots are taken there).
    QApplication::setActiveWindow(FWindow.get());
    (void)QTest::qWaitForWindowActive(FWindow.get(), 1000);
}

void TTwoObjectsWindowTest::cleanup()
{
    FWindow.reset();
    FBoxes.reset();
    FFolder.reset();
}

void TTwoObjectsWindowTest::TypeSunMoonInstant()
{
    Choose("LBStar1", "Sun");
    Choose("LBStar2", "Moon");
    auto *date = Child<QLineEdit>("EdGMTDate");
    date->setFocus(Qt::TabFocusReason);
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("15/03/2024"));
    auto *time = Child<TKaTimeEdit>("EdGMTTime");
    time->HoursCell()->setFocus(Qt::TabFocusReason);
    for (const QChar c : QStringLiteral("175800"))
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QCOMPARE(time->Text(), QStringLiteral("17:58:00"));
    Child<QSpinBox>("EdWatchError")->setValue(120);
}

void TTwoObjectsWindowTest::ListsAndLimbSwitches()
{
    QCOMPARE(
        Window().windowTitle(), QStringLiteral("Distance between celestial objects and Lunars"));
    for (const char *name : {"LBStar1", "LBStar2"}) {
        auto *list = Child<QComboBox>(name);
        QCOMPARE(list->count(), 67);
        QCOMPARE(list->itemText(0), QStringLiteral("Sun"));
        QCOMPARE(list->itemText(1), QStringLiteral("Moon"));
        QCOMPARE(list->itemText(2), QStringLiteral("Venus"));
        QCOMPARE(list->itemText(66), QStringLiteral("Aries *"));
        QCOMPARE(list->currentIndex(), 0);
    }
    auto *limb1 = Child<QCheckBox>("CBFarLimb1");
    QVERIFY(!limb1->isChecked());
    QCOMPARE(limb1->text(), QStringLiteral("Near Limb (for Sun and Moon)"));
    QVERIFY(limb1->isEnabled());
    QTest::mouseClick(limb1, Qt::LeftButton, {}, QPoint(8, limb1->height() / 2));
    QCOMPARE(limb1->text(), QStringLiteral("Far limb (for Sun and Moon)"));
    // A star or a planet has no limb to choose; picked with the keyboard.
    auto *list = Child<QComboBox>("LBStar1");
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down); // Moon
    QVERIFY(limb1->isEnabled());
    QTest::keyClick(list, Qt::Key_Down); // Venus
    QCOMPARE(list->currentText(), QStringLiteral("Venus"));
    QVERIFY(!limb1->isEnabled());
    Choose("LBStar2", "Sirius");
    QVERIFY(!Child<QCheckBox>("CBFarLimb2")->isEnabled());
}

void TTwoObjectsWindowTest::SunAndMoonDistanceWithTheirLimbs()
{
    TypeSunMoonInstant();
    Click("BCalcTwoObjects");
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    const QStringList near = Report();
    QCOMPARE(near.size(), 10);
    QCOMPARE(near[0], QStringLiteral("Distance between Sun and Moon"));
    QCOMPARE(near[1], QString(39, QLatin1Char('-')));
    QCOMPARE(near[2], QStringLiteral("Date: 15/03/2024 GMT"));
    QCOMPARE(near[3], QStringLiteral("Time: 18:00:00 GMT")); // the watch error added
    // PyEphem (tools/lunar-reference.py): SDs 16.079' and 15.755', position angle 62.240°,
    // centres 72.74051° (72°44.4').
    const QRegularExpression sd(QStringLiteral("^SD correction for (Sun|Moon): (.*)'$"));
    const auto sunSd = sd.match(near[4]);
    const auto moonSd = sd.match(near[5]);
    QVERIFY(sunSd.hasMatch() && moonSd.hasMatch());
    QCOMPARE(sunSd.captured(1), QStringLiteral("Sun"));
    // Written to a tenth of a minute: PyEphem's value within the rounding and 0.03'.
    QVERIFY(std::fabs(sunSd.captured(2).toDouble() + 16.079) < 0.08);
    QVERIFY(std::fabs(moonSd.captured(2).toDouble() + 15.755) < 0.08);
    QCOMPARE(near[6], QStringLiteral("Bearing 1-2:   62.24°"));
    QCOMPARE(near[7], QString());
    QCOMPARE(near[8], QStringLiteral("Dist (obj centers): 72°44.4' "));
    QVERIFY(near[9].startsWith(QStringLiteral("Dist (corrected for SDs): 72°12.")));

    // The far limb of the Sun adds its semi-diameter instead.
    QTest::mouseClick(Child<QCheckBox>("CBFarLimb1"), Qt::LeftButton, {},
        QPoint(8, Child<QCheckBox>("CBFarLimb1")->height() / 2));
    Click("BCalcTwoObjects");
    const QStringList far = Report();
    QVERIFY(far[4].startsWith(QStringLiteral("SD correction for Sun: 16.")));
    QCOMPARE(far[8], near[8]);
    QVERIFY(far[9].startsWith(QStringLiteral("Dist (corrected for SDs): 72°44.")));
}

void TTwoObjectsWindowTest::TwoStarsHaveNoSemiDiameters()
{
    Choose("LBStar1", "Sirius");
    Choose("LBStar2", "Canopus");
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("20/01/2025"));
    Child<TKaTimeEdit>("EdGMTTime")->SetValue(3.0 / 24);
    Click("BCalcTwoObjects");
    // 36.21227°, 185.572° (tools/lunar-reference.py).
    QCOMPARE(Report(),
        (QStringList {QStringLiteral("Distance between Sirius and Canopus"),
            QString(39, QLatin1Char('-')), QStringLiteral("Date: 20/01/2025 GMT"),
            QStringLiteral("Time: 03:00:00 GMT"), QStringLiteral("Bearing 1-2:  185.57°"),
            QString(), QStringLiteral("Dist (obj centers): 36°12.7' ")}));
}

void TTwoObjectsWindowTest::BadChoicesAndDatesShowTheirMessage_data()
{
    QTest::addColumn<QString>("body1");
    QTest::addColumn<QString>("body2");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addRow("no object 1") << ""
                                 << "Sun"
                                 << "15/03/2024"
                                 << "Select object 1"
                                 << "LBStar1";
    QTest::addRow("no object 2") << "Moon"
                                 << ""
                                 << "15/03/2024"
                                 << "Select object 2"
                                 << "LBStar2";
    QTest::addRow("the same twice") << "Moon"
                                    << "Moon"
                                    << "15/03/2024"
                                    << "Select different objects (1 and 2)"
                                    << "";
    // The GMT date reader's message, with the day-first format of the test.
    const QString badDate = QStringLiteral("Invalid date in GMT date: expected dd/MM/yyyy");
    QTest::addRow("no date") << "Moon"
                             << "Sun"
                             << "" << badDate << "";
    QTest::addRow("no such date") << "Moon"
                                  << "Sun"
                                  << "30/02/2024" << badDate << "";
}

void TTwoObjectsWindowTest::BadChoicesAndDatesShowTheirMessage()
{
    QFETCH(QString, body1);
    QFETCH(QString, body2);
    QFETCH(QString, date);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Child<QComboBox>("LBStar1")->setCurrentIndex(Child<QComboBox>("LBStar1")->findText(body1));
    Child<QComboBox>("LBStar2")->setCurrentIndex(Child<QComboBox>("LBStar2")->findText(body2));
    Child<QLineEdit>("EdGMTDate")->setText(date);
    Child<QPushButton>("BClearLunarDistance")->setFocus();
    for (const char *button : {"BCalcTwoObjects", "BClearLunarDistance"}) {
        FBoxes->Shown.clear();
        Click(button);
        QCOMPARE(FBoxes->Texts(), QStringList {message});
        QCOMPARE(Window().ReportText(), QString());
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }
}

void TTwoObjectsWindowTest::NowTakesTheClockAndTheZone()
{
    // Local 2024-12-31 22:30:15 in a zone 3 hours west: GMT 01:30:15 the next day.
    const TFixedClock clock(QDateTime(QDate(2024, 12, 31), QTime(22, 30, 15)));
    Child<TNumEdit>("EdTimeZone")->SetValue(3);
    Click("BNow");
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("01/01/2025"));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("01:30:15"));
    Click("BGetSystemTimeZone");
    QCOMPARE(Child<TNumEdit>("EdTimeZone")->Value(), SystemTimeZone());
}

void TTwoObjectsWindowTest::LunarDistanceIsClearedToItsGMT()
{
    // The worked example of tools/lunar-reference.py: 35°N 45°W, Moon and Sun by their near
    // limbs at 18:00:00 GMT, IC -1.2', eye 3 m; the watch shows 18:05:00 and is taken as right.
    Choose("LBStar1", "Moon");
    Choose("LBStar2", "Sun");
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("15/03/2024"));
    Child<TKaTimeEdit>("EdGMTTime")->SetValue((18 + 5 / 60.0) / 24);
    Child<TKaPositionEdit>("EdLatitude")->SetPosition(35);
    Child<TKaPositionEdit>("EdLongitude")->SetPosition(45);
    Child<TNumEdit>("EdIE")->SetValue(-1.2);
    Child<TNumEdit>("EdEyeHeight")->SetValue(3);
    Child<TKaPositionEdit>("EdSextantDistance")->SetPosition(72.523626);
    Child<TKaPositionEdit>("EdAltitude1")->SetPosition(64.717741);
    Child<TKaPositionEdit>("EdAltitude2")->SetPosition(35.764724);
    Click("BClearLunarDistance");
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    const QStringList report = Report();
    QCOMPARE(report.value(0), QStringLiteral("Lunar distance Moon - Sun"));
    const QRegularExpression gmt(
        QStringLiteral("^GMT of the distance: +15/03/2024 (\\d\\d):(\\d\\d):(\\d\\d) GMT$"));
    const QRegularExpression err(QStringLiteral("^Watch error: +([-+]\\d+) s"));
    int seconds = -1;
    int watchError = 0;
    for (const QString &line : report) {
        if (const auto m = gmt.match(line); m.hasMatch())
            seconds =
                m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
        if (const auto m = err.match(line); m.hasMatch())
            watchError = m.captured(1).toInt();
    }
    // Within the tenth of a minute the fields keep (6 s) and the engine's Moon against
    // PyEphem's (1 s).
    QVERIFY2(std::abs(seconds - 18 * 3600) <= 8, qPrintable(report.join(QLatin1Char('\n'))));
    QVERIFY(std::abs(watchError - (seconds - (18 * 3600 + 300))) <= 1);
}

void TTwoObjectsWindowTest::LunarThatCannotBeClearedSaysWhy()
{
    Choose("LBStar1", "Sun");
    Choose("LBStar2", "Regulus");
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("15/03/2024"));
    Child<TKaPositionEdit>("EdSextantDistance")->SetPosition(70);
    Child<TKaPositionEdit>("EdAltitude1")->SetPosition(30);
    Child<TKaPositionEdit>("EdAltitude2")->SetPosition(40);
    Click("BClearLunarDistance");
    QCOMPARE(FBoxes->Texts(),
        QStringList {QStringLiteral("A lunar distance needs the Moon as one of the objects")});
    QCOMPARE(Window().ReportText(), QString());
    QVERIFY(Window().isVisible());
}

void TTwoObjectsWindowTest::FieldsAreKeptBetweenRuns()
{
    Choose("LBStar1", "Moon");
    Choose("LBStar2", "Aldebaran");
    QTest::mouseClick(Child<QCheckBox>("CBFarLimb1"), Qt::LeftButton, {},
        QPoint(8, Child<QCheckBox>("CBFarLimb1")->height() / 2));
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("02/05/2025"));
    Child<TKaTimeEdit>("EdGMTTime")->SetValue(0.25);
    Child<QSpinBox>("EdWatchError")->setValue(-17);
    Child<TNumEdit>("EdTimeZone")->SetValue(-5.5);
    Child<TKaPositionEdit>("EdLatitude")->SetPosition(-33.5);
    Child<TKaPositionEdit>("EdLongitude")->SetPosition(-151.25);
    Child<TNumEdit>("EdIE")->SetValue(0.4);
    Child<TNumEdit>("EdEyeHeight")->SetValue(2.5);
    Child<TKaPositionEdit>("EdSextantDistance")->SetPosition(62.5);
    Child<TKaPositionEdit>("EdAltitude1")->SetPosition(20.5);
    Child<TKaPositionEdit>("EdAltitude2")->SetPosition(41.25);
    FWindow->hide(); // stored when hidden
    FWindow = std::make_unique<TFormTwoObjectsCalculations>();
    QCOMPARE(Child<QComboBox>("LBStar1")->currentText(), QStringLiteral("Moon"));
    QCOMPARE(Child<QComboBox>("LBStar2")->currentText(), QStringLiteral("Aldebaran"));
    QVERIFY(Child<QCheckBox>("CBFarLimb1")->isChecked());
    QCOMPARE(Child<QCheckBox>("CBFarLimb1")->text(), QStringLiteral("Far limb (for Sun and Moon)"));
    QVERIFY(!Child<QCheckBox>("CBFarLimb2")->isEnabled());
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("02/05/2025"));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("06:00:00"));
    QCOMPARE(Child<QSpinBox>("EdWatchError")->value(), -17);
    QCOMPARE(Child<TNumEdit>("EdTimeZone")->Value(), -5.5);
    QCOMPARE(Child<TKaPositionEdit>("EdLatitude")->Position(), -33.5);
    QCOMPARE(Child<TKaPositionEdit>("EdLongitude")->Position(), -151.25);
    QCOMPARE(Child<TNumEdit>("EdIE")->Value(), 0.4);
    QCOMPARE(Child<TNumEdit>("EdEyeHeight")->Value(), 2.5);
    QCOMPARE(Child<TKaPositionEdit>("EdSextantDistance")->Position(), 62.5);
    QCOMPARE(Child<TKaPositionEdit>("EdAltitude1")->Position(), 20.5);
    QCOMPARE(Child<TKaPositionEdit>("EdAltitude2")->Position(), 41.25);
}

void TTwoObjectsWindowTest::ReadingOrderMnemonicsAndSize()
{
    const QStringList order = {"LBStar1", "CBFarLimb1", "LBStar2", "CBFarLimb2", "EdGMTDate",
        "EdGMTTime", "BNow", "EdWatchError", "EdTimeZone", "BGetSystemTimeZone", "EdLatitude",
        "EdLongitude", "EdIE", "EdEyeHeight", "EdSextantDistance", "EdAltitude1", "EdAltitude2",
        "BCalcTwoObjects", "BClearLunarDistance", "Memo"};
    QCOMPARE(TabVisits(*Child<QComboBox>("LBStar1"), order), order);
    QVERIFY2(SharedMnemonics(Window()).isEmpty(),
        qPrintable(SharedMnemonics(Window()).join(QStringLiteral("; "))));
    const QSize least = Window().minimumSizeHint();
    QVERIFY(least.width() <= 1280 && least.height() <= 720);
    QVERIFY2(ClippedTexts(Window()).isEmpty(),
        qPrintable(ClippedTexts(Window()).join(QStringLiteral("|"))));
}

void TTwoObjectsWindowTest::Screenshots()
{
    const QString dir = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    Choose("LBStar1", "Moon");
    Choose("LBStar2", "Sun");
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("15/03/2024"));
    Child<TKaTimeEdit>("EdGMTTime")->SetValue((18 + 5 / 60.0) / 24);
    Child<TKaPositionEdit>("EdLatitude")->SetPosition(35);
    Child<TKaPositionEdit>("EdLongitude")->SetPosition(45);
    Child<TNumEdit>("EdIE")->SetValue(-1.2);
    Child<TNumEdit>("EdEyeHeight")->SetValue(3);
    Child<TKaPositionEdit>("EdSextantDistance")->SetPosition(72.523626);
    Child<TKaPositionEdit>("EdAltitude1")->SetPosition(64.717741);
    Child<TKaPositionEdit>("EdAltitude2")->SetPosition(35.764724);
    Click("BCalcTwoObjects");
    QApplication::processEvents();
    QVERIFY(Window().grab().save(dir + QStringLiteral("/two-objects-1-distance.png")));
    Click("BClearLunarDistance");
    QApplication::processEvents();
    QVERIFY(Window().grab().save(dir + QStringLiteral("/two-objects-2-lunar.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TTwoObjectsWindowTest)
#include "TwoObjectsWindowTest.moc"
