#include "charts/FormEditaLogCarta.h"

#include "charts/Dcarta.h"
#include "engine/NumText.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vrn {

TColor ChartColorOf(const TLogCarta &chart, TChartColorItem item)
{
    switch (item) {
    case TChartColorItem::Sea:
        return chart.SeaColor();
    case TChartColorItem::DefaultLand:
        return chart.DefaultLandColor();
    case TChartColorItem::DefaultShore:
        return chart.DefaultShoreColor();
    case TChartColorItem::Grid:
        break;
    }
    return chart.GridColor();
}

void SetChartColor(TLogCarta &chart, TChartColorItem item, TColor colour)
{
    if (ChartColorOf(chart, item) == colour)
        return;
    switch (item) {
    case TChartColorItem::Sea:
        chart.SetSeaColor(colour);
        break;
    case TChartColorItem::DefaultLand:
        chart.SetDefaultLandColor(colour);
        break;
    case TChartColorItem::DefaultShore:
        chart.SetDefaultShoreColor(colour);
        break;
    case TChartColorItem::Grid:
        chart.SetGridColor(colour);
        break;
    }
    chart.Desk().ChartModified = true;
}

TFormEditaLogCarta::TFormEditaLogCarta(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEditaLogCarta"));
    setWindowTitle(QStringLiteral("Edit chart colors"));

    FLBColorItems = new QListWidget(this);
    FLBColorItems->setObjectName(QStringLiteral("LBColorItems"));
    for (const TChartColorItem item : kChartColorItems)
        FLBColorItems->addItem(QString::fromLatin1(ChartColorItemText(item)));
    FLBColorItems->setCurrentRow(0);
    const int rowHeight = FLBColorItems->sizeHintForRow(0);
    FLBColorItems->setMinimumHeight(rowHeight * 4 + 2 * FLBColorItems->frameWidth() + 4);
    FLBColorItems->setMinimumWidth(FLBColorItems->sizeHintForColumn(0) + 24);

    auto *palette = new QGridLayout;
    palette->setSpacing(2);
    FColors = new QButtonGroup(this);
    FColors->setExclusive(true);
    for (int i = 0; i < static_cast<int>(kStandardColors.size()); ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("Color%1").arg(i));
        b->setCheckable(true);
        QPixmap swatch(20, 20);
        swatch.fill(ToQColor(kStandardColors[static_cast<std::size_t>(i)]));
        b->setIcon(QIcon(swatch));
        b->setIconSize(swatch.size());
        b->setToolTip(
            QString::fromStdString(FormatChartColor(kStandardColors[static_cast<std::size_t>(i)])));
        b->setAutoRaise(false);
        FColors->addButton(b, i);
        palette->addWidget(b, i / 4, i % 4);
    }

    FBClose = new QPushButton(QStringLiteral("Close"), this);
    FBClose->setObjectName(QStringLiteral("BClose"));
    FBClose->setDefault(true);
    connect(FBClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *colorsLabel = new QLabel(QStringLiteral("&Colors:"), this);
    colorsLabel->setObjectName(QStringLiteral("LColors"));
    colorsLabel->setBuddy(FColors->button(0));
    auto *itemsLabel = new QLabel(QStringLiteral("Chart &item:"), this);
    itemsLabel->setObjectName(QStringLiteral("LColorItems"));
    itemsLabel->setBuddy(FLBColorItems);

    auto *left = new QVBoxLayout;
    left->addWidget(itemsLabel);
    left->addWidget(FLBColorItems);
    auto *right = new QVBoxLayout;
    right->addWidget(colorsLabel);
    right->addLayout(palette);
    right->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(FBClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);

    connect(FLBColorItems, &QListWidget::currentRowChanged, this, &TFormEditaLogCarta::SelectItem);
    connect(FColors, &QButtonGroup::idClicked, this, &TFormEditaLogCarta::ChooseColor);
}

void TFormEditaLogCarta::SelectItem(int row)
{
    if (!FChart || row < 0 || row >= static_cast<int>(kChartColorItems.size()))
        return;
    if (FLBColorItems->currentRow() != row)
        FLBColorItems->setCurrentRow(row);
    const auto index =
        StandardColorIndex(ChartColorOf(*FChart, kChartColorItems[static_cast<std::size_t>(row)]));
    if (index)
        FColors->button(*index)->setChecked(true);
}

void TFormEditaLogCarta::ChooseColor(int index)
{
    const int row = FLBColorItems->currentRow();
    if (!FChart || row < 0 || index < 0 || index >= static_cast<int>(kStandardColors.size()))
        return;
    FColors->button(index)->setChecked(true);
    SetChartColor(*FChart, kChartColorItems[static_cast<std::size_t>(row)],
        kStandardColors[static_cast<std::size_t>(index)]);
}

void TFormEditaLogCarta::Execute(TLogCarta &chart)
{
    FChart = &chart;
    SelectItem(FLBColorItems->currentRow());
    FLBColorItems->setFocus();
    exec();
    FChart = nullptr;
}

void EditColors(TLogCarta &chart)
{
    TFormEditaLogCarta dialog(&chart);
    dialog.Execute(chart);
}

} // namespace vrn
