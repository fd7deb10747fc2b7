#pragma once

// Entry fields for the values navigators type all day: TKaIntEdit (a borderless fixed-width cell
// of digits), TKaTimeEdit (hours : minutes : seconds) and TKaPositionEdit (degrees ° minutes .
// fraction ' hemisphere). A value cannot be typed in a malformed way: refused keys beep, a digit
// typed inside a full cell replaces the digit after the caret, a digit typed past the end of a
// full cell goes on into the next cell of the same field (never into another field), and a
// value beyond a cell's limit is shown as refused (red, with a tool tip giving the range) and
// falls back to the value the cell had when it received the focus. Nothing here throws out of an
// event handler.

#include <QFrame>
#include <QLineEdit>
#include <functional>

class QLabel;
class QRegularExpressionValidator;

namespace vrn {

// Keys that edit or move rather than type: control characters, keys without text, and
// shortcuts with Ctrl, Alt or Meta. The fields pass them on and filter only typed characters.
bool IsControlKey(const QKeyEvent &event);

// Refused keys beep through this sink (QApplication::beep by default). A held key repeating, or
// keys refused in a quick burst, beep once. Tests install a counter; nullptr restores the beep.
void SetBeepSink(std::function<void()> sink);
void BeepRefusedKey(const QKeyEvent &event);
void BeepRefused();

// Shows the usual context menu of an entry field (undo, redo, cut, copy, paste, delete, select
// all) with its paste command sent to `paste`, so that pasting by menu is checked like pasting by
// keyboard.
void ShowMenuWithCheckedPaste(
    QLineEdit &edit, QContextMenuEvent &event, std::function<void()> paste);

class TKaIntEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TKaIntEdit(QWidget *parent = nullptr);

    // The whole number shown; when the text is not one (emptied), the value the cell had when it
    // received the focus or was last set.
    int Value() const;
    // Shown zero-padded to MaxDigits digits. A value that cannot be shown in MaxDigits digits,
    // or a negative one, becomes 0, as an out-of-range cell does.
    void SetValue(int value);

    // Largest accepted value; 0 means no limit. Checked as the user types and when the cell is
    // left (see Refused); SetMaxDigits turns a value beyond it into 0 at once.
    int MaxValue() const { return FMaxValue; }

    void SetMaxValue(int maxValue);

    // Number of digits (1..9): the length limit and the zero-padded display width.
    int MaxDigits() const { return FMaxDigits; }

    void SetMaxDigits(int digits);

    // Pastes the clipboard text only when it is all digits and fits in the cell.
    void PasteDigits();

    // The cell after this one in the same field, which a digit typed past the end of this full
    // cell and a "." or "," go on to; null for the last cell, where such a digit is refused and
    // a "." moves on like Tab.
    void SetNextCell(QLineEdit *next) { FNextCell = next; }

    // The cell that takes the letters typed here (the hemisphere of a position); null: letters
    // are refused.
    void SetLetterCell(QLineEdit *cell) { FLetterCell = cell; }

    // True while the cell shows a value beyond its limit, or the value it fell back to after
    // one: its text is red and its tool tip says why.
    bool Refused() const { return FRefused; }

    // Marks the cell as refused with `why` as its tool tip (shown at once), with a beep; a later
    // edit, SetValue or focus entry clears the mark.
    void ShowRefused(const QString &why);

signals:
    // The cell was left and its text rewritten in the display format.
    void Left();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool BeyondLimit() const;
    QString RangeText() const;
    void MarkRefused(const QString &why, bool beep);
    void ClearRefused();
    void TextEdited();
    void ForwardKey(QLineEdit &cell, const QKeyEvent &event);

    QString Formatted(int value) const;

    QRegularExpressionValidator *FValidator;
    QLineEdit *FNextCell = nullptr;
    QLineEdit *FLetterCell = nullptr;
    int FMaxValue = 0;
    int FMaxDigits = 2;
    int FFocusValue = 0;
    qint64 FLastClickMs = -1;
    bool FRefused = false;
};

class TKaTimeEdit : public QFrame
{
    Q_OBJECT

public:
    explicit TKaTimeEdit(QWidget *parent = nullptr);

    // Time of day as a fraction of a day: hours/24 + minutes/1440 + seconds/86400.
    double Value() const;
    // Takes the time of day of a date-time (its fraction), rounded to the nearest millisecond;
    // the seconds cell shows the whole seconds.
    void SetValue(double dayFraction);

    // The three cell texts joined by ":" ("23:57:30").
    QString Text() const;

    bool ShowSeconds() const { return FShowSeconds; }

    void SetShowSeconds(bool show);

    // True when one of the cells has the focus.
    bool Focused() const;

    TKaIntEdit *HoursCell() const { return FHours; }

    TKaIntEdit *MinutesCell() const { return FMinutes; }

    TKaIntEdit *SecondsCell() const { return FSeconds; }

signals:
    void Changed();

private:
    void LinkCells();

    TKaIntEdit *FHours;
    TKaIntEdit *FMinutes;
    TKaIntEdit *FSeconds;
    QLabel *FSecondsColon;
    bool FShowSeconds = true;
};

enum class TPositionType
{
    ptAngle,
    ptNS,
    ptWE
};

// The one-letter hemisphere cell of a position field.
class THemisphereEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit THemisphereEdit(QWidget *parent = nullptr);

    // "NS" or "WE": the letters this cell accepts; empty accepts none.
    void SetLetters(const QString &letters) { FLetters = letters; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString FLetters;
};

class TKaPositionEdit : public QFrame
{
    Q_OBJECT

public:
    explicit TKaPositionEdit(QWidget *parent = nullptr);

    // Degrees, north and west positive. Reading never gives more than the degrees limit of the
    // field (90 for a latitude, 180 for a longitude): 90°30.0' reads as 90.
    double Position() const;
    // Rounded to the minute fraction shown; a value beyond the degrees limit is shown at the
    // limit, a value that is not finite as 0.
    void SetPosition(double deg);

    // Degrees, "°", minutes, ".", fraction, "'" and, unless ptAngle, the letter ("23°22.3'S").
    QString Text() const;

    TPositionType PositionType() const { return FType; }

    void SetPositionType(TPositionType type);

    // 2: degrees limited to 90; 3: limited to 180. Anything else raises EVrnError
    // "Invalid DegreeDigits". A new field has 3 digits limited to 359.
    int DegreeDigits() const;
    void SetDegreeDigits(int digits);

    // 1: tenths of a minute; 2: hundredths. Anything else raises EVrnError "Invalid MinFracDigits".
    // Both keep the position shown (rounded to the new fraction, held within the new limit).
    int MinFracDigits() const;
    void SetMinFracDigits(int digits);

    bool Focused() const;

    TKaIntEdit *DegreesCell() const { return FDegrees; }

    TKaIntEdit *MinutesCell() const { return FMinutes; }

    TKaIntEdit *FractionCell() const { return FFraction; }

    QLineEdit *HemisphereCell() const { return FHemisphere; }

signals:
    void Changed();

private:
    void KeepWithinLimit();
    void LinkCells();
    double DegreesLimit() const;

    TKaIntEdit *FDegrees;
    TKaIntEdit *FMinutes;
    TKaIntEdit *FFraction;
    THemisphereEdit *FHemisphere;
    QLabel *FMinuteMark;
    TPositionType FType = TPositionType::ptAngle;
};

} // namespace vrn
