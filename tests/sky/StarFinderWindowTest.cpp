// The star finder window as a navigator uses it: fields typed and commands clicked, the list and
// its sorting, the chart's colour and blink, the sight planner, the clock, the animation rules,
// printing, copying and the stored settings.

#include "celestial/DlgShowOnceMsg.h"
#include "celestial/SystemTimeZone.h"
#include "common/NumEdit.h"
#include "common/VrnEdit.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/Trigonom.h"
#include "sky/HorizonPlace.h"
#include "sky/fTAstroChart.h"
#include "tests/ui/PdfText.h"
#include "ui/FormSettings.h"
#include "ui/UiTestDoubles.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimeZone>
#include <memory>

namespace vrn {

class TStarFinderWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ControlsAsTheTable_data();
    void ControlsAsTheTable();
    void LayoutRules();
    void TabMovesInReadingOrder();
    void TypedViewIsListedAndDrawn();
    void EmptyDateMeansTodaysGmtDate();
    void ListSortsNumerically_data();
    void ListSortsNumerically();
    void ClickingARowBlinksItsBody();
    void SkyColourFollowsTheSun_data();
    void SkyColourFollowsTheSun();
    void NowAddsTheTimeZoneAndChecksIt_data();
    void NowAddsTheTimeZoneAndChecksIt();
    void PlannerMarksTheBestBodiesAtTwilight();
    void AnimationTimerRules();
    void AnimationStepsAndStops();
    void AnimationFollowingTheClock();
    void PrintsAndSavesAsPdf();
    void CopiesTheChart();
    void SettingsAreKept();
    void HandOverFromAnotherWindow();
    void Screenshots();

private:
    template <typename T>
    T *Child(const char *name) const
    {
        T *w = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    void Click(const char *button)
    {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }

    void TypeDate(const QString &text);
    void TypeTime(int h, int m, int s);
    void SetView(double lat, double lon, int y, int mo, int d, int h, int mi);
    QStringList Column(int c) const;

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TTestPrinterDialog> FPrinters;
    std::unique_ptr<TFixedClock> FClock;
    std::unique_ptr<TFormStarFinder> FWindow;
    QStringList FShowOnce;
};

void TStarFinderWindowTest::init()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FPrinters = std::make_unique<TTestPrinterDialog>();
    // The computer's clock reads 2026-06-21 22:10:00 local time, whatever its zone.
    FClock = std::make_unique<TFixedClock>(QDateTime(QDate(2026, 6, 21), QTime(22, 10, 0)));
    FShowOnce.clear();
    SetShowOnceResponder([this](QWidget *, const QString &text) {
        FShowOnce << text;
        return false;
    });
    SetShortDateFormat(TDateFormat {});
    FWindow = std::make_unique<TFormStarFinder>();
    FWindow->show();
    FWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FWindow.get()));
}

void TStarFinderWindowTest::cleanup()
{
    FWindow.reset();
    SetShowOnceResponder({});
    FClock.reset();
    FPrinters.reset();
    FFiles.reset();
    FBoxes.reset();
    FFolder.reset();
}

void TStarFinderWindowTest::TypeDate(const QString &text)
{
    QLineEdit *date = Child<QLineEdit>("EdGMTDate");
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Delete);
    QTest::keyClicks(date, text);
}

