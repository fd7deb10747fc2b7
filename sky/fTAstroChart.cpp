#include "sky/fTAstroChart.h"

#include "celestial/Sextante.h"
#include "celestial/SystemTimeZone.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"
#include "sky/StarFinderDialogs.h"
#include "ui/Clock.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintJob.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <cmath>

namespace vrn {
namespace {

const QString kCaption = QStringLiteral("Varunel Star Finder");
const QColor kPlannedRow(200, 240, 200);

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

// A cell that sorts by its column's rule: text without regard to case, or the numeric key.
class TSkyCell : public QTableWidgetItem
{
public:
    TSkyCell(const QString &text, TStarFinderColumn column)
        : QTableWidgetItem(text)
        , FColumn(column)
    { }

    bool operator<(const QTableWidgetItem &other) const override
    {
        return StarFinderCellLess(FColumn, text().toStdString(), other.text().toStdString());
    }

private:
    TStarFinderColumn FColumn;
};

// The busy cursor while the view is computed, released on every way out.
class TBusyCursor
{
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }

    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

} // namespace

TFormStarFinder::TFormStarFinder(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ChooseFont(&ChooseStarFinderFont)
    , EditHintAppearance(&EditStarFinderHint)
{
    setObjectName(QStringLiteral("FormStarFinder"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    CreateAstros();
    CreateWidgets();
    ConnectSignals();
    LoadSettings();
    ApplyShowOptions();
    UpdateAdvanceVisibility();
    FPages->setCurrentIndex(0);
    resize(sizeHint().expandedTo(QSize(1100, 660)));
}

TFormStarFinder::~TFormStarFinder()
{
    FAnimation.stop();
    SaveSettings();
}

void TFormStarFinder::SetBoatMovementDialog(QDialog *dialog)
{
    FBoatMovementDialog = dialog;
    FBEditBoatCourse->setEnabled(dialog != nullptr);
}

void TFormStarFinder::ShowFor(
    double latDeg, double lonDeg, std::optional<double> gmtDate, double gmtTime)
{
    FEdLat->SetPosition(latDeg);
    FEdLon->SetPosition(lonDeg);
    FEdGMTDate->setText(gmtDate ? Q(FormatDateText(*gmtDate, ShortDateFormat())) : QString());
    FEdGMTTime->SetValue(gmtTime);
    BCalcAstrosVisiveisClick();
    showNormal();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------------------------------------
// The view.

double TFormStarFinder::ViewDateTime()
{
    const QString text = FEdGMTDate->text().trimmed();
    double date = 0;
    if (text.isEmpty()) {
        const QDate today = UtcNow().date();
        date = EncodeDate(today.year(), today.month(), today.day());
        FEdGMTDate->setText(Q(FormatDateText(date, ShortDateFormat())));
    } else {
        try {
            date = ReadDateField(text.toStdString(), "GMT date", ShortDateFormat());
        } catch (const EVrnError &) {
            FEdGMTDate->setFocus();
            throw;
        }
    }
    return date + FEdGMTTime->Value();
}

void TFormStarFinder::SetViewDateTime(double dateTime)
{
    FEdGMTDate->setText(Q(FormatDateText(dateTime, ShortDateFormat())));
    FEdGMTTime->SetValue(dateTime - std::floor(dateTime));
}

void TFormStarFinder::BCalcAstrosVisiveisClick()
{
    RunCommand(this, [this] { Compute(ViewDateTime()); });
}

void TFormStarFinder::Compute(double dateTime)
{
    const TBusyCursor busy;
    const double lat = FEdLat->Position();
    const double lon = FEdLon->Position();
    FSky = ComputeVisibleSky(Astros(), dateTime, lat, lon);
    FConstellations.PositionFor(dateTime, lat, lon);
    TStarFinderScene scene;
    LoadScene(scene, FSky, FConstellations);
    FChart->SetScene(std::move(scene));
    FChart->SetBackColor(SkyColorFor(FSky.Shade));
    FLViewLabel->setText(Q(StarFinderViewLabel(lat, lon, dateTime, ShortDateFormat())));
    ShowSky();
}

void TFormStarFinder::ShowSky()
{
    QTableWidget *grid = FGridAstrosVisiveis;
    const QSignalBlocker blocker(grid);
    grid->setSortingEnabled(false);
    grid->clearContents();
    grid->setRowCount(int(FSky.Bodies.size()));
    int row = 0;
    for (const TVisibleBody &b : FSky.Bodies) {
        grid->setItem(row, 0, new TSkyCell(Q(b.Name), TStarFinderColumn::Body));
        grid->setItem(row, 1, new TSkyCell(Q(HcCellText(b.HcDeg)), TStarFinderColumn::Hc));
        grid->setItem(row, 2, new TSkyCell(Q(ZnCellText(b.ZnDeg)), TStarFinderColumn::Az));
        grid->setItem(
            row, 3, new TSkyCell(Q(MagnitudeCellText(b.Magnitude)), TStarFinderColumn::Mag));
        for (int c = 1; c < 4; ++c)
            grid->item(row, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ++row;
    }
    grid->setSortingEnabled(true);
    FLCount->setText(QStringLiteral("%1 visible").arg(FSky.Bodies.size()));
    ShowPlan();
}

void TFormStarFinder::ShowPlan()
{
    FPlan.reset();
    std::vector<std::string> planned;
    const int count = FSpinPlanBodies->value();
    if (FCBPlanSights->isChecked() && !FSky.Bodies.empty()) {
        FPlan = PlanSights(FSky.Bodies, count);
        if (FPlan) {
            QStringList names;
            for (std::size_t i : FPlan->Indices) {
                planned.push_back(FSky.Bodies[i].Name);
                names << Q(FSky.Bodies[i].Name);
            }
            FLPlan->setText(QStringLiteral("Best fix: %1, azimuths at least %2° apart (ideal %3°)")
                                .arg(names.join(QStringLiteral(", ")))
                                .arg(Q(FormatFixed(FPlan->SpreadDeg, 0)))
                                .arg(Q(FormatFixed(FPlan->IdealSpreadDeg, 0))));
        } else {
            FLPlan->setText(
                QStringLiteral("Fewer than %1 bodies stand between 15° and 70° of altitude.")
                    .arg(count));
        }
    } else {
        FLPlan->clear();
    }
    FChart->SetPlanned(planned);
    QTableWidget *grid = FGridAstrosVisiveis;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QString name = grid->item(row, 0)->text();
        const bool chosen =
            std::find(planned.begin(), planned.end(), name.toStdString()) != planned.end();
        for (int c = 0; c < grid->columnCount(); ++c) {
            QTableWidgetItem *item = grid->item(row, c);
            QFont f = item->font();
            f.setBold(chosen);
            item->setFont(f);
            item->setBackground(chosen ? QBrush(kPlannedRow) : QBrush());
        }
    }
}

TStarFinderListing TFormStarFinder::Listing() const
{
    TStarFinderListing l;
    l.ViewLabel = FLViewLabel->text();
    l.LatText = FEdLat->Text();
    l.LonText = FEdLon->Text();
    l.CountLabel = FLCount->text();
    QStringList header;
    for (int c = 0; c < FGridAstrosVisiveis->columnCount(); ++c)
        header << FGridAstrosVisiveis->horizontalHeaderItem(c)->text();
    l.Rows << header;
    for (int row = 0; row < FGridAstrosVisiveis->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < FGridAstrosVisiveis->columnCount(); ++c)
            cells << FGridAstrosVisiveis->item(row, c)->text();
        l.Rows << cells;
    }
    return l;
}

void TFormStarFinder::GridAstrosVisiveisClick(int row)
{
    if (row < 0 || row >= FGridAstrosVisiveis->rowCount() || !FGridAstrosVisiveis->item(row, 0))
        return;
    FChart->Select(FGridAstrosVisiveis->item(row, 0)->text());
}

// ---------------------------------------------------------------------------------------------
// Time.

void TFormStarFinder::SetNow(bool checkTimeZone)
{
    const double zone = FEdTimeZone->Value();
    if (checkTimeZone)
        CheckTimeZoneAgainstLongitude(zone, FEdLon->Position(), this);
    const QDateTime now = LocalNow();
    const QDate d = now.date();
    const QTime t = now.time();
    const double local =
        EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), 0);
    const double gmt = local + zone / 24.0;
    SetViewDateTime(gmt);
    Compute(gmt);
}

void TFormStarFinder::BNowClick()
{
    RunCommand(this, [this] { SetNow(true); });
}

void TFormStarFinder::BGetSystemTimeZoneClick()
{
    FEdTimeZone->SetValue(SystemTimeZone());
}

void TFormStarFinder::GoToTwilight(TTwilightKind which)
{
    RunCommand(this, [this, which] {
        const double view = ViewDateTime();
        const auto t =
            CivilTwilightInstant(Astros(), view, FEdLat->Position(), FEdLon->Position(), which);
        if (!t)
            throw EVrnError("No civil twilight on this date at this latitude");
        SetViewDateTime(*t);
        Compute(*t);
    });
}

void TFormStarFinder::BEveningTwilightClick()
{
    GoToTwilight(TTwilightKind::Evening);
}

void TFormStarFinder::BMorningTwilightClick()
{
    GoToTwilight(TTwilightKind::Morning);
}

TAnimationUnit TFormStarFinder::AdvanceUnit() const
{
    const int i = std::clamp(FCBAdvanceUnit->currentIndex(), 0, int(TAnimationUnit::Years));
    return static_cast<TAnimationUnit>(i);
}

void TFormStarFinder::UpdateAdvanceVisibility()
{
    FAdvance->setVisible(!FCBCurrentSky->isChecked());
}

void TFormStarFinder::UpdateAnimation()
{
    const int seconds = FSpinEvery->value();
    const bool run = FCBAnimate->isChecked() && seconds > 0 && isVisible() && !isMinimized();
    if (!run) {
        FAnimation.stop();
        return;
    }
    FAnimation.setInterval(seconds * 1000);
    if (!FAnimation.isActive())
        FAnimation.start();
}

void TFormStarFinder::TmAnimationTimer()
{
    // A firing waits for no one: it is skipped while a box is open or another one still runs.
    if (FInFiring || QApplication::activeModalWidget())
        return;
    FInFiring = true;
    const bool done = RunCommand(this, [this] {
        if (FCBCurrentSky->isChecked()) {
            SetNow(false);
            return;
        }
        const auto next = AdvanceViewDateTime(ViewDateTime(), FSpinAdvance->value(), AdvanceUnit());
        if (!next)
            throw EVrnError(kAnimationRangeMessage);
        SetViewDateTime(*next);
        Compute(*next);
    });
    // A failed step (the end of the calendar, a date that cannot be read) stops the animation
    // rather than failing again every period.
    if (!done)
        FCBAnimate->setChecked(false);
    FInFiring = false;
}

// ---------------------------------------------------------------------------------------------
// Chart options, fonts and the boat.

void TFormStarFinder::ApplyShowOptions()
{
    TStarFinderStyle style = FChart->Style();
    style.DrawConstelations = FCBConstelationLines->isChecked();
    style.DrawConstelationNames = FCBConstelationNames->isChecked();
    style.DrawEcliptica = FCBEcliptic->isChecked();
    style.DrawObjectNames = FCBObjectNames->isChecked();
    style.BoatVisible = FCBDrawBoatCourse->isChecked();
    style.Overhead = FCBOverhead->isChecked();
    style.Antialias = FCBAntialias->isChecked();
    style.GridAltitudes = FCBGridAltitudes->isChecked();
    style.GridAzimuths = FCBGridAzimuths->isChecked();
    FChart->SetStyle(style);
}

void TFormStarFinder::BObjectNamesFontClick()
{
    const TStarFinderStyle &s = FChart->Style();
    if (const auto chosen = ChooseFont(this, s.ObjNamesFont, s.ObjNamesColor))
        FChart->SetObjNamesFont(chosen->first, chosen->second);
}

void TFormStarFinder::BConstellationNamesFontClick()
{
    const TStarFinderStyle &s = FChart->Style();
    if (const auto chosen = ChooseFont(this, s.ConstNamesFont, s.ConstNamesColor))
        FChart->SetConstNamesFont(chosen->first, chosen->second);
}

void TFormStarFinder::BCursorClick()
{
    THintAppearance hint = FChart->HintAppearance();
    if (EditHintAppearance(this, hint))
        FChart->SetHintAppearance(hint);
}

void TFormStarFinder::BEditBoatCourseClick()
{
    if (!FBoatMovementDialog)
        return;
    FBoatMovementDialog->exec();
    FChart->SetBoatCourse(std::round(BoatCourseAndSpeed().Course));
}

// ---------------------------------------------------------------------------------------------
// Copy and print.

void TFormStarFinder::BCopyVisStarChartClick()
{
    QImage image(FChart->size(), QImage::Format_RGB32);
    FChart->PaintTo(image);
    QGuiApplication::clipboard()->setImage(image);
}

namespace {

TPrintRequest RequestFor(const QString &title, const QString &pdfName,
    QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    TPrintRequest r;
    r.Title = title;
    r.PdfName = pdfName;
    r.Orientation = orientation;
    return r;
}

} // namespace

void TFormStarFinder::BPrintStuffClick()
{
    const TStarFinderListing listing = Listing();
    PrintWithDialog(this,
        RequestFor(kCaption, QStringLiteral("starfinder.pdf"), QPageLayout::Landscape),
        [this, listing](QPrinter &p) { PrintStarFinderChartAndList(p, *FChart, listing); });
}

void TFormStarFinder::BPrintVisibleStarsListClick()
{
    const TStarFinderListing listing = Listing();
    PrintWithDialog(this, RequestFor(kCaption, QStringLiteral("starfinder-list.pdf")),
        [listing](QPrinter &p) { PrintStarFinderList(p, listing); });
}

void TFormStarFinder::BPrintVisibleStarsChartClick()
{
    PrintWithDialog(this, RequestFor(kCaption, QStringLiteral("starfinder-chart.pdf")),
        [this](QPrinter &p) { PrintStarFinderChart(p, *FChart); });
}

void TFormStarFinder::BSaveStuffAsPdfClick()
{
    const TStarFinderListing listing = Listing();
    SaveAsPdf(this, RequestFor(kCaption, QStringLiteral("starfinder.pdf"), QPageLayout::Landscape),
        [this, listing](QPrinter &p) { PrintStarFinderChartAndList(p, *FChart, listing); });
}

void TFormStarFinder::BSaveVisibleStarsListAsPdfClick()
{
    const TStarFinderListing listing = Listing();
    SaveAsPdf(this, RequestFor(kCaption, QStringLiteral("starfinder-list.pdf")),
        [listing](QPrinter &p) { PrintStarFinderList(p, listing); });
}

void TFormStarFinder::BSaveVisibleStarsChartAsPdfClick()
{
    SaveAsPdf(this, RequestFor(kCaption, QStringLiteral("starfinder-chart.pdf")),
        [this](QPrinter &p) { PrintStarFinderChart(p, *FChart); });
}

// ---------------------------------------------------------------------------------------------
// Window events.

void TFormStarFinder::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    UpdateAnimation();
}

void TFormStarFinder::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    FAnimation.stop();
    SaveSettings();
}

void TFormStarFinder::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UpdateAnimation();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FChart->SetBoatCourse(std::round(BoatCourseAndSpeed().Course));
}

void TFormStarFinder::closeEvent(QCloseEvent *event)
{
    SaveSettings();
    QWidget::closeEvent(event);
}

} // namespace vrn
