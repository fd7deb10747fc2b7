// The chart viewer's location panel as the user works it, in the windows vrn32 makes at
// start-up, against real servers on 127.0.0.1: a desktop fetched with its chart replaces the
// viewer's desktop after the changed-desktop question, a transfer is stopped from the panel, a
// failed fetch says why in the status line, and the start-up location file is fetched at the
// viewer's first show.

#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fchvrn32.h"
#include "charts/Dcarta.h"
#include "gps/fgpsxf.h"
#include "net/Farol.h"
#include "tests/net/TestServers.h"
#include "ui/UiTestDoubles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <memory>

namespace vrn {

namespace {

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

// The desktop on the server: its chart beside it, a route and the GPS track.
const QByteArray kDesktop =
    "O;Chart;coast.cht;45.5;10.5;2\r\n\r\n"
    "O;Route;Harbour entrance\r\nP;45.2;10.2;buoy\r\nP;45.4;10.4;pier\r\n\r\n"
    "O;Track;Log\r\nA;GpsTrack=TRUE\r\nP;45.3;10.3;;01/07/2024 08:00:00\r\n";
const QByteArray kChart = "O;Polygon;Island\r\nP;45;10\r\nP;46;10\r\nP;46;11\r\n";

} // namespace

class TChartViewerWebTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void EnterFetchesADesktopWithItsChart();
    void AFetchedChartReplacesTheVectorChart();
    void ChangedDesktopQuestion_data();
    void ChangedDesktopQuestion();
    void StoppingATransfer_data();
    void StoppingATransfer();
    void FailedFetchSaysWhy_data();
    void FailedFetchSaysWhy();
    void StartLocationFileIsFetchedAtTheFirstShow();

private:
    void Start();
    void Fetch(const QString &location);
    bool Idle() const;
    void AddChangedTrack();

    TFormCartaVrn &Viewer() const { return FWindows->ChartViewer(); }

    // "Stop download": the track replay has a Stop button of the same name.
    QPushButton *StopDownload() const { return Viewer().StopButton(); }

    template <class T>
    T *Child(const char *name) const
    {
        auto *w = Viewer().findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    QString Status() const { return Child<QLabel>("LStatusBrowser")->text(); }

    QTemporaryDir FRoot;
    TTestServer FPython;
    TTestServer FScripted;
    QString FIni;
    std::unique_ptr<TTestSettingsFolder> FSettings;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<QTemporaryDir> FCache;
    std::unique_ptr<TVrn32Windows> FWindows;
};

void TChartViewerWebTest::initTestCase()
{
    QDir(FRoot.path()).mkpath(QStringLiteral("d"));
    WriteFile(FRoot.filePath(QStringLiteral("d/desk.vrn")), kDesktop);
    WriteFile(FRoot.filePath(QStringLiteral("d/coast.cht")), kChart);
    WriteFile(
        FRoot.filePath(QStringLiteral("d/garbage.vrn")), QByteArray("\x00\x01\xff\xfe PK", 8));
    QVERIFY2(FPython.StartHttpServer(FRoot.path()), qPrintable(FPython.Error()));
    QVERIFY2(FScripted.StartScripted(FRoot.path(), FRoot.filePath(QStringLiteral("log"))),
        qPrintable(FScripted.Error()));
}

void TChartViewerWebTest::init()
{
    FSettings = std::make_unique<TTestSettingsFolder>();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FCache = std::make_unique<QTemporaryDir>();
    // The program's ini names the cache folder, a fresh one for each test.
    const QString program =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toLower();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    FIni = config + QLatin1Char('/') + program + QStringLiteral(".ini");
    {
        QSettings ini(FIni, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Cache/Path"), FCache->path());
    }
}

void TChartViewerWebTest::cleanup()
{
    FWindows.reset();
    QFile::remove(FIni);
    FCache.reset();
    FFiles.reset();
    FBoxes.reset();
    FSettings.reset();
}

void TChartViewerWebTest::Start()
{
    FWindows = std::make_unique<TVrn32Windows>();
    QCOMPARE(Viewer().CacheDir(), FCache->path() + QLatin1Char('/'));
    Viewer().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Viewer()));
    QTRY_VERIFY(!Viewer().Chart().Desk().ChartFileName.empty()); // the world, at first show
    Viewer().LocationPanel()->show();
}

bool TChartViewerWebTest::Idle() const
{
    return !StopDownload()->isEnabled() && !Child<TFarol>("Farol")->Playing();
}

void TChartViewerWebTest::Fetch(const QString &location)
{
    auto *field = Child<QLineEdit>("EdLocation");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, location);
    QTest::keyClick(field, Qt::Key_Return);
}

