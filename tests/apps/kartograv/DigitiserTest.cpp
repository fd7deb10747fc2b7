// The vector chart digitiser as a person uses it: a picture, three reference points typed into
// the point editor, vertices clicked, a polygon named in the input box, the chart saved and
// appended; the chart then read by the chart viewer's reader and drawn by its code.

#include "apps/kartograv/ColorPalette.h"
#include "apps/kartograv/PictureView.h"
#include "apps/kartograv/fChtMak.h"
#include "charts/ChartDialogs.h"
#include "charts/ChartRender.h"
#include "charts/ChtFile.h"
#include "tests/apps/kartograv/KartogravTestKit.h"
#include "ui/UiTestDoubles.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cmath>
#include <memory>

namespace vrn {

using testing::ClickPicture;
using testing::EnterPosition;
using testing::TGeoPicture;
using testing::TModalAnswers;
using testing::TypeText;

class TDigitiserTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void CoastlineOpensInTheChartViewer();
    void AppendAddsOnlyNewPolygons();
    void EditCommands();
    void ExitAsksOnlyWithWork();
    void CancelledEntries();
    void UnreadablePictureReturnsToTheStart();
    void Screenshot();

private:
    void Trigger(const char *action);
    // Opens the test picture (200 pixels per degree from 50N 5W) and sets the scale from three
    // clicked points.
    void ScaleFromThreePoints();
    void Digitise(const QList<QPoint> &vertices, const QString &name);
    QString Label(const char *name) const;
    QString ReadFile(const QString &path) const;

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TModalAnswers> FModals;
    std::unique_ptr<TFormDigitalizadorDeCharts> FForm;
    TPictureView *FView = nullptr;
    TGeoPicture FPicture;
};

void TDigitiserTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
    FPicture.Dots = TGeoPicture::SpreadDots(FPicture);
}

void TDigitiserTest::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FModals = std::make_unique<TModalAnswers>();
    FForm = std::make_unique<TFormDigitalizadorDeCharts>();
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
    FView = FForm->findChild<TPictureView *>();
    QVERIFY(FView);
}

void TDigitiserTest::cleanup()
{
    QVERIFY2(FModals->Unexpected.isEmpty(), qPrintable(FModals->Unexpected.join(", ")));
    FBoxes->Answers << QMessageBox::Yes; // an "Exit?" at the end
    FForm.reset();
    FModals.reset();
    FFiles.reset();
    FBoxes.reset();
    FDir.reset();
}

void TDigitiserTest::Trigger(const char *action)
{
    auto *a = FForm->findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY2(a, action);
    a->trigger();
}

QString TDigitiserTest::Label(const char *name) const
{
    return FForm->findChild<QLabel *>(QString::fromLatin1(name))->text();
}

