#include "net/HttpResponse.h"

#include "net/Htmldoc.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

struct TRun
{
    THttpReadState State = THttpReadState::Header;
    std::string Body;
    THttpResponseReader Reader;
};

// Feeds the reply in reads of `piece` bytes (0: all at once), then closes when `close` is set
// and the reply had not ended by itself.
void FeedReply(TRun &run, std::string_view reply, std::size_t piece, bool close)
{
    const THttpBodySink sink = [&](std::string_view b) {
        run.Body += b;
        return true;
    };
    const std::size_t step = piece == 0 ? reply.size() : piece;
    for (std::size_t i = 0; i < reply.size(); i += step)
        run.State = run.Reader.Feed(reply.substr(i, step), sink);
    if (close)
        run.State = run.Reader.Close();
}

TEST(HttpResponse, Replies)
{
    const std::string big(5000, 'b');

    struct
    {
        const char *Name;
        std::string Reply;
        bool Close;
        THttpReadState State;
        int Status;
        long long Length;
        std::string Body;
        const char *Error;
    } const cases[] = {
        {"length reached", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", false,
            THttpReadState::Complete, 200, 5, "hello", ""},
        {"bytes past the length ignored", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabcdef",
            false, THttpReadState::Complete, 200, 3, "abc", ""},
        {"length zero ends at the header", "HTTP/1.1 200 OK\r\nContent-length:0\r\n\r\n", false,
            THttpReadState::Complete, 200, 0, "", ""},
        {"bare line feeds", "HTTP/1.0 200 OK\nContent-Length: 2\n\nok", false,
            THttpReadState::Complete, 200, 2, "ok", ""},
        {"no length, ended by close", "HTTP/1.0 200 OK\r\n\r\n" + big, true,
            THttpReadState::Complete, 200, -1, big, ""},
        {"no length, empty", "HTTP/1.0 200 OK\r\n\r\n", true, THttpReadState::Truncated, 200, -1,
            "", ""},
        {"closed before the length", "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc", true,
            THttpReadState::Truncated, 200, 10, "abc", ""},
        {"chunked",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
            "5\r\nhello\r\n7;ext=1\r\n, world\r\n0\r\nX-Trailer: 1\r\n\r\n",
            false, THttpReadState::Complete, 200, -1, "hello, world", ""},
        {"chunked in capitals over a length",
            "HTTP/1.1 200 OK\r\nContent-Length: 99\r\n"
            "Transfer-Encoding: Chunked\r\n\r\nA\r\n0123456789\r\n0\r\n\r\n",
            false, THttpReadState::Complete, 200, -1, "0123456789", ""},
        {"chunked cut short", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel", true,
            THttpReadState::Truncated, 200, -1, "hel", ""},
        {"chunked without the final chunk",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
            "2\r\nab\r\n",
            true, THttpReadState::Truncated, 200, -1, "ab", ""},
        {"chunk size garbage", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", false,
            THttpReadState::Failed, 200, -1, "", "invalid chunk size"},
        {"chunk size beyond 64 bits",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFF\r\n", false,
            THttpReadState::Failed, 200, -1, "", "invalid chunk size"},
        {"chunk longer than its size",
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
            "1\r\nab\r\n0\r\n\r\n",
            false, THttpReadState::Failed, 200, -1, "a", "longer than its size"},
        {"gzip refused", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n", false,
            THttpReadState::Failed, 200, -1, "", "unsupported transfer coding"},
        {"content coding refused", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\nxx", false,
            THttpReadState::Failed, 200, -1, "", "unsupported content coding"},
        {"negative length", "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nabc", false,
            THttpReadState::Failed, 200, -1, "", "invalid Content-Length \"-5\""},
        {"garbled length", "HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n", false,
            THttpReadState::Failed, 200, -1, "", "invalid Content-Length"},
        {"length beyond 64 bits", "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n",
            false, THttpReadState::Failed, 200, -1, "", "invalid Content-Length"},
        {"two lengths", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd",
            false, THttpReadState::Failed, 200, 3, "", "conflicting Content-Length"},
        {"404 ends at its header", "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found",
            false, THttpReadState::Complete, 404, 9, "", ""},
        {"304 has no body", "HTTP/1.0 304 Not Modified\r\n\r\n", false, THttpReadState::Complete,
            304, -1, "", ""},
        {"interim reply skipped",
            "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n"
            "Content-Length: 1\r\n\r\nx",
            false, THttpReadState::Complete, 200, 1, "x", ""},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n", false, THttpReadState::Failed, 0, -1, "",
            "no HTTP status line"},
        {"status not a number", "HTTP/1.0 abc OK\r\n\r\n", false, THttpReadState::Failed, 0, -1, "",
            "invalid status line"},
        {"closed without a reply", "", true, THttpReadState::Failed, 0, -1, "", "without a reply"},
        {"closed within the header", "HTTP/1.0 200 OK\r\nContent-Le", true, THttpReadState::Failed,
            0, -1, "", "before the end of the header"},
    };

    for (const auto &c : cases) {
        for (const std::size_t piece : {std::size_t(0), std::size_t(1), std::size_t(7)}) {
            SCOPED_TRACE(std::string(c.Name) + ", reads of " + std::to_string(piece));
            TRun run;
            FeedReply(run, c.Reply, piece, c.Close);
            EXPECT_EQ(run.State, c.State);
            EXPECT_EQ(run.Reader.Status(), c.Status);
            EXPECT_EQ(run.Reader.ContentLength(), c.Length);
            EXPECT_EQ(run.Body, c.Body);
            EXPECT_EQ(run.Reader.BodyReceived(), static_cast<long long>(c.Body.size()));
            EXPECT_EQ(run.Reader.TotalReceived(), static_cast<long long>(c.Reply.size()));
            EXPECT_NE(run.Reader.Error().find(c.Error), std::string::npos) << run.Reader.Error();
        }
    }
}

