#pragma once

// The celestial bodies the navigator observes and their process-wide registry: the first point
// of Aries, the Moon, the Sun, the 60 catalogue stars and the four navigational planets. A body
// is computed for a UT instant and then read: Greenwich hour angle and declination in degrees
// (GHA 0..360 westward, declination north positive), semi-diameter and horizontal parallax in
// minutes of arc.

#include "engine/PlanetDe.h"
#include "engine/RiseSet.h"
#include "engine/Stars.h"
#include "engine/VrnError.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TAstro
{
public:
    virtual ~TAstro() = default;
    TAstro(const TAstro &) = delete;
    TAstro &operator=(const TAstro &) = delete;

    double StdAltitude = -0.5667; // degrees, standard altitude h0 of rising and setting
    double LastJD = 0; // Julian day of the last position computed (stars cache on it)
    double DateTime = 0; // the last value given to SetDateTime, days since 1899-12-30
    double GHA = 0; // degrees 0..360
    double RA = 0; // apparent right ascension, degrees 0..360
    double Dec = 0; // apparent declination, degrees
    float Magnitude = 0; // visual magnitude used for display

    // The body's name, unique in the registry, at most 15 characters.
    const std::string &Name() const { return FName; }

    // Round(jd) == Round(LastJD), rounding half to even.
    virtual bool IsSameJD(double jd) const;
    virtual double GetMagnitude() const;
    // Rising, meridian transit and setting in hours UT of the date (see RiseSet.h); latitude
    // north positive, longitude west positive. Leaves the body computed for another instant.
    virtual TRiseTransitSet RiseTransitSet(
        int year, int month, int day, double latDeg, double lonDeg);
    virtual double GetSemiDiameter() const; // minutes of arc; 0 for points
    virtual double GetHorizontalParallax() const; // minutes of arc; 0 for the Sun and stars
    // Sets RA and Dec for the UT date and decimal hour 0..24.
    virtual void Compute(int year, int month, int day, double hour) = 0;

    struct TGHADec
    {
        double GHADeg = 0;
        double DecDeg = 0;
    };

    // Apparent sidereal time and Compute for the UT instant; GHA = 15·GAST − RA, 0..360.
    TGHADec ComputeGHADec(int year, int month, int day, double hour);
    // Splits a date-time (days since 1899-12-30, fraction = time of day) into the calendar date
    // and hour and calls ComputeGHADec. A value outside years 1..9999 (or not finite) raises
    // EConvertError "Invalid date/time value".
    TGHADec SetDateTime(double dateTime);

protected:
    TAstro(std::string_view name, double stdAltitudeDeg, float magnitude);

private:
    std::string FName;
};

// The first point of Aries: RA = Dec = 0 always, so its GHA is 15 × apparent sidereal time.
class TPtoVernal : public TAstro
{
public:
    TPtoVernal();

    TRiseTransitSet RiseTransitSet(
        int year, int month, int day, double latDeg, double lonDeg) override;
    void Compute(int year, int month, int day, double hour) override;
};

class TLua : public TAstro
{
public:
    TLua();

    double GetSemiDiameter() const override;
    double GetHorizontalParallax() const override;
    void Compute(int year, int month, int day, double hour) override;

private:
    double FSemiDiameterArcmin = 0;
    double FHorizontalParallaxArcmin = 0;
};

class TSol : public TAstro
{
public:
    TSol();

    double GetSemiDiameter() const override; // 60 × the semi-diameter in degrees
    void Compute(int year, int month, int day, double hour) override;

    // Equation of time in hours, (−12, 12]: apparent minus mean solar time.
    double GetEquationOfTime() const { return FEquationOfTimeHours; }

    double SemiDiameterDeg() const { return FSemiDiameterDeg; }

    double DistanceAu() const { return FDistanceAu; } // Earth-Sun, low-precision formula

private:
    double FEquationOfTimeHours = 0;
    double FSemiDiameterDeg = 0;
    double FDistanceAu = 1;
};

