// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/ending.h"

#include "core/store/appstate.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/navigator.h"

bool Program_End(QWidget* parent, AppState& app, Navigator& nav, Document* letGo) {
    if (NavWindow* shown = nav.current())
        shown->storePage();
    for (NavWindow* w : nav.loadOrder())
        if (!w->settleEdits())
            return false;
    const auto dropped = Docs_ConfirmEnd(parent, app, letGo);
    if (!dropped)
        return false;
    for (Document* doc : *dropped)
        Q_EMIT app.changesLetGo(doc);
    nav.requestEnd();
    return true;
}
