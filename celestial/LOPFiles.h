#pragma once

// The files of the LOP list: LOPS.LST, the list kept between runs (binary 419-byte records,
// see EncodeLOPRecord), and ".vll" lists, semicolon-separated text in Windows-1252 with CR LF.
// Every write goes through a temporary file and a rename, so a failed write keeps the old file.

#include "celestial/VrnCalc.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

constexpr std::string_view kLOPsFileName = "LOPS.LST";
constexpr std::string_view kLOPListHeader =
    "Object;GMT Date;Local Date;Time Zone;Watch Error;IE;Dip;H inst;AP Lat;AP Lon;Total "
    "Corr.;Decl;GHA;LHA;H.calc;Semi-diameter;Intercept;Azimuth;Selected";

// The message shown when LOPS.LST cannot be read whole (line feed before carriage return, as the
// program has always written it).
constexpr std::string_view kLOPsFileCorrupted = "File LOPS.LST is corrupted\n\rLOPs list reset";

struct TLOPsFileLoad
{
    std::vector<TLOPRecord> LOPs;
    // Empty, or kLOPsFileCorrupted when the file was unreadable; the list is then empty and the
    // file was renamed to LOPS.LST.bad (BadFile) so that the save at exit cannot destroy it.
    std::string Message;
    std::string Problem; // what was wrong, for logs and tests
    std::filesystem::path BadFile; // empty when the rename failed or was not needed
};

// Reads `dataDir`/LOPS.LST. A missing file gives an empty list without a message. A file whose
// length is not a whole number of records, that holds more than 20, or whose records are not
// readable (see DecodeLOPRecord) is corrupt.
TLOPsFileLoad LoadLOPsFile(const std::filesystem::path &dataDir);

// LoadLOPsFile, and when the file was damaged, the whole records of it that still read (at most
// 20) instead of an empty list; the message then says how many were kept. The damaged file stays
// as LOPS.LST.bad.
TLOPsFileLoad LoadLOPsFileSalvaging(const std::filesystem::path &dataDir);

// Writes `dataDir`/LOPS.LST (an empty list gives an empty file). Raises EVrnError "Cannot write
// file <path>" when it cannot; the old file then stays.
void SaveLOPsFile(const std::filesystem::path &dataDir, std::span<const TLOPRecord> lops);

// Dates in ".vll" files are written in the file date format (kFileDateFormat, "21/06/2024
// 04:29:47") whatever the user's locale, and read with "/", "." or "-", so that a list travels
// between machines and between vrn32 and vrncli.

// One ".vll" line: the 20 fields joined by ";". A ";" or a line break in the name or the
// comments is written as a blank, so that the line reads back whole. Raises EConvertError when a
// date-time of the record cannot be written.
std::string LOPLine(const TLOPRecord &lop);

// Reads one ".vll" line; nothing for a line with fewer than 18 fields, a field 1..17 that does
// not convert, or an assumed position off the globe (the header line is refused this way). A
// missing or bad "Selected" field gives 1; LowerLimb and ArtificialHorizon are not carried.
std::optional<TLOPRecord> ReadLOPLine(std::string_view line);

// Writes a ".vll" file: the header and one line per LOP. Raises "No LOPs to save" for an empty
// list, "Error saving LOP #<n> (<name>)" when a LOP cannot be written (nothing is written then),
// and "Cannot write file <path>".
void SaveLOPListFile(const std::filesystem::path &fileName, std::span<const TLOPRecord> lops);

struct TLOPListRead
{
    std::vector<TLOPRecord> LOPs; // every valid line, in file order
    int LinesSkipped = 0; // lines that are not LOPs, the header and blank lines apart
};

// Reads the contents of a ".vll" file (Windows-1252 bytes, CR LF or LF lines).
TLOPListRead ReadLOPListText(std::string_view bytes);

// Reads a ".vll" file. Raises EVrnError "Cannot read file <path>" when it cannot be read.
TLOPListRead ReadLOPListFile(const std::filesystem::path &fileName);

// "<n> LOPs read, <m> lines skipped" when lines were skipped, otherwise empty.
std::string LOPListReadMessage(const TLOPListRead &read);

// Appends one LOP to a ".vll" file, keeping every line already there; a missing file is created
// with the header. Raises "Too many LOPs. Max=20" when the file already holds 20 LOPs.
void AppendToLOPListFile(const std::filesystem::path &fileName, const TLOPRecord &lop);

// The name proposed for a new list: "yyyy-mm-dd.vll" of `today`.
std::string DefaultLOPListFileName(double today);

} // namespace vrn
