#include "net/HttpResponse.h"

#include "engine/NumText.h"
#include "net/Htmldoc.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace vrn {

namespace {

std::string LowerTrimmed(std::string_view text)
{
    std::string s(Trim(text));
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A header text quoted for a message, kept short.
std::string Shown(std::string_view text)
{
    constexpr std::size_t kMax = 60;
    std::string s(text.substr(0, kMax));
    for (char &c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            c = '?';
    return "\"" + s + (text.size() > kMax ? "...\"" : "\"");
}

std::optional<std::int64_t> ParseChunkSize(std::string_view line)
{
    std::string_view s = Trim(line.substr(0, line.find(';')));
    if (s.empty() || s.size() > 16)
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : s) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        const int digit = std::isdigit(static_cast<unsigned char>(c))
            ? c - '0'
            : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        v = v * 16 + static_cast<std::uint64_t>(digit);
    }
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

} // namespace

std::optional<std::int64_t> ParseContentLength(std::string_view text)
{
    const std::string_view s = Trim(text);
    if (s.empty() || s.size() > 19)
        return std::nullopt;
    std::uint64_t v = 0;
    for (const char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

THttpResponseReader::THttpResponseReader(std::int64_t maxBodyBytes)
    : FMaxBodyBytes(maxBodyBytes)
{ }

void THttpResponseReader::Reset()
{
    *this = THttpResponseReader(FMaxBodyBytes);
}

THttpReadState THttpResponseReader::Fail(std::string why)
{
    FError = std::move(why);
    FState = THttpReadState::Failed;
    return FState;
}

THttpReadState THttpResponseReader::Feed(std::string_view data, const THttpBodySink &sink)
{
    FTotalReceived += static_cast<std::int64_t>(data.size());
    if (FState != THttpReadState::Header && FState != THttpReadState::Body)
        return FState;
    std::size_t pos = 0;
    while (
        pos < data.size() && (FState == THttpReadState::Header || FState == THttpReadState::Body)) {
        if (FState == THttpReadState::Header) {
            const std::size_t start = pos;
            const auto r = FLines.Feed(data, pos);
            FHeaderBytes += pos - start;
            if (FHeaderBytes > kMaxHeaderBytes)
                return Fail("Bad response: the header is longer than 64 KiB");
            if (r == TLineStream::TResult::TooLong)
                return Fail("Bad response: a header line is longer than 8 KiB");
            if (r == TLineStream::TResult::Line)
                HeaderLine(FLines.Line());
        } else if (FChunked) {
            ChunkedBytes(data, pos, sink);
        } else {
            BodyBytes(data, pos, sink);
        }
    }
    return FState;
}

void THttpResponseReader::HeaderLine(const std::string &line)
{
    FHeader.push_back(line);
    if (line.empty())
        EndOfHeader();
}

void THttpResponseReader::EndOfHeader()
{
    if (FHeader.size() < 2 || !FHeader.front().starts_with("HTTP/")) {
        Fail("Bad response: no HTTP status line");
        return;
    }
    const THtmlDoc doc(FHeader);
    const int status = doc.StatusCode();
    if (status < 100 || status > 599) {
        Fail("Bad response: invalid status line " + Shown(FHeader.front()));
        return;
    }
    if (status < 200) {
        // An interim reply ("100 Continue"): the real one follows.
        FHeader.clear();
        return;
    }
    FStatus = status;
    for (const std::string &coding : doc.HeaderValues("transfer-encoding")) {
        const std::string c = LowerTrimmed(coding);
        if (c == "chunked")
            FChunked = true;
        else if (c != "identity" && !c.empty()) {
            Fail("Bad response: unsupported transfer coding " + Shown(coding));
            return;
        }
    }
    const std::string contentCoding = LowerTrimmed(doc.HeaderValue("content-encoding"));
    if (!contentCoding.empty() && contentCoding != "identity") {
        Fail("Bad response: unsupported content coding " + Shown(contentCoding));
        return;
    }
    for (const std::string &value : doc.HeaderValues("content-length")) {
        const auto length = ParseContentLength(value);
        if (!length) {
            Fail("Bad response: invalid Content-Length " + Shown(value));
            return;
        }
        if (FContentLength >= 0 && FContentLength != *length) {
            Fail("Bad response: conflicting Content-Length values");
            return;
        }
        FContentLength = *length;
    }
    if (FChunked)
        FContentLength = -1;
    FLines.Clear();
    if (FStatus != 200) {
        FState = THttpReadState::Complete;
        return;
    }
    if (FMaxBodyBytes > 0 && FContentLength > FMaxBodyBytes) {
        Fail("File too large: " + std::to_string(FContentLength) + " bytes (at most "
            + std::to_string(FMaxBodyBytes) + ")");
        return;
    }
    FState = !FChunked && FContentLength == 0 ? THttpReadState::Complete : THttpReadState::Body;
}

bool THttpResponseReader::Deliver(std::string_view bytes, const THttpBodySink &sink)
{
    if (FMaxBodyBytes > 0
        && FBodyReceived + static_cast<std::int64_t>(bytes.size()) > FMaxBodyBytes) {
        Fail("File too large: more than " + std::to_string(FMaxBodyBytes) + " bytes");
        return false;
    }
    if (sink && !sink(bytes)) {
        FSinkFailed = true;
        Fail("The body could not be written");
        return false;
    }
    FBodyReceived += static_cast<std::int64_t>(bytes.size());
    return true;
}

void THttpResponseReader::BodyBytes(
    std::string_view data, std::size_t &pos, const THttpBodySink &sink)
{
    std::size_t n = data.size() - pos;
    if (FContentLength >= 0)
        n = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(n), FContentLength - FBodyReceived));
    const std::string_view bytes = data.substr(pos, n);
    pos = data.size(); // bytes past the announced length are not part of the response
    if (!Deliver(bytes, sink))
        return;
    if (FContentLength >= 0 && FBodyReceived == FContentLength)
        FState = THttpReadState::Complete;
}

void THttpResponseReader::ChunkedBytes(
    std::string_view data, std::size_t &pos, const THttpBodySink &sink)
{
    if (FChunkState == TChunkState::Data) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(FChunkLeft, static_cast<std::int64_t>(data.size() - pos)));
        if (!Deliver(data.substr(pos, n), sink))
            return;
        pos += n;
        FChunkLeft -= static_cast<std::int64_t>(n);
        if (FChunkLeft == 0)
            FChunkState = TChunkState::DataEnd;
        return;
    }
    const std::size_t start = pos;
    const auto r = FLines.Feed(data, pos);
    if (FChunkState == TChunkState::Trailer) {
        FTrailerBytes += pos - start;
        if (FTrailerBytes > kMaxHeaderBytes) {
            Fail("Bad response: the trailer is longer than 64 KiB");
            return;
        }
    }
    if (r == TLineStream::TResult::TooLong) {
        Fail("Bad response: a chunk line is longer than 8 KiB");
        return;
    }
    if (r != TLineStream::TResult::Line)
        return;
    const std::string &line = FLines.Line();
    switch (FChunkState) {
    case TChunkState::Size:
        if (const auto size = ParseChunkSize(line)) {
            FChunkLeft = *size;
            FChunkState = *size == 0 ? TChunkState::Trailer : TChunkState::Data;
        } else {
            Fail("Bad response: invalid chunk size " + Shown(line));
        }
        break;
    case TChunkState::DataEnd:
        if (line.empty())
            FChunkState = TChunkState::Size;
        else
            Fail("Bad response: a chunk is longer than its size");
        break;
    case TChunkState::Trailer:
        if (line.empty())
            FState = THttpReadState::Complete;
        break;
    case TChunkState::Data:
        break;
    }
}

THttpReadState THttpResponseReader::Close()
{
    if (FState == THttpReadState::Header) {
        if (!FLines.Pending().empty())
            FHeader.push_back(FLines.Pending());
        FLines.Clear();
        return Fail(FTotalReceived == 0
                ? "The server closed the connection without a reply"
                : "The server closed the connection before the end of the header");
    }
    if (FState != THttpReadState::Body)
        return FState;
    const bool complete =
        !FChunked && (FContentLength >= 0 ? FBodyReceived == FContentLength : FBodyReceived > 0);
    FState = complete ? THttpReadState::Complete : THttpReadState::Truncated;
    return FState;
}

} // namespace vrn
