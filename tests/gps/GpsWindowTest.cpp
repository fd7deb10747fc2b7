// The GPS window as a sailor uses it, bound to a chart view of the test's own: sentences come in
// through the receiver's data path, the user clicks, types and tabs through the real widgets.

#include "charts/Dcarta.h"
#include "engine/DateTime.h"
#include "gps/Gpsxf.h"
#include "gps/fgpsxf.h"
#include "tests/gps/TestPty.h"
#include "ui/UiTestDoubles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <map>
#include <memory>

namespace vrn {

namespace {

const QByteArray kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const QByteArray kRmcNoCourse = "$GPRMC,123520,A,4807.038,N,01131.000,E,000.1,,230394,,\r\n";
const QByteArray kRmcInvalid = "$GPRMC,123521,V,4807.100,N,01131.100,E,,,230394,,\r\n";
const QByteArray kGll = "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n";

// An RMC fix at 2026-05-15 10:15:<s> with a position that moves each second.
QByteArray RmcAt(int s)
{
    return QStringLiteral("$GPRMC,1015%1,A,3840.%2,N,00915.0000,W,6.0,045.0,150526,,\r\n")
        .arg(s, 2, 10, QLatin1Char('0'))
        .arg(s, 4, 10, QLatin1Char('0'))
        .toLatin1();
}

} // namespace

class TGpsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void FixShownAndPlotted_data();
    void FixShownAndPlotted();
    void InvalidFixHidesTheMarkerAndKeepsTheLastFix();
    void FixBeyondTheWorldIsAnError();
    void SavePositionOnceAFix();
    void SavePositionWithoutATrack();
    void NewTrackAsksItsNameAndTakesTheFix();
    void ChooseTrack();
    void ChooseTrackInTheSelectionDialog();
    void AutoSaveWritesOnePointAnInterval();
    void AutoSaveInterval_data();
    void AutoSaveInterval();
    void AutoSaveNeedsAGpsTrack();
    void GllFixGetsTheDateOfTheClock();
    void GotoGps();
    void MarkerStyleComesBackAtTheNextStart();
    void PortAndBaudRefused();
    void PortPulledOutWhileConnected();
    void RecoveryFileOnAFullDisk();
    void RecoveryOfferedAtStart();
    void SettingsPanelTabOrderAndMnemonics();

private:
    void MakeForm();

