// The least-squares fix and its quality, on synthetic sights: a body is placed at a chosen
// azimuth and altitude from a known true position (its geographic position by the great-circle
// destination formula), the observed altitude gets a known error, and the sight is reduced from
// an assumed position by the haversine distance and the initial great-circle bearing. Random
// cases come from seeded generators.

#include "celestial/LeastSquaresFix.h"

#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace vrn {
namespace {

constexpr double kRad = std::numbers::pi / 180;

// Great-circle destination (the aviation formulary's formula), longitudes west positive.
TLatLon Destination(const TLatLon &from, double bearingDeg, double distDeg)
{
    const double p1 = from.Lat * kRad, l1 = -from.Lon * kRad;
    const double b = bearingDeg * kRad, d = distDeg * kRad;
    const double p2 =
        std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(b));
    const double l2 = l1
        + std::atan2(
            std::sin(b) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * std::sin(p2));
    return {p2 / kRad, WrapLongitude(-l2 / kRad)};
}

// The altitude and azimuth of a body whose geographic position is `gp`, seen from `at`.
struct THorizon
{
    double HcDeg = 0, ZnDeg = 0;
};

THorizon Reduce(const TLatLon &gp, const TLatLon &at)
{
    const double p1 = at.Lat * kRad, p2 = gp.Lat * kRad;
    const double dl = (at.Lon - gp.Lon) * kRad; // east longitude of gp minus that of at
    const double h = std::pow(std::sin((p2 - p1) / 2), 2)
        + std::cos(p1) * std::cos(p2) * std::pow(std::sin(dl / 2), 2);
    const double zenithDeg = 2 * std::asin(std::sqrt(h)) / kRad;
    const double zn = std::atan2(std::sin(dl) * std::cos(p2),
        std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl));
    return {90 - zenithDeg, Normalize360(zn / kRad)};
}

// North and east of `to` from `from`, nautical miles, by the engine's great-circle course.
struct TOffset
{
    double North = 0, East = 0;
};

TOffset OffsetNm(const TLatLon &from, const TLatLon &to)
{
    const TCourseDistance cd = GreatCircleCourseDistance(from.Lat, from.Lon, to.Lat, to.Lon);
    return {cd.DistNm * CosD(cd.CourseDeg), cd.DistNm * SinD(cd.CourseDeg)};
}

double DistanceNm(const TLatLon &a, const TLatLon &b)
{
    return GreatCircleCourseDistance(a.Lat, a.Lon, b.Lat, b.Lon).DistNm;
}

// A body at `azimuthDeg` and `altitudeDeg` seen from `truth`, observed `errorArcmin` high, and
// reduced from `ap`.
TLOPRecord Sight(const TLatLon &truth, double azimuthDeg, double altitudeDeg, double errorArcmin,
    const TLatLon &ap, const std::string &name)
{
    const TLatLon gp = Destination(truth, azimuthDeg, 90 - altitudeDeg);
    const double gha = Normalize360(gp.Lon);
    const THorizon hz = Reduce(gp, ap);
    TLOPRecord lop;
    lop.ObjectName = name;
    lop.GMTDay = 4;
    lop.GMTMonth = 3;
    lop.GMTYear = 2025;
    lop.GMTHours = 16;
    lop.APLat = ap.Lat;
    lop.APLon = ap.Lon;
    lop.Decl = gp.Lat;
    lop.GHA = gha;
    lop.LHA = Normalize360(gha - ap.Lon);
    lop.HCalc = hz.HcDeg;
    lop.Intercept = (altitudeDeg - hz.HcDeg) * 60 + errorArcmin;
    lop.Azimuth = hz.ZnDeg;
    return lop;
}

std::vector<TLOPRecord> Sights(const TLatLon &truth, const std::vector<double> &azimuths,
    const std::vector<double> &errors, const TLatLon &ap, double altitudeDeg = 40)
{
    std::vector<TLOPRecord> lops;
    for (std::size_t i = 0; i < azimuths.size(); ++i)
        lops.push_back(Sight(truth, azimuths[i], altitudeDeg + 5 * static_cast<double>(i % 4),
            errors[i], ap, "Star" + std::to_string(i + 1)));
    return lops;
}

