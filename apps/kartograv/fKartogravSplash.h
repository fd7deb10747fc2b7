#pragma once

// The launcher of kartograv, its main window: it shows the digitiser and the importer, the legal
// notice and the help file; closing it ends the program, after asking when work is unsaved.

#include <QPointer>
#include <QWidget>
#include <functional>

class QPushButton;

namespace vrn {

// The picture of the launcher and the program's icon: a chart with a traced coastline.
QPixmap KartogravPixmap(int sizePx);

class TFormKartogravSplash : public QWidget
{
    Q_OBJECT

public:
    explicit TFormKartogravSplash(QWidget *parent = nullptr);
    ~TFormKartogravSplash() override;

    void SetDigitiserWindow(QWidget *window);
    void SetImporterWindow(QWidget *window);
    // True when closing would lose work (unsaved polygons or a rotated picture); the launcher
    // then asks "Exit?" and stays open on No.
    void SetUnsavedWorkQuery(std::function<bool()> query);

    void BMakeVectorChartClick();
    void BImportChartImageClick();
    void BDisclaimerClick();
    void BCloseVrnClick();
    void BHelpClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    static void ShowWindow(QWidget *window);
    QPushButton *AddButton(const char *name, const QString &caption, const QString &hint);

    QPointer<QWidget> FDigitiser;
    QPointer<QWidget> FImporter;
    std::function<bool()> FUnsavedWork;
    QPushButton *FBMakeVectorChart = nullptr;
    QPushButton *FBImportChartImage = nullptr;
};

} // namespace vrn
