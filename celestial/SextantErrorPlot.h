#pragma once

// The small line chart of the sextant calibration table: the error in minutes of arc at every
// whole degree, drawn as one green line from left to right on a white plot with a black grid,
// axis labels at the multiples of 30° and a background text.

#include <QString>
#include <QWidget>
#include <vector>

namespace vrn {

class TSextantErrorPlot : public QWidget
{
    Q_OBJECT

public:
    explicit TSextantErrorPlot(QWidget *parent = nullptr);

    void Clear();
    // Values at firstX, firstX + 1, ...; minutes of arc.
    void SetValues(int firstX, std::vector<double> values);
    void SetBackgroundText(const QString &text);

    const std::vector<double> &Values() const { return FValues; }

    // Where the plot and its axis labels go at the widget's size and font: the margins are as
    // wide as the longest label, so that no label is cut at the widget's edges.
    struct TLabel
    {
        QRectF Rect;
        QString Text;
    };

    struct TLayout
    {
        QRect Plot;
        double Lo = -1; // minutes at the bottom of the plot
        double Hi = 1; // and at the top
        std::vector<TLabel> Labels;
    };

    TLayout Layout() const;

    QSize sizeHint() const override { return {260, 120}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int FFirstX = 0;
    std::vector<double> FValues;
    QString FBackgroundText;
};

} // namespace vrn