void TStarFinderWindowTest::TypeTime(int h, int m, int s)
{
    TKaTimeEdit *t = Child<TKaTimeEdit>("EdGMTTime");
    const std::pair<TKaIntEdit *, int> cells[] = {
        {t->HoursCell(), h}, {t->MinutesCell(), m}, {t->SecondsCell(), s}};
    for (const auto &[cell, v] : cells) {
        cell->selectAll();
        QTest::keyClicks(cell, QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')));
    }
}

void TStarFinderWindowTest::SetView(double lat, double lon, int y, int mo, int d, int h, int mi)
{
    Child<TKaPositionEdit>("EdLat")->SetPosition(lat);
    Child<TKaPositionEdit>("EdLon")->SetPosition(lon);
    TypeDate(QString::fromStdString(FormatDateText(EncodeDate(y, mo, d), ShortDateFormat())));
    TypeTime(h, mi, 0);
}

QStringList TStarFinderWindowTest::Column(int c) const
{
    auto *grid = Child<QTableWidget>("GridAstrosVisiveis");
    QStringList cells;
    for (int row = 0; row < grid->rowCount(); ++row)
        cells << grid->item(row, c)->text();
    return cells;
}

void TStarFinderWindowTest::ControlsAsTheTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addRow("Update") << "BCalcAstrosVisiveis"
                            << "&Update !"
                            << "Calculate list of visible objects";
    QTest::addRow("Now") << "BNow"
                         << "&Now"
                         << "Set current GMT time";
    QTest::addRow("zone") << "BGetSystemTimeZone"
                          << "System zone"
                          << "Get system time zone";
    QTest::addRow("Copy") << "BCopyVisStarChart"
                          << "&Copy"
                          << "Copy chart to clipboard";
    QTest::addRow("lines") << "CBConstelationLines"
                           << "Constelation &Lines"
                           << "";
    QTest::addRow("overhead") << "CBOverhead"
                              << "Over&head view"
                              << "Swaps E and W (chart is to be viewed upside down)";
    QTest::addRow("altitudes") << "CBGridAltitudes"
                               << "&Altitudes"
                               << "";
    QTest::addRow("azimuths") << "CBGridAzimuths"
                              << "A&zimuths"
                              << "";
    QTest::addRow("cursor") << "BCursor"
                            << "Cursor.."
                            << "Floating cursor properties";
    QTest::addRow("boat") << "BEditBoatCourse"
                          << "E&dit.."
                          << "Edit boat course";
}

void TStarFinderWindowTest::ControlsAsTheTable()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    auto *b = FWindow->findChild<QAbstractButton *>(name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->toolTip(), hint);
    QCOMPARE(FWindow->windowTitle(), QStringLiteral("Varunel Star Finder"));
    QVERIFY(FWindow->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(
        Child<TKaPositionEdit>("EdLat")->toolTip(), QStringLiteral("latitude (ex: 23°22.3 N)"));
    QCOMPARE(Child<QTableWidget>("GridAstrosVisiveis")->toolTip(),
        QStringLiteral("Click headers to sort"));
}

void TStarFinderWindowTest::LayoutRules()
{
    // Fits a 1280 × 720 screen and no two controls share an access key.
    QVERIFY(FWindow->minimumSizeHint().width() <= 1280);
    QVERIFY(FWindow->minimumSizeHint().height() <= 720);
    QMap<QChar, QString> keys;
    for (QAbstractButton *b : FWindow->findChildren<QAbstractButton *>()) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("&([^&])")).match(b->text());
        if (!m.hasMatch())
            continue;
        const QChar key = m.captured(1).at(0).toLower();
        QVERIFY2(!keys.contains(key),
            qPrintable(
                QStringLiteral("%1 and %2 share Alt+%3").arg(keys[key], b->objectName(), key)));
        keys[key] = b->objectName();
    }
    // Enter presses the focused button.
    SetView(38.7, 9.15, 2026, 6, 21, 21, 15);
    Child<QPushButton>("BCalcAstrosVisiveis")->setFocus();
    QTest::keyClick(Child<QPushButton>("BCalcAstrosVisiveis"), Qt::Key_Return);
    QVERIFY(Child<QTableWidget>("GridAstrosVisiveis")->rowCount() > 0);
}

void TStarFinderWindowTest::TabMovesInReadingOrder()
{
    // The composite fields hold several cells; the order of the fields is what counts.
    const QStringList expected = {"EdLat", "EdLon", "EdGMTDate", "EdGMTTime", "EdTimeZone",
        "BGetSystemTimeZone", "BNow", "BCalcAstrosVisiveis", "CBCurrentSky", "CBAnimate",
        "SpinEvery", "SpinAdvance", "CBAdvanceUnit", "CBPlanSights", "SpinPlanBodies",
        "BEveningTwilight", "BMorningTwilight"};
    const auto fieldOf = [this, &expected](QWidget *w) {
        for (; w && w != FWindow.get(); w = w->parentWidget()) {
            if (expected.contains(w->objectName()))
                return w->objectName();
        }
        return QString();
    };
    Child<TKaPositionEdit>("EdLat")->DegreesCell()->setFocus();
    QVERIFY(QApplication::focusWidget());
    QStringList seen = {fieldOf(QApplication::focusWidget())};
    for (int i = 0; i < 40 && seen.size() < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString f = fieldOf(QApplication::focusWidget());
        if (!f.isEmpty() && f != seen.last())
            seen << f;
    }
    QCOMPARE(seen, expected);
}

