#include "sky/StarFinderScene.h"

#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vrn {
namespace {

constexpr std::array<std::string_view, kStarFinderIconCount> kIconNames = {
    "SUN", "MOON", "", "", "STAR1", "STAR2", "JUPITER", "VENUS", "SATURN", "MARS"};

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

int RoundToPixel(double v)
{
    // Far-off values (a figure point just below the horizon of a tiny chart) stay within int.
    return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9)));
}

} // namespace

TSkyProjection TSkyProjection::ForSize(int width, int height, bool overhead)
{
    TSkyProjection p;
    p.Cx = std::max(1, width / 2);
    p.Cy = std::max(1, height / 2);
    p.R = std::max(1, std::min(p.Cx, p.Cy) - 4);
    p.Overhead = overhead;
    return p;
}

TSkyProjection TSkyProjection::ForPage(int pageWidth, int pageHeight)
{
    TSkyProjection p;
    const int m = pageWidth / 15;
    p.R = std::max(1, std::min(pageWidth / 2 - m, pageHeight / 2 - m));
    p.Cx = m + p.R;
    p.Cy = std::max(1, pageHeight / 2);
    return p;
}

TSkyChartPoint TSkyProjection::Project(double hcDeg, double znDeg) const
{
    const double r = (90.0 - hcDeg) * R / 90.0;
    const double theta = ((Overhead ? -znDeg : znDeg) - 90.0) * std::numbers::pi / 180.0;
    return {RoundToPixel(Cx + r * std::cos(theta)), RoundToPixel(Cy + r * std::sin(theta))};
}

TSkyDirection TSkyProjection::Inverse(double x, double y) const
{
    const double dx = x - Cx;
    const double dy = y - Cy;
    TSkyDirection d;
    d.HcDeg = 90.0 - std::hypot(dx, dy) / R * 90.0;
    double z = std::atan2(dy, dx) * 180.0 / std::numbers::pi + 90.0;
    if (z < 0)
        z += 360.0;
    if (z > 360.0)
        z -= 360.0;
    d.ZnDeg = Overhead ? 360.0 - z : z;
    return d;
}

int StarFinderIconIndex(std::string_view upperName)
{
    if (upperName.empty())
        return kNoIcon;
    const auto it = std::ranges::find(kIconNames, upperName);
    return it == kIconNames.end() ? kNoIcon : int(it - kIconNames.begin());
}

int StarFinderIconIndex(const TAstro &body)
{
    if (dynamic_cast<const TSol *>(&body))
        return kIconSun;
    if (dynamic_cast<const TLua *>(&body))
        return kIconMoon;
    if (dynamic_cast<const TPlaneta *>(&body)) {
        std::string upper = body.Name();
        for (char &c : upper)
            c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        return StarFinderIconIndex(upper);
    }
    if (dynamic_cast<const TEstrela *>(&body))
        return body.Magnitude >= 1.5f ? kIconFaintStar : kIconBrightStar;
    return kNoIcon;
}

void TStarFinderScene::Clear()
{
    FBodies.clear();
    FFigures.clear();
    FEcliptic.clear();
    FNames.clear();
    FPlanned.clear();
}

void TStarFinderScene::AddBody(
    std::string name, int icon, double hcDeg, double znDeg, double raDeg, double decDeg)
{
    TAstroStarFinder b;
    b.Icon = icon >= 0 && icon < kStarFinderIconCount ? icon : kNoIcon;
    b.Name = std::move(name);
    b.HcDeg = hcDeg;
    b.ZnDeg = znDeg;
    b.RADeg = raDeg;
    b.DecDeg = decDeg;
    FBodies.push_back(std::move(b));
}

void TStarFinderScene::AddFigurePoint(double znDeg, double hcDeg)
{
    TPtoConstelacao p;
    p.Altitude = static_cast<float>(hcDeg);
    p.Azimuth = static_cast<float>(znDeg);
    FFigures.emplace_back(p);
}

void TStarFinderScene::AddFigureBreak()
{
    FFigures.emplace_back(std::nullopt);
}

void TStarFinderScene::AddEclipticPoint(double znDeg, double hcDeg)
{
    TPtoConstelacao p;
    p.Altitude = static_cast<float>(hcDeg);
    p.Azimuth = static_cast<float>(znDeg);
    FEcliptic.push_back(p);
}

void TStarFinderScene::AddConstellationName(std::string name, double znDeg, double hcDeg)
{
    TNmConstelacao n;
    n.Altitude = static_cast<float>(hcDeg);
    n.Azimuth = static_cast<float>(znDeg);
    n.Name = std::move(name);
    FNames.push_back(std::move(n));
}

