#include "apps/kartograv/KartogravLinks.h"

#include "ui/DocumentOpener.h"
#include "ui/MessageBoxes.h"

#include <QLabel>
#include <QUrl>

namespace vrn {

QString KartogravWebSite()
{
    return QStringLiteral("https://pelvarq.org/varunel/");
}

QLabel *NewWebSiteLabel(QWidget *parent, const char *objectName)
{
    auto *label = new QLabel(
        QStringLiteral("<a href=\"%1\">%1</a>").arg(KartogravWebSite().toHtmlEscaped()), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setToolTip(QStringLiteral("Click to visit Varunel website"));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, parent, [parent](const QString &link) {
        if (!OpenDocument(QUrl(link)))
            ShowError(parent, QStringLiteral("Could not open %1").arg(link));
    });
    return label;
}

} // namespace vrn
