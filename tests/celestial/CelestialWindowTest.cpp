#include "celestial/DlgShowOnceMsg.h"
#include "celestial/LOPFiles.h"
#include "celestial/fMeridianPassageByEqualAltitudes.h"
#include "celestial/fSelectPairsForMeridianPassage.h"
#include "celestial/fVrn32.h"
#include "charts/Dcarta.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
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
    void PairSelectionDialog();
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
