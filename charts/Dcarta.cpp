#include "charts/Dcarta.h"

#include "charts/ChartDialogs.h"
#include "charts/ZoomMaker.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"
#include "ui/Clock.h"
#include "ui/DocumentOpener.h"
#include "ui/MessageBoxes.h"

#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QResizeEvent>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>

namespace vrn {

namespace {

// Raster charts go to paper at no more than this resolution (dots per inch).
constexpr double kMaxPrintDpi = 300;
constexpr const char *kMakerWebAddress = "www.pelvarq.com";

// The "ZOOM" cursor: a magnifying glass whose lens centre is the hot spot.
QCursor ZoomCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QRectF(3, 3, 16, 16));
    p.drawLine(QPointF(17, 17), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QRectF(3, 3, 16, 16));
    p.drawLine(QPointF(17, 17), QPointF(28, 28));
    p.end();
    return QCursor(pm, 11, 11);
}

// The "MEASURE" cursor: a thin cross with a divider's open legs.
QCursor MeasureCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (const auto &[colour, width] : {std::pair {Qt::white, 3}, std::pair {Qt::black, 1}}) {
        p.setPen(QPen(colour, width));
        p.drawLine(8, 0, 8, 16);
        p.drawLine(0, 8, 16, 8);
        p.drawLine(8, 8, 20, 30);
        p.drawLine(8, 8, 30, 20);
    }
    p.end();
    return QCursor(pm, 8, 8);
}

QCursor CursorFor(TTipoFerramentaCarta tool)
{
    switch (tool) {
    case TTipoFerramentaCarta::fcZoom:
        return ZoomCursor();
    case TTipoFerramentaCarta::fcMeasure:
        return MeasureCursor();
    case TTipoFerramentaCarta::fcObjects:
    case TTipoFerramentaCarta::fcPointName:
        return Qt::ArrowCursor;
    case TTipoFerramentaCarta::fcHandDrag:
        return Qt::SizeAllCursor;
    case TTipoFerramentaCarta::fcRoute:
    case TTipoFerramentaCarta::fcTrack:
        break;
    }
    return Qt::CrossCursor;
}

QLabel *MakeHint(QWidget *parent, TColor textColour)
{
    auto *label = new QLabel(parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAutoFillBackground(false);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ToQColor(textColour));
    label->setPalette(pal);
    label->hide();
    return label;
}

void SetHintColour(QLabel &label, TColor colour)
{
    QPalette pal = label.palette();
    if (pal.color(QPalette::WindowText) != ToQColor(colour)) {
        pal.setColor(QPalette::WindowText, ToQColor(colour));
        label.setPalette(pal);
    }
}

// GMT now as a date-time day count; hand-drawn track points are stamped like GPS points.
double GmtNow()
{
    const QDateTime utc = UtcNow();
    const QDate d = utc.date();
    const QTime t = utc.time();
    return EncodeDate(d.year(), d.month(), d.day()) + (t.msecsSinceStartOfDay() / 1000.0) / 86400.0;
}

QString FromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

TLogCarta::TLogCarta(QWidget *parent)
    : QWidget(parent)
    , FBoatMarker(&FSurface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(CursorFor(FFerramenta));
    FSurface.SetRenderLauncher(&TZoomMakerThreadManager::Instance());
    FSurface.SetInvalidateHandler([this] { Invalidate(); });
    FMeasureHint = MakeHint(this, kClYellow);
    FNameHint = MakeHint(this, kClAqua);
    FAskName = [this](const std::string &prompt, const std::string &initial) {
        return AskName(prompt, initial);
    };
    AttachBuffer();
}

TLogCarta::~TLogCarta()
{
    FSurface.Detach();
}

// ---- Back buffer --------------------------------------------------------------------------

void TLogCarta::AttachBuffer()
{
    FSurface.Detach();
    FBufferPainter.reset();
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (FBuffer.width() != w || FBuffer.height() != h) {
        FBuffer = QImage(w, h, QImage::Format_RGB32);
        FBuffer.fill(ToQColor(FSurface.SeaColor));
    }
    FBufferPainter = std::make_unique<QPainter>(&FBuffer);
    FSurface.Attach(FBufferPainter.get(), width(), height(), &FBuffer);
}

