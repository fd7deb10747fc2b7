#pragma once

// The status code and named values of a received HTTP response header.

#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// Reads one header (its lines in arrival order, the status line first) for as long as the list
// lives.
class THtmlDoc
{
public:
    explicit THtmlDoc(const std::vector<std::string> &headerLines)
        : FLines(headerLines)
    { }

    // The second word of the first line ("HTTP/1.0 404 Not Found" gives 404), words being split
    // at backspace, tab, line feed, carriage return, blank and comma; 0 when there is no such
    // word, when it is not a whole number or when the list is empty.
    int StatusCode() const;

    // The value of the first "name: value" line whose name, lower-cased, equals lowerName, with
    // the blanks after the ":" skipped; empty when there is none. Stops at the first empty line.
    std::string HeaderValue(std::string_view lowerName) const;

    // Every value of that name, in order (a response may repeat a header).
    std::vector<std::string> HeaderValues(std::string_view lowerName) const;

private:
    const std::vector<std::string> &FLines;
};

} // namespace vrn
