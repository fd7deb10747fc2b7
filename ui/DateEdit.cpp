#include "ui/DateEdit.h"

#include "engine/DateTime.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace vrn {

TDateEdit::TDateEdit(QWidget *parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QString::fromStdString(ShortDateFormat().Pattern()));
    // Clicks on the text reach the spin box's line edit, not the spin box.
    lineEdit()->installEventFilter(this);
}

bool TDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit()) {
        if (event->type() == QEvent::MouseButtonRelease && FEnteringByClick) {
            FEnteringByClick = false;
            // After the line edit has placed its caret for the click.
            QTimer::singleShot(0, this, [this] { setSelectedSection(sectionAt(0)); });
        }
    }
    return QDateEdit::eventFilter(watched, event);
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool separator = text.size() == 1 && QStringLiteral("/.-").contains(text.front());
    if (separator && FAdvancedByItself) {
        // The field already moved on when the section filled ("21" then "/"): the separator
        // typed after it is that same move, not one more.
        FAdvancedByItself = false;
        event->accept();
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    FAdvancedByItself =
        !separator && !text.isEmpty() && text.front().isDigit() && currentSection() != before;
}

void TDateEdit::focusInEvent(QFocusEvent *event)
{
    // The focus comes before the press that brought it.
    FEnteringByClick = event->reason() == Qt::MouseFocusReason;
    FAdvancedByItself = false;
    QDateEdit::focusInEvent(event);
}

} // namespace vrn
