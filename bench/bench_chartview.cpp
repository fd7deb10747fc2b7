// The chart view at 1920 x 1080 under the offscreen platform: a full redraw of the world
// coastline with a 200-point route and a raster chart, and one mouse move while measuring
// (event, label and the repaint of the band's region). Goals: redraw < 50 ms, move < 5 ms.

#include "bench/QtBenchMain.h"
#include "charts/Dcarta.h"

#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

using namespace vrn;

struct TBenchView
{
    std::unique_ptr<TLogCarta> View;
    TChtChartImage *Image = nullptr;

    TBenchView(double latC, double lonC, double lonSpan)
    {
        View = std::make_unique<TLogCarta>();
        View->resize(1920, 1080);
        View->show();
        QApplication::processEvents();
        View->LoadChart(QStringLiteral(VRN_CHART_DATA_DIR "/world.cht"), false);
        auto image = std::make_unique<TChtChartImage>();
        image->CIDFile = VRN_CHARTS_TEST_DATA "/sample.CID";
        image->Visible = true;
        image->LoadCID();
        Image = View->Desk().ChartImages.Add(std::move(image));
        // 200 points zigzagging across the view.
        auto route = std::make_unique<TChtRoute>();
        for (int i = 0; i < 200; ++i) {
            const double f = i / 199.0;
            route->AddPoint("", latC + (i % 2 ? 0.3 : -0.3) * lonSpan / 4,
                lonC + (0.45 - 0.9 * f) * lonSpan, 0);
        }
        View->Desk().Routes.Add(std::move(route));
        View->Escala().SetView(latC, lonC, lonSpan);
        View->Redraw(true, true);
    }

    // Lets the background render finish so that the next redraws draw the raster.
    void WaitForRaster()
    {
        while (Image->IsRendering())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents();
    }
};

void Redraw(benchmark::State &state, double latC, double lonC, double span, bool recompute)
{
    TBenchView b(latC, lonC, span);
    b.WaitForRaster();
    for (auto _ : state)
        b.View->Redraw(true, recompute);
    state.counters["points"] = double(b.View->ChartPointCount() + 200);
}

// A zoom or pan: every position recomputed, the raster's render restarted in the background.
void BM_RedrawRecompute_World(benchmark::State &state)
{
    Redraw(state, 0, 0, 360, true);
}

void BM_RedrawRecompute_Channel(benchmark::State &state)
{
    Redraw(state, 49.5, 2, 10, true);
}

// The repaint after a finished render: positions cached, the rendered raster drawn.
void BM_RedrawCached_Channel(benchmark::State &state)
{
    Redraw(state, 49.5, 2, 10, false);
}

void BM_RedrawCached_ChannelTranslucentRaster(benchmark::State &state)
{
    TBenchView b(49.5, 2, 10);
    b.Image->Opacity = 60;
    b.WaitForRaster();
    for (auto _ : state)
        b.View->Redraw(true, false);
}

void BM_MouseMoveMeasuring(benchmark::State &state)
{
    TBenchView b(49.5, 2, 10);
    b.WaitForRaster();
    b.View->SetFerramenta(TTipoFerramentaCarta::fcMeasure);
    {
        const QPointF p(400, 300);
        QMouseEvent press(QEvent::MouseButtonPress, p, b.View->mapToGlobal(p), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b.View.get(), &press);
    }
    int i = 0;
    for (auto _ : state) {
        // A hand's move: a few pixels, the band growing and shrinking across the chart.
        const QPointF p(900 + 400 * std::sin(i * 0.05), 500 + 200 * std::cos(i * 0.07));
        ++i;
        QMouseEvent move(QEvent::MouseMove, p, b.View->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(b.View.get(), &move);
        QApplication::processEvents(); // the repaint of the band's and the label's regions
    }
}

BENCHMARK(BM_RedrawRecompute_World)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawRecompute_Channel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawCached_Channel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawCached_ChannelTranslucentRaster)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseMoveMeasuring)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return vrn::RunQtBenchmarks<QApplication>(argc, argv);
}
