#include "apps/kartograv/fChartImageImporter.h"

#include "apps/kartograv/PictureView.h"
#include "apps/kartograv/fImageImportStatus.h"
#include "charts/ChartImageImport.h"
#include "engine/DateTime.h"
#include "engine/Trigonom.h"
#include "ui/Clock.h"
#include "ui/FileDialogs.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace vrn {
namespace {

const QString kPictureFilter = QStringLiteral(
    "JPEG Image File (*.jpg *.jpeg *.JPG *.JPEG);;GIF Image (*.gif *.GIF);;Bitmaps (*.bmp *.BMP)");
const QString kCidFilter = QStringLiteral("Chart Image Data (*.CID *.cid)");

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::string S(const QString &s)
{
    return s.toStdString();
}

// The hourglass for the length of a command, restored on every way out.
struct TBusyCursor
{
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};

double NowDateTime()
{
    const QDateTime now = LocalNow();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day())
        + EncodeTime(t.hour(), t.minute(), t.second(), 0);
}

} // namespace

TFormImportChartImage::TFormImportChartImage(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormImportChartImage"));
    setWindowTitle(QStringLiteral("Kartograv - Import Vector Chart"));

    FImage1 = new TPictureView(this);
    FLStatus = new QLabel(QStringLiteral("Load chart image"), this);
    FLStatus->setObjectName(QStringLiteral("LStatus"));
    FLStatus->setAutoFillBackground(true);
    FLStatus->setMargin(3);
    FLStatus->setMinimumWidth(
        FLStatus->fontMetrics().horizontalAdvance(QStringLiteral("Image rotated -180.0000000°"))
        + 12);
    FLx = new QLabel(QStringLiteral("x:"), this);
    FLx->setObjectName(QStringLiteral("Lx"));
    FLy = new QLabel(QStringLiteral("y:"), this);
    FLy->setObjectName(QStringLiteral("Ly"));
    FLLat = new QLabel(QStringLiteral("?"), this);
    FLLat->setObjectName(QStringLiteral("LLat"));
    FLLon = new QLabel(QStringLiteral("?"), this);
    FLLon->setObjectName(QStringLiteral("LLon"));
    for (QLabel *l : {FLx, FLy})
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("y: 000000")));
    for (QLabel *l : {FLLat, FLLon})
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("000°00.0'W")));

    auto *actions = new QGroupBox(QStringLiteral("Actions"), this);
    actions->setObjectName(QStringLiteral("PanelActions"));
    auto *bOpenImage = AddButton("BOpenImage", QStringLiteral("&Open Image"), QString());
    auto *bOpenCID = AddButton("BOpenCID", QStringLiteral("Open &CID"), QString());
    auto *bSaveCID = AddButton("BSaveCID", QStringLiteral("&Save CID"), QString());
    FBSaveImageAs = AddButton("BSaveImageAs", QStringLiteral("Save Image &As"), QString());
    auto *bReset = AddButton("BResetEscala", QStringLiteral("&Reset scale"),
        QStringLiteral("Reset scale for new set of reference points"));
    auto *bRotate = AddButton("BRotateToNS", QStringLiteral("Rotate to &NS"), QString());
    FBSaveImageAs->setEnabled(false);
    auto *actionsLayout = new QVBoxLayout(actions);
    for (QPushButton *b : {bOpenImage, bOpenCID, bSaveCID, FBSaveImageAs, bReset, bRotate})
        actionsLayout->addWidget(b);

    auto *chart = new QGroupBox(QStringLiteral("Chart image"), this);
    chart->setObjectName(QStringLiteral("PanelChartImage"));
    FCBMercatorLatScale = new QCheckBox(QStringLiteral("&Mercator Latitude Scale"), this);
    FCBMercatorLatScale->setObjectName(QStringLiteral("CBMercatorLatScale"));
    FCBMercatorLatScale->setToolTip(QStringLiteral("Check this if image is a Mercator projection"));
    FCBMercatorLatScale->setChecked(true);
    FEdImageDescription = new QLineEdit(this);
    FEdImageDescription->setObjectName(QStringLiteral("EdImageDescription"));
    FEdImageDescription->setToolTip(QStringLiteral("Chart image description"));
    auto *lDescription = new QLabel(QStringLiteral("D&escription:"), this);
    lDescription->setBuddy(FEdImageDescription);
    FComboGridFrequency = new QComboBox(this);
    FComboGridFrequency->setObjectName(QStringLiteral("ComboGridFrequency"));
    FComboGridFrequency->setToolTip(QStringLiteral("grid frequency"));
    for (const auto item : GridStepItems())
        FComboGridFrequency->addItem(QString::fromUtf8(item.data(), int(item.size())));
    auto *lGrid = new QLabel(QStringLiteral("&Grid:"), this);
    lGrid->setBuddy(FComboGridFrequency);
    auto *bGrid = AddButton("BGrid", QStringLiteral("&Draw"), QStringLiteral("Draw grid"));
    auto *bRevert =
        AddButton("BRevert", QStringLiteral("Re&vert"), QStringLiteral("Revert to original image"));
    auto *chartLayout = new QVBoxLayout(chart);
    chartLayout->addWidget(FCBMercatorLatScale);
    chartLayout->addWidget(lDescription);
    chartLayout->addWidget(FEdImageDescription);
    auto *gridRow = new QHBoxLayout;
    gridRow->addWidget(lGrid);
    gridRow->addWidget(FComboGridFrequency, 1);
    chartLayout->addLayout(gridRow);
    chartLayout->addWidget(bGrid);
    chartLayout->addWidget(bRevert);

    auto *tools = new QVBoxLayout;
    tools->addWidget(actions);
    tools->addWidget(chart);
    tools->addStretch(1);

    auto *readout = new QHBoxLayout;
    readout->addWidget(FLStatus, 1);
    for (QLabel *l : {FLx, FLy, FLLat, FLLon})
        readout->addWidget(l);

    auto *body = new QHBoxLayout;
    body->addLayout(tools);
    body->addWidget(FImage1, 1);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(body, 1);
    layout->addLayout(readout);
    setCentralWidget(central);

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    auto addAction = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    addAction(file, "LoadImage1", QStringLiteral("&Load Image..."),
        &TFormImportChartImage::BOpenImageClick);
    addAction(
        file, "LoadCID1", QStringLiteral("Load &CID..."), &TFormImportChartImage::BOpenCIDClick);
    addAction(file, "SaveCIDas1", QStringLiteral("&Save CID as..."),
        &TFormImportChartImage::BSaveCIDClick);
    FSaveImageAs1 = addAction(file, "SaveImageas1", QStringLiteral("Save &Image as..."),
        &TFormImportChartImage::BSaveImageAsClick);
    FSaveImageAs1->setEnabled(false);
    file->addSeparator();
    addAction(file, "Close1", QStringLiteral("Cl&ose"), &TFormImportChartImage::Close1Click);
    QMenu *act = menuBar()->addMenu(QStringLiteral("Ac&tions"));
    act->setObjectName(QStringLiteral("Actions1"));
    addAction(act, "Resetscale1", QStringLiteral("&Reset scale"),
        &TFormImportChartImage::BResetEscalaClick);
    addAction(act, "RotatetoNS1", QStringLiteral("Rotate to &N-S"),
        &TFormImportChartImage::BRotateToNSClick);
    addAction(act, "Drawgrid1", QStringLiteral("&Draw grid"), &TFormImportChartImage::BGridClick);

    connect(bOpenImage, &QPushButton::clicked, this, &TFormImportChartImage::BOpenImageClick);
    connect(bOpenCID, &QPushButton::clicked, this, &TFormImportChartImage::BOpenCIDClick);
    connect(bSaveCID, &QPushButton::clicked, this, &TFormImportChartImage::BSaveCIDClick);
    connect(FBSaveImageAs, &QPushButton::clicked, this, &TFormImportChartImage::BSaveImageAsClick);
    connect(bReset, &QPushButton::clicked, this, &TFormImportChartImage::BResetEscalaClick);
    connect(bRotate, &QPushButton::clicked, this, &TFormImportChartImage::BRotateToNSClick);
    connect(bGrid, &QPushButton::clicked, this, &TFormImportChartImage::BGridClick);
    connect(bRevert, &QPushButton::clicked, this, &TFormImportChartImage::BRevertClick);
    connect(FImage1, &TPictureView::PictureClicked, this, &TFormImportChartImage::Image1MouseDown);
    connect(FImage1, &TPictureView::PictureMoved, this, &TFormImportChartImage::Image1MouseMove);
    connect(FCBMercatorLatScale, &QCheckBox::clicked, this, &TFormImportChartImage::MercatorClick);
    connect(FEdImageDescription, &QLineEdit::textChanged, this,
        [this](const QString &text) { FImage->SetChartDescription(S(text)); });

    FTimerPiscador = new QTimer(this);
    FTimerPiscador->setObjectName(QStringLiteral("TimerPiscador"));
    FTimerPiscador->setInterval(1000);
    connect(FTimerPiscador, &QTimer::timeout, this, &TFormImportChartImage::TimerPiscadorTimer);
    FTimerPiscador->start();

    setTabOrder(bOpenImage, bOpenCID);
    setTabOrder(bOpenCID, bSaveCID);
    setTabOrder(bSaveCID, FBSaveImageAs);
    setTabOrder(FBSaveImageAs, bReset);
    setTabOrder(bReset, bRotate);
    setTabOrder(bRotate, FCBMercatorLatScale);
    setTabOrder(FCBMercatorLatScale, FEdImageDescription);
    setTabOrder(FEdImageDescription, FComboGridFrequency);
    setTabOrder(FComboGridFrequency, bGrid);
    setTabOrder(bGrid, bRevert);
    setTabOrder(bRevert, FImage1);

    FormCreate();
    SetStatus(QStringLiteral("Load chart image"), "red");
    resize(1000, 700);
    TFormSettings settings(objectName());
    settings.RestoreGeometry(*this);
    FComboGridFrequency->setCurrentIndex(std::clamp(
        settings.ReadInt(QStringLiteral("ComboGridFrequency"), QStringLiteral("ItemIndex"), 3), 0,
        FComboGridFrequency->count() - 1));
}

