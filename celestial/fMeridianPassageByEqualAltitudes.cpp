#include "celestial/fMeridianPassageByEqualAltitudes.h"

#include "celestial/Sextante.h"
#include "celestial/SightInputs.h"
#include "celestial/WindowFields.h"
#include "celestial/fSelectPairsForMeridianPassage.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "ui/Fonts.h"
#include "ui/FormSettings.h"
#include "ui/Keyboard.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormMeridianPassageByEqualAltitudes");

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

TKaTimeEdit *NewTime(const QString &name, QWidget *parent)
{
    auto *t = new TKaTimeEdit(parent);
    t->setObjectName(name);
    t->setToolTip(QStringLiteral("GMT by the watch, hh:mm:ss (the watch error is taken off)"));
    return t;
}

} // namespace

TFormMeridianPassageByEqualAltitudes::TFormMeridianPassageByEqualAltitudes(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ChoosePairs([this](std::vector<TMeridianPassageTimePair> &pairs) {
        return SelectPairsForMeridianPassage(this, pairs);
    })
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Sun Meridian Passage by Equal Altitudes"));
    CreateAstros();

    FEdGMTDate = new QLineEdit(this);
    FEdGMTDate->setObjectName(QStringLiteral("EdGMTDate"));
    FEdGMTDate->setToolTip(QStringLiteral("GMT date of the sights"));
    AppendShortDateHint(*FEdGMTDate);
    FEdAltitudeCulm = new TKaPositionEdit(this);
    FEdAltitudeCulm->setObjectName(QStringLiteral("EdAltitudeCulm"));
    FEdAltitudeCulm->SetPositionType(TPositionType::ptAngle);
    FEdAltitudeCulm->SetDegreeDigits(2);
    FEdAltitudeCulm->setToolTip(QStringLiteral("Sextant altitude at culmination (Hs)"));
    FEdIE = new TNumEdit(this);
    FEdIE->setObjectName(QStringLiteral("EdIE"));
    // The same sign as the celestial window's "Index Correction:".
    FEdIE->setToolTip(
        QStringLiteral("Index correction in minutes (- when the error is on the arc)"));
    FEdIE->SetValue(0);
    FEdDip = new TNumEdit(this);
    FEdDip->setObjectName(QStringLiteral("EdDip"));
    FEdDip->setToolTip(QStringLiteral("Height of the eye, or the dip itself in minutes"));
    FEdDip->SetValue(0);
    FCBDipUnit = new QComboBox(this);
    FCBDipUnit->setObjectName(QStringLiteral("CBDipUnit"));
    FEdWatchError = new QSpinBox(this);
    FEdWatchError->setObjectName(QStringLiteral("EdWatchError"));
    FEdWatchError->setRange(INT_MIN, INT_MAX);
    FEdWatchError->setToolTip(QStringLiteral("Watch error in seconds (+ if advanced)"));
    FCBLowerLimb = new QCheckBox(QStringLiteral("Lower limb "), this);
    FCBLowerLimb->setObjectName(QStringLiteral("CBLowerLimb"));
    FCBLowerLimb->setChecked(true);
    FEdLatitude = new TKaPositionEdit(this);
    FEdLatitude->setObjectName(QStringLiteral("EdLatitude"));
    FEdLatitude->SetPositionType(TPositionType::ptNS);
    FEdLatitude->SetDegreeDigits(2);
    FEdLatitude->setToolTip(QStringLiteral("Assumed latitude"));
    FEdLongitude = new TKaPositionEdit(this);
    FEdLongitude->setObjectName(QStringLiteral("EdLongitude"));
    FEdLongitude->SetPositionType(TPositionType::ptWE);
    FEdLongitude->SetDegreeDigits(3);
    FEdLongitude->setToolTip(
        QStringLiteral("Assumed longitude (not used: the passage gives the longitude)"));
    FLBoatCourse = new QLabel(this);
    FLBoatCourse->setObjectName(QStringLiteral("LBoatCourse"));
    FLBoatSpeed = new QLabel(this);
    FLBoatSpeed->setObjectName(QStringLiteral("LBoatSpeed"));
    FBEditBoatCourseSpeed = new QPushButton(QStringLiteral("Edit boat C&&S"), this);
    FBEditBoatCourseSpeed->setObjectName(QStringLiteral("BEditBoatCourseSpeed"));
    FBEditBoatCourseSpeed->setEnabled(false);

    auto *inputs = new QGroupBox(QStringLiteral("Sight"), this);
    auto *grid = new QGridLayout(inputs);
    grid->addWidget(LabelFor(QStringLiteral("GMT &date:"), FEdGMTDate, inputs), 0, 0);
    grid->addWidget(FEdGMTDate, 0, 1);
    grid->addWidget(LabelFor(QStringLiteral("watch error:"), FEdWatchError, inputs), 0, 2);
    grid->addWidget(FEdWatchError, 0, 3);
    grid->addWidget(
        LabelFor(QStringLiteral("Maximum altitude (culmination):"), FEdAltitudeCulm, inputs), 1, 0);
    grid->addWidget(FEdAltitudeCulm, 1, 1, Qt::AlignLeft);
    grid->addWidget(FCBLowerLimb, 1, 2, 1, 2);
    grid->addWidget(LabelFor(QStringLiteral("IC:"), FEdIE, inputs), 2, 0);
    grid->addWidget(FEdIE, 2, 1);
    grid->addWidget(LabelFor(QStringLiteral("Dip:"), FEdDip, inputs), 2, 2);
    auto *dip = new QHBoxLayout;
    dip->addWidget(FEdDip);
    dip->addWidget(FCBDipUnit);
    grid->addLayout(dip, 2, 3);
    grid->addWidget(LabelFor(QStringLiteral("Lat:"), FEdLatitude, inputs), 3, 0);
    grid->addWidget(FEdLatitude, 3, 1, Qt::AlignLeft);
    grid->addWidget(LabelFor(QStringLiteral("Lon:"), FEdLongitude, inputs), 3, 2);
    grid->addWidget(FEdLongitude, 3, 3, Qt::AlignLeft);
    auto *boat = new QHBoxLayout;
    boat->addWidget(new QLabel(QStringLiteral("Boat:"), inputs));
    boat->addWidget(FLBoatCourse);
    boat->addWidget(FLBoatSpeed);
    boat->addStretch(1);
    boat->addWidget(FBEditBoatCourseSpeed);
    grid->addLayout(boat, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    auto *onePage = new QWidget(FPageControl);
    onePage->setObjectName(QStringLiteral("TSOnePair"));
    FEdGMTTime1 = NewTime(QStringLiteral("EdGMTTime1"), onePage);
    FEdGMTTime2 = NewTime(QStringLiteral("EdGMTTime2"), onePage);
    auto *one = new QGridLayout(onePage);
    one->addWidget(new QLabel(QStringLiteral("GMT before transit"), onePage), 0, 0);
    one->addWidget(new QLabel(QStringLiteral("GMT after transit"), onePage), 0, 1);
    one->addWidget(FEdGMTTime1, 1, 0);
    one->addWidget(FEdGMTTime2, 1, 1);
    one->setRowStretch(2, 1);
    one->setColumnStretch(2, 1);
    FPageControl->addTab(onePage, QStringLiteral("One pair"));

    auto *multiPage = new QWidget(FPageControl);
    multiPage->setObjectName(QStringLiteral("TSMultiplePairs"));
    auto *multi = new QGridLayout(multiPage);
    multi->addWidget(new QLabel(QStringLiteral("GMT before transit"), multiPage), 0, 1);
    multi->addWidget(new QLabel(QStringLiteral("GMT after transit"), multiPage), 0, 2);
    for (int i = 0; i < kEqualAltitudeRows; ++i) {
        const QString n = QString::number(i + 1);
        multi->addWidget(new QLabel(n + QStringLiteral("."), multiPage), i + 1, 0);
        FEdTimeA[static_cast<std::size_t>(i)] = NewTime(QStringLiteral("EdTimeA") + n, multiPage);
        FEdTimeD[static_cast<std::size_t>(i)] = NewTime(QStringLiteral("EdTimeD") + n, multiPage);
        multi->addWidget(FEdTimeA[static_cast<std::size_t>(i)], i + 1, 1);
        multi->addWidget(FEdTimeD[static_cast<std::size_t>(i)], i + 1, 2);
        auto *clear = new QPushButton(QStringLiteral(".."), multiPage);
        clear->setObjectName(QStringLiteral("BClearPair") + n);
        clear->setToolTip(QStringLiteral("Clear pair ") + n);
        clear->setProperty("Tag", i + 1);
        clear->setFixedWidth(28);
        clear->setAutoDefault(false);
        connect(clear, &QPushButton::clicked, this, [this, i] { BClearPairClick(i + 1); });
        multi->addWidget(clear, i + 1, 3);
    }
    FBClearMultiplosEdTimes = new QPushButton(QStringLiteral("Clear all"), multiPage);
    FBClearMultiplosEdTimes->setObjectName(QStringLiteral("BClearMultiplosEdTimes"));
    FBClearMultiplosEdTimes->setAutoDefault(false);
    multi->addWidget(FBClearMultiplosEdTimes, kEqualAltitudeRows + 1, 1);
    multi->setColumnStretch(4, 1);
    FPageControl->addTab(multiPage, QStringLiteral("Multiple pairs"));

    FBPassagemMeridiana = new QPushButton(QStringLiteral("&Calculate Sun meridian passage"), this);
    FBPassagemMeridiana->setObjectName(QStringLiteral("BPassagemMeridiana"));
    FMemo = new QPlainTextEdit(this);
    FMemo->setObjectName(QStringLiteral("Memo"));
    FMemo->setReadOnly(true);
    FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FMemo->setFont(MonospacedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize()));
    // Wide enough for the longest report line.
    FMemo->setMinimumWidth(
        QFontMetrics(FMemo->font()).horizontalAdvance(QString(46, QLatin1Char('0'))));

    auto *left = new QVBoxLayout;
    left->addWidget(inputs);
    left->addWidget(FPageControl, 1);
    left->addWidget(FBPassagemMeridiana);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(FMemo, 1);

    connect(FBPassagemMeridiana, &QPushButton::clicked, this,
        &TFormMeridianPassageByEqualAltitudes::BPassagemMeridianaClick);
    connect(FBEditBoatCourseSpeed, &QPushButton::clicked, this,
        &TFormMeridianPassageByEqualAltitudes::BEditBoatCourseSpeedClick);
    connect(FBClearMultiplosEdTimes, &QPushButton::clicked, this,
        &TFormMeridianPassageByEqualAltitudes::BClearMultiplosEdTimesClick);
    connect(FCBLowerLimb, &QCheckBox::toggled, this,
        &TFormMeridianPassageByEqualAltitudes::CBLowerLimbClick);

    // Reading order: the sight inputs row by row, then the time pages and the command.
    SetTabChain({FEdGMTDate, FEdWatchError, FEdAltitudeCulm, FCBLowerLimb, FEdIE, FEdDip,
        FCBDipUnit, FEdLatitude, FEdLongitude, FBEditBoatCourseSpeed, FPageControl, FEdGMTTime1,
        FEdGMTTime2});
    EnterActivatesButtons(*this);
    resize(1080, 520);
    LoadSettings();
    connect(FCBDipUnit, &QComboBox::currentIndexChanged, this, [this] {
        TFormSettings settings(kWindowName);
        settings.WriteInt(
            QStringLiteral("CBDipUnit"), QStringLiteral("Tag"), FCBDipUnit->currentIndex());
    });
    RefreshCourseAndSpeed();
}

