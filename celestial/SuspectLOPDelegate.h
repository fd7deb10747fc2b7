#pragma once

// The LOP list of the celestial navigation window draws the row of the suspect sight of the last
// fix inside a dashed frame, as the position pane draws its line dashed.

#include <QStyledItemDelegate>

namespace vrn {

class TSuspectLOPDelegate : public QStyledItemDelegate
{
public:
    // A row whose first column holds true under this role is the suspect.
    static constexpr int kSuspectRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
};

} // namespace vrn
