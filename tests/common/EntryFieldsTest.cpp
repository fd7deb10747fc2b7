#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/VrnError.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <functional>
#include <memory>

namespace vrn {

// A window holding one field and an ordinary line edit after it, to see where the focus goes.
template <class TField>
class TFieldWindow
{
public:
    TFieldWindow()
    {
        Field = new TField(&Window);
        After = new QLineEdit(&Window);
        After->setObjectName(QStringLiteral("After"));
        auto *layout = new QFormLayout(&Window);
        layout->addRow(QStringLiteral("Field:"), Field);
        layout->addRow(QStringLiteral("After:"), After);
        // Tests enter the field as a user does, with the focus coming from elsewhere.
        After->setFocus();
        Window.show();
        QApplication::setActiveWindow(&Window);
        Ready = QTest::qWaitForWindowActive(&Window);
    }

    QWidget Window;
    TField *Field;
    QLineEdit *After;
    bool Ready = false;
};

// Types into whichever widget has the focus, as a user does: "\t" is Tab, "\b" Backspace.
void Type(const QString &keys)
{
    for (const QChar c : keys) {
        QWidget *target = QApplication::focusWidget();
        if (!target) {
            return;
        }
        if (c == QLatin1Char('\t')) {
            QTest::keyClick(target, Qt::Key_Tab);
        } else if (c == QLatin1Char('\b')) {
            QTest::keyClick(target, Qt::Key_Backspace);
        } else {
            QTest::keyClick(target, c.toLatin1());
        }
    }
}

class TEntryFieldsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void IntCellTyping_data();
    void IntCellTyping();
    void IntCellEmptyReadsTheFocusValue();
    void IntCellPaste_data();
    void IntCellPaste();
    void IntCellClickSelectsThenPlacesCaret();
    void IntCellDigitsAndDisplayRange();
    void RefusedKeysBeepOncePerBurst();

    void TimeTyping_data();
    void TimeTyping();
    void TimeSetValue_data();
    void TimeSetValue();
    void TimeShowSecondsEnableAndFocus();

    void PositionSet_data();
    void PositionSet();
    void PositionTyping_data();
    void PositionTyping();
    void PositionHemisphereCellKeepsItsLetter();
    void ClickAgainOverwritesAndNeverSpills_data();
    void ClickAgainOverwritesAndNeverSpills();
    void OutOfRangeIsShownAndRefused_data();
    void OutOfRangeIsShownAndRefused();
    void PositionTypeAndDigits();

    void NumTyping_data();
    void NumTyping();
    void NumValidationRules_data();
    void NumValidationRules();
    void NumValidateHandler();
    void NumPaste_data();
    void NumPaste();
    void MenuPasteIsCheckedToo();
    void NumIntValue_data();
    void NumIntValue();
    void NumRangeSetters();

    void Screenshot();

private:
    int FBeeps = 0;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
};

void TEntryFieldsTest::initTestCase() { }

void TEntryFieldsTest::init()
{
    FBeeps = 0;
    FBoxes.reset(); // the old responder uninstalls itself before the new one is installed
    FBoxes = std::make_unique<TTestMessageBoxes>();
    // Installing the sink also ends the previous test's burst of beeps.
    SetBeepSink([this] { ++FBeeps; });
}

void TEntryFieldsTest::cleanupTestCase()
{
    SetBeepSink(nullptr);
    FBoxes.reset();
}

// ---------------------------------------------------------------------------------------------
// Integer cells

void TEntryFieldsTest::IntCellTyping_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("initial");
    QTest::addColumn<QString>("keys"); // typed after entering by Tab, then Tab
    QTest::addColumn<QString>("cellText"); // after the field was left
    QTest::addColumn<QString>("afterText"); // what reached the next field
    QTest::addColumn<int>("beeps");

    // A cell alone is a field of its own: digits past its end are refused, never typed into the
    // next field; only a point moves on.
    QTest::addRow("full cell keeps the focus") << 2 << 59 << 0 << "357"
                                               << "35"
                                               << "" << 1;
    QTest::addRow("minutes 75 refused") << 2 << 59 << 42 << "75"
                                        << "42"
                                        << "" << 1;
    QTest::addRow("minutes 60 refused") << 2 << 59 << 0 << "60"
                                        << "00"
                                        << "" << 1;
    QTest::addRow("minutes 59 stay") << 2 << 59 << 42 << "59"
                                     << "59"
                                     << "" << 0;
    QTest::addRow("no limit") << 2 << 0 << 0 << "99"
                              << "99"
                              << "" << 0;
    QTest::addRow("letter refused") << 2 << 59 << 0 << "a5"
                                    << "05"
                                    << "" << 1;
    QTest::addRow("point moves on") << 2 << 59 << 0 << "1.7"
                                    << "01"
                                    << "7" << 0;
    QTest::addRow("comma moves on") << 2 << 59 << 0 << "1,7"
                                    << "01"
                                    << "7" << 0;
    QTest::addRow("backspace") << 2 << 59 << 0 << "1\b4"
                               << "04"
                               << "" << 0;
    QTest::addRow("corrected back into range") << 2 << 59 << 42 << "7\b5"
                                               << "05"
                                               << "" << 0;
    QTest::addRow("three digits 360 refused") << 3 << 359 << 120 << "360"
                                              << "120"
                                              << "" << 1;
    QTest::addRow("three digits 359") << 3 << 359 << 0 << "359"
                                      << "359"
                                      << "" << 0;
    QTest::addRow("one digit") << 1 << 9 << 0 << "73"
                               << "7"
                               << "" << 1;
}

