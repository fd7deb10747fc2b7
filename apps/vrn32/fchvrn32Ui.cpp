// The chart viewer's widgets: menus, tool panels, the chart with its scroll bars and the editor
// panel. The handlers are in fchvrn32.cpp.

#include "apps/vrn32/ChartViewerIcons.h"
#include "apps/vrn32/ChartViewerPeers.h"
#include "apps/vrn32/fchvrn32.h"
#include "charts/Dcarta.h"
#include "charts/PainterSurface.h"
#include "charts/ZoomMaker.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QDockWidget>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace vrn {

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

// Chart image entries: grey when selected, the visible or hidden icon at the left, the
// description in white 15 pixels from the left, on the sea colour of the list.
class TChartImageDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        painter->save();
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, ToQColor(kClGray));
        const bool visible = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        const QPixmap icon = ChartViewerIcon(visible ? "BVISIVEL" : "BINVISIVEL");
        painter->drawPixmap(
            option.rect.left() + 1, option.rect.center().y() - icon.height() / 2, icon);
        painter->setPen(Qt::white);
        painter->drawText(option.rect.adjusted(15, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
            index.data(Qt::DisplayRole).toString());
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(Qt::white, 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(s.height(), 18));
        s.setWidth(s.width() + 16);
        return s;
    }
};

} // namespace

void TFormCartaVrn::CreateWidgets()
{
    FChart = new TLogCarta(this);
    FChart->setObjectName(QStringLiteral("Chart"));
    setCentralWidget(CreateChartArea());
    CreateToolPanels();
    CreateMenus();

    FPanelEditor = new QDockWidget(QStringLiteral("Object properties"), this);
    FPanelEditor->setObjectName(QStringLiteral("PanelEditor"));
    FPanelEditor->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    FPageControlEditor = new QTabWidget(FPanelEditor);
    FPageControlEditor->setObjectName(QStringLiteral("PageControlEditor"));
    FTabRoutesTracks = new QWidget(FPageControlEditor);
    FTabRoutesTracks->setObjectName(QStringLiteral("TabRoutesTracks"));
    auto *routesLayout = new QVBoxLayout(FTabRoutesTracks);
    routesLayout->addWidget(NamedLabel("LRoutesTracksPending",
        QStringLiteral("The routes and tracks of the desktop are drawn with the route and track "
                       "tools."),
        FTabRoutesTracks));
    routesLayout->itemAt(0)->widget()->setProperty("wordWrap", true);
    routesLayout->addStretch();
    FPageControlEditor->addTab(FTabRoutesTracks, QStringLiteral("Routes/Tracks"));
    FPageControlEditor->addTab(CreateChartImagesPage(), QStringLiteral("Chart Images"));
    FPanelEditor->setWidget(FPageControlEditor);
    addDockWidget(Qt::RightDockWidgetArea, FPanelEditor);
    FPanelEditor->hide();

    // Reading order: the tool bars left to right, the chart and its latitude bar, the editor
    // panel at the right, then the bottom bar.
    QWidget *order[] = {FCBShowGrid, FCBToggleProperties, FEdLocation, FBStop, FBRefresca, FChart,
        FScrollLat, FPageControlEditor};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

QWidget *TFormCartaVrn::CreateChartArea()
{
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("ChartArea"));

    FScrollLon = new QScrollBar(Qt::Horizontal, area);
    FScrollLon->setObjectName(QStringLiteral("ScrollLon"));
    FScrollLon->setRange(-1800, 1800);
    FScrollLon->setPageStep(2);
    FScrollLon->setToolTip(QStringLiteral("Longitude of the view centre"));
    FScrollLat = new QScrollBar(Qt::Vertical, area);
    FScrollLat->setObjectName(QStringLiteral("ScrollLat"));
    FScrollLat->setRange(-900, 900);
    FScrollLat->setPageStep(2);
    FScrollLat->setToolTip(QStringLiteral("Latitude of the view centre"));
    FLLonC = NamedLabel("LLonC", QStringLiteral("0°00.0'"), area);
    FLLatC = NamedLabel("LLatC", QStringLiteral("0°00.0'"), area);
    FLLonC->setToolTip(QStringLiteral("Longitude of the view centre"));
    FLLatC->setToolTip(QStringLiteral("Latitude of the view centre"));
    for (QLabel *l : {FLLonC, FLLatC})
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("000°00.00'W")) + 8);
    FLStatusBrowser = NamedLabel("LStatusBrowser", QString(), area);
    FGaugeBrowser = new QProgressBar(area);
    FGaugeBrowser->setObjectName(QStringLiteral("GaugeBrowser"));
    FGaugeBrowser->setRange(0, 100);
    FGaugeBrowser->setMaximumWidth(160);
    FGaugeBrowser->hide();

    auto *right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(NamedLabel("LN", QStringLiteral("N"), area), 0, Qt::AlignHCenter);
    right->addWidget(FScrollLat, 1, Qt::AlignHCenter);
    right->addWidget(NamedLabel("LS", QStringLiteral("S"), area), 0, Qt::AlignHCenter);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(NamedLabel("LW", QStringLiteral("W"), area));
    bottom->addWidget(FScrollLon, 3);
    bottom->addWidget(NamedLabel("LE", QStringLiteral("E"), area));
    bottom->addSpacing(8);
    bottom->addWidget(FLLonC);
    bottom->addWidget(FLLatC);
    bottom->addWidget(FLStatusBrowser, 1);
    bottom->addWidget(FGaugeBrowser);
    FLStatusBrowser->setMinimumWidth(120);

    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    grid->addWidget(FChart, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addLayout(bottom, 1, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);
    return area;
}

