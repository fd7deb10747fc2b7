#pragma once

// The traffic animation of the chart viewer's location panel: four frames, 300 ms each, played
// while a transfer runs; the first frame, still, otherwise.

#include <QTimer>
#include <QWidget>

namespace vrn {

class TFarol : public QWidget
{
    Q_OBJECT

public:
    explicit TFarol(QWidget *parent = nullptr);

    void Start();
    void Stop();

    bool Playing() const { return FTimer.isActive(); }

    int Frame() const { return FFrame; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer FTimer;
    int FFrame = 0;
};

} // namespace vrn
