#include "celestial/fEdAltitudeErrorPair.h"

#include "common/NumEdit.h"
#include "ui/DialogButtons.h"
#include "ui/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrn {
namespace {

TNumEdit *NumberField(QWidget *parent, const char *name, const QString &hint)
{
    auto *edit = new TNumEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setToolTip(hint);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

TFormEditAltitudeErrorPair::TFormEditAltitudeErrorPair(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEditAltitudeErrorPair"));
    setWindowTitle(QStringLiteral("Edit point"));

    auto *title = new QLabel(QStringLiteral("Sextant calibration point"), this);
    title->setObjectName(QStringLiteral("LTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    FEdAltitude = NumberField(this, "EdAltitude", QStringLiteral("Altitude in degrees"));
    FEdError = NumberField(this, "EdError", QStringLiteral("Sextant error in minutes"));
    auto *altitudeLabel = new QLabel(QStringLiteral("Altitude:"), this);
    altitudeLabel->setObjectName(QStringLiteral("LAltitude"));
    altitudeLabel->setBuddy(FEdAltitude);
    auto *errorLabel = new QLabel(QStringLiteral("Error:"), this);
    errorLabel->setObjectName(QStringLiteral("LError"));
    errorLabel->setBuddy(FEdError);
    auto *degrees = new QLabel(QStringLiteral("°"), this);
    degrees->setObjectName(QStringLiteral("LAltitudeUnit"));
    auto *minutes = new QLabel(QStringLiteral("'"), this);
    minutes->setObjectName(QStringLiteral("LErrorUnit"));

    auto *fields = new QGridLayout;
    fields->addWidget(altitudeLabel, 0, 0);
    fields->addWidget(FEdAltitude, 0, 1);
    fields->addWidget(degrees, 0, 2);
    fields->addWidget(errorLabel, 1, 0);
    fields->addWidget(FEdError, 1, 1);
    fields->addWidget(minutes, 1, 2);

    const TOkCancelButtons okCancel = NewOkCancelButtons(this);
    QDialogButtonBox *buttons = okCancel.Box;
    FBOK = okCancel.OK;
    FBCancel = okCancel.Cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFormEditAltitudeErrorPair::Edit(TSextantCalibrationPair &pair)
{
    SetPair(pair);
    FEdAltitude->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    pair = Pair();
    return true;
}

void TFormEditAltitudeErrorPair::SetPair(const TSextantCalibrationPair &pair)
{
    FEdAltitude->SetValue(pair.Angle);
    FEdError->SetValue(pair.Error);
}

TSextantCalibrationPair TFormEditAltitudeErrorPair::Pair() const
{
    return {FEdAltitude->Value(), FEdError->Value()};
}

void TFormEditAltitudeErrorPair::done(int result)
{
    if (result == QDialog::Accepted) {
        // The fields validate when they are left; OK pressed with Enter has not left one yet.
        FEdAltitude->Validate();
        FEdError->Validate();
        if (!RunCommand(this, [this] { CheckCalibrationPair(Pair()); })) {
            FEdAltitude->setFocus();
            FEdAltitude->selectAll();
            return;
        }
    }
    QDialog::done(result);
}

} // namespace vrn
