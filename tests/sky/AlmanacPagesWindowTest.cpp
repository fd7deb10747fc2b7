#include "engine/Astros.h"
#include "sky/AlmanacLocale.h"
#include "sky/AlmanacPrint.h"
#include "sky/fAlmanacPages.h"
#include "tests/ui/Mnemonics.h"
#include "tests/ui/PdfText.h"
#include "ui/UiTestDoubles.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace vrn {

class TAlmanacPagesWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ControlsAsTheTable_data();
    void ControlsAsTheTable();
    void DateStartsTodayAndPlus3AddsThreeDays();
    void OneClickThenTypeADate_data();
    void OneClickThenTypeADate();
    void BuildPageShowsTheChosenPage_data();
    void BuildPageShowsTheChosenPage();
    void BuildReplacesThePage();
    void PrintingAnEmptyPageIsAnError_data();
    void PrintingAnEmptyPageIsAnError();
    void FontSizeWarning_data();
    void FontSizeWarning();
    void PrintsToPdfReadBack_data();
    void PrintsToPdfReadBack();
    void PrintingFailureIsReported();
    void PrinterSetupIsKeptForPrinting();
    void ChoicesAreKeptPerUser();
    void Screenshot();
    void LocaleNames_data();
    void LocaleNames();

private:
    template <typename T>
    T *Control(const char *name) const
    {
        return FWindow->findChild<T *>(QString::fromLatin1(name));
    }

    static QString Golden(const char *page);

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TFixedClock> FClock;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TTestPrinterDialog> FPrinters;
    std::unique_ptr<TFormAlmanacPages> FWindow;
};

void TAlmanacPagesWindowTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    // The pages name months and weekdays in the locale's language; English makes them fixed.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    FClock =
        std::make_unique<TFixedClock>(QDateTime(QDate(2024, 3, 30), QTime(10, 0), Qt::LocalTime));
}

void TAlmanacPagesWindowTest::init()
{
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FPrinters = std::make_unique<TTestPrinterDialog>();
    FWindow = std::make_unique<TFormAlmanacPages>();
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TAlmanacPagesWindowTest::cleanup()
{
    FWindow.reset();
    FPrinters.reset();
    FFiles.reset();
    FBoxes.reset();
    // Each test starts from a user without stored choices.
    QSettings(QSettings::UserScope, QStringLiteral("Pelvarq"), QStringLiteral("Varunel")).clear();
}

QString TAlmanacPagesWindowTest::Golden(const char *page)
{
    QFile file(QStringLiteral(VRN_TEST_DATA_DIR "/almanac_2024-03-30_%1.expected")
                   .arg(QString::fromLatin1(page)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.chop(1); // the file's last line end
    return text;
}

void TAlmanacPagesWindowTest::ControlsAsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");

    QTest::addRow("page choice") << "RGPage"
                                 << "Page" << QString();
    QTest::addRow("first page") << "RBAriesAndPlanets"
                                << "Aries and planets" << QString();
    QTest::addRow("second page") << "RBSunMoonAndStars"
                                 << "Sun, Moon and stars" << QString();
    QTest::addRow("date label") << "LDate"
                                << "date:" << QString();
    QTest::addRow("date field") << "EdDate" << QString() << "Select Local Date";
    QTest::addRow("+3") << "BPlus3"
                        << "+3"
                        << "Next 3 day page (date + 3)";
    QTest::addRow("build") << "BBuildPage"
                           << "&Build page"
                           << "Build starting at selected date";
    QTest::addRow("print") << "BPrint"
                           << "&Print"
                           << "Print page";
    QTest::addRow("print item") << "MIPrintPage"
                                << "Print page" << QString();
    QTest::addRow("save as PDF item") << "MISaveAsPdf"
                                      << "Save as PDF..." << QString();
    QTest::addRow("printer setup item") << "MIPrinterSetup"
                                        << "Printer setup..." << QString();
    QTest::addRow("font item") << "MIChooseFont"
                               << "Choose Font..." << QString();
}

void TAlmanacPagesWindowTest::ControlsAsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);

    QCOMPARE(FWindow->windowTitle(), QStringLiteral("Nautical Almanac Page Maker"));
    QObject *control = FWindow->findChild<QObject *>(name);
    QVERIFY2(control != nullptr, qPrintable(name));
    QString text;
    if (auto *box = qobject_cast<QGroupBox *>(control))
        text = box->title();
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        text = button->text();
    else if (auto *label = qobject_cast<QLabel *>(control))
        text = label->text();
    else if (auto *action = qobject_cast<QAction *>(control))
        text = action->text();
    QCOMPARE(text, caption);
    if (auto *widget = qobject_cast<QWidget *>(control))
        QCOMPARE(widget->toolTip(), hint);

    QVERIFY(Control<QRadioButton>("RBAriesAndPlanets")->isChecked());
    QCOMPARE(MnemonicClashes(*FWindow), QStringList());
    auto *memo = Control<QPlainTextEdit>("Memo");
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    // Monospaced by its glyphs (fixedPitch() is false for Noto Sans Mono): the page's columns
    // line up.
    const QFontMetricsF metrics(memo->font());
    for (const QChar c : {QLatin1Char('i'), QLatin1Char('0'), QLatin1Char(' '), QLatin1Char('|')})
        QCOMPARE(metrics.horizontalAdvance(c), metrics.horizontalAdvance(QLatin1Char('W')));
    const QFontMetricsF print(FWindow->PrintFont());
    QCOMPARE(print.horizontalAdvance(QLatin1Char('i')), print.horizontalAdvance(QLatin1Char('W')));
}

