#include "apps/kartograv/faboutc.h"

#include "apps/kartograv/KartogravLinks.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vrn {

QString TAboutBox::WarningText()
{
    return QStringLiteral(
        "Charts made with Kartograv are NOT FOR NAVIGATION.\n\n"
        "A chart picture calibrated here, or a coastline traced from one, is only as good as the "
        "picture, its reference points and the care taken with them. It can be misplaced, "
        "distorted, incomplete or out of date. Use such charts for planning and training only, "
        "and navigate with official charts from the hydrographic authorities.\n\n"
        "The program is provided \"as is\", without warranty of any kind, express or implied, "
        "including the warranties of merchantability, fitness for a particular purpose and "
        "accuracy of its results. The whole risk of its use is with you; in no event shall the "
        "authors be liable for any damage arising from the use of the program or of the charts "
        "made with it.");
}

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48).isNull()
            ? style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(48, 48)
            : QApplication::windowIcon().pixmap(48, 48));
    auto *product = new QLabel(QStringLiteral("Kartograv"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont f = product->font();
    f.setPointSizeF(f.pointSizeF() * 1.8);
    f.setBold(true);
    product->setFont(f);
    auto *version = new QLabel(QStringLiteral("v 2.3"), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *link = NewWebSiteLabel(this, "LWebSite");
    auto *text = new QPlainTextEdit(WarningText(), this);
    text->setObjectName(QStringLiteral("Comments"));
    text->setReadOnly(true);
    text->setMinimumSize(420, 180);
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *words = new QVBoxLayout;
    words->addWidget(product);
    words->addWidget(version);
    words->addWidget(link);
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(words, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(text, 1);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

} // namespace vrn