QString TDigitiserTest::ReadFile(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

void TDigitiserTest::ScaleFromThreePoints()
{
    const QString file = FDir->filePath(QStringLiteral("scan.bmp"));
    WritePictureFile(file.toStdString(), FPicture.Draw());
    FFiles->Answers << file;
    Trigger("LoadImage1");
    QCOMPARE(Label("LStatus"), QStringLiteral("Click reference point 1"));
    // Pixels (100, 100), (500, 100), (100, 400): 49.5N 4.5W, 49.5N 2.5W, 48N 4.5W.
    const double ref[3][4] = {{100, 100, 49.5, 4.5}, {500, 100, 49.5, 2.5}, {100, 400, 48, 4.5}};
    for (int i = 0; i < 3; ++i) {
        QString prompt;
        FModals->Expect(
            QStringLiteral("FormEditaPosicao"), EnterPosition(ref[i][2], ref[i][3], &prompt));
        ClickPicture(FView, int(ref[i][0]), int(ref[i][1]));
        QCOMPARE(prompt, QStringLiteral("Enter position for reference point %1").arg(i + 1));
    }
    QCOMPARE(Label("LStatus"), QStringLiteral("Scale set. Digitalize chart"));
}

void TDigitiserTest::Digitise(const QList<QPoint> &vertices, const QString &name)
{
    for (const QPoint &v : vertices)
        ClickPicture(FView, v.x(), v.y());
    QCOMPARE(Label("LPoints"), QStringLiteral("Points: %1").arg(vertices.size()));
    FModals->Expect(QStringLiteral("Input"), TypeText(name));
    QTest::mouseClick(
        FForm->findChild<QPushButton *>(QStringLiteral("BCompletaPoli")), Qt::LeftButton);
    QVERIFY(FModals->AllAnswered());
    QCOMPARE(Label("LPoints"), QStringLiteral("Points: 0"));
}

void TDigitiserTest::CoastlineOpensInTheChartViewer()
{
    FForm->findChild<QCheckBox *>(QStringLiteral("CBMercator"))->setChecked(false);
    QTest::mouseClick(FForm->findChild<QCheckBox *>(QStringLiteral("CBMercator")), Qt::LeftButton);
    QTest::mouseClick(FForm->findChild<QCheckBox *>(QStringLiteral("CBMercator")), Qt::LeftButton);
    QVERIFY(!FForm->Digitiser().Mercator());
    ScaleFromThreePoints();
    // Outline red (palette index 9, left click), fill green (index 2, right click).
    auto *palette = FForm->findChild<TColorPalette *>(QStringLiteral("ColorGrid"));
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->CellRect(9).center());
    QTest::mouseClick(palette, Qt::RightButton, {}, palette->CellRect(2).center());
    const QList<QPoint> island = {{300, 200}, {400, 250}, {350, 350}, {250, 300}};
    Digitise(island, QStringLiteral("Test Isle"));
    QCOMPARE(Label("LPolys"), QStringLiteral("Polys: 1"));
    // Filled yellow on the picture.
    QCOMPARE(FView->Display().pixelColor(330, 280), QColor(255, 255, 0));

    const QString chart = FDir->filePath(QStringLiteral("coast.cht"));
    FFiles->Answers << chart;
    Trigger("Savechartas1");
    QVERIFY2(QFile::exists(chart), qPrintable(FBoxes->Texts().join("|")));
    QCOMPARE(Label("LStatus"), QStringLiteral("1 polygon(s) written to coast.cht"));

    // The chart viewer's reader: the same vertices, 200 pixels per degree from 50N 5W.
    const TChartFileContents back = ReadChartFile(chart.toStdString());
    QCOMPARE(back.Objects.Count(), std::size_t(1));
    const auto *polygon = dynamic_cast<const TChtPolygon *>(back.Objects[0]);
    QVERIFY(polygon);
    QCOMPARE(QString::fromStdString(polygon->Name), QStringLiteral("Test Isle"));
    QCOMPARE(polygon->Color, kStandardColors[9]);
    QCOMPARE(polygon->BGColor, kStandardColors[2]);
    QCOMPARE(polygon->Points.size(), std::size_t(island.size()));
    for (int i = 0; i < island.size(); ++i) {
        QVERIFY(std::fabs(polygon->Points[i].Lat - (50 - island[i].y() / 200.0)) < 1e-5);
        QVERIFY(std::fabs(polygon->Points[i].Lon - (5 - island[i].x() / 200.0)) < 1e-5);
    }
    // And its drawing code fills the island.
    TChartScene scene;
    scene.Load(chart.toStdString());
    const QImage drawn = scene.Render({48.75, 3.25, 1.0}, 400, 400, false);
    QCOMPARE(drawn.pixelColor(200, 200), QColor(0, 0x80, 0));
}

