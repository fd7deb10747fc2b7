// The kartograv launcher, the about box and the start-up: the buttons as the program shows them,
// the windows they bring up, the legal notice, the help file, the question before unsaved work
// is lost, and the mnemonics of every window.

#include "apps/kartograv/KartogravStartup.h"
#include "apps/kartograv/PictureView.h"
#include "apps/kartograv/fChartImageImporter.h"
#include "apps/kartograv/fChtMak.h"
#include "apps/kartograv/fKartogravSplash.h"
#include "apps/kartograv/faboutc.h"
#include "engine/DateTime.h"
#include "tests/apps/kartograv/KartogravTestKit.h"
#include "ui/UiTestDoubles.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace vrn {

using testing::ClickButton;
using testing::TModalAnswers;

class TKartogravLauncherTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ButtonsAsTheProgramShowsThem_data();
    void ButtonsAsTheProgramShowsThem();
    void ToolButtonsShowTheirWindows();
    void LegalNoticeAndAboutBoxAreModal();
    void HelpAndWebSiteGoThroughTheDocumentSeam();
    void UnsavedPolygonsAskBeforeTheEnd();
    void CloseWithoutWorkEnds();
    void NoTwoControlsShareAMnemonic();
    void Screenshot();
    void StartupFormats_data();
    void StartupFormats();

private:
    int RunLoop(const std::function<void()> &action);

    static constexpr int kNotQuit = 77;
    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TRecordingOpener> FOpener;
    std::unique_ptr<TModalAnswers> FModals;
    std::unique_ptr<TKartogravWindows> FWindows;
};

void TKartogravLauncherTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    QApplication::setQuitOnLastWindowClosed(false);
}

void TKartogravLauncherTest::init()
{
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FOpener = std::make_unique<TRecordingOpener>();
    FModals = std::make_unique<TModalAnswers>();
    FWindows = std::make_unique<TKartogravWindows>();
    FWindows->Launcher().show();
    QVERIFY(QTest::qWaitForWindowExposed(&FWindows->Launcher()));
}

void TKartogravLauncherTest::cleanup()
{
    QVERIFY2(FModals->Unexpected.isEmpty(), qPrintable(FModals->Unexpected.join(", ")));
    FWindows.reset();
    FModals.reset();
    FOpener.reset();
    FBoxes.reset();
}

int TKartogravLauncherTest::RunLoop(const std::function<void()> &action)
{
    QTimer::singleShot(0, action);
    QTimer::singleShot(1500, [] { QCoreApplication::exit(kNotQuit); });
    return QCoreApplication::exec();
}

void TKartogravLauncherTest::ButtonsAsTheProgramShowsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addRow("digitiser") << "BMakeVectorChart"
                               << "&Make vector chart"
                               << "Create Vector Chart";
    QTest::addRow("importer") << "BImportChartImage"
                              << "Import chart &Image"
                              << "Import Chart Image";
    QTest::addRow("legal notice") << "BDisclaimer"
                                  << "Im&portant information"
                                  << "Legal stuff";
    QTest::addRow("close") << "BCloseVrn"
                           << "&Close"
                           << "Close program";
    QTest::addRow("help") << "BHelp"
                          << "&Help"
                          << "";
}

void TKartogravLauncherTest::ButtonsAsTheProgramShowsThem()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    auto &launcher = FWindows->Launcher();
    QCOMPARE(launcher.windowTitle(), QStringLiteral("Kartograv"));
    QCOMPARE(launcher.findChild<QLabel *>(QStringLiteral("LVersion"))->text(),
        QStringLiteral("Version 4.0"));
    QCOMPARE(launcher.findChild<QLabel *>(QStringLiteral("LWebSite"))->toolTip(),
        QStringLiteral("Click to visit Varunel website"));
    auto *b = launcher.findChild<QPushButton *>(name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->toolTip(), hint);
    QVERIFY(b->isEnabled());
    // Only the launcher is shown at start.
    QVERIFY(!FWindows->Digitiser().isVisible());
    QVERIFY(!FWindows->Importer().isVisible());
}

