#include "celestial/fSelectPairsForMeridianPassage.h"

#include "engine/NumText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vrn {
namespace {

constexpr int kDiffColumn = 6;

// Sorts numbers as numbers: the times and differences are fixed-width texts, but "-12.0" and
// "3.5" are not.
class TPairItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const auto a = ParseNumber(text(column).toStdString());
        const auto b = ParseNumber(other.text(column).toStdString());
        if (a && b)
            return *a < *b;
        if (a || b)
            return bool(a);
        return text(column) < other.text(column);
    }
};

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

TFormSelectPairsForMeridianPassage::TFormSelectPairsForMeridianPassage(
    std::vector<TMeridianPassageTimePair> &pairs, QWidget *parent)
    : QDialog(parent)
    , FPairs(pairs)
{
    setObjectName(QStringLiteral("FormSelectPairsForMeridianPassage"));
    setWindowTitle(QStringLiteral("Select time pairs for Meridian Passage"));

    FLVPairs = new QTreeWidget(this);
    FLVPairs->setObjectName(QStringLiteral("LVPairs"));
    FLVPairs->setRootIsDecorated(false);
    FLVPairs->setHeaderLabels({QStringLiteral("Pair #"), QStringLiteral("Tm before"),
        QStringLiteral("Tm after"), QStringLiteral("Culmination"), QStringLiteral("i fator (sec)"),
        QStringLiteral("Pass. time"), QStringLiteral("Diff (sec)")});
    FLVPairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FLVPairs->setSelectionMode(QAbstractItemView::SingleSelection);

    FFilling = true;
    for (std::size_t i = 0; i < FPairs.size(); ++i) {
        const auto &p = FPairs[i];
        auto *item = new TPairItem(FLVPairs);
        item->setText(0, QString::number(p.PairNumber));
        item->setText(1, Q(PassageTimeText(p.TimeBefore)));
        item->setText(2, Q(PassageTimeText(p.TimeAfter)));
        item->setText(3, Q(PassageTimeText(p.MidTime)));
        item->setText(4, Q(FormatFixed(p.IFactor, 1, 5)));
        item->setText(5, Q(PassageTimeText(p.PassageTime)));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, p.PairSelected ? Qt::Checked : Qt::Unchecked);
    }
    FFilling = false;
    FLVPairs->setSortingEnabled(true);
    FLVPairs->sortByColumn(0, Qt::AscendingOrder);
    for (int c = 0; c < FLVPairs->columnCount(); ++c)
        FLVPairs->resizeColumnToContents(c);
    connect(FLVPairs, &QTreeWidget::itemChanged, this,
        &TFormSelectPairsForMeridianPassage::LVPairsItemChanged);

    FLAveragePassage = new QLabel(this);
    FLAveragePassage->setObjectName(QStringLiteral("LAveragePassage"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("BCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FLVPairs, 1);
    layout->addWidget(FLAveragePassage);
    layout->addWidget(buttons);
    resize(620, 260);
    UpdateAveragePassage();
}

void TFormSelectPairsForMeridianPassage::LVPairsItemChanged(QTreeWidgetItem *item, int column)
{
    if (FFilling || column != 0)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(FPairs.size()))
        return;
    FPairs[static_cast<std::size_t>(index)].PairSelected = item->checkState(0) == Qt::Checked;
    UpdateAveragePassage();
}

void TFormSelectPairsForMeridianPassage::UpdateAveragePassage()
{
    const TAveragePassage avg = AveragePassage(FPairs);
    FLAveragePassage->setText(QStringLiteral("Average passage time: ")
        + (avg.MeanHours ? Q(PassageTimeText(*avg.MeanHours)) : QStringLiteral("...")));
    const bool wasFilling = FFilling;
    FFilling = true;
    for (int row = 0; row < FLVPairs->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = FLVPairs->topLevelItem(row);
        const auto index = static_cast<std::size_t>(item->data(0, Qt::UserRole).toInt());
        const auto &diff = avg.DiffSec.at(index);
        item->setText(kDiffColumn, diff ? Q(FormatFixed(*diff, 1, 4)) : QString());
    }
    FFilling = wasFilling;
}

QString TFormSelectPairsForMeridianPassage::AverageText() const
{
    return FLAveragePassage->text();
}

bool SelectPairsForMeridianPassage(QWidget *parent, std::vector<TMeridianPassageTimePair> &pairs)
{
    TFormSelectPairsForMeridianPassage dialog(pairs, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace vrn
