#pragma once

// The printed route or track table: text lines in a monospaced font, as many pages as they take.

#include "charts/RouteTable.h"

#include <QFont>
#include <vector>

class QPrinter;

namespace vrn {

// "Courier New" 10 points, or the monospaced font that stands in for it.
QFont RouteTableFont();

// Prints the lines top to bottom inside the page margins, starting a new sheet when the next line
// does not fit; each line's bold beginning is followed by its regular text. Raises EVrnError when
// the printer fails (the job is then aborted).
void PrintRouteTable(QPrinter &printer, const std::vector<TPrintLine> &lines);

} // namespace vrn
