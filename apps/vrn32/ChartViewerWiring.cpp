#include "apps/vrn32/ChartViewerWiring.h"

#include "apps/vrn32/fchvrn32.h"
#include "charts/Dcarta.h"
#include "gps/fgpsxf.h"
#include "net/Farol.h"
#include "net/WebApply.h"
#include "net/WebLocationPanel.h"
#include "ui/MessageBoxes.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSizePolicy>
#include <QTimer>
#include <QToolBar>

namespace vrn {

namespace {

struct TWaitCursor
{
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }

    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

} // namespace

TChartViewerWiring::TChartViewerWiring(
    TFormCartaVrn &viewer, TFormGPSInterface &gps, QObject *parent)
    : QObject(parent)
    , FViewer(viewer)
    , FGps(gps)
{
    viewer.SetGpsWindow(&gps, [this](TChtTrack *track) { FGps.ShowGpsTrackName(track); });
    // The recovery file holds the GPS points until the desktop holding them is on disk, or
    // until the user gives the desktop up at exit.
    viewer.SetDesktopSaveHandlers(
        [this] { FGps.GpsTrackSaved(); }, [this] { FGps.GpsTrackSaved(); });
    viewer.ShowGpsTrackName();

    // The traffic animation at the right end of the location panel.
    QToolBar *bar = viewer.LocationPanel();
    auto *spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    FFarol = new TFarol(bar);
    FFarol->setObjectName(QStringLiteral("Farol"));
    FFarol->setToolTip(QStringLiteral("Plays while a transfer runs"));
    bar->addWidget(FFarol);

    // "Refresh desktop" and the start-up location come through the viewer's fetcher; Enter,
    // Escape and "Stop download" are taken by the panel itself.
    const TLocationPanelControls controls {viewer.LocationField(), viewer.StopButton(), nullptr,
        viewer.WebStatusLabel(), viewer.WebGauge(), FFarol};
    FWeb = std::make_unique<TWebLocationPanel>(controls, viewer.CacheDir());
    FWeb->OnFetched = [this](const TWebFetchResult &result) { ApplyFetched(result); };
    FWeb->OnEnded = [this] { FetchEnded(); };
    viewer.SetLocationFetcher([this](const QString &location) { FWeb->FetchText(location); });
    viewer.SetStartupHandler([this] { ViewerStarted(); });
}

TChartViewerWiring::~TChartViewerWiring()
{
    FViewer.SetStartupHandler(nullptr);
    FViewer.SetLocationFetcher(nullptr);
    FViewer.SetDesktopSaveHandlers(nullptr, nullptr);
    FViewer.SetGpsWindow(nullptr, nullptr);
}

void TChartViewerWiring::ApplyFetched(const TWebFetchResult &result)
{
    TWebApplyHooks hooks;
    hooks.AskSaveDesktop = [this] { return FViewer.AskSaveDesktop(); };
    hooks.SetDesktop = [this](TObjList &objects, std::unique_ptr<TChtFileObject> chartRef) {
        const TWaitCursor wait;
        return FViewer.Chart().SetDesktop(objects, std::move(chartRef));
    };
    hooks.LoadChart = [this](const std::string &chartFile) {
        FViewer.OpenVectorChart(QString::fromStdString(chartFile));
    };
    hooks.ShowMessage = [this](const std::string &message) {
        ShowMessage(&FViewer, QString::fromStdString(message));
    };
    ApplyWebFetch(
        result.Kind, result.DesktopPath.toStdString(), result.ChartPath.toStdString(), hooks);
}

void TChartViewerWiring::ViewerStarted()
{
    // With a start-up location on its way, its desktop is the one the points go back into.
    if (FWeb->Fetcher().Busy())
        FRecoveryAfterFetch = true;
    else
        OfferGpsRecovery();
}

void TChartViewerWiring::FetchEnded()
{
    if (!FRecoveryAfterFetch)
        return;
    FRecoveryAfterFetch = false;
    OfferGpsRecovery();
}

void TChartViewerWiring::OfferGpsRecovery()
{
    // Asked from the event loop, not from inside the handler that ended the fetch.
    QTimer::singleShot(0, this, [this] { RunCommand(&FViewer, [this] { FGps.OfferRecovery(); }); });
}

} // namespace vrn