TFormMeridianPassageByEqualAltitudes::~TFormMeridianPassageByEqualAltitudes()
{
    SaveSettings();
}

void TFormMeridianPassageByEqualAltitudes::SetBoatMovementDialog(QDialog *dialog)
{
    FBoatMovementDialog = dialog;
    FBEditBoatCourseSpeed->setEnabled(dialog != nullptr);
}

QString TFormMeridianPassageByEqualAltitudes::ReportText() const
{
    return FMemo->toPlainText();
}

TEqualAltitudesInputs TFormMeridianPassageByEqualAltitudes::ReadInputs() const
{
    TEqualAltitudesInputs in;
    in.GMTDateText = FEdGMTDate->text().toStdString();
    in.HsDeg = FEdAltitudeCulm->Position();
    in.IndexCorrectionArcmin = FEdIE->Value();
    in.DipValue = FEdDip->Value();
    in.DipUnit = DipUnitFromIndex(FCBDipUnit->currentIndex());
    in.WatchErrorSec = FEdWatchError->value();
    in.LowerLimb = FCBLowerLimb->isChecked();
    in.LatDeg = FEdLatitude->Position();
    in.LonDeg = FEdLongitude->Position();
    in.Boat = BoatCourseAndSpeed();
    in.MultiplePairs = FPageControl->currentIndex() == 1;
    in.OnePair = {FEdGMTTime1->Value(), FEdGMTTime2->Value()};
    for (std::size_t i = 0; i < in.Rows.size(); ++i)
        in.Rows[i] = {FEdTimeA[i]->Value(), FEdTimeD[i]->Value()};
    return in;
}

