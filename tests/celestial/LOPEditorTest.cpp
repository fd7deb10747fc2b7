#include "celestial/LOPEdit.h"
#include "celestial/fedlop.h"
#include "engine/DateTime.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(vrn::TLOPRecord)

namespace vrn {
namespace {

// The reduction of the sight reduction edge case "Dec 20° N, GHA 30°, AP 40° N 10° W, Ho 63.7°":
// LHA 20, Hc 63.6734° (63°40.4'), intercept +1.6 NM, azimuth 226.4°, taken at 12:59:30 GMT on
// 30/03/2024 by a watch 30 s fast in zone +3.
TLOPRecord SunLOP()
{
    TLOPRecord lop;
    lop.ObjectName = "Sun";
    lop.GMTDay = 30;
    lop.GMTMonth = 3;
    lop.GMTYear = 2024;
    lop.GMTHours = 12 + 59 / 60.0 + 30 / 3600.0;
    lop.LocalDateTime = EncodeDate(2024, 3, 30) + (9 + 59 / 60.0 + 30 / 3600.0) / 24;
    lop.TimeZone = 3;
    lop.WatchError = 30;
    lop.IE = 1.2;
    lop.DipMin = -2.7;
    lop.HInst = 63.5;
    lop.APLat = 40;
    lop.APLon = 10;
    lop.TotalCorr = 12.0;
    lop.Decl = 20;
    lop.GHA = 30;
    lop.LHA = 20;
    lop.HCalc = 63.6734;
    lop.SDCorr = 16.1;
    lop.Intercept = 1.63;
    lop.Azimuth = 226.43;
    return lop;
}

// A LOP south and east of Greenwich, at local midnight, with negative readings.
TLOPRecord SouthEastLOP()
{
    TLOPRecord lop = SunLOP();
    lop.ObjectName = "Acrux";
    lop.LocalDateTime = EncodeDate(2024, 3, 31);
    lop.TimeZone = -10.5;
    lop.WatchError = -12;
    lop.HInst = -0.5;
    lop.APLat = -33.5;
    lop.APLon = -151.25;
    lop.Decl = -63.1;
    lop.SDCorr = -16.1;
    return lop;
}

TLOPRecord TransportLOPAt60N()
{
    TLOPRecord lop = SunLOP();
    lop.APLat = 60;
    lop.APLon = 10;
    return lop;
}

// Runs `act` on the dialog a modal exec() shows; a dialog that `act` leaves open is closed
// without its checks after a while, so that a failing test cannot hang.
void WhenModalShown(const std::function<void(TDlgEditLOP &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<TDlgEditLOP *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        act(*dialog);
        QTimer::singleShot(2000, dialog, [dialog] {
            if (dialog->isVisible())
                dialog->QDialog::done(QDialog::Rejected);
        });
    });
}

} // namespace

class TLOPEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ControlsAsTheTable_data();
    void ControlsAsTheTable();
    void PagesShowTheLOP_data();
    void PagesShowTheLOP();
    void IndexCorrectionIsNamedAsInTheMainWindow();
    void OpensOnInputsWithTransportDefaults();
    void PagesReadClearly();

    void TransportOfTheTypedDistance_data();
    void TransportOfTheTypedDistance();
    void Transport12NmEastAt60N();
    void TransportAnsweredNoChangesNothing();
    void TransportFailureFocusesItsField_data();
    void TransportFailureFocusesItsField();
    void TransportKeepsTypedFields();

    void StoredFields_data();
    void StoredFields();
    void CancelWithLettersInAzStaysOpen();
    void OkWithBadInterceptStaysOpen();
    void TwentyCharacterNameTypedIsStoredAs15();
    void OkHandsBackTheEditedCopy();
    void CancelLeavesTheRecord();
    void EditReachesTheList();
    void NoLOPToEditOpensNothing_data();
    void NoLOPToEditOpensNothing();

private:
    template <typename T>
    T *Control(const char *name) const
    {
        return FDialog->findChild<T *>(QString::fromLatin1(name));
    }

    void ShowDialog(const TLOPRecord &lop);
    QStringList MemoLines() const;

    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TDlgEditLOP> FDialog;
};

void TLOPEditorTest::init()
{
    SetShortDateFormat(TDateFormat {TDateOrder::DayMonthYear, '/'});
    FBoxes = std::make_unique<TTestMessageBoxes>();
}

