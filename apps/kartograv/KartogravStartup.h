#pragma once

// Start-up of kartograv: the process-wide formats and the windows, created once in a fixed order
// (launcher, digitiser, the shared point editor, about box, importer) and kept until the program
// ends. Only the launcher is shown at start.

#include <QString>
#include <memory>

namespace vrn {

class TAboutBox;
class TFormEditaPosicao;
class TFormDigitalizadorDeCharts;
class TFormImportChartImage;
class TFormKartogravSplash;

// Short dates "dd/MM/yyyy" when the user's pattern begins with the day, "MM/dd/yyyy" otherwise;
// numbers are always written with "." and times as "hh:mm:ss" by the engine's formatters.
void ApplyKartogravFormats(const QString &userShortDate);

class TKartogravWindows
{
public:
    TKartogravWindows();
    ~TKartogravWindows();
    TKartogravWindows(const TKartogravWindows &) = delete;
    TKartogravWindows &operator=(const TKartogravWindows &) = delete;

    TFormKartogravSplash &Launcher() const { return *FLauncher; }

    TFormDigitalizadorDeCharts &Digitiser() const { return *FDigitiser; }

    TAboutBox &AboutBox() const { return *FAboutBox; }

    TFormImportChartImage &Importer() const { return *FImporter; }

private:
    std::unique_ptr<TFormKartogravSplash> FLauncher;
    std::unique_ptr<TFormDigitalizadorDeCharts> FDigitiser;
    std::unique_ptr<TFormEditaPosicao> FPointEditor;
    std::unique_ptr<TAboutBox> FAboutBox;
    std::unique_ptr<TFormImportChartImage> FImporter;
};

} // namespace vrn
