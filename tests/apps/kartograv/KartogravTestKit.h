#pragma once

// What the kartograv window tests share: the point editor answered through its real fields, the
// polygon name typed into the real input box, and pictures with known georeferencing.

#include "apps/kartograv/PictureView.h"
#include "charts/PictureWriters.h"
#include "common/VrnEdit.h"
#include "tests/apps/kartograv/ModalAnswers.h"
#include "tests/charts/GeoPicture.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace vrn::testing {

// Types the position into the point editor and presses OK (or Cancel when cancel is set); the
// prompt it showed is kept in *prompt.
inline TModalAnswers::TStep EnterPosition(
    double latDeg, double lonDeg, QString *prompt = nullptr, bool cancel = false)
{
    return [=](QDialog &dialog) {
        if (prompt) {
            if (auto *l = dialog.findChild<QLabel *>(QStringLiteral("LPrompt")))
                *prompt = l->text();
        }
        auto *lat = dialog.findChild<TKaPositionEdit *>(QStringLiteral("EdLat"));
        auto *lon = dialog.findChild<TKaPositionEdit *>(QStringLiteral("EdLon"));
        if (lat && lon) {
            lat->SetPosition(latDeg);
            lon->SetPosition(lonDeg);
        }
        auto *button = dialog.findChild<QPushButton *>(
            cancel ? QStringLiteral("BCancel") : QStringLiteral("BOK"));
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            dialog.reject();
    };
}

// Types a name into a one-line input box and presses OK.
inline TModalAnswers::TStep TypeText(const QString &text, bool cancel = false)
{
    return [=](QDialog &dialog) {
        if (auto *edit = dialog.findChild<QLineEdit *>())
            QTest::keyClicks(edit, text);
        if (cancel)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (auto *edit = dialog.findChild<QLineEdit *>())
            QTest::keyClick(edit, Qt::Key_Return);
    };
}

inline TModalAnswers::TStep ClickButton(const QString &name)
{
    return [=](QDialog &dialog) {
        if (auto *b = dialog.findChild<QPushButton *>(name))
            QTest::mouseClick(b, Qt::LeftButton);
        else
            dialog.reject();
    };
}

// Runs the message loop until every expected dialog was answered (or 10 s passed).
inline bool WaitAnswered(const TModalAnswers &answers)
{
    return QTest::qWaitFor([&] { return answers.AllAnswered(); }, 10000);
}

inline void ClickPicture(TPictureView *view, int x, int y)
{
    QTest::mouseClick(view->Canvas(), Qt::LeftButton, {}, QPoint(x, y));
}

} // namespace vrn::testing