void TFormMeridianPassageByEqualAltitudes::BPassagemMeridianaClick()
{
    std::vector<std::string> report;
    RunCommand(this, [&] {
        try {
            TSolEphemeris sun(*Astros().Sun());
            CalcEqualAltitudes(ReadInputs(), Astros(), sun, Sextant(), ChoosePairs, report);
        } catch (...) {
            FMemo->setPlainText(JoinReport(report));
            throw;
        }
        FMemo->setPlainText(JoinReport(report));
    });
}

void TFormMeridianPassageByEqualAltitudes::BEditBoatCourseSpeedClick()
{
    if (!FBoatMovementDialog)
        return;
    RunCommand(this, [this] { FBoatMovementDialog->exec(); });
    RefreshCourseAndSpeed();
}

void TFormMeridianPassageByEqualAltitudes::BClearPairClick(int row)
{
    if (row < 1 || row > kEqualAltitudeRows)
        return;
    FEdTimeA[static_cast<std::size_t>(row - 1)]->SetValue(0);
    FEdTimeD[static_cast<std::size_t>(row - 1)]->SetValue(0);
}

void TFormMeridianPassageByEqualAltitudes::BClearMultiplosEdTimesClick()
{
    if (!AskYesNo(this, QStringLiteral("Clear all times ?")))
        return;
    for (int row = 1; row <= kEqualAltitudeRows; ++row)
        BClearPairClick(row);
}

