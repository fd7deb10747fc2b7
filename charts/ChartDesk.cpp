#include "charts/ChartDesk.h"

#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <climits>

namespace vrn {

namespace {

// Hit radii in pixels: marks are big icons, chart objects are found by their box centre.
constexpr int kMarkHitPixels = 10;
constexpr int kCentreHitPixels = 10;

template <class T>
std::string NextFreeName(const TOwnedList<T> &list, const std::string &stem)
{
    for (long long n = 1;; ++n) {
        const std::string name = stem + FormatInt(n);
        const bool used = std::any_of(
            list.begin(), list.end(), [&](const auto &item) { return item->Name == name; });
        if (!used)
            return name;
    }
}

template <class T>
bool IsListed(const TOwnedList<T> &list, const T *item)
{
    return item && list.IndexOf(item) >= 0;
}

// The shared steps of finishing a route or a track.
template <class T>
TFinishResult<T> Finish(TOwnedList<T> &list, std::unique_ptr<T> &own, T *&current, bool &modified,
    const TAskNameFn &askName, const std::string &prompt)
{
    TFinishResult<T> result;
    if (!IsListed(list, current)) {
        std::optional<std::string> name;
        if (current->PointCount() > 0 && askName)
            name = askName(prompt, current->Name);
        if (name) {
            own->Name = *name;
            result.Added = list.Add(std::move(own));
            modified = true;
        }
        own.reset();
        result.Redraw = true;
    }
    own = std::make_unique<T>();
    current = own.get();
    return result;
}

template <class T>
bool Select(TOwnedList<T> &list, std::unique_ptr<T> &own, T *&current, T *target,
    const std::function<TFinishResult<T>()> &finish, const TAskYesNoFn &askSave,
    const std::string &question, TFinishResult<T> &finished)
{
    if (target == current || !IsListed(list, target))
        return false;
    if (!IsListed(list, current)) {
        if (current->PointCount() > 0 && askSave && askSave(question + target->Name + " ?"))
            finished = finish();
        own.reset();
    }
    current = target;
    return true;
}

template <class T>
bool Delete(TOwnedList<T> &list, std::unique_ptr<T> &own, T *&current, T *item, bool &modified,
    const std::function<std::string()> &nextName)
{
    if (!item)
        return false;
    const bool wasCurrent = item == current;
    if (list.Extract(item))
        modified = true;
    else if (!wasCurrent)
        return false;
    if (wasCurrent) {
        own = std::make_unique<T>();
        current = own.get();
        current->Name = nextName();
    }
    return true;
}

template <class T>
bool Clear(TOwnedList<T> &list, std::unique_ptr<T> &own, T *&current, bool &modified)
{
    own.reset();
    const bool any = !list.Empty();
    // Last to first, as the list was built.
    while (!list.Empty())
        list.Extract(list[list.Count() - 1]).reset();
    if (any)
        modified = true;
    own = std::make_unique<T>();
    current = own.get();
    return any;
}

} // namespace

TChartDesk::TChartDesk()
    : FOwnRoute(std::make_unique<TChtRoute>())
    , FOwnTrack(std::make_unique<TChtTrack>())
    , FRoute(FOwnRoute.get())
    , FTrack(FOwnTrack.get())
{ }

TChartDesk::~TChartDesk() = default;

bool TChartDesk::IsModified() const
{
    return ChartImagesModified || RoutesModified || TracksModified || OtherObjectsModified
        || ChartModified;
}

bool TChartDesk::IsRouteListed(const TChtRoute *route) const
{
    return IsListed(Routes, route);
}

bool TChartDesk::IsTrackListed(const TChtTrack *track) const
{
    return IsListed(Tracks, track);
}

std::string TChartDesk::NextRouteName() const
{
    return NextFreeName(Routes, "Route");
}

std::string TChartDesk::NextTrackName() const
{
    return NextFreeName(Tracks, "Track");
}

std::vector<TChartFileMessage> TChartDesk::LoadChart(
    const std::string &fileName, bool append, TColor landColor, TColor shoreColor)
{
    TChartFileContents contents = ReadChartFile(fileName);
    ApplyDefaultColors(contents.Objects, landColor, shoreColor);
    if (append && ChartObjects) {
        ChartObjects->TakeAll(contents.Objects);
    } else {
        ChartObjects = std::make_unique<TObjList>(std::move(contents.Objects));
        ChartFileName = fileName;
    }
    KeptChartRef.reset();
    ChartModified = true;
    return std::move(contents.Messages);
}

void TChartDesk::TakeDesktop(TObjList &objects)
{
    TOwnedList<TChtTrack> tracks;
    TOwnedList<TChtRoute> routes;
    TOwnedList<TChtChartImage> images;
    TObjList others;
    for (auto &item : objects.ReleaseAll()) {
        TChtObject *object = item.get();
        // A track is a route too, so tracks are taken first.
        if (auto *track = dynamic_cast<TChtTrack *>(object)) {
            item.release();
            tracks.Add(std::unique_ptr<TChtTrack>(track));
        } else if (auto *route = dynamic_cast<TChtRoute *>(object)) {
            item.release();
            routes.Add(std::unique_ptr<TChtRoute>(route));
        } else if (auto *image = dynamic_cast<TChtChartImage *>(object)) {
            item.release();
            images.Add(std::unique_ptr<TChtChartImage>(image));
        } else {
            others.Add(std::move(item));
        }
    }
    const bool routeListed = IsRouteListed(FRoute);
    const bool trackListed = IsTrackListed(FTrack);
    ChartImages = std::move(images);
    Routes = std::move(routes);
    Tracks = std::move(tracks);
    OtherObjects = std::move(others);
    if (routeListed) {
        FOwnRoute = std::make_unique<TChtRoute>();
        FRoute = FOwnRoute.get();
        FRoute->Name = NextRouteName();
    }
    if (trackListed) {
        FOwnTrack = std::make_unique<TChtTrack>();
        FTrack = FOwnTrack.get();
        FTrack->Name = NextTrackName();
    }
    ChartImagesModified = RoutesModified = TracksModified = OtherObjectsModified = false;
    ChartModified = false;
    KeptChartRef.reset();
}

void TChartDesk::ApplyLandColor(TColor colour)
{
    if (ChartObjects)
        ApplyDefaultColors(*ChartObjects, colour, std::nullopt);
}

void TChartDesk::ApplyShoreColor(TColor colour)
{
    if (ChartObjects)
        ApplyDefaultColors(*ChartObjects, std::nullopt, colour);
}

void TChartDesk::DrawListed(TChartSurface &surface, bool recompute)
{
    if (ChartObjects)
        for (const auto &obj : *ChartObjects)
            obj->Draw(surface, recompute);
    for (const auto &obj : ChartImages)
        obj->Draw(surface, recompute);
    for (const auto &obj : Routes)
        obj->Draw(surface, recompute);
    for (const auto &obj : Tracks)
        obj->Draw(surface, recompute);
    for (const auto &obj : OtherObjects)
        obj->Draw(surface, recompute);
}

void TChartDesk::DrawCurrent(TChartSurface &surface, bool recompute)
{
    FRoute->Draw(surface, recompute);
    FTrack->Draw(surface, recompute);
}

TChartHit TChartDesk::FindObjectAt(const TChartSurface &surface, int x, int y)
{
    for (const auto &obj : OtherObjects)
        if (obj->IsVisible(surface) && obj->Distance(x, y) <= kMarkHitPixels)
            return {obj.get(), nullptr};
    auto inRoutes = [&](const auto &list) -> TChartHit {
        for (const auto &r : list) {
            if (!r->Visible || !r->IsVisible(surface))
                continue;
            if (TChtPoint *p = r->FindPoint(x, y))
                return {r.get(), p->Name.empty() ? nullptr : p};
        }
        return {};
    };
    if (TChartHit hit = inRoutes(Routes))
        return hit;
    if (TChartHit hit = inRoutes(Tracks))
        return hit;
    if (!ChartObjects)
        return {};
    TChartHit best;
    int bestDist = INT_MAX;
    for (const auto &obj : *ChartObjects) {
        if (!obj->IsVisible(surface))
            continue;
        if (auto *poly = dynamic_cast<TChtPoliPoints *>(obj.get())) {
            if (TChtPoint *p = poly->FindPoint(x, y); p && !p->Name.empty())
                return {obj.get(), p};
        }
        const TScreenPoint c =
            surface.World2Screen((obj->LatMin + obj->LatMax) / 2, (obj->LonMin + obj->LonMax) / 2);
        const int d = PixelDistance(x, y, c.X, c.Y);
        if (d < kCentreHitPixels && d < bestDist) {
            best = {obj.get(), nullptr};
            bestDist = d;
        }
    }
    return best;
}

bool TChartDesk::AddCurrentRoutePoint(double latDeg, double lonDeg)
{
    FRoute->AddPoint("", latDeg, lonDeg, 0);
    const bool listed = IsRouteListed(FRoute);
    if (listed)
        RoutesModified = true;
    return listed;
}

bool TChartDesk::AddCurrentTrackPoint(double latDeg, double lonDeg, double time)
{
    FTrack->AddPoint("", latDeg, lonDeg, time);
    const bool listed = IsTrackListed(FTrack);
    if (listed)
        TracksModified = true;
    return listed;
}

void TChartDesk::AddTrackPoint(
    TChtTrack *track, const std::string &name, double latDeg, double lonDeg, double time)
{
    if (!track || (track != FTrack && !IsTrackListed(track)))
        throw EVrnError("invalid Track.");
    track->AddPoint(name, latDeg, lonDeg, time);
    TracksModified = true;
}

TFinishResult<TChtRoute> TChartDesk::FinishRoute(const TAskNameFn &askName)
{
    auto result = Finish(Routes, FOwnRoute, FRoute, RoutesModified, askName,
        "Enter Name for new route or Cancel to drop");
    FRoute->Name = NextRouteName();
    return result;
}

TFinishResult<TChtTrack> TChartDesk::FinishTrack(const TAskNameFn &askName)
{
    auto result = Finish(Tracks, FOwnTrack, FTrack, TracksModified, askName,
        "Enter Name for new Track or Cancel to drop");
    FTrack->Name = NextTrackName();
    return result;
}

bool TChartDesk::SelectRoute(TChtRoute *route, const TAskYesNoFn &askSave,
    const TAskNameFn &askName, TFinishResult<TChtRoute> &finished)
{
    std::function<TFinishResult<TChtRoute>()> finish = [&] { return FinishRoute(askName); };
    return Select<TChtRoute>(Routes, FOwnRoute, FRoute, route, finish, askSave,
        "Save current route before selecting ", finished);
}

bool TChartDesk::SelectTrack(TChtTrack *track, const TAskYesNoFn &askSave,
    const TAskNameFn &askName, TFinishResult<TChtTrack> &finished)
{
    std::function<TFinishResult<TChtTrack>()> finish = [&] { return FinishTrack(askName); };
    return Select<TChtTrack>(Tracks, FOwnTrack, FTrack, track, finish, askSave,
        "Save current Track before selecting ", finished);
}

bool TChartDesk::DeleteRoute(TChtRoute *route)
{
    return Delete(
        Routes, FOwnRoute, FRoute, route, RoutesModified, [this] { return NextRouteName(); });
}

bool TChartDesk::DeleteTrack(TChtTrack *track)
{
    return Delete(
        Tracks, FOwnTrack, FTrack, track, TracksModified, [this] { return NextTrackName(); });
}

bool TChartDesk::DeleteChartImage(TChtChartImage *image)
{
    auto freed = ChartImages.Extract(image);
    if (!freed)
        return false;
    freed.reset();
    ChartImagesModified = true;
    return true;
}

std::optional<std::size_t> TChartDesk::MoveChartImage(std::size_t index, bool up)
{
    if (index >= ChartImages.Count() || (up && index == 0)
        || (!up && index + 1 == ChartImages.Count()))
        return std::nullopt;
    const std::size_t to = up ? index - 1 : index + 1;
    ChartImages.Swap(index, to);
    ChartImagesModified = true;
    return to;
}

bool TChartDesk::ClearRoutes()
{
    const bool any = Clear(Routes, FOwnRoute, FRoute, RoutesModified);
    FRoute->Name = NextRouteName();
    return any;
}

bool TChartDesk::ClearTracks()
{
    const bool any = Clear(Tracks, FOwnTrack, FTrack, TracksModified);
    FTrack->Name = NextTrackName();
    return any;
}

TChtTrack *TChartDesk::GpsTrack() const
{
    for (const auto &t : Tracks)
        if (t->GpsTrack)
            return t.get();
    return nullptr;
}

bool TChartDesk::SetGpsTrack(TChtTrack *track)
{
    bool changed = false;
    for (const auto &t : Tracks) {
        const bool flag = t.get() == track;
        if (t->GpsTrack != flag) {
            t->GpsTrack = flag;
            changed = true;
        }
    }
    if (changed)
        TracksModified = true;
    return changed;
}

void TChartDesk::SetNumPontosTracks(int count)
{
    for (const auto &t : Tracks)
        if (t->Visible)
            t->TailLength = count;
}

void TChartDesk::SetTimeLimits(double time)
{
    for (const auto &t : Tracks)
        t->TimeLimit = time;
}

double TChartDesk::TrackTimeInicial() const
{
    double best = 0;
    for (const auto &t : Tracks) {
        const double first = t->FirstTime();
        if (t->Visible && first != 0 && (best == 0 || first < best))
            best = first;
    }
    return best;
}

double TChartDesk::TrackTimeFinal() const
{
    double best = 0;
    for (const auto &t : Tracks)
        if (t->Visible && t->LastTime() > best)
            best = t->LastTime();
    return best;
}

std::size_t TChartDesk::ChartObjectCount() const
{
    return ChartObjects ? ChartObjects->Count() : 0;
}

std::size_t TChartDesk::ChartPointCount() const
{
    return ChartObjects ? PointCountOf(*ChartObjects) : 0;
}

std::optional<TChartDesk::TView> TChartDesk::ChartExtent(int width, int height) const
{
    if (!ChartObjects || width <= 0 || height <= 0)
        return std::nullopt;
    return ViewOfObjects(*ChartObjects, double(width) / height);
}

std::optional<TChartDesk::TView> TChartDesk::DesktopExtent(int width, int height) const
{
    if (width <= 0 || height <= 0)
        return std::nullopt;
    TObjectsBox box;
    if (ChartObjects)
        for (const auto &obj : *ChartObjects)
            box.Add(*obj);
    for (const auto &obj : ChartImages)
        box.Add(*obj);
    for (const auto &obj : Routes)
        box.Add(*obj);
    for (const auto &obj : Tracks)
        box.Add(*obj);
    for (const auto &obj : OtherObjects)
        box.Add(*obj);
    return box.View(double(width) / height);
}

std::size_t TChartDesk::ObjectCount() const
{
    return ChartObjectCount() + ChartImages.Count() + Routes.Count() + Tracks.Count()
        + OtherObjects.Count();
}

} // namespace vrn
