#include "net/WebFetchRun.h"

#include "net/SockCmp.h"
#include "net/WebFetch.h"
#include "net/httpxfer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QSslCertificate>
#include <cmath>
#include <memory>

namespace vrn {

namespace {

// The programs' identity, under which the cache and configuration folders are found.
void EnsureApplication(std::unique_ptr<QCoreApplication> &owned)
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "vrncli";
        static char *argv[] = {name, nullptr};
        owned = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (QCoreApplication::organizationName().isEmpty())
        QCoreApplication::setOrganizationName(QStringLiteral("Pelvarq"));
    if (QCoreApplication::applicationName().isEmpty()
        || QCoreApplication::applicationName() == QLatin1String("vrncli"))
        QCoreApplication::setApplicationName(QStringLiteral("Varunel"));
}

} // namespace

TWebFetchReport RunWebFetch(const TWebFetchRequest &request,
    const std::function<void(const std::string &message)> &onStatus)
{
    TWebFetchReport report;
    std::unique_ptr<QCoreApplication> app;
    EnsureApplication(app);

    TTCPCli client;
    if (!request.CaFile.empty()) {
        const QString caFile = QString::fromStdString(request.CaFile);
        QFile file(caFile);
        if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) {
            report.Outcome = TWebFetchOutcome::Refused;
            report.Reason = "cannot read the certificate file " + request.CaFile;
            return report;
        }
        client.ExtraCaCertificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
        if (client.ExtraCaCertificates.isEmpty()) {
            report.Outcome = TWebFetchOutcome::Refused;
            report.Reason = "no PEM certificate in " + request.CaFile;
            return report;
        }
    }
    THttpXfer xfer;
    xfer.SetTCPCli(&client);
    xfer.IdleTimeOutSecs = request.IdleTimeOutSecs;
    const QString folder = request.CacheFolder.empty()
        ? ProgramCacheFolder()
        : QString::fromStdString(request.CacheFolder);
    TWebChartFetch fetch(xfer, folder);
    fetch.TotalTimeOutMs = static_cast<int>(std::lround(request.TimeoutSecs * 1000));
    fetch.OnStatus = [&](const QString &message) {
        if (!message.isEmpty() && onStatus)
            onStatus(message.toStdString());
    };
    QEventLoop loop;
    TWebFetchResult result;
    fetch.OnFinished = [&](const TWebFetchResult &r) {
        result = r;
        loop.quit();
    };
    if (!fetch.Fetch(QString::fromStdString(request.Location))) {
        report.Outcome = TWebFetchOutcome::Refused;
        report.Reason = fetch.RefusedReason().toStdString();
        return report;
    }
    loop.exec();
    report.Outcome = result.Ok ? TWebFetchOutcome::Ok : TWebFetchOutcome::Failed;
    report.Reason = result.Reason.toStdString();
    for (const TWebFetchFile &f : result.Files)
        report.Files.push_back({f.Fetched, f.Path.toStdString()});
    return report;
}

} // namespace vrn
