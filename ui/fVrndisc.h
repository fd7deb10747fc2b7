#pragma once

// The legal notice: licence, disclaimer and acknowledgments. Created, shown modally and freed by
// the launchers' "About Varunel..." buttons (vrn32 and kartograv share it).

#include <QDialog>

namespace vrn {

class TFormVrnDisclaimer : public QDialog
{
    Q_OBJECT

public:
    explicit TFormVrnDisclaimer(QWidget *parent = nullptr);

    void BitBtn1Click();

    static QString LegalText();
};

} // namespace vrn
