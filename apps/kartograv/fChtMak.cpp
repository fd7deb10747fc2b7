#include "apps/kartograv/fChtMak.h"

#include "apps/kartograv/ColorPalette.h"
#include "apps/kartograv/PictureView.h"
#include "apps/kartograv/PositionPrompt.h"
#include "engine/Trigonom.h"
#include "ui/FileDialogs.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vrn {
namespace {

const QString kPictureFilter = QStringLiteral("Windows BMP file (*.bmp *.BMP);;GIF format (*.gif "
                                              "*.GIF);;JPEG Format (*.jpg *.jpeg *.JPG *.JPEG)");
const QString kChartFilter = QStringLiteral("Chart definition file (*.cht *.CHT)");

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

QLabel *Readout(QWidget *parent, const char *name, const QString &text, const QString &widest)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(widest) + 6);
    return l;
}

struct TBusyCursor
{
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFormDigitalizadorDeCharts::TFormDigitalizadorDeCharts(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormDigitalizadorDeCharts"));
    setWindowTitle(QStringLiteral("Kartograv - Make Vector Chart "));

    FImage1 = new TPictureView(this);
    FLx = Readout(this, "Lx", QStringLiteral("x:"), QStringLiteral("x: 000000"));
    FLy = Readout(this, "Ly", QStringLiteral("y:"), QStringLiteral("y: 000000"));
    FLLat = Readout(this, "LLat", QStringLiteral("Lat:"), QStringLiteral("Lat: 00°00.0'N"));
    FLLon = Readout(this, "LLon", QStringLiteral("Lon:"), QStringLiteral("Lon: 000°00.0'W"));
    FLStatus = Readout(this, "LStatus", QStringLiteral("Load chart image"),
        QStringLiteral("Scale set. Digitalize chart"));
    FLStatus->setAutoFillBackground(true);
    FLStatus->setMargin(3);
    FLPolys = Readout(this, "LPolys", QStringLiteral("Polys: 0"), QStringLiteral("Polys: 00000"));
    FLPolys->setToolTip(QStringLiteral("Polygons count"));
    FLPoints =
        Readout(this, "LPoints", QStringLiteral("Points: 0"), QStringLiteral("Points: 000000"));
    FLPoints->setToolTip(QStringLiteral("Points in this polygon"));
    auto *bClose = new QPushButton(QStringLiteral("Close &Polygon"), this);
    bClose->setObjectName(QStringLiteral("BCompletaPoli"));
    bClose->setToolTip(QStringLiteral("Save polygon"));
    auto *bScale = new QPushButton(QStringLiteral("Reset &scale"), this);
    bScale->setObjectName(QStringLiteral("BDefineEscala"));
    for (QPushButton *b : {bClose, bScale})
        b->setAutoDefault(true);
    FColorGrid = new TColorPalette(this);
    FCBMercator = new QCheckBox(QStringLiteral("&Mercator latitude scale"), this);
    FCBMercator->setObjectName(QStringLiteral("CBMercator"));
    FCBMercator->setChecked(true);

    auto *top = new QHBoxLayout;
    top->addWidget(bClose);
    top->addWidget(bScale);
    top->addWidget(FColorGrid);
    top->addWidget(FCBMercator);
    top->addStretch(1);
    auto *readout = new QHBoxLayout;
    readout->addWidget(FLStatus, 1);
    for (QLabel *l : {FLPolys, FLPoints, FLx, FLy, FLLat, FLLon})
        readout->addWidget(l);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(FImage1, 1);
    layout->addLayout(readout);
    setCentralWidget(central);

    auto addAction = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    addAction(file, "LoadImage1", QStringLiteral("&Load Image.."),
        &TFormDigitalizadorDeCharts::LoadImage1Click);
    addAction(file, "SaveChart1", QStringLiteral("&Save Chart"),
        &TFormDigitalizadorDeCharts::SaveChart1Click);
    addAction(file, "Savechartas1", QStringLiteral("Save Chart &As.."),
        &TFormDigitalizadorDeCharts::Savechartas1Click);
    addAction(file, "Append1", QStringLiteral("A&ppend to Chart.."),
        &TFormDigitalizadorDeCharts::Append1Click);
    addAction(file, "Revert1", QStringLiteral("&Revert to Original Image"),
        &TFormDigitalizadorDeCharts::Revert1Click);
    file->addSeparator();
    addAction(file, "Exit1", QStringLiteral("E&xit"), &TFormDigitalizadorDeCharts::Exit1Click);
    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    addAction(edit, "ClearCurrentpolygon1", QStringLiteral("&Clear current polygon"),
        &TFormDigitalizadorDeCharts::ClearCurrentpolygon1Click);
    addAction(edit, "Deletelastpoint1", QStringLiteral("&Delete last Point"),
        &TFormDigitalizadorDeCharts::Deletelastpoint1Click);
    addAction(edit, "Resetchart1", QStringLiteral("&Reset Chart"),
        &TFormDigitalizadorDeCharts::Resetchart1Click);
    addAction(edit, "Drawaxis1", QStringLiteral("Draw &Axis"),
        &TFormDigitalizadorDeCharts::Drawaxis1Click);
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    addAction(help, "About1", QStringLiteral("&About.."), &TFormDigitalizadorDeCharts::About1Click);

    connect(bClose, &QPushButton::clicked, this, &TFormDigitalizadorDeCharts::BCompletaPoliClick);
    connect(bScale, &QPushButton::clicked, this, &TFormDigitalizadorDeCharts::BDefineEscalaClick);
    connect(
        FImage1, &TPictureView::PictureClicked, this, &TFormDigitalizadorDeCharts::Image1MouseDown);
    connect(
        FImage1, &TPictureView::PictureMoved, this, &TFormDigitalizadorDeCharts::Image1MouseMove);
    connect(FCBMercator, &QCheckBox::clicked, this, [this](bool on) {
        RunCommand(this, [&] {
            try {
                FDigitiser.SetMercator(on);
            } catch (const EVrnError &) {
                BDefineEscalaClick();
                throw;
            }
        });
    });

    FTimerPiscador = new QTimer(this);
    FTimerPiscador->setObjectName(QStringLiteral("TimerPiscador"));
    FTimerPiscador->setInterval(1000);
    connect(
        FTimerPiscador, &QTimer::timeout, this, &TFormDigitalizadorDeCharts::TimerPiscadorTimer);
    FTimerPiscador->start();

    setTabOrder(bClose, bScale);
    setTabOrder(bScale, FCBMercator);
    setTabOrder(FCBMercator, FImage1);

    FormCreate();
    resize(1000, 700);
    TFormSettings settings(objectName());
    settings.RestoreGeometry(*this);
    FCBMercator->setChecked(
        settings.ReadBool(QStringLiteral("CBMercator"), QStringLiteral("Checked"), true));
    FDigitiser.SetMercator(FCBMercator->isChecked());
}

TFormDigitalizadorDeCharts::~TFormDigitalizadorDeCharts()
{
    TFormSettings settings(objectName());
    settings.SaveGeometry(*this);
    settings.WriteBool(
        QStringLiteral("CBMercator"), QStringLiteral("Checked"), FCBMercator->isChecked());
    settings.Flush();
}

void TFormDigitalizadorDeCharts::FormCreate()
{
    // The engine's formatters write "." and "hh:mm:ss" whatever the locale; the date format is
    // fixed at start-up (kartograv's main), so nothing here depends on the user's settings.
    FDigitiser = TChartDigitiser {};
    SetStatus(QStringLiteral("Load chart image"), "red");
    UpdateCounts();
}

void TFormDigitalizadorDeCharts::SetStatus(const QString &text, const char *colour)
{
    FLStatus->setText(text);
    const std::string_view c(colour);
    const QColor back = c == "green" ? QColor(0, 0x80, 0)
        : c == "yellow"              ? QColor(0xFF, 0xFF, 0)
                                     : QColor(0xFF, 0, 0);
    QPalette p = FLStatus->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, c == "yellow" ? Qt::black : Qt::white);
    FLStatus->setPalette(p);
}

