#include "gps/fgpsxf.h"

#include "charts/Dcarta.h"
#include "charts/FormSelecionaRota.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "gps/Gpsxf.h"
#include "ui/Clock.h"
#include "ui/DataFolder.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <map>

namespace vrn {

namespace {

const QString kWindowName = QStringLiteral("FormGPSInterface");
const QString kNoTrack = QStringLiteral("(none)");
const QColor kDarkBlue(0, 0, 0x8B);

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

// The UTC clock as a date-time (days since 1899-12-30).
double UtcNowDateTime()
{
    return static_cast<double>(UtcNow().toMSecsSinceEpoch()) / 86400000.0 + 25569.0;
}

QPixmap IndicatorPixmap(bool active)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(active ? QColor(0x00, 0xB0, 0x00) : QColor(0xC0, 0xC0, 0xC0));
    p.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    return pixmap;
}

template <class T>
T *Named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *Caption(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TFormGPSInterface::TFormGPSInterface(TLogCarta &chartView, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , FView(chartView)
    , FGps(std::make_unique<TGpsInterface>())
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("GPS Interface"));
    FElapsed.start();
    FChooseTrack = [](QWidget *owner, TLogCarta &view) -> TChtTrack * {
        const auto &tracks = view.Desk().Tracks;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < tracks.Count(); ++i)
            names.push_back(tracks[i]->Name);
        TFormSelecionaRota dialog(owner);
        const int row = dialog.Choose(QStringLiteral("Select the GPS track:"), names);
        return row >= 0 && static_cast<std::size_t>(row) < tracks.Count()
            ? tracks[static_cast<std::size_t>(row)]
            : nullptr;
    };
    FAskText = [this](const std::string &caption, const std::string &label,
                   const std::string &initial) -> std::optional<std::string> {
        bool ok = false;
        const QString text =
            QInputDialog::getText(this, Q(caption), Q(label), QLineEdit::Normal, Q(initial), &ok);
        if (!ok)
            return std::nullopt;
        return text.toStdString();
    };
    FGps->Receiver().OnBeep = [] { QApplication::beep(); };
    connect(FGps.get(), &TGpsInterface::OnNewPosition, this,
        [this] { RunCommand(this, [this] { GpsInterface1NewPosition(); }); });
    // The label follows the view's GPS track even where its owner does not say so (a new
    // desktop, a track marked or renamed); the age timer also catches a deleted one.
    connect(&FView, &TLogCarta::OnNewDesktop, this, [this] { FollowGpsTrack(); });
    connect(&FView, &TLogCarta::OnTrackChanged, this, [this] { FollowGpsTrack(); });
    connect(FGps.get(), &TGpsInterface::OnPortLost, this,
        [this](TGpsInterface *, const QString &message) { PortLost(message); });

    BuildControls();
    PFormSettings1PreRestore();
    LoadSettings();
    // FormCreate: the stored marker style is selected again; the marker takes a style only
    // when the user changes the selection.
    const int style = FComboGPSPosPlotStyle->property("Tag").toInt();
    if (style >= 0 && style <= 3) {
        const QSignalBlocker block(FComboGPSPosPlotStyle);
        FComboGPSPosPlotStyle->setCurrentIndex(style);
    }
    FTimerCheckLastValidTick->start();
    FTimeAgentGPSPos->start();
}

TFormGPSInterface::~TFormGPSInterface()
{
    SaveSettings();
}

