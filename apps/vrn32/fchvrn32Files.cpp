// The chart viewer's desktop, vector chart and chart image commands, and the "Chart Images" page.

#include "apps/vrn32/ChartViewerLogic.h"
#include "apps/vrn32/fchvrn32.h"
#include "charts/Dcarta.h"
#include "charts/FormChartInfo.h"
#include "engine/VrnError.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace vrn {

namespace {

const QString kDesktopOpenFilter = QStringLiteral("Varunel Desktop files (*.vrn *.VRN)");
const QString kDesktopSaveFilter = QStringLiteral("Varunel Desktop File (*.vrn *.VRN)");
const QString kChartFilter = QStringLiteral("Chart file (*.cht *.CHT)");
const QString kImageFilter = QStringLiteral("Chart Image Data (*.cid *.CID)");

QString Q(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

struct TWaitCursor
{
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }

    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

// The question before a changed desktop is left, named when it has a file.
QString SaveQuestion(const QString &desktopFile)
{
    return desktopFile.isEmpty() ? QStringLiteral("Desktop changed. Save?")
                                 : QStringLiteral("Desktop %1 changed. Save?").arg(desktopFile);
}

} // namespace

QString TFormCartaVrn::DialogFolder() const
{
    const QString desktop = FChart->DesktopFileName();
    return desktop.isEmpty() ? FCacheDir : QFileInfo(desktop).absolutePath();
}

void TFormCartaVrn::ShowMessages(const std::vector<std::string> &messages)
{
    if (messages.empty())
        return;
    QStringList lines;
    for (const auto &m : messages)
        lines << Q(m);
    ShowMessage(this, lines.join(QLatin1Char('\n')));
}

// ---- Desktops ---------------------------------------------------------------------------------

bool TFormCartaVrn::AskSaveDesktop()
{
    if (!FChart->IsModified())
        return true;
    const QString name = FChart->DesktopFileName();
    if (!AskYesNo(this, SaveQuestion(name)))
        return true;
    return name.isEmpty() ? SaveVrnDesktopAs1Click() : SaveVrnDesktop1Click();
}

void TFormCartaVrn::AskSaveDesktopAtExit()
{
    while (FChart->IsModified()) {
        const QString name = FChart->DesktopFileName();
        if (!AskYesNo(this, SaveQuestion(name))) {
            if (FDesktopDiscardedAtExit)
                FDesktopDiscardedAtExit();
            return;
        }
        FSaveFailed = false;
        if (name.isEmpty() ? SaveVrnDesktopAs1Click() : SaveVrnDesktop1Click())
            return;
        // The file could not be written (a full disk, a folder that went away): another place
        // is offered before the question comes again.
        if (FSaveFailed && SaveVrnDesktopAs1Click())
            return;
    }
}

bool TFormCartaVrn::OpenDesktop(const QString &fileName)
{
    TWaitCursor wait;
    if (!AskSaveDesktop())
        return false;
    std::vector<std::string> messages;
    const bool ok = RunCommand(this, [&] { messages = FChart->LoadDesktop(fileName); });
    if (!ok) {
        if (!QFileInfo(fileName).isFile()) {
            FRecent.Remove(fileName.toStdString());
            RefillRecentMenu();
        }
        return false;
    }
    ShowMessages(messages);
    return true;
}

void TFormCartaVrn::SetDesktop(TObjList &objects, std::unique_ptr<TChtFileObject> chartRef)
{
    TWaitCursor wait;
    std::vector<std::string> messages;
    if (RunCommand(this, [&] { messages = FChart->SetDesktop(objects, std::move(chartRef)); }))
        ShowMessages(messages);
}

void TFormCartaVrn::OpenVrnDesktop1Click()
{
    const QString file =
        GetOpenFileName(this, QStringLiteral("Open Desktop"), DialogFolder(), kDesktopOpenFilter);
    if (file.isEmpty())
        return;
    if (OpenDesktop(file))
        AddRecent(file);
}

void TFormCartaVrn::BCarregaDTClick()
{
    OpenVrnDesktop1Click();
}

bool TFormCartaVrn::SaveVrnDesktop1Click()
{
    const QString name = FChart->DesktopFileName();
    if (name.isEmpty())
        return SaveVrnDesktopAs1Click();
    if (!RunCommand(this, [&] { FChart->SaveDesktop(name); })) {
        FSaveFailed = true;
        return false;
    }
    AddRecent(name);
    if (FDesktopSaved)
        FDesktopSaved();
    return true;
}

void TFormCartaVrn::BSaveDTClick()
{
    SaveVrnDesktop1Click();
}

bool TFormCartaVrn::SaveVrnDesktopAs1Click()
{
    const QString proposed =
        FChart->DesktopFileName().isEmpty() ? FCacheDir : FChart->DesktopFileName();
    QString file = GetSaveFileName(this, QStringLiteral("Save Desktop As"), proposed,
        kDesktopSaveFilter, QStringLiteral("vrn"), false);
    if (file.isEmpty())
        return false;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".vrn");
    if (QFileInfo::exists(file)
        && MessageDlg(this, QStringLiteral("File %1 already exists. Overwrite? ").arg(file),
               QMessageBox::Information, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
        return false;
    if (!RunCommand(this, [&] { FChart->SaveDesktop(file); })) {
        FSaveFailed = true;
        return false;
    }
    AddRecent(file);
    if (FDesktopSaved)
        FDesktopSaved();
    return true;
}

void TFormCartaVrn::PChartViewSettingsMRUClick(int index)
{
    const QStringList recent = RecentDesktops();
    if (index < 0 || index >= recent.size())
        return;
    const QString file = recent[index];
    if (OpenDesktop(file))
        AddRecent(file);
}

// ---- Vector charts ----------------------------------------------------------------------------

bool TFormCartaVrn::OpenVectorChart(const QString &fileName, bool merge)
{
    TWaitCursor wait;
    return RunCommand(this, [&] { FChart->LoadChart(fileName, merge); });
}

void TFormCartaVrn::ShowWholeChart()
{
    const auto view = FChart->Desk().ChartExtent(FChart->width(), FChart->height());
    FChart->SetViewAndClear(
        view ? view->LatC : 0, view ? view->LonC : 0, view ? view->LonSpan : 360);
}

void TFormCartaVrn::OpenChart1Click()
{
    const QString file =
        GetOpenFileName(this, QStringLiteral("Open Vector Chart"), FCacheDir, kChartFilter);
    if (!file.isEmpty())
        OpenVectorChart(file, false);
}

void TFormCartaVrn::MergeChart1Click()
{
    const QString file =
        GetOpenFileName(this, QStringLiteral("Merge Vector Chart"), FCacheDir, kChartFilter);
    if (!file.isEmpty())
        OpenVectorChart(file, true);
}

void TFormCartaVrn::Chartinfo1Click()
{
    TFormChartInfo info(this);
    info.Show(*FChart);
}

// ---- Chart images -----------------------------------------------------------------------------

void TFormCartaVrn::OpenRasterChart1Click()
{
    const QString file =
        GetOpenFileName(this, QStringLiteral("Open Chart Image"), DialogFolder(), kImageFilter);
    if (file.isEmpty())
        return;
    TChtChartImage *added = nullptr;
    {
        TWaitCursor wait;
        const bool ok = RunCommand(this, [&] {
            auto image = std::make_unique<TChtChartImage>();
            image->Imagem->DeferredLoad = false; // read at once: its bounds are needed now
            image->Imagem->LoadFromCID(file.toStdString());
            const bool aligned = image->Imagem->CheckAlignment(
                [this](const std::string &question) { return AskYesNo(this, Q(question)); });
            if (!aligned)
                throw EVrnError(
                    "Object load error. Chart Image needs to be aligned to be used here.");
            image->UpdateBounds();
            image->Visible = true;
            image->CIDFile = QFileInfo(file).absoluteFilePath().toStdString();
            added = FChart->Desk().ChartImages.Add(std::move(image));
            FChart->Desk().ChartImagesModified = true;
        });
        if (!ok)
            return;
    }
    if (AskYesNo(this, QStringLiteral("Center desktop on the chart?"))) {
        const TGeoPoint c = ChartImageCentre(*added->Imagem);
        FChart->CenterOn(c.LatDeg, c.LonDeg);
    }
    FChart->Redraw(true, true);
    RefillChartImages();
    SelectChartImage(added, -1);
}

TChtChartImage *TFormCartaVrn::SelectedChartImage() const
{
    const int row = FLBChartImages->currentRow();
    const auto &images = FChart->Desk().ChartImages;
    if (row < 0 || static_cast<std::size_t>(row) >= images.Count())
        return nullptr;
    return images[static_cast<std::size_t>(row)];
}

void TFormCartaVrn::RefillChartImages()
{
    const TChtChartImage *selected = SelectedChartImage();
    const int selectedRow = FLBChartImages->count() ? FLBChartImages->currentRow() : -1;
    const bool wasEmpty = FLBChartImages->count() == 0;
    {
        const QSignalBlocker blocker(FLBChartImages);
        FLBChartImages->clear();
        for (const auto &image : FChart->Desk().ChartImages) {
            auto *item = new QListWidgetItem(Q(image->DisplayName()), FLBChartImages);
            item->setData(Qt::CheckStateRole, image->Visible ? Qt::Checked : Qt::Unchecked);
            // The check state is drawn as the list's own icon, not as a box.
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            if (!image->Loaded())
                item->setToolTip(Q(image->LoadError));
        }
    }
    FLChartImagesCount->setText(
        QStringLiteral("Chart Images : %1").arg(FChart->Desk().ChartImages.Count()));
    if (wasEmpty) {
        int firstVisible = -1;
        const auto &images = FChart->Desk().ChartImages;
        for (std::size_t i = 0; i < images.Count() && firstVisible < 0; ++i)
            if (images[i]->Visible)
                firstVisible = static_cast<int>(i);
        SelectChartImage(nullptr, firstVisible);
    } else {
        SelectChartImage(selected, selectedRow);
    }
    ShowChartImage(SelectedChartImage());
}

// The entry of that image when it is still listed, else the row when it is still in range.
void TFormCartaVrn::SelectChartImage(const TChtChartImage *image, int fallbackRow)
{
    int row = image ? FChart->Desk().ChartImages.IndexOf(image) : -1;
    if (row < 0 && fallbackRow >= 0 && fallbackRow < FLBChartImages->count())
        row = fallbackRow;
    FLBChartImages->setCurrentRow(row);
    ShowChartImage(SelectedChartImage());
}

void TFormCartaVrn::ShowChartImage(TChtChartImage *image)
{
    const QSignalBlocker visible(FCBChartVisible);
    const QSignalBlocker outline(FCBDrawOutline);
    const QSignalBlocker opacity(FTBOpacity);
    if (!image) {
        FLDescr->setText(QStringLiteral(".."));
        FLCIDFile->clear();
        FLImage->setText(QStringLiteral(".."));
        return;
    }
    const TChartImageLabels labels = ChartImageLabelsOf(*image);
    FLDescr->setText(Q(labels.Description));
    FLCIDFile->setText(Q(labels.CIDFile));
    FLImage->setText(Q(labels.Image));
    FCBChartVisible->setChecked(image->Visible);
    FCBDrawOutline->setChecked(image->DrawOutline);
    FTBOpacity->setValue(image->Opacity);
    FLOpacity->setText(Q(OpacityText(image->Opacity)));
}

void TFormCartaVrn::LBChartImagesClick()
{
    ShowChartImage(SelectedChartImage());
}

void TFormCartaVrn::CBChartVisibleClick()
{
    TChtChartImage *image = SelectedChartImage();
    if (!image || image->Visible == FCBChartVisible->isChecked())
        return;
    image->Visible = FCBChartVisible->isChecked();
    FChart->Desk().ChartImagesModified = true;
    if (QListWidgetItem *item = FLBChartImages->currentItem())
        item->setData(Qt::CheckStateRole, image->Visible ? Qt::Checked : Qt::Unchecked);
    FChart->Redraw(true, true);
}

void TFormCartaVrn::CBDrawOutlineClick()
{
    TChtChartImage *image = SelectedChartImage();
    if (!image || image->DrawOutline == FCBDrawOutline->isChecked())
        return;
    image->DrawOutline = FCBDrawOutline->isChecked();
    FChart->Desk().ChartImagesModified = true;
    FChart->Redraw(true, false);
}

void TFormCartaVrn::TBOpacityChange(int value)
{
    FLOpacity->setText(Q(OpacityText(value)));
    TChtChartImage *image = SelectedChartImage();
    if (!image || image->Opacity == value)
        return;
    image->Opacity = value;
    FChart->Desk().ChartImagesModified = true;
    FChart->Redraw(true, false);
}

void TFormCartaVrn::BOpaqueClick()
{
    FTBOpacity->setValue(100);
}

void TFormCartaVrn::BDeleteChartImageClick()
{
    TChtChartImage *image = SelectedChartImage();
    if (!image)
        return;
    const int row = FLBChartImages->currentRow();
    if (!AskYesNo(
            this, QStringLiteral("Remove \"%1\" from desktop ?").arg(Q(image->DisplayName()))))
        return;
    // The question was modal: act only on an image that is still listed.
    if (FChart->Desk().ChartImages.IndexOf(image) < 0)
        return;
    FChart->DeleteChartImage(image);
    RefillChartImages();
    SelectChartImage(nullptr, std::min(row, FLBChartImages->count() - 1));
}

void TFormCartaVrn::BMoveChartUpClick()
{
    const int row = FLBChartImages->currentRow();
    if (row < 0)
        return;
    if (const auto to = FChart->Desk().MoveChartImage(static_cast<std::size_t>(row), true)) {
        const TChtChartImage *moved = FChart->Desk().ChartImages[*to];
        RefillChartImages();
        SelectChartImage(moved, static_cast<int>(*to));
        FChart->Redraw(true, true);
    }
}

void TFormCartaVrn::BMoveChartDownClick()
{
    const int row = FLBChartImages->currentRow();
    if (row < 0)
        return;
    if (const auto to = FChart->Desk().MoveChartImage(static_cast<std::size_t>(row), false)) {
        const TChtChartImage *moved = FChart->Desk().ChartImages[*to];
        RefillChartImages();
        SelectChartImage(moved, static_cast<int>(*to));
        FChart->Redraw(true, true);
    }
}

void TFormCartaVrn::BCenterOnChartClick()
{
    TChtChartImage *image = SelectedChartImage();
    if (!image)
        return;
    if (!AskYesNo(this, QStringLiteral("Center desktop on \"%1\" ?").arg(Q(image->DisplayName()))))
        return;
    if (FChart->Desk().ChartImages.IndexOf(image) < 0)
        return;
    const TGeoPoint c = ChartImageCentre(*image->Imagem);
    FChart->CenterOn(c.LatDeg, c.LonDeg);
}

} // namespace vrn
