#include "net/SockCmp.h"

#include "engine/VrnError.h"

#include <QHostInfo>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <exception>

namespace vrn {

namespace {

constexpr qint64 kSocketReadBuffer = 256 * 1024;

// No exception leaves an event handler: one that escapes a handler is reported on the console
// and the event loop goes on.
template <class F>
void NoThrow(F &&f) noexcept
{
    try {
        f();
    } catch (const std::exception &e) {
        qWarning("%s", e.what());
    } catch (...) {
        qWarning("unknown error in a socket event");
    }
}

// RFC 6761, 6.4: names under "invalid" never exist and are answered at once, without asking a
// name server.
bool IsInvalidName(const QString &host)
{
    const QString h = host.toLower();
    return h == QLatin1String("invalid") || h.endsWith(QLatin1String(".invalid"))
        || h.endsWith(QLatin1String(".invalid."));
}

} // namespace

TTCPComponent::TTCPComponent(QObject *parent)
    : QObject(parent)
{ }

TTCPCli::TTCPCli(QObject *parent)
    : TTCPComponent(parent)
{
    FConnectTimer.setSingleShot(true);
    connect(
        &FConnectTimer, &QTimer::timeout, this, [this] { NoThrow([&] { ConnectTimedOut(); }); });
}

TTCPCli::~TTCPCli()
{
    if (FLookupId >= 0)
        QHostInfo::abortHostLookup(FLookupId);
    if (FSocket) {
        FSocket->disconnect(this);
        FSocket->abort();
        delete FSocket.data();
    }
}

bool TTCPCli::Connect()
{
    if (FTcpState == TTcpCmpState::CONNECTING || FTcpState == TTcpCmpState::CONNECTED
        || FLookupPending)
        return false;
    if (FTcpState == TTcpCmpState::IDLE)
        FTcpState = TTcpCmpState::WSASTARTED;
    if (RemoteHostName.isEmpty())
        throw EVrnError("Nome do host inválido");
    RaiseStatus(kLookingUp);
    QHostAddress address;
    if (address.setAddress(RemoteHostName)) {
        FAddresses = {address};
        RaiseStatus(kHostAddressKnown);
        StartConnection();
        return true;
    }
    FLookupPending = true;
    const int generation = ++FLookupGeneration;
    if (IsInvalidName(RemoteHostName)) {
        QTimer::singleShot(0, this, [this, generation] {
            if (generation != FLookupGeneration || !FLookupPending)
                return;
            QHostInfo failed;
            failed.setError(QHostInfo::HostNotFound);
            NoThrow([&] { LookupDone(failed); });
        });
    } else if (UsaDNSAssincrono) {
        FLookupId =
            QHostInfo::lookupHost(RemoteHostName, this, [this, generation](const QHostInfo &info) {
                if (generation != FLookupGeneration || !FLookupPending)
                    return;
                NoThrow([&] { LookupDone(info); });
            });
    } else {
        LookupDone(QHostInfo::fromName(RemoteHostName));
    }
    return true;
}

void TTCPCli::LookupDone(const QHostInfo &info)
{
    FLookupPending = false;
    FLookupId = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        FTcpState = TTcpCmpState::IDLE;
        if (OnConnectStatus)
            RaiseStatus(kHostNotFound);
        else
            RaiseError(QStringLiteral("Impossível achar host ") + RemoteHostName
                + QStringLiteral("\r\nVerifique o DNS."));
        return;
    }
    FAddresses = info.addresses();
    RaiseStatus(kHostAddressKnown);
    StartConnection();
}

void TTCPCli::StartConnection()
{
    const QHostAddress address = FAddresses.takeFirst();
    FSecurityError.clear();
    FTcpState = TTcpCmpState::CONNECTING;
    if (UseTls && !QSslSocket::supportsSsl()) {
        // Reported from the event loop, like every other failure to connect.
        QTimer::singleShot(0, this, [this] {
            FTcpState = TTcpCmpState::WSASTARTED;
            NoThrow([&] { RaiseError(QStringLiteral("Security error: TLS is not available")); });
        });
        return;
    }
    QTcpSocket *socket = nullptr;
    if (UseTls) {
        auto *ssl = new QSslSocket(this);
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        if (!ExtraCaCertificates.isEmpty())
            conf.addCaCertificates(ExtraCaCertificates);
        conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
        ssl->setSslConfiguration(conf);
        connect(ssl, &QSslSocket::encrypted, this, [this] { NoThrow([&] { SocketConnected(); }); });
        connect(ssl, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
            QStringList texts;
            for (const QSslError &e : errors)
                texts << e.errorString();
            FSecurityError = texts.join(QStringLiteral("; "));
        });
        socket = ssl;
    } else {
        socket = new QTcpSocket(this);
        connect(
            socket, &QTcpSocket::connected, this, [this] { NoThrow([&] { SocketConnected(); }); });
    }
    socket->setReadBufferSize(kSocketReadBuffer);
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        if (FTcpState == TTcpCmpState::CONNECTED && OnDataReceived)
            NoThrow([&] { OnDataReceived(this); });
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] { NoThrow([&] { SocketClosed(); }); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this] { NoThrow([&] { SocketFailed(); }); });
    FSocket = socket;
    if (TimeOutSecs > 0)
        FConnectTimer.start(TimeOutSecs * 1000);
    if (UseTls)
        static_cast<QSslSocket *>(socket)->connectToHostEncrypted(
            address.toString(), ServerPort, RemoteHostName);
    else
        socket->connectToHost(address, ServerPort);
}

