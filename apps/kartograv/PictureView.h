#pragma once

// The picture area of the chart preparation tools: a scrolling view of a display copy of the
// chart picture, with a cross-hair cursor. Marks, labels and grid lines are drawn on the display
// copy only, never on the picture itself. Clicks and mouse moves are reported in picture pixels;
// those outside the picture are ignored.

#include "charts/EXBitmap.h"
#include "charts/ImgCarta.h"

#include <QImage>
#include <QScrollArea>
#include <vector>

namespace vrn {

// The picture as a QImage (a copy), and back.
QImage ToQImage(const TExBitmap &picture);

class TPictureCanvas;

class TPictureView : public QScrollArea
{
    Q_OBJECT

public:
    explicit TPictureView(QWidget *parent = nullptr);

    // The display copy becomes `image`; an empty image clears the area.
    void SetDisplay(const QImage &image);

    const QImage &Display() const { return FDisplay; }

    bool HasPicture() const { return !FDisplay.isNull(); }

    // Marks on the display copy. Crosses are two 7-pixel strokes drawn inverting what is under
    // them, so drawing the same cross again erases it.
    void DrawCross(int x, int y);
    void DrawLabel(int x, int y, const QString &text, const QColor &colour = Qt::red);
    void DrawLines(const std::vector<TPixelLine> &lines, const QColor &colour);
    void DrawLine(int x1, int y1, int x2, int y2, const QColor &colour);
    void FillPolygon(const QPolygon &polygon, const QColor &fill);

    // The picture area's own widget (for tests that click into it).
    QWidget *Canvas() const;

signals:
    void PictureClicked(int x, int y);
    void PictureMoved(int x, int y);

private:
    friend class TPictureCanvas;
    void Changed();

    QImage FDisplay;
    TPictureCanvas *FCanvas = nullptr;
};

} // namespace vrn
