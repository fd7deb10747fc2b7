#include "celestial/DlgShowOnceMsg.h"
#include "celestial/LOPFiles.h"
#include "celestial/SextantErrorPlot.h"
#include "celestial/fMeridianPassageByEqualAltitudes.h"
#include "celestial/fSelectPairsForMeridianPassage.h"
#include "celestial/fVrn32.h"
#include "charts/Dcarta.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/Trigonom.h"
#include "tests/ui/Mnemonics.h"
#include "ui/UiTestDoubles.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cmath>
#include <functional>
#include <memory>

namespace vrn {

// The celestial navigation window and the equal-altitudes window, driven offscreen through their
// fields and buttons; boxes, file dialogs and the clock answer through the ui seams.
class TCelestialWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void CelestialNavigationRoad();
    void TimeFieldsFollowEachOther_data();
    void TimeFieldsFollowEachOther();
    void NowSetsLocalThenGMT();
    void NoonSightFromTheWindow();
    void BadInputShowsAMessage_data();
    void BadInputShowsAMessage();
    void TransportModeEnablesTheTimeFields_data();
    void TransportModeEnablesTheTimeFields();
    void DamagedLOPsFileAtStart();
    void UnwritableDataFolderAtExit();
    void LimbChoiceAndArtificialHorizon();
    void CalibrationTableEditing();
    void EqualAltitudesWindow();
    void NoonSightAndEqualAltitudesAgree();
    void OpenReadsTheFileBeforeTouchingTheList_data();
    void OpenReadsTheFileBeforeTouchingTheList();
    void ListChangesClearTheFixAndAreWrittenAtOnce();
    void PairSelectionDialog();
    void WindowFitsTheSmallestScreen();
    void KeyboardReadingOrderAndMnemonics();
    void CalibrationPlotLabelsAreNotCut_data();
    void CalibrationPlotLabelsAreNotCut();
    void Screenshots();

private:
    TFormVrn32 &Window() { return *FWindow; }

    template <typename T>
    T *Child(const char *name) const
    {
        T *w = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }

    QString Memo(const char *name) const { return Child<QPlainTextEdit>(name)->toPlainText(); }

    void ChooseBody(const QString &name);
    // Types a sight of `body` at 2024-01-03 `hours` GMT as seen from the true position, from the
    // assumed position 40°N 10°W with IC −2', eye 3 m.
    void TypeSight(const char *body, double hours);

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TFormVrn32> FWindow;
    QStringList FShowOnce;
};

using TWindowSetup = std::function<void(TCelestialWindowTest &)>;

} // namespace vrn

Q_DECLARE_METATYPE(vrn::TWindowSetup)

namespace vrn {
namespace {

TLOPRecord SunLOP()
{
    TLOPRecord lop;
    lop.ObjectName = "Sun";
    lop.GMTDay = 3;
    lop.GMTMonth = 1;
    lop.GMTYear = 2024;
    return lop;
}

constexpr double kTrueLat = 40 + 4 / 60.0; // 40°04'N
constexpr double kTrueLon = 10 + 6 / 60.0; // 10°06'W

QString LOPsFilePath()
{
    return qEnvironmentVariable("VRN_DATA_DIR") + QStringLiteral("/LOPS.LST");
}

} // namespace

void TCelestialWindowTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    SetShowOnceResponder([this](QWidget *, const QString &text) {
        FShowOnce.append(text);
        return false;
    });
}

void TCelestialWindowTest::init()
{
    QDir(qEnvironmentVariable("VRN_DATA_DIR")).removeRecursively();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FShowOnce.clear();
    FWindow = std::make_unique<TFormVrn32>();
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TCelestialWindowTest::cleanup()
{
    FWindow.reset();
    FFiles.reset();
    FBoxes.reset();
    Sextant().CalibrationTable.ClearPairs();
    BoatCourseAndSpeed() = {};
}

void TCelestialWindowTest::ChooseBody(const QString &name)
{
    auto *list = Child<QComboBox>("LBStars");
    list->setCurrentIndex(list->findText(name));
}

void TCelestialWindowTest::TypeSight(const char *body, double hours)
{
    ChooseBody(QString::fromLatin1(body));
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("03/01/2024"));
    Child<TKaTimeEdit>("EdGMTTime")->SetValue(hours / 24);
    Child<TKaPositionEdit>("EdLatitude")->SetPosition(40);
    Child<TKaPositionEdit>("EdLongitude")->SetPosition(10);
    Child<TNumEdit>("EdIE")->SetValue(-2);
    Child<TNumEdit>("EdDip")->SetValue(3);
    Child<QComboBox>("CBDipUnit")->setCurrentIndex(0);

    // The sextant reading the window's corrections turn into the altitude at the true position
    // (engine: GHA, declination, altitude); the field keeps a tenth of a minute.
    TAstro &b = *FindAstro(body);
    const auto p = b.ComputeGHADec(2024, 1, 3, hours);
    const double ho = ComputeAltitudeAzimuth(p.DecDeg, p.GHADeg, kTrueLat, kTrueLon, 0).HcDeg;
    TVrnSextant s;
    s.DipMode = TDipMode::FromEyeHeight;
    s.EyeHeight = 3 / 0.3048;
    s.IndexCorrection = -2 / 60.0;
    double hs = ho;
    for (int i = 0; i < 10; ++i) {
        s.Hs = hs;
        s.CalcCorrections(TLimbType::LowerLimb, false, b, {3, 1, 2024, hours}, {}, {});
        hs = ho - s.TotalCorrection;
    }
    Child<TKaPositionEdit>("EdAltitude")->SetPosition(hs);
}

