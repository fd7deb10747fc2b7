#pragma once

// The product's web site, linked from the launcher and the about box.

#include <QString>

class QLabel;
class QWidget;

namespace vrn {

QString KartogravWebSite();

// A label that opens the web site through the document seam when clicked.
QLabel *NewWebSiteLabel(QWidget *parent, const char *objectName);

} // namespace vrn
