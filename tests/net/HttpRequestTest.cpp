#include "net/HttpRequest.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

THttpLocation At(const char *url)
{
    return ParseLocation(url, {}).Location.value();
}

TEST(HttpRequest, LinesInOrderWithHostAndNothingCut)
{
    const std::string longName = "/" + std::string(150, 'x') + ".cht";
    const auto lines = RequestLines("GET", At(("http://charts.example:8080" + longName).c_str()),
        {"If-modified-since: Sun, 06 Nov 1994 08:49:37 GMT", "", "X-Evil: a\r\nHost: b"});
    const std::vector<std::string> expected = {
        "GET " + longName + " HTTP/1.0",
        "Host: charts.example:8080",
        "User-Agent: HttpXfer/1.1",
        "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*",
        "If-modified-since: Sun, 06 Nov 1994 08:49:37 GMT",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(RequestBytes({"GET / HTTP/1.0", "Host: h"}), "GET / HTTP/1.0\r\nHost: h\r\n\r\n");
}

TEST(HttpRequest, RequestLineEncodesThePath)
{
    const auto lines = RequestLines("GET", At("http://h/my charts/a.cht"), {});
    EXPECT_EQ(lines.front(), "GET /my%20charts/a.cht HTTP/1.0");
}

// Expected texts: Python's email.utils.formatdate(t, usegmt=True).
TEST(HttpRequest, HttpDateRoundTrip)
{
    struct
    {
        long long Seconds;
        const char *Text;
    } const cases[] = {
        {784111777, "Sun, 06 Nov 1994 08:49:37 GMT"},
        {0, "Thu, 01 Jan 1970 00:00:00 GMT"},
        {951782400, "Tue, 29 Feb 2000 00:00:00 GMT"},
        {1709251199, "Thu, 29 Feb 2024 23:59:59 GMT"},
        {4102444799, "Thu, 31 Dec 2099 23:59:59 GMT"},
        {-86400, "Wed, 31 Dec 1969 00:00:00 GMT"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(HttpDate(c.Seconds), c.Text);
        EXPECT_EQ(ParseHttpDate(c.Text), c.Seconds);
    }
}

// The three forms of RFC 7231, 7.1.1.1, all for 784111777.
TEST(HttpRequest, ParseHttpDateForms)
{
    EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
    EXPECT_EQ(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), 784111777);
    EXPECT_EQ(ParseHttpDate("Sun Nov  6 08:49:37 1994"), 784111777);
    for (const char *bad : {"", "yesterday", "Sun, 06 Nov 1994 08:49:37 CET",
             "Sun, 31 Feb 1994 08:49:37 GMT", "Sun, 06 Nov 1994 24:00:00 GMT",
             "Sun, 06 Xyz 1994 08:49:37 GMT", "Sun, 06 Nov 94 08:49:37 GMT",
             "Sun, 06 Nov 1994 8:49:37 GMT", "Sun, -6 Nov 1994 08:49:37 GMT"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseHttpDate(bad));
    }
}

TEST(HttpRequest, StatusTexts)
{
    struct
    {
        int Status;
        const char *Text;
    } const cases[] = {
        {0, "Transferência interrompida"},
        {-1, "Arquivo truncado"},
        {200, "Ok"},
        {304, "304 Não modificado"},
        {404, "404 Arquivo não encontrado"},
        {408, "408 Timpo limite esgotado"},
        {500, "500 Erro interno no Servidor"},
        {503, "503 Serviço não disponível"},
        {206, ""},
        {418, ""},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Status);
        EXPECT_EQ(StatusText(c.Status), c.Text);
    }
}

} // namespace
} // namespace vrn