void TCelestialWindowTest::CelestialNavigationRoad()
{
    // Three sights at 12:13 GMT on 2024-01-03 from 40°04'N 10°06'W: the Sun (Zn 172), Saturn
    // (Zn 119) and Arcturus (Zn 267).
    const char *bodies[] = {"Sun", "Saturn", "Arcturus"};
    for (const char *body : bodies) {
        TypeSight(body, 12 + 13 / 60.0);
        Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageLOP);
        QTest::mouseClick(Child<QPushButton>("BCalcLOP"), Qt::LeftButton);
        QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
        const QStringList lines = Memo("MemoLOP").split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("LOP for ") + QString::fromLatin1(body));
        QCOMPARE(lines.value(1), QStringLiteral("03/01/2024 12:13:00 GMT"));
        QCOMPARE(lines.value(2), QStringLiteral("Assumed Pos. Lat:40°00.0'N  Lon:10°00.0'W"));
        QVERIFY(lines.last().startsWith(QStringLiteral("Az.calc: ")));
        QVERIFY(Child<QPushButton>("BSalvaReta")->isEnabled());
        QTest::mouseClick(Child<QPushButton>("BSalvaReta"), Qt::LeftButton);
        QVERIFY(!Child<QPushButton>("BSalvaReta")->isEnabled());
    }
    QCOMPARE(Window().LOPList().LOPCount(), 3);
    auto *list = Child<QTreeWidget>("LVRetasPosicao");
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("Saturn"));
    QCOMPARE(list->topLevelItem(2)->checkState(0), Qt::Checked);

    // The time-zone check saw zone 0 against 10° W: within 1.5 hours, no warning.
    QVERIFY(FShowOnce.isEmpty());

    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PagePosition);
    QVERIFY(!Child<TKaPositionEdit>("EdAltitude")->isEnabled());
    QTest::mouseClick(Child<QPushButton>("BCalcPosAstronomica"), Qt::LeftButton);
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    QVERIFY(Window().LOPList().FixValid());
    // Within 0.5 nm of the true position (the straight-line fix from 4.6 nm off).
    QVERIFY(std::fabs(Window().LOPList().FixLat() - kTrueLat) * 60 < 0.5);
    QVERIFY(std::fabs(Window().LOPList().FixLon() - kTrueLon) * 60 * std::cos(kTrueLat * kPi / 180)
        < 0.5);
    const QString fix = Memo("MemoPosition");
    QVERIFY(fix.contains(QStringLiteral("AP for LOPs 1,2,3")));
    QVERIFY(fix.contains(QStringLiteral("3 crossings calculated")));
    QVERIFY(Child<QLabel>("LFixLat")->text().startsWith(QStringLiteral("Lat: 40°0")));
    QVERIFY(Child<QLabel>("LFixLon")->text().startsWith(QStringLiteral("Lon: 10°0")));
    // The position pane drew the fix and the LOPs over the chart background.
    QVERIFY(!Child<TLogCarta>("PositionChart")->Picture().isNull());

    // LOPS.LST holds the three records once the window is gone.
    FWindow.reset();
    QFile file(LOPsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), qint64(3 * kLOPRecordSize));
    const TLOPsFileLoad back = LoadLOPsFile(qEnvironmentVariable("VRN_DATA_DIR").toStdString());
    QCOMPARE(back.LOPs.size(), std::size_t(3));
    QCOMPARE(QString::fromStdString(back.LOPs[2].ObjectName), QStringLiteral("Arcturus"));

    // And a new window opens with them.
    FWindow = std::make_unique<TFormVrn32>();
    QCOMPARE(Window().LOPList().LOPCount(), 3);
}

void TCelestialWindowTest::TimeFieldsFollowEachOther_data()
{
    QTest::addColumn<bool>("fromLocal");
    QTest::addColumn<QString>("date");
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("zone");
    QTest::addColumn<int>("watchError");
    QTest::addColumn<QString>("otherDate");
    QTest::addColumn<QString>("otherTime");

    // GMT = local + zone − watch error, worked by hand.
    QTest::addRow("local 10:00 zone +3 watch +30 s")
        << true << "10/03/2024" << 10.0 << 3.0 << 30 << "10/03/2024"
        << "12:59:30";
    QTest::addRow("GMT 23:30 zone -2 watch +30 s")
        << false << "10/03/2024" << 23.5 << -2.0 << 30 << "11/03/2024"
        << "01:30:30";
    QTest::addRow("watch error -86400 s")
        << true << "31/12/2024" << 10.0 << 0.0 << -86400 << "01/01/2025"
        << "10:00:00";
}

void TCelestialWindowTest::TimeFieldsFollowEachOther()
{
    QFETCH(bool, fromLocal);
    QFETCH(QString, date);
    QFETCH(double, hours);
    QFETCH(double, zone);
    QFETCH(int, watchError);
    QFETCH(QString, otherDate);
    QFETCH(QString, otherTime);

    Child<TNumEdit>("EdTimeZone")->SetValue(zone);
    Child<QSpinBox>("EdWatchError")->setValue(watchError);
    const char *dateField = fromLocal ? "EdLocalDate" : "EdGMTDate";
    const char *timeField = fromLocal ? "EdLocalTime" : "EdGMTTime";
    Child<QLineEdit>(dateField)->setText(date);
    Child<TKaTimeEdit>(timeField)->SetValue(hours / 24);
    QCOMPARE(Child<QLineEdit>(fromLocal ? "EdGMTDate" : "EdLocalDate")->text(), otherDate);
    QCOMPARE(Child<TKaTimeEdit>(fromLocal ? "EdGMTTime" : "EdLocalTime")->Text(), otherTime);
}

void TCelestialWindowTest::NowSetsLocalThenGMT()
{
    const TFixedClock clock(QDateTime(QDate(2024, 7, 1), QTime(21, 15, 40)));
    Child<TNumEdit>("EdTimeZone")->SetValue(-3);
    Child<QSpinBox>("EdWatchError")->setValue(0);
    QTest::mouseClick(Child<QPushButton>("BNow"), Qt::LeftButton);
    QCOMPARE(Child<QLineEdit>("EdLocalDate")->text(), QStringLiteral("01/07/2024"));
    QCOMPARE(Child<TKaTimeEdit>("EdLocalTime")->Text(), QStringLiteral("21:15:40"));
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("01/07/2024"));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("18:15:40"));
}

void TCelestialWindowTest::NoonSightFromTheWindow()
{
    ChooseBody(QStringLiteral("Sun"));
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("15/06/2024"));
    Child<TKaTimeEdit>("EdGMTTime")->SetValue((16 + 40 / 60.0) / 24);
    Child<TKaPositionEdit>("EdAltitude")->SetPosition(72);
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageOther);
    QTest::mouseClick(Child<QPushButton>("BPassagemMeridiana"), Qt::LeftButton);
    QVERIFY(FBoxes->Shown.isEmpty());
    const QStringList lines = Memo("MemoOther").split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Position by Meridian Passage of the Sun"));
    QCOMPARE(lines.value(2), QStringLiteral("15/06/2024  16:40:00   GMT"));
    QVERIFY(lines.last().startsWith(QStringLiteral("Lon: ")));

    // The Moon: refused, and the text area keeps the report.
    ChooseBody(QStringLiteral("Moon"));
    QTest::mouseClick(Child<QPushButton>("BPassagemMeridiana"), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {"Select the Sun for meridian passage calculation"});
    QCOMPARE(Memo("MemoOther").split(QLatin1Char('\n')), lines);

    // Object data of the Moon fills the same area.
    QTest::mouseClick(Child<QPushButton>("BCalcAstroDados"), Qt::LeftButton);
    QVERIFY(Memo("MemoOther").startsWith(QStringLiteral("Moon 15/06/2024 16:40:00 GMT")));
    QVERIFY(Memo("MemoOther").contains(QStringLiteral("Horizontal Parallax: ")));
}