void TStarFinderWindowTest::TypedViewIsListedAndDrawn()
{
    // Lisbon, 2026-06-21 21:15 GMT, typed into the cells.
    TKaPositionEdit *lat = Child<TKaPositionEdit>("EdLat");
    // As a person types it: a click into the degrees, then the digits run on from cell to cell.
    QTest::mouseClick(lat->DegreesCell(), Qt::LeftButton);
    for (const QChar c : QStringLiteral("38420N"))
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    Child<TKaPositionEdit>("EdLon")->SetPosition(9.15);
    TypeDate(QStringLiteral("21/06/2026"));
    TypeTime(21, 15, 0);
    Click("BCalcAstrosVisiveis");
    QCOMPARE(lat->Position(), 38.7);

    // Every body above the horizon, in the registry order, with the sight reduction's values
    // (independently: ComputeAltitudeAzimuth for each body).
    const double dt = EncodeDate(2026, 6, 21) + EncodeTime(21, 15, 0, 0);
    QStringList names;
    QStringList hcs;
    for (TAstro *body : Astros().BodyList()) {
        if (body == Astros().Aries())
            continue;
        const TDateHour t = SplitDateHour(dt);
        const auto gd = body->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour);
        const TAltitudeAzimuth a = ComputeAltitudeAzimuth(gd.DecDeg, gd.GHADeg, 38.7, 9.15, 0);
        if (a.AboveHorizon) {
            names << QString::fromStdString(body->Name());
            hcs << QString::fromStdString(FormatAngleDM1(" -", a.HcDeg).Text);
        }
    }
    QCOMPARE(Column(0), names);
    QCOMPARE(Column(1), hcs);
    QCOMPARE(Child<QLabel>("LCount")->text(), QStringLiteral("%1 visible").arg(names.size()));
    QCOMPARE(Child<QLabel>("LViewLabel")->text(),
        QStringLiteral("Lat: 38°42.0'N  Lon:  9°09.0'W | 21/06/2026 21:15:00 GMT"));
    QCOMPARE(FWindow->Chart().Scene().Bodies().size(), std::size_t(names.size()));
    QVERIFY(!FWindow->Chart().Scene().Figures().empty());
}

void TStarFinderWindowTest::EmptyDateMeansTodaysGmtDate()
{
    // At 00:30 UTC+1 the GMT date is still the day before.
    FClock->Time = QDateTime(QDate(2026, 6, 22), QTime(0, 30, 0), QTimeZone(3600));
    TypeDate(QString());
    Click("BCalcAstrosVisiveis");
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("21/06/2026"));

    TypeDate(QStringLiteral("31/02/2026"));
    Click("BCalcAstrosVisiveis");
    QCOMPARE(FBoxes->Shown.size(), 1);
    QCOMPARE(
        FBoxes->Shown[0].Text, QStringLiteral("Invalid date in GMT date: expected dd/MM/yyyy"));
    QVERIFY(Child<QLineEdit>("EdGMTDate")->hasFocus());
}

void TStarFinderWindowTest::ListSortsNumerically_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("kind"); // 0 text, 1 Hc, 2 Az, 3 Mag
    QTest::addRow("Body") << 0 << 0;
    QTest::addRow("Hc") << 1 << 1;
    QTest::addRow("Az") << 2 << 2;
    QTest::addRow("Mag") << 3 << 3;
}

void TStarFinderWindowTest::ListSortsNumerically()
{
    QFETCH(int, column);
    QFETCH(int, kind);
    SetView(38.7, 9.15, 2026, 6, 21, 21, 15);
    Click("BCalcAstrosVisiveis");
    auto *grid = Child<QTableWidget>("GridAstrosVisiveis");
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(grid->horizontalHeader()->sectionViewportPosition(column) + 5, 5));
    const QStringList cells = Column(column);
    QVERIFY(cells.size() > 10);
    // Independent reading of the cells: "9°05.3'" is 9 + 5.3/60 degrees.
    const auto value = [kind](const QString &c) {
        const QString t = c.trimmed();
        if (kind == 1) {
            const QStringList p = t.split(QChar(0xB0));
            return p[0].toDouble() + p[1].chopped(1).toDouble() / 60;
        }
        if (kind == 2)
            return t.chopped(1).toDouble();
        return t.toDouble();
    };
    bool ascending = true;
    bool descending = true;
    for (int i = 1; i < cells.size(); ++i) {
        if (kind == 0) {
            ascending &= cells[i - 1].compare(cells[i], Qt::CaseInsensitive) <= 0;
            descending &= cells[i - 1].compare(cells[i], Qt::CaseInsensitive) >= 0;
        } else {
            ascending &= value(cells[i - 1]) <= value(cells[i]);
            descending &= value(cells[i - 1]) >= value(cells[i]);
        }
    }
    QVERIFY2(ascending || descending, qPrintable(cells.join(QLatin1Char('|'))));
}