TLogCarta::TViewKey TLogCarta::CurrentViewKey() const
{
    const TEscalaCarta &e = FSurface.Escala;
    return {e.LatC, e.LonC, e.LonSpan, FSurface.ClientWidth(), FSurface.ClientHeight()};
}

void TLogCarta::Invalidate()
{
    FBufferValid = false;
    update();
}

void TLogCarta::RedrawBuffer(bool clear, bool recompute)
{
    if (FPrinting)
        return;
    recompute = recompute || !(FDrawnView == CurrentViewKey());
    FDrawnView = CurrentViewKey();
    if (clear)
        ClearBackground();
    FSurface.SetPen(kClBlack, 1, TPenStyle::Solid);
    FDesk.DrawListed(FSurface, recompute);
    DrawGrid();
    FDesk.DrawCurrent(FSurface, recompute);
    emit OnRedrawChart(this);
    // The whole buffer was repainted: what the marker saved under itself is gone.
    FBoatMarker.ForgetBackground();
    if (FBoatMarker.Visible)
        FBoatMarker.Draw(FSurface, true);
    FBufferValid = true;
    FRubberDrawn = false;
    if (FLineActive && recompute && FFerramenta == TTipoFerramentaCarta::fcMeasure) {
        const TScreenPoint p = World2Screen(FStartLat, FStartLon);
        FStartX = p.X;
        FStartY = p.Y;
        FLastX = p.X;
        FLastY = p.Y;
        FRubberDrawn = true;
    }
    if (FFerramenta == TTipoFerramentaCarta::fcRoute)
        StartRubberBand(FDesk.CurrentRoute());
    else if (FFerramenta == TTipoFerramentaCarta::fcTrack)
        StartRubberBand(FDesk.CurrentTrack());
}

void TLogCarta::Redraw(bool clear, bool recompute)
{
    RedrawBuffer(clear, recompute);
    update();
}

void TLogCarta::paintEvent(QPaintEvent *event)
{
    try {
        if (!FBufferValid && !FPrinting) {
            RedrawBuffer(true, FNeedsFullRedraw);
            FNeedsFullRedraw = false;
        }
    } catch (const std::exception &e) {
        // Nothing may leave a paint event; the picture stays as far as it got.
        qWarning("Chart drawing failed: %s", e.what());
        FBufferValid = true;
    } catch (...) {
        qWarning("Chart drawing failed");
        FBufferValid = true;
    }
    QPainter p(this);
    p.drawImage(event->rect(), FBuffer, event->rect());
    PaintOverlays(p);
}

void TLogCarta::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    AttachBuffer();
    FSurface.Escala.SetupForScreen();
    FNeedsFullRedraw = true;
    Invalidate();
}

// ---- Properties ---------------------------------------------------------------------------

void TLogCarta::SetFerramenta(TTipoFerramentaCarta tool)
{
    if (tool == FFerramenta)
        return;
    const TTipoFerramentaCarta previous = FFerramenta;
    setCursor(CursorFor(tool));
    FFerramenta = tool;
    FMeasureHint->setVisible(tool == TTipoFerramentaCarta::fcMeasure);
    FNameHint->hide();
    StopBand();
    if (tool == TTipoFerramentaCarta::fcRoute)
        StartRubberBand(FDesk.CurrentRoute());
    else if (tool == TTipoFerramentaCarta::fcTrack)
        StartRubberBand(FDesk.CurrentTrack());
    if (previous == TTipoFerramentaCarta::fcRoute || previous == TTipoFerramentaCarta::fcTrack)
        Invalidate();
}

void TLogCarta::SetShowGrid(bool show)
{
    if (show == FSurface.Escala.ShowGrid)
        return;
    FSurface.Escala.ShowGrid = show;
    Invalidate();
}

void TLogCarta::SetSeaColor(TColor colour)
{
    if (colour == FSurface.SeaColor)
        return;
    FSurface.SeaColor = colour;
    Invalidate();
}

void TLogCarta::SetGridColor(TColor colour)
{
    if (colour == FSurface.GridColor)
        return;
    FSurface.GridColor = colour;
    Invalidate();
}

