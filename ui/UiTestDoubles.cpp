#include "ui/UiTestDoubles.h"

#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>

namespace vrn {

TTestMessageBoxes::TTestMessageBoxes()
{
    SetMessageResponder(this);
}

TTestMessageBoxes::~TTestMessageBoxes()
{
    SetMessageResponder(nullptr);
}

QMessageBox::StandardButton TTestMessageBoxes::Respond(QWidget *, const TMessageRequest &request)
{
    Shown.append(request);
    if (!Answers.isEmpty()) {
        return Answers.takeFirst();
    }
    if (request.Buttons == QMessageBox::Ok) {
        return QMessageBox::Ok;
    }
    ++Unanswered;
    return QMessageBox::NoButton;
}

QStringList TTestMessageBoxes::Texts() const
{
    QStringList texts;
    for (const TMessageRequest &r : Shown) {
        texts << r.Text;
    }
    return texts;
}

TTestFileDialogs::TTestFileDialogs()
{
    SetFileDialogProvider(this);
}

TTestFileDialogs::~TTestFileDialogs()
{
    SetFileDialogProvider(nullptr);
}

QString TTestFileDialogs::ChooseFile(QWidget *, const TFileDialogRequest &request)
{
    Requests.append(request);
    if (Answers.isEmpty()) {
        ++Unanswered;
        return QString();
    }
    return Answers.takeFirst();
}

TTestPrinterDialog::TTestPrinterDialog()
{
    SetPrinterDialogProvider(this);
}

TTestPrinterDialog::~TTestPrinterDialog()
{
    SetPrinterDialogProvider(nullptr);
}

bool TTestPrinterDialog::ChoosePrinter(QWidget *, QPrinter &printer)
{
    ++Shown;
    if (Answers.isEmpty()) {
        ++Unanswered;
        return false;
    }
    const QString file = Answers.takeFirst();
    if (file.isEmpty()) {
        return false;
    }
    if (file == kAcceptAsSet) {
        return true;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
}

TFixedClock::TFixedClock(const QDateTime &time)
    : Time(time)
{
    SetClock(this);
}

TFixedClock::~TFixedClock()
{
    SetClock(nullptr);
}

TRecordingOpener::TRecordingOpener()
{
    SetDocumentOpener(this);
}

TRecordingOpener::~TRecordingOpener()
{
    SetDocumentOpener(nullptr);
}

bool TRecordingOpener::Open(const QUrl &url)
{
    Opened.append(url);
    return Succeed;
}

TTestSettingsFolder::TTestSettingsFolder()
    : FOldDataDir(qgetenv("VRN_DATA_DIR"))
    , FHadDataDir(qEnvironmentVariableIsSet("VRN_DATA_DIR"))
{
    // Test mode moves every QStandardPaths location under ~/.qttest; the explicit paths below
    // then take the settings and the data folder out of the home folder altogether.
    QStandardPaths::setTestModeEnabled(true);
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, SettingsPath());
        }
    }
    qputenv("VRN_DATA_DIR", DataPath().toLocal8Bit());
}

TTestSettingsFolder::~TTestSettingsFolder()
{
    if (FHadDataDir) {
        qputenv("VRN_DATA_DIR", FOldDataDir);
    } else {
        qunsetenv("VRN_DATA_DIR");
    }
}

} // namespace vrn
