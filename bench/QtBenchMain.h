#pragma once

// The main of a benchmark that needs a Qt application object: the offscreen platform unless
// another is set, the application, then the benchmarks.
//
//     int main(int argc, char **argv) { return vrn::RunQtBenchmarks<QApplication>(argc, argv); }

#include <QByteArray>
#include <benchmark/benchmark.h>

namespace vrn {

template <class TApplication>
int RunQtBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace vrn
