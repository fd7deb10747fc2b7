#include "celestial/fVrnCalculator.h"

#include "celestial/WindowFields.h"
#include "charts/ChtObjects.h"
#include "charts/Dcarta.h"
#include "common/VrnEdit.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>
#include <tuple>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormRouteCalculator");

TFormSettings Settings()
{
    return TFormSettings(QString::fromLatin1(kSettingsOrganization),
        QString::fromLatin1(kLegCalculatorSettingsApplication), kWindowName);
}

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

TKaPositionEdit *NewPosition(
    const QString &name, TPositionType type, const QString &hint, QWidget *parent)
{
    auto *p = new TKaPositionEdit(parent);
    p->setObjectName(name);
    p->SetPositionType(type);
    p->SetDegreeDigits(type == TPositionType::ptNS ? 2 : 3);
    p->setToolTip(hint);
    return p;
}

QPushButton *NewButton(
    const QString &name, const QString &caption, QWidget *parent, const QString &hint = QString())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(true); // Enter presses the focused button
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QLabel *NewValue(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the widest value, "12345.67 NM".
    l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("000000.00 NM")));
    return l;
}

QTableWidget *NewGrid(const QString &name, QWidget *parent)
{
    auto *g = new QTableWidget(0, 3, parent);
    g->setObjectName(name);
    g->setHorizontalHeaderLabels(
        {QStringLiteral("#"), QStringLiteral("Lat"), QStringLiteral("Lon")});
    g->verticalHeader()->setVisible(false);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    const QFontMetrics fm(g->font());
    g->setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("0000")));
    g->setColumnWidth(1, fm.horizontalAdvance(QStringLiteral("00°00.00'N")) + 16);
    g->setColumnWidth(2, fm.horizontalAdvance(QStringLiteral("000°00.00'W")) + 16);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

} // namespace

