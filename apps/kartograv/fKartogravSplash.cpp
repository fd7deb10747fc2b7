#include "apps/kartograv/fKartogravSplash.h"

#include "apps/kartograv/KartogravLinks.h"
#include "apps/kartograv/LegalNotice.h"
#include "ui/DocumentOpener.h"
#include "ui/FormSettings.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vrn {

QPixmap KartogravPixmap(int sizePx)
{
    QPixmap pm(sizePx, sizePx);
    pm.fill(QColor(0x1E, 0x4F, 0x8C));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = sizePx / 100.0;
    QPainterPath land;
    land.moveTo(0, 30 * s);
    land.cubicTo(25 * s, 22 * s, 30 * s, 48 * s, 52 * s, 44 * s);
    land.cubicTo(70 * s, 40 * s, 64 * s, 70 * s, 100 * s, 66 * s);
    land.lineTo(100 * s, 100 * s);
    land.lineTo(0, 100 * s);
    land.closeSubpath();
    p.fillPath(land, QColor(0xC8, 0xB4, 0x5A));
    p.setPen(QPen(QColor(0xFF, 0xE0, 0x40), 2 * s));
    p.drawPath(land);
    p.setPen(QPen(QColor(255, 255, 255, 150), std::max(1.0, 0.8 * s)));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(i * 25 * s, 0), QPointF(i * 25 * s, 100 * s));
        p.drawLine(QPointF(0, i * 25 * s), QPointF(100 * s, i * 25 * s));
    }
    p.setPen(QPen(Qt::red, 2.5 * s));
    for (const QPointF c : {QPointF(52 * s, 44 * s), QPointF(25 * s, 28 * s)}) {
        p.drawLine(c - QPointF(5 * s, 0), c + QPointF(5 * s, 0));
        p.drawLine(c - QPointF(0, 5 * s), c + QPointF(0, 5 * s));
    }
    return pm;
}

TFormKartogravSplash::TFormKartogravSplash(QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormKartogravSplash"));
    setWindowTitle(QStringLiteral("Kartograv"));
    setWindowIcon(KartogravPixmap(64));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(KartogravPixmap(128));
    auto *title = new QLabel(QStringLiteral("Kartograv"), this);
    title->setObjectName(QStringLiteral("LTitle"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 2.6);
    f.setBold(true);
    title->setFont(f);
    auto *subtitle = new QLabel(QStringLiteral("Chart preparation for Varunel"), this);
    subtitle->setObjectName(QStringLiteral("LSubtitle"));
    auto *version = new QLabel(QStringLiteral("Version 4.0"), this);
    version->setObjectName(QStringLiteral("LVersion"));
    auto *link = NewWebSiteLabel(this, "LWebSite");

    auto *words = new QVBoxLayout;
    words->addStretch(1);
    words->addWidget(title);
    words->addWidget(subtitle);
    words->addSpacing(8);
    words->addWidget(version);
    words->addWidget(link);
    words->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(16);
    top->addLayout(words, 1);

    FBMakeVectorChart = AddButton("BMakeVectorChart", QStringLiteral("&Make vector chart"),
        QStringLiteral("Create Vector Chart"));
    FBImportChartImage = AddButton("BImportChartImage", QStringLiteral("Import chart &Image"),
        QStringLiteral("Import Chart Image"));
    // "&Important information" would share Alt+I with "Import chart &Image".
    auto *bDisclaimer = AddButton(
        "BDisclaimer", QStringLiteral("Im&portant information"), QStringLiteral("Legal stuff"));
    auto *bClose =
        AddButton("BCloseVrn", QStringLiteral("&Close"), QStringLiteral("Close program"));
    auto *bHelp = AddButton("BHelp", QStringLiteral("&Help"), QString());
    FBMakeVectorChart->setEnabled(false);
    FBImportChartImage->setEnabled(false);
    connect(FBMakeVectorChart, &QPushButton::clicked, this,
        &TFormKartogravSplash::BMakeVectorChartClick);
    connect(FBImportChartImage, &QPushButton::clicked, this,
        &TFormKartogravSplash::BImportChartImageClick);
    connect(bDisclaimer, &QPushButton::clicked, this, &TFormKartogravSplash::BDisclaimerClick);
    connect(bClose, &QPushButton::clicked, this, &TFormKartogravSplash::BCloseVrnClick);
    connect(bHelp, &QPushButton::clicked, this, &TFormKartogravSplash::BHelpClick);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {FBMakeVectorChart, FBImportChartImage, bDisclaimer, bClose, bHelp})
        buttons->addWidget(b);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TFormKartogravSplash::~TFormKartogravSplash() = default;

QPushButton *TFormKartogravSplash::AddButton(
    const char *name, const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoDefault(true);
    return b;
}

void TFormKartogravSplash::SetDigitiserWindow(QWidget *window)
{
    FDigitiser = window;
    FBMakeVectorChart->setEnabled(window != nullptr);
}

void TFormKartogravSplash::SetImporterWindow(QWidget *window)
{
    FImporter = window;
    FBImportChartImage->setEnabled(window != nullptr);
}

void TFormKartogravSplash::SetUnsavedWorkQuery(std::function<bool()> query)
{
    FUnsavedWork = std::move(query);
}

void TFormKartogravSplash::ShowWindow(QWidget *window)
{
    if (!window)
        return;
    if (window->isVisible() && window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void TFormKartogravSplash::BMakeVectorChartClick()
{
    ShowWindow(FDigitiser);
}

void TFormKartogravSplash::BImportChartImageClick()
{
    ShowWindow(FImporter);
}

void TFormKartogravSplash::BDisclaimerClick()
{
    RunCommand(this, [this] { ShowLegalNotice(this); });
}

void TFormKartogravSplash::BHelpClick()
{
    RunCommand(this, [this] { OpenHelpFile(this); });
}

void TFormKartogravSplash::BCloseVrnClick()
{
    close();
}

void TFormKartogravSplash::closeEvent(QCloseEvent *event)
{
    bool unsaved = false;
    RunCommand(this, [&] { unsaved = FUnsavedWork && FUnsavedWork(); });
    if (unsaved && !AskYesNo(this, QStringLiteral("Exit?"))) {
        event->ignore();
        return;
    }
    event->accept();
    // The program ends with the launcher (exit, not quit: quit would ask every tool window
    // again, and the question about unsaved work was asked above).
    QCoreApplication::exit(0);
}

} // namespace vrn