void TLogCarta::SetDefaultLandColor(TColor colour)
{
    if (colour == FSurface.DefaultLandColor)
        return;
    FSurface.DefaultLandColor = colour;
    FDesk.ApplyLandColor(colour);
    Invalidate();
}

void TLogCarta::SetDefaultShoreColor(TColor colour)
{
    if (colour == FSurface.DefaultShoreColor)
        return;
    FSurface.DefaultShoreColor = colour;
    FDesk.ApplyShoreColor(colour);
    Invalidate();
}

void TLogCarta::SetPenColor(TColor colour)
{
    FSurface.SetPen(colour, FSurface.PenWidth());
}

void TLogCarta::SetGpsTrack(TChtTrack *track)
{
    FDesk.SetGpsTrack(track);
    if (track && FDesk.IsTrackListed(track))
        emit OnTrackChanged(track);
}

void TLogCarta::SetTrackTime(double time)
{
    if (time == FTrackTime)
        return;
    FTrackTime = time;
    FDesk.SetTimeLimits(time);
    // Incremental replay on the unchanged picture: each track erases and extends itself.
    for (const auto &t : FDesk.Tracks)
        if (t->Visible)
            t->Draw(FSurface, false);
    for (const auto &obj : FDesk.OtherObjects)
        obj->Draw(FSurface, false);
    update();
}

void TLogCarta::SetNumPontosTracks(int count)
{
    FDesk.SetNumPontosTracks(count);
}

// ---- Primitives ---------------------------------------------------------------------------

void TLogCarta::DrawFrame()
{
    FSurface.DrawFrame();
    update();
}

void TLogCarta::DrawCircle(int x, int y, int r)
{
    FSurface.DrawCircle(x, y, r);
    update();
}

void TLogCarta::DrawText(int x, int y, const QString &text)
{
    FSurface.DrawText(x, y, text.toStdString());
    update();
}

void TLogCarta::SetPixel(int x, int y, TColor colour)
{
    FSurface.SetPixel(x, y, colour);
    update();
}

void TLogCarta::SetViewAndClear(double latCDeg, double lonCDeg, double lonSpanDeg)
{
    FSurface.Escala.SetView(latCDeg, lonCDeg, lonSpanDeg);
    ClearBackground();
    DrawFrame();
    // The objects' screen positions belong to the old view.
    FNeedsFullRedraw = true;
    emit OnChangeScale(this, latCDeg, lonCDeg);
    Invalidate();
}

void TLogCarta::DrawLine(int x1, int y1, TPenStyle style, int x2, int y2)
{
    FSurface.DrawLine(x1, y1, style, x2, y2);
    update();
}

void TLogCarta::ClearBackground()
{
    FSurface.ClearBackground();
    update();
}

void TLogCarta::DrawGrid()
{
    FSurface.DrawGrid();
    update();
}

TScreenPoint TLogCarta::World2Screen(double latDeg, double lonDeg) const
{
    return FSurface.Escala.World2Screen(latDeg, lonDeg);
}

void TLogCarta::Screen2World(int x, int y, double &latDeg, double &lonDeg) const
{
    FSurface.Escala.Screen2World(x, y, latDeg, lonDeg);
}

void TLogCarta::DrawLineWorld(
    TPenStyle style, double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg)
{
    FSurface.DrawLineWorld(style, lat1Deg, lon1Deg, lat2Deg, lon2Deg);
    update();
}

void TLogCarta::DrawPositionMark(double latDeg, double lonDeg)
{
    FSurface.DrawPositionMark(latDeg, lonDeg);
    update();
}

void TLogCarta::DrawMeridian(TPenStyle style, double lonDeg)
{
    FSurface.DrawMeridian(style, lonDeg);
    update();
}

void TLogCarta::DrawParallel(TPenStyle style, double latDeg)
{
    FSurface.DrawParallel(style, latDeg);
    update();
}

void TLogCarta::DrawLabel(const QString &text, double latDeg, double lonDeg)
{
    FSurface.DrawLabel(text.toStdString(), latDeg, lonDeg);
    update();
}

void TLogCarta::DrawChartObjectNames()
{
    if (FDesk.ChartObjects)
        for (const auto &obj : *FDesk.ChartObjects)
            obj->DrawName(FSurface);
    update();
}

