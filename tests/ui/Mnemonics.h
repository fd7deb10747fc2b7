#pragma once

// Checks for tests of windows: the mnemonics (Alt+letter) of a window's controls, so that no two
// of them share one.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>

namespace vrn {

// The letter after a single "&" of a caption, lower case; none for "&&" or no "&".
inline QChar MnemonicOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return QChar();
}

// "Alt+O: &Object: / &Object data" for every letter that more than one control of `window`
// (buttons, labels with a buddy, group boxes, tabs; hidden ones too, since they may be shown)
// uses.
inline QStringList MnemonicClashes(const QWidget &window)
{
    QMap<QChar, QStringList> users;
    const auto note = [&](const QString &caption) {
        const QChar m = MnemonicOf(caption);
        if (!m.isNull())
            users[m].append(caption);
    };
    for (const QAbstractButton *b : window.findChildren<QAbstractButton *>())
        note(b->text());
    // A label's "&" makes a mnemonic only when the label has a buddy.
    for (const QLabel *l : window.findChildren<QLabel *>())
        if (l->buddy())
            note(l->text());
    for (const QGroupBox *g : window.findChildren<QGroupBox *>())
        note(g->title());
    for (const QTabWidget *t : window.findChildren<QTabWidget *>())
        for (int i = 0; i < t->count(); ++i)
            note(t->tabText(i));
    QStringList clashes;
    for (auto it = users.cbegin(); it != users.cend(); ++it)
        if (it.value().size() > 1)
            clashes << QStringLiteral("Alt+%1: %2").arg(it.key().toUpper(), it.value().join(" / "));
    return clashes;
}

} // namespace vrn
