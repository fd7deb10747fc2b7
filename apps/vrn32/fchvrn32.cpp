#include "apps/vrn32/fchvrn32.h"

#include "apps/vrn32/ChartOverlay.h"
#include "apps/vrn32/ChartViewerIcons.h"
#include "apps/vrn32/ChartViewerLogic.h"
#include "apps/vrn32/ChartViewerPeers.h"
#include "charts/Dcarta.h"
#include "charts/FormChartInfo.h"
#include "charts/FormEditTChtURLObject.h"
#include "charts/FormEditaLogCarta.h"
#include "charts/FormSelecionaRota.h"
#include "charts/ZoomMaker.h"
#include "engine/Trigonom.h"
#include "engine/VrnError.h"
#include "ui/DocumentOpener.h"
#include "ui/FileDialogs.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"
#include "ui/PrintJob.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

namespace vrn {

namespace {

constexpr double kResetLonSpan = 1.665; // degrees of longitude after a hand-over
constexpr int kRecentMenuPixels = 205; // widest abbreviated path in the File menu
constexpr int kVisibleToggleWidth = 12; // the icon column of the image list

QString Q(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString &s)
{
    return s.toStdString();
}

// The program's ini ("vrn32.ini" in the per-user configuration folder), section "Cache", key
// "Path"; the per-user cache folder when it names none. Joined with "/" and created.
QString ReadCacheDir()
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QString ini = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QLatin1Char('/') + (program.isEmpty() ? QStringLiteral("noname") : program.toLower())
        + QStringLiteral(".ini");
    QString dir =
        QSettings(ini, QSettings::IniFormat).value(QStringLiteral("Cache/Path")).toString();
    if (dir.trimmed().isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    dir = QDir::fromNativeSeparators(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    QDir().mkpath(dir);
    return dir;
}

// Where the files the program ships with are: the installed data folder (which keeps the source
// tree's layout, so the sample desktop's relative path to the world chart holds), the program's
// folder, then the source tree of a build run without being installed.
std::vector<std::string> ShippedFolders(const char *sourceSubfolder)
{
    const std::string app = S(QCoreApplication::applicationDirPath());
    return {app + "/../share/varunel/" + sourceSubfolder, app,
        std::string(VRN_SOURCE_DIR) + "/" + sourceSubfolder};
}

} // namespace

TFormCartaVrn::TFormCartaVrn(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormCartaVrn"));
    setWindowTitle(QStringLiteral("Varunel Chart Viewer"));
    CreateWidgets();
    FPageControlEditor->setCurrentWidget(FTabRoutesTracks);
    FCacheDir = ReadCacheDir();
    ConnectChart();
    FChart->SetViewAndClear(0, 0, kResetLonSpan);
    FChart->DrawGrid();
    connect(&TZoomMakerThreadManager::Instance(), &TZoomMakerThreadManager::CountChanged, this,
        &TFormCartaVrn::RenderStateChanged);
    setMinimumSize(640, 420);
    resize(1100, 680);
    LoadSettings();
}

TFormCartaVrn::~TFormCartaVrn()
{
    SaveSettings();
}

void TFormCartaVrn::ConnectChart()
{
    FChart->SetMarkEditor(EditMarkInDialog);
    connect(FChart, &TLogCarta::OnRedrawChart, this, [this](TLogCarta *) { ChartRedrawn(); });
    connect(FChart, &TLogCarta::OnChartMessage, FLChartMessage,
        [this](TLogCarta *, const QString &text) { FLChartMessage->setText(text); });
    connect(FChart, &TLogCarta::OnChangeScale, this,
        [this](TLogCarta *, double lat, double lon) { ChartScaleChanged(lat, lon); });
    connect(FChart, &TLogCarta::OnNewDesktop, this, [this](TLogCarta *) { NewDesktop(); });
    connect(FChart, &TLogCarta::OnRouteChanged, this, [this](TChtRoute *route) {
        if (FRouteEditor)
            FRouteEditor->RouteChanged(route);
    });
    connect(FChart, &TLogCarta::OnTrackChanged, this, [this](TChtTrack *track) {
        if (FRouteEditor)
            FRouteEditor->TrackChanged(track);
        if (track && track == FChart->GpsTrack())
            ShowGpsTrackName();
    });
    connect(FScrollLon, &QScrollBar::valueChanged, this, &TFormCartaVrn::ScrollLonScroll);
    connect(FScrollLat, &QScrollBar::valueChanged, this, &TFormCartaVrn::ScrollLatScroll);
}

// ---- Settings ---------------------------------------------------------------------------------

void TFormCartaVrn::LoadSettings()
{
    TFormSettings settings(objectName());
    settings.RestoreGeometry(*this);
    std::vector<std::string> stored;
    for (std::size_t i = 1; i <= FRecent.Capacity(); ++i) {
        const QString item = QStringLiteral("Item%1").arg(i);
        if (settings.Contains(QStringLiteral("PChartViewSettingsMRU"), item))
            stored.push_back(
                S(settings.ReadString(QStringLiteral("PChartViewSettingsMRU"), item, {})));
    }
    FRecent.SetItems(stored);
    if (!settings.Contains(QStringLiteral("PChartViewSettingsMRU"), QStringLiteral("Count"))) {
        // First start: the sample desktop is offered in the recent list.
        const std::string sample = FindShippedFile(ShippedFolders("share"), "desktops/Sample.vrn");
        if (!sample.empty())
            FRecent.Add(sample);
    }
    RefillRecentMenu();
}

void TFormCartaVrn::SaveSettings()
{
    TFormSettings settings(objectName());
    settings.SaveGeometry(*this);
    const auto &items = FRecent.Items();
    settings.WriteInt(QStringLiteral("PChartViewSettingsMRU"), QStringLiteral("Count"),
        static_cast<int>(items.size()));
    for (std::size_t i = 0; i < FRecent.Capacity(); ++i)
        settings.WriteString(QStringLiteral("PChartViewSettingsMRU"),
            QStringLiteral("Item%1").arg(i + 1), i < items.size() ? Q(items[i]) : QString());
    settings.Flush();
}

QStringList TFormCartaVrn::RecentDesktops() const
{
    QStringList list;
    for (const auto &item : FRecent.Items())
        list << Q(item);
    return list;
}

void TFormCartaVrn::AddRecent(const QString &fileName)
{
    FRecent.Add(S(QFileInfo(fileName).absoluteFilePath()));
    RefillRecentMenu();
    SaveSettings();
}

void TFormCartaVrn::RefillRecentMenu()
{
    for (QAction *a : FMRUActions)
        delete a;
    FMRUActions.clear();
    const QFontMetrics fm(FFileMenu->font());
    const auto &items = FRecent.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QString shown = fm.elidedText(Q(items[i]), Qt::ElideMiddle, kRecentMenuPixels);
        auto *a = new QAction(Q(RecentMenuText(i, S(shown))), FFileMenu);
        a->setObjectName(QStringLiteral("PChartViewSettingsMRU%1").arg(i + 1));
        a->setToolTip(Q(items[i]));
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { PChartViewSettingsMRUClick(index); });
        FFileMenu->insertAction(FExit1, a);
        FMRUActions << a;
    }
    if (!FMRUActions.isEmpty())
        FFileMenu->insertSeparator(FExit1);
}

