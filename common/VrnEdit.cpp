#include "common/VrnEdit.h"

#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vrn {
namespace {

std::function<void()> &BeepSink()
{
    static std::function<void()> sink;
    return sink;
}

// A click less than this after the previous one on the same cell places the caret instead of
// selecting the whole cell.
constexpr qint64 kReselectMs = 5000;

// A cell is as wide as its digits plus the line edit's own margins (2 px each side) and the
// caret, so that the marks between cells sit close to the digits.
constexpr int kCellPaddingPx = 5;

// Refused keys within this time of the last beep stay silent.
constexpr qint64 kBeepQuietMs = 250;

qint64 &LastBeepMs()
{
    static qint64 last = -kBeepQuietMs;
    return last;
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qint64 MonotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid()) {
        timer.start();
    }
    return timer.elapsed();
}

QLabel *MakeMark(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setContentsMargins(0, 0, 0, 0);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The panel looks like one ordinary entry field holding borderless cells.
void SetUpPanel(QFrame &panel, QHBoxLayout &layout)
{
    panel.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel.setBackgroundRole(QPalette::Base);
    panel.setAutoFillBackground(true);
    panel.setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout.setContentsMargins(3, 2, 3, 2);
    layout.setSpacing(0);
}

} // namespace

bool IsControlKey(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty()) {
        return true;
    }
    const QChar c = text.front();
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
        return true;
    }
    return (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

void SetBeepSink(std::function<void()> sink)
{
    BeepSink() = std::move(sink);
    LastBeepMs() = -kBeepQuietMs;
}

void BeepRefused()
{
    const qint64 now = MonotonicMs();
    if (now - LastBeepMs() < kBeepQuietMs) {
        return;
    }
    LastBeepMs() = now;
    if (BeepSink()) {
        BeepSink()();
    } else {
        QApplication::beep();
    }
}

void BeepRefusedKey(const QKeyEvent &event)
{
    if (!event.isAutoRepeat()) {
        BeepRefused();
    }
}

void ShowMenuWithCheckedPaste(
    QLineEdit &edit, QContextMenuEvent &event, std::function<void()> paste)
{
    // The standard menu's paste cannot be told apart reliably (its actions carry only
    // translated texts), so the menu is built here with the same commands.
    auto *menu = new QMenu(&edit);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool editable = !edit.isReadOnly();
    const bool selected = edit.hasSelectedText();
    const auto add = [&](const QString &text, QKeySequence::StandardKey key, bool enabled,
                         std::function<void()> command) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction *action =
            menu->addAction(shortcut.isEmpty() ? text : text + QLatin1Char('\t') + shortcut);
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, &edit, std::move(command));
        return action;
    };
    QLineEdit *e = &edit;
    add(QStringLiteral("&Undo"), QKeySequence::Undo, editable && edit.isUndoAvailable(),
        [e] { e->undo(); });
    add(QStringLiteral("&Redo"), QKeySequence::Redo, editable && edit.isRedoAvailable(),
        [e] { e->redo(); });
    menu->addSeparator();
    add(QStringLiteral("Cu&t"), QKeySequence::Cut, editable && selected, [e] { e->cut(); });
    add(QStringLiteral("&Copy"), QKeySequence::Copy, selected, [e] { e->copy(); });
    QAction *pasteAction = add(QStringLiteral("&Paste"), QKeySequence::Paste,
        editable && !QApplication::clipboard()->text().isEmpty(), std::move(paste));
    pasteAction->setObjectName(QStringLiteral("edit-paste"));
    add(QStringLiteral("Delete"), QKeySequence::UnknownKey, editable && selected,
        [e] { e->del(); });
    menu->addSeparator();
    add(QStringLiteral("Select All"), QKeySequence::SelectAll, !edit.text().isEmpty(),
        [e] { e->selectAll(); });
    menu->popup(event.globalPos());
}

// ---------------------------------------------------------------------------------------------

TKaIntEdit::TKaIntEdit(QWidget *parent)
    : QLineEdit(parent)
    , FValidator(new QRegularExpressionValidator(this))
{
    // Pasted or dropped text: digits only, and no more than fit.
    setValidator(FValidator);
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setTextMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    SetMaxDigits(2);
    connect(this, &QLineEdit::textEdited, this, &TKaIntEdit::TextEdited);
}