void TCelestialWindowTest::BadInputShowsAMessage_data()
{
    using TSetup = TWindowSetup;
    QTest::addColumn<TSetup>("setup");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");

    const auto sight = [](const char *date, double dip, int unit, double hs) {
        return TSetup([=](TCelestialWindowTest &t) {
            t.ChooseBody(QStringLiteral("Sun"));
            t.Child<QLineEdit>("EdGMTDate")->setText(QString::fromLatin1(date));
            t.Child<TKaTimeEdit>("EdGMTTime")->SetValue(0.5);
            t.Child<TKaPositionEdit>("EdAltitude")->SetPosition(hs);
            t.Child<TNumEdit>("EdDip")->SetValue(dip);
            t.Child<QComboBox>("CBDipUnit")->setCurrentIndex(unit);
        });
    };
    const TSetup nothing = [](TCelestialWindowTest &) {};
    QTest::addRow("LOP, empty date") << sight("", 0, 0, 30) << "BCalcLOP"
                                     << "Invalid date in GMT date: expected dd/MM/yyyy";
    QTest::addRow("LOP, impossible date") << sight("31/02/2024", 0, 0, 30) << "BCalcLOP"
                                          << "Invalid date in GMT date: expected dd/MM/yyyy";
    QTest::addRow("LOP, huge dip in minutes") << sight("03/01/2024", 99999999, 2, 30) << "BCalcLOP"
                                              << "Dip must be between -5400' and 5400'";
    QTest::addRow("LOP, -3 m of eye") << sight("03/01/2024", -3, 0, 30) << "BCalcLOP"
                                      << "Height of the eye (Dip) must be a positive number";
    QTest::addRow("LOP, altitude 0") << sight("03/01/2024", 0, 0, 0) << "BCalcLOP"
                                     << "Invalid sextant altitude (0°00)";
    QTest::addRow("LOP, no body chosen") << TSetup([](TCelestialWindowTest &t) {
        t.Child<QComboBox>("LBStars")->setCurrentIndex(-1);
    }) << "BCalcLOP"
                                         << "Select a star first";
    QTest::addRow("object data, empty date") << sight("", 0, 0, 30) << "BCalcAstroDados"
                                             << "Invalid date in GMT date: expected dd/MM/yyyy";
    QTest::addRow("noon sight, empty date") << sight("", 0, 0, 30) << "BPassagemMeridiana"
                                            << "Invalid date in GMT date: expected dd/MM/yyyy";
    QTest::addRow("fix without LOPs") << nothing << "BCalcPosAstronomica"
                                      << "Need at least 2 selected LOPs to calculate the Position";
    QTest::addRow("delete all of nothing") << nothing << "BClearAllRetas"
                                           << "No LOPs to delete";
    QTest::addRow("save an empty list") << nothing << "BSaveLOPList"
                                        << "No LOPs to save";
    QTest::addRow("delete with no row") << nothing << "BLimpaRetaDeAltura"
                                        << "";
    QTest::addRow("edit with no row") << nothing << "BEditaLOP"
                                      << "";
    QTest::addRow("edit point with no row") << nothing << "BEditCorrectionTablePoint"
                                            << "";
    QTest::addRow("delete point with no row") << nothing << "BDeleteCorrectionTablePoint"
                                              << "";
    QTest::addRow("transport to an empty selected time")
        << TSetup([](TCelestialWindowTest &t) {
               t.Child<QLineEdit>("EdGMTDate")->clear();
               t.Window().LOPList().AddLOP(TLOPRecord {});
           })
        << "RBToSelectedTime"
        << "Invalid date in GMT date: expected dd/MM/yyyy";
}

void TCelestialWindowTest::BadInputShowsAMessage()
{
    using TSetup = TWindowSetup;
    QFETCH(TSetup, setup);
    QFETCH(QString, button);
    QFETCH(QString, message);
    setup(*this);
    if (button == QStringLiteral("RBToSelectedTime")) {
        auto *group = Child<QWidget>("RGAutoTransportMode");
        const auto radios = group->findChildren<QRadioButton *>();
        QTest::mouseClick(radios.at(3), Qt::LeftButton);
    } else {
        auto *b = FWindow->findChild<QPushButton *>(button);
        QVERIFY(b);
        // Disabled buttons are pressed through their handler, as a shortcut would.
        b->setEnabled(true);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QCOMPARE(FBoxes->Texts(), message.isEmpty() ? QStringList() : QStringList {message});
    QCOMPARE(FBoxes->Unanswered, 0);
    QVERIFY(FWindow->isVisible());
}

void TCelestialWindowTest::TransportModeEnablesTheTimeFields_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QList<int>>("modes"); // the transport choices clicked, in order
    QTest::addColumn<bool>("timesEnabled");

    // Every time field follows one rule: enabled off the position page, and on it only for
    // "To Selected Time", whether the page or the choice changed last.
    QTest::addRow("position page, don't transport")
        << int(TFormVrn32::PagePosition) << QList<int> {0} << false;
    QTest::addRow("position page, to selected time")
        << int(TFormVrn32::PagePosition) << QList<int> {3} << true;
    QTest::addRow("position page, selected time then latest")
        << int(TFormVrn32::PagePosition) << QList<int> {3, 1} << false;
    QTest::addRow("LOP page, latest") << int(TFormVrn32::PageLOP) << QList<int> {1} << true;
}

void TCelestialWindowTest::TransportModeEnablesTheTimeFields()
{
    QFETCH(int, page);
    QFETCH(QList<int>, modes);
    QFETCH(bool, timesEnabled);
    Child<QTabWidget>("PageControl1")->setCurrentIndex(page);
    const auto radios = Child<QWidget>("RGAutoTransportMode")->findChildren<QRadioButton *>();
    for (int mode : modes)
        radios.at(mode)->click();
    for (const char *name : {"EdLocalDate", "EdLocalTime", "EdGMTDate", "EdGMTTime", "EdTimeZone",
             "EdWatchError", "BNow", "BGetSystemTimeZone"}) {
        QVERIFY2(Child<QWidget>(name)->isEnabled() == timesEnabled, name);
    }
}

