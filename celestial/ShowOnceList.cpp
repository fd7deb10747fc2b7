#include "celestial/ShowOnceList.h"

#include "common/FileIO.h"
#include "engine/TextCodec.h"

#include <algorithm>

namespace vrn {

TShowOnceList::TShowOnceList()
    : FLines {std::string(kDontShowHeader)}
{ }

TShowOnceList TShowOnceList::FromFileContents(std::string_view bytes)
{
    TShowOnceList list;
    if (bytes.find('\0') != std::string_view::npos)
        return list;
    std::vector<std::string> lines = DecodeTextFile(bytes);
    if (!lines.empty())
        list.FLines = std::move(lines);
    return list;
}

TShowOnceList TShowOnceList::Load(const std::filesystem::path &file)
{
    const TFileContents contents = ReadWholeFile(file, kMaxDontShowFileBytes);
    if (!contents.Found || contents.TooLarge || contents.ReadError)
        return TShowOnceList();
    return FromFileContents(contents.Bytes);
}

std::string TShowOnceList::KeyOf(std::string_view message)
{
    std::string oneLine;
    oneLine.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
            continue; // CR LF is one break
        // A NUL would make the whole file read as binary.
        oneLine += (c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
    }
    return Cp1252ToUtf8(Utf8ToCp1252(oneLine));
}

bool TShowOnceList::Contains(std::string_view message) const
{
    const std::string key = KeyOf(message);
    return std::find(FLines.begin(), FLines.end(), key) != FLines.end();
}

void TShowOnceList::Add(std::string_view message)
{
    if (Contains(message))
        return;
    FLines.push_back(KeyOf(message));
    FChanged = true;
}

std::string TShowOnceList::FileContents() const
{
    return EncodeTextFile(FLines);
}

void TShowOnceList::SaveIfChanged(const std::filesystem::path &file)
{
    if (!FChanged)
        return;
    WriteFileAtomically(file, FileContents());
    FChanged = false;
}

} // namespace vrn
