#include "charts/ChtFile.h"

#include "charts/ChartPaths.h"
#include "charts/ImgCarta.h"
#include "common/FileIO.h"
#include "common/strtoken.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <cmath>
#include <filesystem>

namespace vrn {

namespace {

std::optional<double> NumberField(const TStringTokenizer &t, int i)
{
    if (i >= t.Count())
        return std::nullopt;
    return ParseNumber(t.Token(i));
}

bool IsLatitude(double v)
{
    return std::fabs(v) <= 90;
}

// West-positive longitudes of a view or a point may run past +-180 near the date line, but
// never around the Earth more than once and a half.
bool IsLongitude(double v)
{
    return std::fabs(v) <= 540;
}

// What a line that cannot be read does in recovery: drops the object it belongs to.
struct ELineError
{
    std::string Text; // "invalid point format"
};

// How a reader names the object a line error drops.
std::string ObjectDescription(const TChtObject *object)
{
    std::string kind = "Object";
    if (dynamic_cast<const TChtTrack *>(object))
        kind = "Track";
    else if (dynamic_cast<const TChtRoute *>(object))
        kind = "Route";
    else if (dynamic_cast<const TChtPolygon *>(object))
        kind = "Polygon";
    else if (dynamic_cast<const TChtURLObject *>(object))
        kind = "Mark";
    else if (dynamic_cast<const TChtChartImage *>(object))
        kind = "Chart image";
    else if (dynamic_cast<const TChtFileObject *>(object))
        return "the chart reference";
    return kind + " \"" + object->Name + "\"";
}

class TReader
{
public:
    TReader(TChartFileContents &out, const std::string &baseDir, const TChartReadOptions &options)
        : FOut(out)
        , FBaseDir(baseDir)
        , FOptions(options)
    { }

    void Line(const std::string &text, int n)
    {
        if (text.empty() || text.front() == ';')
            return;
        FTok.SetText(text);
        if (FTok.Count() < 2)
            return;
        const std::string &kind = FTok.Token(0);
        if (FSkipping && kind != "O")
            return;
        try {
            if (kind == "O")
                ObjectLine(n);
            else if (kind == "A")
                AttributeLine(n);
            else if (kind == "P")
                PointLine(n);
        } catch (const ELineError &e) {
            Drop(n, e.Text);
        }
    }

    void Finish()
    {
        FCurrent = nullptr;
        if (FPending && FPending->IsValid())
            FOut.Objects.Add(std::move(FPending));
        FPending.reset();
    }

private:
    void Start(std::unique_ptr<TChtObject> object)
    {
        FPending = std::move(object);
        FCurrent = FPending.get();
    }

    // Recovery: the object being read goes, with the line's message, and its remaining lines
    // are skipped up to the next object.
    void Drop(int n, const std::string &text)
    {
        const std::string detail = FCurrent ? ObjectDescription(FCurrent) + " dropped"
            : FLineObject.empty()           ? std::string("line ignored")
                                            : FLineObject + " dropped";
        if (FCurrent && FCurrent == FOut.ChartRef.get())
            FOut.ChartRef.reset();
        FPending.reset();
        FCurrent = nullptr;
        FSkipping = true;
        FOut.Messages.push_back({n, text, detail});
    }

    // Strict reading ends with the format's message; recovery drops the object.
    [[noreturn]] void Fail(const std::string &message, const std::string &text)
    {
        if (FOptions.Recover)
            throw ELineError {text};
        throw EVrnError(message);
    }

    [[noreturn]] void InvalidNumber(int n)
    {
        Fail("Error in line " + std::to_string(n) + ": invalid number format.",
            "invalid number format");
    }