void TEntryFieldsTest::IntCellTyping()
{
    QFETCH(int, digits);
    QFETCH(int, maxValue);
    QFETCH(int, initial);
    QFETCH(QString, keys);
    QFETCH(QString, cellText);
    QFETCH(QString, afterText);
    QFETCH(int, beeps);

    TFieldWindow<TKaIntEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetMaxDigits(digits);
    w.Field->SetMaxValue(maxValue);
    w.Field->SetValue(initial);
    w.Field->setFocus(Qt::TabFocusReason);
    Type(keys);
    if (w.Field->hasFocus()) {
        Type(QStringLiteral("\t"));
    }
    QCOMPARE(w.Field->hasFocus(), false);
    QCOMPARE(w.Field->text(), cellText);
    QCOMPARE(w.After->text(), afterText);
    QCOMPARE(FBeeps, beeps);
}

void TEntryFieldsTest::IntCellEmptyReadsTheFocusValue()
{
    TFieldWindow<TKaIntEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetValue(7);
    w.Field->setFocus(Qt::TabFocusReason);
    Type(QStringLiteral("\b"));
    QCOMPARE(w.Field->text(), QString());
    QCOMPARE(w.Field->Value(), 7);
    Type(QStringLiteral("\t"));
    QCOMPARE(w.Field->text(), QStringLiteral("07"));
}

void TEntryFieldsTest::IntCellPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");

    QTest::addRow("digits") << "42"
                            << "42";
    QTest::addRow("letters") << "ab"
                             << "00";
    QTest::addRow("negative") << "-4"
                              << "00";
    QTest::addRow("too long") << "123"
                              << "00";
    QTest::addRow("number with point") << "4.5"
                                       << "00";
}

void TEntryFieldsTest::IntCellPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, text);

    TFieldWindow<TKaIntEdit> w;
    QVERIFY(w.Ready);
    w.Field->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText(clipboard);
    QTest::keySequence(w.Field, QKeySequence::Paste);
    QCOMPARE(w.Field->text(), text);
}

void TEntryFieldsTest::IntCellClickSelectsThenPlacesCaret()
{
    TFieldWindow<TKaIntEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetValue(34);
    w.After->setFocus();
    QTest::mouseClick(
        w.Field, Qt::LeftButton, {}, QPoint(w.Field->width() - 3, w.Field->height() / 2));
    QCOMPARE(w.Field->selectedText(), QStringLiteral("34"));
    // A second click soon after places the caret, so a single digit can be corrected.
    QTest::mouseClick(
        w.Field, Qt::LeftButton, {}, QPoint(w.Field->width() - 3, w.Field->height() / 2));
    QVERIFY(!w.Field->hasSelectedText());
}

void TEntryFieldsTest::IntCellDigitsAndDisplayRange()
{
    TKaIntEdit cell;
    QCOMPARE(cell.text(), QStringLiteral("00"));
    QCOMPARE(cell.MaxDigits(), 2);
    cell.SetValue(7);
    QCOMPARE(cell.text(), QStringLiteral("07"));
    cell.SetMaxDigits(3);
    QCOMPARE(cell.text(), QStringLiteral("007"));
    // Values that cannot be shown in the cell's digits become 0, like out-of-range typing.
    cell.SetValue(1000);
    QCOMPARE(cell.text(), QStringLiteral("000"));
    cell.SetValue(-5);
    QCOMPARE(cell.text(), QStringLiteral("000"));
    // Narrowing the limit applies it at once.
    cell.SetValue(75);
    cell.SetMaxValue(59);
    cell.SetMaxDigits(2);
    QCOMPARE(cell.text(), QStringLiteral("00"));
}

void TEntryFieldsTest::RefusedKeysBeepOncePerBurst()
{
    TFieldWindow<TKaIntEdit> w;
    QVERIFY(w.Ready);
    w.Field->setFocus(Qt::TabFocusReason);
    // A held key: one press, then the keyboard's repeats.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(w.Field, &press);
    for (int i = 0; i < 20; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"), true);
        QApplication::sendEvent(w.Field, &repeat);
    }
    QCOMPARE(FBeeps, 1);
    // Separate refusals a moment apart each beep.
    QTest::qWait(300);
    QTest::keyClick(w.Field, 'y');
    QCOMPARE(FBeeps, 2);
    QCOMPARE(w.Field->text(), QStringLiteral("00"));
}

// ---------------------------------------------------------------------------------------------
// Time fields

