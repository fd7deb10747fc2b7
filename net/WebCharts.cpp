#include "net/WebCharts.h"

#include "charts/ChartPaths.h"
#include "charts/ChtFile.h"
#include "common/strtoken.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"
#include "net/HttpLocation.h"

#include <cctype>
#include <filesystem>

namespace vrn {

namespace {

// A chart-format file starts, after blank lines, with a comment or an object, attribute or
// point line; anything else (an error page, a picture, random bytes) is not one.
bool LooksLikeChartText(std::string_view bytes, const std::vector<std::string> &lines)
{
    if (bytes.find('\0') != std::string_view::npos)
        return false;
    for (const std::string &line : lines) {
        const std::string_view t = Trim(line);
        if (t.empty())
            continue;
        return t.front() == ';' || t.starts_with("O;") || t.starts_with("A;")
            || t.starts_with("P;");
    }
    return true;
}

// The file field of the last "O;Chart;" line, as the reader takes it.
std::string LastChartReferenceName(const std::vector<std::string> &lines)
{
    std::string name;
    TStringTokenizer tok("", ";");
    for (const std::string &line : lines) {
        if (line.empty() || line.front() == ';')
            continue;
        tok.SetText(line);
        if (tok.Count() < 3 || tok.Token(0) != "O")
            continue;
        if (LowerAscii(Utf8Left(Trim(tok.Token(1)), 20)) == "chart")
            name = std::string(Utf8Left(tok.Token(2), 100));
    }
    return name;
}

} // namespace

TWebFileKind WebFileKind(std::string_view uri)
{
    const std::string segment = LowerAscii(LastPathSegment(uri));
    if (segment.find(".vrn") != std::string::npos)
        return TWebFileKind::Desktop;
    if (segment.find(".cht") != std::string::npos)
        return TWebFileKind::Chart;
    return TWebFileKind::None;
}

std::optional<std::string> ReadFetchedFile(const std::string &path)
{
    const std::string bytes = ReadChartFileBytes(path, kMaxChartFileBytes);
    const auto lines = DecodeTextFile(bytes, kChartLineBytes);
    if (!LooksLikeChartText(bytes, lines))
        throw EVrnError("File " + path + " is not a chart file");
    const TChartFileContents contents = ReadObjects(lines, DirectoryOf(path));
    if (!contents.ChartRef)
        return std::nullopt;
    return LastChartReferenceName(lines);
}

std::string ChartReferenceUri(std::string_view desktopBaseDir, std::string_view chartName)
{
    std::string name(chartName);
    for (char &c : name)
        if (c == '\\')
            c = '/';
    if (name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':')
        name.erase(0, 2);
    const auto first = name.find_first_not_of('/');
    name.erase(0, first == std::string::npos ? name.size() : first);
    std::string base(desktopBaseDir.empty() ? "/" : desktopBaseDir);
    if (base.back() != '/')
        base += '/';
    return CollapseDotSegments(base + name);
}

bool IsFetchableChartName(std::string_view chartName)
{
    return LowerAscii(chartName).find(".cht") != std::string::npos;
}

} // namespace vrn