    void ObjectLine(int n)
    {
        Finish();
        FSkipping = false;
        const std::string type = LowerAscii(Utf8Left(Trim(FTok.Token(1)), 20));
        const int count = FTok.Count();
        FLineObject.clear();
        if (type == "chart") {
            FLineObject = "the chart reference";
            if (count < 6)
                Fail("Missing parameters in Chart object. Line: " + std::to_string(n),
                    "missing parameters in Chart object");
            const auto latC = NumberField(FTok, 3);
            const auto lonC = NumberField(FTok, 4);
            const auto span = NumberField(FTok, 5);
            if (!latC || !lonC || !span || !IsLatitude(*latC) || !IsLongitude(*lonC)
                || !(*span > 0 && *span <= 525))
                InvalidNumber(n);
            const std::string file(Utf8Left(FTok.Token(2), 100));
            FOut.ChartRef = std::make_unique<TChtFileObject>(
                file.empty() ? file : ResolveFilePath(FBaseDir, file), *latC, *lonC, *span);
            FCurrent = FOut.ChartRef.get();
        } else if (type == "url") {
            FLineObject = "Mark \"" + (count >= 3 ? FTok.Token(2) : std::string()) + "\"";
            if (count < 8)
                Fail("Missing parameters in URL object. Line: " + std::to_string(n),
                    "missing parameters in URL object");
            const auto lat = NumberField(FTok, 3);
            const auto lon = NumberField(FTok, 4);
            const auto size = NumberField(FTok, 5);
            if (!lat || !lon || !size || !IsLatitude(*lat) || !IsLongitude(*lon) || *size < 0
                || *size > 360)
                InvalidNumber(n);
            Start(std::make_unique<TChtURLObject>(
                FTok.Token(6), FTok.Token(7), FTok.Token(2), *size, *lat, *lon));
        } else if (type == "polygon") {
            Start(std::make_unique<TChtPolygon>());
        } else if (type == "route") {
            Start(std::make_unique<TChtRoute>());
        } else if (type == "track") {
            Start(std::make_unique<TChtTrack>());
        } else if (type == "imgchart") {
            auto image = std::make_unique<TChtChartImage>();
            image->BaseDir = FBaseDir;
            image->KeepUnloaded = FOptions.KeepUnloadedImages;
            Start(std::move(image));
        } else {
            Start(std::make_unique<TChtObject>());
        }
        if (count >= 3)
            FCurrent->Name = FTok.Token(2);
    }

    void AttributeLine(int n)
    {
        if (!FCurrent)
            return;
        try {
            FCurrent->ParseAttribute(FTok.Token(1));
        } catch (const std::exception &e) {
            const std::string name = FCurrent->Name;
            if (FCurrent == FOut.ChartRef.get())
                FOut.ChartRef.reset();
            FPending.reset();
            FCurrent = nullptr;
            FOut.Messages.push_back({n, "Error loading object " + name, e.what()});
        }
    }

    void PointLine(int n)
    {
        const auto lat = NumberField(FTok, 1);
        const auto lon = NumberField(FTok, 2);
        if (!lat || !lon || !IsLatitude(*lat) || !IsLongitude(*lon))
            Fail("Error in line " + std::to_string(n) + ": invalid point format.",
                "invalid point format");
        const std::string name = FTok.Count() >= 4 ? FTok.Token(3) : std::string();
        double time = 0;
        if (FTok.Count() >= 5)
            time = ReadFileDateTime(FTok.Token(4)).value_or(0);
        if (FCurrent)
            FCurrent->AddPoint(name, *lat, *lon, time);
    }

