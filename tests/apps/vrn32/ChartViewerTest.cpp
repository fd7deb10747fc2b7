// The chart viewer as a sailor uses it: menus, tool bar and keys on the real widgets, desktops
// opened and saved through the file dialog seam, questions answered through the message seam,
// the mouse drawing on the chart, the chart images page, the overlay handed over by the
// celestial navigation window, printing to PDF, and the settings kept between runs.

#include "apps/vrn32/fchvrn32.h"
#include "celestial/VrnCalc.h"
#include "charts/Dcarta.h"
#include "engine/DateTime.h"
#include "tests/ui/PdfText.h"
#include "ui/PrintJob.h"
#include "ui/UiTestDoubles.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>

namespace vrn {
namespace {

const QString kSource = QStringLiteral(VRN_SOURCE_DIR);

// Runs `act` on the modal window of type T that the next exec() shows; a window left open is
// closed after a while so that a failing test cannot hang.
template <class T>
void WhenModalShown(std::function<void(T &)> act)
{
    QTimer::singleShot(0, [act] {
        auto *w = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!w)
            return;
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the modal window did not become active");
        act(*w);
        QTimer::singleShot(3000, w, [w] { w->close(); });
    });
}

// The name a finished route or track is asked for, typed and confirmed with Enter.
void AnswerNameWith(const QString &name)
{
    WhenModalShown<QInputDialog>([name](QInputDialog &dialog) {
        auto *field = dialog.findChild<QLineEdit *>();
        field->selectAll();
        QTest::keyClicks(field, name);
        QTest::keyClick(field, Qt::Key_Return);
    });
}

QString ReadText(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

void WriteText(const QString &file, const QByteArray &text)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

int CountPixels(const QImage &image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// A LOP from an assumed position in open water west of the Azores (38°N 35°W: no coast, whose
// yellow would mix with the LOP's), all ticked.
constexpr double kApLat = 38;
constexpr double kApLon = 35;

TLOPRecord Lop(const char *star, double azimuthDeg, double interceptNm)
{
    TLOPRecord lop;
    lop.ObjectName = star;
    lop.APLat = kApLat;
    lop.APLon = kApLon;
    lop.Azimuth = azimuthDeg;
    lop.Intercept = interceptNm;
    lop.Selected = true;
    lop.GMTDay = 21;
    lop.GMTMonth = 6;
    lop.GMTYear = 2024;
    return lop;
}

} // namespace

class TChartViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void FirstShowOpensTheWorldAndOffersTheSample();
    void ToolsAreOneGroupForMenuAndToolBar();
    void MnemonicsAreUniqueAndTabFollowsReadingOrder();
    void DesktopRoundTripWithMouseAndDialogs();
    void ChangedDesktopQuestion_data();
    void ChangedDesktopQuestion();
    void ExitQuestionRepeatsUntilSavedOrNo();
    void SaveAsAsksBeforeOverwriting();
    void ChartImageThatFailsIsKeptAndWrittenBack();
    void ChartImagesPage();
    void OpenChartImageAsksToCentre();
    void ScrollBarsFollowAndMoveTheView();
    void CelestialOverlayOfAThreeStarFix();
    void LineOfPositionOverlayWithoutALop();
    void MarksDeleteAndNewRoute();
    void RecentDesktops();
    void LocationPanelAndStartFile();
    void PrintsToPdf();
    void Screenshots();

private:
    QString Fixture(const QString &name, const QByteArray &text);
    void ShowViewer();
    QAction *Action(const char *name) const;

    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TFormCartaVrn> FViewer;
};

void TChartViewerTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    QApplication::setApplicationName(QStringLiteral("Varunel"));
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
}

void TChartViewerTest::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    for (const char *name : {"EnglishChannel.CID", "EnglishChannel.jpg"})
        QVERIFY(QFile::copy(kSource + QStringLiteral("/share/desktops/") + QLatin1String(name),
            FDir->filePath(QLatin1String(name))));
    WriteText(FDir->filePath(QStringLiteral("small.cht")),
        "O;Polygon;Wight\r\nP;50.75;1.55\r\nP;50.58;1.10\r\nP;50.72;1.05\r\n");
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
}

void TChartViewerTest::cleanup()
{
    FViewer.reset();
    FFiles.reset();
    FBoxes.reset();
    FDir.reset();
    QSettings(QSettings::UserScope, QStringLiteral("Pelvarq"), QStringLiteral("Varunel")).clear();
}

QString TChartViewerTest::Fixture(const QString &name, const QByteArray &text)
{
    const QString file = FDir->filePath(name);
    WriteText(file, text);
    return file;
}

void TChartViewerTest::ShowViewer()
{
    FViewer = std::make_unique<TFormCartaVrn>();
    FViewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(FViewer.get()));
    // The world is opened once the window has its size.
    QTRY_VERIFY(!FViewer->Chart().Desk().ChartFileName.empty());
}

QAction *TChartViewerTest::Action(const char *name) const
{
    return FViewer->findChild<QAction *>(QLatin1String(name));
}