void TCelestialWindowTest::DamagedLOPsFileAtStart()
{
    FWindow.reset();
    // Two good records and a torn third: 900 bytes.
    TLOPRecord a;
    a.ObjectName = "Sun";
    a.GMTDay = 3;
    a.GMTMonth = 1;
    a.GMTYear = 2024;
    TLOPRecord b = a;
    b.ObjectName = "Vega";
    QByteArray bytes;
    for (const auto &lop : {a, b}) {
        const auto r = EncodeLOPRecord(lop);
        bytes.append(reinterpret_cast<const char *>(r.data()), int(r.size()));
    }
    bytes.append(QByteArray(900 - bytes.size(), '\x7f'));
    QDir().mkpath(qEnvironmentVariable("VRN_DATA_DIR"));
    QFile f(LOPsFilePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    FWindow = std::make_unique<TFormVrn32>();
    QCOMPARE(Window().LOPList().LOPCount(), 2);
    QCOMPARE(
        QString::fromStdString(Window().LOPList().LOPs()[1].ObjectName), QStringLiteral("Vega"));
    QCOMPARE(FBoxes->Shown.size(), 1);
    QVERIFY(FBoxes->Shown[0].Text.startsWith(QStringLiteral("File LOPS.LST is corrupted")));
    QVERIFY(FBoxes->Shown[0].Text.contains(QStringLiteral("2 LOPs could be read")));
    QVERIFY(QFile::exists(LOPsFilePath() + QStringLiteral(".bad")));
}

void TCelestialWindowTest::UnwritableDataFolderAtExit()
{
    Window().LOPList().AddLOP(SunLOP());
    // A folder where the file should be: the rename over it fails, whoever runs the test.
    QVERIFY(QDir().mkpath(LOPsFilePath() + QStringLiteral("/keep")));
    FWindow.reset();
    QCOMPARE(FBoxes->Shown.size(), 1);
    QVERIFY(FBoxes->Shown[0].Text.startsWith(QStringLiteral("Cannot write file")));
    QVERIFY(QDir(LOPsFilePath() + QStringLiteral("/keep")).exists());
    QVERIFY(!QFile::exists(LOPsFilePath() + QStringLiteral(".tmp")));
}

void TCelestialWindowTest::LimbChoiceAndArtificialHorizon()
{
    struct Row
    {
        const char *Body;
        bool Horizon;
        bool LimbsEnabled;
        int Digits;
    };

    const Row rows[] = {{"Sun", false, true, 2}, {"Moon", false, true, 2}, {"Sun", true, false, 3},
        {"Vega", false, false, 2}, {"Venus", true, false, 3}};
    for (const auto &r : rows) {
        ChooseBody(QString::fromLatin1(r.Body));
        Child<QCheckBox>("CBArtificialHorizon")->setChecked(r.Horizon);
        QCOMPARE(Child<QWidget>("RGLimbType")->isEnabled(), r.LimbsEnabled);
        QCOMPARE(Child<TKaPositionEdit>("EdAltitude")->DegreeDigits(), r.Digits);
    }
}

void TCelestialWindowTest::CalibrationTableEditing()
{
    QList<TSextantCalibrationPair> answers {{60, -0.5}, {20, 0.5}};
    Window().EditCalibrationPoint = [&](QWidget *, TSextantCalibrationPair &pair) {
        if (answers.isEmpty())
            return false;
        pair = answers.takeFirst();
        return true;
    };
    QTest::mouseClick(Child<QPushButton>("BAddCorrectionTablePoint"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>("BAddCorrectionTablePoint"), Qt::LeftButton);
    auto *grid = Child<QTableWidget>("GridCorrectionTable");
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral(" 20°"));
    QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("-0.5'"));

    grid->setCurrentCell(0, 0);
    FBoxes->Answers = {QMessageBox::Yes};
    QTest::mouseClick(Child<QPushButton>("BDeleteCorrectionTablePoint"), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {"Delete point 1?"});
    QCOMPARE(grid->rowCount(), 1);

    // Saved and opened again through the file dialogs.
    const QString sxt = FFolder->Path() + QStringLiteral("/table.sxt");
    FFiles->Answers = {sxt, sxt};
    QTest::mouseClick(Child<QPushButton>("BSaveSextantCalibrationTable"), Qt::LeftButton);
    Sextant().CalibrationTable.ClearPairs();
    QTest::mouseClick(Child<QPushButton>("BLoadSextantCalibrationTable"), Qt::LeftButton);
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral(" 60°"));
    QCOMPARE(FFiles->Requests.value(0).Filter, QStringLiteral("Varunel Sextant (*.sxt *.SXT)"));
}

