// The receiver on a real pseudo-terminal: the test holds the master side and writes recorded
// NMEA into it at the pace of a 4800-baud line (480 bytes a second), as a GPS would; the
// receiver reads the other side through QSerialPort.

#include "engine/VrnError.h"
#include "gps/Gpsxf.h"
#include "tests/gps/TestPty.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <vector>

namespace vrn {

namespace {

QByteArray Capture(const char *name)
{
    QFile f(QStringLiteral(VRN_TEST_DATA_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", name);
    return f.readAll();
}

struct TFix
{
    int Kind;
    bool Parsed;
    double Lat, Lon, Time;
    bool Valid;

    bool operator==(const TFix &) const = default;
};

TFix FixOf(const TNmeaReceiver &r)
{
    const auto &p = r.Position();
    return {
        static_cast<int>(r.NotifiedKind()), r.NotifiedParsed(), p.Lat, p.Lon, p.GMTTime, p.Valid};
}

// What the receiver notifies for bytes read from a file in one piece.
std::vector<TFix> FromFile(const QByteArray &bytes, TNMeaMessages accepted)
{
    TNmeaReceiver r;
    r.AcceptedMessages = accepted;
    std::vector<TFix> fixes;
    r.OnNewPosition = [&] { fixes.push_back(FixOf(r)); };
    r.ReceiveBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return fixes;
}

// Waits until the process holds the device open (the bytes written before are discarded).
bool WaitUntilOpened(const QProcess &process, const QString &device)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(process.processId());
    for (int i = 0; i < 500; ++i) {
        for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System))
            if (QFile::symLinkTarget(fds + QLatin1Char('/') + fd) == device) {
                QTest::qWait(100); // past the discarding of old input that follows the open
                return true;
            }
        QTest::qWait(10);
    }
    return false;
}

const TNMeaMessages kBoth {TNMeaMessage::nmGLL, TNMeaMessage::nmRMC};

} // namespace

class TSerialReceiverTest : public QObject
{
    Q_OBJECT

private slots:
    void PositionsArriveAsFromTheFile();
    void PulledOutMidSentenceThenReconnected();
    void OpenFailuresSayWhy();
    void VrncliReadsTheDevice();
};

void TSerialReceiverTest::PositionsArriveAsFromTheFile()
{
    const QByteArray bytes = Capture("fix_lost.nmea") + Capture("talkers_lf.nmea");
    const auto expected = FromFile(bytes, kBoth);
    QVERIFY(expected.size() > 10);

    TPty pty;
    TGpsInterface gps;
    gps.SetAcceptedMessages(kBoth);
    gps.SetPortName(pty.Path());
    gps.SetComOpen(true);
    QVERIFY(gps.ComOpen());
    std::vector<TFix> seen;
    connect(&gps, &TGpsInterface::OnNewPosition, this,
        [&](TGpsInterface *sender) { seen.push_back(FixOf(sender->Receiver())); });
    pty.WritePaced(bytes);
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), expected.size(), 10000);
    QVERIFY(seen == expected);
    QCOMPARE(gps.Receiver().Counters().ChecksumErrors, 0u);
}

void TSerialReceiverTest::PulledOutMidSentenceThenReconnected()
{
    const QByteArray gll = "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n";
    const QByteArray rmc =
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    TGpsInterface gps;
    gps.SetAcceptedMessages(kBoth);
    QSignalSpy lost(&gps, &TGpsInterface::OnPortLost);
    int notified = 0;
    connect(&gps, &TGpsInterface::OnNewPosition, this, [&] { ++notified; });
    {
        TPty pty;
        gps.SetPortName(pty.Path());
        gps.SetComOpen(true);
        pty.WritePaced(gll + rmc.left(30));
        QTRY_COMPARE_WITH_TIMEOUT(notified, 1, 5000);
        pty.Close();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
    }
    QVERIFY(!gps.ComOpen());
    const QString message = lost.at(0).at(1).toString();
    QVERIFY2(message.startsWith(QStringLiteral("The GPS port /dev/pts/")), qPrintable(message));
    QCOMPARE(notified, 1);

    // Plugged in again (a new device): the half sentence is gone, the next ones arrive.
    TPty again;
    gps.SetPortName(again.Path());
    gps.SetComOpen(true);
    again.WritePaced(rmc.mid(30) + rmc);
    QTRY_COMPARE_WITH_TIMEOUT(notified, 2, 5000);
    QTest::qWait(100);
    QCOMPARE(notified, 2);
    QCOMPARE(gps.LastMessage(), TNMeaMessage::nmRMC);
    QCOMPARE(gps.Position().Valid, true);
    QCOMPARE(lost.count(), 1);
}

