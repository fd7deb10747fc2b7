#include "apps/kartograv/KartogravStartup.h"

#include "apps/kartograv/PositionPrompt.h"
#include "apps/kartograv/fChartImageImporter.h"
#include "apps/kartograv/fChtMak.h"
#include "apps/kartograv/fKartogravSplash.h"
#include "apps/kartograv/faboutc.h"
#include "charts/FormEditaPosicao.h"
#include "engine/DateTime.h"

namespace vrn {

void ApplyKartogravFormats(const QString &userShortDate)
{
    SetShortDateFormat(DateFormatFromUserPattern(userShortDate.toStdString(), ShortDateFormat()));
}

TKartogravWindows::TKartogravWindows()
    : FLauncher(std::make_unique<TFormKartogravSplash>())
    , FDigitiser(std::make_unique<TFormDigitalizadorDeCharts>())
    , FPointEditor(std::make_unique<TFormEditaPosicao>())
    , FAboutBox(std::make_unique<TAboutBox>())
    , FImporter(std::make_unique<TFormImportChartImage>())
{
    SetSharedPointEditor(FPointEditor.get());
    FDigitiser->SetAboutBox(FAboutBox.get());
    FLauncher->SetDigitiserWindow(FDigitiser.get());
    FLauncher->SetImporterWindow(FImporter.get());
    FLauncher->SetUnsavedWorkQuery(
        [this] { return FDigitiser->HasUnsavedPolygons() || FImporter->HasUnsavedRotation(); });
}

TKartogravWindows::~TKartogravWindows()
{
    SetSharedPointEditor(nullptr);
}

} // namespace vrn
