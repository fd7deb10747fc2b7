#pragma once

// Test implementations of the ui seams. Each installs itself when constructed and restores the
// real implementation when destroyed; keep one of each alive for the length of a test.

#include "ui/Clock.h"
#include "ui/DocumentOpener.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintJob.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace vrn {

// Records every box and answers from a queue. With the queue empty, a box that offers only OK is
// acknowledged; any other question gets NoButton and is counted in Unanswered.
class TTestMessageBoxes : public TMessageResponder
{
public:
    TTestMessageBoxes();
    ~TTestMessageBoxes() override;
    TTestMessageBoxes(const TTestMessageBoxes &) = delete;
    TTestMessageBoxes &operator=(const TTestMessageBoxes &) = delete;

    QMessageBox::StandardButton Respond(QWidget *parent, const TMessageRequest &request) override;
    QStringList Texts() const;

    QList<TMessageRequest> Shown;
    QList<QMessageBox::StandardButton> Answers;
    int Unanswered = 0;
};

// Answers file dialogs from a queue of names; an empty name cancels, and so does an empty queue
// (counted in Unanswered).
class TTestFileDialogs : public TFileDialogProvider
{
public:
    TTestFileDialogs();
    ~TTestFileDialogs() override;
    TTestFileDialogs(const TTestFileDialogs &) = delete;
    TTestFileDialogs &operator=(const TTestFileDialogs &) = delete;

    QString ChooseFile(QWidget *parent, const TFileDialogRequest &request) override;

    QList<TFileDialogRequest> Requests;
    QStringList Answers;
    int Unanswered = 0;
};

// Answers the printer dialog. With HasPrinters false the system has no printer at all. Each
// answer is the name of a file the user sends the print to (the dialog's file output, which
// writes a PDF), or kAcceptAsSet (OK with the printer as it was set up before); an empty name
// cancels, and so does an empty queue (counted in Unanswered).
class TTestPrinterDialog : public TPrinterDialogProvider
{
public:
    TTestPrinterDialog();
    ~TTestPrinterDialog() override;
    TTestPrinterDialog(const TTestPrinterDialog &) = delete;
    TTestPrinterDialog &operator=(const TTestPrinterDialog &) = delete;

    bool HasPrinter() override { return HasPrinters; }

    bool ChoosePrinter(QWidget *parent, QPrinter &printer) override;

    static inline const QString kAcceptAsSet = QStringLiteral("<OK as set>");

    bool HasPrinters = true;
    QStringList Answers;
    int Shown = 0;
    int Unanswered = 0;
};

class TFixedClock : public TClock
{
public:
    explicit TFixedClock(const QDateTime &time);
    ~TFixedClock() override;
    TFixedClock(const TFixedClock &) = delete;
    TFixedClock &operator=(const TFixedClock &) = delete;

    QDateTime Now() const override { return Time; }

    QDateTime Time;
};

// Records the addresses instead of starting a viewer; Open returns Succeed.
class TRecordingOpener : public TDocumentOpener
{
public:
    TRecordingOpener();
    ~TRecordingOpener() override;
    TRecordingOpener(const TRecordingOpener &) = delete;
    TRecordingOpener &operator=(const TRecordingOpener &) = delete;

    bool Open(const QUrl &url) override;

    QList<QUrl> Opened;
    bool Succeed = true;
};

// Sends the per-user settings store and the data folder to a fresh temporary folder, so that no
// test reads or writes the user's own settings or files. Construct it before any QSettings.
class TTestSettingsFolder
{
public:
    TTestSettingsFolder();
    ~TTestSettingsFolder();
    TTestSettingsFolder(const TTestSettingsFolder &) = delete;
    TTestSettingsFolder &operator=(const TTestSettingsFolder &) = delete;

    bool IsValid() const { return FDir.isValid(); }

    QString Path() const { return FDir.path(); }

    QString SettingsPath() const { return FDir.path() + QStringLiteral("/settings"); }

    QString DataPath() const { return FDir.path() + QStringLiteral("/data"); }

private:
    QTemporaryDir FDir;
    QByteArray FOldDataDir;
    bool FHadDataDir = false;
};

} // namespace vrn
