#pragma once

// What a chart view owns, without the window: the loaded vector chart, the desktop's raster
// chart images, routes, tracks and marks, the route and the track being drawn, and the flags
// that say the desktop changed. It draws them in the view's fixed order, finds the object under
// a pixel, and finishes, selects, deletes and clears routes and tracks. The questions these
// operations ask the user (a name, save or not) are handed in as functions, so that the window
// shows the dialogs and the tests answer them.

#include "charts/ChtFile.h"
#include "charts/ImgCarta.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

// What FindObjectAt found: a mark, a route or a track, a chart object, or a named point of one
// of them (Point set, Object its owner). Both empty when nothing is there.
struct TChartHit
{
    TChtObject *Object = nullptr;
    TChtPoint *Point = nullptr;

    explicit operator bool() const { return Object != nullptr; }
};

// Asks for the name of a finished route or track, offering initial; none means Cancel.
using TAskNameFn = std::function<std::optional<std::string>(
    const std::string &prompt, const std::string &initial)>;
// Asks a Yes/No question; true for Yes.
using TAskYesNoFn = std::function<bool(const std::string &question)>;

// Result of finishing or selecting: the route or track that was named and added to its list
// (the view raises its changed event for it), and whether the picture must be redrawn.
template <class T>
struct TFinishResult
{
    T *Added = nullptr;
    bool Redraw = false;
};

class TChartDesk
{
public:
    TChartDesk();
    ~TChartDesk();
    TChartDesk(const TChartDesk &) = delete;
    TChartDesk &operator=(const TChartDesk &) = delete;

    // Objects of the loaded vector chart; none without one.
    std::unique_ptr<TObjList> ChartObjects;
    TOwnedList<TChtChartImage> ChartImages;
    TOwnedList<TChtRoute> Routes;
    TOwnedList<TChtTrack> Tracks;
    TObjList OtherObjects; // marks
    bool ChartImagesModified = false;
    bool RoutesModified = false;
    bool TracksModified = false;
    bool OtherObjectsModified = false;
    // The vector chart was opened or merged, or a chart colour changed (zoom and pan do not
    // count: a desktop keeps its view but nobody wants to be asked for a pan).
    bool ChartModified = false;
    std::string ChartFileName; // empty when no vector chart is open
    std::string DesktopFileName;
    // The chart reference of a desktop whose vector chart could not be opened: saving writes it
    // back (file, view and colours) until another vector chart is opened.
    std::unique_ptr<TChtFileObject> KeptChartRef;

    // Never null; listed in Routes / Tracks or owned here.
    TChtRoute *CurrentRoute() const { return FRoute; }

    TChtTrack *CurrentTrack() const { return FTrack; }

    bool IsModified() const;
    bool IsRouteListed(const TChtRoute *route) const;
    bool IsTrackListed(const TChtTrack *track) const;
    // "Route" + n / "Track" + n with the smallest n >= 1 that no listed one uses (exact,
    // case-sensitive).
    std::string NextRouteName() const;
    std::string NextTrackName() const;

    // Opens a vector chart; append merges it after the open one (in reverse file order), else
    // it replaces it; a merge keeps the name of the chart it went into. A chart reference in the
    // file is ignored. Polygons that follow the
    // default colours take landColor and shoreColor. Raises "File <name> not found" and the
    // reader's errors, leaving the chart as it was; returns the reader's information messages.
    std::vector<TChartFileMessage> LoadChart(
        const std::string &fileName, bool append, TColor landColor, TColor shoreColor);

    // Makes the objects the desktop: tracks, routes, chart images and everything else (marks,
    // polygons) each go to their list in the given order, in place of the old lists, which are
    // freed. A current route or track that was listed is replaced by a new empty one; one being
    // drawn stays. The modified flags and a kept chart reference are cleared; `objects` is left
    // empty.
    void TakeDesktop(TObjList &objects);

    // Polygons that follow the default colours take the new ones.
    void ApplyLandColor(TColor colour);
    void ApplyShoreColor(TColor colour);

