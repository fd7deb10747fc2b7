#include "net/WebApply.h"

#include <exception>

namespace vrn {

namespace {

std::string LeftOut(const TFetchedContents &fetched)
{
    std::string text;
    for (const TChartFileMessage &m : fetched.Contents.Messages)
        text += m.Text + (m.Detail.empty() ? "" : ": " + m.Detail) + "\n";
    for (const std::string &image : fetched.RefusedImages)
        text += "Chart image " + image + " lies outside the cache folder and is not loaded\n";
    if (!text.empty())
        text.pop_back();
    return text;
}

} // namespace

bool ApplyWebFetch(TWebFileKind kind, const std::string &desktopPath, const std::string &chartPath,
    const TWebApplyHooks &hooks)
{
    const auto show = [&](const std::string &m) {
        if (hooks.ShowMessage && !m.empty())
            hooks.ShowMessage(m);
    };
    try {
        if (kind == TWebFileKind::Desktop) {
            // Read before the question: a desktop that cannot be read replaces nothing.
            TFetchedContents fetched = ReadFetchedObjects(desktopPath);
            if (hooks.AskSaveDesktop && !hooks.AskSaveDesktop())
                return false;
            hooks.SetDesktop(fetched.Contents.Objects, std::move(fetched.Contents.ChartRef));
            show(LeftOut(fetched));
            return true;
        }
        if (kind == TWebFileKind::Chart) {
            if (hooks.AskSaveDesktop && !hooks.AskSaveDesktop())
                return false;
            hooks.LoadChart(chartPath);
            return true;
        }
    } catch (const std::exception &e) {
        show(e.what());
    }
    return false;
}

} // namespace vrn
