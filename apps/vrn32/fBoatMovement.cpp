#include "apps/vrn32/fBoatMovement.h"

#include "celestial/Sextante.h"
#include "common/NumEdit.h"
#include "engine/Trigonom.h"
#include "ui/FormSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormBoatMovement");
constexpr int kPictureSize = 66;
constexpr double kBoatLength = 55;

} // namespace

TBoatDirectionIndicator::TBoatDirectionIndicator(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ImgBoatDirectionIndicator"));
    setToolTip(QStringLiteral("drag mouse to change course"));
    setFixedSize(kPictureSize, kPictureSize);
    FBoat.L = kBoatLength;
    FBoat.ShowCenterAxis = true;
}

void TBoatDirectionIndicator::SetCourse(double courseDeg)
{
    FBoat.Course = courseDeg;
    update();
}

std::optional<int> TBoatDirectionIndicator::CourseAt(int x, int y, int w, int h)
{
    const double dx = x - w / 2.0;
    const double dy = y - h / 2.0;
    if (dx == 0 && dy == 0)
        return std::nullopt;
    // atan2 rather than ArcTan2D, which refuses the vertical through the centre; screen y grows
    // downwards, so the bearing from north is the screen angle + 90.
    double screenDeg = RadToDeg(std::atan2(dy, dx));
    if (screenDeg < 0)
        screenDeg += 360;
    const int course = static_cast<int>(std::lround(Normalize360(screenDeg + 90)));
    return course == 0 ? 360 : course;
}

void TBoatDirectionIndicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::red, 1));
    p.drawLine(width() / 2, 0, width() / 2, height());
    p.drawLine(0, height() / 2, width(), height() / 2);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0x30, 0x60, 0xC0, 90));
    TMiniBoat boat = FBoat;
    boat.Cx = width() / 2.0;
    boat.Cy = height() / 2.0;
    boat.Draw(p);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TBoatDirectionIndicator::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Follow(event->position().toPoint());
}

void TBoatDirectionIndicator::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        Follow(event->position().toPoint());
}

void TBoatDirectionIndicator::Follow(const QPoint &pos)
{
    if (const auto course = CourseAt(pos.x(), pos.y(), width(), height()))
        emit CourseDragged(*course);
}

// ---------------------------------------------------------------------------------------------

TFormBoatMovement::TFormBoatMovement(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Boat course & speed"));

    FEdBoatCourse = new QSpinBox(this);
    FEdBoatCourse->setObjectName(QStringLiteral("EdBoatCourse"));
    FEdBoatCourse->setRange(0, 360);
    FEdBoatCourse->setWrapping(true);
    FEdBoatCourse->setToolTip(QStringLiteral("enter boat true course"));

    FEdBoatSpeed = new TNumEdit(this);
    FEdBoatSpeed->setObjectName(QStringLiteral("EdBoatSpeed"));
    FEdBoatSpeed->setToolTip(QStringLiteral("enter boat speed in knots"));
    FEdBoatSpeed->SetAllowNegative(false);
    FEdBoatSpeed->SetValue(0);

    FImgBoatDirectionIndicator = new TBoatDirectionIndicator(this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("BClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Course (°T)"), FEdBoatCourse);
    fields->addRow(QStringLiteral("Speed (kn)"), FEdBoatSpeed);
    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(FImgBoatDirectionIndicator, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    LoadSettings();
    connect(FEdBoatCourse, &QSpinBox::valueChanged, this, &TFormBoatMovement::EdBoatCourseChange);
    connect(FEdBoatSpeed, &QLineEdit::textChanged, this, &TFormBoatMovement::EdBoatSpeedChange);
    connect(FImgBoatDirectionIndicator, &TBoatDirectionIndicator::CourseDragged, this,
        [this](int course) { FEdBoatCourse->setValue(course); });
    // After the stored values: the shared course and speed are the dialog's from the start.
    EdBoatCourseChange();
    EdBoatSpeedChange();
}

TFormBoatMovement::~TFormBoatMovement()
{
    SaveSettings();
}

int TFormBoatMovement::GetBoatCourse() const
{
    return FEdBoatCourse->value();
}

void TFormBoatMovement::SetBoatCourse(int courseDeg)
{
    FEdBoatCourse->setValue(courseDeg);
}

double TFormBoatMovement::GetBoatSpeed() const
{
    return FEdBoatSpeed->Value();
}

void TFormBoatMovement::SetBoatSpeed(double speedKn)
{
    FEdBoatSpeed->SetValue(speedKn);
    FEdBoatSpeed->Validate();
}

void TFormBoatMovement::EdBoatCourseChange()
{
    BoatCourseAndSpeed().Course = FEdBoatCourse->value();
    FImgBoatDirectionIndicator->SetCourse(FEdBoatCourse->value());
}

void TFormBoatMovement::EdBoatSpeedChange()
{
    BoatCourseAndSpeed().Speed = std::fabs(FEdBoatSpeed->Value());
}

void TFormBoatMovement::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FImgBoatDirectionIndicator->update();
}

void TFormBoatMovement::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FImgBoatDirectionIndicator->update();
    QDialog::changeEvent(event);
}

void TFormBoatMovement::done(int result)
{
    FEdBoatSpeed->Validate();
    EdBoatSpeedChange();
    SaveSettings();
    QDialog::done(result);
}

void TFormBoatMovement::LoadSettings()
{
    const TFormSettings settings(kWindowName);
    settings.RestoreGeometry(*this);
    const int course = settings.ReadInt(QStringLiteral("EdBoatCourse"), QStringLiteral("Value"), 0);
    FEdBoatCourse->setValue(course >= 0 && course <= 360 ? course : 0);
    const double speed =
        settings.ReadDouble(QStringLiteral("EdBoatSpeed"), QStringLiteral("Value"), 0);
    FEdBoatSpeed->SetValue(std::isfinite(speed) && speed >= 0 ? speed : 0);
}

void TFormBoatMovement::SaveSettings()
{
    TFormSettings settings(kWindowName);
    settings.SaveGeometry(*this);
    settings.WriteInt(QStringLiteral("EdBoatCourse"), QStringLiteral("Value"), GetBoatCourse());
    settings.WriteDouble(QStringLiteral("EdBoatSpeed"), QStringLiteral("Value"), GetBoatSpeed());
    settings.Flush();
}

} // namespace vrn
