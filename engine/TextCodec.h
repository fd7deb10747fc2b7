#pragma once

// Text inside the system is UTF-8; text files on disk are Windows-1252 with CR LF line ends.
// This module converts between the two, splits file contents into lines and counts characters
// (not bytes) where the system limits a text to a number of characters.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// One character of a UTF-8 text. A byte that does not start a well-formed sequence (stray
// continuation byte, overlong form, surrogate, truncated sequence) is one character of its own,
// decoded as U+FFFD, so that every byte of hostile input is accounted for exactly once.
struct TUtf8Char
{
    char32_t CodePoint = 0;
    std::size_t Length = 0; // bytes, 1..4; 0 only at the end of the text
};

TUtf8Char NextUtf8Char(std::string_view text, std::size_t pos);

// Number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(std::string_view text);

// The first `count` characters of a UTF-8 text; never splits a multi-byte character.
std::string_view Utf8Left(std::string_view text, std::size_t count);

// Appends the UTF-8 form of a code point; invalid code points become U+FFFD.
void AppendUtf8(std::string &out, char32_t codePoint);

// Windows-1252 bytes to UTF-8. Total: the five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 control characters of the same value, as Windows does.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 bytes; a character the code page cannot hold (and a malformed byte)
// is written as "?".
std::string Utf8ToCp1252(std::string_view text);

// True when Utf8ToCp1252 would write every character as itself.
bool IsCp1252Encodable(std::string_view text);

// Splits file contents into lines. A line ends at LF; one CR right before the LF (or at the end
// of the contents) is dropped, any other CR is kept. A last line without LF counts when it is
// not empty, so "a\n" and "a" both give one line. With maxLineBytes > 0 each line is cut to its
// first maxLineBytes bytes, as a fixed line buffer of the file format would.
std::vector<std::string> SplitLines(std::string_view contents, std::size_t maxLineBytes = 0);

// SplitLines, then each line decoded from Windows-1252 into UTF-8. The cut is applied to the
// bytes on disk, before decoding.
std::vector<std::string> DecodeTextFile(std::string_view contents, std::size_t maxLineBytes = 0);

// The file form of UTF-8 lines: each line encoded to Windows-1252 and followed by CR LF.
std::string EncodeTextFile(const std::vector<std::string> &lines);

} // namespace vrn
