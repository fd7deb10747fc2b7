// The widgets of the route and track editor and of the replay controls, and the small controls
// only they use: the list's entries, the colour palette and the highlight on the chart.

#include "apps/vrn32/RouteTrackPanelsUi.h"

#include "apps/vrn32/RouteTrackPanels.h"
#include "charts/ChartDialogs.h"
#include "charts/Dcarta.h"
#include "charts/PainterSurface.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace vrn {

// ---- List entries

TRouteListDelegate::TRouteListDelegate(const TChartDesk &desk, QObject *parent)
    : QStyledItemDelegate(parent)
    , FDesk(desk)
{ }

void TRouteListDelegate::SetIcons(std::function<QPixmap(const char *)> icons)
{
    FIcons = std::move(icons);
}

TChtRoute *TRouteListDelegate::ObjectOf(const QModelIndex &index)
{
    return reinterpret_cast<TChtRoute *>(index.data(kObjectRole).value<quintptr>());
}

void TRouteListDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The entry's object is drawn only while it is still listed.
    const TChtRoute *object = ObjectOf(index);
    if (!IsListedRouteOrTrack(FDesk, object))
        return;
    painter->save();
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, ToQColor(kClGray));
    const int midY = option.rect.center().y();
    if (FIcons) {
        const QPixmap shown = FIcons(object->Visible ? "BVISIVEL" : "BINVISIVEL");
        painter->drawPixmap(option.rect.left() + 1, midY - shown.height() / 2, shown);
        const auto *track = dynamic_cast<const TChtTrack *>(object);
        const QPixmap kind = FIcons(track ? (track->GpsTrack ? "BGPS" : "BTRACK") : "BROUTE");
        painter->drawPixmap(option.rect.left() + 12, midY - kind.height() / 2, kind);
    }
    painter->setPen(ToQColor(object->Color));
    painter->drawText(option.rect.adjusted(kNameIndent, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
        index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QSize TRouteListDelegate::sizeHint(
    const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(std::max(s.height(), 18));
    s.setWidth(s.width() + kNameIndent);
    return s;
}

// ---- Palette

namespace {

constexpr int kCell = 18;
constexpr int kColumns = 8;

} // namespace

TRouteColorGrid::TRouteColorGrid(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("GridRouteColor"));
    setToolTip(QStringLiteral("Color of the selected route or track"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TRouteColorGrid::SetCurrent(std::optional<TColor> colour)
{
    FCurrent = colour ? StandardColorIndex(*colour) : std::nullopt;
    update();
}

QRect TRouteColorGrid::CellRect(int index) const
{
    return QRect(
        1 + (index % kColumns) * kCell, 1 + (index / kColumns) * kCell, kCell - 2, kCell - 2);
}

QSize TRouteColorGrid::sizeHint() const
{
    return QSize(kColumns * kCell + 2, 2 * kCell + 2);
}

QSize TRouteColorGrid::minimumSizeHint() const
{
    return sizeHint();
}

void TRouteColorGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (int i = 0; i < static_cast<int>(kStandardColors.size()); ++i) {
        const QRect r = CellRect(i);
        p.fillRect(r, ToQColor(kStandardColors[static_cast<std::size_t>(i)]));
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (FCurrent && *FCurrent == i) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.drawRect(r.adjusted(-1, -1, 0, 0));
        }
    }
}

void TRouteColorGrid::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < static_cast<int>(kStandardColors.size()); ++i)
        if (CellRect(i).contains(event->position().toPoint())) {
            emit Clicked(kStandardColors[static_cast<std::size_t>(i)]);
            return;
        }
}

// ---- Highlight

