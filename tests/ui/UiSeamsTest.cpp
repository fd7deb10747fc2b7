#include "engine/VrnError.h"
#include "ui/Clock.h"
#include "ui/DataFolder.h"
#include "ui/DocumentOpener.h"
#include "ui/FileDialogs.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>
#include <memory>
#include <stdexcept>

namespace vrn {

class TUiSeamsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void MessageBoxesAnswerFromTheQueue_data();
    void MessageBoxesAnswerFromTheQueue();
    void RunCommandShowsTheErrorAndGoesOn_data();
    void RunCommandShowsTheErrorAndGoesOn();
    void MessageBoxHasRoomForItsTitle();
    void FileDialogsTakeTheNamesGiven();
    void ClockIsFixedInTests();
    void HelpFileGoesToTheOpener_data();
    void HelpFileGoesToTheOpener();

    void SettingsGoToTheTestFolder();
    void SettingsRoundTrip();
    void SettingsRefuseHostileValues_data();
    void SettingsRefuseHostileValues();
    void GeometryRoundTripAndDamagedBlob();

    void DataFolderFromEnvironmentIsCreated();
    void DataFolderDefaultsToTheUserDataLocation();
    void DataFolderThatCannotBeMadeFails();

private:
    std::unique_ptr<TTestSettingsFolder> FFolder;
};

void TUiSeamsTest::initTestCase()
{
    // Before any QSettings object exists.
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
}

enum class TBoxCall
{
    Show,
    Error,
    AskYesNo
};

void TUiSeamsTest::MessageBoxesAnswerFromTheQueue_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("unanswered");

    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    // A notice needs no queued answer; a question with none is counted, and counts as No.
    QTest::addRow("notice acknowledged")
        << int(TBoxCall::Show) << QList<int> {} << int(QMessageBox::Information)
        << int(QMessageBox::Ok) << false << 0;
    QTest::addRow("error acknowledged")
        << int(TBoxCall::Error) << QList<int> {} << int(QMessageBox::Critical)
        << int(QMessageBox::Ok) << false << 0;
    QTest::addRow("question answered yes")
        << int(TBoxCall::AskYesNo) << QList<int> {QMessageBox::Yes} << int(QMessageBox::Question)
        << yesNo << true << 0;
    QTest::addRow("question answered no") << int(TBoxCall::AskYesNo) << QList<int> {QMessageBox::No}
                                          << int(QMessageBox::Question) << yesNo << false << 0;
    QTest::addRow("question closed")
        << int(TBoxCall::AskYesNo) << QList<int> {QMessageBox::NoButton}
        << int(QMessageBox::Question) << yesNo << false << 0;
    QTest::addRow("question not expected") << int(TBoxCall::AskYesNo) << QList<int> {}
                                           << int(QMessageBox::Question) << yesNo << false << 1;
}

void TUiSeamsTest::MessageBoxesAnswerFromTheQueue()
{
    QFETCH(int, call);
    QFETCH(QList<int>, answers);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(bool, yes);
    QFETCH(int, unanswered);

    TTestMessageBoxes boxes;
    for (int a : answers) {
        boxes.Answers << static_cast<QMessageBox::StandardButton>(a);
    }
    const QString text = QStringLiteral("Delete ALL LOPs?");
    bool answeredYes = false;
    switch (static_cast<TBoxCall>(call)) {
    case TBoxCall::Show:
        ShowMessage(nullptr, text);
        break;
    case TBoxCall::Error:
        ShowError(nullptr, text);
        break;
    case TBoxCall::AskYesNo:
        answeredYes = AskYesNo(nullptr, text);
        break;
    }
    QCOMPARE(boxes.Texts(), QStringList {text});
    QCOMPARE(int(boxes.Shown.constFirst().Icon), icon);
    QCOMPARE(int(boxes.Shown.constFirst().Buttons), buttons);
    QCOMPARE(answeredYes, yes);
    QCOMPARE(boxes.Unanswered, unanswered);
    QVERIFY(boxes.Answers.isEmpty());
}

void TUiSeamsTest::RunCommandShowsTheErrorAndGoesOn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("shown");

    QTest::addRow("success") << 0 << true << QStringList {};
    QTest::addRow("system error") << 1 << false
                                  << QStringList {QStringLiteral("No crossing Found")};
    QTest::addRow("library error") << 2 << false << QStringList {QStringLiteral("vector")};
    QTest::addRow("anything else")
        << 3 << false << QStringList {QStringLiteral("Unexpected error")};
}