void TLogCarta::DrawObject(TChtObject &object, bool recompute)
{
    FSurface.SetPen(FSurface.PenColor(), 1, TPenStyle::Solid);
    object.Draw(FSurface, recompute);
    update();
}

// ---- Operations ---------------------------------------------------------------------------

void TLogCarta::LoadChart(const QString &fileName, bool append)
{
    const auto messages = FDesk.LoadChart(
        fileName.toStdString(), append, FSurface.DefaultLandColor, FSurface.DefaultShoreColor);
    FNeedsFullRedraw = true;
    Invalidate();
    for (const auto &m : messages)
        ShowMessage(this, FromUtf8(m.Text));
}

std::vector<std::string> TLogCarta::PutDesktop(TObjList &objects,
    std::unique_ptr<TChtFileObject> chartRef, const std::string &fileName,
    std::vector<std::string> messages)
{
    StopBand();
    const TDesktopApplied applied = ApplyDesktop(FDesk, objects, std::move(chartRef));
    FDesk.DesktopFileName = fileName;
    if (applied.Chart) {
        // The desktop's colours replace the view's (its defaults where it sets none), and its
        // view is shown even when its chart could not be opened, so its routes are where they
        // belong.
        const TDesktopChart &c = *applied.Chart;
        FSurface.SeaColor = c.Colors.Sea;
        FSurface.GridColor = c.Colors.Grid;
        FSurface.DefaultLandColor = c.Colors.Land;
        FSurface.DefaultShoreColor = c.Colors.Shore;
        FSurface.Escala.SetView(c.LatC, c.LonC, c.LonSpan);
        emit OnChangeScale(this, FSurface.Escala.LatC, FSurface.Escala.LonC);
    }
    emit OnNewDesktop(this);
    FNeedsFullRedraw = true;
    Invalidate();
    messages.insert(messages.end(), applied.Messages.begin(), applied.Messages.end());
    if (applied.ChartError)
        messages.push_back(*applied.ChartError);
    return messages;
}

std::vector<std::string> TLogCarta::LoadDesktop(const QString &fileName)
{
    const std::string name = fileName.toStdString();
    TDesktopFile file = ReadDesktopFile(name);
    return PutDesktop(file.Objects, std::move(file.ChartRef), name, std::move(file.Messages));
}

std::vector<std::string> TLogCarta::SetDesktop(
    TObjList &objects, std::unique_ptr<TChtFileObject> chartRef)
{
    return PutDesktop(objects, std::move(chartRef), std::string(), {});
}

TDesktopFile TLogCarta::LoadObjects(const QString &fileName)
{
    return ReadDesktopFile(fileName.toStdString());
}

void TLogCarta::SaveDesktop(const QString &fileName)
{
    std::optional<TDesktopChart> chart;
    if (!FDesk.ChartFileName.empty()) {
        const TEscalaCarta &e = FSurface.Escala;
        chart = TDesktopChart {FDesk.ChartFileName, e.LatC, e.LonC, e.LonSpan,
            {FSurface.SeaColor, FSurface.GridColor, FSurface.DefaultLandColor,
                FSurface.DefaultShoreColor}};
    }
    SaveDesktopFile(FDesk, fileName.toStdString(), chart);
}

