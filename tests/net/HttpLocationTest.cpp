#include "net/HttpLocation.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

THttpLocation At(const char *url)
{
    const auto r = ParseLocation(url, {});
    EXPECT_TRUE(r.Location) << url << ": " << r.Error;
    return r.Location.value_or(THttpLocation {});
}

TEST(HttpLocation, AbsoluteLocations)
{
    struct
    {
        const char *Name, *Text;
        THttpScheme Scheme;
        const char *Host;
        int Port;
        const char *Uri, *BaseDir;
    } const cases[] = {
        {"port and folder", "http://host:8080/dir/file.vrn", THttpScheme::Http, "host", 8080,
            "/dir/file.vrn", "/dir/"},
        {"https default port", "https://host/x.cht", THttpScheme::Https, "host", 443, "/x.cht",
            "/"},
        {"https on another port", "https://host:8443/a/x.cht", THttpScheme::Https, "host", 8443,
            "/a/x.cht", "/a/"},
        {"scheme in capitals, case of the rest kept", "HTTP://Host.Example/Dir/File.VRN",
            THttpScheme::Http, "Host.Example", 80, "/Dir/File.VRN", "/Dir/"},
        {"dot dot collapsed", "http://host/a/b/../c.cht", THttpScheme::Http, "host", 80, "/a/c.cht",
            "/a/b/../"},
        {"fragment dropped", "http://host/x.cht#top", THttpScheme::Http, "host", 80, "/x.cht", "/"},
        {"query kept, folder before it", "http://host/d/get?f=a/b.vrn", THttpScheme::Http, "host",
            80, "/d/get?f=a/b.vrn", "/d/"},
        {"dot dot above the root stays at the root", "http://host/../../x.cht", THttpScheme::Http,
            "host", 80, "/x.cht", "/../../"},
        {"no path", "http://host", THttpScheme::Http, "host", 80, "/", "/"},
        {"empty port is the default", "http://host:/x.vrn", THttpScheme::Http, "host", 80, "/x.vrn",
            "/"},
        {"IPv6 literal", "http://[::1]:8080/x.vrn", THttpScheme::Http, "::1", 8080, "/x.vrn", "/"},
        {"blanks around", "  http://h/x.vrn \t", THttpScheme::Http, "h", 80, "/x.vrn", "/"},
        {"port 65535", "http://h:65535/x.vrn", THttpScheme::Http, "h", 65535, "/x.vrn", "/"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = ParseLocation(c.Text, {});
        ASSERT_TRUE(r.Location) << r.Error;
        EXPECT_EQ(r.Location->Scheme, c.Scheme);
        EXPECT_EQ(r.Location->Host, c.Host);
        EXPECT_EQ(r.Location->Porta, c.Port);
        EXPECT_EQ(r.Location->URI, c.Uri);
        EXPECT_EQ(r.Location->BaseDir, c.BaseDir);
    }
}

// Expected paths: RFC 3986, 5.4.1 and 5.4.2, with the base "http://a/b/c/d;p?q", checked with
// Python's urllib.parse.urljoin; three rows differ on purpose, as marked.
TEST(HttpLocation, RelativeLocationsResolveAgainstTheFolder)
{
    const THttpLocation base = At("http://a/b/c/d;p?q");

    struct
    {
        const char *Text, *Url;
    } const cases[] = {
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g/"}, // a server without a path is asked for "/"
        {"?y", "http://a/b/c/?y"}, // a query alone is relative to the folder, not the file
        {"g?y", "http://a/b/c/g?y"},
        {"g#s", "http://a/b/c/g"}, // the fragment is never sent
        {";x", "http://a/b/c/;x"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        const auto r = ParseLocation(c.Text, base);
        ASSERT_TRUE(r.Location) << r.Error;
        EXPECT_EQ(LocationURL(*r.Location), c.Url);
    }
}

TEST(HttpLocation, NextLocationKeepsServerAndFolder)
{
    const THttpLocation first = At("http://host:8080/dir/file.vrn");
    const auto second = ParseLocation("other.cht", first);
    ASSERT_TRUE(second.Location);
    EXPECT_EQ(LocationURL(*second.Location), "http://host:8080/dir/other.cht");
    EXPECT_EQ(second.Location->BaseDir, "/dir/");
    // The scheme stays with the server: a path after an https location stays on https.
    const auto tls = ParseLocation("/y.cht", At("https://h:8443/d/x.vrn"));
    ASSERT_TRUE(tls.Location);
    EXPECT_EQ(LocationURL(*tls.Location), "https://h:8443/y.cht");
}

TEST(HttpLocation, RefusedLocationsLeaveTheStateAsItWas)
{
    const THttpLocation current = At("http://host/dir/a.vrn");

    struct
    {
        const char *Name, *Text, *Why;
    } const cases[] = {
        {"mail address", "mailto:someone@host", "mail and ftp"},
        {"ftp anywhere", "http://host/ftp:x.cht", "mail and ftp"},
        {"FTP in capitals", "FTP://host/x.cht", "mail and ftp"},
        {"another scheme", "file:///etc/x.cht", "only http and https"},
        {"a drive path", "C:\\charts\\x.cht", "only http and https"},
        {"scheme without server", "http:/x.vrn", "no server named after the scheme"},
        {"no host", "http:///x.vrn", "no server named"},
        {"user name", "http://me@host/x.vrn", "user names"},
        {"port 0", "http://host:0/x.vrn", "invalid port"},
        {"port too large", "http://host:65536/x.vrn", "invalid port"},
        {"port with a sign", "http://host:+80/x.vrn", "invalid port"},
        {"port not digits", "http://host:8o/x.vrn", "invalid port"},
        {"blank in the host", "http://ho st/x.vrn", "invalid server name"},
        {"unclosed IPv6", "http://[::1/x.vrn", "invalid server address"},
        {"IPv6 with letters", "http://[fe80::zz]/x.vrn", "invalid server address"},
        {"control character", "http://host/a\nb.vrn", "control characters"},
        {"empty", "   ", "no location given"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = ParseLocation(c.Text, current);
        EXPECT_FALSE(r.Location);
        EXPECT_NE(r.Error.find(c.Why), std::string::npos) << r.Error;
        EXPECT_EQ(r.Error.rfind("Location refused: ", 0), 0u) << r.Error;
    }
    EXPECT_FALSE(ParseLocation(std::string(kMaxLocationBytes + 1, 'a'), current).Location);
}

TEST(HttpLocation, APathNeedsAServerNamedBefore)
{
    const auto r = ParseLocation("charts/x.cht", {});
    EXPECT_FALSE(r.Location);
    EXPECT_EQ(r.Error, "Location refused: no server named");
}

TEST(HttpLocation, UrlGivesTheLocationBack)
{
    for (const char *url : {"http://host/x.cht", "https://host/x.cht", "http://host:8080/d/x.vrn",
             "https://host:80/x.vrn", "http://host:443/x.vrn", "http://[::1]:81/x.vrn"}) {
        SCOPED_TRACE(url);
        EXPECT_EQ(LocationURL(At(url)), url);
    }
}

TEST(HttpLocation, HostHeaderValue)
{
    EXPECT_EQ(HostHeaderValue(At("http://h/x")), "h");
    EXPECT_EQ(HostHeaderValue(At("http://h:8080/x")), "h:8080");
    EXPECT_EQ(HostHeaderValue(At("https://h/x")), "h");
    EXPECT_EQ(HostHeaderValue(At("https://h:80/x")), "h:80");
    EXPECT_EQ(HostHeaderValue(At("http://[::1]:8080/x")), "[::1]:8080");
}

TEST(HttpLocation, LastPathSegment)
{
    EXPECT_EQ(LastPathSegment("/dir/file.vrn"), "file.vrn");
    EXPECT_EQ(LastPathSegment("/dir/"), "");
    EXPECT_EQ(LastPathSegment("file.vrn"), "file.vrn");
    // Never cut: a long name is the file's name.
    const std::string longName(200, 'n');
    EXPECT_EQ(LastPathSegment("/d/" + longName), longName);
}

// Expected encodings: RFC 3986, 2.1 and 3.3 (pchar = unreserved / pct-encoded / sub-delims /
// ":" / "@"), UTF-8 bytes each encoded.
TEST(HttpLocation, EncodeRequestPath)
{
    struct
    {
        const char *Uri, *Sent;
    } const cases[] = {
        {"/a b.cht", "/a%20b.cht"},
        {"/carta n\xC2\xBA"
         "1.cht",
            "/carta%20n%C2%BA1.cht"},
        {"/already%20encoded.cht", "/already%20encoded.cht"},
        {"/100%.cht", "/100%25.cht"},
        {"/a%2", "/a%252"},
        {"/q?x=1&y=2", "/q?x=1&y=2"},
        {"/\"<>\\^`{|}", "/%22%3C%3E%5C%5E%60%7B%7C%7D"},
        {"/~user/x-y_z.cht", "/~user/x-y_z.cht"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Uri);
        EXPECT_EQ(EncodeRequestPath(c.Uri), c.Sent);
    }
}

} // namespace
} // namespace vrn