void TFormDigitalizadorDeCharts::TimerPiscadorTimer()
{
    if (FDigitiser.RefCount() >= 3)
        return;
    FBlink = !FBlink;
    SetStatus(FLStatus->text(), FBlink ? "yellow" : "red");
}

void TFormDigitalizadorDeCharts::UpdateCounts()
{
    FLPolys->setText(QStringLiteral("Polys: %1").arg(FDigitiser.Polygons.size()));
    FLPoints->setText(QStringLiteral("Points: %1").arg(FDigitiser.CurrentPolygon.Points.size()));
}

void TFormDigitalizadorDeCharts::LoadPicture()
{
    TBusyCursor busy;
    TImagemCarta picture;
    picture.SetImageFile(FPictureFile.toStdString());
    FImage1->SetDisplay(ToQImage(*picture.Bitmap()));
}

void TFormDigitalizadorDeCharts::LoadImage1Click()
{
    const QString file =
        GetOpenFileName(this, QStringLiteral("Load Image"), FPictureFile, kPictureFilter);
    if (file.isEmpty())
        return;
    FPictureFile = file;
    if (!RunCommand(this, [this] { LoadPicture(); })) {
        FPictureFile.clear();
        FImage1->SetDisplay(QImage());
        FDigitiser.ResetScale();
        SetStatus(QStringLiteral("Load chart image"), "red");
        return;
    }
    BDefineEscalaClick();
}

