#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fVrnSpla.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"
#include "tests/ui/Mnemonics.h"
#include "ui/UiTestDoubles.h"
#include "ui/fVrndisc.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

namespace vrn {

class TLauncherTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void CaptionAndLabels();
    void ButtonsAsTheTable_data();
    void ButtonsAsTheTable();
    void WindowButtonsShowTheirWindow_data();
    void WindowButtonsShowTheirWindow();
    void DisclaimerOpensModallyAndIsFreed();
    void HelpGoesThroughTheDocumentSeam();
    void CloseEndsTheProgram();
    void OkReturnsToTheChartViewerThenCloseEnds();
    void FailedCloseQueryStillEnds();
    void Screenshot();
    void CommandLine_data();
    void CommandLine();
    void StartupFormatsFollowTheUser_data();
    void StartupFormatsFollowTheUser();

private:
    // Runs the message loop with `action` queued; returns exec()'s code: 0 when the program was
    // told to quit, kNotQuit when it ran on.
    int RunLoop(const std::function<void()> &action);
    QPushButton *Button(const char *name) const;

    static constexpr int kNotQuit = 77;
    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TRecordingOpener> FOpener;
    std::unique_ptr<TFormVarunelSplash> FLauncher;
};

void TLauncherTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    QApplication::setApplicationName(QStringLiteral("Varunel"));
}

void TLauncherTest::init()
{
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FOpener = std::make_unique<TRecordingOpener>();
    FLauncher = std::make_unique<TFormVarunelSplash>();
    FLauncher->show();
    QVERIFY(QTest::qWaitForWindowExposed(FLauncher.get()));
}

void TLauncherTest::cleanup()
{
    FLauncher.reset();
    FOpener.reset();
    FBoxes.reset();
}

int TLauncherTest::RunLoop(const std::function<void()> &action)
{
    QTimer::singleShot(0, action);
    // A program that does not end on its own is stopped after a short while. The guard dies with
    // this loop, so it cannot end a later one.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(kNotQuit); });
    guard.start(500);
    return QCoreApplication::exec();
}

QPushButton *TLauncherTest::Button(const char *name) const
{
    return FLauncher->findChild<QPushButton *>(QString::fromLatin1(name));
}

void TLauncherTest::CaptionAndLabels()
{
    QCOMPARE(FLauncher->windowTitle(), QStringLiteral(" Varunel "));
    // Laid out like every window: it can grow from the size of its contents, which fits the
    // smallest screen.
    QVERIFY(FLauncher->maximumSize().width() > FLauncher->minimumSize().width());
    QVERIFY(FLauncher->minimumSize().width() <= 1280 && FLauncher->minimumSize().height() <= 720);
    QCOMPARE(MnemonicClashes(*FLauncher), QStringList());
    auto *version = FLauncher->findChild<QLabel *>(QStringLiteral("LVersion"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Version " VRN_VERSION));
    QVERIFY(FLauncher->findChild<QWidget *>(QStringLiteral("ImgLogo")));
}

void TLauncherTest::ButtonsAsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("enabled");

    // Captions and hints from the launcher's button table; the first three windows do not exist
    // yet in this build, so their buttons are disabled.
    QTest::newRow("BCelestialNavigation") << "BCelestialNavigation"
                                          << "&Celestial Navigation"
                                          << "Open Celestial Navigation window" << false;
    QTest::newRow("BChartNavigation") << "BChartNavigation"
                                      << "Chart &Navigation"
                                      << "Open chart window" << false;
    QTest::newRow("BStarFinder") << "BStarFinder"
                                 << "&Star Finder"
                                 << "Open star finder window" << false;
    QTest::newRow("BDisclaimer") << "BDisclaimer"
                                 << "About Varunel..."
                                 << "Legal stuff" << true;
    QTest::newRow("BHelp") << "BHelp"
                           << "&Help"
                           << "" << true;
    QTest::newRow("BCloseVrn") << "BCloseVrn"
                               << "Cl&ose"
                               << "Close program" << true;
}

void TLauncherTest::ButtonsAsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(bool, enabled);

    auto *button = FLauncher->findChild<QPushButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), hint);
    QCOMPARE(button->isEnabled(), enabled);
    QVERIFY(button->isVisible());
}

void TLauncherTest::WindowButtonsShowTheirWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("minimised");

    QTest::newRow("celestial hidden") << "BCelestialNavigation" << false;
    QTest::newRow("celestial minimised") << "BCelestialNavigation" << true;
    QTest::newRow("chart hidden") << "BChartNavigation" << false;
    QTest::newRow("chart minimised") << "BChartNavigation" << true;
    QTest::newRow("star finder hidden") << "BStarFinder" << false;
    QTest::newRow("star finder minimised") << "BStarFinder" << true;
}

