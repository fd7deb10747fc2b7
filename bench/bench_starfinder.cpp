// The star finder's animation budget: one animation step (every body, figure point, ecliptic
// point and name placed for a new instant and laid out on the chart), one full repaint of the
// 800 × 800 chart with figures and names, and the two together, which must stay under 5 ms
// (200 frames a second) so that the animation never stutters. Steps of one minute, as the
// animation's "advance 1 minutes" takes them; stars are recomputed once a day, the Sun, Moon and
// planets at every step.

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "sky/Constelations.h"
#include "sky/SightPlanner.h"
#include "sky/StarFinderPainter.h"
#include "sky/VisibleSky.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "bench_starfinder";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
    }
}

constexpr double kLat = 38.7;
constexpr double kLon = 9.15;
const double kStart = vrn::EncodeDate(2026, 6, 21) + 21.25 / 24;
constexpr int kSize = 800;

vrn::TStarFinderStyle FullStyle()
{
    vrn::TStarFinderStyle style = vrn::DefaultStarFinderStyle();
    style.DrawConstelationNames = true;
    return style;
}

// Positions of everything for the next instant, the planner's choice, and the chart layout.
void AnimationStep(vrn::TPosicionadorDeConstelacoes &constellations, vrn::TStarFinderScene &scene,
    double dateTime, const vrn::TIconSizes &icons)
{
    const vrn::TVisibleSky sky = vrn::ComputeVisibleSky(vrn::Astros(), dateTime, kLat, kLon);
    constellations.PositionFor(dateTime, kLat, kLon);
    vrn::LoadScene(scene, sky, constellations);
    if (const auto plan = vrn::PlanSights(sky.Bodies, 3)) {
        std::vector<std::string> names;
        for (std::size_t i : plan->Indices)
            names.push_back(sky.Bodies[i].Name);
        scene.SetPlanned(std::move(names));
    }
    scene.Layout(vrn::TSkyProjection::ForSize(kSize, kSize, false), icons);
}

void Repaint(QImage &image, const vrn::TStarFinderScene &scene, const vrn::TStarFinderStyle &style)
{
    image.fill(style.Surround);
    QPainter p(&image);
    vrn::PaintStarFinder(p, scene, style, {});
}

void BM_StarFinderAnimationStep(benchmark::State &state)
{
    EnsureApplication();
    vrn::CreateAstros();
    vrn::TPosicionadorDeConstelacoes constellations;
    vrn::TStarFinderScene scene;
    const vrn::TIconSizes icons = vrn::StarFinderIconSizes({});
    long i = 0;
    for (auto _ : state) {
        AnimationStep(constellations, scene, kStart + double(i++) / 1440, icons);
        benchmark::DoNotOptimize(scene.Bodies().data());
    }
}

BENCHMARK(BM_StarFinderAnimationStep)->Unit(benchmark::kMillisecond);

void BM_StarFinderRepaint800(benchmark::State &state)
{
    EnsureApplication();
    vrn::CreateAstros();
    vrn::TPosicionadorDeConstelacoes constellations;
    vrn::TStarFinderScene scene;
    AnimationStep(constellations, scene, kStart, vrn::StarFinderIconSizes({}));
    const vrn::TStarFinderStyle style = FullStyle();
    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (auto _ : state) {
        Repaint(image, scene, style);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_StarFinderRepaint800)->Unit(benchmark::kMillisecond);

// What one animation frame costs; the goal is under 5 ms.
void BM_StarFinderStepAndRepaint800(benchmark::State &state)
{
    EnsureApplication();
    vrn::CreateAstros();
    vrn::TPosicionadorDeConstelacoes constellations;
    vrn::TStarFinderScene scene;
    const vrn::TStarFinderStyle style = FullStyle();
    const vrn::TIconSizes icons = vrn::StarFinderIconSizes({});
    QImage image(kSize, kSize, QImage::Format_RGB32);
    long i = 0;
    for (auto _ : state) {
        AnimationStep(constellations, scene, kStart + double(i++) / 1440, icons);
        Repaint(image, scene, style);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_StarFinderStepAndRepaint800)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
