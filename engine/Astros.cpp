#include "engine/Astros.h"

#include "engine/DateTime.h"
#include "engine/EarthOrientation.h"
#include "engine/InstantTerms.h"
#include "engine/Jupiter.h"
#include "engine/Mars.h"
#include "engine/Saturn.h"
#include "engine/Trigonom.h"
#include "engine/Venus.h"
#include "engine/uLua.h"

#include <cmath>

namespace vrn {

namespace {

constexpr std::size_t kMaxNameLength = 15;

constexpr TPlanetInfo kPlanets[4] = {
    {"Venus", &VenusSeries, -4.9f},
    {"Saturn", &SaturnSeries, 0.5f},
    {"Mars", &MarsSeries, 0.3f},
    {"Jupiter", &JupiterSeries, -2.9f},
};

} // namespace

std::span<const TPlanetInfo, 4> PlanetRegistry()
{
    return kPlanets;
}

// ---------------------------------------------------------------------------------------------

TAstro::TAstro(std::string_view name, double stdAltitudeDeg, float magnitude)
    : StdAltitude(stdAltitudeDeg)
    , Magnitude(magnitude)
    , FName(name.substr(0, kMaxNameLength))
{ }

bool TAstro::IsSameJD(double jd) const
{
    // nearbyint rounds half to even in the default rounding mode.
    return std::nearbyint(jd) == std::nearbyint(LastJD);
}

double TAstro::GetMagnitude() const
{
    return Magnitude;
}

TRiseTransitSet TAstro::RiseTransitSet(int year, int month, int day, double latDeg, double lonDeg)
{
    return vrn::RiseTransitSet(*this, year, month, day, latDeg, lonDeg);
}

double TAstro::GetSemiDiameter() const
{
    return 0;
}

double TAstro::GetHorizontalParallax() const
{
    return 0;
}

TAstro::TGHADec TAstro::ComputeGHADec(int year, int month, int day, double hour)
{
    // Read before Compute, which may look up other instants.
    const double gastHours = InstantTerms(year, month, day, hour).Sidereal().ApparentHours;
    Compute(year, month, day, hour);
    GHA = Normalize360((gastHours - Normalize24(RA / 15)) * 15);
    return {GHA, Dec};
}

TAstro::TGHADec TAstro::SetDateTime(double dateTime)
{
    const TDateHour d = SplitDateHour(dateTime);
    DateTime = dateTime;
    return ComputeGHADec(d.Year, d.Month, d.Day, d.Hour);
}

// ---------------------------------------------------------------------------------------------

TPtoVernal::TPtoVernal()
    : TAstro("Aries *", 0, 0)
{ }

TRiseTransitSet TPtoVernal::RiseTransitSet(int, int, int, double, double)
{
    return {0, 0, 0, TRiseSetStatus::NotApplicable};
}

void TPtoVernal::Compute(int, int, int, double)
{
    RA = 0;
    Dec = 0;
}

// ---------------------------------------------------------------------------------------------

TLua::TLua()
    : TAstro("Moon", 0.125, -7.0f)
{ }

double TLua::GetSemiDiameter() const
{
    return FSemiDiameterArcmin;
}

double TLua::GetHorizontalParallax() const
{
    return FHorizontalParallaxArcmin;
}

void TLua::Compute(int year, int month, int day, double hour)
{
    const TMoonApparent m = MoonApparent(InstantTerms(year, month, day, hour).TTT());
    RA = m.RaDeg;
    Dec = m.DecDeg;
    FHorizontalParallaxArcmin = m.HpDeg * 60;
    FSemiDiameterArcmin = m.SdArcmin;
}

// ---------------------------------------------------------------------------------------------

TSol::TSol()
    : TAstro("Sun", -0.8333, -26.5f)
{ }

double TSol::GetSemiDiameter() const
{
    return FSemiDiameterDeg * 60;
}

void TSol::Compute(int year, int month, int day, double hour)
{
    TInstantTerms &terms = InstantTerms(year, month, day, hour);
    const double t = terms.T();
    const TSunPlace s = SunApparent(terms.Solar());
    RA = s.RADeg;
    Dec = s.DecDeg;
    // The almanac quantities run on UT days from J2000.0.
    const TSunAlmanac a = SunAlmanac(t * 36525, RA);
    FEquationOfTimeHours = a.EquationOfTimeHours;
    FSemiDiameterDeg = a.SemiDiameterDeg;
    FDistanceAu = a.RAu;
}

// ---------------------------------------------------------------------------------------------

TEstrela::TEstrela(const TStarRecord &record)
    : TAstro(record.Name, -0.5667, record.Magnitude)
    , FState(MakeStarState(record))
{ }

void TEstrela::Compute(int year, int month, int day, double hour)
{
    const double jd = JulianDay(year, month, day, hour);
    if (IsSameJD(jd))
        return;
    LastJD = jd;
    const TStarPlace p =
        StarApparentPlace(FState, InstantTerms(year, month, day, hour).Stars(), year, month);
    RA = Normalize360(p.RaDeg);
    if (RA >= 360)
        RA -= 360;
    Dec = p.DecDeg;
}

// ---------------------------------------------------------------------------------------------

TPlaneta::TPlaneta(const TPlanetInfo &info)
    : TAstro(info.Name, -0.5667, info.Magnitude)
    , FSeries(info.Series())
{ }

double TPlaneta::GetHorizontalParallax() const
{
    return FPlace.HorizontalParallaxArcmin;
}

void TPlaneta::Compute(int year, int month, int day, double hour)
{
    FPlace = PlanetApparent(FSeries, InstantTerms(year, month, day, hour).Solar());
    RA = FPlace.RADeg;
    Dec = FPlace.DecDeg;
}

double TPlaneta::GetReservedQuery() const
{
    return 0;
}

// ---------------------------------------------------------------------------------------------

void TAstroRegistry::CreateAstros()
{
    if (Created())
        return;
    FLua = std::make_unique<TLua>();
    FAries = std::make_unique<TPtoVernal>();
    FEstrelas.clear();
    for (const TStarRecord &r : StarCatalogue())
        FEstrelas.push_back(std::make_unique<TEstrela>(r));
    FPlanetas.clear();
    for (const TPlanetInfo &p : PlanetRegistry())
        FPlanetas.push_back(std::make_unique<TPlaneta>(p));
    // The Sun last: Created() turns true only once every body exists.
    FSol = std::make_unique<TSol>();
    CurrentAstro = FSol.get();
}

void TAstroRegistry::FreeAstros()
{
    CurrentAstro = nullptr;
    FSol.reset();
    FLua.reset();
    FAries.reset();
    FEstrelas.clear();
    FPlanetas.clear();
}

TAstro *TAstroRegistry::FindAstro(std::string_view name) const
{
    if (!Created())
        return nullptr;
    for (TAstro *b : {static_cast<TAstro *>(FSol.get()), static_cast<TAstro *>(FLua.get()),
             static_cast<TAstro *>(FAries.get())})
        if (b->Name() == name)
            return b;
    for (const auto &p : FPlanetas)
        if (p->Name() == name)
            return p.get();
    for (const auto &s : FEstrelas)
        if (s->Name() == name)
            return s.get();
    return nullptr;
}

std::vector<TAstro *> TAstroRegistry::BodyList() const
{
    std::vector<TAstro *> list;
    if (!Created())
        return list;
    list.reserve(3 + FPlanetas.size() + FEstrelas.size());
    list.push_back(FSol.get());
    list.push_back(FLua.get());
    for (const auto &p : FPlanetas)
        list.push_back(p.get());
    for (const auto &s : FEstrelas)
        list.push_back(s.get());
    list.push_back(FAries.get());
    return list;
}

TAstroRegistry &Astros()
{
    static TAstroRegistry registry;
    return registry;
}

void CreateAstros()
{
    Astros().CreateAstros();
}

void FreeAstros()
{
    Astros().FreeAstros();
}

TAstro *FindAstro(std::string_view name)
{
    return Astros().FindAstro(name);
}

// ---------------------------------------------------------------------------------------------

TAltitudeAzimuth ComputeAltitudeAzimuth(
    double decDeg, double ghaDeg, double latDeg, double lonDeg, double hoDeg)
{
    TAltitudeAzimuth r;
    r.LHADeg = ghaDeg - lonDeg;
    const double p = 90 - decDeg; // polar distance
    const double c = 90 - latDeg; // co-latitude
    const double sinHc = CosD(p) * CosD(c) + SinD(p) * SinD(c) * CosD(r.LHADeg);
    r.AboveHorizon = sinHc >= 0;
    r.HcDeg = 90 - ArcCosD(sinHc);
    r.InterceptArcmin = (hoDeg - r.HcDeg) * 60;
    // SinD(180) and CosD(90) are ~1e-16, never exactly 0: the degenerate cases are tested
    // within a tolerance.
    if (IsNearZero(SinD(p)))
        throw EAzimuthError("Error calculating Azimuth: Sin(PA)=0", r);
    const double x = CosD(r.LHADeg) * CosD(c) - CosD(p) / SinD(p) * SinD(c);
    if (IsNearZero(x))
        throw EAzimuthError("Error calculating Azimuth: x=0", r);
    const double t = SinD(r.LHADeg) / x;
    const double z = ArcTanD(t);
    r.LHADeg = Normalize360(r.LHADeg);
    // t carries the side of the meridian in its sign, a negative zero included: on the meridian
    // with the body north of the observer it gives 360, not 180.
    const bool tPositive = !std::signbit(t);
    if (r.LHADeg > 180)
        r.ZnDeg = tPositive ? z : z + 180;
    else
        r.ZnDeg = tPositive ? z + 180 : z + 360;
    return r;
}

} // namespace vrn
