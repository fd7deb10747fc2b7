#include "apps/kartograv/PositionPrompt.h"

#include "common/VrnEdit.h"
#include "ui/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vrn {

std::optional<TPromptedPosition> AskPosition(
    QWidget *parent, const QString &title, const TPromptedPosition &start)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FormEditaPosicao"));
    dialog.setWindowTitle(QStringLiteral("Edit Position"));
    auto *prompt = new QLabel(title, &dialog);
    prompt->setObjectName(QStringLiteral("LPrompt"));
    auto *lat = new TKaPositionEdit(&dialog);
    lat->setObjectName(QStringLiteral("EdLatitude"));
    lat->SetPositionType(TPositionType::ptNS);
    lat->SetDegreeDigits(2);
    lat->SetMinFracDigits(2);
    lat->setToolTip(QStringLiteral("latitude (ex: 23°22.3 N)"));
    lat->SetPosition(start.Lat);
    auto *lon = new TKaPositionEdit(&dialog);
    lon->setObjectName(QStringLiteral("EdLongitude"));
    lon->SetPositionType(TPositionType::ptWE);
    lon->SetDegreeDigits(3);
    lon->SetMinFracDigits(2);
    lon->setToolTip(QStringLiteral("longitude (ex: 43°52.3 W)"));
    lon->SetPosition(start.Lon);
    const TOkCancelButtons buttons = NewOkCancelButtons(&dialog);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Latitude:"), lat);
    form->addRow(QStringLiteral("L&ongitude:"), lon);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(prompt);
    layout->addLayout(form);
    layout->addWidget(buttons.Box);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TPromptedPosition {lat->Position(), lon->Position()};
}

} // namespace vrn
