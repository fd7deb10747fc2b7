#include "celestial/WindowFields.h"

#include "common/VrnEdit.h"
#include "engine/DateTime.h"
#include "ui/FormSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

namespace vrn {

void FillDipUnits(QComboBox &units, int storedIndex)
{
    units.clear();
    units.addItems({QStringLiteral("meters"), QStringLiteral("feet"), QStringLiteral("minutes")});
    units.setCurrentIndex(storedIndex >= 0 && storedIndex < units.count() ? storedIndex : 0);
}

void AppendShortDateHint(QLineEdit &dateField)
{
    dateField.setToolTip(dateField.toolTip() + QStringLiteral(" (")
        + QString::fromStdString(ShortDateFormat().Pattern()) + QStringLiteral(")"));
}

void RestorePosition(const TFormSettings &settings, TKaPositionEdit &field)
{
    const double v = settings.ReadDouble(field.objectName(), QStringLiteral("Position"), 0);
    field.SetPosition(std::isfinite(v) ? v : 0);
}

void RestoreTime(const TFormSettings &settings, TKaTimeEdit &field)
{
    const double v = settings.ReadDouble(field.objectName(), QStringLiteral("Value"), 0);
    field.SetValue(std::isfinite(v) && v >= 0 && v < 1 ? v : 0);
}

void StorePosition(TFormSettings &settings, const TKaPositionEdit &field)
{
    settings.WriteDouble(field.objectName(), QStringLiteral("Position"), field.Position());
}

void StoreTime(TFormSettings &settings, const TKaTimeEdit &field)
{
    settings.WriteDouble(field.objectName(), QStringLiteral("Value"), field.Value());
}

QWidget *LabelFor(const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QString JoinReport(const std::vector<std::string> &lines)
{
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const auto &line : lines)
        text.append(QString::fromStdString(line));
    return text.join(QLatin1Char('\n'));
}

} // namespace vrn