void TEntryFieldsTest::TimeTyping_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds"); // of the day
    QTest::addColumn<bool>("leftField");
    QTest::addColumn<int>("beeps");

    // Each digit past the end of a full cell goes on into the next cell, none past the seconds.
    QTest::addRow("six digits fill the field")
        << "235730"
        << "23:57:30" << (23 * 3600 + 57 * 60 + 30) << false << 0;
    QTest::addRow("a seventh digit is refused")
        << "2357301"
        << "23:57:30" << (23 * 3600 + 57 * 60 + 30) << false << 1;
    QTest::addRow("points move on") << "1.3.5\t"
                                    << "01:03:05" << (3600 + 180 + 5) << true << 0;
    // Hours 24 are refused: the cell keeps 00, its value at focus entry, and the digits after
    // it stay out of the minutes until the hours are corrected or left.
    QTest::addRow("hours 24 refused") << "241\t1510"
                                      << "00:15:10" << (15 * 60 + 10) << false << 1;
    QTest::addRow("hours corrected") << "24\b1510"
                                     << "21:51:00" << (21 * 3600 + 51 * 60) << false << 1;
    QTest::addRow("seconds 60 refused") << "120060\t"
                                        << "12:00:00" << 12 * 3600 << true << 1;
    QTest::addRow("tab keeps the rest") << "7\t"
                                        << "07:00:00" << 7 * 3600 << false << 0;
}

void TEntryFieldsTest::TimeTyping()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, seconds);
    QFETCH(bool, leftField);
    QFETCH(int, beeps);

    TFieldWindow<TKaTimeEdit> w;
    QVERIFY(w.Ready);
    int changes = 0;
    connect(w.Field, &TKaTimeEdit::Changed, [&] { ++changes; });
    w.Field->HoursCell()->setFocus(Qt::TabFocusReason);
    Type(keys);
    QCOMPARE(!w.Field->Focused(), leftField);
    QCOMPARE(w.After->text(), QString());
    if (!leftField) {
        w.After->setFocus(Qt::TabFocusReason);
    }
    QVERIFY(!w.Field->Focused());
    QCOMPARE(w.Field->Text(), text);
    QCOMPARE(w.Field->Value(), seconds / 86400.0);
    QVERIFY(changes > 0);
    QCOMPARE(FBeeps, beeps);
}

void TEntryFieldsTest::TimeSetValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::addRow("noon") << 0.5 << "12:00:00";
    // 12:59:30 has no exact binary day fraction: truncation would show 12:59:29.
    QTest::addRow("12:59:30") << (12 * 3600 + 59 * 60 + 30) / 86400.0 << "12:59:30";
    QTest::addRow("date-time keeps its time") << 45000.25 << "06:00:00";
    QTest::addRow("a millisecond before midnight rounds up") << 1 - 0.4 / 86400000 << "00:00:00";
    QTest::addRow("half a second down") << (3600 + 0.4) / 86400.0 << "01:00:00";
    QTest::addRow("before 1899-12-30") << -0.25 << "18:00:00";
    QTest::addRow("not a number") << qQNaN() << "00:00:00";
}

void TEntryFieldsTest::TimeSetValue()
{
    QFETCH(double, value);
    QFETCH(QString, text);

    TKaTimeEdit field;
    field.SetValue(value);
    QCOMPARE(field.Text(), text);
}

void TEntryFieldsTest::TimeShowSecondsEnableAndFocus()
{
    TFieldWindow<TKaTimeEdit> w;
    QVERIFY(w.Ready);
    QVERIFY(w.Field->SecondsCell()->isVisible());
    w.Field->SetShowSeconds(false);
    QVERIFY(!w.Field->SecondsCell()->isVisible());
    QVERIFY(w.Field->HoursCell()->isVisible());
    w.Field->setEnabled(false);
    QVERIFY(!w.Field->HoursCell()->isEnabled());
    QVERIFY(!w.Field->MinutesCell()->isEnabled());
    w.Field->setEnabled(true);
    w.Field->MinutesCell()->setFocus();
    QVERIFY(w.Field->Focused());
    w.After->setFocus();
    QVERIFY(!w.Field->Focused());
}

// ---------------------------------------------------------------------------------------------
// Position fields

void TEntryFieldsTest::PositionSet_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("degreeDigits");
    QTest::addColumn<int>("fracDigits");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("readBack");

    const int ns = int(TPositionType::ptNS);
    const int we = int(TPositionType::ptWE);
    const int angle = int(TPositionType::ptAngle);
    // Read-backs are the shown degrees and minutes recomputed by hand: d + m/60.
    QTest::addRow("latitude south, tenths")
        << ns << 2 << 1 << -23.3716 << "23°22.3'S" << -(23 + 22.3 / 60);
    QTest::addRow("59.99 minutes carry") << ns << 2 << 1 << 45.99999 << "46°00.0'N" << 46.0;
    QTest::addRow("zero is north") << ns << 2 << 1 << 0.0 << "00°00.0'N" << 0.0;
    QTest::addRow("longitude east") << we << 3 << 1 << -122.5 << "122°30.0'E" << -122.5;
    QTest::addRow("longitude west, hundredths") << we << 3 << 2 << 43.2 << "043°12.00'W" << 43.2;
    QTest::addRow("hundredths south of equator")
        << ns << 2 << 2 << -0.0001 << "00°00.01'S" << -(0.01 / 60);
    QTest::addRow("angle") << angle << 3 << 1 << 359.99 << "359°59.4'" << 359 + 59.4 / 60;
    QTest::addRow("latitude 91 held at 90") << ns << 2 << 1 << 91.0 << "90°00.0'N" << 90.0;
    QTest::addRow("longitude -200 held at 180") << we << 3 << 1 << -200.0 << "180°00.0'E" << -180.0;
    QTest::addRow("not a number") << ns << 2 << 1 << qQNaN() << "00°00.0'N" << 0.0;
    // An angle field has no degrees limit; degrees no cell can hold show as 0, like the cell's
    // own SetValue (a stored setting may hold any number).
    QTest::addRow("angle too large for any cell") << angle << 3 << 1 << 1e300 << "000°00.0'" << 0.0;
}

