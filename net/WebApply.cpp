#include "net/WebApply.h"

#include <exception>

namespace vrn {

namespace {

std::string Lines(const std::vector<std::string> &a, const std::vector<std::string> &b)
{
    std::string text;
    for (const auto *list : {&a, &b})
        for (const std::string &m : *list)
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
            const std::vector<std::string> setLines =
                hooks.SetDesktop(fetched.Desktop.Objects, std::move(fetched.Desktop.ChartRef));
            show(Lines(fetched.Desktop.Messages, setLines));
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
