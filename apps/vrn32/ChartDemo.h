#pragma once

// "vrn32 --chart FILE.cht": a window with one chart view on a vector chart, its tools on a tool
// bar and the cursor position or measurement in the status bar. A developer aid until the chart
// viewer exists.

#include <QMainWindow>
#include <QString>

namespace vrn {

class TLogCarta;

class TChartDemoWindow : public QMainWindow
{
public:
    explicit TChartDemoWindow(QWidget *parent = nullptr);

    TLogCarta &Chart() { return *FChart; }

    // Opens the chart and shows all of it; a failure is shown in a box and the view stays empty.
    bool OpenChart(const QString &fileName);

private:
    TLogCarta *FChart;
};

} // namespace vrn