TEST(HttpResponse, HeaderLinesKeptInOrderWithTheEndingEmptyLine)
{
    TRun run;
    FeedReply(run, "HTTP/1.0 200 OK\r\nServer: x\r\nContent-Length: 1\r\n\r\nz", 0, false);
    const std::vector<std::string> expected = {
        "HTTP/1.0 200 OK", "Server: x", "Content-Length: 1", ""};
    EXPECT_EQ(run.Reader.HttpHeader(), expected);
}

TEST(HttpResponse, HeaderBounds)
{
    {
        SCOPED_TRACE("a 1 MB header line");
        TRun run;
        FeedReply(run, "HTTP/1.0 200 OK\r\nX-Long: " + std::string(1 << 20, 'a') + "\r\n\r\n", 4096,
            false);
        EXPECT_EQ(run.State, THttpReadState::Failed);
        EXPECT_EQ(run.Reader.Error(), "Bad response: a header line is longer than 8 KiB");
        // It stopped at the limit: the pending line never grew past it.
        EXPECT_LE(run.Reader.PendingHeaderLine().size(), kMaxHeaderLineBytes);
    }
    {
        SCOPED_TRACE("a header without end");
        TRun run;
        std::string reply = "HTTP/1.0 200 OK\r\n";
        while (reply.size() <= kMaxHeaderBytes)
            reply += "X-Filler: " + std::string(100, 'f') + "\r\n";
        FeedReply(run, reply, 1000, false);
        EXPECT_EQ(run.State, THttpReadState::Failed);
        EXPECT_EQ(run.Reader.Error(), "Bad response: the header is longer than 64 KiB");
    }
    {
        SCOPED_TRACE("a header of 60 KiB is fine");
        TRun run;
        std::string reply = "HTTP/1.0 200 OK\r\n";
        while (reply.size() < 60 * 1024)
            reply += "X-Filler: " + std::string(100, 'f') + "\r\n";
        FeedReply(run, reply + "Content-Length: 1\r\n\r\n!", 0, false);
        EXPECT_EQ(run.State, THttpReadState::Complete);
        EXPECT_EQ(run.Body, "!");
    }
}

