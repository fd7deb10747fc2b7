#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>
#include <exception>

namespace vrn {
namespace {

TMessageResponder *gResponder = nullptr;

// Room for the icon, close, maximise and minimise buttons of a title bar.
constexpr int kTitleBarButtonsPx = 160;

QMessageBox::StandardButton ShowRealBox(QWidget *parent, const TMessageRequest &request)
{
    const std::unique_ptr<QMessageBox> box = MakeMessageBox(parent, request);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget *parent, const TMessageRequest &request)
{
    auto box = std::make_unique<QMessageBox>(
        request.Icon, QApplication::applicationName(), request.Text, request.Buttons, parent);
    if (request.DefaultButton != QMessageBox::NoButton) {
        box->setDefaultButton(request.DefaultButton);
    }
    // A short message makes a narrow box, whose title bar then has no room left for the title
    // beside the window manager's buttons: the box is kept wide enough for both.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    const int width = title.horizontalAdvance(box->windowTitle()) + kTitleBarButtonsPx;
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

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
