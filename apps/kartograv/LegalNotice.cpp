#include "apps/kartograv/LegalNotice.h"

#include "apps/vrn32/fVrndisc.h"

namespace vrn {

void ShowLegalNotice(QWidget *parent)
{
    TFormVrnDisclaimer disclaimer(parent);
    disclaimer.exec();
}

} // namespace vrn