void TLauncherTest::WindowButtonsShowTheirWindow()
{
    QFETCH(QString, name);
    QFETCH(bool, minimised);

    QWidget window;
    window.resize(200, 100);
    if (name == QLatin1String("BCelestialNavigation")) {
        FLauncher->SetCelestialNavigationWindow(&window);
    } else if (name == QLatin1String("BChartNavigation")) {
        FLauncher->SetChartViewerWindow(&window);
    } else {
        FLauncher->SetStarFinderWindow(&window);
    }
    if (minimised) {
        window.showMinimized();
        QVERIFY(window.isMinimized());
    }
    auto *button = FLauncher->findChild<QPushButton *>(name);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TLauncherTest::DisclaimerOpensModallyAndIsFreed()
{
    QString title;
    QString intro;
    QString text;
    bool readOnly = false;
    bool noWrap = false;
    int hiddenWidth = -1;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TFormVrnDisclaimer *>(QApplication::activeModalWidget());
        if (!dialog) {
            // Whatever came up instead must not leave the test hanging.
            if (QWidget *modal = QApplication::activeModalWidget()) {
                modal->close();
            }
            return;
        }
        title = dialog->windowTitle();
        if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("LIntro"))) {
            intro = label->text();
        }
        if (auto *memo = dialog->findChild<QPlainTextEdit *>()) {
            text = memo->toPlainText();
            readOnly = memo->isReadOnly();
            noWrap = memo->lineWrapMode() == QPlainTextEdit::NoWrap;
            // No line is cut: the longest fits the text area as it opens.
            QApplication::processEvents();
            hiddenWidth = memo->horizontalScrollBar()->maximum();
        }
        QTest::mouseClick(
            dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    QTest::mouseClick(Button("BDisclaimer"), Qt::LeftButton);

    QCOMPARE(title, QStringLiteral("Varunel"));
    QCOMPARE(intro, QStringLiteral("license agreement, disclaimer and acknowledgments:"));
    QVERIFY(readOnly);
    QVERIFY(noWrap);
    QCOMPARE(hiddenWidth, 0);
    for (const char *needed : {"LICENSE AGREEMENT", "WITHOUT WARRANTY", "NOT FOR SOLE NAVIGATION",
             "Meeus", "VSOP87", "Bretagnon", "Francou", "astronomia", "MIT License", "GSHHG"}) {
        QVERIFY2(text.contains(QLatin1String(needed)), needed);
    }
    // Shown modally, then freed: nothing of it is left once the button returns.
    QVERIFY(FLauncher->findChildren<TFormVrnDisclaimer *>().isEmpty());
    QVERIFY(FLauncher->isVisible());
}

void TLauncherTest::HelpGoesThroughTheDocumentSeam()
{
    QTest::mouseClick(Button("BHelp"), Qt::LeftButton);
    // The help file is found and handed to the viewer, or its absence is said; never silence.
    if (FOpener->Opened.isEmpty()) {
        QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("Help file VrnHelp.htm not found.")});
    } else {
        QCOMPARE(FOpener->Opened.size(), 1);
        QVERIFY(FOpener->Opened.constFirst().isLocalFile());
        QVERIFY(FOpener->Opened.constFirst().toLocalFile().endsWith(QLatin1String("/VrnHelp.htm")));
    }
}

void TLauncherTest::CloseEndsTheProgram()
{
    int queries = 0;
    FLauncher->SetCloseQueryHandler([&] { ++queries; });
    const int code = RunLoop([this] { QTest::mouseClick(Button("BCloseVrn"), Qt::LeftButton); });
    QCOMPARE(code, 0);
    QVERIFY(!FLauncher->isVisible());
    QCOMPARE(queries, 1);
}

void TLauncherTest::OkReturnsToTheChartViewerThenCloseEnds()
{
    QWidget chartViewer;
    FLauncher->SetChartViewerWindow(&chartViewer);
    FLauncher->ShowAsAboutBox();
    QPushButton *close = Button("BCloseVrn");
    QCOMPARE(close->text(), QStringLiteral("&Ok"));

    int code = RunLoop([close] { QTest::mouseClick(close, Qt::LeftButton); });
    QCOMPARE(code, kNotQuit);
    QCOMPARE(close->text(), QStringLiteral("Cl&ose"));
    QVERIFY(chartViewer.isVisible());
    QVERIFY(FLauncher->isVisible());

    code = RunLoop([close] { QTest::mouseClick(close, Qt::LeftButton); });
    QCOMPARE(code, 0);
    QVERIFY(!FLauncher->isVisible());
}