void TCelestialWindowTest::EqualAltitudesWindow()
{
    TFormMeridianPassageByEqualAltitudes ea;
    ea.show();
    // Fits the smallest screen, and every control has a mnemonic of its own.
    QVERIFY(ea.minimumSizeHint().width() <= kSmallestScreenWidth - 16);
    QVERIFY(ea.minimumSizeHint().height() <= kSmallestScreenHeight - 48);
    QCOMPARE(MnemonicClashes(ea), QStringList());
    // Tab walks the inputs as they are read, row by row.
    QApplication::setActiveWindow(&ea);
    QVERIFY(QTest::qWaitForWindowActive(&ea));
    ea.findChild<QWidget *>(QStringLiteral("EdGMTDate"))->setFocus(Qt::TabFocusReason);
    const QStringList order {"EdGMTDate", "EdWatchError", "EdAltitudeCulm", "CBLowerLimb", "EdIE",
        "EdDip", "CBDipUnit", "EdLatitude", "EdLongitude"};
    QStringList visited;
    for (int i = 0; i < 30 && visited.size() < order.size(); ++i) {
        QWidget *w = QApplication::focusWidget();
        while (w && !order.contains(w->objectName()))
            w = w->parentWidget();
        const QString name = w ? w->objectName() : QStringLiteral("?");
        if (visited.isEmpty() || visited.last() != name)
            visited << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
    const auto child = [&](const char *name) {
        return ea.findChild<QWidget *>(QString::fromLatin1(name));
    };
    static_cast<QLineEdit *>(child("EdGMTDate"))->setText(QStringLiteral("20/03/2024"));
    static_cast<TKaPositionEdit *>(child("EdAltitudeCulm"))->SetPosition(45);
    static_cast<TKaPositionEdit *>(child("EdLatitude"))->SetPosition(45);
    static_cast<TKaTimeEdit *>(child("EdGMTTime1"))->SetValue(11.5 / 24);
    static_cast<TKaTimeEdit *>(child("EdGMTTime2"))->SetValue(12.5 / 24);
    QTest::mouseClick(static_cast<QPushButton *>(child("BPassagemMeridiana")), Qt::LeftButton);
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    QVERIFY(ea.ReportText().startsWith(QStringLiteral("Position by Meridian Passage for the Sun")));
    QVERIFY(ea.ReportText().contains(QStringLiteral("Passage time correction for pair 1")));

    static_cast<TKaTimeEdit *>(child("EdGMTTime2"))->SetValue(0);
    QTest::mouseClick(static_cast<QPushButton *>(child("BPassagemMeridiana")), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {"Invalid times"});

    // Multiple pairs: rows 2 and 4, both unticked in the selection.
    static_cast<QTabWidget *>(child("PageControl"))->setCurrentIndex(1);
    static_cast<TKaTimeEdit *>(child("EdTimeA2"))->SetValue(11.5 / 24);
    static_cast<TKaTimeEdit *>(child("EdTimeD2"))->SetValue(12.5 / 24);
    static_cast<TKaTimeEdit *>(child("EdTimeA4"))->SetValue(11.6 / 24);
    static_cast<TKaTimeEdit *>(child("EdTimeD4"))->SetValue(12.4 / 24);
    QList<int> numbers;
    ea.ChoosePairs = [&](std::vector<TMeridianPassageTimePair> &pairs) {
        for (auto &p : pairs) {
            numbers.append(p.PairNumber);
            p.PairSelected = false;
        }
        return true;
    };
    FBoxes->Shown.clear();
    QTest::mouseClick(static_cast<QPushButton *>(child("BPassagemMeridiana")), Qt::LeftButton);
    QCOMPARE(numbers, (QList<int> {2, 4}));
    QCOMPARE(FBoxes->Texts(), QStringList {"No valid time entries"});

    // Clearing all asks first.
    FBoxes->Shown.clear();
    FBoxes->Answers = {QMessageBox::Yes};
    QTest::mouseClick(static_cast<QPushButton *>(child("BClearMultiplosEdTimes")), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {"Clear all times ?"});
    QCOMPARE(static_cast<TKaTimeEdit *>(child("EdTimeA4"))->Value(), 0.0);
}

namespace {

// Types into whichever widget has the focus after entering `field` by Tab, as a user does; the
// focus may move on from cell to cell while typing.
void TypeInto(QWidget *field, const QString &keys)
{
    field->setFocus(Qt::TabFocusReason);
    // Entered by Tab a field's text is selected; so too when it had the focus already.
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        edit->selectAll();
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(QApplication::focusWidget()))
        spin->selectAll();
    for (const QChar c : keys)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// "hhmmss" of decimal hours, rounded to the second: the keys of a time field.
QString TimeKeys(double hours)
{
    const long long s = std::llround(hours * 3600);
    return QStringLiteral("%1%2%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

// "ddmmt" of an altitude, rounded to a tenth of a minute: the keys of a two-digit angle field.
QString AltitudeKeys(double deg)
{
    const long long tenths = std::llround(deg * 600);
    return QStringLiteral("%1%2%3")
        .arg(tenths / 600, 2, 10, QLatin1Char('0'))
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

// The angle after `prefix` in the first report line that starts with it and holds `also`
// ("Lat: 40°04.2'N if Sun to the South").
double AngleAfter(const QString &report, const QString &prefix, const QString &also = QString())
{
    for (const QString &line : report.split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix) && line.contains(also)) {
            const QString angle = line.mid(prefix.size()).trimmed().section(QLatin1Char(' '), 0, 0);
            try {
                return ParseAngleText(angle.toStdString());
            } catch (const EVrnError &) {
                return qQNaN();
            }
        }
    }
    return qQNaN();
}

} // namespace

void TCelestialWindowTest::NoonSightAndEqualAltitudesAgree()
{
    // One set of Sun observations on 2024-06-15 from 40°04'N 30°10'W with IC -2', eye 3 m and a
    // watch 30 s fast, reduced by the noon sight of this window and by equal altitudes. The
    // times and the altitude come from the engine's Sun at the true position: the meridian
    // passage P (GHA equal to the longitude), a sight 35 minutes before it and the time after it
    // when the Sun is as high again.
    const double lat = kTrueLat;
    const double lon = 30 + 10 / 60.0;
    const int watchErrorSec = 30;
    TAstro &sun = *Astros().Sun();
    const auto altitude = [&](double hours) {
        const auto p = sun.ComputeGHADec(2024, 6, 15, hours);
        return ComputeAltitudeAzimuth(p.DecDeg, p.GHADeg, lat, lon, 0).HcDeg;
    };
    double passage = 14;
    for (int i = 0; i < 20; ++i) {
        const double gha = sun.ComputeGHADec(2024, 6, 15, passage).GHADeg;
        passage -= std::remainder(gha - lon, 360.0) / 15;
    }
    const double before = passage - 35 / 60.0;
    double lo = passage;
    double hi = passage + 1;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (altitude(mid) > altitude(before) ? lo : hi) = mid;
    }
    const double after = lo;
    // The sextant reading of the culmination, the corrections inverted (lower limb).
    const double ho = altitude(passage);
    TVrnSextant s;
    s.DipMode = TDipMode::FromEyeHeight;
    s.EyeHeight = 3 / 0.3048;
    s.IndexCorrection = -2 / 60.0;
    double hs = ho;
    for (int i = 0; i < 10; ++i) {
        s.Hs = hs;
        s.CalcCorrections(TLimbType::LowerLimb, false, sun, {15, 6, 2024, passage}, {}, {});
        hs = ho - s.TotalCorrection;
    }

    // The noon sight, typed into this window: GMT of the culmination and its altitude; a sextant
    // without calibration errors, on the sea horizon, with the simple refraction.
    Sextant().CalibrationTable.ClearPairs();
    if (Child<QCheckBox>("CBArtificialHorizon")->isChecked())
        QTest::mouseClick(Child<QCheckBox>("CBArtificialHorizon"), Qt::LeftButton);
    Child<QGroupBox>("RGRefractionCorrection")->findChildren<QRadioButton *>().first()->click();
    QApplication::setActiveWindow(FWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    ChooseBody(QStringLiteral("Sun"));
    TypeInto(Child<QLineEdit>("EdGMTDate"), QStringLiteral("15/06/2024"));
    TypeInto(Child<TKaTimeEdit>("EdGMTTime"), TimeKeys(passage));
    TypeInto(Child<TKaPositionEdit>("EdAltitude"), AltitudeKeys(hs));
    TypeInto(Child<TNumEdit>("EdIE"), QStringLiteral("-2"));
    Child<QComboBox>("CBDipUnit")->setCurrentIndex(0);
    TypeInto(Child<TNumEdit>("EdDip"), QStringLiteral("3"));
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageOther);
    QTest::mouseClick(Child<QPushButton>("BPassagemMeridiana"), Qt::LeftButton);
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    const QString noon = Memo("MemoOther");
    const double noonLat =
        AngleAfter(noon, QStringLiteral("Lat: "), QStringLiteral(" if Sun to the South"));
    const double noonLon = AngleAfter(noon, QStringLiteral("Lon: "));
    QVERIFY2(noon.contains(QStringLiteral(" if Sun to the South")),
        qPrintable(noon.split(QLatin1Char('\n')).join(QLatin1Char('|'))));

    // The same sights in the equal-altitudes window, the times read on the fast watch.
    TFormMeridianPassageByEqualAltitudes ea;
    ea.show();
    QApplication::setActiveWindow(&ea);
    QVERIFY(QTest::qWaitForWindowActive(&ea));
    const auto child = [&](const char *name) {
        return ea.findChild<QWidget *>(QString::fromLatin1(name));
    };
    static_cast<QTabWidget *>(child("PageControl"))->setCurrentIndex(0); // "One pair"
    TypeInto(child("EdGMTDate"), QStringLiteral("15/06/2024"));
    TypeInto(child("EdAltitudeCulm"), AltitudeKeys(hs));
    TypeInto(child("EdIE"), QStringLiteral("-2"));
    static_cast<QComboBox *>(child("CBDipUnit"))->setCurrentIndex(0);
    TypeInto(child("EdDip"), QStringLiteral("3"));
    TypeInto(child("EdWatchError"), QString::number(watchErrorSec));
    TypeInto(child("EdLatitude"), QStringLiteral("40000n"));
    TypeInto(child("EdGMTTime1"), TimeKeys(before + watchErrorSec / 3600.0));
    TypeInto(child("EdGMTTime2"), TimeKeys(after + watchErrorSec / 3600.0));
    QTest::mouseClick(static_cast<QPushButton *>(child("BPassagemMeridiana")), Qt::LeftButton);
    QVERIFY2(FBoxes->Shown.isEmpty(), qPrintable(FBoxes->Texts().join(QLatin1Char('|'))));
    const QString report = ea.ReportText();
    const double eaLat = AngleAfter(report, QStringLiteral("Lat: "));
    const double eaLon = AngleAfter(report, QStringLiteral("Lon: "));

    // An index correction taken with the opposite sign puts them 4' apart, a watch error taken
    // with the opposite sign 15' of longitude.
    const QString both = (noon + QLatin1Char('\n') + report).split(QLatin1Char('\n')).join(" | ");
    QVERIFY2(std::fabs(noonLat - eaLat) * 60 < 0.2, qPrintable(both));
    QVERIFY2(std::fabs(noonLon - eaLon) * 60 < 0.5, qPrintable(both));
    // And both are the position the sights were taken from (the altitude kept a tenth of a
    // minute, the times whole seconds).
    QVERIFY(std::fabs(eaLat - lat) * 60 < 0.2);
    QVERIFY(std::fabs(eaLon - lon) * 60 < 0.5);
}

namespace {

// Three LOPs crossing near 40°04'N 10°06'W, as the celestial road reduces them (azimuths 172,
// 119 and 267, AP 40°N 10°W).
std::vector<TLOPRecord> ThreeLOPs()
{
    std::vector<TLOPRecord> lops;
    const double azimuths[] = {172, 119, 267};
    const double intercepts[] = {4, 2.4, -3.9};
    for (int i = 0; i < 3; ++i) {
        TLOPRecord lop = SunLOP();
        lop.ObjectName = i == 0 ? "Sun" : i == 1 ? "Saturn" : "Arcturus";
        lop.GMTHours = 12 + 13 / 60.0;
        lop.LocalDateTime = EncodeDate(2024, 1, 3) + lop.GMTHours / 24;
        lop.APLat = 40;
        lop.APLon = 10;
        lop.Azimuth = azimuths[i];
        lop.Intercept = intercepts[i];
        lop.Selected = true;
        lops.push_back(lop);
    }
    return lops;
}

qint64 LOPsFileSize()
{
    return QFileInfo(LOPsFilePath()).size();
}

} // namespace

void TCelestialWindowTest::OpenReadsTheFileBeforeTouchingTheList_data()
{
    QTest::addColumn<QString>("contents"); // empty: no such file
    QTest::addColumn<QString>("message");

    QTest::addRow("no LOP in the file") << "just some text\r\n"
                                        << "No LOPs found in %1 (1 lines skipped): the LOP list "
                                           "is unchanged";
    QTest::addRow("header only") << QString::fromLatin1(kLOPListHeader) + QStringLiteral("\r\n")
                                 << "No LOPs found in %1: the LOP list is unchanged";
    QTest::addRow("no such file") << QString() << "Cannot read file %1";
}

void TCelestialWindowTest::OpenReadsTheFileBeforeTouchingTheList()
{
    QFETCH(QString, contents);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.vll"));
    SaveLOPListFile(good.toStdString(), ThreeLOPs());
    const QString other = dir.filePath(QStringLiteral("other.vll"));
    if (!contents.isNull()) {
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents.toLatin1());
    }
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PagePosition);
    FFiles->Answers << good << other;
    QTest::mouseClick(Child<QPushButton>("BOpenLOPList"), Qt::LeftButton);
    QCOMPARE(Window().LOPList().LOPCount(), 3);
    QVERIFY(FBoxes->Shown.isEmpty());

    // The second file is read before "Clear current LOPs?": nothing to clear the list for.
    QTest::mouseClick(Child<QPushButton>("BOpenLOPList"), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {message.arg(other)});
    QCOMPARE(FBoxes->Unanswered, 0);
    QCOMPARE(Window().LOPList().LOPCount(), 3);
    QCOMPARE(Child<QTreeWidget>("LVRetasPosicao")->topLevelItemCount(), 3);
    QCOMPARE(LOPsFileSize(), qint64(3 * kLOPRecordSize));
}

