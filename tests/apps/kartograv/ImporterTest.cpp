// The chart image importer as a person uses it: a picture opened, reference points clicked and
// typed into the point editor, the rotation accepted, the pictures and the data file saved; the
// data file then opened and drawn by the chart viewer's own code.

#include "apps/kartograv/PictureView.h"
#include "apps/kartograv/fChartImageImporter.h"
#include "charts/ChartImageImport.h"
#include "charts/ChartRender.h"
#include "charts/KaMD5.h"
#include "charts/Mercator.h"
#include "engine/Trigonom.h"
#include "tests/apps/kartograv/KartogravTestKit.h"
#include "ui/UiTestDoubles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <numbers>

namespace vrn {

using testing::ClickButton;
using testing::ClickPicture;
using testing::EnterPosition;
using testing::TGeoPicture;
using testing::TModalAnswers;

class TImporterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void RoundTripThroughTheChartViewer_data();
    void RoundTripThroughTheChartViewer();
    void DegenerateReferencePointsStartAgain();
    void VerificationClick();
    void RotatedPictureMustBeSavedFirst();
    void BadPictures_data();
    void BadPictures();
    void GridAndRevert();
    void OpenCidShowsItsValues();
    void Screenshot();

private:
    QString Write(const TGeoPicture &p, const QString &name);
    // Opens a picture and clicks its first three dots as reference points; when the picture
    // leans, the rotation is accepted or declined.
    void Calibrate(const TGeoPicture &p, const QString &file, bool acceptRotation = true,
        bool saveRotated = false, const QString &rotatedName = QString());
    QPushButton *Button(const char *name) const;
    QString Status() const;

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TTestSettingsFolder> FFolder;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TModalAnswers> FModals;
    std::unique_ptr<TFormImportChartImage> FForm;
    TPictureView *FView = nullptr;
};

void TImporterTest::initTestCase()
{
    FFolder = std::make_unique<TTestSettingsFolder>();
    QVERIFY(FFolder->IsValid());
}

void TImporterTest::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FModals = std::make_unique<TModalAnswers>();
    FForm = std::make_unique<TFormImportChartImage>();
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
    FView = FForm->findChild<TPictureView *>();
    QVERIFY(FView);
}

void TImporterTest::cleanup()
{
    QVERIFY2(FModals->Unexpected.isEmpty(), qPrintable(FModals->Unexpected.join(", ")));
    FForm.reset();
    FModals.reset();
    FFiles.reset();
    FBoxes.reset();
    FDir.reset();
}

QString TImporterTest::Write(const TGeoPicture &p, const QString &name)
{
    const QString file = FDir->filePath(name);
    WritePictureFile(file.toStdString(), p.Draw());
    return file;
}

QPushButton *TImporterTest::Button(const char *name) const
{
    return FForm->findChild<QPushButton *>(QString::fromLatin1(name));
}

QString TImporterTest::Status() const
{
    return FForm->findChild<QLabel *>(QStringLiteral("LStatus"))->text();
}

TGeoPicture Geo(bool mercator, double turnDeg)
{
    TGeoPicture p;
    p.Mercator = mercator;
    p.TurnRad = turnDeg * std::numbers::pi / 180;
    p.Dots = TGeoPicture::SpreadDots(p);
    return p;
}

