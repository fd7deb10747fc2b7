#pragma once

// The response of one HTTP/1.0 GET, read as its bytes arrive: the header lines (bounded in
// size), the status, the body length, a chunked body decoded, and the body bytes handed on to a
// sink as they come, so that a body of any size needs no more memory than one read.

#include "net/LnStream.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
constexpr std::size_t kMaxHeaderLineBytes = 8 * 1024;

// Takes body bytes; false when they could not be written (the transfer then fails).
using THttpBodySink = std::function<bool(std::string_view bytes)>;

enum class THttpReadState
{
    Header, // header lines are arriving
    Body, // body bytes are arriving
    Complete, // the whole response is here: header of a reply without body, Content-Length
              // reached, the final chunk, or (without a length) a non-empty body ended by close
    Truncated, // a 200 whose body ended early (or was empty without a length)
    Failed, // not a usable HTTP response, or the sink failed; Error() says why
};

class THttpResponseReader
{
public:
    // Body bytes are handed to the sink only for status 200; bodies of larger size than
    // maxBodyBytes (0: no limit) fail.
    explicit THttpResponseReader(std::int64_t maxBodyBytes = 0);

    void Reset();

    // The bytes of one read; returns the state after them. Bytes after the end of the
    // response are ignored.
    THttpReadState Feed(std::string_view data, const THttpBodySink &sink);

    // The server closed the connection.
    THttpReadState Close();

    THttpReadState State() const { return FState; }

    // Header lines in arrival order: the status line first and, once the header ended, the
    // empty line that ended it last.
    const std::vector<std::string> &HttpHeader() const { return FHeader; }

    const std::string &PendingHeaderLine() const { return FLines.Pending(); }

    bool InHeader() const { return FState == THttpReadState::Header; }

    // 0 until the header ended.
    int Status() const { return FStatus; }

    // From "Content-Length"; -1 when not given (and for chunked bodies).
    std::int64_t ContentLength() const { return FContentLength; }

    bool Chunked() const { return FChunked; }

    std::int64_t TotalReceived() const { return FTotalReceived; }

    std::int64_t BodyReceived() const { return FBodyReceived; }

    // True when the failure was the sink's.
    bool SinkFailed() const { return FSinkFailed; }

    const std::string &Error() const { return FError; }

private:
    enum class TChunkState
    {
        Size,
        Data,
        DataEnd,
        Trailer,
    };

    THttpReadState Fail(std::string why);
    void HeaderLine(const std::string &line);
    void EndOfHeader();
    void BodyBytes(std::string_view data, std::size_t &pos, const THttpBodySink &sink);
    void ChunkedBytes(std::string_view data, std::size_t &pos, const THttpBodySink &sink);
    bool Deliver(std::string_view bytes, const THttpBodySink &sink);

    std::int64_t FMaxBodyBytes;
    THttpReadState FState = THttpReadState::Header;
    TLineStream FLines {kMaxHeaderLineBytes};
    std::vector<std::string> FHeader;
    std::size_t FHeaderBytes = 0;
    int FStatus = 0;
    std::int64_t FContentLength = -1;
    bool FChunked = false;
    TChunkState FChunkState = TChunkState::Size;
    std::int64_t FChunkLeft = 0;
    std::size_t FTrailerBytes = 0;
    std::int64_t FTotalReceived = 0;
    std::int64_t FBodyReceived = 0;
    bool FSinkFailed = false;
    std::string FError;
};

// A Content-Length value: blanks around, then decimal digits only, at most 2^63 - 1.
std::optional<std::int64_t> ParseContentLength(std::string_view text);

} // namespace vrn
