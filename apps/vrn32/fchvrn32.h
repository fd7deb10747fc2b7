#pragma once

// "Varunel Chart Viewer": the window in which the user works on charts. It hosts the program's
// one chart view for desktops (TLogCarta) and around it the menus and the tool bar of the view's
// tools, the scroll bars that move the view centre, the editor panel with the desktop's chart
// images (and the routes and tracks page of the route editor), the location panel, the desktop,
// vector chart and chart image commands, printing, and the overlay of the LOPs and the fix that
// the celestial navigation window hands over. The window keeps no copy of the desktop: every
// command goes to the chart view and the chart code below it.
//
// Other windows attach through the setters of "Entry points" (at start-up, VrnStartup.cpp), so
// that each is wired without this window knowing its type.

#include "celestial/LOPOverlay.h"
#include "common/RecentFiles.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class QTimer;
class QToolBar;

namespace vrn {

class TChtFileObject;
class TChtRoute;
class TChtTrack;
class TChtChartImage;
class TLogCarta;
class TRouteTrackEditor;
enum class TTipoFerramentaCarta;
template <class T>
class TOwnedList;
class TChtObject;

class TFormCartaVrn : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormCartaVrn(QWidget *parent = nullptr);
    ~TFormCartaVrn() override;

    TLogCarta &Chart() { return *FChart; }

    // ---- Entry points for the other windows
    // The GPS window: "GPS Interface" shows it; showGpsTrackName is told the desktop's GPS track
    // (none when it has none) after every new desktop and every change of that track.
    void SetGpsWindow(QWidget *window, std::function<void(TChtTrack *gpsTrack)> showGpsTrackName);
    void ShowGpsTrackName();
    // The leg calculator: "Leg Calculator" shows it.
    void SetLegCalculatorWindow(QWidget *window);
    // A route made elsewhere (the leg calculator's) joins the desktop: listed, the desktop marked
    // changed, the route editor told, the chart redrawn. Returns the listed route.
    TChtRoute *AddRoute(std::unique_ptr<TChtRoute> route);
    // "About..": the launcher shown as the about box.
    void SetAboutBox(std::function<void()> showAbout);
    // The route and track editor and replay (Routes/Tracks page, track animation panel, the
    // "Add Points" commands); not owned, it lives as long as this window.
    void SetRouteTrackEditor(TRouteTrackEditor *editor);
    // The location panel's transfer: Enter in "Location:" and "Refresh desktop" call fetch with
    // the location text, Escape and "Stop download" call stop. Until it is set the panel opens a
    // local desktop or vector chart named by the text (a path or a file:// address).
    void SetLocationFetcher(
        std::function<void(const QString &location)> fetch, std::function<void()> stop = nullptr);
    void FetchLocation();

    // The panels and controls the transfer drives ("Location:" field, "Stop download",
    // "Refresh desktop", the status label and the progress gauge in the bottom bar).
    QToolBar *LocationPanel() const { return FLocationBar; }

    QToolBar *TrackAnimationPanel() const { return FTrackAnimationBar; }

    QLineEdit *LocationField() const { return FEdLocation; }

    QPushButton *StopButton() const { return FBStop; }

    QPushButton *RefreshButton() const { return FBRefresca; }

    QLabel *WebStatusLabel() const { return FLStatusBrowser; }

    QProgressBar *WebGauge() const { return FGaugeBrowser; }

    // The folder for fetched desktops and charts (ends with "/", created).
    QString CacheDir() const { return FCacheDir; }

    // The start-up location file (the program's first argument), read at the first show: its
    // first line is put in the location panel and fetched.
    void SetStartLocationFile(const QString &fileName);
    // Called once, at the first show, when the start-up view is loaded and the start-up
    // location (if any) has been sent to the transfer.
    void SetStartupHandler(std::function<void()> started);
    // The keepers of the desktop's contents elsewhere (the GPS track's recovery file): saved
    // runs after every committed save of the desktop, discardedAtExit when the exit question is
    // answered No.
    void SetDesktopSaveHandlers(std::function<void()> saved, std::function<void()> discardedAtExit);

