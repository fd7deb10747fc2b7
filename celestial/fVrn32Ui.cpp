// The widgets of the celestial navigation window, their layout and their stored settings.

#include "celestial/LOPFiles.h"
#include "celestial/SextantErrorPlot.h"
#include "celestial/SightInputs.h"
#include "celestial/SuspectLOPDelegate.h"
#include "celestial/WindowFields.h"
#include "celestial/fVrn32.h"
#include "charts/Dcarta.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "ui/DataFolder.h"
#include "ui/Fonts.h"
#include "ui/FormSettings.h"
#include "ui/Keyboard.h"
#include "ui/MessageBoxes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <climits>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormVrn32");
constexpr int kBodyRowHeight = 20;

enum class TBodyIcon
{
    Sun,
    Moon,
    Planet,
    BrightStar,
    FaintStar,
};

// The body list: a 20-pixel black strip with the body's icon and its name; the selected entry
// white on grey, the others black on the button face.
class TBodyListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(kBodyRowHeight);
        return s;
    }

    void paint(
        QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        p->save();
        p->fillRect(r, selected ? QColor(Qt::gray) : option.palette.button().color());
        p->fillRect(QRect(r.left(), r.top(), kBodyRowHeight, r.height()), Qt::black);
        PaintIcon(*p, QPoint(r.left() + 8, r.top() + 8),
            static_cast<TBodyIcon>(index.data(Qt::UserRole).toInt()));
        p->setPen(selected ? Qt::white : Qt::black);
        p->drawText(r.adjusted(24, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
            index.data(Qt::DisplayRole).toString());
        p->restore();
    }

    static void PaintIcon(QPainter &p, const QPoint &c, TBodyIcon icon)
    {
        p.setRenderHint(QPainter::Antialiasing);
        switch (icon) {
        case TBodyIcon::Sun:
            p.setPen(QPen(QColor(255, 200, 0), 1));
            for (int a = 0; a < 360; a += 45)
                p.drawLine(QPointF(c) + QPointF(5 * CosD(a), 5 * SinD(a)),
                    QPointF(c) + QPointF(7 * CosD(a), 7 * SinD(a)));
            p.setBrush(QColor(255, 220, 0));
            p.drawEllipse(QPointF(c), 4, 4);
            break;
        case TBodyIcon::Moon:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(220, 220, 220));
            p.drawEllipse(QPointF(c), 5, 5);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(c) + QPointF(2.5, -1), 4, 4);
            break;
        case TBodyIcon::Planet:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 160, 90));
            p.drawEllipse(QPointF(c), 3.5, 3.5);
            break;
        case TBodyIcon::BrightStar:
        case TBodyIcon::FaintStar: {
            const double s = icon == TBodyIcon::BrightStar ? 5 : 3;
            p.setPen(QPen(Qt::white, 1));
            p.drawLine(QPointF(c) + QPointF(-s, 0), QPointF(c) + QPointF(s, 0));
            p.drawLine(QPointF(c) + QPointF(0, -s), QPointF(c) + QPointF(0, s));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(c), s / 3, s / 3);
            break;
        }
        }
    }
};

TBodyIcon IconOf(const TAstro &body)
{
    if (dynamic_cast<const TSol *>(&body))
        return TBodyIcon::Sun;
    if (dynamic_cast<const TLua *>(&body))
        return TBodyIcon::Moon;
    if (dynamic_cast<const TPlaneta *>(&body))
        return TBodyIcon::Planet;
    return body.Magnitude < 1.5f ? TBodyIcon::BrightStar : TBodyIcon::FaintStar;
}

// The three limbs against the horizon: lower limb touching it, upper limb, centre on it.
QPixmap LimbsPicture()
{
    QPixmap pm(96, 30);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = 8;
    const double horizon = 19;
    const double centres[] = {horizon - r, horizon + r, horizon};
    for (int i = 0; i < 3; ++i) {
        const double x = 16 + i * 32;
        p.setPen(QPen(Qt::darkBlue, 1));
        p.drawLine(QPointF(x - 13, horizon), QPointF(x + 13, horizon));
        p.setPen(QPen(QColor(200, 120, 0), 1));
        p.setBrush(QColor(255, 210, 60, 170));
        p.drawEllipse(QPointF(x, centres[i]), r, r);
    }
    return pm;
}

TNumEdit *NewNumber(const QString &name, const QString &hint, QWidget *parent)
{
    auto *e = new TNumEdit(parent);
    e->setObjectName(name);
    e->setToolTip(hint);
    e->SetValue(0);
    e->setMaximumWidth(80);
    return e;
}

TKaPositionEdit *NewPosition(
    const QString &name, TPositionType type, int digits, const QString &hint, QWidget *parent)
{
    auto *e = new TKaPositionEdit(parent);
    e->setObjectName(name);
    e->SetPositionType(type);
    e->SetDegreeDigits(digits);
    e->setToolTip(hint);
    return e;
}

QPushButton *NewButton(
    const QString &name, const QString &caption, QWidget *parent, const QString &hint = QString())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QPlainTextEdit *NewMemo(const QString &name, QWidget *parent)
{
    auto *m = new QPlainTextEdit(parent);
    m->setObjectName(name);
    m->setReadOnly(true);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setFont(MonospacedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize()));
    return m;
}