TFormImportChartImage::~TFormImportChartImage()
{
    SaveSettings();
}

void TFormImportChartImage::SaveSettings()
{
    TFormSettings settings(objectName());
    settings.SaveGeometry(*this);
    settings.WriteInt(QStringLiteral("ComboGridFrequency"), QStringLiteral("ItemIndex"),
        FComboGridFrequency->currentIndex());
    settings.Flush();
}

QPushButton *TFormImportChartImage::AddButton(
    const char *name, const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoDefault(true);
    return b;
}

void TFormImportChartImage::FormCreate()
{
    FImage = std::make_unique<TImagemCarta>();
    FImage->DeferredLoad = false;
    FComboGridFrequency->setCurrentIndex(3); // 1°
}

bool TFormImportChartImage::HasUnsavedRotation() const
{
    return FImage->Rotated();
}

void TFormImportChartImage::SetStatus(const QString &text, const char *colour)
{
    FStatusColour = colour;
    FLStatus->setText(text);
    const bool light = std::string_view(colour) == "yellow";
    const QColor back = std::string_view(colour) == "green" ? QColor(0, 0x80, 0)
        : light                                             ? QColor(0xFF, 0xFF, 0)
                                                            : QColor(0xFF, 0, 0);
    QPalette p = FLStatus->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, light ? Qt::black : Qt::white);
    FLStatus->setPalette(p);
}

