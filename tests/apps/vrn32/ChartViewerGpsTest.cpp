// The GPS window at work in the chart viewer, both made as vrn32 makes them at start-up: a real
// pseudo-terminal fed with a recorded capture moves the boat on the viewer's chart and grows the
// desktop's GPS track, "Track:" follows the desktops the viewer opens, and the recovery file of
// the GPS track is offered back at the viewer's start and cleared by a committed save or a No
// at exit.

#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fVrnSpla.h"
#include "apps/vrn32/fchvrn32.h"
#include "charts/Dcarta.h"
#include "gps/GpsRecovery.h"
#include "gps/Gpsxf.h"
#include "gps/fgpsxf.h"
#include "tests/gps/TestPty.h"
#include "ui/UiTestDoubles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <memory>

namespace vrn {

namespace {

// The RMC sentences of the recorded capture, in order (one a second from 10:15:00 UTC).
QList<QByteArray> CaptureRmc()
{
    QFile file(QStringLiteral(VRN_TEST_DATA_DIR "/track_60s.nmea"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no capture");
    QList<QByteArray> lines;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.contains("RMC"))
            lines << line.trimmed() + "\r\n";
    return lines;
}

QByteArray Joined(const QList<QByteArray> &lines, qsizetype from, qsizetype to)
{
    QByteArray bytes;
    for (qsizetype i = from; i < to; ++i)
        bytes += lines[i];
    return bytes;
}

// Days since 1899-12-30 00:00 UTC, computed by Qt's calendar.
double DayCount(const QDateTime &utc)
{
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return static_cast<double>(epoch.msecsTo(utc)) / 86400000.0;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

} // namespace

class TChartViewerGpsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void PtyFixesMoveTheBoatAndGrowTheGpsTrack();
    void TrackNameFollowsTheDesktop();
    void RecoveryOfferedAtStartAndClearedBySave();
    void ExitQuestionAndTheRecoveryFile_data();
    void ExitQuestionAndTheRecoveryFile();

private:
    void Start();
    void ShowViewer();
    void ConnectTo(const QString &device);
    // The GPS track started by "New track.." on the fixes given, as a sailor does it.
    void BeginTrack(const QByteArray &fixes, const char *name);

    TFormCartaVrn &Viewer() { return FWindows->ChartViewer(); }

    TFormGPSInterface &Gps() { return FWindows->GpsInterface(); }

    template <class T>
    T *GpsChild(const char *name)
    {
        auto *w = Gps().findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    void ClickGps(const char *button)
    {
        QTest::mouseClick(GpsChild<QAbstractButton>(button), Qt::LeftButton);
    }

    QString RecoveryPath() const { return FSettings->DataPath() + "/GpsTrack.recovery"; }

    int RecoveryLines() const
    {
        return static_cast<int>(TGpsRecoveryLog(RecoveryPath().toStdString()).Read().Points.size());
    }

    std::unique_ptr<TTestSettingsFolder> FSettings;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TFixedClock> FClock;
    std::unique_ptr<QTemporaryDir> FFolder;
    std::unique_ptr<TVrn32Windows> FWindows;
};

void TChartViewerGpsTest::init()
{
    FSettings = std::make_unique<TTestSettingsFolder>();
    QDir().mkpath(FSettings->DataPath());
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FClock =
        std::make_unique<TFixedClock>(QDateTime(QDate(2026, 5, 15), QTime(10, 16, 0), Qt::UTC));
    FFolder = std::make_unique<QTemporaryDir>();
}

void TChartViewerGpsTest::cleanup()
{
    FWindows.reset();
    FFolder.reset();
    FClock.reset();
    FFiles.reset();
    FBoxes.reset();
    FSettings.reset();
}

void TChartViewerGpsTest::Start()
{
    FWindows.reset();
    FWindows = std::make_unique<TVrn32Windows>();
    Gps().SetTextAsker([](const std::string &, const std::string &, const std::string &) {
        return std::optional<std::string>("Passage");
    });
}

void TChartViewerGpsTest::ShowViewer()
{
    FWindows->Launcher().findChild<QPushButton *>(QStringLiteral("BChartNavigation"))->click();
    QVERIFY(QTest::qWaitForWindowExposed(&Viewer()));
    // The start-up view (the world chart) is loaded after the first show.
    QTRY_VERIFY(!Viewer().Chart().Desk().ChartFileName.empty());
}

void TChartViewerGpsTest::ConnectTo(const QString &device)
{
    if (!Gps().SettingsShown())
        ClickGps("BGPSSettings");
    auto *port = GpsChild<QComboBox>("ComboComPort");
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), device);
    QTest::keyClick(port->lineEdit(), Qt::Key_Return);
    ClickGps("CBComOpen");
    QVERIFY(Gps().GpsInterface1().ComOpen());
}

void TChartViewerGpsTest::BeginTrack(const QByteArray &fixes, const char *name)
{
    Gps().SetTextAsker([name](const std::string &, const std::string &, const std::string &) {
        return std::optional<std::string>(name);
    });
    Gps().GpsInterface1().ReceiveBytes(fixes);
    ClickGps("BBeginNewTrack");
    QVERIFY(Viewer().Chart().GpsTrack() != nullptr);
}

void TChartViewerGpsTest::PtyFixesMoveTheBoatAndGrowTheGpsTrack()
{
    Start();
    ShowViewer();
    // The viewer's "GPS Interface" tool button shows the window, and so does its menu entry.
    auto *tools = Viewer().findChild<QToolBar *>(QStringLiteral("tools"));
    auto *button = tools->widgetForAction(Viewer().findChild<QAction *>(QStringLiteral("BGpsXf")));
    QVERIFY(button && button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&Gps()));
    Gps().hide();
    Viewer().findChild<QAction *>(QStringLiteral("GPSinterface1"))->trigger();
    QVERIFY(Gps().isVisible());
    QCOMPARE(GpsChild<QLabel>("LTrackName")->text(), QStringLiteral("(none)"));

