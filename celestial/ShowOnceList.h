#pragma once

// The list of messages the user asked never to see again, kept in "DontShow.msg" in the data
// folder: one message per line, Windows-1252 with CR LF, the first line a header. Losing the file
// only loses the suppressions, so a missing, unreadable or corrupt file reads as a fresh list.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

constexpr std::string_view kDontShowFileName = "DontShow.msg";
constexpr std::string_view kDontShowHeader = "Varunel Light \"Dont show again\" messages";
// A list of suppressed messages is a few lines; anything bigger is not one.
constexpr std::size_t kMaxDontShowFileBytes = 1 << 20;

class TShowOnceList
{
public:
    // A fresh list: the header line alone, unchanged.
    TShowOnceList();

    // The list of a file's contents. Contents holding a NUL byte (a binary file) read as a fresh
    // list. Lines end with CR LF or LF.
    static TShowOnceList FromFileContents(std::string_view bytes);

    // Reads the file. A missing, unreadable, oversized or binary file gives a fresh list.
    static TShowOnceList Load(const std::filesystem::path &file);

    // The form a message takes in the file: line breaks and NULs become blanks (a message must stay
    // one text line) and characters Windows-1252 lacks become "?" (as they are written).
    static std::string KeyOf(std::string_view message);

    bool Contains(std::string_view message) const;
    // Adds the message and marks the list changed, unless it is already there.
    void Add(std::string_view message);

    bool Changed() const { return FChanged; }

    const std::vector<std::string> &Lines() const { return FLines; }

    std::string FileContents() const;

    // Writes the file (temporary file and rename) when the list changed, and only then clears
    // the flag. Raises EVrnError "Cannot write file <path>"; the old file stays then.
    void SaveIfChanged(const std::filesystem::path &file);

private:
    std::vector<std::string> FLines; // UTF-8
    bool FChanged = false;
};

} // namespace vrn