QToolButton *NewTool(
    const QString &name, const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    return b;
}

// One chart pane of a page: the view, its Zoom and Measure tools and its message label under it.
struct TChartPane
{
    TLogCarta *Chart;
    QLabel *Message;
    QToolButton *Zoom;
    QToolButton *Measure;
    QVBoxLayout *Layout;
};

TChartPane NewChartPane(QWidget *page, const QString &chartName, const QString &messageName,
    std::array<QString, 2> zoomNameHint, std::array<QString, 2> measureNameHint)
{
    TChartPane pane;
    pane.Chart = new TLogCarta(page);
    pane.Chart->setObjectName(chartName);
    // The pane grows with the window; this much keeps the LOPs and their numbers readable.
    pane.Chart->setMinimumSize(260, 220);
    pane.Chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    pane.Message = new QLabel(page);
    pane.Message->setObjectName(messageName);
    pane.Zoom = NewTool(zoomNameHint[0], QStringLiteral("Zoom"), zoomNameHint[1], page);
    pane.Measure = NewTool(measureNameHint[0], QStringLiteral("Measure"), measureNameHint[1], page);
    pane.Zoom->setChecked(true);
    auto *tools = new QHBoxLayout;
    tools->addWidget(pane.Zoom);
    tools->addWidget(pane.Measure);
    tools->addWidget(pane.Message, 1);
    pane.Layout = new QVBoxLayout;
    pane.Layout->addWidget(pane.Chart, 1);
    pane.Layout->addLayout(tools);
    return pane;
}

} // namespace

void TFormVrn32::CreateWidgets()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CreateInputs());
    FPageControl1 = new QTabWidget(this);
    FPageControl1->setObjectName(QStringLiteral("PageControl1"));
    FPageControl1->addTab(CreateSextantPage(), QStringLiteral("1. Sextant corrections"));
    FPageControl1->addTab(CreateLOPPage(), QStringLiteral("2. Line of Position"));
    FPageControl1->addTab(CreatePositionPage(), QStringLiteral("3. Astronomical Position"));
    FPageControl1->addTab(CreateOtherPage(), QStringLiteral("Other.."));
    // "Chart..." plots what the page in front shows, so it stays in reach on every page.
    FPageControl1->setCornerWidget(FBAbreCarta, Qt::TopRightCorner);
    layout->addWidget(FPageControl1, 1);
    SetTabOrder();
    EnterActivatesButtons(*this);
}

