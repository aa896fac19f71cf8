#include "store/documentfile.h"

#include "grid/gridmodel.h"
#include "store/dates.h"
#include "store/fileidentity.h"
#include "store/yearstore.h"

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

namespace {

void storeFromData(const GridData& data, YearStore& store) {
    YearStore year;
    const int rows = std::min(data.rows, YearStore::Rows);
    const int cols = std::min(data.cols, YearStore::Cols);
    auto cell = [&](int r, int c) -> const GridCell& {
        return data.cells[size_t(r) * size_t(data.cols) + size_t(c)];
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            year.set(r, c, cell(r, c).text);
    for (int r = 1; r < rows; ++r) {
        for (const ColorMapLine& m : cellColorMap()) {
            if (m.gridCol >= data.cols)
                continue;
            year.set(r, m.foreCol, qint64(cell(r, m.gridCol).fore));
            if (m.backCol >= 0)
                year.set(r, m.backCol, qint64(cell(r, m.gridCol).back));
        }
    }
    store = year;
}

} // namespace

FileResult parseDocument(QByteArrayView bytes, YearStore& out) {
    GridData data;
    FileResult r = GridFile::parse(bytes, data);
    if (r.ok())
        r = checkDocumentShape(data);
    if (r.ok())
        storeFromData(data, out);
    return r;
}

FileResult readDocument(const QString& path, YearStore& out, FileIdentity* identity) {
    GridData data;
    FileResult r = GridFile::read(path, data);
    if (r.ok())
        r = checkDocumentShape(data);
    if (!r.ok())
        return r;
    storeFromData(data, out);
    if (identity)
        *identity = FileIdentity::ofFile(path);
    return r;
}

QByteArray documentImage(const YearStore& store, int cols) {
    constexpr int Rows = 367;
    std::vector<GridCell> cells(size_t(Rows) * size_t(cols));
    for (int r = 0; r < Rows; ++r) {
        GridCell* row = &cells[size_t(r) * size_t(cols)];
        for (int c = 0; c < cols; ++c)
            row[c].text = store.text(r, c);
        if (r == 0)
            continue;
        // Colour values are 24-bit RGB (0x80000005 is the system window colour); only
        // the low 32 bits of a stored number can be a colour.
        for (const ColorMapLine& m : cellColorMap()) {
            if (m.gridCol >= cols)
                continue;
            row[m.gridCol].fore = quint32(store.number(r, m.foreCol));
            if (m.backCol >= 0)
                row[m.gridCol].back = quint32(store.number(r, m.backCol));
        }
    }
    return GridFile::serialize(Rows, cols, cells);
}

FileResult writeDocument(const YearStore& store, int cols, const QString& path,
                         FileIdentity* written) {
    const QByteArray image = documentImage(store, cols);
    const FileResult r = GridFile::writeAtomically(path, image);
    if (r.ok() && written)
        *written = FileIdentity::ofImage(path, image);
    return r;
}

} // namespace DocFiles

QString commandLineDocPath(const QString& commandLine) {
    if (commandLine.startsWith(u'"'))
        return commandLine.mid(1, commandLine.size() - 2);
    return commandLine;
}
