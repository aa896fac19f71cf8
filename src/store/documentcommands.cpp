#include "store/documentcommands.h"

#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "store/appstate.h"
#include "store/documentfile.h"

namespace {

bool saveTo(QWidget* parent, AppState& app, const QString& path) {
    const QString previous = app.DocPath;
    app.DocPath = path;
    const FileResult r = Store_Save(app);
    if (!r.ok()) {
        app.DocPath = previous;
        MessageBox::show(parent, r.saveMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    app.setDocChanged(false);
    return true;
}

} // namespace

bool Store_SaveDoc(QWidget* parent, AppState& app) {
    if (DocFiles::isUntitled(app.DocPath))
        return Store_SaveAs(parent, app);
    return saveTo(parent, app, app.DocPath);
}

bool Store_SaveAs(QWidget* parent, AppState& app) {
    const QString chosen =
        FileDialog::getSaveFileName(parent, QString::fromUtf16(DocFiles::SaveDialogTitle),
                                    QString::fromUtf16(DocFiles::DocumentFilter));
    if (chosen.isEmpty())
        return false;
    return saveTo(parent, app,
                  DocFiles::savePath(chosen, QString::fromUtf16(DocFiles::DocumentExt)));
}
