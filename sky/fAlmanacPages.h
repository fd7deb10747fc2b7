#pragma once

// "Nautical Almanac Page Maker": builds either almanac page for three days from a chosen date,
// shows it in a monospaced read-only view and prints it.

#include "sky/AlmanacPgMaker.h"

#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QDate;
class QDateEdit;
class QGroupBox;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vrn {

class TDateEdit;

class TFormAlmanacPages : public QWidget
{
    Q_OBJECT

public:
    // Uses the process's body registry (creating it if needed) and the default locale's month
    // and weekday names; the date field starts at today's local date.
    explicit TFormAlmanacPages(QWidget *parent = nullptr);
    ~TFormAlmanacPages() override;

    enum class TPage
    {
        AriesAndPlanets,
        SunMoonAndStars,
    };

    // The font dialog, replaceable so that tests can answer it: it offers fixed-pitch fonts and
    // returns nothing when cancelled. (The printer dialog goes through ui/PrintJob's seam.)
    std::function<std::optional<QFont>(QWidget *parent, const QFont &current)> ChooseFont;

    // The printer "Print page" uses and "Printer setup..." sets up (the system's default
    // printer until set up).
    QPrinter &Printer() { return *FPrinter; }

    QFont PrintFont() const { return FPrintFont; }

    QString PageText() const;

    void BPlus3Click();
    void BBuildPageClick();
    void MIPrintPageClick();
    void MISaveAsPdfClick();
    void MIPrinterSetupClick();
    void MIChooseFontClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    TPage ChosenPage() const;
    // The page shown as a print job, with its name; raises "Page is empty. Build a page first."
    struct TPrintJob;
    TPrintJob PageJob() const;
    void LoadSettings();
    void SaveSettings();

    std::unique_ptr<TAlmanacPageMaker> FMaker;
    std::unique_ptr<QPrinter> FPrinter;
    QFont FPrintFont;
    QString FPageName; // of the page shown: "almanac-2024-03-30-sun-moon-stars"

    QGroupBox *FRGPage = nullptr;
    QRadioButton *FRBAriesAndPlanets = nullptr;
    QRadioButton *FRBSunMoonAndStars = nullptr;
    TDateEdit *FEdDate = nullptr;
    QPushButton *FBPlus3 = nullptr;
    QPushButton *FBBuildPage = nullptr;
    QToolButton *FBPrint = nullptr;
    QAction *FMIPrintPage = nullptr;
    QAction *FMISaveAsPdf = nullptr;
    QAction *FMIPrinterSetup = nullptr;
    QAction *FMIChooseFont = nullptr;
    QPlainTextEdit *FMemo = nullptr;
};

} // namespace vrn