void TDigitiserTest::AppendAddsOnlyNewPolygons()
{
    ScaleFromThreePoints();
    Digitise({{300, 200}, {400, 250}, {350, 350}}, QStringLiteral("A"));
    // No target yet: append asks for the file and never truncates it.
    const QString chart = FDir->filePath(QStringLiteral("old.cht"));
    QFile old(chart);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("O;Polygon;Old\r\nP;1;2");
    old.close();
    FFiles->Answers << chart;
    Trigger("Append1");
    QVERIFY(
        ReadFile(chart).startsWith(QStringLiteral("O;Polygon;Old\r\nP;1;2\r\nO;Polygon;A\r\n")));
    Trigger("Append1"); // nothing new
    QCOMPARE(ReadFile(chart).count(QStringLiteral("O;Polygon;A")), 1);
    QCOMPARE(Label("LStatus"), QStringLiteral("0 polygon(s) written to old.cht"));
    // An open polygon is closed first when the user says so.
    for (const QPoint &v : QList<QPoint> {{100, 300}, {150, 350}, {120, 380}})
        ClickPicture(FView, v.x(), v.y());
    FBoxes->Answers << QMessageBox::Yes;
    FModals->Expect(QStringLiteral("Input"), TypeText(QStringLiteral("B")));
    Trigger("Append1");
    QVERIFY(FBoxes->Texts().contains(
        QStringLiteral("Last polygon open. Close and add to the chart? ")));
    QCOMPARE(ReadFile(chart).count(QStringLiteral("O;Polygon;")), 3);
    // Save rewrites the file with the header and both polygons.
    Trigger("SaveChart1");
    const QString saved = ReadFile(chart);
    QVERIFY(saved.startsWith(QStringLiteral(";----")));
    QCOMPARE(saved.count(QStringLiteral("\nO;Polygon;")), 2); // the header has an example too
}

void TDigitiserTest::EditCommands()
{
    ScaleFromThreePoints();
    ClickPicture(FView, 300, 300);
    Trigger("Deletelastpoint1");
    QCOMPARE(Label("LPoints"), QStringLiteral("Points: 0"));
    Trigger("Deletelastpoint1"); // nothing to delete: no error
    QCOMPARE(FBoxes->Shown.size(), 0);
    // Draw Axis: the parallel of 49N lies at y = 200, drawn red.
    Trigger("Drawaxis1");
    QCOMPARE(FView->Display().pixelColor(450, 200), QColor(255, 0, 0));
    QCOMPARE(FView->Display().pixelColor(450, 210), QColor(255, 255, 255));
    Digitise({{300, 200}, {400, 250}}, QString());
    Trigger("Resetchart1");
    QCOMPARE(Label("LPolys"), QStringLiteral("Polys: 0"));
    FFiles->Answers << FDir->filePath(QStringLiteral("none.cht"));
    Trigger("Savechartas1");
    QCOMPARE(FBoxes->Texts().last(), QStringLiteral("No polygons defined"));
    QVERIFY(!QFile::exists(FDir->filePath(QStringLiteral("none.cht"))));
}

void TDigitiserTest::ExitAsksOnlyWithWork()
{
    Trigger("Exit1");
    QVERIFY(!FForm->isVisible());
    QCOMPARE(FBoxes->Shown.size(), 0);
    FForm->show();
    ScaleFromThreePoints();
    ClickPicture(FView, 300, 300);
    FBoxes->Answers << QMessageBox::No;
    Trigger("Exit1");
    QCOMPARE(FBoxes->Texts().last(), QStringLiteral("Exit?"));
    QVERIFY(FForm->isVisible());
}