    template <class T>
    T *Child(const char *name)
    {
        auto *w = FForm->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    QString Text(const char *label) { return Child<QLabel>(label)->text(); }

    void Receive(const QByteArray &bytes) { FForm->GpsInterface1().ReceiveBytes(bytes); }

    void Click(const char *button)
    {
        QTest::mouseClick(Child<QAbstractButton>(button), Qt::LeftButton);
    }

    void ShowSettings();

    // Waits for the boxes the window shows once its handler has returned.
    QStringList Messages()
    {
        QCoreApplication::processEvents();
        QStringList texts = FBoxes->Texts();
        FBoxes->Shown.clear();
        return texts;
    }

    std::unique_ptr<TTestSettingsFolder> FSettings;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TFixedClock> FClock;
    std::unique_ptr<TLogCarta> FView;
    std::unique_ptr<TFormGPSInterface> FForm;
    std::vector<std::optional<std::string>> FNames; // answers to the name dialog
    TChtTrack *FChosen = nullptr;
    bool FRealChooser = false; // the route/track selection dialog itself
    double FNow = 1000; // monotonic seconds
};

void TGpsWindowTest::init()
{
    FSettings = std::make_unique<TTestSettingsFolder>();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FClock =
        std::make_unique<TFixedClock>(QDateTime(QDate(2026, 5, 15), QTime(10, 16, 0), Qt::UTC));
    FView = std::make_unique<TLogCarta>();
    FView->resize(400, 300);
    FView->SetViewAndClear(45, 0, 60);
    FNames.clear();
    FChosen = nullptr;
    FRealChooser = false;
    FNow = 1000;
    MakeForm();
}

void TGpsWindowTest::MakeForm()
{
    FForm.reset();
    FForm = std::make_unique<TFormGPSInterface>(*FView);
    FForm->SetMonotonicClock([this] { return FNow; });
    FForm->SetRecoveryFile((FSettings->Path() + QStringLiteral("/gps.recovery")).toStdString());
    FForm->SetTextAsker([this](const std::string &caption, const std::string &label,
                            const std::string &initial) -> std::optional<std::string> {
        if (caption != "New GPS track" || label != "Track Name" || initial != "NewGPSTrack"
            || FNames.empty())
            return std::nullopt;
        auto answer = FNames.front();
        FNames.erase(FNames.begin());
        return answer;
    });
    if (!FRealChooser)
        FForm->SetTrackChooser([this](QWidget *, TLogCarta &) { return FChosen; });
    FForm->show();
    FForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
}

void TGpsWindowTest::cleanup()
{
    FForm.reset();
    FView.reset();
    FClock.reset();
    FBoxes.reset();
    FSettings.reset();
}

void TGpsWindowTest::ShowSettings()
{
    if (!FForm->SettingsShown())
        Click("BGPSSettings");
    QVERIFY(FForm->SettingsShown());
}

void TGpsWindowTest::FixShownAndPlotted_data()
{
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<bool>("gll");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<bool>("hasCourse");
    QTest::addColumn<double>("course");
    // The NMEA 0183 reference sentences: 48°07.038'N 011°31.000'E and 49°16.45'N 123°11.12'W.
    QTest::addRow("RMC with a course") << kRmc << false << "23/03/1994 12:35:19 GMT"
                                       << "48°07.04'N"
                                       << "11°31.00'E" << true << 84.4;
    QTest::addRow("RMC with the course left empty")
        << kRmcNoCourse << false << "23/03/1994 12:35:20 GMT"
        << "48°07.04'N"
        << "11°31.00'E" << false << 0.0;
    QTest::addRow("GLL, time only and no course") << kGll << true << "22:54:44 GMT"
                                                  << "49°16.45'N"
                                                  << "123°11.12'W" << false << 0.0;
}

void TGpsWindowTest::FixShownAndPlotted()
{
    QFETCH(QByteArray, sentence);
    QFETCH(bool, gll);
    QFETCH(QString, time);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(bool, hasCourse);
    QFETCH(double, course);
    if (gll) {
        ShowSettings();
        Child<QRadioButton>("RGWhichlMsgGLL")->click();
        Receive(kRmc); // an RMC with a course first: it must not lend its course to the GLL
        QCOMPARE(FForm->TicksReceived(), 0);
    }
    Receive(sentence);
    QCOMPARE(Text("LTicksReceived"), QStringLiteral("1 ticks"));
    QCOMPARE(Text("LPosTime"), time);
    QCOMPARE(Text("LPosLat"), lat);
    QCOMPARE(Text("LPosLon"), lon);
    QCOMPARE(Text("LPosStatus"), QStringLiteral("valid"));
    QCOMPARE(FForm->IndicatorFrame(), 0);
    const auto &marker = FView->BoatMarker();
    QVERIFY(marker.Visible);
    QCOMPARE(marker.ShowCourse, hasCourse);
    if (hasCourse)
        QCOMPARE(marker.Course, course);
    QCOMPARE(marker.Lat, FForm->LastValidPosition().Lat);
    QCOMPARE(marker.Lon, FForm->LastValidPosition().Lon);
    QVERIFY(Messages().isEmpty());
}

void TGpsWindowTest::InvalidFixHidesTheMarkerAndKeepsTheLastFix()
{
    Receive(kRmc);
    const double lat = FForm->LastValidPosition().Lat;
    Receive(kRmcInvalid);
    QCOMPARE(Text("LPosStatus"), QStringLiteral("Invalid"));
    QCOMPARE(Text("LPosLat"), QStringLiteral("---°--.-"));
    QCOMPARE(Text("LPosTime"), QStringLiteral("Invalid"));
    QCOMPARE(Child<QLabel>("LPosStatus")->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(FForm->IndicatorFrame(), 1);
    QVERIFY(!FView->BoatMarker().Visible);
    QCOMPARE(FForm->LastValidPosition().Lat, lat);
    QCOMPARE(FForm->TicksReceived(), 2);
}

void TGpsWindowTest::FixBeyondTheWorldIsAnError()
{
    Receive("$GPRMC,123519,A,9107.038,N,01131.000,E,022.4,084.4,230394,,\r\n");
    QCOMPARE(Text("LPosStatus"), QStringLiteral("error"));
    QCOMPARE(Text("LPosLat"), QStringLiteral("---°--.-"));
    QVERIFY(!FView->BoatMarker().Visible);
    QVERIFY(!FForm->LastValidPosition().Valid);
}

void TGpsWindowTest::SavePositionOnceAFix()
{
    FNames = {std::string("Passage")};
    Receive(RmcAt(0));
    Click("BBeginNewTrack");
    TChtTrack *track = FView->GpsTrack();
    QVERIFY(track);
    QCOMPARE(track->Points.size(), std::size_t(1));
    Click("BSaveLastPosition");
    QCOMPARE(Messages(), QStringList {QStringLiteral("GPS position old or already saved")});
    Receive(RmcAt(1));
    Click("BSaveLastPosition");
    QVERIFY(Messages().isEmpty());
    QCOMPARE(track->Points.size(), std::size_t(2));
    QCOMPARE(track->Points[1].Name, std::string("GPS"));
    QCOMPARE(track->Points[1].Time, EncodeDate(2026, 5, 15) + EncodeTime(10, 15, 1, 0));
    // The points are in the recovery file too.
    QFile recovery(FSettings->Path() + QStringLiteral("/gps.recovery"));
    QVERIFY(recovery.open(QIODevice::ReadOnly));
    QCOMPARE(recovery.readAll().count('\n'), 2);
    FForm->GpsTrackSaved();
    QVERIFY(!recovery.exists());
}

void TGpsWindowTest::SavePositionWithoutATrack()
{
    Click("BSaveLastPosition");
    QCOMPARE(Messages(), QStringList {QStringLiteral("GPS position invalid")});
    Receive(kRmc);
    Click("BSaveLastPosition");
    QCOMPARE(
        Messages(), QStringList {QStringLiteral("Error saving position: no GPS track selected")});
    Click("BSaveLastPosition");
    QCOMPARE(Messages(), QStringList {QStringLiteral("GPS position old or already saved")});
}

void TGpsWindowTest::NewTrackAsksItsNameAndTakesTheFix()
{
    Click("BBeginNewTrack");
    QCOMPARE(Messages(), QStringList {QStringLiteral("Current GPS position invalid.")});
    QCOMPARE(FView->Desk().Tracks.Count(), std::size_t(0));

    Receive(kRmc);
    FNames = {std::nullopt}; // Cancel
    Click("BBeginNewTrack");
    QCOMPARE(FView->Desk().Tracks.Count(), std::size_t(0));

    FNames = {std::string("Biscay")};
    Click("BBeginNewTrack");
    QCOMPARE(FView->Desk().Tracks.Count(), std::size_t(1));
    TChtTrack *track = FView->GpsTrack();
    QVERIFY(track);
    QCOMPARE(track->Name, std::string("Biscay"));
    QVERIFY(track->Visible);
    QCOMPARE(FView->CurrentTrack(), track);
    QCOMPARE(Text("LTrackName"), QStringLiteral("Biscay"));
    QCOMPARE(track->Points.size(), std::size_t(1));
    QVERIFY(FView->IsModified());
}

void TGpsWindowTest::ChooseTrack()
{
    ShowSettings();
    // No track: the question, answered Yes, leads to a new track.
    Receive(kRmc);
    FBoxes->Answers = {QMessageBox::Yes};
    FNames = {std::string("First")};
    Click("BChooseTrack");
    QCOMPARE(
        Messages(), QStringList {QStringLiteral("No tracks in this desktop. Create a new one ?")});
    QCOMPARE(Text("LTrackName"), QStringLiteral("First"));

    auto hidden = std::make_unique<TChtTrack>();
    hidden->Name = "Hidden";
    hidden->Visible = false;
    FChosen = FView->Desk().Tracks.Add(std::move(hidden));
    Click("BChooseTrack");
    QCOMPARE(FView->GpsTrack(), FChosen);
    QVERIFY(FChosen->Visible);
    QCOMPARE(Text("LTrackName"), QStringLiteral("Hidden"));
    FView->DeleteTrack(FChosen);
    FForm->ShowGpsTrackName(FView->GpsTrack());
    QCOMPARE(Text("LTrackName"), QStringLiteral("(none)"));
}

void TGpsWindowTest::ChooseTrackInTheSelectionDialog()
{
    for (const char *name : {"Outbound", "Return"}) {
        auto t = std::make_unique<TChtTrack>();
        t->Name = name;
        FView->Desk().Tracks.Add(std::move(t));
    }
    FRealChooser = true;
    MakeForm();
    ShowSettings();
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        shown << dialog->windowTitle()
              << dialog->findChild<QLabel *>(QStringLiteral("LSelect"))->text();
        auto *list = dialog->findChild<QWidget *>(QStringLiteral("LBRotas"));
        QTest::keyClick(list, Qt::Key_Down); // the first row, then the second
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QTimer::singleShot(3000, dialog, &QDialog::reject);
    });
    Click("BChooseTrack");
    QCOMPARE(shown,
        (QStringList {
            QStringLiteral("Route/Track selection"), QStringLiteral("Select the GPS track:")}));
    QVERIFY(FView->GpsTrack());
    QCOMPARE(FView->GpsTrack()->Name, std::string("Return"));
    QCOMPARE(Text("LTrackName"), QStringLiteral("Return"));
}

