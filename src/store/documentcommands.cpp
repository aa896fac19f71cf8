#include "store/documentcommands.h"

#include "platform/filedialog.h"
#include "platform/messagebox.h"
#include "store/appstate.h"
#include "store/documentfile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

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
    const QString path = chooseSavePath(parent, QString::fromUtf16(DocFiles::DocumentFilter),
                                        QString::fromUtf16(DocFiles::DocumentExt));
    if (path.isEmpty())
        return false;
    return saveTo(parent, app, path);
}

QString chooseSavePath(QWidget* parent, const QString& filter, const QString& ext) {
    const QString chosen =
        FileDialog::getSaveFileName(parent, QString::fromUtf16(DocFiles::SaveDialogTitle), filter);
    if (chosen.isEmpty())
        return {};
    // The question is about the file really written, which may not be the name chosen
    // (plan.txt is saved as plan.dys). A folder of that name is not replaced: the save
    // itself fails and says so.
    const QString path = DocFiles::savePath(chosen, ext);
    return askToReplace(parent, path) ? path : QString();
}

bool askToReplace(QWidget* parent, const QString& path) {
    const QFileInfo target(path);
    if (!target.exists() || target.isDir())
        return true;
    const QString text = u"「"_s + target.fileName() + u"」は既に存在します。\n上書きしますか。"_s;
    return MessageBox::show(parent, text, MessageBox::YesNo, MessageBox::Question) ==
           MessageBox::Yes;
}
