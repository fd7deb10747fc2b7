// The sample desktop (world coastline, the Channel's raster chart, a route, a track, three
// marks): opening it, drawing it at 1920 x 1080, and a pan of 100 pixels with the raster chart
// shown, in the chart view under the offscreen platform. Goals: opening < 100 ms without the
// raster render, the pan's repaint < 16 ms (60 frames a second).

#include "bench/QtBenchMain.h"
#include "charts/ChartDesktop.h"
#include "charts/ChartRender.h"
#include "charts/ChartTools.h"
#include "charts/Dcarta.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace vrn;

const std::string kSample = VRN_SOURCE_DIR "/share/desktops/Sample.vrn";

// Reading the file, the world coastline its chart block names, the chart image's data file and
// its picture's signature; the picture itself is read by the first render.
void BM_OpenSampleDesktop(benchmark::State &state)
{
    for (auto _ : state) {
        TChartDesk desk;
        TDesktopFile file = ReadDesktopFile(kSample);
        const TDesktopApplied applied = ApplyDesktop(desk, file.Objects, std::move(file.ChartRef));
        benchmark::DoNotOptimize(applied.ChartLoaded);
    }
}

// Everything drawn once at 1920 x 1080, the raster chart read and resampled in the loop.
void BM_DrawSampleDesktop1920x1080(benchmark::State &state)
{
    for (auto _ : state) {
        TChartScene scene;
        scene.Load(kSample);
        const QImage image = scene.Render(scene.DefaultView(1920, 1080), 1920, 1080);
        benchmark::DoNotOptimize(image.constBits());
    }
}

struct TBenchViewer
{
    std::unique_ptr<TLogCarta> View;

    TBenchViewer()
    {
        View = std::make_unique<TLogCarta>();
        View->resize(1920, 1080);
        View->show();
        QApplication::processEvents();
        View->LoadDesktop(QString::fromStdString(kSample));
        View->Redraw(true, true);
        WaitForRaster();
    }

    void WaitForRaster()
    {
        auto busy = [this] {
            for (const auto &image : View->Desk().ChartImages)
                if (image->IsRendering())
                    return true;
            return false;
        };
        while (busy())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::processEvents();
    }

    void Pan(int step)
    {
        DragView(View->Escala(), step, 0);
        View->Redraw(true, true);
    }
};

// One frame of a drag: the view moved 100 pixels and the chart repainted; the raster's render
// for the new view starts in the background (what it costs is the next benchmark).
void BM_PanRepaint100px(benchmark::State &state)
{
    TBenchViewer b;
    int step = 100;
    for (auto _ : state) {
        b.Pan(step);
        step = -step;
        state.PauseTiming();
        b.WaitForRaster();
        state.ResumeTiming();
    }
}

// The same pan until the raster chart is drawn again for the new view.
void BM_PanUntilRasterRedrawn100px(benchmark::State &state)
{
    TBenchViewer b;
    int step = 100;
    for (auto _ : state) {
        b.Pan(step);
        step = -step;
        b.WaitForRaster();
    }
}

BENCHMARK(BM_OpenSampleDesktop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawSampleDesktop1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanRepaint100px)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanUntilRasterRedrawn100px)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return vrn::RunQtBenchmarks<QApplication>(argc, argv);
}