void TFormImportChartImage::TimerPiscadorTimer()
{
    if (FImage->PointCount() >= 3 || FImage->IsCalibrated())
        return;
    FBlink = !FBlink;
    const QString text = FLStatus->text();
    SetStatus(text, FBlink ? "yellow" : "red");
}

void TFormImportChartImage::ShowPicture()
{
    const auto picture = FImage->Bitmap();
    FImage1->SetDisplay(picture ? ToQImage(*picture) : QImage());
}

void TFormImportChartImage::ClearPicture()
{
    FImage = std::make_unique<TImagemCarta>();
    FImage->DeferredLoad = false;
    FImage1->SetDisplay(QImage());
    FCidFileName.clear();
    FBSaveImageAs->setEnabled(false);
    FSaveImageAs1->setEnabled(false);
    SetStatus(QStringLiteral("Load chart image"), "red");
}

void TFormImportChartImage::BOpenImageClick()
{
    const QString file = GetOpenFileName(
        this, QStringLiteral("Open Image"), Q(FImage->ImageFileName()), kPictureFilter);
    if (file.isEmpty())
        return;
    const bool ok = RunCommand(this, [&] {
        TBusyCursor busy;
        // A fresh picture object: the picture is read again even when its name did not change.
        auto image = std::make_unique<TImagemCarta>();
        image->DeferredLoad = false;
        image->SetImageFile(S(file));
        FImage = std::move(image);
        ShowPicture();
    });
    if (!ok) {
        ClearPicture();
        return;
    }
    FBSaveImageAs->setEnabled(false);
    FSaveImageAs1->setEnabled(false);
    BResetEscalaClick();
}

