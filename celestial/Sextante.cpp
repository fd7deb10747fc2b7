#include "celestial/Sextante.h"

#include "common/FileIO.h"
#include "common/strtoken.h"
#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace vrn {

namespace {

constexpr std::string_view kCalibrationSection = "CalibrationTable";
constexpr double kFeetPerNauticalMile = 6076.1;
// A sextant table file is a few hundred bytes; anything far beyond is not one.
constexpr std::size_t kMaxSextantFileBytes = 1 << 20;

// The platform's general number format: the shortest form with up to 15 significant digits and
// "." as decimal separator (20, 0.5, -1.25).
std::string FormatGeneral(double value)
{
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return "0";
    return std::string(buf, end);
}

bool SameKey(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

std::string PairKey(int index)
{
    return "P" + FormatInt(index);
}

std::string PairValue(const TSextantCalibrationPair &pair)
{
    return FormatGeneral(pair.Angle) + "|" + FormatGeneral(pair.Error);
}

// "angle|error", both numbers, trimmed.
std::optional<TSextantCalibrationPair> ParsePairValue(std::string_view value)
{
    const TStringTokenizer fields(value, "|");
    if (fields.Count() < 2)
        return std::nullopt;
    const auto angle = ParseNumber(Trim(fields.Token(0)));
    const auto error = ParseNumber(Trim(fields.Token(1)));
    if (!angle || !error)
        return std::nullopt;
    return TSextantCalibrationPair {*angle, *error};
}

// The loop shared by the calibration text and the ".sxt" file: P0, P1, ... until a key is
// missing or empty; a bad value ends the loop with a problem.
template <typename TLookup>
TCalibrationLoadResult ReadPairs(TLookup lookup, std::vector<TSextantCalibrationPair> &pairs)
{
    TCalibrationLoadResult r;
    for (int i = 0;; ++i) {
        const std::optional<std::string> value = lookup(PairKey(i));
        if (!value || Trim(*value).empty())
            break;
        const auto pair = ParsePairValue(Trim(*value));
        if (!pair) {
            r.Problems.push_back(PairKey(i) + ": \"" + std::string(Trim(*value))
                + "\" is not a sextant angle and error (angle|error)");
            break;
        }
        pairs.push_back(*pair);
    }
    r.PairsRead = static_cast<int>(pairs.size());
    return r;
}

// "name=value" lines (LF or CR LF); the first line of a name counts.
std::optional<std::string> ValueOfKey(const std::vector<std::string> &lines, std::string_view key)
{
    for (const auto &line : lines) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && SameKey(Trim(std::string_view(line).substr(0, eq)), key))
            return std::string(Trim(std::string_view(line).substr(eq + 1)));
    }
    return std::nullopt;
}

// A section of INI text: the index of its header line and one past its last line.
struct TSectionSpan
{
    std::size_t Header = 0;
    std::size_t End = 0;
};

bool IsSectionHeader(std::string_view line)
{
    line = Trim(line);
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::optional<TSectionSpan> FindSection(
    const std::vector<std::string> &lines, std::string_view name)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        if (!IsSectionHeader(line) || !SameKey(Trim(line.substr(1, line.size() - 2)), name))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !IsSectionHeader(lines[end]))
            ++end;
        return TSectionSpan {i, end};
    }
    return std::nullopt;
}

// Sets key=value in the section, replacing the key's line or adding one after the section's
// last non-blank line.
void SetIniValue(std::vector<std::string> &lines, std::string_view section, std::string_view key,
    const std::string &value)
{
    auto span = FindSection(lines, section);
    if (!span) {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        span = TSectionSpan {lines.size() - 1, lines.size()};
    }
    for (std::size_t i = span->Header + 1; i < span->End; ++i) {
        const auto eq = lines[i].find('=');
        if (eq != std::string::npos
            && SameKey(Trim(std::string_view(lines[i]).substr(0, eq)), key)) {
            lines[i] = std::string(key) + "=" + value;
            return;
        }
    }
    std::size_t at = span->End;
    while (at > span->Header + 1 && Trim(lines[at - 1]).empty())
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::string(key) + "=" + value);
}

