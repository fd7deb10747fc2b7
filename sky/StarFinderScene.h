#pragma once

// What the star finder chart shows and where: the plotted bodies, figure points, ecliptic points
// and constellation names, the azimuthal equidistant projection of the sky onto the round chart
// (zenith at the centre, horizon on the rim, north up) and the pointer read-out. Plain C++: the
// chart control draws what this computes.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TAstro;

struct TSkyChartPoint
{
    int X = 0;
    int Y = 0;

    bool operator==(const TSkyChartPoint &) const = default;
};

struct TSkyChartRect
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool Contains(int x, int y) const
    {
        return x >= Left && x < Left + Width && y >= Top && y < Top + Height;
    }

    bool operator==(const TSkyChartRect &) const = default;
};

struct TSkyChartSegment
{
    TSkyChartPoint From;
    TSkyChartPoint To;
};

struct TSkyDirection
{
    double HcDeg = 0; // altitude
    double ZnDeg = 0; // azimuth, 0..360
};

// The projection of one chart picture: r = (90 − h)·R/90 from the centre, θ = Z − 90 (or −Z − 90
// overhead, which mirrors east and west, the sky seen looking up).
struct TSkyProjection
{
    int Cx = 1; // centre, pixels
    int Cy = 1;
    int R = 1; // horizon radius, pixels
    bool Overhead = false;

    // A picture of width × height pixels: the centre at (w div 2, h div 2), R = min − 4, each at
    // least 1.
    static TSkyProjection ForSize(int width, int height, bool overhead);
    // A printed page: margin m = w div 15, R = min(w div 2 − m, h div 2 − m), the chart against
    // the left margin (cx = m + R) and centred vertically.
    static TSkyProjection ForPage(int pageWidth, int pageHeight);

    TSkyChartPoint Project(double hcDeg, double znDeg) const;
    // The sky under a picture point; altitudes below 0 lie outside the rim.
    TSkyDirection Inverse(double x, double y) const;
};

// Icon slots: SUN, MOON, two unused, STAR1 (bright), STAR2 (faint), JUPITER, VENUS, SATURN, MARS.
constexpr int kStarFinderIconCount = 10;
constexpr int kNoIcon = -1;
constexpr int kIconSun = 0;
constexpr int kIconMoon = 1;
constexpr int kIconBrightStar = 4;
constexpr int kIconFaintStar = 5;

// The slot of a body: the Sun 0, the Moon 1, a planet the slot of its name in upper case, a star
// 5 when its magnitude is 1.5 or more (fainter), else 4; kNoIcon for anything else.
int StarFinderIconIndex(const TAstro &body);
// The slot named `upperName` ("JUPITER"), kNoIcon when none is.
int StarFinderIconIndex(std::string_view upperName);

struct TIconSize
{
    int Width = 0;
    int Height = 0;
};

using TIconSizes = std::array<TIconSize, kStarFinderIconCount>;

// A plotted body.
struct TAstroStarFinder
{
    int Icon = kNoIcon;
    std::string Name;
    TSkyChartRect Rect; // the icon's size centred on the projected point; empty without an icon
    TSkyChartPoint Center;
    double HcDeg = 0;
    double ZnDeg = 0;
    double RADeg = 0;
    double DecDeg = 0;
};

// A figure or ecliptic point.
struct TPtoConstelacao
{
    float Altitude = 0;
    float Azimuth = 0;
    int X = 0;
    int Y = 0;
};

struct TNmConstelacao : TPtoConstelacao
{
    std::string Name;
};

// What the pointer tells: the body under it, the sky under it, or nothing (outside the rim).
struct TPointerInfo
{
    enum class TKind
    {
        None,
        Body,
        Sky,
    };

    TKind Kind = TKind::None;
    std::vector<std::string> Lines;
    const TAstroStarFinder *Body = nullptr;
};

// The items of the chart. The window replaces them wholesale on every computation (Clear, then
// the adds); the selection is a name that survives Clear and is found again in each rebuild.
class TStarFinderScene
{
public:
    // Removes every item and the planner's marks; the selected name stays.
    void Clear();
    void AddBody(
        std::string name, int icon, double hcDeg, double znDeg, double raDeg, double decDeg);
    void AddFigurePoint(double znDeg, double hcDeg);
    void AddFigureBreak();
    void AddEclipticPoint(double znDeg, double hcDeg);
    void AddConstellationName(std::string name, double znDeg, double hcDeg);

    // Selects the plotted body of that name (case-insensitive) and returns it; a name that is not
    // plotted selects nothing and returns null.
    const TAstroStarFinder *Select(std::string_view name);

    // The selected name as plotted, empty when nothing is selected.
    const std::string &SelectedName() const { return FSelected; }

    // Carries a selection over from an earlier scene, plotted or not (a later rebuild finds it).
    void KeepSelection(std::string_view name) { FSelected = std::string(name); }

    // The selected body when it is plotted now.
    const TAstroStarFinder *SelectedBody() const;

    // The bodies the sight planner chose, marked on the chart (names as plotted).
    void SetPlanned(std::vector<std::string> names) { FPlanned = std::move(names); }

    const std::vector<std::string> &Planned() const { return FPlanned; }

    bool IsPlanned(const TAstroStarFinder &body) const;

    // Chart positions of every item for a projection; the rectangles take the icon sizes.
    void Layout(const TSkyProjection &projection, const TIconSizes &iconSizes);

    const TSkyProjection &Projection() const { return FProjection; }

    // The body whose rectangle holds the point, the last drawn first.
    const TAstroStarFinder *BodyAt(int x, int y) const;

    // The read-out for a pointer at (x, y) in chart pixels: over a body its name, azimuth and
    // altitude, right ascension and declination; elsewhere within the rim the altitude and
    // azimuth under it; nothing outside the rim.
    TPointerInfo PointerInfoAt(int x, int y) const;

    // The lines of the figures and of the ecliptic that are drawn: every pair of consecutive
    // points (not across a pen-up) with at least one end at altitude 0 or above. A line from
    // below the horizon runs beyond the rim; a line wholly below it is not drawn.
    std::vector<TSkyChartSegment> FigureSegments() const;
    std::vector<TSkyChartSegment> EclipticSegments() const;

    const std::vector<TAstroStarFinder> &Bodies() const { return FBodies; }

    const std::vector<std::optional<TPtoConstelacao>> &Figures() const { return FFigures; }

    const std::vector<TPtoConstelacao> &Ecliptic() const { return FEcliptic; }

    const std::vector<TNmConstelacao> &Names() const { return FNames; }

private:
    std::vector<TAstroStarFinder> FBodies;
    std::vector<std::optional<TPtoConstelacao>> FFigures;
    std::vector<TPtoConstelacao> FEcliptic;
    std::vector<TNmConstelacao> FNames;
    std::vector<std::string> FPlanned;
    std::string FSelected;
    TSkyProjection FProjection;
    TIconSizes FIconSizes {};
};

// The hint lines for a body: its name; "Az=" %5.2f° "  Hc:" altitude; "RA=" hh:mm:ss "  Dec="
// declination.
std::vector<std::string> BodyHintLines(const TAstroStarFinder &body);
// "Hc=%2.0f° Az=%3.0f°".
std::string SkyHintLine(const TSkyDirection &direction);
// The sample text the hint box is measured on.
constexpr std::string_view kBodyHintSample = "RA=00:00:00    Dec=00°00.0'S";

} // namespace vrn