void TCelestialWindowTest::ListChangesClearTheFixAndAreWrittenAtOnce()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.vll"));
    SaveLOPListFile(good.toStdString(), ThreeLOPs());
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PagePosition);
    auto *list = Child<QTreeWidget>("LVRetasPosicao");
    const auto openAndFix = [&] {
        FFiles->Answers << good;
        FBoxes->Answers << QMessageBox::Yes; // clear the current LOPs, when there are some
        QTest::mouseClick(Child<QPushButton>("BOpenLOPList"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>("BCalcPosAstronomica"), Qt::LeftButton);
        FBoxes->Shown.clear();
        FBoxes->Answers.clear();
        return Window().LOPList().FixValid() && !Child<QLabel>("LFixLat")->text().isEmpty()
            && !Memo("MemoPosition").isEmpty();
    };
    const auto fixShown = [&] {
        return Window().LOPList().FixValid() || !Child<QLabel>("LFixLat")->text().isEmpty()
            || !Child<QLabel>("LFixLon")->text().isEmpty() || !Memo("MemoPosition").isEmpty();
    };
    const auto selectRow = [&](int row) {
        const QRect r = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    };

    // Opening writes LOPS.LST at once, not only at exit.
    QVERIFY(openAndFix());
    QCOMPARE(LOPsFileSize(), qint64(3 * kLOPRecordSize));

    // Deleting a LOP.
    selectRow(1);
    FBoxes->Answers << QMessageBox::Yes;
    QTest::mouseClick(Child<QPushButton>("BLimpaRetaDeAltura"), Qt::LeftButton);
    QCOMPARE(Window().LOPList().LOPCount(), 2);
    QVERIFY(!fixShown());
    QCOMPARE(LOPsFileSize(), qint64(2 * kLOPRecordSize));

    // Unticking a LOP: the file holds the new state of the box.
    QVERIFY(openAndFix());
    // A click on the row's check box (at the left of its first column).
    const QRect row = list->visualItemRect(list->topLevelItem(2));
    const int box = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
        QPoint(row.left() + box / 2 + list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1,
            row.center().y()));
    QCOMPARE(list->topLevelItem(2)->checkState(0), Qt::Unchecked);
    QVERIFY(!fixShown());
    QVERIFY(!LoadLOPsFile(qEnvironmentVariable("VRN_DATA_DIR").toStdString()).LOPs[2].Selected);

    // Editing a LOP.
    QVERIFY(openAndFix());
    Window().EditLOPOfList = [](QWidget *, TLOPList &lops, int n) {
        TLOPRecord lop = lops.LOPs()[std::size_t(n - 1)];
        lop.Intercept += 1;
        std::vector<TLOPRecord> all = lops.LOPs();
        all[std::size_t(n - 1)] = lop;
        lops.SetLOPs(all);
        return true;
    };
    selectRow(0);
    QTest::mouseClick(Child<QPushButton>("BEditaLOP"), Qt::LeftButton);
    QVERIFY(!fixShown());
    QCOMPARE(
        LoadLOPsFile(qEnvironmentVariable("VRN_DATA_DIR").toStdString()).LOPs[0].Intercept, 5.0);

    // Deleting all of them.
    QVERIFY(openAndFix());
    FBoxes->Answers << QMessageBox::Yes;
    QTest::mouseClick(Child<QPushButton>("BClearAllRetas"), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("Delete ALL LOPs?")});
    QVERIFY(!fixShown());
    QCOMPARE(LOPsFileSize(), qint64(0));
}

