#pragma once

// Chart files (".cht", format version 1.0): vector charts, coastlines, marks, routes, tracks,
// raster chart references and chart references as "O;", "A;" and "P;" lines of ";"-separated
// fields, Windows-1252 text. The reader drops a bad object with an information message and goes
// on; a line that cannot be read at all ends the reading with the format's error message.

#include "charts/ChtObjects.h"

#include <memory>
#include <string>
#include <vector>

namespace vrn {

// Lines are read into a 255-character buffer: longer lines are cut.
constexpr std::size_t kChartLineBytes = 255;
// No chart file comes near this; a larger one is refused rather than exhausting memory.
constexpr std::size_t kMaxChartFileBytes = std::size_t(96) << 20;

struct TChartFileMessage
{
    int Line = 0;
    std::string Text; // the information message shown to the user
    std::string Detail; // why, when known (the error of the dropped object)
};

struct TChartFileContents
{
    TObjList Objects; // completed valid objects in file order
    std::unique_ptr<TChtFileObject> ChartRef; // the last "O;Chart;" object, if any
    std::vector<TChartFileMessage> Messages;
};

struct TChartReadOptions
{
    // A line that cannot be used drops only its object (with a message) instead of ending the
    // reading: desktops open with what they hold that is good.
    bool Recover = false;
    // A chart image whose data file or picture cannot be read is kept unloaded (its LoadError
    // says why) instead of being dropped, so that saving the desktop writes it back.
    bool KeepUnloadedImages = false;
};

// Reads the lines of a chart file (already split, cut and decoded). Relative paths in the file
// resolve against baseDir. Raises EVrnError "Missing parameters in Chart object. Line: N",
// "Missing parameters in URL object. Line: N", "Error in line N: invalid number format." or
// "Error in line N: invalid point format."; nothing read so far survives such an error. With
// options.Recover those become messages: "invalid point format" and the like as Text, the
// dropped object in Detail.
TChartFileContents ReadObjects(const std::vector<std::string> &lines, const std::string &baseDir,
    const TChartReadOptions &options = {});

// Reads a chart file; raises EVrnError "File <name> not found" when it cannot be opened.
TChartFileContents ReadChartFile(
    const std::string &fileName, const TChartReadOptions &options = {});

// The lines of one object in the form desktops and chart files write (header, attributes,
// points of routes and tracks, an empty line).
std::vector<std::string> ObjectLines(const TChtObject &object);

// The comment header of vector chart files written by the digitiser.
std::vector<std::string> VectorChartHeader();

// Polygons in the vector chart form: "O;Polygon;" + name, the colour lines of polygons that do
// not follow the chart's default colours ("A;BrushStyle=0" as well for an unfilled one), and one
// "P;" line per vertex, with no empty line between polygons.
std::vector<std::string> VectorChartLines(const TObjList &polygons);

// Writes lines as a chart file (CR LF, Windows-1252) through a temporary file. Raises EVrnError
// when a line would be longer than the readers accept, or when the file cannot be written; the
// old file is then unchanged.
void WriteChartFile(const std::string &fileName, const std::vector<std::string> &lines);

} // namespace vrn
