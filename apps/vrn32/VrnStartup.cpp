#include "apps/vrn32/VrnStartup.h"

#include "apps/vrn32/fVrnSpla.h"
#include "engine/DateTime.h"
#include "sky/fAlmanacPages.h"
#include "ui/FormSettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

namespace vrn {

void SetApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganization));
    QCoreApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    QCoreApplication::setApplicationVersion(QStringLiteral(VRN_VERSION));
}

void ApplyStartupFormats(const QString &userShortDate)
{
    SetShortDateFormat(DateFormatFromUserPattern(userShortDate.toStdString(), ShortDateFormat()));
}

QString UserShortDatePattern()
{
    return QLocale::system().dateFormat(QLocale::ShortFormat);
}

TVrn32Options ParseVrn32Arguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Varunel: celestial navigation, almanac, star finder and charts."));
    parser.addHelpOption();
    parser.addVersionOption();
    // Further options (--almanac, --chart FILE) are added here and read into TVrn32Options.
    const QCommandLineOption almanac(QStringLiteral("almanac"),
        QStringLiteral("Show the Nautical Almanac Page Maker at start."));
    parser.addOption(almanac);
    const QCommandLineOption chart(QStringLiteral("chart"),
        QStringLiteral("Open a window with one chart view on the vector chart FILE."),
        QStringLiteral("FILE"));
    parser.addOption(chart);
    TVrn32Options options;
    if (!parser.parse(arguments)) {
        options.Ok = false;
        options.Error = parser.errorText();
        return options;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    options.ShowAlmanac = parser.isSet(almanac);
    options.ChartFile = parser.value(chart);
    if (!parser.positionalArguments().isEmpty()) {
        options.Ok = false;
        options.Error = QStringLiteral("Unexpected argument: %1")
                            .arg(parser.positionalArguments().constFirst());
    }
    return options;
}

TVrn32Windows::TVrn32Windows()
    : FLauncher(std::make_unique<TFormVarunelSplash>())
    , FAlmanacPages(std::make_unique<TFormAlmanacPages>())
{
    // The other windows are created here, in this order, each handed to the launcher (and to
    // the windows that open it) as it lands; only the launcher is shown at start:
    //   chart viewer, celestial navigation, GPS interface, chart object editor, leg calculator,
    //   almanac page maker, star finder, boat course and speed, Sun meridian passage by equal
    //   altitudes.
}

TVrn32Windows::~TVrn32Windows() = default;

} // namespace vrn
