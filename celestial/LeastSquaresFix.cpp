#include "celestial/LeastSquaresFix.h"

#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vrn {

namespace {

constexpr double kRad = std::numbers::pi / 180;

// A determinant of AᵀA this small against its trace means that every LOP runs the same way:
// LOPs meeting at about 1e-4° or less.
constexpr double kSingularRatio = 1e-12;

struct TVec
{
    double X = 0, Y = 0, Z = 0;
};

TVec operator*(double k, const TVec &v)
{
    return {k * v.X, k * v.Y, k * v.Z};
}

TVec operator+(const TVec &a, const TVec &b)
{
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}

double Dot(const TVec &a, const TVec &b)
{
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

double Norm(const TVec &v)
{
    return std::sqrt(Dot(v, v));
}

TVec Cross(const TVec &a, const TVec &b)
{
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

// A point on the unit sphere and the local north and east there. At a pole the longitude given
// still fixes a tangent frame, so every step stays defined.
struct TPlace
{
    TVec P, North, East;
};

TPlace PlaceAt(double latDeg, double lonWestDeg)
{
    const double phi = latDeg * kRad;
    const double lambda = -lonWestDeg * kRad; // east positive on the sphere
    const double cp = std::cos(phi), sp = std::sin(phi);
    const double cl = std::cos(lambda), sl = std::sin(lambda);
    return {{cp * cl, cp * sl, sp}, {-sp * cl, -sp * sl, cp}, {-sl, cl, 0}};
}

TLatLon LatLonOf(const TVec &v)
{
    const double n = Norm(v);
    const double z = std::clamp(v.Z / n, -1.0, 1.0);
    return {std::asin(z) / kRad, WrapLongitude(-std::atan2(v.Y, v.X) / kRad)};
}

// The point `distDeg` from `from` towards `bearingDeg`, along the great circle.
TVec Destination(const TPlace &from, double bearingDeg, double distDeg)
{
    const double b = bearingDeg * kRad, d = distDeg * kRad;
    const TVec dir = std::cos(b) * from.North + std::sin(b) * from.East;
    return std::cos(d) * from.P + std::sin(d) * dir;
}

double AngleDeg(const TVec &a, const TVec &b)
{
    return std::atan2(Norm(Cross(a, b)), Dot(a, b)) / kRad;
}

// The circle of position of one LOP record.
struct TCircle
{
    int Number = 0; // 1-based list number
    TVec Centre;
    double RadiusDeg = 0;
};

TCircle CircleOf(const TLOPRecord &lop, int number)
{
    const TPlace ap = PlaceAt(lop.APLat, lop.APLon);
    const double ho = lop.HCalc + lop.Intercept / 60;
    return {number, Destination(ap, lop.Azimuth, 90 - lop.HCalc), 90 - ho};
}

// Everything the step and the quality need at one position.
struct TEvaluation
{
    std::vector<TLOPResidual> Residuals;
    double Nnn = 0, Nne = 0, Nee = 0; // AᵀA
    double Gn = 0, Ge = 0; // Aᵀr
    double SumSq = 0;

    double Det() const { return Nnn * Nee - Nne * Nne; }

    bool Singular() const
    {
        const double half = (Nnn + Nee) / 2;
        return Det() <= kSingularRatio * half * half;
    }
};

TEvaluation Evaluate(std::span<const TCircle> circles, const TPlace &at)
{
    TEvaluation e;
    for (const auto &c : circles) {
        const double r = (AngleDeg(at.P, c.Centre) - c.RadiusDeg) * 60;
        const double zn = std::atan2(Dot(c.Centre, at.East), Dot(c.Centre, at.North));
        const double cz = std::cos(zn), sz = std::sin(zn);
        e.Residuals.push_back({c.Number, r, Normalize360(zn / kRad)});
        e.Nnn += cz * cz;
        e.Nne += cz * sz;
        e.Nee += sz * sz;
        e.Gn += cz * r;
        e.Ge += sz * r;
        e.SumSq += r * r;
    }
    return e;
}

struct TSolution
{
    TLeastSquaresOutcome Outcome = TLeastSquaresOutcome::NoConvergence;
    TLatLon At;
    int Iterations = 0;
    TEvaluation Final;
};

// Gauss-Newton on the sphere. Moving the position by (n, e) nautical miles changes the intercept
// of a LOP of azimuth Zn by −(n·cos Zn + e·sin Zn); the step is the (n, e) that best fits the
// intercepts of the present position.
TSolution Solve(std::span<const TCircle> circles, const TLatLon &start)
{
    TSolution s;
    TLatLon at = start;
    for (int i = 1; i <= kLeastSquaresMaxIterations; ++i) {
        const TPlace place = PlaceAt(at.Lat, at.Lon);
        const TEvaluation e = Evaluate(circles, place);
        if (e.Singular()) {
            s.Outcome = TLeastSquaresOutcome::Parallel;
            return s;
        }
        const double det = e.Det();
        const double stepN = (e.Nee * e.Gn - e.Nne * e.Ge) / det;
        const double stepE = (e.Nnn * e.Ge - e.Nne * e.Gn) / det;
        const double stepNm = std::hypot(stepN, stepE);
        at = LatLonOf(Destination(place, std::atan2(stepE, stepN) / kRad, stepNm / 60));
        s.Iterations = i;
        if (stepNm < kLeastSquaresStopNm) {
            s.Final = Evaluate(circles, PlaceAt(at.Lat, at.Lon));
            s.Outcome =
                s.Final.Singular() ? TLeastSquaresOutcome::Parallel : TLeastSquaresOutcome::Found;
            s.At = at;
            return s;
        }
    }
    return s;
}

double Scatter(double sumSq, std::size_t n)
{
    return std::sqrt(sumSq / static_cast<double>(n - 2));
}

TErrorEllipse EllipseOf(const TEvaluation &e, double scatterNm, bool floor)
{
    TErrorEllipse el;
    el.SigmaNm = scatterNm;
    if (floor && scatterNm < kSightSigmaFloorNm) {
        el.SigmaNm = kSightSigmaFloorNm;
        el.Floored = true;
    }
    const double var = el.SigmaNm * el.SigmaNm;
    const double det = e.Det();
    const double cnn = var * e.Nee / det;
    const double cne = -var * e.Nne / det;
    const double cee = var * e.Nnn / det;
    const double mean = (cnn + cee) / 2;
    const double spread = std::hypot((cnn - cee) / 2, cne);
    el.SigmaMajorNm = std::sqrt(mean + spread);
    el.SigmaMinorNm = std::sqrt(std::max(0.0, mean - spread));
    double orientation = 0.5 * std::atan2(2 * cne, cnn - cee) / kRad;
    if (orientation < 0)
        orientation += 180;
    el.OrientationDeg = orientation >= 180 ? orientation - 180 : orientation;
    return el;
}

std::string Nm(double distNm)
{
    return FormatFixed(distNm, 1) + "NM";
}

std::string SignedNm(double distNm)
{
    const double tenths = std::round(distNm * 10) / 10;
    if (tenths == 0)
        return " 0.0NM";
    return (tenths > 0 ? "+" : "-") + FormatFixed(std::fabs(tenths), 1) + "NM";
}

std::string LOPName(std::span<const TLOPRecord> lops, int number)
{
    return "LOP " + FormatInt(number) + " (" + lops[static_cast<std::size_t>(number - 1)].ObjectName
        + ")";
}

} // namespace

TLeastSquaresFix LeastSquaresFix(std::span<const TLOPRecord> lops, const TLatLon &start)
{
    std::vector<TCircle> circles;
    for (std::size_t i = 0; i < lops.size(); ++i)
        if (lops[i].Selected)
            circles.push_back(CircleOf(lops[i], static_cast<int>(i + 1)));

    TLeastSquaresFix fix;
    if (circles.size() < 2)
        return fix;
    const TSolution s = Solve(circles, start);
    fix.Outcome = s.Outcome;
    fix.Iterations = s.Iterations;
    if (!fix.Found())
        return fix;
    fix.Lat = s.At.Lat;
    fix.Lon = s.At.Lon;
    fix.Residuals = s.Final.Residuals;
    const std::size_t n = circles.size();
    if (n < 3)
        return fix;
    fix.ScatterNm = Scatter(s.Final.SumSq, n);
    fix.Ellipse = EllipseOf(s.Final, fix.ScatterNm, n == 3);
    if (n < 4)
        return fix;

    // Leave-one-out: the fix of the others and their scatter, for each LOP in turn. The LOP
    // whose removal shrinks the scatter most is suspect when the scatter falls to a third or
    // less, the scatter of the others taken as no less than the floor: with few LOPs it can be
    // close to zero by chance, which would make any LOP suspect. Over seeded sets of five
    // sights with 0.5' errors, a 5' blunder is named about nine times in ten and a clean set
    // almost never.
    fix.SuspectTested = true;
    double bestRatio = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<TCircle> others = circles;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
        const TSolution without = Solve(others, s.At);
        if (without.Outcome != TLeastSquaresOutcome::Found)
            continue;
        const double scatterWithout = std::sqrt(without.Final.SumSq / static_cast<double>(n - 3));
        const double ratio = fix.ScatterNm / std::max(scatterWithout, kSightSigmaFloorNm);
        if (ratio >= kSuspectScatterFactor && ratio > bestRatio) {
            bestRatio = ratio;
            fix.Suspect = TSuspectLOP {circles[i].Number, scatterWithout};
        }
    }
    return fix;
}

std::vector<std::string> LeastSquaresReport(
    const TLeastSquaresFix &fix, std::span<const TLOPRecord> lops, const TLatLon &crossingsFix)
{
    std::vector<std::string> lines;
    lines.push_back("Least-squares fix ------------");
    switch (fix.Outcome) {
    case TLeastSquaresOutcome::Found:
        break;
    case TLeastSquaresOutcome::TooFewLOPs:
        lines.push_back("Needs at least 2 selected LOPs");
        return lines;
    case TLeastSquaresOutcome::Parallel:
        lines.push_back("The LOPs do not fix a point (all parallel)");
        return lines;
    case TLeastSquaresOutcome::NoConvergence:
        lines.push_back(
            "No fix: still moving after " + FormatInt(kLeastSquaresMaxIterations) + " iterations");
        return lines;
    }
    lines.push_back("Lat: " + FormatAngleDM1("NS", fix.Lat).Text);
    lines.push_back("Lon: " + FormatAngleDM1("WE", fix.Lon).Text);
    const double apart =
        60 * AngleDeg(PlaceAt(crossingsFix.Lat, crossingsFix.Lon).P, PlaceAt(fix.Lat, fix.Lon).P);
    lines.push_back(
        FormatInt(fix.Iterations) + " iterations, " + Nm(apart) + " from the crossings fix");
    lines.push_back("Residuals (+ towards the body):");
    for (const auto &r : fix.Residuals)
        lines.push_back(LOPName(lops, r.LOP) + ": " + SignedNm(r.ResidualNm));
    if (!fix.Ellipse) {
        lines.push_back("2 LOPs: no error ellipse (needs 3 or more)");
        return lines;
    }
    const TErrorEllipse &e = *fix.Ellipse;
    std::string scatter = "Scatter (1 sigma of a LOP): " + Nm(fix.ScatterNm);
    if (e.Floored)
        scatter += ", taken as " + Nm(e.SigmaNm) + " for 3 LOPs";
    lines.push_back(scatter);
    lines.push_back("Error ellipse (1 sigma): " + Nm(e.SigmaMajorNm) + " x " + Nm(e.SigmaMinorNm)
        + ", major axis " + FormatFixed(e.OrientationDeg, 0, 3) + "°");
    if (!fix.SuspectTested)
        lines.push_back("Suspect LOP: needs 4 LOPs or more");
    else if (!fix.Suspect)
        lines.push_back("Suspect LOP: none");
    else
        lines.push_back("Suspect LOP: " + LOPName(lops, fix.Suspect->LOP) + ", scatter "
            + Nm(fix.Suspect->ScatterWithoutNm) + " without it");
    return lines;
}

TFixWithQuality CalcFixWithQuality(TLOPList &list, const TTransportSettings &settings,
    TFixReport &report, std::vector<std::string> &qualityLines)
{
    qualityLines.clear();
    TFixWithQuality r;
    r.Crossings = list.CalcFix(settings, report);
    const TLatLon start {r.Crossings.Lat, r.Crossings.Lon};
    r.LeastSquares = LeastSquaresFix(list.TransportedLOPs(), start);
    qualityLines = LeastSquaresReport(r.LeastSquares, list.TransportedLOPs(), start);
    return r;
}

std::vector<TLatLon> ErrorEllipseOutline(const TLeastSquaresFix &fix, int points)
{
    std::vector<TLatLon> outline;
    if (!fix.Found() || !fix.Ellipse || points < 3)
        return outline;
    const TErrorEllipse &e = *fix.Ellipse;
    const double co = CosD(e.OrientationDeg), so = SinD(e.OrientationDeg);
    const double cosLat = CosD(fix.Lat);
    for (int k = 0; k < points; ++k) {
        const double t = 360.0 * k / points;
        const double u = e.SigmaMajorNm * CosD(t), v = e.SigmaMinorNm * SinD(t);
        const double north = u * co - v * so;
        const double east = u * so + v * co;
        const double lon = IsNearZero(cosLat) ? fix.Lon : fix.Lon - east / (60 * cosLat);
        outline.push_back({fix.Lat + north / 60, lon});
    }
    return outline;
}

} // namespace vrn