void TAlmanacPagesWindowTest::DateStartsTodayAndPlus3AddsThreeDays()
{
    auto *date = Control<QDateEdit>("EdDate");
    QCOMPARE(date->date(), QDate(2024, 3, 30)); // the fixed clock's local date
    QVERIFY(date->displayFormat().contains(QStringLiteral("yyyy")));
    QTest::mouseClick(Control<QPushButton>("BPlus3"), Qt::LeftButton);
    QCOMPARE(date->date(), QDate(2024, 4, 2));
    QTest::mouseClick(Control<QPushButton>("BBuildPage"), Qt::LeftButton);
    QCOMPARE(FWindow->PageText().section(QLatin1Char('\n'), 0, 0),
        QStringLiteral("     2024 APR. 2, 3, 4 (TUE, WED, THU)"));
    // The last date with a whole page stays the last.
    date->setDate(QDate(9999, 12, 27));
    QTest::mouseClick(Control<QPushButton>("BPlus3"), Qt::LeftButton);
    QCOMPARE(date->date(), QDate(9999, 12, 29));
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TAlmanacPagesWindowTest::OneClickThenTypeADate_data()
{
    QTest::addColumn<double>("where"); // of the text's width, from the left
    QTest::addColumn<QString>("keys");
    QTest::addRow("click on the day, digits") << 0.1 << "21062024";
    QTest::addRow("click on the year, digits") << 0.8 << "21062024";
    QTest::addRow("click in the middle, with separators") << 0.5 << "21/06/2024";
    QTest::addRow("one-digit day and month") << 0.5 << "21/6/2024";
}

void TAlmanacPagesWindowTest::OneClickThenTypeADate()
{
    QFETCH(double, where);
    QFETCH(QString, keys);
    auto *date = Control<QDateEdit>("EdDate");
    QApplication::setActiveWindow(FWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
    Control<QPushButton>("BBuildPage")->setFocus();
    // The click lands on the text, where the date is typed (not on the calendar's arrow).
    auto *text = date->findChild<QLineEdit *>();
    QVERIFY(text);
    QTest::mouseClick(
        text, Qt::LeftButton, {}, QPoint(int(text->width() * where), text->height() / 2));
    QTest::qWait(1);
    QVERIFY(date->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), keys);
    QCOMPARE(date->date(), QDate(2024, 6, 21));
}

void TAlmanacPagesWindowTest::BuildPageShowsTheChosenPage_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("expected");

    // Golden pages reviewed against PyEphem and the layout (tools/review-almanac-golden.py).
    QTest::addRow("Aries and planets") << "RBAriesAndPlanets" << Golden("left");
    QTest::addRow("Sun, Moon and stars") << "RBSunMoonAndStars" << Golden("right");
}

