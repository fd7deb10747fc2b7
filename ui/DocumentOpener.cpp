#include "ui/DocumentOpener.h"

#include "ui/MessageBoxes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace vrn {
namespace {

TDocumentOpener *gOpener = nullptr;

constexpr const char *kHelpFileName = "VrnHelp.htm";

} // namespace

void SetDocumentOpener(TDocumentOpener *opener)
{
    gOpener = opener;
}

bool OpenDocument(const QUrl &url)
{
    return gOpener ? gOpener->Open(url) : QDesktopServices::openUrl(url);
}

QStringList HelpFolders()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList folders {appDir + QStringLiteral("/../share/varunel"), appDir};
#ifdef VRN_SOURCE_SHARE_DIR
    folders << QStringLiteral(VRN_SOURCE_SHARE_DIR);
#endif
    folders << QDir::currentPath();
    return folders;
}

QString FindFileIn(const QStringList &folders, const QString &name)
{
    for (const QString &folder : folders) {
        const QFileInfo info(QDir(folder), name);
        if (info.isFile()) {
            return info.canonicalFilePath();
        }
    }
    return QString();
}

void OpenHelpFile(QWidget *parent, const QStringList &folders)
{
    const QString name = QString::fromLatin1(kHelpFileName);
    const QString path = FindFileIn(folders, name);
    if (path.isEmpty()) {
        ShowMessage(parent, QStringLiteral("Help file %1 not found.").arg(name));
        return;
    }
    if (!OpenDocument(QUrl::fromLocalFile(path))) {
        ShowMessage(parent, QStringLiteral("Could not open the help file %1.").arg(path));
    }
}

} // namespace vrn