void TFormCartaVrn::CreateToolPanels()
{
    auto action = [this](const char *name, const char *icon, const QString &hint) {
        auto *a = new QAction(ChartViewerIcon(icon), hint, this);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(hint);
        return a;
    };

    FToolsBar = addToolBar(QStringLiteral("tools"));
    FToolsBar->setObjectName(QStringLiteral("tools"));
    auto *open = action("BCarregaDT", "OPEN", QStringLiteral("Open desktop"));
    auto *save = action("BSaveDT", "SAVE", QStringLiteral("Save desktop"));
    auto *raster = action("BOpenRasterChart", "RASTER",
        QStringLiteral("Load raster chart image \nin current desktop"));
    auto *print = action("BPrintChart", "PRINT", QStringLiteral("Print chart"));
    FBGpsXf = action("BGpsXf", "GPS", QStringLiteral("GPS Interface"));
    FBLegCalculator = action("BLegCalculator", "LEGS",
        QStringLiteral("Leg Calculator\ngreat circle and\nrhumb line routes "));
    FBGpsXf->setEnabled(false);
    FBLegCalculator->setEnabled(false);
    connect(open, &QAction::triggered, this, &TFormCartaVrn::BCarregaDTClick);
    connect(save, &QAction::triggered, this, &TFormCartaVrn::BSaveDTClick);
    connect(raster, &QAction::triggered, this, &TFormCartaVrn::OpenRasterChart1Click);
    connect(print, &QAction::triggered, this, &TFormCartaVrn::BPrintChartClick);
    connect(FBGpsXf, &QAction::triggered, this, &TFormCartaVrn::BGpsXfClick);
    connect(FBLegCalculator, &QAction::triggered, this, &TFormCartaVrn::BLegCalculatorClick);
    for (QAction *a : {open, save, raster, print, FBGpsXf, FBLegCalculator})
        FToolsBar->addAction(a);
    FToolsBar->addSeparator();

    // One exclusive group: the same actions are the tool buttons and the Tools menu entries.
    FToolGroup = new QActionGroup(this);
    FToolGroup->setExclusive(true);

    struct TTool
    {
        const char *Name;
        const char *Icon;
        const char *Menu;
        const char *Hint;
        TTipoFerramentaCarta Tool;
        void (TFormCartaVrn::*Handler)();
    };

    const TTool tools[] = {
        {"Zoom1", "ZOOM", "&Zoom", "zoom tool \n(right click to zoom out)",
            TTipoFerramentaCarta::fcZoom, &TFormCartaVrn::Zoom1Click},
        {"Dragchart1", "DRAG", "&Drag chart", "drag chart tool", TTipoFerramentaCarta::fcHandDrag,
            &TFormCartaVrn::Dragchart1Click},
        {"Measure1", "MEASURE", "&Measure", "Measure tool", TTipoFerramentaCarta::fcMeasure,
            &TFormCartaVrn::Measure1Click},
        {"ToolsRoutes", "ROUTE", "&Routes", "define route tool\n(right click to end route)",
            TTipoFerramentaCarta::fcRoute, &TFormCartaVrn::ToolsRoutesClick},
        {"ToolTracks", "TRACK", "&Tracks", "define track tool\n(right click to end) ",
            TTipoFerramentaCarta::fcTrack, &TFormCartaVrn::ToolTracksClick},
        {"ToolMarks", "MARK", "Mar&ks", "Add mark tool", TTipoFerramentaCarta::fcObjects,
            &TFormCartaVrn::ToolMarksClick},
        {"ToolCursor", "CURSOR", "&Cursor", "point names tool", TTipoFerramentaCarta::fcPointName,
            &TFormCartaVrn::ToolCursorClick},
    };
    for (const TTool &t : tools) {
        auto *a = new QAction(ChartViewerIcon(t.Icon), QString::fromLatin1(t.Menu), FToolGroup);
        a->setObjectName(QLatin1String(t.Name));
        a->setToolTip(QString::fromLatin1(t.Hint));
        a->setCheckable(true);
        a->setChecked(t.Tool == TTipoFerramentaCarta::fcZoom);
        connect(a, &QAction::triggered, this, t.Handler);
        FToolActions.emplace_back(t.Tool, a);
        FToolsBar->addAction(a);
    }
    FToolsBar->addSeparator();

    FLChartMessage = NamedLabel("LChartMessage", QStringLiteral("..."), FToolsBar);
    FLChartMessage->setMinimumWidth(
        FLChartMessage->fontMetrics().horizontalAdvance(QStringLiteral("COG=359°  Rng=9999.99 NM"))
        + 12);
    FToolsBar->addWidget(FLChartMessage);
    FCBShowGrid = new QCheckBox(QStringLiteral("Show &grid"), FToolsBar);
    FCBShowGrid->setObjectName(QStringLiteral("CBShowGrid"));
    FCBShowGrid->setToolTip(QStringLiteral("show grid"));
    FCBShowGrid->setChecked(true);
    FToolsBar->addWidget(FCBShowGrid);
    FCBToggleProperties = new QCheckBox(QStringLiteral("&Properties"), FToolsBar);
    FCBToggleProperties->setObjectName(QStringLiteral("CBToggleProperties"));
    FCBToggleProperties->setToolTip(QStringLiteral("Open object properties"));
    FToolsBar->addWidget(FCBToggleProperties);
    FAnimateRender = NamedLabel("AnimateRender", QString(), FToolsBar);
    FAnimateRender->setToolTip(QStringLiteral("shown when rendering a chart image"));
    FAnimateRender->setFixedSize(20, 20);
    FAnimateRender->setPixmap(ChartViewerBusyFrame(0));
    FRenderTimer = new QTimer(this);
    FRenderTimer->setInterval(400);
    connect(FRenderTimer, &QTimer::timeout, this, [this] {
        FRenderFrame = (FRenderFrame + 1) % 4;
        FAnimateRender->setPixmap(ChartViewerBusyFrame(FRenderFrame));
    });
    // The label keeps its place in the tool bar; its action is what shows and hides it.
    FAnimateRenderAction = FToolsBar->addWidget(FAnimateRender);
    FAnimateRenderAction->setVisible(false);
    connect(FCBShowGrid, &QCheckBox::clicked, this, &TFormCartaVrn::CBShowGridClick);
    connect(
        FCBToggleProperties, &QCheckBox::clicked, this, &TFormCartaVrn::CBTogglePropertiesClick);

    FTrackAnimationBar = new QToolBar(QStringLiteral("track animation"), this);
    FTrackAnimationBar->setObjectName(QStringLiteral("TrackAnimation"));
    addToolBar(Qt::TopToolBarArea, FTrackAnimationBar);
    FTrackAnimationBar->hide();

    FLocationBar = new QToolBar(QStringLiteral("location"), this);
    FLocationBar->setObjectName(QStringLiteral("location"));
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, FLocationBar);
    FEdLocation = new QLineEdit(QStringLiteral("http://"), FLocationBar);
    FEdLocation->setObjectName(QStringLiteral("EdLocation"));
    FEdLocation->setMinimumWidth(360);
    FEdLocation->setToolTip(QStringLiteral("Desktop (.vrn) or vector chart (.cht) to open"));
    auto *locationLabel = NamedLabel("LLocation", QStringLiteral("&Location:"), FLocationBar);
    locationLabel->setBuddy(FEdLocation);
    FBStop = NamedButton("BStop", QStringLiteral("&Stop download"), FLocationBar);
    FBStop->setEnabled(false);
    FBRefresca = NamedButton("BRefresca", QStringLiteral("Refresh &desktop"), FLocationBar);
    FLocationBar->addWidget(locationLabel);
    FLocationBar->addWidget(FEdLocation);
    FLocationBar->addWidget(FBStop);
    FLocationBar->addWidget(FBRefresca);
    FLocationBar->hide();
    connect(FBRefresca, &QPushButton::clicked, this, &TFormCartaVrn::FetchLocation);
    connect(FBStop, &QPushButton::clicked, this, [this] {
        if (FStopLocation)
            FStopLocation();
    });
    FEdLocation->installEventFilter(this);

    for (QToolBar *bar : {FToolsBar, FTrackAnimationBar, FLocationBar})
        connect(bar, &QToolBar::visibilityChanged, this, [this] {
            if (FRouteEditor)
                FRouteEditor->PanelChanged(FTrackAnimationBar->isVisible());
        });
}