void TChartViewerWebTest::AddChangedTrack()
{
    auto track = std::make_unique<TChtTrack>();
    track->Name = "Unsaved";
    track->Points.push_back(TChtPoint {"", 50, 1, 0, 0, 45000});
    Viewer().Chart().Desk().Tracks.Add(std::move(track));
    Viewer().Chart().Desk().TracksModified = true;
}

void TChartViewerWebTest::EnterFetchesADesktopWithItsChart()
{
    Start();
    auto *gauge = Child<QProgressBar>("GaugeBrowser");
    QVERIFY(!gauge->isVisible());
    Fetch(FPython.Url(QStringLiteral("/d/desk.vrn")));
    // Under way: "Stop download", the gauge and the traffic animation are on.
    QVERIFY(StopDownload()->isEnabled());
    QVERIFY(gauge->isVisible());
    QVERIFY(Child<TFarol>("Farol")->Playing());
    QTRY_VERIFY_WITH_TIMEOUT(Viewer().Chart().Desk().Routes.Count() == 1, 60000);
    QVERIFY(Idle());
    QVERIFY(!gauge->isVisible());
    QCOMPARE(Status(), QStringLiteral("Ok"));
    const TChartDesk &desk = Viewer().Chart().Desk();
    QCOMPARE(desk.Routes[0]->Name, std::string("Harbour entrance"));
    // The chart came along into the cache and is the viewer's vector chart.
    QCOMPARE(
        QString::fromStdString(desk.ChartFileName), FCache->filePath(QStringLiteral("coast.cht")));
    QCOMPARE(QString::fromStdString(desk.ChartFileName).section('/', 0, -2), FCache->path());
    QVERIFY(desk.DesktopFileName.empty());
    QVERIFY(FBoxes->Shown.isEmpty());
    // The GPS window follows the fetched desktop's GPS track.
    QCOMPARE(FWindows->GpsInterface().findChild<QLabel *>(QStringLiteral("LTrackName"))->text(),
        QStringLiteral("Log"));

    // "Refresh desktop" asks again; the server has nothing newer and the cached copies serve.
    QTest::mouseClick(Child<QPushButton>("BRefresca"), Qt::LeftButton);
    QVERIFY(!Idle());
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), 60000);
    QCOMPARE(Status(), QStringLiteral("Ok"));
    QCOMPARE(Viewer().Chart().Desk().Routes.Count(), std::size_t(1));
}

void TChartViewerWebTest::AFetchedChartReplacesTheVectorChart()
{
    Start();
    Fetch(FScripted.Url(QStringLiteral("/chunked/d/coast.cht")));
    QTRY_VERIFY_WITH_TIMEOUT(
        QString::fromStdString(Viewer().Chart().Desk().ChartFileName).endsWith("coast.cht"), 60000);
    QTRY_VERIFY(Idle());
    QCOMPARE(Status(), QStringLiteral("Ok"));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TChartViewerWebTest::ChangedDesktopQuestion_data()
{
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QString>("saveAs"); // "" cancels the dialog
    QTest::addColumn<bool>("replaced");

    using B = QMessageBox::StandardButton;
    QTest::addRow("No replaces the desktop") << QList<B> {B::No} << QString() << true;
    QTest::addRow("Yes with the Save As cancelled keeps everything")
        << QList<B> {B::Yes} << QString() << false;
    QTest::addRow("Yes and saved replaces it") << QList<B> {B::Yes} << "kept.vrn" << true;
}

void TChartViewerWebTest::ChangedDesktopQuestion()
{
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QString, saveAs);
    QFETCH(bool, replaced);

    Start();
    AddChangedTrack();
    const std::string world = Viewer().Chart().Desk().ChartFileName;
    FBoxes->Answers = answers;
    const QString savedTo = saveAs.isEmpty() ? QString() : FCache->filePath(saveAs);
    if (answers.front() == QMessageBox::Yes)
        FFiles->Answers << savedTo;
    Fetch(FPython.Url(QStringLiteral("/d/desk.vrn")));
    QTRY_VERIFY_WITH_TIMEOUT(!FBoxes->Shown.isEmpty() && Idle(), 60000);
    QTest::qWait(50);
    QCOMPARE(FBoxes->Texts(), QStringList {"Desktop changed. Save?"});
    QCOMPARE(FFiles->Answers.size(), 0);
    const TChartDesk &desk = Viewer().Chart().Desk();
    if (replaced) {
        QCOMPARE(desk.Routes.Count(), std::size_t(1));
        QCOMPARE(desk.Tracks.Count(), std::size_t(1));
        QCOMPARE(desk.Tracks[0]->Name, std::string("Log"));
        QVERIFY(QString::fromStdString(desk.ChartFileName).endsWith("coast.cht"));
    } else {
        QCOMPARE(desk.Routes.Count(), std::size_t(0));
        QCOMPARE(desk.Tracks.Count(), std::size_t(1));
        QCOMPARE(desk.Tracks[0]->Name, std::string("Unsaved"));
        QCOMPARE(desk.ChartFileName, world);
        QVERIFY(Viewer().Chart().IsModified());
    }
    if (!savedTo.isEmpty()) {
        QFile file(savedTo);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("O;Track;Unsaved"));
    }
}

