#include "celestial/LOPFiles.h"

#include "common/FileIO.h"
#include "common/strtoken.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <cmath>
#include <system_error>

namespace vrn {

namespace {

constexpr std::size_t kMaxLOPsFileBytes = kMaxLOPs * kLOPRecordSize;
// A damaged LOPS.LST beyond this is no list to salvage records from.
constexpr std::size_t kMaxSalvagedFileBytes = 1 << 20;
// A list of 20 LOPs is a few kilobytes; a file far beyond that is not a LOP list.
constexpr std::size_t kMaxLOPListFileBytes = 1 << 22;
constexpr int kRequiredFields = 18; // fields 0..17; "Selected" and the comment are optional

std::string AngleField(double deg)
{
    return FormatFixed(deg, 5, 12);
}

std::string TenthsField(double v)
{
    return FormatFixed(v, 1, 5);
}

// The date-time field of a ".vll" line as hours of the day (millisecond-rounded).
void SplitGMT(double dateTime, TLOPRecord &lop)
{
    const TDateTimeParts parts = DecodeDateTime(dateTime);
    lop.GMTDay = parts.Date.Day;
    lop.GMTMonth = parts.Date.Month;
    lop.GMTYear = parts.Date.Year;
    lop.GMTHours = parts.Time.Hour + parts.Time.Minute / 60.0 + parts.Time.Second / 3600.0
        + parts.Time.Msec / 3600000.0;
}

// A text as one ".vll" field. A ";" would split it into more fields and a line break would end
// the file line, leaving the rest as a line the reader skips; both become blanks (CR LF, the
// LOP editor's line break in comments, becomes one).
std::string FieldText(std::string_view text)
{
    std::string field;
    field.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        field += (c == ';' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return field;
}

// The record that starts `offset` bytes into the contents of LOPS.LST; the caller keeps the
// whole record within them.
std::optional<TLOPRecord> DecodeRecordAt(
    const std::string &bytes, std::size_t offset, std::string *problem = nullptr)
{
    const auto *first = reinterpret_cast<const std::uint8_t *>(bytes.data() + offset);
    return DecodeLOPRecord(
        std::span<const std::uint8_t, kLOPRecordSize>(first, kLOPRecordSize), problem);
}

std::string FileContents(std::span<const std::string> lines)
{
    return EncodeTextFile(std::vector<std::string>(lines.begin(), lines.end()));
}

} // namespace

TLOPsFileLoad LoadLOPsFile(const std::filesystem::path &dataDir)
{
    const std::filesystem::path path = dataDir / kLOPsFileName;
    TLOPsFileLoad r;
    const TFileContents file = ReadWholeFile(path, kMaxLOPsFileBytes);
    if (!file.Found)
        return r;

    std::string problem;
    if (file.ReadError)
        problem = "read error";
    else if (file.TooLarge)
        problem = "more than " + FormatInt(kMaxLOPs) + " records";
    else if (file.Bytes.size() % kLOPRecordSize != 0)
        problem = "length " + FormatInt(static_cast<long long>(file.Bytes.size()))
            + " is not a multiple of " + FormatInt(kLOPRecordSize);
    std::vector<TLOPRecord> lops;
    for (std::size_t off = 0; problem.empty() && off < file.Bytes.size(); off += kLOPRecordSize) {
        std::string why;
        const auto lop = DecodeRecordAt(file.Bytes, off, &why);
        if (!lop)
            problem = "record " + FormatInt(static_cast<long long>(off / kLOPRecordSize + 1)) + ": "
                + why;
        else
            lops.push_back(*lop);
    }
    if (problem.empty()) {
        r.LOPs = std::move(lops);
        return r;
    }

    r.Message = kLOPsFileCorrupted;
    r.Problem = problem;
    std::filesystem::path bad = path;
    bad += ".bad";
    std::error_code ec;
    std::filesystem::rename(path, bad, ec);
    if (!ec)
        r.BadFile = bad;
    return r;
}

TLOPsFileLoad LoadLOPsFileSalvaging(const std::filesystem::path &dataDir)
{
    TLOPsFileLoad load = LoadLOPsFile(dataDir);
    if (load.Message.empty() || load.BadFile.empty())
        return load;
    // A file too long for the list still has its first twenty records; a huge one is no list.
    const TFileContents bad = ReadWholeFile(load.BadFile, kMaxSalvagedFileBytes);
    if (!bad.Found || bad.ReadError || bad.TooLarge)
        return load;
    std::vector<TLOPRecord> kept;
    for (std::size_t off = 0; off + kLOPRecordSize <= bad.Bytes.size() && kept.size() < kMaxLOPs;
         off += kLOPRecordSize) {
        if (auto lop = DecodeRecordAt(bad.Bytes, off))
            kept.push_back(std::move(*lop));
    }
    if (kept.empty())
        return load;
    load.LOPs = std::move(kept);
    load.Message = "File LOPS.LST is corrupted\n\r"
        + FormatInt(static_cast<long long>(load.LOPs.size()))
        + " LOPs could be read and are kept; the file was saved as LOPS.LST.bad";
    return load;
}

void SaveLOPsFile(const std::filesystem::path &dataDir, std::span<const TLOPRecord> lops)
{
    std::string bytes;
    bytes.reserve(lops.size() * kLOPRecordSize);
    for (const auto &lop : lops) {
        const TLOPRecordBytes record = EncodeLOPRecord(lop);
        bytes.append(reinterpret_cast<const char *>(record.data()), record.size());
    }
    WriteFileAtomically(dataDir / kLOPsFileName, bytes);
}

// ---------------------------------------------------------------------------------------------

std::string LOPLine(const TLOPRecord &lop)
{
    const std::string fields[] = {
        FieldText(lop.ObjectName),
        LOPDateTimeText(lop, kFileDateFormat),
        FileDateTimeText(lop.LocalDateTime),
        TenthsField(lop.TimeZone),
        FormatInt(lop.WatchError),
        TenthsField(lop.IE),
        TenthsField(lop.DipMin),
        AngleField(lop.HInst),
        AngleField(lop.APLat),
        AngleField(lop.APLon),
        TenthsField(lop.TotalCorr),
        AngleField(lop.Decl),
        AngleField(lop.GHA),
        AngleField(lop.LHA),
        AngleField(lop.HCalc),
        TenthsField(lop.SDCorr),
        TenthsField(lop.Intercept),
        TenthsField(lop.Azimuth),
        lop.Selected ? "1" : "0",
        FieldText(lop.Comments),
    };
    std::string line;
    for (const auto &f : fields) {
        if (&f != &fields[0])
            line += ';';
        line += f;
    }
    return line;
}

std::optional<TLOPRecord> ReadLOPLine(std::string_view line)
{
    const TStringTokenizer t(line, ";");
    if (t.Count() < kRequiredFields)
        return std::nullopt;
    TLOPRecord lop;
    try {
        lop.ObjectName = std::string(Utf8Left(t.Token(0), 15));
        SplitGMT(t.AsDateTime(1, kFileDateFormat), lop);
        lop.LocalDateTime = t.AsDateTime(2, kFileDateFormat);
        lop.TimeZone = t.AsFloat(3);
        lop.WatchError = t.AsInteger(4);
        double *const numbers[] = {&lop.IE, &lop.DipMin, &lop.HInst, &lop.APLat, &lop.APLon,
            &lop.TotalCorr, &lop.Decl, &lop.GHA, &lop.LHA, &lop.HCalc, &lop.SDCorr, &lop.Intercept,
            &lop.Azimuth};
        int field = 5;
        for (double *n : numbers)
            *n = t.AsFloat(field++);
    } catch (const EVrnError &) {
        return std::nullopt;
    }
    if (std::fabs(lop.APLat) > 90 || std::fabs(lop.APLon) > 180)
        return std::nullopt;
    lop.Selected = true;
    if (t.Count() > 18) {
        if (const auto selected = ParseInteger(Trim(t.Token(18))))
            lop.Selected = (*selected & 0xFF) != 0;
    }
    if (t.Count() > 19)
        lop.Comments = std::string(Utf8Left(t.Token(19), 255));
    lop.LowerLimb = false;
    lop.ArtificialHorizon = false;
    return lop;
}

void SaveLOPListFile(const std::filesystem::path &fileName, std::span<const TLOPRecord> lops)
{
    if (lops.empty())
        throw EVrnError("No LOPs to save");
    std::vector<std::string> lines {std::string(kLOPListHeader)};
    for (std::size_t i = 0; i < lops.size(); ++i) {
        try {
            lines.push_back(LOPLine(lops[i]));
        } catch (const EVrnError &) {
            throw EVrnError("Error saving LOP #" + FormatInt(static_cast<long long>(i + 1)) + " ("
                + lops[i].ObjectName + ")");
        }
    }
    WriteFileAtomically(fileName, FileContents(lines));
}

TLOPListRead ReadLOPListFile(const std::filesystem::path &fileName)
{
    const TFileContents file = ReadWholeFile(fileName, kMaxLOPListFileBytes);
    if (!file.Found || file.ReadError)
        throw EVrnError("Cannot read file " + fileName.string());
    if (file.TooLarge)
        throw EVrnError("File " + fileName.string() + " is too large for a LOP list");
    return ReadLOPListText(file.Bytes);
}

TLOPListRead ReadLOPListText(std::string_view bytes)
{
    TLOPListRead r;
    const std::vector<std::string> lines = DecodeTextFile(bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto lop = ReadLOPLine(lines[i]))
            r.LOPs.push_back(std::move(*lop));
        else if (!Trim(lines[i]).empty() && !(i == 0 && Trim(lines[i]) == kLOPListHeader))
            ++r.LinesSkipped;
    }
    return r;
}

std::string LOPListReadMessage(const TLOPListRead &read)
{
    if (read.LinesSkipped == 0)
        return {};
    return FormatInt(static_cast<long long>(read.LOPs.size())) + " LOPs read, "
        + FormatInt(read.LinesSkipped) + " lines skipped";
}

void AppendToLOPListFile(const std::filesystem::path &fileName, const TLOPRecord &lop)
{
    const std::string line = LOPLine(lop);
    const TFileContents file = ReadWholeFile(fileName, kMaxLOPListFileBytes);
    std::error_code ec;
    if (!file.Found && std::filesystem::exists(fileName, ec))
        throw EVrnError("Cannot read file " + fileName.string());
    if (file.ReadError)
        throw EVrnError("Cannot read file " + fileName.string());
    if (file.TooLarge)
        throw EVrnError("File " + fileName.string() + " is too large for a LOP list");
    if (!file.Found) {
        const std::string lines[] = {std::string(kLOPListHeader), line};
        WriteFileAtomically(fileName, FileContents(lines));
        return;
    }
    int count = 0;
    for (const auto &l : DecodeTextFile(file.Bytes))
        if (ReadLOPLine(l))
            ++count;
    if (count >= kMaxLOPs)
        throw EVrnError("Too many LOPs. Max=" + FormatInt(kMaxLOPs));
    std::string bytes = file.Bytes;
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += "\r\n";
    const std::string lines[] = {line};
    WriteFileAtomically(fileName, bytes + FileContents(lines));
}

std::string DefaultLOPListFileName(double today)
{
    const TCalendarDate d = DecodeDate(today);
    const auto digits = [](int v, std::size_t width) {
        std::string s = FormatInt(v);
        return std::string(s.size() < width ? width - s.size() : 0, '0') + s;
    };
    return digits(d.Year, 4) + "-" + digits(d.Month, 2) + "-" + digits(d.Day, 2) + ".vll";
}

} // namespace vrn
