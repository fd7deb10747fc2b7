#include "celestial/DlgShowOnceMsg.h"

#include "celestial/ShowOnceList.h"
#include "ui/DataFolder.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>
#include <optional>

namespace vrn {
namespace {

std::optional<TShowOnceList> gList;
TShowOnceResponder gResponder;
QPointer<QCoreApplication> gQuitHookedTo;

std::filesystem::path DontShowFile()
{
    const QString path = DataFilePath(QString::fromUtf8(kDontShowFileName));
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

void HookProgramExit()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || gQuitHookedTo == app)
        return;
    gQuitHookedTo = app;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, &CloseShowOnceMessages);
}

TShowOnceList &List()
{
    if (!gList) {
        // A data folder that cannot be made reads as a missing file: only the suppressions
        // are lost.
        try {
            gList = TShowOnceList::Load(DontShowFile());
        } catch (const std::exception &) {
            gList = TShowOnceList();
        }
        HookProgramExit();
    }
    return *gList;
}

bool AskTheBox(QWidget *parent, const QString &text)
{
    if (gResponder)
        return gResponder(parent, text);
    TFormShowMsgOnce box(parent);
    return box.Execute(text);
}

} // namespace

TFormShowMsgOnce::TFormShowMsgOnce(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormShowMsgOnce"));
    setWindowTitle(QStringLiteral("Varunel"));

    FLMessage = new QLabel(this);
    FLMessage->setObjectName(QStringLiteral("LMessage"));
    FLMessage->setWordWrap(true);
    // Wide enough that the time-zone warning wraps into a few lines, not a column of words.
    FLMessage->setMinimumWidth(FLMessage->fontMetrics().averageCharWidth() * 50);
    FCBDontShowAgain = new QCheckBox(QStringLiteral("Don' t show this message again"), this);
    FCBDontShowAgain->setObjectName(QStringLiteral("CBDontShowAgain"));

    auto *buttons = new QDialogButtonBox(this);
    FBClose = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
    FBClose->setObjectName(QStringLiteral("BClose"));
    FBClose->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FLMessage);
    layout->addWidget(FCBDontShowAgain);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormShowMsgOnce::SetText(const QString &text)
{
    FLMessage->setText(text);
}

bool TFormShowMsgOnce::DontShowAgain() const
{
    return FCBDontShowAgain->isChecked();
}

bool TFormShowMsgOnce::Execute(const QString &text)
{
    SetText(text);
    FCBDontShowAgain->setChecked(false);
    exec();
    return DontShowAgain();
}

void ShowMessageOnce(const QString &text, QWidget *parent)
{
    const std::string message = text.toStdString();
    if (List().Contains(message))
        return;
    if (AskTheBox(parent, text))
        List().Add(message);
}

void SetShowOnceResponder(TShowOnceResponder responder)
{
    gResponder = std::move(responder);
}

const TShowOnceList &ShowOnceMessages()
{
    return List();
}

bool SaveShowOnceMessages(QWidget *parent)
{
    if (!gList || !gList->Changed())
        return true;
    return RunCommand(parent, [] { gList->SaveIfChanged(DontShowFile()); });
}

void CloseShowOnceMessages()
{
    // Runs from the event loop at exit: nothing may escape.
    try {
        SaveShowOnceMessages();
    } catch (...) { }
    gList.reset();
}

} // namespace vrn