void TFormDigitalizadorDeCharts::Revert1Click()
{
    if (FPictureFile.isEmpty() || !AskYesNo(this, QStringLiteral("Revert to original image?")))
        return;
    RunCommand(this, [this] { LoadPicture(); });
}

void TFormDigitalizadorDeCharts::BDefineEscalaClick()
{
    FLLat->setText(QStringLiteral("Lat:"));
    FLLon->setText(QStringLiteral("Lon:"));
    SetStatus(QStringLiteral("Click reference point 1"), "red");
    FDigitiser.ResetScale();
}

void TFormDigitalizadorDeCharts::Image1MouseDown(int x, int y)
{
    if (!FImage1->HasPicture())
        return;
    if (!FDigitiser.ScaleSet()) {
        const int n = FDigitiser.BeginReferencePoint(x, y);
        FImage1->DrawCross(x, y);
        const TChartPoint &def = FDigitiser.RefPoints()[static_cast<std::size_t>(n - 1)];
        const auto pos = AskPosition(this,
            QStringLiteral("Enter position for reference point %1").arg(n), {def.Lat, def.Lon});
        if (!pos) {
            FDigitiser.CancelReferencePoint();
            return;
        }
        FImage1->DrawLabel(x, y, QString::number(n));
        const bool ok = RunCommand(this, [&] {
            try {
                FDigitiser.SetReferencePosition(pos->Lat, pos->Lon);
            } catch (const EVrnError &) {
                BDefineEscalaClick();
                throw;
            }
        });
        if (ok && n == 3)
            SetStatus(QStringLiteral("Scale set. Digitalize chart"), "green");
        else if (ok)
            SetStatus(QStringLiteral("Click reference point %1").arg(n + 1), "red");
        return;
    }
    const bool ok = RunCommand(this, [&] {
        const std::vector<TPontoEdChart> &points = FDigitiser.CurrentPolygon.Points;
        const bool hadPoint = !points.empty();
        const TPontoEdChart previous = hadPoint ? points.back() : TPontoEdChart {};
        try {
            FDigitiser.AddPoint(x, y);
        } catch (const EVrnError &) {
            BDefineEscalaClick();
            throw;
        }
        if (hadPoint) {
            FImage1->DrawCross(previous.X, previous.Y); // erases it
            FImage1->DrawLine(previous.X, previous.Y, x, y, Qt::red);
        }
        FImage1->DrawCross(x, y);
    });
    if (ok)
        UpdateCounts();
}

void TFormDigitalizadorDeCharts::Image1MouseMove(int x, int y)
{
    FLx->setText(QStringLiteral("x: %1").arg(x));
    FLy->setText(QStringLiteral("y: %1").arg(y));
    if (FDigitiser.RefCount() != 3)
        return;
    const auto p = FDigitiser.ImageToWorld(x, y);
    if (!p) {
        BDefineEscalaClick();
        ShowError(this, QStringLiteral("Invalid reference points. Scale reset"));
        return;
    }
    FLLat->setText(QStringLiteral("Lat: ") + Q(FormatAngleDM1("NS", p->Lat).Text));
    FLLon->setText(QStringLiteral("Lon: ") + Q(FormatAngleDM1("WE", p->Lon).Text));
}

