#pragma once

// The message box the user can silence for good. Suppressed messages are kept in "DontShow.msg"
// in the data folder, read when the box is first needed and written back at program exit (or
// when the owner saves) only when the list changed.

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vrn {

class TShowOnceList;

// "Varunel": the text, the check box "Don' t show this message again" and "&Close".
class TFormShowMsgOnce : public QDialog
{
    Q_OBJECT

public:
    explicit TFormShowMsgOnce(QWidget *parent = nullptr);

    // Shows the text modally with the check box unticked; true when it was closed ticked.
    bool Execute(const QString &text);

    void SetText(const QString &text);

    bool DontShowAgain() const;

private:
    QLabel *FLMessage = nullptr;
    QCheckBox *FCBDontShowAgain = nullptr;
    QPushButton *FBClose = nullptr;
};

// Shows `text` in the box unless the user suppressed it before; ticking the check box adds it
// to the list. The first call reads "DontShow.msg".
void ShowMessageOnce(const QString &text, QWidget *parent = nullptr);

// Answers the box instead of showing it (tests, and windows driven without a screen): called
// with the text, it returns whether "don't show again" was ticked. An empty function restores
// the box.
using TShowOnceResponder = std::function<bool(QWidget *parent, const QString &text)>;
void SetShowOnceResponder(TShowOnceResponder responder);

// The suppression list as it stands (read from the file when not yet read).
const TShowOnceList &ShowOnceMessages();

// Writes the list to "DontShow.msg" when it changed. When it cannot, says so in a message box
// and returns false; the list stays marked changed and the old file stays.
bool SaveShowOnceMessages(QWidget *parent = nullptr);

// At program exit (connected to QCoreApplication::aboutToQuit when the list is first read):
// saves the list as above and forgets it, so that its next use reads the file again.
void CloseShowOnceMessages();

} // namespace vrn