void TLOPEditorTest::cleanup()
{
    FDialog.reset();
    FBoxes.reset();
}

void TLOPEditorTest::ShowDialog(const TLOPRecord &lop)
{
    FDialog = std::make_unique<TDlgEditLOP>();
    FDialog->SetLOP(lop);
    FDialog->show();
    QApplication::setActiveWindow(FDialog.get());
    QVERIFY(QTest::qWaitForWindowActive(FDialog.get()));
}

QStringList TLOPEditorTest::MemoLines() const
{
    return Control<QPlainTextEdit>("MemoComments")->toPlainText().split(QLatin1Char('\n'));
}

void TLOPEditorTest::ControlsAsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    // Captions of the LOP editor's pages, fields and buttons.
    QTest::addRow("object") << "EdNomeAstro" << QString();
    QTest::addRow("intercept") << "EdDelta" << QString();
    QTest::addRow("azimuth") << "EdAz" << QString();
    QTest::addRow("distance") << "EdTransDist" << QString();
    QTest::addRow("direction") << "EdTransDir" << QString();
    QTest::addRow("transport") << "BTransportaReta"
                               << "Do transport";
    QTest::addRow("comments") << "MemoComments" << QString();
    QTest::addRow("comments note") << "LCommentsNote"
                                   << "Use this field to add a comment (max 255 chars)";
    QTest::addRow("intercept note") << "LDeltaNote"
                                    << "(NM + towards  - away)";
    QTest::addRow("ok") << "BOK"
                        << "OK";
    QTest::addRow("cancel") << "BCancel"
                            << "Cancel";
}

void TLOPEditorTest::ControlsAsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    ShowDialog(SunLOP());
    QCOMPARE(FDialog->windowTitle(), QStringLiteral("Line of Position"));
    auto *pages = Control<QTabWidget>("PageControl1");
    QVERIFY(pages);
    QCOMPARE(pages->count(), 4);
    QCOMPARE(pages->tabText(0), QStringLiteral("Inputs"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Results"));
    QCOMPARE(pages->tabText(2), QStringLiteral("LOP Transport"));
    QCOMPARE(pages->tabText(3), QStringLiteral("Comments"));

    QWidget *control = FDialog->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), text);
}

void TLOPEditorTest::PagesShowTheLOP_data()
{
    QTest::addColumn<TLOPRecord>("lop");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    // Expected texts written by hand from the LOP's values: degrees width 2, minutes "%4.1f"
    // with a leading zero, the letter of the sign (blank for positive with " -"); "%4.1f" for
    // zone and minutes of correction; FormatTimeHMS ends with a blank and the sign mark.
    const TLOPRecord sun = SunLOP();
    QTest::addRow("name") << sun << "EdNomeAstro"
                          << "Sun";
    QTest::addRow("GMT") << sun << "LGMT"
                         << "30/03/2024 12:59:30  ";
    QTest::addRow("local") << sun << "LLocal"
                           << "30/03/2024 09:59:30";
    QTest::addRow("zone") << sun << "LTimeZone"
                          << " 3.0";
    QTest::addRow("index error") << sun << "LIndexError"
                                 << " 1.2'";
    QTest::addRow("dip") << sun << "LDip"
                         << "-2.7'";
    QTest::addRow("watch error") << sun << "LWatchError"
                                 << "30 secs";
    QTest::addRow("Hi") << sun << "LHInst"
                        << "63°30.0' ";
    QTest::addRow("AP lat") << sun << "LAPLat"
                            << "40°00.0'N";
    QTest::addRow("AP lon") << sun << "LAPLon"
                            << "10°00.0'W";
    QTest::addRow("intercept") << sun << "EdDelta"
                               << " 1.6";
    QTest::addRow("azimuth") << sun << "EdAz"
                             << "226";
    QTest::addRow("GHA") << sun << "LGHA"
                         << "30°00.0' ";
    QTest::addRow("LHA") << sun << "LLHA"
                         << "20°00.0' ";
    QTest::addRow("Decl") << sun << "LDecl"
                          << "20°00.0'N";
    QTest::addRow("Hc 63.6734 = 63°40.4'") << sun << "LHCalc"
                                           << "63°40.4' ";
    QTest::addRow("semi-diameter") << sun << "LSDCorr"
                                   << "16.1'";
    QTest::addRow("total") << sun << "LTotalCorr"
                           << "12.0'";

    const TLOPRecord southEast = SouthEastLOP();
    QTest::addRow("local midnight has no time") << southEast << "LLocal"
                                                << "31/03/2024";
    QTest::addRow("east zone") << southEast << "LTimeZone"
                               << "-10.5";
    QTest::addRow("slow watch") << southEast << "LWatchError"
                                << "-12 secs";
    QTest::addRow("negative Hi") << southEast << "LHInst"
                                 << " 0°30.0'-";
    QTest::addRow("south") << southEast << "LAPLat"
                           << "33°30.0'S";
    QTest::addRow("east") << southEast << "LAPLon"
                          << "151°15.0'E";
    QTest::addRow("south decl") << southEast << "LDecl"
                                << "63°06.0'S";
    QTest::addRow("upper limb") << southEast << "LSDCorr"
                                << "-16.1'";

    TLOPRecord broken = SunLOP();
    broken.GMTMonth = 13;
    broken.LocalDateTime = 1e12;
    QTest::addRow("impossible GMT date") << broken << "LGMT"
                                         << "?";
    QTest::addRow("local out of range") << broken << "LLocal"
                                        << "?";
}

