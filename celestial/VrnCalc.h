#pragma once

// Lines of position: the 419-byte LOP record, the reduction of one sight to a LOP with its
// report, the LOP list with its transport to a common time, and the astronomical position fix
// from the crossings of the selected LOPs. Angles in degrees, distances in nautical miles
// (one minute of arc), longitudes WEST positive, date-times in days since 1899-12-30.

#include "celestial/Sextante.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TAstro;

constexpr std::size_t kLOPRecordSize = 419;
constexpr int kMaxLOPs = 20;

// One line of position. Texts are UTF-8 here and Windows-1252 on disk, where ObjectName holds
// at most 15 and Comments at most 255 bytes.
struct TLOPRecord
{
    bool Selected = true; // takes part in fixes
    std::string ObjectName; // the body observed
    std::int32_t GMTDay = 0;
    std::int32_t GMTMonth = 0;
    std::int32_t GMTYear = 0;
    double GMTHours = 0; // decimal hours
    double LocalDateTime = 0; // days since 1899-12-30
    double TimeZone = 0; // hours, positive west: GMT = local + zone
    std::int32_t WatchError = 0; // seconds, positive when the watch is fast
    double IE = 0; // index correction used, minutes
    double DipMin = 0; // dip used, minutes
    double HInst = 0; // sextant altitude used, degrees (halved for an artificial horizon)
    double APLat = 0; // assumed latitude, degrees north
    double APLon = 0; // assumed longitude, degrees WEST
    double TotalCorr = 0; // total altitude correction, minutes
    double Decl = 0; // degrees
    double GHA = 0; // degrees
    double LHA = 0; // degrees 0..360
    double HCalc = 0; // computed altitude Hc, degrees
    std::string Comments;
    double SDCorr = 0; // semi-diameter as applied, minutes, signed
    bool LowerLimb = false;
    bool ArtificialHorizon = false;
    double Intercept = 0; // nautical miles, positive towards the body
    double Azimuth = 0; // Zn, degrees true 0..360
};

using TLOPRecordBytes = std::array<std::uint8_t, kLOPRecordSize>;

// The file form of a record, little-endian, field by field at the offsets of LOPS.LST. Texts
// longer than their field are cut; bytes past a text's length are zero.
TLOPRecordBytes EncodeLOPRecord(const TLOPRecord &lop);

// Reads one record. A name length above 15, an impossible GMT date, or a double that is not
// finite make it unreadable: nothing is returned and `problem` (when given) says why.
std::optional<TLOPRecord> DecodeLOPRecord(
    std::span<const std::uint8_t, kLOPRecordSize> bytes, std::string *problem = nullptr);

// The GMT instant of a LOP as a date-time. Raises EConvertError for an impossible date.
double LOPDateTime(const TLOPRecord &lop);
// The date, a blank and "hh:mm:ss" (no time at exact midnight).
std::string LOPDateTimeText(const TLOPRecord &lop, const TDateFormat &format = ShortDateFormat());
// ObjectName + "-" + LOPDateTimeText.
std::string LOPCaption(const TLOPRecord &lop, const TDateFormat &format = ShortDateFormat());

// A longitude that a calculation produced, brought into (-180, 180] degrees west: 180 stays
// 180, -180 becomes 180, 190 becomes -170.
double WrapLongitude(double lonDeg);

// The bodies whose limb is observed and which have a semi-diameter: the Sun and the Moon.
bool IsSunOrMoon(const TAstro &body);

// The sight reports' line for the limb observed: "Altitude for lower limb", "... upper limb",
// "... object center".
std::string LimbReportLine(TLimbType limb);

// The date of a date field (an optional time is ignored) as the date-time of its midnight;
// nothing for an empty or unreadable text.
std::optional<double> DateOfText(
    std::string_view text, const TDateFormat &format = ShortDateFormat());

// The one reader of a GMT date field: ReadDateField, raising EVrnError "Invalid date in GMT date:
// expected dd/MM/yyyy" (the format's pattern) on an empty or unreadable text.
double ReadGMTDate(std::string_view text, const TDateFormat &format = ShortDateFormat());

// The sextant altitude is exactly zero (after halving): the window puts the focus on its field.
class EInvalidSextantAltitude : public EVrnError
{
public:
    EInvalidSextantAltitude()
        : EVrnError("Invalid sextant altitude (0°00)")
    { }
};

