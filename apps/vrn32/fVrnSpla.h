#pragma once

// The launcher: the main window of vrn32. It opens the program's windows, the legal notice and
// the help file; closing it ends the program. It doubles as the chart viewer's About box.

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace vrn {

class TFormVarunelSplash : public QWidget
{
    Q_OBJECT

public:
    explicit TFormVarunelSplash(QWidget *parent = nullptr);

    // The windows the buttons open. A button stays disabled until its window exists.
    void SetCelestialNavigationWindow(QWidget *window);
    void SetChartViewerWindow(QWidget *window);
    void SetStarFinderWindow(QWidget *window);
    // Opens the star finder on the sight being worked (the celestial navigation window's
    // position and GMT) instead of merely showing it.
    void SetStarFinderHandOver(std::function<void()> handOver);

    // Called before the launcher closes, so that the chart viewer can offer to save a changed
    // desktop. Closing is never refused; an error of the handler is shown, not thrown.
    void SetCloseQueryHandler(std::function<void()> handler);

    // Shown by the chart viewer as its About box: the close button reads "&Ok" and returns to
    // the chart viewer instead of ending the program.
    void ShowAsAboutBox();

    void BCelestialNavigationClick();
    void BChartNavigationClick();
    void BStarFinderClick();
    void BDisclaimerClick();
    void BHelpClick();
    void BCloseVrnClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCloseQuery();
    static void ShowWindow(QWidget *window);
    QPushButton *AddButton(const char *name, const QString &caption, const QString &hint);

    QPushButton *FBCelestialNavigation = nullptr;
    QPushButton *FBChartNavigation = nullptr;
    QPushButton *FBStarFinder = nullptr;
    QPushButton *FBDisclaimer = nullptr;
    QPushButton *FBHelp = nullptr;
    QPushButton *FBCloseVrn = nullptr;
    QLabel *FLVersion = nullptr;
    QPointer<QWidget> FCelestialNavigation;
    QPointer<QWidget> FChartViewer;
    QPointer<QWidget> FStarFinder;
    std::function<void()> FCloseQuery;
    std::function<void()> FStarFinderHandOver;
};

} // namespace vrn
