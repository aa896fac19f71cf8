#include "store/documentfile.h"

#include "grid/gridmodel.h"
#include "store/appstate.h"
#include "store/dates.h"

#include <QDir>
#include <QFileInfo>

namespace DocFiles {

bool isUntitled(const QString& docPath) {
    return docPath.startsWith(QStringView(UntitledPrefix));
}

QString savePath(const QString& chosen, const QString& ext) {
    const QFileInfo info(chosen);
    QString folder = chosen.left(chosen.size() - info.fileName().size());
    if (!folder.isEmpty() && !folder.endsWith(u'/') && !folder.endsWith(QDir::separator()))
        folder += u'/';
    QString title = info.fileName();
    const qsizetype dot = title.lastIndexOf(u'.');
    if (dot > 0 && title.size() - dot == 4)
        title.truncate(dot);
    return folder + title + ext;
}

FileResult checkDocumentShape(const GridData& data) {
    if (data.rows != 367 || (data.cols != 19 && data.cols != 20))
        return FileResult::failure(
            FileResult::NotADocument,
            QStringLiteral("%1 行 × %2 列の表です").arg(data.rows).arg(data.cols));
    const QString year = data.cells.front().text.trimmed();
    const qint64 value = Dates::numericValue(year);
    if (year.isEmpty() || QString::number(value) != year || value < 1 || value > 9998)
        return FileResult::failure(FileResult::NotADocument,
                                   QStringLiteral("年度「%1」が読めません").arg(year.left(20)));
    return FileResult::success();
}

FileResult loadDocument(const QString& path, GridModel& buffer) {
    GridData data;
    FileResult r = GridFile::read(path, data);
    if (r.ok())
        r = checkDocumentShape(data);
    if (!r.ok())
        return r;
    buffer.assignData(std::move(data));
    buffer.setFixedRows(0);
    buffer.setFixedCols(0);
    return r;
}

} // namespace DocFiles

QString commandLineDocPath(const QString& commandLine) {
    if (commandLine.startsWith(u'"'))
        return commandLine.mid(1, commandLine.size() - 2);
    return commandLine;
}