void TEntryFieldsTest::PositionSet()
{
    QFETCH(int, type);
    QFETCH(int, degreeDigits);
    QFETCH(int, fracDigits);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(double, readBack);

    TKaPositionEdit field;
    field.SetPositionType(static_cast<TPositionType>(type));
    if (type != int(TPositionType::ptAngle)) {
        field.SetDegreeDigits(degreeDigits);
    }
    field.SetMinFracDigits(fracDigits);
    field.SetPosition(value);
    QCOMPARE(field.Text(), text);
    QVERIFY2(qAbs(field.Position() - readBack) < 1e-9,
        qPrintable(QString::number(field.Position(), 'g', 17)));
}

void TEntryFieldsTest::PositionTyping_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("degreeDigits");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("beeps");

    const int ns = int(TPositionType::ptNS);
    const int we = int(TPositionType::ptWE);
    const int angle = int(TPositionType::ptAngle);
    // The field starts at 0°00.0' and is entered by Tab.
    QTest::addRow("latitude typed through") << ns << 2 << "45302s"
                                            << "45°30.2'S" << -(45 + 30.2 / 60) << 0;
    QTest::addRow("point after degrees") << angle << 3 << "12.5\t\t"
                                         << "012°05.0'" << 12 + 5 / 60.0 << 0;
    QTest::addRow("points after full cells") << angle << 2 << "41.04.9\t"
                                             << "41°04.9'" << 41 + 4.9 / 60 << 0;
    QTest::addRow("latitude 91 refused") << ns << 2 << "91300n"
                                         << "00°00.0'N" << 0.0 << 1;
    QTest::addRow("latitude 90 keeps no minutes") << ns << 2 << "90300n"
                                                  << "90°00.0'N" << 90.0 << 1;
    QTest::addRow("longitude letter refused") << we << 3 << "123456ne"
                                              << "123°45.6'E" << -(123 + 45.6 / 60) << 1;
    QTest::addRow("latitude W refused") << ns << 2 << "10000w\t"
                                        << "10°00.0'N" << 10.0 << 1;
    QTest::addRow("longitude 181 refused") << we << 3 << "181000w"
                                           << "000°00.0'W" << 0.0 << 1;
    QTest::addRow("minutes 60 refused") << ns << 2 << "12605n"
                                        << "12°00.0'N" << 12.0 << 1;
    // The fraction is the last cell of an angle: what is typed past it stays out of the next
    // field.
    QTest::addRow("angle digits past the fraction") << angle << 2 << "4104957"
                                                    << "41°04.9'" << 41 + 4.9 / 60 << 1;
}

void TEntryFieldsTest::PositionTyping()
{
    QFETCH(int, type);
    QFETCH(int, degreeDigits);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(double, position);
    QFETCH(int, beeps);

    TFieldWindow<TKaPositionEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetPositionType(static_cast<TPositionType>(type));
    if (type != int(TPositionType::ptAngle) || degreeDigits == 2) {
        w.Field->SetDegreeDigits(degreeDigits);
    }
    w.Field->DegreesCell()->setFocus(Qt::TabFocusReason);
    Type(keys);
    QCOMPARE(w.After->text(), QString());
    if (w.Field->Focused()) {
        w.After->setFocus(Qt::TabFocusReason);
    }
    QCOMPARE(w.Field->Text(), text);
    QVERIFY2(qAbs(w.Field->Position() - position) < 1e-9,
        qPrintable(QString::number(w.Field->Position(), 'g', 17)));
    QCOMPARE(FBeeps, beeps);
}

void TEntryFieldsTest::PositionHemisphereCellKeepsItsLetter()
{
    TFieldWindow<TKaPositionEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetPositionType(TPositionType::ptNS);
    w.Field->SetDegreeDigits(2);
    w.Field->SetPosition(-10);
    QLineEdit *hemisphere = w.Field->HemisphereCell();
    hemisphere->setFocus(Qt::TabFocusReason);
    QTest::keyClick(hemisphere, Qt::Key_Backspace);
    QTest::keyClick(hemisphere, Qt::Key_Delete);
    QApplication::clipboard()->setText(QStringLiteral("N"));
    QTest::keySequence(hemisphere, QKeySequence::Paste);
    QCOMPARE(hemisphere->text(), QStringLiteral("S"));
    QCOMPARE(w.Field->Position(), -10.0);
}

