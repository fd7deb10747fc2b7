#pragma once

// Chart objects: everything a chart view draws on top of the sea. Each object knows its bounding
// box in degrees (west-positive longitude), draws itself through a TChartSurface, answers hit
// tests in surface pixels and writes its own lines of the chart file format.

#include "charts/ChartColor.h"
#include "charts/ChartSurface.h"
#include "engine/DateTime.h"

#include <climits>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// Screen coordinates of cached points are limited to +-32000 so that hit tests and replay never
// work with absurd values; drawing uses unrounded, clipped coordinates instead.
constexpr int kScreenLimit = 32000;

// |x1 - x2| + |y1 - y2|, the pixel distance of every hit test; saturates instead of overflowing.
int PixelDistance(int x1, int y1, int x2, int y2);

// One named position of a point list. Points of tracks carry a time (a date-time day count,
// 0 = none); points of routes and polygons leave it 0.
struct TChtPoint
{
    std::string Name;
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, west positive
    int X = 0; // last computed surface position
    int Y = 0;
    double Time = 0;

    // "P;" + lat + ";" + lon + ";" + name, numbers as "%10.5f".
    std::string AsLine() const;
    // The point line followed by ";" and the date-time "dd/mm/yyyy hh:mm:ss" (no time at
    // midnight, nothing for a time of 0).
    std::string AsTrackLine() const;
    // X, Y from the surface's scale, each limited to +-kScreenLimit.
    void CalcScreen(const TChartSurface &chart);

    // |x - X| + |y - Y| in pixels.
    int Distance(int x, int y) const;
};

// A track point is a point whose time is used.
using TChtTrackPoint = TChtPoint;

class TChtObject
{
public:
    TChtObject() = default;
    virtual ~TChtObject();
    TChtObject(const TChtObject &) = delete;
    TChtObject &operator=(const TChtObject &) = delete;

    std::string Name;
    double LatMin = 0;
    double LonMin = 0;
    double LatMax = 0;
    double LonMax = 0;

    // key is lower case, both at most 100 characters.
    virtual void SetAttribute(std::string_view key, std::string_view value);
    // Appends the object's "A;" lines.
    virtual void WriteAttributes(std::vector<std::string> &lines) const;

    // Whether a reader keeps the object; the base is never kept.
    virtual bool IsValid() const { return false; }

    virtual int Distance(int x, int y) const;

    // The "O;" line; empty for objects that are never written.
    virtual std::string HeaderLine() const { return {}; }

    virtual void Draw(TChartSurface &chart, bool recompute);
    virtual void DrawName(TChartSurface &chart);
    virtual bool IsVisible(const TChartSurface &chart) const;
    virtual void AddPoint(std::string_view name, double latDeg, double lonDeg, double time);

    // Writes HeaderLine, the attribute lines, the point lines and an empty line; nothing for an
    // object without a header line.
    void WriteLines(std::vector<std::string> &lines) const;

    void ExpandBounds(double latDeg, double lonDeg);
    // "key=value": the key lower-cased and cut to 100 characters, the value cut to 100
    // characters; a text without "=" is ignored.
    void ParseAttribute(std::string_view text);

protected:
    // The "P;" lines of the object; none for an object without points.
    virtual void WritePointLines(std::vector<std::string> &) const { }
};

// A list that owns its objects.
template <class T>
class TOwnedList
{
public:
    TOwnedList() = default;
    TOwnedList(const TOwnedList &) = delete;
    TOwnedList &operator=(const TOwnedList &) = delete;
    TOwnedList(TOwnedList &&) noexcept = default;
    TOwnedList &operator=(TOwnedList &&) noexcept = default;

    std::size_t Count() const { return FItems.size(); }

    bool Empty() const { return FItems.empty(); }

    T *operator[](std::size_t i) const { return FItems[i].get(); }

    T *Add(std::unique_ptr<T> item)
    {
        FItems.push_back(std::move(item));
        return FItems.back().get();
    }

    // Frees every element in index order, then empties the list.
    void FreeAll()
    {
        for (auto &p : FItems)
            p.reset();
        FItems.clear();
    }

    // Moves every element of other to the end of this list, from other's last index down to
    // its first (so their order is reversed), leaving other empty.
    void TakeAll(TOwnedList &other)
    {
        for (auto it = other.FItems.rbegin(); it != other.FItems.rend(); ++it)
            FItems.push_back(std::move(*it));
        other.FItems.clear();
    }

