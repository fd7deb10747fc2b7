#pragma once

// Printing of almanac pages: the printer is used as a text device, one monospaced line under
// the other, continued on a new sheet when the sheet is full. Each almanac page starts on a
// sheet of its own with two empty lines, every line indented by five blanks, then an empty line
// and the product's footer in bold.

#include "engine/VrnError.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace vrn {

// The product's web address, printed in the footer of every almanac page.
inline constexpr const char *kProductWebAddress = "https://varunel.example.org";

// "     Varunel Light - https://varunel.example.org"
QString AlmanacFooterLine();

// Courier New, 7 points on paper and 8 on screen, with a fixed-pitch fallback where Courier New
// is not installed.
QFont DefaultAlmanacPrintFont();
QFont DefaultAlmanacScreenFont();

// Point sizes above this may not fit a page on one sheet.
constexpr int kAlmanacLargestFittingPointSize = 7;

// The printer could not be opened or could not start a sheet; the job was aborted, so nothing
// half-printed comes out.
class EPrintError : public EVrnError
{
public:
    using EVrnError::EVrnError;
};

// Prints `pages` (each a list of page lines) on `printer` with `font`. Raises EPrintError.
void PrintAlmanacPages(QPrinter &printer, const QList<QStringList> &pages, const QFont &font);

} // namespace vrn