const TAstroStarFinder *TStarFinderScene::Select(std::string_view name)
{
    for (const TAstroStarFinder &b : FBodies) {
        if (SameNameIgnoringCase(b.Name, name)) {
            FSelected = b.Name;
            return &b;
        }
    }
    FSelected.clear();
    return nullptr;
}

const TAstroStarFinder *TStarFinderScene::SelectedBody() const
{
    if (FSelected.empty())
        return nullptr;
    for (const TAstroStarFinder &b : FBodies) {
        if (SameNameIgnoringCase(b.Name, FSelected))
            return &b;
    }
    return nullptr;
}

bool TStarFinderScene::IsPlanned(const TAstroStarFinder &body) const
{
    return std::ranges::find(FPlanned, body.Name) != FPlanned.end();
}

void TStarFinderScene::Layout(const TSkyProjection &projection, const TIconSizes &iconSizes)
{
    FProjection = projection;
    FIconSizes = iconSizes;
    for (TAstroStarFinder &b : FBodies) {
        b.Center = projection.Project(b.HcDeg, b.ZnDeg);
        const TIconSize s = b.Icon == kNoIcon ? TIconSize {} : iconSizes[std::size_t(b.Icon)];
        b.Rect = {b.Center.X - s.Width / 2, b.Center.Y - s.Height / 2, s.Width, s.Height};
    }
    const auto place = [&](TPtoConstelacao &p) {
        const TSkyChartPoint c = projection.Project(p.Altitude, p.Azimuth);
        p.X = c.X;
        p.Y = c.Y;
    };
    for (auto &p : FFigures) {
        if (p)
            place(*p);
    }
    for (auto &p : FEcliptic)
        place(p);
    for (auto &n : FNames)
        place(n);
}

namespace {

bool SegmentShows(const TPtoConstelacao &a, const TPtoConstelacao &b)
{
    return a.Altitude >= 0 || b.Altitude >= 0;
}

TSkyChartSegment SegmentOf(const TPtoConstelacao &a, const TPtoConstelacao &b)
{
    return {{a.X, a.Y}, {b.X, b.Y}};
}

} // namespace

std::vector<TSkyChartSegment> TStarFinderScene::FigureSegments() const
{
    std::vector<TSkyChartSegment> segments;
    for (std::size_t i = 1; i < FFigures.size(); ++i) {
        const auto &a = FFigures[i - 1];
        const auto &b = FFigures[i];
        if (a && b && SegmentShows(*a, *b))
            segments.push_back(SegmentOf(*a, *b));
    }
    return segments;
}

std::vector<TSkyChartSegment> TStarFinderScene::EclipticSegments() const
{
    std::vector<TSkyChartSegment> segments;
    for (std::size_t i = 1; i < FEcliptic.size(); ++i) {
        if (SegmentShows(FEcliptic[i - 1], FEcliptic[i]))
            segments.push_back(SegmentOf(FEcliptic[i - 1], FEcliptic[i]));
    }
    return segments;
}

const TAstroStarFinder *TStarFinderScene::BodyAt(int x, int y) const
{
    for (auto it = FBodies.rbegin(); it != FBodies.rend(); ++it) {
        if (it->Rect.Contains(x, y))
            return &*it;
    }
    return nullptr;
}

TPointerInfo TStarFinderScene::PointerInfoAt(int x, int y) const
{
    TPointerInfo info;
    if (const TAstroStarFinder *b = BodyAt(x, y)) {
        info.Kind = TPointerInfo::TKind::Body;
        info.Body = b;
        info.Lines = BodyHintLines(*b);
        return info;
    }
    const TSkyDirection d = FProjection.Inverse(x, y);
    if (d.HcDeg < 0)
        return info;
    info.Kind = TPointerInfo::TKind::Sky;
    info.Lines = {SkyHintLine(d)};
    return info;
}

std::vector<std::string> BodyHintLines(const TAstroStarFinder &body)
{
    return {body.Name,
        "Az=" + FormatFixed(body.ZnDeg, 2, 5) + "°  Hc:" + FormatAngleDM1(" -", body.HcDeg).Text,
        "RA=" + FormatTimeHMS(body.RADeg / 15.0).Text
            + "  Dec=" + FormatAngleDM1("NS", body.DecDeg).Text};
}

std::string SkyHintLine(const TSkyDirection &direction)
{
    return "Hc=" + FormatFixed(direction.HcDeg, 0, 2) + "° Az=" + FormatFixed(direction.ZnDeg, 0, 3)
        + "°";
}

} // namespace vrn