void TUiSeamsTest::RunCommandShowsTheErrorAndGoesOn()
{
    QFETCH(int, kind);
    QFETCH(bool, ok);
    QFETCH(QStringList, shown);

    TTestMessageBoxes boxes;
    int ran = 0;
    const bool result = RunCommand(nullptr, [&] {
        ++ran;
        switch (kind) {
        case 1:
            throw EVrnError("No crossing Found");
        case 2:
            throw std::length_error("vector");
        case 3:
            throw 42;
        default:
            break;
        }
    });
    QCOMPARE(ran, 1);
    QCOMPARE(result, ok);
    QCOMPARE(boxes.Texts(), shown);
}

void TUiSeamsTest::MessageBoxHasRoomForItsTitle()
{
    // A two-word message under a long program name: the box is as wide as the title bar needs
    // for the title beside the window manager's buttons (at least 100 pixels of them).
    const QString saved = QApplication::applicationName();
    QApplication::setApplicationName(QStringLiteral("Varunel celestial navigation and charts"));
    const auto box = MakeMessageBox(nullptr,
        {QStringLiteral("No LOPs"), QMessageBox::Information, QMessageBox::Ok,
            QMessageBox::NoButton});
    QApplication::setApplicationName(saved);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QFont bold = QApplication::font();
    bold.setBold(true);
    QCOMPARE(box->windowTitle(), QStringLiteral("Varunel celestial navigation and charts"));
    QVERIFY2(box->width() >= QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100,
        qPrintable(QString::number(box->width())));
}

void TUiSeamsTest::FileDialogsTakeTheNamesGiven()
{
    TTestFileDialogs dialogs;
    dialogs.Answers << QStringLiteral("/tmp/fix.vll") << QString();

    QCOMPARE(GetSaveFileName(nullptr, QStringLiteral("Save LOPs"), QStringLiteral("/tmp"),
                 QStringLiteral("LOP lists (*.vll *.VLL)"), QStringLiteral("vll")),
        QStringLiteral("/tmp/fix.vll"));
    QVERIFY(GetOpenFileName(nullptr, QStringLiteral("Open LOPs"), QString(), QString()).isEmpty());
    // An empty queue cancels, and the test can tell that a dialog was not expected.
    QVERIFY(GetOpenFileName(nullptr, QStringLiteral("Open chart"), QString(), QString()).isEmpty());
    QCOMPARE(dialogs.Unanswered, 1);

    QCOMPARE(dialogs.Requests.size(), 3);
    QVERIFY(dialogs.Requests[0].Save);
    QCOMPARE(dialogs.Requests[0].Caption, QStringLiteral("Save LOPs"));
    QCOMPARE(dialogs.Requests[0].Filter, QStringLiteral("LOP lists (*.vll *.VLL)"));
    QCOMPARE(dialogs.Requests[0].DefaultSuffix, QStringLiteral("vll"));
    QVERIFY(!dialogs.Requests[1].Save);
    QCOMPARE(dialogs.Requests[2].Caption, QStringLiteral("Open chart"));
}

void TUiSeamsTest::ClockIsFixedInTests()
{
    // 2024-03-20 03:06 UTC (the March equinox), given as 10:06 local at UTC+7.
    const QDateTime local(QDate(2024, 3, 20), QTime(10, 6), Qt::OffsetFromUTC, 7 * 3600);
    {
        TFixedClock clock(local);
        QCOMPARE(UtcNow(), QDateTime(QDate(2024, 3, 20), QTime(3, 6), Qt::UTC));
        QCOMPARE(LocalNow().toUTC(), UtcNow());
        QCOMPARE(LocalNow().timeSpec(), Qt::LocalTime);
    }
    // Removed again: the computer clock is back (within a minute of now).
    QVERIFY(qAbs(UtcNow().secsTo(QDateTime::currentDateTimeUtc())) < 60);
}

void TUiSeamsTest::HelpFileGoesToTheOpener_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("viewerStarts");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QString>("message");

    QTest::addRow("found and opened") << true << true << 1 << QString();
    QTest::addRow("missing") << false << true << 0
                             << QStringLiteral("Help file VrnHelp.htm not found.");
    // Without a browser the file shows in the program's own help window, without a message.
    QTest::addRow("no viewer") << true << false << 1 << QString();
}

