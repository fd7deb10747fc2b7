#pragma once

// "Chart Info": name, object and point counts and file size of a chart view's vector chart.

#include <QDialog>

class QLabel;
class QPushButton;

namespace vrn {

class TLogCarta;

class TFormChartInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TFormChartInfo(QWidget *parent = nullptr);

    // Fills the rows from the chart view (they keep their initial texts without a vector chart).
    void Fill(const TLogCarta &chart);
    // Fills the rows and shows the box modally until Close.
    void Show(const TLogCarta &chart);

private:
    QLabel *FLChartName = nullptr;
    QLabel *FLPolygons = nullptr;
    QLabel *FLPoints = nullptr;
    QLabel *FLFileSize = nullptr;
    QPushButton *FBClose = nullptr;
};

} // namespace vrn
