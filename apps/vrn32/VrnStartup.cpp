#include "apps/vrn32/VrnStartup.h"

#include "apps/vrn32/fBoatMovement.h"
#include "apps/vrn32/fVrnSpla.h"
#include "celestial/fMeridianPassageByEqualAltitudes.h"
#include "celestial/fVrn32.h"
#include "celestial/fVrnCalculator.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "sky/fAlmanacPages.h"
#include "sky/fTAstroChart.h"
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
{
    // The order of creation: launcher, chart viewer, celestial navigation, GPS interface, chart
    // object editor, leg calculator, almanac page maker, star finder, boat course and speed, Sun
    // meridian passage by equal altitudes. Windows still to come take their places when they
    // land; their launcher buttons stay disabled until then. Only the launcher is shown.
    CreateAstros();
    FLauncher = std::make_unique<TFormVarunelSplash>();
    FCelestialNavigation = std::make_unique<TFormVrn32>();
    FLegCalculator = std::make_unique<TFormRouteCalculator>();
    FAlmanacPages = std::make_unique<TFormAlmanacPages>();
    FStarFinder = std::make_unique<TFormStarFinder>();
    FBoatMovement = std::make_unique<TFormBoatMovement>();
    FEqualAltitudes = std::make_unique<TFormMeridianPassageByEqualAltitudes>();

    FLauncher->SetCelestialNavigationWindow(FCelestialNavigation.get());
    FLauncher->SetStarFinderWindow(FStarFinder.get());
    FLauncher->SetStarFinderHandOver([this] { FCelestialNavigation->BStarFinderClick(); });
    FCelestialNavigation->SetAlmanacPagesWindow(FAlmanacPages.get());
    FCelestialNavigation->SetStarFinderWindow(FStarFinder.get());
    FStarFinder->SetBoatMovementDialog(FBoatMovement.get());
    FCelestialNavigation->SetBoatMovementDialog(FBoatMovement.get());
    FCelestialNavigation->SetEqualAltitudesWindow(FEqualAltitudes.get());
    FEqualAltitudes->SetBoatMovementDialog(FBoatMovement.get());
}

TVrn32Windows::~TVrn32Windows()
{
    FEqualAltitudes.reset();
    FBoatMovement.reset();
    FStarFinder.reset();
    FAlmanacPages.reset();
    FLegCalculator.reset();
    FCelestialNavigation.reset();
    FLauncher.reset();
    FreeAstros();
}

} // namespace vrn