TEST(HttpResponse, BodyLimitAndSinkFailure)
{
    {
        THttpResponseReader reader(10);
        EXPECT_EQ(reader.Feed("HTTP/1.0 200 OK\r\nContent-Length: 11\r\n\r\n", {}),
            THttpReadState::Failed);
        EXPECT_EQ(reader.Error(), "File too large: 11 bytes (at most 10)");
    }
    {
        THttpResponseReader reader(10);
        reader.Feed("HTTP/1.0 200 OK\r\n\r\n0123456789", {});
        EXPECT_EQ(reader.State(), THttpReadState::Body);
        EXPECT_EQ(reader.Feed("x", {}), THttpReadState::Failed);
        EXPECT_EQ(reader.BodyReceived(), 10);
    }
    {
        THttpResponseReader reader;
        const auto state =
            reader.Feed("HTTP/1.0 200 OK\r\n\r\nabc", [](std::string_view) { return false; });
        EXPECT_EQ(state, THttpReadState::Failed);
        EXPECT_TRUE(reader.SinkFailed());
        EXPECT_EQ(reader.BodyReceived(), 0);
    }
}

TEST(HttpResponse, ResetStartsAnew)
{
    THttpResponseReader reader;
    reader.Feed("garbage\r\n\r\n", {});
    ASSERT_EQ(reader.State(), THttpReadState::Failed);
    reader.Reset();
    EXPECT_EQ(reader.Feed("HTTP/1.0 204 No Content\r\n\r\n", {}), THttpReadState::Complete);
    EXPECT_EQ(reader.Status(), 204);
    EXPECT_EQ(reader.Error(), "");
}

TEST(HttpResponse, ContentLengthValues)
{
    EXPECT_EQ(ParseContentLength(" 42 "), 42);
    EXPECT_EQ(ParseContentLength("9223372036854775807"), 9223372036854775807LL);
    for (const char *bad :
        {"", " ", "+1", "-1", "1.0", "1e3", "0x10", "9223372036854775808", "1 2"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseContentLength(bad));
    }
}

TEST(HtmlDoc, StatusCode)
{
    struct
    {
        std::vector<std::string> Lines;
        int Status;
    } const cases[] = {
        {{"HTTP/1.0 404 Not Found"}, 404},
        {{"HTTP/1.1\t200\tOK"}, 200},
        {{",,HTTP/1.1,,302,Found"}, 302},
        {{"HTTP/1.0"}, 0},
        {{"HTTP/1.0 OK 200"}, 0},
        {{"HTTP/1.0 99999999999 x"}, 0},
        {{}, 0},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Lines.empty() ? "empty" : c.Lines.front());
        EXPECT_EQ(THtmlDoc(c.Lines).StatusCode(), c.Status);
    }
}

TEST(HtmlDoc, HeaderValue)
{
    const std::vector<std::string> lines = {"HTTP/1.0 200 OK", "Content-Type:   text/plain",
        "LAST-MODIFIED: Sun, 06 Nov 1994 08:49:37 GMT", "X-Twice: 1", "X-Twice: 2", "",
        "Content-Length: 5"};
    const THtmlDoc doc(lines);
    EXPECT_EQ(doc.HeaderValue("content-type"), "text/plain");
    EXPECT_EQ(doc.HeaderValue("last-modified"), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(doc.HeaderValue("x-twice"), "1");
    EXPECT_EQ(doc.HeaderValues("x-twice"), (std::vector<std::string> {"1", "2"}));
    // After the empty line the body begins: nothing there is a header.
    EXPECT_EQ(doc.HeaderValue("content-length"), "");
    EXPECT_EQ(doc.HeaderValue("content"), "");
}

} // namespace
} // namespace vrn