void TUiSeamsTest::HelpFileGoesToTheOpener()
{
    QFETCH(bool, present);
    QFETCH(bool, viewerStarts);
    QFETCH(int, opened);
    QFETCH(QString, message);

    QTemporaryDir empty;
    QTemporaryDir withHelp;
    QFile help(withHelp.filePath(QStringLiteral("VrnHelp.htm")));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("<html><head><title>Help</title></head><body><p>Sextant altitude</p></body></html>");
    help.close();
    // A folder named like the file must not be taken for it.
    QVERIFY(QDir(empty.path()).mkdir(QStringLiteral("VrnHelp.htm")));

    TTestMessageBoxes boxes;
    TRecordingOpener opener;
    opener.Succeed = viewerStarts;
    QStringList folders {empty.path()};
    if (present) {
        folders << withHelp.path();
    }
    OpenHelpFile(nullptr, folders);

    QCOMPARE(opener.Opened.size(), opened);
    if (opened) {
        QCOMPARE(
            opener.Opened.constFirst(), QUrl::fromLocalFile(QFileInfo(help).canonicalFilePath()));
    }
    if (message.isEmpty()) {
        QVERIFY(boxes.Shown.isEmpty());
    } else {
        QCOMPARE(boxes.Shown.size(), 1);
        QVERIFY2(boxes.Shown.constFirst().Text.startsWith(message),
            qPrintable(boxes.Shown.constFirst().Text));
    }
    // The program's own help window, only when the file is there and no browser started.
    QPointer<QWidget> window;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("FormHelp") && w->isVisible())
            window = w;
    }
    QCOMPARE(window != nullptr, present && !viewerStarts);
    if (window) {
        auto *browser = window->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Sextant altitude")));
        QTest::mouseClick(
            window->findChild<QPushButton *>(QStringLiteral("BClose")), Qt::LeftButton);
        QTRY_VERIFY(!window || !window->isVisible());
    }
}

void TUiSeamsTest::SettingsGoToTheTestFolder()
{
    TFormSettings settings(QStringLiteral("FormBoatMovement"));
    QVERIFY2(
        settings.FileName().startsWith(FFolder->SettingsPath()), qPrintable(settings.FileName()));
    TFormSettings legs(QStringLiteral("Pelvarq"), QStringLiteral("VrnCalculator"),
        QStringLiteral("FormVrnCalculator"));
    QVERIFY2(legs.FileName().startsWith(FFolder->SettingsPath()), qPrintable(legs.FileName()));
}

void TUiSeamsTest::SettingsRoundTrip()
{
    {
        TFormSettings settings(QStringLiteral("FormBoatMovement"));
        settings.WriteInt(QStringLiteral("EdBoatCourse"), QStringLiteral("Value"), 245);
        settings.WriteDouble(QStringLiteral("EdBoatSpeed"), QStringLiteral("Value"), 0.1);
        settings.WriteDouble(QStringLiteral("EdLon"), QStringLiteral("Position"), -179.99999999999);
        settings.WriteBool(QStringLiteral("CBCoriolis"), QStringLiteral("Checked"), true);
        settings.WriteString(
            QStringLiteral("EdName"), QStringLiteral("Text"), QStringLiteral("Açores ; 1"));
        QVERIFY(settings.Flush());
    }
    // The key layout other programs and older versions see: company, product, version, window,
    // then control.property.
    QSettings raw(QSettings::UserScope, QStringLiteral("Pelvarq"), QStringLiteral("Varunel"));
    QCOMPARE(
        raw.value(QStringLiteral("CurrentVersion/FormBoatMovement/EdBoatCourse.Value")).toString(),
        QStringLiteral("245"));

    TFormSettings settings(QStringLiteral("FormBoatMovement"));
    QCOMPARE(settings.ReadInt(QStringLiteral("EdBoatCourse"), QStringLiteral("Value"), -1), 245);
    QCOMPARE(settings.ReadDouble(QStringLiteral("EdBoatSpeed"), QStringLiteral("Value"), -1), 0.1);
    QCOMPARE(settings.ReadDouble(QStringLiteral("EdLon"), QStringLiteral("Position"), 0),
        -179.99999999999);
    QCOMPARE(
        settings.ReadBool(QStringLiteral("CBCoriolis"), QStringLiteral("Checked"), false), true);
    QCOMPARE(settings.ReadString(QStringLiteral("EdName"), QStringLiteral("Text"), QString()),
        QStringLiteral("Açores ; 1"));
    // Another window's group is separate.
    TFormSettings other(QStringLiteral("FormVrn32"));
    QVERIFY(!other.Contains(QStringLiteral("EdBoatCourse"), QStringLiteral("Value")));
    QCOMPARE(other.ReadInt(QStringLiteral("EdBoatCourse"), QStringLiteral("Value"), 7), 7);
}

void TUiSeamsTest::SettingsRefuseHostileValues_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("asDouble");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<bool>("asBool");

    // Fallbacks: 99.5, 99 and true.
    QTest::addRow("number with blanks") << QStringLiteral("  12.5 ") << 12.5 << 99 << true;
    QTest::addRow("integer") << QStringLiteral("-7") << -7.0 << -7 << true;
    QTest::addRow("empty") << QString() << 99.5 << 99 << true;
    QTest::addRow("letters") << QStringLiteral("abc") << 99.5 << 99 << true;
    QTest::addRow("trailing junk") << QStringLiteral("12abc") << 99.5 << 99 << true;
    QTest::addRow("comma decimal") << QStringLiteral("12,5") << 99.5 << 99 << true;
    QTest::addRow("nan") << QStringLiteral("nan") << 99.5 << 99 << true;
    QTest::addRow("infinity") << QStringLiteral("1e400") << 99.5 << 99 << true;
    QTest::addRow("beyond int") << QStringLiteral("99999999999") << 99999999999.0 << 99 << true;
    QTest::addRow("false") << QStringLiteral("false") << 99.5 << 99 << false;
    QTest::addRow("zero") << QStringLiteral("0") << 0.0 << 0 << false;
}

