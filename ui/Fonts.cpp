#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>

namespace vrn {

bool HasEqualAdvances(const QFont &font, const QPaintDevice *device)
{
    const QFontMetricsF metrics = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const double reference = metrics.horizontalAdvance(QLatin1Char('W'));
    if (reference <= 0)
        return false;
    for (const QChar c : {QLatin1Char('i'), QLatin1Char('0'), QLatin1Char('.'), QLatin1Char(' ')}) {
        if (std::fabs(metrics.horizontalAdvance(c) - reference) > 0.01)
            return false;
    }
    return true;
}

QStringList MonospacedFallbackFamilies()
{
    return {QFontDatabase::systemFont(QFontDatabase::FixedFont).family(),
        QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
        QStringLiteral("Noto Sans Mono"), QStringLiteral("Nimbus Mono PS"),
        QStringLiteral("Courier"), QStringLiteral("monospace")};
}

QFont MonospacedFont(int pointSize, const QStringList &preferred)
{
    for (const QString &family : preferred + MonospacedFallbackFamilies()) {
        QFont font(family, pointSize);
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        if (HasEqualAdvances(font)) {
            // The family the platform really resolved, so that the printer gets the same one.
            font.setFamily(QFontInfo(font).family());
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
    return font;
}

} // namespace vrn