void TStarFinderWindowTest::ClickingARowBlinksItsBody()
{
    SetView(38.7, 9.15, 2026, 6, 21, 21, 15);
    Click("BCalcAstrosVisiveis");
    auto *grid = Child<QTableWidget>("GridAstrosVisiveis");
    const int row = 3;
    const QRect cell = grid->visualItemRect(grid->item(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(FWindow->Chart().SelectedName(), grid->item(row, 0)->text());
    QVERIFY(FWindow->Chart().Blinking());
    // A new computation keeps the selection.
    Click("BCalcAstrosVisiveis");
    QCOMPARE(FWindow->Chart().SelectedName(), grid->item(row, 0)->text());
    QVERIFY(FWindow->Chart().Blinking());
}

void TStarFinderWindowTest::SkyColourFollowsTheSun_data()
{
    QTest::addColumn<double>("sunHc");
    QTest::addColumn<QColor>("colour");
    QTest::addRow("3° below: dark blue") << -3.0 << QColor(0, 0, 128);
    QTest::addRow("7° below: black") << -7.0 << QColor(0, 0, 0);
    QTest::addRow("1° above: blue") << 1.0 << QColor(0, 0, 255);
}

void TStarFinderWindowTest::SkyColourFollowsTheSun()
{
    QFETCH(double, sunHc);
    QFETCH(QColor, colour);
    // The evening of 2026-06-21 at Lisbon: find the minute the Sun stands nearest sunHc.
    CreateAstros();
    TSol &sun = *Astros().Sun();
    int best = 0;
    double bestDiff = 1e9;
    for (int minute = 19 * 60; minute < 22 * 60; ++minute) {
        const auto gd = sun.ComputeGHADec(2026, 6, 21, minute / 60.0);
        const double hc = HorizonPlaceOf(gd.DecDeg, gd.GHADeg, 38.7, 9.15).HcDeg;
        if (std::fabs(hc - sunHc) < bestDiff) {
            bestDiff = std::fabs(hc - sunHc);
            best = minute;
        }
    }
    QVERIFY(bestDiff < 0.2);
    SetView(38.7, 9.15, 2026, 6, 21, best / 60, best % 60);
    Click("BCalcAstrosVisiveis");
    QCOMPARE(FWindow->Chart().BackColor(), colour);
}

void TStarFinderWindowTest::NowAddsTheTimeZoneAndChecksIt_data()
{
    QTest::addColumn<double>("zone");
    QTest::addColumn<double>("lon");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<QString>("gmtTime");
    // The clock reads 22:10 local; GMT = local + zone.
    QTest::addRow("+3 at 43°W agrees") << 3.0 << 43.0 << false << "01:10:00";
    QTest::addRow("-3 at 43°W disagrees") << -3.0 << 43.0 << true << "19:10:00";
}

void TStarFinderWindowTest::NowAddsTheTimeZoneAndChecksIt()
{
    QFETCH(double, zone);
    QFETCH(double, lon);
    QFETCH(bool, warned);
    QFETCH(QString, gmtTime);
    Child<TNumEdit>("EdTimeZone")->SetValue(zone);
    Child<TKaPositionEdit>("EdLon")->SetPosition(lon);
    Click("BNow");
    QCOMPARE(FShowOnce.size(), warned ? 1 : 0);
    if (warned)
        QCOMPARE(FShowOnce[0], QString::fromLatin1(kTimeZoneWarning));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), gmtTime);
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(),
        zone > 0 ? QStringLiteral("22/06/2026") : QStringLiteral("21/06/2026"));
    QVERIFY(Child<QTableWidget>("GridAstrosVisiveis")->rowCount() > 0);
}

