#include "sky/AstroChart.h"

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace vrn {
namespace {

constexpr int kBlinkMs = 200;

// Invalidates the control's layout when it leaves scope, so that a failed print or a picture
// of another size never leaves the control with foreign positions.
class TRelayoutGuard
{
public:
    explicit TRelayoutGuard(bool &layoutValid, bool &pictureValid)
        : FLayout(layoutValid)
        , FPicture(pictureValid)
    { }

    ~TRelayoutGuard()
    {
        FLayout = false;
        FPicture = false;
    }

    TRelayoutGuard(const TRelayoutGuard &) = delete;
    TRelayoutGuard &operator=(const TRelayoutGuard &) = delete;

private:
    bool &FLayout;
    bool &FPicture;
};

} // namespace

TStarFinder::TStarFinder(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StarFinder"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FHint = new QLabel(this);
    FHint->setObjectName(QStringLiteral("HintAstro"));
    FHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    FHint->hide();
    SetHintAppearance(FHintAppearance);
    FBlink.setInterval(kBlinkMs);
    connect(&FBlink, &QTimer::timeout, this, &TStarFinder::BlinkTick);
}

void TStarFinder::Changed(bool relayout)
{
    FPictureValid = false;
    if (relayout)
        FLayoutValid = false;
    UpdateBlink();
    update();
}

void TStarFinder::Clear()
{
    FScene.Clear();
    FHintBody.clear();
    Changed(true);
}

void TStarFinder::AddBody(
    const std::string &name, int icon, double hcDeg, double znDeg, double raDeg, double decDeg)
{
    FScene.AddBody(name, icon, hcDeg, znDeg, raDeg, decDeg);
    Changed(true);
}

void TStarFinder::AddFigurePoint(double znDeg, double hcDeg)
{
    FScene.AddFigurePoint(znDeg, hcDeg);
    Changed(true);
}

void TStarFinder::AddFigureBreak()
{
    FScene.AddFigureBreak();
    Changed(true);
}

void TStarFinder::AddEclipticPoint(double znDeg, double hcDeg)
{
    FScene.AddEclipticPoint(znDeg, hcDeg);
    Changed(true);
}

void TStarFinder::AddConstellationName(const std::string &name, double znDeg, double hcDeg)
{
    FScene.AddConstellationName(name, znDeg, hcDeg);
    Changed(true);
}

void TStarFinder::SetPlanned(std::vector<std::string> names)
{
    FScene.SetPlanned(std::move(names));
    Changed(false);
}

void TStarFinder::SetScene(TStarFinderScene scene)
{
    const std::string selected = FScene.SelectedName();
    FScene = std::move(scene);
    if (FScene.SelectedName().empty())
        FScene.KeepSelection(selected);
    FHintBody.clear();
    Changed(true);
}

void TStarFinder::Select(const QString &name)
{
    FScene.Select(name.toStdString());
    FBlinkOn = false;
    Changed(false);
}

QString TStarFinder::SelectedName() const
{
    return QString::fromStdString(FScene.SelectedName());
}

void TStarFinder::UpdateBlink()
{
    if (FScene.SelectedBody()) {
        if (!FBlink.isActive()) {
            FBlinkOn = true;
            FBlink.start();
        }
    } else {
        FBlink.stop();
        FBlinkOn = false;
    }
}

void TStarFinder::BlinkTick()
{
    if (!FScene.SelectedBody()) {
        UpdateBlink();
        update();
        return;
    }
    FBlinkOn = !FBlinkOn;
    update(BlinkRect().adjusted(-2, -2, 2, 2));
}

QRect TStarFinder::BlinkRect() const
{
    const TAstroStarFinder *b = FScene.SelectedBody();
    if (!b)
        return {};
    const int f = FStyle.Antialias ? 2 : 1;
    const int radius = std::max(b->Rect.Width, b->Rect.Height) / (2 * f) + 3;
    const QPoint c(b->Center.X / f, b->Center.Y / f);
    return {c.x() - radius, c.y() - radius, 2 * radius + 1, 2 * radius + 1};
}

void TStarFinder::EnsureLayout()
{
    if (FLayoutValid)
        return;
    const int f = FStyle.Antialias ? 2 : 1;
    TStarFinderScale scale;
    scale.Text = f;
    FScene.Layout(TSkyProjection::ForSize(width() * f, height() * f, FStyle.Overhead),
        StarFinderIconSizes(scale));
    FLayoutValid = true;
}

const TSkyProjection &TStarFinder::Projection()
{
    EnsureLayout();
    return FScene.Projection();
}

void TStarFinder::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!FPictureValid || FPicture.size() != size()) {
        FPicture = RenderStarFinder(FScene, FStyle, width(), height());
        FPictureValid = true;
        FLayoutValid = true;
    }
    p.drawImage(0, 0, FPicture);
    // The selected body's marker is drawn from state over the picture, never into it.
    if (FBlinkOn && FScene.SelectedBody()) {
        p.setCompositionMode(QPainter::CompositionMode_Difference);
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(BlinkRect().adjusted(1, 1, -1, -1));
    }
}

void TStarFinder::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Changed(true);
}

void TStarFinder::PaintTo(QImage &image)
{
    if (image.isNull())
        return;
    TRelayoutGuard guard(FLayoutValid, FPictureValid);
    const QImage chart = RenderStarFinder(FScene, FStyle, image.width(), image.height());
    QPainter p(&image);
    p.drawImage(0, 0, chart);
}

void TStarFinder::PrintTo(QPainter &painter, const QRect &page, double dpi)
{
    TRelayoutGuard guard(FLayoutValid, FPictureValid);
    PrintStarFinder(painter, page, dpi, FScene, FStyle);
    update();
}

