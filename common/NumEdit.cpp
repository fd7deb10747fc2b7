#include "common/NumEdit.h"

#include "common/VrnEdit.h"
#include "engine/NumText.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vrn {
namespace {

// The shortest general form: up to 15 significant digits, "." whatever the locale.
QString GeneralText(double value)
{
    if (value == 0) {
        value = 0; // no "-0"
    }
    return QString::number(value, 'g', 15);
}

} // namespace

TNumEdit::TNumEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAcceptDrops(false);
    setText(QStringLiteral("0"));
}

double TNumEdit::Value() const
{
    return ParseNumber(text().toStdString()).value_or(FFocusValue);
}

void TNumEdit::SetValue(double value)
{
    if (!std::isfinite(value)) {
        return;
    }
    setText(GeneralText(value));
}

int TNumEdit::ToInt(double value) const
{
    const double whole = FRoundInt ? std::round(value) : std::trunc(value);
    if (whole >= std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (whole <= std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(whole);
}

int TNumEdit::IntValue() const
{
    return ToInt(Value());
}

void TNumEdit::SetMinValue(double value)
{
    if (!std::isfinite(value) || value > FMaxValue) {
        return;
    }
    FMinValue = value;
    Validate();
}

void TNumEdit::SetMaxValue(double value)
{
    if (!std::isfinite(value) || value < FMinValue) {
        return;
    }
    FMaxValue = value;
    Validate();
}

void TNumEdit::SetRange(double minValue, double maxValue)
{
    if (!std::isfinite(minValue) || !std::isfinite(maxValue) || minValue > maxValue) {
        return;
    }
    FMinValue = minValue;
    FMaxValue = maxValue;
    Validate();
}

void TNumEdit::SetAllowFloat(bool allow)
{
    FAllowFloat = allow;
    Validate();
}

void TNumEdit::SetAllowNegative(bool allow)
{
    FAllowNegative = allow;
    Validate();
}

void TNumEdit::Validate()
{
    double value = Value();
    if (OnValidate) {
        double proposed = value;
        const bool ok = RunCommand(this, [&] { OnValidate(*this, FFocusValue, proposed); });
        if (!ok) {
            return;
        }
        if (std::isfinite(proposed)) {
            value = proposed;
        }
    }
    if (!FAllowNegative) {
        value = std::fabs(value);
    }
    if (!FAllowFloat && value != std::trunc(value)) {
        value = ToInt(value);
    }
    if (FMinValue != 0 || FMaxValue != 0) {
        value = std::clamp(value, FMinValue, FMaxValue);
    }
    setText(GeneralText(value));
}

bool TNumEdit::HasOutsideSelection(QChar c) const
{
    const QString t = text();
    const int start = hasSelectedText() ? selectionStart() : -1;
    const int end = hasSelectedText() ? selectionEnd() : -1;
    for (int i = 0; i < t.size(); ++i) {
        if (t[i] == c && (i < start || i >= end)) {
            return true;
        }
    }
    return false;
}

bool TNumEdit::AcceptsCharacter(QChar c) const
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        return true;
    }
    if (c == QLatin1Char('.')) {
        return FAllowFloat && !HasOutsideSelection(c);
    }
    if (c == QLatin1Char('-')) {
        const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
        return FAllowNegative && !HasOutsideSelection(c) && caret == 0;
    }
    return false;
}

void TNumEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        PasteNumber();
        return;
    }
    if (IsControlKey(*event) || AcceptsCharacter(event->text().front())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (FBeepOnError) {
        BeepRefusedKey(*event);
    }
}

void TNumEdit::PasteNumber()
{
    const QString pasted = QApplication::clipboard()->text().trimmed();
    if (isReadOnly() || !ParseNumber(pasted.toStdString())) {
        return;
    }
    insert(pasted);
    Validate();
    end(false);
}

void TNumEdit::contextMenuEvent(QContextMenuEvent *event)
{
    ShowMenuWithCheckedPaste(*this, *event, [this] { PasteNumber(); });
}

void TNumEdit::focusInEvent(QFocusEvent *event)
{
    FFocusValue = Value();
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason) {
        selectAll();
    }
}

void TNumEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) {
        return;
    }
    Validate();
}

} // namespace vrn
