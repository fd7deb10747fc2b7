#pragma once

// "Varunel Star Finder": the bodies above the horizon for a position and GMT instant, listed
// with altitude, azimuth and magnitude and shown on the sky chart; the sight planner's best
// bodies for a fix; the sky following the clock or animated forward and backward; printing and
// copying. The window moves values between its fields and the Qt-free star finder code
// (VisibleSky, Constelations, SightPlanner).

#include "sky/AstroChart.h"
#include "sky/Constelations.h"
#include "sky/SightPlanner.h"
#include "sky/StarFinderPrint.h"
#include "sky/VisibleSky.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace vrn {

class TKaPositionEdit;
class TKaTimeEdit;
class TNumEdit;

class TFormStarFinder : public QWidget
{
    Q_OBJECT

public:
    // Creates the body registry if needed and restores the stored settings.
    explicit TFormStarFinder(QWidget *parent = nullptr);
    // Stores the settings.
    ~TFormStarFinder() override;

    // The boat course and speed dialog "Edit.." opens; the button stays disabled until set.
    void SetBoatMovementDialog(QDialog *dialog);

    // What another window hands over (the celestial navigation window: its assumed position and
    // the GMT of the sight): fills the fields, computes the view, and shows the window, restored
    // if it was minimised. Latitude north and longitude WEST positive, degrees; the GMT date in
    // days since 1899-12-30 (none leaves the date empty, which means today) and the GMT time of
    // day as a fraction of a day.
    void ShowFor(double latDeg, double lonDeg, std::optional<double> gmtDate, double gmtTime);

    // The platform dialogs, replaceable so that tests can answer them: a font and its colour
    // (nothing when cancelled), and the pointer hint's appearance (false when cancelled).
    std::function<std::optional<std::pair<QFont, QColor>>(
        QWidget *parent, const QFont &font, const QColor &colour)>
        ChooseFont;
    std::function<bool(QWidget *parent, THintAppearance &appearance)> EditHintAppearance;

    TStarFinder &Chart() { return *FChart; }

    // The last view computed.
    const TVisibleSky &Sky() const { return FSky; }

    const std::optional<TSightPlan> &Plan() const { return FPlan; }

    // What the lists print: the view label, position, count and the grid's rows as shown.
    TStarFinderListing Listing() const;

    QTimer &AnimationTimer() { return FAnimation; }

    void SaveSettings();

    // Handlers.
    void BCalcAstrosVisiveisClick();
    void BNowClick();
    void BGetSystemTimeZoneClick();
    void BCopyVisStarChartClick();
    void BPrintStuffClick();
    void BPrintVisibleStarsListClick();
    void BPrintVisibleStarsChartClick();
    void BSaveStuffAsPdfClick();
    void BSaveVisibleStarsListAsPdfClick();
    void BSaveVisibleStarsChartAsPdfClick();
    void GridAstrosVisiveisClick(int row);
    void BEditBoatCourseClick();
    void BObjectNamesFontClick();
    void BConstellationNamesFontClick();
    void BCursorClick();
    void BEveningTwilightClick();
    void BMorningTwilightClick();
    void TmAnimationTimer();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Construction (fTAstroChartUi.cpp).
    void CreateWidgets();
    QWidget *CreateInputs();
    QWidget *CreateAnimation();
    QWidget *CreatePlanner();
    QWidget *CreatePages();
    void ConnectSignals();
    void LoadSettings();

    // Moving values between the fields and the logic.
    double ViewDateTime();
    void SetViewDateTime(double dateTime);
    void Compute(double dateTime);
    void ShowSky();
    void ShowPlan();
    void ApplyShowOptions();
    void UpdateAdvanceVisibility();
    void UpdateAnimation();
    void SetNow(bool checkTimeZone);
    void GoToTwilight(TTwilightKind which);
    TAnimationUnit AdvanceUnit() const;

    TPosicionadorDeConstelacoes FConstellations;
    TVisibleSky FSky;
    std::optional<TSightPlan> FPlan;
    QTimer FAnimation;
    bool FInFiring = false;
    QDialog *FBoatMovementDialog = nullptr;

    TKaPositionEdit *FEdLat = nullptr;
    TKaPositionEdit *FEdLon = nullptr;
    QLineEdit *FEdGMTDate = nullptr;
    TKaTimeEdit *FEdGMTTime = nullptr;
    TNumEdit *FEdTimeZone = nullptr;
    QPushButton *FBGetSystemTimeZone = nullptr;
    QPushButton *FBNow = nullptr;
    QPushButton *FBCalcAstrosVisiveis = nullptr;

    QCheckBox *FCBCurrentSky = nullptr;
    QCheckBox *FCBAnimate = nullptr;
    QSpinBox *FSpinEvery = nullptr;
    QWidget *FAdvance = nullptr;
    QSpinBox *FSpinAdvance = nullptr;
    QComboBox *FCBAdvanceUnit = nullptr;

    QCheckBox *FCBPlanSights = nullptr;
    QSpinBox *FSpinPlanBodies = nullptr;
    QPushButton *FBEveningTwilight = nullptr;
    QPushButton *FBMorningTwilight = nullptr;
    QLabel *FLPlan = nullptr;

    QTabWidget *FPages = nullptr;
    QLabel *FLCount = nullptr;
    QTableWidget *FGridAstrosVisiveis = nullptr;
    QCheckBox *FCBConstelationLines = nullptr;
    QCheckBox *FCBConstelationNames = nullptr;
    QCheckBox *FCBEcliptic = nullptr;
    QCheckBox *FCBObjectNames = nullptr;
    QCheckBox *FCBDrawBoatCourse = nullptr;
    QCheckBox *FCBOverhead = nullptr;
    QCheckBox *FCBAntialias = nullptr;
    QCheckBox *FCBGridAltitudes = nullptr;
    QCheckBox *FCBGridAzimuths = nullptr;
    QPushButton *FBObjectNamesFont = nullptr;
    QPushButton *FBConstellationNamesFont = nullptr;
    QPushButton *FBCursor = nullptr;
    QPushButton *FBEditBoatCourse = nullptr;

    QPushButton *FBCopyVisStarChart = nullptr;
    QPushButton *FBPrintStuff = nullptr;
    QAction *FMIPrintStuff = nullptr;
    QAction *FMIPrintVisibleStarsList = nullptr;
    QAction *FMIPrintVisibleStarsChart = nullptr;
    QAction *FMISaveStuffAsPdf = nullptr;
    QAction *FMISaveVisibleStarsListAsPdf = nullptr;
    QAction *FMISaveVisibleStarsChartAsPdf = nullptr;

    QLabel *FLViewLabel = nullptr;
    TStarFinder *FChart = nullptr;
};

} // namespace vrn
