// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/documentfile.h"

#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QtEndian>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int FileRows = 367;

bool validWidth(int cols) {
    return cols == 19 || cols == 20;
}

// A text as a message quotes it: at most 20 characters, control characters shown as
// U+FFFD.
QString quoted(const QString& text) {
    QString s = text.left(20);
    for (QChar& c : s)
        if (c.unicode() < 0x20)
            c = QChar::ReplacementCharacter;
    return text.size() > 20 ? s + u'…' : s;
}

// "表の 5 行目（2005/04/05）": a row of the table as a message names it.
QString rowName(int row, int baseYear) {
    const QString what =
        row == 0 ? u"見出し"_s : Dates::toStoreText(Dates::dateOfRow(row, baseYear));
    return u"表の %1 行目（%2）"_s.arg(row).arg(what);
}

QString columnName(int row, int col) {
    if (row == 0 && col == 0)
        return u"年度"_s;
    if (col == StoreCol::Date)
        return u"日付"_s;
    if (col < StoreCol::TextColumns)
        return storeHeadings()[size_t(col)];
    return u"曜日の色"_s;
}

// The checks the reader makes of a document's cells and that the writer makes before
// it writes one: the year in the corner, each day row's date and weekday, no NUL in
// any text. `textAt(row, col)` gives a cell's text; `mayHoldNul` false skips the
// search for NUL characters (the reader knows from the bytes that there is none).
template <typename TextAt> FileResult checkCells(int cols, const TextAt& textAt, bool mayHoldNul) {
    const QString corner = textAt(0, 0);
    const QString year = corner.trimmed();
    const qint64 value = Dates::numericValue(year);
    if (year.isEmpty() || QString::number(value) != year || value < DocLimits::FirstYear ||
        value > DocLimits::LastYear)
        return FileResult::failure(
            FileResult::NotADocument,
            u"年度「%1」が読めません。%2 から %3 までの年のはずです"_s.arg(quoted(corner))
                .arg(DocLimits::FirstYear)
                .arg(DocLimits::LastYear));
    const int baseYear = int(value);
    if (mayHoldNul) {
        for (int r = 0; r < FileRows; ++r)
            for (int c = 0; c < cols; ++c)
                if (textAt(r, c).contains(QChar(u'\0')))
                    return FileResult::failure(FileResult::Damaged,
                                               u"%1の「%2」の欄に NUL 文字があります"_s.arg(
                                                   rowName(r, baseYear), columnName(r, c)));
    }
    const QDate origin = Dates::yearOrigin(baseYear);
    for (int r = 1; r < FileRows; ++r) {
        const QDate day = origin.addDays(r);
        // yyyy/MM/dd as Dates::toStoreText writes it, without a string made a day.
        int y = 0, m = 0, d = 0;
        day.getDate(&y, &m, &d);
        const char16_t date[10] = {char16_t(u'0' + y / 1000 % 10),
                                   char16_t(u'0' + y / 100 % 10),
                                   char16_t(u'0' + y / 10 % 10),
                                   char16_t(u'0' + y % 10),
                                   u'/',
                                   char16_t(u'0' + m / 10),
                                   char16_t(u'0' + m % 10),
                                   u'/',
                                   char16_t(u'0' + d / 10),
                                   char16_t(u'0' + d % 10)};
        const QString dateText = textAt(r, StoreCol::Date);
        if (QStringView(dateText) != QStringView(date, 10))
            return FileResult::failure(
                FileResult::Damaged,
                u"表の %1 行目の日付が「%2」で、%3 ではありません"_s.arg(r).arg(
                    quoted(dateText), Dates::toStoreText(day)));
        const QString weekday = Dates::weekdayLetter(day);
        const QString weekdayText = textAt(r, StoreCol::Weekday);
        if (weekdayText != weekday)
            return FileResult::failure(FileResult::Damaged,
                                       u"%1の曜日が「%2」で、「%3」ではありません"_s.arg(
                                           rowName(r, baseYear), quoted(weekdayText), weekday));
    }
    return FileResult::success();
}

// The colours of one row's cells as a document file holds them: those of
// cellColorMap() from row 1 on; in row 0 the document's header (below); 0 elsewhere.
struct RowColours {
    std::array<quint32, 20> fore{};
    std::array<quint32, 20> back{};
};

// The header of a document in the text colours of row 0, which readers before
// document version 2 never looked at: cell (0,0) holds the document version, cells
// (0,1)..(0,4) the identity's 128 bits, 32 a cell, the most significant first. A
// store without an identity is written as version 1 was, with every colour of row 0
// 0.
constexpr quint32 DocumentVersion = 2;
constexpr int IdCells = 4;

