#pragma once

// One HTTP/1.0 GET at a time on a TTCPCli: the location, the request, the response split into
// header and body, the body written to a file, status texts, progress and completion, all on
// the user-interface thread. The body goes to a temporary file beside LocalFileName that
// replaces it only when the body is complete ("Ok"); any other end leaves LocalFileName as it
// was.

#include "net/HttpLocation.h"
#include "net/HttpResponse.h"
#include "net/SockCmp.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class QTemporaryFile;

namespace vrn {

enum class THttpStreamType
{
    stFile, // the body goes to the file LocalFileName
};

class THttpXfer : public QObject
{
    Q_OBJECT

public:
    explicit THttpXfer(QObject *parent = nullptr);
    ~THttpXfer() override;

    // Closes the previous client and unhooks it, then hooks this transfer to the new one.
    void SetTCPCli(TTCPCli *client);

    TTCPCli *TCPCli() const { return FClient; }

    THttpScheme Scheme() const { return FLocation.Scheme; }

    QString Host() const { return QString::fromStdString(FLocation.Host); }

    int Porta() const { return FLocation.Porta; }

    QString URI() const { return QString::fromStdString(FLocation.URI); }

    QString BaseDir() const { return QString::fromStdString(FLocation.BaseDir); }

    const THttpLocation &Location() const { return FLocation; }

    // Sets the path directly, on the current server, without parsing it as a location.
    void SetURI(const QString &uri);
    void SetLocation(const THttpLocation &location);

    QString URL() const;
    // Reads a location against the current one; a refused location changes nothing and
    // returns false, LocationError saying why. An empty LocalFileName becomes LastPathSegment.
    bool SetURL(const QString &location);

    QString LocationError() const { return FLocationError; }

    QString LastPathSegment() const;

    THttpStreamType StreamType = THttpStreamType::stFile;
    QString LocalFileName;
    QString Method = QStringLiteral("GET");
    // A transfer that gets no byte for this long ends (lookup and connection included).
    int IdleTimeOutSecs = 60;
    // Bodies longer than this fail; 0: no limit.
    qint64 MaxBodyBytes = 0;

    // HTTP status of the last transfer: 0 before a status line was read, after a stop or a
    // failure; -1 after a truncated 200.
    int Status() const { return FStatus; }

    qint64 ContentLength() const { return FReader.ContentLength(); }

    QStringList HttpHeader() const;

    const std::vector<std::string> &HttpHeaderLines() const { return FReader.HttpHeader(); }

    bool Transferring() const { return FTransferring; }

    bool InHeader() const { return FTransferring && FReader.InHeader(); }

    QString PendingHeaderLine() const;

    qint64 TotalReceived() const { return FReader.TotalReceived(); }

    qint64 BodyReceived() const { return FReader.BodyReceived(); }

    QString StatusText() const { return FStatusText; }

    std::function<void(QObject *sender, const QString &message)> OnStatusMsg;
    std::function<void(QObject *sender, int percReceived, qint64 bytesReceived)> OnProgressMsg;
    // Raised once for every transfer that started, from the event loop after it ended.
    std::function<void(QObject *sender, int status)> OnComplete;
    std::function<void(QObject *sender, QStringList &headers)> OnAddHeaders;
    // The system's beep, sounded by CancelTransfer; none by default (no window system here).
    std::function<void()> Beep;

    void Get();
    // Stops a running transfer instead of starting one. Raises EVrnError "No TCP Client
    // component set" without a client, and the client's "Nome do host inválido".
    void StartTransfer();
    // Beeps and ends the transfer with "Transferência interrompida" and status 0.
    void CancelTransfer();
    void StopTransfer();
    // Ends a running transfer with status 0 and the given reason (a time-out of the caller).
    void AbortTransfer(const QString &reason);

private:
    void Hook(TTCPCli *client);
    void ClientReadyToSend();
    void ClientDataReceived();
    void ClientClosed();
    void ClientStatus(int status);
    void Finish(const QString *failure);
    bool WriteBody(std::string_view bytes);
    bool CommitBody(QString &error);
    void Report(const QString &message);

    QPointer<TTCPCli> FClient;
    THttpLocation FLocation;
    QString FLocationError;
    THttpResponseReader FReader;
    std::unique_ptr<QTemporaryFile> FOutput;
    QString FWriteError;
    bool FTransferring = false;
    bool FRequestSent = false;
    int FStatus = 0;
    QString FStatusText;
    qint64 FReportedBody = -1;
    QTimer FIdleTimer;
};

} // namespace vrn
