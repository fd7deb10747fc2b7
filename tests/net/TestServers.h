#pragma once

// Servers the transfer tests talk to, each a real process on 127.0.0.1 at a free port, started
// by the test and killed when it ends: Python's http.server over a folder, and the scripted
// server of servers/scripted_server.py (hostile replies, request log, TLS).

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>

namespace vrn {

class TTestServer
{
public:
    TTestServer() = default;
    TTestServer(const TTestServer &) = delete;
    TTestServer &operator=(const TTestServer &) = delete;

    ~TTestServer() { Stop(); }

    // Starts python3 with args and waits (generously: CI machines are loaded) for the line
    // that tells the port. False, with Error() set, when it does not come.
    bool Start(const QStringList &args)
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()) {
            FError = QStringLiteral("python3 not found");
            return false;
        }
        FProcess.setProgram(python);
        FProcess.setArguments(QStringList {QStringLiteral("-u")} + args);
        FProcess.setProcessChannelMode(QProcess::SeparateChannels);
        // A test that crashes takes its servers with it.
        FProcess.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        FProcess.start();
        if (!FProcess.waitForStarted(30000)) {
            FError = FProcess.errorString();
            return false;
        }
        static const QRegularExpression portLine(
            QStringLiteral("port (\\d+)"), QRegularExpression::CaseInsensitiveOption);
        QByteArray out;
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired() && FProcess.state() == QProcess::Running) {
            FProcess.waitForReadyRead(500);
            out += FProcess.readAllStandardOutput();
            const auto m = portLine.match(QString::fromLatin1(out));
            if (m.hasMatch()) {
                FPort = m.captured(1).toInt();
                return true;
            }
        }
        FError = QStringLiteral("no port from the server: ")
            + QString::fromLocal8Bit(out + FProcess.readAllStandardError());
        return false;
    }

    // Python's own http.server over root.
    bool StartHttpServer(const QString &root)
    {
        return Start({QStringLiteral("-m"), QStringLiteral("http.server"), QStringLiteral("0"),
            QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--directory"),
            root});
    }

    bool StartScripted(const QString &root, const QString &log, const QStringList &more = {})
    {
        return Start(QStringList {QStringLiteral(VRN_NET_SERVERS_DIR "/scripted_server.py"),
                         QStringLiteral("--root"), root, QStringLiteral("--log"), log}
            + more);
    }

    void Stop()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(30000);
        }
    }

    int Port() const { return FPort; }

    QString Url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path);
    }

    QString Error() const { return FError; }

private:
    QProcess FProcess;
    int FPort = 0;
    QString FError;
};

// A port nobody listens on: one a listener had a moment ago.
inline int ClosedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

} // namespace vrn
