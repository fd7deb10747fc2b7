#include "net/WebFetch.h"

#include "charts/ChtFile.h"
#include "engine/VrnError.h"
#include "net/Htmldoc.h"
#include "net/HttpRequest.h"
#include "net/httpxfer.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <exception>

namespace vrn {

namespace {

QString FromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

QString ProgramCacheFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QSettings ini(QDir(config).filePath(QStringLiteral("vrn32.ini")), QSettings::IniFormat);
    const QString path = ini.value(QStringLiteral("Cache/Path")).toString();
    if (!path.isEmpty())
        return path;
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

TWebChartFetch::TWebChartFetch(THttpXfer &xfer, QString cacheFolder, QObject *parent)
    : QObject(parent)
    , FXfer(xfer)
    , FCache(std::filesystem::path(cacheFolder.toStdString()))
{
    FXfer.MaxBodyBytes = static_cast<qint64>(kMaxChartFileBytes);
    FXfer.OnStatusMsg = [this](QObject *, const QString &message) {
        FLastStatus = message;
        if (OnStatus)
            OnStatus(message);
    };
    FXfer.OnProgressMsg = [this](QObject *, int perc, qint64 bytes) {
        if (OnProgress)
            OnProgress(perc, bytes);
    };
    FXfer.OnAddHeaders = [this](QObject *, QStringList &headers) { HttpXferAddHeaders(headers); };
    FTotalTimer.setSingleShot(true);
    connect(&FTotalTimer, &QTimer::timeout, this, [this] {
        const QString why = QStringLiteral("Timed out after %1 s").arg(TotalTimeOutMs / 1000.0);
        if (FXfer.Transferring())
            FXfer.AbortTransfer(why);
        else if (FBusy)
            End(false, why);
    });
}

TWebChartFetch::~TWebChartFetch()
{
    FXfer.OnStatusMsg = nullptr;
    FXfer.OnProgressMsg = nullptr;
    FXfer.OnAddHeaders = nullptr;
    FXfer.OnComplete = nullptr;
    FXfer.AbortTransfer(FromStd(StatusText(0)));
}

std::optional<TWebChartFetch::TPlan> TWebChartFetch::Plan(
    const QString &location, QString &refusal) const
{
    const TLocationParse parsed = ParseLocation(location.toStdString(), FXfer.Location());
    if (!parsed.Location) {
        refusal = FromStd(parsed.Error);
        return std::nullopt;
    }
    TPlan plan {
        *parsed.Location, WebFileKind(parsed.Location->URI), LastPathSegment(parsed.Location->URI)};
    if (const auto error = TWebCache::SegmentError(plan.Segment)) {
        refusal = QStringLiteral("Location refused: ") + FromStd(*error);
        return std::nullopt;
    }
    if (plan.Kind == TWebFileKind::None) {
        refusal = QStringLiteral("Location refused: it names no desktop (.vrn) or chart (.cht)");
        return std::nullopt;
    }
    return plan;
}

QString TWebChartFetch::Refusal(const QString &location) const
{
    QString refusal;
    Plan(location, refusal);
    return refusal;
}

bool TWebChartFetch::Fetch(const QString &location)
{
    FRefused.clear();
    if (FBusy) {
        Stop();
        return false;
    }
    const auto plan = Plan(location, FRefused);
    if (!plan)
        return false;
    FResult = TWebFetchResult {};
    FResult.Kind = plan->Kind;
    FBusy = true;
    if (TotalTimeOutMs > 0)
        FTotalTimer.start(TotalTimeOutMs);
    try {
        FCache.Prepare();
    } catch (const EVrnError &e) {
        End(false, QString::fromUtf8(e.what()));
        return true;
    }
    FXfer.SetLocation(plan->Location);
    StartGet(plan->Segment, plan->Kind == TWebFileKind::Desktop);
    return true;
}

void TWebChartFetch::Stop()
{
    if (!FBusy)
        return;
    if (FXfer.Transferring())
        FXfer.StopTransfer(); // its completion ends the fetch
    else
        End(false, FromStd(StatusText(0)));
}

void TWebChartFetch::StartGet(const std::string &segment, bool desktop)
{
    FSegment = segment;
    FUrl = LocationURL(FXfer.Location());
    FAskedIfModified = false;
    FXfer.LocalFileName = FromStd(FCache.PathFor(segment).string());
    if (desktop)
        FXfer.OnComplete = [this](QObject *, int status) { HttpXferVrnComplete(status); };
    else
        FXfer.OnComplete = [this](QObject *, int status) { HttpXferChartComplete(status); };
    try {
        FXfer.Get();
    } catch (const EVrnError &e) {
        End(false, QString::fromUtf8(e.what()));
        return;
    }
    if (!FXfer.Transferring())
        End(false, FXfer.StatusText());
}

void TWebChartFetch::HttpXferAddHeaders(QStringList &headers)
{
    if (const auto date = FCache.IfModifiedSince(FSegment, FUrl)) {
        headers << QStringLiteral("If-modified-since: ") + FromStd(*date);
        FAskedIfModified = true;
    }
}

bool TWebChartFetch::TakeFile(int status, const std::string &segment, TWebFileKind kind,
    std::optional<std::string> &chartName)
{
    const QString path = FromStd(FCache.PathFor(segment).string());
    const QString url = FromStd(FUrl);
    const THtmlDoc header(FXfer.HttpHeaderLines());
    if (status != 200 && status != 304) {
        QString reason = FXfer.StatusText();
        if (reason.isEmpty())
            reason = QStringLiteral("HTTP status %1 from %2").arg(status).arg(url);
        const std::string moved = header.HeaderValue("location");
        if ((status == 301 || status == 302) && !moved.empty())
            reason += QStringLiteral(": the file moved to %1").arg(FromStd(moved));
        FResult.Reason = reason;
        return false;
    }
    try {
        if (status == 304) {
            if (!FAskedIfModified || !QFileInfo(path).isFile()) {
                FResult.Reason = FXfer.StatusText()
                    + QStringLiteral(", but the cache holds no copy of %1").arg(url);
                return false;
            }
        } else {
            FCache.Record(segment, FUrl, ParseHttpDate(header.HeaderValue("last-modified")));
        }
        chartName = ReadFetchedFile(path.toStdString(), kind);
    } catch (const std::exception &e) {
        FCache.Forget(segment);
        FResult.Reason = QString::fromUtf8(e.what());
        return false;
    }
    FResult.Files.push_back({status == 200, path});
    if (status == 304 && OnStatus) {
        FLastStatus = FromStd(StatusText(200));
        OnStatus(FLastStatus);
    }
    return true;
}

void TWebChartFetch::HttpXferVrnComplete(int status)
{
    if (!FBusy)
        return;
    std::optional<std::string> chartName;
    if (!TakeFile(status, FSegment, TWebFileKind::Desktop, chartName)) {
        End(false, FResult.Reason);
        return;
    }
    FResult.DesktopPath = FResult.Files.back().Path;
    if (!chartName) {
        End(true);
        return;
    }
    StartChart(*chartName);
}

void TWebChartFetch::StartChart(const std::string &chartName)
{
    const QString shown = QStringLiteral("\"") + FromStd(chartName) + QStringLiteral("\"");
    if (!IsFetchableChartName(chartName)) {
        End(false,
            QStringLiteral("The desktop's chart %1 is not a vector chart (.cht)").arg(shown));
        return;
    }
    const std::string uri = ChartReferenceUri(FXfer.Location().BaseDir, chartName);
    const std::string segment = LastPathSegment(uri);
    if (const auto error = TWebCache::SegmentError(segment)) {
        End(false,
            QStringLiteral("The desktop's chart %1 cannot be fetched: %2")
                .arg(shown, FromStd(*error)));
        return;
    }
    if (segment == FSegment) {
        End(false,
            QStringLiteral("The desktop's chart %1 has the desktop's own file name").arg(shown));
        return;
    }
    FXfer.SetURI(FromStd(uri));
    StartGet(segment, false);
}

void TWebChartFetch::HttpXferChartComplete(int status)
{
    if (!FBusy)
        return;
    std::optional<std::string> ignored;
    if (!TakeFile(status, FSegment, TWebFileKind::Chart, ignored)) {
        End(false, FResult.Reason);
        return;
    }
    FResult.ChartPath = FResult.Files.back().Path;
    End(true);
}

void TWebChartFetch::End(bool ok, const QString &reason)
{
    FBusy = false;
    FTotalTimer.stop();
    FResult.Ok = ok;
    FResult.Reason = ok ? QString() : reason;
    if (!ok && !reason.isEmpty() && reason != FLastStatus) {
        FLastStatus = reason;
        if (OnStatus)
            OnStatus(reason);
    }
    const TWebFetchResult result = FResult;
    QTimer::singleShot(0, this, [this, result] {
        try {
            if (OnFinished)
                OnFinished(result);
        } catch (const std::exception &e) {
            qWarning("%s", e.what());
        }
    });
}

} // namespace vrn
