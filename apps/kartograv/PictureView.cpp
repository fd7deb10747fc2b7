#include "apps/kartograv/PictureView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

namespace vrn {

QImage ToQImage(const TExBitmap &picture)
{
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB888);
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t *src = picture.ScanLine(y);
        uchar *dst = image.scanLine(y);
        for (int x = 0; x < picture.Width(); ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

class TPictureCanvas : public QWidget
{
public:
    explicit TPictureCanvas(TPictureView *view)
        : QWidget(view)
        , FView(view)
    {
        setObjectName(QStringLiteral("Image1"));
        setCursor(Qt::CrossCursor);
        setMouseTracking(true);
    }

    QSize sizeHint() const override
    {
        return FView->FDisplay.isNull() ? QSize(1, 1) : FView->FDisplay.size();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        p.fillRect(event->rect(), palette().window());
        if (!FView->FDisplay.isNull())
            p.drawImage(event->rect().topLeft(), FView->FDisplay, event->rect());
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        const QPoint at = event->position().toPoint();
        if (event->button() == Qt::LeftButton && Inside(at))
            emit FView->PictureClicked(at.x(), at.y());
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QPoint at = event->position().toPoint();
        if (Inside(at))
            emit FView->PictureMoved(at.x(), at.y());
    }

private:
    bool Inside(const QPoint &at) const
    {
        return !FView->FDisplay.isNull() && FView->FDisplay.rect().contains(at);
    }

    TPictureView *FView;
};

TPictureView::TPictureView(QWidget *parent)
    : QScrollArea(parent)
    , FCanvas(new TPictureCanvas(this))
{
    setObjectName(QStringLiteral("ScrollBox1"));
    setWidget(FCanvas);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Dark);
    FCanvas->resize(1, 1);
}

QWidget *TPictureView::Canvas() const
{
    return FCanvas;
}

void TPictureView::SetDisplay(const QImage &image)
{
    FDisplay = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    FCanvas->resize(FDisplay.isNull() ? QSize(1, 1) : FDisplay.size());
    Changed();
}

void TPictureView::Changed()
{
    FCanvas->update();
}

void TPictureView::DrawCross(int x, int y)
{
    if (FDisplay.isNull())
        return;
    QPainter p(&FDisplay);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    // Two strokes that share their middle pixel would cancel it; the vertical one skips it.
    p.drawLine(x - 3, y, x + 3, y);
    p.drawLine(x, y - 3, x, y - 1);
    p.drawLine(x, y + 1, x, y + 3);
    Changed();
}

void TPictureView::DrawLabel(int x, int y, const QString &text, const QColor &colour)
{
    if (FDisplay.isNull())
        return;
    QPainter p(&FDisplay);
    p.setPen(colour);
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(QPoint(x + 4, y - 4), text);
    Changed();
}

void TPictureView::DrawLines(const std::vector<TPixelLine> &lines, const QColor &colour)
{
    if (FDisplay.isNull())
        return;
    QPainter p(&FDisplay);
    p.setPen(QPen(colour, 1));
    p.setClipRect(FDisplay.rect());
    for (const auto &l : lines)
        p.drawLine(l.A.X, l.A.Y, l.B.X, l.B.Y);
    Changed();
}

void TPictureView::DrawLine(int x1, int y1, int x2, int y2, const QColor &colour)
{
    DrawLines({TPixelLine {{x1, y1}, {x2, y2}}}, colour);
}

void TPictureView::FillPolygon(const QPolygon &polygon, const QColor &fill)
{
    if (FDisplay.isNull())
        return;
    QPainter p(&FDisplay);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPolygon(polygon);
    Changed();
}

} // namespace vrn