void TCelestialWindowTest::PairSelectionDialog()
{
    std::vector<TMeridianPassageTimePair> pairs(3);
    const double passage[] = {12, 12.01, 12.02};
    for (int i = 0; i < 3; ++i) {
        pairs[std::size_t(i)].PairNumber = i + 1;
        pairs[std::size_t(i)].PairSelected = true;
        pairs[std::size_t(i)].PassageTime = passage[i];
    }
    TFormSelectPairsForMeridianPassage dialog(pairs);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select time pairs for Meridian Passage"));
    // Mean 12.01 h = 12:00:36; pair 1 is 36 s early.
    QCOMPARE(dialog.AverageText(), QStringLiteral("Average passage time: 12:00:36"));
    auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("LVPairs"));
    QCOMPARE(list->topLevelItem(0)->text(6), QStringLiteral("-36.0"));
    list->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    QVERIFY(!pairs[2].PairSelected);
    // Mean of 12 and 12.01 = 12:00:18.
    QCOMPARE(dialog.AverageText(), QStringLiteral("Average passage time: 12:00:18"));
    QCOMPARE(list->topLevelItem(2)->text(6), QString());
    list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QCOMPARE(dialog.AverageText(), QStringLiteral("Average passage time: ..."));
}

void TCelestialWindowTest::WindowFitsTheSmallestScreen()
{
    // Laid out, not fixed: it can be made as small as a 1280×720 screen (less the frame and title
    // bar) and larger, and nothing in it is cut at that size.
    const QSize smallest = FWindow->minimumSizeHint();
    QVERIFY2(smallest.width() <= kSmallestScreenWidth - 16
            && smallest.height() <= kSmallestScreenHeight - 48,
        qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));
    QVERIFY(FWindow->maximumSize() != FWindow->minimumSize());
    FWindow->resize(1400, 900);
    QTRY_COMPARE(FWindow->size(), QSize(1400, 900));
    FWindow->resize(smallest);
    QTRY_COMPARE(FWindow->size(), smallest);

    TLOPRecord lop = SunLOP();
    lop.GMTHours = 23 + 59 / 60.0 + 58 / 3600.0;
    lop.ObjectName = "Kaus Australis";
    auto *tabs = Child<QTabWidget>("PageControl1");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget *w : FWindow->findChildren<QWidget *>()) {
            if (!w->isVisible()
                || !(qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)))
                continue;
            QVERIFY2(w->width() >= w->minimumSizeHint().width(),
                qPrintable(
                    QStringLiteral("page %1: %2 \"%3\" %4 < %5")
                        .arg(page)
                        .arg(w->objectName(),
                            qobject_cast<QLabel *>(w) ? static_cast<QLabel *>(w)->text()
                                                      : static_cast<QAbstractButton *>(w)->text())
                        .arg(w->width())
                        .arg(w->minimumSizeHint().width())));
        }
    }
    // The LOP list's columns hold their longest texts.
    tabs->setCurrentIndex(TFormVrn32::PagePosition);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("one.vll"));
    SaveLOPListFile(file.toStdString(), std::vector<TLOPRecord> {lop});
    FFiles->Answers << file;
    QTest::mouseClick(Child<QPushButton>("BOpenLOPList"), Qt::LeftButton);
    auto *list = Child<QTreeWidget>("LVRetasPosicao");
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("03/01/2024 23:59:58"));
    for (int c = 0; c < list->columnCount(); ++c) {
        const int needed = list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(c));
        QVERIFY2(list->columnWidth(c) > needed + (c == 0 ? 20 : 6), qPrintable(QString::number(c)));
    }
    // And all of them are in view at the window's smallest size: nothing to scroll to.
    QApplication::processEvents();
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
}

