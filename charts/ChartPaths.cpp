#include "charts/ChartPaths.h"

#include "engine/VrnError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vrn {

bool IsRegularFile(const std::string &path)
{
    struct stat st
    { };

    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TFilePtr OpenRegularFile(const std::string &path)
{
    if (!IsRegularFile(path))
        throw EVrnError("Cannot open file \"" + path + "\". No such file");
    TFilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw EVrnError("Cannot open file \"" + path + "\"");
    return f;
}

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

std::string ResolveFilePath(std::string_view baseDir, std::string_view pathInFile)
{
    std::string p(pathInFile);
    for (char &c : p)
        if (c == '\\')
            c = '/';
    fs::path given(p);
    const fs::path base = baseDir.empty() ? fs::path(".") : fs::path(baseDir);
    const fs::path full = given.is_absolute() ? given : base / given;
    std::error_code ec;
    if (fs::exists(full, ec))
        return full.lexically_normal().string();
    // Walk the components, matching each one ignoring case when the exact name is absent.
    fs::path current = given.is_absolute() ? given.root_path() : base;
    for (const auto &part : given.relative_path()) {
        const fs::path exact = current / part;
        if (fs::exists(exact, ec)) {
            current = exact;
            continue;
        }
        bool found = false;
        if (part != "." && part != ".." && fs::is_directory(current, ec)) {
            for (const auto &entry : fs::directory_iterator(current, ec)) {
                if (SameIgnoringCase(entry.path().filename().string(), part.string())) {
                    current = entry.path();
                    found = true;
                    break;
                }
            }
        }
        if (!found)
            return full.lexically_normal().string();
    }
    return current.lexically_normal().string();
}

std::string MakeRelativePath(std::string_view path, std::string_view baseDir)
{
    if (baseDir.empty())
        return std::string(path);
    const fs::path p = fs::path(path).lexically_normal();
    const fs::path b = fs::path(baseDir).lexically_normal();
    const fs::path rel = p.lexically_relative(b);
    if (rel.empty() || *rel.begin() == "..")
        return std::string(path);
    return rel.string();
}

std::string RelativePathFrom(std::string_view path, std::string_view baseDir)
{
    std::error_code ec;
    const fs::path p = fs::absolute(fs::path(path), ec).lexically_normal();
    const fs::path b =
        fs::absolute(fs::path(baseDir.empty() ? "." : baseDir), ec).lexically_normal();
    const fs::path rel = p.lexically_relative(b);
    if (ec || rel.empty())
        return std::string(path);
    return rel.string();
}

std::string DirectoryOf(std::string_view path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::string FileNameOf(std::string_view path)
{
    return fs::path(path).filename().string();
}

std::string ReadChartFileBytes(const std::string &path, std::size_t maxBytes)
{
    const TFilePtr f = OpenRegularFile(path);
    std::string data;
    char buf[65536];
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f.get());
        data.append(buf, n);
        if (data.size() > maxBytes)
            throw EVrnError("File \"" + path + "\" is too large");
        if (n < sizeof buf) {
            if (std::ferror(f.get()))
                throw EVrnError("Read error in file \"" + path + "\"");
            return data;
        }
    }
}

} // namespace vrn