void TLogCarta::Print(QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw EVrnError("The print job could not be started.");

    // Whatever happens, the screen gets its canvas, scale and a fresh picture back (raster
    // images are rendered again for the screen).
    struct TRestore
    {
        TLogCarta &View;

        ~TRestore()
        {
            View.FPrinting = false;
            View.AttachBuffer();
            View.FSurface.Escala.SetupForScreen();
            View.FNeedsFullRedraw = true;
            View.Invalidate();
        }
    } restore {*this};

    bool ok = false;
    try {
        // Drawn in page units of at most 300 dpi, scaled to the device: vector lines stay sharp
        // and the raster render of a page stays a few million pixels.
        const double deviceDpi = printer.resolution();
        const double factor = std::max(1.0, deviceDpi / kMaxPrintDpi);
        const double pageDpi = deviceDpi / factor;
        const int w = static_cast<int>(painter.device()->width() / factor);
        const int h = static_cast<int>(painter.device()->height() / factor);
        painter.scale(factor, factor);
        FPrinting = true;
        FSurface.Attach(&painter, w, h, nullptr, true);
        FSurface.Escala.SetupForPrinter(w, h);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(8 * pageDpi / 72))));
        painter.setFont(font);
        FSurface.SetPen(kClBlack, 1, TPenStyle::Solid);
        FDesk.DrawListed(FSurface, true);
        FSurface.DrawGrid();
        FSurface.SetPen(kClBlack, 1, TPenStyle::Solid);
        FSurface.SetBrush(kClWhite, TBrushStyle::Clear);
        FSurface.DrawFrame();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(6 * pageDpi / 72))));
        painter.setFont(font);
        const QString footer =
            QStringLiteral(" Varunel - %1 ").arg(QLatin1String(kMakerWebAddress));
        const QFontMetrics fm(font, painter.device());
        const int tw = fm.horizontalAdvance(footer);
        const int th = fm.height();
        FSurface.TextOut(w - tw - 20, h - th - 5, footer.toStdString(), kClBlack);
        FSurface.Detach();
        ok = painter.end();
    } catch (...) {
        FSurface.Detach();
        printer.abort();
        if (painter.isActive())
            painter.end();
        throw;
    }
    if (!ok)
        throw EVrnError("The chart could not be printed.");
}

void TLogCarta::FinishRoute()
{
    const auto result = FDesk.FinishRoute(FAskName);
    StopBand();
    if (result.Added)
        emit OnRouteChanged(result.Added);
    if (result.Redraw)
        Invalidate();
}

void TLogCarta::FinishTrack()
{
    const auto result = FDesk.FinishTrack(FAskName);
    StopBand();
    if (result.Added)
        emit OnTrackChanged(result.Added);
    if (result.Redraw)
        Invalidate();
}

bool TLogCarta::AskSave(const std::string &question)
{
    return AskYesNo(this, FromUtf8(question));
}

void TLogCarta::SelectRoute(TChtRoute *route)
{
    TFinishResult<TChtRoute> finished;
    if (!FDesk.SelectRoute(
            route, [this](const std::string &q) { return AskSave(q); }, FAskName, finished))
        return;
    if (finished.Added)
        emit OnRouteChanged(finished.Added);
    StopBand();
    if (FFerramenta == TTipoFerramentaCarta::fcRoute)
        StartRubberBand(route);
    Invalidate();
}

void TLogCarta::SelectTrack(TChtTrack *track)
{
    TFinishResult<TChtTrack> finished;
    if (!FDesk.SelectTrack(
            track, [this](const std::string &q) { return AskSave(q); }, FAskName, finished))
        return;
    if (finished.Added)
        emit OnTrackChanged(finished.Added);
    StopBand();
    if (FFerramenta == TTipoFerramentaCarta::fcTrack)
        StartRubberBand(track);
    Invalidate();
}

void TLogCarta::DeleteRoute(TChtRoute *route)
{
    if (FDesk.DeleteRoute(route)) {
        StopBand();
        Invalidate();
    }
}

void TLogCarta::DeleteTrack(TChtTrack *track)
{
    if (FDesk.DeleteTrack(track)) {
        StopBand();
        Invalidate();
    }
}

void TLogCarta::DeleteChartImage(TChtChartImage *image)
{
    if (FDesk.DeleteChartImage(image))
        Invalidate();
}

void TLogCarta::ClearRoutes()
{
    FDesk.ClearRoutes();
    StopBand();
    Invalidate();
}

void TLogCarta::ClearTracks()
{
    FDesk.ClearTracks();
    StopBand();
    Invalidate();
}

void TLogCarta::AddTrackPoint(
    TChtTrack *track, const std::string &name, double latDeg, double lonDeg, double time)
{
    FDesk.AddTrackPoint(track, name, latDeg, lonDeg, time);
    emit OnTrackChanged(track);
    DrawObject(*track, true);
}

void TLogCarta::SetBoatMarker(
    bool visible, bool showCourse, double courseDeg, double latDeg, double lonDeg)
{
    FBoatMarker.SetVisible(visible);
    if (visible)
        FBoatMarker.SetPosition(latDeg, lonDeg);
    FBoatMarker.SetShowCourse(showCourse);
    if (showCourse)
        FBoatMarker.SetCourse(courseDeg);
    update();
}

