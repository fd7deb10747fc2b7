#pragma once

// The small dialogs of the star finder window: a font with its colour for the chart's names,
// and the appearance of the pointer's hint box.

#include "sky/AstroChart.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace vrn {

// The font dialog, then the colour dialog; nothing when either is cancelled.
std::optional<std::pair<QFont, QColor>> ChooseStarFinderFont(
    QWidget *parent, const QFont &font, const QColor &colour);

// "Floating cursor": the hint box's background and text colours, font, frame, shadow and
// transparency. The colour and font choosers are replaceable so that tests can answer them.
class THintAppearanceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit THintAppearanceDialog(const THintAppearance &appearance, QWidget *parent = nullptr);

    THintAppearance Appearance() const;

    std::function<std::optional<QColor>(QWidget *parent, const QColor &current)> ChooseColor;
    std::function<std::optional<QFont>(QWidget *parent, const QFont &current)> ChooseFont;

private:
    void ShowColours();

    THintAppearance FAppearance;
    QPushButton *FBBackColor = nullptr;
    QPushButton *FBTextColor = nullptr;
    QPushButton *FBFont = nullptr;
    QCheckBox *FCBFrame = nullptr;
    QCheckBox *FCBShadow = nullptr;
    QSpinBox *FSpinTransparency = nullptr;
};

// Runs the dialog modally on `appearance`; false when cancelled.
bool EditStarFinderHint(QWidget *parent, THintAppearance &appearance);

} // namespace vrn
