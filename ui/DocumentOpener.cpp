#include "ui/DocumentOpener.h"

#include "ui/MessageBoxes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

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
        ShowHelpWindow(path);
    }
}

QWidget *ShowHelpWindow(const QString &path)
{
    static QPointer<QWidget> window;
    if (!window) {
        window = new QWidget(nullptr, Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("FormHelp"));
        window->setWindowTitle(QStringLiteral("Varunel Help"));
        auto *browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenLinks(true);
        // Links off the help file (web addresses) go to the browser, if there is one.
        browser->setOpenExternalLinks(false);
        QObject::connect(
            browser, &QTextBrowser::anchorClicked, browser, [browser](const QUrl &url) {
                if (url.isLocalFile() || url.isRelative())
                    return;
                browser->setSource(browser->source());
                OpenDocument(url);
            });
        auto *buttons = new QDialogButtonBox(window);
        QPushButton *close =
            buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
        close->setObjectName(QStringLiteral("BClose"));
        QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
        auto *layout = new QVBoxLayout(window);
        layout->addWidget(browser, 1);
        layout->addWidget(buttons);
        window->resize(760, 600);
    }
    auto *browser = window->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
    browser->setSource(QUrl::fromLocalFile(path));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace vrn