void TChartViewerTest::FirstShowOpensTheWorldAndOffersTheSample()
{
    ShowViewer();
    QCOMPARE(FViewer->windowTitle(), QStringLiteral("Varunel Chart Viewer"));
    QVERIFY(QString::fromStdString(FViewer->Chart().Desk().ChartFileName)
                .endsWith(QStringLiteral("charts/data/world.cht")));
    QVERIFY(FViewer->Chart().ChartObjectCount() > 5000);
    QVERIFY(!FViewer->Chart().IsModified()); // where the program starts is no change
    QCOMPARE(FViewer->Chart().Escala().LonSpan, 360.0);
    const QStringList recent = FViewer->RecentDesktops();
    QCOMPARE(recent.size(), 1);
    QVERIFY(recent[0].endsWith(QStringLiteral("share/desktops/Sample.vrn")));
    // Every window fits the smallest screen the program runs on.
    QVERIFY(FViewer->minimumSizeHint().width() <= 1280);
    QVERIFY(FViewer->minimumSizeHint().height() <= 720);

    // The sample opens from the recent list with its chart image, route, track and marks.
    Action("PChartViewSettingsMRU1")->trigger();
    const TChartDesk &desk = FViewer->Chart().Desk();
    QCOMPARE(desk.ChartImages.Count(), std::size_t(1));
    QVERIFY(desk.ChartImages[0]->Loaded());
    QCOMPARE(desk.Routes.Count(), std::size_t(1));
    QCOMPARE(desk.Tracks.Count(), std::size_t(1));
    QCOMPARE(desk.OtherObjects.Count(), std::size_t(3));
    QVERIFY(FBoxes->Shown.isEmpty());
    QCOMPARE(FViewer->Chart().Escala().LatC, 50.05);
}

void TChartViewerTest::ToolsAreOneGroupForMenuAndToolBar()
{
    ShowViewer();
    auto *tools = FViewer->findChild<QToolBar *>(QStringLiteral("tools"));
    QMenu *toolsMenu = FViewer->findChild<QMenu *>(QStringLiteral("Tools1"));
    QVERIFY(tools && toolsMenu);

    struct TRow
    {
        const char *Action;
        TTipoFerramentaCarta Tool;
    };

    const TRow rows[] = {
        {"Measure1", TTipoFerramentaCarta::fcMeasure},
        {"ToolsRoutes", TTipoFerramentaCarta::fcRoute},
        {"ToolTracks", TTipoFerramentaCarta::fcTrack},
        {"ToolMarks", TTipoFerramentaCarta::fcObjects},
        {"ToolCursor", TTipoFerramentaCarta::fcPointName},
        {"Dragchart1", TTipoFerramentaCarta::fcHandDrag},
        {"Zoom1", TTipoFerramentaCarta::fcZoom},
    };
    QVERIFY(Action("Zoom1")->isChecked()); // pressed at start
    for (const TRow &r : rows) {
        QAction *a = Action(r.Action);
        QVERIFY2(a, r.Action);
        // The tool bar button and the menu entry are the same action.
        QVERIFY(toolsMenu->actions().contains(a));
        auto *button = qobject_cast<QToolButton *>(tools->widgetForAction(a));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(FViewer->Chart().Ferramenta(), r.Tool);
        int checked = 0;
        for (QAction *other : a->actionGroup()->actions())
            checked += other->isChecked();
        QCOMPARE(checked, 1);
        QVERIFY(a->isChecked());
    }
    // "Add" of the Marks menu presses the mark tool button.
    Action("Add1")->trigger();
    QVERIFY(Action("ToolMarks")->isChecked());
    // The grid box and the menu entry follow each other.
    auto *grid = FViewer->findChild<QCheckBox *>(QStringLiteral("CBShowGrid"));
    QTest::mouseClick(grid, Qt::LeftButton);
    QVERIFY(!FViewer->Chart().ShowGrid());
    QVERIFY(!Action("ShowGrid1")->isChecked());
    Action("ShowGrid1")->trigger();
    QVERIFY(grid->isChecked());
    QVERIFY(FViewer->Chart().ShowGrid());
    QCOMPARE(Action("Zoom1")->toolTip(), QStringLiteral("zoom tool \n(right click to zoom out)"));
}

void TChartViewerTest::MnemonicsAreUniqueAndTabFollowsReadingOrder()
{
    ShowViewer();
    FViewer->findChild<QToolBar *>(QStringLiteral("location"))->show();
    FViewer->ShowEditor();
    // Alt+letter of the menu bar, the buttons, boxes and labels with buddies, all at once.
    QMap<QChar, QString> letters;
    auto take = [&](const QString &text, const QString &who) {
        const int at = text.indexOf(QLatin1Char('&'));
        if (at < 0 || at + 1 >= text.size() || text[at + 1] == QLatin1Char('&'))
            return;
        const QChar letter = text[at + 1].toLower();
        QVERIFY2(!letters.contains(letter),
            qPrintable(QStringLiteral("%1 and %2 share Alt+%3").arg(letters[letter], who, letter)));
        letters[letter] = who;
    };
    for (QAction *a : FViewer->menuBar()->actions())
        take(a->text(), a->text());
    for (QAbstractButton *b : FViewer->findChildren<QAbstractButton *>())
        if (b->isVisibleTo(FViewer.get()) && !qobject_cast<QToolButton *>(b))
            take(b->text(), b->objectName());
    for (QLabel *l : FViewer->findChildren<QLabel *>())
        if (l->buddy())
            take(l->text(), l->objectName());
    QVERIFY(letters.size() >= 10);

    // From the grid box, Tab goes left to right along the tool bars (the disabled "Stop
    // download" is passed over), then to the chart.
    FViewer->findChild<QCheckBox *>(QStringLiteral("CBShowGrid"))->setFocus();
    QStringList order {QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order,
        QStringList({"CBShowGrid", "CBToggleProperties", "EdLocation", "BRefresca", "Chart"}));
}