// The celestial window's order of fields: a latitude, the sextant altitude and the index
// correction after them, each holding a value, entered with the mouse.
struct TSightFields
{
    TSightFields()
    {
        Lat = new TKaPositionEdit(&Window);
        Lat->SetPositionType(TPositionType::ptNS);
        Lat->SetDegreeDigits(2);
        Lat->SetPosition(45);
        Hs = new TKaPositionEdit(&Window);
        Hs->SetDegreeDigits(2);
        Hs->SetPosition(45);
        IE = new TNumEdit(&Window);
        IE->SetValue(-2);
        auto *layout = new QFormLayout(&Window);
        layout->addRow(QStringLiteral("Lat:"), Lat);
        layout->addRow(QStringLiteral("Hs:"), Hs);
        layout->addRow(QStringLiteral("Index Correction:"), IE);
        IE->setFocus();
        Window.show();
        QApplication::setActiveWindow(&Window);
        Ready = QTest::qWaitForWindowActive(&Window);
    }

    QWidget Window;
    TKaPositionEdit *Lat;
    TKaPositionEdit *Hs;
    TNumEdit *IE;
    bool Ready = false;
};

enum class TClickAt
{
    Left, // before the first digit
    Middle,
    Right, // after the last digit
};

void TEntryFieldsTest::ClickAgainOverwritesAndNeverSpills_data()
{
    QTest::addColumn<bool>("latitude"); // else the sextant altitude
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("clickAt");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");

    const int left = int(TClickAt::Left);
    const int middle = int(TClickAt::Middle);
    const int right = int(TClickAt::Right);
    // The caret placed before "45": the two digits replace it.
    QTest::addRow("latitude 46 over 45") << true << "Degrees" << left << "46"
                                         << "46°00.0'N" << 0;
    // Between the digits: the 4 takes the place of the 5 and the 6 goes on into the minutes.
    QTest::addRow("latitude from the middle") << true << "Degrees" << middle << "46"
                                              << "44°06.0'N" << 0;
    QTest::addRow("latitude one digit corrected") << true << "Degrees" << middle << "6"
                                                  << "46°00.0'N" << 0;
    QTest::addRow("latitude after the digits") << true << "Degrees" << right << "46"
                                               << "45°46.0'N" << 0;
    QTest::addRow("altitude 46 over 45") << false << "Degrees" << left << "46"
                                         << "46°00.0'" << 0;
    // The tenths are the altitude's last cell: more digits beep and stay out of the index
    // correction.
    QTest::addRow("altitude past the tenths") << false << "Fraction" << right << "57"
                                              << "45°00.0'" << 1;
    QTest::addRow("latitude past the tenths") << true << "Fraction" << right << "57"
                                              << "45°00.0'N" << 1;
}

void TEntryFieldsTest::ClickAgainOverwritesAndNeverSpills()
{
    QFETCH(bool, latitude);
    QFETCH(QString, cell);
    QFETCH(int, clickAt);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);

    TSightFields w;
    QVERIFY(w.Ready);
    TKaPositionEdit *field = latitude ? w.Lat : w.Hs;
    auto *target = field->findChild<TKaIntEdit *>(cell);
    QVERIFY(target);
    const int y = target->height() / 2;
    const int x = clickAt == int(TClickAt::Left) ? 1
        : clickAt == int(TClickAt::Right)        ? target->width() - 1
                                                 : target->width() / 2;
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(x, y));
    QCOMPARE(target->selectedText(), target->text());
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(x, y));
    QVERIFY(!target->hasSelectedText());
    Type(keys);
    QVERIFY(field->Focused());
    w.IE->setFocus(Qt::TabFocusReason);
    QCOMPARE(field->Text(), text);
    QCOMPARE(w.IE->text(), QStringLiteral("-2"));
    QCOMPARE((latitude ? w.Hs : w.Lat)->Text(),
        latitude ? QStringLiteral("45°00.0'") : QStringLiteral("45°00.0'N"));
    QCOMPARE(FBeeps, beeps);
}

void TEntryFieldsTest::OutOfRangeIsShownAndRefused_data()
{
    QTest::addColumn<bool>("time"); // else a latitude
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("kept");

    QTest::addRow("latitude 95") << false << "Degrees"
                                 << "95"
                                 << "Degrees: 0 to 90"
                                 << "45°12.0'N";
    QTest::addRow("minutes 75") << false << "Minutes"
                                << "75"
                                << "Minutes: 0 to 59"
                                << "45°12.0'N";
    QTest::addRow("hour 25") << true << "Hours"
                             << "25"
                             << "Hours: 0 to 23"
                             << "10:20:30";
    QTest::addRow("seconds 99") << true << "Seconds"
                                << "99"
                                << "Seconds: 0 to 59"
                                << "10:20:30";
}