    TChartFileContents &FOut;
    const std::string &FBaseDir;
    const TChartReadOptions &FOptions;
    bool FSkipping = false; // recovery: the lines of a dropped object
    std::string FLineObject; // what a bad object line drops, before the object exists
    TStringTokenizer FTok {"", ";"};
    std::unique_ptr<TChtObject> FPending; // the object being read, until it is finished
    TChtObject *FCurrent = nullptr; // FPending, or FOut.ChartRef for a chart reference
};

} // namespace

TChartFileContents ReadObjects(const std::vector<std::string> &lines, const std::string &baseDir,
    const TChartReadOptions &options)
{
    TChartFileContents out;
    TReader reader(out, baseDir, options);
    int n = 1;
    for (const std::string &line : lines) {
        reader.Line(line, n);
        ++n;
    }
    reader.Finish();
    return out;
}

TChartFileContents ReadChartFile(const std::string &fileName, const TChartReadOptions &options)
{
    std::string contents;
    try {
        contents = ReadChartFileBytes(fileName, kMaxChartFileBytes);
    } catch (const EVrnError &) {
        if (!IsRegularFile(fileName))
            throw EVrnError("File " + fileName + " not found");
        throw;
    }
    const std::string dir = DirectoryOf(std::filesystem::absolute(fileName).string());
    return ReadObjects(DecodeTextFile(contents, kChartLineBytes), dir, options);
}

std::vector<std::string> ObjectLines(const TChtObject &object)
{
    std::vector<std::string> lines;
    object.WriteLines(lines);
    return lines;
}

std::vector<std::string> VectorChartHeader()
{
    const std::string ruler = ";" + std::string(49, '-');
    return {
        ruler,
        "; World coordinates for Varunel Light software",
        ruler,
        "; WARNING: This file is not intended to be precise",
        "; for navigation purposes. Coordinates are only for",
        "; reference and navigation training. NEVER navigate",
        "; using this data.",
        "; The author cannot and does not warrant that the",
        "; data contained here will meet your requirements.",
        "; The entire risk associated with the use of this",
        "; data is solely with the user and not the author.",
        ";",
        "; DO NOT TRUST these chart data for real navigation.",
        "; Use certified charts, produced by local",
        "; navigation authorities.",
        ruler,
        "; CHT (Chart) File format (version 1.0):",
        "; CHT files are in ASCII (Text) format.",
        "; Comment lines must start with ';'.",
        "; Continents and islands are represented by polygons.",
        "; These polygons are defined by any number of Points followed by",
        "; a Close command. The last point will be connected with the first.",
        "; The program will connect the points in the order they appear",
        "; in the file.",
        "; Varunel recognizes the following types of lines:",
        "; 1) Object definition lines",
        "; Format: O;ObjectType;Name",
        "; where ObjectType can be: Polygon or Route",
        "; examples: O;Polygon;Europe",
        ";           O;Route;My Route",
        "; 2) Object Atributes",
        "; Format: A;AtribName=Value",
        "; examples: A;Color=$00FFFFFF",
        ";           A;BGColor=$00FFFF00",
        "; 3) Point lines define a point in a Polygon or Route",
        "; Format: P; Latitude; Longitude",
        "; where:",
        ";   Latitude and Longitude must be in decimal format (Use dd.dddd, not dd°mm'ss\")",
        ";   Latitude  signal: North positive, South negative",
        ";   Longitude signal: West positive,  East negative",
        "; example: P;  64.25082;  13.69018",
        "; You can make a more detailled (and precise) description of your area,",
        "; by adding points to polygons in the appropriate location.",
        ruler,
    };
}

std::vector<std::string> VectorChartLines(const TObjList &polygons)
{
    std::vector<std::string> lines;
    for (const auto &obj : polygons) {
        const auto *polygon = dynamic_cast<const TChtPolygon *>(obj.get());
        if (!polygon)
            continue;
        lines.push_back("O;Polygon;" + ChartFieldText(polygon->Name));
        if (!polygon->DefaultColors) {
            lines.push_back("A;Color=" + FormatChartColor(polygon->Color));
            lines.push_back("A;BGColor=" + FormatChartColor(polygon->BGColor));
        }
        if (polygon->BrushStyle != 0)
            lines.emplace_back("A;BrushStyle=0");
        for (const auto &p : polygon->Points)
            lines.push_back("P;" + FormatChartNumber(p.Lat) + ";" + FormatChartNumber(p.Lon));
    }
    return lines;
}

void WriteChartFile(const std::string &fileName, const std::vector<std::string> &lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Utf8ToCp1252(lines[i]).size() > kChartLineBytes)
            throw EVrnError("Cannot write " + fileName + ": line " + std::to_string(i + 1)
                + " is longer than " + std::to_string(kChartLineBytes) + " characters");
    WriteFileAtomically(fileName, EncodeTextFile(lines));
}

} // namespace vrn
