#pragma once

// The route and track editor and the track replay work inside the chart viewer: the editor's
// "Routes/Tracks" page sits in the viewer's editor panel and the replay controls in its "track
// animation" tool panel. The viewer calls them through this interface, so the editor is written
// and tested on its own and plugged in at start-up (TFormCartaVrn::SetRouteTrackEditor).

class QWidget;

namespace vrn {

class TChtRoute;
class TChtTrack;

class TRouteTrackEditor
{
public:
    virtual ~TRouteTrackEditor() = default;

    // The "Routes/Tracks" page and the replay controls; the viewer takes them into its panels
    // (and so owns them from then on). Either may be null.
    virtual QWidget *RoutesTracksPage() = 0;
    virtual QWidget *TrackAnimationControls() = 0;

    // The editor panel was shown (also to refresh it) or hidden.
    virtual void ShowEditor() = 0;
    virtual void HideEditor() = 0;
    // A desktop was loaded or set: forget the highlighted point; the replay range is re-read
    // when the track animation panel is shown (the viewer sets the track time to 0 otherwise).
    virtual void NewDesktop(bool editorShown, bool replayShown) = 0;
    // The chart view's events, passed on whether the editor is shown or not.
    virtual void RouteChanged(TChtRoute *route) = 0;
    virtual void TrackChanged(TChtTrack *track) = 0;
    // After every redraw of the chart: the highlight is drawn again over the new picture.
    virtual void ChartRedrawn() = 0;
    // A tool panel was shown, hidden or floated.
    virtual void PanelChanged(bool replayShown) = 0;
    // "&Add Points to Route.." and "Add Points to track..".
    virtual void AddPointsToRoute() = 0;
    virtual void AddPointsToTrack() = 0;
};

} // namespace vrn
