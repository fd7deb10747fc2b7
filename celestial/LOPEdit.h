#pragma once

// What the LOP editor does with a LOP, without its window: the texts of its pages, the transport
// of a LOP by a typed distance and direction, and the storing of the edited fields when it
// closes. Angles in degrees, distances in nautical miles, longitudes WEST positive.

#include "celestial/VrnCalc.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <string>
#include <string_view>

namespace vrn {

constexpr std::size_t kMaxObjectNameChars = 15;
constexpr std::size_t kMaxCommentChars = 255;

// The editor field a failure belongs to; the window puts the focus there.
enum class TLOPEditField
{
    TransportDistance,
    TransportDirection,
    Azimuth,
    Intercept,
};

class ELOPEditError : public EVrnError
{
public:
    ELOPEditError(TLOPEditField field, const std::string &message)
        : EVrnError(message)
        , Field(field)
    { }

    TLOPEditField Field;
};

// The read-only texts of the "Inputs" and "Results" pages. A date that cannot be written (an
// impossible GMT date, a local date-time out of range) is shown as "?".
struct TLOPEditorTexts
{
    std::string GMT; // short date, a blank, FormatTimeHMS(GMTHours)
    std::string Local; // local date-time text (no time at exact midnight)
    std::string TimeZone; // "%4.1f"
    std::string IndexError; // "%4.1f'"
    std::string Dip; // "%4.1f'"
    std::string WatchError; // "<n> secs"
    std::string HInst; // FormatAngleDM1(" -")
    std::string APLat; // FormatAngleDM1("NS")
    std::string APLon; // FormatAngleDM1("WE")
    std::string GHA; // FormatAngleDM1(" -")
    std::string LHA; // FormatAngleDM1(" -")
    std::string Decl; // FormatAngleDM1("NS")
    std::string HCalc; // FormatAngleDM1(" -")
    std::string SDCorr; // "%4.1f'"
    std::string TotalCorr; // "%4.1f'"
};

TLOPEditorTexts LOPEditorTexts(
    const TLOPRecord &lop, const TDateFormat &format = ShortDateFormat());

// The editable fields as the editor first writes them: intercept "%4.1f", azimuth "%3.0f".
std::string InterceptFieldText(double interceptNm);
std::string AzimuthFieldText(double azimuthDeg);

// "Transport LOP <distance> NM in direction <direction>° ?", with the texts as typed.
std::string TransportQuestion(std::string_view distanceText, std::string_view directionText);

// Moves the assumed position of `lop` by the typed distance (NM) towards the typed direction
// (degrees true) with MoveLOP and returns the line recorded in the comments: "LOP transported
// 12.0 NM in direction 90.0 T". Raises ELOPEditError "Invalid distance format", "0.0 NM is not a
// valid distance", "Invalid angle format", "Direction out of range: enter 0 to 360", and
// "Transport would move the assumed position past a pole" when the latitude would leave
// -90..90; `lop` is unchanged then.
std::string TransportEditedLOP(
    TLOPRecord &lop, std::string_view distanceText, std::string_view directionText);

// The comments with one more line; an empty comment becomes the line itself.
std::string AppendCommentLine(std::string_view comments, std::string_view line);

// The editable fields when the editor closes. Comments use CR LF between lines.
struct TLOPEditedFields
{
    std::string ObjectName;
    std::string InterceptText;
    std::string AzimuthText;
    std::string Comments;
};

// Stores the edited fields in `lop`, checking the azimuth first ("Invalid Azimuth", "Azimuth out
// of range: enter 0 to 360"), then the intercept ("Invalid Intercept"); on a failure `lop` is
// unchanged. A number whose text still reads
// as the editor wrote it keeps the record's exact value, so opening and closing the editor never
// rounds an azimuth to whole degrees. The name is cut to 15 characters, with ";" and line breaks
// (which would split a line of a LOP list file) turned into blanks; the comments are cut to 255
// characters.
void StoreEditedFields(TLOPRecord &lop, const TLOPEditedFields &fields);

// Replaces LOP n (1-based) of the list; false, and nothing changes, for a number not in the list.
// The transported copies are reset to the LOPs: the caller runs ApplyTransport afterwards.
bool ReplaceLOP(TLOPList &list, int n, const TLOPRecord &lop);

} // namespace vrn