QString TKaIntEdit::Formatted(int value) const
{
    return QStringLiteral("%1").arg(value, FMaxDigits, 10, QLatin1Char('0'));
}

int TKaIntEdit::Value() const
{
    const auto n = ParseInteger(text().toStdString());
    if (!n || *n < 0 || *n > std::numeric_limits<int>::max()) {
        return FFocusValue;
    }
    return static_cast<int>(*n);
}

void TKaIntEdit::SetValue(int value)
{
    long long largest = 1;
    for (int i = 0; i < FMaxDigits; ++i) {
        largest *= 10;
    }
    if (value < 0 || value >= largest) {
        value = 0;
    }
    FFocusValue = value;
    ClearRefused();
    setText(Formatted(value));
}

void TKaIntEdit::SetMaxValue(int maxValue)
{
    FMaxValue = std::max(0, maxValue);
}

void TKaIntEdit::SetMaxDigits(int digits)
{
    const int value = Value();
    FMaxDigits = std::clamp(digits, 1, 9);
    setMaxLength(FMaxDigits);
    FValidator->setRegularExpression(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(FMaxDigits)));
    const QFontMetrics metrics(font());
    setFixedWidth(
        metrics.horizontalAdvance(QString(FMaxDigits, QLatin1Char('0'))) + kCellPaddingPx);
    SetValue(FMaxValue != 0 && value > FMaxValue ? 0 : value);
}

bool TKaIntEdit::BeyondLimit() const
{
    const auto n = ParseInteger(text().toStdString());
    return FMaxValue != 0 && n && *n > FMaxValue;
}

QString TKaIntEdit::RangeText() const
{
    const QString name = objectName().isEmpty() ? QStringLiteral("Value") : objectName();
    return QStringLiteral("%1: 0 to %2").arg(name).arg(FMaxValue);
}

void TKaIntEdit::ShowRefused(const QString &why)
{
    MarkRefused(why, true);
}

void TKaIntEdit::MarkRefused(const QString &why, bool beep)
{
    FRefused = true;
    QPalette p = palette();
    p.setColor(QPalette::Text, QColor(0xC0, 0, 0));
    setPalette(p);
    setToolTip(why);
    if (isVisible()) {
        QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
    }
    if (beep) {
        BeepRefused();
    }
}

void TKaIntEdit::ClearRefused()
{
    if (!FRefused) {
        return;
    }
    FRefused = false;
    setPalette(QPalette());
    setToolTip(QString());
    QToolTip::hideText();
}

void TKaIntEdit::TextEdited()
{
    if (BeyondLimit()) {
        if (!FRefused) {
            ShowRefused(RangeText());
        }
    } else {
        ClearRefused();
    }
}

void TKaIntEdit::PasteDigits()
{
    const QString pasted = QApplication::clipboard()->text().trimmed();
    const int kept = text().size() - selectedText().size();
    if (isReadOnly() || pasted.isEmpty() || kept + pasted.size() > maxLength()
        || !std::all_of(pasted.begin(), pasted.end(), IsAsciiDigit)) {
        return;
    }
    insert(pasted);
}

void TKaIntEdit::contextMenuEvent(QContextMenuEvent *event)
{
    ShowMenuWithCheckedPaste(*this, *event, [this] { PasteDigits(); });
}

void TKaIntEdit::ForwardKey(QLineEdit &cell, const QKeyEvent &event)
{
    // The next cell is entered as by Tab (its text selected), then takes the key itself.
    cell.setFocus(Qt::TabFocusReason);
    cell.selectAll();
    QKeyEvent copy(QEvent::KeyPress, event.key(), event.modifiers(), event.text(),
        event.isAutoRepeat(), static_cast<ushort>(event.count()));
    QApplication::sendEvent(&cell, &copy);
}

void TKaIntEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        PasteDigits();
        return;
    }
    if (IsControlKey(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const QChar c = event->text().front();
    if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
        // The decimal point of degrees, minutes and their fraction moves on like Tab.
        if (FNextCell) {
            FNextCell->setFocus(Qt::TabFocusReason);
        } else {
            focusNextChild();
        }
        return;
    }
    if (!IsAsciiDigit(c)) {
        if (FLetterCell && c.isLetter()) {
            ForwardKey(*FLetterCell, *event);
        } else {
            BeepRefusedKey(*event);
        }
        return;
    }
    if (!hasSelectedText() && text().length() >= maxLength()) {
        if (cursorPosition() < maxLength()) {
            // Inside a full cell the digit takes the place of the one after the caret.
            setSelection(cursorPosition(), 1);
        } else if (FNextCell && !FRefused) {
            // Past the end of a full cell the digit goes on into the next cell of the field.
            ForwardKey(*FNextCell, *event);
            return;
        } else {
            // The last cell of the field, or a value that is refused: typing never reaches
            // another field.
            BeepRefusedKey(*event);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TKaIntEdit::focusInEvent(QFocusEvent *event)
{
    FFocusValue = Value();
    ClearRefused();
    QLineEdit::focusInEvent(event);
    // Entered by the keyboard or by the window opening: the next digit replaces the cell, never
    // bounces off a full one. A click has its own rule.
    if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason) {
        selectAll();
    }
}

void TKaIntEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu or another window taking the focus for a moment is no leaving.
    if (event->reason() == Qt::PopupFocusReason) {
        return;
    }
    if (BeyondLimit()) {
        // The value beyond the limit is refused: the cell keeps the value it had at focus
        // entry, and stays marked so that the user sees why (one beep for one refusal).
        const QString why = RangeText() + QStringLiteral(" (%1 was refused)").arg(text());
        const bool beeped = FRefused;
        SetValue(FFocusValue);
        MarkRefused(why, !beeped);
    } else {
        SetValue(Value());
    }
    emit Left();
}

void TKaIntEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    const qint64 now = MonotonicMs();
    const bool second = FLastClickMs >= 0 && now - FLastClickMs < kReselectMs;
    FLastClickMs = now;
    if (!second) {
        selectAll();
    }
}

// ---------------------------------------------------------------------------------------------

TKaTimeEdit::TKaTimeEdit(QWidget *parent)
    : QFrame(parent)
    , FHours(new TKaIntEdit(this))
    , FMinutes(new TKaIntEdit(this))
    , FSeconds(new TKaIntEdit(this))
    , FSecondsColon(MakeMark(QStringLiteral(":"), this))
{
    FHours->setObjectName(QStringLiteral("Hours"));
    FMinutes->setObjectName(QStringLiteral("Minutes"));
    FSeconds->setObjectName(QStringLiteral("Seconds"));
    FHours->SetMaxValue(23);
    FMinutes->SetMaxValue(59);
    FSeconds->SetMaxValue(59);

    auto *layout = new QHBoxLayout(this);
    SetUpPanel(*this, *layout);
    layout->addWidget(FHours);
    layout->addWidget(MakeMark(QStringLiteral(":"), this));
    layout->addWidget(FMinutes);
    layout->addWidget(FSecondsColon);
    layout->addWidget(FSeconds);
    setFocusProxy(FHours);

    for (TKaIntEdit *cell : {FHours, FMinutes, FSeconds}) {
        connect(cell, &QLineEdit::textChanged, this, &TKaTimeEdit::Changed);
    }
    LinkCells();
}

void TKaTimeEdit::LinkCells()
{
    FHours->SetNextCell(FMinutes);
    FMinutes->SetNextCell(FShowSeconds ? FSeconds : nullptr);
    FSeconds->SetNextCell(nullptr);
}

double TKaTimeEdit::Value() const
{
    return FHours->Value() / 24.0 + FMinutes->Value() / 1440.0 + FSeconds->Value() / 86400.0;
}

void TKaTimeEdit::SetValue(double dayFraction)
{
    if (!std::isfinite(dayFraction)) {
        dayFraction = 0;
    }
    const double fraction = dayFraction - std::floor(dayFraction);
    // Rounded to the millisecond, as date-times are everywhere, so 12:59:30 stays 12:59:30.
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000LL) {
        ms = 0;
    }
    const long long seconds = ms / 1000;
    FHours->SetValue(static_cast<int>(seconds / 3600));
    FMinutes->SetValue(static_cast<int>(seconds / 60 % 60));
    FSeconds->SetValue(static_cast<int>(seconds % 60));
}

QString TKaTimeEdit::Text() const
{
    return FHours->text() + QLatin1Char(':') + FMinutes->text() + QLatin1Char(':')
        + FSeconds->text();
}

void TKaTimeEdit::SetShowSeconds(bool show)
{
    FShowSeconds = show;
    FSecondsColon->setVisible(show);
    FSeconds->setVisible(show);
    LinkCells();
}

