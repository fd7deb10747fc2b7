#pragma once

// The marker bitmap cache: the icons of marks, by name, shared by every chart view of the
// process. The first chart view creates it and the last one frees it (a use count); all calls
// belong to the main thread.

#include <QImage>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

void AcquireMarkerBitmaps();
void ReleaseMarkerBitmaps();

// The icon of that name, ignoring letter case ("boat" is "BOAT"). A name not in the cache gets a
// text label icon, registered under the name and found again later. With transparent set, olive
// pixels are transparent (the icon drawn on screen); otherwise the icon is as stored (printers).
// A null image when no cache exists.
QImage GetMarkerBitmap(std::string_view name, bool transparent = false);

// The names of the cache's icons in name order (upper case), label icons registered since
// included; empty when no cache exists.
std::vector<std::string> MarkerBitmapNames();

// The icons every cache starts with, in load order.
constexpr const char *kMarkerBitmapNames[] = {"CAMERA", "HAND", "REDMARK", "WARNING", "EYE", "BOAT",
    "GREENMARK", "INFO", "SAILBOAT", "ROCK", "TITANIC", "ANCOR", "HALF"};

} // namespace vrn
