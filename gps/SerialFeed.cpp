#include "gps/SerialFeed.h"

#include "gps/Gpsxf.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cmath>
#include <exception>
#include <memory>

namespace vrn {

TSerialFeedResult FeedFromSerialDevice(const TSerialFeedOptions &options,
    const std::function<void(TNmeaReceiver &)> &attach,
    const std::function<void(const TNmeaReceiver &)> &detach)
{
    std::unique_ptr<QCoreApplication> app;
    static int argc = 1;
    static char name[] = "vrncli";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        app = std::make_unique<QCoreApplication>(argc, argv);

    TSerialFeedResult result;
    TGpsInterface gps;
    gps.SetReadChunk(static_cast<qint64>(options.Chunk));
    gps.SetBaudRate(options.Baud);
    gps.SetPortName(QString::fromStdString(options.Device));
    attach(gps.Receiver());
    try {
        gps.SetComOpen(true);
    } catch (const std::exception &e) {
        result.Message = e.what();
        detach(gps.Receiver());
        return result;
    }
    result.Opened = true;

    QEventLoop loop;
    QObject::connect(&gps, &TGpsInterface::OnStopped, &loop, &QEventLoop::quit);
    QObject::connect(
        &gps, &TGpsInterface::OnPortLost, &loop, [&](TGpsInterface *, const QString &message) {
            result.Lost = true;
            result.Message = message.toStdString();
            loop.quit();
        });
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        result.TimedOut = true;
        loop.quit();
    });
    if (options.TimeoutSec > 0) {
        const double ms = std::ceil(options.TimeoutSec * 1000);
        timer.start(ms > 2e9 ? 2000000000 : static_cast<int>(ms));
    }
    loop.exec();
    gps.SetComOpen(false);
    detach(gps.Receiver());
    return result;
}

} // namespace vrn
