// Construction and stored settings of the star finder window.

#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/DateTime.h"
#include "sky/fTAstroChart.h"
#include "ui/FormSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vrn {
namespace {

const QString kWindowName = QStringLiteral("FormStarFinder");

QPushButton *NewButton(
    const char *name, const QString &caption, QWidget *parent, const QString &hint = QString())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoDefault(true); // Enter presses the focused button
    return b;
}

QCheckBox *NewCheck(const char *name, const QString &caption, bool on, QWidget *parent,
    const QString &hint = QString())
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(on);
    c->setToolTip(hint);
    return c;
}

QLabel *LabelFor(const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

TKaPositionEdit *NewPosition(
    const char *name, TPositionType type, int degreeDigits, const QString &hint, QWidget *parent)
{
    auto *e = new TKaPositionEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->SetPositionType(type);
    e->SetDegreeDigits(degreeDigits);
    e->SetMinFracDigits(1);
    e->setToolTip(hint);
    return e;
}

// The check boxes whose state is stored, by control name.
struct TStoredCheck
{
    const char *Name;
    QCheckBox *TFormStarFinder::*Field;
};

void StoreFont(TFormSettings &s, const QString &control, const QFont &font, const QColor &colour)
{
    s.WriteString(control, QStringLiteral("Name"), font.family());
    s.WriteInt(control, QStringLiteral("Size"), font.pointSize());
    s.WriteInt(control, QStringLiteral("Style"),
        (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0)
            | (font.strikeOut() ? 8 : 0));
    s.WriteString(control, QStringLiteral("Color"), colour.name());
}

void RestoreFont(const TFormSettings &s, const QString &control, QFont &font, QColor &colour)
{
    const QString family = s.ReadString(control, QStringLiteral("Name"), font.family());
    if (!family.isEmpty())
        font.setFamily(family);
    const int size = s.ReadInt(control, QStringLiteral("Size"), font.pointSize());
    if (size >= 4 && size <= 72)
        font.setPointSize(size);
    const int style = s.ReadInt(control, QStringLiteral("Style"), 0);
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    font.setStrikeOut(style & 8);
    const QColor c(s.ReadString(control, QStringLiteral("Color"), colour.name()));
    if (c.isValid())
        colour = c;
}

} // namespace

void TFormStarFinder::CreateWidgets()
{
    auto *left = new QVBoxLayout;
    left->addWidget(CreateInputs());
    left->addWidget(CreateAnimation());
    left->addWidget(CreatePlanner());
    left->addWidget(CreatePages(), 1);

    FBCopyVisStarChart = NewButton("BCopyVisStarChart", QStringLiteral("&Copy"), this,
        QStringLiteral("Copy chart to clipboard"));
    FBPrintStuff = NewButton("BPrintStuff", QStringLiteral("&Print"), this,
        QStringLiteral("Print the chart and the list, or save them as PDF"));
    auto *menu = new QMenu(FBPrintStuff);
    menu->setObjectName(QStringLiteral("PMPrint"));
    const auto action = [menu](const char *name, const QString &caption) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    FMIPrintStuff = action("MIPrintStuff", QStringLiteral("&Print chart and list..."));
    FMIPrintVisibleStarsList =
        action("BPrintVisibleStarsList", QStringLiteral("Print &object list..."));
    FMIPrintVisibleStarsChart =
        action("BPrintVisibleStarsChart", QStringLiteral("Print &chart..."));
    menu->addSeparator();
    FMISaveStuffAsPdf =
        action("MISaveStuffAsPdf", QStringLiteral("&Save chart and list as PDF..."));
    FMISaveVisibleStarsListAsPdf =
        action("MISaveVisibleStarsListAsPdf", QStringLiteral("Save object &list as PDF..."));
    FMISaveVisibleStarsChartAsPdf =
        action("MISaveVisibleStarsChartAsPdf", QStringLiteral("Save c&hart as PDF..."));
    FBPrintStuff->setMenu(menu);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FBCopyVisStarChart);
    buttons->addWidget(FBPrintStuff);
    buttons->addStretch(1);
    left->addLayout(buttons);

    FLViewLabel = new QLabel(this);
    FLViewLabel->setObjectName(QStringLiteral("LViewLabel"));
    FLViewLabel->setAlignment(Qt::AlignCenter);
    FChart = new TStarFinder(this);
    FChart->setMinimumSize(400, 400);
    FChart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *right = new QVBoxLayout;
    right->addWidget(FLViewLabel);
    right->addWidget(FChart, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 0);
    layout->addLayout(right, 1);
}

