#include "celestial/DlgShowOnceMsg.h"
#include "celestial/ShowOnceList.h"
#include "celestial/SystemTimeZone.h"
#include "engine/VrnError.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>

namespace vrn {
namespace {

const QString kHeader = QStringLiteral("Varunel Light \"Dont show again\" messages");

std::filesystem::path PathOf(const QString &file)
{
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

QByteArray ReadBytes(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool WriteBytes(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList LinesOf(const TShowOnceList &list)
{
    QStringList lines;
    for (const auto &line : list.Lines())
        lines << QString::fromStdString(line);
    return lines;
}

} // namespace

class TShowOnceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ListFromFileContents_data();
    void ListFromFileContents();
    void ListMatchesExactText_data();
    void ListMatchesExactText();
    void ListLoadsOnlyAGoodFile_data();
    void ListLoadsOnlyAGoodFile();
    void ListWritesOneLinePerMessage();
    void ListWritesOnlyWhenChanged();
    void FailedWriteKeepsTheList();

    void BoxAsTheTable();
    void SuppressedStaysSuppressedAfterRestart();
    void UntickedShowsAgainAndWritesNothing();
    void CorruptFileReadsAsEmpty_data();
    void CorruptFileReadsAsEmpty();
    void FileThatCannotBeWrittenIsReported();

    void TimeZoneWarning_data();
    void TimeZoneWarning();
    void TimeZoneWarningSuppressedAfterRestart();
    void TimeZoneHoursWest_data();
    void TimeZoneHoursWest();
    void SystemTimeZoneFollowsTheClock_data();
    void SystemTimeZoneFollowsTheClock();

private:
    QString DontShowPath() const { return FFolder->DataPath() + QStringLiteral("/DontShow.msg"); }

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    QStringList FShown; // texts the show-once box was asked to show
    QList<bool> FTicks; // answers, in order; unticked when none is left
};

void TShowOnceTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
}

void TShowOnceTest::init()
{
    QDir(FFolder->DataPath()).removeRecursively();
    QVERIFY(QDir().mkpath(FFolder->DataPath()));
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FShown.clear();
    FTicks.clear();
    SetShowOnceResponder([this](QWidget *, const QString &text) {
        FShown << text;
        return !FTicks.isEmpty() && FTicks.takeFirst();
    });
}

void TShowOnceTest::cleanup()
{
    CloseShowOnceMessages();
    SetShowOnceResponder({});
    FBoxes.reset();
}

void TShowOnceTest::ListFromFileContents_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::addRow("empty file") << QByteArray() << QStringList({kHeader});
    QTest::addRow("CR LF") << QByteArray("head\r\nfirst\r\nsecond\r\n")
                           << QStringList({"head", "first", "second"});
    QTest::addRow("LF") << QByteArray("head\nfirst\n") << QStringList({"head", "first"});
    QTest::addRow("last line unended")
        << QByteArray("head\r\nlast") << QStringList({"head", "last"});
    // 0xE9 is "é" in Windows-1252.
    QTest::addRow("code page") << QByteArray("head\r\n\xE9t\xE9\r\n")
                               << QStringList({"head", "été"});
    QTest::addRow("binary") << QByteArray("head\r\n\0\0\x01x", 10) << QStringList({kHeader});
}

void TShowOnceTest::ListFromFileContents()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    const TShowOnceList list =
        TShowOnceList::FromFileContents(std::string_view(bytes.constData(), size_t(bytes.size())));
    QCOMPARE(LinesOf(list), lines);
    QVERIFY(!list.Changed());
}

void TShowOnceTest::ListMatchesExactText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("contained");

    // The list holds "Calculation will proceed." and "été ★ line one line two".
    QTest::addRow("same text") << "Calculation will proceed." << true;
    QTest::addRow("other case") << "calculation will proceed." << false;
    QTest::addRow("trailing blank") << "Calculation will proceed. " << false;
    QTest::addRow("part of it") << "Calculation" << false;
    QTest::addRow("line breaks read as blanks") << "été ★ line one\r\nline two" << true;
    QTest::addRow("LF alone too") << "été ★ line one\nline two" << true;
    QTest::addRow("the header is no message") << "" << false;
}