void TUiSeamsTest::SettingsRefuseHostileValues()
{
    QFETCH(QString, stored);
    QFETCH(double, asDouble);
    QFETCH(int, asInt);
    QFETCH(bool, asBool);

    {
        QSettings raw(QSettings::UserScope, QStringLiteral("Pelvarq"), QStringLiteral("Varunel"));
        raw.setValue(QStringLiteral("CurrentVersion/FormHostile/Ed.Value"), stored);
    }
    TFormSettings settings(QStringLiteral("FormHostile"));
    QCOMPARE(settings.ReadDouble(QStringLiteral("Ed"), QStringLiteral("Value"), 99.5), asDouble);
    QCOMPARE(settings.ReadInt(QStringLiteral("Ed"), QStringLiteral("Value"), 99), asInt);
    QCOMPARE(settings.ReadBool(QStringLiteral("Ed"), QStringLiteral("Value"), true), asBool);
}

void TUiSeamsTest::GeometryRoundTripAndDamagedBlob()
{
    QWidget window;
    window.setGeometry(120, 140, 320, 210);
    {
        TFormSettings settings(QStringLiteral("FormGeometry"));
        settings.SaveGeometry(window);
        QVERIFY(settings.Flush());
    }
    QWidget restored;
    TFormSettings settings(QStringLiteral("FormGeometry"));
    QVERIFY(settings.RestoreGeometry(restored));
    QCOMPARE(restored.size(), QSize(320, 210));

    QSettings raw(QSettings::UserScope, QStringLiteral("Pelvarq"), QStringLiteral("Varunel"));
    raw.setValue(QStringLiteral("CurrentVersion/FormDamaged/Geometry"),
        QByteArray("\x01\xd9\xd0\xcb garbage"));
    raw.sync();
    QWidget damaged;
    damaged.resize(200, 100);
    QVERIFY(!TFormSettings(QStringLiteral("FormDamaged")).RestoreGeometry(damaged));
    QCOMPARE(damaged.size(), QSize(200, 100));
    QVERIFY(!TFormSettings(QStringLiteral("FormNeverSaved")).RestoreGeometry(damaged));
}

void TUiSeamsTest::DataFolderFromEnvironmentIsCreated()
{
    QVERIFY(
        !QFileInfo::exists(FFolder->DataPath()) || QDir(FFolder->DataPath()).removeRecursively());
    QCOMPARE(DataFolder(), QDir::cleanPath(FFolder->DataPath()));
    QVERIFY(QFileInfo(FFolder->DataPath()).isDir());
    QCOMPARE(DataFilePath(QStringLiteral("LOPS.LST")),
        FFolder->DataPath() + QStringLiteral("/LOPS.LST"));
}

void TUiSeamsTest::DataFolderDefaultsToTheUserDataLocation()
{
    const QByteArray dataDir = qgetenv("VRN_DATA_DIR");
    const QByteArray home = qgetenv("HOME");
    qunsetenv("VRN_DATA_DIR");
    // Test mode keeps GenericDataLocation inside Qt's test area under the home folder; a home of
    // our own keeps even that out of the user's.
    qputenv("HOME", (FFolder->Path() + QStringLiteral("/home")).toLocal8Bit());
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Pelvarq/Varunel");
    const QString folder = DataFolder();
    qputenv("VRN_DATA_DIR", dataDir);
    qputenv("HOME", home);
    QVERIFY2(expected.startsWith(FFolder->Path()), qPrintable(expected));
    QCOMPARE(folder, QDir::cleanPath(expected));
    QVERIFY(QFileInfo(folder).isDir());
}

void TUiSeamsTest::DataFolderThatCannotBeMadeFails()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray dataDir = qgetenv("VRN_DATA_DIR");
    qputenv("VRN_DATA_DIR", (blocker + QStringLiteral("/data")).toLocal8Bit());
    QString message;
    try {
        DataFolder();
    } catch (const EVrnError &e) {
        message = QString::fromStdString(e.what());
    }
    qputenv("VRN_DATA_DIR", dataDir);
    QCOMPARE(message,
        QStringLiteral("Cannot create the data folder ") + blocker + QStringLiteral("/data"));
}

} // namespace vrn

QTEST_MAIN(vrn::TUiSeamsTest)
#include "UiSeamsTest.moc"