void TTCPCli::SocketConnected()
{
    FConnectTimer.stop();
    FTcpState = TTcpCmpState::CONNECTED;
    const QPointer<TTCPCli> self(this);
    if (OnConnect)
        OnConnect(this);
    if (!self || FTcpState != TTcpCmpState::CONNECTED)
        return;
    RaiseStatus(kConnected);
    if (self && FTcpState == TTcpCmpState::CONNECTED && OnReadyToSendData)
        OnReadyToSendData(this);
}

void TTCPCli::SocketClosed()
{
    if (FTcpState != TTcpCmpState::CONNECTED)
        return;
    const QPointer<TTCPCli> self(this);
    // What arrived with the close is read before the socket goes.
    if (OnDataReceived)
        OnDataReceived(this);
    if (!self || FTcpState != TTcpCmpState::CONNECTED)
        return;
    FTcpState = TTcpCmpState::WSASTARTED;
    RaiseStatus(kConnectionClosed);
    if (!self)
        return;
    DropSocket();
    if (OnCloseSocket)
        OnCloseSocket(this);
}

void TTCPCli::SocketFailed()
{
    if (!FSocket)
        return;
    const QAbstractSocket::SocketError error = FSocket->error();
    if (FTcpState == TTcpCmpState::CONNECTED && error == QAbstractSocket::RemoteHostClosedError)
        return; // the close itself follows
    QString reason;
    const QString why = FSocket->errorString();
    if (FTcpState == TTcpCmpState::CONNECTING) {
        if (!FSecurityError.isEmpty() || error == QAbstractSocket::SslHandshakeFailedError) {
            reason = QStringLiteral("Security error: ")
                + (FSecurityError.isEmpty() ? why : FSecurityError);
        } else if (!FAddresses.isEmpty()) {
            DropSocket();
            StartConnection();
            return;
        } else {
            reason = QStringLiteral("Connection to host ") + RemoteHostName
                + QStringLiteral(" failed: ") + why;
        }
    } else if (FTcpState == TTcpCmpState::CONNECTED) {
        reason = QStringLiteral("Connection to host ") + RemoteHostName
            + QStringLiteral(" broken: ") + why;
    } else {
        return;
    }
    FConnectTimer.stop();
    DropSocket();
    FTcpState = TTcpCmpState::WSASTARTED;
    RaiseError(reason);
}

void TTCPCli::ConnectTimedOut()
{
    if (FTcpState != TTcpCmpState::CONNECTING)
        return;
    DropSocket();
    FTcpState = TTcpCmpState::WSASTARTED;
    RaiseError(QStringLiteral("Connection to host ") + RemoteHostName
        + QStringLiteral(" timed out after %1 s").arg(TimeOutSecs));
}

void TTCPCli::DropSocket()
{
    if (!FSocket)
        return;
    QTcpSocket *socket = FSocket;
    FSocket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void TTCPCli::Disconnect()
{
    if (FLookupPending) {
        if (FLookupId >= 0)
            QHostInfo::abortHostLookup(FLookupId);
        FLookupId = -1;
        FLookupPending = false;
        ++FLookupGeneration;
    } else {
        FConnectTimer.stop();
        DropSocket();
        if (FTcpState == TTcpCmpState::CONNECTING || FTcpState == TTcpCmpState::CONNECTED)
            FTcpState = TTcpCmpState::WSASTARTED;
    }
    if (OnCloseSocket)
        OnCloseSocket(this);
}

qint64 TTCPCli::Receive(char *buffer, qint64 size)
{
    if (!FSocket)
        return 0;
    const qint64 n = FSocket->read(buffer, size);
    return n > 0 ? n : 0;
}

qint64 TTCPCli::Send(const char *data, qint64 length)
{
    if (!FSocket || FTcpState != TTcpCmpState::CONNECTED)
        return 0;
    const qint64 n = FSocket->write(data, length);
    return n > 0 ? n : 0;
}

void TTCPCli::RaiseStatus(int status)
{
    if (OnConnectStatus)
        OnConnectStatus(this, status);
}

void TTCPCli::RaiseError(const QString &reason)
{
    if (OnSocketError)
        OnSocketError(this, reason);
}

} // namespace vrn