void TLOPEditorTest::IndexCorrectionIsNamedAsInTheMainWindow()
{
    // The record's IE is the value typed as "Index Correction:" in the celestial window, with the
    // same sign.
    ShowDialog(SunLOP());
    auto *value = Control<QLabel>("LIndexError");
    auto *form = qobject_cast<QFormLayout *>(value->parentWidget()->layout());
    QVERIFY(form);
    auto *caption = qobject_cast<QLabel *>(form->labelForField(value));
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("Index Correction:"));
}

void TLOPEditorTest::PagesShowTheLOP()
{
    QFETCH(TLOPRecord, lop);
    QFETCH(QString, name);
    QFETCH(QString, text);

    ShowDialog(lop);
    QWidget *control = FDialog->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QLineEdit *>(control)->text(), text);
}

void TLOPEditorTest::OpensOnInputsWithTransportDefaults()
{
    ShowDialog(SunLOP());
    QCOMPARE(Control<QTabWidget>("PageControl1")->currentIndex(), 0);
    QCOMPARE(Control<QLineEdit>("EdTransDist")->text(), QStringLiteral("0.0"));
    QCOMPARE(Control<QLineEdit>("EdTransDir")->text(), QStringLiteral("000"));
    QCOMPARE(Control<QPlainTextEdit>("MemoComments")->toPlainText(), QString());
}

// Every text of every page fits its label at the default font; with VRN_SCREENSHOT_DIR set the
// pages are also saved as pictures for a look.
void TLOPEditorTest::PagesReadClearly()
{
    TLOPRecord lop = SouthEastLOP();
    lop.Comments = "Taken through a gap in the clouds\r\nHorizon hazy";
    ShowDialog(lop);
    auto *pages = Control<QTabWidget>("PageControl1");
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        for (QLabel *label : pages->widget(i)->findChildren<QLabel *>()) {
            if (label->wordWrap())
                continue;
            QVERIFY2(label->width() >= label->sizeHint().width(),
                qPrintable(pages->tabText(i) + QStringLiteral(": ") + label->text()));
        }
        for (QLineEdit *edit : pages->widget(i)->findChildren<QLineEdit *>()) {
            const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
            QVERIFY2(edit->width() > needed, qPrintable(edit->objectName()));
        }
        if (!folder.isEmpty()) {
            QVERIFY(FDialog->grab().save(
                QDir(folder).filePath(QStringLiteral("lop-editor-%1.png").arg(i + 1))));
        }
    }
}

void TLOPEditorTest::TransportOfTheTypedDistance_data()
{
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<double>("dLatDeg");
    QTest::addColumn<double>("dLonDeg");
    QTest::addColumn<QString>("line");

    // Plane sailing at 60° N, where a degree of longitude is 30 NM: 12 NM east is 0.4° of
    // longitude (the transport edge case), 6 NM north 0.1° of latitude.
    QTest::addRow("12 NM east") << "12"
                                << "090" << 0.0 << -0.4
                                << "LOP transported 12.0 NM in direction 90.0 T";
    QTest::addRow("12 NM west") << "12"
                                << "270" << 0.0 << 0.4
                                << "LOP transported 12.0 NM in direction 270.0 T";
    QTest::addRow("6 NM north") << "6"
                                << "0" << 0.1 << 0.0
                                << "LOP transported  6.0 NM in direction  0.0 T";
    QTest::addRow("negative distance goes back")
        << "-12"
        << "90" << 0.0 << 0.4 << "LOP transported -12.0 NM in direction 90.0 T";
    QTest::addRow("blanks around numbers")
        << " 1800 "
        << " 0 " << 30.0 << 0.0 << "LOP transported 1800.0 NM in direction  0.0 T";
}