void TGpsWindowTest::AutoSaveWritesOnePointAnInterval()
{
    FNames = {std::string("Auto")};
    Receive(RmcAt(0));
    Click("BBeginNewTrack");
    TChtTrack *track = FView->GpsTrack();
    QCOMPARE(track->Points.size(), std::size_t(1));
    ShowSettings();
    Click("CBAutoSaveActivated"); // every 4 seconds
    QVERIFY(Child<QCheckBox>("CBAutoSaveActivated")->isChecked());
    // The fix already in the track is not written again when the autosave starts.
    for (int half = 0; half < 9; ++half) {
        FNow += 0.5;
        FForm->TimeAgentGPSPosTimer();
    }
    QCOMPARE(track->Points.size(), std::size_t(1));
    // The receiver sends once a second for 12 seconds; the timer looks every 500 ms.
    for (int half = 1; half <= 24; ++half) {
        FNow += 0.5;
        if (half % 2 == 0)
            Receive(RmcAt(half / 2));
        FForm->TimeAgentGPSPosTimer();
    }
    QCOMPARE(track->Points.size(), std::size_t(1 + 3));
    // Due at 8, 12 and 16 s after the start, with the fixes of 10:15:03, :07 and :11.
    QCOMPARE(track->Points[1].Time, EncodeDate(2026, 5, 15) + EncodeTime(10, 15, 3, 0));
    QCOMPARE(track->Points[3].Time, EncodeDate(2026, 5, 15) + EncodeTime(10, 15, 11, 0));
    // Silent receiver: the last fix (10:15:12) at the next firing, then nothing more.
    for (int half = 0; half < 24; ++half) {
        FNow += 0.5;
        FForm->TimeAgentGPSPosTimer();
    }
    QCOMPARE(track->Points.size(), std::size_t(5));
    QCOMPARE(track->Points[4].Time, EncodeDate(2026, 5, 15) + EncodeTime(10, 15, 12, 0));
    QVERIFY(Messages().isEmpty());
}