void TLogCarta::SetBoatMarkerShape(int shape)
{
    FBoatMarker.SetShape(shape);
    update();
}

void TLogCarta::SetBoatMarkerVisible(bool visible)
{
    FBoatMarker.SetVisible(visible);
    update();
}

void TLogCarta::CenterOn(double latDeg, double lonDeg)
{
    FSurface.Escala.SetView(latDeg, lonDeg, FSurface.Escala.LonSpan);
    emit OnChangeScale(this, latDeg, lonDeg);
    Redraw(true, true);
}

void TLogCarta::ChangeView(const std::optional<TViewCentre> &centre)
{
    if (!centre)
        return;
    emit OnChangeScale(this, centre->LatDeg, centre->LonDeg);
    Redraw(true, true);
}

// ---- Rubber band --------------------------------------------------------------------------

QRect TLogCarta::BandRect() const
{
    if (!FLineActive && !FRubberDrawn)
        return {};
    // The cross reaches 3 and 4 pixels from the start; lines are one pixel wide.
    QRect r = QRect(QPoint(FStartX - 4, FStartY - 4), QPoint(FStartX + 5, FStartY + 5));
    if (FRubberDrawn)
        r |= QRect(QPoint(std::min(FStartX, FLastX) - 2, std::min(FStartY, FLastY) - 2),
            QPoint(std::max(FStartX, FLastX) + 2, std::max(FStartY, FLastY) + 2));
    return r;
}

void TLogCarta::StartBand(int x, int y)
{
    update(BandRect());
    FLineActive = true;
    FRubberDrawn = true;
    FStartX = FLastX = x;
    FStartY = FLastY = y;
    update(BandRect());
}

void TLogCarta::MoveBand(int x, int y)
{
    const QRect before = BandRect();
    FLastX = x;
    FLastY = y;
    FRubberDrawn = true;
    update(before | BandRect());
}

void TLogCarta::StopBand()
{
    update(BandRect());
    FLineActive = false;
    FRubberDrawn = false;
}

void TLogCarta::StartRubberBand(TChtRoute *route)
{
    const TChtPoint *last = route ? route->LastPoint() : nullptr;
    if (!last || !FSurface.Escala.IsUsable())
        return;
    FStartLat = last->Lat;
    FStartLon = last->Lon;
    const TScreenPoint p = World2Screen(last->Lat, last->Lon);
    StartBand(p.X, p.Y);
}

void TLogCarta::PaintOverlays(QPainter &painter) const
{
    if (!FLineActive && !FRubberDrawn)
        return;
    // The cross is XOR-ed with yellow and the band inverts what it crosses, so both show on any
    // colour; where the device has no raster operations they are plain yellow.
    const bool rasterOps = painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (FLineActive) {
        if (rasterOps)
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(ToQColor(kClYellow), 1));
        painter.drawLine(FStartX - 3, FStartY, FStartX + 3, FStartY);
        painter.drawLine(FStartX, FStartY - 3, FStartX, FStartY + 3);
    }
    if (FRubberDrawn) {
        if (rasterOps)
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(ToQColor(kClYellow), 1));
        painter.drawLine(FStartX, FStartY, FLastX, FLastY);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---- Mouse and keys -----------------------------------------------------------------------

void TLogCarta::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    RunCommand(this, [&] { MouseDown(event->button(), shift, p.x(), p.y()); });
}

void TLogCarta::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    RunCommand(this, [&] { MouseMove(shift, p.x(), p.y()); });
}

void TLogCarta::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    RunCommand(this, [&] { MouseUp(p.x(), p.y()); });
}

void TLogCarta::wheelEvent(QWheelEvent *event)
{
    // Fine-grained wheels and touch pads send fractions of a 120-unit notch.
    FWheelDelta += event->angleDelta().y();
    const int steps = FWheelDelta / 120;
    FWheelDelta -= steps * 120;
    event->accept();
    if (steps == 0)
        return;
    const QPoint p = event->position().toPoint();
    RunCommand(this, [&] {
        std::optional<TViewCentre> centre;
        for (int i = 0; i < std::abs(steps); ++i)
            if (auto c = ZoomKeepingPixel(FSurface.Escala, p.x(), p.y(), steps < 0))
                centre = c;
        ChangeView(centre);
    });
}

