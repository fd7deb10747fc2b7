#pragma once

// The about box of kartograv, shown modally by the digitiser's "About..".

#include <QDialog>

namespace vrn {

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    static QString WarningText();
};

} // namespace vrn