    // ---- Desktops, for the commands and the transfer
    // The changed-desktop question: true to go on (unchanged, answered No, or saved); false
    // when a save was cancelled or failed, and the caller then stops.
    bool AskSaveDesktop();
    // At program end: asked until saved or answered No; a save that fails offers "Save
    // Desktop As.." once more.
    void AskSaveDesktopAtExit();
    // AskSaveDesktop, then the desktop; what could not be used is shown once. False when it
    // was not opened.
    bool OpenDesktop(const QString &fileName);
    // A desktop from elsewhere (no file name) in place of the open one; shows what could not be
    // used. Ask first (AskSaveDesktop).
    void SetDesktop(TOwnedList<TChtObject> &objects, std::unique_ptr<TChtFileObject> chartRef);
    // The vector chart replaced, with the hourglass; false (the failure shown) when it failed.
    bool OpenVectorChart(const QString &fileName, bool merge = false);
    // The view on the whole vector chart (the world when none is open).
    void ShowWholeChart();

    QStringList RecentDesktops() const;

    // ---- The celestial navigation window's hand-over
    // Restores a minimised visible window; otherwise takes the overlay, sets the caption, centres
    // the view on the hand-over (1.665 degrees wide) and shows the window.
    void ShowCelestialOverlay(const TChartHandOver &handOver);
    void ResetView();

    TChartOverlayMode OverlayMode() const { return FOverlay.Mode; }

    double ViewLatC() const { return FViewLatC; }

    double ViewLonC() const { return FViewLonC; }

    // ---- Printing: the chart on one page, the same for the printer and the PDF file.
    void PrintChart(QPrinter &printer);

    // ---- Handlers
    void OpenVrnDesktop1Click();
    bool SaveVrnDesktop1Click();
    bool SaveVrnDesktopAs1Click();
    void OpenChart1Click();
    void MergeChart1Click();
    void Chartinfo1Click();
    void OpenRasterChart1Click();
    void PChartViewSettingsMRUClick(int index);
    void Exit1Click();
    void Zoom1Click();
    void Dragchart1Click();
    void Measure1Click();
    void ToolsRoutesClick();
    void ToolTracksClick();
    void ToolMarksClick();
    void ToolCursorClick();
    void ShowNames1Click();
    void ShowGrid1Click();
    void EditRoutes1Click();
    void AddPointsToRoute1Click();
    void NewRoute1Click();
    void LegCalculator1Click();
    void Edit1Click();
    void AddPointstotrack1Click();
    void GPSinterface1Click();
    void Newtrack1Click();
    void Add1Click();
    void Delete1Click();
    void Colors1Click();
    void Index1Click();
    void About1Click();
    void BCarregaDTClick();
    void BSaveDTClick();
    void BPrintChartClick();
    void BSaveChartPdfClick();
    void BGpsXfClick();
    void BLegCalculatorClick();
    void CBShowGridClick();
    void CBTogglePropertiesClick();
    void ScrollLonScroll(int position);
    void ScrollLatScroll(int position);
    void RenderStateChanged(int count);
    // The "Chart Images" page.
    void LBChartImagesClick();
    void CBChartVisibleClick();
    void CBDrawOutlineClick();
    void TBOpacityChange(int value);
    void BOpaqueClick();
    void BDeleteChartImageClick();
    void BMoveChartUpClick();
    void BMoveChartDownClick();
    void BCenterOnChartClick();
    void RefillChartImages();

    // The editor panel (the "properties" box).
    void ShowEditor();
    void HideEditor();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction (fchvrn32Ui.cpp).
    void CreateWidgets();
    void CreateMenus();
    void CreateToolPanels();
    QWidget *CreateChartArea();
    QWidget *CreateChartImagesPage();
    void ConnectChart();
    void LoadSettings();
    void SaveSettings();

    // Chart view events.
    void ChartRedrawn();
    void ChartScaleChanged(double latCDeg, double lonCDeg);
    void NewDesktop();