void TGpsWindowTest::AutoSaveInterval_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("message");
    QTest::addRow("24 hours") << "24"
                              << "hours"
                              << "";
    QTest::addRow("25 hours") << "25"
                              << "hours"
                              << "Autosave interval must be less than 1 day";
    QTest::addRow("1440 minutes") << "1440"
                                  << "minutes"
                                  << "";
    QTest::addRow("1441 minutes") << "1441"
                                  << "minutes"
                                  << "Autosave interval must be less than 1 day";
}

void TGpsWindowTest::AutoSaveInterval()
{
    QFETCH(QString, value);
    QFETCH(QString, unit);
    QFETCH(QString, message);
    FNames = {std::string("T")};
    Receive(kRmc);
    Click("BBeginNewTrack");
    ShowSettings();
    auto *unitCombo = Child<QComboBox>("ComboAutoSaveUnit");
    unitCombo->setCurrentIndex(unitCombo->findText(unit));
    Click("CBAutoSaveActivated");
    auto *spin = Child<QSpinBox>("SpinAutoSaveInterval");
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, value);
    const QStringList shown = Messages();
    if (message.isEmpty())
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join('|')));
    else
        QCOMPARE(shown.last(), message);
}

void TGpsWindowTest::AutoSaveNeedsAGpsTrack()
{
    ShowSettings();
    Click("CBAutoSaveActivated");
    QCOMPARE(Messages(), QStringList {QStringLiteral("No GPS track defined in this desktop")});
    QVERIFY(!Child<QCheckBox>("CBAutoSaveActivated")->isChecked());

    // Losing the GPS track while autosave is on stops it, and says so once.
    FNames = {std::string("T")};
    Receive(kRmc);
    Click("BBeginNewTrack");
    Click("CBAutoSaveActivated");
    QVERIFY(Child<QCheckBox>("CBAutoSaveActivated")->isChecked());
    FForm->ShowGpsTrackName(nullptr);
    QVERIFY(!Child<QCheckBox>("CBAutoSaveActivated")->isChecked());
    QCOMPARE(Messages(), QStringList {QStringLiteral("No GPS track defined in this desktop")});

    // A GPS track deleted in the view is noticed by the window itself within a second.
    FForm->ShowGpsTrackName(FView->GpsTrack());
    Click("CBAutoSaveActivated");
    QVERIFY(Child<QCheckBox>("CBAutoSaveActivated")->isChecked());
    FView->DeleteTrack(FView->GpsTrack());
    FForm->TimerCheckLastValidTickTimer();
    QCOMPARE(Text("LTrackName"), QStringLiteral("(none)"));
    QVERIFY(!Child<QCheckBox>("CBAutoSaveActivated")->isChecked());
    QCOMPARE(Messages(), QStringList {QStringLiteral("No GPS track defined in this desktop")});
}