void TChartViewerWebTest::StoppingATransfer_data()
{
    QTest::addColumn<bool>("escape"); // Escape in the field, else "Stop download"
    QTest::addRow("Escape in the location field") << true;
    QTest::addRow("Stop download") << false;
}

void TChartViewerWebTest::StoppingATransfer()
{
    QFETCH(bool, escape);
    Start();
    const std::string world = Viewer().Chart().Desk().ChartFileName;
    Fetch(FScripted.Url(QStringLiteral("/silent/d/desk.vrn")));
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(QLatin1String("Transferindo")), 60000);
    QVERIFY(!Idle());
    if (escape)
        QTest::keyClick(Child<QLineEdit>("EdLocation"), Qt::Key_Escape);
    else
        QTest::mouseClick(StopDownload(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), 60000);
    QCOMPARE(Status(), QStringLiteral("Transferência interrompida"));
    QVERIFY(!Child<QProgressBar>("GaugeBrowser")->isVisible());
    QTest::qWait(200);
    QVERIFY(Idle());
    QCOMPARE(Viewer().Chart().Desk().ChartFileName, world);
    QCOMPARE(Viewer().Chart().Desk().Routes.Count(), std::size_t(0));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TChartViewerWebTest::FailedFetchSaysWhy_data()
{
    // %1: python's port, %2: the scripted server's, %3: a port nobody listens on
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("status"); // the status line begins with it
    QTest::addRow("not found") << "http://127.0.0.1:%1/d/none.vrn"
                               << "404 Arquivo não encontrado";
    QTest::addRow("server error") << "http://127.0.0.1:%2/status-500/x.cht"
                                  << "500 Erro interno no Servidor";
    QTest::addRow("truncated body") << "http://127.0.0.1:%2/truncated/d/desk.vrn"
                                    << "Arquivo truncado";
    QTest::addRow("refused connection") << "http://127.0.0.1:%3/d/desk.vrn"
                                        << "Connection to host 127.0.0.1 failed";
    QTest::addRow("unknown host") << "http://charts.nowhere.invalid/d/desk.vrn"
                                  << "Host charts.nowhere.invalid não encontrado";
    QTest::addRow("binary garbage as a desktop") << "http://127.0.0.1:%1/d/garbage.vrn"
                                                 << "File ";
    QTest::addRow("a refused location") << "ftp://127.0.0.1/d/desk.vrn"
                                        << "Location refused: ";
}

void TChartViewerWebTest::FailedFetchSaysWhy()
{
    QFETCH(QString, location);
    QFETCH(QString, status);
    Start();
    const std::string world = Viewer().Chart().Desk().ChartFileName;
    Fetch(location.replace(QLatin1String("%1"), QString::number(FPython.Port()))
              .replace(QLatin1String("%2"), QString::number(FScripted.Port()))
              .replace(QLatin1String("%3"), QString::number(ClosedPort())));
    QTest::qWait(100);
    QTRY_VERIFY_WITH_TIMEOUT(Idle(), 60000);
    QTest::qWait(100);
    QVERIFY2(Status().startsWith(status), qPrintable(Status()));
    QCOMPARE(Viewer().Chart().Desk().ChartFileName, world);
    QCOMPARE(Viewer().Chart().Desk().Routes.Count(), std::size_t(0));
    QVERIFY(!Viewer().Chart().IsModified());
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TChartViewerWebTest::StartLocationFileIsFetchedAtTheFirstShow()
{
    const QString file = FCache->filePath(QStringLiteral("start.txt"));
    WriteFile(file, FPython.Url(QStringLiteral("/d/desk.vrn")).toLatin1() + "\r\nignored\r\n");
    FWindows = std::make_unique<TVrn32Windows>();
    Viewer().SetStartLocationFile(file);
    QVERIFY(!Viewer().LocationPanel()->isVisible());
    Viewer().show();
    QTRY_VERIFY_WITH_TIMEOUT(Viewer().Chart().Desk().Routes.Count() == 1, 60000);
    QVERIFY(Viewer().LocationPanel()->isVisible());
    QCOMPARE(Child<QLineEdit>("EdLocation")->text(), FPython.Url(QStringLiteral("/d/desk.vrn")));
    QCOMPARE(Status(), QStringLiteral("Ok"));
}

} // namespace vrn

QTEST_MAIN(vrn::TChartViewerWebTest)
#include "ChartViewerWebTest.moc"