    TPty pty;
    ConnectTo(pty.Path());
    const QList<QByteArray> rmc = CaptureRmc();
    QVERIFY(rmc.size() >= 20);
    pty.WritePaced(Joined(rmc, 0, 10));
    QTRY_COMPARE(Gps().TicksReceived(), 10);
    ClickGps("BBeginNewTrack");
    TChtTrack *track = Viewer().Chart().GpsTrack();
    QVERIFY(track != nullptr);
    QCOMPARE(track->Name, std::string("Passage"));
    QCOMPARE(GpsChild<QLabel>("LTrackName")->text(), QStringLiteral("Passage"));
    QCOMPARE(Viewer().Chart().Desk().Tracks.Count(), std::size_t(1));

    pty.WritePaced(Joined(rmc, 10, 20));
    QTRY_COMPARE(Gps().TicksReceived(), 20);
    // The boat sits on the last fix, 10:15:19 "3840.0224,N,00914.9713,W" at 45 degrees.
    const TMarcadorDePosicao &boat = Viewer().Chart().BoatMarker();
    QVERIFY(boat.Visible);
    QVERIFY(boat.ShowCourse);
    QCOMPARE(boat.Course, 45.0);
    QVERIFY(qAbs(boat.Lat - (38 + 40.0224 / 60)) < 1e-9);
    QVERIFY(qAbs(boat.Lon - (9 + 14.9713 / 60)) < 1e-9);
    ClickGps("BSaveLastPosition");
    QVERIFY(FBoxes->Shown.isEmpty());

    // Two points: the fix of 10:15:09 "3840.0106,N,00914.9864,W" the track began with, and
    // the one saved.
    QCOMPARE(track->PointCount(), std::size_t(2));

    const struct
    {
        double Lat, Lon;
        QTime Time;
    } expected[] = {{38 + 40.0106 / 60, 9 + 14.9864 / 60, QTime(10, 15, 9)},
        {38 + 40.0224 / 60, 9 + 14.9713 / 60, QTime(10, 15, 19)}};

    for (std::size_t i = 0; i < 2; ++i) {
        const TChtPoint &p = track->Points[i];
        QVERIFY(qAbs(p.Lat - expected[i].Lat) < 1e-9);
        QVERIFY(qAbs(p.Lon - expected[i].Lon) < 1e-9);
        QVERIFY(qAbs(p.Time - DayCount(QDateTime(QDate(2026, 5, 15), expected[i].Time, Qt::UTC)))
            < 1e-8);
    }
    QVERIFY(Viewer().Chart().IsModified());
    QCOMPARE(RecoveryLines(), 2);
}

