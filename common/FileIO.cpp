#include "common/FileIO.h"

#include "engine/VrnError.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace vrn {

void WriteFileAtomically(const std::filesystem::path &path, std::string_view bytes)
{
    std::filesystem::path tmp = path;
    tmp += ".tmp";
    std::FILE *f = std::fopen(tmp.c_str(), "wb");
    bool done = f != nullptr;
    if (f) {
        done = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        // On the disk before the rename, or a crash could leave an empty file in its place.
        done = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0 && done;
        done = std::fclose(f) == 0 && done;
    }
    std::error_code ec;
    if (done)
        std::filesystem::rename(tmp, path, ec);
    if (!done || ec) {
        std::filesystem::remove(tmp, ec);
        throw EVrnError("Cannot write file " + path.string());
    }
}

TFileContents ReadWholeFile(const std::filesystem::path &path, std::size_t maxBytes)
{
    TFileContents r;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return r;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return r;
    r.Found = true;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > maxBytes) {
        r.TooLarge = true;
        return r;
    }
    // Read up to one byte past the limit, in case the file grew since its size was taken.
    std::string bytes;
    char buf[8192];
    while (in) {
        in.read(buf, sizeof buf);
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes) {
            r.TooLarge = true;
            return r;
        }
    }
    if (in.bad()) {
        r.ReadError = true;
        return r;
    }
    r.Bytes = std::move(bytes);
    return r;
}

} // namespace vrn