void TChartViewerTest::DesktopRoundTripWithMouseAndDialogs()
{
    ShowViewer();
    const QString file = Fixture(QStringLiteral("passage.vrn"),
        "O;Chart;small.cht;  50.60000;   1.30000;   1.20000\r\n\r\n"
        "O;ImgChart;\r\nA;CIDFile=EnglishChannel.CID\r\nA;Visible=FALSE\r\nA;Opacity=100\r\n\r\n");
    FFiles->Answers << file;
    Action("OpenVrnDesktop1")->trigger();
    QCOMPARE(FFiles->Requests.size(), 1);
    QCOMPARE(FFiles->Requests[0].Filter, QStringLiteral("Varunel Desktop files (*.vrn *.VRN)"));
    TLogCarta &chart = FViewer->Chart();
    QCOMPARE(chart.DesktopFileName(), file);
    QCOMPARE(chart.ChartObjectCount(), std::size_t(1));
    QCOMPARE(FViewer->RecentDesktops().value(0), file);

    // A route of three points drawn with the mouse, ended with the right button and named.
    Action("ToolsRoutes")->trigger();
    for (const QPoint p : {QPoint(100, 100), QPoint(300, 180), QPoint(420, 320)})
        QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, p);
    AnswerNameWith(QStringLiteral("Yarmouth run"));
    QTest::mouseClick(&chart, Qt::RightButton, Qt::NoModifier, QPoint(420, 320));
    QCOMPARE(chart.Desk().Routes.Count(), std::size_t(1));
    QCOMPARE(QString::fromStdString(chart.Desk().Routes[0]->Name), QStringLiteral("Yarmouth run"));
    QCOMPARE(chart.Desk().Routes[0]->PointCount(), std::size_t(3));
    double lat0 = 0, lon0 = 0;
    chart.Screen2World(100, 100, lat0, lon0);

    // A mark placed with the mark tool and named in its dialog.
    Action("ToolMarks")->trigger();
    WhenModalShown<QDialog>([](QDialog &dialog) {
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("EdName"));
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Hurst light"));
        QTest::keyClick(name, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("http://www.hurst.org"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, QPoint(500, 120));
    QCOMPARE(chart.Desk().OtherObjects.Count(), std::size_t(1));
    QVERIFY(chart.IsModified());

    // Saved to its own file, opened again elsewhere and back: the same objects.
    Action("SaveVrnDesktop1")->trigger();
    QVERIFY(!chart.IsModified());
    const QString text = ReadText(file);
    QVERIFY(text.contains(QStringLiteral("O;Route;Yarmouth run\r\n")));
    QVERIFY(text.contains(QStringLiteral(";Hurst light;")));
    QVERIFY(FViewer->OpenDesktop(Fixture(QStringLiteral("other.vrn"), "O;Route;X\r\nP;1;1\r\n")));
    QCOMPARE(chart.Desk().Routes.Count(), std::size_t(1));
    QVERIFY(FViewer->OpenDesktop(file));
    QCOMPARE(chart.Desk().Routes.Count(), std::size_t(1));
    const TChtRoute &route = *chart.Desk().Routes[0];
    QCOMPARE(route.PointCount(), std::size_t(3));
    QVERIFY(std::fabs(route.Points[0].Lat - lat0) < 1e-5
        && std::fabs(route.Points[0].Lon - lon0) < 1e-5);
    const auto *mark = dynamic_cast<const TChtURLObject *>(chart.Desk().OtherObjects[0]);
    QVERIFY(mark);
    QCOMPARE(QString::fromStdString(mark->Name), QStringLiteral("Hurst light"));
    QCOMPARE(QString::fromStdString(mark->URL), QStringLiteral("http://www.hurst.org"));
    QCOMPARE(chart.Desk().ChartImages.Count(), std::size_t(1));
    QVERIFY(FBoxes->Shown.isEmpty());

    // A click on the mark with the mark tool edits it.
    chart.Redraw(true, true);
    const TScreenPoint at = chart.World2Screen(mark->Lat, mark->Lon);
    WhenModalShown<QDialog>([](QDialog &dialog) {
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("EdName"));
        QCOMPARE(name->text(), QStringLiteral("Hurst light"));
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Hurst Point"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, QPoint(at.X, at.Y));
    QCOMPARE(chart.Desk().OtherObjects.Count(), std::size_t(1));
    QCOMPARE(QString::fromStdString(mark->Name), QStringLiteral("Hurst Point"));
    QVERIFY(chart.IsModified());

    // A route from elsewhere (the leg calculator's) joins the desktop.
    auto legs = std::make_unique<TChtRoute>();
    legs->AddPoint("", 50.7, 1.4, 0);
    legs->AddPoint("", 50.2, 1.0, 0);
    QVERIFY(FViewer->AddRoute(std::move(legs)) == chart.Desk().Routes[1]);
}

void TChartViewerTest::ChangedDesktopQuestion_data()
{
    QTest::addColumn<bool>("named"); // the desktop has its own file
    QTest::addColumn<int>("answer"); // QMessageBox::Yes or No
    QTest::addColumn<bool>("saveAsGiven"); // the Save As dialog is answered (else cancelled)
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");

    QTest::addRow("unnamed, No") << false << int(QMessageBox::No) << false << true << false;
    QTest::addRow("unnamed, Yes, saved as")
        << false << int(QMessageBox::Yes) << true << true << true;
    // A cancelled Save As stops the command: the changes are still there to save.
    QTest::addRow("unnamed, Yes, Save As cancelled")
        << false << int(QMessageBox::Yes) << false << false << false;
    QTest::addRow("named, Yes") << true << int(QMessageBox::Yes) << false << true << true;
    QTest::addRow("named, No") << true << int(QMessageBox::No) << false << true << false;
}

void TChartViewerTest::ChangedDesktopQuestion()
{
    QFETCH(bool, named);
    QFETCH(int, answer);
    QFETCH(bool, saveAsGiven);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);

    ShowViewer();
    TLogCarta &chart = FViewer->Chart();
    const QString own = Fixture(QStringLiteral("own.vrn"), "O;Route;Old\r\nP;1;1\r\n");
    if (named)
        QVERIFY(FViewer->OpenDesktop(own));
    QVERIFY(FViewer->AskSaveDesktop()); // nothing changed: no question
    QVERIFY(FBoxes->Shown.isEmpty());
    chart.Desk().RoutesModified = true;

    const QString target = FDir->filePath(QStringLiteral("new")); // ".vrn" is added
    if (saveAsGiven)
        FFiles->Answers << target;
    FBoxes->Answers << QMessageBox::StandardButton(answer);
    const QString next = Fixture(QStringLiteral("next.vrn"), "O;Route;Next\r\nP;2;2\r\n");
    const bool opened = FViewer->OpenDesktop(next);
    QCOMPARE(opened, goesOn);
    QCOMPARE(FBoxes->Texts().value(0),
        named ? QStringLiteral("Desktop %1 changed. Save?").arg(own)
              : QStringLiteral("Desktop changed. Save?"));
    if (!goesOn) {
        QVERIFY(chart.IsModified());
        QCOMPARE(chart.DesktopFileName(), QString());
    }
    if (named)
        QCOMPARE(ReadText(own).contains(QStringLiteral("A;Color=")), saved); // written by us
    else
        QCOMPARE(QFile::exists(target + QStringLiteral(".vrn")), saved);
}

void TChartViewerTest::ExitQuestionRepeatsUntilSavedOrNo()
{
    ShowViewer();
    FViewer->Chart().Desk().TracksModified = true;
    // Yes with a cancelled Save As, Yes with a cancelled Save As again, then No.
    FBoxes->Answers << QMessageBox::Yes << QMessageBox::Yes << QMessageBox::No;
    FViewer->AskSaveDesktopAtExit();
    QCOMPARE(FBoxes->Texts(), QStringList(3, QStringLiteral("Desktop changed. Save?")));
    QCOMPARE(FFiles->Requests.size(), 2);
    QCOMPARE(FFiles->Requests[0].Filter, QStringLiteral("Varunel Desktop File (*.vrn *.VRN)"));
    QCOMPARE(FFiles->Requests[0].DefaultSuffix, QStringLiteral("vrn"));
    QVERIFY(!FFiles->Requests[0].ConfirmOverwrite);
}

void TChartViewerTest::SaveAsAsksBeforeOverwriting()
{
    ShowViewer();
    const QString existing = Fixture(QStringLiteral("kept.vrn"), "O;Route;Kept\r\nP;1;1\r\n");
    FViewer->Chart().Desk().RoutesModified = true;
    FFiles->Answers << FDir->filePath(QStringLiteral("kept")); // ".vrn" added before asking
    FBoxes->Answers << QMessageBox::No;
    QVERIFY(!FViewer->SaveVrnDesktopAs1Click());
    QCOMPARE(FBoxes->Texts(),
        QStringList({QStringLiteral("File %1 already exists. Overwrite? ").arg(existing)}));
    QCOMPARE(ReadText(existing), QStringLiteral("O;Route;Kept\r\nP;1;1\r\n"));
    QVERIFY(FViewer->Chart().IsModified());
    QCOMPARE(FViewer->Chart().DesktopFileName(), QString());

    FFiles->Answers << existing;
    FBoxes->Answers << QMessageBox::Yes;
    QVERIFY(FViewer->SaveVrnDesktopAs1Click());
    QVERIFY(!FViewer->Chart().IsModified());
    QCOMPARE(FViewer->Chart().DesktopFileName(), existing);
    QVERIFY(ReadText(existing).startsWith(QStringLiteral("O;Chart;"))); // the world's block

    // A folder that cannot be written: the error is shown, the name and the flags stay.
    FViewer->Chart().Desk().RoutesModified = true;
    FFiles->Answers << FDir->filePath(QStringLiteral("no/such/folder/x.vrn"));
    QVERIFY(!FViewer->SaveVrnDesktopAs1Click());
    QVERIFY(FBoxes->Texts().last().startsWith(QStringLiteral("Error creating file ")));
    QCOMPARE(FViewer->Chart().DesktopFileName(), existing);
    QVERIFY(FViewer->Chart().IsModified());
}

void TChartViewerTest::ChartImageThatFailsIsKeptAndWrittenBack()
{
    ShowViewer();
    QVERIFY(QFile::remove(FDir->filePath(QStringLiteral("EnglishChannel.jpg"))));
    const QByteArray block =
        "O;ImgChart;\r\nA;CIDFile=EnglishChannel.CID\r\nA;Visible=TRUE\r\nA;Opacity=70\r\n\r\n";
    const QString file = Fixture(QStringLiteral("missing.vrn"),
        block
            + "O;Route;R\r\nA;Color=$000000FF\r\nA;Visible=TRUE\r\nP;  50.00000;   "
              "1.00000;\r\n\r\n");
    QVERIFY(FViewer->OpenDesktop(file));
    // Reported once, after the load, by data file and cause.
    QCOMPARE(FBoxes->Shown.size(), 1);
    QVERIFY(FBoxes->Texts()[0].startsWith(
        QStringLiteral("Chart image %1 could not be loaded: ")
            .arg(FDir->filePath(QStringLiteral("EnglishChannel.CID")))));
    FViewer->ShowEditor();
    auto *list = FViewer->findChild<QListWidget *>(QStringLiteral("LBChartImages"));
    QCOMPARE(list->count(), 1);
    FViewer->Chart().Desk().RoutesModified = true;
    QVERIFY(FViewer->SaveVrnDesktop1Click());
    QVERIFY(ReadText(file).contains(QString::fromLatin1(block)));
}

void TChartViewerTest::ChartImagesPage()
{
    ShowViewer();
    const QByteArray image = "O;ImgChart;\r\nA;CIDFile=EnglishChannel.CID\r\nA;Visible=TRUE\r\n";
    QVERIFY(FViewer->OpenDesktop(Fixture(QStringLiteral("two.vrn"),
        image + "A;Opacity=40\r\n\r\n" + image + "A;Opacity=100\r\nA;DrawOutline=FALSE\r\n\r\n")));
    auto *properties = FViewer->findChild<QCheckBox *>(QStringLiteral("CBToggleProperties"));
    QTest::mouseClick(properties, Qt::LeftButton);
    auto *tabs = FViewer->findChild<QTabWidget *>(QStringLiteral("PageControlEditor"));
    QVERIFY(tabs->isVisible());
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("Routes/Tracks")); // first
    tabs->setCurrentIndex(1);
    auto *list = FViewer->findChild<QListWidget *>(QStringLiteral("LBChartImages"));
    auto *count = FViewer->findChild<QLabel *>(QStringLiteral("LChartImagesCount"));
    auto *slider = FViewer->findChild<QSlider *>(QStringLiteral("TBOpacity"));
    auto *opacity = FViewer->findChild<QLabel *>(QStringLiteral("LOpacity"));
    auto *outline = FViewer->findChild<QCheckBox *>(QStringLiteral("CBDrawOutline"));
    auto *visible = FViewer->findChild<QCheckBox *>(QStringLiteral("CBChartVisible"));
    auto &images = FViewer->Chart().Desk().ChartImages;
    QCOMPARE(count->text(), QStringLiteral("Chart Images : 2"));
    QCOMPARE(list->currentRow(), 0); // the first visible one
    QCOMPARE(opacity->text(), QStringLiteral("40 %"));
    QCOMPARE(FViewer->findChild<QLabel *>(QStringLiteral("LDescr"))->text(),
        QStringLiteral("English Channel (sample)"));
    QCOMPARE(FViewer->findChild<QLabel *>(QStringLiteral("LCIDFile"))->text(),
        QStringLiteral("EnglishChannel.CID"));
    QCOMPARE(FViewer->findChild<QLabel *>(QStringLiteral("LImage"))->text(),
        QStringLiteral("EnglishChannel.jpg"));

    // The arrow keys move the slider by 5 and stop at 100 and 0.
    slider->setFocus();
    for (int i = 0; i < 14; ++i)
        QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(images[0]->Opacity, 100);
    for (int i = 0; i < 25; ++i)
        QTest::keyClick(slider, Qt::Key_Left);
    QCOMPARE(images[0]->Opacity, 0);
    QCOMPARE(opacity->text(), QStringLiteral("0 %"));
    QVERIFY(FViewer->Chart().IsModified());
    QTest::mouseClick(FViewer->findChild<QPushButton *>(QStringLiteral("BOpaque")), Qt::LeftButton);
    QCOMPARE(images[0]->Opacity, 100);

    // "Move up" on the first and "down" on the last do nothing; down moves and keeps it selected.
    TChtChartImage *first = images[0];
    auto *up = FViewer->findChild<QPushButton *>(QStringLiteral("BMoveChartUp"));
    auto *down = FViewer->findChild<QPushButton *>(QStringLiteral("BMoveChartDown"));
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(images[0], first);
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(images[1], first);
    QCOMPARE(list->currentRow(), 1);
    QVERIFY(outline->isChecked());
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(images[1], first);

    // A click on the icon column toggles "Visible" of that entry and selects it.
    const QRect row0 = list->visualItemRect(list->item(0));
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, row0.center().y()));
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(!images[0]->Visible);
    QVERIFY(!visible->isChecked());
    QVERIFY(!outline->isChecked()); // the second image of the file
    QTest::mouseClick(outline, Qt::LeftButton);
    QVERIFY(images[0]->DrawOutline);

    // Delete asks with the description; No keeps it, Yes removes it.
    auto *remove = FViewer->findChild<QPushButton *>(QStringLiteral("BDeleteChartImage"));
    FBoxes->Answers << QMessageBox::No << QMessageBox::Yes;
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(images.Count(), std::size_t(2));
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(images.Count(), std::size_t(1));
    QCOMPARE(images[0], first);
    QCOMPARE(FBoxes->Texts().value(0),
        QStringLiteral("Remove \"English Channel (sample)\" from desktop ?"));
    QCOMPARE(count->text(), QStringLiteral("Chart Images : 1"));

    // Centre on the selected chart: the centre of its picture.
    FBoxes->Answers << QMessageBox::Yes;
    QTest::mouseClick(
        FViewer->findChild<QPushButton *>(QStringLiteral("BCenterOnChart")), Qt::LeftButton);
    QCOMPARE(
        FBoxes->Texts().last(), QStringLiteral("Center desktop on \"English Channel (sample)\" ?"));
    // The sample's corners: 51.736373..47.868791 N, 6.5..-1.492 W (tools/make-sample-desktop.py).
    QVERIFY(std::fabs(FViewer->Chart().Escala().LonC - (6.5 + -1.492) / 2) < 0.01);
    QVERIFY(std::fabs(FViewer->Chart().Escala().LatC - (51.736373 + 47.868791) / 2) < 0.01);

    QTest::mouseClick(properties, Qt::LeftButton);
    QVERIFY(!tabs->isVisible());
}

