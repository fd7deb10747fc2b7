#pragma once

// TStarFinder, the round sky chart control of the star finder: the bodies above the horizon of
// an observer with the grids, the ecliptic and the constellations, the pointer read-out in a hint
// box, and the selected body blinking. Positions come from TStarFinderScene and the drawing from
// StarFinderPainter; the control keeps the properties and the blink.

#include "sky/StarFinderPainter.h"
#include "sky/StarFinderScene.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

class QPrinter;

namespace vrn {

// How the pointer's hint box looks.
struct THintAppearance
{
    QColor Back = QColor(255, 255, 225);
    QColor Text = Qt::black;
    QFont Font = QFont(QStringLiteral("Arial"), 8);
    bool Frame = true;
    bool Shadow = false;
    int Transparency = 0; // percent, 0..90
};

class TStarFinder : public QWidget
{
    Q_OBJECT

public:
    explicit TStarFinder(QWidget *parent = nullptr);

    // The items; every change repaints. Clear keeps the selected name (and the blinking, once
    // the rebuild plots it again).
    void Clear();
    void AddBody(
        const std::string &name, int icon, double hcDeg, double znDeg, double raDeg, double decDeg);
    void AddFigurePoint(double znDeg, double hcDeg);
    void AddFigureBreak();
    void AddEclipticPoint(double znDeg, double hcDeg);
    void AddConstellationName(const std::string &name, double znDeg, double hcDeg);
    void SetPlanned(std::vector<std::string> names);
    // Replaces the whole scene at once (what the window does on every computation).
    void SetScene(TStarFinderScene scene);

    // Case-insensitive; starts the blink. A name that is not plotted stops it and selects
    // nothing.
    void Select(const QString &name);
    QString SelectedName() const;

    bool Blinking() const { return FBlink.isActive(); }

    bool BlinkShown() const { return FBlinkOn; }

    // The chart at the size of `image` (without the blink marker).
    void PaintTo(QImage &image);
    // The chart on a page of the caller's print job, black on white; the control's look and
    // positions are as before afterwards, also when drawing fails.
    void PrintTo(QPainter &painter, const QRect &page, double dpi);

    const TStarFinderStyle &Style() const { return FStyle; }

    void SetStyle(const TStarFinderStyle &style);

    QColor BackColor() const { return FStyle.BackColor; }

    void SetBackColor(const QColor &c);
    void SetGridAltitudes(bool on);
    void SetGridAzimuths(bool on);
    void SetDrawConstelations(bool on);
    void SetDrawConstelationNames(bool on);
    void SetDrawEcliptica(bool on);
    void SetDrawObjectNames(bool on);
    void SetOverhead(bool on);
    void SetAntialias(bool on);
    void SetConstNamesFont(const QFont &font, const QColor &colour);
    void SetObjNamesFont(const QFont &font, const QColor &colour);
    void SetBoatVisible(bool on);
    void SetBoatCourse(double courseDeg);

    double BoatCourse() const { return FStyle.BoatCourse; }

    void SetBoatColor(const QColor &c);

    QLabel *HintAstro() const { return FHint; }

    const THintAppearance &HintAppearance() const { return FHintAppearance; }

    void SetHintAppearance(const THintAppearance &appearance);

    const TStarFinderScene &Scene() const { return FScene; }

    // The layout of the control's own size (also after PaintTo and PrintTo).
    const TSkyProjection &Projection();

    QSize sizeHint() const override { return {440, 440}; }

    QSize minimumSizeHint() const override { return {200, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void Changed(bool relayout);
    void EnsureLayout();
    void UpdateBlink();
    void BlinkTick();
    void ShowHint(const QPoint &pointer);
    QRect BlinkRect() const;

    TStarFinderScene FScene;
    TStarFinderStyle FStyle;
    THintAppearance FHintAppearance;
    QImage FPicture;
    bool FPictureValid = false;
    bool FLayoutValid = false;
    QTimer FBlink;
    bool FBlinkOn = false;
    QLabel *FHint = nullptr;
    std::string FHintBody;
};

} // namespace vrn
