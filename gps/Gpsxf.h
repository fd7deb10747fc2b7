#pragma once

// TGpsInterface, the GPS receiver on a serial port: a QSerialPort (8 data bits, no parity, one
// stop bit, no flow control) named by its device path (/dev/ttyUSB0, /dev/ttyACM0, a
// pseudo-terminal) whose received bytes go, on the user-interface thread, to the NMEA receiver
// (gps/NmeaReceiver.h). The GPS window owns the one receiver of the program; "vrncli nmea" runs
// another on a device given on its command line.

#include "gps/NmeaReceiver.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

namespace vrn {

class TGpsInterface : public QObject
{
    Q_OBJECT

public:
    explicit TGpsInterface(QObject *parent = nullptr);
    ~TGpsInterface() override;

    // ---- Port
    int BaudRate() const { return FBaudRate; }

    // Applies at once to an open port; the value is passed on unchecked.
    void SetBaudRate(int baud);

    QString PortName() const { return FPortName; }

    // A change on an open port closes it, switches and opens the new one (raises as
    // SetComOpen).
    void SetPortName(const QString &device);

    bool ComAutoOpen() const { return FComAutoOpen; }

    // When set, naming a port opens it.
    void SetComAutoOpen(bool flag) { FComAutoOpen = flag; }

    bool ComOpen() const;
    // Opens or closes the port; bytes the device received before the open are discarded (they
    // are old positions). A failure raises EVrnError "Comm error: port <device>\n" and the
    // reason: " in use by other device.", " does not exist.", or, when the device refuses the
    // user, " permission denied: the user must be in the group that owns the device
    // (<group>)."; the port is then closed.
    void SetComOpen(bool open);

    // Bytes read from the port per step (at least 1; 4096 unless changed).
    void SetReadChunk(qint64 bytes) { FReadChunk = bytes < 1 ? 1 : bytes; }

    // ---- Receiver (positions, sentence kinds, speed and course, counters, history)
    TNmeaReceiver &Receiver() { return FReceiver; }

    const TNmeaReceiver &Receiver() const { return FReceiver; }

    const TGpsPosition &Position() const { return FReceiver.Position(); }

    void SetPosition(const TGpsPosition &position) { FReceiver.SetPosition(position); }

    bool Beep() const { return FReceiver.Beep; }

    void SetBeep(bool flag) { FReceiver.Beep = flag; }

    TNMeaMessages AcceptedMessages() const { return FReceiver.AcceptedMessages; }

    void SetAcceptedMessages(TNMeaMessages kinds) { FReceiver.AcceptedMessages = kinds; }

    TNMeaMessage LastMessage() const { return FReceiver.LastMessage(); }

    double SpeedOverGround() const { return FReceiver.SpeedOverGround(); }

    double CourseOverGround() const { return FReceiver.CourseOverGround(); }

    // Feeds bytes as if the port had received them (the port's own path goes through here).
    void ReceiveBytes(QByteArrayView bytes);

signals:
    // After every accepted sentence, synchronously from the port's data notification.
    void OnNewPosition(vrn::TGpsInterface *sender);
    // A listener of the receiver asked it to stop; the bytes after that sentence stay unread
    // in the port until the next data notification.
    void OnStopped(vrn::TGpsInterface *sender);
    // The port went away while open (a USB adapter pulled out, the device closed): it is closed
    // now, and the text says which port and why.
    void OnPortLost(vrn::TGpsInterface *sender, const QString &message);

private:
    void ReadPort();
    void PortError(QSerialPort::SerialPortError error);
    void OpenPort();

    QSerialPort FPort;
    TNmeaReceiver FReceiver;
    QString FPortName;
    int FBaudRate = 4800;
    bool FComAutoOpen = false;
    qint64 FReadChunk = 4096;
    QByteArray FPending; // read, not yet fed: a listener stopped the receiver before them
    bool FReading = false;
};

// The reason a device cannot be opened by this user, for messages: "permission denied: the user
// must be in the group that owns the device (dialout)." (the group is read from the device).
QString PermissionHint(const QString &device);

} // namespace vrn