// Normal deviates by Box-Muller over a 32-bit Mersenne twister, the same on every platform.
class TNoise
{
public:
    explicit TNoise(std::uint32_t seed)
        : FRng(seed)
    { }

    double Uniform() { return (static_cast<double>(FRng()) + 0.5) / 4294967296.0; }

    double Normal(double sigma)
    {
        return sigma * std::sqrt(-2 * std::log(Uniform()))
            * std::cos(2 * std::numbers::pi * Uniform());
    }

private:
    std::mt19937 FRng;
};

// A random set of `n` sights: a true position in middle latitudes, azimuths spread round the
// horizon with some jitter, altitudes 20..70°, errors of `sigmaArcmin`, and an assumed position
// up to 10 NM off.
struct TRandomSet
{
    TLatLon Truth;
    std::vector<TLOPRecord> LOPs;
};

TRandomSet RandomSet(TNoise &noise, int n, double sigmaArcmin, int blunderLOP = 0,
    double blunderArcmin = 0, double apOffNm = -1)
{
    TRandomSet s;
    s.Truth = {-50 + 100 * noise.Uniform(), -180 + 360 * noise.Uniform()};
    const double offNm = apOffNm >= 0 ? apOffNm : 10 * noise.Uniform();
    const TLatLon ap = Destination(s.Truth, 360 * noise.Uniform(), offNm / 60);
    const double base = 360 * noise.Uniform();
    for (int i = 0; i < n; ++i) {
        const double az = base + 360.0 * i / n + 20 * (noise.Uniform() - 0.5);
        const double alt = 20 + 50 * noise.Uniform();
        double error = noise.Normal(sigmaArcmin);
        if (i + 1 == blunderLOP)
            error += blunderArcmin;
        s.LOPs.push_back(
            Sight(s.Truth, Normalize360(az), alt, error, ap, "Star" + std::to_string(i + 1)));
    }
    return s;
}

// Whether `point` lies in the ellipse of `fix`: the offset turned into the frame of the axes.
bool EllipseCovers(const TLeastSquaresFix &fix, const TLatLon &point)
{
    const TOffset d = OffsetNm({fix.Lat, fix.Lon}, point);
    const TErrorEllipse &e = *fix.Ellipse;
    const double u = d.North * CosD(e.OrientationDeg) + d.East * SinD(e.OrientationDeg);
    const double v = -d.North * SinD(e.OrientationDeg) + d.East * CosD(e.OrientationDeg);
    return (u / e.SigmaMajorNm) * (u / e.SigmaMajorNm) + (v / e.SigmaMinorNm) * (v / e.SigmaMinorNm)
        <= 1;
}

const TLatLon kTruth {38.5, 24}; // 38°30'N 24°00'W