void putHeader(RowColours& rc, const QUuid& id) {
    if (id.isNull())
        return;
    const QByteArray bytes = id.toRfc4122();
    rc.fore[0] = DocumentVersion;
    for (int i = 0; i < IdCells; ++i)
        rc.fore[size_t(1 + i)] = qFromBigEndian<quint32>(bytes.constData() + 4 * i);
}

// The identity in a file's header; null for a file without one (version 1) or with
// something there that is no identity this program makes (a later version reads as
// this one as far as it knows it).
QUuid headerId(const GridData& data) {
    if (data.cells[0].fore < DocumentVersion)
        return {};
    char bytes[4 * IdCells];
    for (int i = 0; i < IdCells; ++i)
        qToBigEndian<quint32>(data.cells[size_t(1 + i)].fore, bytes + 4 * i);
    const QUuid id = QUuid::fromRfc4122(QByteArrayView(bytes, sizeof bytes));
    if (id.variant() != QUuid::DCE ||
        (id.version() != QUuid::Random && id.version() != QUuid::Sha1))
        return {};
    return id;
}

RowColours rowColours(const YearStore& store, int row, int cols) {
    RowColours rc;
    if (row < 1) {
        putHeader(rc, store.documentId());
        return rc;
    }
    for (const ColorMapLine& m : cellColorMap()) {
        if (m.gridCol >= cols)
            continue;
        // Only the low 32 bits of a stored number can be a colour.
        rc.fore[size_t(m.gridCol)] = quint32(store.number(row, m.foreCol));
        if (m.backCol >= 0)
            rc.back[size_t(m.gridCol)] = quint32(store.number(row, m.backCol));
    }
    return rc;
}

// The exact size of the image of `store` (imageBytes).
qint64 sizeOf(const YearStore& store, int cols) {
    qint64 n = GridFile::Image::headerBytes(FileRows, cols) + GridFile::Image::EndBytes;
    for (int row = 0; row < FileRows; ++row) {
        const RowColours rc = rowColours(store, row, cols);
        for (int col = 0; col < cols; ++col)
            n += GridFile::Image::cellBytes(rc.fore[size_t(col)], rc.back[size_t(col)],
                                            store.text(row, col));
    }
    return n;
}

// The largest size the image of `store` can take, found from the texts' lengths
// alone: three bytes a UTF-16 unit, two colours of at most ten digits, two TABs and a
// line end a cell, and room for the header and the end line.
qint64 boundOf(const YearStore& store, int cols) {
    qint64 n = 64;
    for (int row = 0; row < FileRows; ++row)
        for (int col = 0; col < cols; ++col)
            n += store.text(row, col).size() * 3 + 23;
    return n;
}

// The image of `store`, written into a buffer of `room` bytes (boundOf, or the exact
// size) and cut to its size.
QByteArray imageOf(const YearStore& store, int cols, qint64 room) {
    QByteArray out(room, Qt::Uninitialized);
    char* const first = out.data();
    char* o = GridFile::Image::putHeader(first, FileRows, cols);
    for (int row = 0; row < FileRows; ++row) {
        const RowColours rc = rowColours(store, row, cols);
        for (int col = 0; col < cols; ++col)
            o = GridFile::Image::putCell(o, rc.fore[size_t(col)], rc.back[size_t(col)],
                                         store.text(row, col));
    }
    o = GridFile::Image::putEnd(o);
    Q_ASSERT(o <= first + room);
    out.truncate(o - first);
    return out;
}

// checkWritable, and the room the image needs when it is. `findNul` false leaves
// the search for NUL characters to the caller.
FileResult checkForWriting(const YearStore& store, int cols, qint64& room, bool findNul) {
    if (!validWidth(cols))
        return FileResult::failure(FileResult::Unsupported, u"%1 列の文書"_s.arg(cols));
    // Said as a save's reason: the file is not damaged, it would be.
    const FileResult r = checkCells(
        cols, [&](int row, int col) { return store.text(row, col); }, findNul);
    if (!r.ok())
        return FileResult::failure(FileResult::WriteFailed,
                                   r.detail + u"。このまま保存すると開けなくなります"_s);
    // The exact size only when the bound does not settle it.
    room = boundOf(store, cols);
    if (room <= GridFile::MaxFileBytes)
        return FileResult::success();
    room = sizeOf(store, cols);
    if (room > GridFile::MaxFileBytes)
        return FileResult::failure(
            FileResult::TooLarge,
            u"保存すると %1 バイトになります。%2 バイトまでです"_s.arg(room).arg(
                GridFile::MaxFileBytes));
    return FileResult::success();
}

} // namespace

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

QString dialogFolder(const QString& docPath) {
    if (docPath.isEmpty() || isUntitled(docPath)) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return documents.isEmpty() ? QDir::homePath() : documents;
    }
    return QFileInfo(docPath).absolutePath();
}

