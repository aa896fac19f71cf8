// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/documentcommands.h"

#include "core/store/appstate.h"
#include "core/store/document.h"
#include "core/store/documentfile.h"
#include "core/store/recovery.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString nameOf(const QString& path) {
    return DocFiles::isUntitled(path) ? path : QFileInfo(path).fileName();
}

// Another open document whose file is `path`.
Document* otherDocumentAt(AppState& app, const Document& doc, const QString& path) {
    Document* other = app.findDocument(path);
    return other == &doc ? nullptr : other;
}

bool writeTo(QWidget* parent, Document& doc, const QString& path, int cols) {
    FileIdentity written;
    const FileResult r = DocFiles::writeDocument(doc.store(), cols, path, &written);
    if (!r.ok()) {
        MessageBox::show(parent, r.saveMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    if (doc.lock().docPath() != path)
        doc.lock().move(path, DocumentLock::Takeover::Always);
    doc.setPath(path);
    doc.setIdentity(written);
    doc.setChanged(false);
    return true;
}

} // namespace

bool Doc_Save(QWidget* parent, AppState& app, Document& doc, int cols) {
    if (doc.isUntitled())
        return Doc_SaveAs(parent, app, doc, cols);
    const QString path = doc.path();
    // Another program (a second computer, a synchronised folder) may have written the
    // file since it was read or saved here: never overwritten without a word.
    if (doc.identity().changedOnDisk(path)) {
        const QString text = u"「%1」は、読み込んだ後に別のプログラムで変更されています。\n"
                             u"上書きすると、その変更は失われます。"_s.arg(nameOf(path));
        switch (MessageBox::show(parent, text, MessageBox::OverwriteSaveAsCancel,
                                 MessageBox::Warning)) {
        case MessageBox::Overwrite:
            break;
        case MessageBox::SaveAs:
            return Doc_SaveAs(parent, app, doc, cols);
        default:
            return false;
        }
    }
    return writeTo(parent, doc, path, cols);
}

bool Doc_SaveAs(QWidget* parent, AppState& app, Document& doc, int cols) {
    // The dialog opens at the document's own file (a new one: "<year>年度.dys" in the
    // documents folder).
    const QString path = chooseSavePath(parent, QString::fromUtf16(DocFiles::DocumentFilter),
                                        QString::fromUtf16(DocFiles::DocumentExt),
                                        DocFiles::suggestedFile(doc.path(), doc.baseYear()));
    if (path.isEmpty())
        return false;
    if (Document* other = otherDocumentAt(app, doc, path)) {
        MessageBox::show(
            parent,
            u"「%1」は開いている別の年度のファイルです。\n別の名前で保存してください。"_s.arg(
                other->displayName()),
            MessageBox::OkOnly, MessageBox::Warning);
        return false;
    }
    return writeTo(parent, doc, path, cols);
}

bool Store_SaveDoc(QWidget* parent, AppState& app) {
    return Doc_Save(parent, app, app.doc(), SaveShape::Calendar);
}

bool Store_SaveAs(QWidget* parent, AppState& app) {
    return Doc_SaveAs(parent, app, app.doc(), SaveShape::Calendar);
}

QString endQuestion(const Document& doc) {
    return u"ファイルが変更されています。保存しますか。\n「%1」（%2年度）"_s.arg(doc.displayName())
        .arg(doc.baseYear());
}

std::optional<QList<Document*>> Docs_ConfirmEnd(QWidget* parent, AppState& app, Document* letGo) {
    QList<Document*> dropped;
    if (letGo)
        dropped.append(letGo);
    for (Document* doc : app.changedDocuments()) {
        if (doc == letGo)
            continue;
        switch (MessageBox::show(parent, endQuestion(*doc), MessageBox::YesNoCancel,
                                 MessageBox::Yes, MessageBox::Question, doc->displayName())) {
        case MessageBox::Yes:
            // A save that does not happen (cancelled or failed) keeps the program open.
            if (!Doc_Save(parent, app, *doc, SaveShape::Calendar))
                return std::nullopt;
            break;
        case MessageBox::No:
            dropped.append(doc);
            break;
        default:
            return std::nullopt;
        }
    }
    return dropped;
}

bool Doc_TakeLock(QWidget* parent, Document& doc, const QString& path) {
    const auto holder = DocumentLock::holder(path);
    if (holder && !holder->isThisProcess() && !holder->isStale()) {
        const QString text = holder->describe(nameOf(path)) +
                             u"\n同時に変更すると、どちらかの変更が失われます。\n開きますか。"_s;
        if (MessageBox::show(parent, text, MessageBox::YesNo, MessageBox::No,
                             MessageBox::Warning) != MessageBox::Yes)
            return false;
        doc.lock().acquire(path, DocumentLock::Takeover::Always);
        return true;
    }
    // A folder the lock cannot be written to does not keep the document from opening.
    doc.lock().acquire(path);
    return true;
}

bool Doc_OfferRecovery(QWidget* parent, Document& doc) {
    const QString copy = Recovery::copyPath(doc.path());
    if (!QFileInfo::exists(copy))
        return false;
    if (!Recovery::hasNewerCopy(doc.path())) {
        // The document was saved after the copy was made.
        QFile::remove(copy);
        return false;
    }
    return Doc_OfferCopy(parent, doc, copy);
}

bool Doc_OfferCopy(QWidget* parent, Document& doc, const QString& copy) {
    YearStore recovered;
    const FileResult r = DocFiles::readDocument(copy, recovered);
    if (!r.ok()) {
        MessageBox::show(parent, r.loadMessage(copy), MessageBox::OkOnly, MessageBox::Critical,
                         doc.isUntitled() ? QString() : doc.displayName());
        QFile::remove(copy);
        return false;
    }
    const QString name = doc.isUntitled()
                             ? u"新しい年度（%1年度）"_s.arg(int(qint16(recovered.number(0, 0))))
                             : doc.displayName();
    const QString text = u"前回保存されなかった変更があります。復元しますか。\n「%1」"_s.arg(name);
    if (MessageBox::show(parent, text, MessageBox::YesNo, MessageBox::Question) !=
        MessageBox::Yes) {
        QFile::remove(copy);
        return false;
    }
    // The copy stays until the document is saved: the recovered changes are not on
    // disk anywhere else. It is the document's own copy from now on.
    doc.replace(recovered, true);
    const QString own = Recovery::copyPath(doc.path());
    if (own != copy) {
        QFile::remove(own);
        QFile::rename(copy, own);
    }
    return true;
}

QString chooseSavePath(QWidget* parent, const QString& filter, const QString& ext,
                       const QString& start) {
    const QString chosen = FileDialog::getSaveFileName(
        parent, QString::fromUtf16(DocFiles::SaveDialogTitle), filter, start);
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
