#include "sky/VisibleSky.h"

#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"
#include "sky/Constelations.h"
#include "sky/HorizonPlace.h"
#include "sky/StarFinderScene.h"

#include <algorithm>
#include <cmath>

namespace vrn {

TVisibleSky ComputeVisibleSky(
    TAstroRegistry &registry, double dateTime, double latDeg, double lonDeg)
{
    TVisibleSky sky;
    sky.DateTime = dateTime;
    sky.LatDeg = latDeg;
    sky.LonDeg = lonDeg;
    const TDateHour t = SplitDateHour(dateTime);
    for (TAstro *body : registry.BodyList()) {
        if (body == registry.Aries())
            continue;
        const auto gd = body->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour);
        const THorizonPlace place = HorizonPlaceOf(gd.DecDeg, gd.GHADeg, latDeg, lonDeg);
        if (body == registry.Sun())
            sky.SunHcDeg = place.HcDeg;
        if (!place.AboveHorizon)
            continue;
        TVisibleBody v;
        v.Name = body->Name();
        v.Icon = StarFinderIconIndex(*body);
        v.HcDeg = place.HcDeg;
        v.ZnDeg = place.ZnDeg;
        v.RADeg = body->RA;
        v.DecDeg = body->Dec;
        v.Magnitude = static_cast<float>(body->GetMagnitude());
        sky.Bodies.push_back(std::move(v));
    }
    sky.Shade = SkyShadeFor(sky.SunHcDeg);
    return sky;
}

TSkyShade SkyShadeFor(double sunHcDeg)
{
    if (sunHcDeg < -6)
        return TSkyShade::Night;
    if (sunHcDeg > 0)
        return TSkyShade::Day;
    return TSkyShade::Twilight;
}

void LoadScene(TStarFinderScene &scene, const TVisibleSky &sky,
    const TPosicionadorDeConstelacoes &constellations)
{
    scene.Clear();
    for (const TVisibleBody &b : sky.Bodies)
        scene.AddBody(b.Name, b.Icon, b.HcDeg, b.ZnDeg, b.RADeg, b.DecDeg);
    for (const auto &p : constellations.Figures()) {
        if (p)
            scene.AddFigurePoint(p->Azimuth, p->Altitude);
        else
            scene.AddFigureBreak();
    }
    for (const auto &p : constellations.Ecliptic())
        scene.AddEclipticPoint(p.Azimuth, p.Altitude);
    for (const auto &n : constellations.Names())
        scene.AddConstellationName(n.Name, n.Azimuth, n.Altitude);
}

std::string HcCellText(double hcDeg)
{
    return FormatAngleDM1(" -", hcDeg).Text;
}

std::string ZnCellText(double znDeg)
{
    return FormatFixed(znDeg, 0, 4) + "°";
}

std::string MagnitudeCellText(double magnitude)
{
    std::string text = FormatFixed(magnitude, 1, 2);
    if (text.find('-') == std::string::npos)
        text.insert(text.begin(), '+');
    return text;
}

std::optional<double> StarFinderSortKey(TStarFinderColumn column, std::string_view cell)
{
    std::string text;
    switch (column) {
    case TStarFinderColumn::Body:
        return std::nullopt;
    case TStarFinderColumn::Hc: {
        bool negative = false;
        std::string_view t = Trim(cell);
        if (t.ends_with('-')) {
            negative = true;
            t.remove_suffix(1);
        }
        for (std::size_t i = 0; i < t.size(); ++i) {
            const char c = t[i];
            if (c == ',' || c == '.' || c == '\'')
                continue;
            if (t.substr(i).starts_with("°")) {
                text += '.';
                i += std::string_view("°").size() - 1;
                continue;
            }
            text += c;
        }
        const auto key = ParseNumber(text);
        if (!key)
            return std::nullopt;
        return negative ? -*key : *key;
    }
    case TStarFinderColumn::Az:
        for (std::size_t i = 0; i < cell.size(); ++i) {
            if (cell.substr(i).starts_with("°")) {
                i += std::string_view("°").size() - 1;
                continue;
            }
            text += cell[i];
        }
        return ParseNumber(text);
    case TStarFinderColumn::Mag:
        return ParseNumber(cell);
    }
    return std::nullopt;
}

bool StarFinderCellLess(TStarFinderColumn column, std::string_view a, std::string_view b)
{
    if (column == TStarFinderColumn::Body) {
        return std::ranges::lexicographical_compare(a, b, [](char x, char y) {
            const auto lower = [](char c) {
                return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
            };
            return lower(x) < lower(y);
        });
    }
    const auto ka = StarFinderSortKey(column, a);
    const auto kb = StarFinderSortKey(column, b);
    if (ka && kb)
        return *ka < *kb;
    return ka.has_value() && !kb.has_value();
}

std::string FitCell(std::string_view cell, std::size_t width)
{
    // Byte offsets of the characters of the UTF-8 text.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if ((static_cast<unsigned char>(cell[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    if (starts.size() <= width)
        return std::string(cell) + std::string(width - starts.size(), ' ');
    const std::size_t keep = width >= 2 ? width - 2 : 0;
    return std::string(cell.substr(0, starts[keep])) + std::string("..").substr(0, width - keep);
}

std::string StarFinderViewLabel(
    double latDeg, double lonDeg, double dateTime, const TDateFormat &format)
{
    return "Lat: " + FormatAngleDM1("NS", latDeg).Text
        + "  Lon: " + FormatAngleDM1("WE", lonDeg).Text + " | " + FormatDateText(dateTime, format)
        + " " + FormatTimeText(dateTime) + " GMT";
}

double AnimationStepDays(int count, TAnimationUnit unit)
{
    double unitDays = 1;
    switch (unit) {
    case TAnimationUnit::Seconds:
        unitDays = 1.0 / 86400;
        break;
    case TAnimationUnit::Minutes:
        unitDays = 1.0 / 1440;
        break;
    case TAnimationUnit::Hours:
        unitDays = 1.0 / 24;
        break;
    case TAnimationUnit::Days:
        unitDays = 1;
        break;
    case TAnimationUnit::Months:
        unitDays = 30;
        break;
    case TAnimationUnit::Years:
        unitDays = 365;
        break;
    }
    return count * unitDays;
}

std::optional<double> AdvanceViewDateTime(double dateTime, int count, TAnimationUnit unit)
{
    const double next = dateTime + AnimationStepDays(count, unit);
    // The last instant a date field and a time field can show is 9999-12-31 23:59:59.
    if (!std::isfinite(next) || next < kMinDateTime || next >= kMaxDateTime - 0.5 / 86400)
        return std::nullopt;
    return next;
}

} // namespace vrn