void TImporterTest::Calibrate(const TGeoPicture &p, const QString &file, bool acceptRotation,
    bool saveRotated, const QString &rotatedName)
{
    FFiles->Answers << file;
    QTest::mouseClick(Button("BOpenImage"), Qt::LeftButton);
    QCOMPARE(Status(), QStringLiteral("Click reference point 1"));
    auto *mercator = FForm->findChild<QCheckBox *>(QStringLiteral("CBMercatorLatScale"));
    if (mercator->isChecked() != p.Mercator)
        QTest::mouseClick(mercator, Qt::LeftButton);
    const bool leans = p.TurnRad != 0;
    if (leans) {
        FBoxes->Answers << (acceptRotation ? QMessageBox::Yes : QMessageBox::No);
        if (acceptRotation)
            FBoxes->Answers << (saveRotated ? QMessageBox::Yes : QMessageBox::No);
        if (saveRotated)
            FFiles->Answers << rotatedName;
    }
    for (int i = 0; i < 3; ++i) {
        const auto [x, y] = p.PixelOf(p.Dots[i].Lat, p.Dots[i].Lon);
        QString prompt;
        FModals->Expect(QStringLiteral("FormEditaPosicao"),
            EnterPosition(p.Dots[i].Lat, p.Dots[i].Lon, &prompt));
        if (i == 2 && (!leans || acceptRotation))
            FModals->Expect(QStringLiteral("FormImageImportStatus"), ClickButton("BClose"));
        ClickPicture(FView, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
        QCOMPARE(prompt, QStringLiteral("Enter position for reference point %1").arg(i + 1));
    }
    QVERIFY(FModals->AllAnswered());
    QVERIFY(FForm->Picture().IsCalibrated());
}

void TImporterTest::RoundTripThroughTheChartViewer_data()
{
    QTest::addColumn<bool>("mercator");
    QTest::addColumn<double>("turnDeg");
    QTest::addColumn<QString>("extension");
    QTest::addRow("plain, north-up, BMP") << false << 0.0 << ".bmp";
    QTest::addRow("plain, turned 3 degrees, BMP") << false << 3.0 << ".bmp";
    QTest::addRow("Mercator, turned -2.5 degrees, JPEG") << true << -2.5 << ".jpg";
}

void TImporterTest::RoundTripThroughTheChartViewer()
{
    QFETCH(bool, mercator);
    QFETCH(double, turnDeg);
    QFETCH(QString, extension);
    const TGeoPicture p = Geo(mercator, turnDeg);
    const QString source = Write(p, QStringLiteral("scan") + extension);
    const std::string md5 = MD5OfFile(source.toStdString());
    const QString rotated = FDir->filePath(QStringLiteral("scan-ns") + extension);
    Calibrate(p, source, true, true, rotated);
    if (turnDeg != 0) {
        // The angle found from the clicked (whole) pixels is the construction's within 0.05°.
        const QString question =
            FBoxes->Texts().filter(QStringLiteral("needs to be rotated")).value(0);
        QVERIFY2(question.startsWith(QStringLiteral("Image needs to be rotated ")),
            qPrintable(question));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("rotated (-?[0-9.]+)°")).match(question);
        const double found = m.captured(1).toDouble();
        QVERIFY2(std::fabs(found - turnDeg) < 0.05, qPrintable(question));
        // "Save Image As" proposed "<name>-ns<ext>", never the source.
        QCOMPARE(FFiles->Requests.last().Folder, rotated);
        QVERIFY(QFile::exists(rotated));
    }
    const QString cid = FDir->filePath(QStringLiteral("chart.CID"));
    FFiles->Answers << cid;
    QTest::mouseClick(Button("BSaveCID"), Qt::LeftButton);
    QVERIFY2(QFile::exists(cid), qPrintable(FBoxes->Texts().join("|")));
    QCOMPARE(MD5OfFile(source.toStdString()), md5);

    // The chart viewer's code draws the chart picture at the scale of the picture.
    TChartScene scene;
    scene.Load(cid.toStdString());
    const int w = 600, h = 450;
    // Centred on the middle row of the picture, by its construction.
    const double midY = 225.0 / (p.PxPerDeg * 180 / std::numbers::pi);
    const double latC = mercator
        ? 2 * std::atan(std::exp(MercatorY(p.LatTop) - midY)) * 180 / std::numbers::pi - 90
        : p.LatTop - 225 / p.PxPerDeg;
    const TChartViewSpec view {latC, 3.5, w / p.PxPerDeg};
    const QImage image = scene.Render(view, w, h, false);
    TPainterSurface surface;
    surface.SetSize(w, h);
    surface.Escala.SetView(view.LatC, view.LonC, view.LonSpan);
    TExBitmap drawn(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            drawn.SetPixel(x, y, qRed(c), qGreen(c), qBlue(c));
        }
    for (const auto &dot : p.Dots) {
        const auto found = testing::FindDot(drawn, dot.Colour, 50);
        QVERIFY2(found,
            qPrintable(QStringLiteral("dot %1 %2 %3")
                           .arg(dot.Colour.R)
                           .arg(dot.Colour.G)
                           .arg(dot.Colour.B)));
        const TScreenPointF at = surface.Escala.World2ScreenF(dot.Lat, dot.Lon);
        const double error = std::hypot(at.X - found->first, at.Y - found->second);
        QVERIFY2(error < 2.0, qPrintable(QStringLiteral("%1 pixels off").arg(error)));
    }
}