void TShowOnceTest::ListMatchesExactText()
{
    QFETCH(QString, message);
    QFETCH(bool, contained);

    TShowOnceList list;
    list.Add("Calculation will proceed.");
    list.Add("été ★ line one\r\nline two");
    QCOMPARE(list.Contains(message.toStdString()), contained);
}

void TShowOnceTest::ListLoadsOnlyAGoodFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("lines");

    QTest::addRow("missing") << "missing" << QStringList({kHeader});
    QTest::addRow("a folder") << "folder" << QStringList({kHeader});
    QTest::addRow("over 1 MiB") << "huge" << QStringList({kHeader});
    QTest::addRow("good") << "good" << QStringList({kHeader, "Hello"});
}

void TShowOnceTest::ListLoadsOnlyAGoodFile()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, lines);

    const QString file = DontShowPath();
    if (kind == "folder")
        QVERIFY(QDir().mkpath(file));
    else if (kind == "huge")
        QVERIFY(WriteBytes(file, QByteArray("Hello\r\n").repeated(200000)));
    else if (kind == "good")
        QVERIFY(WriteBytes(file, kHeader.toLatin1() + "\r\nHello\r\n"));
    QCOMPARE(LinesOf(TShowOnceList::Load(PathOf(file))), lines);
}

void TShowOnceTest::ListWritesOneLinePerMessage()
{
    TShowOnceList list;
    list.Add("Line one\r\nline two é ★");
    list.SaveIfChanged(PathOf(DontShowPath()));

    // Windows-1252 with CR LF; "★" has no place in the code page and is written "?".
    QCOMPARE(ReadBytes(DontShowPath()),
        QByteArray("Varunel Light \"Dont show again\" messages\r\nLine one line two \xE9 ?\r\n"));
    QVERIFY(!list.Changed());
    const TShowOnceList reread = TShowOnceList::Load(PathOf(DontShowPath()));
    QVERIFY(reread.Contains("Line one\r\nline two é ★"));
    QVERIFY(!QFile::exists(DontShowPath() + QStringLiteral(".tmp")));
}

void TShowOnceTest::ListWritesOnlyWhenChanged()
{
    TShowOnceList list;
    list.SaveIfChanged(PathOf(DontShowPath()));
    QVERIFY(!QFile::exists(DontShowPath()));

    list.Add("Hello");
    list.SaveIfChanged(PathOf(DontShowPath()));
    QVERIFY(QFile::exists(DontShowPath()));
    QVERIFY(QFile::remove(DontShowPath()));

    list.Add("Hello"); // already there: nothing changed
    QVERIFY(!list.Changed());
    list.SaveIfChanged(PathOf(DontShowPath()));
    QVERIFY(!QFile::exists(DontShowPath()));
}

void TShowOnceTest::FailedWriteKeepsTheList()
{
    QVERIFY(QDir().mkpath(DontShowPath()));
    TShowOnceList list;
    list.Add("Hello");
    QString raised;
    try {
        list.SaveIfChanged(PathOf(DontShowPath()));
    } catch (const EVrnError &e) {
        raised = QString::fromStdString(e.what());
    }
    QCOMPARE(raised, QStringLiteral("Cannot write file ") + DontShowPath());
    QVERIFY(list.Changed());
    QVERIFY(QFileInfo(DontShowPath()).isDir());
    QVERIFY(!QFile::exists(DontShowPath() + QStringLiteral(".tmp")));
}

void TShowOnceTest::BoxAsTheTable()
{
    SetShowOnceResponder({});
    const QString text = QString::fromUtf8(kTimeZoneWarning);
    QString title, shownText, checkText, closeText;
    bool startedUnticked = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<TFormShowMsgOnce *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        shownText = box->findChild<QLabel *>(QStringLiteral("LMessage"))->text();
        auto *check = box->findChild<QCheckBox *>(QStringLiteral("CBDontShowAgain"));
        checkText = check->text();
        startedUnticked = !check->isChecked();
        auto *close = box->findChild<QPushButton *>(QStringLiteral("BClose"));
        closeText = close->text();
        QTest::mouseClick(check, Qt::LeftButton);
        QTest::mouseClick(close, Qt::LeftButton);
    });
    ShowMessageOnce(text);

    QCOMPARE(title, QStringLiteral("Varunel"));
    QCOMPARE(shownText, text);
    QCOMPARE(checkText, QStringLiteral("Don' t show this message again"));
    QVERIFY(startedUnticked);
    QCOMPARE(closeText, QStringLiteral("&Close"));
    QVERIFY(ShowOnceMessages().Contains(text.toStdString()));
}