// One sight as the window or vrncli reads it; the sextant settings travel in TVrnSextant.
struct TSightInputs
{
    TAstro *Body = nullptr; // the body observed, never null
    TVrnWatch Watch; // GMT of the sight
    TPosition AssumedPos;
    TLimbType Limb = TLimbType::LowerLimb;
    bool ArtificialHorizon = false;
    TBoatCourseAndSpeed Boat; // for the Coriolis correction
    // For the report and the record, as the window shows them.
    std::string GMTDateText;
    std::string GMTTimeText; // "hh:mm:ss"
    double LocalDateTime = 0; // days since 1899-12-30
    double TimeZone = 0; // hours, positive west
    int WatchError = 0; // seconds, positive when fast
};

// Reduces one sight by the intercept method and returns its LOP (Selected). The report lines are
// appended to `report` as they are produced, so a failure leaves the lines written before it.
// `sextant` holds Hs and the correction settings; its Hs is halved for an artificial horizon and
// its results are those of this sight afterwards. Raises EVrnError with the system's messages
// ("Invalid date", "Invalid sextant altitude (0°00)" as EInvalidSextantAltitude, "<body> is not
// currently visible" CR LF "from assumed position.", the azimuth and correction errors).
TLOPRecord CalcLOP(
    const TSightInputs &sight, TVrnSextant &sextant, std::vector<std::string> &report);

// ---------------------------------------------------------------------------------------------
// LOP geometry, on the (longitude, latitude) plane with the scale of the assumed latitude.

struct TLatLon
{
    double Lat = 0; // degrees north
    double Lon = 0; // degrees west
};

// The point of the LOP nearest the assumed position: the intercept along the azimuth.
TLatLon LOPFootPoint(const TLOPRecord &lop);

// The LOP as a straight line: lat = M·lon + B, or the meridian lon = Foot.Lon. A LOP running east
// and west is lat = Foot.Lat (M = 0), never a meridian.
struct TLOPLineGeometry
{
    TLatLon Foot;
    bool Meridian = false;
    double M = 0; // degrees of latitude per degree of longitude
    double B = 0; // degrees
};

// The latitude whose cosine scales longitude on the plane: the assumed latitude for crossings
// and the position pane, the foot point's latitude for the pane of a single LOP.
enum class TLOPPlaneScale
{
    AssumedLatitude,
    FootLatitude,
};

TLOPLineGeometry LOPLineGeometry(
    const TLOPRecord &lop, TLOPPlaneScale scale = TLOPPlaneScale::AssumedLatitude);

// Angle between two LOPs, degrees 0..90, from their azimuths.
double AngleBetweenLOPs(const TLOPRecord &a, const TLOPRecord &b);

// Where two LOPs cross; nothing for LOPs meeting at less than 1e-6° (parallel) or lines that do
// not meet on the plane. The longitude is that of the plane (not wrapped).
std::optional<TLatLon> LOPCrossing(const TLOPRecord &a, const TLOPRecord &b);

// Moves the assumed position of a LOP `distNm` towards `directionDeg` (plane sailing at the
// starting latitude); intercept and azimuth are unchanged. The longitude comes back into
// (-180, 180].
void MoveLOP(TLOPRecord &lop, double distNm, double directionDeg);

// Moves a LOP's assumed position by the run between its time and `targetTime` (days) at
// `speedKn` on `courseDeg`; backwards for an earlier target. Returns the warning "Warning:
// Transporting LOP "<name>" for more than one day." when the run spans more than a day.
std::optional<std::string> TransportLOP(
    TLOPRecord &lop, double targetTime, double speedKn, double courseDeg);

// Latest and mean GMT date-time of the selected LOPs; 0 when none is selected.
double LatestLOPTime(std::span<const TLOPRecord> lops);
double MeanLOPTime(std::span<const TLOPRecord> lops);

// ---------------------------------------------------------------------------------------------
// The LOP list, its transport and the fix.

// The order of the "Auto LOP Transport" choices.
enum class TAutoTransportMode
{
    DontTransport = 0,
    ToLatestLOPTime = 1,
    ToLOPsMeanTime = 2,
    ToSelectedTime = 3,
};

// What a transport needs besides the list: the boat's course and speed, and the GMT date-time
// the window shows (for "To Selected Time"; read with ReadGMTDate, absent when not readable).
struct TTransportSettings
{
    TBoatCourseAndSpeed Boat;
    std::optional<double> SelectedTime;
    TDateFormat DateFormat = ShortDateFormat();
};

struct TTransportResult
{
    bool Moved = false;
    std::string TimeLabel; // "--", or the target's date-time text + " GMT"; empty in mode 0
    std::vector<std::string> Warnings; // one per LOP moved more than a day
};