void TChartViewerTest::OpenChartImageAsksToCentre()
{
    ShowViewer();
    FFiles->Answers << FDir->filePath(QStringLiteral("EnglishChannel.CID"));
    FBoxes->Answers << QMessageBox::Yes;
    Action("OpenRasterChart1")->trigger();
    QCOMPARE(FFiles->Requests[0].Filter, QStringLiteral("Chart Image Data (*.cid *.CID)"));
    QCOMPARE(FBoxes->Texts(), QStringList({"Center desktop on the chart?"}));
    const auto &images = FViewer->Chart().Desk().ChartImages;
    QCOMPARE(images.Count(), std::size_t(1));
    QVERIFY(images[0]->Visible);
    QVERIFY(FViewer->Chart().Desk().ChartImagesModified);
    QVERIFY(std::fabs(FViewer->Chart().Escala().LatC - (51.736373 + 47.868791) / 2) < 0.01);
    // The picture is drawn where it belongs once the background render has finished.
    QTRY_VERIFY(images[0]->Rendered.has_value());

    FFiles->Answers << FDir->filePath(QStringLiteral("small.cht")); // not a chart image
    Action("OpenRasterChart1")->trigger();
    QCOMPARE(images.Count(), std::size_t(1));
    QCOMPARE(FBoxes->Shown.size(), 2); // the reader's refusal
}

