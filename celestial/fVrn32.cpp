#include "celestial/fVrn32.h"

#include "celestial/LOPFiles.h"
#include "celestial/LOPOverlay.h"
#include "celestial/MeridianPassage.h"
#include "celestial/SextantErrorPlot.h"
#include "celestial/SightInputs.h"
#include "celestial/SuspectLOPDelegate.h"
#include "celestial/SystemTimeZone.h"
#include "celestial/WindowFields.h"
#include "celestial/fEdAltitudeErrorPair.h"
#include "celestial/fTwoObjectsCalculations.h"
#include "celestial/fedlop.h"
#include "charts/Dcarta.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/NumText.h"
#include "sky/fTAstroChart.h"
#include "ui/Clock.h"
#include "ui/DataFolder.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowPlacement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>

namespace vrn {
namespace {

constexpr double kPaneLonSpan = 1.665; // degrees of longitude across a chart pane
constexpr TColor kPenRed = 0x0000FF;
constexpr TColor kPenYellow = 0x00FFFF;
constexpr TColor kPenAqua = 0xFFFF00;
constexpr TColor kPenMagenta = 0xFF00FF; // the least-squares fix and its error ellipse

const QString kLOPListSaveFilter = QStringLiteral("Varunel LOP list (*.vll *.VLL)");
const QString kLOPListOpenFilter = QStringLiteral("Varunel LOP List (*.vll *.VLL)");
const QString kSextantFilter = QStringLiteral("Varunel Sextant (*.sxt *.SXT)");

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::optional<double> DateOf(const QLineEdit &field)
{
    return DateOfText(field.text().toStdString());
}

void SetEnabledAll(std::initializer_list<QWidget *> widgets, bool enabled)
{
    for (QWidget *w : widgets)
        w->setEnabled(enabled);
}

// Shows one of the windows created at start-up, hidden until asked for; nothing before it is set.
void BringToFront(QWidget *window)
{
    if (!window)
        return;
    window->showNormal();
    window->raise();
    window->activateWindow();
}

TViewBox ViewBoxOf(const TLogCarta &chart)
{
    const TEscalaCarta &e = chart.Escala();
    return {e.LatMin, e.LatMax, e.LonMin, e.LonMax};
}

// The LOP line across the view, in its style; the suspect LOP of the last fix is dashed while it
// takes part in fixes.
void DrawLOPLine(TLogCarta &chart, const TLOPOverlay &o, bool suspect = false)
{
    const TPenStyle style = !o.Solid ? TPenStyle::Dot
        : suspect                    ? TPenStyle::Dash
                                     : TPenStyle::Solid;
    switch (o.Kind) {
    case TLOPLineKind::Parallel:
        chart.DrawParallel(style, o.Foot.Lat);
        break;
    case TLOPLineKind::Meridian:
        chart.DrawMeridian(suspect ? TPenStyle::Dash : TPenStyle::Solid, o.Foot.Lon);
        break;
    case TLOPLineKind::Sloped:
        chart.DrawLineWorld(style, o.Lat1, o.Lon1, o.Lat2, o.Lon2);
        break;
    }
}

// A LOP of the position pane: a dotted line from its foot point to its assumed position, the
// line, and its number when given, all in one colour.
void DrawListedLOP(TLogCarta &chart, const TLOPRecord &lop, TColor colour, const TLatLon &windowAP,
    std::optional<int> number, bool suspect)
{
    const TLOPOverlay o = PlanLOPOverlay(
        lop, TLOPPlaneScale::AssumedLatitude, ViewBoxOf(chart), windowAP, number.has_value());
    chart.SetPenColor(colour);
    chart.DrawLineWorld(TPenStyle::Dot, o.Foot.Lat, o.Foot.Lon, o.AP.Lat, o.AP.Lon);
    DrawLOPLine(chart, o, suspect);
    if (number && o.Label)
        chart.DrawLabel(QString::number(*number), o.Label->Lat, o.Label->Lon);
}

// The least-squares fix inside its 1-sigma error ellipse: a position mark crossed, so that it
// stands apart from the mark of the fix by crossings next to it.
void DrawLeastSquaresFix(TLogCarta &chart, const TLeastSquaresFix &fix)
{
    constexpr int kArm = 6; // pixels
    chart.SetPenColor(kPenMagenta);
    const std::vector<TLatLon> outline = ErrorEllipseOutline(fix);
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const TLatLon &a = outline[i];
        const TLatLon &b = outline[(i + 1) % outline.size()];
        chart.DrawLineWorld(TPenStyle::Solid, a.Lat, a.Lon, b.Lat, b.Lon);
    }
    chart.DrawPositionMark(fix.Lat, fix.Lon);
    const TScreenPoint p = chart.World2Screen(fix.Lat, fix.Lon);
    chart.DrawLine(p.X - kArm, p.Y, TPenStyle::Solid, p.X + kArm, p.Y);
    chart.DrawLine(p.X, p.Y - kArm, TPenStyle::Solid, p.X, p.Y + kArm);
}

} // namespace

