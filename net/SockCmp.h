#pragma once

// An event-driven TCP client on the user-interface thread: it looks the host up without
// blocking, connects without blocking (with TLS when asked, the server's certificate and name
// verified) and reports readiness to send, arriving data and the end of the connection as
// events. Nothing here waits: every answer comes back through the event loop.

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QString>
#include <QTimer>
#include <functional>

class QHostInfo;
class QTcpSocket;

namespace vrn {

enum class TTcpCmpState
{
    IDLE,
    WSASTARTED, // sockets started, no connection
    CONNECTING, // a connection (and, for TLS, its handshake) is under way
    CONNECTED,
};

// Values of OnConnectStatus.
enum TConnectStatus : int
{
    kLookingUp = 0,
    kHostNotFound = 1,
    kHostAddressKnown = 2,
    kConnected = 3,
    kConnectionClosed = 4,
};

using TNotifyEvent = std::function<void(QObject *sender)>;
using TConnectStatusEvent = std::function<void(QObject *sender, int status)>;
using TSocketErrorEvent = std::function<void(QObject *sender, const QString &reason)>;

class TTCPComponent : public QObject
{
    Q_OBJECT

public:
    explicit TTCPComponent(QObject *parent = nullptr);

    QString ProtoName = QStringLiteral("tcp");
    quint16 ServerPort = 0;

    TTcpCmpState TcpState() const { return FTcpState; }

protected:
    TTcpCmpState FTcpState = TTcpCmpState::IDLE;
};

class TTCPCli : public TTCPComponent
{
    Q_OBJECT

public:
    explicit TTCPCli(QObject *parent = nullptr);
    ~TTCPCli() override;

    QString RemoteHostName;
    bool UsaDNSAssincrono = true;
    int TimeOutSecs = 0; // connection time-out; 0: none
    bool UseTls = false; // https: TLS with the server's certificate and host name verified
    QList<QSslCertificate> ExtraCaCertificates; // trusted besides the system's

    bool LookupPending() const { return FLookupPending; }

    TNotifyEvent OnConnect;
    TNotifyEvent OnReadyToSendData;
    TNotifyEvent OnDataReceived;
    TNotifyEvent OnCloseSocket;
    TConnectStatusEvent OnConnectStatus;
    // A connection that could not be made or broke: refused, unreachable, timed out, TLS
    // refused ("Security error: ..."), or a host not found while no OnConnectStatus is set.
    TSocketErrorEvent OnSocketError;

    // False while connecting or connected; otherwise starts the lookup (or, for an address,
    // the connection) and returns true. Raises EVrnError "Nome do host inválido" for an empty
    // host name.
    bool Connect();

    // Cancels a lookup, or closes the socket; raises OnCloseSocket in every case.
    void Disconnect();

    // Reads up to size bytes: the count, 0 when there is nothing or no socket.
    qint64 Receive(char *buffer, qint64 size);

    // The number of bytes taken; 0 without a socket or when the write failed.
    qint64 Send(const char *data, qint64 length);

private:
    void LookupDone(const QHostInfo &info);
    void StartConnection();
    void SocketConnected();
    void SocketClosed();
    void SocketFailed();
    void ConnectTimedOut();
    void DropSocket();
    void RaiseStatus(int status);
    void RaiseError(const QString &reason);

    bool FLookupPending = false;
    int FLookupId = -1; // of QHostInfo, while it looks up
    int FLookupGeneration = 0; // answers of an abandoned lookup are dropped
    QList<QHostAddress> FAddresses; // still to try, in order
    QPointer<QTcpSocket> FSocket;
    QTimer FConnectTimer;
    QString FSecurityError;
};

} // namespace vrn
