#include "apps/vrn32/RouteTrackPanels.h"

#include "apps/vrn32/RouteTablePrint.h"
#include "apps/vrn32/RouteTrackPanelsUi.h"
#include "charts/ChartDialogs.h"
#include "charts/Dcarta.h"
#include "charts/FormEditaPosicao.h"
#include "charts/FormSelecionaRota.h"
#include "charts/GpxFile.h"
#include "charts/PainterSurface.h"
#include "engine/VrnError.h"
#include "ui/Clock.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintJob.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

namespace vrn {

namespace {

QString Q(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString &s)
{
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<QDate> DateOf(double dateTime)
{
    if (!IsValidDateTime(dateTime))
        return std::nullopt;
    const TCalendarDate d = DecodeDate(dateTime);
    const QDate date(d.Year, d.Month, d.Day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// A route or track name as a file name: characters no file system takes are replaced.
QString FileNameFor(const std::string &name)
{
    QString s = Q(name).trimmed();
    static const QString bad = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : s)
        if (bad.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    return s.isEmpty() ? QStringLiteral("route") : s;
}

} // namespace

TRouteTrackPanels::TRouteTrackPanels(TLogCarta &chart, QWidget *window)
    : QObject(window)
    , FChart(chart)
    , FWindow(window)
    , FModel(this)
{
    FSetTool = [this](TTipoFerramentaCarta tool) { FChart.SetFerramenta(tool); };
    CreatePage();
    CreateReplayControls();
    Connect();
    ShowSelected();
}

TRouteTrackPanels::~TRouteTrackPanels()
{
    FTimerTrackTime->stop();
    FModel.SetObject(nullptr);
}

void TRouteTrackPanels::SetToolSetter(std::function<void(TTipoFerramentaCarta)> setTool)
{
    if (setTool)
        FSetTool = std::move(setTool);
}

void TRouteTrackPanels::Connect()
{
    connect(FLBRotas, &QListWidget::currentRowChanged, this, [this] {
        ForgetHighlight();
        ShowSelected();
    });
    connect(FEdNomeRota, &QLineEdit::textEdited, this, &TRouteTrackPanels::EdNomeRotaChange);
    connect(FCBRouteVisible, &QCheckBox::clicked, this, &TRouteTrackPanels::CBRouteVisibleClick);
    connect(
        FGridRouteColor, &TRouteColorGrid::Clicked, this, &TRouteTrackPanels::GridRouteColorClick);
    connect(FRouteGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) { RouteGridSelectCell(current.row()); });
    connect(FRouteGrid, &QTableView::doubleClicked, this, &TRouteTrackPanels::RouteGridDblClick);
    connect(&FModel, &TPointTableModel::PointEdited, this, [this](int row) {
        if (TChtRoute *object = Selected())
            MarkChanged(*object);
        ShowTotals();
        Repaint();
        RouteGridSelectCell(row);
    });
    connect(&FModel, &TPointTableModel::EditRefused, this, &TRouteTrackPanels::EditorRefused);
    connect(
        FBDeletaRotaTrack, &QPushButton::clicked, this, &TRouteTrackPanels::BDeletaRotaTrackClick);
    connect(FBClearAllRotas, &QPushButton::clicked, this, &TRouteTrackPanels::BClearAllRotasClick);
    connect(FDDelPontoRota, &QPushButton::clicked, this, &TRouteTrackPanels::DDelPontoRotaClick);
    connect(FBEditRoutePoint, &QPushButton::clicked, this, &TRouteTrackPanels::RouteGridDblClick);
    connect(FBPrintRoute, &QPushButton::clicked, this, &TRouteTrackPanels::BPrintRouteClick);
    connect(FBSaveRoutePdf, &QPushButton::clicked, this, &TRouteTrackPanels::BSaveRoutePdfClick);
    connect(FBImportGpx, &QPushButton::clicked, this, &TRouteTrackPanels::ImportGpx);
    connect(FBExportGpx, &QPushButton::clicked, this, &TRouteTrackPanels::ExportSelectedGpx);

    connect(FBUpdateTimes, &QPushButton::clicked, this, &TRouteTrackPanels::BUpdateTimesClick);
    connect(FBarraTrackTime, &QSlider::valueChanged, this, [this] {
        // Moved by the user while playing: the replay goes on from there.
        AnchorReplay();
        BarraTrackTimeChange();
    });
    connect(FBRewind, &QPushButton::clicked, this, &TRouteTrackPanels::BRewindClick);
    connect(FBStop, &QPushButton::clicked, this, &TRouteTrackPanels::BStopClick);
    connect(FBPlay, &QPushButton::clicked, this, &TRouteTrackPanels::BPlayClick);
    connect(FBFastForward, &QPushButton::clicked, this, &TRouteTrackPanels::BFastForwardClick);
    connect(FTimerTrackTime, &QTimer::timeout, this, &TRouteTrackPanels::TimerTrackTimeTimer);
    connect(FTrackTimeTimerSpeed, &QSlider::valueChanged, this,
        &TRouteTrackPanels::TrackTimeTimerSpeedChange);
    // A date is taken when it is picked in the calendar or typed and confirmed.
    connect(FEdTrackDateIni, &QDateEdit::editingFinished, this,
        &TRouteTrackPanels::EdTrackDateIniCloseUp);
    connect(FEdTrackDateFin, &QDateEdit::editingFinished, this,
        &TRouteTrackPanels::EdTrackDateFinCloseUp);
    connect(FEdTrackDateIni->calendarWidget(), &QCalendarWidget::clicked, this,
        &TRouteTrackPanels::EdTrackDateIniCloseUp);
    connect(FEdTrackDateFin->calendarWidget(), &QCalendarWidget::clicked, this,
        &TRouteTrackPanels::EdTrackDateFinCloseUp);
    connect(FEdNumPontos, &QSpinBox::valueChanged, this, &TRouteTrackPanels::EdNumPontosChange);
}

// ---- Selection and the highlighted point -----------------------------------------------------

TChtRoute *TRouteTrackPanels::Selected() const
{
    const QListWidgetItem *item = FLBRotas->currentItem();
    if (!item)
        return nullptr;
    auto *object = reinterpret_cast<TChtRoute *>(
        item->data(TRouteListDelegate::kObjectRole).value<quintptr>());
    return IsListedRouteOrTrack(FChart.Desk(), object) ? object : nullptr;
}

TChtTrack *TRouteTrackPanels::SelectedTrack() const
{
    return dynamic_cast<TChtTrack *>(Selected());
}

bool TRouteTrackPanels::IsSelectedTrack() const
{
    return SelectedTrack() != nullptr;
}

const TChtPoint *TRouteTrackPanels::HighlightedPoint() const
{
    if (!IsListedRouteOrTrack(FChart.Desk(), FHighlightObject) || FHighlightRow < 0
        || static_cast<std::size_t>(FHighlightRow) >= FHighlightObject->Points.size())
        return nullptr;
    return &FHighlightObject->Points[static_cast<std::size_t>(FHighlightRow)];
}

void TRouteTrackPanels::ForgetHighlight()
{
    FHighlightObject = nullptr;
    FHighlightRow = -1;
    FHighlight->hide();
    FPointHint->hide();
    FPointHint->clear();
    FLPointText->clear();
    FLLegText->clear();
}

void TRouteTrackPanels::PlaceHighlight()
{
    const TChtPoint *p = HighlightedPoint();
    if (!p) {
        FHighlight->hide();
        FPointHint->hide();
        return;
    }
    const TScreenPoint at = FChart.World2Screen(p->Lat, p->Lon);
    FHighlight->CentreOn(at.X, at.Y);
    FHighlight->show();
    FHighlight->raise();
    // The hint goes with its point (a zoom, a pan, a narrower chart).
    if (!FPointHint->text().isEmpty()) {
        FPointHint->move(at.X + 3, at.Y + 3);
        FPointHint->show();
        FPointHint->raise();
    }
}

void TRouteTrackPanels::ChartRedrawn()
{
    PlaceHighlight();
}

// ---- The editor ------------------------------------------------------------------------------

void TRouteTrackPanels::ShowEditor()
{
    FEditorShown = true;
    QPalette palette = FLBRotas->palette();
    palette.setColor(QPalette::Base, ToQColor(FChart.SeaColor()));
    FLBRotas->setPalette(palette);
    RefillList();
}

void TRouteTrackPanels::HideEditor()
{
    FEditorShown = false;
    ForgetHighlight();
    FModel.SetObject(nullptr);
}

void TRouteTrackPanels::NewDesktop(bool editorShown, bool replayShown)
{
    ForgetHighlight();
    if (!editorShown) {
        // The entries name objects that are gone; the list is made again when it is shown.
        FModel.SetObject(nullptr);
        const QSignalBlocker blocker(FLBRotas);
        FLBRotas->clear();
    }
    if (replayShown)
        PegaTrackTimesDaCarta();
}

void TRouteTrackPanels::ShowCounts()
{
    FLRoutes->setText(QStringLiteral("Routes: %1").arg(FChart.Desk().Routes.Count()));
    FLTracks->setText(QStringLiteral("Tracks: %1").arg(FChart.Desk().Tracks.Count()));
}

void TRouteTrackPanels::RefillList()
{
    const bool wasEmpty = FLBRotas->count() == 0;
    const TChtRoute *previous = wasEmpty ? nullptr : Selected();
    const int previousRow = wasEmpty ? -1 : FLBRotas->currentRow();
    const auto entries = RouteListEntries(FChart.Desk());
    {
        const QSignalBlocker blocker(FLBRotas);
        FLBRotas->clear();
        for (const TRouteListEntry &e : entries) {
            auto *item = new QListWidgetItem(Q(e.Object->Name), FLBRotas);
            item->setData(TRouteListDelegate::kObjectRole,
                QVariant::fromValue(reinterpret_cast<quintptr>(e.Object)));
        }
        FLBRotas->setCurrentRow(RouteListSelection(entries, wasEmpty, previous, previousRow));
    }
    ShowCounts();
    if (Selected() != FModel.Object())
        ForgetHighlight();
    ShowSelected();
}

void TRouteTrackPanels::ShowSelected()
{
    TChtRoute *object = Selected();
    // Set only when it differs: a GPS fix comes every second, and the sailor may be renaming
    // that very track (setText would move the cursor and drop the selection).
    if (const QString name = object ? Q(object->Name) : QString(); FEdNomeRota->text() != name) {
        const QSignalBlocker blocker(FEdNomeRota);
        FEdNomeRota->setText(name);
    }
    if (!object) {
        FModel.SetObject(nullptr);
        FLNomeRota->setText(QStringLiteral("Name:"));
        FCBRouteVisible->setEnabled(false);
        FCBRouteVisible->setChecked(false);
        FGridRouteColor->SetCurrent(std::nullopt);
        FLPontos->setText(QStringLiteral("Points:"));
        FLTotal->clear();
        return;
    }
    if (FModel.Object() == object)
        FModel.PointsChanged();
    else
        FModel.SetObject(object);
    FLNomeRota->setText(IsSelectedTrack() ? QStringLiteral("Track:") : QStringLiteral("Route:"));
    FCBRouteVisible->setEnabled(true);
    FCBRouteVisible->setChecked(object->Visible);
    FGridRouteColor->SetCurrent(object->Color);
    ShowTotals();
}

void TRouteTrackPanels::ShowTotals()
{
    const TChtRoute *object = FModel.Object();
    if (!object)
        return;
    FLPontos->setText(QStringLiteral("Points: %1").arg(object->Points.size()));
    FLTotal->setText(Q(TotalLengthText(FModel.TotalNm())));
}

void TRouteTrackPanels::MarkChanged(const TChtRoute &object)
{
    if (dynamic_cast<const TChtTrack *>(&object))
        FChart.Desk().TracksModified = true;
    else
        FChart.Desk().RoutesModified = true;
}

void TRouteTrackPanels::Repaint()
{
    FChart.Redraw(true, true);
}

void TRouteTrackPanels::EditorRefused(const QString &message)
{
    ShowError(FWindow, message);
}

void TRouteTrackPanels::EdNomeRotaChange()
{
    TChtRoute *object = Selected();
    const std::string name = S(FEdNomeRota->text());
    if (!object || name == object->Name)
        return;
    object->Name = name;
    FLBRotas->currentItem()->setText(FEdNomeRota->text());
    MarkChanged(*object);
}

void TRouteTrackPanels::CBRouteVisibleClick()
{
    TChtRoute *object = Selected();
    if (object && object->Visible != FCBRouteVisible->isChecked()) {
        object->Visible = FCBRouteVisible->isChecked();
        MarkChanged(*object);
        Repaint();
    }
    FLBRotas->viewport()->update();
}

void TRouteTrackPanels::GridRouteColorClick(TColor colour)
{
    TChtRoute *object = Selected();
    if (!object)
        return;
    if (object->Color != colour) {
        object->Color = colour;
        MarkChanged(*object);
        Repaint();
    }
    FGridRouteColor->SetCurrent(colour);
    FLBRotas->viewport()->update();
}

bool TRouteTrackPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FLBRotas->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A click on the icon column toggles "Visible" of the entry clicked (and selects it).
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (QListWidgetItem *item = FLBRotas->itemAt(at); item
            && at.x() < TRouteListDelegate::kVisibleToggleWidth
            && mouse->button() == Qt::LeftButton) {
            FLBRotas->setCurrentItem(item);
            if (FCBRouteVisible->isEnabled()) {
                FCBRouteVisible->setChecked(!FCBRouteVisible->isChecked());
                CBRouteVisibleClick();
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TRouteTrackPanels::RouteGridSelectCell(int row)
{
    FPointHint->hide();
    FPointHint->clear();
    TChtRoute *object = Selected();
    if (!object || row < 0 || static_cast<std::size_t>(row) >= object->Points.size()) {
        ForgetHighlight();
        return;
    }
    FHighlightObject = object;
    FHighlightRow = row;
    const bool track = IsSelectedTrack();
    const TChtPoint &p = object->Points[static_cast<std::size_t>(row)];
    const std::string hint = PointHintText(p, track);
    FLLegText->clear();
    if (track && static_cast<std::size_t>(row) + 1 < object->Points.size())
        FLLegText->setText(Q(LegText(p, object->Points[static_cast<std::size_t>(row) + 1])));
    if (!hint.empty()) {
        FPointHint->setStyleSheet(QStringLiteral("color: %1; background: transparent;")
                                      .arg(ToQColor(object->Color).name()));
        FPointHint->setText(Q(hint));
        FPointHint->adjustSize();
    }
    PlaceHighlight();
    FLPointText->setText(Q(hint));
}

void TRouteTrackPanels::RouteGridDblClick()
{
    TChtRoute *object = Selected();
    const int row = FRouteGrid->currentIndex().row();
    if (!object || row < 0 || static_cast<std::size_t>(row) >= object->Points.size())
        return;
    if (!FPointEditor)
        FPointEditor = new TFormEditaPosicao(FWindow);
    const bool track = IsSelectedTrack();
    if (!FPointEditor->Execute(*object, static_cast<std::size_t>(row),
            track ? QStringLiteral("Edit track point") : QStringLiteral("Edit route point")))
        return;
    if (!IsListedRouteOrTrack(FChart.Desk(), object))
        return;
    MarkChanged(*object);
    ShowSelected();
    Repaint();
    RouteGridSelectCell(row);
}

void TRouteTrackPanels::BDeletaRotaTrackClick()
{
    TChtRoute *object = Selected();
    if (!object)
        return;
    if (!AskYesNo(FWindow, QStringLiteral("Delete \"%1\" ?").arg(Q(object->Name))))
        return;
    ForgetHighlight();
    FModel.SetObject(nullptr);
    if (auto *track = dynamic_cast<TChtTrack *>(object))
        FChart.DeleteTrack(track);
    else
        FChart.DeleteRoute(object);
    RefillList();
    Repaint();
}

void TRouteTrackPanels::BClearAllRotasClick()
{
    if (AskYesNo(FWindow, QStringLiteral("Delete all routes and tracks?"))) {
        ForgetHighlight();
        FModel.SetObject(nullptr);
        FChart.ClearTracks();
        FChart.ClearRoutes();
    }
    {
        const QSignalBlocker blocker(FLBRotas);
        FLBRotas->clear();
    }
    FModel.SetObject(nullptr);
    FEdNomeRota->clear();
    RefillList();
    Repaint();
}

void TRouteTrackPanels::DDelPontoRotaClick()
{
    TChtRoute *object = Selected();
    const int row = FRouteGrid->currentIndex().row();
    if (!object || row < 0 || static_cast<std::size_t>(row) >= object->Points.size())
        return;
    if (!AskYesNo(FWindow, QStringLiteral("Delete point %1 ?").arg(row + 1)))
        return;
    ForgetHighlight();
    object->DeletePoint(static_cast<std::size_t>(row));
    MarkChanged(*object);
    ShowSelected();
    Repaint();
    const int rows = FModel.rowCount();
    if (rows > 0)
        FRouteGrid->setCurrentIndex(FModel.index(std::min(row, rows - 1), 0));
}

// ---- Printing --------------------------------------------------------------------------------

void TRouteTrackPanels::PrintSelected(QPrinter &printer)
{
    const TChtRoute *object = Selected();
    if (!object)
        throw EVrnError("No route/track selected");
    PrintRouteTable(printer, RouteTablePrintLines(*object, IsSelectedTrack()));
}

void TRouteTrackPanels::BPrintRouteClick()
{
    const TChtRoute *object = Selected();
    if (!object) {
        ShowError(FWindow, QStringLiteral("No route/track selected"));
        return;
    }
    const auto lines = RouteTablePrintLines(*object, IsSelectedTrack());
    const QString name = Q(object->Name);
    PrintWithDialog(FWindow,
        {(IsSelectedTrack() ? QStringLiteral("Track ") : QStringLiteral("Route ")) + name,
            QPageLayout::Portrait, FileNameFor(object->Name) + QStringLiteral(".pdf")},
        [lines](QPrinter &printer) { PrintRouteTable(printer, lines); });
}

void TRouteTrackPanels::BSaveRoutePdfClick()
{
    const TChtRoute *object = Selected();
    if (!object) {
        ShowError(FWindow, QStringLiteral("No route/track selected"));
        return;
    }
    const auto lines = RouteTablePrintLines(*object, IsSelectedTrack());
    SaveAsPdf(FWindow,
        {(IsSelectedTrack() ? QStringLiteral("Track ") : QStringLiteral("Route "))
                + Q(object->Name),
            QPageLayout::Portrait, FileNameFor(object->Name) + QStringLiteral(".pdf")},
        [lines](QPrinter &printer) { PrintRouteTable(printer, lines); });
}

// ---- Add points ------------------------------------------------------------------------------

void TRouteTrackPanels::AddPointsToRoute()
{
    if (FChart.Desk().Routes.Empty()) {
        ShowError(FWindow, QStringLiteral("No routes defined"));
        return;
    }
    if (!FSelector)
        FSelector = new TFormSelecionaRota(FWindow);
    TChtRoute *route = FSelector->SelectRouteToExtend(FChart);
    if (!route || !FChart.IsRouteListed(route))
        return;
    if (!route->Visible) {
        route->Visible = true;
        MarkChanged(*route);
    }
    FSetTool(TTipoFerramentaCarta::fcRoute);
    FChart.SelectRoute(route);
    Repaint();
    FLBRotas->viewport()->update();
}

void TRouteTrackPanels::AddPointsToTrack()
{
    if (FChart.Desk().Tracks.Empty()) {
        ShowError(FWindow, QStringLiteral("No Tracks defined"));
        return;
    }
    if (!FSelector)
        FSelector = new TFormSelecionaRota(FWindow);
    TChtTrack *track = FSelector->SelectTrackToExtend(FChart);
    if (!track || !FChart.IsTrackListed(track))
        return;
    if (!track->Visible) {
        track->Visible = true;
        MarkChanged(*track);
    }
    FSetTool(TTipoFerramentaCarta::fcTrack);
    FChart.SelectTrack(track);
    Repaint();
    FLBRotas->viewport()->update();
}

// ---- Chart view events -----------------------------------------------------------------------

void TRouteTrackPanels::RouteChanged(TChtRoute *route)
{
    if (!FEditorShown || !route)
        return;
    if (route == Selected()) {
        ShowSelected();
        return;
    }
    for (int i = 0; i < FLBRotas->count(); ++i)
        if (TRouteListDelegate::ObjectOf(FLBRotas->model()->index(i, 0)) == route)
            return;
    RefillList();
}

void TRouteTrackPanels::TrackChanged(TChtTrack *track)
{
    if (!track)
        return;
    // A track that comes while the tracks are replayed is replayed with them.
    if (FChart.TrackTime() != 0)
        track->TimeLimit = FChart.TrackTime();
    if (!FEditorShown)
        return;
    if (track->GpsTrack)
        FLBRotas->viewport()->update();
    RouteChanged(track);
}

// ---- GPX -------------------------------------------------------------------------------------

QString TRouteTrackPanels::GpxFolder() const
{
    if (!FLastGpxFolder.isEmpty())
        return FLastGpxFolder;
    const QString desktop = FChart.DesktopFileName();
    return desktop.isEmpty() ? QDir::homePath() : QFileInfo(desktop).absolutePath();
}

void TRouteTrackPanels::ImportGpx()
{
    const QString file = GetOpenFileName(FWindow, QStringLiteral("Import GPX"), GpxFolder(),
        QStringLiteral("GPX files (*.gpx *.GPX);;All files (*)"));
    if (file.isEmpty())
        return;
    FLastGpxFolder = QFileInfo(file).absolutePath();
    QProgressDialog progress(QStringLiteral("Reading %1...").arg(QFileInfo(file).fileName()),
        QStringLiteral("Cancel"), 0, 1000, FWindow);
    progress.setObjectName(QStringLiteral("GpxProgress"));
    progress.setWindowTitle(QStringLiteral("Import GPX"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const auto showProgress = [&progress](std::uint64_t done, std::uint64_t total) {
        progress.setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    TGpxImport import;
    try {
        import = ReadGpxFile(S(file), showProgress);
    } catch (const EGpxCancelled &) {
        return;
    } catch (const std::exception &e) {
        progress.reset();
        ShowError(FWindow, Q(e.what()));
        return;
    }
    progress.reset();
    const std::vector<std::string> messages = import.Messages;
    if (import.Empty()) {
        std::string text = "No routes, tracks or waypoints in " + S(file);
        for (const auto &m : messages)
            text += "\n" + m;
        ShowMessage(FWindow, Q(text));
        return;
    }
    const std::size_t firstNewTrack = FChart.Desk().Tracks.Count();
    const TGpxAdded added = AddGpxToDesk(FChart.Desk(), import);
    // Tracks that come while the tracks are replayed are replayed with them.
    for (std::size_t i = firstNewTrack; i < FChart.Desk().Tracks.Count(); ++i)
        FChart.Desk().Tracks[i]->TimeLimit = FChart.TrackTime();
    ShowImported(S(file), added, messages);
}

void TRouteTrackPanels::ShowImported(
    const std::string &file, const TGpxAdded &added, const std::vector<std::string> &messages)
{
    // What came in is brought into view when none of it is there.
    const TEscalaCarta &view = FChart.Escala();
    const bool inView = added.LatMin <= view.LatMax && added.LatMax >= view.LatMin
        && added.LonMin <= view.LonMax && added.LonMax >= view.LonMin;
    if (added.Points > 0 && !inView && FChart.height() > 0) {
        TObjectsBox box;
        box.Add(added.LatMin, added.LatMax, added.LonMin, added.LonMax);
        const auto fit = box.View(static_cast<double>(FChart.width()) / FChart.height());
        if (fit)
            FChart.SetViewAndClear(fit->LatC, fit->LonC, fit->LonSpan);
    }
    if (FEditorShown)
        RefillList();
    Repaint();
    std::string text = "Imported from " + file + ": "
        + GpxSummaryText(added.Routes, added.Tracks, added.Marks, added.Points);
    for (const auto &m : messages)
        text += "\n" + m;
    ShowMessage(FWindow, Q(text));
}

void TRouteTrackPanels::ExportGpx()
{
    const TGpxExport what = GpxExportOfDesk(FChart.Desk());
    if (what.PointCount() == 0) {
        ShowError(FWindow, QStringLiteral("No routes, tracks or marks to export"));
        return;
    }
    const QString desktop = FChart.DesktopFileName();
    const QString name =
        desktop.isEmpty() ? QStringLiteral("desktop") : QFileInfo(desktop).completeBaseName();
    const QString file = GetSaveFileName(FWindow, QStringLiteral("Export GPX"),
        GpxFolder() + QLatin1Char('/') + name + QStringLiteral(".gpx"),
        QStringLiteral("GPX files (*.gpx *.GPX)"), QStringLiteral("gpx"));
    if (file.isEmpty())
        return;
    FLastGpxFolder = QFileInfo(file).absolutePath();
    RunCommand(FWindow, [&] { WriteGpxFile(S(file), what); });
}

void TRouteTrackPanels::ExportSelectedGpx()
{
    const TChtRoute *object = Selected();
    if (!object) {
        ShowError(FWindow, QStringLiteral("No route/track selected"));
        return;
    }
    if (object->Points.empty()) {
        ShowError(FWindow, QStringLiteral("\"%1\" has no points").arg(Q(object->Name)));
        return;
    }
    const QString file = GetSaveFileName(FWindow, QStringLiteral("Export GPX"),
        GpxFolder() + QLatin1Char('/') + FileNameFor(object->Name) + QStringLiteral(".gpx"),
        QStringLiteral("GPX files (*.gpx *.GPX)"), QStringLiteral("gpx"));
    if (file.isEmpty() || !IsListedRouteOrTrack(FChart.Desk(), object))
        return;
    FLastGpxFolder = QFileInfo(file).absolutePath();
    RunCommand(FWindow, [&] { WriteGpxFile(S(file), GpxExportOf(*object)); });
}

// ---- Track replay ----------------------------------------------------------------------------

void TRouteTrackPanels::PegaTrackTimesDaCarta()
{
    FReplayRange = {FChart.TrackTimeInicial(), FChart.TrackTimeFinal()};
    FEdNumPontos->setValue(0);
    AjustaTrackTimes();
    BarraTrackTimeChange();
}

void TRouteTrackPanels::AjustaTrackTimes()
{
    {
        const QSignalBlocker ini(FEdTrackDateIni);
        const QSignalBlocker fin(FEdTrackDateFin);
        if (const auto d = DateOf(FReplayRange.End))
            FEdTrackDateFin->setDate(*d);
        if (const auto d = DateOf(FReplayRange.Start))
            FEdTrackDateIni->setDate(*d);
    }
    FLTrackTime->clear();
    FReplayFormat = ReplayFormatFor(FReplayRange.Span(), ShortDateFormat());
    const bool range = FReplayRange.IsRange();
    FEdTrackDateIni->setEnabled(range);
    FEdTrackDateFin->setEnabled(range);
    if (range) {
        FLTrackTimeIni->setText(Q(FormatReplayTime(FReplayRange.Start, FReplayFormat)));
        FLTrackTimeFin->setText(Q(FormatReplayTime(FReplayRange.End, FReplayFormat)));
    } else {
        FLTrackTimeIni->clear();
        FLTrackTimeFin->clear();
    }
}

void TRouteTrackPanels::BarraTrackTimeChange()
{
    if (!FReplayRange.IsRange())
        return;
    const double t = ReplayTimeAt(FReplayRange, FBarraTrackTime->value());
    FChart.SetTrackTime(t);
    FLTrackTime->setText(Q(FormatReplayTime(t, FReplayFormat)));
}

void TRouteTrackPanels::BUpdateTimesClick()
{
    PegaTrackTimesDaCarta();
    if (!FReplayRange.IsRange())
        ShowMessage(FWindow, QStringLiteral("No tracks visible to animate"));
}

void TRouteTrackPanels::BRewindClick()
{
    {
        const QSignalBlocker blocker(FBarraTrackTime);
        FBarraTrackTime->setValue(0);
    }
    AnchorReplay();
    BarraTrackTimeChange();
}

void TRouteTrackPanels::BFastForwardClick()
{
    {
        const QSignalBlocker blocker(FBarraTrackTime);
        FBarraTrackTime->setValue(kReplaySliderMax);
    }
    AnchorReplay();
    BarraTrackTimeChange();
}

void TRouteTrackPanels::BPlayClick()
{
    if (!FReplayRange.IsRange())
        return;
    AnchorReplay();
    FTimerTrackTime->start();
}

void TRouteTrackPanels::BStopClick()
{
    FTimerTrackTime->stop();
}

void TRouteTrackPanels::AnchorReplay()
{
    FAnchorPosition = FBarraTrackTime->value();
    FAnchorTime = LocalNow();
}

void TRouteTrackPanels::TimerTrackTimeTimer()
{
    const int position = ReplayPositionAfter(
        FAnchorPosition, FAnchorTime.msecsTo(LocalNow()), FTimerTrackTime->interval(), FReplayStep);
    {
        const QSignalBlocker blocker(FBarraTrackTime);
        FBarraTrackTime->setValue(position);
    }
    if (position >= kReplaySliderMax)
        FTimerTrackTime->stop();
    BarraTrackTimeChange();
}

void TRouteTrackPanels::TrackTimeTimerSpeedChange()
{
    const int speed = FTrackTimeTimerSpeed->value();
    FReplayStep = ReplayStepFor(speed);
    FTimerTrackTime->setInterval(ReplayIntervalFor(speed));
    // The new pace counts from now.
    AnchorReplay();
}

void TRouteTrackPanels::ApplyReplayRange(const TReplayRange &range)
{
    FReplayRange = range;
    AjustaTrackTimes();
    BarraTrackTimeChange();
}

void TRouteTrackPanels::EdTrackDateIniCloseUp()
{
    const QDate d = FEdTrackDateIni->date();
    const auto picked = TryEncodeDate(d.year(), d.month(), d.day());
    if (!FReplayRange.IsRange() || !picked || DateOf(FReplayRange.Start) == d)
        return;
    if (const auto range = WithStartDate(FReplayRange, *picked))
        ApplyReplayRange(*range);
    else
        AjustaTrackTimes(); // no span left: the picker goes back to the start's date
}

void TRouteTrackPanels::EdTrackDateFinCloseUp()
{
    const QDate d = FEdTrackDateFin->date();
    const auto picked = TryEncodeDate(d.year(), d.month(), d.day());
    if (!FReplayRange.IsRange() || !picked || DateOf(FReplayRange.End) == d)
        return;
    if (const auto range = WithEndDate(FReplayRange, *picked))
        ApplyReplayRange(*range);
    else
        AjustaTrackTimes();
}

void TRouteTrackPanels::EdNumPontosChange()
{
    FChart.SetNumPontosTracks(FEdNumPontos->value());
    FChart.Invalidate();
}

void TRouteTrackPanels::PanelChanged(bool replayShown)
{
    if (replayShown && !FReplayShown)
        PegaTrackTimesDaCarta();
    if (!replayShown) {
        FTimerTrackTime->stop();
        FChart.SetTrackTime(0);
    }
    FReplayShown = replayShown;
}

} // namespace vrn
