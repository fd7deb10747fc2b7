#pragma once

// Per-user window settings. Every window keeps its position and a listed set of field values in
// QSettings(UserScope, "Pelvarq", "Varunel"), group "CurrentVersion/<window>", each value named
// after the control and its property ("EdBoatCourse.Value"). Stored values are outside input: a
// value that does not read back as the type asked for gives the caller's fallback.

#include <QString>
#include <QVariant>
#include <memory>

class QSettings;
class QWidget;

namespace vrn {

constexpr const char *kSettingsOrganization = "Pelvarq";
constexpr const char *kSettingsApplication = "Varunel";
constexpr const char *kSettingsVersion = "CurrentVersion";

class TFormSettings
{
public:
    explicit TFormSettings(const QString &windowName);
    // A window with an identity of its own (the leg calculator).
    TFormSettings(
        const QString &organization, const QString &application, const QString &windowName);
    ~TFormSettings();
    TFormSettings(const TFormSettings &) = delete;
    TFormSettings &operator=(const TFormSettings &) = delete;

    // "EdBoatCourse", "Value" -> key "EdBoatCourse.Value" in the window's group.
    static QString KeyOf(const QString &control, const QString &property);

    bool Contains(const QString &control, const QString &property) const;
    QString ReadString(
        const QString &control, const QString &property, const QString &fallback) const;
    double ReadDouble(const QString &control, const QString &property, double fallback) const;
    int ReadInt(const QString &control, const QString &property, int fallback) const;
    bool ReadBool(const QString &control, const QString &property, bool fallback) const;

    void WriteString(const QString &control, const QString &property, const QString &value);
    // Written with "." and enough digits to read back the same double.
    void WriteDouble(const QString &control, const QString &property, double value);
    void WriteInt(const QString &control, const QString &property, int value);
    void WriteBool(const QString &control, const QString &property, bool value);

    // The window's position and size ("Geometry"). Restoring keeps the window on a screen;
    // false when nothing usable was stored.
    void SaveGeometry(const QWidget &window);
    bool RestoreGeometry(QWidget &window) const;

    // Writes to disk; false when the store could not be written.
    bool Flush();

    // The file behind the store (for tests and messages).
    QString FileName() const;

private:
    QVariant Raw(const QString &key) const;

    std::unique_ptr<QSettings> FSettings;
    QString FGroup;
};

} // namespace vrn