QWidget *TFormVrn32::CreateInputs()
{
    auto *box = new QGroupBox(QStringLiteral("Sight"), this);
    FLBStars = new QComboBox(box);
    FLBStars->setObjectName(QStringLiteral("LBStars"));
    FLBStars->setToolTip(QStringLiteral("Select the observed object"));
    FLBStars->setItemDelegate(new TBodyListDelegate(FLBStars));
    FLBStars->setMaxVisibleItems(20);
    FLBStars->setMinimumWidth(170);

    FEdLocalDate = new QLineEdit(box);
    FEdLocalDate->setObjectName(QStringLiteral("EdLocalDate"));
    FEdLocalDate->setToolTip(QStringLiteral("Local date"));
    FEdGMTDate = new QLineEdit(box);
    FEdGMTDate->setObjectName(QStringLiteral("EdGMTDate"));
    FEdGMTDate->setToolTip(QStringLiteral("GMT date"));
    for (QLineEdit *d : {FEdLocalDate, FEdGMTDate})
        d->setMaximumWidth(100);
    FEdLocalTime = new TKaTimeEdit(box);
    FEdLocalTime->setObjectName(QStringLiteral("EdLocalTime"));
    FEdLocalTime->setToolTip(QStringLiteral("Watch time (hh:mm:ss)"));
    FEdGMTTime = new TKaTimeEdit(box);
    FEdGMTTime->setObjectName(QStringLiteral("EdGMTTime"));
    FEdGMTTime->setToolTip(QStringLiteral("GMT time of the sight (hh:mm:ss)"));
    FEdTimeZone =
        NewNumber(QStringLiteral("EdTimeZone"), QStringLiteral("Enter time zone (p.e. +3)"), box);
    FEdWatchError = new QSpinBox(box);
    FEdWatchError->setObjectName(QStringLiteral("EdWatchError"));
    FEdWatchError->setRange(INT_MIN, INT_MAX);
    FEdWatchError->setToolTip(QStringLiteral("Watch error in seconds (+ if advanced)"));
    FEdLatitude = NewPosition(QStringLiteral("EdLatitude"), TPositionType::ptNS, 2,
        QStringLiteral("Assumed latitude"), box);
    FEdLongitude = NewPosition(QStringLiteral("EdLongitude"), TPositionType::ptWE, 3,
        QStringLiteral("Assumed longitude"), box);
    FEdAltitude = NewPosition(QStringLiteral("EdAltitude"), TPositionType::ptAngle, 2,
        QStringLiteral("Sextant altitude without any correction"), box);
    FEdIE = NewNumber(QStringLiteral("EdIE"),
        QStringLiteral("Index correction in minutes (- when the error is on the arc)"), box);
    FBNow = NewButton(QStringLiteral("BNow"), QStringLiteral("&Now!"), box,
        QStringLiteral("Local date and time from the computer clock"));
    FBGetSystemTimeZone = NewButton(QStringLiteral("BGetSystemTimeZone"), QStringLiteral("Zone"),
        box, QStringLiteral("Get system time zone"));

    auto *g = new QGridLayout(box);
    g->addWidget(LabelFor(QStringLiteral("Ob&ject:"), FLBStars, box), 0, 0);
    g->addWidget(FLBStars, 0, 1);
    g->addWidget(LabelFor(QStringLiteral("Lat:"), FEdLatitude, box), 0, 2);
    g->addWidget(FEdLatitude, 0, 3);
    g->addWidget(LabelFor(QStringLiteral("Lon:"), FEdLongitude, box), 0, 4);
    g->addWidget(FEdLongitude, 0, 5);
    g->addWidget(LabelFor(QStringLiteral("local date:"), FEdLocalDate, box), 1, 0);
    g->addWidget(FEdLocalDate, 1, 1);
    g->addWidget(LabelFor(QStringLiteral("watch time:"), FEdLocalTime, box), 1, 2);
    g->addWidget(FEdLocalTime, 1, 3);
    g->addWidget(LabelFor(QStringLiteral("time zone:"), FEdTimeZone, box), 1, 4);
    auto *zone = new QHBoxLayout;
    zone->addWidget(FEdTimeZone);
    zone->addWidget(FBGetSystemTimeZone);
    g->addLayout(zone, 1, 5);
    g->addWidget(FBNow, 1, 6, Qt::AlignLeft);
    g->addWidget(LabelFor(QStringLiteral("GMT date:"), FEdGMTDate, box), 2, 0);
    g->addWidget(FEdGMTDate, 2, 1);
    g->addWidget(LabelFor(QStringLiteral("GMT time:"), FEdGMTTime, box), 2, 2);
    g->addWidget(FEdGMTTime, 2, 3);
    g->addWidget(LabelFor(QStringLiteral("watch error:"), FEdWatchError, box), 2, 4);
    g->addWidget(FEdWatchError, 2, 5);
    g->addWidget(
        LabelFor(QStringLiteral("&instrumental altitude (Hs):"), FEdAltitude, box), 3, 0, 1, 2);
    g->addWidget(FEdAltitude, 3, 3);
    g->addWidget(LabelFor(QStringLiteral("Index Correction:"), FEdIE, box), 3, 4);
    auto *ie = new QHBoxLayout;
    ie->addWidget(FEdIE);
    ie->addWidget(new QLabel(QStringLiteral("'"), box));
    ie->addStretch(1);
    g->addLayout(ie, 3, 5);
    g->setColumnStretch(6, 1);
    return box;
}

