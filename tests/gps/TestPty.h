#pragma once

// A pseudo-terminal for the serial tests: the test holds the master side and writes into it as a
// GPS would; the receiver opens the other side by its path.

#include <QString>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace vrn {

class TPty
{
public:
    TPty()
    {
        char name[128] = {};
        int slave = -1;
        if (::openpty(&FMaster, &slave, name, nullptr, nullptr) != 0)
            qFatal("openpty failed");
        FPath = QString::fromLocal8Bit(name);
        ::close(slave); // the receiver opens it by its path
        ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
        ::fcntl(FMaster, F_SETFD, FD_CLOEXEC); // a vrncli started by the test must not hold it
    }

    ~TPty() { Close(); }

    TPty(const TPty &) = delete;
    TPty &operator=(const TPty &) = delete;

    const QString &Path() const { return FPath; }

    // Writes bytes at 480 bytes a second (24 bytes every 50 ms) while the event loop runs, and
    // returns when all are written.
    void WritePaced(const QByteArray &bytes)
    {
        qsizetype at = 0;
        QTimer timer;
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const auto n = std::min<qsizetype>(24, bytes.size() - at);
            const auto written = ::write(FMaster, bytes.constData() + at, static_cast<size_t>(n));
            if (written > 0)
                at += written;
        });
        timer.start();
        QTRY_VERIFY_WITH_TIMEOUT(at >= bytes.size(), 30000);
    }

    // The adapter is pulled out: the line hangs up.
    void Close()
    {
        if (FMaster >= 0)
            ::close(FMaster);
        FMaster = -1;
    }

private:
    int FMaster = -1;
    QString FPath;
};

} // namespace vrn