TFormRouteCalculator::TFormRouteCalculator(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Leg Calculator"));

    // Built in reading order, which is also the order of the Tab key.
    auto *initialBox = new QGroupBox(QStringLiteral(" Initial position "), this);
    FEdLatIni = NewPosition(QStringLiteral("EdLatIni"), TPositionType::ptNS,
        QStringLiteral("Latitude of the initial position"), initialBox);
    FEdLonIni = NewPosition(QStringLiteral("EdLonIni"), TPositionType::ptWE,
        QStringLiteral("Longitude of the initial position"), initialBox);
    auto *finalBox = new QGroupBox(QStringLiteral(" Final position "), this);
    FEdLatFin = NewPosition(QStringLiteral("EdLatFin"), TPositionType::ptNS,
        QStringLiteral("Latitude of the final position"), finalBox);
    FEdLonFin = NewPosition(QStringLiteral("EdLonFin"), TPositionType::ptWE,
        QStringLiteral("Longitude of the final position"), finalBox);
    for (auto [box, lat, lon] : {std::tuple {initialBox, FEdLatIni, FEdLonIni},
             std::tuple {finalBox, FEdLatFin, FEdLonFin}}) {
        auto *g = new QGridLayout(box);
        g->addWidget(LabelFor(QStringLiteral("Lat:"), lat, box), 0, 0);
        g->addWidget(lat, 0, 1, Qt::AlignLeft);
        g->addWidget(LabelFor(QStringLiteral("Lon:"), lon, box), 1, 0);
        g->addWidget(lon, 1, 1, Qt::AlignLeft);
        g->setColumnStretch(1, 1);
    }

    FBExchangePositions =
        NewButton(QStringLiteral("BExchangePositions"), QStringLiteral("Exchage positions"), this,
            QStringLiteral("Swap the initial and the final position"));
    FEdNumPointsInRoute = new QSpinBox(this);
    FEdNumPointsInRoute->setObjectName(QStringLiteral("EdNumPointsInRoute"));
    FEdNumPointsInRoute->setRange(kMinRoutePoints, kMaxRoutePoints);
    FEdNumPointsInRoute->setValue(kDefaultRoutePoints);
    FEdNumPointsInRoute->setToolTip(QStringLiteral("Points between the ends of each route"));

    FPageControl = new QTabWidget(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    auto *general = new QWidget(FPageControl);
    general->setObjectName(QStringLiteral("TSGeneral"));
    FLTcRL = NewValue(QStringLiteral("LTcRL"), general);
    FLDistRL = NewValue(QStringLiteral("LDistRL"), general);
    FLTcGC = NewValue(QStringLiteral("LTcGC"), general);
    FLDistGC = NewValue(QStringLiteral("LDistGC"), general);
    FLDiffNM = NewValue(QStringLiteral("LDiffNM"), general);
    FLDifPerc = NewValue(QStringLiteral("LDifPerc"), general);
    auto *g = new QGridLayout(general);
    const auto caption = [general](const QString &text) { return new QLabel(text, general); };
    g->addWidget(caption(QStringLiteral("Rhumb line")), 0, 0);
    g->addWidget(caption(QStringLiteral("true course:")), 0, 1, Qt::AlignRight);
    g->addWidget(FLTcRL, 0, 2);
    g->addWidget(caption(QStringLiteral("distance:")), 0, 3, Qt::AlignRight);
    g->addWidget(FLDistRL, 0, 4);
    g->addWidget(caption(QStringLiteral("Great circle")), 1, 0);
    g->addWidget(caption(QStringLiteral("initial course:")), 1, 1, Qt::AlignRight);
    g->addWidget(FLTcGC, 1, 2);
    g->addWidget(caption(QStringLiteral("distance:")), 1, 3, Qt::AlignRight);
    g->addWidget(FLDistGC, 1, 4);
    g->addWidget(caption(QStringLiteral("Difference")), 2, 0);
    g->addWidget(FLDiffNM, 2, 4);
    g->addWidget(FLDifPerc, 3, 4);
    g->setRowStretch(4, 1);
    g->setColumnStretch(5, 1);
    FPageControl->addTab(general, QStringLiteral("General"));

    const auto routePage = [this](const QString &name, QTableWidget *&grid, QPushButton *&add,
                               const QString &button, const QString &hint, const QString &title) {
        auto *page = new QWidget(FPageControl);
        page->setObjectName(name);
        grid = NewGrid(QStringLiteral("Grid") + name.mid(2), page);
        add = NewButton(QStringLiteral("BAdd") + name.mid(2, 2) + QStringLiteral("RouteToDesktop"),
            button, page, hint);
        add->setEnabled(false);
        auto *v = new QVBoxLayout(page);
        v->addWidget(grid, 1);
        auto *h = new QHBoxLayout;
        h->addStretch(1);
        h->addWidget(add);
        v->addLayout(h);
        FPageControl->addTab(page, title);
    };
    routePage(QStringLiteral("TSGCRoute"), FGridGCRoute, FBAddGCRouteToDesktop,
        QStringLiteral(" &Add GC route"), QStringLiteral("Add GC route to current desktop"),
        QStringLiteral("GC Route"));
    routePage(QStringLiteral("TSRLRoute"), FGridRLRoute, FBAddRLRouteToDesktop,
        QStringLiteral(" &Add RL route"), QStringLiteral("Add RL route to current desktop"),
        QStringLiteral("RL Route"));

    FBCalculate = NewButton(QStringLiteral("BCalculate"), QStringLiteral("&Calculate"), this,
        QStringLiteral("Rhumb line and great circle from the initial to the final position"));
    FCBOnTop = new QCheckBox(QStringLiteral("Stay on &top"), this);
    FCBOnTop->setObjectName(QStringLiteral("CBOnTop"));
    FCBOnTop->setChecked(true);
    FBClose = NewButton(QStringLiteral("BClose"), QStringLiteral("Cl&ose"), this);

    auto *positions = new QHBoxLayout;
    positions->addWidget(initialBox);
    positions->addWidget(finalBox);
    auto *points = new QHBoxLayout;
    points->addWidget(FBExchangePositions);
    points->addStretch(1);
    points->addWidget(
        LabelFor(QStringLiteral("&Intermediate points in route:"), FEdNumPointsInRoute, this));
    points->addWidget(FEdNumPointsInRoute);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FBCalculate);
    buttons->addWidget(FCBOnTop);
    buttons->addStretch(1);
    buttons->addWidget(FBClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(positions);
    layout->addLayout(points);
    layout->addWidget(FPageControl, 1);
    layout->addLayout(buttons);

    connect(FBCalculate, &QPushButton::clicked, this, &TFormRouteCalculator::BCalculateClick);
    connect(FBExchangePositions, &QPushButton::clicked, this,
        &TFormRouteCalculator::BExchangePositionsClick);
    connect(FBAddGCRouteToDesktop, &QPushButton::clicked, this,
        &TFormRouteCalculator::BAddGCRouteToDesktopClick);
    connect(FBAddRLRouteToDesktop, &QPushButton::clicked, this,
        &TFormRouteCalculator::BAddRLRouteToDesktopClick);
    connect(FCBOnTop, &QCheckBox::clicked, this, &TFormRouteCalculator::CBOnTopClick);
    connect(FBClose, &QPushButton::clicked, this, &TFormRouteCalculator::BCloseClick);

    ResetGrid(*FGridGCRoute);
    ResetGrid(*FGridRLRoute);
    FPageControl->setCurrentIndex(PageGeneral);
    setWindowFlag(Qt::WindowStaysOnTopHint, FCBOnTop->isChecked());
    LoadSettings();
}

TFormRouteCalculator::~TFormRouteCalculator()
{
    SaveSettings();
}

void TFormRouteCalculator::SetChartView(TLogCarta *view)
{
    FChartView = view;
    FBAddGCRouteToDesktop->setEnabled(view != nullptr);
    FBAddRLRouteToDesktop->setEnabled(view != nullptr);
}

void TFormRouteCalculator::BCalculateClick()
{
    RunCommand(this, [this] {
        const TLegResult r = CalcLeg({FEdLatIni->Position(), FEdLonIni->Position()},
            {FEdLatFin->Position(), FEdLonFin->Position()}, FEdNumPointsInRoute->value());
        const TLegLabels l = LegLabels(r);
        FLTcRL->setText(Q(l.TcRL));
        FLDistRL->setText(Q(l.DistRL));
        FLTcGC->setText(Q(l.TcGC));
        FLDistGC->setText(Q(l.DistGC));
        FLDiffNM->setText(Q(l.DiffNM));
        FLDifPerc->setText(Q(l.DifPerc));
        ShowGrid(*FGridRLRoute, r.RhumbLine);
        ShowGrid(*FGridGCRoute, r.GreatCircle);
    });
}

void TFormRouteCalculator::ShowGrid(QTableWidget &grid, const TLegLine &line)
{
    if (!line.Ok) {
        ResetGrid(grid);
        return;
    }
    const auto rows = LegGridRows(line);
    grid.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < grid.rowCount(); ++r) {
        const TLegGridRow &row = rows[static_cast<std::size_t>(r)];
        int c = 0;
        for (const std::string *text : {&row.Number, &row.Lat, &row.Lon}) {
            auto *item = new QTableWidgetItem(Q(*text));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid.setItem(r, c++, item);
        }
    }
}