void TAlmanacPagesWindowTest::BuildPageShowsTheChosenPage()
{
    QFETCH(QString, radio);
    QFETCH(QString, expected);
    QVERIFY(!expected.isEmpty());

    FWindow->findChild<QRadioButton *>(radio)->setChecked(true);
    QTest::mouseClick(Control<QPushButton>("BBuildPage"), Qt::LeftButton);
    QCOMPARE(FWindow->PageText(), expected);
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TAlmanacPagesWindowTest::BuildReplacesThePage()
{
    FWindow->BBuildPageClick();
    Control<QRadioButton>("RBSunMoonAndStars")->setChecked(true);
    FWindow->BBuildPageClick();
    QCOMPARE(FWindow->PageText(), Golden("right"));
}

void TAlmanacPagesWindowTest::PrintingAnEmptyPageIsAnError_data()
{
    QTest::addColumn<QString>("item");
    QTest::addRow("print page") << "MIPrintPage";
    QTest::addRow("save as PDF") << "MISaveAsPdf";
}

void TAlmanacPagesWindowTest::PrintingAnEmptyPageIsAnError()
{
    QFETCH(QString, item);
    FWindow->findChild<QAction *>(item)->trigger();
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("Page is empty. Build a page first.")});
    // Nothing asked before the page exists.
    QCOMPARE(FPrinters->Shown, 0);
    QVERIFY(FFiles->Requests.isEmpty());
    // The window stays usable.
    FWindow->BBuildPageClick();
    QCOMPARE(FWindow->PageText(), Golden("left"));
}

void TAlmanacPagesWindowTest::FontSizeWarning_data()
{
    QTest::addColumn<int>("size"); // 0: the dialog is cancelled
    QTest::addColumn<bool>("warns");
    QTest::addColumn<int>("printSize");

    QTest::addRow("6 points") << 6 << false << 6;
    QTest::addRow("7 points, the largest that fits") << 7 << false << 7;
    QTest::addRow("8 points") << 8 << true << 8;
    QTest::addRow("12 points") << 12 << true << 12;
    QTest::addRow("cancelled") << 0 << false << 7;
}