void TEntryFieldsTest::OutOfRangeIsShownAndRefused()
{
    QFETCH(bool, time);
    QFETCH(QString, cell);
    QFETCH(QString, keys);
    QFETCH(QString, range);
    QFETCH(QString, kept);

    std::unique_ptr<TFieldWindow<TKaTimeEdit>> timeWindow;
    std::unique_ptr<TFieldWindow<TKaPositionEdit>> latWindow;
    QWidget *field = nullptr;
    QLineEdit *after = nullptr;
    std::function<QString()> textOf;
    if (time) {
        timeWindow = std::make_unique<TFieldWindow<TKaTimeEdit>>();
        QVERIFY(timeWindow->Ready);
        timeWindow->Field->SetValue((10 * 3600 + 20 * 60 + 30) / 86400.0);
        field = timeWindow->Field;
        after = timeWindow->After;
        textOf = [f = timeWindow->Field] { return f->Text(); };
    } else {
        latWindow = std::make_unique<TFieldWindow<TKaPositionEdit>>();
        QVERIFY(latWindow->Ready);
        latWindow->Field->SetPositionType(TPositionType::ptNS);
        latWindow->Field->SetDegreeDigits(2);
        latWindow->Field->SetPosition(45.2);
        field = latWindow->Field;
        after = latWindow->After;
        textOf = [f = latWindow->Field] { return f->Text(); };
    }
    auto *target = field->findChild<TKaIntEdit *>(cell);
    QVERIFY(target);
    target->setFocus(Qt::TabFocusReason);
    const QColor normal = target->palette().color(QPalette::Text);
    Type(keys);
    // Shown as typed, in red, with the range.
    QCOMPARE(target->text(), keys);
    QVERIFY(target->Refused());
    QVERIFY(target->palette().color(QPalette::Text) != normal);
    QCOMPARE(target->toolTip(), range);
    QCOMPARE(FBeeps, 1);
    // Left: the value it had at focus entry comes back, still marked, without a second beep.
    after->setFocus(Qt::TabFocusReason);
    QCOMPARE(textOf(), kept);
    QVERIFY(target->Refused());
    QVERIFY(target->toolTip().startsWith(range));
    QVERIFY(target->toolTip().contains(keys + QStringLiteral(" was refused")));
    QCOMPARE(FBeeps, 1);
    // Entering it again clears the mark.
    target->setFocus(Qt::TabFocusReason);
    QVERIFY(!target->Refused());
    QCOMPARE(target->palette().color(QPalette::Text), normal);
    QVERIFY(target->toolTip().isEmpty());
}

void TEntryFieldsTest::PositionTypeAndDigits()
{
    TKaPositionEdit field;
    QCOMPARE(field.DegreeDigits(), 3);
    QCOMPARE(field.DegreesCell()->MaxValue(), 359);
    QCOMPARE(field.MinFracDigits(), 1);
    QVERIFY(field.HemisphereCell()->isHidden());
    field.SetPositionType(TPositionType::ptNS);
    QCOMPARE(field.HemisphereCell()->text(), QStringLiteral("N"));
    QVERIFY(!field.HemisphereCell()->isHidden());
    field.SetPositionType(TPositionType::ptWE);
    QCOMPARE(field.HemisphereCell()->text(), QStringLiteral("W"));
    field.SetDegreeDigits(3);
    QCOMPARE(field.DegreesCell()->MaxValue(), 180);
    field.SetDegreeDigits(2);
    QCOMPARE(field.DegreesCell()->MaxValue(), 90);

    // Changing the fraction digits keeps the position shown.
    field.SetMinFracDigits(2);
    field.SetPosition(12.345);
    QCOMPARE(field.Text(), QStringLiteral("12°20.70'W"));
    field.SetMinFracDigits(1);
    QCOMPARE(field.Text(), QStringLiteral("12°20.7'W"));

    const auto messageOf = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const EVrnError &e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    };
    QCOMPARE(messageOf([&] { field.SetDegreeDigits(4); }), QStringLiteral("Invalid DegreeDigits"));
    QCOMPARE(messageOf([&] { field.SetDegreeDigits(1); }), QStringLiteral("Invalid DegreeDigits"));
    QCOMPARE(
        messageOf([&] { field.SetMinFracDigits(0); }), QStringLiteral("Invalid MinFracDigits"));
    QCOMPARE(
        messageOf([&] { field.SetMinFracDigits(3); }), QStringLiteral("Invalid MinFracDigits"));
    QCOMPARE(field.Text(), QStringLiteral("12°20.7'W"));
}

// ---------------------------------------------------------------------------------------------
// Number fields

void TEntryFieldsTest::NumTyping_data()
{
    QTest::addColumn<bool>("allowFloat");
    QTest::addColumn<bool>("allowNegative");
    QTest::addColumn<bool>("beepOnError");
    QTest::addColumn<QString>("keys"); // typed over the selected text, then Tab
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");

    QTest::addRow("negative float") << true << true << true << "-12.5"
                                    << "-12.5" << 0;
    QTest::addRow("second point refused") << true << true << true << "1.2.3"
                                          << "1.23" << 1;
    QTest::addRow("minus only at start") << true << true << true << "5-"
                                         << "5" << 1;
    QTest::addRow("letters refused") << true << true << true << "4x2"
                                     << "42" << 1;
    QTest::addRow("no beep when told") << true << true << false << "4x2"
                                       << "42" << 0;
    QTest::addRow("no point when not float") << false << true << true << "12.7"
                                             << "127" << 1;
    QTest::addRow("no minus when not negative") << true << false << true << "-5"
                                                << "5" << 1;
    QTest::addRow("exponent refused") << true << true << true << "1e3"
                                      << "13" << 1;
    QTest::addRow("empty reads the focus value") << true << true << true << "\b"
                                                 << "42" << 0;
    QTest::addRow("minus alone reads the focus value") << true << true << true << "-"
                                                       << "42" << 0;
    QTest::addRow("point alone reads the focus value") << true << true << true << "."
                                                       << "42" << 0;
}

