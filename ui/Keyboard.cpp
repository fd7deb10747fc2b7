#include "ui/Keyboard.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <vector>

namespace vrn {
namespace {

// Presses a tool button on Enter or Return, as a push button with autoDefault does.
class TEnterPressesButton : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != 0)
            return false;
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void EnterActivatesButtons(QWidget &window)
{
    const QString name = QStringLiteral("EnterPressesButton");
    QObject *filter = window.findChild<QObject *>(name, Qt::FindDirectChildrenOnly);
    if (!filter) {
        filter = new TEnterPressesButton(&window);
        filter->setObjectName(name);
    }
    for (QPushButton *button : window.findChildren<QPushButton *>())
        button->setAutoDefault(true);
    for (QToolButton *button : window.findChildren<QToolButton *>()) {
        button->removeEventFilter(filter);
        button->installEventFilter(filter);
    }
}

void SetTabChain(std::initializer_list<QWidget *> widgets)
{
    // A field made of cells (a panel whose focus proxy is its first cell) takes no focus itself,
    // and setTabOrder ignores such a widget; while it may take focus, setTabOrder moves it with
    // its cells as one, which keeps the panel just before them, where Tab reaching it enters
    // the first cell.
    std::vector<QWidget *> panels;
    for (QWidget *w : widgets) {
        QWidget *proxy = w->focusProxy();
        if (w->focusPolicy() == Qt::NoFocus && proxy && w->isAncestorOf(proxy)) {
            w->setFocusPolicy(Qt::StrongFocus);
            panels.push_back(w);
        }
    }
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
    for (QWidget *panel : panels)
        panel->setFocusPolicy(Qt::NoFocus);
}

} // namespace vrn