void TAlmanacPagesWindowTest::FontSizeWarning()
{
    QFETCH(int, size);
    QFETCH(bool, warns);
    QFETCH(int, printSize);

    QFont offered;
    FWindow->ChooseFont = [&](QWidget *, const QFont &current) -> std::optional<QFont> {
        offered = current;
        if (size == 0)
            return std::nullopt;
        QFont font(QStringLiteral("DejaVu Sans Mono"), size);
        return font;
    };
    FWindow->findChild<QAction *>(QStringLiteral("MIChooseFont"))->trigger();
    QCOMPARE(offered.pointSize(), 7); // the print font's default
    QCOMPARE(FWindow->PrintFont().pointSize(), printSize);
    if (warns) {
        QCOMPARE(FBoxes->Shown.size(), 1);
        QCOMPARE(FBoxes->Shown[0].Text,
            QStringLiteral("Warning: Font size larger then 7 may result in a page\n"
                           "that will not fit in a single sheet of paper."));
        QCOMPARE(FBoxes->Shown[0].Icon, QMessageBox::Warning);
        QCOMPARE(FBoxes->Shown[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    } else {
        QVERIFY(FBoxes->Shown.isEmpty());
    }
}

enum class TPrintRoute
{
    PrinterDialogFile, // "Print page", the printer dialog's file output
    SaveAsPdf, // "Save as PDF..."
    NoPrinter, // "Print page" with no printer installed, taking the PDF offered
};

void TAlmanacPagesWindowTest::PrintsToPdfReadBack_data()
{
    QTest::addColumn<int>("route");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("oneSheet");

    // 95 lines of 7 points fit an A4 sheet; at 9 points the page runs on to a second sheet.
    QTest::addRow("printer, default 7 points") << int(TPrintRoute::PrinterDialogFile) << 7 << true;
    QTest::addRow("printer, 9 points") << int(TPrintRoute::PrinterDialogFile) << 9 << false;
    QTest::addRow("save as PDF, 7 points") << int(TPrintRoute::SaveAsPdf) << 7 << true;
    QTest::addRow("save as PDF, 9 points") << int(TPrintRoute::SaveAsPdf) << 9 << false;
    QTest::addRow("no printer") << int(TPrintRoute::NoPrinter) << 7 << true;
}

void TAlmanacPagesWindowTest::PrintsToPdfReadBack()
{
    QFETCH(int, route);
    QFETCH(int, pointSize);
    QFETCH(bool, oneSheet);

    if (!PdfTextAvailable())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    Control<QRadioButton>("RBSunMoonAndStars")->setChecked(true);
    FWindow->BBuildPageClick();
    FWindow->ChooseFont = [&](QWidget *, const QFont &) -> std::optional<QFont> {
        return QFont(QStringLiteral("DejaVu Sans Mono"), pointSize);
    };
    FWindow->MIChooseFontClick();
    FBoxes->Shown.clear();
    switch (static_cast<TPrintRoute>(route)) {
    case TPrintRoute::PrinterDialogFile:
        FPrinters->Answers << pdf;
        QTest::mouseClick(Control<QToolButton>("BPrint"), Qt::LeftButton);
        QCOMPARE(FPrinters->Shown, 1);
        QVERIFY(FFiles->Requests.isEmpty());
        break;
    case TPrintRoute::SaveAsPdf:
        FFiles->Answers << pdf;
        FWindow->findChild<QAction *>(QStringLiteral("MISaveAsPdf"))->trigger();
        QCOMPARE(FFiles->Requests.size(), 1);
        QCOMPARE(QFileInfo(FFiles->Requests[0].Folder).fileName(),
            QStringLiteral("almanac-2024-03-30-sun-moon-stars.pdf"));
        QCOMPARE(FFiles->Requests[0].DefaultSuffix, QStringLiteral("pdf"));
        QCOMPARE(FPrinters->Shown, 0);
        break;
    case TPrintRoute::NoPrinter:
        FPrinters->HasPrinters = false;
        FBoxes->Answers << QMessageBox::Yes;
        FFiles->Answers << pdf;
        QTest::mouseClick(Control<QToolButton>("BPrint"), Qt::LeftButton);
        QCOMPARE(FBoxes->Texts(),
            QStringList {
                QStringLiteral("No printer is installed. Save the pages as a PDF file instead?")});
        FBoxes->Shown.clear();
        break;
    }
    QVERIFY(FBoxes->Shown.isEmpty());

    const QString text = PdfText(pdf);
    // pdftotext ends every sheet with a form feed.
    QCOMPARE(PdfSheetCount(text) == 1, oneSheet);
    const QStringList expected =
        PdfWords(Golden("right") + QLatin1Char('\n') + AlmanacFooterLine());
    QCOMPARE(PdfWords(text), expected);
}

void TAlmanacPagesWindowTest::PrintingFailureIsReported()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("no such folder/page.pdf"));
    FWindow->BBuildPageClick();
    FPrinters->Answers << pdf;
    FWindow->MIPrintPageClick();
    QCOMPARE(FBoxes->Shown.size(), 1);
    QVERIFY2(FBoxes->Shown[0].Text.startsWith(QStringLiteral("Cannot write ") + pdf),
        qPrintable(FBoxes->Shown[0].Text));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(FWindow->PageText(), Golden("left"));
}

