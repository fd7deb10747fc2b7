#pragma once

// What the chart viewer does with a fetch that ended complete: after the changed-desktop
// question, a fetched desktop (with the chart it brought along) replaces the desktop, a fetched
// chart replaces the vector chart. The viewer's operations are handed in, so that this runs
// without the window.

#include "charts/ChtFile.h"
#include "net/WebCharts.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vrn {

struct TWebApplyHooks
{
    // The changed-desktop question: true to go on (answered No, or saved); false keeps the
    // desktop (a cancelled or failed save).
    std::function<bool()> AskSaveDesktop;
    // Makes the objects the view's desktop with the chart reference (none: the vector chart
    // stays); returns what could not be used (the chart view's SetDesktop).
    std::function<std::vector<std::string>(
        TObjList &objects, std::unique_ptr<TChtFileObject> chartRef)>
        SetDesktop;
    // Opens the vector chart file in place of the open one.
    std::function<void(const std::string &chartFile)> LoadChart;
    // A message for the user: a failure, or (in one message) what was left out of the fetched
    // desktop and of its chart.
    std::function<void(const std::string &message)> ShowMessage;
};

// Applies the fetched desktop (kind Desktop, desktopPath; its chart reference already names its
// cached copy) or chart (kind Chart, chartPath). True when the view took it.
bool ApplyWebFetch(TWebFileKind kind, const std::string &desktopPath, const std::string &chartPath,
    const TWebApplyHooks &hooks);

} // namespace vrn
