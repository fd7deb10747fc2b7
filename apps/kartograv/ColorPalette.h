#pragma once

// The digitiser's palette: the 16 standard colours in one row. A left click chooses the
// foreground (outline) colour, a right click the background (fill) colour.

#include "charts/ChartColor.h"

#include <QWidget>

namespace vrn {

class TColorPalette : public QWidget
{
    Q_OBJECT

public:
    explicit TColorPalette(QWidget *parent = nullptr);

    int ForegroundIndex() const { return FForeground; }

    int BackgroundIndex() const { return FBackground; }

    TColor ForegroundColor() const;
    TColor BackgroundColor() const;

    // The cell of colour `index` (for tests that click into it).
    QRect CellRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int FForeground = 11; // yellow
    int FBackground = 3; // olive
};

} // namespace vrn
