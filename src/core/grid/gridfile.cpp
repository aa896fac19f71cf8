// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridfile.h"

#include <charconv>
#include <cstring>
#include <vector>

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
//
// Reading from and writing to disk is in gridfileio.cpp.

namespace {

constexpr char Magic[] = "DayLogGrid";

QString tr(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Writers into a buffer sized beforehand (see serialize).
char* putNumber(char* out, quint32 v) {
    return std::to_chars(out, out + 10, v).ptr;
}

qsizetype digitCount(quint32 v) {
    qsizetype n = 1;
    for (; v >= 10; v /= 10)
        ++n;
    return n;
}

// UTF-16 → UTF-8 with \\ \t \n \r escaped, at most three bytes per UTF-16 unit. A lone
// surrogate is written as '?', as QString::toUtf8 does.
char* putText(char* out, QStringView text) {
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            const char escape = c == u'\\'   ? '\\'
                                : c == u'\t' ? 't'
                                : c == u'\n' ? 'n'
                                : c == u'\r' ? 'r'
                                             : 0;
            if (escape) {
                *out++ = '\\';
                *out++ = escape;
            } else {
                *out++ = char(c);
            }
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (!QChar::isSurrogate(c)) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t u = QChar::surrogateToUcs4(c, *p++);
            *out++ = char(0xF0 | (u >> 18));
            *out++ = char(0x80 | ((u >> 12) & 0x3F));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        } else {
            *out++ = '?';
        }
    }
    return out;
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

enum class TextError { None, Control, BadEnd, BadEscape, NotUtf8 };

bool continuation(uchar b) {
    return (b & 0xC0) == 0x80;
}

// Unescapes and decodes a cell's text in one pass, through `scratch` (UTF-16 units
// never outnumber the bytes), into `out`. Only well-formed UTF-8 is accepted: no
// overlong forms, no surrogates, nothing above U+10FFFF; a byte order mark is an
// ordinary character. An escape or control error is reported before a UTF-8 error
// on the same line.
TextError decodeText(const char* begin, const char* end, std::vector<char16_t>& scratch,
                     QString& out) {
    const auto* p = reinterpret_cast<const uchar*>(begin);
    const auto* const e = reinterpret_cast<const uchar*>(end);
    if (scratch.size() < size_t(e - p))
        scratch.resize(size_t(e - p));
    char16_t* const first = scratch.data();
    char16_t* o = first;
    bool notUtf8 = false;
    while (p < e) {
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            if (c == '\\') {
                if (p == e)
                    return TextError::BadEnd;
                switch (*p++) {
                case '\\':
                    *o++ = u'\\';
                    break;
                case 't':
                    *o++ = u'\t';
                    break;
                case 'n':
                    *o++ = u'\n';
                    break;
                case 'r':
                    *o++ = u'\r';
                    break;
                default:
                    return TextError::BadEscape;
                }
            } else if (c == '\t' || c == '\r') {
                return TextError::Control;
            } else {
                *o++ = c;
            }
        } else if (c >= 0xE0 && c <= 0xEF && e - p >= 3 && continuation(p[1]) &&
                   continuation(p[2]) && (c != 0xE0 || p[1] >= 0xA0) &&
                   (c != 0xED || p[1] < 0xA0)) {
            *o++ = char16_t(((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        } else if (c >= 0xC2 && c <= 0xDF && e - p >= 2 && continuation(p[1])) {
            *o++ = char16_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c >= 0xF0 && c <= 0xF4 && e - p >= 4 && continuation(p[1]) &&
                   continuation(p[2]) && continuation(p[3]) && (c != 0xF0 || p[1] >= 0x90) &&
                   (c != 0xF4 || p[1] < 0x90)) {
            const char32_t u = (char32_t(c & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
                               (char32_t(p[2] & 0x3F) << 6) | char32_t(p[3] & 0x3F);
            *o++ = QChar::highSurrogate(u);
            *o++ = QChar::lowSurrogate(u);
            p += 4;
        } else {
            notUtf8 = true; // go on: an escape or control error still comes first
            ++p;
        }
    }
    if (notUtf8)
        return TextError::NotUtf8;
    out = QString(reinterpret_cast<const QChar*>(first), o - first);
    return TextError::None;
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
    case NotATemplate:
        return tr("キーワードのテンプレートではありません（%1）。").arg(detail);
    case WriteFailed:
        return tr("書き込めません（%1）。").arg(detail);
    case Unsupported:
        return tr("この形式は扱えません（%1）。").arg(detail);
    case NoSpace:
        return tr("保存先に十分な空きがありません（%1）。"
                  "不要なファイルを削除してから、もう一度保存してください。")
            .arg(detail);
    case ProtectedTarget:
        return tr("DayLogのファイルには書き出せません（%1）。").arg(detail);
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

QString FileResult::exportMessage(const QString& path) const {
    return tr("「%1」に書き出せませんでした。\n%2").arg(path, reason());
}

namespace GridFile {

namespace Image {

qsizetype headerBytes(int rows, int cols) {
    return qsizetype(sizeof(Magic) - 1) + 1 + digitCount(quint32(Version)) + 1 +
           digitCount(quint32(rows)) + 1 + digitCount(quint32(cols)) + 1;
}

qsizetype textBytes(QStringView text) {
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    qsizetype n = 0;
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80)
            n += (c == u'\\' || c == u'\t' || c == u'\n' || c == u'\r') ? 2 : 1;
        else if (c < 0x800)
            n += 2;
        else if (!QChar::isSurrogate(c))
            n += 3;
        else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            ++p;
            n += 4;
        } else {
            n += 1; // written as '?'
        }
    }
    return n;
}

qsizetype cellBytes(quint32 fore, quint32 back, QStringView text) {
    return digitCount(fore) + 1 + digitCount(back) + 1 + textBytes(text) + 1;
}

char* putHeader(char* o, int rows, int cols) {
    std::memcpy(o, Magic, sizeof(Magic) - 1);
    o += sizeof(Magic) - 1;
    *o++ = '\t';
    o = putNumber(o, Version);
    *o++ = '\n';
    o = putNumber(o, quint32(rows));
    *o++ = '\t';
    o = putNumber(o, quint32(cols));
    *o++ = '\n';
    return o;
}

char* putCell(char* o, quint32 fore, quint32 back, QStringView text) {
    o = putNumber(o, fore);
    *o++ = '\t';
    o = putNumber(o, back);
    *o++ = '\t';
    o = putText(o, text);
    *o++ = '\n';
    return o;
}

char* putEnd(char* o) {
    std::memcpy(o, "end\n", EndBytes);
    return o + EndBytes;
}

} // namespace Image

QByteArray serialize(int rows, int cols, const std::vector<GridCell>& cells) {
    Q_ASSERT(cells.size() == size_t(rows) * size_t(cols));
    // Written in place into a buffer of the largest size the image can take: header
    // and end line, then per cell two colours of at most ten digits, two TABs, an LF
    // and at most three bytes per UTF-16 unit of text.
    qsizetype bound = 64;
    for (const GridCell& c : cells)
        bound += c.text.size() * 3 + 23;
    QByteArray out(bound, Qt::Uninitialized);
    char* const first = out.data();
    char* o = Image::putHeader(first, rows, cols);
    for (const GridCell& c : cells)
        o = Image::putCell(o, c.fore, c.back, c.text);
    o = Image::putEnd(o);
    out.truncate(o - first);
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
    std::vector<char16_t> scratch;
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
        if (t2 + 1 == e)
            continue;
        switch (decodeText(t2 + 1, e, scratch, cell.text)) {
        case TextError::None:
            break;
        case TextError::Control:
            return damaged(in.line(), "セルの文字に制御文字がそのまま入っています");
        case TextError::BadEnd:
            return damaged(in.line(), "セルの文字の終わりが不正です");
        case TextError::BadEscape:
            return damaged(in.line(), "セルの文字に不明なエスケープがあります");
        case TextError::NotUtf8:
            return damaged(in.line(), "文字コードが UTF-8 ではありません");
        }
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
    QByteArray bytes;
    const FileResult r = readBytes(path, bytes);
    return r.ok() ? parse(bytes, out) : r;
}

} // namespace GridFile