void TFormImportChartImage::BResetEscalaClick()
{
    FImage->ClearCalibration();
    FCidFileName.clear();
    SetStatus(QStringLiteral("Click reference point 1"), "red");
    FEdImageDescription->clear();
    FCBMercatorLatScale->setChecked(true);
    FImage->SetMercatorLatitudeScale(true);
}

void TFormImportChartImage::Image1MouseDown(int x, int y)
{
    if (!FImage1->HasPicture())
        return;
    if (FImage->PointCount() < 3 && !FImage->IsCalibrated()) {
        const int n = FImage->PointCount() + 1;
        FImage1->DrawCross(x, y);
        const auto pos = AskPosition(
            this, QStringLiteral("Enter position for reference point %1").arg(n), FLastPosition);
        if (!pos)
            return;
        FLastPosition = *pos;
        FImage1->DrawLabel(x, y, QString::number(n));
        const bool ok =
            RunCommand(this, [&] { FImage->AddReferencePoint(x, y, pos->Lat, pos->Lon); });
        if (ok && FImage->IsCalibrated()) {
            SetStatus(QStringLiteral("Chart scale set"), "green");
            CheckImportAlignment();
        } else if (ok) {
            SetStatus(QStringLiteral("Click reference point %1").arg(n + 1), "red");
        }
        return;
    }
    FImage1->DrawCross(x, y);
    const auto pos =
        AskPosition(this, QStringLiteral("Enter position for verification point"), FLastPosition);
    if (!pos)
        return;
    FLastPosition = *pos;
    RunCommand(
        this, [&] { ShowMessage(this, Q(VerifyPoint(*FImage, x, y, pos->Lat, pos->Lon).Text)); });
}

void TFormImportChartImage::Image1MouseMove(int x, int y)
{
    FLx->setText(QStringLiteral("x: %1").arg(x));
    FLy->setText(QStringLiteral("y: %1").arg(y));
    if (!FImage->IsCalibrated()) {
        FLLat->setText(QStringLiteral("?"));
        FLLon->setText(QStringLiteral("?"));
        return;
    }
    try {
        double lat = 0, lon = 0;
        FImage->Screen2World(x, y, lat, lon);
        if (!std::isfinite(lat) || !std::isfinite(lon))
            throw EVrnError("Erro em Screen2World()");
        FLLat->setText(Q(FormatAngleDM1("NS", lat).Text));
        FLLon->setText(Q(FormatAngleDM1("WE", lon).Text));
    } catch (const EVrnError &) {
        FLLat->setText(QStringLiteral("E"));
        FLLon->setText(QStringLiteral("E"));
    }
}

void TFormImportChartImage::CheckImportAlignment()
{
    RunCommand(this, [&] {
        double a = 0;
        const bool needs = FImage->NeedsRotation(a);
        QString nsText = Q(std::string(kNsAlignedText));
        bool rotated = false;
        if (needs) {
            if (!AskYesNo(this, Q(RotationQuestion(a))))
                return;
            BRotateToNSClick();
            if (!FImage->Rotated())
                return;
            nsText = Q(NsRotatedText(a));
            rotated = true;
        }
        const TEastWestVerdict verdict = EastWestVerdict(FImage->EastAngle());
        TFormImageImportStatus status(this);
        status.SetLines(nsText, 0, Q(verdict.Text), verdict.Good ? 0 : 1);
        status.exec();
        if (rotated
            && AskYesNo(this, QStringLiteral("The rotated image must be saved. Do it now?")))
            BSaveImageAsClick();
    });
}

