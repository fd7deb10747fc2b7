#include "apps/vrn32/ChartDemo.h"
#include "apps/vrn32/VrnStartup.h"
#include "apps/vrn32/fVrnSpla.h"
#include "celestial/fVrn32.h"
#include "sky/fAlmanacPages.h"

#include <QApplication>
#include <cstdio>
#include <memory>

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
    std::unique_ptr<vrn::TChartDemoWindow> chart;
    if (!options.ChartFile.isEmpty()) {
        chart = std::make_unique<vrn::TChartDemoWindow>();
        chart->show();
        QApplication::processEvents(); // the view has its size before the chart is fitted
        chart->OpenChart(options.ChartFile);
    }
    return app.exec();
}
