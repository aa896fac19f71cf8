#include "grid/gridfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstring>

// File layout (UTF-8, lines ended by LF):
//
//   DayLogGrid<TAB>1
//   <rows><TAB><cols>
//   <fore><TAB><back><TAB><text>      one line per cell, row by row
//   end
//
// Colours are unsigned decimal numbers. In a text, backslash, TAB, LF and CR are
// written as \\ \t \n \r, so every cell stays on one line. The closing "end" line
// tells a complete file from a truncated one.

namespace {

constexpr char Magic[] = "DayLogGrid";

QString tr(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void appendNumber(QByteArray& out, quint32 v) {
    char buf[16];
    int n = 0;
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    while (n)
        out.append(buf[--n]);
}

void appendEscaped(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    while (p < end) {
        const char* run = p;
        while (p < end && *p != '\\' && *p != '\t' && *p != '\n' && *p != '\r')
            ++p;
        out.append(run, p - run);
        if (p == end)
            break;
        out.append('\\');
        switch (*p) {
        case '\\':
            out.append('\\');
            break;
        case '\t':
            out.append('t');
            break;
        case '\n':
            out.append('n');
            break;
        default:
            out.append('r');
            break;
        }
        ++p;
    }
}

// Strict unsigned decimal; false unless the whole field is 1..10 digits ≤ 2^32-1.
bool parseNumber(const char* p, const char* end, quint64 limit, quint64& value) {
    if (p == end || end - p > 10)
        return false;
    value = 0;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + quint64(*p - '0');
    }
    return value <= limit;
}

class Parser {
public:
    explicit Parser(QByteArrayView bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}

    // Next line without its LF; false at the end of the data. A line not ended by
    // LF is still returned (the caller then misses the "end" line).
    bool nextLine(const char*& begin, const char*& end) {
        if (m_p >= m_end)
            return false;
        begin = m_p;
        const void* nl = std::memchr(m_p, '\n', size_t(m_end - m_p));
        end = nl ? static_cast<const char*>(nl) : m_end;
        m_p = nl ? end + 1 : m_end;
        ++m_line;
        return true;
    }
    qint64 line() const { return m_line; }
    qint64 remaining() const { return m_end - m_p; }

private:
    const char* m_p;
    const char* m_end;
    qint64 m_line = 0;
};

FileResult damaged(qint64 line, const char* what) {
    return FileResult::failure(FileResult::Damaged,
                               tr("%1 行目: %2").arg(line).arg(QString::fromUtf8(what)));
}

} // namespace

QString FileResult::reason() const {
    switch (code) {
    case Ok:
        return {};
    case NotFound:
        return tr("ファイルが見つかりません。");
    case Unreadable:
        return tr("ファイルを読み込めません（%1）。").arg(detail);
    case TooLarge:
        return tr("ファイルが大きすぎます（%1）。").arg(detail);
    case NotAGridFile:
        return tr("DayLogのファイルではありません。");
    case NewerVersion:
        return tr("新しい版のDayLogで作られたファイルです（形式 %1）。").arg(detail);
    case Damaged:
        return tr("ファイルが壊れています（%1）。").arg(detail);
    case NotADocument:
        return tr("年度のデータではありません（%1）。").arg(detail);
    case WriteFailed:
        return tr("書き込めません（%1）。").arg(detail);
    case Unsupported:
        return tr("この形式は扱えません（%1）。").arg(detail);
    }
    return detail;
}

QString FileResult::loadMessage(const QString& path) const {
    return tr("ファイル「%1」を開けませんでした。\n%2").arg(path, reason());
}

QString FileResult::saveMessage(const QString& path) const {
    return tr("ファイル「%1」を保存できませんでした。\n%"
              "2\n保存されていない変更はそのまま残っています。")
        .arg(path, reason());
}

