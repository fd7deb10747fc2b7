#include "celestial/fTwoObjectsCalculations.h"

#include "celestial/LunarDistance.h"
#include "celestial/SystemTimeZone.h"
#include "celestial/TwoObjects.h"
#include "celestial/VrnCalc.h"
#include "celestial/WindowFields.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "ui/Clock.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormTwoObjectsCalculations");
const QString kNearCaption = QStringLiteral("Near Limb (for Sun and Moon)");
const QString kFarCaption = QStringLiteral("Far limb (for Sun and Moon)");

QPushButton *NewButton(
    const QString &name, const QString &caption, QWidget *parent, const QString &hint = QString())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(true); // Enter presses the focused button
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

TKaPositionEdit *NewPosition(
    const QString &name, TPositionType type, int degreeDigits, const QString &hint, QWidget *parent)
{
    auto *p = new TKaPositionEdit(parent);
    p->setObjectName(name);
    p->SetPositionType(type);
    p->SetDegreeDigits(degreeDigits);
    p->setToolTip(hint);
    return p;
}

TNumEdit *NewNumber(const QString &name, const QString &hint, QWidget *parent)
{
    auto *n = new TNumEdit(parent);
    n->setObjectName(name);
    n->setToolTip(hint);
    n->SetValue(0);
    return n;
}

QComboBox *NewBodyList(const QString &name, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setToolTip(QStringLiteral("Selected celestial body"));
    list->setMaxVisibleItems(20);
    for (const TAstro *body : Astros().BodyList())
        list->addItem(QString::fromStdString(body->Name()));
    list->setCurrentIndex(0);
    return list;
}

TAstro *ChosenBody(const QComboBox &list)
{
    return list.currentIndex() < 0 ? nullptr : FindAstro(list.currentText().toStdString());
}

void FollowLimb(QCheckBox &limb)
{
    limb.setText(limb.isChecked() ? kFarCaption : kNearCaption);
}

} // namespace