void TChartViewerGpsTest::TrackNameFollowsTheDesktop()
{
    const QString withGps = FFolder->filePath(QStringLiteral("with.vrn"));
    WriteFile(withGps,
        "O;Track;Harbour run\r\nA;Visible=TRUE\r\nP;  50.10000;   1.20000;;01/07/2024 "
        "08:00:00\r\n\r\n"
        "O;Track;Biscay\r\nA;GpsTrack=TRUE\r\nA;Visible=TRUE\r\n"
        "P;  46.00000;   5.00000;;02/07/2024 08:00:00\r\n\r\n");
    const QString without = FFolder->filePath(QStringLiteral("without.vrn"));
    WriteFile(without, "O;Track;Harbour run\r\nP;  50.10000;   1.20000;;01/07/2024 08:00:00\r\n");
    Start();
    ShowViewer();
    auto *label = GpsChild<QLabel>("LTrackName");
    auto *open = Viewer().findChild<QAction *>(QStringLiteral("OpenVrnDesktop1"));
    QVERIFY(open);

    FFiles->Answers << withGps;
    open->trigger();
    QCOMPARE(label->text(), QStringLiteral("Biscay"));

    // Autosave runs on that track; a desktop without a GPS track stops it and says so once.
    if (!Gps().SettingsShown())
        ClickGps("BGPSSettings");
    ClickGps("CBAutoSaveActivated");
    QVERIFY(GpsChild<QCheckBox>("CBAutoSaveActivated")->isChecked());
    FFiles->Answers << without;
    open->trigger();
    QCOMPARE(label->text(), QStringLiteral("(none)"));
    QVERIFY(!GpsChild<QCheckBox>("CBAutoSaveActivated")->isChecked());
    QTRY_COMPARE(FBoxes->Texts(), QStringList {"No GPS track defined in this desktop"});

    // Back to the desktop with a GPS track.
    FBoxes->Shown.clear();
    FFiles->Answers << withGps;
    open->trigger();
    QCOMPARE(label->text(), QStringLiteral("Biscay"));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TChartViewerGpsTest::RecoveryOfferedAtStartAndClearedBySave()
{
    // A first session writes GPS points and ends without saving (a crash, a power cut).
    Start();
    ShowViewer();
    const QList<QByteArray> rmc = CaptureRmc();
    BeginTrack(Joined(rmc, 0, 5), "Passage");
    Gps().GpsInterface1().ReceiveBytes(Joined(rmc, 5, 8));
    ClickGps("BSaveLastPosition");
    QCOMPARE(Viewer().Chart().GpsTrack()->PointCount(), std::size_t(2));
    FWindows.reset();
    QCOMPARE(RecoveryLines(), 2);

    // The next start offers them when the viewer comes up; Yes puts them back as the GPS track.
    FBoxes->Shown.clear();
    Start();
    QVERIFY(FBoxes->Shown.isEmpty());
    FBoxes->Answers << QMessageBox::Yes;
    ShowViewer();
    QTRY_COMPARE(FBoxes->Shown.size(), 1);
    QVERIFY(FBoxes->Texts().front().contains(QStringLiteral("2 in \"Passage\"")));
    TChtTrack *track = Viewer().Chart().GpsTrack();
    QVERIFY(track != nullptr);
    QCOMPARE(track->Name, std::string("Passage"));
    QCOMPARE(track->PointCount(), std::size_t(2));
    QCOMPARE(GpsChild<QLabel>("LTrackName")->text(), QStringLiteral("Passage"));
    QVERIFY(Viewer().Chart().IsModified());

    // A save that is cancelled keeps the file; a committed one clears it.
    auto *saveAs = Viewer().findChild<QAction *>(QStringLiteral("SaveVrnDesktopAs1"));
    QVERIFY(saveAs);
    FFiles->Answers << QString();
    saveAs->trigger();
    QCOMPARE(RecoveryLines(), 2);
    const QString saved = FFolder->filePath(QStringLiteral("passage.vrn"));
    FFiles->Answers << saved;
    saveAs->trigger();
    QVERIFY(QFile::exists(saved));
    QVERIFY(!QFile::exists(RecoveryPath()));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("O;Track;Passage"));
    QVERIFY(text.contains("A;GpsTrack=TRUE"));

    // Nothing is offered at the start after that.
    FBoxes->Shown.clear();
    Start();
    ShowViewer();
    QTest::qWait(50);
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TChartViewerGpsTest::ExitQuestionAndTheRecoveryFile_data()
{
    QTest::addColumn<bool>("named"); // the desktop has a file of its own
    QTest::addColumn<bool>("folderGone"); // so that saving it fails
    QTest::addColumn<bool>("givenUp"); // the desktop was reopened before, answering No
    // Answers to the boxes in order: questions, and the OK of a failure's message.
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QStringList>("saveAs"); // answers of the Save As dialog, "" cancels
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("kept"); // the recovery file is still there after the exit
    QTest::addColumn<QString>("savedTo"); // the file the desktop went to, or ""

    using B = QMessageBox::StandardButton;
    QTest::addRow("No gives the points up")
        << true << false << false << QList<B> {B::No} << QStringList() << 1 << false << QString();
    QTest::addRow("Yes saves to the desktop's file")
        << true << false << false << QList<B> {B::Yes} << QStringList() << 1 << false << "desk.vrn";
    QTest::addRow("a failed save offers Save As once more")
        << true << true << false << QList<B> {B::Yes, B::Ok} << QStringList {"elsewhere.vrn"} << 1
        << false << "elsewhere.vrn";
    QTest::addRow("Save As cancelled after a failed save asks again")
        << true << true << false << QList<B> {B::Yes, B::Ok, B::No} << QStringList {""} << 2
        << false << QString();
    QTest::addRow("a desktop without a file asks for one")
        << false << false << false << QList<B> {B::Yes} << QStringList {"new.vrn"} << 1 << false
        << "new.vrn";
    QTest::addRow("Save As cancelled asks again until saved")
        << false << false << false << QList<B> {B::Yes, B::Yes} << QStringList {"", "new.vrn"} << 2
        << false << "new.vrn";
    QTest::addRow("points given up earlier stay for the next start")
        << true << false << true << QList<B>() << QStringList() << 0 << true << QString();
}

void TChartViewerGpsTest::ExitQuestionAndTheRecoveryFile()
{
    QFETCH(bool, named);
    QFETCH(bool, folderGone);
    QFETCH(bool, givenUp);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QStringList, saveAs);
    QFETCH(int, questions);
    QFETCH(bool, kept);
    QFETCH(QString, savedTo);

    const QString deskFolder = FFolder->filePath(QStringLiteral("desks"));
    QDir().mkpath(deskFolder);
    const QString desk = deskFolder + QStringLiteral("/desk.vrn");
    WriteFile(desk,
        "O;Track;Passage\r\nA;GpsTrack=TRUE\r\nP;  38.60000;   9.20000;;15/05/2026 09:00:00\r\n");
    Start();
    ShowViewer();
    if (named) {
        QVERIFY(Viewer().OpenDesktop(desk));
        QVERIFY(Viewer().Chart().GpsTrack() != nullptr);
        Gps().GpsInterface1().ReceiveBytes(Joined(CaptureRmc(), 0, 3));
        ClickGps("BSaveLastPosition");
    } else {
        BeginTrack(Joined(CaptureRmc(), 0, 3), "Passage");
    }
    QCOMPARE(RecoveryLines(), 1);
    if (givenUp) {
        FBoxes->Answers << QMessageBox::No;
        QVERIFY(Viewer().OpenDesktop(desk));
        QVERIFY(!Viewer().Chart().IsModified());
    }
    if (folderGone)
        QVERIFY(QDir(deskFolder).removeRecursively());
    FBoxes->Shown.clear();
    FBoxes->Answers = answers;
    for (const QString &name : saveAs)
        FFiles->Answers << (name.isEmpty() ? QString() : FFolder->filePath(name));

    FWindows->Launcher().close();

    int asked = 0;
    for (const QString &text : FBoxes->Texts())
        asked += text.endsWith(QStringLiteral("changed. Save?")) ? 1 : 0;
    QCOMPARE(asked, questions);
    QCOMPARE(FFiles->Unanswered, 0);
    QCOMPARE(FFiles->Answers.size(), 0);
    QCOMPARE(QFile::exists(RecoveryPath()), kept);
    if (!savedTo.isEmpty()) {
        const QString path =
            savedTo == QLatin1String("desk.vrn") ? desk : FFolder->filePath(savedTo);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("A;GpsTrack=TRUE"));
        // The fix of 10:15:02, "3840.0024,N,00914.9970,W".
        QVERIFY(text.contains("P;  38.66671;   9.24995;GPS;"));
    }
    QCOMPARE(Viewer().Chart().IsModified(), savedTo.isEmpty() && !givenUp);
}

} // namespace vrn

QTEST_MAIN(vrn::TChartViewerGpsTest)
#include "ChartViewerGpsTest.moc"
