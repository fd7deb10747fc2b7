#pragma once

// Typing into a cell of the route editor's point table as a person does: the cell clicked, F2,
// everything selected and replaced, Enter.

#include "apps/vrn32/PointTableModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace vrn {

inline void TypeIntoPointCell(QTableView &table, int row, TPointColumn column, const QString &text)
{
    const QModelIndex index = table.model()->index(row, static_cast<int>(column));
    table.scrollTo(index);
    table.setFocus();
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(index).center());
    QTest::keyClick(&table, Qt::Key_F2);
    // The cell's editor (editors of earlier cells may still wait to be deleted).
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : table.viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            editor = e;
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

} // namespace vrn