void TGpsWindowTest::GllFixGetsTheDateOfTheClock()
{
    // 23:59:59 of the GLL seen at 00:00:05 UTC on 16 May: the point is of 15 May.
    FClock->Time = QDateTime(QDate(2026, 5, 16), QTime(0, 0, 5), Qt::UTC);
    ShowSettings();
    Child<QRadioButton>("RGWhichlMsgGLL")->click();
    FNames = {std::string("Night")};
    Receive("$GPGLL,4916.45,N,12311.12,W,235959,A\r\n");
    QCOMPARE(Text("LPosTime"), QStringLiteral("23:59:59 GMT"));
    Click("BBeginNewTrack");
    const TChtTrack *track = FView->GpsTrack();
    QCOMPARE(track->Points.size(), std::size_t(1));
    QCOMPARE(track->Points[0].Time, EncodeDate(2026, 5, 15) + EncodeTime(23, 59, 59, 0));
    QCOMPARE(FForm->GpsInterface1().Position().GMTTime, EncodeTime(23, 59, 59, 0));
}

void TGpsWindowTest::GotoGps()
{
    Click("BCenterGPS");
    QCOMPARE(Messages(), QStringList {QStringLiteral("Invalid GPS position")});
    Receive(kGll); // RMC is the kind chosen: a GLL changes nothing
    QCOMPARE(FForm->TicksReceived(), 0);
    Receive(kRmc);
    Click("BCenterGPS");
    QCOMPARE(FView->Escala().LatC, 48 + 7.038 / 60);
    QVERIFY(Messages().isEmpty());
}

