#pragma once

// Checks a sailor makes of any window, shared by the window tests of this folder: no two
// visible controls answer the same Alt+letter, no label is narrower than its text, and Tab
// visits the named controls in reading order.

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace vrn {

// The access key of a caption ("&Calculate" -> 'C'); none for "&&" or no "&".
inline QChar MnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

// "C: BCalculate, BClose" for every letter used by more than one visible control.
inline QStringList SharedMnemonics(const QWidget &window)
{
    QMap<QChar, QStringList> users;
    const auto add = [&](const QWidget *w, const QString &text) {
        const QChar c = MnemonicOf(text);
        if (!c.isNull() && w->isVisibleTo(&window))
            users[c].append(w->objectName().isEmpty() ? text : w->objectName());
    };
    for (const QAbstractButton *b : window.findChildren<QAbstractButton *>())
        add(b, b->text());
    for (const QLabel *l : window.findChildren<QLabel *>())
        if (l->buddy())
            add(l, l->text());
    for (const QGroupBox *g : window.findChildren<QGroupBox *>())
        add(g, g->title());
    QStringList shared;
    for (auto it = users.cbegin(); it != users.cend(); ++it)
        if (it.value().size() > 1)
            shared.append(
                QString(it.key()) + QStringLiteral(": ") + it.value().join(QStringLiteral(", ")));
    return shared;
}

// Visible labels and buttons narrower than their text at the current size.
inline QStringList ClippedTexts(const QWidget &window)
{
    QStringList clipped;
    for (const QLabel *l : window.findChildren<QLabel *>())
        if (l->isVisibleTo(&window) && !l->text().isEmpty() && !l->wordWrap()
            && l->width() < l->minimumSizeHint().width())
            clipped.append(l->text());
    for (const QAbstractButton *b : window.findChildren<QAbstractButton *>())
        if (b->isVisibleTo(&window) && b->width() < b->minimumSizeHint().width())
            clipped.append(b->text());
    return clipped;
}

// The first of `names` that `w` or one of its parents carries.
inline QString NamedOwner(const QWidget *w, const QStringList &names)
{
    for (; w; w = w->parentWidget())
        if (names.contains(w->objectName()))
            return w->objectName();
    return {};
}

// Presses Tab from the first control until the focus comes back, and lists the named controls
// (of `names`) the focus visited, each once, in the order of the visits.
inline QStringList TabVisits(QWidget &first, const QStringList &names, int maxPresses = 80)
{
    first.setFocus(Qt::TabFocusReason);
    QStringList visits;
    for (int i = 0; i < maxPresses; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus)
            break;
        const QString owner = NamedOwner(focus, names);
        if (!owner.isEmpty() && (visits.isEmpty() || visits.last() != owner)) {
            if (visits.contains(owner))
                break; // round the window once
            visits.append(owner);
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return visits;
}

} // namespace vrn
