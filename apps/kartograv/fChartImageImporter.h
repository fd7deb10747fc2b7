#pragma once

// The chart image importer: a scanned chart picture is calibrated from three clicked reference
// points and saved as a chart image data file (".CID") for the chart viewer. The work is done by
// the picture object and the importer functions of charts/; the window moves values between them
// and its controls.

#include "apps/kartograv/PositionPrompt.h"
#include "charts/ImgCarta.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vrn {

class TPictureView;

class TFormImportChartImage : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormImportChartImage(QWidget *parent = nullptr);
    ~TFormImportChartImage() override;

    void BOpenImageClick();
    void BOpenCIDClick();
    void BSaveCIDClick();
    void BSaveImageAsClick();
    void BResetEscalaClick();
    void BRotateToNSClick();
    void BGridClick();
    void BRevertClick();
    void Close1Click();

    // Runs after the third reference point and after opening a data file.
    void CheckImportAlignment();

    const TImagemCarta &Picture() const { return *FImage; }

    // A rotated picture not yet saved (the launcher asks before ending the program).
    bool HasUnsavedRotation() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void Image1MouseDown(int x, int y);
    void Image1MouseMove(int x, int y);
    void TimerPiscadorTimer();
    void MercatorClick(bool checked);
    void SetStatus(const QString &text, const char *colour);
    void ShowPicture();
    // Back to the start: no picture, "Load chart image".
    void ClearPicture();
    void MarkPoint(const TChartPoint &p, const QString &label);
    QPushButton *AddButton(const char *name, const QString &caption, const QString &hint);
    void SaveSettings();

    std::unique_ptr<TImagemCarta> FImage;
    TPromptedPosition FLastPosition;
    QString FCidFileName; // proposed by "Save CID"
    bool FBlink = false;
    const char *FStatusColour = "red";

    TPictureView *FImage1 = nullptr;
    QLabel *FLStatus = nullptr;
    QLabel *FLx = nullptr;
    QLabel *FLy = nullptr;
    QLabel *FLLat = nullptr;
    QLabel *FLLon = nullptr;
    QCheckBox *FCBMercatorLatScale = nullptr;
    QLineEdit *FEdImageDescription = nullptr;
    QComboBox *FComboGridFrequency = nullptr;
    QPushButton *FBSaveImageAs = nullptr;
    QAction *FSaveImageAs1 = nullptr;
    QTimer *FTimerPiscador = nullptr;
};

} // namespace vrn