bool TKaTimeEdit::Focused() const
{
    return FHours->hasFocus() || FMinutes->hasFocus() || FSeconds->hasFocus();
}

// ---------------------------------------------------------------------------------------------

THemisphereEdit::THemisphereEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setMaxLength(1);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    const QFontMetrics metrics(font());
    setFixedWidth(std::max(metrics.horizontalAdvance(QLatin1Char('W')),
                      metrics.horizontalAdvance(QLatin1Char('N')))
        + kCellPaddingPx);
}

void THemisphereEdit::keyPressEvent(QKeyEvent *event)
{
    if (IsControlKey(*event)) {
        // Moving and leaving work as anywhere; nothing may edit the letter away.
        if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete
            || event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
            || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const QString letter = event->text().left(1).toUpper();
    if (FLetters.isEmpty() || !FLetters.contains(letter)) {
        BeepRefusedKey(*event);
        return;
    }
    setText(letter);
    selectAll();
    focusNextChild();
}

void THemisphereEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    selectAll();
}

// ---------------------------------------------------------------------------------------------

TKaPositionEdit::TKaPositionEdit(QWidget *parent)
    : QFrame(parent)
    , FDegrees(new TKaIntEdit(this))
    , FMinutes(new TKaIntEdit(this))
    , FFraction(new TKaIntEdit(this))
    , FHemisphere(new THemisphereEdit(this))
    , FMinuteMark(MakeMark(QStringLiteral("' "), this))
{
    FDegrees->setObjectName(QStringLiteral("Degrees"));
    FMinutes->setObjectName(QStringLiteral("Minutes"));
    FFraction->setObjectName(QStringLiteral("Fraction"));
    FHemisphere->setObjectName(QStringLiteral("Hemisphere"));
    FDegrees->SetMaxDigits(3);
    FDegrees->SetMaxValue(359);
    FMinutes->SetMaxValue(59);
    FFraction->SetMaxDigits(1);
    FFraction->SetMaxValue(9);
    FHemisphere->setText(QStringLiteral("N"));

    auto *layout = new QHBoxLayout(this);
    SetUpPanel(*this, *layout);
    layout->addWidget(FDegrees);
    layout->addWidget(MakeMark(QStringLiteral("°"), this));
    layout->addWidget(FMinutes);
    layout->addWidget(MakeMark(QStringLiteral("."), this));
    layout->addWidget(FFraction);
    layout->addWidget(FMinuteMark);
    layout->addWidget(FHemisphere);
    setFocusProxy(FDegrees);
    SetPositionType(TPositionType::ptAngle);

    for (QLineEdit *cell :
        std::initializer_list<QLineEdit *> {FDegrees, FMinutes, FFraction, FHemisphere}) {
        connect(cell, &QLineEdit::textChanged, this, &TKaPositionEdit::Changed);
    }
    for (TKaIntEdit *cell : {FDegrees, FMinutes, FFraction}) {
        connect(cell, &TKaIntEdit::Left, this, &TKaPositionEdit::KeepWithinLimit);
    }
}

double TKaPositionEdit::DegreesLimit() const
{
    const int limit = FDegrees->MaxValue();
    return limit == 90 || limit == 180 ? limit : std::numeric_limits<double>::infinity();
}

void TKaPositionEdit::KeepWithinLimit()
{
    // 90°30.0' is no latitude and 180°30.0' no longitude: at the limit, minutes go, and the
    // cell that had them says so.
    const double limit = DegreesLimit();
    if (FDegrees->Value() < limit) {
        return;
    }
    const bool hadMinutes = FMinutes->Value() != 0;
    const bool hadFraction = FFraction->Value() != 0;
    FMinutes->SetValue(0);
    FFraction->SetValue(0);
    const QString why = QStringLiteral("Minutes: 0 at %1°").arg(limit);
    if (hadMinutes) {
        FMinutes->ShowRefused(why);
    } else if (hadFraction) {
        FFraction->ShowRefused(why);
    }
}

void TKaPositionEdit::LinkCells()
{
    QLineEdit *hemisphere = FType == TPositionType::ptAngle ? nullptr : FHemisphere;
    FDegrees->SetNextCell(FMinutes);
    FMinutes->SetNextCell(FFraction);
    FFraction->SetNextCell(hemisphere);
    for (TKaIntEdit *cell : {FDegrees, FMinutes, FFraction}) {
        cell->SetLetterCell(hemisphere);
    }
}

