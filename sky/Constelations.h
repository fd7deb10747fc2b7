#pragma once

// The constellation data of the star finder and its positioning for an observer: the stick
// figures, the ecliptic and the constellation names, as equatorial points (J2000.0 mean places,
// drawn without precession: a figure is a guide for the eye, not a place to measure from).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// One stored point: declination in degrees, and the right ascension minus 360 in degrees, so
// that RA = RaMinus360 + 360. In the figure table an entry whose second value is 0 lifts the pen
// between two polylines and is no point.
struct TStoredSkyPoint
{
    float Dec;
    float RaMinus360;
};

// The stick figures (generated from published data, see sky/ConstelationFigures.cpp).
std::span<const TStoredSkyPoint> ConstellationFigureTable();
// The ecliptic every 10° of right ascension, from 360 down to 0 (37 points, no pen-up entries).
std::span<const TStoredSkyPoint> EclipticTable();

struct TConstellationLabel
{
    std::string_view Name;
    float Dec; // degrees
    float RA; // degrees
};

// The 30 constellation names and the places of their labels.
std::span<const TConstellationLabel> ConstellationNameTable();

// A point of the data and, once positioned, where it stands for the observer.
struct TPontoConstelacao
{
    float RA = 0; // degrees
    float Dec = 0; // degrees
    float Altitude = 0; // degrees, geocentric
    float Azimuth = 0; // degrees true
};

struct TNomeConstelacao : TPontoConstelacao
{
    std::string Name;
};

class TPosicionadorDeConstelacoes
{
public:
    // Builds the three lists from the tables.
    TPosicionadorDeConstelacoes();

    // Sets the altitude and azimuth of every point and name for the observer (degrees, latitude
    // north positive, longitude WEST positive) at the GMT date-time (days since 1899-12-30). The
    // apparent sidereal time is computed again only when the date-time changed. Raises
    // EConvertError for a date-time outside years 1..9999.
    void PositionFor(double dateTime, double latDeg, double lonDeg);

    // The figure points; an empty entry lifts the pen between two polylines.
    const std::vector<std::optional<TPontoConstelacao>> &Figures() const { return FFigures; }

    const std::vector<TNomeConstelacao> &Names() const { return FNames; }

    const std::vector<TPontoConstelacao> &Ecliptic() const { return FEcliptic; }

    // The date-time last positioned and its apparent sidereal time in hours (nothing before the
    // first PositionFor).
    std::optional<double> LastDateTime() const { return FLastDateTime; }

    double ApparentSiderealHours() const { return FGastHours; }

private:
    std::vector<std::optional<TPontoConstelacao>> FFigures;
    std::vector<TNomeConstelacao> FNames;
    std::vector<TPontoConstelacao> FEcliptic;
    std::optional<double> FLastDateTime;
    double FGastHours = 0;
};

} // namespace vrn