void TLogCarta::keyPressEvent(QKeyEvent *event)
{
    TEscalaCarta &e = FSurface.Escala;
    auto zoom = [&](bool out) {
        return ZoomAtPixel(e, FSurface.ClientWidth() / 2, FSurface.ClientHeight() / 2, out);
    };
    auto pan = [&](int west, int north) -> std::optional<TViewCentre> {
        if (!PanByQuarters(e, west, north))
            return std::nullopt;
        return TViewCentre {e.LatC, e.LonC};
    };
    std::optional<TViewCentre> centre;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        centre = zoom(false);
        break;
    case Qt::Key_Minus:
        centre = zoom(true);
        break;
    case Qt::Key_Left:
        centre = pan(1, 0);
        break;
    case Qt::Key_Right:
        centre = pan(-1, 0);
        break;
    case Qt::Key_Up:
        centre = pan(0, 1);
        break;
    case Qt::Key_Down:
        centre = pan(0, -1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    RunCommand(this, [&] { ChangeView(centre); });
}

void TLogCarta::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    FMeasureHint->hide();
    FNameHint->hide();
}

void TLogCarta::MouseDown(Qt::MouseButton button, bool shift, int x, int y)
{
    if (!FSurface.Escala.IsUsable())
        return;
    switch (FFerramenta) {
    case TTipoFerramentaCarta::fcZoom:
        ChangeView(ZoomAtPixel(FSurface.Escala, x, y, shift || button == Qt::RightButton));
        break;
    case TTipoFerramentaCarta::fcMeasure:
        Screen2World(x, y, FStartLat, FStartLon);
        FMeasureHint->show();
        StartBand(x, y);
        break;
    case TTipoFerramentaCarta::fcRoute:
    case TTipoFerramentaCarta::fcTrack: {
        const bool track = FFerramenta == TTipoFerramentaCarta::fcTrack;
        if (button == Qt::RightButton) {
            StopBand();
            track ? FinishTrack() : FinishRoute();
        } else {
            AddPointWithMouse(track, x, y);
        }
        break;
    }
    case TTipoFerramentaCarta::fcObjects:
        EditObjectAt(x, y);
        break;
    case TTipoFerramentaCarta::fcPointName: {
        const TChartHit hit = FindObjectAt(x, y);
        auto *mark = dynamic_cast<TChtURLObject *>(hit.Object);
        if (!mark || hit.Point || mark->URL.empty())
            break;
        // A desktop from elsewhere could point a mark at a local program or a script.
        if (const auto address = MarkLinkAddress(mark->URL))
            OpenDocument(QUrl(FromUtf8(*address), QUrl::TolerantMode));
        else
            ShowMessage(this,
                QStringLiteral("The link %1 is not a web address (http:// or https://) and is not "
                               "opened.")
                    .arg(FromUtf8(mark->URL)));
        break;
    }
    case TTipoFerramentaCarta::fcHandDrag:
        FStartX = x;
        FStartY = y;
        FDragging = true;
        break;
    }
}

void TLogCarta::AddPointWithMouse(bool track, int x, int y)
{
    double lat = 0, lon = 0;
    Screen2World(x, y, lat, lon);
    TChtRoute *route = nullptr;
    if (track) {
        if (FDesk.AddCurrentTrackPoint(lat, lon, GmtNow()))
            emit OnTrackChanged(FDesk.CurrentTrack());
        route = FDesk.CurrentTrack();
    } else {
        if (FDesk.AddCurrentRoutePoint(lat, lon))
            emit OnRouteChanged(FDesk.CurrentRoute());
        route = FDesk.CurrentRoute();
    }
    DrawObject(*route, true);
    FStartLat = lat;
    FStartLon = lon;
    StartBand(x, y);
}

