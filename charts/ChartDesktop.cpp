#include "charts/ChartDesktop.h"

#include "charts/ChartDialogs.h"
#include "charts/ChartPaths.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <filesystem>
#include <system_error>

namespace vrn {

namespace {

// The chart reader cuts a chart file name and an attribute value to this many characters.
constexpr std::size_t kMaxPathInFile = 100;

std::string AbsoluteFolderOf(const std::string &fileName)
{
    std::error_code ec;
    const auto abs = std::filesystem::absolute(fileName, ec);
    return DirectoryOf(ec ? fileName : abs.lexically_normal().string());
}

// Text that is a desktop: empty, comments only, or at least one line that starts an object.
bool HasObjectLines(const std::vector<std::string> &lines)
{
    bool anyText = false;
    for (const std::string &line : lines) {
        if (Trim(line).empty() || line.front() == ';')
            continue;
        if (line.rfind("O;", 0) == 0)
            return true;
        anyText = true;
    }
    return !anyText;
}

std::string PathInDesktop(const std::string &path, const std::string &dir, const char *what)
{
    const std::string rel = RelativePathFrom(path, dir);
    if (auto problem = FieldTextProblem(rel, std::string("The path of ") + what))
        throw EVrnError(*problem + " (" + rel + ")");
    if (Utf8Length(rel) > kMaxPathInFile)
        throw EVrnError(std::string("The path of ") + what + " " + rel + " is longer than "
            + std::to_string(kMaxPathInFile) + " characters; a desktop cannot hold it.");
    return rel;
}

void ColourLine(std::vector<std::string> &lines, const char *key, TColor colour, TColor fallback)
{
    if (colour != fallback)
        lines.push_back(std::string("A;") + key + "=" + FormatChartColor(colour));
}

} // namespace

TDesktopChart DesktopChartOf(const TChtFileObject &reference)
{
    TDesktopChart chart;
    chart.FileName = reference.FileName;
    chart.LatC = reference.LatC;
    chart.LonC = reference.LonC;
    chart.LonSpan = reference.LonSpan;
    auto pick = [](long long set, TColor fallback) {
        return set == -1 ? fallback : static_cast<TColor>(set);
    };
    const TDesktopColors defaults;
    chart.Colors.Sea = pick(reference.SeaColor, defaults.Sea);
    chart.Colors.Grid = pick(reference.GridColor, defaults.Grid);
    chart.Colors.Land = pick(reference.LandColor, defaults.Land);
    chart.Colors.Shore = pick(reference.ShoreColor, defaults.Shore);
    return chart;
}

std::string DesktopMessageText(const std::string &fileName, const TChartFileMessage &message)
{
    std::string text = fileName + ", line " + std::to_string(message.Line) + ": " + message.Text;
    if (!message.Detail.empty())
        text += " (" + message.Detail + ")";
    return text;
}

TDesktopFile ReadDesktopFile(const std::string &fileName)
{
    if (!IsRegularFile(fileName))
        throw EVrnError("File " + fileName + " not found");
    std::error_code ec;
    const auto size = std::filesystem::file_size(fileName, ec);
    if (!ec && size > kMaxDesktopFileBytes)
        throw EVrnError("File " + fileName + " is too large");
    std::vector<std::string> lines;
    bool binary = false;
    {
        std::string bytes;
        try {
            bytes = ReadChartFileBytes(fileName, kMaxDesktopFileBytes);
        } catch (const EVrnError &) {
            // Grown past the limit since it was measured, or unreadable (no permission).
            throw EVrnError("File " + fileName + " not found");
        }
        binary = bytes.find('\0') != std::string::npos;
        if (!binary)
            lines = DecodeTextFile(bytes, kChartLineBytes);
    } // the bytes go before the objects are made
    if (binary || !HasObjectLines(lines))
        throw EVrnError("File " + fileName + " is not a desktop");
    TChartReadOptions options;
    options.Recover = true;
    options.KeepUnloadedImages = true;
    TChartFileContents contents = ReadObjects(lines, AbsoluteFolderOf(fileName), options);
    TDesktopFile desktop;
    for (const auto &m : contents.Messages)
        desktop.Messages.push_back(DesktopMessageText(fileName, m));
    for (const auto &object : contents.Objects)
        if (const auto *image = dynamic_cast<const TChtChartImage *>(object.get());
            image && !image->Loaded())
            desktop.Messages.push_back(
                "Chart image " + image->CIDFile + " could not be loaded: " + image->LoadError);
    desktop.Objects = std::move(contents.Objects);
    desktop.ChartRef = std::move(contents.ChartRef);
    return desktop;
}

TDesktopApplied ApplyDesktop(
    TChartDesk &desk, TObjList &objects, std::unique_ptr<TChtFileObject> chartRef)
{
    desk.TakeDesktop(objects);
    TDesktopApplied applied;
    if (chartRef) {
        applied.Chart = DesktopChartOf(*chartRef);
        const TDesktopChart &chart = *applied.Chart;
        try {
            const auto messages =
                desk.LoadChart(chart.FileName, false, chart.Colors.Land, chart.Colors.Shore);
            applied.ChartLoaded = true;
            for (const auto &m : messages)
                applied.Messages.push_back(DesktopMessageText(chart.FileName, m));
        } catch (const std::exception &e) {
            desk.ChartObjects.reset();
            desk.ChartFileName.clear();
            desk.KeptChartRef = std::move(chartRef);
            applied.ChartError = e.what();
        }
    }
    desk.ChartModified = false;
    return applied;
}

std::vector<std::string> DesktopLines(
    TChartDesk &desk, const std::optional<TDesktopChart> &chart, const std::string &dir)
{
    std::vector<std::string> lines;
    if (chart) {
        lines.push_back("O;Chart;" + PathInDesktop(chart->FileName, dir, "the vector chart") + ";"
            + FormatChartNumber(chart->LatC) + ";" + FormatChartNumber(chart->LonC) + ";"
            + FormatChartNumber(chart->LonSpan));
        const TDesktopColors defaults;
        ColourLine(lines, "seacolor", chart->Colors.Sea, defaults.Sea);
        ColourLine(lines, "gridcolor", chart->Colors.Grid, defaults.Grid);
        ColourLine(lines, "landcolor", chart->Colors.Land, defaults.Land);
        ColourLine(lines, "shorecolor", chart->Colors.Shore, defaults.Shore);
        lines.emplace_back();
    }
    for (const auto &image : desk.ChartImages) {
        PathInDesktop(image->CIDFile, dir, "the chart image data file");
        image->BaseDir = dir;
        image->WriteLines(lines);
    }
    for (const auto &route : desk.Routes)
        route->WriteLines(lines);
    for (const auto &track : desk.Tracks)
        track->WriteLines(lines);
    // Marks, and whatever else a desktop written elsewhere brought (polygons are written whole,
    // so that nothing read is lost).
    for (const auto &object : desk.OtherObjects)
        object->WriteLines(lines);
    return lines;
}

void SaveDesktopFile(
    TChartDesk &desk, const std::string &fileName, const std::optional<TDesktopChart> &chart)
{
    std::optional<TDesktopChart> reference = chart;
    if (!reference && desk.KeptChartRef)
        reference = DesktopChartOf(*desk.KeptChartRef);
    const std::vector<std::string> lines =
        DesktopLines(desk, reference, AbsoluteFolderOf(fileName));
    try {
        WriteChartFile(fileName, lines);
    } catch (const EVrnError &e) {
        throw EVrnError("Error creating file " + fileName + "\n" + e.what());
    }
    desk.DesktopFileName = fileName;
    desk.ChartImagesModified = desk.RoutesModified = desk.TracksModified = false;
    desk.OtherObjectsModified = desk.ChartModified = false;
}

} // namespace vrn