QWidget *TFormStarFinder::CreateInputs()
{
    auto *box = new QGroupBox(QStringLiteral("Position and GMT"), this);
    FEdLat = NewPosition(
        "EdLat", TPositionType::ptNS, 2, QStringLiteral("latitude (ex: 23°22.3 N)"), box);
    FEdLon = NewPosition(
        "EdLon", TPositionType::ptWE, 3, QStringLiteral("longitude (ex: 43°52.3 W)"), box);
    FEdGMTDate = new QLineEdit(box);
    FEdGMTDate->setObjectName(QStringLiteral("EdGMTDate"));
    FEdGMTDate->setToolTip(QStringLiteral("Select GMT date (%1); empty means today")
                               .arg(QString::fromStdString(ShortDateFormat().Pattern())));
    FEdGMTDate->setPlaceholderText(QString::fromStdString(ShortDateFormat().Pattern()));
    FEdGMTDate->setMaxLength(10);
    FEdGMTDate->setMinimumWidth(
        FEdGMTDate->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
    FEdGMTTime = new TKaTimeEdit(box);
    FEdGMTTime->setObjectName(QStringLiteral("EdGMTTime"));
    FEdGMTTime->setToolTip(QStringLiteral("Enter GMT Time (Corrected)"));
    FEdTimeZone = new TNumEdit(box);
    FEdTimeZone->setObjectName(QStringLiteral("EdTimeZone"));
    FEdTimeZone->setToolTip(QStringLiteral("Enter time zone (p.e. +3)"));
    FEdTimeZone->SetRange(-14, 14);
    FEdTimeZone->SetValue(0);
    FEdTimeZone->setMaximumWidth(60);
    FBGetSystemTimeZone = NewButton("BGetSystemTimeZone", QStringLiteral("System zone"), box,
        QStringLiteral("Get system time zone"));
    FBNow = NewButton("BNow", QStringLiteral("&Now"), box, QStringLiteral("Set current GMT time"));
    FBCalcAstrosVisiveis = NewButton("BCalcAstrosVisiveis", QStringLiteral("&Update !"), box,
        QStringLiteral("Calculate list of visible objects"));

    auto *g = new QGridLayout(box);
    g->addWidget(LabelFor(QStringLiteral("Lat:"), FEdLat, box), 0, 0);
    g->addWidget(FEdLat, 0, 1);
    g->addWidget(LabelFor(QStringLiteral("Lon:"), FEdLon, box), 0, 2);
    g->addWidget(FEdLon, 0, 3);
    g->addWidget(LabelFor(QStringLiteral("GMT date:"), FEdGMTDate, box), 1, 0);
    g->addWidget(FEdGMTDate, 1, 1);
    g->addWidget(LabelFor(QStringLiteral("GMT time:"), FEdGMTTime, box), 1, 2);
    g->addWidget(FEdGMTTime, 1, 3);
    g->addWidget(LabelFor(QStringLiteral("Time zone:"), FEdTimeZone, box), 2, 0);
    auto *zone = new QHBoxLayout;
    zone->addWidget(FEdTimeZone);
    zone->addWidget(FBGetSystemTimeZone);
    zone->addStretch(1);
    g->addLayout(zone, 2, 1);
    auto *commands = new QHBoxLayout;
    commands->addWidget(FBNow);
    commands->addWidget(FBCalcAstrosVisiveis);
    g->addLayout(commands, 2, 2, 1, 2);
    return box;
}

QWidget *TFormStarFinder::CreateAnimation()
{
    auto *box = new QGroupBox(QStringLiteral("Animation"), this);
    FCBCurrentSky = NewCheck("CBCurrentSky", QStringLiteral("Current s&ky"), false, box,
        QStringLiteral("The animation follows the clock"));
    FCBAnimate = NewCheck("CBAnimate", QStringLiteral("Anima&te"), false, box,
        QStringLiteral("Refresh the view periodically"));
    FSpinEvery = new QSpinBox(box);
    FSpinEvery->setObjectName(QStringLiteral("SpinEvery"));
    FSpinEvery->setRange(0, 120);
    FSpinEvery->setValue(1);
    FSpinEvery->setToolTip(QStringLiteral("Seconds between refreshes (0 stops the animation)"));
    FAdvance = new QWidget(box);
    FSpinAdvance = new QSpinBox(FAdvance);
    FSpinAdvance->setObjectName(QStringLiteral("SpinAdvance"));
    FSpinAdvance->setRange(-1000, 1000);
    FSpinAdvance->setValue(1);
    FSpinAdvance->setToolTip(QStringLiteral("Time step of each refresh (negative goes back)"));
    FCBAdvanceUnit = new QComboBox(FAdvance);
    FCBAdvanceUnit->setObjectName(QStringLiteral("CBAdvanceUnit"));
    FCBAdvanceUnit->addItems(
        {QStringLiteral("seconds"), QStringLiteral("minutes"), QStringLiteral("hours"),
            QStringLiteral("days"), QStringLiteral("months"), QStringLiteral("years")});
    FCBAdvanceUnit->setCurrentIndex(int(TAnimationUnit::Hours));
    auto *advance = new QHBoxLayout(FAdvance);
    advance->setContentsMargins(0, 0, 0, 0);
    advance->addWidget(LabelFor(QStringLiteral("advance"), FSpinAdvance, FAdvance));
    advance->addWidget(FSpinAdvance);
    advance->addWidget(FCBAdvanceUnit);
    advance->addStretch(1);

    auto *g = new QGridLayout(box);
    g->addWidget(FCBCurrentSky, 0, 0);
    g->addWidget(FCBAnimate, 0, 1);
    auto *every = new QHBoxLayout;
    every->addWidget(LabelFor(QStringLiteral("every"), FSpinEvery, box));
    every->addWidget(FSpinEvery);
    every->addWidget(new QLabel(QStringLiteral("seconds"), box));
    every->addStretch(1);
    g->addLayout(every, 0, 2);
    g->addWidget(FAdvance, 1, 0, 1, 3);
    return box;
}

QWidget *TFormStarFinder::CreatePlanner()
{
    auto *box = new QGroupBox(QStringLiteral("Sight planner"), this);
    FCBPlanSights = NewCheck("CBPlanSights", QStringLiteral("Best &fix of"), true, box,
        QStringLiteral("Mark the bodies that give the best fix: altitudes 15° to 70°, azimuths "
                       "spread evenly, brighter bodies when the spread is equal"));
    FSpinPlanBodies = new QSpinBox(box);
    FSpinPlanBodies->setObjectName(QStringLiteral("SpinPlanBodies"));
    FSpinPlanBodies->setRange(3, 4);
    FSpinPlanBodies->setValue(3);
    FSpinPlanBodies->setToolTip(QStringLiteral("Number of bodies to observe"));
    FBEveningTwilight = NewButton("BEveningTwilight", QStringLiteral("E&vening twilight"), box,
        QStringLiteral("Set the time to the end of evening civil twilight of the GMT date"));
    FBMorningTwilight = NewButton("BMorningTwilight", QStringLiteral("Mo&rning twilight"), box,
        QStringLiteral("Set the time to the start of morning civil twilight of the GMT date"));
    FLPlan = new QLabel(box);
    FLPlan->setObjectName(QStringLiteral("LPlan"));
    FLPlan->setWordWrap(true);

    auto *g = new QGridLayout(box);
    auto *count = new QHBoxLayout;
    count->addWidget(FCBPlanSights);
    count->addWidget(FSpinPlanBodies);
    count->addWidget(new QLabel(QStringLiteral("bodies"), box));
    count->addStretch(1);
    g->addLayout(count, 0, 0);
    auto *twilights = new QHBoxLayout;
    twilights->addWidget(FBEveningTwilight);
    twilights->addWidget(FBMorningTwilight);
    g->addLayout(twilights, 0, 1);
    g->addWidget(FLPlan, 1, 0, 1, 2);
    return box;
}

QWidget *TFormStarFinder::CreatePages()
{
    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("PageControl"));

    auto *objects = new QWidget(FPages);
    FLCount = new QLabel(QStringLiteral("0 visible"), objects);
    FLCount->setObjectName(QStringLiteral("LCount"));
    FGridAstrosVisiveis = new QTableWidget(0, 4, objects);
    FGridAstrosVisiveis->setObjectName(QStringLiteral("GridAstrosVisiveis"));
    FGridAstrosVisiveis->setToolTip(QStringLiteral("Click headers to sort"));
    FGridAstrosVisiveis->setHorizontalHeaderLabels({QStringLiteral("Body"), QStringLiteral("Hc"),
        QStringLiteral("Az"), QStringLiteral("Mag")});
    FGridAstrosVisiveis->verticalHeader()->hide();
    FGridAstrosVisiveis->verticalHeader()->setDefaultSectionSize(
        FGridAstrosVisiveis->fontMetrics().height() + 6);
    FGridAstrosVisiveis->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGridAstrosVisiveis->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGridAstrosVisiveis->setSelectionMode(QAbstractItemView::SingleSelection);
    FGridAstrosVisiveis->setAlternatingRowColors(true);
    // The registry order until a header is clicked.
    FGridAstrosVisiveis->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    FGridAstrosVisiveis->setSortingEnabled(true);
    FGridAstrosVisiveis->setStyleSheet(
        QStringLiteral("QTableWidget { background: white; alternate-background-color: #e8e8e8; }"
                       "QTableWidget::item:selected { background: gray; color: white; }"));
    const QFontMetrics m(FGridAstrosVisiveis->font());
    const int columns[] = {m.horizontalAdvance(QStringLiteral("Kaus Austr.  ")),
        m.horizontalAdvance(QStringLiteral("00°00.0'- ")),
        m.horizontalAdvance(QStringLiteral(" 000° ")),
        m.horizontalAdvance(QStringLiteral("-26.5 "))};
    for (int c = 0; c < 4; ++c)
        FGridAstrosVisiveis->setColumnWidth(c, columns[c] + 16);
    FGridAstrosVisiveis->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto *objectsLayout = new QVBoxLayout(objects);
    objectsLayout->addWidget(FLCount);
    objectsLayout->addWidget(FGridAstrosVisiveis, 1);
    FPages->addTab(objects, QStringLiteral("Objects"));

    auto *show = new QWidget(FPages);
    FCBConstelationLines =
        NewCheck("CBConstelationLines", QStringLiteral("Constelation &Lines"), true, show);
    FCBConstelationNames =
        NewCheck("CBConstelationNames", QStringLiteral("Constelation Na&mes"), false, show);
    FCBEcliptic = NewCheck("CBEcliptic", QStringLiteral("&Ecliptic"), true, show);
    FCBObjectNames = NewCheck("CBObjectNames", QStringLiteral("&Object Names"), true, show);
    FCBDrawBoatCourse =
        NewCheck("CBDrawBoatCourse", QStringLiteral("Draw &Boat Course"), false, show);
    FCBOverhead = NewCheck("CBOverhead", QStringLiteral("Over&head view"), false, show,
        QStringLiteral("Swaps E and W (chart is to be viewed upside down)"));
    FCBAntialias = NewCheck("CBAntialias", QStringLiteral("Antialias"), false, show);
    FCBAntialias->hide();
    auto *showLayout = new QGridLayout(show);
    showLayout->addWidget(FCBConstelationLines, 0, 0);
    showLayout->addWidget(FCBConstelationNames, 0, 1);
    showLayout->addWidget(FCBEcliptic, 1, 0);
    showLayout->addWidget(FCBObjectNames, 1, 1);
    showLayout->addWidget(FCBDrawBoatCourse, 2, 0);
    showLayout->addWidget(FCBOverhead, 2, 1);
    showLayout->addWidget(FCBAntialias, 3, 0);
    showLayout->setRowStretch(4, 1);
    FPages->addTab(show, QStringLiteral("Show"));

    auto *grids = new QWidget(FPages);
    FCBGridAltitudes = NewCheck("CBGridAltitudes", QStringLiteral("&Altitudes"), true, grids);
    FCBGridAzimuths = NewCheck("CBGridAzimuths", QStringLiteral("A&zimuths"), true, grids);
    auto *gridsLayout = new QVBoxLayout(grids);
    gridsLayout->addWidget(FCBGridAltitudes);
    gridsLayout->addWidget(FCBGridAzimuths);
    gridsLayout->addStretch(1);
    FPages->addTab(grids, QStringLiteral("Grids"));

    auto *fonts = new QWidget(FPages);
    FBObjectNamesFont = NewButton("BObjectNamesFont", QStringLiteral("Object Names"), fonts,
        QStringLiteral("Font of the body names"));
    FBConstellationNamesFont =
        NewButton("BConstellationNamesFont", QStringLiteral("Constellation Names"), fonts,
            QStringLiteral("Font of the constellation names"));
    FBCursor = NewButton(
        "BCursor", QStringLiteral("Cursor.."), fonts, QStringLiteral("Floating cursor properties"));
    auto *boat = new QGroupBox(QStringLiteral("Boat Course"), fonts);
    FBEditBoatCourse = NewButton(
        "BEditBoatCourse", QStringLiteral("E&dit.."), boat, QStringLiteral("Edit boat course"));
    FBEditBoatCourse->setEnabled(false);
    auto *boatLayout = new QHBoxLayout(boat);
    boatLayout->addWidget(FBEditBoatCourse);
    boatLayout->addStretch(1);
    auto *fontsLayout = new QGridLayout(fonts);
    fontsLayout->addWidget(FBObjectNamesFont, 0, 0);
    fontsLayout->addWidget(FBConstellationNamesFont, 0, 1);
    fontsLayout->addWidget(FBCursor, 0, 2);
    fontsLayout->addWidget(boat, 1, 0, 1, 3);
    fontsLayout->setRowStretch(2, 1);
    FPages->addTab(fonts, QStringLiteral("Fonts"));
    return FPages;
}