void TImporterTest::DegenerateReferencePointsStartAgain()
{
    const TGeoPicture p = Geo(false, 0);
    FFiles->Answers << Write(p, QStringLiteral("p.bmp"));
    QTest::mouseClick(Button("BOpenImage"), Qt::LeftButton);
    // Three points on one parallel.
    const int xs[3] = {100, 300, 500};
    for (int i = 0; i < 3; ++i) {
        FModals->Expect(QStringLiteral("FormEditaPosicao"), EnterPosition(49, 4 - i));
        ClickPicture(FView, xs[i], 200 + 10 * i);
    }
    QCOMPARE(FBoxes->Texts().last(), QStringLiteral("Invalid reference points. Try again"));
    QCOMPARE(Status(), QStringLiteral("Click reference point 3"));
    QVERIFY(!FForm->Picture().IsCalibrated());
    QString prompt;
    FModals->Expect(QStringLiteral("FormEditaPosicao"), EnterPosition(49, 4, &prompt, true));
    ClickPicture(FView, 50, 50);
    QCOMPARE(prompt, QStringLiteral("Enter position for reference point 1"));
    // A click outside the picture is ignored.
    QTest::mouseClick(FView->Canvas(), Qt::LeftButton, {}, QPoint(700, 10));
    QVERIFY(FModals->AllAnswered());
}

void TImporterTest::VerificationClick()
{
    const TGeoPicture p = Geo(false, 0);
    Calibrate(p, Write(p, QStringLiteral("p.bmp")));
    const auto &dot = p.Dots[3];
    const auto [x, y] = p.PixelOf(dot.Lat, dot.Lon);
    QString prompt;
    FModals->Expect(QStringLiteral("FormEditaPosicao"), EnterPosition(dot.Lat, dot.Lon, &prompt));
    ClickPicture(FView, static_cast<int>(std::lround(x)) + 3, static_cast<int>(std::lround(y)));
    QCOMPARE(prompt, QStringLiteral("Enter position for verification point"));
    const QString text = FBoxes->Texts().last();
    QVERIFY2(text.startsWith(QStringLiteral("Verification point\nClicked point x=%1  y=%2")
                                 .arg(std::lround(x) + 3)
                                 .arg(std::lround(y))),
        qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral(" : acceptable")), qPrintable(text));
    // Mouse moves read the position: 200 pixels per degree south of 50N.
    const int my = static_cast<int>(y);
    QTest::mouseMove(FView->Canvas(), QPoint(static_cast<int>(x), my));
    auto *lLat = FForm->findChild<QLabel *>(QStringLiteral("LLat"));
    QTRY_VERIFY(lLat->text().endsWith(QStringLiteral("'N")));
    const double shownLat = ParseAngleText(lLat->text().toStdString());
    QVERIFY2(std::fabs(shownLat - (50 - my / 200.0)) < 0.005, qPrintable(lLat->text()));
}

void TImporterTest::RotatedPictureMustBeSavedFirst()
{
    const TGeoPicture p = Geo(false, 3);
    const QString source = Write(p, QStringLiteral("scan.bmp"));
    Calibrate(p, source, true, false);
    QVERIFY(Button("BSaveImageAs")->isEnabled());
    FFiles->Answers << FDir->filePath(QStringLiteral("c.CID"));
    QTest::mouseClick(Button("BSaveCID"), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts().last(),
        QStringLiteral("The image was rotated. You need to save it before savind the CID"));
    QVERIFY(!QFile::exists(FDir->filePath(QStringLiteral("c.CID"))));
    FFiles->Answers << source; // over the source: refused
    QTest::mouseClick(Button("BSaveImageAs"), Qt::LeftButton);
    QVERIFY(FBoxes->Texts().last().startsWith(QStringLiteral("The picture is not written over")));
    FFiles->Answers << FDir->filePath(QStringLiteral("other.gif"));
    QTest::mouseClick(Button("BSaveImageAs"), Qt::LeftButton);
    QVERIFY(!Button("BSaveImageAs")->isEnabled());
    FFiles->Answers << FDir->filePath(QStringLiteral("c.CID"));
    QTest::mouseClick(Button("BSaveCID"), Qt::LeftButton);
    QVERIFY(QFile::exists(FDir->filePath(QStringLiteral("c.CID"))));
    // "Rotate to NS" again: already aligned.
    QTest::mouseClick(Button("BRotateToNS"), Qt::LeftButton);
    QCOMPARE(FBoxes->Texts().last(), QStringLiteral("Image is already aligned with direction N-S"));
}