std::vector<std::string> SectionLines(const std::vector<std::string> &lines, std::string_view name)
{
    const auto span = FindSection(lines, name);
    if (!span)
        return {};
    return {lines.begin() + static_cast<std::ptrdiff_t>(span->Header + 1),
        lines.begin() + static_cast<std::ptrdiff_t>(span->End)};
}

// Dip of the sea horizon, minutes of arc: 0.97' per square root of a foot of height of eye
// (Bowditch; the Nautical Almanac's 1.76' per square root of a metre).
double HorizonDipArcmin(double eyeHeightFt)
{
    if (!std::isfinite(eyeHeightFt) || eyeHeightFt < 0)
        throw EVrnError("Height of the eye (Dip) must be a positive number");
    return -0.97 * std::sqrt(eyeHeightFt);
}

} // namespace

TLimbType LimbTypeFromIndex(int index)
{
    switch (index) {
    case 0:
        return TLimbType::LowerLimb;
    case 1:
        return TLimbType::UpperLimb;
    default:
        return TLimbType::ObjectCenter;
    }
}

// ---------------------------------------------------------------------------------------------

void TSextantCalibrationTable::AddPair(const TSextantCalibrationPair &pair)
{
    FPairs.push_back(pair);
    SortByAngle();
}

void TSextantCalibrationTable::SetPair(int index, const TSextantCalibrationPair &pair)
{
    if (index < 0 || index >= Count())
        return;
    FPairs[static_cast<std::size_t>(index)] = pair;
    SortByAngle();
}

void TSextantCalibrationTable::DeletePair(int index)
{
    if (index < 0 || index >= Count())
        return;
    FPairs.erase(FPairs.begin() + index);
}

void TSextantCalibrationTable::SetPairs(std::vector<TSextantCalibrationPair> pairs)
{
    FPairs = std::move(pairs);
    SortByAngle();
}

void TSextantCalibrationTable::ClearPairs()
{
    FPairs.clear();
}

void TSextantCalibrationTable::SortByAngle()
{
    std::stable_sort(FPairs.begin(), FPairs.end(),
        [](const TSextantCalibrationPair &a, const TSextantCalibrationPair &b) {
            return a.Angle < b.Angle;
        });
}

double TSextantCalibrationTable::GetCorrection(double angleDeg) const
{
    const TSextantCalibrationPair *lower = nullptr;
    const TSextantCalibrationPair *upper = nullptr;
    for (const auto &p : FPairs)
        if (angleDeg >= p.Angle)
            lower = &p;
    for (auto it = FPairs.rbegin(); it != FPairs.rend(); ++it)
        if (angleDeg <= it->Angle)
            upper = &*it;
    if (lower && upper) {
        if (upper->Angle == lower->Angle)
            return lower->Error;
        return lower->Error
            + (angleDeg - lower->Angle) * (upper->Error - lower->Error)
            / (upper->Angle - lower->Angle);
    }
    if (lower)
        return lower->Error;
    if (upper)
        return upper->Error;
    return 0;
}

std::string TSextantCalibrationTable::AsText() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i)
        text += PairKey(i) + "=" + PairValue(FPairs[static_cast<std::size_t>(i)]) + "\r\n";
    return text + PairKey(Count()) + "=";
}

TCalibrationLoadResult TSextantCalibrationTable::LoadFromText(std::string_view text)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::vector<TSextantCalibrationPair> pairs;
    auto r = ReadPairs([&](const std::string &key) { return ValueOfKey(lines, key); }, pairs);
    SetPairs(std::move(pairs));
    return r;
}

// ---------------------------------------------------------------------------------------------

std::string TBoatCourseAndSpeed::CourseText() const
{
    return FormatFixed(Course, 0, 3);
}

