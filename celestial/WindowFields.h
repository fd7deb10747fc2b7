#pragma once

// Small helpers the celestial navigation windows share for their fields: the dip unit list, the
// date fields' hint and the stored form of position and time fields.

#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace vrn {

class TFormSettings;
class TKaPositionEdit;
class TKaTimeEdit;

// "meters", "feet", "minutes"; the stored unit (its index) is selected.
void FillDipUnits(QComboBox &units, int storedIndex);

// Appends " (" + the short date format + ")" to the field's hint.
void AppendShortDateHint(QLineEdit &dateField);

// Positions and times are stored as decimal degrees and day fractions.
void RestorePosition(const TFormSettings &settings, TKaPositionEdit &field);
void RestoreTime(const TFormSettings &settings, TKaTimeEdit &field);
void StorePosition(TFormSettings &settings, const TKaPositionEdit &field);
void StoreTime(TFormSettings &settings, const TKaTimeEdit &field);

// A right-aligned field label whose access key moves the focus to `buddy`.
QWidget *LabelFor(const QString &caption, QWidget *buddy, QWidget *parent);

// Report lines as the text of a read-only text area.
QString JoinReport(const std::vector<std::string> &lines);

} // namespace vrn
