#pragma once

// Printing of almanac pages: the printer is used as a text device, one monospaced line under
// the other, continued on a new sheet when the sheet is full. Each almanac page starts on a
// sheet of its own with two empty lines, every line indented by five blanks, then an empty line
// and the product's footer in bold.

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace vrn {

// The product's web address, printed in the footer of every almanac page.
inline constexpr const char *kProductWebAddress = "https://varunel.example.org";

// "     Varunel - https://varunel.example.org"
QString AlmanacFooterLine();

// Courier New, 7 points on paper and 8 on screen, or the first monospaced family installed
// (judged by the glyphs' advances, see ui/Fonts.h) where Courier New is not.
QFont DefaultAlmanacPrintFont();
QFont DefaultAlmanacScreenFont();

// Point sizes above this may not fit a page on one sheet.
constexpr int kAlmanacLargestFittingPointSize = 7;

// Prints `pages` (each a list of page lines) on `printer` with `font`: a print job for
// ui/PrintJob. Raises EVrnError when the printer cannot be opened or cannot start a sheet; the
// job is then aborted, so nothing half-printed comes out.
void PrintAlmanacPages(QPrinter &printer, const QList<QStringList> &pages, const QFont &font);

} // namespace vrn
