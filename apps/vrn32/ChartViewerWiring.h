#pragma once

// The GPS window and the web transfer at work in the chart viewer. The GPS window plots on the
// viewer's chart view and writes the GPS track of its desktop; the viewer's "GPS interface"
// commands show it and the viewer tells it the GPS track of every new desktop. Its recovery
// file is offered back once the viewer's start-up desktop is there (after the start-up
// location's fetch, when there is one) and cleared by a committed save or a No at exit. The
// location panel fetches into the viewer's cache folder, and what it brings replaces the
// viewer's desktop or vector chart after the changed-desktop question.

#include <QObject>
#include <memory>

namespace vrn {

class TFarol;
class TFormCartaVrn;
class TFormGPSInterface;
class TWebLocationPanel;
struct TWebFetchResult;

class TChartViewerWiring : public QObject
{
    Q_OBJECT

public:
    // Both windows outlive this object.
    TChartViewerWiring(TFormCartaVrn &viewer, TFormGPSInterface &gps, QObject *parent = nullptr);
    ~TChartViewerWiring() override;

    TWebLocationPanel &WebPanel() { return *FWeb; }

    // A fetch that ended complete, applied to the viewer: the changed-desktop question, then
    // the fetched desktop (with its chart) or vector chart, with the hourglass; what could not
    // be used is shown in one message.
    void ApplyFetched(const TWebFetchResult &result);

private:
    void ViewerStarted();
    void FetchEnded();
    void OfferGpsRecovery();

    TFormCartaVrn &FViewer;
    TFormGPSInterface &FGps;
    TFarol *FFarol = nullptr; // owned by the viewer's location panel
    std::unique_ptr<TWebLocationPanel> FWeb;
    bool FRecoveryAfterFetch = false;
};

} // namespace vrn