void TFormStarFinder::ConnectSignals()
{
    const std::pair<QPushButton *, void (TFormStarFinder::*)()> buttons[] = {
        {FBCalcAstrosVisiveis, &TFormStarFinder::BCalcAstrosVisiveisClick},
        {FBNow, &TFormStarFinder::BNowClick},
        {FBGetSystemTimeZone, &TFormStarFinder::BGetSystemTimeZoneClick},
        {FBCopyVisStarChart, &TFormStarFinder::BCopyVisStarChartClick},
        {FBEditBoatCourse, &TFormStarFinder::BEditBoatCourseClick},
        {FBObjectNamesFont, &TFormStarFinder::BObjectNamesFontClick},
        {FBConstellationNamesFont, &TFormStarFinder::BConstellationNamesFontClick},
        {FBCursor, &TFormStarFinder::BCursorClick},
        {FBEveningTwilight, &TFormStarFinder::BEveningTwilightClick},
        {FBMorningTwilight, &TFormStarFinder::BMorningTwilightClick},
    };
    for (const auto &[button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
    const std::pair<QAction *, void (TFormStarFinder::*)()> actions[] = {
        {FMIPrintStuff, &TFormStarFinder::BPrintStuffClick},
        {FMIPrintVisibleStarsList, &TFormStarFinder::BPrintVisibleStarsListClick},
        {FMIPrintVisibleStarsChart, &TFormStarFinder::BPrintVisibleStarsChartClick},
        {FMISaveStuffAsPdf, &TFormStarFinder::BSaveStuffAsPdfClick},
        {FMISaveVisibleStarsListAsPdf, &TFormStarFinder::BSaveVisibleStarsListAsPdfClick},
        {FMISaveVisibleStarsChartAsPdf, &TFormStarFinder::BSaveVisibleStarsChartAsPdfClick},
    };
    for (const auto &[a, handler] : actions)
        connect(a, &QAction::triggered, this, handler);

    for (QCheckBox *c : {FCBConstelationLines, FCBConstelationNames, FCBEcliptic, FCBObjectNames,
             FCBDrawBoatCourse, FCBOverhead, FCBAntialias, FCBGridAltitudes, FCBGridAzimuths})
        connect(c, &QCheckBox::toggled, this, &TFormStarFinder::ApplyShowOptions);
    connect(FCBCurrentSky, &QCheckBox::toggled, this, &TFormStarFinder::UpdateAdvanceVisibility);
    connect(FCBAnimate, &QCheckBox::toggled, this, &TFormStarFinder::UpdateAnimation);
    connect(FSpinEvery, &QSpinBox::valueChanged, this, &TFormStarFinder::UpdateAnimation);
    connect(FCBPlanSights, &QCheckBox::toggled, this, &TFormStarFinder::ShowPlan);
    connect(FSpinPlanBodies, &QSpinBox::valueChanged, this, &TFormStarFinder::ShowPlan);
    connect(FGridAstrosVisiveis, &QTableWidget::cellClicked, this,
        [this](int row, int) { GridAstrosVisiveisClick(row); });
    connect(FGridAstrosVisiveis, &QTableWidget::currentCellChanged, this,
        [this](int row, int, int, int) { GridAstrosVisiveisClick(row); });
    connect(&FAnimation, &QTimer::timeout, this, &TFormStarFinder::TmAnimationTimer);
}

void TFormStarFinder::LoadSettings()
{
    const TFormSettings s(kWindowName);
    s.RestoreGeometry(*this);
    FSpinEvery->setValue(s.ReadInt(QStringLiteral("SpinEvery"), QStringLiteral("Value"), 1));
    FSpinAdvance->setValue(s.ReadInt(QStringLiteral("SpinAdvance"), QStringLiteral("Value"), 1));
    const int unit = s.ReadInt(
        QStringLiteral("CBAdvanceUnit"), QStringLiteral("ItemIndex"), int(TAnimationUnit::Hours));
    if (unit >= 0 && unit < FCBAdvanceUnit->count())
        FCBAdvanceUnit->setCurrentIndex(unit);
    for (QCheckBox *c :
        {FCBConstelationLines, FCBConstelationNames, FCBEcliptic, FCBObjectNames, FCBDrawBoatCourse,
            FCBOverhead, FCBGridAltitudes, FCBGridAzimuths, FCBCurrentSky, FCBPlanSights})
        c->setChecked(s.ReadBool(c->objectName(), QStringLiteral("Checked"), c->isChecked()));
    FSpinPlanBodies->setValue(
        s.ReadInt(QStringLiteral("SpinPlanBodies"), QStringLiteral("Value"), 3));

    // Dates are stored as yyyy-MM-dd; a text in the short date format is read as well.
    const QString dateText = s.ReadString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), {});
    QDate date = QDate::fromString(dateText, Qt::ISODate);
    if (!date.isValid()) {
        if (const auto d = ParseDateTimeText(dateText.toStdString(), ShortDateFormat())) {
            const TCalendarDate c = DecodeDate(*d);
            date = QDate(c.Year, c.Month, c.Day);
        }
    }
    if (date.isValid())
        FEdGMTDate->setText(QString::fromStdString(
            FormatDateText(EncodeDate(date.year(), date.month(), date.day()), ShortDateFormat())));
    const double time = s.ReadDouble(QStringLiteral("EdGMTTime"), QStringLiteral("Value"), 0);
    if (time >= 0 && time < 1)
        FEdGMTTime->SetValue(time);
    const double lat = s.ReadDouble(QStringLiteral("EdLat"), QStringLiteral("Value"), 0);
    if (lat >= -90 && lat <= 90)
        FEdLat->SetPosition(lat);
    const double lon = s.ReadDouble(QStringLiteral("EdLon"), QStringLiteral("Value"), 0);
    if (lon >= -180 && lon <= 180)
        FEdLon->SetPosition(lon);
    const double zone = s.ReadDouble(QStringLiteral("EdTimeZone"), QStringLiteral("Value"), 0);
    if (zone >= -14 && zone <= 14)
        FEdTimeZone->SetValue(zone);

    TStarFinderStyle style = FChart->Style();
    RestoreFont(s, QStringLiteral("ObjNamesFont"), style.ObjNamesFont, style.ObjNamesColor);
    RestoreFont(s, QStringLiteral("ConstNamesFont"), style.ConstNamesFont, style.ConstNamesColor);
    FChart->SetStyle(style);
    THintAppearance hint = FChart->HintAppearance();
    QColor ignored;
    RestoreFont(s, QStringLiteral("HintAstro.Font"), hint.Font, ignored);
    const QColor back(
        s.ReadString(QStringLiteral("HintAstro"), QStringLiteral("Color"), hint.Back.name()));
    const QColor text(
        s.ReadString(QStringLiteral("HintAstro"), QStringLiteral("TextColor"), hint.Text.name()));
    if (back.isValid())
        hint.Back = back;
    if (text.isValid())
        hint.Text = text;
    hint.Frame = s.ReadBool(QStringLiteral("HintAstro"), QStringLiteral("Frame"), hint.Frame);
    hint.Shadow = s.ReadBool(QStringLiteral("HintAstro"), QStringLiteral("Shadow"), hint.Shadow);
    hint.Transparency =
        s.ReadInt(QStringLiteral("HintAstro"), QStringLiteral("Transparency"), hint.Transparency);
    FChart->SetHintAppearance(hint);
}

