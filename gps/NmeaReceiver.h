#pragma once

// The NMEA 0183 receiver without the serial port: it cuts the bytes of a receiver into
// sentences, checks their checksums, recognises GLL and RMC, turns them into the current GPS
// position with speed and course, keeps the history and raises one notification per accepted
// sentence. The serial receiver of the GPS window and "vrncli nmea" both feed it.
//
// Framing: a sentence starts at "$" and ends at CR or LF (receivers and USB adapters send
// either, or both); a new "$" restarts it; 256 bytes (the "$" counted) without an end drop it.
// A sentence with a "*" must end in exactly two hex digits (either case), then only blanks, and
// they must equal the XOR of the bytes between "$" and "*"; otherwise the sentence is dropped as
// if it had never come. The talker is two capital letters ("$P..." is a maker's own sentence,
// never GLL or RMC) followed by the type and a comma.

#include "gps/GpsPosition.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vrn {

// Counts of what the receiver saw since it was created (or ResetCounters).
struct TNmeaCounters
{
    std::uint64_t Sentences = 0; // framed sentences, of any type, good or bad
    std::uint64_t ChecksumErrors = 0; // sentences dropped for their checksum, of any type
    std::uint64_t Overlong = 0; // sentences dropped for running past 256 bytes
    std::uint64_t Notified = 0; // accepted GLL / RMC sentences (notifications)
    std::uint64_t Parsed = 0; // notifications whose sentence updated Position
};

// The fields of a time of day "hhmmss" or "hhmmss.sss" (the fraction is read and ignored):
// the day fraction of h:m:s. Nothing for an empty field, a missing part, hours above 23,
// minutes or seconds above 59, or anything but digits and one ".".
std::optional<double> NmeaTimeOfDay(std::string_view field);
// "ddmmyy" as a date-time at midnight; a year below 80 is 2000 + yy, 80 and above 1900 + yy.
// Nothing for an empty field, other than six digits, or an impossible date.
std::optional<double> NmeaDate(std::string_view field);
// A coordinate "ddmm.mmmm" or "dddmm.mmmm" in degrees: Int(v/100) + (v - 100 Int(v/100)) / 60.
// Nothing for an empty field, a sign, an exponent, anything but digits and one ".", or minutes
// of 60 or more.
std::optional<double> NmeaToDegrees(std::string_view field);
// The sentence (from "$", without its line end) with a valid "*hh" removed; nothing when the
// checksum is malformed or wrong. A sentence without "*" is returned as it is.
std::optional<std::string_view> StripChecksum(std::string_view sentence);
// The kind named by the address field: nmGLL or nmRMC, nmNONE for any other sentence.
TNMeaMessage SentenceKind(std::string_view sentence);

class TNmeaReceiver
{
public:
    TNmeaReceiver();

    // Assigning copies the position (TGpsPosition::CopyFrom).
    const TGpsPosition &Position() const { return FPosition; }

    void SetPosition(const TGpsPosition &position) { FPosition.CopyFrom(&position); }

    TNMeaMessages AcceptedMessages {TNMeaMessage::nmGLL};
    bool Beep = true;

    // Called after every accepted sentence (parsed or not), synchronously from ReceiveBytes.
    std::function<void()> OnNewPosition;
    // Called for every accepted sentence while Beep is set, before OnNewPosition.
    std::function<void()> OnBeep;

    // The kind of the last sentence whose parse got as far as setting it; nmNONE at first.
    TNMeaMessage LastMessage() const { return FLastMessage; }

    // From the last RMC sentence whose speed and course fields read (knots, degrees true); an
    // empty field (speed or course unknown) gives 0 and clears the flag below.
    double SpeedOverGround() const { return FSpeedOverGround; }

    double CourseOverGround() const { return FCourseOverGround; }

    // Whether the last RMC sentence that updated the position had a course.
    bool HasCourse() const { return FHasCourse; }

    // The kind of the sentence just notified, and whether it updated Position (for listeners).
    TNMeaMessage NotifiedKind() const { return FNotifiedKind; }

    bool NotifiedParsed() const { return FNotifiedParsed; }

    const TNmeaCounters &Counters() const { return FCounters; }

    void ResetCounters() { FCounters = {}; }

    TSpeedAverage &History() { return FHistory; }

    const TSpeedAverage &History() const { return FHistory; }

    // Feeds received bytes, in order; a sentence may be split over any number of calls.
    // Returns the number of bytes taken: all of them, unless a listener called Stop, in which
    // case the bytes after the sentence that was being notified are left.
    std::size_t ReceiveBytes(std::string_view bytes);

    // Asked by a listener from OnNewPosition: ReceiveBytes returns after this notification.
    void Stop() { FStopRequested = true; }

    bool StopRequested() const { return FStopRequested; }

    // Forgets a sentence begun and not ended (the port was closed or changed).
    void ResetFraming();

private:
    static constexpr std::size_t kMaxSentence = 256;

    void EndSentence();
    void ProcessSentence(std::string_view sentence);
    bool ParseGll(std::string_view sentence);
    bool ParseRmc(std::string_view sentence);

    TGpsPosition FPosition;
    TSpeedAverage FHistory;
    TNMeaMessage FLastMessage = TNMeaMessage::nmNONE;
    double FSpeedOverGround = 0;
    double FCourseOverGround = 0;
    bool FHasCourse = false;
    TNMeaMessage FNotifiedKind = TNMeaMessage::nmNONE;
    bool FNotifiedParsed = false;
    TNmeaCounters FCounters;
    bool FStopRequested = false;

    bool FInSentence = false;
    std::size_t FLength = 0;
    std::array<char, kMaxSentence> FBuffer {};
};

} // namespace vrn
