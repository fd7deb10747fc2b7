#pragma once

// "Select time pairs for Meridian Passage": the pairs of an equal-altitudes calculation with
// their corrected passage times; unticking a pair leaves it out of the averages.

#include "celestial/MeridianPassage.h"

#include <QDialog>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace vrn {

class TFormSelectPairsForMeridianPassage : public QDialog
{
    Q_OBJECT

public:
    // Works on `pairs` directly: ticking a box sets PairSelected at once.
    TFormSelectPairsForMeridianPassage(
        std::vector<TMeridianPassageTimePair> &pairs, QWidget *parent = nullptr);

    // The average label and the "Diff (sec)" column from the ticked pairs.
    void UpdateAveragePassage();

    QString AverageText() const;

private:
    void LVPairsItemChanged(QTreeWidgetItem *item, int column);

    std::vector<TMeridianPassageTimePair> &FPairs;
    QTreeWidget *FLVPairs = nullptr;
    QLabel *FLAveragePassage = nullptr;
    bool FFilling = false;
};

// Shows the dialog modally on the pairs; false when it was cancelled.
bool SelectPairsForMeridianPassage(QWidget *parent, std::vector<TMeridianPassageTimePair> &pairs);

} // namespace vrn
