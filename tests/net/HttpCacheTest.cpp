#include "net/HttpCache.h"

#include "TempFolder.h"
#include "engine/VrnError.h"
#include "net/HttpRequest.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

TEST(HttpCache, SegmentsThatCannotNameACachedFile)
{
    struct
    {
        std::string Segment;
        const char *Why; // empty: accepted
    } const cases[] = {
        {"desk.vrn", ""},
        {"Carta N\xC2\xBA 1.cht", ""},
        {"get.php?f=x.vrn", ""},
        {std::string(255, 'n'), ""},
        {"", "names no file"},
        {".", "names a folder"},
        {"..", "names a folder"},
        {"a\\..\\..\\x.cht", "path separator"},
        {"a\tb.cht", "control characters"},
        {std::string("a\0b.cht", 7), "control characters"},
        {std::string(256, 'n'), "longer than 255 bytes"},
        {std::string(kCacheIndexName), "reserved"},
        {std::string(kCacheIndexName) + ".tmp", "reserved"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Segment.substr(0, 40));
        const auto error = TWebCache::SegmentError(c.Segment);
        if (*c.Why == 0)
            EXPECT_FALSE(error) << *error;
        else
            EXPECT_NE(error.value_or("").find(c.Why), std::string::npos) << error.value_or("");
    }
}

TEST(HttpCache, PrepareCreatesTheFolderOrSaysWhy)
{
    TTempFolder tmp;
    const TWebCache nested(tmp.Path() / "a" / "b");
    nested.Prepare();
    EXPECT_TRUE(std::filesystem::is_directory(tmp.Path() / "a" / "b"));
    EXPECT_EQ(nested.PathFor("x.cht"), tmp.Path() / "a" / "b" / "x.cht");

    const auto file = tmp.Write("plain-file", "x");
    const TWebCache blocked(file / "cache");
    try {
        blocked.Prepare();
        FAIL() << "a folder below a file was created";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()).rfind(
                      "Cannot create the cache folder " + (file / "cache").string(), 0),
            0u)
            << e.what();
    }
}

TEST(HttpCache, IfModifiedSinceOnlyForTheSameUrl)
{
    TTempFolder tmp;
    const TWebCache cache(tmp.Path());
    const std::string url = "http://host/dir/desk.vrn";
    tmp.Write("desk.vrn", "O;Route;r\n");
    EXPECT_FALSE(cache.IfModifiedSince("desk.vrn", url)) << "no record yet";

    cache.Record("desk.vrn", url, 784111777);
    EXPECT_EQ(cache.IfModifiedSince("desk.vrn", url), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(cache.RecordedUrl("desk.vrn"), url);
    // The same file name on another server, another port, another folder or scheme is another
    // file.
    for (const char *other : {"http://other/dir/desk.vrn", "http://host:8080/dir/desk.vrn",
             "http://host/desk.vrn", "https://host/dir/desk.vrn"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(cache.IfModifiedSince("desk.vrn", other));
    }
    // Fetching from another URL replaces the record.
    cache.Record("desk.vrn", "http://other/desk.vrn", std::nullopt);
    EXPECT_FALSE(cache.IfModifiedSince("desk.vrn", url));
    EXPECT_TRUE(cache.IfModifiedSince("desk.vrn", "http://other/desk.vrn"));

    std::filesystem::remove(tmp.Path() / "desk.vrn");
    EXPECT_FALSE(cache.IfModifiedSince("desk.vrn", "http://other/desk.vrn")) << "file gone";
}

TEST(HttpCache, ForgetRemovesTheFileAndOnlyItsRecord)
{
    TTempFolder tmp;
    const TWebCache cache(tmp.Path());
    tmp.Write("a.cht", "a");
    tmp.Write("b.cht", "b");
    cache.Record("a.cht", "http://h/a.cht", std::nullopt);
    cache.Record("b.cht", "http://h/b.cht", std::nullopt);
    cache.Forget("a.cht");
    EXPECT_FALSE(std::filesystem::exists(tmp.Path() / "a.cht"));
    EXPECT_EQ(cache.RecordedUrl("a.cht"), "");
    EXPECT_TRUE(std::filesystem::exists(tmp.Path() / "b.cht"));
    EXPECT_EQ(cache.RecordedUrl("b.cht"), "http://h/b.cht");
}

TEST(HttpCache, AGarbledIndexIsReadForWhatItHolds)
{
    TTempFolder tmp;
    tmp.Write(std::string(kCacheIndexName),
        std::string("\0\0\xff\n\tno-name\nno-url\t\nx.cht\thttp://h/x.cht\n", 42));
    const TWebCache cache(tmp.Path());
    EXPECT_EQ(cache.RecordedUrl("x.cht"), "http://h/x.cht");
    EXPECT_EQ(cache.RecordedUrl("no-url"), "");
    cache.Record("y.cht", "http://h/y.cht", std::nullopt);
    EXPECT_EQ(cache.RecordedUrl("x.cht"), "http://h/x.cht");
    EXPECT_EQ(cache.RecordedUrl("y.cht"), "http://h/y.cht");
}

} // namespace
} // namespace vrn
