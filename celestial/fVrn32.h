#pragma once

// "Celestial Navigation": the sight inputs, the sextant corrections, the LOP of a sight, the LOP
// list with its transport and the astronomical position fix, and the way to the other celestial
// tools. The window only moves values between its fields and the celestial logic (Sextante,
// VrnCalc, LOPFiles, SightInputs, MeridianPassage); every command shows its failure in a box and
// leaves the window usable.

#include "celestial/LOPOverlay.h"
#include "celestial/LeastSquaresFix.h"
#include "celestial/Sextante.h"
#include "celestial/VrnCalc.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vrn {

class TKaPositionEdit;
class TKaTimeEdit;
class TLogCarta;
class TNumEdit;
class TFormStarFinder;
class TSextantErrorPlot;
struct TSextantSettingsInput;
struct TSightInputs;

class TFormVrn32 : public QWidget
{
    Q_OBJECT

public:
    // Builds the bodies, reads LOPS.LST from the data folder (saying so when it is damaged) and
    // restores the stored settings.
    explicit TFormVrn32(QWidget *parent = nullptr);
    // Writes LOPS.LST (SaveLOPsAtExit) and the settings. LOPS.LST is also written after every
    // change of the list.
    ~TFormVrn32() override;

    // The page indices of the notebook.
    enum TPage
    {
        PageSextant = 0,
        PageLOP = 1,
        PagePosition = 2,
        PageOther = 3,
    };

    // The windows the buttons show; a button stays disabled until its window is set.
    void SetBoatMovementDialog(QDialog *dialog);
    void SetEqualAltitudesWindow(QWidget *window);
    void SetAlmanacPagesWindow(QWidget *window);
    void SetStarFinderWindow(TFormStarFinder *window);
    // The chart viewer's hand-over, run by "Chart..." (enabled once set).
    void SetChartViewer(std::function<void(const TChartHandOver &handOver)> handOver);

    // The dialogs the commands open, replaceable so that tests can answer them.
    std::function<bool(QWidget *parent, TLOPList &list, int n)> EditLOPOfList;
    std::function<bool(QWidget *parent, TSextantCalibrationPair &pair)> EditCalibrationPoint;

    TLOPList &LOPList() { return FLOPs; }

    const std::optional<TLOPRecord> &CurrentLOP() const { return FCurrentLOP; }

    // The least-squares fix of the last fix while the list is as it was then; null otherwise.
    const TLeastSquaresFix *ShownLeastSquares() const;

    // Writes LOPS.LST to the data folder; a failure is shown and the file on disk stays as it
    // was. False when it could not be written.
    bool SaveLOPsAtExit();
    void SaveSettings();

    // The handlers of the commands.
    void BCalcLOPClick();
    void BSalvaRetaClick();
    void BCalcPosAstronomicaClick();
    void BLimpaRetaDeAlturaClick();
    void BClearAllRetasClick();
    void BEditaLOPClick();
    void BSaveLOPListClick();
    void BOpenLOPListClick();
    void RGAutoTransportModeClick();
    void BEditBoatCourseSpeedClick();
    void BCalcAstroDadosClick();
    void BPassagemMeridianaClick();
    void BMeridianPassageByMethodOfEqualAltitudesClick();
    void BAlmanacPagesClick();
    // Shows the two-object window, created on first use.
    void BShowDistanceBetweenTwoObjectsClick();
    void BStarFinderClick();
    void BAbreCartaClick();
    void BNowClick();
    void BGetSystemTimeZoneClick();
    void BAddCorrectionTablePointClick();
    void BEditCorrectionTablePointClick();
    void BDeleteCorrectionTablePointClick();
    void BLoadSextantCalibrationTableClick();
    void BSaveSextantCalibrationTableClick();
    void PageControl1Change(int page);
    void LBStarsChange();
    void CBArtificialHorizonClick();

signals:
    // The LOP list changed (added, deleted, edited, opened, cleared).
    void LOPListChanged();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction (fVrn32Ui.cpp).
    void CreateWidgets();
    QWidget *CreateInputs();
    QWidget *CreateSextantPage();
    QWidget *CreateLOPPage();
    QWidget *CreatePositionPage();
    QWidget *CreateOtherPage();
    void ConnectSignals();
    void SetTabOrder();
    void LoadSettings();
    void LoadLOPsAtStart();
    void FillBodyList();

    // Moving values between the fields and the logic.
    TSightInputs ReadSightInputs(bool withAltitude);
    TSextantSettingsInput SextantSettingsInput() const;
    TTransportSettings TransportSettings() const;
    std::optional<double> SelectedGMT() const;
    int SelectedLOPNumber() const;
    void SyncTimeFields(bool fromLocal);
    void RefillLOPList();
    void ApplyTransport();
    void AfterListChange();
    // Clears the fix's report, labels (and, by the redraw, its marker) once the fix is gone.
    void ShowFixState();
    // Writes LOPS.LST now (through a temporary file); a failure is shown once.
    void SaveLOPsNow();
    void RefreshCourseAndSpeed();
    void RefreshCalibration();
    void ShowLimbChoice();
    void EnableFields(int page);
    void LVRetasPosicaoItemChanged(QTreeWidgetItem *item, int column);
    void DropLeastSquares();
    void MarkSuspectLOP();

    // The chart panes.
    void CenterLOPPane(double latDeg, double lonDeg);
    void CenterPositionPane(double latDeg, double lonDeg);
    void DrawLOPPane(TLogCarta *chart);
    void DrawPositionPane(TLogCarta *chart);