void TFormCartaVrn::CreateMenus()
{
    auto item = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    FFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FFileMenu->setObjectName(QStringLiteral("File1"));
    item(FFileMenu, "OpenVrnDesktop1", QStringLiteral("Open Desktop.."),
        &TFormCartaVrn::OpenVrnDesktop1Click);
    item(FFileMenu, "SaveVrnDesktop1", QStringLiteral("&Save Desktop"),
        &TFormCartaVrn::SaveVrnDesktop1Click);
    item(FFileMenu, "SaveVrnDesktopAs1", QStringLiteral("Save Desktop &As.."),
        &TFormCartaVrn::SaveVrnDesktopAs1Click);
    FFileMenu->addSeparator();
    item(FFileMenu, "OpenChart1", QStringLiteral("&Open Vector Chart.."),
        &TFormCartaVrn::OpenChart1Click);
    item(FFileMenu, "MergeChart1", QStringLiteral("&Merge Vector Chart.."),
        &TFormCartaVrn::MergeChart1Click);
    item(FFileMenu, "Chartinfo1", QStringLiteral("Vector Chart info.."),
        &TFormCartaVrn::Chartinfo1Click);
    item(FFileMenu, "OpenRasterChart1", QStringLiteral("Open Chart Image..."),
        &TFormCartaVrn::OpenRasterChart1Click);
    FFileMenu->addSeparator();
    item(FFileMenu, "PrintChart1", QStringLiteral("&Print chart..."),
        &TFormCartaVrn::BPrintChartClick);
    item(FFileMenu, "SaveChartPdf1", QStringLiteral("Save chart as P&DF..."),
        &TFormCartaVrn::BSaveChartPdfClick);
    FMRUSeparator = FFileMenu->addSeparator();
    FExit1 = item(FFileMenu, "Exit1", QStringLiteral("E&xit"), &TFormCartaVrn::Exit1Click);

    QMenu *tools = menuBar()->addMenu(QStringLiteral("T&ools"));
    tools->setObjectName(QStringLiteral("Tools1"));
    for (const auto &[tool, a] : FToolActions)
        tools->addAction(a);
    tools->addSeparator();
    item(tools, "ShowNames1", QStringLiteral("Show &Names"), &TFormCartaVrn::ShowNames1Click);
    FShowGrid1 =
        item(tools, "ShowGrid1", QStringLiteral("Show Grid"), &TFormCartaVrn::ShowGrid1Click);
    FShowGrid1->setCheckable(true);
    FShowGrid1->setChecked(true);

    QMenu *routes = menuBar()->addMenu(QStringLiteral("&Routes"));
    routes->setObjectName(QStringLiteral("Routes1"));
    item(routes, "EditRoutes1", QStringLiteral("&Edit"), &TFormCartaVrn::EditRoutes1Click);
    FAddPointsToRoute1 = item(routes, "AddPointsToRoute1", QStringLiteral("&Add Points to Route.."),
        &TFormCartaVrn::AddPointsToRoute1Click);
    FAddPointsToRoute1->setEnabled(false);
    item(routes, "NewRoute1", QStringLiteral("&New Route"), &TFormCartaVrn::NewRoute1Click);
    FLegCalculator1 = item(routes, "LegCalculator1", QStringLiteral("&Leg Calculator"),
        &TFormCartaVrn::LegCalculator1Click);
    FLegCalculator1->setEnabled(false);

    QMenu *tracks = menuBar()->addMenu(QStringLiteral("&Tracks"));
    tracks->setObjectName(QStringLiteral("Tracks1"));
    item(tracks, "Edit1", QStringLiteral("&Edit"), &TFormCartaVrn::Edit1Click);
    FAddPointstotrack1 = item(tracks, "AddPointstotrack1", QStringLiteral("Add Points to track.."),
        &TFormCartaVrn::AddPointstotrack1Click);
    FAddPointstotrack1->setEnabled(false);
    FGPSinterface1 = item(tracks, "GPSinterface1", QStringLiteral("GPS interface..."),
        &TFormCartaVrn::GPSinterface1Click);
    FGPSinterface1->setEnabled(false);
    item(tracks, "Newtrack1", QStringLiteral("&New track..."), &TFormCartaVrn::Newtrack1Click);
    // The replay panel, also listed in the tool bars' context menu; it holds nothing until the
    // route editor gives it its controls.
    tracks->addSeparator();
    FTrackAnimation1 = FTrackAnimationBar->toggleViewAction();
    FTrackAnimation1->setObjectName(QStringLiteral("TrackAnimation1"));
    FTrackAnimation1->setText(QStringLiteral("Track &animation"));
    FTrackAnimation1->setEnabled(false);
    tracks->addAction(FTrackAnimation1);

    QMenu *marks = menuBar()->addMenu(QStringLiteral("&Marks"));
    marks->setObjectName(QStringLiteral("Marks1"));
    item(marks, "Add1", QStringLiteral("Add"), &TFormCartaVrn::Add1Click);
    item(marks, "Delete1", QStringLiteral("Delete.."), &TFormCartaVrn::Delete1Click);

    QAction *colors = menuBar()->addAction(QStringLiteral("&Colors.."));
    colors->setObjectName(QStringLiteral("Colors1"));
    connect(colors, &QAction::triggered, this, &TFormCartaVrn::Colors1Click);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    item(help, "Index1", QStringLiteral("&Index.."), &TFormCartaVrn::Index1Click);
    item(help, "About1", QStringLiteral("About.."), &TFormCartaVrn::About1Click);
}

