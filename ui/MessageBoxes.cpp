#include "ui/MessageBoxes.h"

#include <QApplication>
#include <exception>

namespace vrn {
namespace {

TMessageResponder *gResponder = nullptr;

QMessageBox::StandardButton ShowRealBox(QWidget *parent, const TMessageRequest &request)
{
    QMessageBox box(
        request.Icon, QApplication::applicationName(), request.Text, request.Buttons, parent);
    if (request.DefaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(request.DefaultButton);
    }
    const int result = box.exec();
    return static_cast<QMessageBox::StandardButton>(result);
}

} // namespace

void SetMessageResponder(TMessageResponder *responder)
{
    gResponder = responder;
}

QMessageBox::StandardButton MessageDlg(QWidget *parent, const QString &text, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    const TMessageRequest request {text, icon, buttons, defaultButton};
    if (gResponder) {
        return gResponder->Respond(parent, request);
    }
    return ShowRealBox(parent, request);
}

void ShowMessage(QWidget *parent, const QString &text)
{
    MessageDlg(parent, text, QMessageBox::Information, QMessageBox::Ok);
}

void ShowError(QWidget *parent, const QString &text)
{
    MessageDlg(parent, text, QMessageBox::Critical, QMessageBox::Ok);
}

bool AskYesNo(QWidget *parent, const QString &text)
{
    return MessageDlg(parent, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes)
        == QMessageBox::Yes;
}

bool RunCommand(QWidget *parent, const std::function<void()> &command)
{
    // Showing the box can itself fail (out of memory); that must not escape either.
    try {
        try {
            command();
            return true;
        } catch (const std::exception &e) {
            ShowError(parent, QString::fromUtf8(e.what()));
        } catch (...) {
            ShowError(parent, QStringLiteral("Unexpected error"));
        }
    } catch (...) { }
    return false;
}

} // namespace vrn
