#include "sky/fAlmanacPages.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "sky/AlmanacLocale.h"
#include "sky/AlmanacPrint.h"
#include "ui/Clock.h"
#include "ui/DateEdit.h"
#include "ui/Fonts.h"
#include "ui/FormSettings.h"
#include "ui/Keyboard.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintJob.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormAlmanacPages");
const QString kEmptyPageMessage = QStringLiteral("Page is empty. Build a page first.");
const QString kFontSizeWarning =
    QStringLiteral("Warning: Font size larger then 7 may result in a page\n"
                   "that will not fit in a single sheet of paper.");

// The first and last dates whose page (and the hour before it) the ephemeris can compute.
const QDate kFirstPageDate(1, 1, 2);
const QDate kLastPageDate(9999, 12, 29);

std::optional<QFont> ChooseFixedPitchFont(QWidget *parent, const QFont &current)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(
        &ok, current, parent, QStringLiteral("Choose Font"), QFontDialog::MonospacedFonts);
    if (!ok)
        return std::nullopt;
    return font;
}

} // namespace

struct TFormAlmanacPages::TPrintJob
{
    TPrintRequest Request;
    TPrintPages Pages;
};

TFormAlmanacPages::TFormAlmanacPages(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ChooseFont(&ChooseFixedPitchFont)
    , FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , FPrintFont(DefaultAlmanacPrintFont())
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Nautical Almanac Page Maker"));

    CreateAstros();
    FMaker = std::make_unique<TAlmanacPageMaker>(Astros(), AlmanacNamesOf(QLocale()));

    FRGPage = new QGroupBox(QStringLiteral("Page"), this);
    FRGPage->setObjectName(QStringLiteral("RGPage"));
    FRBAriesAndPlanets = new QRadioButton(QStringLiteral("Aries and planets"), FRGPage);
    FRBAriesAndPlanets->setObjectName(QStringLiteral("RBAriesAndPlanets"));
    FRBSunMoonAndStars = new QRadioButton(QStringLiteral("Sun, Moon and stars"), FRGPage);
    FRBSunMoonAndStars->setObjectName(QStringLiteral("RBSunMoonAndStars"));
    FRBAriesAndPlanets->setChecked(true);
    auto *pageColumns = new QGridLayout(FRGPage);
    pageColumns->addWidget(FRBAriesAndPlanets, 0, 0);
    pageColumns->addWidget(FRBSunMoonAndStars, 0, 1);

    auto *dateLabel = new QLabel(QStringLiteral("date:"), this);
    dateLabel->setObjectName(QStringLiteral("LDate"));
    FEdDate = new TDateEdit(this);
    FEdDate->setObjectName(QStringLiteral("EdDate"));
    FEdDate->setToolTip(QStringLiteral("Select Local Date"));
    FEdDate->setDateRange(kFirstPageDate, kLastPageDate);
    FEdDate->setDate(LocalNow().date());
    dateLabel->setBuddy(FEdDate);

    FBPlus3 = new QPushButton(QStringLiteral("+3"), this);
    FBPlus3->setObjectName(QStringLiteral("BPlus3"));
    FBPlus3->setToolTip(QStringLiteral("Next 3 day page (date + 3)"));
    FBPlus3->setAutoDefault(false);

    FBBuildPage = new QPushButton(QStringLiteral("&Build page"), this);
    FBBuildPage->setObjectName(QStringLiteral("BBuildPage"));
    FBBuildPage->setToolTip(QStringLiteral("Build starting at selected date"));
    FBBuildPage->setAutoDefault(false);

    auto *printMenu = new QMenu(this);
    printMenu->setObjectName(QStringLiteral("PMPrint"));
    FMIPrintPage = printMenu->addAction(QStringLiteral("Print page"));
    FMIPrintPage->setObjectName(QStringLiteral("MIPrintPage"));
    FMISaveAsPdf = printMenu->addAction(QStringLiteral("Save as PDF..."));
    FMISaveAsPdf->setObjectName(QStringLiteral("MISaveAsPdf"));
    FMIPrinterSetup = printMenu->addAction(QStringLiteral("Printer setup..."));
    FMIPrinterSetup->setObjectName(QStringLiteral("MIPrinterSetup"));
    FMIChooseFont = printMenu->addAction(QStringLiteral("Choose Font..."));
    FMIChooseFont->setObjectName(QStringLiteral("MIChooseFont"));
    FBPrint = new QToolButton(this);
    FBPrint->setObjectName(QStringLiteral("BPrint"));
    FBPrint->setText(QStringLiteral("&Print"));
    FBPrint->setToolTip(QStringLiteral("Print page"));
    FBPrint->setMenu(printMenu);
    FBPrint->setPopupMode(QToolButton::MenuButtonPopup);
    FBPrint->setToolButtonStyle(Qt::ToolButtonTextOnly);

    FMemo = new QPlainTextEdit(this);
    FMemo->setObjectName(QStringLiteral("Memo"));
    FMemo->setReadOnly(true);
    FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FMemo->setFont(DefaultAlmanacScreenFont());

    connect(FBPlus3, &QPushButton::clicked, this, &TFormAlmanacPages::BPlus3Click);
    connect(FBBuildPage, &QPushButton::clicked, this, &TFormAlmanacPages::BBuildPageClick);
    connect(FBPrint, &QToolButton::clicked, this, &TFormAlmanacPages::MIPrintPageClick);
    connect(FMIPrintPage, &QAction::triggered, this, &TFormAlmanacPages::MIPrintPageClick);
    connect(FMISaveAsPdf, &QAction::triggered, this, &TFormAlmanacPages::MISaveAsPdfClick);
    connect(FMIPrinterSetup, &QAction::triggered, this, &TFormAlmanacPages::MIPrinterSetupClick);
    connect(FMIChooseFont, &QAction::triggered, this, &TFormAlmanacPages::MIChooseFontClick);

    auto *controls = new QHBoxLayout;
    controls->addWidget(FRGPage);
    controls->addWidget(dateLabel);
    controls->addWidget(FEdDate);
    controls->addWidget(FBPlus3);
    controls->addWidget(FBBuildPage);
    controls->addWidget(FBPrint);
    controls->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(FMemo, 1);

    // Wide enough for a page line, tall enough for a day's rows.
    const QFontMetrics metrics(FMemo->font());
    resize(metrics.horizontalAdvance(QString(104, QLatin1Char('0'))) + 60,
        metrics.lineSpacing() * 40 + 100);
    EnterActivatesButtons(*this);
    LoadSettings();
}

