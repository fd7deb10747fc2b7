#include "net/WebApply.h"

#include <exception>

namespace vrn {

namespace {

std::string LeftOut(const TFetchedContents &fetched)
{
    std::string text;
    for (const std::string &m : fetched.Desktop.Messages)
        text += m + "\n";
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
            TFetchedContents fetched = ReadFetchedObjects(desktopPath, TWebFileKind::Desktop);
            if (hooks.AskSaveDesktop && !hooks.AskSaveDesktop())
                return false;
            hooks.SetDesktop(fetched.Desktop.Objects, std::move(fetched.Desktop.ChartRef));
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