    // Removes and returns the element without freeing it; none when it is not listed.
    std::unique_ptr<T> Extract(const T *item)
    {
        for (auto it = FItems.begin(); it != FItems.end(); ++it) {
            if (it->get() == item) {
                auto p = std::move(*it);
                FItems.erase(it);
                return p;
            }
        }
        return nullptr;
    }

    // Exchanges the places of two elements (indices within the list).
    void Swap(std::size_t i, std::size_t j) { std::swap(FItems.at(i), FItems.at(j)); }

    // Hands every element over in list order, leaving the list empty.
    std::vector<std::unique_ptr<T>> ReleaseAll()
    {
        std::vector<std::unique_ptr<T>> items = std::move(FItems);
        FItems.clear();
        return items;
    }

    int IndexOf(const T *item) const
    {
        for (std::size_t i = 0; i < FItems.size(); ++i)
            if (FItems[i].get() == item)
                return static_cast<int>(i);
        return -1;
    }

    auto begin() const { return FItems.begin(); }

    auto end() const { return FItems.end(); }

    ~TOwnedList() { FreeAll(); }

private:
    std::vector<std::unique_ptr<T>> FItems;
};

using TObjList = TOwnedList<TChtObject>;

// A view that shows every object's box on a surface whose width is aspect times its height,
// with a 5% margin: centre in degrees and the span of longitude, kept within 0.05..360 degrees.
// None when no object has a box (objects without points).
struct TObjectsView
{
    double LatC = 0;
    double LonC = 0;
    double LonSpan = 0;
};

std::optional<TObjectsView> ViewOfObjects(const TObjList &objects, double aspect);

// The box of several objects, gathered one by one (objects without a box are passed over).
class TObjectsBox
{
public:
    void Add(const TChtObject &object);
    // A box in degrees; an empty one (a minimum above its maximum) adds nothing.
    void Add(double latMin, double latMax, double lonMin, double lonMax);
    // The view of ViewOfObjects; none when no object had a box.
    std::optional<TObjectsView> View(double aspect) const;

private:
    double FLatMin = 90, FLatMax = -90, FLonMin = 540, FLonMax = -540;
};

// The points of every point-list object of the list.
std::size_t PointCountOf(const TObjList &objects);

// Polygons that follow the chart view's default colours take the colours given (fill, outline).
void ApplyDefaultColors(
    const TObjList &objects, std::optional<TColor> landColor, std::optional<TColor> shoreColor);

// A mark with an icon and an optional web address.
class TChtURLObject : public TChtObject
{
public:
    TChtURLObject(std::string_view url, std::string_view bitmapName, std::string_view name,
        double sizeDeg, double latDeg, double lonDeg);

    int X = 0;
    int Y = 0;
    double Lat = 0;
    double Lon = 0;
    double Size = 0; // degrees
    std::string URL;
    std::string BitmapName; // icon of the marker bitmap cache; "HAND" when empty

    bool IsValid() const override { return true; }

    int Distance(int x, int y) const override;
    std::string HeaderLine() const override;
    void Draw(TChartSurface &chart, bool recompute) override;
};

// The boat marker of a chart view: never in a list, never written to a file.
class TMarcadorDePosicao : public TChtObject
{
public:
    explicit TMarcadorDePosicao(TChartSurface *chart);

    TChartSurface *Chart = nullptr;
    int Shape = 0; // 0 hull, 1 arrow, 2 triangle, 3 square
    double Course = 0; // degrees true
    int X = 0;
    int Y = 0;
    double Lat = 0;
    double Lon = 0;
    int SavedLeft = 0;
    int SavedTop = 0;
    TExBitmap Background; // surface pixels under the last drawn marker
    bool Visible = false;
    bool ShowCourse = false;

    // Each stores a changed value and redraws at once.
    void SetPosition(double latDeg, double lonDeg);
    void SetCourse(double courseDeg);
    void SetShowCourse(bool flag);
    void SetShape(int shape);
    void SetVisible(bool flag);

    bool IsValid() const override { return true; }

    int Distance(int x, int y) const override;

    struct TRect
    {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;

        bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    };

    TRect SavedRect() const;

    void ForgetBackground() { Background = TExBitmap(); }

    void Draw(TChartSurface &chart, bool recompute) override;
    // The outline of the current shape at the current screen position (empty for none).
    std::vector<TScreenPoint> ShapePoints() const;
};

// A reference to a chart file with the view and colours to show it with.
class TChtFileObject : public TChtObject
{
public:
    TChtFileObject(std::string_view fileName, double latCDeg, double lonCDeg, double lonSpanDeg);