TFormVrn32::TFormVrn32(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , EditLOPOfList(&vrn::EditLOPOfList)
    , EditCalibrationPoint([](QWidget *p, TSextantCalibrationPair &pair) {
        TFormEditAltitudeErrorPair dialog(p);
        return dialog.Edit(pair);
    })
{
    setObjectName(QStringLiteral("FormVrn32"));
    setWindowTitle(QStringLiteral("Celestial Navigation"));
    CreateAstros();
    CreateWidgets();
    FillBodyList();
    LoadLOPsAtStart();
    RefillLOPList();
    AppendShortDateHint(*FEdLocalDate);
    AppendShortDateHint(*FEdGMTDate);
    LoadSettings();
    ConnectSignals();

    CenterLOPPane(FEdLatitude->Position(), FEdLongitude->Position());
    if (FLOPs.LOPCount() > 0)
        CenterPositionPane(FLOPs.LOPs().front().APLat, FLOPs.LOPs().front().APLon);
    else
        CenterPositionPane(FEdLatitude->Position(), FEdLongitude->Position());
    FPageControl1->setCurrentIndex(PageOther);
    EnableFields(PageOther);
    RefreshCalibration();
    LBStarsChange();
    FEdDipShortDistance->setVisible(FCBUseDipShort->isChecked());
    FAtmosphericFields->setVisible(FRBAtmosphericRefraction->isChecked());
    RefreshCourseAndSpeed();
    if (!FGeometryRestored)
        PlaceOnScreen(*this);
}

TFormVrn32::~TFormVrn32()
{
    SaveSettings();
    SaveLOPsAtExit();
}

void TFormVrn32::ConnectSignals()
{
    const auto localChanged = [this] { SyncTimeFields(true); };
    const auto gmtChanged = [this] { SyncTimeFields(false); };
    connect(FEdLocalDate, &QLineEdit::textChanged, this, localChanged);
    connect(FEdLocalTime, &TKaTimeEdit::Changed, this, localChanged);
    connect(FEdWatchError, &QSpinBox::valueChanged, this, localChanged);
    connect(FEdTimeZone, &QLineEdit::textChanged, this, localChanged);
    connect(FEdGMTDate, &QLineEdit::textChanged, this, gmtChanged);
    connect(FEdGMTTime, &TKaTimeEdit::Changed, this, gmtChanged);

    connect(FLBStars, &QComboBox::currentIndexChanged, this, &TFormVrn32::LBStarsChange);
    connect(FCBArtificialHorizon, &QCheckBox::toggled, this, &TFormVrn32::CBArtificialHorizonClick);
    connect(FCBUseDipShort, &QCheckBox::toggled, FEdDipShortDistance, &QWidget::setVisible);
    connect(
        FRBAtmosphericRefraction, &QRadioButton::toggled, FAtmosphericFields, &QWidget::setVisible);
    connect(FPageControl1, &QTabWidget::currentChanged, this, &TFormVrn32::PageControl1Change);
    connect(
        FTransportButtons, &QButtonGroup::idClicked, this, &TFormVrn32::RGAutoTransportModeClick);
    connect(
        FLVRetasPosicao, &QTreeWidget::itemChanged, this, &TFormVrn32::LVRetasPosicaoItemChanged);
    connect(FLVRetasPosicao, &QTreeWidget::itemDoubleClicked, this, &TFormVrn32::BEditaLOPClick);
    connect(FGridCorrectionTable, &QTableWidget::cellDoubleClicked, this,
        &TFormVrn32::BEditCorrectionTablePointClick);

    const std::pair<QPushButton *, void (TFormVrn32::*)()> buttons[] = {
        {FBCalcLOP, &TFormVrn32::BCalcLOPClick},
        {FBSalvaReta, &TFormVrn32::BSalvaRetaClick},
        {FBCalcPosAstronomica, &TFormVrn32::BCalcPosAstronomicaClick},
        {FBLimpaRetaDeAltura, &TFormVrn32::BLimpaRetaDeAlturaClick},
        {FBClearAllRetas, &TFormVrn32::BClearAllRetasClick},
        {FBEditaLOP, &TFormVrn32::BEditaLOPClick},
        {FBSaveLOPList, &TFormVrn32::BSaveLOPListClick},
        {FBOpenLOPList, &TFormVrn32::BOpenLOPListClick},
        {FBEditBoatCourseSpeed, &TFormVrn32::BEditBoatCourseSpeedClick},
        {FBEditBoatCourseSpeedCoriollis, &TFormVrn32::BEditBoatCourseSpeedClick},
        {FBCalcAstroDados, &TFormVrn32::BCalcAstroDadosClick},
        {FBPassagemMeridiana, &TFormVrn32::BPassagemMeridianaClick},
        {FBMeridianPassageByMethodOfEqualAltitudes,
            &TFormVrn32::BMeridianPassageByMethodOfEqualAltitudesClick},
        {FBAlmanacPages, &TFormVrn32::BAlmanacPagesClick},
        {FBShowDistanceBetweenTwoObjects, &TFormVrn32::BShowDistanceBetweenTwoObjectsClick},
        {FBStarFinder, &TFormVrn32::BStarFinderClick},
        {FBAbreCarta, &TFormVrn32::BAbreCartaClick},
        {FBNow, &TFormVrn32::BNowClick},
        {FBGetSystemTimeZone, &TFormVrn32::BGetSystemTimeZoneClick},
        {FBAddCorrectionTablePoint, &TFormVrn32::BAddCorrectionTablePointClick},
        {FBEditCorrectionTablePoint, &TFormVrn32::BEditCorrectionTablePointClick},
        {FBDeleteCorrectionTablePoint, &TFormVrn32::BDeleteCorrectionTablePointClick},
        {FBLoadSextantCalibrationTable, &TFormVrn32::BLoadSextantCalibrationTableClick},
        {FBSaveSextantCalibrationTable, &TFormVrn32::BSaveSextantCalibrationTableClick},
    };
    for (const auto &[button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);

    connect(FLOPChart, &TLogCarta::OnRedrawChart, this, &TFormVrn32::DrawLOPPane);
    connect(FPositionChart, &TLogCarta::OnRedrawChart, this, &TFormVrn32::DrawPositionPane);
    connect(FLOPChart, &TLogCarta::OnChartMessage, FLLOPChartMessage,
        [this](TLogCarta *, const QString &text) { FLLOPChartMessage->setText(text); });
    connect(FPositionChart, &TLogCarta::OnChartMessage, FLPositionChartMessage,
        [this](TLogCarta *, const QString &text) { FLPositionChartMessage->setText(text); });
    const std::pair<QToolButton *, std::pair<TLogCarta *, TTipoFerramentaCarta>> tools[] = {
        {FBZoomLOP, {FLOPChart, TTipoFerramentaCarta::fcZoom}},
        {FBMeasureLOP, {FLOPChart, TTipoFerramentaCarta::fcMeasure}},
        {FBZoomPos, {FPositionChart, TTipoFerramentaCarta::fcZoom}},
        {FBMeasurePos, {FPositionChart, TTipoFerramentaCarta::fcMeasure}},
    };
    for (const auto &[button, target] : tools) {
        const auto [chart, tool] = target;
        connect(button, &QToolButton::clicked, this, [chart, tool] { chart->SetFerramenta(tool); });
    }
}

// ---------------------------------------------------------------------------------------------
// Windows the buttons show.

void TFormVrn32::SetBoatMovementDialog(QDialog *dialog)
{
    FBoatMovementDialog = dialog;
    FBEditBoatCourseSpeed->setEnabled(dialog != nullptr);
    FBEditBoatCourseSpeedCoriollis->setEnabled(dialog != nullptr);
}

void TFormVrn32::SetEqualAltitudesWindow(QWidget *window)
{
    FEqualAltitudesWindow = window;
    FBMeridianPassageByMethodOfEqualAltitudes->setEnabled(window != nullptr);
}

void TFormVrn32::SetAlmanacPagesWindow(QWidget *window)
{
    FAlmanacPagesWindow = window;
    FBAlmanacPages->setEnabled(window != nullptr);
}

void TFormVrn32::SetStarFinderWindow(TFormStarFinder *window)
{
    FStarFinderWindow = window;
    FBStarFinder->setEnabled(window != nullptr);
}

void TFormVrn32::SetChartViewer(std::function<void(const TChartHandOver &)> handOver)
{
    FChartHandOver = std::move(handOver);
    FBAbreCarta->setEnabled(static_cast<bool>(FChartHandOver));
}

// ---------------------------------------------------------------------------------------------
// Reading the fields.

TSightInputs TFormVrn32::ReadSightInputs(bool withAltitude)
{
    TSightInputs sight;
    TAstro *body = FindAstro(FLBStars->currentText().toStdString());
    if (!body) {
        FLBStars->setFocus();
        throw EVrnError("Select a star first");
    }
    Astros().CurrentAstro = body;
    sight.Body = body;
    AssumedPos().Latitude = FEdLatitude->Position();
    AssumedPos().Longitude = FEdLongitude->Position();
    sight.AssumedPos = AssumedPos();
    if (withAltitude)
        Sextant().Hs = FEdAltitude->Position();
    Watch() = WatchOf(ReadGMTDate(FEdGMTDate->text().toStdString()), FEdGMTTime->Value());
    sight.Watch = Watch();
    sight.Limb = LimbTypeFromIndex(FLimbButtons->checkedId());
    sight.ArtificialHorizon = FCBArtificialHorizon->isChecked();
    sight.Boat = BoatCourseAndSpeed();
    sight.GMTDateText = FEdGMTDate->text().toStdString();
    sight.GMTTimeText = FEdGMTTime->Text().toStdString();
    if (const auto localDate = DateOf(*FEdLocalDate))
        sight.LocalDateTime = *localDate + FEdLocalTime->Value();
    sight.TimeZone = FEdTimeZone->Value();
    sight.WatchError = FEdWatchError->value();
    return sight;
}

TSextantSettingsInput TFormVrn32::SextantSettingsInput() const
{
    TSextantSettingsInput in;
    in.DipValue = FEdDip->Value();
    in.DipUnit = DipUnitFromIndex(FCBDipUnit->currentIndex());
    in.UseDipShort = FCBUseDipShort->isChecked();
    in.DipShortDistanceNm = FEdDipShortDistance->Value();
    in.IndexCorrectionArcmin = FEdIE->Value();
    in.UseAtmosphericRefraction = FRBAtmosphericRefraction->isChecked();
    in.UseCoriolis = FCBUseCoriolisCorrection->isChecked();
    in.TemperatureC = FEdTemperature->Value();
    in.PressureMb = FEdPressure->Value();
    return in;
}

std::optional<double> TFormVrn32::SelectedGMT() const
{
    const auto date = DateOf(*FEdGMTDate);
    if (!date)
        return std::nullopt;
    return *date + FEdGMTTime->Value();
}

TTransportSettings TFormVrn32::TransportSettings() const
{
    TTransportSettings t;
    t.Boat = BoatCourseAndSpeed();
    t.SelectedTime = SelectedGMT();
    t.DateFormat = ShortDateFormat();
    return t;
}

int TFormVrn32::SelectedLOPNumber() const
{
    QTreeWidgetItem *item = FLVRetasPosicao->currentItem();
    if (!item || !item->isSelected())
        return 0;
    return FLVRetasPosicao->indexOfTopLevelItem(item) + 1;
}

// ---------------------------------------------------------------------------------------------
// Time fields.

void TFormVrn32::SyncTimeFields(bool fromLocal)
{
    if (FSyncingTimes || FSettingNow)
        return;
    const double zone = FEdTimeZone->Value();
    const int watchError = FEdWatchError->value();
    const auto date = DateOf(fromLocal ? *FEdLocalDate : *FEdGMTDate);
    if (!date || !std::isfinite(zone))
        return;
    const double given = *date + (fromLocal ? FEdLocalTime : FEdGMTTime)->Value();
    const double other =
        fromLocal ? GMTFromLocal(given, zone, watchError) : LocalFromGMT(given, zone, watchError);
    if (!IsValidDateTime(other))
        return;
    FSyncingTimes = true;
    const double day = std::floor(other);
    (fromLocal ? FEdGMTTime : FEdLocalTime)->SetValue(other - day);
    (fromLocal ? FEdGMTDate : FEdLocalDate)->setText(Q(FormatDateText(day, ShortDateFormat())));
    FSyncingTimes = false;
}

void TFormVrn32::BNowClick()
{
    const QDateTime now = LocalNow();
    const QDate d = now.date();
    const QTime t = now.time();
    FSettingNow = true;
    FEdLocalDate->setText(
        Q(FormatDateText(EncodeDate(d.year(), d.month(), d.day()), ShortDateFormat())));
    FEdLocalTime->SetValue(EncodeTime(t.hour(), t.minute(), t.second(), 0));
    FSettingNow = false;
    SyncTimeFields(true);
}

void TFormVrn32::BGetSystemTimeZoneClick()
{
    FEdTimeZone->SetValue(SystemTimeZone());
}

// ---------------------------------------------------------------------------------------------
// Page 2: the LOP of a sight.

void TFormVrn32::BCalcLOPClick()
{
    std::vector<std::string> report;
    const bool ok = RunCommand(this, [&] {
        TSightInputs sight = ReadSightInputs(true);
        CheckTimeZoneAgainstLongitude(FEdTimeZone->Value(), sight.AssumedPos.Longitude, this);
        ReadSextantSettings(SextantSettingsInput(), Sextant());
        try {
            FCurrentLOP = CalcLOP(sight, Sextant(), report);
        } catch (const EInvalidSextantAltitude &) {
            FEdAltitude->DegreesCell()->setFocus();
            throw;
        }
    });
    FMemoLOP->setPlainText(JoinReport(report));
    if (!ok)
        return;
    CenterLOPPane(AssumedPos().Latitude, AssumedPos().Longitude);
    FBSalvaReta->setEnabled(true);
}

void TFormVrn32::BSalvaRetaClick()
{
    FBSalvaReta->setEnabled(false);
    if (!RunCommand(this, [this] { FLOPs.AddCurrentLOP(FCurrentLOP); }))
        return;
    CenterPositionPane(FEdLatitude->Position(), FEdLongitude->Position());
    AfterListChange();
}

void TFormVrn32::CenterLOPPane(double latDeg, double lonDeg)
{
    FLOPChart->SetViewAndClear(latDeg, lonDeg, kPaneLonSpan);
    FLOPChart->Redraw(true, true);
}

void TFormVrn32::CenterPositionPane(double latDeg, double lonDeg)
{
    FPositionChart->SetViewAndClear(latDeg, lonDeg, kPaneLonSpan);
    FPositionChart->Redraw(true, true);
}

void TFormVrn32::DrawLOPPane(TLogCarta *chart)
{
    const TLatLon ap {FEdLatitude->Position(), FEdLongitude->Position()};
    chart->DrawPositionMark(ap.Lat, ap.Lon);
    if (!FCurrentLOP)
        return;
    const TLOPOverlay o =
        PlanLOPOverlay(*FCurrentLOP, TLOPPlaneScale::FootLatitude, ViewBoxOf(*chart), ap, false);
    chart->SetPenColor(kPenRed);
    chart->DrawLineWorld(TPenStyle::Dot, o.Foot.Lat, o.Foot.Lon, o.AP.Lat, o.AP.Lon);
    chart->SetPenColor(kPenYellow);
    DrawLOPLine(*chart, o);
}

void TFormVrn32::DrawPositionPane(TLogCarta *chart)
{
    if (FLOPs.FixValid())
        chart->DrawPositionMark(FLOPs.FixLat(), FLOPs.FixLon());
    const TLeastSquaresFix *lsq = ShownLeastSquares();
    const int suspect = lsq && lsq->Suspect ? lsq->Suspect->LOP : 0;
    const TLatLon ap {FEdLatitude->Position(), FEdLongitude->Position()};
    const auto &lops = FLOPs.LOPs();
    for (std::size_t i = 0; i < lops.size(); ++i)
        DrawListedLOP(*chart, lops[i], kPenAqua, ap, static_cast<int>(i) + 1,
            static_cast<int>(i) + 1 == suspect);
    if (FLOPs.TransportActive()) {
        const auto &moved = FLOPs.TransportedLOPs();
        for (std::size_t i = 0; i < moved.size(); ++i)
            DrawListedLOP(
                *chart, moved[i], kPenRed, ap, std::nullopt, static_cast<int>(i) + 1 == suspect);
    }
    if (lsq)
        DrawLeastSquaresFix(*chart, *lsq);
}

const TLeastSquaresFix *TFormVrn32::ShownLeastSquares() const
{
    return FLOPs.FixValid() && FLeastSquares && FLeastSquares->Found() ? &*FLeastSquares : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Page 3: the LOP list and the fix.

void TFormVrn32::RefillLOPList()
{
    FFillingList = true;
    const int current = FLVRetasPosicao->indexOfTopLevelItem(FLVRetasPosicao->currentItem());
    FLVRetasPosicao->clear();
    const auto &lops = FLOPs.LOPs();
    for (std::size_t i = 0; i < lops.size(); ++i) {
        auto *item = new QTreeWidgetItem(FLVRetasPosicao);
        const auto row = LOPListRow(static_cast<int>(i) + 1, lops[i]);
        for (int c = 0; c < 6; ++c)
            item->setText(c, Q(row[static_cast<std::size_t>(c)]));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, lops[i].Selected ? Qt::Checked : Qt::Unchecked);
    }
    if (current >= 0 && current < FLVRetasPosicao->topLevelItemCount())
        FLVRetasPosicao->setCurrentItem(FLVRetasPosicao->topLevelItem(current));
    FFillingList = false;
    MarkSuspectLOP();
}

// The suspect of the last fix gets its dashed frame and a tool tip saying why; the others none.
void TFormVrn32::MarkSuspectLOP()
{
    const TLeastSquaresFix *lsq = ShownLeastSquares();
    const int suspect = lsq && lsq->Suspect ? lsq->Suspect->LOP : 0;
    const QString why = suspect == 0 ? QString()
                                     : QStringLiteral("Suspect sight: without it the scatter falls "
                                                      "from %1NM to %2NM")
                                           .arg(lsq->ScatterNm, 0, 'f', 1)
                                           .arg(lsq->Suspect->ScatterWithoutNm, 0, 'f', 1);
    FFillingList = true;
    for (int row = 0; row < FLVRetasPosicao->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = FLVRetasPosicao->topLevelItem(row);
        item->setData(0, TSuspectLOPDelegate::kSuspectRole, row + 1 == suspect);
        for (int c = 0; c < FLVRetasPosicao->columnCount(); ++c)
            item->setToolTip(c, row + 1 == suspect ? why : QString());
    }
    FFillingList = false;
}

// The least-squares fix belongs to the list as it was: a change of the list drops it.
void TFormVrn32::DropLeastSquares()
{
    FLeastSquares.reset();
    MarkSuspectLOP();
}

void TFormVrn32::LVRetasPosicaoItemChanged(QTreeWidgetItem *item, int column)
{
    if (FFillingList || column != 0)
        return;
    const int n = FLVRetasPosicao->indexOfTopLevelItem(item) + 1;
    FLOPs.SetSelected(n, item->checkState(0) == Qt::Checked);
    DropLeastSquares();
    ShowFixState();
    FPositionChart->Redraw(true, false);
    SaveLOPsNow();
}

void TFormVrn32::ShowFixState()
{
    if (FLOPs.FixValid())
        return;
    FMemoPosition->clear();
    FLFixLat->clear();
    FLFixLon->clear();
}

void TFormVrn32::SaveLOPsNow()
{
    // Every change is kept at once, so that a crash loses nothing; one failure is told, not
    // every change after it.
    try {
        SaveLOPsFile(DataFolder().toStdString(), FLOPs.LOPs());
        FLOPsWriteFailed = false;
    } catch (const std::exception &e) {
        if (!FLOPsWriteFailed)
            ShowError(this, QString::fromUtf8(e.what()));
        FLOPsWriteFailed = true;
    }
}

void TFormVrn32::ApplyTransport()
{
    RunCommand(this, [this] {
        const TTransportResult r = FLOPs.ApplyTransport(TransportSettings());
        FLTransportTime->setText(Q(r.TimeLabel));
        for (const auto &warning : r.Warnings)
            ShowMessage(this, Q(warning));
    });
}

void TFormVrn32::AfterListChange()
{
    FLeastSquares.reset();
    RefillLOPList();
    ApplyTransport();
    ShowFixState();
    FPositionChart->Redraw(true, false);
    SaveLOPsNow();
    emit LOPListChanged();
}

void TFormVrn32::BCalcPosAstronomicaClick()
{
    TFixReport report;
    std::vector<std::string> quality;
    FLFixLat->clear();
    FLFixLon->clear();
    const bool ok = RunCommand(this, [&] {
        FLeastSquares =
            CalcFixWithQuality(FLOPs, TransportSettings(), report, quality).LeastSquares;
    });
    report.Lines.insert(report.Lines.end(), quality.begin(), quality.end());
    FMemoPosition->setPlainText(JoinReport(report.Lines));
    if (!report.Transport.TimeLabel.empty() || FLOPs.TransportActive())
        FLTransportTime->setText(Q(report.Transport.TimeLabel));
    for (const auto &warning : report.Transport.Warnings)
        ShowMessage(this, Q(warning));
    if (!ok)
        return;
    MarkSuspectLOP();
    FLFixLat->setText(QStringLiteral("Lat: ") + Q(FormatAngleDM1("NS", FLOPs.FixLat()).Text));
    FLFixLon->setText(QStringLiteral("Lon: ") + Q(FormatAngleDM1("WE", FLOPs.FixLon()).Text));
    CenterPositionPane(FLOPs.FixLat(), FLOPs.FixLon());
}

void TFormVrn32::BLimpaRetaDeAlturaClick()
{
    const int n = SelectedLOPNumber();
    if (n < 1 || n > FLOPs.LOPCount())
        return;
    const QString question = QStringLiteral("Delete LOP #") + QString::number(n)
        + QStringLiteral("- ") + Q(FLOPs.LOPs()[static_cast<std::size_t>(n - 1)].ObjectName)
        + QStringLiteral("?");
    if (!AskYesNo(this, question))
        return;
    FLOPs.DeleteLOP(n);
    AfterListChange();
}

void TFormVrn32::BClearAllRetasClick()
{
    RunCommand(this, [this] {
        if (FLOPs.LOPCount() == 0)
            throw EVrnError("No LOPs to delete");
        if (!AskYesNo(this, QStringLiteral("Delete ALL LOPs?")))
            return;
        FLOPs.ClearLOPs();
        AfterListChange();
    });
}

void TFormVrn32::BEditaLOPClick()
{
    const int n = SelectedLOPNumber();
    if (n < 1 || n > FLOPs.LOPCount())
        return;
    bool changed = false;
    RunCommand(this, [&] { changed = EditLOPOfList(this, FLOPs, n); });
    if (changed)
        AfterListChange();
}

bool TFormVrn32::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FLVRetasPosicao->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            if (QTreeWidgetItem *item = FLVRetasPosicao->itemAt(mouse->position().toPoint())) {
                FLVRetasPosicao->setCurrentItem(item);
                BEditaLOPClick();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormVrn32::BSaveLOPListClick()
{
    RunCommand(this, [this] {
        if (FLOPs.LOPCount() == 0)
            throw EVrnError("No LOPs to save");
        QString proposed = !FLastSavedList.isEmpty() ? FLastSavedList : FLastOpenedList;
        if (proposed.isEmpty()) {
            const QDate d = LocalNow().date();
            proposed = Q(DefaultLOPListFileName(EncodeDate(d.year(), d.month(), d.day())));
        }
        const QString name = GetSaveFileName(this, QStringLiteral("Save LOP list"), proposed,
            kLOPListSaveFilter, QStringLiteral("vll"));
        if (name.isEmpty())
            return;
        SaveLOPListFile(name.toStdString(), FLOPs.LOPs());
        FLastSavedList = name;
    });
}

void TFormVrn32::BOpenLOPListClick()
{
    RunCommand(this, [this] {
        const QString name = GetOpenFileName(
            this, QStringLiteral("Open LOP list"), FLastOpenedList, kLOPListOpenFilter);
        if (name.isEmpty())
            return;
        // The file is read whole before the list is touched: a file that holds no LOP leaves
        // the list as it was.
        const TLOPListRead read = ReadLOPListFile(name.toStdString());
        FLastOpenedList = name;
        if (read.LOPs.empty()) {
            std::string why = "No LOPs found in " + name.toStdString();
            if (read.LinesSkipped > 0)
                why += " (" + FormatInt(read.LinesSkipped) + " lines skipped)";
            throw EVrnError(why + ": the LOP list is unchanged");
        }
        if (FLOPs.LOPCount() > 0 && AskYesNo(this, QStringLiteral("Clear current LOPs?")))
            FLOPs.SetLOPs({});
        try {
            FLOPs.AddLOPs(read.LOPs);
        } catch (...) {
            AfterListChange();
            throw;
        }
        AfterListChange();
        const std::string message = LOPListReadMessage(read);
        if (!message.empty())
            ShowMessage(this, Q(message));
    });
}

void TFormVrn32::RGAutoTransportModeClick()
{
    FLOPs.SetTransportMode(static_cast<TAutoTransportMode>(FTransportButtons->checkedId()));
    const bool active = FLOPs.TransportActive();
    EnableFields(FPageControl1->currentIndex());
    FLTransportTime->clear();
    if (active) {
        RefreshCourseAndSpeed();
        ApplyTransport();
    }
    FBoatPanel->setVisible(active);
    FPositionChart->Redraw(true, false);
}

void TFormVrn32::BEditBoatCourseSpeedClick()
{
    if (!FBoatMovementDialog)
        return;
    RunCommand(this, [this] { FBoatMovementDialog->exec(); });
    RefreshCourseAndSpeed();
}

void TFormVrn32::RefreshCourseAndSpeed()
{
    FLBoatCourse->setText(Q(CourseLabel(BoatCourseAndSpeed())));
    FLBoatSpeed->setText(Q(SpeedLabel(BoatCourseAndSpeed())));
}

// ---------------------------------------------------------------------------------------------
// Page "Other..".

void TFormVrn32::BCalcAstroDadosClick()
{
    std::vector<std::string> report;
    bool started = false;
    RunCommand(this, [&] {
        TObjectDataInputs in;
        const TSightInputs sight = ReadSightInputs(false);
        started = true;
        in.Body = sight.Body;
        in.Watch = sight.Watch;
        in.GMTDateText = sight.GMTDateText;
        in.GMTTimeText = sight.GMTTimeText;
        in.AssumedPos = sight.AssumedPos;
        in.Limb = sight.Limb;
        in.Boat = sight.Boat;
        in.Settings = SextantSettingsInput();
        ObjectDataReport(in, Sextant(), report);
    });
    if (started)
        FMemoOther->setPlainText(JoinReport(report));
}

void TFormVrn32::BPassagemMeridianaClick()
{
    std::vector<std::string> report;
    bool started = false;
    RunCommand(this, [&] {
        TNoonSightInputs in;
        in.Body = FindAstro(FLBStars->currentText().toStdString());
        if (in.Body != Astros().Sun())
            throw EVrnError("Select the Sun for meridian passage calculation");
        started = true;
        Astros().CurrentAstro = in.Body;
        in.GMTDateText = FEdGMTDate->text().toStdString();
        in.GMTDayFraction = FEdGMTTime->Value();
        in.HsDeg = FEdAltitude->Position();
        in.Limb = LimbTypeFromIndex(FLimbButtons->checkedId());
        in.ArtificialHorizon = FCBArtificialHorizon->isChecked();
        in.Settings = SextantSettingsInput();
        in.AssumedPos = TPosition("AssumedPos", FEdLatitude->Position(), FEdLongitude->Position());
        in.Boat = BoatCourseAndSpeed();
        CalcNoonSight(in, *Astros().Sun(), Sextant(), Watch(), report);
    });
    if (started)
        FMemoOther->setPlainText(JoinReport(report));
}

void TFormVrn32::BMeridianPassageByMethodOfEqualAltitudesClick()
{
    BringToFront(FEqualAltitudesWindow);
}

void TFormVrn32::BAlmanacPagesClick()
{
    BringToFront(FAlmanacPagesWindow);
}

void TFormVrn32::BShowDistanceBetweenTwoObjectsClick()
{
    if (!FTwoObjectsWindow)
        FTwoObjectsWindow = new TFormTwoObjectsCalculations(this);
    BringToFront(FTwoObjectsWindow);
}

// The chart viewer plots what the page shows: the current LOP, or the list and its fix.
void TFormVrn32::BAbreCartaClick()
{
    if (!FChartHandOver)
        return;
    const int page = FPageControl1->currentIndex();
    FChartHandOver(MakeChartHandOver(page == PageLOP, page == PagePosition,
        {FEdLatitude->Position(), FEdLongitude->Position()}, FCurrentLOP, FLOPs));
}

// The star finder shows the sky of the sight being worked: the assumed position and its GMT.
void TFormVrn32::BStarFinderClick()
{
    if (FStarFinderWindow)
        FStarFinderWindow->ShowFor(FEdLatitude->Position(), FEdLongitude->Position(),
            DateOf(*FEdGMTDate), FEdGMTTime->Value());
}

// ---------------------------------------------------------------------------------------------
// Page 1: the body, the limb and the calibration table.

void TFormVrn32::LBStarsChange()
{
    ShowLimbChoice();
}

void TFormVrn32::CBArtificialHorizonClick()
{
    ShowLimbChoice();
    FEdAltitude->SetDegreeDigits(FCBArtificialHorizon->isChecked() ? 3 : 2);
}

void TFormVrn32::ShowLimbChoice()
{
    const TAstro *body = FindAstro(FLBStars->currentText().toStdString());
    const bool limbs = body && IsSunOrMoon(*body) && !FCBArtificialHorizon->isChecked();
    FRGLimbType->setEnabled(limbs);
    FImgLimbs->setVisible(limbs);
}

void TFormVrn32::RefreshCalibration()
{
    TSextantCalibrationTable &table = Sextant().CalibrationTable;
    table.SortByAngle();
    FChartSextantCorrection->SetValues(kCalibrationPlotFirstDeg, CalibrationPlotValues(table));
    FGridCorrectionTable->setRowCount(table.Count());
    for (int i = 0; i < table.Count(); ++i) {
        const auto row = CalibrationGridRow(i + 1, table.Pairs()[static_cast<std::size_t>(i)]);
        for (int c = 0; c < 3; ++c)
            FGridCorrectionTable->setItem(
                i, c, new QTableWidgetItem(Q(row[static_cast<std::size_t>(c)])));
    }
}

void TFormVrn32::BAddCorrectionTablePointClick()
{
    RunCommand(this, [this] {
        TSextantCalibrationPair pair {0, 0};
        if (!EditCalibrationPoint(this, pair))
            return;
        Sextant().CalibrationTable.AddPair(pair);
        RefreshCalibration();
    });
}

void TFormVrn32::BEditCorrectionTablePointClick()
{
    const int row = FGridCorrectionTable->currentRow();
    TSextantCalibrationTable &table = Sextant().CalibrationTable;
    if (row < 0 || row >= table.Count())
        return;
    RunCommand(this, [&] {
        TSextantCalibrationPair pair = table.Pairs()[static_cast<std::size_t>(row)];
        if (!EditCalibrationPoint(this, pair))
            return;
        table.SetPair(row, pair);
        RefreshCalibration();
    });
}

void TFormVrn32::BDeleteCorrectionTablePointClick()
{
    const int row = FGridCorrectionTable->currentRow();
    TSextantCalibrationTable &table = Sextant().CalibrationTable;
    if (row < 0 || row >= table.Count())
        return;
    if (!AskYesNo(
            this, QStringLiteral("Delete point ") + QString::number(row + 1) + QStringLiteral("?")))
        return;
    table.DeletePair(row);
    RefreshCalibration();
}

void TFormVrn32::BLoadSextantCalibrationTableClick()
{
    RunCommand(this, [this] {
        const QString name = GetOpenFileName(this, QStringLiteral("Open sextant calibration table"),
            FLastSextantFile, kSextantFilter);
        if (name.isEmpty())
            return;
        FLastSextantFile = name;
        const TCalibrationLoadResult r = Sextant().LoadCalibrationTable(name.toStdString());
        RefreshCalibration();
        if (!r.Problems.empty()) {
            QStringList problems;
            for (const auto &p : r.Problems)
                problems.append(Q(p));
            ShowMessage(this, problems.join(QLatin1Char('\n')));
        }
    });
}

void TFormVrn32::BSaveSextantCalibrationTableClick()
{
    RunCommand(this, [this] {
        const QString name = GetSaveFileName(this, QStringLiteral("Save sextant calibration table"),
            FLastSextantFile, kSextantFilter, QStringLiteral("sxt"));
        if (name.isEmpty())
            return;
        Sextant().SaveCalibrationTable(name.toStdString());
        FLastSextantFile = name;
    });
}

// ---------------------------------------------------------------------------------------------
// Pages, activation, exit.

void TFormVrn32::PageControl1Change(int page)
{
    EnableFields(page);
    if (page == PagePosition) {
        FPositionChart->Redraw(true, false);
        RefreshCourseAndSpeed();
    }
}

void TFormVrn32::EnableFields(int page)
{
    const bool sight = page != PagePosition;
    SetEnabledAll(
        {FLBStars, FEdAltitude, FEdLatitude, FEdLongitude, FEdIE, FEdDip, FCBDipUnit}, sight);
    const bool times = sight
        || FTransportButtons->checkedId() == static_cast<int>(TAutoTransportMode::ToSelectedTime);
    SetEnabledAll({FEdLocalDate, FEdLocalTime, FEdGMTDate, FEdGMTTime, FEdTimeZone, FEdWatchError,
                      FBNow, FBGetSystemTimeZone},
        times);
    if (sight)
        FEdAltitude->SetDegreeDigits(FCBArtificialHorizon->isChecked() ? 3 : 2);
}

void TFormVrn32::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RefreshCourseAndSpeed();
    QWidget::changeEvent(event);
}

void TFormVrn32::closeEvent(QCloseEvent *event)
{
    SaveSettings();
    QWidget::closeEvent(event);
}

bool TFormVrn32::SaveLOPsAtExit()
{
    return RunCommand(this, [this] { SaveLOPsFile(DataFolder().toStdString(), FLOPs.LOPs()); });
}

} // namespace vrn
