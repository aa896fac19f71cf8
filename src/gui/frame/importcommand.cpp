// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/importcommand.h"

#include "core/export/icsimport.h"
#include "core/grid/gridfile.h"
#include "core/store/document.h"
#include "core/store/documentfile.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"

using namespace Qt::StringLiterals;

namespace ImportCommand {

bool importICalendar(QWidget* parent, Document& doc) {
    const QString path =
        FileDialog::getOpenFileName(parent, u"インポート(iCalendar)"_s, QString::fromUtf16(Filter),
                                    DocFiles::dialogFolder(doc.path()));
    if (path.isEmpty())
        return false;
    QByteArray bytes;
    if (const FileResult r = GridFile::readBytes(path, bytes); !r.ok()) {
        MessageBox::show(parent, u"「%1」を開けませんでした。%2"_s.arg(path, r.reason()),
                         MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    IcsImportSummary summary;
    QString error;
    bool imported = false;
    {
        // Every cell the import writes is one change of the document.
        Document::Batch batch(doc);
        imported = Import_ICalendar(bytes, doc.store(), doc.baseYear(), summary, &error);
    }
    if (!imported) {
        MessageBox::show(parent, u"「%1」を読み込めませんでした。%2"_s.arg(path, error),
                         MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    MessageBox::show(parent, u"「%1」を取り込みました。\n\n"_s.arg(path) + summary.text(),
                     MessageBox::OkOnly, MessageBox::Information);
    return summary.added() > 0;
}

} // namespace ImportCommand