// ---- Showing, closing -------------------------------------------------------------------------

void TFormCartaVrn::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        // After the window has its size, so that the world fills the view.
        QTimer::singleShot(0, this, &TFormCartaVrn::FirstShow);
    }
}

void TFormCartaVrn::SetStartLocationFile(const QString &fileName)
{
    FStartLocationFile = fileName;
}

void TFormCartaVrn::FirstShow()
{
    if (FChart->Desk().ChartFileName.empty() && FChart->Desk().DesktopFileName.empty()
        && !FChart->IsModified()) {
        const std::string world = FindShippedFile(ShippedFolders("charts/data"), "world.cht");
        if (!world.empty() && RunCommand(this, [&] { FChart->LoadChart(Q(world), false); })) {
            ShowWholeChart();
            // The world is where the program starts, not a change of the desktop.
            FChart->Desk().ChartModified = false;
        }
    }
    if (!FStartLocationFile.isEmpty()) {
        if (const auto location = ReadLocationFile(S(FStartLocationFile))) {
            FLocationBar->show();
            FEdLocation->setText(Q(*location));
            FetchLocation();
        }
    }
    if (FStarted)
        FStarted();
}

void TFormCartaVrn::SetStartupHandler(std::function<void()> started)
{
    FStarted = std::move(started);
}

