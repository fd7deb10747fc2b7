#pragma once

// The chart viewer's location panel at work: what is typed in "Location:" is fetched on Enter
// or "Refresh desktop", Escape and "Stop download" stop it, the status label and the progress
// gauge follow the transfer and the traffic animation plays while it runs. What a complete
// fetch brings is handed to the viewer, which replaces its desktop or vector chart.

#include "net/SockCmp.h"
#include "net/WebFetch.h"
#include "net/httpxfer.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace vrn {

class TFarol;

// The viewer's controls the panel drives; all are the viewer's own.
struct TLocationPanelControls
{
    QLineEdit *EdLocation = nullptr;
    QAbstractButton *BStop = nullptr;
    QAbstractButton *BRefresca = nullptr;
    QLabel *LStatusBrowser = nullptr;
    QProgressBar *GaugeBrowser = nullptr;
    TFarol *Farol = nullptr;
};

class TWebLocationPanel : public QObject
{
    Q_OBJECT

public:
    TWebLocationPanel(const TLocationPanelControls &controls, const QString &cacheFolder,
        QObject *parent = nullptr);
    ~TWebLocationPanel() override;

    TTCPCli TCPCli1;
    THttpXfer HttpXferVrn;

    TWebChartFetch &Fetcher() { return *FFetch; }

    // A fetch that ended with its files complete and usable in the cache; handed over only
    // while no modal dialog is open (one that is open is waited for), so that the desktop is
    // never replaced under a dialog working on its objects.
    std::function<void(const TWebFetchResult &result)> OnFetched;

    // The location typed, fetched; while a transfer runs, stops it and starts nothing. A
    // refused location says why in the status label and leaves the indicators as they were.
    void FetchLocation();
    // The location given (the start-up location file's line) put in the field and fetched.
    void FetchText(const QString &location);
    // Enter fetches the location, Escape stops the transfer; true when the key was taken.
    bool EdLocationKeyPress(int key);
    void BStopClick();
    void BRefrescaClick();
    void HttpXferStatusMsg(const QString &message);
    void HttpXferProgressMsg(int percReceived, qint64 bytesReceived);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowTransfer(bool on);
    void HandOver();

    TLocationPanelControls FControls;
    std::unique_ptr<TWebChartFetch> FFetch;
    std::optional<TWebFetchResult> FWaiting; // complete, waiting for a modal dialog to close
    QTimer FHandOverTimer;
};

} // namespace vrn
