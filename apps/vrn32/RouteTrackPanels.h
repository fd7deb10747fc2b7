#pragma once

// The chart viewer's route and track editor and its track replay: the "Routes/Tracks" page of the
// editor panel (the list of routes and tracks, the point table with legs, the name, visibility
// and colour of the selected one, point editing, deletes, the printed table, GPX import and
// export) and the controls of the "track animation" panel (the replay range, the time slider,
// play and stop, speed and the points shown). Both work on the chart view's own lists and keep
// no copy of them; the logic lives in charts/RouteTable.h, charts/TrackReplay.h and
// charts/GpxFile.h, and these widgets move values between the two.
//
// The viewer window takes the page and the controls into its panels and passes on its chart
// view's events and its panel changes.

#include "apps/vrn32/ChartViewerPeers.h"
#include "apps/vrn32/PointTableModel.h"
#include "charts/ChartTools.h"
#include "charts/TrackReplay.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPixmap;
class QPrinter;
class QPushButton;
class QSlider;
class QSpinBox;
class QTableView;
class QTimer;
class QWidget;

namespace vrn {

class TLogCarta;
struct TGpxAdded;
class TFormEditaPosicao;
class TFormSelecionaRota;
class TRouteColorGrid;
class THighlightMark;

class TRouteTrackPanels : public QObject, public TRouteTrackEditor
{
    Q_OBJECT

public:
    // window: the parent of the dialogs; chart: the view whose routes and tracks are edited.
    TRouteTrackPanels(TLogCarta &chart, QWidget *window);
    ~TRouteTrackPanels() override;

    // The page and the replay controls; the viewer takes them into its panels (and owns them
    // from then on).
    QWidget *RoutesTracksPage() override { return FPage; }

    QWidget *TrackAnimationControls() override { return FReplay; }

    // The list's icons ("BVISIVEL", "BINVISIVEL", "BTRACK", "BROUTE", "BGPS") by name.
    void SetIcons(std::function<QPixmap(const char *name)> icons);
    // Chooses a tool as the window's tool bar does (the "Add Points" commands press the route or
    // track tool); by default the chart view's tool alone is set.
    void SetToolSetter(std::function<void(TTipoFerramentaCarta)> setTool);

    // ---- The viewer's calls
    // The editor panel was shown (also to refresh it after a new desktop) or hidden.
    void ShowEditor() override;
    void HideEditor() override;

    bool EditorShown() const { return FEditorShown; }

    // A desktop was loaded or set: the highlight is forgotten, and the replay range re-read when
    // the track animation panel is shown.
    void NewDesktop(bool editorShown, bool replayShown) override;
    void RouteChanged(TChtRoute *route) override;
    void TrackChanged(TChtTrack *track) override;
    // After every redraw of the chart: the highlight follows its point.
    void ChartRedrawn() override;
    // The track animation panel was shown or hidden.
    void PanelChanged(bool replayShown) override;
    void AddPointsToRoute() override;
    void AddPointsToTrack() override;
    // "Import GPX...": routes, tracks and waypoints of a GPX file into the desktop.
    void ImportGpx();
    // "Export GPX...": every route, track and mark of the desktop; or the selected one.
    void ExportGpx();
    void ExportSelectedGpx();

    // ---- The page
    void ShowSelected();
    void RefillList();
    void EdNomeRotaChange();
    void CBRouteVisibleClick();
    void GridRouteColorClick(TColor colour);
    void RouteGridSelectCell(int row);
    void RouteGridDblClick();
    void BDeletaRotaTrackClick();
    void BClearAllRotasClick();
    void DDelPontoRotaClick();
    void BPrintRouteClick();
    void BSaveRoutePdfClick();

    // ---- The replay
    void PegaTrackTimesDaCarta();
    void AjustaTrackTimes();
    void BarraTrackTimeChange();
    void BUpdateTimesClick();
    void BRewindClick();
    void BStopClick();
    void BPlayClick();
    void BFastForwardClick();
    void TimerTrackTimeTimer();
    void TrackTimeTimerSpeedChange();
    void EdTrackDateIniCloseUp();
    void EdTrackDateFinCloseUp();
    void EdNumPontosChange();

    // ---- State, for the window and the tests
    // The selected route or track; none when nothing is selected or it is no longer listed.
    TChtRoute *Selected() const;
    // The highlighted point, when its route or track is still listed and has it.
    const TChtPoint *HighlightedPoint() const;

