#include "gps/Gpsxf.h"

#include "engine/VrnError.h"

#include <QDebug>
#include <QFileInfo>
#include <exception>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrn {

QString PermissionHint(const QString &device)
{
    QString group;

    struct stat st
    { };

    const QByteArray path = QFileInfo(device).canonicalFilePath().toLocal8Bit();
    if (!path.isEmpty() && ::stat(path.constData(), &st) == 0) {
        if (const struct group *g = ::getgrgid(st.st_gid))
            group = QString::fromLocal8Bit(g->gr_name);
    }
    if (group.isEmpty())
        group = QStringLiteral("the group of ") + device;
    return QStringLiteral("permission denied: the user must be in the group that owns the device (")
        + group + QStringLiteral(").");
}

TGpsInterface::TGpsInterface(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("GpsInterface1"));
    FPort.setObjectName(QStringLiteral("ComPort"));
    FPort.setBaudRate(FBaudRate);
    FPort.setDataBits(QSerialPort::Data8);
    FPort.setParity(QSerialPort::NoParity);
    FPort.setStopBits(QSerialPort::OneStop);
    FPort.setFlowControl(QSerialPort::NoFlowControl);
    FReceiver.OnNewPosition = [this] { emit OnNewPosition(this); };
    connect(&FPort, &QSerialPort::readyRead, this, &TGpsInterface::ReadPort);
    connect(&FPort, &QSerialPort::errorOccurred, this, &TGpsInterface::PortError);
}

TGpsInterface::~TGpsInterface()
{
    FReceiver.OnNewPosition = nullptr;
    FPort.close();
}

void TGpsInterface::SetBaudRate(int baud)
{
    FBaudRate = baud;
    if (FPort.isOpen())
        FPort.setBaudRate(baud);
}

void TGpsInterface::SetPortName(const QString &device)
{
    if (device == FPortName)
        return;
    const bool wasOpen = FPort.isOpen();
    SetComOpen(false);
    FPortName = device;
    if (wasOpen || FComAutoOpen)
        SetComOpen(true);
}

bool TGpsInterface::ComOpen() const
{
    return FPort.isOpen();
}

void TGpsInterface::SetComOpen(bool open)
{
    if (open == FPort.isOpen())
        return;
    FPending.clear();
    FReceiver.ResetFraming();
    if (!open) {
        FPort.close();
        return;
    }
    OpenPort();
}

void TGpsInterface::OpenPort()
{
    FPort.setPortName(FPortName);
    FPort.setBaudRate(FBaudRate);
    if (!FPortName.isEmpty() && FPort.open(QIODevice::ReadOnly)) {
        // Settings given before the open are applied by it; set them again so that a device
        // that refused one says so here and not at the first byte.
        FPort.setBaudRate(FBaudRate);
        FPort.setDataBits(QSerialPort::Data8);
        FPort.setParity(QSerialPort::NoParity);
        FPort.setStopBits(QSerialPort::OneStop);
        FPort.setFlowControl(QSerialPort::NoFlowControl);
        // What the device queued before the open is old news: positions start now.
        FPort.clear(QSerialPort::Input);
        return;
    }
    const auto error = FPort.error();
    FPort.close();
    FPort.clearError();
    QString reason = QStringLiteral(" in use by other device.");
    const QFileInfo info(FPortName);
    if (FPortName.isEmpty() || error == QSerialPort::DeviceNotFoundError || !info.exists())
        reason = QStringLiteral(" does not exist.");
    else if (error == QSerialPort::PermissionError
        && ::access(info.absoluteFilePath().toLocal8Bit().constData(), R_OK) != 0)
        reason = QLatin1Char(' ') + PermissionHint(FPortName);
    throw EVrnError((QStringLiteral("Comm error: port ") + FPortName + QLatin1Char('\n') + reason)
                        .toStdString());
}

void TGpsInterface::ReceiveBytes(QByteArrayView bytes)
{
    const std::string_view view(bytes.data(), static_cast<std::size_t>(bytes.size()));
    const std::size_t taken = FReceiver.ReceiveBytes(view);
    if (FReceiver.StopRequested()) {
        FPending = QByteArray(bytes.data() + taken, static_cast<qsizetype>(view.size() - taken));
        emit OnStopped(this);
    }
}

void TGpsInterface::ReadPort()
{
    // A listener that opens a dialog runs the event loop; the bytes that arrive meanwhile wait.
    if (FReading)
        return;
    FReading = true;
    try {
        if (!FPending.isEmpty()) {
            const QByteArray pending = std::exchange(FPending, {});
            ReceiveBytes(pending);
        }
        while (FPending.isEmpty() && FPort.isOpen() && FPort.bytesAvailable() > 0) {
            const QByteArray chunk = FPort.read(FReadChunk);
            if (chunk.isEmpty())
                break;
            ReceiveBytes(chunk);
        }
    } catch (const std::exception &e) {
        qWarning("GPS receiver: %s", e.what());
    } catch (...) {
        qWarning("GPS receiver: unknown failure");
    }
    FReading = false;
}

void TGpsInterface::PortError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    if (!FPort.isOpen())
        return;
    const QString message = QStringLiteral("The GPS port ") + FPortName
        + QStringLiteral(" was closed: ") + FPort.errorString();
    FPort.close();
    FPort.clearError();
    FPending.clear();
    FReceiver.ResetFraming();
    emit OnPortLost(this, message);
}

} // namespace vrn