void TLOPEditorTest::TransportOfTheTypedDistance()
{
    QFETCH(QString, distance);
    QFETCH(QString, direction);
    QFETCH(double, dLatDeg);
    QFETCH(double, dLonDeg);
    QFETCH(QString, line);

    const TLOPRecord before = TransportLOPAt60N();
    TLOPRecord lop = before;
    const std::string done =
        TransportEditedLOP(lop, distance.toStdString(), direction.toStdString());
    QCOMPARE(QString::fromStdString(done), line);
    // 0.001' of arc, far below anything a navigator reads.
    QVERIFY(std::fabs(lop.APLat - (before.APLat + dLatDeg)) < 1e-9);
    QVERIFY(std::fabs(lop.APLon - (before.APLon + dLonDeg)) < 1e-9);
    QCOMPARE(lop.Intercept, before.Intercept);
    QCOMPARE(lop.Azimuth, before.Azimuth);
}

void TLOPEditorTest::Transport12NmEastAt60N()
{
    ShowDialog(TransportLOPAt60N());
    Control<QTabWidget>("PageControl1")->setCurrentIndex(2);
    Control<QLineEdit>("EdTransDist")->setText(QStringLiteral("12"));
    Control<QLineEdit>("EdTransDir")->setText(QStringLiteral("090"));
    Control<QPlainTextEdit>("MemoComments")->setPlainText(QStringLiteral("Sun through haze"));
    FBoxes->Answers = {QMessageBox::Yes};

    QTest::mouseClick(Control<QPushButton>("BTransportaReta"), Qt::LeftButton);

    QCOMPARE(FBoxes->Texts(),
        QStringList({QStringLiteral("Transport LOP 12 NM in direction 090° ?"),
            QStringLiteral("LOP transported 12.0 NM in direction 90.0 T")}));
    QCOMPARE(FBoxes->Shown[0].Icon, QMessageBox::Question);
    QCOMPARE(FBoxes->Shown[1].Icon, QMessageBox::Information);
    // 12 NM / 60 / cos 60° = 0.4° of longitude, eastward: the west-positive longitude decreases.
    QVERIFY(std::fabs(FDialog->LOP().APLon - 9.6) < 1e-9);
    QCOMPARE(FDialog->LOP().APLat, 60.0);
    QCOMPARE(Control<QLabel>("LAPLon")->text(), QStringLiteral(" 9°36.0'W"));
    QCOMPARE(MemoLines(),
        QStringList({QStringLiteral("Sun through haze"),
            QStringLiteral("LOP transported 12.0 NM in direction 90.0 T")}));

    QTest::mouseClick(Control<QPushButton>("BOK"), Qt::LeftButton);
    QCOMPARE(FDialog->result(), int(QDialog::Accepted));
    QCOMPARE(FDialog->LOP().Comments,
        std::string("Sun through haze\r\nLOP transported 12.0 NM in direction 90.0 T"));
}

void TLOPEditorTest::TransportAnsweredNoChangesNothing()
{
    ShowDialog(TransportLOPAt60N());
    Control<QLineEdit>("EdTransDist")->setText(QStringLiteral("12"));
    FBoxes->Answers = {QMessageBox::No};

    QTest::mouseClick(Control<QPushButton>("BTransportaReta"), Qt::LeftButton);

    QCOMPARE(
        FBoxes->Texts(), QStringList({QStringLiteral("Transport LOP 12 NM in direction 000° ?")}));
    QCOMPARE(FDialog->LOP().APLat, 60.0);
    QCOMPARE(FDialog->LOP().APLon, 10.0);
    QCOMPARE(Control<QPlainTextEdit>("MemoComments")->toPlainText(), QString());
}