void TLauncherTest::FailedCloseQueryStillEnds()
{
    FLauncher->SetCloseQueryHandler([] { throw EVrnError("Cannot write desktop.vrn"); });
    const int code = RunLoop([this] { QTest::mouseClick(Button("BCloseVrn"), Qt::LeftButton); });
    QCOMPARE(code, 0);
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("Cannot write desktop.vrn")});
}

void TLauncherTest::Screenshot()
{
    const QImage shot = FLauncher->grab().toImage();
    QCOMPARE(shot.size(), FLauncher->size() * FLauncher->devicePixelRatio());
    // The picture is painted: its centre (the rose's gold hub) is neither blank nor background.
    auto *picture = FLauncher->findChild<QWidget *>(QStringLiteral("ImgLogo"));
    const QPoint hub = picture->mapTo(FLauncher.get(), picture->rect().center());
    const QColor centre = shot.pixelColor(hub);
    QVERIFY2(centre.red() > centre.blue() + 60, qPrintable(centre.name()));
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QVERIFY(shot.save(folder + QStringLiteral("/launcher.png")));
    }
}

void TLauncherTest::CommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("celestial");
    QTest::addColumn<bool>("almanac");
    QTest::addColumn<QString>("chart");

    QTest::addRow("nothing") << QStringList {"vrn32"} << true << QString() << false << false
                             << QString();
    QTest::addRow("celestial") << QStringList {"vrn32", "--celestial"} << true << QString() << true
                               << false << QString();
    QTest::addRow("both windows") << QStringList {"vrn32", "--almanac", "--celestial"} << true
                                  << QString() << true << true << QString();
    QTest::addRow("chart") << QStringList {"vrn32", "--chart", "coast.cht"} << true << QString()
                           << false << false << "coast.cht";
    QTest::addRow("unknown option")
        << QStringList {"vrn32", "--celestrial"} << false << "Unknown option 'celestrial'." << false
        << false << QString();
    QTest::addRow("chart without file")
        << QStringList {"vrn32", "--chart"} << false << "Missing value after '--chart'." << false
        << false << QString();
    QTest::addRow("stray argument")
        << QStringList {"vrn32", "start.txt", "coast.cht"} << false
        << "Unexpected argument: coast.cht" << false << false << QString();
}

void TLauncherTest::CommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QFETCH(bool, celestial);
    QFETCH(bool, almanac);
    QFETCH(QString, chart);

    const TVrn32Options o = ParseVrn32Arguments(arguments);
    QCOMPARE(o.Ok, ok);
    QCOMPARE(o.Error, error);
    QVERIFY(!o.ShowText);
    QCOMPARE(o.ShowCelestial, celestial);
    QCOMPARE(o.ShowAlmanac, almanac);
    QCOMPARE(o.ChartFile, chart);

    // --help lists every option.
    const TVrn32Options help = ParseVrn32Arguments({"vrn32", "--help"});
    QVERIFY(help.ShowText);
    for (const char *option : {"--celestial", "--almanac", "--chart <FILE>", "--version"})
        QVERIFY2(help.Text.contains(QLatin1String(option)), option);
}

void TLauncherTest::StartupFormatsFollowTheUser_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pattern");

    // The start-up rule; patterns as Qt 6.4.2 gives them for de_DE, en_US and sv_SE.
    QTest::addRow("day first, dots") << "dd.MM.yy"
                                     << "dd.MM.yyyy";
    QTest::addRow("month first") << "M/d/yy"
                                 << "MM/dd/yyyy";
    QTest::addRow("year first") << "yyyy-MM-dd"
                                << "MM-dd-yyyy";
    // The C locale (LANG=C) writes dates with blanks, which no date can be read back with.
    QTest::addRow("C locale") << QLocale::c().dateFormat(QLocale::ShortFormat) << "dd/MM/yyyy";
    QTest::addRow("empty keeps the current one") << ""
                                                 << "MM-dd-yyyy";
}

void TLauncherTest::StartupFormatsFollowTheUser()
{
    QFETCH(QString, user);
    QFETCH(QString, pattern);

    const TDateFormat saved = ShortDateFormat();
    SetShortDateFormat({TDateOrder::MonthDayYear, '-'});
    ApplyStartupFormats(user);
    const QString applied = QString::fromStdString(ShortDateFormat().Pattern());
    SetShortDateFormat(saved);
    QCOMPARE(applied, pattern);
}

} // namespace vrn

QTEST_MAIN(vrn::TLauncherTest)
#include "LauncherTest.moc"