void TFormRouteCalculator::ResetGrid(QTableWidget &grid)
{
    grid.clearContents();
    grid.setRowCount(1);
}

void TFormRouteCalculator::BExchangePositionsClick()
{
    const double lat = FEdLatIni->Position();
    const double lon = FEdLonIni->Position();
    FEdLatIni->SetPosition(FEdLatFin->Position());
    FEdLonIni->SetPosition(FEdLonFin->Position());
    FEdLatFin->SetPosition(lat);
    FEdLonFin->SetPosition(lon);
}

void TFormRouteCalculator::BAddGCRouteToDesktopClick()
{
    AddRoute(*FGridGCRoute, kGreatCircleRouteName);
}

void TFormRouteCalculator::BAddRLRouteToDesktopClick()
{
    AddRoute(*FGridRLRoute, kRhumbLineRouteName);
}

void TFormRouteCalculator::AddRoute(const QTableWidget &grid, std::string_view routeName)
{
    RunCommand(this, [&] {
        std::vector<std::pair<std::string, std::string>> cells;
        for (int r = 0; r < grid.rowCount(); ++r) {
            const auto text = [&](int c) {
                const QTableWidgetItem *item = grid.item(r, c);
                return item ? item->text().toStdString() : std::string();
            };
            cells.emplace_back(text(1), text(2));
        }
        const auto points = RouteFromGridTexts(routeName, cells);
        if (!FChartView)
            return;
        auto route = std::make_unique<TChtRoute>();
        route->Name = std::string(routeName);
        for (const TLegPosition &p : points)
            route->AddPoint("", p.LatDeg, p.LonDeg, 0);
        TChtRoute *added = FChartView->Desk().Routes.Add(std::move(route));
        FChartView->Desk().RoutesModified = true;
        // The viewer refreshes its route list on this event, as for a route drawn by hand.
        emit FChartView->OnRouteChanged(added);
        FChartView->Invalidate();
        emit RouteAdded();
    });
}

void TFormRouteCalculator::CBOnTopClick()
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, FCBOnTop->isChecked());
    if (visible)
        show(); // changing the flag hides the window
}

void TFormRouteCalculator::BCloseClick()
{
    hide();
}

void TFormRouteCalculator::showEvent(QShowEvent *event)
{
    if (!FShownOnce) {
        FShownOnce = true;
        // Centred on its screen the first time, when no position was kept.
        if (!FGeometryKnown) {
            if (const QScreen *screen = this->screen()) {
                QRect frame = frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                move(frame.topLeft());
            }
        }
        FGeometryKnown = true;
    }
    QWidget::showEvent(event);
}

void TFormRouteCalculator::hideEvent(QHideEvent *event)
{
    SaveSettings();
    QWidget::hideEvent(event);
}

void TFormRouteCalculator::LoadSettings()
{
    const TFormSettings s = Settings();
    FGeometryKnown = s.RestoreGeometry(*this);
    RestorePosition(s, *FEdLatIni);
    RestorePosition(s, *FEdLonIni);
    RestorePosition(s, *FEdLatFin);
    RestorePosition(s, *FEdLonFin);
    FEdNumPointsInRoute->setValue(s.ReadInt(
        QStringLiteral("EdNumPointsInRoute"), QStringLiteral("Value"), kDefaultRoutePoints));
}

void TFormRouteCalculator::SaveSettings()
{
    TFormSettings s = Settings();
    if (FGeometryKnown)
        s.SaveGeometry(*this);
    StorePosition(s, *FEdLatIni);
    StorePosition(s, *FEdLonIni);
    StorePosition(s, *FEdLatFin);
    StorePosition(s, *FEdLonFin);
    s.WriteInt(QStringLiteral("EdNumPointsInRoute"), QStringLiteral("Value"),
        FEdNumPointsInRoute->value());
    s.Flush();
}

} // namespace vrn
