// The chart dialogs as a user drives them: keys typed into the real fields, focus moved by Tab,
// OK by Enter, and what each dialog leaves in the chart objects.

#include "charts/Dcarta.h"
#include "charts/Dchtbmps.h"
#include "charts/FormChartInfo.h"
#include "charts/FormEditTChtURLObject.h"
#include "charts/FormEditaLogCarta.h"
#include "charts/FormEditaPosicao.h"
#include "charts/FormSelecionaRota.h"
#include "common/VrnEdit.h"
#include "engine/DateTime.h"
#include "ui/UiTestDoubles.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

namespace vrn {
namespace {

const QString kChartData = QStringLiteral(VRN_CHART_DATA_DIR);

// Runs `act` on the dialog a modal exec() shows; a dialog left open is closed after a while, so
// that a failing test cannot hang.
template <class TDialog>
void WhenModalShown(const std::function<void(TDialog &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<TDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the dialog did not become active");
        act(*dialog);
        QTimer::singleShot(3000, dialog, [dialog] { dialog->reject(); });
    });
}

template <class T>
T *Child(QWidget &parent, const char *name)
{
    return parent.findChild<T *>(QLatin1String(name));
}

void PressEnter(QWidget &dialog)
{
    QTest::keyClick(
        QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Return);
}

// Types each character into whichever field has the focus then, as the keyboard does when a
// full cell moves the focus on.
void TypeKeys(const QString &keys)
{
    for (const QChar c : keys)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void TabTimes(int n)
{
    for (int i = 0; i < n; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

} // namespace

class TChartDialogsGuiTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void MarkEditorOpensOnTheMarksIcon_data();
    void MarkEditorOpensOnTheMarksIcon();
    void MarkEditorTypedByTheKeyboard();
    void MarkEditorRefusesASeparatorAndStaysOpen();
    void PointEditorShowsTheDateOnlyForTrackPoints();
    void PointEditorTypedLatitude();
    void PointEditorClearedDateKeepsThePoint();
    void PointEditorForAReferencePoint();
    void ColourEditorShowsAndAppliesColours();
    void SelectorChoosesByName_data();
    void SelectorChoosesByName();
    void ChartInfoRowsFollowTheChart();

private:
    std::unique_ptr<TTestMessageBoxes> FBoxes;
};

void TChartDialogsGuiTest::initTestCase()
{
    AcquireMarkerBitmaps();
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
}

void TChartDialogsGuiTest::init()
{
    FBoxes = std::make_unique<TTestMessageBoxes>();
}

void TChartDialogsGuiTest::cleanup()
{
    FBoxes.reset();
}

void TChartDialogsGuiTest::MarkEditorOpensOnTheMarksIcon_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("selected");

    // A new mark carries "HAND"; a name the cache does not hold (or holds in another case: the
    // comparison is exact) selects no row.
    QTest::addRow("new mark") << "HAND"
                              << "HAND";
    QTest::addRow("rock") << "ROCK"
                          << "ROCK";
    QTest::addRow("unknown") << "NOSUCHICON" << QString();
    QTest::addRow("lower case") << "hand" << QString();
}

void TChartDialogsGuiTest::MarkEditorOpensOnTheMarksIcon()
{
    QFETCH(QString, icon);
    QFETCH(QString, selected);

    TChtURLObject mark("", icon.toStdString(), "Untitled", 0.1, 38, 25);
    QString shownSelection = QStringLiteral("<not shown>");
    QString shownLink;
    WhenModalShown<TFormEditTChtURLObject>([&](TFormEditTChtURLObject &dialog) {
        auto *icons = Child<QListWidget>(dialog, "LBIcons");
        const auto items = icons->selectedItems();
        shownSelection = items.isEmpty() ? QString() : items.front()->data(Qt::UserRole).toString();
        shownLink = Child<QLineEdit>(dialog, "EdURL")->text();
        QTest::mouseClick(Child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
    });
    TFormEditTChtURLObject dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit object"));
    QVERIFY(dialog.Execute(mark));
    QCOMPARE(shownSelection, selected);
    QCOMPARE(shownLink, QStringLiteral("http://"));
    QCOMPARE(QString::fromStdString(mark.BitmapName), icon); // kept without a new choice
    QCOMPARE(QString::fromStdString(mark.URL), QString()); // "http://" stores no link
}

void TChartDialogsGuiTest::MarkEditorTypedByTheKeyboard()
{
    TChtURLObject mark("http://old.org", "HAND", "Untitled", 0.1, 38, 25);
    QStringList focusOrder;
    WhenModalShown<TFormEditTChtURLObject>([&](TFormEditTChtURLObject &dialog) {
        focusOrder << QApplication::focusWidget()->objectName();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Horta"));
        TabTimes(1);
        focusOrder << QApplication::focusWidget()->objectName();
        auto *link = Child<QLineEdit>(dialog, "EdURL");
        link->selectAll();
        QTest::keyClick(link, Qt::Key_Delete); // an empty link is no link
        TabTimes(1);
        focusOrder << QApplication::focusWidget()->objectName();
        auto *icons = Child<QListWidget>(dialog, "LBIcons");
        // From HAND, one row down in name order is the next icon.
        QTest::keyClick(icons, Qt::Key_Down);
        TabTimes(1);
        focusOrder << QApplication::focusWidget()->objectName();
        TabTimes(1);
        focusOrder << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        PressEnter(dialog); // the focused OK
    });
    TFormEditTChtURLObject dialog;
    QVERIFY(dialog.Execute(mark));
    QCOMPARE(focusOrder, QStringList({"EdName", "EdURL", "LBIcons", "BOK", "BCancel"}));
    QCOMPARE(QString::fromStdString(mark.Name), QStringLiteral("Horta"));
    QCOMPARE(QString::fromStdString(mark.URL), QString());
    const auto names = MarkerBitmapNames();
    const auto hand = std::find(names.begin(), names.end(), "HAND");
    QVERIFY(hand != names.end() && hand + 1 != names.end());
    QCOMPARE(mark.BitmapName, *(hand + 1));
}

void TChartDialogsGuiTest::MarkEditorRefusesASeparatorAndStaysOpen()
{
    TChtURLObject mark("", "HAND", "Untitled", 0.1, 38, 25);
    bool stillOpen = false;
    WhenModalShown<TFormEditTChtURLObject>([&](TFormEditTChtURLObject &dialog) {
        QTest::keyClicks(Child<QLineEdit>(dialog, "EdName"), QStringLiteral("A;B"));
        QTest::mouseClick(Child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
        stillOpen =
            dialog.isVisible() && QApplication::focusWidget() == Child<QLineEdit>(dialog, "EdName");
        QTest::mouseClick(Child<QPushButton>(dialog, "BCancel"), Qt::LeftButton);
    });
    TFormEditTChtURLObject dialog;
    QVERIFY(!dialog.Execute(mark));
    QVERIFY(stillOpen);
    QCOMPARE(FBoxes->Texts(), QStringList({"The name cannot contain \";\"."}));
    QCOMPARE(QString::fromStdString(mark.Name), QStringLiteral("Untitled"));
}

void TChartDialogsGuiTest::PointEditorShowsTheDateOnlyForTrackPoints()
{
    TChtRoute route;
    route.AddPoint("Start", 38.5, 28.6, 0);
    TChtTrack track;
    track.AddPoint("Fix", 38.5, 28.6, EncodeDate(2024, 7, 1) + EncodeTime(14, 5, 9, 0));

    struct TSeen
    {
        QString Prompt;
        bool DateShown = false;
        QString DateText;
    };

    TSeen seen;
    auto look = [&](TFormEditaPosicao &dialog) {
        seen.Prompt = Child<QLabel>(dialog, "LPrompt")->text();
        auto *date = Child<QLineEdit>(dialog, "EdDateTime");
        seen.DateShown = date->isVisible();
        seen.DateText = date->text();
        QTest::mouseClick(Child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
    };
    TFormEditaPosicao dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit Position"));
    WhenModalShown<TFormEditaPosicao>(look);
    QVERIFY(dialog.Execute(route, 0, QStringLiteral("Edit route point")));
    QCOMPARE(seen.Prompt, QStringLiteral("Edit route point"));
    QVERIFY(!seen.DateShown);
    QCOMPARE(route.GetPoint(0).Lat, 38.5); // untouched fields keep the exact position

    WhenModalShown<TFormEditaPosicao>(look);
    QVERIFY(dialog.Execute(track, 0, QStringLiteral("Edit track point")));
    QVERIFY(seen.DateShown);
    QCOMPARE(seen.DateText, QStringLiteral("01/07/2024 14:05:09"));
    QCOMPARE(track.GetPoint(0).Time, EncodeDate(2024, 7, 1) + EncodeTime(14, 5, 9, 0));
}

void TChartDialogsGuiTest::PointEditorTypedLatitude()
{
    TChtRoute route;
    route.AddPoint("", 38 + 7.41 / 60, 28.6, 0);
    QString hint;
    WhenModalShown<TFormEditaPosicao>([&](TFormEditaPosicao &dialog) {
        hint = Child<TKaPositionEdit>(dialog, "EdLatitude")->toolTip();
        // The degrees cell has the focus and two digits: "40" fills it and moves on.
        TypeKeys(QStringLiteral("40"));
        auto *text = Child<QLineEdit>(dialog, "EdText");
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Moved"));
        PressEnter(dialog);
    });
    TFormEditaPosicao dialog;
    QVERIFY(dialog.Execute(route, 0, QStringLiteral("Edit route point")));
    QCOMPARE(hint, QStringLiteral("latitude (ex: 23°22.3 N)"));
    QVERIFY(std::fabs(route.GetPoint(0).Lat - (40 + 7.41 / 60)) < 1e-9);
    QCOMPARE(QString::fromStdString(route.GetPoint(0).Name), QStringLiteral("Moved"));
    QVERIFY(std::fabs(route.LatMax - (40 + 7.41 / 60)) < 1e-9); // the box followed
}

void TChartDialogsGuiTest::PointEditorClearedDateKeepsThePoint()
{
    TChtTrack track;
    const double when = EncodeDate(2024, 7, 1) + EncodeTime(14, 5, 9, 0);
    track.AddPoint("Fix", 38.5, 28.6, when);
    bool focusedOnDate = false;
    WhenModalShown<TFormEditaPosicao>([&](TFormEditaPosicao &dialog) {
        auto *date = Child<QLineEdit>(dialog, "EdDateTime");
        date->setFocus();
        date->selectAll();
        QTest::keyClick(date, Qt::Key_Delete);
        QTest::mouseClick(Child<QPushButton>(dialog, "BOK"), Qt::LeftButton);
        focusedOnDate = dialog.isVisible() && QApplication::focusWidget() == date;
        QTest::mouseClick(Child<QPushButton>(dialog, "BCancel"), Qt::LeftButton);
    });
    TFormEditaPosicao dialog;
    QVERIFY(!dialog.Execute(track, 0, QStringLiteral("Edit track point")));
    QVERIFY(focusedOnDate);
    QCOMPARE(FBoxes->Texts(), QStringList({"\"\" is not a valid date and time"}));
    QCOMPARE(track.GetPoint(0).Time, when);
    QCOMPARE(QString::fromStdString(track.GetPoint(0).Name), QStringLiteral("Fix"));
}

void TChartDialogsGuiTest::PointEditorForAReferencePoint()
{
    double lat = 10, lon = 20;
    bool textHidden = false;
    WhenModalShown<TFormEditaPosicao>([&](TFormEditaPosicao &dialog) {
        textHidden = !Child<QLineEdit>(dialog, "EdText")->isVisible()
            && !Child<QLineEdit>(dialog, "EdDateTime")->isVisible();
        // Latitude degrees, minutes, hundredths, hemisphere; then the longitude's degrees.
        TypeKeys(QStringLiteral("453050S"));
        PressEnter(dialog);
    });
    TFormEditaPosicao dialog;
    QVERIFY(
        dialog.ExecutePosition(lat, lon, QStringLiteral("Enter position for reference point 1")));
    QVERIFY(textHidden);
    QVERIFY2(std::fabs(lat - -(45 + 30.5 / 60)) < 1e-9, qPrintable(QString::number(lat)));
    QCOMPARE(lon, 20.0);

    WhenModalShown<TFormEditaPosicao>([&](TFormEditaPosicao &d) {
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
        QTest::mouseClick(Child<QPushButton>(d, "BCancel"), Qt::LeftButton);
    });
    QVERIFY(!dialog.ExecutePosition(lat, lon, QStringLiteral("x")));
    QCOMPARE(lon, 20.0);
}

void TChartDialogsGuiTest::ColourEditorShowsAndAppliesColours()
{
    TLogCarta chart;
    chart.SetGridColor(0x123456); // not one of the sixteen

    struct TSeen
    {
        int SeaButton = -1;
        int AfterGrid = -1;
        TColor GridAfterClick = 0;
        bool ModifiedAfterClick = false;
    };

    TSeen seen;
    WhenModalShown<TFormEditaLogCarta>([&](TFormEditaLogCarta &dialog) {
        auto checkedIndex = [&] {
            for (int i = 0; i < 16; ++i)
                if (Child<QToolButton>(dialog, qPrintable(QStringLiteral("Color%1").arg(i)))
                        ->isChecked())
                    return i;
            return -1;
        };
        seen.SeaButton = checkedIndex(); // navy, the default sea
        auto *items = Child<QListWidget>(dialog, "LBColorItems");
        items->setFocus();
        QTest::keyClick(items, Qt::Key_End); // "Grid color"
        seen.AfterGrid = checkedIndex(); // the previous selection stays
        QTest::mouseClick(Child<QToolButton>(dialog, "Color9"), Qt::LeftButton); // red
        seen.GridAfterClick = dialog.Chart()->GridColor();
        seen.ModifiedAfterClick = dialog.Chart()->IsModified();
        QTest::mouseClick(Child<QPushButton>(dialog, "BClose"), Qt::LeftButton);
    });
    QVERIFY(!chart.IsModified());
    EditColors(chart);
    QCOMPARE(seen.SeaButton, 4);
    QCOMPARE(seen.AfterGrid, 4);
    QCOMPARE(seen.GridAfterClick, TColor(0x0000FF));
    QVERIFY(seen.ModifiedAfterClick);
    QCOMPARE(chart.SeaColor(), TColor(0x800000));
}

void TChartDialogsGuiTest::SelectorChoosesByName_data()
{
    QTest::addColumn<int>("routes");
    QTest::addColumn<int>("clicked"); // the row clicked first; -1 none
    QTest::addColumn<bool>("cancel"); // then Escape instead of Enter
    QTest::addColumn<int>("chosen"); // -1: none

    QTest::addRow("empty list, OK") << 0 << -1 << false << -1;
    QTest::addRow("no row chosen, OK") << 2 << -1 << false << -1;
    QTest::addRow("first") << 3 << 0 << false << 0;
    QTest::addRow("third") << 3 << 2 << false << 2;
    QTest::addRow("cancel") << 3 << 1 << true << -1;
}

void TChartDialogsGuiTest::SelectorChoosesByName()
{
    QFETCH(int, routes);
    QFETCH(int, clicked);
    QFETCH(bool, cancel);
    QFETCH(int, chosen);

    TLogCarta chart;
    for (int i = 0; i < routes; ++i) {
        auto r = std::make_unique<TChtRoute>();
        r->Name = "Leg " + std::to_string(i + 1);
        chart.Desk().Routes.Add(std::move(r));
    }
    QString label;
    QStringList rows;
    WhenModalShown<TFormSelecionaRota>([&](TFormSelecionaRota &dialog) {
        label = Child<QLabel>(dialog, "LSelect")->text();
        auto *list = Child<QListWidget>(dialog, "LBRotas");
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        if (clicked >= 0)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                list->visualItemRect(list->item(clicked)).center());
        if (cancel)
            QTest::keyClick(list, Qt::Key_Escape);
        else
            PressEnter(dialog);
    });
    TFormSelecionaRota dialog;
    TChtRoute *route = dialog.SelectRouteToExtend(chart);
    QCOMPARE(label, QStringLiteral("Select route to add points to:"));
    QCOMPARE(rows.size(), routes);
    QCOMPARE(route, chosen < 0 ? nullptr : chart.Desk().Routes[static_cast<std::size_t>(chosen)]);
}

void TChartDialogsGuiTest::ChartInfoRowsFollowTheChart()
{
    TLogCarta chart;
    TFormChartInfo info;
    info.Fill(chart);
    QCOMPARE(Child<QLabel>(info, "LChartName")->text(), QStringLiteral("[none]"));
    QCOMPARE(Child<QLabel>(info, "LFileSize")->text(), QStringLiteral("0"));
    const QString world = kChartData + QStringLiteral("/world.cht");
    chart.LoadChart(world, false);
    info.Fill(chart);
    QCOMPARE(Child<QLabel>(info, "LChartName")->text(), QStringLiteral("world.cht"));
    QCOMPARE(Child<QLabel>(info, "LPolygons")->text(), QString::number(chart.ChartObjectCount()));
    QCOMPARE(Child<QLabel>(info, "LPoints")->text(), QString::number(chart.ChartPointCount()));
    QCOMPARE(Child<QLabel>(info, "LFileSize")->text(),
        QStringLiteral("%1 bytes").arg(QFileInfo(world).size()));
    QVERIFY(chart.ChartObjectCount() > 1000);
}

} // namespace vrn

QTEST_MAIN(vrn::TChartDialogsGuiTest)
#include "ChartDialogsGuiTest.moc"