QWidget *TFormVrn32::CreateSextantPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TSSextant"));

    auto *dipBox = new QGroupBox(QStringLiteral("Dip"), page);
    FEdDip = NewNumber(QStringLiteral("EdDip"),
        QStringLiteral("Height of the eye, or the dip itself in minutes"), dipBox);
    FCBDipUnit = new QComboBox(dipBox);
    FCBDipUnit->setObjectName(QStringLiteral("CBDipUnit"));
    FillDipUnits(*FCBDipUnit, 0);
    FCBUseDipShort = new QCheckBox(QStringLiteral("Use Dip Short"), dipBox);
    FCBUseDipShort->setObjectName(QStringLiteral("CBUseDipShort"));
    FCBUseDipShort->setToolTip(
        QStringLiteral("Use when the waterline below the object is nearer than the horizon"));
    FEdDipShortDistance = NewNumber(QStringLiteral("EdDipShortDistance"),
        QStringLiteral("Distance to the waterline in NM"), dipBox);
    FEdDipShortDistance->setVisible(false);
    auto *dip = new QGridLayout(dipBox);
    dip->addWidget(FEdDip, 0, 0);
    dip->addWidget(FCBDipUnit, 0, 1);
    dip->addWidget(FCBUseDipShort, 1, 0);
    dip->addWidget(FEdDipShortDistance, 1, 1);

    FRGRefractionCorrection = new QGroupBox(QStringLiteral("Refraction"), page);
    FRGRefractionCorrection->setObjectName(QStringLiteral("RGRefractionCorrection"));
    FRBSimpleRefraction =
        new QRadioButton(QStringLiteral("Use simple refraction fórmula"), FRGRefractionCorrection);
    FRBSimpleRefraction->setChecked(true);
    FRBAtmosphericRefraction = new QRadioButton(
        QStringLiteral("Use formula &with atmospheric vars"), FRGRefractionCorrection);
    FRBAtmosphericRefraction->setToolTip(QStringLiteral(
        "Choose this formula when conditions depart significantly from 20 °C and 1010 mbar"));
    FAtmosphericFields = new QWidget(FRGRefractionCorrection);
    FEdTemperature = NewNumber(
        QStringLiteral("EdTemperature"), QStringLiteral("Temperature (°C)"), FAtmosphericFields);
    FEdTemperature->SetValue(20);
    FEdPressure = NewNumber(
        QStringLiteral("EdPressure"), QStringLiteral("Pressure (millibars)"), FAtmosphericFields);
    FEdPressure->SetValue(1010);
    auto *atm = new QHBoxLayout(FAtmosphericFields);
    atm->setContentsMargins(18, 0, 0, 0);
    atm->addWidget(FEdTemperature);
    atm->addWidget(new QLabel(QStringLiteral("°C"), FAtmosphericFields));
    atm->addWidget(FEdPressure);
    atm->addWidget(new QLabel(QStringLiteral("mbar"), FAtmosphericFields));
    atm->addStretch(1);
    FAtmosphericFields->setVisible(false);
    auto *refr = new QVBoxLayout(FRGRefractionCorrection);
    refr->addWidget(FRBSimpleRefraction);
    refr->addWidget(FRBAtmosphericRefraction);
    refr->addWidget(FAtmosphericFields);

    FRGLimbType = new QGroupBox(QStringLiteral("Semi Diameter"), page);
    FRGLimbType->setObjectName(QStringLiteral("RGLimbType"));
    FLimbButtons = new QButtonGroup(FRGLimbType);
    auto *limbs = new QGridLayout(FRGLimbType);
    const QString limbNames[] = {QStringLiteral("lower limb"), QStringLiteral("upper limb"),
        QStringLiteral("object center")};
    for (int i = 0; i < 3; ++i) {
        auto *rb = new QRadioButton(limbNames[i], FRGLimbType);
        FLimbButtons->addButton(rb, i);
        limbs->addWidget(rb, i, 0);
    }
    FLimbButtons->button(0)->setChecked(true);
    FImgLimbs = new QLabel(FRGLimbType);
    FImgLimbs->setObjectName(QStringLiteral("ImgLimbs"));
    FImgLimbs->setPixmap(LimbsPicture());
    limbs->addWidget(FImgLimbs, 0, 1, 3, 1);

    FCBArtificialHorizon = new QCheckBox(QStringLiteral("Using Artificial &Horizon "), page);
    FCBArtificialHorizon->setObjectName(QStringLiteral("CBArtificialHorizon"));
    FCBArtificialHorizon->setToolTip(
        QStringLiteral("The altitude read is twice the altitude of the object"));

    // Never shown: the Coriolis box keeps its stored value and is honoured.
    FCoriolisPanel = new QWidget(page);
    FCoriolisPanel->setObjectName(QStringLiteral("PanelCoriolis"));
    FCBUseCoriolisCorrection =
        new QCheckBox(QStringLiteral("Use Coriolis correction"), FCoriolisPanel);
    FCBUseCoriolisCorrection->setObjectName(QStringLiteral("CBUseCoriolisCorrection"));
    FBEditBoatCourseSpeedCoriollis = NewButton(QStringLiteral("BEditBoatCourseSpeedCoriollis"),
        QStringLiteral("Edit course && speed"), FCoriolisPanel);
    auto *cor = new QHBoxLayout(FCoriolisPanel);
    cor->addWidget(FCBUseCoriolisCorrection);
    cor->addWidget(FBEditBoatCourseSpeedCoriollis);
    FCoriolisPanel->setVisible(false);

    auto *calBox = new QGroupBox(QStringLiteral("Sextant Calibration table"), page);
    FGridCorrectionTable = new QTableWidget(0, 3, calBox);
    FGridCorrectionTable->setObjectName(QStringLiteral("GridCorrectionTable"));
    FGridCorrectionTable->setHorizontalHeaderLabels(
        {QStringLiteral("#"), QStringLiteral("Alt"), QStringLiteral("Error '")});
    FGridCorrectionTable->verticalHeader()->setVisible(false);
    FGridCorrectionTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGridCorrectionTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGridCorrectionTable->setSelectionMode(QAbstractItemView::SingleSelection);
    FGridCorrectionTable->horizontalHeader()->setStretchLastSection(true);
    FGridCorrectionTable->setColumnWidth(0, 30);
    FGridCorrectionTable->setColumnWidth(1, 50);
    FGridCorrectionTable->setFixedWidth(170);
    FGridCorrectionTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FChartSextantCorrection = new TSextantErrorPlot(calBox);
    FChartSextantCorrection->setObjectName(QStringLiteral("ChartSextantCorrection"));
    FChartSextantCorrection->SetBackgroundText(QStringLiteral("Sextant Error"));
    FBAddCorrectionTablePoint = NewButton(QStringLiteral("BAddCorrectionTablePoint"),
        QStringLiteral("Add"), calBox, QStringLiteral("Add point to calibration table"));
    FBEditCorrectionTablePoint = NewButton(QStringLiteral("BEditCorrectionTablePoint"),
        QStringLiteral("Edit"), calBox, QStringLiteral("Edit selected calibration table point "));
    FBDeleteCorrectionTablePoint =
        NewButton(QStringLiteral("BDeleteCorrectionTablePoint"), QStringLiteral("Delete"), calBox,
            QStringLiteral("Delete selected calibration table point "));
    FBLoadSextantCalibrationTable = NewButton(QStringLiteral("BLoadSextantCalibrationTable"),
        QStringLiteral("Open..."), calBox, QStringLiteral("Open sextant calibration table"));
    FBSaveSextantCalibrationTable = NewButton(QStringLiteral("BSaveSextantCalibrationTable"),
        QStringLiteral("Save..."), calBox, QStringLiteral("Save sextant calibration table"));
    auto *cal = new QGridLayout(calBox);
    cal->addWidget(FGridCorrectionTable, 0, 0, 2, 1);
    cal->addWidget(FChartSextantCorrection, 0, 1);
    auto *calButtons = new QHBoxLayout;
    for (QPushButton *b :
        {FBAddCorrectionTablePoint, FBEditCorrectionTablePoint, FBDeleteCorrectionTablePoint,
            FBLoadSextantCalibrationTable, FBSaveSextantCalibrationTable})
        calButtons->addWidget(b);
    cal->addLayout(calButtons, 1, 1);
    cal->setColumnStretch(1, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(dipBox);
    left->addWidget(FRGRefractionCorrection);
    left->addWidget(FCBArtificialHorizon);
    left->addWidget(FCoriolisPanel);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(FRGLimbType);
    right->addWidget(calBox, 1);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    return page;
}

