#include "celestial/fEdAltitudeErrorPair.h"
#include "common/NumEdit.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vrn {
namespace {

// Runs `act` on the dialog a modal exec() shows; a dialog left open is closed after a while, so
// that a failing test cannot hang.
void WhenModalShown(const std::function<void(TFormEditAltitudeErrorPair &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog =
            qobject_cast<TFormEditAltitudeErrorPair *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        act(*dialog);
        QTimer::singleShot(2000, dialog, [dialog] { dialog->reject(); });
    });
}

// Replaces the text of a field by typing, as a user does.
void TypeInto(TNumEdit *field, const QString &keys)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, keys);
}

} // namespace

class TCalibrationPointDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void ControlsAsTheTable_data();
    void ControlsAsTheTable();
    void OkWritesTheTypedPair_data();
    void OkWritesTheTypedPair();
    void CancelLeavesThePair();
    void AltitudeBeyondTheArcIsRefused_data();
    void AltitudeBeyondTheArcIsRefused();
};

void TCalibrationPointDialogTest::ControlsAsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    // Captions and hints of the calibration point dialog.
    QTest::addRow("title") << "LTitle"
                           << "Sextant calibration point" << QString();
    QTest::addRow("altitude label") << "LAltitude"
                                    << "Altitude:" << QString();
    QTest::addRow("altitude") << "EdAltitude" << QString() << "Altitude in degrees";
    QTest::addRow("altitude unit") << "LAltitudeUnit"
                                   << "°" << QString();
    QTest::addRow("error label") << "LError"
                                 << "Error:" << QString();
    QTest::addRow("error") << "EdError" << QString() << "Sextant error in minutes";
    QTest::addRow("error unit") << "LErrorUnit"
                                << "'" << QString();
    QTest::addRow("ok") << "BOK"
                        << "OK" << QString();
    QTest::addRow("cancel") << "BCancel"
                            << "Cancel" << QString();
}

void TCalibrationPointDialogTest::ControlsAsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);

    TFormEditAltitudeErrorPair dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit point"));
    QWidget *control = dialog.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), text);
    QCOMPARE(control->toolTip(), hint);
}

void TCalibrationPointDialogTest::OkWritesTheTypedPair_data()
{
    QTest::addColumn<QString>("altitudeKeys");
    QTest::addColumn<QString>("errorKeys");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("error");

    // The pair {(20°, +0.5')} of the calibration table edge cases, and the keys a field refuses.
    QTest::addRow("typed") << "20"
                           << "0.5" << 20.0 << 0.5;
    QTest::addRow("negative error") << "60"
                                    << "-0.5" << 60.0 << -0.5;
    QTest::addRow("zero altitude") << "0"
                                   << "1.25" << 0.0 << 1.25;
    QTest::addRow("the largest sextant angle") << "180"
                                               << "-2" << 180.0 << -2.0;
    QTest::addRow("letters refused") << "4x5"
                                     << "0,7" << 45.0 << 7.0;
}

void TCalibrationPointDialogTest::OkWritesTheTypedPair()
{
    QFETCH(QString, altitudeKeys);
    QFETCH(QString, errorKeys);
    QFETCH(double, angle);
    QFETCH(double, error);

    TSextantCalibrationPair pair {0, 0};
    bool startedAtPair = false;
    WhenModalShown([&](TFormEditAltitudeErrorPair &dialog) {
        auto *altitude = dialog.findChild<TNumEdit *>(QStringLiteral("EdAltitude"));
        auto *errorField = dialog.findChild<TNumEdit *>(QStringLiteral("EdError"));
        startedAtPair =
            altitude->text() == QStringLiteral("0") && errorField->text() == QStringLiteral("0");
        TypeInto(altitude, altitudeKeys);
        TypeInto(errorField, errorKeys);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("BOK")), Qt::LeftButton);
    });
    TFormEditAltitudeErrorPair dialog;
    QVERIFY(dialog.Edit(pair));
    QVERIFY(startedAtPair);
    QCOMPARE(pair.Angle, angle);
    QCOMPARE(pair.Error, error);
}

void TCalibrationPointDialogTest::CancelLeavesThePair()
{
    TSextantCalibrationPair pair {30, -0.25};
    bool shown = false;
    WhenModalShown([&](TFormEditAltitudeErrorPair &dialog) {
        auto *altitude = dialog.findChild<TNumEdit *>(QStringLiteral("EdAltitude"));
        shown = altitude->text() == QStringLiteral("30")
            && dialog.findChild<TNumEdit *>(QStringLiteral("EdError"))->text()
                == QStringLiteral("-0.25");
        TypeInto(altitude, QStringLiteral("99"));
        QTest::mouseClick(
            dialog.findChild<QPushButton *>(QStringLiteral("BCancel")), Qt::LeftButton);
    });
    TFormEditAltitudeErrorPair dialog;
    QVERIFY(!dialog.Edit(pair));
    QVERIFY(shown);
    QCOMPARE(pair.Angle, 30.0);
    QCOMPARE(pair.Error, -0.25);
}

void TCalibrationPointDialogTest::AltitudeBeyondTheArcIsRefused_data()
{
    QTest::addColumn<QString>("altitudeKeys");
    QTest::addRow("negative") << "-5";
    QTest::addRow("past the arc") << "181";
    QTest::addRow("far past it") << "400";
}

void TCalibrationPointDialogTest::AltitudeBeyondTheArcIsRefused()
{
    QFETCH(QString, altitudeKeys);
    TTestMessageBoxes boxes;
    TSextantCalibrationPair pair {30, -0.25};
    bool stayedOpen = false;
    bool focused = false;
    WhenModalShown([&](TFormEditAltitudeErrorPair &dialog) {
        QApplication::setActiveWindow(&dialog);
        if (!QTest::qWaitForWindowActive(&dialog))
            return;
        auto *altitude = dialog.findChild<TNumEdit *>(QStringLiteral("EdAltitude"));
        TypeInto(altitude, altitudeKeys);
        // Enter presses OK while the field still has the focus.
        QTest::keyClick(altitude, Qt::Key_Return);
        stayedOpen = dialog.isVisible();
        focused = altitude->hasFocus();
        QTest::mouseClick(
            dialog.findChild<QPushButton *>(QStringLiteral("BCancel")), Qt::LeftButton);
    });
    TFormEditAltitudeErrorPair dialog;
    QVERIFY(!dialog.Edit(pair));
    QVERIFY(stayedOpen);
    QVERIFY(focused);
    QCOMPARE(boxes.Texts(), QStringList {QStringLiteral("Altitude out of range: enter 0 to 180")});
    QCOMPARE(pair.Angle, 30.0);
}

} // namespace vrn

QTEST_MAIN(vrn::TCalibrationPointDialogTest)
#include "CalibrationPointDialogTest.moc"