TEST(LeastSquaresFix, ExactSightsGiveTheTruthFromAnyAssumedPosition)
{
    struct Case
    {
        const char *Name;
        TLatLon Truth;
        std::vector<double> Azimuths;
        double APBearingDeg, APOffNm;
    };

    const Case cases[] = {
        {"two at right angles, AP on the spot", kTruth, {45, 135}, 0, 0},
        {"three, AP 40 NM north-west", kTruth, {10, 130, 250}, 315, 40},
        {"five, AP 40 NM south", kTruth, {0, 70, 150, 220, 290}, 180, 40},
        {"four, high latitude, AP 25 NM east", {68, -150}, {30, 100, 200, 300}, 90, 25},
        {"three across the 180th meridian", {-12, 179.95}, {60, 180, 300}, 270, 20},
        {"three in the southern ocean", {-55, 60}, {5, 125, 245}, 200, 30},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLatLon ap = Destination(c.Truth, c.APBearingDeg, c.APOffNm / 60);
        const auto lops =
            Sights(c.Truth, c.Azimuths, std::vector<double>(c.Azimuths.size(), 0.0), ap);
        const TLeastSquaresFix fix = LeastSquaresFix(lops, ap);
        ASSERT_TRUE(fix.Found());
        EXPECT_LT(DistanceNm({fix.Lat, fix.Lon}, c.Truth), 0.005);
        EXPECT_GT(fix.Lon, -180);
        EXPECT_LE(fix.Lon, 180);
        ASSERT_EQ(fix.Residuals.size(), c.Azimuths.size());
        for (std::size_t i = 0; i < fix.Residuals.size(); ++i) {
            EXPECT_EQ(fix.Residuals[i].LOP, static_cast<int>(i + 1));
            EXPECT_NEAR(fix.Residuals[i].ResidualNm, 0, 0.005);
            EXPECT_NEAR(NormalizeSigned180(fix.Residuals[i].AzimuthDeg - c.Azimuths[i]), 0, 0.01);
        }
        EXPECT_EQ(fix.Ellipse.has_value(), c.Azimuths.size() >= 3);
        EXPECT_EQ(fix.SuspectTested, c.Azimuths.size() >= 4);
        EXPECT_FALSE(fix.Suspect.has_value());
    }
}

TEST(LeastSquaresFix, FortyMilesOffGivesTheFixOfAnAssumedPositionOnTheSpot)
{
    // The same sights (0.5' errors) reduced from the true position and from 40 NM off in eight
    // directions: the circles of position are the same, so the fixes agree; LOPs taken as
    // straight lines would differ by up to about 0.6 NM.
    TNoise noise(2101);
    for (int set = 0; set < 4; ++set) {
        const TRandomSet s = RandomSet(noise, 4, 0.5, 0, 0, 0);
        const TLeastSquaresFix onTheSpot = LeastSquaresFix(s.LOPs, s.Truth);
        ASSERT_TRUE(onTheSpot.Found());
        for (double bearing = 0; bearing < 360; bearing += 45) {
            SCOPED_TRACE("set " + std::to_string(set) + ", AP 40 NM towards "
                + std::to_string(static_cast<int>(bearing)));
            const TLatLon ap = Destination(s.Truth, bearing, 40.0 / 60);
            std::vector<TLOPRecord> lops;
            for (const auto &l : s.LOPs) {
                // The same observed altitude, reduced again from the far assumed position.
                const THorizon hz = Reduce({l.Decl, l.GHA}, ap);
                TLOPRecord far = l;
                far.APLat = ap.Lat;
                far.APLon = ap.Lon;
                far.HCalc = hz.HcDeg;
                far.Intercept = (l.HCalc + l.Intercept / 60 - hz.HcDeg) * 60;
                far.Azimuth = hz.ZnDeg;
                lops.push_back(far);
            }
            const TLeastSquaresFix fix = LeastSquaresFix(lops, ap);
            ASSERT_TRUE(fix.Found());
            EXPECT_LT(DistanceNm({fix.Lat, fix.Lon}, {onTheSpot.Lat, onTheSpot.Lon}), 0.05);
        }
    }
}

