// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/doclimits.h"

#include "core/grid/gridfile.h"
#include "core/store/yearstore.h"

using namespace Qt::StringLiterals;

namespace DocLimits {

namespace {

// The bytes a text takes in a document file: UTF-8 with \\, TAB, LF and CR escaped.
qint64 fileBytes(QStringView text) {
    qint64 n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            n += (c == u'\\' || c == u'\t' || c == u'\n' || c == u'\r') ? 2 : 1;
        else if (c < 0x800)
            n += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                 QChar::isLowSurrogate(text[i + 1].unicode())) {
            n += 4;
            ++i;
        } else
            n += QChar::isSurrogate(c) ? 1 : 3;
    }
    return n;
}

} // namespace

QString refusal(const YearStore& store, const std::vector<CellText>& texts) {
    qint64 growth = 0;
    for (const CellText& t : texts) {
        if (t.text.contains(QChar(u'\0')))
            return u"%1行目の %2 列目に、文書に書けない文字（NUL）があります。"_s.arg(t.row).arg(
                t.col);
        if (t.text.size() > MaxTextChars)
            return u"%1行目の %2 列目の文字が %3 文字になり、1つの欄に入る %4 文字を超えます。"_s
                .arg(t.row)
                .arg(t.col)
                .arg(t.text.size())
                .arg(MaxTextChars);
        growth += fileBytes(t.text) - fileBytes(store.text(t.row, t.col));
    }
    if (growth <= 0)
        return {};
    // The larger of the two shapes a document is saved in.
    const qint64 now = DocFiles::imageBytes(store, 20);
    if (now + growth > GridFile::MaxFileBytes)
        return u"年度のファイルが %1 MB を超え、保存しても開けなくなります。"_s.arg(
            GridFile::MaxFileBytes / (1024 * 1024));
    return {};
}

} // namespace DocLimits