void TFormDigitalizadorDeCharts::BCompletaPoliClick()
{
    if (FDigitiser.CurrentPolygon.Points.empty())
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Input"),
        QStringLiteral("Polygon Name"), QLineEdit::Normal, QString(), &ok);
    QPolygon outline;
    for (const auto &p : FDigitiser.CurrentPolygon.Points)
        outline << QPoint(p.X, p.Y);
    // The polygon is filled yellow on the picture whatever its colours, so that what is done
    // stands out from what is still to do.
    FImage1->FillPolygon(outline, QColor(0xFF, 0xFF, 0));
    FDigitiser.ClosePolygon(ok ? name.toStdString() : std::string(), FColorGrid->ForegroundColor(),
        FColorGrid->BackgroundColor());
    UpdateCounts();
}

void TFormDigitalizadorDeCharts::Deletelastpoint1Click()
{
    auto &points = FDigitiser.CurrentPolygon.Points;
    if (points.empty())
        return;
    FImage1->DrawCross(points.back().X, points.back().Y);
    FDigitiser.DeleteLastPoint();
    if (!points.empty())
        FImage1->DrawCross(points.back().X, points.back().Y);
    UpdateCounts();
}

void TFormDigitalizadorDeCharts::ClearCurrentpolygon1Click()
{
    FDigitiser.ClearCurrentPolygon();
    UpdateCounts();
}

void TFormDigitalizadorDeCharts::Resetchart1Click()
{
    FDigitiser.ResetChart();
    UpdateCounts();
}

void TFormDigitalizadorDeCharts::Drawaxis1Click()
{
    if (FDigitiser.RefCount() == 3)
        FImage1->DrawLines(FDigitiser.AxisLines(), Qt::red);
}

void TFormDigitalizadorDeCharts::WriteChart(
    bool append, bool overwriteWithoutAsking, const QString &fileName)
{
    if (!FDigitiser.CurrentPolygon.Points.empty()
        && AskYesNo(this, QStringLiteral("Last polygon open. Close and add to the chart? ")))
        BCompletaPoliClick();
    RunCommand(this, [&] {
        if (FDigitiser.Polygons.empty())
            throw EVrnError("No polygons defined");
        if (!append && !overwriteWithoutAsking && QFileInfo::exists(fileName)
            && !AskYesNo(this, QStringLiteral("File %1 already exists. Overwrite? ").arg(fileName)))
            return;
        const TChartWriteResult r = FDigitiser.WriteChart(fileName.toStdString(), append);
        SetStatus(QStringLiteral("%1 polygon(s) written to %2")
                      .arg(r.PolygonsWritten)
                      .arg(QFileInfo(fileName).fileName()),
            "green");
    });
}

void TFormDigitalizadorDeCharts::SaveChart1Click()
{
    if (FDigitiser.OutputChartFile().empty()) {
        Savechartas1Click();
        return;
    }
    WriteChart(false, true, Q(FDigitiser.OutputChartFile()));
}

void TFormDigitalizadorDeCharts::Savechartas1Click()
{
    const QString file = GetSaveFileName(this, QStringLiteral("Save Chart As"),
        Q(FDigitiser.OutputChartFile()), kChartFilter, QStringLiteral("cht"), false);
    if (!file.isEmpty())
        WriteChart(false, false, file);
}

void TFormDigitalizadorDeCharts::Append1Click()
{
    QString file = Q(FDigitiser.OutputChartFile());
    if (file.isEmpty()) {
        // Appending never truncates: without a chart written yet, ask which file to add to.
        file = GetSaveFileName(this, QStringLiteral("Append to Chart"), QString(), kChartFilter,
            QStringLiteral("cht"), false);
        if (file.isEmpty())
            return;
    }
    WriteChart(true, true, file);
}

void TFormDigitalizadorDeCharts::Exit1Click()
{
    close();
}

void TFormDigitalizadorDeCharts::closeEvent(QCloseEvent *event)
{
    if (FDigitiser.HasWork() && !AskYesNo(this, QStringLiteral("Exit?"))) {
        event->ignore();
        return;
    }
    event->accept();
}

void TFormDigitalizadorDeCharts::About1Click()
{
    if (auto *dialog = qobject_cast<QDialog *>(FAboutBox))
        dialog->exec();
}

} // namespace vrn