void TSerialReceiverTest::OpenFailuresSayWhy()
{
    TGpsInterface gps;
    const auto messageOf = [&](const QString &device) {
        try {
            gps.SetPortName(device);
            gps.SetComOpen(true);
        } catch (const EVrnError &e) {
            return QString::fromStdString(e.what());
        }
        return QStringLiteral("opened");
    };
    QCOMPARE(messageOf(QStringLiteral("/dev/no-such-gps")),
        QStringLiteral("Comm error: port /dev/no-such-gps\n does not exist."));
    QVERIFY(!gps.ComOpen());

    // A port another program holds.
    TPty pty;
    TGpsInterface other;
    other.SetPortName(pty.Path());
    other.SetComOpen(true);
    QCOMPARE(messageOf(pty.Path()),
        QStringLiteral("Comm error: port ") + pty.Path()
            + QStringLiteral("\n in use by other device."));

    // Who may open a device is read from the device itself.
    QCOMPARE(PermissionHint(QStringLiteral("/dev/null")),
        QStringLiteral("permission denied: the user must be in the group that owns the device "
                       "(root)."));
}

void TSerialReceiverTest::VrncliReadsTheDevice()
{
    // The same capture through vrncli, once from the file and once from the device, stopping at
    // the fifth notification.
    const QString capture = QStringLiteral(VRN_TEST_DATA_DIR "/fix_lost.nmea");
    QProcess fromFile;
    fromFile.start(QStringLiteral(VRN_VRNCLI),
        {QStringLiteral("nmea"), capture, QStringLiteral("--tsv"), QStringLiteral("--count"),
            QStringLiteral("5")});
    QVERIFY(fromFile.waitForFinished(10000));
    const QByteArray expected = fromFile.readAllStandardOutput();
    QCOMPARE(expected.count('\n'), 6);

    TPty pty;
    QProcess fromDevice;
    fromDevice.start(QStringLiteral(VRN_VRNCLI),
        {QStringLiteral("nmea"), pty.Path(), QStringLiteral("--tsv"), QStringLiteral("--count"),
            QStringLiteral("5"), QStringLiteral("--timeout"), QStringLiteral("20")});
    QVERIFY(fromDevice.waitForStarted(5000));
    QVERIFY(WaitUntilOpened(fromDevice, pty.Path()));
    pty.WritePaced(Capture("fix_lost.nmea"));
    // It may well have ended while the capture was being written.
    QVERIFY(fromDevice.state() == QProcess::NotRunning || fromDevice.waitForFinished(10000));
    QCOMPARE(fromDevice.exitStatus(), QProcess::NormalExit);
    QCOMPARE(fromDevice.exitCode(), 0);
    QCOMPARE(fromDevice.readAllStandardOutput(), expected);
    QCOMPARE(fromDevice.readAllStandardError(),
        QByteArray("5 notified, 4 parsed, 4 valid, 0 checksum errors\n"));

    // A receiver that stays silent: the timeout ends the reading with what was read.
    QProcess silent;
    silent.start(QStringLiteral(VRN_VRNCLI),
        {QStringLiteral("nmea"), pty.Path(), QStringLiteral("--timeout"), QStringLiteral("0.5")});
    QVERIFY(silent.waitForFinished(10000));
    QCOMPARE(silent.exitCode(), 0);
    QCOMPARE(silent.readAllStandardOutput(), QByteArray());
    QCOMPARE(silent.readAllStandardError(),
        QByteArray("0 notified, 0 parsed, 0 valid, 0 checksum errors\n"));
}

} // namespace vrn

QTEST_GUILESS_MAIN(vrn::TSerialReceiverTest)
#include "SerialReceiverTest.moc"
