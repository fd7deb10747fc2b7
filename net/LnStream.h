#pragma once

// Lines assembled from bytes as they arrive from a connection, a read at a time: the header
// lines of a response and the size lines of a chunked body. A line ends at a line feed; bytes
// of code 30 or below (carriage return, tab and the other control codes) are dropped, so that
// "CR LF" and a bare "LF" end lines alike. A line longer than the limit is an error, not cut:
// a reply that never sends a line feed cannot grow a line without bound.

#include <cstddef>
#include <string>
#include <string_view>

namespace vrn {

class TLineStream
{
public:
    explicit TLineStream(std::size_t maxLineBytes)
        : FMaxLineBytes(maxLineBytes)
    { }

    enum class TResult
    {
        NeedMore, // every byte of data was taken; the line goes on in the next read
        Line, // a line ended: Line() holds it, pos points after its line feed
        TooLong, // the line grew past the limit
    };

    // Takes bytes of data from pos on until a line ends or data runs out; pos moves past
    // the bytes taken.
    TResult Feed(std::string_view data, std::size_t &pos);

    // The line that ended; valid until the next Feed.
    const std::string &Line() const { return FLine; }

    // The bytes of the line not yet ended.
    const std::string &Pending() const { return FPending; }

    void Clear();

private:
    std::size_t FMaxLineBytes;
    std::string FPending;
    std::string FLine;
};

} // namespace vrn
