#pragma once

// The chart viewer's rules that need no window: the scroll bars' positions, the labels of a
// chart image entry, where "Center desktop on" goes, the start-up location file and the search
// for the files the program ships with.

#include "charts/ImgCarta.h"

#include <optional>
#include <string>
#include <vector>

namespace vrn {

// A scroll bar position in tenths of a degree, negated so that west and north are at the left
// and top ends (longitudes are west positive), rounded to nearest with halves to even and held
// within -limit..limit.
int ScrollPositionOf(double deg, int limit);
// The degrees a scroll bar position stands for.
double DegreesOfScroll(int position);

// What the chart images page shows for the selected image.
struct TChartImageLabels
{
    std::string Description; // the entry's text: the picture's description, or the data file
    std::string CIDFile; // the data file without its folder
    std::string Image; // the picture file without its folder
};

TChartImageLabels ChartImageLabelsOf(const TChtChartImage &image);

// The opacity slider's label: "60 %".
std::string OpacityText(int percent);

// The centre of a chart image: of its picture's bounds, or, while they are not known yet (the
// picture not read), the mean of its three reference positions. Degrees, longitude west positive.
struct TGeoPoint
{
    double LatDeg = 0;
    double LonDeg = 0;
};

TGeoPoint ChartImageCentre(const TImagemCarta &image);

// The location named by the start-up file (the first command-line argument): the first line of a
// regular file, at most 1024 bytes read; none when the file cannot be read or the line is empty.
std::optional<std::string> ReadLocationFile(const std::string &path);

// The first folder of `folders` that holds a regular file `name`, joined to it; empty when none.
std::string FindShippedFile(const std::vector<std::string> &folders, const std::string &name);

} // namespace vrn