TFormAlmanacPages::~TFormAlmanacPages()
{
    SaveSettings();
}

TFormAlmanacPages::TPage TFormAlmanacPages::ChosenPage() const
{
    return FRBSunMoonAndStars->isChecked() ? TPage::SunMoonAndStars : TPage::AriesAndPlanets;
}

QString TFormAlmanacPages::PageText() const
{
    return FMemo->toPlainText();
}

void TFormAlmanacPages::BPlus3Click()
{
    FEdDate->setDate(FEdDate->date().addDays(3));
}

void TFormAlmanacPages::BBuildPageClick()
{
    FMemo->clear();
    RunCommand(this, [this] {
        const QDate date = FEdDate->date();
        FPageName =
            QStringLiteral("almanac-%1-%2")
                .arg(date.toString(Qt::ISODate),
                    ChosenPage() == TPage::AriesAndPlanets ? QStringLiteral("aries-planets")
                                                           : QStringLiteral("sun-moon-stars"));
        FMaker->Date = EncodeDate(date.year(), date.month(), date.day());
        std::vector<std::string> lines;
        if (ChosenPage() == TPage::AriesAndPlanets)
            FMaker->MakeLeftPage(lines);
        else
            FMaker->MakeRightPage(lines);
        QStringList text;
        text.reserve(qsizetype(lines.size()));
        for (const auto &line : lines)
            text.append(QString::fromStdString(line));
        FMemo->setPlainText(text.join(QLatin1Char('\n')));
    });
}

TFormAlmanacPages::TPrintJob TFormAlmanacPages::PageJob() const
{
    if (FMemo->document()->isEmpty())
        throw EVrnError(kEmptyPageMessage.toStdString());
    TPrintJob job;
    job.Request.Title = QStringLiteral("Nautical almanac page");
    job.Request.PdfName = FPageName + QStringLiteral(".pdf");
    job.Request.Printer = FPrinter.get();
    job.Pages = [lines = PageText().split(QLatin1Char('\n')), font = FPrintFont](
                    QPrinter &printer) { PrintAlmanacPages(printer, {lines}, font); };
    return job;
}

void TFormAlmanacPages::MIPrintPageClick()
{
    std::optional<TPrintJob> job;
    if (RunCommand(this, [&] { job = PageJob(); }))
        PrintWithDialog(this, job->Request, job->Pages);
}

void TFormAlmanacPages::MISaveAsPdfClick()
{
    std::optional<TPrintJob> job;
    if (RunCommand(this, [&] { job = PageJob(); }))
        SaveAsPdf(this, job->Request, job->Pages);
}

void TFormAlmanacPages::MIPrinterSetupClick()
{
    SetupPrinter(this, *FPrinter);
}

void TFormAlmanacPages::MIChooseFontClick()
{
    RunCommand(this, [this] {
        const std::optional<QFont> font = ChooseFont(this, FPrintFont);
        if (!font)
            return;
        FPrintFont = *font;
        if (FPrintFont.pointSize() > kAlmanacLargestFittingPointSize)
            MessageDlg(this, kFontSizeWarning, QMessageBox::Warning, QMessageBox::Ok);
    });
}

void TFormAlmanacPages::closeEvent(QCloseEvent *event)
{
    SaveSettings();
    QWidget::closeEvent(event);
}

void TFormAlmanacPages::LoadSettings()
{
    const TFormSettings settings(kWindowName);
    if (!settings.RestoreGeometry(*this))
        PlaceOnScreen(*this, size());
    if (settings.ReadInt(QStringLiteral("RGPage"), QStringLiteral("ItemIndex"), 0) == 1)
        FRBSunMoonAndStars->setChecked(true);
    const QString family = settings.ReadString(
        QStringLiteral("PrintFont"), QStringLiteral("Name"), FPrintFont.family());
    const int size = settings.ReadInt(
        QStringLiteral("PrintFont"), QStringLiteral("Size"), FPrintFont.pointSize());
    if (!family.isEmpty())
        FPrintFont.setFamily(family);
    if (size >= 1 && size <= 72)
        FPrintFont.setPointSize(size);
}

void TFormAlmanacPages::SaveSettings()
{
    TFormSettings settings(kWindowName);
    settings.SaveGeometry(*this);
    settings.WriteInt(QStringLiteral("RGPage"), QStringLiteral("ItemIndex"),
        ChosenPage() == TPage::SunMoonAndStars ? 1 : 0);
    settings.WriteString(QStringLiteral("PrintFont"), QStringLiteral("Name"), FPrintFont.family());
    settings.WriteInt(QStringLiteral("PrintFont"), QStringLiteral("Size"), FPrintFont.pointSize());
    settings.Flush();
}

} // namespace vrn
