#pragma once

// The star finder's print jobs, each drawing on the printer of a job (ui/PrintJob sends them to a
// printer or a PDF file): the list of visible objects as text, the chart alone, and the chart
// with the list beside it on a landscape page.

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace vrn {

class TStarFinder;

// What the lists print, as the window shows it.
struct TStarFinderListing
{
    QString ViewLabel; // "Lat: ...  Lon: ... | date time GMT"
    QString LatText;
    QString LonText;
    QString CountLabel; // "27 visible"
    QList<QStringList> Rows; // the header ("Body", "Hc", "Az", "Mag") first, then each body
};

// The printer as a text device in Courier New: the view label and the position in bold, then
// every row's first three columns, then the footer. Continues on new sheets as needed.
void PrintStarFinderList(QPrinter &printer, const TStarFinderListing &listing);
// The chart alone, black on white.
void PrintStarFinderChart(QPrinter &printer, TStarFinder &chart);
// The chart on the left of a landscape page and the four columns of the list on its right, with
// the view label and the footer under them.
void PrintStarFinderChartAndList(
    QPrinter &printer, TStarFinder &chart, const TStarFinderListing &listing);

} // namespace vrn