// A catalogue star. Its place changes at most once per rounded Julian day: a second computation
// within the same day keeps RA and Dec of the first.
class TEstrela : public TAstro
{
public:
    explicit TEstrela(const TStarRecord &record);

    void Compute(int year, int month, int day, double hour) override;

private:
    TStarState FState;
};

// One row of the planet registry.
struct TPlanetInfo
{
    std::string_view Name;
    const TPlanetSeries &(*Series)();
    float Magnitude;
};

class TPlaneta : public TAstro
{
public:
    explicit TPlaneta(const TPlanetInfo &info);

    double GetHorizontalParallax() const override; // 8.794″/Δ in minutes of arc
    void Compute(int year, int month, int day, double hour) override;
    // A planet-only query slot of the body family; no planet uses it, so it answers 0.
    virtual double GetReservedQuery() const;

    const TPlanetPlace &Place() const { return FPlace; } // heliocentric, geocentric, Δ, τ

private:
    const TPlanetSeries &FSeries;
    TPlanetPlace FPlace;
};

// The planets in registry order, the order of the planets in every body list.
std::span<const TPlanetInfo, 4> PlanetRegistry();

// The bodies of the process, created once and owned here.
class TAstroRegistry
{
public:
    // Creates every body once (a second call does nothing) and selects the Sun.
    void CreateAstros();
    // Frees every body; CurrentAstro becomes null.
    void FreeAstros();

    bool Created() const { return FSol != nullptr; }

    // The body whose name equals `name` exactly (case-sensitive); null when none does.
    TAstro *FindAstro(std::string_view name) const;

    // Every body in list order: Sun, Moon, Venus, Saturn, Mars, Jupiter, the 60 stars in
    // catalogue order, "Aries *". Empty before CreateAstros.
    std::vector<TAstro *> BodyList() const;

    TSol *Sun() const { return FSol.get(); }

    TLua *Moon() const { return FLua.get(); }

    TPtoVernal *Aries() const { return FAries.get(); }

    // The body chosen in the celestial navigation window (the Sun after CreateAstros).
    TAstro *CurrentAstro = nullptr;

private:
    std::unique_ptr<TSol> FSol;
    std::unique_ptr<TLua> FLua;
    std::unique_ptr<TPtoVernal> FAries;
    std::vector<std::unique_ptr<TEstrela>> FEstrelas;
    std::vector<std::unique_ptr<TPlaneta>> FPlanetas;
};

// The one registry of the process. The application frees it after every window and timer that
// uses bodies has stopped.
TAstroRegistry &Astros();

// Shorthands for the operations of Astros().
void CreateAstros();
void FreeAstros();
TAstro *FindAstro(std::string_view name);

// Computed altitude and azimuth of a body from an observer (sight reduction, Nautical Almanac
// method). Degrees; latitude north positive, longitude WEST positive, so LHA = GHA − longitude.
struct TAltitudeAzimuth
{
    double HcDeg = 0; // computed altitude
    double LHADeg = 0; // local hour angle, 0..360 (not yet normalised in a partial result)
    double InterceptArcmin = 0; // (Ho − Hc)·60, positive towards the body
    bool AboveHorizon = false; // sin Hc >= 0
    double ZnDeg = 0; // true azimuth, 0..360 clockwise from north
};

// The azimuth cannot be computed (a body on the celestial pole, or a degenerate triangle). The
// altitude and intercept were computed before the check and are kept in Partial; its azimuth is
// 0.
class EAzimuthError : public EVrnError
{
public:
    EAzimuthError(const std::string &message, const TAltitudeAzimuth &partial)
        : EVrnError(message)
        , Partial(partial)
    { }

    TAltitudeAzimuth Partial;
};

// Raises EAzimuthError "Error calculating Azimuth: Sin(PA)=0" for a declination of ±90 and
// "Error calculating Azimuth: x=0" when the azimuth's denominator vanishes (both tested within
// 1e-10). On the meridian with the body north of the observer the azimuth is 360, not 180.
TAltitudeAzimuth ComputeAltitudeAzimuth(
    double decDeg, double ghaDeg, double latDeg, double lonDeg, double hoDeg);

} // namespace vrn