TFormTwoObjectsCalculations::TFormTwoObjectsCalculations(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Distance between celestial objects and Lunars"));
    CreateAstros();

    // Built in reading order, which is also the order of the Tab key.
    auto *objects = new QGroupBox(QStringLiteral("Objects"), this);
    FLBStar1 = NewBodyList(QStringLiteral("LBStar1"), objects);
    FCBFarLimb1 = new QCheckBox(kNearCaption, objects);
    FCBFarLimb1->setObjectName(QStringLiteral("CBFarLimb1"));
    FLBStar2 = NewBodyList(QStringLiteral("LBStar2"), objects);
    FCBFarLimb2 = new QCheckBox(kNearCaption, objects);
    FCBFarLimb2->setObjectName(QStringLiteral("CBFarLimb2"));
    for (QCheckBox *limb : {FCBFarLimb1, FCBFarLimb2})
        limb->setToolTip(QStringLiteral("Ticked: the far limb, its semi-diameter added; "
                                        "unticked: the near limb, subtracted"));
    auto *og = new QGridLayout(objects);
    og->addWidget(LabelFor(QStringLiteral("Object &1:"), FLBStar1, objects), 0, 0);
    og->addWidget(FLBStar1, 0, 1);
    og->addWidget(FCBFarLimb1, 0, 2);
    og->addWidget(LabelFor(QStringLiteral("Object &2:"), FLBStar2, objects), 1, 0);
    og->addWidget(FLBStar2, 1, 1);
    og->addWidget(FCBFarLimb2, 1, 2);
    og->setColumnStretch(1, 1);

    auto *time = new QGroupBox(QStringLiteral("Time"), this);
    FEdGMTDate = new QLineEdit(time);
    FEdGMTDate->setObjectName(QStringLiteral("EdGMTDate"));
    FEdGMTDate->setToolTip(QStringLiteral("GMT date"));
    AppendShortDateHint(*FEdGMTDate);
    FEdGMTTime = new TKaTimeEdit(time);
    FEdGMTTime->setObjectName(QStringLiteral("EdGMTTime"));
    FEdGMTTime->setToolTip(QStringLiteral("GMT time hh:mm:ss, as the watch shows it"));
    FBNow = NewButton(QStringLiteral("BNow"), QStringLiteral("&Now!"), time,
        QStringLiteral("GMT from the computer clock and the time zone"));
    FEdWatchError = new QSpinBox(time);
    FEdWatchError->setObjectName(QStringLiteral("EdWatchError"));
    FEdWatchError->setRange(-86400, 86400);
    FEdWatchError->setSuffix(QStringLiteral(" s"));
    FEdWatchError->setToolTip(
        QStringLiteral("Watch error in seconds, added to the GMT time (+ if the watch is slow)"));
    FEdTimeZone = NewNumber(QStringLiteral("EdTimeZone"),
        QStringLiteral("Time zone in hours, + west of Greenwich (used by Now! only)"), time);
    FBGetSystemTimeZone =
        NewButton(QStringLiteral("BGetSystemTimeZone"), QStringLiteral("Get system time zone"),
            time, QStringLiteral("The time zone of this computer"));
    auto *tg = new QGridLayout(time);
    tg->addWidget(LabelFor(QStringLiteral("GMT &date:"), FEdGMTDate, time), 0, 0);
    tg->addWidget(FEdGMTDate, 0, 1);
    tg->addWidget(LabelFor(QStringLiteral("GMT t&ime:"), FEdGMTTime, time), 0, 2);
    tg->addWidget(FEdGMTTime, 0, 3, Qt::AlignLeft);
    tg->addWidget(FBNow, 0, 4);
    tg->addWidget(LabelFor(QStringLiteral("watch error:"), FEdWatchError, time), 1, 0);
    tg->addWidget(FEdWatchError, 1, 1);
    tg->addWidget(LabelFor(QStringLiteral("time zone:"), FEdTimeZone, time), 1, 2);
    tg->addWidget(FEdTimeZone, 1, 3);
    tg->addWidget(FBGetSystemTimeZone, 1, 4);
    tg->setColumnStretch(1, 1);
    tg->setColumnStretch(3, 1);

    auto *sextant = new QGroupBox(QStringLiteral("Sextant (clearing a lunar distance)"), this);
    FEdLatitude = NewPosition(QStringLiteral("EdLatitude"), TPositionType::ptNS, 2,
        QStringLiteral("Assumed latitude"), sextant);
    FEdLongitude = NewPosition(QStringLiteral("EdLongitude"), TPositionType::ptWE, 3,
        QStringLiteral("Assumed longitude"), sextant);
    FEdIE = NewNumber(QStringLiteral("EdIE"),
        QStringLiteral("Index correction in minutes, added to the distance and the altitudes "
                       "(- when the error is on the arc)"),
        sextant);
    FEdEyeHeight = NewNumber(QStringLiteral("EdEyeHeight"),
        QStringLiteral("Height of the eye above the sea in meters, for the dip of the altitudes"),
        sextant);
    FEdEyeHeight->SetAllowNegative(false);
    FEdSextantDistance = NewPosition(QStringLiteral("EdSextantDistance"), TPositionType::ptAngle, 3,
        QStringLiteral("Distance between the limbs read on the sextant"), sextant);
    FEdAltitude1 = NewPosition(QStringLiteral("EdAltitude1"), TPositionType::ptAngle, 2,
        QStringLiteral("Sextant altitude of the center of object 1"), sextant);
    FEdAltitude2 = NewPosition(QStringLiteral("EdAltitude2"), TPositionType::ptAngle, 2,
        QStringLiteral("Sextant altitude of the center of object 2"), sextant);
    auto *sg = new QGridLayout(sextant);
    sg->addWidget(LabelFor(QStringLiteral("Lat:"), FEdLatitude, sextant), 0, 0);
    sg->addWidget(FEdLatitude, 0, 1, Qt::AlignLeft);
    sg->addWidget(LabelFor(QStringLiteral("Lon:"), FEdLongitude, sextant), 0, 2);
    sg->addWidget(FEdLongitude, 0, 3, Qt::AlignLeft);
    sg->addWidget(LabelFor(QStringLiteral("IE:"), FEdIE, sextant), 1, 0);
    sg->addWidget(FEdIE, 1, 1);
    sg->addWidget(LabelFor(QStringLiteral("Height of eye (m):"), FEdEyeHeight, sextant), 1, 2);
    sg->addWidget(FEdEyeHeight, 1, 3);
    sg->addWidget(
        LabelFor(QStringLiteral("Distance between objects:"), FEdSextantDistance, sextant), 2, 0);
    sg->addWidget(FEdSextantDistance, 2, 1, Qt::AlignLeft);
    sg->addWidget(LabelFor(QStringLiteral("Altitude of object 1:"), FEdAltitude1, sextant), 3, 0);
    sg->addWidget(FEdAltitude1, 3, 1, Qt::AlignLeft);
    sg->addWidget(LabelFor(QStringLiteral("Altitude of object 2:"), FEdAltitude2, sextant), 3, 2);
    sg->addWidget(FEdAltitude2, 3, 3, Qt::AlignLeft);
    sg->setColumnStretch(1, 1);
    sg->setColumnStretch(3, 1);

    FBCalcTwoObjects = NewButton(QStringLiteral("BCalcTwoObjects"), QStringLiteral("&Calculate"),
        this, QStringLiteral("Distance between the objects at the GMT date and time"));
    FBClearLunarDistance = NewButton(QStringLiteral("BClearLunarDistance"),
        QStringLiteral("Clear &lunar distance"), this,
        QStringLiteral("GMT of the sextant distance, from the altitudes and the assumed position"));
    FMemo = new QPlainTextEdit(this);
    FMemo->setObjectName(QStringLiteral("Memo"));
    FMemo->setReadOnly(true);
    FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Wide enough for the longest report line.
    FMemo->setMinimumWidth(
        QFontMetrics(FMemo->font()).horizontalAdvance(QString(54, QLatin1Char('0'))));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FBCalcTwoObjects);
    buttons->addWidget(FBClearLunarDistance);
    buttons->addStretch(1);
    auto *left = new QVBoxLayout;
    left->addWidget(objects);
    left->addWidget(time);
    left->addWidget(sextant);
    left->addStretch(1);
    left->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(FMemo, 1);

    connect(FBCalcTwoObjects, &QPushButton::clicked, this,
        &TFormTwoObjectsCalculations::BCalcTwoObjectsClick);
    connect(FBClearLunarDistance, &QPushButton::clicked, this,
        &TFormTwoObjectsCalculations::BClearLunarDistanceClick);
    connect(FBNow, &QPushButton::clicked, this, &TFormTwoObjectsCalculations::BNowClick);
    connect(FBGetSystemTimeZone, &QPushButton::clicked, this,
        &TFormTwoObjectsCalculations::BGetSystemTimeZoneClick);
    for (QCheckBox *limb : {FCBFarLimb1, FCBFarLimb2})
        connect(limb, &QCheckBox::toggled, limb, [limb] { FollowLimb(*limb); });

    LoadSettings();
    for (QComboBox *list : {FLBStar1, FLBStar2})
        connect(list, &QComboBox::currentIndexChanged, this,
            &TFormTwoObjectsCalculations::LBStarChange);
    LBStarChange();
}

