// Chart benchmarks: reading the world coastline, redrawing it at a world view and at a 2-degree
// view into a 1920 x 1080 image, and rendering a 10000 x 8000 raster chart into a 1920 x 1080
// view. Peak memory (maximum resident set) is reported as a counter.

#include "bench/QtBenchMain.h"
#include "charts/ChartRender.h"
#include "charts/ChtFile.h"
#include "charts/ImgCarta.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace vrn;

namespace {

const std::string kWorld = VRN_SOURCE_DIR "/charts/data/world.cht";

double PeakMegabytes()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

void BM_ReadWorldCoastline(benchmark::State &state)
{
    std::size_t objects = 0;
    for (auto _ : state) {
        auto contents = ReadChartFile(kWorld);
        objects = contents.Objects.Count();
        benchmark::DoNotOptimize(objects);
    }
    state.counters["objects"] = static_cast<double>(objects);
    state.counters["peak_MB"] = PeakMegabytes();
}

BENCHMARK(BM_ReadWorldCoastline)->Unit(benchmark::kMillisecond);

// One redraw of the chart view: sea, every polygon, the grid, the frame.
void DrawWorld(benchmark::State &state, TChartViewSpec view)
{
    TChartScene scene;
    scene.Load(kWorld);
    QImage image(1920, 1080, QImage::Format_RGB32);
    TPainterSurface surface;
    surface.SetSize(1920, 1080);
    surface.Escala.SetView(view.LatC, view.LonC, view.LonSpan);
    QPainter painter(&image);
    surface.Attach(&painter, 1920, 1080, &image);
    for (auto _ : state) {
        scene.Draw(surface, true);
        benchmark::ClobberMemory();
    }
    state.counters["points"] = static_cast<double>(scene.PointCount());
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_DrawWorldCoastlineWorldView(benchmark::State &state)
{
    DrawWorld(state, {0, 0, 360});
}

BENCHMARK(BM_DrawWorldCoastlineWorldView)->Unit(benchmark::kMillisecond);

void BM_DrawWorldCoastline2DegreeView(benchmark::State &state)
{
    DrawWorld(state, {50.0, 2.0, 2.0}); // the English Channel
}

BENCHMARK(BM_DrawWorldCoastline2DegreeView)->Unit(benchmark::kMillisecond);

// A 10000 x 8000 24-bit picture (240 MB) written once as a BMP and calibrated to 10 x 8 degrees.
class TBigPicture
{
public:
    TBigPicture()
    {
        Path = (std::filesystem::temp_directory_path()
            / ("vrn-bench-" + std::to_string(::getpid()) + ".bmp"))
                   .string();
        constexpr int w = 10000, h = 8000;
        const std::size_t stride = (3 * std::size_t(w) + 3) & ~std::size_t(3);
        std::FILE *f = std::fopen(Path.c_str(), "wb");
        if (!f) {
            std::perror(Path.c_str());
            std::exit(1);
        }
        unsigned char header[54] = {'B', 'M'};
        auto put = [&](int at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                header[at + i] = static_cast<unsigned char>(v >> (8 * i));
        };
        put(2, static_cast<std::uint32_t>(54 + stride * h));
        put(10, 54);
        put(14, 40);
        put(18, w);
        put(22, h);
        header[26] = 1;
        header[28] = 24;
        std::fwrite(header, 1, sizeof header, f);
        std::vector<unsigned char> row(stride);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                row[3 * x] = static_cast<unsigned char>(x);
                row[3 * x + 1] = static_cast<unsigned char>(y);
                row[3 * x + 2] = static_cast<unsigned char>((x ^ y) & 0xFF);
            }
            std::fwrite(row.data(), 1, stride, f);
        }
        std::fclose(f);
        Image.SetImageFile(Path);
        Image.SetMercatorLatitudeScale(true);
        Image.SetPoints({{{0, 0, 52, 5}, {10000, 0, 52, -5}, {0, 8000, 44, 5}}}, {});
    }

    ~TBigPicture() { std::remove(Path.c_str()); }

    std::string Path;
    TImagemCarta Image;
};

TChartRect ViewRect(double latC, double lonC, double span)
{
    TPainterSurface surface;
    surface.SetSize(1920, 1080);
    surface.Escala.SetView(latC, lonC, span);
    return ViewRectOf(surface.Escala);
}

void RenderRaster(benchmark::State &state, double span)
{
    static TBigPicture picture;
    const TChartRect view = ViewRect(48, 0, span);
    for (auto _ : state) {
        auto r = picture.Image.RenderView(view);
        benchmark::DoNotOptimize(r);
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_RenderRasterWholePicture(benchmark::State &state)
{
    RenderRaster(state, 12); // the whole 10 x 8 degree picture in the view
}

BENCHMARK(BM_RenderRasterWholePicture)->Unit(benchmark::kMillisecond);

void BM_RenderRasterZoomedIn(benchmark::State &state)
{
    RenderRaster(state, 1); // about 1000 picture pixels across the view
}

BENCHMARK(BM_RenderRasterZoomedIn)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return vrn::RunQtBenchmarks<QGuiApplication>(argc, argv);
}
