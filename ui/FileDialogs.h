#pragma once

// File open and save dialogs. Windows ask through these functions so that a test can name the
// file (or cancel) without a dialog on screen.

#include <QString>

class QWidget;

namespace vrn {

struct TFileDialogRequest
{
    bool Save = false;
    QString Caption;
    QString Folder; // starting folder or file
    QString Filter; // "LOP lists (*.vll *.VLL);;All files (*)"
    QString DefaultSuffix; // "vll": added to a saved name that has none
    bool ConfirmOverwrite = true; // false: the caller asks its own question about an old file
};

class TFileDialogProvider
{
public:
    virtual ~TFileDialogProvider() = default;
    // The chosen file, or an empty string when the user cancelled.
    virtual QString ChooseFile(QWidget *parent, const TFileDialogRequest &request) = 0;
};

// Installs the provider every dialog goes through; nullptr restores the real dialogs. The caller
// keeps ownership.
void SetFileDialogProvider(TFileDialogProvider *provider);

// Empty result: cancelled.
QString GetOpenFileName(
    QWidget *parent, const QString &caption, const QString &folder, const QString &filter);
QString GetSaveFileName(QWidget *parent, const QString &caption, const QString &folder,
    const QString &filter, const QString &defaultSuffix = QString(), bool confirmOverwrite = true);

} // namespace vrn
