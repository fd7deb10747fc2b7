#include "ui/FormSettings.h"

#include "engine/NumText.h"

#include <QSettings>
#include <QWidget>
#include <limits>

namespace vrn {

TFormSettings::TFormSettings(const QString &windowName)
    : TFormSettings(QString::fromLatin1(kSettingsOrganization),
        QString::fromLatin1(kSettingsApplication), windowName)
{ }

TFormSettings::TFormSettings(
    const QString &organization, const QString &application, const QString &windowName)
    : FSettings(std::make_unique<QSettings>(QSettings::UserScope, organization, application))
    , FGroup(QString::fromLatin1(kSettingsVersion) + QLatin1Char('/') + windowName)
{ }

TFormSettings::~TFormSettings() = default;

QString TFormSettings::KeyOf(const QString &control, const QString &property)
{
    return control + QLatin1Char('.') + property;
}

QVariant TFormSettings::Raw(const QString &key) const
{
    return FSettings->value(FGroup + QLatin1Char('/') + key);
}

bool TFormSettings::Contains(const QString &control, const QString &property) const
{
    return FSettings->contains(FGroup + QLatin1Char('/') + KeyOf(control, property));
}

QString TFormSettings::ReadString(
    const QString &control, const QString &property, const QString &fallback) const
{
    const QVariant v = Raw(KeyOf(control, property));
    return v.canConvert<QString>() && !v.isNull() ? v.toString() : fallback;
}

double TFormSettings::ReadDouble(
    const QString &control, const QString &property, double fallback) const
{
    const QVariant v = Raw(KeyOf(control, property));
    if (v.isNull() || !v.canConvert<QString>()) {
        return fallback;
    }
    return ParseNumber(v.toString().toStdString()).value_or(fallback);
}

int TFormSettings::ReadInt(const QString &control, const QString &property, int fallback) const
{
    const QVariant v = Raw(KeyOf(control, property));
    if (v.isNull() || !v.canConvert<QString>()) {
        return fallback;
    }
    const auto n = ParseInteger(v.toString().toStdString());
    if (!n || *n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max()) {
        return fallback;
    }
    return static_cast<int>(*n);
}

bool TFormSettings::ReadBool(const QString &control, const QString &property, bool fallback) const
{
    const QString text = ReadString(control, property, QString()).trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1")) {
        return true;
    }
    if (text == QLatin1String("false") || text == QLatin1String("0")) {
        return false;
    }
    return fallback;
}

void TFormSettings::WriteString(
    const QString &control, const QString &property, const QString &value)
{
    FSettings->setValue(FGroup + QLatin1Char('/') + KeyOf(control, property), value);
}

void TFormSettings::WriteDouble(const QString &control, const QString &property, double value)
{
    // QString::number is locale-independent; 17 significant digits round-trip a double.
    WriteString(control, property, QString::number(value, 'g', 17));
}

void TFormSettings::WriteInt(const QString &control, const QString &property, int value)
{
    WriteString(control, property, QString::number(value));
}

void TFormSettings::WriteBool(const QString &control, const QString &property, bool value)
{
    WriteString(control, property, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void TFormSettings::SaveGeometry(const QWidget &window)
{
    FSettings->setValue(FGroup + QStringLiteral("/Geometry"), window.saveGeometry());
}

bool TFormSettings::RestoreGeometry(QWidget &window) const
{
    const QVariant v = Raw(QStringLiteral("Geometry"));
    if (v.isNull() || !v.canConvert<QByteArray>()) {
        return false;
    }
    // restoreGeometry rejects a damaged blob and moves a window that would be off every screen.
    return window.restoreGeometry(v.toByteArray());
}

bool TFormSettings::Flush()
{
    FSettings->sync();
    return FSettings->status() == QSettings::NoError;
}

QString TFormSettings::FileName() const
{
    return FSettings->fileName();
}

} // namespace vrn
