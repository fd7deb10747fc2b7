#pragma once

// "Leg Calculator": rhumb line and great circle between two positions side by side, the
// difference of their lengths, and the points of each in a table that the chart viewer takes as
// a route (LegCalculator.h). Created at start-up, shown by the chart viewer; its five fields are
// kept per user under the calculator's own settings identity.

#include "celestial/LegCalculator.h"

#include <QWidget>
#include <string_view>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace vrn {

class TKaPositionEdit;
class TLogCarta;

// The settings identity of the leg calculator: its own application name under the company.
constexpr const char *kLegCalculatorSettingsApplication = "VrnCalculator";

class TFormRouteCalculator : public QWidget
{
    Q_OBJECT

public:
    explicit TFormRouteCalculator(QWidget *parent = nullptr);
    ~TFormRouteCalculator() override;

    // The chart view the routes go to (the chart viewer's); the "Add route" buttons stay
    // disabled until it is set. The view must outlive this window or be unset first.
    void SetChartView(TLogCarta *view);

    // The page indices of the notebook.
    enum TPage
    {
        PageGeneral = 0,
        PageGCRoute = 1,
        PageRLRoute = 2,
    };

    void BCalculateClick();
    void BExchangePositionsClick();
    void BAddGCRouteToDesktopClick();
    void BAddRLRouteToDesktopClick();
    void CBOnTopClick();
    void BCloseClick();

    // Stored when the window is hidden and at exit.
    void SaveSettings();

signals:
    // A route was added to the chart view (its list and picture are already told).
    void RouteAdded();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void LoadSettings();
    void ShowGrid(QTableWidget &grid, const TLegLine &line);
    void ResetGrid(QTableWidget &grid);
    void AddRoute(const QTableWidget &grid, std::string_view routeName);

    TLogCarta *FChartView = nullptr;
    bool FShownOnce = false;
    bool FGeometryKnown = false; // restored from the settings, or shown once

    TKaPositionEdit *FEdLatIni = nullptr;
    TKaPositionEdit *FEdLonIni = nullptr;
    TKaPositionEdit *FEdLatFin = nullptr;
    TKaPositionEdit *FEdLonFin = nullptr;
    QSpinBox *FEdNumPointsInRoute = nullptr;
    QPushButton *FBExchangePositions = nullptr;
    QTabWidget *FPageControl = nullptr;
    QLabel *FLTcRL = nullptr;
    QLabel *FLDistRL = nullptr;
    QLabel *FLTcGC = nullptr;
    QLabel *FLDistGC = nullptr;
    QLabel *FLDiffNM = nullptr;
    QLabel *FLDifPerc = nullptr;
    QTableWidget *FGridGCRoute = nullptr;
    QTableWidget *FGridRLRoute = nullptr;
    QPushButton *FBAddGCRouteToDesktop = nullptr;
    QPushButton *FBAddRLRouteToDesktop = nullptr;
    QPushButton *FBCalculate = nullptr;
    QCheckBox *FCBOnTop = nullptr;
    QPushButton *FBClose = nullptr;
};

} // namespace vrn