void TCelestialWindowTest::KeyboardReadingOrderAndMnemonics()
{
    QCOMPARE(MnemonicClashes(*FWindow), QStringList());

    // Tab from the object list walks the sight inputs as they are read: row by row, left to
    // right, each field whole (its cells one after the other) before the next.
    QApplication::setActiveWindow(FWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    Child<QComboBox>("LBStars")->setFocus(Qt::TabFocusReason);
    const QStringList fields {"LBStars", "EdLatitude", "EdLongitude", "EdLocalDate", "EdLocalTime",
        "EdTimeZone", "BGetSystemTimeZone", "BNow", "EdGMTDate", "EdGMTTime", "EdWatchError",
        "EdAltitude", "EdIE"};
    QStringList visited;
    for (int i = 0; i < 40 && visited.size() < fields.size(); ++i) {
        QWidget *w = QApplication::focusWidget();
        while (w && !fields.contains(w->objectName()))
            w = w->parentWidget();
        const QString name = w ? w->objectName() : QStringLiteral("?");
        if (visited.isEmpty() || visited.last() != name)
            visited << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, fields);

    // Enter presses the button that has the focus.
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageOther);
    ChooseBody(QStringLiteral("Sun"));
    Child<QLineEdit>("EdGMTDate")->setText(QStringLiteral("03/01/2024"));
    auto *objectData = Child<QPushButton>("BCalcAstroDados");
    objectData->setFocus(Qt::TabFocusReason);
    QTest::keyClick(objectData, Qt::Key_Return);
    QVERIFY(Memo("MemoOther").startsWith(QStringLiteral("Sun 03/01/2024")));
}

void TCelestialWindowTest::CalibrationPlotLabelsAreNotCut_data()
{
    QTest::addColumn<double>("error"); // minutes, at 60°
    QTest::addRow("no table") << 0.0;
    QTest::addRow("small errors") << 0.4;
    QTest::addRow("large negative error") << -12.5;
    QTest::addRow("large positive error") << 123.4;
}

void TCelestialWindowTest::CalibrationPlotLabelsAreNotCut()
{
    QFETCH(double, error);
    Sextant().CalibrationTable.ClearPairs();
    if (error != 0) {
        Window().EditCalibrationPoint = [error](QWidget *, TSextantCalibrationPair &pair) {
            pair = {60, error};
            return true;
        };
        QTest::mouseClick(Child<QPushButton>("BAddCorrectionTablePoint"), Qt::LeftButton);
    }
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageSextant);
    FWindow->resize(FWindow->minimumSizeHint());
    QApplication::processEvents();
    auto *plot = Child<TSextantErrorPlot>("ChartSextantCorrection");
    const TSextantErrorPlot::TLayout layout = plot->Layout();
    // Axis labels at 0, 30, 60, 90 and 120 degrees, and the two ends of the error axis.
    QCOMPARE(layout.Labels.size(), std::size_t(7));
    const QFontMetrics fm(plot->font());
    for (const auto &label : layout.Labels) {
        QVERIFY2(QRectF(plot->rect()).contains(label.Rect), qPrintable(label.Text));
        QVERIFY2(label.Rect.width() >= fm.horizontalAdvance(label.Text), qPrintable(label.Text));
    }
    QVERIFY(!layout.Plot.isEmpty());
}

void TCelestialWindowTest::Screenshots()
{
    const QString dir = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    const char *bodies[] = {"Sun", "Saturn", "Arcturus"};
    for (const char *body : bodies) {
        TypeSight(body, 12 + 13 / 60.0);
        Window().BCalcLOPClick();
        Window().BSalvaRetaClick();
    }
    Child<QLineEdit>("EdLocalDate")->setText(QStringLiteral("03/01/2024"));
    Child<TKaTimeEdit>("EdLocalTime")->SetValue((12 + 13 / 60.0) / 24);
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PagePosition);
    Window().BCalcPosAstronomicaClick();
    Sextant().CalibrationTable.SetPairs({{10, 0.4}, {45, -0.2}, {90, 0.3}});
    Window().BCalcLOPClick();
    const auto grab = [&](QWidget &w, const QString &name) {
        QApplication::processEvents();
        QVERIFY(w.grab().save(dir + QLatin1Char('/') + name));
    };
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageSextant);
    Window().EditCalibrationPoint = [](QWidget *, TSextantCalibrationPair &pair) {
        pair = {120, 0.1};
        return true;
    };
    Window().BAddCorrectionTablePointClick();
    grab(Window(), QStringLiteral("celestial-1-sextant.png"));
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageLOP);
    grab(Window(), QStringLiteral("celestial-2-lop.png"));
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PagePosition);
    grab(Window(), QStringLiteral("celestial-3-position.png"));
    Child<QTabWidget>("PageControl1")->setCurrentIndex(TFormVrn32::PageOther);
    ChooseBody(QStringLiteral("Sun"));
    Window().BCalcAstroDadosClick();
    grab(Window(), QStringLiteral("celestial-4-other.png"));

    TFormMeridianPassageByEqualAltitudes ea;
    ea.show();
    static_cast<QLineEdit *>(ea.findChild<QWidget *>(QStringLiteral("EdGMTDate")))
        ->setText(QStringLiteral("20/03/2024"));
    static_cast<TKaPositionEdit *>(ea.findChild<QWidget *>(QStringLiteral("EdAltitudeCulm")))
        ->SetPosition(45);
    static_cast<TKaPositionEdit *>(ea.findChild<QWidget *>(QStringLiteral("EdLatitude")))
        ->SetPosition(45);
    static_cast<TKaTimeEdit *>(ea.findChild<QWidget *>(QStringLiteral("EdGMTTime1")))
        ->SetValue(11.5 / 24);
    static_cast<TKaTimeEdit *>(ea.findChild<QWidget *>(QStringLiteral("EdGMTTime2")))
        ->SetValue(12.5 / 24);
    ea.BPassagemMeridianaClick();
    grab(ea, QStringLiteral("equal-altitudes.png"));

    std::vector<TMeridianPassageTimePair> pairs(3);
    for (int i = 0; i < 3; ++i)
        pairs[std::size_t(i)] = {
            i + 1, true, 11.5 + i * 0.05, 12.5 - i * 0.05, 12, 0.2, -3.1 + i, 12 + (i - 1) * 0.002};
    TFormSelectPairsForMeridianPassage select(pairs);
    select.show();
    grab(select, QStringLiteral("select-pairs.png"));
}

} // namespace vrn

QTEST_MAIN(vrn::TCelestialWindowTest)
#include "CelestialWindowTest.moc"