void TLOPEditorTest::TransportFailureFocusesItsField_data()
{
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("field");

    QTest::addRow("letters") << "twelve"
                             << "090"
                             << "Invalid distance format"
                             << "EdTransDist";
    QTest::addRow("empty distance") << ""
                                    << "090"
                                    << "Invalid distance format"
                                    << "EdTransDist";
    QTest::addRow("trailing junk") << "12abc"
                                   << "090"
                                   << "Invalid distance format"
                                   << "EdTransDist";
    QTest::addRow("comma decimal") << "12,5"
                                   << "090"
                                   << "Invalid distance format"
                                   << "EdTransDist";
    QTest::addRow("infinite") << "inf"
                              << "090"
                              << "Invalid distance format"
                              << "EdTransDist";
    QTest::addRow("default 0.0") << "0.0"
                                 << "090"
                                 << "0.0 NM is not a valid distance"
                                 << "EdTransDist";
    QTest::addRow("minus zero") << "-0"
                                << "090"
                                << "0.0 NM is not a valid distance"
                                << "EdTransDist";
    QTest::addRow("bad direction") << "12"
                                   << "east"
                                   << "Invalid angle format"
                                   << "EdTransDir";
    QTest::addRow("nan direction") << "12"
                                   << "nan"
                                   << "Invalid angle format"
                                   << "EdTransDir";
    QTest::addRow("empty direction") << "12"
                                     << ""
                                     << "Invalid angle format"
                                     << "EdTransDir";
    QTest::addRow("direction 400") << "12"
                                   << "400"
                                   << "Direction out of range: enter 0 to 360"
                                   << "EdTransDir";
    // From 60° N, 2000 NM north is 33.3° of latitude: past the pole.
    QTest::addRow("past the pole") << "2000"
                                   << "0"
                                   << "Transport would move the assumed position past a pole"
                                   << "EdTransDist";
    QTest::addRow("huge") << "1e308"
                          << "180"
                          << "Transport would move the assumed position past a pole"
                          << "EdTransDist";
}

void TLOPEditorTest::TransportFailureFocusesItsField()
{
    QFETCH(QString, distance);
    QFETCH(QString, direction);
    QFETCH(QString, message);
    QFETCH(QString, field);

    const TLOPRecord lop = TransportLOPAt60N();
    ShowDialog(lop);
    Control<QTabWidget>("PageControl1")->setCurrentIndex(2);
    Control<QLineEdit>("EdTransDist")->setText(distance);
    Control<QLineEdit>("EdTransDir")->setText(direction);
    Control<QPushButton>("BOK")->setFocus();
    FBoxes->Answers = {QMessageBox::Yes};

    QTest::mouseClick(Control<QPushButton>("BTransportaReta"), Qt::LeftButton);

    QCOMPARE(FBoxes->Texts().size(), 2);
    QCOMPARE(FBoxes->Texts()[1], message);
    QCOMPARE(FBoxes->Shown[1].Icon, QMessageBox::Critical);
    QCOMPARE(QApplication::focusWidget()->objectName(), field);
    QCOMPARE(FDialog->LOP().APLat, lop.APLat);
    QCOMPARE(FDialog->LOP().APLon, lop.APLon);
    QCOMPARE(Control<QLabel>("LAPLon")->text(), QStringLiteral("10°00.0'W"));
    QCOMPARE(Control<QPlainTextEdit>("MemoComments")->toPlainText(), QString());
    QVERIFY(FDialog->isVisible());
}

// A transport refreshes the labels only: a name, intercept or azimuth typed before it stays.
void TLOPEditorTest::TransportKeepsTypedFields()
{
    ShowDialog(TransportLOPAt60N());
    Control<QLineEdit>("EdNomeAstro")->setText(QStringLiteral("Sun LL"));
    Control<QLineEdit>("EdAz")->setText(QStringLiteral("230"));
    Control<QLineEdit>("EdDelta")->setText(QStringLiteral("2.5"));
    Control<QLineEdit>("EdTransDist")->setText(QStringLiteral("6"));
    FBoxes->Answers = {QMessageBox::Yes};

    QTest::mouseClick(Control<QPushButton>("BTransportaReta"), Qt::LeftButton);

    QCOMPARE(Control<QLabel>("LAPLat")->text(), QStringLiteral("60°06.0'N"));
    QCOMPARE(Control<QLineEdit>("EdNomeAstro")->text(), QStringLiteral("Sun LL"));
    QCOMPARE(Control<QLineEdit>("EdAz")->text(), QStringLiteral("230"));
    QCOMPARE(Control<QLineEdit>("EdDelta")->text(), QStringLiteral("2.5"));
}

