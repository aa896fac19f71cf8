// SPDX-License-Identifier: GPL-3.0-or-later
// daylog-tool search-years: one search over the documents of many years.

#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/search/yearsearch.h"
#include "core/stats/stats.h"
#include "core/time/dates.h"

#include "commandline.h"
#include "commands.h"

#include <algorithm>

int searchYears(const QStringList& given) {
    const QString name = QStringLiteral("search-years");
    Cli::Arguments a;
    if (!Cli::split(name, given, {}, {}, a))
        return Cli::UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() < 2)
        return Cli::usage(
            QStringLiteral("search-years には検索項目と、文書かフォルダが一つ以上要ります。"),
            name);
    const QString& keyword = a.rest[0];
    if (keyword.isEmpty()) {
        Cli::err(QStringLiteral("検索項目を入力してください"));
        return Cli::Failure;
    }
    const Wildcard pattern = Wildcard::contains(keyword);
    if (!pattern.isValid()) {
        Cli::err(Stats_BadKeyword(keyword, pattern.error()));
        return Cli::Failure;
    }
    const QStringList sources = a.rest.mid(1);
    for (const QString& source : sources)
        if (Cli::isStdio(source))
            return Cli::usage(QStringLiteral("search-years は標準入力を読めません。"), name);

    QStringList missing;
    const QStringList files = YearSearch_Files(sources, &missing);
    for (const QString& source : missing)
        Cli::err(QStringLiteral("「%1」はありません。").arg(source));

    // Every hit with its file, then in date order (a day of two copies of one year in
    // the order the files were given or found).
    struct Line {
        const QString* file;
        const SearchHit* hit;
    };
    const std::vector<YearSearchResult> results = YearSearch_All(files, pattern, SearchText::Whole);
    std::vector<Line> lines;
    int searched = 0;
    for (const YearSearchResult& r : results) {
        if (!r.searched()) {
            Cli::err(QStringLiteral("「%1」は探しませんでした。%2").arg(r.path, r.error.reason()));
            continue;
        }
        ++searched;
        for (const SearchHit& hit : r.hits)
            lines.push_back({&r.path, &hit});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& x, const Line& y) { return x.hit->date < y.hit->date; });
    QString text;
    for (const Line& line : lines)
        text += Cli::escaped(*line.file) + u'\t' + Dates::toStoreText(line.hit->date) + u'\t' +
                Search_FieldName(line.hit->column) + u'\t' + Cli::escaped(line.hit->text) + u'\n';
    Cli::out(text);
    if (searched == 0) {
        Cli::err(QStringLiteral("探せる文書がありませんでした。"));
        return Cli::Failure;
    }
    return Cli::Success;
}
