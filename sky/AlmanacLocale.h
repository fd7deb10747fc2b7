#pragma once

// The calendar names of the almanac pages from a Qt locale.

#include "sky/AlmanacPgMaker.h"

#include <QLocale>

namespace vrn {

// Short month names, short and long weekday names (Sunday first) of `locale`, upper-cased by
// the locale's rules. A short month name's own abbreviation point ("janv.") is dropped, since
// the title puts ". " after every month name.
TAlmanacNames AlmanacNamesOf(const QLocale &locale);

} // namespace vrn