void TEntryFieldsTest::NumTyping()
{
    QFETCH(bool, allowFloat);
    QFETCH(bool, allowNegative);
    QFETCH(bool, beepOnError);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);

    TFieldWindow<TNumEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetValue(42);
    w.Field->SetAllowFloat(allowFloat);
    w.Field->SetAllowNegative(allowNegative);
    w.Field->SetBeepOnError(beepOnError);
    w.Field->setFocus(Qt::TabFocusReason);
    QVERIFY(w.Field->hasSelectedText());
    Type(keys + QLatin1Char('\t'));
    QVERIFY(w.After->hasFocus());
    QCOMPARE(w.Field->text(), text);
    QCOMPARE(FBeeps, beeps);
}

void TEntryFieldsTest::NumValidationRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowFloat");
    QTest::addColumn<bool>("allowNegative");
    QTest::addColumn<bool>("roundInt");
    QTest::addColumn<double>("minValue");
    QTest::addColumn<double>("maxValue");
    QTest::addColumn<QString>("validated");

    QTest::addRow("-5 not negative") << "-5" << true << false << true << 0.0 << 0.0 << "5";
    QTest::addRow("150 clamped to 100") << "150" << true << true << true << 0.0 << 100.0 << "100";
    QTest::addRow("-3 clamped to 0") << "-3" << true << true << true << 0.0 << 100.0 << "0";
    QTest::addRow("negative range") << "-30" << true << true << true << -12.0 << -1.0 << "-12";
    QTest::addRow("12.7 rounds to 13") << "12.7" << false << true << true << 0.0 << 0.0 << "13";
    QTest::addRow("12.7 truncates to 12") << "12.7" << false << true << false << 0.0 << 0.0 << "12";
    QTest::addRow("sign before range") << "-150" << true << false << true << 0.0 << 100.0 << "100";
    QTest::addRow("shortest form") << "007.50" << true << true << true << 0.0 << 0.0 << "7.5";
    QTest::addRow("minus zero") << "-0" << true << true << true << 0.0 << 0.0 << "0";
    QTest::addRow("large stays plain")
        << "123456789" << true << true << true << 0.0 << 0.0 << "123456789";
}

void TEntryFieldsTest::NumValidationRules()
{
    QFETCH(QString, text);
    QFETCH(bool, allowFloat);
    QFETCH(bool, allowNegative);
    QFETCH(bool, roundInt);
    QFETCH(double, minValue);
    QFETCH(double, maxValue);
    QFETCH(QString, validated);

    TFieldWindow<TNumEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetRoundInt(roundInt);
    w.Field->SetRange(minValue, maxValue);
    w.Field->SetAllowFloat(allowFloat);
    w.Field->SetAllowNegative(allowNegative);
    w.Field->setFocus(Qt::TabFocusReason);
    w.Field->setText(text);
    w.After->setFocus(Qt::TabFocusReason);
    QCOMPARE(w.Field->text(), validated);
}

void TEntryFieldsTest::NumValidateHandler()
{
    TFieldWindow<TNumEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetValue(10);
    QList<double> olds;
    w.Field->OnValidate = [&](TNumEdit &sender, double oldValue, double &newValue) {
        QCOMPARE(&sender, w.Field);
        olds << oldValue;
        newValue = oldValue + newValue;
    };
    w.Field->setFocus(Qt::TabFocusReason);
    Type(QStringLiteral("25\t"));
    QCOMPARE(olds, QList<double> {10});
    QCOMPARE(w.Field->text(), QStringLiteral("35"));

    // A handler that fails shows its message; the text stays and the field stays usable.
    w.Field->OnValidate = [](TNumEdit &, double, double &) {
        throw EVrnError("Speed out of range");
    };
    w.Field->setFocus(Qt::TabFocusReason);
    Type(QStringLiteral("77\t"));
    QCOMPARE(w.Field->text(), QStringLiteral("77"));
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("Speed out of range")});
}

void TEntryFieldsTest::NumPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");

    // Pasted over the whole text of a field holding 42 with the range 0..100.
    QTest::addRow("number") << "12.5"
                            << "12.5";
    QTest::addRow("blanks around") << "  7 "
                                   << "7";
    QTest::addRow("not a number") << "abc"
                                  << "42";
    QTest::addRow("trailing junk") << "12abc"
                                   << "42";
    QTest::addRow("comma decimal") << "12,5"
                                   << "42";
    QTest::addRow("nan") << "nan"
                         << "42";
    QTest::addRow("overflow") << "1e400"
                              << "42";
    QTest::addRow("empty") << ""
                           << "42";
    QTest::addRow("validated after paste") << "500"
                                           << "100";
}

void TEntryFieldsTest::NumPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, text);

    TFieldWindow<TNumEdit> w;
    QVERIFY(w.Ready);
    w.Field->SetRange(0, 100);
    w.Field->SetValue(42);
    w.Field->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText(clipboard);
    QTest::keySequence(w.Field, QKeySequence::Paste);
    QCOMPARE(w.Field->text(), text);
    if (text != QLatin1String("42")) {
        QCOMPARE(w.Field->cursorPosition(), text.size());
    }
}