void TStarFinder::SetStyle(const TStarFinderStyle &style)
{
    FStyle = style;
    Changed(true);
}

void TStarFinder::SetBackColor(const QColor &c)
{
    FStyle.BackColor = c;
    Changed(false);
}

void TStarFinder::SetGridAltitudes(bool on)
{
    FStyle.GridAltitudes = on;
    Changed(false);
}

void TStarFinder::SetGridAzimuths(bool on)
{
    FStyle.GridAzimuths = on;
    Changed(false);
}

void TStarFinder::SetDrawConstelations(bool on)
{
    FStyle.DrawConstelations = on;
    Changed(false);
}

void TStarFinder::SetDrawConstelationNames(bool on)
{
    FStyle.DrawConstelationNames = on;
    Changed(false);
}

void TStarFinder::SetDrawEcliptica(bool on)
{
    FStyle.DrawEcliptica = on;
    Changed(false);
}

void TStarFinder::SetDrawObjectNames(bool on)
{
    FStyle.DrawObjectNames = on;
    Changed(false);
}

void TStarFinder::SetOverhead(bool on)
{
    FStyle.Overhead = on;
    Changed(true);
}

void TStarFinder::SetAntialias(bool on)
{
    FStyle.Antialias = on;
    Changed(true);
}

void TStarFinder::SetConstNamesFont(const QFont &font, const QColor &colour)
{
    FStyle.ConstNamesFont = font;
    FStyle.ConstNamesColor = colour;
    Changed(false);
}

void TStarFinder::SetObjNamesFont(const QFont &font, const QColor &colour)
{
    FStyle.ObjNamesFont = font;
    FStyle.ObjNamesColor = colour;
    Changed(false);
}

void TStarFinder::SetBoatVisible(bool on)
{
    FStyle.BoatVisible = on;
    Changed(false);
}

void TStarFinder::SetBoatCourse(double courseDeg)
{
    FStyle.BoatCourse = courseDeg;
    Changed(false);
}

void TStarFinder::SetBoatColor(const QColor &c)
{
    FStyle.BoatColor = c;
    Changed(false);
}

void TStarFinder::SetHintAppearance(const THintAppearance &appearance)
{
    FHintAppearance = appearance;
    FHintAppearance.Transparency = std::clamp(appearance.Transparency, 0, 90);
    QColor back = FHintAppearance.Back;
    back.setAlpha(255 * (100 - FHintAppearance.Transparency) / 100);
    FHint->setFont(FHintAppearance.Font);
    FHint->setStyleSheet(QStringLiteral("QLabel { background: rgba(%1, %2, %3, %4); color: %5; "
                                        "border: %6; padding: 2px; }")
                             .arg(back.red())
                             .arg(back.green())
                             .arg(back.blue())
                             .arg(back.alpha())
                             .arg(FHintAppearance.Text.name())
                             .arg(FHintAppearance.Frame ? QStringLiteral("1px solid black")
                                                        : QStringLiteral("none")));
    if (FHintAppearance.Shadow) {
        auto *shadow = new QGraphicsDropShadowEffect(FHint);
        shadow->setBlurRadius(4);
        shadow->setOffset(2, 2);
        FHint->setGraphicsEffect(shadow);
    } else {
        FHint->setGraphicsEffect(nullptr);
    }
}

void TStarFinder::mouseMoveEvent(QMouseEvent *event)
{
    ShowHint(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void TStarFinder::leaveEvent(QEvent *event)
{
    FHint->hide();
    FHintBody.clear();
    QWidget::leaveEvent(event);
}

void TStarFinder::ShowHint(const QPoint &pointer)
{
    EnsureLayout();
    const int f = FStyle.Antialias ? 2 : 1;
    const TPointerInfo info = FScene.PointerInfoAt(pointer.x() * f, pointer.y() * f);
    const QFontMetrics m(FHint->font());
    switch (info.Kind) {
    case TPointerInfo::TKind::None:
        FHint->hide();
        FHintBody.clear();
        return;
    case TPointerInfo::TKind::Body: {
        if (FHint->isVisible() && FHintBody == info.Body->Name)
            return;
        FHintBody = info.Body->Name;
        QStringList lines;
        for (const auto &l : info.Lines)
            lines << QString::fromStdString(l);
        FHint->setText(lines.join(QLatin1Char('\n')));
        const QSize s(m.horizontalAdvance(QString::fromUtf8(
                          kBodyHintSample.data(), qsizetype(kBodyHintSample.size())))
                + 12,
            3 * m.lineSpacing() + 8);
        FHint->resize(s);
        QPoint at = pointer + QPoint(12, 16);
        if (at.x() + s.width() > width())
            at.setX(std::max(0, width() - s.width()));
        if (at.y() + s.height() > height())
            at.setY(std::max(0, height() - s.height()));
        FHint->move(at);
        break;
    }
    case TPointerInfo::TKind::Sky: {
        FHintBody.clear();
        const QString text = QString::fromStdString(info.Lines.front());
        FHint->setText(text);
        const QSize s(m.horizontalAdvance(text) + 12, m.lineSpacing() + 8);
        FHint->resize(s);
        QPoint at = pointer + QPoint(12, -s.height() / 2);
        if (at.x() + s.width() > width())
            at.setX(pointer.x() - 12 - s.width());
        at.setY(std::clamp(at.y(), 0, std::max(0, height() - s.height())));
        FHint->move(at);
        break;
    }
    }
    FHint->show();
    FHint->raise();
}

} // namespace vrn