QWidget *TFormVrn32::CreateLOPPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TSLOP"));
    FBCalcLOP = NewButton(QStringLiteral("BCalcLOP"), QStringLiteral("&Calculate"), page,
        QStringLiteral("Calculate the line of position of the sight"));
    FBSalvaReta = NewButton(QStringLiteral("BSalvaReta"), QStringLiteral("Save LOP"), page,
        QStringLiteral("Add the LOP to the LOP list"));
    FBSalvaReta->setEnabled(false);
    FMemoLOP = NewMemo(QStringLiteral("MemoLOP"), page);
    // The report's longest lines ("Assumed Pos. Lat:40°00.0'N  Lon:10°00.0'W").
    FMemoLOP->setMinimumWidth(
        FMemoLOP->fontMetrics().horizontalAdvance(QString(44, QLatin1Char('0'))));
    const TChartPane pane =
        NewChartPane(page, QStringLiteral("LOPChart"), QStringLiteral("LLOPChartMessage"),
            {QStringLiteral("BZoomLOP"), QStringLiteral("zoom tool (shift to zoom out)")},
            {QStringLiteral("BMeasureLOP"), QStringLiteral("measure tool")});
    FLOPChart = pane.Chart;
    FLLOPChartMessage = pane.Message;
    FBZoomLOP = pane.Zoom;
    FBMeasureLOP = pane.Measure;

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FBCalcLOP);
    buttons->addWidget(FBSalvaReta);
    buttons->addStretch(1);
    auto *left = new QVBoxLayout;
    left->addLayout(buttons);
    left->addWidget(FMemoLOP, 1);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(pane.Layout);
    return page;
}