TEST(LeastSquaresFix, ResidualsScatterAndEllipseOfKnownErrors)
{
    // Expected values worked by hand from the linear model: A has rows (cos Zn, sin Zn), the fix
    // moves by (AᵀA)⁻¹Aᵀr, the scatter is sqrt(Σr²/(n − 2)) and the covariance scatter²·(AᵀA)⁻¹.
    struct Case
    {
        const char *Name;
        std::vector<double> Azimuths;
        std::vector<double> Errors; // arcmin, positive = observed high
        double ScatterNm, MajorNm, MinorNm;
        double OrientationDeg; // negative: a circle, no axis
        bool Floored;
    };

    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0);
    const Case cases[] = {
        // AᵀA = diag(1.5, 1.5), Aᵀr = 0: the fix stays, every residual +1.
        {"three at 120°, each 1' high", {0, 120, 240}, {1, 1, 1}, r3, r2, r2, -1, false},
        // AᵀA = [[1.75, 0.433], [0.433, 1.25]], eigenvalues 2 and 1, the small one along 120°.
        {"two opposite and one across", {30, 210, 120}, {1, 1, 0}, r2, r2, 1, 120, false},
        // No scatter at all: one LOP's standard error taken as 0.5 NM, 0.5/sqrt(1.5) each way.
        {"three meeting in a point", {0, 120, 240}, {0, 0, 0}, 0, 0.5 / std::sqrt(1.5),
            0.5 / std::sqrt(1.5), -1, true},
        // AᵀA = diag(2, 2), Σr² = 1 over 2 degrees of freedom: the floor no longer applies.
        {"four at 90°, each 0.5' high", {0, 90, 180, 270}, {0.5, 0.5, 0.5, 0.5}, std::sqrt(0.5),
            0.5, 0.5, -1, false},
        {"four nearly meeting", {0, 90, 180, 270}, {0.01, 0.01, 0.01, 0.01}, std::sqrt(0.0002),
            0.01, 0.01, -1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto lops = Sights(kTruth, c.Azimuths, c.Errors, kTruth);
        const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
        ASSERT_TRUE(fix.Found());
        EXPECT_LT(DistanceNm({fix.Lat, fix.Lon}, kTruth), 0.01);
        for (std::size_t i = 0; i < c.Errors.size(); ++i)
            EXPECT_NEAR(fix.Residuals[i].ResidualNm, c.Errors[i], 0.01);
        EXPECT_NEAR(fix.ScatterNm, c.ScatterNm, 0.01);
        ASSERT_TRUE(fix.Ellipse.has_value());
        EXPECT_NEAR(fix.Ellipse->SigmaMajorNm, c.MajorNm, 0.01);
        EXPECT_NEAR(fix.Ellipse->SigmaMinorNm, c.MinorNm, 0.01);
        EXPECT_EQ(fix.Ellipse->Floored, c.Floored);
        EXPECT_EQ(fix.Ellipse->SigmaNm, c.Floored ? kSightSigmaFloorNm : fix.ScatterNm);
        if (c.OrientationDeg >= 0) {
            EXPECT_NEAR(fix.Ellipse->OrientationDeg, c.OrientationDeg, 0.5);
        }
        EXPECT_GE(fix.Ellipse->OrientationDeg, 0);
        EXPECT_LT(fix.Ellipse->OrientationDeg, 180);
    }
}

TEST(LeastSquaresFix, TwoLOPsFixWithoutAnEllipse)
{
    // LOPs of azimuth 0° and 90°, 1' and 2' high: the fix is 1 NM north and 2 NM east of the
    // truth, where both LOPs pass.
    const auto lops = Sights(kTruth, {0, 90}, {1, 2}, kTruth);
    const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
    ASSERT_TRUE(fix.Found());
    const TOffset d = OffsetNm(kTruth, {fix.Lat, fix.Lon});
    EXPECT_NEAR(d.North, 1, 0.01);
    EXPECT_NEAR(d.East, 2, 0.01);
    EXPECT_NEAR(fix.Residuals[0].ResidualNm, 0, 0.01);
    EXPECT_NEAR(fix.Residuals[1].ResidualNm, 0, 0.01);
    EXPECT_FALSE(fix.Ellipse.has_value());
    EXPECT_FALSE(fix.SuspectTested);
    const auto lines = LeastSquaresReport(fix, lops, kTruth);
    EXPECT_EQ(lines.back(), "2 LOPs: no error ellipse (needs 3 or more)");
}

