#include "gps/NmeaReceiver.h"

#include "engine/DateTime.h"
#include "engine/NumText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vrn {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes that end or restart a sentence.
constexpr auto kFrameByte = [] {
    std::array<bool, 256> t {};
    t['\r'] = t['\n'] = t['$'] = true;
    return t;
}();

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

int TwoDigits(std::string_view s, std::size_t at)
{
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

// The comma-separated fields of a sentence, empty ones kept; field 0 is the address. Only the
// first kKept are stored, but Count() is the true number of fields.
class TNmeaFields
{
public:
    explicit TNmeaFields(std::string_view sentence)
    {
        std::size_t start = 0;
        for (;;) {
            const auto comma = sentence.find(',', start);
            const auto end = comma == std::string_view::npos ? sentence.size() : comma;
            if (FCount < kKept)
                FFields[FCount] = sentence.substr(start, end - start);
            ++FCount;
            if (comma == std::string_view::npos)
                break;
            start = comma + 1;
        }
    }

    std::size_t Count() const { return FCount; }

    // Field i, or nothing beyond the last field.
    std::optional<std::string_view> Get(std::size_t i) const
    {
        if (i >= FCount || i >= kKept)
            return std::nullopt;
        return FFields[i];
    }

private:
    static constexpr std::size_t kKept = 16;
    std::array<std::string_view, kKept> FFields {};
    std::size_t FCount = 0;
};

// "S" (or "E") after trimming and upper-casing negates the coordinate.
bool IsNegativeHemisphere(std::string_view field, char negativeLetter)
{
    const auto t = Trim(field);
    return t.size() == 1 && Upper(t[0]) == negativeLetter;
}

// A status field reports a valid fix when its first character is "A".
bool StatusIsValid(std::string_view field)
{
    const auto t = Trim(field);
    return !t.empty() && Upper(t[0]) == 'A';
}

// A coordinate field and its hemisphere field; nothing when either is missing or the
// coordinate does not read.
std::optional<double> Coordinate(const TNmeaFields &f, std::size_t valueField, char negativeLetter)
{
    const auto value = f.Get(valueField);
    if (!value)
        return std::nullopt;
    auto deg = NmeaToDegrees(*value);
    if (!deg)
        return std::nullopt;
    const auto hemisphere = f.Get(valueField + 1);
    if (!hemisphere)
        return std::nullopt;
    return IsNegativeHemisphere(*hemisphere, negativeLetter) ? -*deg : *deg;
}

// Speed or course: an empty field is unknown (true, no value); a field that is not a number
// fails (false).
bool OptionalNumber(const std::optional<std::string_view> &field, std::optional<double> &out)
{
    out.reset();
    if (!field)
        return false;
    if (Trim(*field).empty())
        return true;
    out = ParseNumber(*field);
    return out.has_value();
}

} // namespace

std::optional<double> NmeaTimeOfDay(std::string_view field)
{
    const auto t = Trim(field);
    if (t.size() < 6)
        return std::nullopt;
    for (std::size_t i = 0; i < 6; ++i)
        if (!IsDigit(t[i]))
            return std::nullopt;
    if (t.size() > 6) {
        if (t[6] != '.')
            return std::nullopt;
        for (std::size_t i = 7; i < t.size(); ++i)
            if (!IsDigit(t[i]))
                return std::nullopt;
    }
    return TryEncodeTime(TwoDigits(t, 0), TwoDigits(t, 2), TwoDigits(t, 4), 0);
}

std::optional<double> NmeaDate(std::string_view field)
{
    const auto t = Trim(field);
    if (t.size() != 6)
        return std::nullopt;
    for (const char c : t)
        if (!IsDigit(c))
            return std::nullopt;
    const int yy = TwoDigits(t, 4);
    return TryEncodeDate(yy < 80 ? 2000 + yy : 1900 + yy, TwoDigits(t, 2), TwoDigits(t, 0));
}