void TStarFinderWindowTest::PlannerMarksTheBestBodiesAtTwilight()
{
    SetView(38.7, 9.15, 2026, 6, 21, 12, 0);
    Click("BEveningTwilight");
    // The end of evening civil twilight at Lisbon: 20:37 GMT (vrncli riseset gives 20.6121 h).
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text().left(5), QStringLiteral("20:36"));
    const auto &plan = FWindow->Plan();
    QVERIFY(plan);
    QCOMPARE(plan->Indices.size(), std::size_t(3));
    std::vector<std::string> chosen;
    for (std::size_t i : plan->Indices) {
        const TVisibleBody &b = FWindow->Sky().Bodies[i];
        QVERIFY(b.HcDeg >= 15 && b.HcDeg <= 70);
        chosen.push_back(b.Name);
    }
    QCOMPARE(FWindow->Chart().Scene().Planned(), chosen);
    auto *grid = Child<QTableWidget>("GridAstrosVisiveis");
    int bold = 0;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const bool isChosen =
            std::find(chosen.begin(), chosen.end(), grid->item(row, 0)->text().toStdString())
            != chosen.end();
        QCOMPARE(grid->item(row, 0)->font().bold(), isChosen);
        bold += isChosen;
    }
    QCOMPARE(bold, 3);
    QVERIFY(Child<QLabel>("LPlan")->text().contains(QString::fromStdString(chosen[0])));

    // Four bodies on request; the morning twilight of the same date comes before.
    Child<QSpinBox>("SpinPlanBodies")->setValue(4);
    QCOMPARE(FWindow->Plan()->Indices.size(), std::size_t(4));
    Click("BMorningTwilight");
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text().left(2), QStringLiteral("04"));
    // Turned off, nothing is marked.
    QTest::mouseClick(Child<QCheckBox>("CBPlanSights"), Qt::LeftButton);
    QVERIFY(FWindow->Chart().Scene().Planned().empty());
}

void TStarFinderWindowTest::AnimationTimerRules()
{
    QTimer &timer = FWindow->AnimationTimer();
    QVERIFY(!timer.isActive());
    Child<QSpinBox>("SpinEvery")->setValue(5);
    QTest::mouseClick(Child<QCheckBox>("CBAnimate"), Qt::LeftButton);
    QVERIFY(timer.isActive());
    QCOMPARE(timer.interval(), 5000);
    Child<QSpinBox>("SpinEvery")->setValue(0); // 0 stops it
    QVERIFY(!timer.isActive());
    Child<QSpinBox>("SpinEvery")->setValue(2);
    QCOMPARE(timer.interval(), 2000);
    QVERIFY(timer.isActive());
    FWindow->showMinimized();
    QTRY_VERIFY(!timer.isActive());
    FWindow->showNormal();
    QTRY_VERIFY(timer.isActive());
    FWindow->hide();
    QVERIFY(!timer.isActive());
    FWindow->show();
    QVERIFY(timer.isActive());

    // "Current sky" hides the step.
    QVERIFY(Child<QSpinBox>("SpinAdvance")->isVisible());
    QTest::mouseClick(Child<QCheckBox>("CBCurrentSky"), Qt::LeftButton);
    QVERIFY(!Child<QSpinBox>("SpinAdvance")->isVisible());
}

void TStarFinderWindowTest::AnimationStepsAndStops()
{
    SetView(38.7, 9.15, 2026, 6, 21, 21, 15);
    Child<QSpinBox>("SpinAdvance")->setValue(-1);
    Child<QComboBox>("CBAdvanceUnit")->setCurrentIndex(int(TAnimationUnit::Days));
    FWindow->TmAnimationTimer();
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("20/06/2026"));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("21:15:00"));
    FWindow->TmAnimationTimer();
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("19/06/2026"));

    // A firing while a box is open is skipped.
    QDialog box(FWindow.get());
    box.setModal(true);
    box.show();
    QVERIFY(QApplication::activeModalWidget());
    FWindow->TmAnimationTimer();
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("19/06/2026"));
    box.hide();

    // A step beyond the calendar stops the animation and says why.
    QTest::mouseClick(Child<QCheckBox>("CBAnimate"), Qt::LeftButton);
    SetView(38.7, 9.15, 9999, 12, 31, 23, 0);
    Child<QSpinBox>("SpinAdvance")->setValue(1);
    FWindow->TmAnimationTimer();
    QCOMPARE(FBoxes->Texts(), QStringList {QString::fromLatin1(kAnimationRangeMessage)});
    QVERIFY(!Child<QCheckBox>("CBAnimate")->isChecked());
    QVERIFY(!FWindow->AnimationTimer().isActive());
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("31/12/9999"));
}

