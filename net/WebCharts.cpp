#include "net/WebCharts.h"

#include "charts/ChartPaths.h"
#include "charts/ChtFile.h"
#include "charts/ImgCarta.h"
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

// A data file path of a fetched desktop that stays inside the desktop's folder when resolved
// against it: relative, and not climbing out with "..".
bool StaysInsideFolder(std::string_view pathInFile)
{
    std::string p(pathInFile);
    for (char &c : p)
        if (c == '\\')
            c = '/';
    if (p.empty() || p.front() == '/' || (p.size() >= 2 && p[1] == ':'))
        return false;
    const std::filesystem::path normal = std::filesystem::path(p).lexically_normal();
    return !normal.empty() && *normal.begin() != "..";
}

std::string Joined(const std::vector<std::string> &fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i > 0 ? ";" : "") + fields[i];
    return line;
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

TFetchedContents ReadFetchedObjects(const std::string &path, TWebFileKind kind)
{
    const std::string bytes = ReadChartFileBytes(path, kMaxChartFileBytes);
    auto lines = DecodeTextFile(bytes, kChartLineBytes);
    if (!LooksLikeChartText(bytes, lines))
        throw EVrnError("File " + path + " is not a chart file");
    TFetchedContents fetched;
    std::optional<std::string> lastChartName;
    TStringTokenizer tok("", ";");
    for (std::string &line : lines) {
        if (line.empty() || line.front() == ';')
            continue;
        tok.SetText(line);
        if (tok.Count() >= 3 && tok.Token(0) == "O"
            && LowerAscii(Utf8Left(Trim(tok.Token(1)), 20)) == "chart") {
            const std::string name(Utf8Left(tok.Token(2), 100));
            lastChartName = name;
            std::vector<std::string> fields = tok.Tokens();
            fields[2] = name.empty() ? name : CachedChartName(name);
            line = Joined(fields);
        } else if (tok.Count() >= 2 && tok.Token(0) == "A") {
            const std::string &attribute = tok.Token(1);
            const auto eq = attribute.find('=');
            if (eq == std::string::npos
                || LowerAscii(Utf8Left(std::string_view(attribute).substr(0, eq), 100))
                    != "cidfile")
                continue;
            const std::string value(Utf8Left(std::string_view(attribute).substr(eq + 1), 100));
            if (!value.empty() && !StaysInsideFolder(value)) {
                fetched.RefusedImages.push_back(value);
                line.clear(); // the image has no data file now and is not loaded
            }
        }
    }
    TChartReadOptions options;
    options.Recover = kind == TWebFileKind::Desktop;
    options.KeepUnloadedImages = kind == TWebFileKind::Desktop;
    TChartFileContents contents = ReadObjects(lines, DirectoryOf(path), options);
    for (const TChartFileMessage &m : contents.Messages)
        fetched.Desktop.Messages.push_back(DesktopMessageText(path, m));
    for (const auto &object : contents.Objects)
        if (const auto *image = dynamic_cast<const TChtChartImage *>(object.get());
            image && !image->Loaded())
            fetched.Desktop.Messages.push_back(
                "Chart image " + image->CIDFile + " could not be loaded: " + image->LoadError);
    for (const std::string &image : fetched.RefusedImages)
        fetched.Desktop.Messages.push_back(
            "Chart image " + image + " lies outside the cache folder and is not loaded");
    fetched.Desktop.Objects = std::move(contents.Objects);
    fetched.Desktop.ChartRef = std::move(contents.ChartRef);
    if (fetched.Desktop.ChartRef)
        fetched.ChartName = lastChartName;
    return fetched;
}

std::optional<std::string> ReadFetchedFile(const std::string &path, TWebFileKind kind)
{
    return ReadFetchedObjects(path, kind).ChartName;
}

std::string CachedChartName(std::string_view chartName)
{
    return LastPathSegment(ChartReferenceUri("/", chartName));
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