TEST(LeastSquaresFix, OutcomesWithoutAFix)
{
    TLOPRecord a = Sight(kTruth, 40, 30, 0, kTruth, "A");
    TLOPRecord b = a;
    b.Intercept = 3; // the same azimuth: parallel
    TLOPRecord c = a;
    c.Intercept = -2;
    TLOPRecord unticked = Sight(kTruth, 130, 30, 0, kTruth, "B");
    unticked.Selected = false;

    struct Case
    {
        const char *Name;
        std::vector<TLOPRecord> LOPs;
        TLeastSquaresOutcome Outcome;
        const char *Line;
    };

    const Case cases[] = {
        {"no LOP", {}, TLeastSquaresOutcome::TooFewLOPs, "Needs at least 2 selected LOPs"},
        {"one selected of two", {a, unticked}, TLeastSquaresOutcome::TooFewLOPs,
            "Needs at least 2 selected LOPs"},
        {"two parallel", {a, b}, TLeastSquaresOutcome::Parallel,
            "The LOPs do not fix a point (all parallel)"},
        {"three parallel and one unticked", {a, b, unticked, c}, TLeastSquaresOutcome::Parallel,
            "The LOPs do not fix a point (all parallel)"},
    };
    for (const auto &cs : cases) {
        SCOPED_TRACE(cs.Name);
        const TLeastSquaresFix fix = LeastSquaresFix(cs.LOPs, kTruth);
        EXPECT_EQ(fix.Outcome, cs.Outcome);
        EXPECT_FALSE(fix.Found());
        const auto lines = LeastSquaresReport(fix, cs.LOPs, kTruth);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], "Least-squares fix ------------");
        EXPECT_EQ(lines[1], cs.Line);
        EXPECT_TRUE(ErrorEllipseOutline(fix).empty());
    }
}

