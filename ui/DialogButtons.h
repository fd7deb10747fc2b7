#pragma once

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace vrn {

struct TOkCancelButtons
{
    QDialogButtonBox *Box = nullptr;
    QPushButton *OK = nullptr; // objectName "BOK", the default button
    QPushButton *Cancel = nullptr; // objectName "BCancel"
};

// The "OK" and "Cancel" row of an editing dialog, wired to accept() and reject(); the caller
// places the box in its layout.
TOkCancelButtons NewOkCancelButtons(QDialog *dialog);

} // namespace vrn
