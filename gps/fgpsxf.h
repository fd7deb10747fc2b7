#pragma once

// TFormGPSInterface, the GPS window: the port, its speed and the sentence kind, "Connected",
// the last fix with its age and the count of sentences, a line of port health, the boat marker
// and centring on the chart view it is bound to, and the GPS track of that view's desktop,
// written on demand or automatically. Its decisions live in gps/GpsTracking.h; it moves values
// between its fields, the receiver and the chart view.

#include "gps/GpsRecovery.h"
#include "gps/GpsTracking.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace vrn {

class TChtTrack;
class TGpsInterface;
class TLogCarta;

class TFormGPSInterface : public QWidget
{
    Q_OBJECT

public:
    // Bound for its whole life to the chart view it plots on and whose GPS track it writes.
    explicit TFormGPSInterface(TLogCarta &chartView, QWidget *parent = nullptr);
    ~TFormGPSInterface() override;

    TGpsInterface &GpsInterface1() { return *FGps; }

    // ---- Seams for the dialogs and the clock (the viewer and the tests install their own)
    // The route/track selection dialog: a track of the view, or none.
    using TChooseTrackFn = std::function<TChtTrack *(QWidget *parent, TLogCarta &view)>;
    // The one-line text dialog: caption, label, initial text; none for Cancel.
    using TAskTextFn = std::function<std::optional<std::string>(
        const std::string &caption, const std::string &label, const std::string &initial)>;

    void SetTrackChooser(TChooseTrackFn chooser) { FChooseTrack = std::move(chooser); }

    void SetTextAsker(TAskTextFn asker) { FAskText = std::move(asker); }

    // Seconds of a monotonic clock, for the autosave timer and the age of the fix.
    void SetMonotonicClock(std::function<double()> clock) { FMonotonic = std::move(clock); }

    // The file the GPS track points are also written to; the default is in the data folder.
    void SetRecoveryFile(const std::string &path);

    // ---- Called by the chart viewer
    // The desktop or its GPS track changed: "Track:" shows the name, or "(none)". Losing the
    // track while autosave is on stops the autosave and says so.
    void ShowGpsTrackName(const TChtTrack *track);
    // The desktop was saved, GPS track included: the recovery file is no longer needed.
    void GpsTrackSaved();
    // At start: points of an earlier session that were never saved are offered back into the
    // desktop's GPS track (by name) or into a new track of that name. True when some were added.
    bool OfferRecovery();

    // ---- State the tests read
    int TicksReceived() const { return FTicksReceived; }

    const TGpsPosition &LastValidPosition() const { return FRecorder.LastValidPosition; }

    double LastSavedTime() const { return FRecorder.LastSavedTime; }

    int IndicatorFrame() const { return FIndicatorFrame; }

    bool SettingsShown() const;

    // ---- Handlers
    void GpsInterface1NewPosition();
    void BCenterGPSClick();
    void BGPSSettingsClick();
    void BSaveLastPositionClick();
    void BBeginNewTrackClick();
    void BChooseTrackClick();
    void RGWhichlMsgClick();
    void ComboComPortChange();
    void ComboBaudRateChange();
    void CBComOpenClick();
    void CBAutoSaveActivatedClick();
    void SpinAutoSaveIntervalChange();
    void ComboAutoSaveUnitChange();
    void CBPlotGPSPositionClick();
    void ComboGPSPosPlotStyleChange();
    void CBBeepOnPositionClick();
    void CBStayOnTopClick();
    void TimerCheckLastValidTickTimer();
    void TimeAgentGPSPosTimer();
    void FormResize();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void BuildControls();
    void PFormSettings1PreRestore();
    void LoadSettings();
    void SaveSettings();
    void ShowFix(const TFixDisplay &display);
    void SetIndicatorFrame(int frame);
    bool SaveGpsPosition();
    bool AddGpsTrackPoint(double latDeg, double lonDeg, double time);
    void RecomputeAutoSaveInterval();
    void StopAutoSave(bool report);
    void FollowGpsTrack();
    void PortLost(const QString &message);
    void ReportPortFailure(const QString &port, const std::string &reason);
    double MonotonicNow() const;
    void ApplyStayOnTop();

    TLogCarta &FView;
    std::unique_ptr<TGpsInterface> FGps;
    TGpsTrackRecorder FRecorder;
    TAutoSaveSchedule FAutoSave;
    TPortHealth FHealth;
    std::unique_ptr<TGpsRecoveryLog> FRecovery;
    bool FRecoveryFailureShown = false;
    const TChtTrack *FShownTrack = nullptr; // what "Track:" shows, compared by address and name
    std::string FShownName;
    int FTicksReceived = 0;
    double FLastValidTickMono = -1; // none yet
    int FIndicatorFrame = 1;
    QElapsedTimer FElapsed;

    TChooseTrackFn FChooseTrack;
    TAskTextFn FAskText;
    std::function<double()> FMonotonic;

    QWidget *FPanelPosition = nullptr;
    QWidget *FPanelSettings = nullptr;
    QLabel *FLPosTime = nullptr;
    QLabel *FLPosLat = nullptr;
    QLabel *FLPosLon = nullptr;
    QLabel *FLPosStatus = nullptr;
    QLabel *FIndicadorGPSAtivo = nullptr;
    QLabel *FLTicksReceived = nullptr;
    QLabel *FLLastValidTick = nullptr;
    QLabel *FLPortHealth = nullptr;
    QPushButton *FBCenterGPS = nullptr;
    QPushButton *FBGPSSettings = nullptr;
    QPushButton *FBSaveLastPosition = nullptr;
    QPushButton *FBBeginNewTrack = nullptr;
    QPushButton *FBClose = nullptr;
    QButtonGroup *FRGWhichlMsg = nullptr;
    QComboBox *FComboComPort = nullptr;
    QComboBox *FComboBaudRate = nullptr;
    QCheckBox *FCBComOpen = nullptr;
    QLabel *FLTrackName = nullptr;
    QPushButton *FBChooseTrack = nullptr;
    QCheckBox *FCBAutoSaveActivated = nullptr;
    QSpinBox *FSpinAutoSaveInterval = nullptr;
    QComboBox *FComboAutoSaveUnit = nullptr;
    QCheckBox *FCBPlotGPSPosition = nullptr;
    QComboBox *FComboGPSPosPlotStyle = nullptr;
    QCheckBox *FCBBeepOnPosition = nullptr;
    QCheckBox *FCBStayOnTop = nullptr;
    QTimer *FTimerCheckLastValidTick = nullptr;
    QTimer *FTimeAgentGPSPos = nullptr;
};

} // namespace vrn
