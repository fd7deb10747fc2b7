#pragma once

// Modal message boxes and questions. Windows never call QMessageBox themselves: they go through
// these functions, so that a test can install a responder that reads the texts and answers.

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

namespace vrn {

struct TMessageRequest
{
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::Information;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    QMessageBox::StandardButton DefaultButton = QMessageBox::NoButton;
};

class TMessageResponder
{
public:
    virtual ~TMessageResponder() = default;
    // Returns the button the user pressed; NoButton when the box was dismissed otherwise.
    virtual QMessageBox::StandardButton Respond(
        QWidget *parent, const TMessageRequest &request) = 0;
};

// Installs the responder every box goes through; nullptr restores the real boxes. The caller
// keeps ownership and uninstalls it before freeing it.
void SetMessageResponder(TMessageResponder *responder);

// The box MessageDlg shows (titled with the application's name, at least as wide as its title
// bar needs), not yet shown.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget *parent, const TMessageRequest &request);

QMessageBox::StandardButton MessageDlg(QWidget *parent, const QString &text, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// A notice with an OK button.
void ShowMessage(QWidget *parent, const QString &text);

// A failure of a command: the message of the error, with an OK button.
void ShowError(QWidget *parent, const QString &text);

// A question with Yes and No; true only for Yes (closing the box counts as No).
bool AskYesNo(QWidget *parent, const QString &text);

// Runs a command of a window so that no exception reaches the Qt event loop: an error is shown
// in a modal box and the window stays usable. Returns false when the command failed.
bool RunCommand(QWidget *parent, const std::function<void()> &command);

} // namespace vrn