void TGpsWindowTest::MarkerStyleComesBackAtTheNextStart()
{
    ShowSettings();
    auto *style = Child<QComboBox>("ComboGPSPosPlotStyle");
    style->setFocus();
    QTest::keyClick(style, Qt::Key_End); // "Square"
    QCOMPARE(style->currentText(), QStringLiteral("Square"));
    QCOMPARE(FView->BoatMarker().Shape, 3);
    FView->SetBoatMarkerShape(0);
    MakeForm();
    QCOMPARE(Child<QComboBox>("ComboGPSPosPlotStyle")->currentText(), QStringLiteral("Square"));
    QCOMPARE(FView->BoatMarker().Shape, 0); // until the user chooses again
}

void TGpsWindowTest::PortAndBaudRefused()
{
    ShowSettings();
    auto *port = Child<QComboBox>("ComboComPort");
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), QStringLiteral("/dev/no-such-gps"));
    QTest::keyClick(port->lineEdit(), Qt::Key_Return);
    Click("CBComOpen");
    QCOMPARE(Messages(),
        QStringList {QStringLiteral("Error openning Com port /dev/no-such-gps\n"
                                    "Port may be in use or does not exist")});
    QVERIFY(!Child<QCheckBox>("CBComOpen")->isChecked());

    auto *baud = Child<QComboBox>("ComboBaudRate");
    baud->lineEdit()->selectAll();
    QTest::keyClicks(baud->lineEdit(), QStringLiteral("48x0"));
    QVERIFY(Messages().isEmpty()); // nothing is applied per keystroke
    QTest::keyClick(baud->lineEdit(), Qt::Key_Return);
    QCOMPARE(Messages().value(0), QStringLiteral("Error in baud rate"));
    baud->lineEdit()->selectAll();
    QTest::keyClicks(baud->lineEdit(), QStringLiteral("9600"));
    QTest::keyClick(baud->lineEdit(), Qt::Key_Return);
    QCOMPARE(FForm->GpsInterface1().BaudRate(), 9600);
}

void TGpsWindowTest::PortPulledOutWhileConnected()
{
    auto pty = std::make_unique<TPty>();
    ShowSettings();
    auto *port = Child<QComboBox>("ComboComPort");
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), pty->Path());
    QTest::keyClick(port->lineEdit(), Qt::Key_Return);
    Click("CBComOpen");
    QVERIFY(FForm->GpsInterface1().ComOpen());
    pty->WritePaced(kRmc);
    QTRY_COMPARE(FForm->TicksReceived(), 1);
    QCOMPARE(Text("LPosStatus"), QStringLiteral("valid"));
    pty->Close();
    QTRY_VERIFY(!Child<QCheckBox>("CBComOpen")->isChecked());
    QCOMPARE(Text("LPosStatus"), QStringLiteral("Invalid"));
    QVERIFY(!FForm->GpsInterface1().Position().Valid);
    QTRY_COMPARE(FBoxes->Shown.size(), 1);
    QVERIFY(FBoxes->Texts().at(0).startsWith(QStringLiteral("The GPS port ") + pty->Path()));
    FForm->TimerCheckLastValidTickTimer();
    QCOMPARE(Text("LLastValidTick"), QStringLiteral("..."));
}

