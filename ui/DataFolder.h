#pragma once

// The per-user data folder, where the program keeps LOPS.LST and "DontShow.msg": the folder named
// by the environment variable VRN_DATA_DIR when it is set and not empty, otherwise the per-user
// application data folder of "Pelvarq"/"Varunel" (~/.local/share/Pelvarq/Varunel on Linux).
// The program never changes its current directory to it.

#include <QString>

namespace vrn {

// The folder, created on first use. Raises EVrnError "Cannot create the data folder <path>" when
// it does not exist and cannot be made.
QString DataFolder();

// A file of the data folder: DataFolder() + "/" + name.
QString DataFilePath(const QString &name);

} // namespace vrn