QWidget *TFormCartaVrn::CreateChartImagesPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabChartImages"));
    FLChartImagesCount = NamedLabel("LChartImagesCount", QStringLiteral("Chart Images : 0"), page);
    FLBChartImages = new QListWidget(page);
    FLBChartImages->setObjectName(QStringLiteral("LBChartImages"));
    FLBChartImages->setItemDelegate(new TChartImageDelegate(FLBChartImages));
    FLBChartImages->setSelectionMode(QAbstractItemView::SingleSelection);
    FLBChartImages->viewport()->installEventFilter(this);
    FLDescr = NamedLabel("LDescr", QStringLiteral(".."), page);
    FLCIDFile = NamedLabel("LCIDFile", QString(), page);
    FLImage = NamedLabel("LImage", QStringLiteral(".."), page);
    for (QLabel *l : {FLDescr, FLCIDFile, FLImage})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FCBChartVisible = new QCheckBox(QStringLiteral("&Visible"), page);
    FCBChartVisible->setObjectName(QStringLiteral("CBChartVisible"));
    // "O" is the Tools menu's letter; the box takes the "u".
    FCBDrawOutline = new QCheckBox(QStringLiteral("Draw O&utline"), page);
    FCBDrawOutline->setObjectName(QStringLiteral("CBDrawOutline"));
    FTBOpacity = new QSlider(Qt::Horizontal, page);
    FTBOpacity->setObjectName(QStringLiteral("TBOpacity"));
    FTBOpacity->setRange(0, 100);
    FTBOpacity->setSingleStep(5);
    FTBOpacity->setPageStep(10);
    FTBOpacity->setTickPosition(QSlider::TicksBelow);
    FTBOpacity->setTickInterval(50);
    FTBOpacity->setValue(100);
    FTBOpacity->setToolTip(QStringLiteral("Opacity of the selected chart image"));
    FLOpacity = NamedLabel("LOpacity", QStringLiteral("100 %"), page);
    FBOpaque = NamedButton("BOpaque", QStringLiteral("Opa&que"), page);
    FBOpenChartImage = NamedButton("BOpenChartImage", QStringLiteral("Open Chart &Image"), page);
    FBDeleteChartImage =
        NamedButton("BDeleteChartImage", QStringLiteral("D&elete selected chart image"), page);
    FBMoveChartUp = NamedButton("BMoveChartUp", QStringLiteral("Move selected chart up"), page);
    FBMoveChartDown =
        NamedButton("BMoveChartDown", QStringLiteral("Move selected chart down"), page);
    FBCenterOnChart =
        NamedButton("BCenterOnChart", QStringLiteral("Ce&nter desktop on selected chart"), page);

    auto *labels = new QFormLayout;
    labels->addRow(NamedLabel("LDescrCaption", QStringLiteral("Descr:"), page), FLDescr);
    labels->addRow(NamedLabel("LCIDFileCaption", QStringLiteral("CID file:"), page), FLCIDFile);
    labels->addRow(NamedLabel("LImageCaption", QStringLiteral("Image:"), page), FLImage);
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(FCBChartVisible);
    boxes->addWidget(FCBDrawOutline);
    boxes->addStretch();
    auto *opacityRow = new QHBoxLayout;
    opacityRow->addWidget(NamedLabel("LOpacityCaption", QStringLiteral("Opacity = "), page));
    opacityRow->addWidget(FLOpacity);
    opacityRow->addStretch();
    opacityRow->addWidget(FBOpaque);
    auto *ticks = new QHBoxLayout;
    ticks->addWidget(NamedLabel("LOpacity0", QStringLiteral("0"), page));
    ticks->addStretch();
    ticks->addWidget(NamedLabel("LOpacity50", QStringLiteral("50"), page));
    ticks->addStretch();
    ticks->addWidget(NamedLabel("LOpacity100", QStringLiteral("100"), page));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(FLChartImagesCount);
    layout->addWidget(FLBChartImages, 1);
    layout->addLayout(labels);
    layout->addLayout(boxes);
    layout->addLayout(opacityRow);
    layout->addWidget(FTBOpacity);
    layout->addLayout(ticks);
    for (QPushButton *b :
        {FBOpenChartImage, FBDeleteChartImage, FBMoveChartUp, FBMoveChartDown, FBCenterOnChart})
        layout->addWidget(b);

    connect(
        FLBChartImages, &QListWidget::currentRowChanged, this, [this] { LBChartImagesClick(); });
    connect(FCBChartVisible, &QCheckBox::clicked, this, &TFormCartaVrn::CBChartVisibleClick);
    connect(FCBDrawOutline, &QCheckBox::clicked, this, &TFormCartaVrn::CBDrawOutlineClick);
    connect(FTBOpacity, &QSlider::valueChanged, this, &TFormCartaVrn::TBOpacityChange);
    connect(FBOpaque, &QPushButton::clicked, this, &TFormCartaVrn::BOpaqueClick);
    connect(FBOpenChartImage, &QPushButton::clicked, this, &TFormCartaVrn::OpenRasterChart1Click);
    connect(
        FBDeleteChartImage, &QPushButton::clicked, this, &TFormCartaVrn::BDeleteChartImageClick);
    connect(FBMoveChartUp, &QPushButton::clicked, this, &TFormCartaVrn::BMoveChartUpClick);
    connect(FBMoveChartDown, &QPushButton::clicked, this, &TFormCartaVrn::BMoveChartDownClick);
    connect(FBCenterOnChart, &QPushButton::clicked, this, &TFormCartaVrn::BCenterOnChartClick);
    return page;
}

} // namespace vrn