QWidget *TFormVrn32::CreatePositionPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TSPosition"));
    FLVRetasPosicao = new QTreeWidget(page);
    FLVRetasPosicao->setObjectName(QStringLiteral("LVRetasPosicao"));
    FLVRetasPosicao->setRootIsDecorated(false);
    FLVRetasPosicao->setItemDelegate(new TSuspectLOPDelegate(FLVRetasPosicao));
    FLVRetasPosicao->setHeaderLabels(
        {QStringLiteral("#"), QStringLiteral("Object"), QStringLiteral("Date/time"),
            QStringLiteral("Hi"), QStringLiteral("Delta"), QStringLiteral("Az")});
    FLVRetasPosicao->setSelectionBehavior(QAbstractItemView::SelectRows);
    FLVRetasPosicao->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FLVRetasPosicao->setMinimumHeight(120);
    // Each column as wide as its longest text, with room for the check box in the first.
    const QFontMetrics fm = FLVRetasPosicao->fontMetrics();
    const int pad = fm.horizontalAdvance(QStringLiteral("00"));
    const QString widest[] = {QStringLiteral("#20"), QStringLiteral("Kaus Australis"),
        QStringLiteral("00/00/0000 00:00:00"), QStringLiteral("000°00.0'-"),
        QStringLiteral("-000.0"), QStringLiteral("000°")};
    int columns = 0;
    for (int c = 0; c < 6; ++c) {
        const int check = c == 0 ? 28 : 0;
        FLVRetasPosicao->setColumnWidth(c, fm.horizontalAdvance(widest[c]) + pad + check);
        columns += FLVRetasPosicao->columnWidth(c);
    }
    // Every column in view, with room for the vertical scroll bar of a long list.
    FLVRetasPosicao->setMinimumWidth(columns + 2 * FLVRetasPosicao->frameWidth()
        + FLVRetasPosicao->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
    FLVRetasPosicao->viewport()->installEventFilter(this);

    FBLimpaRetaDeAltura = NewButton(QStringLiteral("BLimpaRetaDeAltura"), QStringLiteral("Delete"),
        page, QStringLiteral("Delete selected LOP"));
    FBClearAllRetas = NewButton(QStringLiteral("BClearAllRetas"), QStringLiteral("Delete all"),
        page, QStringLiteral("Delete all LOPs"));
    FBEditaLOP = NewButton(QStringLiteral("BEditaLOP"), QStringLiteral("Edit"), page,
        QStringLiteral("Edit selected LOP"));
    FBSaveLOPList = NewButton(QStringLiteral("BSaveLOPList"), QStringLiteral("Save..."), page,
        QStringLiteral("Save LOP list"));
    FBOpenLOPList = NewButton(QStringLiteral("BOpenLOPList"), QStringLiteral("Open..."), page,
        QStringLiteral("Open LOP list"));

    FRGAutoTransportMode = new QGroupBox(QStringLiteral("Auto LOP Transport"), page);
    FRGAutoTransportMode->setObjectName(QStringLiteral("RGAutoTransportMode"));
    FTransportButtons = new QButtonGroup(FRGAutoTransportMode);
    auto *modes = new QVBoxLayout(FRGAutoTransportMode);
    const QString modeNames[] = {QStringLiteral("Don't transport"),
        QStringLiteral("To Lat&est LOP Time"), QStringLiteral("To LOPs &Mean Time"),
        QStringLiteral("To Selec&ted Time")};
    for (int i = 0; i < 4; ++i) {
        auto *rb = new QRadioButton(modeNames[i], FRGAutoTransportMode);
        FTransportButtons->addButton(rb, i);
        modes->addWidget(rb);
    }
    FTransportButtons->button(0)->setChecked(true);

    FBoatPanel = new QWidget(page);
    FBoatPanel->setObjectName(QStringLiteral("PanelBoat"));
    FLBoatCourse = new QLabel(FBoatPanel);
    FLBoatCourse->setObjectName(QStringLiteral("LBoatCourse"));
    FLBoatSpeed = new QLabel(FBoatPanel);
    FLBoatSpeed->setObjectName(QStringLiteral("LBoatSpeed"));
    FLTransportTime = new QLabel(QStringLiteral("--"), FBoatPanel);
    FLTransportTime->setObjectName(QStringLiteral("LTransportTime"));
    FLTransportTime->setToolTip(QStringLiteral("Time of transported LOPs (the red ones)"));
    FLTransportTime->setStyleSheet(QStringLiteral("color: #C00000"));
    FBEditBoatCourseSpeed = NewButton(
        QStringLiteral("BEditBoatCourseSpeed"), QStringLiteral("course && speed..."), FBoatPanel);
    auto *boat = new QGridLayout(FBoatPanel);
    boat->setContentsMargins(0, 0, 0, 0);
    boat->addWidget(FLBoatCourse, 0, 0);
    boat->addWidget(FLBoatSpeed, 0, 1);
    boat->addWidget(FBEditBoatCourseSpeed, 0, 2);
    boat->addWidget(FLTransportTime, 1, 0, 1, 3);
    FBoatPanel->setVisible(false);

    // Alt+C is page 2's "&Calculate".
    FBCalcPosAstronomica = NewButton(QStringLiteral("BCalcPosAstronomica"),
        QStringLiteral("Calc&ulate"), page, QStringLiteral("Calculate the astronomical position"));
    FLFixLat = new QLabel(page);
    FLFixLat->setObjectName(QStringLiteral("LFixLat"));
    FLFixLon = new QLabel(page);
    FLFixLon->setObjectName(QStringLiteral("LFixLon"));
    FMemoPosition = NewMemo(QStringLiteral("MemoPosition"), page);
    const TChartPane pane =
        NewChartPane(page, QStringLiteral("PositionChart"), QStringLiteral("LPositionChartMessage"),
            {QStringLiteral("BZoomPos"),
                QStringLiteral("zoom tool (click to zoom in, shift-click to zoom out)")},
            {QStringLiteral("BMeasurePos"),
                QStringLiteral("measure tool (move to see coordinates, drag to measure)")});
    FPositionChart = pane.Chart;
    FLPositionChartMessage = pane.Message;
    FBZoomPos = pane.Zoom;
    FBMeasurePos = pane.Measure;

    auto *listButtons = new QHBoxLayout;
    for (QPushButton *b :
        {FBEditaLOP, FBLimpaRetaDeAltura, FBClearAllRetas, FBOpenLOPList, FBSaveLOPList})
        listButtons->addWidget(b);
    auto *calc = new QHBoxLayout;
    calc->addWidget(FBCalcPosAstronomica);
    auto *fix = new QVBoxLayout;
    fix->addWidget(FLFixLat);
    fix->addWidget(FLFixLon);
    calc->addLayout(fix, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(FLVRetasPosicao);
    left->addLayout(listButtons);
    auto *transport = new QHBoxLayout;
    transport->addWidget(FRGAutoTransportMode);
    auto *transportRight = new QVBoxLayout;
    transportRight->addWidget(FBoatPanel);
    transportRight->addStretch(1);
    transportRight->addLayout(calc);
    transport->addLayout(transportRight, 1);
    left->addLayout(transport);
    left->addWidget(FMemoPosition, 1);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(pane.Layout);
    return page;
}

QWidget *TFormVrn32::CreateOtherPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TSOther"));
    FBCalcAstroDados = NewButton(QStringLiteral("BCalcAstroDados"), QStringLiteral("&Object data"),
        page, QStringLiteral("Almanac data of the object for the GMT date and time"));
    FBPassagemMeridiana = NewButton(QStringLiteral("BPassagemMeridiana"),
        QStringLiteral("Simple &Sun Meridian Passage"), page,
        QStringLiteral("Position from the GMT and altitude of the Sun's culmination"));
    FBMeridianPassageByMethodOfEqualAltitudes =
        NewButton(QStringLiteral("BMeridianPassageByMethodOfEqualAltitudes"),
            QStringLiteral("Sun Merid. Pass. by Equal Altitudes.."), page);
    FBMeridianPassageByMethodOfEqualAltitudes->setEnabled(false);
    FBAlmanacPages = NewButton(QStringLiteral("BAlmanacPages"), QStringLiteral("&Almanac pages.."),
        page, QStringLiteral("Nautical almanac pages"));
    FBAlmanacPages->setEnabled(false);
    FBShowDistanceBetweenTwoObjects = NewButton(QStringLiteral("BShowDistanceBetweenTwoObjects"),
        QStringLiteral("Dist. between objects and &Lunars..."), page,
        QStringLiteral("Distance between two objects at the GMT, and lunar distances"));
    FBAbreCarta = NewButton(QStringLiteral("BAbreCarta"), QStringLiteral("Chart..."), page,
        QStringLiteral("Open chart window with current set of LOPs"));
    FBAbreCarta->setEnabled(false);
    FBStarFinder = NewButton(QStringLiteral("BStarFinder"), QStringLiteral("Star Finder..."), page,
        QStringLiteral("Open Star Finder using GMT time and position"));
    FBStarFinder->setEnabled(false);
    FMemoOther = NewMemo(QStringLiteral("MemoOther"), page);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b :
        {FBCalcAstroDados, FBPassagemMeridiana, FBMeridianPassageByMethodOfEqualAltitudes,
            FBAlmanacPages, FBShowDistanceBetweenTwoObjects, FBStarFinder})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(buttons);
    layout->addWidget(FMemoOther, 1);
    return page;
}

