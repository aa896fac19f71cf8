// SPDX-License-Identifier: GPL-3.0-or-later
// stats-record and stats-item: the statistics windows' counts of one document year, or
// of several side by side (--with): the same keywords over the same days of the school
// year in each.

#include "core/grid/gridmodel.h"
#include "core/stats/stats.h"
#include "core/stats/yearstats.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"

#include "commandline.h"
#include "commands.h"

#include <algorithm>
#include <deque>

using namespace Qt::StringLiterals;

namespace {

using Cli::err;
using Cli::escaped;
using Cli::Failure;
using Cli::out;
using Cli::UsageError;

const QString WithOption = u"--with"_s;

// FILE FROM TO read (Cli::openRange) and the --with documents' names checked: 0, or
// the exit code after the message.
int openWith(const QString& name, const QStringList& args, const QStringList& others, AppState& app,
             int& first, int& last) {
    for (const QString& path : others)
        if (!Cli::documentName(name, path))
            return UsageError;
    return Cli::openRange(name, args, app, first, last);
}

// The years to count: FILE's (read by openRange into `app`) and each --with file's,
// oldest first. False after the message when one cannot be read or is a year already
// counted.
bool gatherYears(const AppState& app, const QStringList& others, std::deque<YearStore>& read,
                 std::vector<StatsYear>& years) {
    years.push_back({app.baseYear(), &app.store()});
    for (const QString& path : others) {
        YearStore& year = read.emplace_back();
        if (const FileResult r = DocFiles::readDocument(path, year); !r.ok()) {
            err(r.loadMessage(path));
            return false;
        }
        const int baseYear = int(year.number(0, 0));
        if (std::any_of(years.begin(), years.end(),
                        [&](const StatsYear& y) { return y.baseYear == baseYear; })) {
            err(u"「%1」は%2年度の文書です。その年度はもう数えています。"_s.arg(path).arg(
                baseYear));
            return false;
        }
        years.push_back({baseYear, &year});
    }
    std::sort(years.begin(), years.end(),
              [](const StatsYear& a, const StatsYear& b) { return a.baseYear < b.baseYear; });
    return true;
}

// Counts `cpg` (its keywords in the one-year places) in every year and writes each
// year's lines (`lines` of its one-year table): with several years each line begins
// with its year's heading and a TAB, the oldest year first.
int countAndWrite(GridModel& cpg, TemplateKind kind, const AppState& app, int first, int last,
                  const QStringList& others,
                  const std::function<QString(const GridModel&)>& lines) {
    std::deque<YearStore> read;
    std::vector<StatsYear> years;
    if (!gatherYears(app, others, read, years))
        return Failure;
    QList<int> baseYears;
    for (const StatsYear& y : years)
        baseYears.append(y.baseYear);
    Stats_Layout(cpg, kind, baseYears);
    Stats_RepeatKeywords(cpg, kind);
    if (const QString message = Stats_Count(cpg, kind, years, {app.baseYear(), first, last});
        !message.isEmpty()) {
        err(message);
        return Failure;
    }
    QString text;
    for (int i = 0; i < int(years.size()); ++i) {
        GridModel one;
        Stats_OneYear(cpg, kind, i, one);
        const QString yearLines = lines(one);
        if (years.size() == 1) {
            text = yearLines;
            break;
        }
        for (const QString& line : yearLines.split(u'\n', Qt::SkipEmptyParts))
            text += Stats_YearHeading(years[size_t(i)].baseYear) + u'\t' + line + u'\n';
    }
    out(text);
    return 0;
}

} // namespace

int statsRecord(const QStringList& given) {
    const QString name = u"stats-record"_s;
    const QString key1 = u"--key1"_s, key2 = u"--key2"_s;
    Cli::Arguments a;
    if (!Cli::split(name, given, {key1, key2, WithOption}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    const QStringList& args = a.rest;
    QHash<QString, QStringList>& keys = a.values;
    if (args.size() != 3)
        return Cli::usage(u"stats-record にはファイル名と FROM と TO の日付が要ります。"_s, name);
    if (keys[key1].size() > Stats::KeywordRows || keys[key2].size() > Stats::Key2Columns)
        return Cli::usage(
            u"--key1 は %1 個まで、--key2 は %2 個までです。"_s.arg(Stats::KeywordRows)
                .arg(Stats::Key2Columns),
            name);
    AppState app;
    int first = 0, last = 0;
    if (const int code = openWith(name, args, keys.value(WithOption), app, first, last))
        return code;
    GridModel grid;
    Kiroku_GridInit(grid);
    const QStringList firsts = keys[key1];
    const QStringList seconds = keys[key2];
    for (qsizetype k = 0; k < firsts.size(); ++k)
        grid.setTextMatrix(int(k) + 1, 1, firsts[k]);
    for (qsizetype c = 0; c < seconds.size(); ++c)
        grid.setTextMatrix(0, int(c) + 2, seconds[c]);
    return countAndWrite(grid, TemplateKind::Record, app, first, last, keys.value(WithOption),
                         [&](const GridModel& one) {
                             QString text;
                             for (qsizetype k = 0; k < firsts.size(); ++k) {
                                 text += escaped(firsts[k]);
                                 for (qsizetype c = 0; c < seconds.size(); ++c)
                                     text += u'\t' + one.textMatrix(int(k) + 1, int(c) + 2);
                                 text += u'\n';
                             }
                             return text;
                         });
}

int statsItem(const QStringList& arguments) {
    const QString name = u"stats-item"_s, keyOption = u"--key"_s;
    Cli::Arguments a;
    if (!Cli::split(name, arguments, {keyOption, WithOption}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    const QStringList& args = a.rest;
    const QStringList given = a.values.value(keyOption);
    if (args.size() != 3)
        return Cli::usage(u"stats-item にはファイル名と FROM と TO の日付が要ります。"_s, name);
    if (given.size() > Stats::KeywordRows)
        return Cli::usage(u"--key は %1 個までです。"_s.arg(Stats::KeywordRows), name);
    AppState app;
    int first = 0, last = 0;
    if (const int code = openWith(name, args, a.values.value(WithOption), app, first, last))
        return code;
    // KEYWORD=TARGET splits at the last "=": a keyword holding "=" is given with a
    // target, empty if need be ("a=b=").
    GridModel grid;
    Koumoku_GridInit(grid);
    for (qsizetype k = 0; k < given.size(); ++k) {
        const qsizetype eq = given[k].lastIndexOf(u'=');
        grid.setTextMatrix(int(k) + 1, 1, eq < 0 ? given[k] : given[k].left(eq));
        grid.setTextMatrix(int(k) + 1, 2, eq < 0 ? QString() : given[k].mid(eq + 1));
    }
    const int keys = int(given.size());
    return countAndWrite(grid, TemplateKind::Item, app, first, last, a.values.value(WithOption),
                         [keys](const GridModel& one) {
                             QString text;
                             for (int k = 1; k <= keys; ++k) {
                                 const QString target = one.textMatrix(k, 2);
                                 const QString count = one.textMatrix(k, 3);
                                 const std::optional<double> goal = Koumoku_target(target);
                                 QString percent;
                                 if (!count.isEmpty() && goal)
                                     percent =
                                         QString::number(count.toInt() * 100.0 / *goal, 'f', 1);
                                 text += escaped(one.textMatrix(k, 1)) + u'\t' + escaped(target) +
                                         u'\t' + count + u'\t' + percent + u'\n';
                             }
                             return text;
                         });
}