double TKaPositionEdit::Position() const
{
    const double fraction = FFraction->Value() / (FFraction->MaxDigits() == 1 ? 10.0 : 100.0);
    double deg = FDegrees->Value() + (FMinutes->Value() + fraction) / 60.0;
    deg = std::min(deg, DegreesLimit());
    const QString letter = FHemisphere->text();
    const bool negative = (FType == TPositionType::ptNS && letter == QLatin1String("S"))
        || (FType == TPositionType::ptWE && letter == QLatin1String("E"));
    return negative ? -deg : deg;
}

void TKaPositionEdit::SetPosition(double deg)
{
    if (!std::isfinite(deg)) {
        deg = 0;
    }
    if (FType == TPositionType::ptNS) {
        FHemisphere->setText(deg >= 0 ? QStringLiteral("N") : QStringLiteral("S"));
    } else if (FType == TPositionType::ptWE) {
        FHemisphere->setText(deg >= 0 ? QStringLiteral("W") : QStringLiteral("E"));
    }
    const double magnitude = std::min(std::fabs(deg), DegreesLimit());
    // A double until it is known to fit: an angle field has no limit, and a stored setting may
    // hold any number.
    double whole = std::trunc(magnitude);
    const int fracDigits = FFraction->MaxDigits();
    // Minutes as the field shows them ("22.3"), so that the cells round as the text does.
    const std::string minutesText = FormatFixed((magnitude - whole) * 60.0, fracDigits);
    const auto point = minutesText.find('.');
    int minutes = static_cast<int>(ParseInteger(minutesText.substr(0, point)).value_or(0));
    int fraction = static_cast<int>(ParseInteger(minutesText.substr(point + 1)).value_or(0));
    if (minutes >= 60) {
        minutes = 0;
        fraction = 0;
        whole += 1;
    }
    // Degrees too large for an int are too large for any cell, which shows 0 for those.
    FDegrees->SetValue(whole <= std::numeric_limits<int>::max() ? static_cast<int>(whole) : 0);
    FMinutes->SetValue(minutes);
    FFraction->SetValue(fraction);
}

QString TKaPositionEdit::Text() const
{
    QString text = FDegrees->text() + QStringLiteral("°") + FMinutes->text() + QLatin1Char('.')
        + FFraction->text() + QLatin1Char('\'');
    if (FType != TPositionType::ptAngle) {
        text += FHemisphere->text();
    }
    return text;
}

void TKaPositionEdit::SetPositionType(TPositionType type)
{
    FType = type;
    switch (type) {
    case TPositionType::ptAngle:
        FHemisphere->SetLetters(QString());
        break;
    case TPositionType::ptNS:
        FHemisphere->SetLetters(QStringLiteral("NS"));
        FHemisphere->setText(QStringLiteral("N"));
        break;
    case TPositionType::ptWE:
        FHemisphere->SetLetters(QStringLiteral("WE"));
        FHemisphere->setText(QStringLiteral("W"));
        break;
    }
    FHemisphere->setVisible(type != TPositionType::ptAngle);
    LinkCells();
    FMinuteMark->setText(
        type == TPositionType::ptAngle ? QStringLiteral("'") : QStringLiteral("' "));
}

int TKaPositionEdit::DegreeDigits() const
{
    return FDegrees->MaxDigits();
}

void TKaPositionEdit::SetDegreeDigits(int digits)
{
    if (digits != 2 && digits != 3) {
        throw EVrnError("Invalid DegreeDigits");
    }
    const double deg = Position();
    FDegrees->SetMaxValue(digits == 2 ? 90 : 180);
    FDegrees->SetMaxDigits(digits);
    SetPosition(deg);
}

int TKaPositionEdit::MinFracDigits() const
{
    return FFraction->MaxDigits();
}

void TKaPositionEdit::SetMinFracDigits(int digits)
{
    if (digits != 1 && digits != 2) {
        throw EVrnError("Invalid MinFracDigits");
    }
    const double deg = Position();
    FFraction->SetMaxValue(digits == 1 ? 9 : 99);
    FFraction->SetMaxDigits(digits);
    SetPosition(deg);
}

bool TKaPositionEdit::Focused() const
{
    return FDegrees->hasFocus() || FMinutes->hasFocus() || FFraction->hasFocus()
        || FHemisphere->hasFocus();
}

} // namespace vrn
