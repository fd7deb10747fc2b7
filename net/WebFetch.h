#pragma once

// A desktop or a vector chart fetched into the cache folder, as the chart viewer's location
// panel and vrncli fetch do it: the location is checked, the file is asked for with
// If-modified-since when the cache holds a copy from the same URL, a fetched file replaces its
// cached copy only when complete and is kept only when it reads as a chart file, and a fetched
// desktop brings the chart it names along from its own folder on the same server.

#include "net/HttpCache.h"
#include "net/HttpLocation.h"
#include "net/WebCharts.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

class THttpXfer;

// The cache folder of the programs: the "Path" of section "Cache" in vrn32.ini in the per-user
// configuration folder when it is set, otherwise the per-user cache folder.
QString ProgramCacheFolder();

struct TWebFetchFile
{
    bool Fetched = false; // false: the server said "not modified" and the cached copy is used
    QString Path;
};

struct TWebFetchResult
{
    bool Ok = false;
    TWebFileKind Kind = TWebFileKind::None;
    QString DesktopPath; // cached desktop, for a desktop location
    QString ChartPath; // cached chart: the location's, or the one the desktop names
    std::vector<TWebFetchFile> Files; // complete and usable files now in the cache, in order
    QString Reason; // why it failed
};

class TWebChartFetch : public QObject
{
    Q_OBJECT

public:
    // Drives the transfer given (it keeps its client); files go to cacheFolder.
    TWebChartFetch(THttpXfer &xfer, QString cacheFolder, QObject *parent = nullptr);
    // Unhooks the transfer and ends a fetch under way without reporting it.
    ~TWebChartFetch() override;

    // Bounds the whole fetch (lookup, connection, every byte, the desktop's chart); 0: none.
    int TotalTimeOutMs = 0;

    // Status texts and body progress as they happen, and the end of every fetch that started.
    std::function<void(const QString &message)> OnStatus;
    std::function<void(int percReceived, qint64 bytesReceived)> OnProgress;
    std::function<void(const TWebFetchResult &result)> OnFinished;

    // Checks a location against the transfer's current one without fetching: the reason it is
    // refused, or empty.
    QString Refusal(const QString &location) const;

    // Starts fetching; false (and nothing started, the reason in RefusedReason) when the
    // location is refused. While a fetch runs, stops it instead.
    bool Fetch(const QString &location);

    QString RefusedReason() const { return FRefused; }

    const TWebCache &Cache() const { return FCache; }

    bool Busy() const { return FBusy; }

    void Stop();

    // The transfer's completion of a desktop and of a chart, and its request headers.
    void HttpXferVrnComplete(int status);
    void HttpXferChartComplete(int status);
    void HttpXferAddHeaders(QStringList &headers);

private:
    struct TPlan
    {
        THttpLocation Location;
        TWebFileKind Kind = TWebFileKind::None;
        std::string Segment;
    };

    std::optional<TPlan> Plan(const QString &location, QString &refusal) const;
    void StartGet(const std::string &segment, bool desktop);
    // The file of the transfer that just ended, checked and recorded; false with FResult's
    // reason set when it is not usable.
    bool TakeFile(int status, const std::string &segment, TWebFileKind kind,
        std::optional<std::string> &chartName);
    void StartChart(const std::string &chartName);
    void End(bool ok, const QString &reason = {});

    THttpXfer &FXfer;
    TWebCache FCache;
    QTimer FTotalTimer;
    bool FBusy = false;
    QString FRefused;
    std::string FSegment; // of the transfer under way
    std::string FUrl;
    bool FAskedIfModified = false;
    QString FLastStatus;
    TWebFetchResult FResult;
};

} // namespace vrn
