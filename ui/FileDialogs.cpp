#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace vrn {
namespace {

TFileDialogProvider *gProvider = nullptr;

QString ShowRealDialog(QWidget *parent, const TFileDialogRequest &request)
{
    QFileDialog dialog(parent, request.Caption, request.Folder, request.Filter);
    if (request.Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.DefaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return QString();
    }
    return dialog.selectedFiles().value(0);
}

QString Choose(QWidget *parent, const TFileDialogRequest &request)
{
    return gProvider ? gProvider->ChooseFile(parent, request) : ShowRealDialog(parent, request);
}

} // namespace

void SetFileDialogProvider(TFileDialogProvider *provider)
{
    gProvider = provider;
}

QString GetOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    return Choose(parent, {false, caption, folder, filter, QString(), true});
}

QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &folder,
    const QString &filter, const QString &defaultSuffix, bool confirmOverwrite)
{
    return Choose(parent, {true, caption, folder, filter, defaultSuffix, confirmOverwrite});
}

} // namespace vrn