QString suggestedFile(const QString& docPath, int baseYear, const QString& ext) {
    const QString folder = dialogFolder(docPath);
    const QString base = docPath.isEmpty() || isUntitled(docPath)
                             ? QStringLiteral("%1年度").arg(baseYear)
                             : QFileInfo(docPath).completeBaseName();
    if (ext.isEmpty() && !isUntitled(docPath) && !docPath.isEmpty())
        return QFileInfo(docPath).absoluteFilePath();
    return QDir(folder).filePath(base + (ext.isEmpty() ? QString::fromUtf16(DocumentExt) : ext));
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

FileResult parseDocument(QByteArrayView bytes, YearStore& out) {
    GridData data;
    FileResult r = GridFile::parse(bytes, data);
    if (!r.ok())
        return r;
    if (data.rows != FileRows || !validWidth(data.cols))
        return FileResult::failure(FileResult::NotADocument,
                                   u"%1 行 × %2 列の表です"_s.arg(data.rows).arg(data.cols));
    const int cols = data.cols;
    const auto textAt = [&](int row, int col) -> const QString& {
        return data.cells[size_t(row) * size_t(cols) + size_t(col)].text;
    };
    r = checkCells(cols, textAt, bytes.contains('\0'));
    if (!r.ok())
        return r;
    // As copyGridToStore gives it into an empty store: the texts first, then the
    // colours, so that column 19 ends as the weekday cell's text colour. Written into
    // `out` in place (all is checked): every cell is either set here or emptied.
    for (int row = 0; row < FileRows; ++row)
        for (int col = 0; col < cols; ++col)
            out.set(row, col, StoreValue(textAt(row, col)));
    for (int col = cols; col < YearStore::Cols; ++col)
        out.set(0, col, StoreValue());
    for (int row = 1; row < FileRows; ++row) {
        // Columns 19..51 are the colour columns, all set below.
        for (int col = StoreCol::RecordBack + 1; col < YearStore::Cols; ++col)
            out.set(row, col, StoreValue());
        for (const ColorMapLine& m : cellColorMap()) {
            if (m.gridCol >= cols)
                continue;
            const GridCell& cell = data.cells[size_t(row) * size_t(cols) + size_t(m.gridCol)];
            out.set(row, m.foreCol, qint64(cell.fore));
            if (m.backCol >= 0)
                out.set(row, m.backCol, qint64(cell.back));
        }
    }
    for (int row = FileRows; row < YearStore::Rows; ++row)
        for (int col = 0; col < YearStore::Cols; ++col)
            out.set(row, col, StoreValue());
    out.setDocumentId(headerId(data));
    return FileResult::success();
}

QUuid derivedDocumentId(const QString& path) {
    // A name-based UUID (version 5) in a namespace of this program's own.
    static const QUuid space(u"bc49b87d-921d-4211-a930-3e1cc0010427"_s);
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return QUuid::createUuidV5(
        space, QSysInfo::machineUniqueId() + '\0' +
                   (canonical.isEmpty() ? info.absoluteFilePath() : canonical).toUtf8());
}

FileResult readDocument(const QString& path, YearStore& out, FileIdentity* identity) {
    QByteArray bytes;
    GridFile::FileStamp stamp;
    FileResult r = GridFile::readBytes(path, bytes, &stamp);
    if (r.ok())
        r = parseDocument(bytes, out);
    if (r.ok() && out.documentId().isNull())
        out.setDocumentId(derivedDocumentId(path));
    if (r.ok() && identity) {
        identity->exists = true;
        identity->size = stamp.size;
        identity->modifiedMs = stamp.modifiedMs;
        identity->digest = FileIdentity::digestOf(bytes);
    }
    return r;
}

qint64 imageBytes(const YearStore& store, int cols) {
    return validWidth(cols) ? sizeOf(store, cols) : -1;
}

QByteArray documentImage(const YearStore& store, int cols) {
    return validWidth(cols) ? imageOf(store, cols, boundOf(store, cols)) : QByteArray();
}

FileResult checkWritable(const YearStore& store, int cols) {
    qint64 room = 0;
    return checkForWriting(store, cols, room, true);
}

FileResult writeDocument(const YearStore& store, int cols, const QString& path,
                         FileIdentity* written) {
    qint64 room = 0;
    FileResult r = checkForWriting(store, cols, room, false);
    if (!r.ok())
        return r;
    const QByteArray image = imageOf(store, cols, room);
    // Only a text can put a NUL byte into the image; the check then says which.
    if (image.contains('\0'))
        return checkForWriting(store, cols, room, true);
    r = GridFile::writeAtomically(path, image);
    if (r.ok() && written)
        *written = FileIdentity::ofImage(path, image);
    return r;
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