void TFormCartaVrn::SetDesktopSaveHandlers(
    std::function<void()> saved, std::function<void()> discardedAtExit)
{
    FDesktopSaved = std::move(saved);
    FDesktopDiscardedAtExit = std::move(discardedAtExit);
}

void TFormCartaVrn::closeEvent(QCloseEvent *event)
{
    // The window lives as long as the program; closing only hides it.
    event->accept();
    SaveSettings();
}

void TFormCartaVrn::Exit1Click()
{
    close();
}

// ---- Entry points -----------------------------------------------------------------------------

void TFormCartaVrn::SetGpsWindow(
    QWidget *window, std::function<void(TChtTrack *gpsTrack)> showGpsTrackName)
{
    FGpsWindow = window;
    FShowGpsTrackName = std::move(showGpsTrackName);
    FBGpsXf->setEnabled(window != nullptr);
    FGPSinterface1->setEnabled(window != nullptr);
}

void TFormCartaVrn::ShowGpsTrackName()
{
    if (FShowGpsTrackName)
        FShowGpsTrackName(FChart->GpsTrack());
}

void TFormCartaVrn::SetLegCalculatorWindow(QWidget *window)
{
    FLegCalculator = window;
    FBLegCalculator->setEnabled(window != nullptr);
    FLegCalculator1->setEnabled(window != nullptr);
}

TChtRoute *TFormCartaVrn::AddRoute(std::unique_ptr<TChtRoute> route)
{
    if (!route)
        return nullptr;
    TChtRoute *listed = FChart->Desk().Routes.Add(std::move(route));
    FChart->Desk().RoutesModified = true;
    emit FChart->OnRouteChanged(listed);
    FChart->Invalidate();
    return listed;
}

void TFormCartaVrn::SetAboutBox(std::function<void()> showAbout)
{
    FShowAbout = std::move(showAbout);
}

void TFormCartaVrn::SetRouteTrackEditor(TRouteTrackEditor *editor)
{
    FRouteEditor = editor;
    FAddPointsToRoute1->setEnabled(editor != nullptr);
    FAddPointstotrack1->setEnabled(editor != nullptr);
    FTrackAnimation1->setEnabled(editor != nullptr && editor->TrackAnimationControls() != nullptr);
    if (!editor) {
        FTrackAnimationBar->hide();
        return;
    }
    if (QWidget *page = editor->RoutesTracksPage()) {
        const int index = FPageControlEditor->indexOf(FTabRoutesTracks);
        FPageControlEditor->removeTab(index);
        FTabRoutesTracks->deleteLater();
        FTabRoutesTracks = page;
        FTabRoutesTracks->setObjectName(QStringLiteral("TabRoutesTracks"));
        FPageControlEditor->insertTab(index, page, QStringLiteral("Routes/Tracks"));
        FPageControlEditor->setCurrentIndex(index);
    }
    if (QWidget *controls = editor->TrackAnimationControls())
        FTrackAnimationBar->addWidget(controls);
}

void TFormCartaVrn::SetLocationFetcher(
    std::function<void(const QString &)> fetch, std::function<void()> stop)
{
    FFetchLocation = std::move(fetch);
    FStopLocation = std::move(stop);
}

