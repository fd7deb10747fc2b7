#pragma once

// "Route/Track selection": picks one route, track or mark of a chart view by its name.

#include "charts/ChtObjects.h"
#include "charts/ImgCarta.h"

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace vrn {

class TLogCarta;

class TFormSelecionaRota : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSelecionaRota(QWidget *parent = nullptr);

    // Shows the names under the label; the chosen row, or -1 after Cancel or with no row
    // selected.
    int Choose(const QString &label, const std::vector<std::string> &names);

    // The chosen object of the chart view's lists, or none.
    TChtRoute *SelectRouteToExtend(TLogCarta &chart);
    TChtTrack *SelectTrackToExtend(TLogCarta &chart);
    TChtObject *SelectObjectToDelete(TLogCarta &chart);

private:
    QLabel *FLSelect = nullptr;
    QListWidget *FLBNames = nullptr;
    QPushButton *FBOK = nullptr;
    QPushButton *FBCancel = nullptr;
};

} // namespace vrn
