#pragma once

// Whole-file reads and writes for every file the programs keep (LOP lists, sextant tables,
// chart files, chart image data). A write goes to "<name>.tmp" beside the target, is flushed to
// the disk and renamed over it only when complete, so a failed write (full disk, no permission,
// a crash) leaves the old file whole.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vrn {

// Raises EVrnError "Cannot write file <path>" when the temporary file cannot be written or
// renamed; the temporary file is removed then.
void WriteFileAtomically(const std::filesystem::path &path, std::string_view bytes);

struct TFileContents
{
    bool Found = false; // a regular file that could be opened
    bool TooLarge = false; // longer than the limit given; Bytes is then empty
    bool ReadError = false; // opened, but a read failed part-way
    std::string Bytes;
};

// Reads a regular file whole. Directories, missing files and unreadable files give Found false.
TFileContents ReadWholeFile(const std::filesystem::path &path, std::size_t maxBytes);

} // namespace vrn
