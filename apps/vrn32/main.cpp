#include "apps/vrn32/ChartViewerLogic.h"
#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fVrnSpla.h"
#include "apps/vrn32/fchvrn32.h"
#include "celestial/fVrn32.h"
#include "gps/fgpsxf.h"
#include "sky/fAlmanacPages.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vrn::SetApplicationIdentity();
    const vrn::TVrn32Options options = vrn::ParseVrn32Arguments(QCoreApplication::arguments());
    if (!options.Ok) {
        std::fprintf(stderr, "vrn32: %s\n", qPrintable(options.Error));
        return 2;
    }
    if (options.ShowText) {
        std::fputs(qPrintable(options.Text), stdout);
        return 0;
    }
    vrn::ApplyStartupFormats(vrn::UserShortDatePattern());

    vrn::TVrn32Windows windows;
    windows.Launcher().show();
    if (options.ShowCelestial)
        windows.CelestialNavigation().show();
    if (options.ShowAlmanac)
        windows.AlmanacPages().show();
    if (options.ShowGps) {
        windows.ChartViewer().show();
        windows.GpsInterface().show();
    }
    windows.ChartViewer().SetStartLocationFile(options.LocationFile);
    // A location file that can be read opens the chart viewer on what it names.
    if (!options.LocationFile.isEmpty()
        && vrn::ReadLocationFile(options.LocationFile.toStdString()))
        windows.ChartViewer().show();
    if (!options.ChartFile.isEmpty())
        windows.ShowChartFile(options.ChartFile);
    return app.exec();
}
