#include "sky/Constelations.h"

#include "engine/DateTime.h"
#include "engine/EarthOrientation.h"
#include "engine/Trigonom.h"
#include "sky/HorizonPlace.h"

namespace vrn {
namespace {

// Declinations of the ecliptic every 10° of right ascension (obliquity 23.43°), from RA 360 down.
constexpr TStoredSkyPoint kEcliptic[] = {{0.0f, 0.0f}, {-4.07f, -10.0f}, {-8.01f, -20.0f},
    {-11.72f, -30.0f}, {-15.06f, -40.0f}, {-17.95f, -50.0f}, {-20.29f, -60.0f}, {-22.02f, -70.0f},
    {-23.07f, -80.0f}, {-23.43f, -90.0f}, {-23.07f, -100.0f}, {-22.02f, -110.0f},
    {-20.29f, -120.0f}, {-17.95f, -130.0f}, {-15.06f, -140.0f}, {-11.72f, -150.0f},
    {-8.01f, -160.0f}, {-4.07f, -170.0f}, {0.0f, -180.0f}, {4.07f, -190.0f}, {8.01f, -200.0f},
    {11.72f, -210.0f}, {15.06f, -220.0f}, {17.95f, -230.0f}, {20.29f, -240.0f}, {22.02f, -250.0f},
    {23.07f, -260.0f}, {23.43f, -270.0f}, {23.07f, -280.0f}, {22.02f, -290.0f}, {20.29f, -300.0f},
    {17.95f, -310.0f}, {15.06f, -320.0f}, {11.72f, -330.0f}, {8.01f, -340.0f}, {4.07f, -350.0f},
    {0.0f, -360.0f}};

constexpr TConstellationLabel kNames[] = {
    {"URSA MAJOR", 52.18f, 158.81f},
    {"GEMINI", 24.63f, 106.25f},
    {"CYGNUS", 35.73f, 304.90f},
    {"SCORPIUS", -30.87f, 251.92f},
    {"CRUX", -62.94f, 193.57f},
    {"TRIANG.AUS.", -70.75f, 240.75f},
    {"ORION", 2.43f, 77.99f},
    {"AQUILA", 11.89f, 306.02f},
    {"LEO", 22.99f, 163.65f},
    {"VIRGO", 5.31f, 206.28f},
    {"OPHIUCHUS", -2.50f, 258.01f},
    {"HIDRA", -18.95f, 163.24f},
    {"CENTAURUS", -46.08f, 194.69f},
    {"VELA", -48.96f, 142.13f},
    {"CANIS MAJOR", -16.07f, 111.09f},
    {"PUPPIS", -33.34f, 119.79f},
    {"ERIDANUS", -30.46f, 53.16f},
    {"DRACO", 63.69f, 233.18f},
    {"PAVO", -57.60f, 291.53f},
    {"AURIGA", 38.20f, 82.54f},
    {"PERSEUS", 53.41f, 53.57f},
    {"AQUARIUS", -8.26f, 334.55f},
    {"PISCIS AUST.", -27.17f, 334.55f},
    {"GRUS", -41.56f, 335.79f},
    {"BOOTES", 35.32f, 222.81f},
    {"CEPHEUS", 64.93f, 337.03f},
    {"CASSIOPEIA", 63.69f, 19.22f},
    {"URSA MINOR", 85.07f, 301.42f},
    {"GIRAFE", 64.51f, 63.09f},
    {"ANDROMEDA", 36.97f, 24.60f},
};

TPontoConstelacao PointOf(const TStoredSkyPoint &p)
{
    TPontoConstelacao point;
    point.RA = p.RaMinus360 + 360.0f;
    point.Dec = p.Dec;
    return point;
}

// Hour angle at Greenwich of a point of right ascension raDeg, with GAST in hours.
double GhaOf(double gastHours, float raDeg)
{
    return (gastHours - Normalize24(raDeg / 15.0)) * 15.0;
}

void Place(TPontoConstelacao &p, double gastHours, double latDeg, double lonDeg)
{
    const THorizonPlace h = HorizonPlaceOf(p.Dec, GhaOf(gastHours, p.RA), latDeg, lonDeg);
    p.Altitude = static_cast<float>(h.HcDeg);
    p.Azimuth = static_cast<float>(h.ZnDeg);
}

} // namespace

std::span<const TStoredSkyPoint> EclipticTable()
{
    return kEcliptic;
}

std::span<const TConstellationLabel> ConstellationNameTable()
{
    return kNames;
}

TPosicionadorDeConstelacoes::TPosicionadorDeConstelacoes()
{
    const auto figures = ConstellationFigureTable();
    FFigures.reserve(figures.size());
    for (const TStoredSkyPoint &p : figures) {
        if (p.RaMinus360 == 0.0f)
            FFigures.emplace_back(std::nullopt);
        else
            FFigures.emplace_back(PointOf(p));
    }
    for (const TStoredSkyPoint &p : kEcliptic)
        FEcliptic.push_back(PointOf(p));
    for (const TConstellationLabel &l : kNames) {
        TNomeConstelacao name;
        name.RA = l.RA;
        name.Dec = l.Dec;
        name.Name = std::string(l.Name);
        FNames.push_back(std::move(name));
    }
}

void TPosicionadorDeConstelacoes::PositionFor(double dateTime, double latDeg, double lonDeg)
{
    if (!FLastDateTime || *FLastDateTime != dateTime) {
        const TDateHour t = SplitDateHour(dateTime);
        FGastHours = SiderealTime(t.Year, t.Month, t.Day, t.Hour).ApparentHours;
        FLastDateTime = dateTime;
    }
    for (auto &p : FFigures) {
        if (p)
            Place(*p, FGastHours, latDeg, lonDeg);
    }
    for (auto &p : FEcliptic)
        Place(p, FGastHours, latDeg, lonDeg);
    for (auto &n : FNames)
        Place(n, FGastHours, latDeg, lonDeg);
}

} // namespace vrn
