// The chart image importer's heavy steps on a scan-sized picture: turning a 10000x8000 picture
// north-up by 3 degrees (goal: within 2 s on one core, memory below three copies of the picture),
// and calibrating a picture from three reference points and writing its data file.

#include "charts/ChartImageImport.h"
#include "charts/PictureWriters.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <unistd.h>

namespace {

using namespace vrn;

// Peak resident memory of the process so far, in bytes (VmHWM).
double PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb * 1024;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

TExBitmap ScanSized(int w, int h)
{
    TExBitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t *p = b.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
        }
    }
    return b;
}

// Reported as PeakCopies: the peak memory the rotation added, in copies of the source picture
// (the source and the turned picture, which holds its corners too, make about 2.1).
void RotateScanBy3Degrees(benchmark::State &state)
{
    const double before = PeakResidentBytes();
    const TExBitmap source = ScanSized(10000, 8000);
    const double pictureBytes = double(source.Stride()) * source.Height();
    for (auto _ : state) {
        TExBitmap turned = source.Rotated(3 * std::numbers::pi / 180);
        benchmark::DoNotOptimize(turned.ScanLine(turned.Height() / 2));
    }
    state.counters["PeakCopies"] = (PeakResidentBytes() - before) / pictureBytes;
    state.counters["Megapixels"] = 80;
}

BENCHMARK(RotateScanBy3Degrees)->Unit(benchmark::kMillisecond)->Iterations(3);

struct TTempPicture
{
    TTempPicture()
    {
        const auto dir = std::filesystem::temp_directory_path();
        Picture = (dir / ("vrn-bench-kartograv-" + std::to_string(::getpid()) + ".bmp")).string();
        Cid = (dir / ("vrn-bench-kartograv-" + std::to_string(::getpid()) + ".CID")).string();
        WritePictureFile(Picture, ScanSized(4000, 3000));
    }

    ~TTempPicture()
    {
        std::remove(Picture.c_str());
        std::remove(Cid.c_str());
    }

    std::string Picture, Cid;
};

// Reading the picture, three reference points, the checks and the data file with its MD5.
void CalibrateAndWriteCid(benchmark::State &state)
{
    static TTempPicture files;
    TCalibrationRequest r;
    r.Picture = files.Picture;
    r.CidFile = files.Cid;
    r.Ref = {{{100, 100, 50, 5}, {3900, 100, 50, -5}, {100, 2900, 44, 5}}};
    r.WrittenAt = 46000;
    for (auto _ : state)
        benchmark::DoNotOptimize(CalibrateChartImage(r).Bounds.XScale);
    state.counters["Megapixels"] = 12;
}

BENCHMARK(CalibrateAndWriteCid)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