void TImporterTest::BadPictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QByteArray huge("BM");
    huge += QByteArray(52, '\0');
    huge[10] = 54;
    huge[14] = 40;
    huge[18] = char(0x40); // width 0x40000 = 262144
    huge[20] = 4;
    huge[22] = char(0x40); // height 262144
    huge[24] = 4;
    huge[26] = 1;
    huge[28] = 24;
    const std::string jpeg = EncodeJpeg(TExBitmap(64, 64));
    QTest::addRow("truncated JPEG") << "cut.jpg" << QByteArray(jpeg.data(), 300) << "Error loading";
    QTest::addRow("empty GIF") << "empty.gif" << QByteArray() << "";
    QTest::addRow("huge BMP header") << "huge.bmp" << huge << "too large";
    QTest::addRow("text named .bmp") << "text.bmp" << QByteArray("hello\n") << "";
}

void TImporterTest::BadPictures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    // A good picture first: a failed open must return to the start state.
    const TGeoPicture p = Geo(false, 0);
    Calibrate(p, Write(p, QStringLiteral("good.bmp")));
    QFile f(FDir->filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    FFiles->Answers << f.fileName();
    const int shown = FBoxes->Shown.size();
    QTest::mouseClick(Button("BOpenImage"), Qt::LeftButton);
    QCOMPARE(FBoxes->Shown.size(), shown + 1);
    QVERIFY2(FBoxes->Texts().last().contains(message), qPrintable(FBoxes->Texts().last()));
    QCOMPARE(Status(), QStringLiteral("Load chart image"));
    QVERIFY(!FView->HasPicture());
    QVERIFY(!FForm->Picture().IsCalibrated());
    QCOMPARE(QFileInfo(f.fileName()).size(), bytes.size());
}

void TImporterTest::GridAndRevert()
{
    TGeoPicture p = Geo(false, 0);
    p.Background = 0x808080;
    Calibrate(p, Write(p, QStringLiteral("p.bmp")));
    auto *combo = FForm->findChild<QComboBox *>(QStringLiteral("ComboGridFrequency"));
    QCOMPARE(combo->currentText(), QStringLiteral("1°"));
    combo->setCurrentIndex(2); // 30'
    QTest::mouseClick(Button("BGrid"), Qt::LeftButton);
    // 200 pixels per degree from 50N 5W: the meridians of 4.5W..2W and the parallels of
    // 49.5N..48N lie every 100 pixels (the reference pixels were rounded: within a pixel).
    const QImage &shown = FView->Display();
    auto whiteNear = [&](int x, int y, bool alongX) {
        for (int d = -1; d <= 1; ++d)
            if (shown.pixelColor(alongX ? x + d : x, alongX ? y : y + d) == QColor(Qt::white))
                return true;
        return false;
    };
    for (int x = 100; x <= 500; x += 100)
        QVERIFY2(whiteNear(x, 333, true), qPrintable(QString::number(x)));
    for (int y = 100; y <= 400; y += 100)
        QVERIFY2(whiteNear(333, y, false), qPrintable(QString::number(y)));
    QCOMPARE(shown.pixelColor(150, 333), QColor(0x80, 0x80, 0x80));
    QTest::mouseClick(Button("BRevert"), Qt::LeftButton);
    QCOMPARE(FView->Display().pixelColor(100, 333), QColor(0x80, 0x80, 0x80));
}

