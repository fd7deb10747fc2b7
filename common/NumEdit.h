#pragma once

// A general numeric entry field with range and sign rules. Keys that would make the text
// something other than a number are refused; the value is validated (sign, fraction, range) when
// the field is left and whenever one of its rules changes.

#include <QLineEdit>
#include <functional>

namespace vrn {

class TNumEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TNumEdit(QWidget *parent = nullptr);

    // The number shown; when the text is not a number (empty, "-", "."), the value the field had
    // when it received the focus.
    double Value() const;
    // Written in the shortest general form ("12.5", "100"); a value that is not finite is ignored.
    void SetValue(double value);

    // Value rounded (RoundInt) or truncated, saturated to the 32-bit range.
    int IntValue() const;

    void SetIntValue(int value) { SetValue(value); }

    // Range, used only when at least one bound is non-zero. MinValue is not set above MaxValue,
    // nor MaxValue below MinValue: such a change is ignored. SetRange sets both at once (as a
    // window does when it builds the field) when min <= max.
    double MinValue() const { return FMinValue; }

    double MaxValue() const { return FMaxValue; }

    void SetMinValue(double value);
    void SetMaxValue(double value);
    void SetRange(double minValue, double maxValue);

    bool AllowFloat() const { return FAllowFloat; }

    void SetAllowFloat(bool allow);

    bool AllowNegative() const { return FAllowNegative; }

    void SetAllowNegative(bool allow);

    bool RoundInt() const { return FRoundInt; }

    void SetRoundInt(bool round) { FRoundInt = round; }

    bool BeepOnError() const { return FBeepOnError; }

    void SetBeepOnError(bool beep) { FBeepOnError = beep; }

    // Called on validation with the value at focus entry and the value about to be kept, which
    // the handler may change. An error it raises is shown and the text is left as it was.
    std::function<void(TNumEdit &sender, double oldValue, double &newValue)> OnValidate;

    // Applies OnValidate, the sign, fraction and range rules, and writes the value back.
    void Validate();

    // Pastes the clipboard text only when it is a number, then validates and puts the caret at
    // the end.
    void PasteNumber();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    bool AcceptsCharacter(QChar c) const;
    bool HasOutsideSelection(QChar c) const;
    int ToInt(double value) const;

    double FMinValue = 0;
    double FMaxValue = 0;
    double FFocusValue = 0;
    bool FAllowFloat = true;
    bool FAllowNegative = true;
    bool FRoundInt = true;
    bool FBeepOnError = true;
};

} // namespace vrn