void TChartViewerTest::ScrollBarsFollowAndMoveTheView()
{
    ShowViewer();
    auto *lon = FViewer->findChild<QScrollBar *>(QStringLiteral("ScrollLon"));
    auto *lat = FViewer->findChild<QScrollBar *>(QStringLiteral("ScrollLat"));
    QCOMPARE(lon->minimum(), -1800);
    QCOMPARE(lat->maximum(), 900);
    int scaleChanges = 0;
    connect(&FViewer->Chart(), &TLogCarta::OnChangeScale, this, [&] { ++scaleChanges; });
    // 38.55 N 28.25 W: west and north are at the left and top ends (tenths, halves to even).
    FViewer->Chart().SetViewAndClear(38.55, 28.25, 2);
    QCOMPARE(lon->value(), -282);
    QCOMPARE(lat->value(), -386);
    QCOMPARE(FViewer->findChild<QLabel *>(QStringLiteral("LLonC"))->text(),
        QStringLiteral("28°15.00'W"));
    QCOMPARE(FViewer->findChild<QLabel *>(QStringLiteral("LLatC"))->text(),
        QStringLiteral("38°33.00'N"));
    scaleChanges = 0;
    // A click on the right arrow is a tenth of a degree east; it redraws without a scale event.
    QTest::mouseClick(
        lon, Qt::LeftButton, Qt::NoModifier, QPoint(lon->width() - 4, lon->height() / 2));
    QCOMPARE(lon->value(), -281);
    QCOMPARE(FViewer->Chart().Escala().LonC, 28.1);
    QCOMPARE(FViewer->ViewLonC(), 28.1);
    QCOMPARE(scaleChanges, 0);
    QTest::mouseClick(
        lat, Qt::LeftButton, Qt::NoModifier, QPoint(lat->width() / 2, lat->height() - 4));
    QCOMPARE(FViewer->Chart().Escala().LatC, 38.5);
}