void TLOPEditorTest::StoredFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("intercept");
    QTest::addColumn<QString>("azimuth");
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("error"); // empty: stored
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<double>("storedIntercept");
    QTest::addColumn<double>("storedAzimuth");
    QTest::addColumn<QString>("storedComments");

    // SunLOP holds intercept 1.63 and azimuth 226.43, shown as " 1.6" and "226".
    QTest::addRow("shown texts keep exact values") << "Sun"
                                                   << " 1.6"
                                                   << "226"
                                                   << ""
                                                   << ""
                                                   << "Sun" << 1.63 << 226.43 << "";
    QTest::addRow("same texts without blanks") << "Sun"
                                               << "1.6"
                                               << " 226 "
                                               << ""
                                               << ""
                                               << "Sun" << 1.63 << 226.43 << "";
    QTest::addRow("typed values") << "Sun"
                                  << "-3.5"
                                  << "200"
                                  << ""
                                  << ""
                                  << "Sun" << -3.5 << 200.0 << "";
    QTest::addRow("same number written otherwise") << "Sun"
                                                   << "1.60"
                                                   << "226.0"
                                                   << ""
                                                   << ""
                                                   << "Sun" << 1.6 << 226.0 << "";
    QTest::addRow("letters in Az") << "Sun"
                                   << "1.6"
                                   << "abc"
                                   << ""
                                   << "Invalid Azimuth" << QString() << 0.0 << 0.0 << QString();
    QTest::addRow("junk after Az") << "Sun"
                                   << "1.6"
                                   << "226x"
                                   << ""
                                   << "Invalid Azimuth" << QString() << 0.0 << 0.0 << QString();
    QTest::addRow("nan Az") << "Sun"
                            << "1.6"
                            << "nan"
                            << ""
                            << "Invalid Azimuth" << QString() << 0.0 << 0.0 << QString();
    // An azimuth runs 0..360 (360 is north).
    QTest::addRow("azimuth 400") << "Sun"
                                 << "1.6"
                                 << "400"
                                 << ""
                                 << "Azimuth out of range: enter 0 to 360" << QString() << 0.0
                                 << 0.0 << QString();
    QTest::addRow("azimuth below 0")
        << "Sun"
        << "1.6"
        << "-0.5"
        << ""
        << "Azimuth out of range: enter 0 to 360" << QString() << 0.0 << 0.0 << QString();
    QTest::addRow("azimuth 360") << "Sun"
                                 << "1.6"
                                 << "360"
                                 << ""
                                 << ""
                                 << "Sun" << 1.63 << 360.0 << "";
    QTest::addRow("empty intercept") << "Sun"
                                     << ""
                                     << "226"
                                     << ""
                                     << "Invalid Intercept" << QString() << 0.0 << 0.0 << QString();
    QTest::addRow("both bad: azimuth first")
        << "Sun"
        << "x"
        << "y"
        << ""
        << "Invalid Azimuth" << QString() << 0.0 << 0.0 << QString();
    QTest::addRow("20 characters") << "ABCDEFGHIJKLMNOPQRST"
                                   << "1.6"
                                   << "226"
                                   << ""
                                   << ""
                                   << "ABCDEFGHIJKLMNO" << 1.63 << 226.43 << "";
    QTest::addRow("characters, not bytes") << "Éltanin é Alnaïr xyz"
                                           << "1.6"
                                           << "226"
                                           << ""
                                           << ""
                                           << "Éltanin é Alnaï" << 1.63 << 226.43 << "";
    QTest::addRow("list separator and breaks") << "Sun;LL\r\nx"
                                               << "1.6"
                                               << "226"
                                               << ""
                                               << ""
                                               << "Sun LL  x" << 1.63 << 226.43 << "";
    QTest::addRow("comment lines") << "Sun"
                                   << "1.6"
                                   << "226"
                                   << "first\r\nsecond"
                                   << ""
                                   << "Sun" << 1.63 << 226.43 << "first\r\nsecond";
    QTest::addRow("comment of 300") << "Sun"
                                    << "1.6"
                                    << "226" << QString(300, QLatin1Char('c')) << ""
                                    << "Sun" << 1.63 << 226.43 << QString(255, QLatin1Char('c'));
    QTest::addRow("cut inside a line break")
        << "Sun"
        << "1.6"
        << "226" << QString(254, QLatin1Char('c')) + QStringLiteral("\r\nmore") << ""
        << "Sun" << 1.63 << 226.43 << QString(254, QLatin1Char('c'));
}

