#pragma once

// "Edit object": the mark editor. Name, web link and icon of one mark; the icon list holds
// every icon of the marker bitmap cache in name order.

#include "charts/ChtObjects.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vrn {

class TFormEditTChtURLObject : public QDialog
{
    Q_OBJECT

public:
    // Needs the marker bitmap cache (a chart view holds it) to show icons.
    explicit TFormEditTChtURLObject(QWidget *parent = nullptr);

    // True on OK, with the mark's name, link and (when a row is chosen) icon changed; Cancel
    // leaves the mark as it was.
    bool Execute(TChtURLObject &mark);

    // Fills the fields and selects the row of the mark's icon (none when it is not listed).
    void SetMark(const TChtURLObject &mark);

    void done(int result) override;

private:
    TChtURLObject *FMark = nullptr;

    QLineEdit *FEdName = nullptr;
    QLineEdit *FEdURL = nullptr;
    QListWidget *FLBIcons = nullptr;
    QPushButton *FBOK = nullptr;
    QPushButton *FBCancel = nullptr;
};

// The mark editor as a chart view's seam: the view calls it for a new mark and for a clicked one.
bool EditMarkInDialog(QWidget *parent, TChtURLObject &mark);

} // namespace vrn
