#pragma once

class QWidget;

namespace vrn {

// The legal notice shared with vrn32, created, shown modally and freed.
void ShowLegalNotice(QWidget *parent);

} // namespace vrn