namespace GridFile {

QByteArray serialize(int rows, int cols, const std::vector<GridCell>& cells) {
    Q_ASSERT(cells.size() == size_t(rows) * size_t(cols));
    qsizetype estimate = 64;
    for (const GridCell& c : cells)
        estimate += c.text.size() * 3 + 8;
    QByteArray out;
    out.reserve(estimate);
    out.append(Magic).append('\t');
    appendNumber(out, Version);
    out.append('\n');
    appendNumber(out, quint32(rows));
    out.append('\t');
    appendNumber(out, quint32(cols));
    out.append('\n');
    for (const GridCell& c : cells) {
        appendNumber(out, c.fore);
        out.append('\t');
        appendNumber(out, c.back);
        out.append('\t');
        appendEscaped(out, c.text);
        out.append('\n');
    }
    out.append("end\n");
    return out;
}

FileResult parse(QByteArrayView bytes, GridData& out) {
    if (bytes.size() > MaxFileBytes)
        return FileResult::failure(FileResult::TooLarge, tr("%1 バイト").arg(bytes.size()));
    Parser in(bytes);
    const char* b;
    const char* e;

    // Header: magic and version.
    if (!in.nextLine(b, e))
        return FileResult::failure(FileResult::NotAGridFile);
    const size_t magicLen = sizeof(Magic) - 1;
    if (size_t(e - b) < magicLen + 2 || std::memcmp(b, Magic, magicLen) != 0 || b[magicLen] != '\t')
        return FileResult::failure(FileResult::NotAGridFile);
    quint64 version = 0;
    if (!parseNumber(b + magicLen + 1, e, 0xFFFFFFFFu, version))
        return damaged(in.line(), "形式の番号が読めません");
    if (version > quint64(Version))
        return FileResult::failure(FileResult::NewerVersion, QString::number(version));
    if (version < 1)
        return damaged(in.line(), "形式の番号が読めません");

    // Size.
    if (!in.nextLine(b, e))
        return damaged(in.line() + 1, "表の大きさがありません");
    const char* tab = static_cast<const char*>(std::memchr(b, '\t', size_t(e - b)));
    quint64 rows = 0, cols = 0;
    if (!tab || !parseNumber(b, tab, 0xFFFFFFFFu, rows) ||
        !parseNumber(tab + 1, e, 0xFFFFFFFFu, cols))
        return damaged(in.line(), "表の大きさが読めません");
    if (rows > quint64(MaxRows) || cols > quint64(MaxCols) || rows * cols > quint64(MaxCells))
        return FileResult::failure(FileResult::TooLarge, tr("%1 行 × %2 列").arg(rows).arg(cols));

    // Every cell takes at least "0\t0\t\n", five bytes: a size the data cannot hold
    // is refused before anything is allocated for it.
    const qint64 count = qint64(rows * cols);
    if (count * 5 > in.remaining())
        return damaged(in.line() + 1, "ファイルが途中で切れています");

    std::vector<GridCell> cells(static_cast<size_t>(count));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QByteArray unescaped;
    for (qint64 i = 0; i < count; ++i) {
        if (!in.nextLine(b, e))
            return damaged(in.line() + 1, "ファイルが途中で切れています");
        const char* t1 = static_cast<const char*>(std::memchr(b, '\t', size_t(e - b)));
        const char* t2 =
            t1 ? static_cast<const char*>(std::memchr(t1 + 1, '\t', size_t(e - t1 - 1))) : nullptr;
        quint64 fore = 0, back = 0;
        if (!t2 || !parseNumber(b, t1, 0xFFFFFFFFu, fore) ||
            !parseNumber(t1 + 1, t2, 0xFFFFFFFFu, back))
            return damaged(in.line(), "セルの色が読めません");
        GridCell& cell = cells[size_t(i)];
        cell.fore = quint32(fore);
        cell.back = quint32(back);
        const char* text = t2 + 1;
        if (text == e)
            continue;
        QByteArrayView raw(text, e - text);
        if (std::memchr(text, '\\', size_t(e - text)) ||
            std::memchr(text, '\r', size_t(e - text)) ||
            std::memchr(text, '\t', size_t(e - text))) {
            unescaped.clear();
            for (const char* p = text; p < e; ++p) {
                if (*p == '\t' || *p == '\r')
                    return damaged(in.line(), "セルの文字に制御文字がそのまま入っています");
                if (*p != '\\') {
                    unescaped.append(*p);
                    continue;
                }
                if (++p == e)
                    return damaged(in.line(), "セルの文字の終わりが不正です");
                switch (*p) {
                case '\\':
                    unescaped.append('\\');
                    break;
                case 't':
                    unescaped.append('\t');
                    break;
                case 'n':
                    unescaped.append('\n');
                    break;
                case 'r':
                    unescaped.append('\r');
                    break;
                default:
                    return damaged(in.line(), "セルの文字に不明なエスケープがあります");
                }
            }
            raw = unescaped;
        }
        cell.text = decoder.decode(raw);
        if (decoder.hasError())
            return damaged(in.line(), "文字コードが UTF-8 ではありません");
    }
    if (!in.nextLine(b, e) || QByteArrayView(b, e - b) != QByteArrayView("end"))
        return damaged(in.line() + 1, "ファイルが途中で切れているか、余分な行があります");
    // Nothing but the final line end may follow.
    if (in.remaining() > 0)
        return damaged(in.line() + 1, "ファイルの終わりの後に余分なデータがあります");
    out.rows = int(rows);
    out.cols = int(cols);
    out.cells = std::move(cells);
    return FileResult::success();
}

FileResult read(const QString& path, GridData& out) {
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists())
        return FileResult::failure(FileResult::NotFound);
    if (info.isDir())
        return FileResult::failure(FileResult::Unreadable, tr("フォルダです"));
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(FileResult::Unreadable, file.errorString());
    if (file.size() > MaxFileBytes)
        return FileResult::failure(FileResult::TooLarge, tr("%1 バイト").arg(file.size()));
    // Read at most one byte past the bound, so a file that grows while read (or a
    // device without a size) still cannot make us read without limit.
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return FileResult::failure(FileResult::Unreadable, file.errorString());
    return parse(bytes, out);
}

QString backupPath(const QString& path) {
    return path + QStringLiteral(".bak");
}

FileResult writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(FileResult::WriteFailed, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return FileResult::failure(FileResult::WriteFailed, why);
    }
    // Keep the version being replaced. A failing copy does not stop the save: the
    // new content is complete in the temporary file and the old file is untouched
    // until the rename below.
    if (QFileInfo::exists(path)) {
        const QString bak = backupPath(path);
        QFile::remove(bak);
        QFile::copy(path, bak);
    }
    if (!file.commit())
        return FileResult::failure(FileResult::WriteFailed, file.errorString());
    return FileResult::success();
}

} // namespace GridFile