// One crossing of two selected LOPs, numbered 1.. in the list; Lat1 < Lat2 is not implied.
struct TLOPCrossing
{
    int LOP1 = 0; // 1-based list numbers, LOP1 < LOP2
    int LOP2 = 0;
    double Angle = 0; // degrees 0..90
    double Lat = 0;
    double Lon = 0; // degrees west, (-180, 180]
};

struct TFixResult
{
    double Lat = 0;
    double Lon = 0; // (-180, 180]
    std::vector<int> LOPNumbers; // the selected LOPs, 1-based
    std::vector<TLOPCrossing> Crossings;
    double MeanDistNm = 0; // mean distance of the crossings from the fix
    double SdNm = 0; // population standard deviation of those distances
};

// The report and the side messages of a fix, filled as it goes.
struct TFixReport
{
    std::vector<std::string> Lines;
    TTransportResult Transport;
};

class TLOPList
{
public:
    const std::vector<TLOPRecord> &LOPs() const { return FLOPs; }

    int LOPCount() const { return static_cast<int>(FLOPs.size()); }

    // Copies of LOPs, moved to the transport time by the last ApplyTransport; index-aligned with
    // LOPs (entries added since are not yet moved).
    const std::vector<TLOPRecord> &TransportedLOPs() const { return FTransportedLOPs; }

    TAutoTransportMode TransportMode() const { return FTransportMode; }

    bool TransportActive() const { return FTransportMode != TAutoTransportMode::DontTransport; }

    // Clears TransportText; the caller runs ApplyTransport for a mode other than "Don't
    // transport".
    void SetTransportMode(TAutoTransportMode mode);

    // "LOPs transported to " CR LF <label> CR LF "Speed=... Knts  Course=...° T"; empty when no
    // transport has been made since the mode was set.
    const std::string &TransportText() const { return FTransportText; }

    // The fix of the list as it was when it was calculated: every change of the LOPs (added,
    // deleted, cleared, replaced, ticked or unticked) clears it, so that no stale fix is shown.
    bool FixValid() const { return FFixValid; }

    double FixLat() const { return FFixLat; }

    double FixLon() const { return FFixLon; }

    // Appends a LOP. Raises "Too many LOPs. Max=20" when the list is full.
    void AddLOP(const TLOPRecord &lop);
    // Appends the result of the last calculation: "Too many LOPs. Max=20", then "Invalid LOP."
    // when there is none.
    void AddCurrentLOP(const std::optional<TLOPRecord> &current);
    // Appends LOPs in order until the list is full, then raises "Too many LOPs. Max=20"; the LOPs
    // appended until then stay.
    void AddLOPs(std::span<const TLOPRecord> lops);
    // Removes LOP n (1-based); false, and nothing changes, for a number not in the list.
    bool DeleteLOP(int n);
    // Raises "No LOPs to delete" on an empty list.
    void ClearLOPs();
    // Replaces the list (LOPS.LST at start); LOPs past the twentieth are dropped.
    void SetLOPs(std::vector<TLOPRecord> lops);
    // Ticks or unticks LOP n (1-based) in both lists; false for a number not in the list.
    bool SetSelected(int n, bool selected);

    // Rebuilds TransportedLOPs from LOPs by the transport mode. Raises "Invalid date" for "To
    // Selected Time" without a readable time and "Invalid transport mode" for a mode outside
    // the four.
    TTransportResult ApplyTransport(const TTransportSettings &settings);

    // Transports, crosses every pair of selected LOPs and weights each crossing by the sine of
    // its angle. Raises "Need at least 2 selected LOPs to calculate the Position" and "No
    // crossing Found"; a failed fix leaves the previous one. The report lines and transport
    // messages produced before a failure stay in `report`.
    TFixResult CalcFix(const TTransportSettings &settings, TFixReport &report);

private:
    std::vector<TLOPRecord> FLOPs;
    std::vector<TLOPRecord> FTransportedLOPs;
    TAutoTransportMode FTransportMode = TAutoTransportMode::DontTransport;
    std::string FTransportText;
    std::string FTransportLabel;
    bool FFixValid = false;
    double FFixLat = 0;
    double FFixLon = 0;
};

// The fix of a set of LOPs as they are (no transport): the crossings of every selected pair and
// their weighted mean, and the report lines from "Astronomical Position Calculation" on. Raises
// like TLOPList::CalcFix. `transportLabel` is written before the position when not empty.
TFixResult CrossLOPs(std::span<const TLOPRecord> lops, const std::string &transportLabel,
    std::vector<std::string> &report, const TDateFormat &format = ShortDateFormat());

} // namespace vrn
