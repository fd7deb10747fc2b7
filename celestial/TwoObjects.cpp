#include "celestial/TwoObjects.h"

#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <string>

namespace vrn {

TLimbChoice EffectiveLimb(const TAstro &body, TLimbChoice asked)
{
    return IsSunOrMoon(body) ? asked : TLimbChoice::Center;
}

namespace {

double AppliedSemiDiameter(const TAstro &body, TLimbChoice limb)
{
    switch (EffectiveLimb(body, limb)) {
    case TLimbChoice::Near:
        return -body.GetSemiDiameter();
    case TLimbChoice::Far:
        return body.GetSemiDiameter();
    default:
        return 0;
    }
}

} // namespace

std::optional<TTwoObjectsResult> TwoObjectsDistance(
    TAstro &body1, TLimbChoice limb1, TAstro &body2, TLimbChoice limb2, double dateTime)
{
    body1.SetDateTime(dateTime);
    body2.SetDateTime(dateTime);
    // Right ascensions run eastward; as west-positive longitudes the great-circle course from
    // body 1 to body 2 is then the position angle, north through east.
    const TCourseDistance cd =
        GreatCircleCourseDistance(body1.Dec, -body1.RA, body2.Dec, -body2.RA);
    if (cd.Status != 0)
        return std::nullopt;
    TTwoObjectsResult r;
    r.DateTime = dateTime;
    r.BearingDeg = cd.CourseDeg;
    r.CentreDistDeg = cd.DistNm / 60;
    r.SD1Arcmin = AppliedSemiDiameter(body1, limb1);
    r.SD2Arcmin = AppliedSemiDiameter(body2, limb2);
    r.CorrectedDistDeg = r.CentreDistDeg + (r.SD1Arcmin + r.SD2Arcmin) / 60;
    return r;
}

void CheckTwoObjects(const TAstro *body1, const TAstro *body2)
{
    if (!body1)
        throw ESelectObjectError(1, "Select object 1");
    if (!body2)
        throw ESelectObjectError(2, "Select object 2");
    if (body1 == body2)
        throw ESelectObjectError(0, "Select different objects (1 and 2)");
}

double TwoObjectsInstant(const TTwoObjectsInputs &inputs)
{
    return ReadGMTDate(inputs.GMTDateText) + inputs.GMTTime + inputs.WatchErrorSec / 86400.0;
}

void TwoObjectsReport(const TAstro &body1, const TAstro &body2, const TTwoObjectsResult &result,
    std::vector<std::string> &report)
{
    report.push_back("Distance between " + body1.Name() + " and " + body2.Name());
    report.push_back(std::string(39, '-'));
    report.push_back("Date: " + FormatDateText(result.DateTime, ShortDateFormat()) + " GMT");
    report.push_back("Time: " + FormatTimeText(result.DateTime) + " GMT");
    const auto sdLine = [&report](const TAstro &body, double sdArcmin) {
        if (IsSunOrMoon(body))
            report.push_back(
                "SD correction for " + body.Name() + ": " + FormatFixed(sdArcmin, 1, 4) + "'");
    };
    sdLine(body1, result.SD1Arcmin);
    sdLine(body2, result.SD2Arcmin);
    report.push_back("Bearing 1-2:" + FormatFixed(result.BearingDeg, 2, 8) + "°");
    report.push_back("");
    report.push_back("Dist (obj centers): " + FormatAngleDM1(" -", result.CentreDistDeg).Text);
    if (result.CorrectedDistDeg != result.CentreDistDeg)
        report.push_back(
            "Dist (corrected for SDs): " + FormatAngleDM1(" -", result.CorrectedDistDeg).Text);
}

std::optional<TTwoObjectsResult> CalcTwoObjects(
    const TTwoObjectsInputs &inputs, std::vector<std::string> &report)
{
    CheckTwoObjects(inputs.Body1, inputs.Body2);
    const double instant = TwoObjectsInstant(inputs);
    TAstro &body1 = *inputs.Body1;
    TAstro &body2 = *inputs.Body2;
    const auto limb = [](bool far) { return far ? TLimbChoice::Far : TLimbChoice::Near; };
    const auto r =
        TwoObjectsDistance(body1, limb(inputs.FarLimb1), body2, limb(inputs.FarLimb2), instant);
    if (!r)
        return std::nullopt;

    TwoObjectsReport(body1, body2, *r, report);
    return r;
}

} // namespace vrn
