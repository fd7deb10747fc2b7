#include "charts/FormSelecionaRota.h"

#include "charts/ChartDialogs.h"
#include "charts/Dcarta.h"
#include "ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrn {

TFormSelecionaRota::TFormSelecionaRota(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSelecionaRota"));
    setWindowTitle(QStringLiteral("Route/Track selection"));
    FLSelect = new QLabel(this);
    FLSelect->setObjectName(QStringLiteral("LSelect"));
    FLBNames = new QListWidget(this);
    FLBNames->setObjectName(QStringLiteral("LBRotas"));
    FLSelect->setBuddy(FLBNames);
    const TOkCancelButtons okCancel = NewOkCancelButtons(this);
    FBOK = okCancel.OK;
    FBCancel = okCancel.Cancel;
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FLSelect);
    layout->addWidget(FLBNames);
    layout->addWidget(okCancel.Box);
    setMinimumSize(280, 260);
    connect(FLBNames, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int TFormSelecionaRota::Choose(const QString &label, const std::vector<std::string> &names)
{
    FLSelect->setText(label);
    FLBNames->clear();
    for (const std::string &name : names)
        FLBNames->addItem(QString::fromStdString(name));
    FLBNames->setFocus();
    if (exec() != QDialog::Accepted)
        return -1;
    const QList<QListWidgetItem *> chosen = FLBNames->selectedItems();
    return chosen.isEmpty() ? -1 : FLBNames->row(chosen.front());
}

TChtRoute *TFormSelecionaRota::SelectRouteToExtend(TLogCarta &chart)
{
    const auto &list = chart.Desk().Routes;
    return ObjectAtRow(
        list, Choose(QStringLiteral("Select route to add points to:"), NamesOf(list)));
}

TChtTrack *TFormSelecionaRota::SelectTrackToExtend(TLogCarta &chart)
{
    const auto &list = chart.Desk().Tracks;
    return ObjectAtRow(
        list, Choose(QStringLiteral("Select track to add points to:"), NamesOf(list)));
}

TChtObject *TFormSelecionaRota::SelectObjectToDelete(TLogCarta &chart)
{
    const auto &list = chart.Desk().OtherObjects;
    return ObjectAtRow(list, Choose(QStringLiteral("Select object to delete:"), NamesOf(list)));
}

} // namespace vrn
