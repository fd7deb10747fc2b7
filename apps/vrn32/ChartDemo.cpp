#include "apps/vrn32/ChartDemo.h"

#include "charts/Dcarta.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

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
    connect(tools->addAction(QStringLiteral("Print to PDF...")), &QAction::triggered, this, [this] {
        const QString file = GetSaveFileName(this, QStringLiteral("Print to PDF"), QString(),
            QStringLiteral("PDF (*.pdf *.PDF)"), QStringLiteral("pdf"));
        if (file.isEmpty())
            return;
        RunCommand(this, [&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            FChart->Print(printer);
        });
    });
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