void TFormGPSInterface::BuildControls()
{
    FLPosTime = Named(new QLabel(QStringLiteral("00:00:00")), "LPosTime");
    FLPosLat = Named(new QLabel(QStringLiteral("  0°00.00'S")), "LPosLat");
    FLPosLon = Named(new QLabel(QStringLiteral("  0°00.00'W")), "LPosLon");
    FLPosStatus = Named(new QLabel(QStringLiteral("invalid")), "LPosStatus");
    FIndicadorGPSAtivo = Named(new QLabel, "IndicadorGPSAtivo");
    FLTicksReceived = Named(new QLabel(QStringLiteral("0")), "LTicksReceived");
    FLLastValidTick = Named(new QLabel(QStringLiteral("...")), "LLastValidTick");
    FLPortHealth = Named(new QLabel(QStringLiteral("port closed")), "LPortHealth");
    for (QLabel *l : {FLPosTime, FLPosLat, FLPosLon})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = FLPosLat->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    FLPosLat->setFont(big);
    FLPosLon->setFont(big);
    // Room for the longest texts they take, so that none is cut when it changes.
    const QFontMetrics bigMetrics(big);
    for (QLabel *l : {FLPosLat, FLPosLon})
        l->setMinimumWidth(bigMetrics.horizontalAdvance(QStringLiteral("179°59.99'W ")));
    const QFontMetrics metrics(FLTicksReceived->font());
    FLTicksReceived->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("0000000 ticks")));
    FLTicksReceived->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FLLastValidTick->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("last 000000 secs")));
    FLPosTime->setMinimumWidth(
        metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00 GMT")));
    FLPortHealth->setMinimumWidth(metrics.horizontalAdvance(
        QStringLiteral("00.0 sentences/s, 0000 checksum errors, last valid fix 000 s ago")));
    FLPortHealth->setWordWrap(true);
    SetIndicatorFrame(1);

    FBCenterGPS = Named(new QPushButton(QStringLiteral("&Goto GPS")), "BCenterGPS");
    FBGPSSettings = Named(new QPushButton(QStringLiteral("&Settings")), "BGPSSettings");
    FBSaveLastPosition =
        Named(new QPushButton(QStringLiteral("Save &position!")), "BSaveLastPosition");
    FBBeginNewTrack = Named(new QPushButton(QStringLiteral("&New track..")), "BBeginNewTrack");
    FBClose = Named(new QPushButton(QStringLiteral("&Close")), "BClose");
    FBGPSSettings->setCheckable(true);
    for (QPushButton *b :
        {FBCenterGPS, FBGPSSettings, FBSaveLastPosition, FBBeginNewTrack, FBClose})
        b->setAutoDefault(true);

    FPanelPosition = Named(new QWidget, "PanelPosition");
    auto *pos = new QGridLayout(FPanelPosition);
    pos->setContentsMargins(0, 0, 0, 0);
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(FIndicadorGPSAtivo);
    statusRow->addWidget(FLPosStatus);
    statusRow->addStretch();
    statusRow->addWidget(FLTicksReceived);
    statusRow->addSpacing(12);
    statusRow->addWidget(FLLastValidTick);
    pos->addWidget(FLPosLat, 0, 0);
    pos->addWidget(FLPosLon, 0, 1);
    pos->addWidget(FLPosTime, 1, 0, 1, 2);
    pos->addLayout(statusRow, 2, 0, 1, 2);
    pos->addWidget(FLPortHealth, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b :
        {FBCenterGPS, FBGPSSettings, FBSaveLastPosition, FBBeginNewTrack, FBClose})
        buttons->addWidget(b);
    pos->addLayout(buttons, 4, 0, 1, 2);

    // Settings panel
    auto *groupMsgs = Named(new QGroupBox(QStringLiteral("NMEA Msgs")), "GroupWhichlMsg");
    FRGWhichlMsg = new QButtonGroup(this);
    FRGWhichlMsg->setObjectName(QStringLiteral("RGWhichlMsg"));
    auto *rmc = Named(new QRadioButton(QStringLiteral("&RMC")), "RGWhichlMsgRMC");
    auto *gll = Named(new QRadioButton(QStringLiteral("G&LL")), "RGWhichlMsgGLL");
    FRGWhichlMsg->addButton(rmc, 0);
    FRGWhichlMsg->addButton(gll, 1);
    rmc->setChecked(true);
    auto *msgs = new QVBoxLayout(groupMsgs);
    msgs->addWidget(rmc);
    msgs->addWidget(gll);

    FComboComPort = Named(new QComboBox, "ComboComPort");
    FComboComPort->setEditable(true);
    FComboComPort->setInsertPolicy(QComboBox::NoInsert);
    FComboComPort->setMinimumContentsLength(14);
    for (const auto &info : QSerialPortInfo::availablePorts())
        FComboComPort->addItem(info.systemLocation());
    if (FComboComPort->count() == 0)
        FComboComPort->addItem(QStringLiteral("/dev/ttyUSB0"));
    FComboComPort->setToolTip(
        QStringLiteral("the receiver's device, chosen or typed (/dev/ttyUSB0, /dev/ttyACM0...)"));
    FComboBaudRate = Named(new QComboBox, "ComboBaudRate");
    FComboBaudRate->setEditable(true);
    FComboBaudRate->setInsertPolicy(QComboBox::NoInsert);
    FComboBaudRate->addItems({QStringLiteral("1200"), QStringLiteral("2400"),
        QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200")});
    FComboBaudRate->setCurrentText(QStringLiteral("4800"));
    FCBComOpen = Named(new QCheckBox(QStringLiteral("Connecte&d")), "CBComOpen");
    FLTrackName = Named(new QLabel(kNoTrack), "LTrackName");
    FBChooseTrack = Named(new QPushButton(QStringLiteral("C&hoose...")), "BChooseTrack");
    FBChooseTrack->setAutoDefault(true);
    FCBAutoSaveActivated =
        Named(new QCheckBox(QStringLiteral("&AutoSave Position")), "CBAutoSaveActivated");
    FSpinAutoSaveInterval = Named(new QSpinBox, "SpinAutoSaveInterval");
    FSpinAutoSaveInterval->setRange(1, 1000000);
    FSpinAutoSaveInterval->setValue(4);
    FComboAutoSaveUnit = Named(new QComboBox, "ComboAutoSaveUnit");
    FComboAutoSaveUnit->addItems(
        {QStringLiteral("seconds"), QStringLiteral("minutes"), QStringLiteral("hours")});
    FCBPlotGPSPosition =
        Named(new QCheckBox(QStringLiteral("Plo&t GPS position ")), "CBPlotGPSPosition");
    FCBPlotGPSPosition->setChecked(true);
    FComboGPSPosPlotStyle = Named(new QComboBox, "ComboGPSPosPlotStyle");
    FComboGPSPosPlotStyle->addItems({QStringLiteral("Boat"), QStringLiteral("Arrow"),
        QStringLiteral("Triangle"), QStringLiteral("Square")});
    FCBBeepOnPosition =
        Named(new QCheckBox(QStringLiteral("Beep on pos&ition")), "CBBeepOnPosition");
    FCBBeepOnPosition->setChecked(true);
    FCBStayOnTop = Named(new QCheckBox(QStringLiteral("Sta&y on top")), "CBStayOnTop");
    FCBStayOnTop->setChecked(true);

    FPanelSettings = Named(new QWidget, "PanelSettings");
    auto *set = new QGridLayout(FPanelSettings);
    set->setContentsMargins(0, 0, 0, 0);
    auto *port = new QGridLayout;
    port->addWidget(Caption(QStringLiteral("P&ort:"), FComboComPort), 0, 0);
    port->addWidget(FComboComPort, 0, 1);
    port->addWidget(Caption(QStringLiteral("&Baud:"), FComboBaudRate), 1, 0);
    port->addWidget(FComboBaudRate, 1, 1);
    port->addWidget(FCBComOpen, 2, 1);
    set->addWidget(groupMsgs, 0, 0);
    set->addLayout(port, 0, 1);
    auto *track = new QHBoxLayout;
    track->addWidget(new QLabel(QStringLiteral("Track:")));
    track->addWidget(FLTrackName, 1);
    track->addWidget(FBChooseTrack);
    set->addLayout(track, 1, 0, 1, 2);
    auto *autosave = new QHBoxLayout;
    autosave->addWidget(FCBAutoSaveActivated);
    autosave->addWidget(Caption(QStringLiteral("e&very"), FSpinAutoSaveInterval));
    autosave->addWidget(FSpinAutoSaveInterval);
    autosave->addWidget(FComboAutoSaveUnit);
    autosave->addStretch();
    set->addLayout(autosave, 2, 0, 1, 2);
    auto *plot = new QHBoxLayout;
    plot->addWidget(FCBPlotGPSPosition);
    plot->addWidget(Caption(QStringLiteral("Styl&e :"), FComboGPSPosPlotStyle));
    plot->addWidget(FComboGPSPosPlotStyle);
    plot->addStretch();
    set->addLayout(plot, 3, 0, 1, 2);
    auto *flags = new QHBoxLayout;
    flags->addWidget(FCBBeepOnPosition);
    flags->addWidget(FCBStayOnTop);
    flags->addStretch();
    set->addLayout(flags, 4, 0, 1, 2);
    FPanelSettings->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FPanelPosition);
    layout->addWidget(FPanelSettings);
    layout->addStretch();

    // Reading order: the position panel's buttons, then the settings top to bottom.
    setTabOrder(FBCenterGPS, FBGPSSettings);
    setTabOrder(FBGPSSettings, FBSaveLastPosition);
    setTabOrder(FBSaveLastPosition, FBBeginNewTrack);
    setTabOrder(FBBeginNewTrack, FBClose);
    setTabOrder(FBClose, rmc);
    setTabOrder(rmc, gll);
    setTabOrder(gll, FComboComPort);
    setTabOrder(FComboComPort, FComboBaudRate);
    setTabOrder(FComboBaudRate, FCBComOpen);
    setTabOrder(FCBComOpen, FBChooseTrack);
    setTabOrder(FBChooseTrack, FCBAutoSaveActivated);
    setTabOrder(FCBAutoSaveActivated, FSpinAutoSaveInterval);
    setTabOrder(FSpinAutoSaveInterval, FComboAutoSaveUnit);
    setTabOrder(FComboAutoSaveUnit, FCBPlotGPSPosition);
    setTabOrder(FCBPlotGPSPosition, FComboGPSPosPlotStyle);
    setTabOrder(FComboGPSPosPlotStyle, FCBBeepOnPosition);
    setTabOrder(FCBBeepOnPosition, FCBStayOnTop);

    FTimerCheckLastValidTick = Named(new QTimer(this), "TimerCheckLastValidTick");
    FTimerCheckLastValidTick->setInterval(1000);
    FTimeAgentGPSPos = Named(new QTimer(this), "TimeAgentGPSPos");
    FTimeAgentGPSPos->setInterval(500);

    const auto run = [this](void (TFormGPSInterface::*handler)()) {
        return [this, handler] { RunCommand(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(FBCenterGPS, &QPushButton::clicked, this, run(&TFormGPSInterface::BCenterGPSClick));
    connect(FBGPSSettings, &QPushButton::clicked, this, run(&TFormGPSInterface::BGPSSettingsClick));
    connect(FBSaveLastPosition, &QPushButton::clicked, this,
        run(&TFormGPSInterface::BSaveLastPositionClick));
    connect(
        FBBeginNewTrack, &QPushButton::clicked, this, run(&TFormGPSInterface::BBeginNewTrackClick));
    connect(FBClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(FBChooseTrack, &QPushButton::clicked, this, run(&TFormGPSInterface::BChooseTrackClick));
    connect(
        FRGWhichlMsg, &QButtonGroup::idClicked, this, run(&TFormGPSInterface::RGWhichlMsgClick));
    // Port and speed are applied when the entry is committed (Enter, leaving the field or a
    // choice from the list), never per keystroke.
    connect(
        FComboComPort, &QComboBox::activated, this, run(&TFormGPSInterface::ComboComPortChange));
    connect(FComboComPort->lineEdit(), &QLineEdit::editingFinished, this,
        run(&TFormGPSInterface::ComboComPortChange));
    connect(
        FComboBaudRate, &QComboBox::activated, this, run(&TFormGPSInterface::ComboBaudRateChange));
    connect(FComboBaudRate->lineEdit(), &QLineEdit::editingFinished, this,
        run(&TFormGPSInterface::ComboBaudRateChange));
    connect(FCBComOpen, &QCheckBox::clicked, this, run(&TFormGPSInterface::CBComOpenClick));
    connect(FCBAutoSaveActivated, &QCheckBox::clicked, this,
        run(&TFormGPSInterface::CBAutoSaveActivatedClick));
    connect(FSpinAutoSaveInterval, &QSpinBox::valueChanged, this,
        run(&TFormGPSInterface::SpinAutoSaveIntervalChange));
    connect(FComboAutoSaveUnit, &QComboBox::currentIndexChanged, this,
        run(&TFormGPSInterface::ComboAutoSaveUnitChange));
    connect(FCBPlotGPSPosition, &QCheckBox::clicked, this,
        run(&TFormGPSInterface::CBPlotGPSPositionClick));
    connect(FComboGPSPosPlotStyle, &QComboBox::currentIndexChanged, this,
        run(&TFormGPSInterface::ComboGPSPosPlotStyleChange));
    connect(FCBBeepOnPosition, &QCheckBox::clicked, this,
        run(&TFormGPSInterface::CBBeepOnPositionClick));
    connect(FCBStayOnTop, &QCheckBox::clicked, this, run(&TFormGPSInterface::CBStayOnTopClick));
    connect(FTimerCheckLastValidTick, &QTimer::timeout, this,
        run(&TFormGPSInterface::TimerCheckLastValidTickTimer));
    connect(
        FTimeAgentGPSPos, &QTimer::timeout, this, run(&TFormGPSInterface::TimeAgentGPSPosTimer));
}

void TFormGPSInterface::PFormSettings1PreRestore()
{
    FTicksReceived = 0;
    FRecorder = TGpsTrackRecorder {};
    FLastValidTickMono = -1;
    FComboGPSPosPlotStyle->setCurrentIndex(0);
    FComboGPSPosPlotStyle->setProperty("Tag", 0);
    FGps->SetBeep(true);
    FGps->SetAcceptedMessages({TNMeaMessage::nmRMC});
    try {
        FRecovery = std::make_unique<TGpsRecoveryLog>(
            DataFilePath(QStringLiteral("GpsTrack.recovery")).toStdString());
    } catch (const std::exception &) {
        FRecovery.reset(); // no data folder: the track is kept in the desktop alone
    }
}

// Each stored value takes effect as if the user had entered it, in the listed order.
void TFormGPSInterface::LoadSettings()
{
    TFormSettings s(kWindowName);
    s.RestoreGeometry(*this);
    FComboBaudRate->setCurrentText(
        s.ReadString(QStringLiteral("ComboBaudRate"), QStringLiteral("Text"), "4800"));
    ComboBaudRateChange();
    FComboComPort->setCurrentText(s.ReadString(
        QStringLiteral("ComboComPort"), QStringLiteral("Text"), FComboComPort->currentText()));
    FGps->SetPortName(FComboComPort->currentText());
    FCBComOpen->setChecked(
        s.ReadBool(QStringLiteral("CBComOpen"), QStringLiteral("Checked"), false));
    if (FCBComOpen->isChecked())
        CBComOpenClick();
    FCBPlotGPSPosition->setChecked(
        s.ReadBool(QStringLiteral("CBPlotGPSPosition"), QStringLiteral("Checked"), true));
    FCBStayOnTop->setChecked(
        s.ReadBool(QStringLiteral("CBStayOnTop"), QStringLiteral("Checked"), true));
    ApplyStayOnTop();
    FCBBeepOnPosition->setChecked(
        s.ReadBool(QStringLiteral("CBBeepOnPosition"), QStringLiteral("Checked"), true));
    CBBeepOnPositionClick();
    const int which = s.ReadInt(QStringLiteral("RGWhichlMsg"), QStringLiteral("ItemIndex"), 0);
    if (auto *b = FRGWhichlMsg->button(which == 1 ? 1 : 0))
        b->setChecked(true);
    RGWhichlMsgClick();
    {
        const QSignalBlocker a(FSpinAutoSaveInterval);
        const QSignalBlocker b(FComboAutoSaveUnit);
        FSpinAutoSaveInterval->setValue(
            s.ReadInt(QStringLiteral("SpinAutoSaveInterval"), QStringLiteral("Value"), 4));
        const int unit = FComboAutoSaveUnit->findText(
            s.ReadString(QStringLiteral("ComboAutoSaveUnit"), QStringLiteral("Text"), "seconds"));
        FComboAutoSaveUnit->setCurrentIndex(unit < 0 ? 0 : unit);
    }
    FComboGPSPosPlotStyle->setProperty(
        "Tag", s.ReadInt(QStringLiteral("ComboGPSPosPlotStyle"), QStringLiteral("Tag"), 0));
}

void TFormGPSInterface::SaveSettings()
{
    TFormSettings s(kWindowName);
    s.SaveGeometry(*this);
    s.WriteString(
        QStringLiteral("ComboBaudRate"), QStringLiteral("Text"), FComboBaudRate->currentText());
    s.WriteString(
        QStringLiteral("ComboComPort"), QStringLiteral("Text"), FComboComPort->currentText());
    s.WriteBool(QStringLiteral("CBComOpen"), QStringLiteral("Checked"), FCBComOpen->isChecked());
    s.WriteBool(QStringLiteral("CBPlotGPSPosition"), QStringLiteral("Checked"),
        FCBPlotGPSPosition->isChecked());
    s.WriteBool(
        QStringLiteral("CBStayOnTop"), QStringLiteral("Checked"), FCBStayOnTop->isChecked());
    s.WriteBool(QStringLiteral("CBBeepOnPosition"), QStringLiteral("Checked"),
        FCBBeepOnPosition->isChecked());
    s.WriteInt(
        QStringLiteral("RGWhichlMsg"), QStringLiteral("ItemIndex"), FRGWhichlMsg->checkedId());
    s.WriteInt(QStringLiteral("SpinAutoSaveInterval"), QStringLiteral("Value"),
        FSpinAutoSaveInterval->value());
    s.WriteString(QStringLiteral("ComboAutoSaveUnit"), QStringLiteral("Text"),
        FComboAutoSaveUnit->currentText());
    s.WriteInt(QStringLiteral("ComboGPSPosPlotStyle"), QStringLiteral("Tag"),
        FComboGPSPosPlotStyle->property("Tag").toInt());
    s.Flush();
}

void TFormGPSInterface::hideEvent(QHideEvent *event)
{
    SaveSettings();
    QWidget::hideEvent(event);
}

void TFormGPSInterface::SetRecoveryFile(const std::string &path)
{
    FRecovery = std::make_unique<TGpsRecoveryLog>(path);
    FRecoveryFailureShown = false;
}

double TFormGPSInterface::MonotonicNow() const
{
    if (FMonotonic)
        return FMonotonic();
    return static_cast<double>(FElapsed.elapsed()) / 1000.0;
}

bool TFormGPSInterface::SettingsShown() const
{
    return !FPanelSettings->isHidden();
}

// ---- The receiver --------------------------------------------------------------------------

void TFormGPSInterface::GpsInterface1NewPosition()
{
    ++FTicksReceived;
    FLTicksReceived->setText(QString::number(FTicksReceived) + QStringLiteral(" ticks"));
    const TNmeaReceiver &r = FGps->Receiver();
    const TGpsPosition &p = r.Position();
    const auto display = DescribeFix(p, FRecorder.LastValidPosition, r.LastMessage(), r.HasCourse(),
        r.CourseOverGround(), ShortDateFormat());
    ShowFix(display);
    const bool plot = FCBPlotGPSPosition->isChecked();
    if (display.Status == TFixStatus::Valid && display.NewFix) {
        FLastValidTickMono = MonotonicNow();
        FRecorder.LastValidPosition.CopyFrom(&p);
        if (plot)
            FView.SetBoatMarker(
                true, display.MarkerHasCourse, display.MarkerCourseDeg, p.Lat, p.Lon);
    } else if (display.Status == TFixStatus::Invalid && plot) {
        FView.SetBoatMarker(false, false, 0, p.Lat, p.Lon);
    }
}

void TFormGPSInterface::ShowFix(const TFixDisplay &d)
{
    FLPosTime->setText(Q(d.Time));
    FLPosLat->setText(Q(d.Lat));
    FLPosLon->setText(Q(d.Lon));
    FLPosStatus->setText(Q(d.StatusText));
    QPalette palette = FLPosStatus->palette();
    palette.setColor(QPalette::WindowText, d.Status == TFixStatus::Valid ? kDarkBlue : Qt::red);
    FLPosStatus->setPalette(palette);
    SetIndicatorFrame(d.Status == TFixStatus::Valid ? 0 : 1);
}

void TFormGPSInterface::SetIndicatorFrame(int frame)
{
    FIndicatorFrame = frame;
    FIndicadorGPSAtivo->setPixmap(IndicatorPixmap(frame == 0));
}

void TFormGPSInterface::PortLost(const QString &message)
{
    {
        const QSignalBlocker block(FCBComOpen);
        FCBComOpen->setChecked(false);
    }
    TGpsPosition stale = FGps->Position();
    stale.Valid = false;
    FGps->SetPosition(stale);
    TFixDisplay display;
    display.Status = TFixStatus::Invalid;
    display.Time = "Invalid";
    display.Lat = display.Lon = "---°--.-";
    display.StatusText = "Invalid";
    ShowFix(display);
    if (FCBPlotGPSPosition->isChecked())
        FView.SetBoatMarker(false, false, 0, stale.Lat, stale.Lon);
    FLPortHealth->setText(message);
    // Shown once the port's own notification has returned.
    QTimer::singleShot(0, this, [this, message] { ShowError(this, message); });
}

// ---- The GPS track --------------------------------------------------------------------------

bool TFormGPSInterface::AddGpsTrackPoint(double latDeg, double lonDeg, double time)
{
    TChtTrack *track = FView.GpsTrack();
    if (track == nullptr)
        return false;
    try {
        FView.AddTrackPoint(track, "GPS", latDeg, lonDeg, time);
    } catch (const std::exception &) {
        FLTrackName->setText(kNoTrack);
        return false;
    }
    if (FRecovery) {
        try {
            FRecovery->Append(track->Name, latDeg, lonDeg, time);
        } catch (const std::exception &e) {
            // The point is in the desktop; only its safety copy failed. Said once.
            if (!FRecoveryFailureShown) {
                FRecoveryFailureShown = true;
                const QString text = QString::fromUtf8(e.what());
                QTimer::singleShot(0, this, [this, text] { ShowError(this, text); });
            }
        }
    }
    return true;
}

bool TFormGPSInterface::SaveGpsPosition()
{
    return FRecorder.Save(
        FView.GpsTrack() != nullptr,
        [this](double lat, double lon, double time) { return AddGpsTrackPoint(lat, lon, time); },
        UtcNowDateTime());
}

void TFormGPSInterface::BSaveLastPositionClick()
{
    const auto message = FRecorder.SaveClick(
        FView.GpsTrack() != nullptr,
        [this](double lat, double lon, double time) { return AddGpsTrackPoint(lat, lon, time); },
        UtcNowDateTime());
    if (message)
        ShowError(this, Q(*message));
}

void TFormGPSInterface::BBeginNewTrackClick()
{
    if (!FRecorder.LastValidPosition.Valid) {
        ShowError(this, QStringLiteral("Current GPS position invalid."));
        return;
    }
    const auto name = FAskText("New GPS track", "Track Name", "NewGPSTrack");
    if (!name)
        return;
    auto track = std::make_unique<TChtTrack>();
    track->Name = *name;
    track->Visible = true;
    TChtTrack *added = FView.Desk().Tracks.Add(std::move(track));
    FView.Desk().TracksModified = true;
    FView.SelectTrack(added);
    FView.SetGpsTrack(added);
    FView.Invalidate();
    ShowGpsTrackName(added);
    SaveGpsPosition();
}

void TFormGPSInterface::BChooseTrackClick()
{
    if (FView.Desk().Tracks.Empty()) {
        if (AskYesNo(this, QStringLiteral("No tracks in this desktop. Create a new one ?")))
            BBeginNewTrackClick();
        return;
    }
    TChtTrack *track = FChooseTrack(this, FView);
    if (track == nullptr || !FView.IsTrackListed(track))
        return;
    if (!track->Visible) {
        track->Visible = true;
        FView.Invalidate();
    }
    FView.SetGpsTrack(track);
    ShowGpsTrackName(track);
}

void TFormGPSInterface::FollowGpsTrack()
{
    const TChtTrack *track = FView.GpsTrack();
    if (track != FShownTrack || (track && track->Name != FShownName))
        ShowGpsTrackName(track);
}

void TFormGPSInterface::ShowGpsTrackName(const TChtTrack *track)
{
    FShownTrack = track;
    FShownName = track ? track->Name : std::string();
    FLTrackName->setText(track ? Q(track->Name) : kNoTrack);
    if (track == nullptr && FCBAutoSaveActivated->isChecked())
        StopAutoSave(true);
}

void TFormGPSInterface::GpsTrackSaved()
{
    if (FRecovery)
        FRecovery->Clear();
    FRecoveryFailureShown = false;
}

bool TFormGPSInterface::OfferRecovery()
{
    if (!FRecovery)
        return false;
    const auto contents = FRecovery->Read();
    if (contents.Points.empty())
        return false;
    std::map<std::string, int> perTrack;
    for (const auto &p : contents.Points)
        ++perTrack[p.TrackName];
    QString question = QStringLiteral("GPS track points of an earlier session were not saved:");
    for (const auto &[name, count] : perTrack)
        question += QStringLiteral("\n%1 in \"%2\"").arg(count).arg(Q(name));
    question += QStringLiteral("\nAdd them to the desktop?");
    if (!AskYesNo(this, question)) {
        FRecovery->Clear();
        return false;
    }
    TChtTrack *last = nullptr;
    for (const auto &p : contents.Points) {
        TChtTrack *track = nullptr;
        for (std::size_t i = 0; i < FView.Desk().Tracks.Count() && !track; ++i)
            if (FView.Desk().Tracks[i]->Name == p.TrackName)
                track = FView.Desk().Tracks[i];
        if (track == nullptr) {
            auto t = std::make_unique<TChtTrack>();
            t->Name = p.TrackName;
            track = FView.Desk().Tracks.Add(std::move(t));
        }
        FView.AddTrackPoint(track, "GPS", p.Lat, p.Lon, p.Time);
        last = track;
    }
    FView.Desk().TracksModified = true;
    if (last && FView.GpsTrack() == nullptr) {
        FView.SetGpsTrack(last);
        ShowGpsTrackName(last);
    }
    FView.Invalidate();
    return true;
}

// ---- Autosave ------------------------------------------------------------------------------

void TFormGPSInterface::CBAutoSaveActivatedClick()
{
    if (!FCBAutoSaveActivated->isChecked() || FView.GpsTrack() != nullptr) {
        RecomputeAutoSaveInterval();
        return;
    }
    {
        const QSignalBlocker block(FCBAutoSaveActivated);
        FCBAutoSaveActivated->setChecked(false);
    }
    ShowError(this, QStringLiteral("No GPS track defined in this desktop"));
}

void TFormGPSInterface::SpinAutoSaveIntervalChange()
{
    RecomputeAutoSaveInterval();
}

void TFormGPSInterface::ComboAutoSaveUnitChange()
{
    RecomputeAutoSaveInterval();
}

void TFormGPSInterface::RecomputeAutoSaveInterval()
{
    const auto interval = AutoSaveInterval(FCBAutoSaveActivated->isChecked(),
        FSpinAutoSaveInterval->value(), FComboAutoSaveUnit->currentText().toStdString());
    if (!interval.Error.empty()) {
        ShowError(this, Q(interval.Error)); // the previous interval goes on
        return;
    }
    FAutoSave.Start(interval.Days, MonotonicNow());
}

void TFormGPSInterface::StopAutoSave(bool report)
{
    {
        const QSignalBlocker block(FCBAutoSaveActivated);
        FCBAutoSaveActivated->setChecked(false);
    }
    FAutoSave.Start(0, MonotonicNow());
    if (report)
        QTimer::singleShot(0, this,
            [this] { ShowError(this, QStringLiteral("No GPS track defined in this desktop")); });
}

void TFormGPSInterface::TimeAgentGPSPosTimer()
{
    if (FAutoSave.Due(MonotonicNow()))
        SaveGpsPosition();
}

void TFormGPSInterface::TimerCheckLastValidTickTimer()
{
    FollowGpsTrack();
    const double now = MonotonicNow();
    const bool valid = FGps->Position().Valid;
    if (valid && FLastValidTickMono < 0)
        FLastValidTickMono = now;
    FLLastValidTick->setText(Q(FixAgeText(valid, FLastValidTickMono, now)));
    if (!FGps->ComOpen()) {
        if (!FLPortHealth->text().startsWith(QStringLiteral("The GPS port")))
            FLPortHealth->setText(QStringLiteral("port closed"));
        return;
    }
    const auto &c = FGps->Receiver().Counters();
    FLPortHealth->setText(
        Q(FHealth.Update(c.Sentences, c.ChecksumErrors, FLastValidTickMono, now)));
}

// ---- Settings ------------------------------------------------------------------------------

void TFormGPSInterface::RGWhichlMsgClick()
{
    FGps->SetAcceptedMessages(FRGWhichlMsg->checkedId() == 1 ? TNMeaMessages {TNMeaMessage::nmGLL}
                                                             : TNMeaMessages {TNMeaMessage::nmRMC});
}

void TFormGPSInterface::ReportPortFailure(const QString &port, const std::string &reason)
{
    QString text = QStringLiteral("Error openning Com port ") + port
        + QStringLiteral("\nPort may be in use or does not exist");
    const auto hint = reason.find("permission denied");
    if (hint != std::string::npos)
        text += QLatin1Char('\n') + QString::fromStdString(reason.substr(hint));
    ShowError(this, text);
}

void TFormGPSInterface::CBComOpenClick()
{
    try {
        FGps->SetPortName(FComboComPort->currentText().trimmed());
        FGps->SetComOpen(FCBComOpen->isChecked());
        FHealth = TPortHealth {};
        FLPortHealth->setText(
            FGps->ComOpen() ? QStringLiteral("waiting for data") : QStringLiteral("port closed"));
    } catch (const std::exception &e) {
        const QSignalBlocker block(FCBComOpen);
        FCBComOpen->setChecked(false);
        ReportPortFailure(FComboComPort->currentText().trimmed(), e.what());
    }
}

void TFormGPSInterface::ComboComPortChange()
{
    const QString port = FComboComPort->currentText().trimmed();
    if (port == FGps->PortName())
        return;
    try {
        FGps->SetPortName(port);
    } catch (const std::exception &e) {
        const QSignalBlocker block(FCBComOpen);
        FCBComOpen->setChecked(false);
        ReportPortFailure(port, e.what());
    }
}

void TFormGPSInterface::ComboBaudRateChange()
{
    const auto baud = ParseInteger(FComboBaudRate->currentText().toStdString());
    if (!baud || *baud < 1 || *baud > 4000000) {
        ShowError(this, QStringLiteral("Error in baud rate"));
        return;
    }
    if (static_cast<int>(*baud) != FGps->BaudRate())
        FGps->SetBaudRate(static_cast<int>(*baud));
}

void TFormGPSInterface::CBPlotGPSPositionClick()
{
    FView.SetBoatMarkerVisible(FCBPlotGPSPosition->isChecked());
}

void TFormGPSInterface::ComboGPSPosPlotStyleChange()
{
    const int index = FComboGPSPosPlotStyle->currentIndex();
    if (index < 0)
        return;
    FView.SetBoatMarkerShape(index);
    FComboGPSPosPlotStyle->setProperty("Tag", index);
}

void TFormGPSInterface::CBBeepOnPositionClick()
{
    FGps->SetBeep(FCBBeepOnPosition->isChecked());
}

void TFormGPSInterface::BCenterGPSClick()
{
    if (!FRecorder.LastValidPosition.Valid) {
        ShowError(this, QStringLiteral("Invalid GPS position"));
        return;
    }
    FView.CenterOn(FRecorder.LastValidPosition.Lat, FRecorder.LastValidPosition.Lon);
}

void TFormGPSInterface::BGPSSettingsClick()
{
    FPanelSettings->setVisible(FPanelSettings->isHidden());
    {
        const QSignalBlocker block(FBGPSSettings);
        FBGPSSettings->setChecked(SettingsShown());
    }
    FormResize();
}

void TFormGPSInterface::FormResize()
{
    // The window is as tall as the position panel, plus the settings panel when it is shown.
    layout()->activate();
    resize(width(), sizeHint().height());
}

void TFormGPSInterface::CBStayOnTopClick()
{
    ApplyStayOnTop();
}

void TFormGPSInterface::ApplyStayOnTop()
{
    const bool onTop = FCBStayOnTop->isChecked();
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown)
        show();
}

} // namespace vrn