TFormTwoObjectsCalculations::~TFormTwoObjectsCalculations()
{
    SaveSettings();
}

QString TFormTwoObjectsCalculations::ReportText() const
{
    return FMemo->toPlainText();
}

TTwoObjectsInputs TFormTwoObjectsCalculations::ReadInputs() const
{
    TTwoObjectsInputs in;
    in.Body1 = ChosenBody(*FLBStar1);
    in.Body2 = ChosenBody(*FLBStar2);
    in.FarLimb1 = FCBFarLimb1->isChecked();
    in.FarLimb2 = FCBFarLimb2->isChecked();
    in.GMTDateText = FEdGMTDate->text().toStdString();
    in.GMTTime = FEdGMTTime->Value();
    in.WatchErrorSec = FEdWatchError->value();
    return in;
}

TLunarObservation TFormTwoObjectsCalculations::ReadObservation() const
{
    const TTwoObjectsInputs in = ReadInputs();
    CheckTwoObjects(in.Body1, in.Body2);
    TLunarObservation o;
    o.Body1 = in.Body1;
    o.Body2 = in.Body2;
    o.Limb1 = in.FarLimb1 ? TLimbChoice::Far : TLimbChoice::Near;
    o.Limb2 = in.FarLimb2 ? TLimbChoice::Far : TLimbChoice::Near;
    o.WatchDateTime = ReadGMTDate(in.GMTDateText) + in.GMTTime;
    o.WatchErrorSec = in.WatchErrorSec;
    o.SextantDistDeg = FEdSextantDistance->Position();
    o.IndexCorrectionArcmin = FEdIE->Value();
    o.EyeHeightM = FEdEyeHeight->Value();
    o.Hs1Deg = FEdAltitude1->Position();
    o.Hs2Deg = FEdAltitude2->Position();
    o.LatDeg = FEdLatitude->Position();
    o.LonDeg = FEdLongitude->Position();
    return o;
}

void TFormTwoObjectsCalculations::FocusObject(int object)
{
    if (object == 1)
        FLBStar1->setFocus();
    else if (object == 2)
        FLBStar2->setFocus();
}