void TImporterTest::OpenCidShowsItsValues()
{
    const TGeoPicture p = Geo(true, 0);
    const QString picture = Write(p, QStringLiteral("m.bmp"));
    TCalibrationRequest r;
    r.Picture = picture.toStdString();
    r.CidFile = FDir->filePath(QStringLiteral("m.CID")).toStdString();
    r.Mercator = true;
    r.Description = "Mercator sample";
    for (int i = 0; i < 3; ++i) {
        const auto [x, y] = p.PixelOf(p.Dots[i].Lat, p.Dots[i].Lon);
        r.Ref[i] = {x, y, p.Dots[i].Lat, p.Dots[i].Lon};
    }
    CalibrateChartImage(r);
    auto *mercator = FForm->findChild<QCheckBox *>(QStringLiteral("CBMercatorLatScale"));
    QTest::mouseClick(mercator, Qt::LeftButton);
    QVERIFY(!mercator->isChecked());
    FFiles->Answers << QString::fromStdString(r.CidFile);
    QString ns;
    FModals->Expect(QStringLiteral("FormImageImportStatus"), [&](QDialog &d) {
        ns = d.findChild<QLabel *>(QStringLiteral("LNS"))->text();
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("BClose")), Qt::LeftButton);
    });
    QTest::mouseClick(Button("BOpenCID"), Qt::LeftButton);
    QVERIFY(FModals->AllAnswered());
    QCOMPARE(ns, QStringLiteral("Image doesn't need rotation to align NS with vertical"));
    QCOMPARE(Status(), QStringLiteral("Scale set."));
    QVERIFY(mercator->isChecked());
    QCOMPARE(FForm->findChild<QLineEdit *>(QStringLiteral("EdImageDescription"))->text(),
        QStringLiteral("Mercator sample"));
    // The data file is proposed for "Save CID".
    FFiles->Answers << QString();
    QTest::mouseClick(Button("BSaveCID"), Qt::LeftButton);
    QCOMPARE(FFiles->Requests.last().Folder, QString::fromStdString(r.CidFile));
}

void TImporterTest::Screenshot()
{
    // A chart picture drawn from the world coastline (the English Channel) on a Mercator axis,
    // calibrated by three clicks, with its 1° grid.
    QImage chart;
    const std::array<TChartPoint, 3> ref = {
        {{0, 0, 51.0, 3.0}, {0, 0, 51.0, 0.0}, {0, 0, 49.8, 3.0}}};
    std::array<TChartPoint, 3> clicks = ref;
    const QString file =
        testing::ChannelChart(FDir->filePath(QStringLiteral("channel.jpg")), clicks);
    FFiles->Answers << file;
    QTest::mouseClick(Button("BOpenImage"), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        FModals->Expect(QStringLiteral("FormEditaPosicao"), EnterPosition(ref[i].Lat, ref[i].Lon));
        if (i == 2)
            FModals->Expect(QStringLiteral("FormImageImportStatus"), [](QDialog &d) {
                // No text of the box is cut at the default font.
                for (auto *l : d.findChildren<QLabel *>())
                    QVERIFY(l->width() >= l->sizeHint().width());
                const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
                if (!folder.isEmpty())
                    d.grab().save(folder + QStringLiteral("/kartograv-import-status.png"));
                QTest::mouseClick(
                    d.findChild<QPushButton *>(QStringLiteral("BClose")), Qt::LeftButton);
            });
        ClickPicture(FView, int(std::lround(clicks[i].X)), int(std::lround(clicks[i].Y)));
    }
    QVERIFY(FModals->AllAnswered());
    QCOMPARE(Status(), QStringLiteral("Chart scale set"));
    QTest::mouseClick(Button("BGrid"), Qt::LeftButton);
    // The meridian of Greenwich, between the second and the third reference point's rows.
    const int x0 = int(std::lround(clicks[1].X));
    const int yMid = int(std::lround((clicks[1].Y + clicks[2].Y) / 2));
    bool white = false;
    for (int d = -1; d <= 1; ++d)
        white = white || FView->Display().pixelColor(x0 + d, yMid) == QColor(Qt::white);
    QVERIFY(white);
    FForm->resize(1200, 720);
    QTest::mouseMove(FView->Canvas(), QPoint(x0 - 40, yMid));
    QTest::qWait(50);
    const QString folder = qEnvironmentVariable("VRN_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        QVERIFY(FForm->grab().save(folder + QStringLiteral("/kartograv-importer.png")));
}

} // namespace vrn

QTEST_MAIN(vrn::TImporterTest)
#include "ImporterTest.moc"