void TFormVrn32::SetTabOrder()
{
    // Reading order: the sight inputs row by row, then the pages, each column top to bottom.
    SetTabChain({FLBStars, FEdLatitude, FEdLongitude, FEdLocalDate, FEdLocalTime, FEdTimeZone,
        FBGetSystemTimeZone, FBNow, FEdGMTDate, FEdGMTTime, FEdWatchError, FEdAltitude, FEdIE,
        FPageControl1});
    SetTabChain({FEdDip, FCBDipUnit, FCBUseDipShort, FEdDipShortDistance, FRBSimpleRefraction,
        FRBAtmosphericRefraction, FEdTemperature, FEdPressure, FCBArtificialHorizon,
        FCBUseCoriolisCorrection, FBEditBoatCourseSpeedCoriollis, FLimbButtons->button(0),
        FLimbButtons->button(1), FLimbButtons->button(2), FGridCorrectionTable,
        FBAddCorrectionTablePoint, FBEditCorrectionTablePoint, FBDeleteCorrectionTablePoint,
        FBLoadSextantCalibrationTable, FBSaveSextantCalibrationTable});
    SetTabChain({FBCalcLOP, FBSalvaReta, FMemoLOP, FLOPChart, FBZoomLOP, FBMeasureLOP});
    SetTabChain({FLVRetasPosicao, FBEditaLOP, FBLimpaRetaDeAltura, FBClearAllRetas, FBOpenLOPList,
        FBSaveLOPList, FTransportButtons->button(0), FTransportButtons->button(1),
        FTransportButtons->button(2), FTransportButtons->button(3), FBEditBoatCourseSpeed,
        FBCalcPosAstronomica, FMemoPosition, FPositionChart, FBZoomPos, FBMeasurePos});
    SetTabChain({FBCalcAstroDados, FBPassagemMeridiana, FBMeridianPassageByMethodOfEqualAltitudes,
        FBAlmanacPages, FBShowDistanceBetweenTwoObjects, FBAbreCarta, FBStarFinder, FMemoOther});
}

void TFormVrn32::FillBodyList()
{
    FLBStars->clear();
    for (TAstro *body : Astros().BodyList()) {
        FLBStars->addItem(QString::fromStdString(body->Name()));
        FLBStars->setItemData(FLBStars->count() - 1, static_cast<int>(IconOf(*body)), Qt::UserRole);
    }
    FLBStars->setCurrentIndex(0);
}