void TChartViewerTest::CelestialOverlayOfAThreeStarFix()
{
    ShowViewer();
    TChartHandOver h;
    h.Mode = TChartOverlayMode::AstronomicalPosition;
    h.AP = {kApLat, kApLon};
    h.LOPs = {Lop("Vega", 0, 5), Lop("Deneb", 120, 5), Lop("Altair", 240, 5)};
    h.Fix = TLatLon {38.02, 35.01};
    h.ViewCentre = *h.Fix;
    FViewer->hide();
    FViewer->ShowCelestialOverlay(h);
    QVERIFY(FViewer->isVisible());
    QCOMPARE(FViewer->windowTitle(), QStringLiteral("Astronomical Position Chart"));
    QCOMPARE(FViewer->OverlayMode(), TChartOverlayMode::AstronomicalPosition);
    QCOMPARE(FViewer->Chart().Escala().LatC, 38.02);
    QCOMPARE(FViewer->Chart().Escala().LonSpan, 1.665);
    QTRY_VERIFY(CountPixels(FViewer->Chart().Picture(), QColor(0, 255, 255)) > 300); // aqua
    // Redrawn with the chart: a zoom keeps the overlay.
    FViewer->Chart().Redraw(true, true);
    QVERIFY(CountPixels(FViewer->Chart().Picture(), QColor(0, 255, 255)) > 300);
}

