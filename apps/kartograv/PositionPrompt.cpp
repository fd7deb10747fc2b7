#include "apps/kartograv/PositionPrompt.h"

#include "charts/FormEditaPosicao.h"

#include <QPointer>

namespace vrn {
namespace {

QPointer<TFormEditaPosicao> gShared;

} // namespace

void SetSharedPointEditor(TFormEditaPosicao *editor)
{
    gShared = editor;
}

std::optional<TPromptedPosition> AskPosition(
    QWidget *parent, const QString &title, const TPromptedPosition &start)
{
    TPromptedPosition p = start;
    if (gShared)
        return gShared->ExecutePosition(p.Lat, p.Lon, title) ? std::optional(p) : std::nullopt;
    TFormEditaPosicao editor(parent);
    return editor.ExecutePosition(p.Lat, p.Lon, title) ? std::optional(p) : std::nullopt;
}

} // namespace vrn
