#pragma once

// Start-up of vrn32: the application's names, the process-wide formats and the windows, created
// once in a fixed order and kept until the program ends.

#include <QStringList>
#include <memory>

namespace vrn {

class TFormAlmanacPages;
class TFormBoatMovement;
class TChartViewerWiring;
class TFormCartaVrn;
class TFormGPSInterface;
class TFormStarFinder;
class TFormMeridianPassageByEqualAltitudes;
class TFormRouteCalculator;
class TFormVarunelSplash;
class TFormVrn32;
class TRouteTrackPanels;

// Company, program name ("Varunel", also the application title) and version.
void SetApplicationIdentity();

// Fixes the process-wide formats from the user's short date format (a Qt pattern): short dates
// "dd/MM/yyyy" when it begins with the day, "MM/dd/yyyy" otherwise, with the user's separator; an
// empty pattern leaves them. Numbers are always written with "." and times as "hh:mm:ss" by the
// engine's formatters. The program holds the formats itself, so a change of the system settings
// while it runs cannot replace them.
void ApplyStartupFormats(const QString &userShortDate);

// The user's short date pattern from the system locale.
QString UserShortDatePattern();

// What the command line asked for.
struct TVrn32Options
{
    bool Ok = true;
    QString Error; // why the command line was refused
    // --help or --version: print Text and end with exit code 0.
    bool ShowText = false;
    QString Text;
    bool ShowCelestial = false; // --celestial: the celestial navigation window is shown at start
    bool ShowAlmanac = false; // --almanac: the almanac page maker is shown at start
    bool ShowGps = false; // --gps: the chart viewer and the GPS window are shown at start
    QString ChartFile; // --chart FILE: the chart viewer shown with that vector chart or desktop
    QString LocationFile; // first argument: a file whose first line the chart viewer fetches
};

// Reads the command line. --help gives the list of the options as Text, --version the program's
// name and version.
TVrn32Options ParseVrn32Arguments(const QStringList &arguments);

// Every window of the program. They are created in this order and freed in the reverse order,
// after the message loop has ended; the body registry is freed after the last of them. The
// celestial navigation window writes LOPS.LST when it is freed.
class TVrn32Windows
{
public:
    TVrn32Windows();
    ~TVrn32Windows();
    TVrn32Windows(const TVrn32Windows &) = delete;
    TVrn32Windows &operator=(const TVrn32Windows &) = delete;

    TFormVarunelSplash &Launcher() { return *FLauncher; }

    TFormCartaVrn &ChartViewer() { return *FChartViewer; }

    TFormVrn32 &CelestialNavigation() { return *FCelestialNavigation; }

    TFormGPSInterface &GpsInterface() { return *FGpsInterface; }

    TFormRouteCalculator &LegCalculator() { return *FLegCalculator; }

    TFormAlmanacPages &AlmanacPages() { return *FAlmanacPages; }

    TFormStarFinder &StarFinder() { return *FStarFinder; }

    TFormBoatMovement &BoatMovement() { return *FBoatMovement; }

    TFormMeridianPassageByEqualAltitudes &EqualAltitudes() { return *FEqualAltitudes; }

    // --chart FILE: the chart viewer shown with a desktop (.vrn, with its own view) or a vector
    // chart (shown whole). False when it could not be opened (the viewer said why).
    bool ShowChartFile(const QString &fileName);

private:
    void AttachRouteEditor();

    std::unique_ptr<TFormVarunelSplash> FLauncher;
    std::unique_ptr<TFormCartaVrn> FChartViewer;
    std::unique_ptr<TRouteTrackPanels> FRouteEditor;
    std::unique_ptr<TFormVrn32> FCelestialNavigation;
    std::unique_ptr<TFormGPSInterface> FGpsInterface;
    std::unique_ptr<TFormRouteCalculator> FLegCalculator;
    std::unique_ptr<TFormAlmanacPages> FAlmanacPages;
    std::unique_ptr<TFormStarFinder> FStarFinder;
    std::unique_ptr<TFormBoatMovement> FBoatMovement;
    std::unique_ptr<TFormMeridianPassageByEqualAltitudes> FEqualAltitudes;
    std::unique_ptr<TChartViewerWiring> FChartViewerWiring; // GPS window and web transfer
};

} // namespace vrn
