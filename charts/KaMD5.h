#pragma once

// MD5 digests (RFC 1321) as 32 lower-case hexadecimal digits: the signature that ties a chart
// image data file to the exact bytes of its picture.

#include <cstdint>
#include <span>
#include <string>

namespace vrn {

std::string MD5OfBytes(std::span<const std::uint8_t> data);

// Streams the file; raises EVrnError when it is not a readable regular file.
std::string MD5OfFile(const std::string &path);

} // namespace vrn