    const TReplayRange &ReplayRange() const { return FReplayRange; }

    const std::string &ReplayFormat() const { return FReplayFormat; }

    int ReplayStep() const { return FReplayStep; }

    TPointTableModel &PointTable() { return FModel; }

    // The point hint on the chart.
    QLabel *PointHint() const { return FPointHint; }

    // The page's print job (the selected route or track), as Print... and Save as PDF... send it.
    void PrintSelected(QPrinter &printer);

private:
    void CreatePage();
    void CreateReplayControls();
    void Connect();

    TChtTrack *SelectedTrack() const;
    bool IsSelectedTrack() const;
    void SelectEntry(int row);
    void ShowCounts();
    void ShowTotals();
    void ForgetHighlight();
    void PlaceHighlight();
    void MarkChanged(const TChtRoute &object);
    void Repaint();
    void ApplyReplayRange(const TReplayRange &range);
    void AnchorReplay();
    bool ListClicked(QObject *viewport, QEvent *event);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void EditorRefused(const QString &message);
    void ShowImported(
        const std::string &file, const TGpxAdded &added, const std::vector<std::string> &messages);
    QString GpxFolder() const;

    TLogCarta &FChart;
    QPointer<QWidget> FWindow;
    std::function<QPixmap(const char *)> FIcons;
    std::function<void(TTipoFerramentaCarta)> FSetTool;
    bool FEditorShown = false;
    TPointTableModel FModel;
    TFormEditaPosicao *FPointEditor = nullptr; // made at first use, kept
    TFormSelecionaRota *FSelector = nullptr;
    QString FLastGpxFolder;

    // The highlighted point, by its place: the points of a list move in memory as it grows.
    TChtRoute *FHighlightObject = nullptr;
    int FHighlightRow = -1;

    // The page.
    QPointer<QWidget> FPage;
    QLabel *FLRoutes = nullptr;
    QLabel *FLTracks = nullptr;
    QListWidget *FLBRotas = nullptr;
    QLabel *FLNomeRota = nullptr;
    QLineEdit *FEdNomeRota = nullptr;
    QCheckBox *FCBRouteVisible = nullptr;
    TRouteColorGrid *FGridRouteColor = nullptr;
    QLabel *FLPontos = nullptr;
    QLabel *FLTotal = nullptr;
    QTableView *FRouteGrid = nullptr;
    QLabel *FLPointText = nullptr;
    QLabel *FLLegText = nullptr;
    QPushButton *FBDeletaRotaTrack = nullptr;
    QPushButton *FBClearAllRotas = nullptr;
    QPushButton *FDDelPontoRota = nullptr;
    QPushButton *FBEditRoutePoint = nullptr;
    QPushButton *FBPrintRoute = nullptr;
    QPushButton *FBSaveRoutePdf = nullptr;
    QPushButton *FBImportGpx = nullptr;
    QPushButton *FBExportGpx = nullptr;

    // On the chart.
    QLabel *FPointHint = nullptr;
    THighlightMark *FHighlight = nullptr;

    // The replay.
    QPointer<QWidget> FReplay;
    QPushButton *FBUpdateTimes = nullptr;
    QLabel *FLTrackTimeIni = nullptr;
    QLabel *FLTrackTime = nullptr;
    QLabel *FLTrackTimeFin = nullptr;
    QDateEdit *FEdTrackDateIni = nullptr;
    QDateEdit *FEdTrackDateFin = nullptr;
    QSlider *FBarraTrackTime = nullptr;
    QPushButton *FBRewind = nullptr;
    QPushButton *FBStop = nullptr;
    QPushButton *FBPlay = nullptr;
    QPushButton *FBFastForward = nullptr;
    QSlider *FTrackTimeTimerSpeed = nullptr;
    QSpinBox *FEdNumPontos = nullptr;
    QTimer *FTimerTrackTime = nullptr;

    TReplayRange FReplayRange;
    std::string FReplayFormat = "hh:mm:ss";
    int FReplayStep = 3;
    bool FReplayShown = false;
    // Where the slider was and when, as the replay last started or changed speed.
    int FAnchorPosition = 0;
    QDateTime FAnchorTime;
};

} // namespace vrn