void TEntryFieldsTest::MenuPasteIsCheckedToo()
{
    TFieldWindow<TNumEdit> w;
    QVERIFY(w.Ready);
    auto *cell = new TKaIntEdit(&w.Window);
    cell->show();
    w.Field->SetValue(42);
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    for (QLineEdit *edit : std::initializer_list<QLineEdit *> {w.Field, cell}) {
        const QString before = edit->text();
        edit->setFocus(Qt::TabFocusReason);
        QContextMenuEvent event(
            QContextMenuEvent::Mouse, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(edit, &event);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
        QVERIFY(paste);
        paste->trigger();
        menu->close();
        QCOMPARE(edit->text(), before);
    }
    // The same menu pastes a number.
    QApplication::clipboard()->setText(QStringLiteral("17"));
    w.Field->setFocus(Qt::TabFocusReason);
    QContextMenuEvent event(
        QContextMenuEvent::Mouse, QPoint(2, 2), w.Field->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w.Field, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    menu->findChild<QAction *>(QStringLiteral("edit-paste"))->trigger();
    menu->close();
    QCOMPARE(w.Field->text(), QStringLiteral("17"));
}

void TEntryFieldsTest::NumIntValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("roundInt");
    QTest::addColumn<int>("intValue");

    QTest::addRow("round up") << "2.5" << true << 3;
    QTest::addRow("round negative") << "-2.5" << true << -3;
    QTest::addRow("truncate") << "2.9" << false << 2;
    QTest::addRow("truncate negative") << "-2.9" << false << -2;
    QTest::addRow("saturate high") << "1e12" << true << std::numeric_limits<int>::max();
    QTest::addRow("saturate low") << "-1e12" << true << std::numeric_limits<int>::min();
}

void TEntryFieldsTest::NumIntValue()
{
    QFETCH(QString, text);
    QFETCH(bool, roundInt);
    QFETCH(int, intValue);

    TNumEdit field;
    field.SetRoundInt(roundInt);
    field.setText(text);
    QCOMPARE(field.IntValue(), intValue);
}

void TEntryFieldsTest::NumRangeSetters()
{
    TNumEdit field;
    QCOMPARE(field.text(), QStringLiteral("0"));
    // A minimum above the maximum (still 0) is refused; the maximum first, then it is taken.
    field.SetMinValue(10);
    QCOMPARE(field.MinValue(), 0.0);
    field.SetMaxValue(100);
    field.SetMinValue(10);
    QCOMPARE(field.MinValue(), 10.0);
    QCOMPARE(field.text(), QStringLiteral("10"));
    field.SetMaxValue(5);
    QCOMPARE(field.MaxValue(), 100.0);
    field.SetRange(20, 10);
    QCOMPARE(field.MinValue(), 10.0);
    field.SetRange(-5, 5);
    QCOMPARE(field.MaxValue(), 5.0);
    QCOMPARE(field.text(), QStringLiteral("5"));
}

// ---------------------------------------------------------------------------------------------

void TEntryFieldsTest::Screenshot()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Entry fields"));
    auto *layout = new QFormLayout(&window);
    auto *time = new TKaTimeEdit(&window);
    time->SetValue((23 * 3600 + 57 * 60 + 30) / 86400.0);
    auto *shortTime = new TKaTimeEdit(&window);
    shortTime->SetShowSeconds(false);
    shortTime->SetValue(0.5);
    auto *lat = new TKaPositionEdit(&window);
    lat->SetPositionType(TPositionType::ptNS);
    lat->SetDegreeDigits(2);
    lat->SetPosition(-23.3716);
    auto *lon = new TKaPositionEdit(&window);
    lon->SetPositionType(TPositionType::ptWE);
    lon->SetDegreeDigits(3);
    lon->SetMinFracDigits(2);
    lon->SetPosition(-122.5);
    auto *hs = new TKaPositionEdit(&window);
    hs->SetPosition(41 + 4.9 / 60);
    auto *cell = new TKaIntEdit(&window);
    cell->SetValue(7);
    auto *num = new TNumEdit(&window);
    num->SetValue(-12.5);
    layout->addRow(QStringLiteral("TKaTimeEdit (GMT):"), time);
    layout->addRow(QStringLiteral("TKaTimeEdit, no seconds:"), shortTime);
    layout->addRow(QStringLiteral("TKaPositionEdit (Lat):"), lat);
    layout->addRow(QStringLiteral("TKaPositionEdit (Lon):"), lon);
    layout->addRow(QStringLiteral("TKaPositionEdit (Hs):"), hs);
    layout->addRow(QStringLiteral("TKaIntEdit:"), cell);
    layout->addRow(QStringLiteral("TNumEdit:"), num);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    num->setFocus();
    // Every cell is wide enough for its text in the default font, inside the line edit's own
    // 2-pixel margins: nothing is cut off.
    for (QLineEdit *edit : window.findChildren<QLineEdit *>()) {
        if (!edit->isVisible()) {
            continue;
        }
        const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
        QVERIFY2(edit->contentsRect().width() - 4 >= needed,
            qPrintable(QStringLiteral("%1 '%2'").arg(edit->objectName(), edit->text())));
    }
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QVERIFY(window.grab().save(folder + QStringLiteral("/entry-fields.png")));
    }
}

} // namespace vrn

QTEST_MAIN(vrn::TEntryFieldsTest)
#include "EntryFieldsTest.moc"