void TStarFinderWindowTest::AnimationFollowingTheClock()
{
    // Following the clock makes no time-zone check, even where zone and longitude disagree.
    Child<TNumEdit>("EdTimeZone")->SetValue(-1);
    Child<TKaPositionEdit>("EdLon")->SetPosition(43);
    QTest::mouseClick(Child<QCheckBox>("CBCurrentSky"), Qt::LeftButton);
    FWindow->TmAnimationTimer();
    QVERIFY(FShowOnce.isEmpty());
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("21:10:00"));
    FClock->Time = FClock->Time.addSecs(60);
    FWindow->TmAnimationTimer();
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("21:11:00"));
}

void TStarFinderWindowTest::PrintsAndSavesAsPdf()
{
    if (!PdfTextAvailable())
        QSKIP("pdftotext is not installed");
    SetView(38.7, 9.15, 2026, 6, 21, 21, 15);
    Click("BCalcAstrosVisiveis");
    const QString folder = FFolder->Path();
    const QString rows = Column(0).join(QLatin1Char(' '));

    FFiles->Answers << folder + QStringLiteral("/list.pdf");
    Child<QAction>("MISaveVisibleStarsListAsPdf")->trigger();
    const QStringList list = PdfWords(PdfText(folder + QStringLiteral("/list.pdf")));
    QVERIFY(list.contains(QStringLiteral("38°42.0'N")));
    QVERIFY(list.contains(QStringLiteral("visible")));
    QVERIFY(list.contains(Column(0).first()));
    QVERIFY(list.contains(QStringLiteral("Varunel")));

    // The landscape page: the chart and the list with the view label split at "|".
    FPrinters->Answers << folder + QStringLiteral("/both.pdf");
    Child<QAction>("MIPrintStuff")->trigger();
    const QString both = PdfText(folder + QStringLiteral("/both.pdf"));
    QVERIFY2(both.contains(QStringLiteral("21/06/2026 21:15:00 GMT")), qPrintable(both));
    QVERIFY(both.contains(QStringLiteral("Lat: 38°42.0'N")));
    QVERIFY(both.contains(QStringLiteral("Mag")));
    QCOMPARE(PdfSheetCount(both), 1);

    FFiles->Answers << folder + QStringLiteral("/chart.pdf");
    Child<QAction>("MISaveVisibleStarsChartAsPdf")->trigger();
    QVERIFY(QFile::exists(folder + QStringLiteral("/chart.pdf")));
    // The chart on screen is as it was.
    QCOMPARE(FWindow->Chart().BackColor(), QColor(0, 0, 0));
    QCOMPARE(FWindow->Chart().Projection().Cx, FWindow->Chart().width() / 2);
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TStarFinderWindowTest::CopiesTheChart()
{
    SetView(38.7, 9.15, 2026, 6, 21, 21, 15);
    Click("BCalcAstrosVisiveis");
    QGuiApplication::clipboard()->clear();
    Click("BCopyVisStarChart");
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), FWindow->Chart().size());
    const TSkyProjection &p = FWindow->Chart().Projection();
    QCOMPARE(copied.pixel(p.Cx + 3, p.Cy + p.R / 2 + 7) & 0xFFFFFF, 0u);
}

