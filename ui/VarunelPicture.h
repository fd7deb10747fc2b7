#pragma once

// The program's picture: a compass rose inside a graduated ring, drawn with QPainter so that it
// is sharp at every size (launcher picture, window icon, legal notice icon).

#include <QPixmap>
#include <QWidget>

class QPainter;
class QRectF;

namespace vrn {

void PaintCompassRose(QPainter &painter, const QRectF &bounds);

QPixmap CompassRosePixmap(int sizePx);

// The launcher's picture as a control of its own.
class TLauncherPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TLauncherPicture(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vrn