void TKartogravLauncherTest::ToolButtonsShowTheirWindows()
{
    auto &launcher = FWindows->Launcher();
    QTest::mouseClick(
        launcher.findChild<QPushButton *>(QStringLiteral("BMakeVectorChart")), Qt::LeftButton);
    QVERIFY(FWindows->Digitiser().isVisible());
    QCOMPARE(FWindows->Digitiser().windowTitle(), QStringLiteral("Kartograv - Make Vector Chart "));
    FWindows->Digitiser().showMinimized();
    QTest::mouseClick(
        launcher.findChild<QPushButton *>(QStringLiteral("BMakeVectorChart")), Qt::LeftButton);
    QVERIFY(!FWindows->Digitiser().isMinimized());
    QTest::mouseClick(
        launcher.findChild<QPushButton *>(QStringLiteral("BImportChartImage")), Qt::LeftButton);
    QVERIFY(FWindows->Importer().isVisible());
    QCOMPARE(FWindows->Importer().windowTitle(), QStringLiteral("Kartograv - Import Vector Chart"));
    // Closing a tool hides it; the launcher shows it again as it was left.
    FWindows->Importer().findChild<QAction *>(QStringLiteral("Close1"))->trigger();
    QVERIFY(!FWindows->Importer().isVisible());
    QTest::mouseClick(
        launcher.findChild<QPushButton *>(QStringLiteral("BImportChartImage")), Qt::LeftButton);
    QVERIFY(FWindows->Importer().isVisible());
}

