#pragma once

// "Sun Meridian Passage by Equal Altitudes": the GMTs of equal altitudes of the Sun before and
// after noon (one pair, or up to five), the maximum altitude and the assumed latitude give the
// position (MeridianPassage.h). Created at start-up and shown on demand; its fields persist.

#include "celestial/MeridianPassage.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace vrn {

class TKaPositionEdit;
class TKaTimeEdit;
class TNumEdit;

class TFormMeridianPassageByEqualAltitudes : public QWidget
{
    Q_OBJECT

public:
    explicit TFormMeridianPassageByEqualAltitudes(QWidget *parent = nullptr);
    ~TFormMeridianPassageByEqualAltitudes() override;

    // The boat course and speed dialog, opened modally by "Edit boat C&&S" (the program's one).
    void SetBoatMovementDialog(QDialog *dialog);

    // The pair selection, replaceable so that tests can answer it.
    TPairChooser ChoosePairs;

    QString ReportText() const;

    void BPassagemMeridianaClick();
    void BEditBoatCourseSpeedClick();
    void BClearPairClick(int row); // 1..5
    void BClearMultiplosEdTimesClick();
    void RefreshCourseAndSpeed();

    // Stored per user when the window closes and at exit.
    void SaveSettings();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TEqualAltitudesInputs ReadInputs() const;
    void LoadSettings();
    void CBLowerLimbClick();

    QDialog *FBoatMovementDialog = nullptr;

    QLineEdit *FEdGMTDate = nullptr;
    TKaPositionEdit *FEdAltitudeCulm = nullptr;
    TNumEdit *FEdIE = nullptr;
    TNumEdit *FEdDip = nullptr;
    QComboBox *FCBDipUnit = nullptr;
    QSpinBox *FEdWatchError = nullptr;
    QCheckBox *FCBLowerLimb = nullptr;
    TKaPositionEdit *FEdLatitude = nullptr;
    TKaPositionEdit *FEdLongitude = nullptr;
    QLabel *FLBoatCourse = nullptr;
    QLabel *FLBoatSpeed = nullptr;
    QPushButton *FBEditBoatCourseSpeed = nullptr;
    QTabWidget *FPageControl = nullptr;
    TKaTimeEdit *FEdGMTTime1 = nullptr;
    TKaTimeEdit *FEdGMTTime2 = nullptr;
    std::array<TKaTimeEdit *, kEqualAltitudeRows> FEdTimeA {};
    std::array<TKaTimeEdit *, kEqualAltitudeRows> FEdTimeD {};
    QPushButton *FBClearMultiplosEdTimes = nullptr;
    QPushButton *FBPassagemMeridiana = nullptr;
    QPlainTextEdit *FMemo = nullptr;
};

} // namespace vrn
