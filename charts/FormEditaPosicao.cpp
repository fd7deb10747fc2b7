#include "charts/FormEditaPosicao.h"

#include "charts/ChartDialogs.h"
#include "common/VrnEdit.h"
#include "engine/VrnError.h"
#include "ui/DialogButtons.h"
#include "ui/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrn {

namespace {

QString FromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QLabel *FieldLabel(const QString &text, const char *name, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

TFormEditaPosicao::TFormEditaPosicao(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEditaPosicao"));
    setWindowTitle(QStringLiteral("Edit Position"));

    FLPrompt = new QLabel(this);
    FLPrompt->setObjectName(QStringLiteral("LPrompt"));
    QFont bold = FLPrompt->font();
    bold.setBold(true);
    FLPrompt->setFont(bold);

    FEdLatitude = new TKaPositionEdit(this);
    FEdLatitude->setObjectName(QStringLiteral("EdLatitude"));
    FEdLatitude->SetPositionType(TPositionType::ptNS);
    FEdLatitude->SetDegreeDigits(2);
    FEdLatitude->SetMinFracDigits(2);
    FEdLatitude->setToolTip(QStringLiteral("latitude (ex: 23°22.3 N)"));
    FEdLongitude = new TKaPositionEdit(this);
    FEdLongitude->setObjectName(QStringLiteral("EdLongitude"));
    FEdLongitude->SetPositionType(TPositionType::ptWE);
    FEdLongitude->SetDegreeDigits(3);
    FEdLongitude->SetMinFracDigits(2);
    FEdLongitude->setToolTip(QStringLiteral("longitude (ex: 43°52.3 W)"));
    FEdText = new QLineEdit(this);
    FEdText->setObjectName(QStringLiteral("EdText"));
    FEdDateTime = new QLineEdit(this);
    FEdDateTime->setObjectName(QStringLiteral("EdDateTime"));

    FLText = FieldLabel(QStringLiteral("&Text:"), "LText", FEdText, this);
    FLDateTime = FieldLabel(QStringLiteral("&Date/Time:"), "LDateTime", FEdDateTime, this);
    auto *fields = new QGridLayout;
    fields->addWidget(
        FieldLabel(QStringLiteral("L&atitude:"), "LLatitude", FEdLatitude, this), 0, 0);
    fields->addWidget(FEdLatitude, 0, 1, Qt::AlignLeft);
    fields->addWidget(
        FieldLabel(QStringLiteral("L&ongitude:"), "LLongitude", FEdLongitude, this), 1, 0);
    fields->addWidget(FEdLongitude, 1, 1, Qt::AlignLeft);
    fields->addWidget(FLText, 2, 0);
    fields->addWidget(FEdText, 2, 1);
    fields->addWidget(FLDateTime, 3, 0);
    fields->addWidget(FEdDateTime, 3, 1);
    fields->setColumnStretch(1, 1);

    const TOkCancelButtons okCancel = NewOkCancelButtons(this);
    FBOK = okCancel.OK;
    FBCancel = okCancel.Cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FLPrompt);
    layout->addLayout(fields);
    layout->addWidget(okCancel.Box);
    setMinimumWidth(320);

    for (TKaPositionEdit *edit : {FEdLatitude, FEdLongitude})
        connect(edit, &TKaPositionEdit::Changed, this, [this] { FPositionChanged = true; });
}

void TFormEditaPosicao::SetPoint(
    const TChtPoint &point, const QString &prompt, bool trackPoint, bool withText)
{
    FPoint = point;
    FTrackPoint = trackPoint;
    FLPrompt->setText(prompt);
    FEdLatitude->SetPosition(point.Lat);
    FEdLongitude->SetPosition(point.Lon);
    FEdText->setText(FromUtf8(point.Name));
    FEdDateTime->setText(trackPoint ? FromUtf8(PointDateTimeText(point)) : QString());
    FLText->setVisible(withText);
    FEdText->setVisible(withText);
    FLDateTime->setVisible(trackPoint);
    FEdDateTime->setVisible(trackPoint);
    FPositionChanged = false;
    adjustSize();
}

bool TFormEditaPosicao::Run(TChtPoint &point)
{
    FEdLatitude->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    point = FPoint;
    return true;
}

bool TFormEditaPosicao::Execute(TChtPoint &point, const QString &prompt, bool trackPoint)
{
    SetPoint(point, prompt, trackPoint, true);
    return Run(point);
}

bool TFormEditaPosicao::Execute(TChtPoliPoints &owner, std::size_t index, const QString &prompt)
{
    if (index >= owner.PointCount())
        return false;
    const bool track = dynamic_cast<const TChtTrack *>(&owner) != nullptr;
    if (!Execute(owner.GetPoint(index), prompt, track))
        return false;
    owner.RecomputeBounds();
    return true;
}

bool TFormEditaPosicao::ExecutePosition(double &latDeg, double &lonDeg, const QString &prompt)
{
    TChtPoint point;
    point.Lat = latDeg;
    point.Lon = lonDeg;
    SetPoint(point, prompt, false, false);
    if (!Run(point))
        return false;
    latDeg = point.Lat;
    lonDeg = point.Lon;
    return true;
}

void TFormEditaPosicao::done(int result)
{
    if (result != QDialog::Accepted) {
        QDialog::done(result);
        return;
    }
    TPointEdit edit;
    edit.PositionChanged = FPositionChanged;
    edit.LatDeg = FEdLatitude->Position();
    edit.LonDeg = FEdLongitude->Position();
    edit.Name = FEdText->isVisible() ? FEdText->text().toStdString() : FPoint.Name;
    if (FTrackPoint)
        edit.DateTimeText = FEdDateTime->text().toStdString();
    TChtPoint edited = FPoint;
    try {
        ApplyPointEdit(edited, edit);
    } catch (const EVrnError &e) {
        ShowError(this, QString::fromUtf8(e.what()));
        QLineEdit *culprit = FieldTextProblem(edit.Name, "") ? FEdText : FEdDateTime;
        culprit->setFocus();
        culprit->selectAll();
        return;
    }
    FPoint = edited;
    QDialog::done(result);
}

} // namespace vrn