void TLOPEditorTest::StoredFields()
{
    QFETCH(QString, name);
    QFETCH(QString, intercept);
    QFETCH(QString, azimuth);
    QFETCH(QString, comments);
    QFETCH(QString, error);
    QFETCH(QString, storedName);
    QFETCH(double, storedIntercept);
    QFETCH(double, storedAzimuth);
    QFETCH(QString, storedComments);

    const TLOPRecord before = SunLOP();
    TLOPRecord lop = before;
    const TLOPEditedFields fields {
        name.toStdString(), intercept.toStdString(), azimuth.toStdString(), comments.toStdString()};
    QString raised;
    try {
        StoreEditedFields(lop, fields);
    } catch (const ELOPEditError &e) {
        raised = QString::fromStdString(e.what());
    }
    QCOMPARE(raised, error);
    if (!error.isEmpty()) {
        QCOMPARE(lop.ObjectName, before.ObjectName);
        QCOMPARE(lop.Azimuth, before.Azimuth);
        QCOMPARE(lop.Intercept, before.Intercept);
        return;
    }
    QCOMPARE(QString::fromStdString(lop.ObjectName), storedName);
    QCOMPARE(lop.Intercept, storedIntercept);
    QCOMPARE(lop.Azimuth, storedAzimuth);
    QCOMPARE(QString::fromStdString(lop.Comments), storedComments);
}

void TLOPEditorTest::CancelWithLettersInAzStaysOpen()
{
    ShowDialog(SunLOP());
    Control<QLineEdit>("EdAz")->setText(QStringLiteral("abc"));

    QTest::mouseClick(Control<QPushButton>("BCancel"), Qt::LeftButton);

    QVERIFY(FDialog->isVisible());
    QCOMPARE(FBoxes->Texts(), QStringList({QStringLiteral("Invalid Azimuth")}));
    QCOMPARE(Control<QTabWidget>("PageControl1")->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>("EdAz"));
    QCOMPARE(Control<QLineEdit>("EdAz")->text(), QStringLiteral("abc"));

    // Escape closes through the same check.
    QTest::keyClick(Control<QLineEdit>("EdAz"), Qt::Key_Escape);
    QVERIFY(FDialog->isVisible());
    QCOMPARE(FBoxes->Texts().size(), 2);

    Control<QLineEdit>("EdAz")->setText(QStringLiteral("45"));
    QTest::mouseClick(Control<QPushButton>("BCancel"), Qt::LeftButton);
    QVERIFY(!FDialog->isVisible());
    QCOMPARE(FDialog->result(), int(QDialog::Rejected));
}

void TLOPEditorTest::OkWithBadInterceptStaysOpen()
{
    ShowDialog(SunLOP());
    Control<QLineEdit>("EdDelta")->setText(QStringLiteral("1.6 NM"));

    QTest::mouseClick(Control<QPushButton>("BOK"), Qt::LeftButton);

    QVERIFY(FDialog->isVisible());
    QCOMPARE(FBoxes->Texts(), QStringList({QStringLiteral("Invalid Intercept")}));
    QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>("EdDelta"));
}

void TLOPEditorTest::TwentyCharacterNameTypedIsStoredAs15()
{
    ShowDialog(SunLOP());
    auto *name = Control<QLineEdit>("EdNomeAstro");
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("ABCDEFGHIJ;KLMNOPQRST"));
    QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJKLMNO"));

    QTest::mouseClick(Control<QPushButton>("BOK"), Qt::LeftButton);
    QCOMPARE(FDialog->result(), int(QDialog::Accepted));
    QCOMPARE(FDialog->LOP().ObjectName, std::string("ABCDEFGHIJKLMNO"));
}

