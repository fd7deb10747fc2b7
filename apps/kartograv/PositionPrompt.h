#pragma once

// The point editor "Edit Position" as both chart preparation tools use it: its text field
// hidden, opened on the last latitude and longitude it held.

#include <QString>
#include <optional>

class QWidget;

namespace vrn {

struct TPromptedPosition
{
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, west positive
};

// The edited position after OK, none after Cancel.
std::optional<TPromptedPosition> AskPosition(
    QWidget *parent, const QString &title, const TPromptedPosition &start);

} // namespace vrn