void TChartViewerTest::LineOfPositionOverlayWithoutALop()
{
    ShowViewer();
    TChartHandOver h;
    h.Mode = TChartOverlayMode::LineOfPosition;
    h.AP = {kApLat, kApLon};
    h.ViewCentre = h.AP;
    FViewer->ShowCelestialOverlay(h);
    QCOMPARE(FViewer->windowTitle(), QStringLiteral("Line of Position Chart"));
    const QImage only = FViewer->Chart().Picture();
    QCOMPARE(CountPixels(only, QColor(255, 255, 0)), 0); // no LOP in yellow
    h.CurrentLOP = Lop("Sun", 200, 10);
    FViewer->ShowCelestialOverlay(h);
    QVERIFY(CountPixels(FViewer->Chart().Picture(), QColor(255, 255, 0)) > 100);
    h.Mode = TChartOverlayMode::None;
    FViewer->ShowCelestialOverlay(h);
    QCOMPARE(FViewer->windowTitle(), QStringLiteral("Chart"));
}

void TChartViewerTest::MarksDeleteAndNewRoute()
{
    ShowViewer();
    Action("Delete1")->trigger();
    QCOMPARE(FBoxes->Texts(), QStringList({"No marks defined"}));
    FViewer->Chart().Desk().OtherObjects.Add(
        std::make_unique<TChtURLObject>("", "ROCK", "Shambles", 0.1, 50.5, 2.3));
    WhenModalShown<QDialog>([](QDialog &dialog) {
        auto *list = dialog.findChild<QListWidget *>(QStringLiteral("LBRotas"));
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Return);
    });
    Action("Delete1")->trigger();
    QVERIFY(FViewer->Chart().Desk().OtherObjects.Empty());
    QVERIFY(FViewer->Chart().IsModified());

    // "New Route" ends the route being drawn first, says how to draw, and presses the tool.
    FViewer->Chart().Desk().AddCurrentRoutePoint(50, 2);
    AnswerNameWith(QStringLiteral("Unfinished"));
    Action("NewRoute1")->trigger();
    QCOMPARE(
        FBoxes->Texts().last(), QStringLiteral("Left click route points.\nRight click to end."));
    QCOMPARE(FViewer->Chart().Desk().Routes.Count(), std::size_t(1));
    QCOMPARE(FViewer->Chart().CurrentRoute()->PointCount(), std::size_t(0));
    QVERIFY(Action("ToolsRoutes")->isChecked());
    Action("Newtrack1")->trigger();
    QCOMPARE(
        FBoxes->Texts().last(), QStringLiteral("Left click track points.\nRight click to end."));
    QCOMPARE(FViewer->Chart().Ferramenta(), TTipoFerramentaCarta::fcTrack);
}

