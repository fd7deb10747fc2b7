#include "celestial/SuspectLOPDelegate.h"

#include <QColor>
#include <QPainter>
#include <QPen>

namespace vrn {

void TSuspectLOPDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.siblingAtColumn(0).data(kSuspectRole).toBool())
        return;
    // One frame round the whole row: top and bottom in every cell, the sides in the first and
    // the last.
    const QRect r = option.rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setPen(QPen(QColor(0xC0, 0, 0), 1, Qt::DashLine));
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (index.column() == 0)
        painter->drawLine(r.topLeft(), r.bottomLeft());
    if (index.column() == index.model()->columnCount(index.parent()) - 1)
        painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
}

} // namespace vrn
