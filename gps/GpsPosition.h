#pragma once

// The GPS position model: one fix as the receiver reports it (UTC date-time, latitude, longitude,
// validity, an owner's free text) and the history of fixes the receiver keeps, with the speed
// made good over its last periods.

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

// Kinds of NMEA sentences the receiver knows, in this order.
enum class TNMeaMessage
{
    nmGLL = 0,
    nmRMC = 1,
    nmNONE = 2,
};

// A set of sentence kinds (only GLL and RMC are meaningful).
class TNMeaMessages
{
public:
    constexpr TNMeaMessages() = default;

    constexpr TNMeaMessages(std::initializer_list<TNMeaMessage> kinds)
    {
        for (const auto k : kinds)
            FBits |= Bit(k);
    }

    constexpr bool Contains(TNMeaMessage kind) const { return (FBits & Bit(kind)) != 0; }

    constexpr bool operator==(const TNMeaMessages &) const = default;

private:
    static constexpr unsigned Bit(TNMeaMessage kind) { return 1u << static_cast<unsigned>(kind); }

    unsigned FBits = 0;
};

class TGpsPosition
{
public:
    // UTC instant in days since 1899-12-30. After an RMC sentence date and time; after a GLL
    // sentence the time of day alone (below 1).
    double GMTTime = 0;
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, WEST positive
    bool Valid = false; // the receiver reported the fix as valid (status "A")
    std::string Text; // free text of an owner; empty unless set

    // "hh:mm:ss" of GMTTime; "?" when GMTTime is not a date-time.
    std::string GMTTimeStr() const;
    // One decimal of minutes with "N"/"S" ("49°16.5'N"), and "W"/"E".
    std::string LatStr() const;
    std::string LonStr() const;

    // Copies GMTTime, Lat, Lon, Valid and Text; a null source leaves the position as it is.
    void CopyFrom(const TGpsPosition *source);
    // The same GMTTime, Lat, Lon and Text, not valid.
    TGpsPosition Clone() const;
};

// The receiver's history of positions, the newest 1000 (a full history drops its oldest entry
// for each new one, so the speed below always follows the latest fixes).
class TSpeedAverage
{
public:
    static constexpr std::size_t kCapacity = 1000;

    int NumPeriods = 10;
    TGpsPosition CurrPosition; // the latest position added
    TGpsPosition EndPoint; // the destination the ETA is computed for

    // Appends a copy of the position (as the receiver saw it, valid or not).
    void AddPosition(const TGpsPosition &position);

    std::size_t Count() const { return FCount; }

    // Entry i, 0 the oldest.
    const TGpsPosition &At(std::size_t i) const;

    void Clear();

    // Speed made good in knots: the great-circle distance from the oldest to the newest of the
    // last NumPeriods + 1 valid positions with increasing times, over the time between them.
    // A time-only position (GLL) that is earlier than the one before it is taken as the next
    // day. Nothing with fewer than two such positions.
    std::optional<double> Speed() const;
    // CurrPosition's instant plus the time to run the great-circle distance to EndPoint at
    // Speed; nothing without a speed above 0.01 kn or without a valid CurrPosition.
    std::optional<double> ETA() const;

private:
    std::vector<TGpsPosition> FRing; // grows to kCapacity, then reused from FHead
    std::size_t FHead = 0; // index of the oldest entry once the ring is full
    std::size_t FCount = 0;
};

} // namespace vrn
