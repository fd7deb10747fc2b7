// The route and track editor's point table on a GPS track of 36,000 fixes (ten hours at one a
// second), under the offscreen platform: a page of the table scrolled and painted, a jump to
// its end, and one fix arriving while the table shows the track (its new row and the leg of the
// row before it). Goals: a page < 5 ms and the jump < 5 ms, neither growing with the length of
// the track (compare the 3,600 and 36,000 fix runs), and the table's share of a fix < 1 ms (the
// editor shown against hidden; the chart view draws the whole track on each fix either way).

#include "apps/vrn32/RouteTrackPanels.h"
#include "bench/QtBenchMain.h"
#include "charts/Dcarta.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace vrn;

struct TBenchEditor
{
    QWidget Window;
    TLogCarta *Chart = nullptr;
    std::unique_ptr<TRouteTrackPanels> Panels;
    TChtTrack *Track = nullptr;
    QTableView *Table = nullptr;
    int Fixes = 0;

    explicit TBenchEditor(int fixes)
        : Fixes(fixes)
    {
        Chart = new TLogCarta(&Window);
        Panels = std::make_unique<TRouteTrackPanels>(*Chart, &Window);
        auto *row = new QHBoxLayout(&Window);
        row->addWidget(Chart, 1);
        row->addWidget(Panels->RoutesTracksPage());
        // The chart view's events, as the viewer passes them on.
        QObject::connect(Chart, &TLogCarta::OnRouteChanged, Chart,
            [this](TChtRoute *route) { Panels->RouteChanged(route); });
        QObject::connect(Chart, &TLogCarta::OnTrackChanged, Chart,
            [this](TChtTrack *track) { Panels->TrackChanged(track); });
        QObject::connect(
            Chart, &TLogCarta::OnRedrawChart, Chart, [this] { Panels->ChartRedrawn(); });
        Window.resize(1280, 720);
        Window.show();
        QApplication::processEvents();
        Chart->SetViewAndClear(50, 2, 2);
        auto track = std::make_unique<TChtTrack>();
        track->Name = "GPS";
        track->GpsTrack = true;
        for (int i = 0; i < fixes; ++i)
            track->AddPoint("", 49.5 + (i % 600) * 1e-3, 2.5 - i * 1e-5, Time(i));
        Track = Chart->Desk().Tracks.Add(std::move(track));
        Panels->ShowEditor();
        Table = Window.findChild<QTableView *>(QStringLiteral("RouteGrid"));
        QApplication::processEvents();
    }

    // One fix a second from 1 July 2024 08:00 UTC (days since 30 December 1899).
    static double Time(int i) { return 45474.0 + 8.0 / 24 + i / 86400.0; }
};

void BM_PointTableScrollPage(benchmark::State &state)
{
    TBenchEditor b(static_cast<int>(state.range(0)));
    QScrollBar *bar = b.Table->verticalScrollBar();
    int position = 0;
    for (auto _ : state) {
        // Down by a page at a time, starting again at the top at the end.
        position = position + bar->pageStep() > bar->maximum() ? 0 : position + bar->pageStep();
        bar->setValue(position);
        b.Table->viewport()->repaint();
    }
    state.counters["rows"] = b.Table->model()->rowCount();
}

void BM_PointTableJumpToEnd(benchmark::State &state)
{
    TBenchEditor b(static_cast<int>(state.range(0)));
    bool end = false;
    for (auto _ : state) {
        end = !end;
        if (end)
            b.Table->scrollToBottom();
        else
            b.Table->scrollToTop();
        b.Table->viewport()->repaint();
    }
}

// The second argument: 1 with the editor shown, 0 with it hidden; the difference is the
// table's share of a fix, the rest the chart view drawing the track.
void BM_PointTableFixArrives(benchmark::State &state)
{
    TBenchEditor b(static_cast<int>(state.range(0)));
    if (state.range(1) == 0)
        b.Panels->HideEditor();
    b.Table->scrollToBottom();
    int i = b.Fixes;
    for (auto _ : state) {
        b.Chart->AddTrackPoint(b.Track, "", 50.1, 2.5 - i * 1e-5, TBenchEditor::Time(i));
        ++i;
        QApplication::processEvents(); // the table's new row painted
    }
    state.counters["rows"] = b.Table->model()->rowCount();
}

BENCHMARK(BM_PointTableScrollPage)->Arg(3600)->Arg(36000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointTableJumpToEnd)->Arg(3600)->Arg(36000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointTableFixArrives)
    ->Args({3600, 1})
    ->Args({36000, 1})
    ->Args({36000, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return vrn::RunQtBenchmarks<QApplication>(argc, argv);
}
