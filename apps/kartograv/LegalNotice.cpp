#include "apps/kartograv/LegalNotice.h"

#include "ui/fVrndisc.h"

namespace vrn {

void ShowLegalNotice(QWidget *parent)
{
    TFormVrnDisclaimer disclaimer(parent);
    disclaimer.exec();
}

} // namespace vrn
