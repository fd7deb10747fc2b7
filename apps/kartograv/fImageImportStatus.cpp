#include "apps/kartograv/fImageImportStatus.h"

#include "charts/ChartImageImport.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace vrn {
namespace {

QPixmap StatusIcon(const QWidget *w, int index)
{
    const auto icon = index == 0 ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxWarning;
    return w->style()->standardIcon(icon).pixmap(24, 24);
}

} // namespace

TFormImageImportStatus::TFormImageImportStatus(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormImageImportStatus"));
    setWindowTitle(QStringLiteral("Image Import Status"));
    FImgNS = new QLabel(this);
    FImgNS->setObjectName(QStringLiteral("ImgNS"));
    FLNS = new QLabel(this);
    FLNS->setObjectName(QStringLiteral("LNS"));
    FImgEW = new QLabel(this);
    FImgEW->setObjectName(QStringLiteral("ImgEW"));
    FLEW = new QLabel(this);
    FLEW->setObjectName(QStringLiteral("LEW"));
    auto *explanation = new QLabel(QString::fromUtf8(kImportStatusExplanation.data(),
                                       static_cast<int>(kImportStatusExplanation.size())),
        this);
    explanation->setObjectName(QStringLiteral("LExplanation"));
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("BClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->addWidget(FImgNS, 0, 0);
    grid->addWidget(FLNS, 0, 1);
    grid->addWidget(FImgEW, 1, 0);
    grid->addWidget(FLEW, 1, 1);
    grid->addWidget(explanation, 2, 0, 1, 2);
    grid->addWidget(close, 3, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
}

void TFormImageImportStatus::SetLines(
    const QString &nsText, int nsIcon, const QString &ewText, int ewIcon)
{
    FLNS->setText(nsText);
    FImgNS->setPixmap(StatusIcon(this, nsIcon));
    FLEW->setText(ewText);
    FImgEW->setPixmap(StatusIcon(this, ewIcon));
    FEwIcon = ewIcon;
}

QString TFormImageImportStatus::NsText() const
{
    return FLNS->text();
}

QString TFormImageImportStatus::EwText() const
{
    return FLEW->text();
}

} // namespace vrn
