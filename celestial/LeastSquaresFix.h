#pragma once

// How far to trust a fix: the position that minimises the sum of squared distances to the
// selected LOPs, found on the sphere, the residual of every LOP from it, the 1-sigma error
// ellipse from the residual scatter and the leave-one-out search for a suspect sight. Angles in
// degrees, distances in nautical miles, longitudes WEST positive.
//
// Each LOP record is taken as its circle of position: the centre lies 90° − Hc from the
// record's assumed position along its azimuth (the body's geographic position for a LOP as it
// was reduced), the radius is 90° − Ho with Ho = Hc + intercept/60. A LOP whose assumed position
// was moved (transport, LOP editor) keeps its azimuth and intercept, so its circle moves with
// the assumed position; a LOP whose azimuth or intercept was edited is the circle through its
// new foot point. Re-reducing a LOP from a point X gives the intercept (distance from X to the
// centre − radius) and the azimuth of the centre from X, with no failure at any azimuth.

#include "celestial/VrnCalc.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vrn {

// The iteration stops when the fix moves less than this.
constexpr double kLeastSquaresStopNm = 0.01;
constexpr int kLeastSquaresMaxIterations = 50;

// The standard error of one LOP is taken as no less than this where the residual scatter of a
// few LOPs says too little: about the best a sextant sight at sea achieves (0.5'). It applies to
// the ellipse of three LOPs (one degree of freedom, whose scatter is close to zero whenever the
// three happen to meet near one point) and to the scatter left after a LOP is taken out in the
// suspect test.
constexpr double kSightSigmaFloorNm = 0.5;

// A LOP is suspect when taking it out shrinks the scatter to a third or less (see
// TLeastSquaresFix::Suspect).
constexpr double kSuspectScatterFactor = 3;

enum class TLeastSquaresOutcome
{
    Found,
    TooFewLOPs, // fewer than two selected LOPs
    Parallel, // the LOPs do not fix a point: every one runs the same way
    NoConvergence, // still moving after kLeastSquaresMaxIterations steps
};

struct TLOPResidual
{
    int LOP = 0; // 1-based list number
    // The intercept of the LOP re-reduced from the fix: positive when the LOP passes the fix on
    // the side of the body.
    double ResidualNm = 0;
    double AzimuthDeg = 0; // of the body from the fix, 0..360
};

// The 1-sigma error ellipse of the fix: the covariance sigma²·(AᵀA)⁻¹ of the position, A having
// one row (cos Zn, sin Zn) per LOP, sigma the scatter (floored for three LOPs).
struct TErrorEllipse
{
    double SigmaMajorNm = 0;
    double SigmaMinorNm = 0;
    double OrientationDeg = 0; // bearing of the major axis, degrees true 0..180
    double SigmaNm = 0; // the standard error of one LOP the ellipse was scaled with
    bool Floored = false; // SigmaNm is kSightSigmaFloorNm instead of the scatter
};

struct TSuspectLOP
{
    int LOP = 0; // 1-based list number
    double ScatterWithoutNm = 0; // the scatter of the others, before the floor
};

struct TLeastSquaresFix
{
    TLeastSquaresOutcome Outcome = TLeastSquaresOutcome::TooFewLOPs;
    double Lat = 0;
    double Lon = 0; // (-180, 180]
    int Iterations = 0;
    std::vector<TLOPResidual> Residuals; // the selected LOPs, in list order
    // Standard error of one LOP, sqrt(Σ residual² / (n − 2)); 0 for two LOPs.
    double ScatterNm = 0;
    // Three LOPs or more; two LOPs fix a point without telling how well.
    std::optional<TErrorEllipse> Ellipse;
    // The leave-one-out test needs four LOPs or more (three to fix the scatter of the others).
    bool SuspectTested = false;
    std::optional<TSuspectLOP> Suspect;

    bool Found() const { return Outcome == TLeastSquaresOutcome::Found; }
};

// The least-squares fix of the selected LOPs, iterated from `start` (Gauss-Newton: every LOP
// re-reduced from the last position, the step that best fits the new intercepts taken along the
// great circle) until a step is shorter than kLeastSquaresStopNm; then its residuals, ellipse
// and suspect. Unweighted: every sight counts the same.
TLeastSquaresFix LeastSquaresFix(std::span<const TLOPRecord> lops, const TLatLon &start);

// The lines written after the fix report, from "Least-squares fix ------------" on.
std::vector<std::string> LeastSquaresReport(
    const TLeastSquaresFix &fix, std::span<const TLOPRecord> lops, const TLatLon &crossingsFix);

// The list's fix by crossings, unchanged (TLOPList::CalcFix, its report in report.Lines), then
// the least-squares fix of the same transported LOPs started from it, whose lines go to
// `qualityLines`. Raises like TLOPList::CalcFix; the least-squares fix never fails the whole,
// its outcome says what happened.
struct TFixWithQuality
{
    TFixResult Crossings;
    TLeastSquaresFix LeastSquares;
};

TFixWithQuality CalcFixWithQuality(TLOPList &list, const TTransportSettings &settings,
    TFixReport &report, std::vector<std::string> &qualityLines);

// `points` positions around the ellipse centred on the fix, for drawing (plane sailing from the
// fix; the longitudes continue from the fix's, unwrapped); empty without an ellipse.
std::vector<TLatLon> ErrorEllipseOutline(const TLeastSquaresFix &fix, int points = 72);

} // namespace vrn