    // The drawing pass: vector chart, chart images, routes, tracks, marks, each in list order,
    // then (withCurrent) the grid and the route and track being drawn. For paper the current
    // ones are left out.
    void DrawListed(TChartSurface &surface, bool recompute);
    void DrawCurrent(TChartSurface &surface, bool recompute);

    // The mark within 10 pixels, else a point within 5 pixels of a shown route or track (the
    // point when named, else the route or track), else a named point of the vector chart or the
    // chart object whose box centre is nearest within 10 pixels (|dx| + |dy|). Only objects in
    // the current view count; positions are those of the last drawing.
    TChartHit FindObjectAt(const TChartSurface &surface, int x, int y);

    // The mouse adds a point to the route or track being drawn; true when that one is listed
    // (its list is then marked changed).
    bool AddCurrentRoutePoint(double latDeg, double lonDeg);
    bool AddCurrentTrackPoint(double latDeg, double lonDeg, double time);
    // A point for a listed track or the current one; raises "invalid Track." for any other.
    void AddTrackPoint(
        TChtTrack *track, const std::string &name, double latDeg, double lonDeg, double time);

    // Ends the drawing: an unlisted current route with points is named and listed (askName
    // none: dropped); a new empty current route named NextRouteName takes its place.
    TFinishResult<TChtRoute> FinishRoute(const TAskNameFn &askName);
    TFinishResult<TChtTrack> FinishTrack(const TAskNameFn &askName);
    // Makes a listed route current; an unlisted current route with points is first saved
    // (asked) or dropped. False when route is not listed or already current.
    bool SelectRoute(TChtRoute *route, const TAskYesNoFn &askSave, const TAskNameFn &askName,
        TFinishResult<TChtRoute> &finished);
    bool SelectTrack(TChtTrack *track, const TAskYesNoFn &askSave, const TAskNameFn &askName,
        TFinishResult<TChtTrack> &finished);
    // Removes and frees a listed route (or drops the unlisted current one); the current one is
    // replaced by a new empty one. False when it was neither.
    bool DeleteRoute(TChtRoute *route);
    bool DeleteTrack(TChtTrack *track);
    bool DeleteChartImage(TChtChartImage *image);
    // Moves the image at index one place up (towards the start, drawn earlier) or down; the new
    // index, or none at the first / last place or for an index past the list. Marks the images
    // changed.
    std::optional<std::size_t> MoveChartImage(std::size_t index, bool up);
    // Frees every route (listed ones last to first) and leaves a new empty current one; true
    // when a listed one was freed.
    bool ClearRoutes();
    bool ClearTracks();

    // The first listed track flagged as the GPS track, or none.
    TChtTrack *GpsTrack() const;
    // Flags exactly that listed track (none clears the flag everywhere); true when a flag
    // changed.
    bool SetGpsTrack(TChtTrack *track);
    // Tail length of every shown listed track.
    void SetNumPontosTracks(int count);
    // Replay time of every listed track (0 = whole tracks).
    void SetTimeLimits(double time);
    // Smallest non-zero first-point time / largest last-point time of the shown listed tracks;
    // 0 when none.
    double TrackTimeInicial() const;
    double TrackTimeFinal() const;

    std::size_t ChartObjectCount() const;
    std::size_t ChartPointCount() const;

    // A view that shows every object of the vector chart on a surface of width x height
    // pixels, with a 5% margin; none without a chart or objects.
    using TView = TObjectsView;

    std::optional<TView> ChartExtent(int width, int height) const;
    // The same for everything the desk holds: the vector chart and the desktop's objects.
    std::optional<TView> DesktopExtent(int width, int height) const;
    // Objects of the vector chart and of the desktop's lists (not the route and track being
    // drawn).
    std::size_t ObjectCount() const;

private:
    std::unique_ptr<TChtRoute> FOwnRoute; // the current route while it is not listed
    std::unique_ptr<TChtTrack> FOwnTrack;
    TChtRoute *FRoute = nullptr;
    TChtTrack *FTrack = nullptr;
};

} // namespace vrn