void TLogCarta::EditObjectAt(int x, int y)
{
    const TChartHit hit = FindObjectAt(x, y);
    if (auto *mark = dynamic_cast<TChtURLObject *>(hit.Object); mark && !hit.Point) {
        if (FMarkEditor && FMarkEditor(this, *mark)) {
            FDesk.OtherObjectsModified = true;
            DrawObject(*mark, true);
        }
        return;
    }
    double lat = 0, lon = 0;
    Screen2World(x, y, lat, lon);
    DrawPositionMark(lat, lon);
    auto mark = std::make_unique<TChtURLObject>("", "HAND", "Untitled", 0.1, lat, lon);
    if (!FMarkEditor || FMarkEditor(this, *mark)) {
        TChtObject *added = FDesk.OtherObjects.Add(std::move(mark));
        FDesk.OtherObjectsModified = true;
        DrawObject(*added, true);
    } else {
        Invalidate();
    }
}

void TLogCarta::MouseMove(bool shift, int x, int y)
{
    if (!FSurface.Escala.IsUsable())
        return;
    const bool measuring = FFerramenta == TTipoFerramentaCarta::fcMeasure;
    const bool inside = x > 0 && x < width() && y > 0 && y < height();
    if (FLineActive && shift) {
        const TScreenPoint snapped = SnapLine({FStartX, FStartY}, {x, y});
        x = snapped.X;
        y = snapped.Y;
    }
    double lat = 0, lon = 0;
    Screen2World(x, y, lat, lon);
    if (FLineActive)
        MoveBand(x, y);
    std::optional<std::string> text;
    if (measuring) {
        text = FLineActive ? MeasureText(FStartLat, FStartLon, lat, lon)
                           : CursorPositionText(lat, lon);
        ShowMeasure(inside, *text, x, y);
    }
    if (FFerramenta == TTipoFerramentaCarta::fcPointName)
        ShowNameAt(x, y);
    if (FFerramenta == TTipoFerramentaCarta::fcHandDrag && FDragging) {
        if (DragView(FSurface.Escala, x - FStartX, y - FStartY)) {
            FDragMoved = true;
            Redraw(true, true);
            FStartX = x;
            FStartY = y;
        }
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&TLogCarta::OnChartMessage))) {
        if (!text)
            text = CursorPositionText(lat, lon);
        emit OnChartMessage(this, FromUtf8(*text));
    }
}

void TLogCarta::ShowMeasure(bool inside, const std::string &text, int x, int y)
{
    if (!inside) {
        FMeasureHint->hide();
        return;
    }
    FMeasureHint->setText(FromUtf8(text));
    FMeasureHint->adjustSize();
    const TScreenPoint p =
        PlaceMeasureLabel(x, y, FMeasureHint->width(), FMeasureHint->height(), width());
    FMeasureHint->move(p.X, p.Y);
    FMeasureHint->show();
}

void TLogCarta::ShowNameAt(int x, int y)
{
    const TChartHit hit = FindObjectAt(x, y);
    FNameHint->hide();
    setCursor(Qt::ArrowCursor);
    if (!hit)
        return;
    const std::string &name = hit.Point ? hit.Point->Name : hit.Object->Name;
    if (name.empty())
        return;
    const auto *route = dynamic_cast<const TChtRoute *>(hit.Object);
    SetHintColour(*FNameHint, route ? route->Color : kClAqua);
    FNameHint->setText(FromUtf8(name));
    FNameHint->adjustSize();
    FNameHint->move(x + 10, y + 2);
    FNameHint->show();
}

void TLogCarta::MouseUp(int, int)
{
    if (FFerramenta == TTipoFerramentaCarta::fcMeasure && FLineActive) {
        FMeasureHint->hide();
        StopBand();
    }
    if (FFerramenta == TTipoFerramentaCarta::fcHandDrag && FDragging) {
        FDragging = false;
        // The owner follows the new centre once, when the hand lets go.
        if (FDragMoved)
            emit OnChangeScale(this, FSurface.Escala.LatC, FSurface.Escala.LonC);
        FDragMoved = false;
    }
}

// ---- Dialogs ------------------------------------------------------------------------------

std::optional<std::string> TLogCarta::AskName(const std::string &prompt, const std::string &initial)
{
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, QStringLiteral("Edit"), FromUtf8(prompt), QLineEdit::Normal, FromUtf8(initial), &ok);
    if (!ok)
        return std::nullopt;
    return name.toStdString();
}

} // namespace vrn
