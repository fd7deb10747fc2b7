#include "sky/StarFinderDialogs.h"

#include "ui/DialogButtons.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vrn {
namespace {

std::optional<QColor> AskColor(QWidget *parent, const QColor &current)
{
    const QColor c = QColorDialog::getColor(current, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> AskFont(QWidget *parent, const QFont &current)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, current, parent);
    if (!ok)
        return std::nullopt;
    return f;
}

} // namespace

std::optional<std::pair<QFont, QColor>> ChooseStarFinderFont(
    QWidget *parent, const QFont &font, const QColor &colour)
{
    const auto f = AskFont(parent, font);
    if (!f)
        return std::nullopt;
    const auto c = AskColor(parent, colour);
    if (!c)
        return std::nullopt;
    return std::pair {*f, *c};
}

THintAppearanceDialog::THintAppearanceDialog(const THintAppearance &appearance, QWidget *parent)
    : QDialog(parent)
    , ChooseColor(&AskColor)
    , ChooseFont(&AskFont)
    , FAppearance(appearance)
{
    setObjectName(QStringLiteral("FormHintAppearance"));
    setWindowTitle(QStringLiteral("Floating cursor"));
    FBBackColor = new QPushButton(QStringLiteral("&Background..."), this);
    FBBackColor->setObjectName(QStringLiteral("BBackColor"));
    FBTextColor = new QPushButton(QStringLiteral("&Text colour..."), this);
    FBTextColor->setObjectName(QStringLiteral("BTextColor"));
    FBFont = new QPushButton(QStringLiteral("&Font..."), this);
    FBFont->setObjectName(QStringLiteral("BFont"));
    FCBFrame = new QCheckBox(QStringLiteral("F&rame"), this);
    FCBFrame->setObjectName(QStringLiteral("CBFrame"));
    FCBFrame->setChecked(appearance.Frame);
    FCBShadow = new QCheckBox(QStringLiteral("&Shadow"), this);
    FCBShadow->setObjectName(QStringLiteral("CBShadow"));
    FCBShadow->setChecked(appearance.Shadow);
    FSpinTransparency = new QSpinBox(this);
    FSpinTransparency->setObjectName(QStringLiteral("SpinTransparency"));
    FSpinTransparency->setRange(0, 90);
    FSpinTransparency->setSuffix(QStringLiteral(" %"));
    FSpinTransparency->setValue(appearance.Transparency);
    auto *transparency = new QLabel(QStringLiteral("Trans&parency:"), this);
    transparency->setBuddy(FSpinTransparency);
    const TOkCancelButtons ok = NewOkCancelButtons(this);

    auto *g = new QGridLayout;
    g->addWidget(FBBackColor, 0, 0);
    g->addWidget(FBTextColor, 0, 1);
    g->addWidget(FBFont, 0, 2);
    g->addWidget(FCBFrame, 1, 0);
    g->addWidget(FCBShadow, 1, 1);
    g->addWidget(transparency, 2, 0);
    g->addWidget(FSpinTransparency, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(g);
    layout->addWidget(ok.Box);

    connect(FBBackColor, &QPushButton::clicked, this, [this] {
        if (const auto c = ChooseColor(this, FAppearance.Back)) {
            FAppearance.Back = *c;
            ShowColours();
        }
    });
    connect(FBTextColor, &QPushButton::clicked, this, [this] {
        if (const auto c = ChooseColor(this, FAppearance.Text)) {
            FAppearance.Text = *c;
            ShowColours();
        }
    });
    connect(FBFont, &QPushButton::clicked, this, [this] {
        if (const auto f = ChooseFont(this, FAppearance.Font))
            FAppearance.Font = *f;
    });
    ShowColours();
}

void THintAppearanceDialog::ShowColours()
{
    FBBackColor->setStyleSheet(
        QStringLiteral("QPushButton { border-left: 12px solid %1; }").arg(FAppearance.Back.name()));
    FBTextColor->setStyleSheet(
        QStringLiteral("QPushButton { border-left: 12px solid %1; }").arg(FAppearance.Text.name()));
}

THintAppearance THintAppearanceDialog::Appearance() const
{
    THintAppearance a = FAppearance;
    a.Frame = FCBFrame->isChecked();
    a.Shadow = FCBShadow->isChecked();
    a.Transparency = FSpinTransparency->value();
    return a;
}

bool EditStarFinderHint(QWidget *parent, THintAppearance &appearance)
{
    THintAppearanceDialog dialog(appearance, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    appearance = dialog.Appearance();
    return true;
}

} // namespace vrn