void TFormMeridianPassageByEqualAltitudes::RefreshCourseAndSpeed()
{
    FLBoatCourse->setText(Q(CourseLabel(BoatCourseAndSpeed())));
    FLBoatSpeed->setText(Q(SpeedLabel(BoatCourseAndSpeed())));
}

void TFormMeridianPassageByEqualAltitudes::CBLowerLimbClick()
{
    FCBLowerLimb->setText(
        FCBLowerLimb->isChecked() ? QStringLiteral("Lower limb ") : QStringLiteral("Upper limb "));
}

void TFormMeridianPassageByEqualAltitudes::showEvent(QShowEvent *event)
{
    RefreshCourseAndSpeed();
    QWidget::showEvent(event);
}

void TFormMeridianPassageByEqualAltitudes::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RefreshCourseAndSpeed();
    QWidget::changeEvent(event);
}

void TFormMeridianPassageByEqualAltitudes::closeEvent(QCloseEvent *event)
{
    SaveSettings();
    QWidget::closeEvent(event);
}

void TFormMeridianPassageByEqualAltitudes::LoadSettings()
{
    const TFormSettings s(kWindowName);
    s.RestoreGeometry(*this);
    FillDipUnits(*FCBDipUnit, s.ReadInt(QStringLiteral("CBDipUnit"), QStringLiteral("Tag"), 0));
    FEdGMTDate->setText(s.ReadString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), {}));
    FEdIE->SetValue(s.ReadDouble(QStringLiteral("EdIE"), QStringLiteral("Value"), 0));
    FEdDip->SetValue(s.ReadDouble(QStringLiteral("EdDip"), QStringLiteral("Value"), 0));
    FEdWatchError->setValue(s.ReadInt(QStringLiteral("EdWatchError"), QStringLiteral("Value"), 0));
    FCBLowerLimb->setChecked(
        s.ReadBool(QStringLiteral("CBLowerLimb"), QStringLiteral("Checked"), true));
    CBLowerLimbClick();
    RestorePosition(s, *FEdAltitudeCulm);
    RestorePosition(s, *FEdLatitude);
    RestorePosition(s, *FEdLongitude);
    RestoreTime(s, *FEdGMTTime1);
    RestoreTime(s, *FEdGMTTime2);
    for (std::size_t i = 0; i < FEdTimeA.size(); ++i) {
        RestoreTime(s, *FEdTimeA[i]);
        RestoreTime(s, *FEdTimeD[i]);
    }
    const int page = s.ReadInt(QStringLiteral("PageControl"), QStringLiteral("ActivePage"), 0);
    FPageControl->setCurrentIndex(page == 1 ? 1 : 0);
}

void TFormMeridianPassageByEqualAltitudes::SaveSettings()
{
    TFormSettings s(kWindowName);
    s.SaveGeometry(*this);
    s.WriteInt(QStringLiteral("CBDipUnit"), QStringLiteral("Tag"), FCBDipUnit->currentIndex());
    s.WriteString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), FEdGMTDate->text());
    s.WriteDouble(QStringLiteral("EdIE"), QStringLiteral("Value"), FEdIE->Value());
    s.WriteDouble(QStringLiteral("EdDip"), QStringLiteral("Value"), FEdDip->Value());
    s.WriteInt(QStringLiteral("EdWatchError"), QStringLiteral("Value"), FEdWatchError->value());
    s.WriteBool(
        QStringLiteral("CBLowerLimb"), QStringLiteral("Checked"), FCBLowerLimb->isChecked());
    StorePosition(s, *FEdAltitudeCulm);
    StorePosition(s, *FEdLatitude);
    StorePosition(s, *FEdLongitude);
    StoreTime(s, *FEdGMTTime1);
    StoreTime(s, *FEdGMTTime2);
    for (std::size_t i = 0; i < FEdTimeA.size(); ++i) {
        StoreTime(s, *FEdTimeA[i]);
        StoreTime(s, *FEdTimeD[i]);
    }
    s.WriteInt(
        QStringLiteral("PageControl"), QStringLiteral("ActivePage"), FPageControl->currentIndex());
    s.Flush();
}

} // namespace vrn
