#pragma once

// TLogCarta, the chart view control: a widget that owns one chart scale, the loaded vector
// chart, the desktop's raster chart images, routes, tracks and marks, the route and track being
// drawn and the boat marker (TChartDesk holds the lists and their logic), draws them in a fixed
// order, prints them, and turns mouse, wheel and key actions into zooming, measuring, route and
// track drawing, mark editing, name lookup and dragging.
//
// Drawing: everything is drawn into a back buffer (a QImage that stays attached to the chart
// surface, so objects and owners can draw into it at any time); the widget paints by copying the
// buffer and then draws the rubber band, its start cross and the floating labels from state, so
// moving the mouse never redraws the chart. Raster chart images render in background threads;
// a finished render repaints the buffer without recomputing positions.

#include "charts/ChartDesk.h"
#include "charts/ChartDesktop.h"
#include "charts/ChartTools.h"
#include "charts/PainterSurface.h"

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>

class QPrinter;

namespace vrn {

class TLogCarta : public QWidget
{
    Q_OBJECT

public:
    explicit TLogCarta(QWidget *parent = nullptr);
    ~TLogCarta() override;

    // The mark editor (the chart dialogs install one); true when the user accepted. Without
    // one, new marks are placed as created and existing marks are left as they are.
    using TMarkEditorFn = std::function<bool(QWidget *parent, TChtURLObject &mark)>;

    // ---- Properties
    TTipoFerramentaCarta Ferramenta() const { return FFerramenta; }

    void SetFerramenta(TTipoFerramentaCarta tool);

    TEscalaCarta &Escala() { return FSurface.Escala; }

    const TEscalaCarta &Escala() const { return FSurface.Escala; }

    TChartDesk &Desk() { return FDesk; }

    const TChartDesk &Desk() const { return FDesk; }

    TChtRoute *CurrentRoute() const { return FDesk.CurrentRoute(); }

    TChtTrack *CurrentTrack() const { return FDesk.CurrentTrack(); }

    const TMarcadorDePosicao &BoatMarker() const { return FBoatMarker; }

    bool Printing() const { return FPrinting; }

    bool ShowGrid() const { return FSurface.Escala.ShowGrid; }

    void SetShowGrid(bool show);

    TColor SeaColor() const { return FSurface.SeaColor; }

    TColor GridColor() const { return FSurface.GridColor; }

    TColor DefaultLandColor() const { return FSurface.DefaultLandColor; }

    TColor DefaultShoreColor() const { return FSurface.DefaultShoreColor; }

    void SetSeaColor(TColor colour);
    void SetGridColor(TColor colour);
    void SetDefaultLandColor(TColor colour);
    void SetDefaultShoreColor(TColor colour);

    // The pen colour of the drawing canvas (owners draw their overlays with it).
    TColor PenColor() const { return FSurface.PenColor(); }

    void SetPenColor(TColor colour);

    TChtTrack *GpsTrack() const { return FDesk.GpsTrack(); }

    void SetGpsTrack(TChtTrack *track);

    double TrackTime() const { return FTrackTime; }

    void SetTrackTime(double time);
    void SetNumPontosTracks(int count);

    double TrackTimeInicial() const { return FDesk.TrackTimeInicial(); }

    double TrackTimeFinal() const { return FDesk.TrackTimeFinal(); }

    bool NeedsFullRedraw() const { return FNeedsFullRedraw; }

    // ---- Drawing primitives (into the back buffer, or the page while printing)
    void DrawFrame();
    void DrawCircle(int x, int y, int r);
    void DrawText(int x, int y, const QString &text);
    void SetPixel(int x, int y, TColor colour);
    void SetViewAndClear(double latCDeg, double lonCDeg, double lonSpanDeg);
    // The drawing pass: clear, every object in order, the grid, the route and track being
    // drawn, OnRedrawChart, the boat marker; recompute after the view changed.
    void Redraw(bool clear, bool recompute);
    void DrawLine(int x1, int y1, TPenStyle style, int x2, int y2);
    void ClearBackground();
    void DrawGrid();
    TScreenPoint World2Screen(double latDeg, double lonDeg) const;
    void Screen2World(int x, int y, double &latDeg, double &lonDeg) const;