void TShowOnceTest::SuppressedStaysSuppressedAfterRestart()
{
    FTicks = {true};
    ShowMessageOnce(QStringLiteral("Hello"));
    ShowMessageOnce(QStringLiteral("Hello"));
    QCOMPARE(FShown, QStringList({"Hello"}));
    // Written at exit, not before.
    QVERIFY(!QFile::exists(DontShowPath()));

    CloseShowOnceMessages();
    QCOMPARE(ReadBytes(DontShowPath()), kHeader.toLatin1() + "\r\nHello\r\n");

    ShowMessageOnce(QStringLiteral("Hello"));
    QCOMPARE(FShown, QStringList({"Hello"}));
    ShowMessageOnce(QStringLiteral("Hello again"));
    QCOMPARE(FShown, QStringList({"Hello", "Hello again"}));
}

void TShowOnceTest::UntickedShowsAgainAndWritesNothing()
{
    ShowMessageOnce(QStringLiteral("Hello"));
    ShowMessageOnce(QStringLiteral("Hello"));
    QCOMPARE(FShown, QStringList({"Hello", "Hello"}));
    QVERIFY(SaveShowOnceMessages());
    CloseShowOnceMessages();
    QVERIFY(!QFile::exists(DontShowPath()));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TShowOnceTest::CorruptFileReadsAsEmpty_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("replaced"); // written back as a fresh list

    QTest::addRow("binary") << QByteArray("\x7f"
                                          "ELF\x02\x01\x01\0\0\0\0Hello\r\n",
        18) << true;
    QTest::addRow("over 1 MiB") << QByteArray("Hello\r\n").repeated(200000) << true;
    // Text, however odd, is a list of lines that do not match.
    QTest::addRow("one endless line") << QByteArray(300000, 'H') << false;
    QTest::addRow("bytes of no code page")
        << QByteArray("\x81\x8D\x8F\x90\x9D\xFF\xFE\r\n\r\r\r") << false;
}

void TShowOnceTest::CorruptFileReadsAsEmpty()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, replaced);

    QVERIFY(WriteBytes(DontShowPath(), bytes));
    FTicks = {true};
    ShowMessageOnce(QStringLiteral("Hello"));
    QCOMPARE(FShown, QStringList({"Hello"}));
    ShowMessageOnce(QStringLiteral("Hello"));
    QCOMPARE(FShown.size(), 1);

    CloseShowOnceMessages();
    const QByteArray written = ReadBytes(DontShowPath());
    if (replaced)
        QCOMPARE(written, kHeader.toLatin1() + "\r\nHello\r\n");
    else
        QVERIFY(written.endsWith("\r\nHello\r\n"));
    QVERIFY(!written.contains('\0'));
}

void TShowOnceTest::FileThatCannotBeWrittenIsReported()
{
    QVERIFY(QDir().mkpath(DontShowPath()));
    FTicks = {true};
    ShowMessageOnce(QStringLiteral("Hello"));
    QVERIFY(!SaveShowOnceMessages());
    QCOMPARE(FBoxes->Texts(), QStringList({QStringLiteral("Cannot write file ") + DontShowPath()}));
    // Still suppressed while the program runs.
    ShowMessageOnce(QStringLiteral("Hello"));
    QCOMPARE(FShown.size(), 1);
}

void TShowOnceTest::TimeZoneWarning_data()
{
    QTest::addColumn<double>("lonDeg"); // west positive
    QTest::addColumn<double>("zoneHours"); // west positive
    QTest::addColumn<bool>("warns");

    // |lon/15 - zone| > 1.5, worked by hand.
    QTest::addRow("45W zone 0: 3 h") << 45.0 << 0.0 << true;
    QTest::addRow("45W zone +3") << 45.0 << 3.0 << false;
    QTest::addRow("45W zone +4: 1 h") << 45.0 << 4.0 << false;
    QTest::addRow("45W zone +1.5: exactly 1.5 h") << 45.0 << 1.5 << false;
    QTest::addRow("45W zone +1.4: 1.6 h") << 45.0 << 1.4 << true;
    QTest::addRow("45E zone -3") << -45.0 << -3.0 << false;
    QTest::addRow("45E zone +3: 6 h") << -45.0 << 3.0 << true;
    QTest::addRow("180 zone +12") << 180.0 << 12.0 << false;
    QTest::addRow("Greenwich zone -1 (summer time)") << 0.0 << -1.0 << false;
    QTest::addRow("no longitude") << std::numeric_limits<double>::quiet_NaN() << 0.0 << false;
}