    double LatC = 0;
    double LonC = 0;
    double LonSpan = 0;
    std::string FileName;
    // -1 when not given.
    long long GridColor = -1;
    long long LandColor = -1;
    long long ShoreColor = -1;
    long long SeaColor = -1;

    void SetAttribute(std::string_view key, std::string_view value) override;
    bool IsValid() const override;
    // Gives the chart every colour that was set.
    void ApplyColors(TChartSurface &chart) const;
};

class TChtPoliPoints : public TChtObject
{
public:
    TChtPoliPoints();

    std::vector<TChtPoint> Points;

    bool IsValid() const override { return !Points.empty(); }

    void AddPoint(std::string_view name, double latDeg, double lonDeg, double time) override;

    virtual void ClearPoints()
    {
        Points.clear();
        RecomputeBounds();
    }

    std::size_t PointCount() const { return Points.size(); }

    TChtPoint &GetPoint(std::size_t index) { return Points.at(index); }

    TChtPoint *LastPoint() { return Points.empty() ? nullptr : &Points.back(); }

    // Removes the point and shrinks the box to the points left (an empty box shows nothing).
    virtual void DeletePoint(std::size_t index);
    // The box of the points as they are now, after their positions were edited.
    void RecomputeBounds();
    // The closest point within 5 pixels (cached positions), the first on a tie; none if no point
    // is that close.
    TChtPoint *FindPoint(int x, int y);

protected:
    // Screen positions of all points, recomputed from degrees when asked.
    void UpdateScreenPoints(const TChartSurface &chart, bool recompute);

    std::vector<TScreenPointF> ScreenPoints;

    void WritePointLines(std::vector<std::string> &lines) const override;

    virtual std::string PointLine(const TChtPoint &p) const { return p.AsLine(); }
};

// A filled land polygon; its last vertex joins its first.
class TChtPolygon : public TChtPoliPoints
{
public:
    TChtPolygon();

    bool DefaultColors = true; // follows the chart view's land and shore colours
    TColor BGColor = kClOlive; // fill
    TColor Color = kClYellow; // outline
    int BrushStyle = 0; // 0 solid fill, 1 no fill

    void SetAttribute(std::string_view key, std::string_view value) override;
    void WriteAttributes(std::vector<std::string> &lines) const override;
    std::string HeaderLine() const override;
    void Draw(TChartSurface &chart, bool recompute) override;
};

class TChtRoute : public TChtPoliPoints
{
public:
    TChtRoute();

    bool Visible = true;
    TColor Color = kClRed;

    void SetAttribute(std::string_view key, std::string_view value) override;
    void WriteAttributes(std::vector<std::string> &lines) const override;
    std::string HeaderLine() const override;
    void Draw(TChartSurface &chart, bool recompute) override;
};

// A route whose points carry times; one track of a desktop receives the GPS positions.
class TChtTrack : public TChtRoute
{
public:
    TChtTrack();

    int TailStart = 0;
    int LastDrawn = 0;
    int TailLength = 0; // points kept behind the replay position; 0 = all
    double TimeLimit = 0; // replay time (date-time); 0 = draw the whole track
    bool GpsTrack = false;

    void SetAttribute(std::string_view key, std::string_view value) override;
    void WriteAttributes(std::vector<std::string> &lines) const override;
    std::string HeaderLine() const override;
    void AddPoint(std::string_view name, double latDeg, double lonDeg, double time) override;
    // The replay positions stay below the point count.
    void DeletePoint(std::size_t index) override;
    void Draw(TChartSurface &chart, bool recompute) override;

    double FirstTime() const { return Points.empty() ? 0 : Points.front().Time; }

    double LastTime() const { return Points.empty() ? 0 : Points.back().Time; }

protected:
    std::string PointLine(const TChtPoint &p) const override { return p.AsTrackLine(); }

private:
    void Replay(TChartSurface &chart, bool recompute);
};

// Text helpers of the chart file format.
std::string FormatChartNumber(double value); // "%10.5f"
std::string FormatChartColor(TColor colour); // "$" + 8 upper-case hexadecimal digits
// Decimal, or hexadecimal after "$"; a 32-bit value (negative decimals wrap as the platform's
// integers did). None for anything else.
std::optional<TColor> ParseChartColor(std::string_view text);
// A name, URL or path made safe for one field of a line: ";" and line breaks cannot be read back.
std::string ChartFieldText(std::string_view text);
std::string LowerAscii(std::string_view text);

} // namespace vrn
