#pragma once

// The angular distance between two celestial bodies at a GMT instant, as a lunar distance is
// measured: between the centres of their apparent geocentric places, with the semi-diameter of
// the Sun or the Moon subtracted for the near limb or added for the far limb, and the bearing of
// the second body from the first as a position angle (north through east). Degrees; date-times
// in days since 1899-12-30.

#include "engine/VrnError.h"

#include <optional>
#include <string>
#include <vector>

namespace vrn {

class TAstro;

// The limb of the Sun or the Moon a sextant brings to the other body: the near one (the
// semi-diameter is subtracted from the distance between the centres), the far one (added), or
// the centre (stars and planets, which have no limb to measure).
enum class TLimbChoice
{
    Near,
    Far,
    Center,
};

// Near or far for the Sun and the Moon; the centre for every other body whatever is asked.
TLimbChoice EffectiveLimb(const TAstro &body, TLimbChoice asked);

struct TTwoObjectsResult
{
    double DateTime = 0; // GMT instant of the computation
    double BearingDeg = 0; // position angle of body 2 from body 1, north through east, 0..360
    double CentreDistDeg = 0; // between the centres of the apparent geocentric places
    double SD1Arcmin = 0; // semi-diameter as applied for body 1: -SD near, +SD far, 0 centre
    double SD2Arcmin = 0;
    double CorrectedDistDeg = 0; // CentreDistDeg + (SD1Arcmin + SD2Arcmin) / 60
};

// Computes both bodies for the instant and measures between them; none when the great-circle
// formula gives no course (the second body at a celestial pole). Leaves both bodies computed
// for the instant.
std::optional<TTwoObjectsResult> TwoObjectsDistance(
    TAstro &body1, TLimbChoice limb1, TAstro &body2, TLimbChoice limb2, double dateTime);

// A body was not chosen (Object 1 or 2; the window puts the focus on that list), or the same
// body twice (Object 0).
class ESelectObjectError : public EVrnError
{
public:
    ESelectObjectError(int object, const std::string &message)
        : EVrnError(message)
        , Object(object)
    { }

    int Object;
};

// "Select object 1", "Select object 2" or "Select different objects (1 and 2)" as
// ESelectObjectError; nothing when both are chosen and different.
void CheckTwoObjects(const TAstro *body1, const TAstro *body2);

// The fields of the two-object window.
struct TTwoObjectsInputs
{
    TAstro *Body1 = nullptr; // none when no body is chosen
    TAstro *Body2 = nullptr;
    bool FarLimb1 = false; // ticked: far limb; unticked: near limb (Sun and Moon only)
    bool FarLimb2 = false;
    std::string GMTDateText; // read with ReadGMTDate
    double GMTTime = 0; // time of day as a fraction of a day
    int WatchErrorSec = 0; // added to the time
};

// The GMT instant of the fields: the GMT date + the time + the watch error, one date-time that
// may run into the next or the previous day. Raises the message of ReadGMTDate.
double TwoObjectsInstant(const TTwoObjectsInputs &inputs);

// The report lines of a distance: the bodies, the date and time of the instant, the
// semi-diameter applied for each limb of the Sun or the Moon, the bearing, the distance between
// the centres and, when a semi-diameter was applied, the distance corrected for the limbs.
void TwoObjectsReport(const TAstro &body1, const TAstro &body2, const TTwoObjectsResult &result,
    std::vector<std::string> &report);

// "&Calculate": the distance at the instant of the fields and its report (TwoObjectsReport).
// Raises ESelectObjectError and the date reader's error before writing anything; none (and no
// lines) when the distance cannot be computed.
std::optional<TTwoObjectsResult> CalcTwoObjects(
    const TTwoObjectsInputs &inputs, std::vector<std::string> &report);

} // namespace vrn
