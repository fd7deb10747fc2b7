#include "apps/kartograv/KartogravStartup.h"
#include "apps/kartograv/fKartogravSplash.h"
#include "ui/FormSettings.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(vrn::kSettingsOrganization));
    QCoreApplication::setApplicationName(QStringLiteral("Kartograv"));
    QApplication::setWindowIcon(vrn::KartogravPixmap(64));
    // The launcher ends the program; a tool window closed last only hides.
    QApplication::setQuitOnLastWindowClosed(false);
    vrn::ApplyKartogravFormats(QLocale::system().dateFormat(QLocale::ShortFormat));
    vrn::TKartogravWindows windows;
    windows.Launcher().show();
    return app.exec();
}
