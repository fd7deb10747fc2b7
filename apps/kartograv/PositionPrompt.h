#pragma once

// The point editor "Edit Position" (charts/FormEditaPosicao) as both chart preparation tools use
// it: one dialog shared by the program, its text field hidden.

#include <QString>
#include <optional>

class QWidget;

namespace vrn {

class TFormEditaPosicao;

struct TPromptedPosition
{
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, west positive
};

// The dialog the program created at start-up; without one (a tool window on its own, as in the
// tests) each question gets a dialog of its own. The caller keeps ownership.
void SetSharedPointEditor(TFormEditaPosicao *editor);

// The edited position after OK, none after Cancel; the fields open on `start`.
std::optional<TPromptedPosition> AskPosition(
    QWidget *parent, const QString &title, const TPromptedPosition &start);

} // namespace vrn
