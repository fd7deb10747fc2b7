#pragma once

// Monospaced fonts for text that is laid out in columns (almanac pages, sight reports, the legal
// notice). Whether a font is monospaced is judged by its glyphs: QFontInfo::fixedPitch() is false
// for fonts whose fontconfig entry carries no spacing (Noto Sans Mono, installed with common
// desktop packages) although every glyph has the same advance.

#include <QFont>
#include <QStringList>

class QPaintDevice;

namespace vrn {

// True when "i", "W", "0", "." and " " have the same advance in `font` (on `device`, or the
// screen when null), to a hundredth of a pixel.
bool HasEqualAdvances(const QFont &font, const QPaintDevice *device = nullptr);

// The families tried, in order, after the preferred ones: the system's fixed font, then the
// monospaced families of the usual Linux font packages.
QStringList MonospacedFallbackFamilies();

// The first of `preferred` and then of MonospacedFallbackFamilies() whose resolved font has
// equal advances, at `pointSize`; the system's fixed font when none has.
QFont MonospacedFont(int pointSize, const QStringList &preferred = {});

} // namespace vrn