TEST(LeastSquaresFix, HostileRecordsNeverGiveANonFiniteFix)
{
    // A fourth record as a damaged or hand-made list may hold it, beside three good LOPs. An
    // observed altitude above 90° or far below the horizon makes a circle no point lies on: no
    // fix is claimed. Otherwise the fix found is finite, on the globe, with a finite ellipse.
    const auto good = Sights(kTruth, {0, 120, 240}, {0, 0, 0}, kTruth);

    struct Case
    {
        const char *Name;
        double APLat, Intercept, HCalc, Azimuth;
        bool Found;
    };

    const Case cases[] = {
        {"intercept of 5000 NM", 38.5, 5000, 40, 10, false},
        {"intercept of -20000 NM", 38.5, -20000, 40, 10, false},
        {"assumed position at the north pole", 90, 3, 40, 10, true},
        {"assumed position at the south pole", -90, 3, 40, 200, true},
        {"body in the zenith", 38.5, 0, 90, 0, true},
        {"body on the horizon, observed below it", 38.5, -300, 0, 90, true},
        {"azimuth beyond a turn", 38.5, 2, 40, 1000, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        auto lops = good;
        TLOPRecord bad = good[0];
        bad.APLat = c.APLat;
        bad.Intercept = c.Intercept;
        bad.HCalc = c.HCalc;
        bad.Azimuth = c.Azimuth;
        lops.push_back(bad);
        const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
        ASSERT_EQ(fix.Found(), c.Found);
        const auto lines = LeastSquaresReport(fix, lops, kTruth);
        if (!c.Found) {
            EXPECT_EQ(fix.Outcome, TLeastSquaresOutcome::NoConvergence);
            EXPECT_EQ(lines.back(), "No fix: still moving after 50 iterations");
            continue;
        }
        EXPECT_TRUE(std::isfinite(fix.Lat) && std::isfinite(fix.Lon));
        EXPECT_LE(std::fabs(fix.Lat), 90);
        for (const auto &r : fix.Residuals)
            EXPECT_TRUE(std::isfinite(r.ResidualNm));
        ASSERT_TRUE(fix.Ellipse.has_value());
        EXPECT_TRUE(std::isfinite(fix.Ellipse->SigmaMajorNm));
        EXPECT_TRUE(std::isfinite(fix.Ellipse->SigmaMinorNm));
        EXPECT_TRUE(lines.back().starts_with("Suspect LOP: ")) << lines.back();
    }
}

TEST(LeastSquaresFix, UntickedLOPsKeepTheirNumbersOutOfTheFix)
{
    // LOP 2 is 5' off but unticked: it neither moves the fix nor gets a residual.
    auto lops = Sights(kTruth, {0, 200, 120, 240}, {0, 5, 0, 0}, kTruth);
    lops[1].Selected = false;
    const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
    ASSERT_TRUE(fix.Found());
    EXPECT_LT(DistanceNm({fix.Lat, fix.Lon}, kTruth), 0.005);
    ASSERT_EQ(fix.Residuals.size(), 3u);
    EXPECT_EQ(fix.Residuals[0].LOP, 1);
    EXPECT_EQ(fix.Residuals[1].LOP, 3);
    EXPECT_EQ(fix.Residuals[2].LOP, 4);
    EXPECT_FALSE(fix.SuspectTested); // three selected
}

TEST(LeastSquaresFix, EllipseCoversTheTruthAsOftenAsA1SigmaEllipseShould)
{
    // With the scatter estimated from n − 2 degrees of freedom, the squared distance of the
    // truth in units of the ellipse, halved, follows Fisher's F(2, n − 2), so the 1-sigma
    // ellipse covers the truth with probability 1 − (1 + 1/(n − 2))^(−(n − 2)/2); 39.3 % when
    // the sight errors are known. 1000 seeded sets each, sight errors 0.5': allowed three
    // binomial standard deviations (about 4.5 %).
    struct Case
    {
        int N;
        std::uint32_t Seed;
    };

    const Case cases[] = {{4, 401}, {5, 501}, {8, 801}};
    for (const auto &c : cases) {
        SCOPED_TRACE("n = " + std::to_string(c.N));
        const double nu = c.N - 2;
        const double expected = 1 - std::pow(1 + 1 / nu, -nu / 2);
        TNoise noise(c.Seed);
        const int sets = 1000;
        int covered = 0;
        for (int k = 0; k < sets; ++k) {
            const TRandomSet s = RandomSet(noise, c.N, 0.5);
            const TLeastSquaresFix fix =
                LeastSquaresFix(s.LOPs, {s.LOPs[0].APLat, s.LOPs[0].APLon});
            ASSERT_TRUE(fix.Found());
            ASSERT_TRUE(fix.Ellipse.has_value());
            if (EllipseCovers(fix, s.Truth))
                ++covered;
        }
        const double rate = static_cast<double>(covered) / sets;
        const double sd = std::sqrt(expected * (1 - expected) / sets);
        EXPECT_NEAR(rate, expected, 3 * sd) << covered << " of " << sets;
        RecordProperty("coverage_n" + std::to_string(c.N), std::to_string(rate));
    }
}

TEST(LeastSquaresFix, AFiveMinuteBlunderIsNamedAndACleanSetNamesNone)
{
    // Five sights with 0.5' errors, 200 seeded sets each way.
    TNoise noise(5005);
    const int sets = 200;
    int named = 0, wrong = 0, falseAlarms = 0;
    for (int k = 0; k < sets; ++k) {
        const int blunder = 1 + k % 5;
        const double sign = k % 2 == 0 ? 1 : -1;
        const TRandomSet bad = RandomSet(noise, 5, 0.5, blunder, 5 * sign);
        const TLeastSquaresFix fix =
            LeastSquaresFix(bad.LOPs, {bad.LOPs[0].APLat, bad.LOPs[0].APLon});
        ASSERT_TRUE(fix.Found());
        ASSERT_TRUE(fix.SuspectTested);
        if (fix.Suspect && fix.Suspect->LOP == blunder)
            ++named;
        else if (fix.Suspect)
            ++wrong;

        const TRandomSet clean = RandomSet(noise, 5, 0.5);
        const TLeastSquaresFix cleanFix =
            LeastSquaresFix(clean.LOPs, {clean.LOPs[0].APLat, clean.LOPs[0].APLon});
        ASSERT_TRUE(cleanFix.Found());
        if (cleanFix.Suspect)
            ++falseAlarms;
    }
    EXPECT_GE(named, sets * 8 / 10) << named << " of " << sets << " blunders named";
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(falseAlarms, 0);
    RecordProperty("blunders_named", named);
}

TEST(LeastSquaresFix, ReportOfASetWithABlunder)
{
    // Five LOPs from the truth, 5' blunder on LOP 3: the others meet at the truth, so taking
    // LOP 3 out leaves no scatter.
    const auto lops = Sights(kTruth, {0, 72, 144, 216, 288}, {0, 0, 5, 0, 0}, kTruth);
    const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
    ASSERT_TRUE(fix.Found());
    ASSERT_TRUE(fix.Suspect.has_value());
    EXPECT_EQ(fix.Suspect->LOP, 3);
    EXPECT_NEAR(fix.Suspect->ScatterWithoutNm, 0, 0.01);

    // With five LOPs 72° apart AᵀA = diag(2.5, 2.5): the blunder pulls the fix 2 NM towards
    // its body (5·(cos 144°, sin 144°)/2.5), leaving residuals 5 − 2 = +3 on LOP 3 and
    // −2·cos(Zn − 144°) on the others; Σr² = 15, so the scatter is sqrt(15/3) and each semi-axis
    // sqrt(5/2.5).
    const auto lines = LeastSquaresReport(fix, lops, kTruth);
    const std::vector<std::string> expected = {
        "Least-squares fix ------------",
        "Lat: " + FormatAngleDM1("NS", fix.Lat).Text,
        "Lon: " + FormatAngleDM1("WE", fix.Lon).Text,
        std::to_string(fix.Iterations) + " iterations, 2.0NM from the crossings fix",
        "Residuals (+ towards the body):",
        "LOP 1 (Star1): +1.6NM",
        "LOP 2 (Star2): -0.6NM",
        "LOP 3 (Star3): +3.0NM",
        "LOP 4 (Star4): -0.6NM",
        "LOP 5 (Star5): +1.6NM",
        "Scatter (1 sigma of a LOP): 2.2NM",
        "Error ellipse (1 sigma): 1.4NM x 1.4NM, major axis "
            + FormatFixed(fix.Ellipse->OrientationDeg, 0, 3) + "°",
        "Suspect LOP: LOP 3 (Star3), scatter 0.0NM without it",
    };
    EXPECT_EQ(lines, expected);
    const TOffset moved = OffsetNm(kTruth, {fix.Lat, fix.Lon});
    EXPECT_NEAR(moved.North, 2 * CosD(144), 0.01);
    EXPECT_NEAR(moved.East, 2 * SinD(144), 0.01);
}

TEST(LeastSquaresFix, ReportLinesOfThreeAndFourLOPs)
{
    struct Case
    {
        const char *Name;
        std::vector<double> Azimuths;
        std::vector<double> Errors;
        std::vector<std::string> Tail; // the lines after the residuals
    };

    const Case cases[] = {
        {"three meeting in a point", {0, 120, 240}, {0, 0, 0},
            {"Scatter (1 sigma of a LOP): 0.0NM, taken as 0.5NM for 3 LOPs",
                "Error ellipse (1 sigma): 0.4NM x 0.4NM, major axis ",
                "Suspect LOP: needs 4 LOPs or more"}},
        {"two opposite and one across", {30, 210, 120}, {1, 1, 0},
            {"Scatter (1 sigma of a LOP): 1.4NM",
                "Error ellipse (1 sigma): 1.4NM x 1.0NM, major axis 120°",
                "Suspect LOP: needs 4 LOPs or more"}},
        {"four at 90°, each 0.5' high", {0, 90, 180, 270}, {0.5, 0.5, 0.5, 0.5},
            {"Scatter (1 sigma of a LOP): 0.7NM",
                "Error ellipse (1 sigma): 0.5NM x 0.5NM, major axis ", "Suspect LOP: none"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto lops = Sights(kTruth, c.Azimuths, c.Errors, kTruth);
        const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
        const auto lines = LeastSquaresReport(fix, lops, kTruth);
        ASSERT_EQ(lines.size(), 5 + c.Azimuths.size() + c.Tail.size());
        for (std::size_t i = 0; i < c.Tail.size(); ++i)
            EXPECT_TRUE(lines[5 + c.Azimuths.size() + i].starts_with(c.Tail[i]))
                << lines[5 + c.Azimuths.size() + i];
    }
}

TEST(LeastSquaresFix, EllipseOutlineRunsRoundTheFix)
{
    // Major axis √2 NM along 120°, minor 1 NM (see the known-errors case).
    const auto lops = Sights(kTruth, {30, 210, 120}, {1, 1, 0}, kTruth);
    const TLeastSquaresFix fix = LeastSquaresFix(lops, kTruth);
    const auto outline = ErrorEllipseOutline(fix, 8);
    ASSERT_EQ(outline.size(), 8u);
    const TLatLon centre {fix.Lat, fix.Lon};

    struct Point
    {
        std::size_t Index;
        double BearingDeg, DistNm;
    };

    const Point points[] = {
        {0, 120, std::sqrt(2.0)}, {2, 210, 1}, {4, 300, std::sqrt(2.0)}, {6, 30, 1}};
    for (const auto &p : points) {
        SCOPED_TRACE(p.Index);
        const TCourseDistance cd = GreatCircleCourseDistance(
            centre.Lat, centre.Lon, outline[p.Index].Lat, outline[p.Index].Lon);
        EXPECT_NEAR(cd.DistNm, p.DistNm, 0.01);
        EXPECT_NEAR(NormalizeSigned180(cd.CourseDeg - p.BearingDeg), 0, 0.5);
    }
}

TEST(LeastSquaresFix, TransportedLOPsOfAMovingBoat)
{
    // A boat on 060° at 8 knots takes four sights half an hour apart; each is reduced from a
    // dead-reckoning position 5 NM off. Transported to the last sight, the least-squares fix is
    // the boat's position then, and the report of the crossings stays the one CalcFix writes.
    const TLatLon last {38.5, 24};
    const double courseDeg = 60, speedKn = 8;
    const double azimuths[] = {20, 110, 200, 290};
    TLOPList list;
    for (int k = 0; k < 4; ++k) {
        const double hoursBefore = 0.5 * (3 - k);
        const TLatLonResult at =
            RhumbLineDestination(last.Lat, last.Lon, speedKn * hoursBefore, courseDeg + 180);
        const TLatLon boat {at.LatDeg, at.LonDeg};
        TLOPRecord lop = Sight(boat, azimuths[k], 35 + 5 * k, 0,
            Destination(boat, 45.0 * k, 5.0 / 60), "Star" + std::to_string(k + 1));
        lop.GMTHours = 16 - hoursBefore;
        list.AddLOP(lop);
    }
    list.SetTransportMode(TAutoTransportMode::ToLatestLOPTime);
    TTransportSettings settings;
    settings.Boat.Course = courseDeg;
    settings.Boat.Speed = speedKn;

    TFixReport report;
    std::vector<std::string> quality;
    const TFixWithQuality fix = CalcFixWithQuality(list, settings, report, quality);
    ASSERT_TRUE(fix.LeastSquares.Found());
    EXPECT_LT(DistanceNm({fix.LeastSquares.Lat, fix.LeastSquares.Lon}, last), 0.02);
    EXPECT_TRUE(fix.LeastSquares.SuspectTested);
    EXPECT_FALSE(fix.LeastSquares.Suspect.has_value());

    TLOPList again;
    again.AddLOPs(list.LOPs());
    again.SetTransportMode(TAutoTransportMode::ToLatestLOPTime);
    TFixReport crossingsOnly;
    again.CalcFix(settings, crossingsOnly);
    EXPECT_EQ(report.Lines, crossingsOnly.Lines);
    ASSERT_FALSE(quality.empty());
    EXPECT_EQ(quality.front(), "Least-squares fix ------------");
    EXPECT_EQ(quality,
        LeastSquaresReport(
            fix.LeastSquares, list.TransportedLOPs(), {fix.Crossings.Lat, fix.Crossings.Lon}));
}

} // namespace
} // namespace vrn