void TLOPEditorTest::OkHandsBackTheEditedCopy()
{
    TLOPRecord lop = SunLOP();
    lop.Comments = "line one\r\nline two";
    bool sawComments = false;
    WhenModalShown([&sawComments](TDlgEditLOP &dialog) {
        auto *memo = dialog.findChild<QPlainTextEdit *>(QStringLiteral("MemoComments"));
        sawComments = memo->toPlainText() == QStringLiteral("line one\nline two");
        memo->appendPlainText(QStringLiteral("line three"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdNomeAstro"))
            ->setText(QStringLiteral("Sun UL"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdAz"))->setText(QStringLiteral("227.5"));
        dialog.findChild<QPushButton *>(QStringLiteral("BOK"))->click();
    });
    TDlgEditLOP dialog;
    QVERIFY(dialog.Edit(lop));
    QVERIFY(sawComments);
    QCOMPARE(lop.ObjectName, std::string("Sun UL"));
    QCOMPARE(lop.Azimuth, 227.5);
    QCOMPARE(lop.Intercept, 1.63);
    QCOMPARE(lop.Comments, std::string("line one\r\nline two\r\nline three"));
}

void TLOPEditorTest::CancelLeavesTheRecord()
{
    TLOPRecord lop = TransportLOPAt60N();
    FBoxes->Answers = {QMessageBox::Yes};
    WhenModalShown([](TDlgEditLOP &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("EdNomeAstro"))
            ->setText(QStringLiteral("Moon"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdTransDist"))->setText(QStringLiteral("12"));
        dialog.findChild<QPushButton *>(QStringLiteral("BTransportaReta"))->click();
        dialog.findChild<QPushButton *>(QStringLiteral("BCancel"))->click();
    });
    TDlgEditLOP dialog;
    QVERIFY(!dialog.Edit(lop));
    QCOMPARE(FBoxes->Texts().size(), 2); // the question and the transport notice
    QCOMPARE(lop.ObjectName, std::string("Sun"));
    QCOMPARE(lop.APLat, 60.0);
    QCOMPARE(lop.APLon, 10.0);
    QCOMPARE(lop.Comments, std::string());
}

void TLOPEditorTest::EditReachesTheList()
{
    TLOPList list;
    TLOPRecord first = SunLOP();
    first.GMTHours = 10;
    list.AddLOP(first);
    list.AddLOP(TransportLOPAt60N());
    list.SetTransportMode(TAutoTransportMode::ToLatestLOPTime);

    FBoxes->Answers = {QMessageBox::Yes};
    WhenModalShown([](TDlgEditLOP &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("EdNomeAstro"))
            ->setText(QStringLiteral("Sun 2"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdDelta"))->setText(QStringLiteral("-4.2"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdTransDist"))->setText(QStringLiteral("12"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdTransDir"))->setText(QStringLiteral("90"));
        dialog.findChild<QPushButton *>(QStringLiteral("BTransportaReta"))->click();
        dialog.findChild<QPushButton *>(QStringLiteral("BOK"))->click();
    });
    QVERIFY(EditLOPOfList(nullptr, list, 2));

    QCOMPARE(list.LOPCount(), 2);
    const TLOPRecord &edited = list.LOPs()[1];
    QCOMPARE(edited.ObjectName, std::string("Sun 2"));
    QCOMPARE(edited.Intercept, -4.2);
    QVERIFY(std::fabs(edited.APLon - 9.6) < 1e-9);
    QCOMPARE(edited.Comments, std::string("LOP transported 12.0 NM in direction 90.0 T"));
    QCOMPARE(list.LOPs()[0].ObjectName, std::string("Sun"));
    QCOMPARE(list.LOPs()[0].GMTHours, 10.0);

    // The window runs ApplyTransport next; the latest LOP (the edited one) stays where it is.
    TTransportSettings settings;
    settings.Boat.Speed = 6;
    settings.Boat.Course = 90;
    list.ApplyTransport(settings);
    QCOMPARE(list.TransportedLOPs()[1].ObjectName, std::string("Sun 2"));
    QVERIFY(std::fabs(list.TransportedLOPs()[1].APLon - 9.6) < 1e-9);
}

void TLOPEditorTest::NoLOPToEditOpensNothing_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("n");

    QTest::addRow("empty list") << 0 << 1;
    QTest::addRow("no row selected") << 2 << 0;
    QTest::addRow("past the end") << 2 << 3;
    QTest::addRow("negative") << 2 << -1;
}

void TLOPEditorTest::NoLOPToEditOpensNothing()
{
    QFETCH(int, count);
    QFETCH(int, n);

    TLOPList list;
    for (int i = 0; i < count; ++i)
        list.AddLOP(SunLOP());
    bool opened = false;
    WhenModalShown([&opened](TDlgEditLOP &dialog) {
        opened = true;
        dialog.QDialog::done(QDialog::Rejected);
    });
    QVERIFY(!EditLOPOfList(nullptr, list, n));
    QApplication::processEvents();
    QVERIFY(!opened);
    QCOMPARE(list.LOPCount(), count);
}

} // namespace vrn

QTEST_MAIN(vrn::TLOPEditorTest)
#include "LOPEditorTest.moc"
