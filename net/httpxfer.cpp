#include "net/httpxfer.h"

#include "engine/TextCodec.h"
#include "engine/VrnError.h"
#include "net/HttpRequest.h"
#include "net/SockCmp.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <unistd.h>

namespace vrn {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;
constexpr qsizetype kStatusMessageChars = 100;

template <class F>
void NoThrow(F &&f) noexcept
{
    try {
        f();
    } catch (const std::exception &e) {
        qWarning("%s", e.what());
    } catch (...) {
        qWarning("unknown error in a transfer event");
    }
}

QString FromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

THttpXfer::THttpXfer(QObject *parent)
    : QObject(parent)
{
    FIdleTimer.setSingleShot(true);
    connect(&FIdleTimer, &QTimer::timeout, this, [this] {
        NoThrow([&] {
            const QString why =
                QStringLiteral("No data from host %1 for %2 s").arg(Host()).arg(IdleTimeOutSecs);
            Finish(&why);
        });
    });
}

THttpXfer::~THttpXfer()
{
    if (FClient)
        Hook(nullptr);
}

void THttpXfer::Hook(TTCPCli *client)
{
    if (FClient) {
        FClient->OnReadyToSendData = nullptr;
        FClient->OnDataReceived = nullptr;
        FClient->OnCloseSocket = nullptr;
        FClient->OnConnectStatus = nullptr;
        FClient->OnSocketError = nullptr;
    }
    FClient = client;
    if (!client)
        return;
    client->OnReadyToSendData = [this](QObject *) { ClientReadyToSend(); };
    client->OnDataReceived = [this](QObject *) { ClientDataReceived(); };
    client->OnCloseSocket = [this](QObject *) { ClientClosed(); };
    client->OnConnectStatus = [this](QObject *, int status) { ClientStatus(status); };
    client->OnSocketError = [this](QObject *, const QString &reason) { Finish(&reason); };
}

void THttpXfer::SetTCPCli(TTCPCli *client)
{
    if (FClient == client)
        return;
    if (FClient)
        FClient->Disconnect();
    Hook(client);
    if (client)
        client->Disconnect();
}

void THttpXfer::SetURI(const QString &uri)
{
    FLocation.URI = uri.toStdString();
}

void THttpXfer::SetLocation(const THttpLocation &location)
{
    FLocation = location;
}

QString THttpXfer::URL() const
{
    return FromStd(LocationURL(FLocation));
}

bool THttpXfer::SetURL(const QString &location)
{
    const TLocationParse parsed = ParseLocation(location.toStdString(), FLocation);
    if (!parsed.Location) {
        FLocationError = FromStd(parsed.Error);
        return false;
    }
    FLocationError.clear();
    FLocation = *parsed.Location;
    if (LocalFileName.isEmpty())
        LocalFileName = LastPathSegment();
    return true;
}

QString THttpXfer::LastPathSegment() const
{
    return FromStd(vrn::LastPathSegment(FLocation.URI));
}

QStringList THttpXfer::HttpHeader() const
{
    QStringList lines;
    for (const std::string &line : FReader.HttpHeader())
        lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    return lines;
}

QString THttpXfer::PendingHeaderLine() const
{
    const std::string &line = FReader.PendingHeaderLine();
    return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

void THttpXfer::Get()
{
    Method = QStringLiteral("GET");
    StartTransfer();
}

void THttpXfer::StartTransfer()
{
    if (FTransferring) {
        CancelTransfer();
        return;
    }
    if (!FClient)
        throw EVrnError("No TCP Client component set");
    FReader = THttpResponseReader(MaxBodyBytes);
    FStatus = 0;
    FStatusText.clear();
    FWriteError.clear();
    FRequestSent = false;
    FReportedBody = -1;

    if (LocalFileName.isEmpty())
        LocalFileName = LastPathSegment();
    const QString folder = QFileInfo(LocalFileName).absolutePath();
    auto output = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.vrn-part-XXXXXX"));
    if (LocalFileName.isEmpty() || !output->open()) {
        FStatusText =
            QStringLiteral("Cannot create a file in %1: %2").arg(folder, output->errorString());
        Report(FStatusText);
        LocalFileName.clear();
        return;
    }

    if (FClient->TcpState() == TTcpCmpState::CONNECTED
        || FClient->TcpState() == TTcpCmpState::CONNECTING || FClient->LookupPending())
        FClient->Disconnect();
    FClient->RemoteHostName = Host();
    FClient->ServerPort = static_cast<quint16>(FLocation.Porta);
    FClient->UseTls = FLocation.Scheme == THttpScheme::Https;
    FOutput = std::move(output);
    FTransferring = true;
    if (IdleTimeOutSecs > 0)
        FIdleTimer.start(IdleTimeOutSecs * 1000);
    try {
        if (!FClient->Connect()) {
            const QString why = QStringLiteral("The connection is busy");
            Finish(&why);
        }
    } catch (...) {
        FTransferring = false;
        FIdleTimer.stop();
        FOutput.reset();
        throw;
    }
}

void THttpXfer::CancelTransfer()
{
    if (Beep)
        Beep();
    if (FTransferring) {
        const QString why = FromStd(vrn::StatusText(0));
        Finish(&why);
    } else {
        FStatus = 0;
    }
}

void THttpXfer::StopTransfer()
{
    if (FTransferring)
        CancelTransfer();
}

void THttpXfer::AbortTransfer(const QString &reason)
{
    if (FTransferring)
        Finish(&reason);
}

void THttpXfer::ClientReadyToSend()
{
    if (!FTransferring || FRequestSent || !FClient)
        return;
    QStringList added;
    if (OnAddHeaders)
        OnAddHeaders(this, added);
    std::vector<std::string> extra;
    for (const QString &line : added)
        extra.push_back(line.toStdString());
    const std::string bytes = RequestBytes(RequestLines(Method.toStdString(), FLocation, extra));
    FRequestSent = true;
    // The socket keeps what it cannot send at once; its count says nothing more.
    FClient->Send(bytes.data(), static_cast<qint64>(bytes.size()));
}

bool THttpXfer::WriteBody(std::string_view bytes)
{
    const auto n = static_cast<qint64>(bytes.size());
    if (FOutput && FOutput->write(bytes.data(), n) == n)
        return true;
    FWriteError = FOutput ? FOutput->errorString() : QStringLiteral("no output file");
    return false;
}

void THttpXfer::ClientDataReceived()
{
    static char buffer[kReadChunk];
    const THttpBodySink sink = [this](std::string_view bytes) { return WriteBody(bytes); };
    while (FTransferring && FClient) {
        const qint64 n = FClient->Receive(buffer, kReadChunk);
        if (n <= 0)
            return;
        if (IdleTimeOutSecs > 0)
            FIdleTimer.start(IdleTimeOutSecs * 1000);
        const THttpReadState state =
            FReader.Feed(std::string_view(buffer, static_cast<std::size_t>(n)), sink);
        const qint64 body = FReader.BodyReceived();
        if (body != FReportedBody && state != THttpReadState::Header && OnProgressMsg) {
            FReportedBody = body;
            const qint64 length = FReader.ContentLength();
            const qint64 perc = length >= 1 ? body * 100 / length : 0;
            OnProgressMsg(this, static_cast<int>(perc), body);
        }
        if (state != THttpReadState::Header && state != THttpReadState::Body) {
            Finish(nullptr);
            return;
        }
    }
}

void THttpXfer::ClientClosed()
{
    if (!FTransferring)
        return;
    FReader.Close();
    Finish(nullptr);
}

void THttpXfer::ClientStatus(int status)
{
    if (!FTransferring)
        return;
    QString message;
    switch (status) {
    case kLookingUp:
        message = QStringLiteral("Procurando ") + Host();
        break;
    case kHostNotFound:
        message = QStringLiteral("Host ") + Host() + QStringLiteral(" não encontrado");
        break;
    case kHostAddressKnown:
        message = QStringLiteral("Contactando host ") + Host();
        break;
    case kConnected:
        message = QStringLiteral("Transferindo ") + URI();
        break;
    default:
        break;
    }
    if (status == kHostNotFound) {
        Finish(&message); // which reports it
        return;
    }
    if (OnStatusMsg)
        Report(message.left(kStatusMessageChars));
}

bool THttpXfer::CommitBody(QString &error)
{
    const QString target = LocalFileName;
    const auto fail = [&](const QString &why) {
        error = QStringLiteral("Cannot write file %1: %2").arg(target, why);
        return false;
    };
    if (!FOutput->flush())
        return fail(FOutput->errorString());
    // On the disk before it takes the cached file's name: a crash never leaves a short file
    // under the name of a complete one.
    if (::fdatasync(FOutput->handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    const QString temporary = FOutput->fileName();
    // A temporary file is the owner's alone; a cached copy is an ordinary file.
    FOutput->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
        | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    FOutput->close();
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData())
        != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    FOutput->setAutoRemove(false);
    return true;
}

void THttpXfer::Finish(const QString *failure)
{
    if (!FTransferring)
        return;
    FTransferring = false;
    FIdleTimer.stop();
    if (FClient
        && (FClient->TcpState() == TTcpCmpState::CONNECTED
            || FClient->TcpState() == TTcpCmpState::CONNECTING || FClient->LookupPending()))
        FClient->Disconnect();

    int status = 0;
    QString text;
    if (failure) {
        text = *failure;
    } else {
        switch (FReader.State()) {
        case THttpReadState::Complete:
            status = FReader.Status();
            if (status == 200) {
                if (CommitBody(text))
                    text = FromStd(vrn::StatusText(200));
                else
                    status = 0;
            } else {
                text = FromStd(vrn::StatusText(status));
            }
            break;
        case THttpReadState::Truncated:
            status = -1;
            text = FromStd(vrn::StatusText(-1));
            break;
        case THttpReadState::Failed:
            text = FReader.SinkFailed()
                ? QStringLiteral("Cannot write file %1: %2").arg(LocalFileName, FWriteError)
                : FromStd(FReader.Error());
            break;
        default:
            text = FromStd(vrn::StatusText(0));
            break;
        }
    }
    FOutput.reset(); // an uncommitted temporary file goes with it
    FStatus = status;
    FStatusText = text;
    Report(text);
    QTimer::singleShot(0, this, [this, status] {
        NoThrow([&] {
            if (OnComplete)
                OnComplete(this, status);
        });
    });
}

void THttpXfer::Report(const QString &message)
{
    if (OnStatusMsg)
        OnStatusMsg(this, message);
}

} // namespace vrn
