#include "apps/vrn32/VrnStartup.h"

#include "apps/vrn32/ChartViewerIcons.h"
#include "apps/vrn32/ChartViewerWiring.h"
#include "apps/vrn32/RouteTrackPanels.h"
#include "apps/vrn32/fBoatMovement.h"
#include "apps/vrn32/fVrnSpla.h"
#include "apps/vrn32/fchvrn32.h"
#include "celestial/fMeridianPassageByEqualAltitudes.h"
#include "celestial/fVrn32.h"
#include "celestial/fVrnCalculator.h"
#include "charts/Dcarta.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "gps/fgpsxf.h"
#include "sky/fAlmanacPages.h"
#include "sky/fTAstroChart.h"
#include "ui/FormSettings.h"

#include <QAction>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QSessionManager>
#include <QToolBar>

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
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Windows shown at start besides the launcher (for screenshots and scripted checks).
    const QCommandLineOption celestial(QStringLiteral("celestial"),
        QStringLiteral("Show the Celestial Navigation window at start."));
    parser.addOption(celestial);
    const QCommandLineOption almanac(QStringLiteral("almanac"),
        QStringLiteral("Show the Nautical Almanac Page Maker at start."));
    parser.addOption(almanac);
    const QCommandLineOption gps(QStringLiteral("gps"),
        QStringLiteral("Show the chart viewer and the GPS Interface window at start."));
    parser.addOption(gps);
    const QCommandLineOption chart(QStringLiteral("chart"),
        QStringLiteral("Show the chart viewer with the vector chart or desktop (.vrn) FILE."),
        QStringLiteral("FILE"));
    parser.addOption(chart);
    parser.addPositionalArgument(QStringLiteral("location-file"),
        QStringLiteral("A text file whose first line the chart viewer opens at start."),
        QStringLiteral("[location-file]"));
    TVrn32Options options;
    if (!parser.parse(arguments)) {
        options.Ok = false;
        options.Error = parser.errorText();
        return options;
    }
    if (parser.isSet(help)) {
        options.ShowText = true;
        options.Text = parser.helpText();
        return options;
    }
    if (parser.isSet(version)) {
        options.ShowText = true;
        options.Text = QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return options;
    }
    options.ShowCelestial = parser.isSet(celestial);
    options.ShowAlmanac = parser.isSet(almanac);
    options.ShowGps = parser.isSet(gps);
    options.ChartFile = parser.value(chart);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        options.Ok = false;
        options.Error = QStringLiteral("Unexpected argument: %1").arg(positional[1]);
    } else if (!positional.isEmpty()) {
        options.LocationFile = positional.constFirst();
    }
    return options;
}

TVrn32Windows::TVrn32Windows()
{
    // The order of creation: launcher, chart viewer, celestial navigation, GPS interface, chart
    // object editor, leg calculator, almanac page maker, star finder, boat course and speed, Sun
    // meridian passage by equal altitudes. Windows still to come take their places when they
    // land; their buttons stay disabled until then. Only the launcher is shown. The GPS window,
    // the leg calculator and the route editor attach to the chart viewer through its setters.
    CreateAstros();
    FLauncher = std::make_unique<TFormVarunelSplash>();
    FChartViewer = std::make_unique<TFormCartaVrn>();
    FCelestialNavigation = std::make_unique<TFormVrn32>();
    // Bound for its life to the viewer's chart view.
    FGpsInterface = std::make_unique<TFormGPSInterface>(FChartViewer->Chart());
    FLegCalculator = std::make_unique<TFormRouteCalculator>();
    FAlmanacPages = std::make_unique<TFormAlmanacPages>();
    FStarFinder = std::make_unique<TFormStarFinder>();
    FBoatMovement = std::make_unique<TFormBoatMovement>();
    FEqualAltitudes = std::make_unique<TFormMeridianPassageByEqualAltitudes>();

    FLauncher->SetCelestialNavigationWindow(FCelestialNavigation.get());
    FLauncher->SetChartViewerWindow(FChartViewer.get());
    // Asked once, before any window goes: the viewer offers to save a changed desktop.
    FLauncher->SetCloseQueryHandler([this] { FChartViewer->AskSaveDesktopAtExit(); });
    // Logging out ends the program as closing the launcher does.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, FChartViewer.get(),
            [this](QSessionManager &) { FChartViewer->AskSaveDesktopAtExit(); });
    FChartViewer->SetAboutBox([this] { FLauncher->ShowAsAboutBox(); });
    AttachRouteEditor();
    // "Leg Calculator" shows it; its routes go to the viewer's chart view, which goes last.
    FChartViewer->SetLegCalculatorWindow(FLegCalculator.get());
    FLegCalculator->SetChartView(&FChartViewer->Chart());
    FCelestialNavigation->SetChartViewer(
        [this](const TChartHandOver &handOver) { FChartViewer->ShowCelestialOverlay(handOver); });
    FLauncher->SetStarFinderWindow(FStarFinder.get());
    FLauncher->SetStarFinderHandOver([this] { FCelestialNavigation->BStarFinderClick(); });
    FCelestialNavigation->SetAlmanacPagesWindow(FAlmanacPages.get());
    FCelestialNavigation->SetStarFinderWindow(FStarFinder.get());
    FStarFinder->SetBoatMovementDialog(FBoatMovement.get());
    FCelestialNavigation->SetBoatMovementDialog(FBoatMovement.get());
    FCelestialNavigation->SetEqualAltitudesWindow(FEqualAltitudes.get());
    FEqualAltitudes->SetBoatMovementDialog(FBoatMovement.get());
    FChartViewerWiring = std::make_unique<TChartViewerWiring>(*FChartViewer, *FGpsInterface);
}