std::string TBoatCourseAndSpeed::SpeedText() const
{
    return FormatFixed(Speed, 1, 4);
}

// ---------------------------------------------------------------------------------------------

TVrnSextant::TVrnSextant()
{
    ResetSextant();
}

void TVrnSextant::ResetSextant()
{
    Hs = 0;
    IndexCorrection = 0;
    EyeHeight = 0;
    DipShortDistance = 0;
    Dip = 0;
    Refraction = 0;
    SemiDiameter = 0;
    Parallax = 0;
    Calibration = 0;
    TotalCorrection = 0;
    Coriolis = 0;
    UseAtmosphericRefraction = false;
    UseCoriolis = false;
}

void TVrnSextant::CalcCorrections(TLimbType limb, bool artificialHorizon, TAstro &body,
    const TVrnWatch &watch, const TPosition &assumedPos, const TBoatCourseAndSpeed &boat)
{
    SemiDiameter = body.GetSemiDiameter();
    double ic = IndexCorrection;
    switch (limb) {
    case TLimbType::LowerLimb:
        break;
    case TLimbType::UpperLimb:
        SemiDiameter = -SemiDiameter;
        break;
    default:
        SemiDiameter = 0;
        break;
    }

    switch (DipMode) {
    case TDipMode::FromEyeHeight:
        Dip = HorizonDipArcmin(EyeHeight) / 60;
        break;
    case TDipMode::WithDipShort:
        // Square root of feet against nautical miles: the horizon lies about 1.17·√h miles off,
        // so the dip short is taken for a waterline well inside the horizon.
        if (!std::isfinite(EyeHeight) || EyeHeight < 0)
            throw EVrnError("Height of the eye (Dip) must be a positive number");
        if (std::sqrt(EyeHeight) >= DipShortDistance)
            Dip = DipShortCorrection() / 60;
        else
            Dip = HorizonDipArcmin(EyeHeight) / 60;
        break;
    case TDipMode::Given:
        break;
    }

    Calibration = CalibrationTable.GetCorrection(Hs);
    if (artificialHorizon) {
        // The reading is twice the altitude; the caller halved Hs, so the index error counts half
        // and there is neither dip nor limb to correct.
        SemiDiameter = 0;
        Dip = 0;
        ic = ic / 2;
    }
    Ha = Hs + (ic + Dip + Calibration / 60);
    Refraction = UseAtmosphericRefraction ? AtmosphericRefraction() : SimpleRefraction(Ha);
    Coriolis = UseCoriolis ? CoriolisCorrection(body, watch, assumedPos, boat) : 0;
    Parallax = ParallaxInAltitude(body, Ha);
    TotalCorrection =
        ic + Dip + (Refraction + SemiDiameter + Parallax + Calibration + Coriolis) / 60;
}

double TVrnSextant::DipShortCorrection() const
{
    const double h = EyeHeight;
    const double d = DipShortDistance;
    if (!(d > 0))
        throw EVrnError("Dip short distance cannot be zero");
    const double r = -60 * ArcTanD(h / (kFeetPerNauticalMile * d) + d / 8268);
    if (!std::isfinite(r))
        throw EVrnError("Error evaluating dip short correction");
    return r;
}

double TVrnSextant::AtmosphericRefraction() const
{
    if (Ha == 90)
        return 0;
    // The formula holds for air as a navigator meets it, at sea or at an aircraft's altitude;
    // beyond that a typing slip would pass as a sight hundreds of miles off.
    if (!(Temperature >= kMinAirTemperatureC && Temperature <= kMaxAirTemperatureC))
        throw EVrnError("Invalid temperature in refraction formula");
    if (!(Pressure > 0 && Pressure <= kMaxAirPressureMb))
        throw EVrnError("Invalid pressure in refraction formula");
    const double t = Temperature + 273.15;
    const double r = -(0.267 * Pressure / t) / TanD(Ha + 0.04848 / (TanD(Ha) + 0.028));
    if (!std::isfinite(r))
        throw EVrnError("Error in refraction calculation");
    return r;
}

