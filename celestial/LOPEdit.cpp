#include "celestial/LOPEdit.h"

#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <optional>

namespace vrn {
namespace {

std::string Minutes(double minutes)
{
    return FormatFixed(minutes, 1, 4) + "'";
}

std::string GMTText(const TLOPRecord &lop, const TDateFormat &format)
{
    const auto date = TryEncodeDate(lop.GMTYear, lop.GMTMonth, lop.GMTDay);
    if (!date)
        return "?";
    return FormatDateText(*date, format) + " " + FormatTimeHMS(lop.GMTHours).Text;
}

std::string LocalText(double localDateTime, const TDateFormat &format)
{
    if (!IsValidDateTime(localDateTime))
        return "?";
    return FormatDateTimeText(localDateTime, format);
}

// The value of a number field: the record's own value while the text reads as the editor wrote
// it, otherwise the number typed.
std::optional<double> FieldValue(
    std::string_view text, const std::string &shownText, double storedValue)
{
    const auto typed = ParseNumber(text);
    if (!typed)
        return std::nullopt;
    if (Trim(text) == Trim(shownText))
        return storedValue;
    return typed;
}

std::string CleanObjectName(std::string_view name)
{
    std::string clean(Utf8Left(name, kMaxObjectNameChars));
    for (char &c : clean) {
        if (c == ';' || c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    }
    return clean;
}

} // namespace

TLOPEditorTexts LOPEditorTexts(const TLOPRecord &lop, const TDateFormat &format)
{
    TLOPEditorTexts t;
    t.GMT = GMTText(lop, format);
    t.Local = LocalText(lop.LocalDateTime, format);
    t.TimeZone = FormatFixed(lop.TimeZone, 1, 4);
    t.IndexError = Minutes(lop.IE);
    t.Dip = Minutes(lop.DipMin);
    t.WatchError = FormatInt(lop.WatchError) + " secs";
    t.HInst = FormatAngleDM1(" -", lop.HInst).Text;
    t.APLat = FormatAngleDM1("NS", lop.APLat).Text;
    t.APLon = FormatAngleDM1("WE", lop.APLon).Text;
    t.GHA = FormatAngleDM1(" -", lop.GHA).Text;
    t.LHA = FormatAngleDM1(" -", lop.LHA).Text;
    t.Decl = FormatAngleDM1("NS", lop.Decl).Text;
    t.HCalc = FormatAngleDM1(" -", lop.HCalc).Text;
    t.SDCorr = Minutes(lop.SDCorr);
    t.TotalCorr = Minutes(lop.TotalCorr);
    return t;
}

std::string InterceptFieldText(double interceptNm)
{
    return FormatFixed(interceptNm, 1, 4);
}

std::string AzimuthFieldText(double azimuthDeg)
{
    return FormatFixed(azimuthDeg, 0, 3);
}

std::string TransportQuestion(std::string_view distanceText, std::string_view directionText)
{
    return "Transport LOP " + std::string(distanceText) + " NM in direction "
        + std::string(directionText) + "° ?";
}

std::string TransportEditedLOP(
    TLOPRecord &lop, std::string_view distanceText, std::string_view directionText)
{
    const auto distNm = ParseNumber(distanceText);
    if (!distNm)
        throw ELOPEditError(TLOPEditField::TransportDistance, "Invalid distance format");
    if (*distNm == 0)
        throw ELOPEditError(TLOPEditField::TransportDistance, "0.0 NM is not a valid distance");
    const auto directionDeg = ParseNumber(directionText);
    if (!directionDeg)
        throw ELOPEditError(TLOPEditField::TransportDirection, "Invalid angle format");
    if (*directionDeg < 0 || *directionDeg > 360)
        throw ELOPEditError(
            TLOPEditField::TransportDirection, "Direction out of range: enter 0 to 360");

    TLOPRecord moved = lop;
    MoveLOP(moved, *distNm, *directionDeg);
    // Plane sailing has no meaning past a pole, and a LOP cannot be drawn from there.
    if (!std::isfinite(moved.APLat) || std::fabs(moved.APLat) > 90 || !std::isfinite(moved.APLon))
        throw ELOPEditError(TLOPEditField::TransportDistance,
            "Transport would move the assumed position past a pole");
    lop = moved;
    return "LOP transported " + FormatFixed(*distNm, 1, 4) + " NM in direction "
        + FormatFixed(*directionDeg, 1, 4) + " T";
}

std::string AppendCommentLine(std::string_view comments, std::string_view line)
{
    if (comments.empty())
        return std::string(line);
    return std::string(comments) + "\r\n" + std::string(line);
}

void StoreEditedFields(TLOPRecord &lop, const TLOPEditedFields &fields)
{
    const auto azimuth = FieldValue(fields.AzimuthText, AzimuthFieldText(lop.Azimuth), lop.Azimuth);
    if (!azimuth)
        throw ELOPEditError(TLOPEditField::Azimuth, "Invalid Azimuth");
    if (*azimuth < 0 || *azimuth > 360)
        throw ELOPEditError(TLOPEditField::Azimuth, "Azimuth out of range: enter 0 to 360");
    const auto intercept =
        FieldValue(fields.InterceptText, InterceptFieldText(lop.Intercept), lop.Intercept);
    if (!intercept)
        throw ELOPEditError(TLOPEditField::Intercept, "Invalid Intercept");

    lop.Azimuth = *azimuth;
    lop.Intercept = *intercept;
    lop.ObjectName = CleanObjectName(fields.ObjectName);
    std::string comments(Utf8Left(fields.Comments, kMaxCommentChars));
    // A cut between CR and LF would leave half a line break.
    if (!comments.empty() && comments.back() == '\r')
        comments.pop_back();
    lop.Comments = std::move(comments);
}

bool ReplaceLOP(TLOPList &list, int n, const TLOPRecord &lop)
{
    if (n < 1 || n > list.LOPCount())
        return false;
    std::vector<TLOPRecord> lops = list.LOPs();
    lops[static_cast<std::size_t>(n - 1)] = lop;
    list.SetLOPs(std::move(lops));
    return true;
}

} // namespace vrn