void TChartViewerTest::RecentDesktops()
{
    ShowViewer();
    const QString a = Fixture(QStringLiteral("a & b.vrn"), "O;Route;A\r\nP;1;1\r\n");
    const QString b = Fixture(QStringLiteral("b.vrn"), "O;Route;B\r\nP;1;1\r\n");
    FFiles->Answers << a << b << a;
    for (int i = 0; i < 3; ++i)
        Action("OpenVrnDesktop1")->trigger();
    QStringList recent = FViewer->RecentDesktops();
    QCOMPARE(recent.mid(0, 2), QStringList({a, b})); // moved up, not doubled
    QVERIFY(Action("PChartViewSettingsMRU1")->text().startsWith(QStringLiteral("&1 ")));
    QVERIFY(Action("PChartViewSettingsMRU1")->text().contains(QStringLiteral("&&")));

    // Kept between runs.
    FViewer.reset();
    ShowViewer();
    QCOMPARE(FViewer->RecentDesktops().mid(0, 2), QStringList({a, b}));
    // A desktop gone from the disk: "not found", and it leaves the list.
    QVERIFY(QFile::remove(a));
    Action("PChartViewSettingsMRU1")->trigger();
    QCOMPARE(FBoxes->Texts(), QStringList({QStringLiteral("File %1 not found").arg(a)}));
    QVERIFY(!FViewer->RecentDesktops().contains(a));
}

void TChartViewerTest::LocationPanelAndStartFile()
{
    const QString desk = Fixture(QStringLiteral("fetched.vrn"), "O;Route;Far\r\nP;1;1\r\n");
    const QString start = Fixture(QStringLiteral("start.txt"), desk.toUtf8() + "\r\nnext line\r\n");
    FViewer = std::make_unique<TFormCartaVrn>();
    FViewer->SetStartLocationFile(start);
    FViewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(FViewer.get()));
    auto *panel = FViewer->LocationPanel();
    QTRY_VERIFY(panel->isVisible());
    QCOMPARE(FViewer->LocationField()->text(), desk);
    QCOMPARE(FViewer->Chart().DesktopFileName(), desk);

    // Typed and Enter: a local chart; a fetcher set by the transfer replaces it.
    FViewer->LocationField()->setFocus();
    FViewer->LocationField()->selectAll();
    QTest::keyClicks(FViewer->LocationField(), FDir->filePath(QStringLiteral("small.cht")));
    QTest::keyClick(FViewer->LocationField(), Qt::Key_Return);
    QCOMPARE(FViewer->Chart().ChartObjectCount(), std::size_t(1));
    QStringList fetched;
    int stops = 0;
    FViewer->SetLocationFetcher([&](const QString &l) { fetched << l; }, [&] { ++stops; });
    QTest::keyClick(FViewer->LocationField(), Qt::Key_Return);
    QTest::mouseClick(FViewer->RefreshButton(), Qt::LeftButton);
    QTest::keyClick(FViewer->LocationField(), Qt::Key_Escape);
    QCOMPARE(fetched.size(), 2);
    QCOMPARE(stops, 1);

    // An empty start file starts nothing.
    FViewer = std::make_unique<TFormCartaVrn>();
    FViewer->SetStartLocationFile(Fixture(QStringLiteral("empty.txt"), ""));
    FViewer->show();
    QTRY_VERIFY(!FViewer->Chart().Desk().ChartFileName.empty());
    QVERIFY(!FViewer->LocationPanel()->isVisible());
}

void TChartViewerTest::PrintsToPdf()
{
    if (!PdfTextAvailable())
        QSKIP("pdftotext is not installed");
    ShowViewer();
    const QString pdf = FDir->filePath(QStringLiteral("chart.pdf"));
    FFiles->Answers << pdf;
    Action("SaveChartPdf1")->trigger();
    const QString text = PdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Varunel - www.pelvarq.com")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("45°N")));
    QCOMPARE(PdfSheetCount(text), 1);

    // "Print chart" through the printer dialog gives the same page.
    TTestPrinterDialog printers;
    const QString printed = FDir->filePath(QStringLiteral("printed.pdf"));
    printers.Answers << printed;
    Action("BPrintChart")->trigger();
    QCOMPARE(printers.Shown, 1);
    QCOMPARE(PdfWords(PdfText(printed)), PdfWords(text));
}

void TChartViewerTest::Screenshots()
{
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("VRN_SCREENSHOT_DIR names the folder for the screenshots");
    ShowViewer();
    FViewer->resize(1280, 720);
    QTest::qWait(200);
    QVERIFY(FViewer->grab().save(folder + QStringLiteral("/chart-viewer-world.png")));
    Action("PChartViewSettingsMRU1")->trigger();
    FViewer->ShowEditor();
    FViewer->findChild<QTabWidget *>(QStringLiteral("PageControlEditor"))->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(FViewer->Chart().Desk().ChartImages[0]->Rendered.has_value(), 10000);
    QTest::qWait(200);
    QVERIFY(FViewer->grab().save(folder + QStringLiteral("/chart-viewer-raster-route.png")));
    FViewer->HideEditor();
    TChartHandOver h;
    h.Mode = TChartOverlayMode::AstronomicalPosition;
    h.AP = {kApLat, kApLon};
    h.LOPs = {Lop("Vega", 10, 4.2), Lop("Deneb", 130, -3.1), Lop("Altair", 250, 2.4)};
    std::vector<std::string> report;
    const TFixResult fix = CrossLOPs(h.LOPs, "", report);
    h.Fix = TLatLon {fix.Lat, fix.Lon};
    h.ViewCentre = h.AP;
    FViewer->ShowCelestialOverlay(h);
    QTest::qWait(200);
    QVERIFY(FViewer->grab().save(folder + QStringLiteral("/chart-viewer-fix.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TChartViewerTest)
#include "ChartViewerTest.moc"
