#include "sky/AlmanacLocale.h"

namespace vrn {
namespace {

std::string Upper(const QLocale &locale, QString name)
{
    return locale.toUpper(name.trimmed()).toStdString();
}

} // namespace

TAlmanacNames AlmanacNamesOf(const QLocale &locale)
{
    TAlmanacNames names;
    for (int m = 1; m <= 12; ++m) {
        QString month = locale.monthName(m, QLocale::ShortFormat).trimmed();
        if (month.endsWith(QLatin1Char('.')))
            month.chop(1);
        names.ShortMonths[std::size_t(m - 1)] = Upper(locale, month);
    }
    // Qt counts Monday = 1 .. Sunday = 7; the pages count Sunday first.
    for (int k = 0; k < 7; ++k) {
        const int qtDay = k == 0 ? 7 : k;
        names.ShortDays[std::size_t(k)] =
            Upper(locale, locale.dayName(qtDay, QLocale::ShortFormat));
        names.LongDays[std::size_t(k)] = Upper(locale, locale.dayName(qtDay, QLocale::LongFormat));
    }
    return names;
}

} // namespace vrn
