#pragma once

// File access shared by the chart files and the chart image data files: paths written inside
// files, whole-file reads with a size limit and writes that never leave a half-written file.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace vrn {

// True for an existing regular file (not a directory, device or pipe).
bool IsRegularFile(const std::string &path);

struct TFileCloser
{
    void operator()(std::FILE *f) const { std::fclose(f); }
};

using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// A regular file opened for reading; raises EVrnError "Cannot open file "<path>". No such file"
// for anything else (a folder or a device would block or read garbage), "Cannot open file
// "<path>"" when it cannot be opened.
TFilePtr OpenRegularFile(const std::string &path);

// A path read from a file, resolved against the folder of that file: "\" becomes "/", the path
// is tried as written, then component by component ignoring letter case (files written on
// systems whose names ignore case). Returns the path as written (made absolute) when nothing
// matches, so that the caller's message names what the file said.
std::string ResolveFilePath(std::string_view baseDir, std::string_view pathInFile);

// The path relative to baseDir when it lies below it, else the path unchanged.
std::string MakeRelativePath(std::string_view path, std::string_view baseDir);

// The path relative to baseDir, climbing out of it with "../" where needed, so that a folder
// of files moved as a whole keeps working. Both are made absolute first; the path unchanged when
// no relative form exists.
std::string RelativePathFrom(std::string_view path, std::string_view baseDir);

// Folder of a file path ("." for a bare name) and the name without its folder.
std::string DirectoryOf(std::string_view path);
std::string FileNameOf(std::string_view path);

// The whole contents of a regular file; raises EVrnError naming the file when it cannot be read
// (as OpenRegularFile) or holds more than maxBytes bytes.
std::string ReadChartFileBytes(const std::string &path, std::size_t maxBytes);

} // namespace vrn
