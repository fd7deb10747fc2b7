#include "apps/vrn32/ChartDemo.h"

#include "charts/Dcarta.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintJob.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

namespace vrn {

TChartDemoWindow::TChartDemoWindow(QWidget *parent)
    : QMainWindow(parent)
    , FChart(new TLogCarta(this))
{
    setWindowTitle(QStringLiteral("Varunel Chart"));
    setCentralWidget(FChart);
    resize(1000, 650);
    auto *tools = addToolBar(QStringLiteral("Tools"));
    auto *group = new QActionGroup(this);
    const std::pair<const char *, TTipoFerramentaCarta> kTools[] = {
        {"Zoom", TTipoFerramentaCarta::fcZoom},
        {"Measure", TTipoFerramentaCarta::fcMeasure},
        {"Route", TTipoFerramentaCarta::fcRoute},
        {"Track", TTipoFerramentaCarta::fcTrack},
        {"Marks", TTipoFerramentaCarta::fcObjects},
        {"Names", TTipoFerramentaCarta::fcPointName},
        {"Drag", TTipoFerramentaCarta::fcHandDrag},
    };
    for (const auto &[text, tool] : kTools) {
        QAction *a = tools->addAction(QString::fromLatin1(text));
        a->setCheckable(true);
        a->setChecked(tool == FChart->Ferramenta());
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, t = tool] { FChart->SetFerramenta(t); });
    }
    tools->addSeparator();
    const auto job = [this] {
        TPrintRequest request;
        request.Title = windowTitle();
        request.Orientation = QPageLayout::Landscape;
        request.PdfName = QStringLiteral("chart.pdf");
        return request;
    };
    const auto pages = [this](QPrinter &printer) { FChart->Print(printer); };
    QAction *print = tools->addAction(QStringLiteral("&Print..."));
    print->setObjectName(QStringLiteral("MIPrint"));
    connect(print, &QAction::triggered, this,
        [this, job, pages] { PrintWithDialog(this, job(), pages); });
    QAction *pdf = tools->addAction(QStringLiteral("Save as P&DF..."));
    pdf->setObjectName(QStringLiteral("MISaveAsPdf"));
    connect(pdf, &QAction::triggered, this, [this, job, pages] { SaveAsPdf(this, job(), pages); });
    connect(FChart, &TLogCarta::OnChartMessage, this,
        [this](TLogCarta *, const QString &text) { statusBar()->showMessage(text); });
}

bool TChartDemoWindow::OpenChart(const QString &fileName)
{
    const bool ok = RunCommand(this, [&] { FChart->LoadChart(fileName, false); });
    if (ok) {
        setWindowTitle(QStringLiteral("Varunel Chart - %1").arg(QFileInfo(fileName).fileName()));
        const auto view = FChart->Desk().ChartExtent(FChart->width(), FChart->height());
        FChart->Escala().SetView(
            view ? view->LatC : 0, view ? view->LonC : 0, view ? view->LonSpan : 360);
        FChart->Redraw(true, true);
    }
    return ok;
}

} // namespace vrn
