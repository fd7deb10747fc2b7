#include "apps/vrn32/fVrnSpla.h"

#include "ui/DocumentOpener.h"
#include "ui/Keyboard.h"
#include "ui/MessageBoxes.h"
#include "ui/VarunelPicture.h"
#include "ui/fVrndisc.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vrn {
namespace {

const QString kCloseCaption = QStringLiteral("Cl&ose");
const QString kOkCaption = QStringLiteral("&Ok");

} // namespace

TFormVarunelSplash::TFormVarunelSplash(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormVarunelSplash"));
    setWindowTitle(QStringLiteral(" Varunel "));
    setWindowIcon(CompassRosePixmap(64));

    auto *picture = new TLauncherPicture(this);
    picture->setObjectName(QStringLiteral("ImgLogo"));

    auto *title = new QLabel(QStringLiteral("Varunel"), this);
    title->setObjectName(QStringLiteral("LTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto *subtitle = new QLabel(QStringLiteral("Celestial and chart navigation"), this);
    subtitle->setObjectName(QStringLiteral("LSubtitle"));
    QFont subtitleFont = subtitle->font();
    subtitleFont.setPointSizeF(subtitleFont.pointSizeF() * 1.3);
    subtitle->setFont(subtitleFont);

    FLVersion = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(VRN_VERSION)), this);
    FLVersion->setObjectName(QStringLiteral("LVersion"));

    auto *words = new QVBoxLayout;
    words->addStretch(1);
    words->addWidget(title);
    words->addWidget(subtitle);
    words->addSpacing(12);
    words->addWidget(FLVersion);
    words->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(16);
    top->addLayout(words, 1);

    FBCelestialNavigation =
        AddButton("BCelestialNavigation", QStringLiteral("&Celestial Navigation"),
            QStringLiteral("Open Celestial Navigation window"));
    FBChartNavigation = AddButton("BChartNavigation", QStringLiteral("Chart &Navigation"),
        QStringLiteral("Open chart window"));
    FBStarFinder = AddButton(
        "BStarFinder", QStringLiteral("&Star Finder"), QStringLiteral("Open star finder window"));
    FBDisclaimer =
        AddButton("BDisclaimer", QStringLiteral("About Varunel..."), QStringLiteral("Legal stuff"));
    FBHelp = AddButton("BHelp", QStringLiteral("&Help"), QString());
    FBCloseVrn = AddButton("BCloseVrn", kCloseCaption, QStringLiteral("Close program"));

    // Until their windows exist these buttons have nothing to open.
    FBCelestialNavigation->setEnabled(false);
    FBChartNavigation->setEnabled(false);
    FBStarFinder->setEnabled(false);

    connect(FBCelestialNavigation, &QPushButton::clicked, this,
        &TFormVarunelSplash::BCelestialNavigationClick);
    connect(
        FBChartNavigation, &QPushButton::clicked, this, &TFormVarunelSplash::BChartNavigationClick);
    connect(FBStarFinder, &QPushButton::clicked, this, &TFormVarunelSplash::BStarFinderClick);
    connect(FBDisclaimer, &QPushButton::clicked, this, &TFormVarunelSplash::BDisclaimerClick);
    connect(FBHelp, &QPushButton::clicked, this, &TFormVarunelSplash::BHelpClick);
    connect(FBCloseVrn, &QPushButton::clicked, this, &TFormVarunelSplash::BCloseVrnClick);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {FBCelestialNavigation, FBChartNavigation, FBStarFinder, FBDisclaimer,
             FBHelp, FBCloseVrn}) {
        buttons->addWidget(b);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    // Laid out like every window: it opens at the size of its contents and can grow.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    EnterActivatesButtons(*this);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QPushButton *TFormVarunelSplash::AddButton(
    const char *name, const QString &caption, const QString &hint)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

void TFormVarunelSplash::SetCelestialNavigationWindow(QWidget *window)
{
    FCelestialNavigation = window;
    FBCelestialNavigation->setEnabled(window != nullptr);
}

void TFormVarunelSplash::SetChartViewerWindow(QWidget *window)
{
    FChartViewer = window;
    FBChartNavigation->setEnabled(window != nullptr);
}

void TFormVarunelSplash::SetStarFinderWindow(QWidget *window)
{
    FStarFinder = window;
    FBStarFinder->setEnabled(window != nullptr);
}

void TFormVarunelSplash::SetCloseQueryHandler(std::function<void()> handler)
{
    FCloseQuery = std::move(handler);
}

void TFormVarunelSplash::ShowAsAboutBox()
{
    FBCloseVrn->setText(kOkCaption);
    ShowWindow(this);
}

void TFormVarunelSplash::ShowWindow(QWidget *window)
{
    if (!window) {
        return;
    }
    if (window->isVisible() && window->isMinimized()) {
        window->showNormal();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void TFormVarunelSplash::BCelestialNavigationClick()
{
    ShowWindow(FCelestialNavigation);
}

void TFormVarunelSplash::BChartNavigationClick()
{
    ShowWindow(FChartViewer);
}

void TFormVarunelSplash::SetStarFinderHandOver(std::function<void()> handOver)
{
    FStarFinderHandOver = std::move(handOver);
}

void TFormVarunelSplash::BStarFinderClick()
{
    if (FStarFinderHandOver && FStarFinder)
        FStarFinderHandOver();
    else
        ShowWindow(FStarFinder);
}

void TFormVarunelSplash::BDisclaimerClick()
{
    RunCommand(this, [this] {
        TFormVrnDisclaimer disclaimer(this);
        disclaimer.exec();
    });
}

void TFormVarunelSplash::BHelpClick()
{
    RunCommand(this, [this] { OpenHelpFile(this); });
}

void TFormVarunelSplash::BCloseVrnClick()
{
    if (FBCloseVrn->text() == kOkCaption) {
        FBCloseVrn->setText(kCloseCaption);
        ShowWindow(FChartViewer);
        return;
    }
    close();
}

void TFormVarunelSplash::FormCloseQuery()
{
    if (FCloseQuery) {
        RunCommand(this, FCloseQuery);
    }
}

void TFormVarunelSplash::closeEvent(QCloseEvent *event)
{
    FormCloseQuery();
    event->accept();
    // The launcher is the main window: with it goes the program, whatever else is open.
    QCoreApplication::quit();
}

} // namespace vrn
