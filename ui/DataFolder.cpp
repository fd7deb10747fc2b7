#include "ui/DataFolder.h"

#include "engine/VrnError.h"
#include "ui/FormSettings.h"

#include <QDir>
#include <QStandardPaths>

namespace vrn {

QString DataFolder()
{
    QString folder = qEnvironmentVariable("VRN_DATA_DIR");
    if (folder.isEmpty()) {
        // The application data location of Pelvarq/Varunel, spelled out so that it does not
        // depend on the names a test executable gives its QCoreApplication.
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QLatin1Char('/') + QLatin1String(kSettingsOrganization) + QLatin1Char('/')
            + QLatin1String(kSettingsApplication);
    }
    folder = QDir::cleanPath(folder);
    if (!QDir().mkpath(folder)) {
        throw EVrnError(
            "Cannot create the data folder " + QDir::toNativeSeparators(folder).toStdString());
    }
    return folder;
}

QString DataFilePath(const QString &name)
{
    return DataFolder() + QLatin1Char('/') + name;
}

} // namespace vrn
