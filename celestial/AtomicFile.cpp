#include "celestial/AtomicFile.h"

#include "engine/VrnError.h"

#include <fstream>
#include <system_error>

namespace vrn {

void WriteFileAtomically(const std::filesystem::path &path, std::string_view bytes)
{
    std::filesystem::path tmp = path;
    tmp += ".tmp";
    const auto fail = [&]() {
        std::error_code ignored;
        std::filesystem::remove(tmp, ignored);
        throw EVrnError("Cannot write file " + path.string());
    };
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            fail();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            fail();
        out.close();
        if (out.fail())
            fail();
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec)
        fail();
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
