#pragma once

// The vector chart digitiser: land areas of a chart picture are traced as polygons, given names
// and palette colours, and written to a vector chart file (".cht"). The scale, the polygons and
// the files are TChartDigitiser's (charts/); the window moves values between it and its controls
// and draws the marks on the display copy of the picture.

#include "charts/ChartDigitiser.h"

#include <QMainWindow>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace vrn {

class TPictureView;
class TColorPalette;

class TFormDigitalizadorDeCharts : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormDigitalizadorDeCharts(QWidget *parent = nullptr);
    ~TFormDigitalizadorDeCharts() override;

    void LoadImage1Click();
    void SaveChart1Click();
    void Savechartas1Click();
    void Append1Click();
    void Revert1Click();
    void Exit1Click();
    void ClearCurrentpolygon1Click();
    void Deletelastpoint1Click();
    void Resetchart1Click();
    void Drawaxis1Click();
    void About1Click();
    void BCompletaPoliClick();
    void BDefineEscalaClick();

    const TChartDigitiser &Digitiser() const { return FDigitiser; }

    // Polygons not written since they changed (the launcher asks before ending the program).
    bool HasUnsavedPolygons() const { return FDigitiser.Modified() && FDigitiser.HasWork(); }

    // The about box the "About.." command shows (created by the program at start-up).
    void SetAboutBox(QWidget *aboutBox) { FAboutBox = aboutBox; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void Image1MouseDown(int x, int y);
    void Image1MouseMove(int x, int y);
    void WriteChart(bool append, bool overwriteWithoutAsking, const QString &fileName);
    void UpdateCounts();
    void SetStatus(const QString &text, const char *colour);
    void TimerPiscadorTimer();
    void LoadPicture();

    TChartDigitiser FDigitiser;
    QString FPictureFile;
    QWidget *FAboutBox = nullptr;
    bool FBlink = false;

    TPictureView *FImage1 = nullptr;
    QLabel *FLStatus = nullptr;
    QLabel *FLx = nullptr;
    QLabel *FLy = nullptr;
    QLabel *FLLat = nullptr;
    QLabel *FLLon = nullptr;
    QLabel *FLPolys = nullptr;
    QLabel *FLPoints = nullptr;
    QCheckBox *FCBMercator = nullptr;
    TColorPalette *FColorGrid = nullptr;
    QTimer *FTimerPiscador = nullptr;
};

} // namespace vrn