void TGpsWindowTest::RecoveryFileOnAFullDisk()
{
    FForm->SetRecoveryFile("/dev/full");
    FNames = {std::string("T")};
    Receive(RmcAt(0));
    Click("BBeginNewTrack");
    Receive(RmcAt(1));
    Click("BSaveLastPosition");
    QCOMPARE(FView->GpsTrack()->Points.size(), std::size_t(2)); // nothing of the track is lost
    QCOMPARE(Messages(),
        QStringList {QStringLiteral(
            "Cannot write the GPS recovery file /dev/full: No space left on device")});
}

void TGpsWindowTest::RecoveryOfferedAtStart()
{
    const QString path = FSettings->Path() + QStringLiteral("/gps.recovery");
    const auto write = [&] {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Passage\t38.5\t9.25\t46157.5\nPassage\t38.51\t9.24\t46157.6\n");
    };
    write();
    FBoxes->Answers = {QMessageBox::No};
    QVERIFY(!FForm->OfferRecovery());
    QVERIFY(!QFile::exists(path));

    write();
    FBoxes->Answers = {QMessageBox::Yes};
    QVERIFY(FForm->OfferRecovery());
    QVERIFY(Messages().at(0).contains(QStringLiteral("2 in \"Passage\"")));
    const TChtTrack *track = FView->GpsTrack();
    QVERIFY(track);
    QCOMPARE(track->Name, std::string("Passage"));
    QCOMPARE(track->Points.size(), std::size_t(2));
    QCOMPARE(track->Points[1].Lat, 38.51);
    QCOMPARE(Text("LTrackName"), QStringLiteral("Passage"));
    QVERIFY(FView->IsModified());
}

void TGpsWindowTest::SettingsPanelTabOrderAndMnemonics()
{
    const int closedHeight = FForm->height();
    Click("BGPSSettings");
    QVERIFY(FForm->SettingsShown());
    QVERIFY(FForm->height() > closedHeight);

    // Tab walks the window in reading order.
    Child<QPushButton>("BCenterGPS")->setFocus();
    const QStringList expected {"BCenterGPS", "BGPSSettings", "BSaveLastPosition", "BBeginNewTrack",
        "BClose", "RGWhichlMsgRMC", "ComboComPort", "ComboBaudRate", "CBComOpen", "BChooseTrack",
        "CBAutoSaveActivated", "SpinAutoSaveInterval", "ComboAutoSaveUnit", "CBPlotGPSPosition",
        "ComboGPSPosPlotStyle", "CBBeepOnPosition", "CBStayOnTop"};
    QStringList walked;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty())
            w = w->parentWidget(); // the line edit inside a combo box
        walked << (w ? w->objectName() : QStringLiteral("?"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, expected);

    // No two controls share an Alt+letter.
    std::map<QChar, QString> used;
    const auto take = [&](const QString &text, const QString &owner) {
        const auto amp = text.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= text.size())
            return;
        const QChar key = text.at(amp + 1).toLower();
        QVERIFY2(!used.count(key), qPrintable(owner + " and " + used[key] + " share " + key));
        used[key] = owner;
    };
    for (auto *b : FForm->findChildren<QAbstractButton *>())
        take(b->text(), b->objectName());
    for (auto *l : FForm->findChildren<QLabel *>())
        if (l->buddy())
            take(l->text(), l->text());
    QVERIFY(used.size() >= 15);

    // Enter on the focused button runs it.
    Child<QPushButton>("BGPSSettings")->setFocus();
    QTest::keyClick(Child<QPushButton>("BGPSSettings"), Qt::Key_Return);
    QVERIFY(!FForm->SettingsShown());
    QCOMPARE(FForm->minimumSizeHint().width() <= 1280, true);
}

} // namespace vrn

QTEST_MAIN(vrn::TGpsWindowTest)
#include "GpsWindowTest.moc"