void TFormImportChartImage::BRotateToNSClick()
{
    RunCommand(this, [&] {
        TBusyCursor busy;
        const double a = FImage->RotateToNorth();
        FBSaveImageAs->setEnabled(true);
        FSaveImageAs1->setEnabled(true);
        ShowPicture();
        SetStatus(Q(RotatedStatusText(a)), "green");
    });
}

void TFormImportChartImage::BSaveImageAsClick()
{
    if (!FImage->Bitmap())
        return;
    const QString file = GetSaveFileName(this, QStringLiteral("Save Image As"),
        Q(ProposedRotatedPictureName(FImage->ImageFileName())), kPictureFilter,
        QStringLiteral("jpg"));
    if (file.isEmpty())
        return;
    if (RunCommand(this, [&] {
            TBusyCursor busy;
            FImage->SaveImage(S(file));
        })) {
        FBSaveImageAs->setEnabled(false);
        FSaveImageAs1->setEnabled(false);
    }
}

void TFormImportChartImage::BSaveCIDClick()
{
    const QString proposed = !FCidFileName.isEmpty() ? FCidFileName
        : FImage->ImageFileName().empty()            ? QString()
                                                     : Q(ProposedCidName(FImage->ImageFileName()));
    const QString file = GetSaveFileName(
        this, QStringLiteral("Save CID"), proposed, kCidFilter, QStringLiteral("CID"));
    if (file.isEmpty())
        return;
    if (RunCommand(this, [&] { FImage->SaveCID(S(file), NowDateTime()); }))
        FCidFileName = file;
}

void TFormImportChartImage::MarkPoint(const TChartPoint &p, const QString &label)
{
    const int x = static_cast<int>(std::lround(p.X));
    const int y = static_cast<int>(std::lround(p.Y));
    FImage1->DrawCross(x, y);
    FImage1->DrawLabel(x, y, label);
}

void TFormImportChartImage::BOpenCIDClick()
{
    const QString file =
        GetOpenFileName(this, QStringLiteral("Open CID"), FCidFileName, kCidFilter);
    if (file.isEmpty())
        return;
    const bool ok = RunCommand(this, [&] {
        TBusyCursor busy;
        auto image = std::make_unique<TImagemCarta>();
        image->DeferredLoad = false;
        image->LoadFromCID(S(file));
        FImage = std::move(image);
        ShowPicture();
    });
    if (!ok) {
        ClearPicture();
        return;
    }
    FBSaveImageAs->setEnabled(false);
    FSaveImageAs1->setEnabled(false);
    const auto ref = FImage->RefPoints();
    for (int i = 0; i < 3; ++i)
        MarkPoint(ref[i], QString::number(i + 1));
    const auto limit = FImage->LimitPoints();
    for (int i = 0; i < 4; ++i)
        MarkPoint(limit[i], QStringLiteral("L%1").arg(i + 1));
    {
        // Showing the file's own values recomputes nothing.
        const QSignalBlocker b1(FCBMercatorLatScale);
        const QSignalBlocker b2(FEdImageDescription);
        FCBMercatorLatScale->setChecked(FImage->MercatorLatitudeScale());
        FEdImageDescription->setText(Q(FImage->ChartDescription()));
    }
    CheckImportAlignment();
    FCidFileName = file;
    SetStatus(QStringLiteral("Scale set."), "green");
}

void TFormImportChartImage::MercatorClick(bool checked)
{
    FImage->SetMercatorLatitudeScale(checked);
    if (!FImage->IsCalibrated())
        return;
    RunCommand(this, [&] {
        try {
            FImage->Calibrate();
            FImage->ComputeLimitPoints();
        } catch (const EVrnError &) {
            FImage->ClearCalibration();
            SetStatus(QStringLiteral("Click reference point 1"), "red");
            throw;
        }
    });
}

void TFormImportChartImage::BGridClick()
{
    FImage1->DrawLines(
        FImage->ImageGridLines(GridStepOf(S(FComboGridFrequency->currentText()))), Qt::white);
}

void TFormImportChartImage::BRevertClick()
{
    ShowPicture();
}

void TFormImportChartImage::Close1Click()
{
    close();
}

void TFormImportChartImage::closeEvent(QCloseEvent *event)
{
    SaveSettings();
    QMainWindow::closeEvent(event);
}

} // namespace vrn
