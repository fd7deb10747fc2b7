#pragma once

// "Edit point": one point of the sextant calibration table, the sextant angle in degrees and
// the instrument error there in minutes of arc.

#include "celestial/Sextante.h"

#include <QDialog>

class QPushButton;

namespace vrn {

class TNumEdit;

class TFormEditAltitudeErrorPair : public QDialog
{
    Q_OBJECT

public:
    explicit TFormEditAltitudeErrorPair(QWidget *parent = nullptr);

    // Runs the dialog on the pair; true on OK, with "Altitude:" written to Angle and "Error:" to
    // Error. Cancel leaves the pair unchanged. OK with an altitude outside 0..180 says so and
    // keeps the dialog open on that field.
    bool Edit(TSextantCalibrationPair &pair);

    void SetPair(const TSextantCalibrationPair &pair);
    // The pair the fields hold now.
    TSextantCalibrationPair Pair() const;

    void done(int result) override;

private:
    TNumEdit *FEdAltitude = nullptr;
    TNumEdit *FEdError = nullptr;
    QPushButton *FBOK = nullptr;
    QPushButton *FBCancel = nullptr;
};

} // namespace vrn
