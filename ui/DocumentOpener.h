#pragma once

// Hands a document or a web address to the user's associated viewer or browser (the help file,
// web links of marks). Tests install an opener that records the addresses.

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace vrn {

class TDocumentOpener
{
public:
    virtual ~TDocumentOpener() = default;
    // False when no viewer could be started.
    virtual bool Open(const QUrl &url) = 0;
};

// Installs the opener; nullptr restores the desktop's. The caller keeps ownership.
void SetDocumentOpener(TDocumentOpener *opener);

bool OpenDocument(const QUrl &url);

// The folders searched for the help file "VrnHelp.htm", in order: the shared data folder of an
// installed program (<prefix>/share/varunel beside <prefix>/bin), the program's own folder, the
// source tree's share/ folder (a build run without being installed), then the current folder.
QStringList HelpFolders();

// The first of `folders` that holds a regular file `name`; empty when none does.
QString FindFileIn(const QStringList &folders, const QString &name);

// Opens the help file with the user's browser; where none can be started (no browser
// installed), shows it in the program's own help window. Tells the user when the file is missing.
void OpenHelpFile(QWidget *parent, const QStringList &folders = HelpFolders());

// The program's own help window ("FormHelp", a read-only browser "HelpBrowser" with a "&Close"
// button) on the local HTML file `path`; one window, brought to the front and pointed at the
// file again on every call. Links to the web go to the browser seam.
QWidget *ShowHelpWindow(const QString &path);

} // namespace vrn