THighlightMark::THighlightMark(QWidget *chart)
    : QWidget(chart)
{
    setObjectName(QStringLiteral("HighlightedPoint"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(2 * kRadius + 3, 2 * kRadius + 3);
    hide();
}

void THighlightMark::CentreOn(int x, int y)
{
    move(x - kRadius - 1, y - kRadius - 1);
}

QPoint THighlightMark::Centre() const
{
    return pos() + QPoint(kRadius + 1, kRadius + 1);
}

void THighlightMark::paintEvent(QPaintEvent *)
{
    // The chart's position mark: a circle of radius 4 around the point, in yellow.
    QPainter p(this);
    p.setPen(QPen(ToQColor(kClYellow), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(1, 1, 2 * kRadius + 1, 2 * kRadius + 1));
    p.setPen(ToQColor(kClYellow));
    p.drawPoint(kRadius + 1, kRadius + 1);
}

// ---- The page

namespace {

QLabel *NamedLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton *NamedButton(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(true);
    return b;
}

// Widths that hold the widest text of each column at the table's font.
void SizeColumns(QTableView &table)
{
    const QFontMetrics fm(table.font());
    const QString widest[kPointColumnCount] = {QStringLiteral("00000"),
        QStringLiteral("00°00.00'N"), QStringLiteral("000°00.00'W"), QStringLiteral("000°"),
        QStringLiteral("00000.00 "), QStringLiteral("Point name  "),
        QStringLiteral("00/00/0000 00:00:00")};
    for (int c = 0; c < kPointColumnCount; ++c) {
        const int header = fm.horizontalAdvance(
            QString::fromLatin1(PointColumnHeader(static_cast<TPointColumn>(c))));
        const int body = fm.horizontalAdvance(widest[c]);
        table.setColumnWidth(
            c, std::max({kPointColumnWidths[static_cast<std::size_t>(c)], header, body}) + 14);
    }
}

} // namespace

QSize TPointTableView::sizeHint() const
{
    const int scrollBar = verticalScrollBar()->sizeHint().width();
    return {horizontalHeader()->length() + 2 * frameWidth() + scrollBar,
        QTableView::sizeHint().height()};
}

QSize TPageScrollArea::sizeHint() const
{
    if (!widget())
        return QScrollArea::sizeHint();
    const int scrollBar = verticalScrollBar()->sizeHint().width();
    return {widget()->sizeHint().width() + 2 * frameWidth() + scrollBar,
        QScrollArea::sizeHint().height()};
}

void TRouteTrackPanels::CreatePage()
{
    // The page scrolls when the window is too low for all of it (the replay panel above the
    // chart takes its height from the editor panel).
    auto *scroll = new TPageScrollArea(FWindow);
    FPage = scroll;
    scroll->setObjectName(QStringLiteral("TabRoutesTracks"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *page = new QWidget(scroll);
    page->setObjectName(QStringLiteral("RoutesTracksContents"));

    FLRoutes = NamedLabel("LRoutes", QStringLiteral("Routes: 0"), page);
    FLTracks = NamedLabel("LTracks", QStringLiteral("Tracks: 0"), page);
    FLBRotas = new QListWidget(page);
    FLBRotas->setObjectName(QStringLiteral("LBRoutesTracks"));
    FLBRotas->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *delegate = new TRouteListDelegate(FChart.Desk(), FLBRotas);
    FLBRotas->setItemDelegate(delegate);
    FLBRotas->viewport()->installEventFilter(this);
    FLBRotas->setToolTip(QStringLiteral("Click the eye to show or hide a route or track"));
    FLBRotas->setMinimumHeight(110);

    FEdNomeRota = new QLineEdit(page);
    FEdNomeRota->setObjectName(QStringLiteral("EdNomeRota"));
    // ";" and line breaks cannot go into a desktop line; 80 characters fit it.
    FEdNomeRota->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^;\\r\\n]*")), page));
    FEdNomeRota->setMaxLength(80);
    FLNomeRota = NamedLabel("LNomeRota", QStringLiteral("Name:"), page);
    FLNomeRota->setBuddy(FEdNomeRota);
    FCBRouteVisible = new QCheckBox(QStringLiteral("Visi&ble"), page);
    FCBRouteVisible->setObjectName(QStringLiteral("CBRouteVisible"));
    FGridRouteColor = new TRouteColorGrid(page);

    FLPontos = NamedLabel("LPontos", QStringLiteral("Points:"), page);
    FLTotal = NamedLabel("LTotal", QStringLiteral("000 NM"), page);
    FLTotal->setToolTip(QStringLiteral("Length of the route or track (great circle legs)"));

    FRouteGrid = new TPointTableView(page);
    FRouteGrid->setObjectName(QStringLiteral("RouteGrid"));
    FRouteGrid->setModel(&FModel);
    FRouteGrid->setToolTip(QStringLiteral("Dbl click to edit points"));
    FRouteGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FRouteGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FRouteGrid->setEditTriggers(QAbstractItemView::EditKeyPressed);
    FRouteGrid->setWordWrap(false);
    FRouteGrid->setTabKeyNavigation(false);
    FRouteGrid->verticalHeader()->hide();
    // Fixed row heights: a table of any length is laid out without measuring its rows.
    FRouteGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FRouteGrid->verticalHeader()->setDefaultSectionSize(FRouteGrid->fontMetrics().height() + 6);
    FRouteGrid->horizontalHeader()->setHighlightSections(false);
    FRouteGrid->horizontalHeader()->setStretchLastSection(true);
    SizeColumns(*FRouteGrid);
    FRouteGrid->setMinimumHeight(160);

    FLPointText = NamedLabel("LPointText", QString(), page);
    FLLegText = NamedLabel("LLegText", QString(), page);
    for (QLabel *l : {FLPointText, FLLegText})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);

    FBDeletaRotaTrack =
        NamedButton("BDeletaRotaTrack", QStringLiteral("Delete selected route"), page);
    FBClearAllRotas = NamedButton("BClearAllRotas", QStringLiteral("Delete all routes"), page);
    FDDelPontoRota = NamedButton("DDelPontoRota", QStringLiteral("Delete selected point"), page);
    FBEditRoutePoint =
        NamedButton("BEditRoutePoint", QStringLiteral("Edit selected route/track point "), page);
    FBPrintRoute = NamedButton("BPrintRoute", QStringLiteral("Print selected route (text)"), page);
    FBSaveRoutePdf = NamedButton("BSaveRoutePdf", QStringLiteral("Save as PDF..."), page);
    FBImportGpx = NamedButton("BImportGpx", QStringLiteral("Import GPX..."), page);
    FBExportGpx = NamedButton("BExportGpx", QStringLiteral("Export selected to GPX..."), page);
    FBImportGpx->setToolTip(
        QStringLiteral("Add the routes, tracks and waypoints of a GPX file to the desktop"));
    FBExportGpx->setToolTip(QStringLiteral("Write the selected route or track to a GPX file"));

    auto *counts = new QHBoxLayout;
    counts->addWidget(FLRoutes);
    counts->addWidget(FLTracks);
    counts->addStretch();
    auto *name = new QHBoxLayout;
    name->addWidget(FLNomeRota);
    name->addWidget(FEdNomeRota, 1);
    name->addWidget(FCBRouteVisible);
    auto *colour = new QHBoxLayout;
    colour->addWidget(FGridRouteColor);
    colour->addStretch();
    auto *totals = new QHBoxLayout;
    totals->addWidget(FLPontos);
    totals->addStretch();
    totals->addWidget(FLTotal);
    auto *buttons = new QGridLayout;
    buttons->addWidget(FBDeletaRotaTrack, 0, 0);
    buttons->addWidget(FBClearAllRotas, 0, 1);
    buttons->addWidget(FDDelPontoRota, 1, 0);
    buttons->addWidget(FBEditRoutePoint, 1, 1);
    buttons->addWidget(FBPrintRoute, 2, 0);
    buttons->addWidget(FBSaveRoutePdf, 2, 1);
    buttons->addWidget(FBImportGpx, 3, 0);
    buttons->addWidget(FBExportGpx, 3, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(counts);
    layout->addWidget(FLBRotas, 1);
    layout->addLayout(name);
    layout->addLayout(colour);
    layout->addLayout(totals);
    layout->addWidget(FRouteGrid, 3);
    layout->addWidget(FLPointText);
    layout->addWidget(FLLegText);
    layout->addLayout(buttons);
    scroll->setWidget(page);

    // On the chart: the point hint (transparent, aqua until a route's colour is given) and the
    // highlight, both hidden until a point is chosen.
    FPointHint = new QLabel(&FChart);
    FPointHint->setObjectName(QStringLiteral("PointHint"));
    FPointHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    FPointHint->setAutoFillBackground(false);
    FPointHint->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(ToQColor(kClAqua).name()));
    FPointHint->hide();
    FHighlight = new THighlightMark(&FChart);
}

void TRouteTrackPanels::SetIcons(std::function<QPixmap(const char *)> icons)
{
    if (auto *d = qobject_cast<TRouteListDelegate *>(FLBRotas->itemDelegate()))
        d->SetIcons(std::move(icons));
    FLBRotas->viewport()->update();
}

// ---- The replay controls

void TRouteTrackPanels::CreateReplayControls()
{
    auto *controls = new QWidget(FWindow);
    FReplay = controls;
    controls->setObjectName(QStringLiteral("TrackAnimationControls"));

    FBUpdateTimes = NamedButton("BUpdateTimes", QStringLiteral("Update times"), controls);
    FBUpdateTimes->setToolTip(QStringLiteral("Read the times of the visible tracks"));
    FLTrackTimeIni = NamedLabel("LTrackTimeIni", QStringLiteral("00/00/0000 00:00"), controls);
    FLTrackTime = NamedLabel("LTrackTime", QStringLiteral("00/00/0000 00:00"), controls);
    FLTrackTimeFin = NamedLabel("LTrackTimeFin", QStringLiteral("00/00/0000 00:00"), controls);
    FLTrackTime->setAlignment(Qt::AlignCenter);
    for (QLabel *l : {FLTrackTimeIni, FLTrackTime, FLTrackTimeFin})
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00")));

    auto dateEdit = [controls](const char *name, const QString &hint) {
        auto *e = new QDateEdit(controls);
        e->setObjectName(QLatin1String(name));
        e->setCalendarPopup(true);
        e->setToolTip(hint);
        e->setDisplayFormat(QString::fromStdString(ShortDateFormat().Pattern()));
        e->setEnabled(false);
        return e;
    };
    FEdTrackDateIni = dateEdit("EdTrackDateIni", QStringLiteral("Select initial date"));
    FEdTrackDateFin = dateEdit("EdTrackDateFin", QStringLiteral("Select final date"));

    FBarraTrackTime = new QSlider(Qt::Horizontal, controls);
    FBarraTrackTime->setObjectName(QStringLiteral("BarraTrackTime"));
    FBarraTrackTime->setRange(0, kReplaySliderMax);
    FBarraTrackTime->setPageStep(100);
    FBarraTrackTime->setMinimumWidth(240);
    FBarraTrackTime->setToolTip(QStringLiteral("Replay time"));

    FBRewind = NamedButton("BRewind", QStringLiteral("Rewind"), controls);
    FBStop = NamedButton("BStop", QStringLiteral("Stop"), controls);
    FBPlay = NamedButton("BPlay", QStringLiteral("Play"), controls);
    FBFastForward = NamedButton("BFastForward", QStringLiteral("Fast Forward"), controls);

    FTrackTimeTimerSpeed = new QSlider(Qt::Horizontal, controls);
    FTrackTimeTimerSpeed->setObjectName(QStringLiteral("TrackTimeTimerSpeed"));
    FTrackTimeTimerSpeed->setRange(1, 100);
    FTrackTimeTimerSpeed->setValue(30);
    FTrackTimeTimerSpeed->setToolTip(QStringLiteral("Animation speed"));
    FTrackTimeTimerSpeed->setMinimumWidth(100);
    auto *slow = NamedLabel("LSlow", QStringLiteral("Slow"), controls);
    auto *fast = NamedLabel("LFast", QStringLiteral("Fast"), controls);

    FEdNumPontos = new QSpinBox(controls);
    FEdNumPontos->setObjectName(QStringLiteral("EdNumPontos"));
    FEdNumPontos->setRange(0, 99);
    FEdNumPontos->setToolTip(QStringLiteral("number of visible points (0=all)"));
    auto *points = NamedLabel("LNumPontos", QStringLiteral("Points:"), controls);
    points->setBuddy(FEdNumPontos);

    FTimerTrackTime = new QTimer(this);
    FTimerTrackTime->setObjectName(QStringLiteral("TimerTrackTime"));
    FTimerTrackTime->setInterval(100);

    auto *grid = new QGridLayout(controls);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->addWidget(FBUpdateTimes, 0, 0);
    grid->addWidget(FLTrackTimeIni, 0, 1);
    grid->addWidget(FLTrackTime, 0, 2, 1, 3);
    grid->addWidget(FLTrackTimeFin, 0, 5);
    grid->addWidget(FEdTrackDateIni, 1, 1);
    grid->addWidget(FBarraTrackTime, 1, 2, 1, 3);
    grid->addWidget(FEdTrackDateFin, 1, 5);
    auto *transport = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(FBRewind), static_cast<QWidget *>(FBStop),
             static_cast<QWidget *>(FBPlay), static_cast<QWidget *>(FBFastForward)})
        transport->addWidget(w);
    transport->addSpacing(12);
    transport->addWidget(slow);
    transport->addWidget(FTrackTimeTimerSpeed);
    transport->addWidget(fast);
    transport->addSpacing(12);
    transport->addWidget(points);
    transport->addWidget(FEdNumPontos);
    transport->addStretch();
    grid->addLayout(transport, 2, 0, 1, 6);
    grid->setColumnStretch(3, 1);
}

} // namespace vrn