void TShowOnceTest::TimeZoneWarning()
{
    QFETCH(double, lonDeg);
    QFETCH(double, zoneHours);
    QFETCH(bool, warns);

    CheckTimeZoneAgainstLongitude(zoneHours, lonDeg);
    QCOMPARE(FShown, warns ? QStringList({QString::fromUtf8(kTimeZoneWarning)}) : QStringList());
}

void TShowOnceTest::TimeZoneWarningSuppressedAfterRestart()
{
    FTicks = {true};
    CheckTimeZoneAgainstLongitude(0, 45);
    QCOMPARE(FShown.size(), 1);
    CloseShowOnceMessages(); // program exit
    CheckTimeZoneAgainstLongitude(0, 45); // next run
    CheckTimeZoneAgainstLongitude(-2, 60);
    QCOMPARE(FShown.size(), 1);
}

void TShowOnceTest::TimeZoneHoursWest_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<double>("hours");

    // Offsets from the IANA time zone database, negated: hours positive west.
    const QDateTime january(QDate(2024, 1, 15), QTime(12, 0), Qt::UTC);
    const QDateTime july(QDate(2024, 7, 15), QTime(12, 0), Qt::UTC);
    QTest::addRow("Sao Paulo, no summer time since 2019")
        << QByteArray("America/Sao_Paulo") << july << 3.0;
    QTest::addRow("Kolkata, half hour") << QByteArray("Asia/Kolkata") << january << -5.5;
    QTest::addRow("Lisbon winter") << QByteArray("Europe/Lisbon") << january << 0.0;
    QTest::addRow("Lisbon summer") << QByteArray("Europe/Lisbon") << july << -1.0;
    QTest::addRow("New York winter") << QByteArray("America/New_York") << january << 5.0;
    QTest::addRow("New York summer") << QByteArray("America/New_York") << july << 4.0;
    QTest::addRow("Adelaide summer (January)")
        << QByteArray("Australia/Adelaide") << january << -10.5;
    QTest::addRow("Adelaide winter") << QByteArray("Australia/Adelaide") << july << -9.5;
    QTest::addRow("St John's") << QByteArray("America/St_Johns") << january << 3.5;
    QTest::addRow("UTC") << QByteArray("UTC") << january << 0.0;
    QTest::addRow("no such zone") << QByteArray("Nowhere/Atlantis") << january << 0.0;
}

void TShowOnceTest::TimeZoneHoursWest()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, utc);
    QFETCH(double, hours);

    QCOMPARE(vrn::TimeZoneHoursWest(QTimeZone(zone), utc), hours);
}

void TShowOnceTest::SystemTimeZoneFollowsTheClock_data()
{
    QTest::addColumn<QByteArray>("tz");
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<double>("hours");

    // The same zones as above, as the computer's own.
    QTest::addRow("New York winter") << QByteArray("America/New_York")
                                     << QDateTime(QDate(2024, 1, 15), QTime(12, 0), Qt::UTC) << 5.0;
    QTest::addRow("New York summer") << QByteArray("America/New_York")
                                     << QDateTime(QDate(2024, 7, 15), QTime(12, 0), Qt::UTC) << 4.0;
    QTest::addRow("Kolkata") << QByteArray("Asia/Kolkata")
                             << QDateTime(QDate(2024, 7, 15), QTime(12, 0), Qt::UTC) << -5.5;
}

void TShowOnceTest::SystemTimeZoneFollowsTheClock()
{
    QFETCH(QByteArray, tz);
    QFETCH(QDateTime, utc);
    QFETCH(double, hours);

    const QByteArray oldTz = qgetenv("TZ");
    const bool hadTz = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", tz);
    tzset();
    const TFixedClock clock(utc);
    const double zone = SystemTimeZone();
    if (hadTz)
        qputenv("TZ", oldTz);
    else
        qunsetenv("TZ");
    tzset();
    QCOMPARE(zone, hours);
}

} // namespace vrn

QTEST_MAIN(vrn::TShowOnceTest)
#include "ShowOnceTest.moc"