    // ---- Operations
    // Opens a vector chart (replacing, or merged after the open one). Raises EVrnError with the
    // reader's message; the chart is then unchanged. Dropped objects are reported in boxes.
    void LoadChart(const QString &fileName, bool append);

    bool IsModified() const { return FDesk.IsModified(); }

    // ---- Desktops (the file format: charts/ChartDesktop.h)
    // Replaces the desktop by the file's. Raises EVrnError "File <name> not found" (or "... is
    // not a desktop") and then nothing changes. Otherwise the desktop is in place, OnNewDesktop
    // has been raised and the view repaints; the returned lines say what could not be used (lines
    // dropped, chart images kept unloaded, and last a chart that could not be opened), for the
    // owner to show once.
    std::vector<std::string> LoadDesktop(const QString &fileName);
    // Writes the desktop (view and colours with the vector chart); raises EVrnError "Error
    // creating file <name>" and then nothing changes, the old file included.
    void SaveDesktop(const QString &fileName);
    // Makes the objects the desktop (fetched from elsewhere: no file name), with their chart
    // reference if any; returns what LoadDesktop returns. `objects` is left empty.
    std::vector<std::string> SetDesktop(
        TObjList &objects, std::unique_ptr<TChtFileObject> chartRef);
    // Reads a desktop or chart file of objects without changing the view; raises "File <name>
    // not found".
    static TDesktopFile LoadObjects(const QString &fileName);

    QString DesktopFileName() const { return QString::fromStdString(FDesk.DesktopFileName); }

    // Prints the chart on one page: objects, grid, frame and footer; raster images are rendered
    // at no more than 300 dpi while the job waits. Raises EVrnError when the job cannot be
    // started or fails; the screen state is restored in every case.
    void Print(QPrinter &printer);

    TChartHit FindObjectAt(int x, int y) { return FDesk.FindObjectAt(FSurface, x, y); }

    void FinishRoute();
    void FinishTrack();
    void SelectRoute(TChtRoute *route);
    void SelectTrack(TChtTrack *track);
    void DeleteRoute(TChtRoute *route);
    void DeleteTrack(TChtTrack *track);
    void DeleteChartImage(TChtChartImage *image);
    void ClearRoutes();
    void ClearTracks();

    bool IsRouteListed(const TChtRoute *route) const { return FDesk.IsRouteListed(route); }

    bool IsTrackListed(const TChtTrack *track) const { return FDesk.IsTrackListed(track); }

    std::string NextRouteName() const { return FDesk.NextRouteName(); }

    std::string NextTrackName() const { return FDesk.NextTrackName(); }

    // A point for a listed track or the current one (GPS positions); raises "invalid Track.".
    void AddTrackPoint(
        TChtTrack *track, const std::string &name, double latDeg, double lonDeg, double time);
    void SetBoatMarker(
        bool visible, bool showCourse, double courseDeg, double latDeg, double lonDeg);
    // The boat marker's shape (0 boat, 1 arrow, 2 triangle, 3 square) and visibility alone.
    void SetBoatMarkerShape(int shape);
    void SetBoatMarkerVisible(bool visible);
    void CenterOn(double latDeg, double lonDeg);
    void DrawLineWorld(
        TPenStyle style, double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);
    void DrawPositionMark(double latDeg, double lonDeg);
    void DrawMeridian(TPenStyle style, double lonDeg);
    void DrawParallel(TPenStyle style, double latDeg);
    void DrawLabel(const QString &text, double latDeg, double lonDeg);
    void DrawChartObjectNames();

    std::size_t ChartObjectCount() const { return FDesk.ChartObjectCount(); }

    std::size_t ChartPointCount() const { return FDesk.ChartPointCount(); }

    // Marks the picture out of date; the next paint redraws it.
    void Invalidate();

    // ---- Seams for the dialogs the tools open
    void SetNameAsker(TAskNameFn asker) { FAskName = std::move(asker); }

