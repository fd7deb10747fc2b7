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

// Opens the help file, or tells the user that it is missing or could not be opened.
void OpenHelpFile(QWidget *parent, const QStringList &folders = HelpFolders());

} // namespace vrn
