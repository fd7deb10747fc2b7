#pragma once

// "Distance between celestial objects and Lunars": the distance between two bodies at a GMT
// instant, between their centres and between the limbs of the Sun or the Moon a sextant brings
// together, with the bearing of the second from the first (TwoObjects.h); and the clearing of a
// lunar distance observed with the sextant, which gives the GMT of the observation and so the
// error of the watch (LunarDistance.h). The celestial navigation window creates it on first use.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vrn {

class TKaPositionEdit;
class TKaTimeEdit;
class TNumEdit;
struct TTwoObjectsInputs;
struct TLunarObservation;

class TFormTwoObjectsCalculations : public QWidget
{
    Q_OBJECT

public:
    explicit TFormTwoObjectsCalculations(QWidget *parent = nullptr);
    ~TFormTwoObjectsCalculations() override;

    QString ReportText() const;

    void BCalcTwoObjectsClick();
    void BClearLunarDistanceClick();
    void BNowClick();
    void BGetSystemTimeZoneClick();
    void LBStarChange();

    // Stored when the window is hidden and at exit.
    void SaveSettings();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    TTwoObjectsInputs ReadInputs() const;
    TLunarObservation ReadObservation() const;
    void LoadSettings();
    void FocusObject(int object);

    QComboBox *FLBStar1 = nullptr;
    QComboBox *FLBStar2 = nullptr;
    QCheckBox *FCBFarLimb1 = nullptr;
    QCheckBox *FCBFarLimb2 = nullptr;
    QLineEdit *FEdGMTDate = nullptr;
    TKaTimeEdit *FEdGMTTime = nullptr;
    QPushButton *FBNow = nullptr;
    QSpinBox *FEdWatchError = nullptr;
    TNumEdit *FEdTimeZone = nullptr;
    QPushButton *FBGetSystemTimeZone = nullptr;
    TKaPositionEdit *FEdLatitude = nullptr;
    TKaPositionEdit *FEdLongitude = nullptr;
    TNumEdit *FEdIE = nullptr;
    TNumEdit *FEdEyeHeight = nullptr;
    TKaPositionEdit *FEdSextantDistance = nullptr;
    TKaPositionEdit *FEdAltitude1 = nullptr;
    TKaPositionEdit *FEdAltitude2 = nullptr;
    QPushButton *FBCalcTwoObjects = nullptr;
    QPushButton *FBClearLunarDistance = nullptr;
    QPlainTextEdit *FMemo = nullptr;
};

} // namespace vrn
