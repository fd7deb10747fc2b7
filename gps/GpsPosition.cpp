#include "gps/GpsPosition.h"

#include "engine/DateTime.h"
#include "engine/Trigonom.h"

#include <cmath>

namespace vrn {

std::string TGpsPosition::GMTTimeStr() const
{
    if (!IsValidDateTime(GMTTime))
        return "?";
    return FormatTimeText(GMTTime);
}

std::string TGpsPosition::LatStr() const
{
    return FormatAngleDM1("NS", Lat).Text;
}

std::string TGpsPosition::LonStr() const
{
    return FormatAngleDM1("WE", Lon).Text;
}

void TGpsPosition::CopyFrom(const TGpsPosition *source)
{
    if (source == nullptr || source == this)
        return;
    GMTTime = source->GMTTime;
    Lat = source->Lat;
    Lon = source->Lon;
    Valid = source->Valid;
    Text = source->Text;
}

TGpsPosition TGpsPosition::Clone() const
{
    TGpsPosition copy;
    copy.GMTTime = GMTTime;
    copy.Lat = Lat;
    copy.Lon = Lon;
    copy.Text = Text;
    return copy;
}

// ---------------------------------------------------------------------------------------------

void TSpeedAverage::AddPosition(const TGpsPosition &position)
{
    // The history keeps the position as the receiver reported it, validity included: the
    // speed needs to know which entries were fixes.
    if (FRing.size() < kCapacity) {
        FRing.push_back(position);
        ++FCount;
    } else {
        FRing[FHead].CopyFrom(&position);
        FHead = (FHead + 1) % kCapacity;
    }
    CurrPosition.CopyFrom(&position);
}

const TGpsPosition &TSpeedAverage::At(std::size_t i) const
{
    return FRing[(FHead + i) % FRing.size()];
}

void TSpeedAverage::Clear()
{
    FRing.clear();
    FHead = 0;
    FCount = 0;
    CurrPosition = TGpsPosition {};
}

std::optional<double> TSpeedAverage::Speed() const
{
    if (NumPeriods < 1)
        return std::nullopt;
    // Walk back from the newest valid fix; each earlier fix must be earlier in time. Time-only
    // fixes that seem to go back in time went past midnight.
    const TGpsPosition *newest = nullptr;
    const TGpsPosition *oldest = nullptr;
    double elapsedDays = 0;
    double laterTime = 0;
    int periods = 0;
    for (std::size_t k = FCount; k-- > 0 && periods < NumPeriods;) {
        const TGpsPosition &p = At(k);
        if (!p.Valid || !std::isfinite(p.GMTTime) || !std::isfinite(p.Lat) || !std::isfinite(p.Lon))
            continue;
        if (newest == nullptr) {
            newest = &p;
            laterTime = p.GMTTime;
            continue;
        }
        double step = laterTime - p.GMTTime;
        if (step < 0 && laterTime < 1 && p.GMTTime < 1)
            step += 1;
        if (step <= 0)
            continue; // a repeated or out-of-order fix says nothing about the speed
        elapsedDays += step;
        laterTime = p.GMTTime;
        oldest = &p;
        ++periods;
    }
    if (oldest == nullptr || elapsedDays <= 0)
        return std::nullopt;
    const auto cd = GreatCircleCourseDistance(oldest->Lat, oldest->Lon, newest->Lat, newest->Lon);
    if (cd.Status > 1 || !std::isfinite(cd.DistNm))
        return std::nullopt;
    return cd.DistNm / (elapsedDays * 24);
}

std::optional<double> TSpeedAverage::ETA() const
{
    const auto speed = Speed();
    if (!speed || *speed < 0.01 || !CurrPosition.Valid)
        return std::nullopt;
    const auto cd =
        GreatCircleCourseDistance(CurrPosition.Lat, CurrPosition.Lon, EndPoint.Lat, EndPoint.Lon);
    if (cd.Status > 1 || !std::isfinite(cd.DistNm))
        return std::nullopt;
    return CurrPosition.GMTTime + cd.DistNm / *speed / 24;
}

} // namespace vrn
