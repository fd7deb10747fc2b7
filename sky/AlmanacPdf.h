#pragma once

// Almanac pages to a PDF file for tools without a window (vrncli almanac --pdf). The pages go
// through the same printing code as the window's "Print page", with the default print font.
// This header is free of Qt so that console commands can include it.

#include <string>
#include <vector>

namespace vrn {

// Writes `pages` (each a list of UTF-8 page lines), each starting on a new sheet, to the PDF
// file `fileName`. When the process has no application object, a headless one (offscreen
// platform) lives for the length of the call. Raises EVrnError when the file cannot be
// written; a half-written file is removed.
void WriteAlmanacPdf(
    const std::string &fileName, const std::vector<std::vector<std::string>> &pages);

} // namespace vrn