void TVrn32Windows::AttachRouteEditor()
{
    TFormCartaVrn &viewer = *FChartViewer;
    FRouteEditor = std::make_unique<TRouteTrackPanels>(viewer.Chart(), &viewer);
    FRouteEditor->SetIcons([](const char *name) { return ChartViewerIcon(name); });
    // "Add Points" presses the route or track tool of the viewer's tool bar.
    FRouteEditor->SetToolSetter([&viewer](TTipoFerramentaCarta tool) {
        const char *name = tool == TTipoFerramentaCarta::fcTrack ? "ToolTracks" : "ToolsRoutes";
        if (auto *action = viewer.findChild<QAction *>(QLatin1String(name)))
            action->trigger();
        else
            viewer.Chart().SetFerramenta(tool);
    });
    viewer.SetRouteTrackEditor(FRouteEditor.get());
    // The replay controls are three rows high: their panel takes a row of its own rather than
    // squeezing the tool bar.
    if (auto *replay = viewer.findChild<QToolBar *>(QStringLiteral("TrackAnimation")))
        viewer.insertToolBarBreak(replay);
    // GPX exchange in the File menu, before the printing commands.
    auto *file = viewer.findChild<QMenu *>(QStringLiteral("File1"));
    auto *print = viewer.findChild<QAction *>(QStringLiteral("PrintChart1"));
    if (!file)
        return;
    auto *importGpx = new QAction(QStringLiteral("Import GPX..."), file);
    importGpx->setObjectName(QStringLiteral("ImportGpx1"));
    auto *exportGpx = new QAction(QStringLiteral("Export GPX..."), file);
    exportGpx->setObjectName(QStringLiteral("ExportGpx1"));
    TRouteTrackPanels *editor = FRouteEditor.get();
    QObject::connect(importGpx, &QAction::triggered, editor, &TRouteTrackPanels::ImportGpx);
    QObject::connect(exportGpx, &QAction::triggered, editor, &TRouteTrackPanels::ExportGpx);
    file->insertAction(print, importGpx);
    file->insertAction(print, exportGpx);
    file->insertSeparator(print);
}

bool TVrn32Windows::ShowChartFile(const QString &fileName)
{
    FChartViewer->show();
    QCoreApplication::processEvents(); // the view has its size before the chart is fitted
    if (fileName.endsWith(QStringLiteral(".vrn"), Qt::CaseInsensitive))
        return FChartViewer->OpenDesktop(fileName);
    if (!FChartViewer->OpenVectorChart(fileName))
        return false;
    FChartViewer->ShowWholeChart();
    return true;
}

TVrn32Windows::~TVrn32Windows()
{
    FChartViewerWiring.reset();
    FEqualAltitudes.reset();
    FBoatMovement.reset();
    FStarFinder.reset();
    FAlmanacPages.reset();
    FLegCalculator.reset();
    FGpsInterface.reset();
    FCelestialNavigation.reset();
    FChartViewer->SetRouteTrackEditor(nullptr);
    FRouteEditor.reset();
    FChartViewer.reset();
    FLauncher.reset();
    FreeAstros();
}

} // namespace vrn