void TFormTwoObjectsCalculations::BCalcTwoObjectsClick()
{
    FMemo->clear();
    RunCommand(this, [this] {
        std::vector<std::string> report;
        try {
            CalcTwoObjects(ReadInputs(), report);
        } catch (const ESelectObjectError &e) {
            FocusObject(e.Object);
            throw;
        }
        FMemo->setPlainText(JoinReport(report));
    });
}

void TFormTwoObjectsCalculations::BClearLunarDistanceClick()
{
    FMemo->clear();
    RunCommand(this, [this] {
        try {
            const TLunarObservation o = ReadObservation();
            const TLunarClearing c = ClearLunarDistance(o);
            std::vector<std::string> report;
            LunarReport(o, c, report);
            FMemo->setPlainText(JoinReport(report));
        } catch (const ESelectObjectError &e) {
            FocusObject(e.Object);
            throw;
        }
    });
}

void TFormTwoObjectsCalculations::BNowClick()
{
    const QDateTime now = LocalNow();
    const QDate d = now.date();
    const QTime t = now.time();
    const double gmt = EncodeDate(d.year(), d.month(), d.day())
        + EncodeTime(t.hour(), t.minute(), t.second(), 0) + FEdTimeZone->Value() / 24;
    if (!IsValidDateTime(gmt))
        return;
    const double day = std::floor(gmt);
    FEdGMTDate->setText(QString::fromStdString(FormatDateText(day, ShortDateFormat())));
    FEdGMTTime->SetValue(gmt - day);
}

void TFormTwoObjectsCalculations::BGetSystemTimeZoneClick()
{
    FEdTimeZone->SetValue(SystemTimeZone());
}

void TFormTwoObjectsCalculations::LBStarChange()
{
    for (auto [list, limb] :
        {std::pair {FLBStar1, FCBFarLimb1}, std::pair {FLBStar2, FCBFarLimb2}}) {
        const TAstro *body = ChosenBody(*list);
        limb->setEnabled(body && IsSunOrMoon(*body));
    }
}

void TFormTwoObjectsCalculations::hideEvent(QHideEvent *event)
{
    SaveSettings();
    QWidget::hideEvent(event);
}

void TFormTwoObjectsCalculations::LoadSettings()
{
    const TFormSettings s(kWindowName);
    s.RestoreGeometry(*this);
    for (QComboBox *list : {FLBStar1, FLBStar2}) {
        const int i = list->findText(s.ReadString(list->objectName(), QStringLiteral("Text"), {}));
        list->setCurrentIndex(i >= 0 ? i : 0);
    }
    for (QCheckBox *limb : {FCBFarLimb1, FCBFarLimb2}) {
        limb->setChecked(s.ReadBool(limb->objectName(), QStringLiteral("Checked"), false));
        FollowLimb(*limb);
    }
    FEdGMTDate->setText(s.ReadString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), {}));
    RestoreTime(s, *FEdGMTTime);
    FEdWatchError->setValue(s.ReadInt(QStringLiteral("EdWatchError"), QStringLiteral("Value"), 0));
    for (TNumEdit *n : {FEdTimeZone, FEdIE, FEdEyeHeight}) {
        const double v = s.ReadDouble(n->objectName(), QStringLiteral("Value"), 0);
        n->SetValue(std::isfinite(v) ? v : 0);
    }
    if (FEdEyeHeight->Value() < 0)
        FEdEyeHeight->SetValue(0);
    for (TKaPositionEdit *p :
        {FEdLatitude, FEdLongitude, FEdSextantDistance, FEdAltitude1, FEdAltitude2})
        RestorePosition(s, *p);
}

void TFormTwoObjectsCalculations::SaveSettings()
{
    TFormSettings s(kWindowName);
    s.SaveGeometry(*this);
    for (QComboBox *list : {FLBStar1, FLBStar2})
        s.WriteString(list->objectName(), QStringLiteral("Text"), list->currentText());
    for (QCheckBox *limb : {FCBFarLimb1, FCBFarLimb2})
        s.WriteBool(limb->objectName(), QStringLiteral("Checked"), limb->isChecked());
    s.WriteString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), FEdGMTDate->text());
    StoreTime(s, *FEdGMTTime);
    s.WriteInt(QStringLiteral("EdWatchError"), QStringLiteral("Value"), FEdWatchError->value());
    for (TNumEdit *n : {FEdTimeZone, FEdIE, FEdEyeHeight})
        s.WriteDouble(n->objectName(), QStringLiteral("Value"), n->Value());
    for (TKaPositionEdit *p :
        {FEdLatitude, FEdLongitude, FEdSextantDistance, FEdAltitude1, FEdAltitude2})
        StorePosition(s, *p);
    s.Flush();
}

} // namespace vrn
