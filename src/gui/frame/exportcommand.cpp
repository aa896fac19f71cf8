// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/exportcommand.h"

#include "core/export/csv.h"
#include "core/export/exporttarget.h"
#include "core/export/icalendar.h"
#include "core/grid/gridfile.h"
#include "core/store/document.h"
#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "gui/frame/documentcommands.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ExportCommand {

bool exportYear(QWidget* parent, const Document& doc) {
    // The dialog opens beside the document, with its name as iCalendar.
    QString path =
        FileDialog::getSaveFileName(parent, u"エクスポート"_s, QString::fromUtf16(Filter),
                                    DocFiles::suggestedFile(doc.path(), doc.baseYear(), u".ics"_s));
    if (path.isEmpty())
        return false;
    QFileInfo target(path);
    if (target.suffix().isEmpty()) {
        path += u".ics"_s;
        target.setFile(path);
    }
    const bool csv = target.suffix().compare(u"csv"_s, Qt::CaseInsensitive) == 0;
    // Never onto a document (this one, another open one or any other) or a template.
    if (const FileResult r = ExportTarget::check(path, doc.isUntitled() ? QString() : doc.path());
        !r.ok()) {
        MessageBox::show(parent, r.exportMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    if (!askToReplace(parent, path))
        return false;
    const QByteArray bytes = csv ? Export_Csv(doc.store(), doc.baseYear())
                                 : Export_ICalendar(doc.store(), doc.baseYear(),
                                                    {false, Clock::currentDateTime().toUTC()});
    const FileResult r = GridFile::writeAtomically(path, bytes, GridFile::Backup::None);
    if (!r.ok()) {
        MessageBox::show(parent, r.exportMessage(path), MessageBox::OkOnly, MessageBox::Critical);
        return false;
    }
    return true;
}

} // namespace ExportCommand