void TStarFinderWindowTest::SettingsAreKept()
{
    SetView(-33.9, -18.4, 2025, 12, 1, 19, 30);
    Child<QSpinBox>("SpinEvery")->setValue(7);
    Child<QSpinBox>("SpinAdvance")->setValue(-15);
    Child<QComboBox>("CBAdvanceUnit")->setCurrentIndex(1);
    Child<TNumEdit>("EdTimeZone")->SetValue(-2);
    QTest::mouseClick(Child<QCheckBox>("CBCurrentSky"), Qt::LeftButton);
    Child<QCheckBox>("CBOverhead")->setChecked(true);
    Child<QCheckBox>("CBEcliptic")->setChecked(false);
    FWindow->ChooseFont = [](QWidget *, const QFont &, const QColor &) {
        return std::optional(
            std::pair {QFont(QStringLiteral("DejaVu Serif"), 11), QColor(Qt::magenta)});
    };
    Click("BObjectNamesFont");
    FWindow.reset(); // stores

    FWindow = std::make_unique<TFormStarFinder>();
    QCOMPARE(Child<QSpinBox>("SpinEvery")->value(), 7);
    QCOMPARE(Child<QSpinBox>("SpinAdvance")->value(), -15);
    QCOMPARE(Child<QComboBox>("CBAdvanceUnit")->currentIndex(), 1);
    QCOMPARE(Child<TNumEdit>("EdTimeZone")->Value(), -2.0);
    QVERIFY(Child<QCheckBox>("CBCurrentSky")->isChecked());
    QVERIFY(Child<QCheckBox>("CBOverhead")->isChecked());
    QVERIFY(!Child<QCheckBox>("CBEcliptic")->isChecked());
    QVERIFY(FWindow->Chart().Style().Overhead);
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("01/12/2025"));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("19:30:00"));
    QCOMPARE(Child<TKaPositionEdit>("EdLat")->Position(), -33.9);
    QCOMPARE(Child<TKaPositionEdit>("EdLon")->Position(), -18.4);
    QCOMPARE(FWindow->Chart().Style().ObjNamesFont.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(FWindow->Chart().Style().ObjNamesColor, QColor(Qt::magenta));

    // The date is stored as yyyy-MM-dd, whatever the short date format; an older text in the
    // short date format is read as well.
    FWindow.reset();
    {
        TFormSettings settings(QStringLiteral("FormStarFinder"));
        QCOMPARE(settings.ReadString(QStringLiteral("EdGMTDate"), QStringLiteral("Text"), {}),
            QStringLiteral("2025-12-01"));
        settings.WriteString(
            QStringLiteral("EdGMTDate"), QStringLiteral("Text"), QStringLiteral("24/12/2024"));
        settings.Flush();
    }
    FWindow = std::make_unique<TFormStarFinder>();
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("24/12/2024"));
}

void TStarFinderWindowTest::HandOverFromAnotherWindow()
{
    FWindow->showMinimized();
    FWindow->ShowFor(45.5, -12.25, EncodeDate(2026, 3, 20), EncodeTime(19, 0, 0, 0));
    QTRY_VERIFY(!FWindow->isMinimized());
    QCOMPARE(Child<TKaPositionEdit>("EdLat")->Position(), 45.5);
    QCOMPARE(Child<TKaPositionEdit>("EdLon")->Position(), -12.25);
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("20/03/2026"));
    QCOMPARE(Child<TKaTimeEdit>("EdGMTTime")->Text(), QStringLiteral("19:00:00"));
    QVERIFY(Child<QTableWidget>("GridAstrosVisiveis")->rowCount() > 0);
    // Without a date the view is of today's GMT date.
    FWindow->ShowFor(45.5, -12.25, std::nullopt, EncodeTime(19, 0, 0, 0));
    QCOMPARE(Child<QLineEdit>("EdGMTDate")->text(), QStringLiteral("21/06/2026"));
}

// The pictures of the README (VRN_SCREENSHOT_DIR=docs/screenshots): Lisbon at the end of evening
// civil twilight on the June solstice, the planner's three bodies marked.
void TStarFinderWindowTest::Screenshots()
{
    const QString dir = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR not set");
    FWindow->resize(1240, 680);
    SetView(38.7, 9.15, 2026, 6, 21, 12, 0);
    Click("BEveningTwilight");
    const auto &plan = FWindow->Plan();
    QVERIFY(plan);
    auto *grid = Child<QTableWidget>("GridAstrosVisiveis");
    grid->selectRow(int(plan->Indices[0]));
    QTest::qWait(50);
    QVERIFY(FWindow->grab().save(dir + QStringLiteral("/star-finder.png")));

    Child<QTabWidget>("PageControl")->setCurrentIndex(1);
    Child<QCheckBox>("CBConstelationNames")->setChecked(true);
    Child<QCheckBox>("CBDrawBoatCourse")->setChecked(true);
    FWindow->Chart().SetBoatCourse(235);
    QTest::qWait(50);
    QVERIFY(FWindow->grab().save(dir + QStringLiteral("/star-finder-names.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TStarFinderWindowTest)
#include "StarFinderWindowTest.moc"
