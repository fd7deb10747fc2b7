#pragma once

// "Edit chart colors": the sea, default land, default shore and grid colours of a chart view,
// chosen from the sixteen standard colours. A click on a colour applies it at once.

#include "charts/ChartDialogs.h"

#include <QDialog>

class QButtonGroup;
class QListWidget;
class QPushButton;

namespace vrn {

class TLogCarta;

// The colour of a chart view that an item names.
TColor ChartColorOf(const TLogCarta &chart, TChartColorItem item);
// Gives the chart view that colour; a change counts as a change of the desktop.
void SetChartColor(TLogCarta &chart, TChartColorItem item, TColor colour);

class TFormEditaLogCarta : public QDialog
{
    Q_OBJECT

public:
    explicit TFormEditaLogCarta(QWidget *parent = nullptr);

    // Shows the dialog modally on the chart view until Close.
    void Execute(TLogCarta &chart);

    // The item list and the palette, driven like a user does (tests and Execute share them).
    void SelectItem(int row);
    void ChooseColor(int index);

    TLogCarta *Chart() const { return FChart; }

private:
    TLogCarta *FChart = nullptr;
    QListWidget *FLBColorItems = nullptr;
    QButtonGroup *FColors = nullptr;
    QPushButton *FBClose = nullptr;
};

// The chart view's colour dialog: created, run on the view and freed.
void EditColors(TLogCarta &chart);

} // namespace vrn