void TFormVrn32::LoadSettings()
{
    const TFormSettings s(kWindowName);
    FGeometryRestored = s.RestoreGeometry(*this);
    FillDipUnits(*FCBDipUnit, s.ReadInt(QStringLiteral("CBDipUnit"), QStringLiteral("Tag"), 0));
    FEdWatchError->setValue(s.ReadInt(QStringLiteral("EdWatchError"), QStringLiteral("Value"), 0));
    RestorePosition(s, *FEdAltitude);
    FEdTimeZone->SetValue(s.ReadDouble(QStringLiteral("EdTimeZone"), QStringLiteral("Value"), 0));
    FEdDip->SetValue(s.ReadDouble(QStringLiteral("EdDip"), QStringLiteral("Value"), 0));
    FEdGMTDate->setText(s.ReadString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), {}));
    RestoreTime(s, *FEdGMTTime);
    FEdIE->SetValue(s.ReadDouble(QStringLiteral("EdIE"), QStringLiteral("Value"), 0));
    RestorePosition(s, *FEdLatitude);
    FEdLocalDate->setText(s.ReadString(QStringLiteral("EdLocalDate"), QStringLiteral("Text"), {}));
    RestoreTime(s, *FEdLocalTime);
    RestorePosition(s, *FEdLongitude);
    FCBArtificialHorizon->setChecked(
        s.ReadBool(QStringLiteral("CBArtificialHorizon"), QStringLiteral("Checked"), false));
    FCBUseCoriolisCorrection->setChecked(
        s.ReadBool(QStringLiteral("CBUseCoriolisCorrection"), QStringLiteral("Checked"), false));
    FCBUseDipShort->setChecked(
        s.ReadBool(QStringLiteral("CBUseDipShort"), QStringLiteral("Checked"), false));
    FEdDipShortDistance->SetValue(
        s.ReadDouble(QStringLiteral("EdDipShortDistance"), QStringLiteral("Value"), 0));
    FEdPressure->SetValue(
        s.ReadDouble(QStringLiteral("EdPressure"), QStringLiteral("Value"), 1010));
    FEdTemperature->SetValue(
        s.ReadDouble(QStringLiteral("EdTemperature"), QStringLiteral("Value"), 20));
    const int refraction =
        s.ReadInt(QStringLiteral("RGRefractionCorrection"), QStringLiteral("ItemIndex"), 0);
    (refraction == 1 ? FRBAtmosphericRefraction : FRBSimpleRefraction)->setChecked(true);
    const int limb = s.ReadInt(QStringLiteral("RGLimbType"), QStringLiteral("ItemIndex"), 0);
    FLimbButtons->button(limb >= 0 && limb <= 2 ? limb : 0)->setChecked(true);

    const TCalibrationLoadResult cal = Sextant().CalibrationTable.LoadFromText(
        s.ReadString(QStringLiteral("CalibrationTableString"), QStringLiteral("Value"),
             QStringLiteral("P0="))
            .toStdString());
    if (!cal.Problems.empty())
        ShowMessage(this, QStringLiteral("Error loading sextant calibration table."));
}

void TFormVrn32::SaveSettings()
{
    TFormSettings s(kWindowName);
    s.SaveGeometry(*this);
    s.WriteInt(QStringLiteral("EdWatchError"), QStringLiteral("Value"), FEdWatchError->value());
    StorePosition(s, *FEdAltitude);
    s.WriteDouble(QStringLiteral("EdTimeZone"), QStringLiteral("Value"), FEdTimeZone->Value());
    s.WriteDouble(QStringLiteral("EdDip"), QStringLiteral("Value"), FEdDip->Value());
    s.WriteString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), FEdGMTDate->text());
    StoreTime(s, *FEdGMTTime);
    s.WriteDouble(QStringLiteral("EdIE"), QStringLiteral("Value"), FEdIE->Value());
    StorePosition(s, *FEdLatitude);
    s.WriteString(QStringLiteral("EdLocalDate"), QStringLiteral("Text"), FEdLocalDate->text());
    StoreTime(s, *FEdLocalTime);
    StorePosition(s, *FEdLongitude);
    s.WriteBool(QStringLiteral("CBArtificialHorizon"), QStringLiteral("Checked"),
        FCBArtificialHorizon->isChecked());
    s.WriteInt(QStringLiteral("CBDipUnit"), QStringLiteral("Tag"), FCBDipUnit->currentIndex());
    s.WriteBool(QStringLiteral("CBUseCoriolisCorrection"), QStringLiteral("Checked"),
        FCBUseCoriolisCorrection->isChecked());
    s.WriteBool(
        QStringLiteral("CBUseDipShort"), QStringLiteral("Checked"), FCBUseDipShort->isChecked());
    s.WriteDouble(QStringLiteral("EdDipShortDistance"), QStringLiteral("Value"),
        FEdDipShortDistance->Value());
    s.WriteDouble(QStringLiteral("EdPressure"), QStringLiteral("Value"), FEdPressure->Value());
    s.WriteDouble(
        QStringLiteral("EdTemperature"), QStringLiteral("Value"), FEdTemperature->Value());
    s.WriteInt(QStringLiteral("RGRefractionCorrection"), QStringLiteral("ItemIndex"),
        FRBAtmosphericRefraction->isChecked() ? 1 : 0);
    s.WriteInt(
        QStringLiteral("RGLimbType"), QStringLiteral("ItemIndex"), FLimbButtons->checkedId());
    s.WriteString(QStringLiteral("CalibrationTableString"), QStringLiteral("Value"),
        QString::fromStdString(Sextant().CalibrationTable.AsText()));
    s.Flush();
}

void TFormVrn32::LoadLOPsAtStart()
{
    RunCommand(this, [this] {
        const TLOPsFileLoad load = LoadLOPsFileSalvaging(DataFolder().toStdString());
        FLOPs.SetLOPs(load.LOPs);
        if (!load.Message.empty())
            ShowError(this, QString::fromStdString(load.Message));
    });
}

} // namespace vrn