void TFormStarFinder::SaveSettings()
{
    TFormSettings s(kWindowName);
    s.SaveGeometry(*this);
    s.WriteInt(QStringLiteral("SpinEvery"), QStringLiteral("Value"), FSpinEvery->value());
    s.WriteInt(QStringLiteral("SpinAdvance"), QStringLiteral("Value"), FSpinAdvance->value());
    s.WriteInt(QStringLiteral("CBAdvanceUnit"), QStringLiteral("ItemIndex"),
        FCBAdvanceUnit->currentIndex());
    for (QCheckBox *c :
        {FCBConstelationLines, FCBConstelationNames, FCBEcliptic, FCBObjectNames, FCBDrawBoatCourse,
            FCBOverhead, FCBGridAltitudes, FCBGridAzimuths, FCBCurrentSky, FCBPlanSights})
        s.WriteBool(c->objectName(), QStringLiteral("Checked"), c->isChecked());
    s.WriteInt(QStringLiteral("SpinPlanBodies"), QStringLiteral("Value"), FSpinPlanBodies->value());
    QString date;
    if (const auto d = ParseDateTimeText(FEdGMTDate->text().toStdString(), ShortDateFormat())) {
        const TCalendarDate c = DecodeDate(*d);
        date = QDate(c.Year, c.Month, c.Day).toString(Qt::ISODate);
    }
    s.WriteString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), date);
    s.WriteDouble(QStringLiteral("EdGMTTime"), QStringLiteral("Value"), FEdGMTTime->Value());
    s.WriteDouble(QStringLiteral("EdLat"), QStringLiteral("Value"), FEdLat->Position());
    s.WriteDouble(QStringLiteral("EdLon"), QStringLiteral("Value"), FEdLon->Position());
    s.WriteDouble(QStringLiteral("EdTimeZone"), QStringLiteral("Value"), FEdTimeZone->Value());
    const TStarFinderStyle &style = FChart->Style();
    StoreFont(s, QStringLiteral("ObjNamesFont"), style.ObjNamesFont, style.ObjNamesColor);
    StoreFont(s, QStringLiteral("ConstNamesFont"), style.ConstNamesFont, style.ConstNamesColor);
    const THintAppearance &hint = FChart->HintAppearance();
    StoreFont(s, QStringLiteral("HintAstro.Font"), hint.Font, hint.Text);
    s.WriteString(QStringLiteral("HintAstro"), QStringLiteral("Color"), hint.Back.name());
    s.WriteString(QStringLiteral("HintAstro"), QStringLiteral("TextColor"), hint.Text.name());
    s.WriteBool(QStringLiteral("HintAstro"), QStringLiteral("Frame"), hint.Frame);
    s.WriteBool(QStringLiteral("HintAstro"), QStringLiteral("Shadow"), hint.Shadow);
    s.WriteInt(QStringLiteral("HintAstro"), QStringLiteral("Transparency"), hint.Transparency);
    s.Flush();
}

} // namespace vrn