    void SetTool(TTipoFerramentaCarta tool);
    void StartDrawing(bool track);
    void ShowWindow(QWidget *window);
    void ShowMessages(const std::vector<std::string> &messages);
    void UpdateCentreLabels();
    void AddRecent(const QString &fileName);
    void RefillRecentMenu();
    void FirstShow();
    TChtChartImage *SelectedChartImage() const;
    void ShowChartImage(TChtChartImage *image);
    void SelectChartImage(const TChtChartImage *image, int fallbackRow);
    QString DialogFolder() const;

    TLogCarta *FChart = nullptr;
    TChartHandOver FOverlay;
    double FViewLatC = 0;
    double FViewLonC = 0;
    QString FCacheDir;
    TRecentFiles FRecent;
    bool FShown = false;
    QString FStartLocationFile;
    std::function<void()> FStarted;
    std::function<void()> FDesktopSaved;
    std::function<void()> FDesktopDiscardedAtExit;
    bool FEditorSized = false; // the editor panel was given its first width
    bool FSaveFailed = false; // the last save was tried and failed (not cancelled)

    QPointer<QWidget> FGpsWindow;
    std::function<void(TChtTrack *)> FShowGpsTrackName;
    QPointer<QWidget> FLegCalculator;
    std::function<void()> FShowAbout;
    TRouteTrackEditor *FRouteEditor = nullptr;
    std::function<void(const QString &)> FFetchLocation;
    std::function<void()> FStopLocation;

    // Menus and tools.
    QMenu *FFileMenu = nullptr;
    QAction *FMRUSeparator = nullptr;
    QList<QAction *> FMRUActions;
    QAction *FExit1 = nullptr;
    QActionGroup *FToolGroup = nullptr;
    std::vector<std::pair<TTipoFerramentaCarta, QAction *>> FToolActions;
    QAction *FShowGrid1 = nullptr;
    QAction *FAddPointsToRoute1 = nullptr;
    QAction *FAddPointstotrack1 = nullptr;
    QAction *FLegCalculator1 = nullptr;
    QAction *FGPSinterface1 = nullptr;
    QAction *FTrackAnimation1 = nullptr; // shows and hides the track animation panel
    QAction *FBGpsXf = nullptr;
    QAction *FBLegCalculator = nullptr;
    QToolBar *FToolsBar = nullptr;
    QToolBar *FTrackAnimationBar = nullptr;
    QToolBar *FLocationBar = nullptr;
    QLabel *FLChartMessage = nullptr;
    QCheckBox *FCBShowGrid = nullptr;
    QCheckBox *FCBToggleProperties = nullptr;
    QLabel *FAnimateRender = nullptr;
    QAction *FAnimateRenderAction = nullptr; // the label's place in the tool bar
    QTimer *FRenderTimer = nullptr;
    int FRenderFrame = 0;
    QLineEdit *FEdLocation = nullptr;
    QPushButton *FBStop = nullptr;
    QPushButton *FBRefresca = nullptr;

    // Bottom and right bars.
    QScrollBar *FScrollLon = nullptr;
    QScrollBar *FScrollLat = nullptr;
    QLabel *FLLonC = nullptr;
    QLabel *FLLatC = nullptr;
    QLabel *FLStatusBrowser = nullptr;
    QProgressBar *FGaugeBrowser = nullptr;

    // Editor panel.
    QDockWidget *FPanelEditor = nullptr;
    QTabWidget *FPageControlEditor = nullptr;
    QWidget *FTabRoutesTracks = nullptr;
    QLabel *FLChartImagesCount = nullptr;
    QListWidget *FLBChartImages = nullptr;
    QLabel *FLDescr = nullptr;
    QLabel *FLCIDFile = nullptr;
    QLabel *FLImage = nullptr;
    QCheckBox *FCBChartVisible = nullptr;
    QCheckBox *FCBDrawOutline = nullptr;
    QSlider *FTBOpacity = nullptr;
    QLabel *FLOpacity = nullptr;
    QPushButton *FBOpaque = nullptr;
    QPushButton *FBOpenChartImage = nullptr;
    QPushButton *FBDeleteChartImage = nullptr;
    QPushButton *FBMoveChartUp = nullptr;
    QPushButton *FBMoveChartDown = nullptr;
    QPushButton *FBCenterOnChart = nullptr;
};

} // namespace vrn