void TAlmanacPagesWindowTest::PrinterSetupIsKeptForPrinting()
{
    if (!PdfTextAvailable())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("set-up.pdf"));
    // The file output chosen in "Printer setup..." is where "Print page" then prints.
    FPrinters->Answers << pdf << TTestPrinterDialog::kAcceptAsSet;
    FWindow->findChild<QAction *>(QStringLiteral("MIPrinterSetup"))->trigger();
    QCOMPARE(FWindow->Printer().outputFileName(), pdf);
    FWindow->BBuildPageClick();
    FWindow->MIPrintPageClick();
    QCOMPARE(FPrinters->Shown, 2);
    QVERIFY(FBoxes->Shown.isEmpty());
    QCOMPARE(
        PdfWords(PdfText(pdf)), PdfWords(Golden("left") + QLatin1Char('\n') + AlmanacFooterLine()));

    // With no printer installed, setup says so.
    FPrinters->HasPrinters = false;
    FWindow->findChild<QAction *>(QStringLiteral("MIPrinterSetup"))->trigger();
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("No printer is installed.")});
}

void TAlmanacPagesWindowTest::ChoicesAreKeptPerUser()
{
    Control<QRadioButton>("RBSunMoonAndStars")->setChecked(true);
    FWindow->ChooseFont = [](QWidget *, const QFont &) -> std::optional<QFont> {
        return QFont(QStringLiteral("DejaVu Sans Mono"), 6);
    };
    FWindow->MIChooseFontClick();
    FWindow.reset();

    FWindow = std::make_unique<TFormAlmanacPages>();
    QVERIFY(Control<QRadioButton>("RBSunMoonAndStars")->isChecked());
    QCOMPARE(FWindow->PrintFont().family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(FWindow->PrintFont().pointSize(), 6);
    // The date is not kept: it starts at today.
    QCOMPARE(Control<QDateEdit>("EdDate")->date(), QDate(2024, 3, 30));
}

void TAlmanacPagesWindowTest::Screenshot()
{
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    Control<QRadioButton>("RBSunMoonAndStars")->setChecked(true);
    FWindow->BBuildPageClick();
    QApplication::processEvents();
    QVERIFY(FWindow->grab().save(folder + QStringLiteral("/almanac-pages.png")));
}

void TAlmanacPagesWindowTest::LocaleNames_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("march");
    QTest::addColumn<QString>("january");
    QTest::addColumn<QString>("sunday");
    QTest::addColumn<QString>("saturday");

    // Names from Qt 6.4's CLDR tables, upper-cased; the abbreviation point of "janv." dropped.
    QTest::addRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "MAR"
                             << "JAN"
                             << "SUN"
                             << "SATURDAY";
    QTest::addRow("French") << QLocale(QLocale::French, QLocale::France) << "MARS"
                            << "JANV"
                            << "DIM."
                            << "SAMEDI";
    QTest::addRow("German") << QLocale(QLocale::German, QLocale::Germany) << "MÄRZ"
                            << "JAN"
                            << "SO."
                            << "SAMSTAG";
}

void TAlmanacPagesWindowTest::LocaleNames()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, march);
    QFETCH(QString, january);
    QFETCH(QString, sunday);
    QFETCH(QString, saturday);

    const TAlmanacNames names = AlmanacNamesOf(locale);
    QCOMPARE(QString::fromStdString(names.ShortMonths[2]), march);
    QCOMPARE(QString::fromStdString(names.ShortMonths[0]), january);
    QCOMPARE(QString::fromStdString(names.ShortDays[0]), sunday);
    QCOMPARE(QString::fromStdString(names.LongDays[6]), saturday);
    if (locale.language() == QLocale::English) {
        const TAlmanacNames english = TAlmanacNames::English();
        QVERIFY(names.ShortMonths == english.ShortMonths);
        QVERIFY(names.ShortDays == english.ShortDays);
        QVERIFY(names.LongDays == english.LongDays);
    }
}

} // namespace vrn

QTEST_MAIN(vrn::TAlmanacPagesWindowTest)
#include "AlmanacPagesWindowTest.moc"
