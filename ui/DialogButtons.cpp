#include "ui/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace vrn {

TOkCancelButtons NewOkCancelButtons(QDialog *dialog)
{
    TOkCancelButtons b;
    b.Box = new QDialogButtonBox(dialog);
    b.OK = b.Box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    b.OK->setObjectName(QStringLiteral("BOK"));
    b.OK->setDefault(true);
    b.Cancel = b.Box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    b.Cancel->setObjectName(QStringLiteral("BCancel"));
    QObject::connect(b.Box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(b.Box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return b;
}

} // namespace vrn