void TFormCartaVrn::FetchLocation()
{
    const QString location = FEdLocation->text().trimmed();
    if (FFetchLocation) {
        FFetchLocation(location);
        return;
    }
    // Without the transfer: a local desktop or vector chart.
    const QUrl url(location);
    const QString file = url.isLocalFile() ? url.toLocalFile() : location;
    if (file.endsWith(QStringLiteral(".vrn"), Qt::CaseInsensitive)) {
        if (OpenDesktop(file))
            AddRecent(file);
    } else if (file.endsWith(QStringLiteral(".cht"), Qt::CaseInsensitive)) {
        if (AskSaveDesktop())
            OpenVectorChart(file);
    } else {
        FLStatusBrowser->setText(
            QStringLiteral("Type the path of a desktop (.vrn) or chart (.cht)"));
    }
}

bool TFormCartaVrn::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FEdLocation && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FetchLocation();
            return true;
        }
        if (key == Qt::Key_Escape) {
            if (FStopLocation)
                FStopLocation();
            return true;
        }
    }
    if (watched == FLBChartImages->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A click on the icon column toggles "Visible" of the entry clicked (and selects it).
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        if (QListWidgetItem *item = FLBChartImages->itemAt(at);
            item && at.x() < kVisibleToggleWidth && mouse->button() == Qt::LeftButton) {
            FLBChartImages->setCurrentItem(item);
            FCBChartVisible->setChecked(!FCBChartVisible->isChecked());
            CBChartVisibleClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Chart view events ------------------------------------------------------------------------

void TFormCartaVrn::ChartRedrawn()
{
    DrawChartOverlay(*FChart, FOverlay);
    if (FRouteEditor)
        FRouteEditor->ChartRedrawn();
}

void TFormCartaVrn::ChartScaleChanged(double latCDeg, double lonCDeg)
{
    FViewLatC = latCDeg;
    FViewLonC = lonCDeg;
    {
        const QSignalBlocker lonBlocker(FScrollLon);
        const QSignalBlocker latBlocker(FScrollLat);
        FScrollLon->setValue(ScrollPositionOf(lonCDeg, FScrollLon->maximum()));
        FScrollLat->setValue(ScrollPositionOf(latCDeg, FScrollLat->maximum()));
    }
    UpdateCentreLabels();
}

void TFormCartaVrn::UpdateCentreLabels()
{
    // The labels show the centre the scale holds (at most 89 degrees from the equator).
    const double lat = FChart->Escala().LatC;
    FLLonC->setText(Q(FormatAngleDM2("WE", NormalizeSigned180(FViewLonC))));
    FLLatC->setText(Q(FormatAngleDM2("NS", std::isfinite(lat) ? lat : FViewLatC)));
}

void TFormCartaVrn::NewDesktop()
{
    const bool editorShown = FPanelEditor->isVisible();
    if (editorShown)
        ShowEditor();
    ShowGpsTrackName();
    if (FRouteEditor)
        FRouteEditor->NewDesktop(editorShown, FTrackAnimationBar->isVisible());
    if (!FRouteEditor || !FTrackAnimationBar->isVisible())
        FChart->SetTrackTime(0);
}

void TFormCartaVrn::ScrollLonScroll(int position)
{
    FViewLonC = DegreesOfScroll(position);
    FChart->Escala().LonC = FViewLonC;
    FChart->Escala().SetupForScreen();
    FChart->Redraw(true, true);
    UpdateCentreLabels();
}

void TFormCartaVrn::ScrollLatScroll(int position)
{
    FViewLatC = DegreesOfScroll(position);
    FChart->Escala().LatC = FViewLatC;
    FChart->Escala().SetupForScreen();
    FChart->Redraw(true, true);
    UpdateCentreLabels();
}

void TFormCartaVrn::RenderStateChanged(int count)
{
    FAnimateRenderAction->setVisible(count > 0);
    if (count > 0 && !FRenderTimer->isActive()) {
        FRenderFrame = 0;
        FAnimateRender->setPixmap(ChartViewerBusyFrame(0));
        FRenderTimer->start();
    } else if (count == 0) {
        FRenderTimer->stop();
    }
}

// ---- Tools ------------------------------------------------------------------------------------

void TFormCartaVrn::SetTool(TTipoFerramentaCarta tool)
{
    FChart->SetFerramenta(tool);
    for (const auto &[t, action] : FToolActions)
        if (t == tool)
            action->setChecked(true);
}

void TFormCartaVrn::Zoom1Click()
{
    SetTool(TTipoFerramentaCarta::fcZoom);
}

void TFormCartaVrn::Dragchart1Click()
{
    SetTool(TTipoFerramentaCarta::fcHandDrag);
}

void TFormCartaVrn::Measure1Click()
{
    SetTool(TTipoFerramentaCarta::fcMeasure);
}

void TFormCartaVrn::ToolsRoutesClick()
{
    SetTool(TTipoFerramentaCarta::fcRoute);
}

void TFormCartaVrn::ToolTracksClick()
{
    SetTool(TTipoFerramentaCarta::fcTrack);
}

void TFormCartaVrn::ToolMarksClick()
{
    SetTool(TTipoFerramentaCarta::fcObjects);
}

void TFormCartaVrn::ToolCursorClick()
{
    SetTool(TTipoFerramentaCarta::fcPointName);
}

void TFormCartaVrn::ShowNames1Click()
{
    FChart->DrawChartObjectNames();
}

void TFormCartaVrn::ShowGrid1Click()
{
    FCBShowGrid->setChecked(!FCBShowGrid->isChecked());
    CBShowGridClick();
}

void TFormCartaVrn::CBShowGridClick()
{
    FChart->SetShowGrid(FCBShowGrid->isChecked());
    FShowGrid1->setChecked(FCBShowGrid->isChecked());
    FChart->Redraw(true, false);
}

// The current drawing is finished first when it is listed or has points, so that a new route
// never continues the old one.
void TFormCartaVrn::StartDrawing(bool track)
{
    if (track) {
        if (FChart->IsTrackListed(FChart->CurrentTrack()) || FChart->CurrentTrack()->PointCount())
            FChart->FinishTrack();
        ShowMessage(this, QStringLiteral("Left click track points.\nRight click to end."));
        SetTool(TTipoFerramentaCarta::fcTrack);
    } else {
        if (FChart->IsRouteListed(FChart->CurrentRoute()) || FChart->CurrentRoute()->PointCount())
            FChart->FinishRoute();
        ShowMessage(this, QStringLiteral("Left click route points.\nRight click to end."));
        SetTool(TTipoFerramentaCarta::fcRoute);
    }
}

void TFormCartaVrn::NewRoute1Click()
{
    StartDrawing(false);
}

void TFormCartaVrn::Newtrack1Click()
{
    StartDrawing(true);
}

void TFormCartaVrn::AddPointsToRoute1Click()
{
    if (FRouteEditor)
        FRouteEditor->AddPointsToRoute();
}

void TFormCartaVrn::AddPointstotrack1Click()
{
    if (FRouteEditor)
        FRouteEditor->AddPointsToTrack();
}

void TFormCartaVrn::Add1Click()
{
    SetTool(TTipoFerramentaCarta::fcObjects);
}

void TFormCartaVrn::Delete1Click()
{
    if (FChart->Desk().OtherObjects.Empty()) {
        ShowError(this, QStringLiteral("No marks defined"));
        return;
    }
    TFormSelecionaRota selector(this);
    TChtObject *mark = selector.SelectObjectToDelete(*FChart);
    if (!mark || !FChart->Desk().OtherObjects.Extract(mark))
        return;
    FChart->Desk().OtherObjectsModified = true;
    FChart->Invalidate();
}

void TFormCartaVrn::Colors1Click()
{
    EditColors(*FChart);
}

void TFormCartaVrn::Index1Click()
{
    OpenHelpFile(this);
}

void TFormCartaVrn::About1Click()
{
    if (FShowAbout)
        FShowAbout();
}

void TFormCartaVrn::ShowWindow(QWidget *window)
{
    if (!window)
        return;
    window->showNormal();
    window->raise();
    window->activateWindow();
}

void TFormCartaVrn::BGpsXfClick()
{
    ShowWindow(FGpsWindow);
}

void TFormCartaVrn::GPSinterface1Click()
{
    ShowWindow(FGpsWindow);
}

void TFormCartaVrn::BLegCalculatorClick()
{
    ShowWindow(FLegCalculator);
}

void TFormCartaVrn::LegCalculator1Click()
{
    ShowWindow(FLegCalculator);
}

// ---- Editor panel -----------------------------------------------------------------------------

void TFormCartaVrn::CBTogglePropertiesClick()
{
    if (FCBToggleProperties->isChecked())
        ShowEditor();
    else
        HideEditor();
}

void TFormCartaVrn::EditRoutes1Click()
{
    FCBToggleProperties->setChecked(!FCBToggleProperties->isChecked());
    CBTogglePropertiesClick();
}

void TFormCartaVrn::Edit1Click()
{
    EditRoutes1Click();
}

void TFormCartaVrn::ShowEditor()
{
    QPalette pal = FLBChartImages->palette();
    pal.setColor(QPalette::Base, ToQColor(FChart->SeaColor()));
    FLBChartImages->setPalette(pal);
    RefillChartImages();
    FPanelEditor->show();
    FCBToggleProperties->setChecked(true);
    if (FRouteEditor)
        FRouteEditor->ShowEditor();
    // Shown the first time, the panel is as wide as its pages ask (the whole point table) while
    // the chart keeps three fifths of the window. The sailor may drag it wider or narrower from
    // then on.
    if (!FEditorSized && FPanelEditor->isVisible() && !FPanelEditor->isFloating()) {
        FEditorSized = true;
        const int wanted = std::min(FPanelEditor->sizeHint().width(), width() * 2 / 5);
        if (wanted != FPanelEditor->width())
            resizeDocks({FPanelEditor}, {wanted}, Qt::Horizontal);
    }
}

void TFormCartaVrn::HideEditor()
{
    if (FRouteEditor)
        FRouteEditor->HideEditor();
    FPanelEditor->hide();
    FCBToggleProperties->setChecked(false);
}

// ---- Printing ---------------------------------------------------------------------------------

void TFormCartaVrn::PrintChart(QPrinter &printer)
{
    FChart->Print(printer);
}

void TFormCartaVrn::BPrintChartClick()
{
    TPrintRequest request;
    request.Title = QStringLiteral("Varunel chart");
    request.Orientation = QPageLayout::Landscape;
    request.PdfName = QStringLiteral("chart.pdf");
    PrintWithDialog(this, request, [this](QPrinter &printer) { PrintChart(printer); });
}

void TFormCartaVrn::BSaveChartPdfClick()
{
    TPrintRequest request;
    request.Title = QStringLiteral("Varunel chart");
    request.Orientation = QPageLayout::Landscape;
    request.PdfName = QStringLiteral("chart.pdf");
    SaveAsPdf(this, request, [this](QPrinter &printer) { PrintChart(printer); });
}

// ---- The celestial navigation window's hand-over ----------------------------------------------

void TFormCartaVrn::ShowCelestialOverlay(const TChartHandOver &handOver)
{
    if (isVisible() && isMinimized()) {
        showNormal();
        return;
    }
    FOverlay = handOver;
    setWindowTitle(QString::fromLatin1(ChartHandOverCaption(handOver.Mode)));
    FViewLatC = handOver.ViewCentre.Lat;
    FViewLonC = handOver.ViewCentre.Lon;
    ResetView();
    show();
    raise();
    activateWindow();
    FChart->Redraw(true, true);
}

void TFormCartaVrn::ResetView()
{
    FChart->SetViewAndClear(FViewLatC, FViewLonC, kResetLonSpan);
}

} // namespace vrn