double TVrnSextant::CoriolisCorrection(TAstro &body, const TVrnWatch &watch,
    const TPosition &assumedPos, const TBoatCourseAndSpeed &boat) const
{
    const auto place = body.ComputeGHADec(watch.Year, watch.Month, watch.Day, watch.GMTHours);
    const auto reduced = ComputeAltitudeAzimuth(
        place.DecDeg, place.GHADeg, assumedPos.Latitude, assumedPos.Longitude, Ha);
    return CoriolisArcmin(reduced.ZnDeg, boat.Speed, boat.Course, assumedPos.Latitude);
}

void TVrnSextant::SaveCalibrationTable(const std::filesystem::path &fileName) const
{
    std::vector<std::string> lines;
    const TFileContents old = ReadWholeFile(fileName, kMaxSextantFileBytes);
    if (old.Found && !old.TooLarge && !old.ReadError)
        lines = DecodeTextFile(old.Bytes);
    const auto &pairs = CalibrationTable.Pairs();
    for (std::size_t i = 0; i < pairs.size(); ++i)
        SetIniValue(lines, kCalibrationSection, PairKey(static_cast<int>(i)), PairValue(pairs[i]));
    SetIniValue(lines, kCalibrationSection, PairKey(static_cast<int>(pairs.size())), "");
    WriteFileAtomically(fileName, EncodeTextFile(lines));
}

TCalibrationLoadResult TVrnSextant::LoadCalibrationTable(const std::filesystem::path &fileName)
{
    const TFileContents file = ReadWholeFile(fileName, kMaxSextantFileBytes);
    TCalibrationLoadResult r;
    if (!file.Found || file.ReadError) {
        r.Problems.push_back("Cannot read file " + fileName.string());
    } else if (file.TooLarge) {
        r.Problems.push_back("File " + fileName.string() + " is not a sextant table (too large)");
    } else {
        const std::vector<std::string> section =
            SectionLines(DecodeTextFile(file.Bytes), kCalibrationSection);
        std::vector<TSextantCalibrationPair> pairs;
        r = ReadPairs([&](const std::string &key) { return ValueOfKey(section, key); }, pairs);
        if (!pairs.empty()) {
            CalibrationTable.SetPairs(std::move(pairs));
            return r;
        }
    }
    r.Problems.push_back(
        "No sextant calibration pair found in " + fileName.string() + ": the table is kept");
    return r;
}

// ---------------------------------------------------------------------------------------------

double SimpleRefraction(double haDeg)
{
    const double r0 = CotD(haDeg + 7.31 / (haDeg + 4.4));
    const double r = -(r0 - 0.06 * SinD(14.7 * r0 + 13));
    if (!std::isfinite(r))
        throw EVrnError("Error in refraction calculation");
    return r;
}

double ParallaxInAltitude(const TAstro &body, double haDeg)
{
    return body.GetHorizontalParallax() * CosD(haDeg);
}

double CoriolisArcmin(double znDeg, double speedKn, double courseDeg, double latDeg)
{
    const double v = speedKn / 100;
    return SinD(znDeg - courseDeg)
        * (2.62 * v * SinD(latDeg) + 0.146 * v * v * SinD(courseDeg) * TanD(latDeg));
}

TVrnSextant &Sextant()
{
    static TVrnSextant sextant;
    return sextant;
}

TVrnWatch &Watch()
{
    static TVrnWatch watch;
    return watch;
}

TPosition &AssumedPos()
{
    static TPosition position("AssumedPos", 0, 0);
    return position;
}

TBoatCourseAndSpeed &BoatCourseAndSpeed()
{
    static TBoatCourseAndSpeed boat;
    return boat;
}

void CheckCalibrationPair(const TSextantCalibrationPair &pair)
{
    if (!(pair.Angle >= 0 && pair.Angle <= 180))
        throw EVrnError("Altitude out of range: enter 0 to 180");
}

} // namespace vrn
