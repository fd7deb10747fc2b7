#include "charts/FormEditTChtURLObject.h"

#include "charts/ChartColor.h"
#include "charts/ChartDialogs.h"
#include "charts/Dchtbmps.h"
#include "charts/PainterSurface.h"
#include "engine/VrnError.h"
#include "ui/DialogButtons.h"
#include "ui/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace vrn {

namespace {

constexpr int kIconRowHeight = 20;

QString FromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Each row shows its icon centred, on grey when selected.
class TIconRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? ToQColor(kClGray) : option.palette.base());
        const QImage icon = index.data(Qt::DecorationRole).value<QImage>();
        if (!icon.isNull()) {
            const QPoint at = option.rect.center() - QPoint(icon.width() / 2, icon.height() / 2);
            painter->drawImage(at, icon);
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.highlight().color(), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return {48, kIconRowHeight};
    }
};

} // namespace

TFormEditTChtURLObject::TFormEditTChtURLObject(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEditTChtURLObject"));
    setWindowTitle(QStringLiteral("Edit object"));

    FEdName = new QLineEdit(this);
    FEdName->setObjectName(QStringLiteral("EdName"));
    FEdURL = new QLineEdit(this);
    FEdURL->setObjectName(QStringLiteral("EdURL"));
    FEdURL->setMinimumWidth(260);
    FLBIcons = new QListWidget(this);
    FLBIcons->setObjectName(QStringLiteral("LBIcons"));
    FLBIcons->setItemDelegate(new TIconRowDelegate(FLBIcons));
    FLBIcons->setUniformItemSizes(true);
    FLBIcons->setFixedWidth(64);
    for (const std::string &name : MarkerBitmapNames()) {
        auto *item = new QListWidgetItem(FLBIcons);
        item->setData(Qt::DecorationRole, GetMarkerBitmap(name, true));
        item->setData(Qt::UserRole, FromUtf8(name));
        item->setToolTip(FromUtf8(name));
    }

    auto *nameLabel = new QLabel(QStringLiteral("&Name:"), this);
    nameLabel->setObjectName(QStringLiteral("LName"));
    nameLabel->setBuddy(FEdName);
    auto *linkLabel = new QLabel(QStringLiteral("&Link:"), this);
    linkLabel->setObjectName(QStringLiteral("LLink"));
    linkLabel->setBuddy(FEdURL);
    auto *iconLabel = new QLabel(QStringLiteral("&Icon:"), this);
    iconLabel->setObjectName(QStringLiteral("LIcon"));
    iconLabel->setBuddy(FLBIcons);

    const TOkCancelButtons okCancel = NewOkCancelButtons(this);
    FBOK = okCancel.OK;
    FBCancel = okCancel.Cancel;

    auto *grid = new QGridLayout(this);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(FEdName, 0, 1);
    grid->addWidget(iconLabel, 0, 2);
    grid->addWidget(linkLabel, 1, 0);
    grid->addWidget(FEdURL, 1, 1);
    grid->addWidget(FLBIcons, 1, 2, 2, 1);
    grid->addWidget(okCancel.Box, 3, 0, 1, 3);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    setMinimumHeight(260);

    setTabOrder(FEdName, FEdURL);
    setTabOrder(FEdURL, FLBIcons);
    setTabOrder(FLBIcons, FBOK);
    setTabOrder(FBOK, FBCancel);
}

void TFormEditTChtURLObject::SetMark(const TChtURLObject &mark)
{
    FEdName->setText(FromUtf8(mark.Name));
    FEdURL->setText(FromUtf8(MarkLinkText(mark)));
    FLBIcons->clearSelection();
    FLBIcons->setCurrentItem(nullptr);
    const QString icon = FromUtf8(mark.BitmapName);
    for (int i = 0; i < FLBIcons->count(); ++i) {
        QListWidgetItem *item = FLBIcons->item(i);
        if (item->data(Qt::UserRole).toString() == icon) {
            FLBIcons->setCurrentItem(item);
            FLBIcons->scrollToItem(item);
            break;
        }
    }
}

bool TFormEditTChtURLObject::Execute(TChtURLObject &mark)
{
    SetMark(mark);
    FMark = &mark;
    FEdName->setFocus();
    FEdName->selectAll();
    const bool ok = exec() == QDialog::Accepted;
    FMark = nullptr;
    return ok;
}

void TFormEditTChtURLObject::done(int result)
{
    if (result == QDialog::Accepted && FMark) {
        TMarkEdit edit;
        edit.Name = FEdName->text().toStdString();
        edit.Link = FEdURL->text().toStdString();
        const QList<QListWidgetItem *> chosen = FLBIcons->selectedItems();
        if (!chosen.isEmpty())
            edit.Icon = chosen.front()->data(Qt::UserRole).toString().toStdString();
        try {
            ApplyMarkEdit(*FMark, edit);
        } catch (const EVrnError &e) {
            ShowError(this, QString::fromUtf8(e.what()));
            QLineEdit *culprit = FieldTextProblem(edit.Name, "") ? FEdName : FEdURL;
            culprit->setFocus();
            return;
        }
    }
    QDialog::done(result);
}

bool EditMarkInDialog(QWidget *parent, TChtURLObject &mark)
{
    TFormEditTChtURLObject dialog(parent);
    return dialog.Execute(mark);
}

} // namespace vrn