void TDigitiserTest::CancelledEntries()
{
    const QString file = FDir->filePath(QStringLiteral("scan.bmp"));
    WritePictureFile(file.toStdString(), FPicture.Draw());
    FFiles->Answers << file;
    Trigger("LoadImage1");
    FModals->Expect(QStringLiteral("FormEditaPosicao"), EnterPosition(49, 4, nullptr, true));
    ClickPicture(FView, 100, 100);
    QCOMPARE(FForm->Digitiser().RefCount(), 0);
    ScaleFromThreePoints();
    ClickPicture(FView, 300, 300);
    FModals->Expect(QStringLiteral("Input"), TypeText(QString(), true));
    QTest::mouseClick(
        FForm->findChild<QPushButton *>(QStringLiteral("BCompletaPoli")), Qt::LeftButton);
    const QString chart = FDir->filePath(QStringLiteral("c.cht"));
    FFiles->Answers << chart;
    Trigger("Savechartas1");
    QVERIFY(ReadFile(chart).contains(QStringLiteral("O;Polygon;\r\n")));
    // Save As over an existing file asks first; No keeps it.
    FFiles->Answers << chart;
    FBoxes->Answers << QMessageBox::No;
    const QString before = ReadFile(chart);
    Trigger("Savechartas1");
    QCOMPARE(
        FBoxes->Texts().last(), QStringLiteral("File %1 already exists. Overwrite? ").arg(chart));
    QCOMPARE(ReadFile(chart), before);
}

void TDigitiserTest::UnreadablePictureReturnsToTheStart()
{
    ScaleFromThreePoints();
    const QString bad = FDir->filePath(QStringLiteral("bad.gif"));
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIF89a\x10\x00");
    f.close();
    FFiles->Answers << bad;
    Trigger("LoadImage1");
    QCOMPARE(FBoxes->Shown.size(), 1);
    QCOMPARE(Label("LStatus"), QStringLiteral("Load chart image"));
    QVERIFY(!FView->HasPicture());
    QCOMPARE(FForm->Digitiser().RefCount(), 0);
}

void TDigitiserTest::Screenshot()
{
    // The English Channel: the Isle of Wight traced and closed, the Cotentin coast begun.
    std::array<TChartPoint, 3> ref = {{{0, 0, 51.0, 3.0}, {0, 0, 51.0, 0.0}, {0, 0, 49.8, 3.0}}};
    const std::array<TChartPoint, 3> positions = ref;
    FFiles->Answers << testing::ChannelChart(FDir->filePath(QStringLiteral("channel.jpg")), ref);
    Trigger("LoadImage1");
    for (int i = 0; i < 3; ++i) {
        FModals->Expect(
            QStringLiteral("FormEditaPosicao"), EnterPosition(positions[i].Lat, positions[i].Lon));
        ClickPicture(FView, int(std::lround(ref[i].X)), int(std::lround(ref[i].Y)));
    }
    QCOMPARE(Label("LStatus"), QStringLiteral("Scale set. Digitalize chart"));
    auto pixelOf = [&](double lat, double lon) {
        const auto p = FForm->Digitiser().WorldToImage(lat, lon);
        return QPoint(p->X, p->Y);
    };
    const double wight[][2] = {{50.767, 1.55}, {50.76, 1.30}, {50.73, 1.15}, {50.67, 1.07},
        {50.59, 1.22}, {50.60, 1.45}, {50.66, 1.59}};
    QList<QPoint> island;
    for (const auto &v : wight)
        island << pixelOf(v[0], v[1]);
    Digitise(island, QStringLiteral("Isle of Wight"));
    const QPoint inside = pixelOf(50.68, 1.30);
    QCOMPARE(FView->Display().pixelColor(inside), QColor(255, 255, 0));
    for (const auto &v :
        {std::array<double, 2> {49.72, 1.94}, {49.69, 1.70}, {49.67, 1.45}, {49.66, 1.26}})
        ClickPicture(FView, pixelOf(v[0], v[1]).x(), pixelOf(v[0], v[1]).y());
    FForm->resize(1200, 720);
    QTest::mouseMove(FView->Canvas(), pixelOf(50.2, 1.0));
    QTest::qWait(50);
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        QVERIFY(FForm->grab().save(folder + QStringLiteral("/kartograv-digitiser.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TDigitiserTest)
#include "DigitiserTest.moc"