    TLOPList FLOPs;
    std::optional<TLeastSquaresFix> FLeastSquares;
    std::optional<TLOPRecord> FCurrentLOP;
    bool FSyncingTimes = false;
    bool FSettingNow = false;
    bool FFillingList = false;
    bool FLOPsWriteFailed = false;
    bool FGeometryRestored = false;
    QString FLastSavedList;
    QString FLastOpenedList;
    QString FLastSextantFile;

    QDialog *FBoatMovementDialog = nullptr;
    QWidget *FEqualAltitudesWindow = nullptr;
    QWidget *FAlmanacPagesWindow = nullptr;
    QWidget *FTwoObjectsWindow = nullptr; // a child window, made on first use
    TFormStarFinder *FStarFinderWindow = nullptr;

    // Inputs.
    QComboBox *FLBStars = nullptr;
    QLineEdit *FEdLocalDate = nullptr;
    QLineEdit *FEdGMTDate = nullptr;
    TKaTimeEdit *FEdLocalTime = nullptr;
    TKaTimeEdit *FEdGMTTime = nullptr;
    TNumEdit *FEdTimeZone = nullptr;
    QSpinBox *FEdWatchError = nullptr;
    TKaPositionEdit *FEdLatitude = nullptr;
    TKaPositionEdit *FEdLongitude = nullptr;
    TKaPositionEdit *FEdAltitude = nullptr;
    TNumEdit *FEdIE = nullptr;
    QPushButton *FBNow = nullptr;
    QPushButton *FBGetSystemTimeZone = nullptr;
    QTabWidget *FPageControl1 = nullptr;

    // Page 1.
    TNumEdit *FEdDip = nullptr;
    QComboBox *FCBDipUnit = nullptr;
    QCheckBox *FCBUseDipShort = nullptr;
    TNumEdit *FEdDipShortDistance = nullptr;
    QGroupBox *FRGRefractionCorrection = nullptr;
    QRadioButton *FRBSimpleRefraction = nullptr;
    QRadioButton *FRBAtmosphericRefraction = nullptr;
    QWidget *FAtmosphericFields = nullptr;
    TNumEdit *FEdTemperature = nullptr;
    TNumEdit *FEdPressure = nullptr;
    QGroupBox *FRGLimbType = nullptr;
    QButtonGroup *FLimbButtons = nullptr;
    QLabel *FImgLimbs = nullptr;
    QCheckBox *FCBArtificialHorizon = nullptr;
    QWidget *FCoriolisPanel = nullptr;
    QCheckBox *FCBUseCoriolisCorrection = nullptr;
    QPushButton *FBEditBoatCourseSpeedCoriollis = nullptr;
    QTableWidget *FGridCorrectionTable = nullptr;
    TSextantErrorPlot *FChartSextantCorrection = nullptr;
    QPushButton *FBAddCorrectionTablePoint = nullptr;
    QPushButton *FBEditCorrectionTablePoint = nullptr;
    QPushButton *FBDeleteCorrectionTablePoint = nullptr;
    QPushButton *FBLoadSextantCalibrationTable = nullptr;
    QPushButton *FBSaveSextantCalibrationTable = nullptr;

    // Page 2.
    QPushButton *FBCalcLOP = nullptr;
    QPushButton *FBSalvaReta = nullptr;
    QPlainTextEdit *FMemoLOP = nullptr;
    TLogCarta *FLOPChart = nullptr;
    QLabel *FLLOPChartMessage = nullptr;
    QToolButton *FBZoomLOP = nullptr;
    QToolButton *FBMeasureLOP = nullptr;

    // Page 3.
    QTreeWidget *FLVRetasPosicao = nullptr;
    QPushButton *FBLimpaRetaDeAltura = nullptr;
    QPushButton *FBClearAllRetas = nullptr;
    QPushButton *FBEditaLOP = nullptr;
    QPushButton *FBSaveLOPList = nullptr;
    QPushButton *FBOpenLOPList = nullptr;
    QGroupBox *FRGAutoTransportMode = nullptr;
    QButtonGroup *FTransportButtons = nullptr;
    QWidget *FBoatPanel = nullptr;
    QLabel *FLBoatCourse = nullptr;
    QLabel *FLBoatSpeed = nullptr;
    QLabel *FLTransportTime = nullptr;
    QPushButton *FBEditBoatCourseSpeed = nullptr;
    QPushButton *FBCalcPosAstronomica = nullptr;
    QPlainTextEdit *FMemoPosition = nullptr;
    QLabel *FLFixLat = nullptr;
    QLabel *FLFixLon = nullptr;
    TLogCarta *FPositionChart = nullptr;
    QLabel *FLPositionChartMessage = nullptr;
    QToolButton *FBZoomPos = nullptr;
    QToolButton *FBMeasurePos = nullptr;

    // Page "Other..".
    QPushButton *FBCalcAstroDados = nullptr;
    QPushButton *FBPassagemMeridiana = nullptr;
    QPushButton *FBMeridianPassageByMethodOfEqualAltitudes = nullptr;
    QPushButton *FBAlmanacPages = nullptr;
    QPushButton *FBShowDistanceBetweenTwoObjects = nullptr;
    QPushButton *FBAbreCarta = nullptr;
    std::function<void(const TChartHandOver &)> FChartHandOver;
    QPushButton *FBStarFinder = nullptr;
    QPlainTextEdit *FMemoOther = nullptr;
};

} // namespace vrn