std::optional<double> NmeaToDegrees(std::string_view field)
{
    const auto t = Trim(field);
    bool digit = false;
    int points = 0;
    for (const char c : t) {
        if (IsDigit(c))
            digit = true;
        else if (c == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (!digit || points > 1)
        return std::nullopt;
    const auto v = ParseNumber(t);
    if (!v)
        return std::nullopt;
    const double degrees = std::floor(*v / 100);
    const double minutes = *v - degrees * 100;
    if (minutes >= 60)
        return std::nullopt;
    return degrees + minutes / 60;
}

std::optional<std::string_view> StripChecksum(std::string_view sentence)
{
    const auto star = sentence.rfind('*');
    if (star == std::string_view::npos)
        return sentence;
    const auto tail = sentence.substr(star + 1);
    if (tail.size() < 2)
        return std::nullopt;
    const int high = HexValue(tail[0]);
    const int low = HexValue(tail[1]);
    if (high < 0 || low < 0)
        return std::nullopt;
    for (std::size_t i = 2; i < tail.size(); ++i)
        if (tail[i] != ' ' && tail[i] != '\t')
            return std::nullopt;
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(sentence[i]);
    if (sum != static_cast<unsigned>(high * 16 + low))
        return std::nullopt;
    return sentence.substr(0, star);
}

TNMeaMessage SentenceKind(std::string_view s)
{
    if (s.size() < 6 || s[0] != '$')
        return TNMeaMessage::nmNONE;
    const auto isCapital = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (!isCapital(s[1]) || !isCapital(s[2]) || s[1] == 'P')
        return TNMeaMessage::nmNONE;
    if (s.size() > 6 && s[6] != ',')
        return TNMeaMessage::nmNONE;
    const auto type = s.substr(3, 3);
    if (type == "GLL")
        return TNMeaMessage::nmGLL;
    if (type == "RMC")
        return TNMeaMessage::nmRMC;
    return TNMeaMessage::nmNONE;
}

// ---------------------------------------------------------------------------------------------

TNmeaReceiver::TNmeaReceiver()
{
    FBuffer[0] = '$';
}

void TNmeaReceiver::ResetFraming()
{
    FInSentence = false;
    FLength = 0;
}

std::size_t TNmeaReceiver::ReceiveBytes(std::string_view bytes)
{
    FStopRequested = false;
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    while (p < end) {
        if (!FInSentence) {
            const void *dollar = std::memchr(p, '$', static_cast<std::size_t>(end - p));
            if (dollar == nullptr)
                break;
            p = static_cast<const char *>(dollar) + 1;
            FInSentence = true;
            FLength = 1;
            continue;
        }
        // Copy the run of ordinary bytes at once, up to the room left in the buffer.
        const auto scan = std::min(static_cast<std::size_t>(end - p), kMaxSentence - FLength);
        std::size_t n = 0;
        while (n < scan && !kFrameByte[static_cast<unsigned char>(p[n])])
            ++n;
        std::memcpy(FBuffer.data() + FLength, p, n);
        FLength += n;
        p += n;
        if (p == end)
            break;
        const char c = *p++;
        if (c == '\r' || c == '\n') {
            EndSentence();
            if (FStopRequested)
                return static_cast<std::size_t>(p - bytes.data());
        } else if (c == '$') {
            FLength = 1; // the unterminated sentence is dropped
        } else {
            ++FCounters.Overlong; // a byte beyond the 256 a sentence may have
            ResetFraming();
        }
    }
    return bytes.size();
}

void TNmeaReceiver::EndSentence()
{
    const std::string_view sentence(FBuffer.data(), FLength);
    ResetFraming();
    ProcessSentence(sentence);
}

void TNmeaReceiver::ProcessSentence(std::string_view sentence)
{
    ++FCounters.Sentences;
    const auto body = StripChecksum(sentence);
    if (!body) {
        ++FCounters.ChecksumErrors;
        return;
    }
    const auto kind = SentenceKind(*body);
    if (kind == TNMeaMessage::nmNONE || !AcceptedMessages.Contains(kind))
        return;
    const bool parsed = kind == TNMeaMessage::nmGLL ? ParseGll(*body) : ParseRmc(*body);
    ++FCounters.Notified;
    if (parsed)
        ++FCounters.Parsed;
    FNotifiedKind = kind;
    FNotifiedParsed = parsed;
    FHistory.AddPosition(FPosition);
    if (Beep && OnBeep)
        OnBeep();
    if (OnNewPosition)
        OnNewPosition();
}

bool TNmeaReceiver::ParseGll(std::string_view sentence)
{
    const TNmeaFields f(sentence);
    // A status that is there and is not "A" is believed even when the rest does not read.
    const auto status = f.Get(6);
    if (status && !StatusIsValid(*status))
        FPosition.Valid = false;

    const auto lat = Coordinate(f, 1, 'S');
    if (!lat)
        return false;
    const auto lon = Coordinate(f, 3, 'E');
    if (!lon)
        return false;
    const auto timeField = f.Get(5);
    if (!timeField)
        return false;
    const auto time = NmeaTimeOfDay(*timeField);
    if (!time || !status)
        return false;

    FLastMessage = TNMeaMessage::nmGLL;
    FPosition.Lat = *lat;
    FPosition.Lon = *lon;
    FPosition.GMTTime = *time;
    FPosition.Valid = StatusIsValid(*status);
    return true;
}

bool TNmeaReceiver::ParseRmc(std::string_view sentence)
{
    const TNmeaFields f(sentence);
    const auto status = f.Get(2);
    if (status && !StatusIsValid(*status))
        FPosition.Valid = false;

    const auto lat = Coordinate(f, 3, 'S');
    if (!lat)
        return false;
    const auto lon = Coordinate(f, 5, 'E');
    if (!lon)
        return false;
    const auto timeField = f.Get(1);
    if (!timeField)
        return false;
    const auto time = NmeaTimeOfDay(*timeField);
    if (!time)
        return false;
    const auto dateField = f.Get(9);
    if (!dateField)
        return false;
    const auto date = NmeaDate(*dateField);
    if (!date || !status)
        return false;
    // Receivers leave speed and course empty when they do not know them (a course is empty
    // when the boat barely moves): the position still counts.
    std::optional<double> speed;
    std::optional<double> course;
    if (!OptionalNumber(f.Get(7), speed))
        return false;
    FSpeedOverGround = speed.value_or(0);
    if (!OptionalNumber(f.Get(8), course))
        return false;
    FCourseOverGround = course.value_or(0);
    FHasCourse = course.has_value();

    FLastMessage = TNMeaMessage::nmRMC;
    FPosition.Lat = *lat;
    FPosition.Lon = *lon;
    FPosition.GMTTime = *date + *time;
    FPosition.Valid = StatusIsValid(*status);
    return true;
}

} // namespace vrn
