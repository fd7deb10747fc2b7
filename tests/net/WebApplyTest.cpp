#include "net/WebApply.h"

#include "TempFolder.h"
#include "engine/VrnError.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

struct TViewer
{
    std::vector<std::string> Calls;
    bool SaveAnswer = true;
    std::size_t Objects = 0;
    std::string ChartRef;

    TWebApplyHooks Hooks()
    {
        return {
            [this] {
                Calls.push_back("ask");
                return SaveAnswer;
            },
            [this](TObjList &objects, std::unique_ptr<TChtFileObject> ref) {
                Calls.push_back("set desktop");
                Objects = objects.Count();
                ChartRef = ref ? ref->FileName : "none";
                return ref ? std::vector<std::string> {"File " + ChartRef + " not found"}
                           : std::vector<std::string> {};
            },
            [this](const std::string &file) { Calls.push_back("load chart " + file); },
            [this](const std::string &m) { Calls.push_back("message " + m); },
        };
    }
};

TEST(WebApply, DesktopAndChart)
{
    TTempFolder cache;
    const auto desk = cache
                          .Write("desk.vrn",
                              "O;Chart;charts/coast.cht;45;10;5\r\n\r\nO;Route;r\r\nP;1;2;p\r\n\r\n"
                              "O;ImgChart;\r\nA;CIDFile=../x.CID\r\n\r\n")
                          .string();
    const auto solo = cache.Write("solo.vrn", "O;Route;r\r\nP;1;2;p\r\n\r\n").string();
    const auto garbage = cache.Write("bad.vrn", std::string("\0\1\2", 3)).string();
    const std::string chart = (cache.Path() / "coast.cht").string();

    struct
    {
        const char *Name;
        TWebFileKind Kind;
        std::string Desktop;
        bool SaveAnswer;
        bool Applied;
        std::vector<std::string> Calls;
        std::string ChartRef;
    } const cases[] = {
        {"desktop with its chart", TWebFileKind::Desktop, desk, true, true,
            {"ask", "set desktop",
                "message Chart image ../x.CID lies outside the cache folder and is not loaded\n"
                "File "
                    + chart + " not found"},
            chart},
        {"desktop without a chart is set at once", TWebFileKind::Desktop, solo, true, true,
            {"ask", "set desktop"}, "none"},
        {"save cancelled keeps the desktop", TWebFileKind::Desktop, solo, false, false, {"ask"},
            ""},
        {"unreadable desktop asks nothing", TWebFileKind::Desktop, garbage, true, false,
            {"message File " + garbage + " is not a chart file"}, ""},
        {"chart", TWebFileKind::Chart, "", true, true, {"ask", "load chart " + chart}, ""},
        {"chart, save cancelled", TWebFileKind::Chart, "", false, false, {"ask"}, ""},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TViewer viewer;
        viewer.SaveAnswer = c.SaveAnswer;
        EXPECT_EQ(ApplyWebFetch(c.Kind, c.Desktop, chart, viewer.Hooks()), c.Applied);
        EXPECT_EQ(viewer.Calls, c.Calls);
        EXPECT_EQ(viewer.ChartRef, c.ChartRef);
    }
}

TEST(WebApply, AFailureOfTheViewSaysWhy)
{
    TTempFolder cache;
    TViewer viewer;
    TWebApplyHooks hooks = viewer.Hooks();
    hooks.LoadChart = [](const std::string &file) {
        throw EVrnError("File " + file + " not found");
    };
    EXPECT_FALSE(ApplyWebFetch(TWebFileKind::Chart, "", "/c/x.cht", hooks));
    EXPECT_EQ(viewer.Calls, (std::vector<std::string> {"ask", "message File /c/x.cht not found"}));
}

} // namespace
} // namespace vrn
