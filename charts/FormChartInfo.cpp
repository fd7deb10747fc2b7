#include "charts/FormChartInfo.h"

#include "charts/ChartDialogs.h"
#include "charts/Dcarta.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrn {

namespace {

QLabel *ValueLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TFormChartInfo::TFormChartInfo(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormChartInfo"));
    setWindowTitle(QStringLiteral("Chart Info"));
    const TChartInfoRows initial;
    FLChartName = ValueLabel("LChartName", QString::fromStdString(initial.ChartName), this);
    FLPolygons = ValueLabel("LPolygons", QString::fromStdString(initial.Polygons), this);
    FLPoints = ValueLabel("LPoints", QString::fromStdString(initial.Points), this);
    FLFileSize = ValueLabel("LFileSize", QString::fromStdString(initial.FileSize), this);
    auto *rows = new QFormLayout;
    rows->addRow(QStringLiteral("Chart name:"), FLChartName);
    rows->addRow(QStringLiteral("Polygons:"), FLPolygons);
    rows->addRow(QStringLiteral("Points:"), FLPoints);
    rows->addRow(QStringLiteral("File size:"), FLFileSize);
    FBClose = new QPushButton(QStringLiteral("Close"), this);
    FBClose->setObjectName(QStringLiteral("BClose"));
    FBClose->setDefault(true);
    connect(FBClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FBClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addLayout(buttons);
    setMinimumWidth(300);
}

void TFormChartInfo::Fill(const TLogCarta &chart)
{
    const TChartInfoRows rows = ChartInfoOf(chart.Desk());
    FLChartName->setText(QString::fromStdString(rows.ChartName));
    FLPolygons->setText(QString::fromStdString(rows.Polygons));
    FLPoints->setText(QString::fromStdString(rows.Points));
    FLFileSize->setText(QString::fromStdString(rows.FileSize));
}

void TFormChartInfo::Show(const TLogCarta &chart)
{
    Fill(chart);
    FBClose->setFocus();
    exec();
}

} // namespace vrn