    void SetMarkEditor(TMarkEditorFn editor) { FMarkEditor = std::move(editor); }

    // ---- State of the rubber band and the floating labels (what is on screen)
    bool LineActive() const { return FLineActive; }

    bool RubberDrawn() const { return FRubberDrawn; }

    TScreenPoint RubberStart() const { return {FStartX, FStartY}; }

    TScreenPoint RubberEnd() const { return {FLastX, FLastY}; }

    double StartLat() const { return FStartLat; }

    double StartLon() const { return FStartLon; }

    const QLabel &MeasureHint() const { return *FMeasureHint; }

    const QLabel &NameHint() const { return *FNameHint; }

    // The back buffer as last drawn.
    const QImage &Picture() const { return FBuffer; }

signals:
    void OnRedrawChart(vrn::TLogCarta *sender);
    void OnNewDesktop(vrn::TLogCarta *sender);
    void OnRouteChanged(vrn::TChtRoute *route);
    void OnTrackChanged(vrn::TChtTrack *track);
    void OnChartMessage(vrn::TLogCarta *sender, const QString &text);
    // Declared for owners that listen to it; the control itself never raises it.
    void OnPaintChart(vrn::TLogCarta *sender);
    void OnChangeScale(vrn::TLogCarta *sender, double latCDeg, double lonCDeg);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void AttachBuffer();
    void RedrawBuffer(bool clear, bool recompute);
    void ChangeView(const std::optional<TViewCentre> &centre);
    void DrawObject(TChtObject &object, bool recompute);
    std::vector<std::string> PutDesktop(TObjList &objects, std::unique_ptr<TChtFileObject> chartRef,
        const std::string &fileName, std::vector<std::string> messages);

    void MouseDown(Qt::MouseButton button, bool shift, int x, int y);
    void MouseMove(bool shift, int x, int y);
    void MouseUp(int x, int y);
    void AddPointWithMouse(bool track, int x, int y);
    void EditObjectAt(int x, int y);
    void ShowNameAt(int x, int y);
    void ShowMeasure(bool inside, const std::string &text, int x, int y);

    // The rubber band, drawn over the buffer from this state.
    void StartBand(int x, int y);
    void MoveBand(int x, int y);
    void StopBand();
    void StartRubberBand(TChtRoute *route);
    QRect BandRect() const;
    void PaintOverlays(QPainter &painter) const;

    std::optional<std::string> AskName(const std::string &prompt, const std::string &initial);
    bool AskSave(const std::string &question);

    // Declared in destruction order: the desk's objects refer to the surface, the painter to
    // the buffer.
    QImage FBuffer;
    TPainterSurface FSurface;
    std::unique_ptr<QPainter> FBufferPainter;
    TMarcadorDePosicao FBoatMarker;
    TChartDesk FDesk;

    TTipoFerramentaCarta FFerramenta = TTipoFerramentaCarta::fcZoom;
    bool FPrinting = false;
    bool FNeedsFullRedraw = true;
    bool FBufferValid = false;
    double FTrackTime = 0;

    // The view the buffer's positions were computed for: a change forces a recompute.
    struct TViewKey
    {
        double LatC = 0, LonC = 0, LonSpan = 0;
        int Width = 0, Height = 0;

        bool operator==(const TViewKey &) const = default;
    };

    TViewKey FDrawnView;
    TViewKey CurrentViewKey() const;

    bool FLineActive = false;
    bool FRubberDrawn = false;
    double FStartLat = 0;
    double FStartLon = 0;
    int FStartX = 0;
    int FStartY = 0;
    int FLastX = 0;
    int FLastY = 0;
    bool FDragging = false;
    bool FDragMoved = false; // the drag moved the view since the button went down
    int FWheelDelta = 0; // wheel angle not yet turned into zoom steps (1/8 degree units)

    QLabel *FMeasureHint = nullptr; // children, owned by the widget
    QLabel *FNameHint = nullptr;

    TAskNameFn FAskName;
    TMarkEditorFn FMarkEditor;
};

} // namespace vrn