void TKartogravLauncherTest::LegalNoticeAndAboutBoxAreModal()
{
    QString legal;
    FModals->Expect(QStringLiteral("FormVrnDisclaimer"), [&](QDialog &d) {
        legal = d.windowTitle();
        d.accept();
    });
    QTest::mouseClick(FWindows->Launcher().findChild<QPushButton *>(QStringLiteral("BDisclaimer")),
        Qt::LeftButton);
    QVERIFY(FModals->AllAnswered());
    QVERIFY(!legal.isEmpty());
    // The digitiser's "About..": the about box, modal, closed by OK.
    QString version, warning;
    FModals->Expect(QStringLiteral("AboutBox"), [&](QDialog &d) {
        version = d.findChild<QLabel *>(QStringLiteral("Version"))->text();
        warning = TAboutBox::WarningText();
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    FWindows->Digitiser().show();
    FWindows->Digitiser().findChild<QAction *>(QStringLiteral("About1"))->trigger();
    QVERIFY(FModals->AllAnswered());
    QCOMPARE(version, QStringLiteral("v 2.3"));
    QVERIFY(warning.contains(QStringLiteral("NOT FOR NAVIGATION")));
    QCOMPARE(FWindows->AboutBox().windowTitle(), QStringLiteral("About"));
}

void TKartogravLauncherTest::HelpAndWebSiteGoThroughTheDocumentSeam()
{
    QTest::mouseClick(
        FWindows->Launcher().findChild<QPushButton *>(QStringLiteral("BHelp")), Qt::LeftButton);
    QCOMPARE(FOpener->Opened.size(), 1);
    QVERIFY(FOpener->Opened[0].toLocalFile().endsWith(QStringLiteral("VrnHelp.htm")));
    auto *link = FWindows->Launcher().findChild<QLabel *>(QStringLiteral("LWebSite"));
    emit link->linkActivated(QStringLiteral("https://pelvarq.org/varunel/"));
    QCOMPARE(FOpener->Opened.size(), 2);
    QCOMPARE(FOpener->Opened[1].scheme(), QStringLiteral("https"));
}

void TKartogravLauncherTest::UnsavedPolygonsAskBeforeTheEnd()
{
    // A polygon point digitised and not written.
    QTemporaryDir dir;
    testing::TGeoPicture p;
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    WritePictureFile(file.toStdString(), p.Draw());
    TTestFileDialogs files;
    files.Answers << file;
    auto &digitiser = FWindows->Digitiser();
    digitiser.show();
    digitiser.findChild<QAction *>(QStringLiteral("LoadImage1"))->trigger();
    auto *view = digitiser.findChild<TPictureView *>();
    const double ref[3][4] = {{100, 100, 49.5, 4.5}, {500, 100, 49.5, 2.5}, {100, 400, 48, 4.5}};
    for (const auto &r : ref) {
        FModals->Expect(QStringLiteral("FormEditaPosicao"), testing::EnterPosition(r[2], r[3]));
        testing::ClickPicture(view, int(r[0]), int(r[1]));
    }
    testing::ClickPicture(view, 300, 300);
    QVERIFY(digitiser.HasUnsavedPolygons());
    FBoxes->Answers << QMessageBox::No;
    QCOMPARE(RunLoop([this] {
        QTest::mouseClick(
            FWindows->Launcher().findChild<QPushButton *>(QStringLiteral("BCloseVrn")),
            Qt::LeftButton);
    }),
        kNotQuit);
    QCOMPARE(FBoxes->Texts().last(), QStringLiteral("Exit?"));
    QVERIFY(FWindows->Launcher().isVisible());
    FBoxes->Answers << QMessageBox::Yes;
    const int rc = RunLoop([this] { FWindows->Launcher().close(); });
    QVERIFY2(rc == 0, qPrintable(FBoxes->Texts().join("|")));
}

void TKartogravLauncherTest::CloseWithoutWorkEnds()
{
    QCOMPARE(RunLoop([this] {
        QTest::mouseClick(
            FWindows->Launcher().findChild<QPushButton *>(QStringLiteral("BCloseVrn")),
            Qt::LeftButton);
    }),
        0);
    QCOMPARE(FBoxes->Shown.size(), 0);
}

void TKartogravLauncherTest::NoTwoControlsShareAMnemonic()
{
    const QList<QWidget *> windows = {&FWindows->Launcher(), &FWindows->Digitiser(),
        &FWindows->Importer(), &FWindows->AboutBox()};
    const QRegularExpression mnemonic(QStringLiteral("&([^&])"));
    for (QWidget *w : windows) {
        QStringList keys;
        QStringList texts;
        for (auto *b : w->findChildren<QAbstractButton *>())
            texts << b->text();
        for (auto *l : w->findChildren<QLabel *>())
            if (l->buddy())
                texts << l->text();
        if (auto *mw = qobject_cast<QMainWindow *>(w))
            for (QAction *a : mw->menuBar()->actions())
                texts << a->text();
        for (const QString &t : texts) {
            const auto m = mnemonic.match(t);
            if (!m.hasMatch())
                continue;
            const QString key = m.captured(1).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(w->objectName() + ": " + t));
            keys << key;
        }
    }
}

void TKartogravLauncherTest::Screenshot()
{
    auto &launcher = FWindows->Launcher();
    const QImage shot = launcher.grab().toImage();
    // The picture is painted: its coastline's land is sand coloured, not the background.
    auto *picture = launcher.findChild<QLabel *>(QStringLiteral("Image1"));
    const QPoint land =
        picture->mapTo(&launcher, QPoint(picture->width() / 2, picture->height() - 8));
    const QColor c = shot.pixelColor(land);
    QVERIFY2(c.red() > c.blue() + 60, qPrintable(c.name()));
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        QVERIFY(shot.save(folder + QStringLiteral("/kartograv-launcher.png")));
}

void TKartogravLauncherTest::StartupFormats_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("date");
    QTest::addRow("day first") << "d.M.yy"
                               << "04.03.2026";
    QTest::addRow("month first") << "M/d/yy"
                                 << "03/04/2026";
}

void TKartogravLauncherTest::StartupFormats()
{
    QFETCH(QString, pattern);
    QFETCH(QString, date);
    const TDateFormat saved = ShortDateFormat();
    ApplyKartogravFormats(pattern);
    const std::string text = FormatDateText(EncodeDate(2026, 3, 4), ShortDateFormat());
    SetShortDateFormat(saved);
    QCOMPARE(QString::fromStdString(text), date);
}

} // namespace vrn

QTEST_MAIN(vrn::TKartogravLauncherTest)
#include "LauncherTest.moc"
