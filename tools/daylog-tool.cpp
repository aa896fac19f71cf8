// daylog-tool: the command-line companion. Works on documents without a display.
//
//   daylog-tool holidays FROM TO   every public holiday from FROM to TO (YYYY-MM-DD)
//   daylog-tool new YEAR FILE      a new document for the year that starts in April YEAR
//   daylog-tool dump FILE          the year store of a document, one line per row
//   daylog-tool todo FILE FROM TO [--sort ORDER]
//                                  the ToDo items of the days FROM..TO as the ToDo list
//                                  shows them, in one of its orders
//   daylog-tool search FILE FROM TO TEXT
//                                  the date of every day FROM..TO with a text that
//                                  holds TEXT (wildcards allowed), one a line
//   daylog-tool stats-record FILE FROM TO [--key1 K]... [--key2 K]...
//                                  record statistics: for each first keyword a line
//                                  of it and its count with each second keyword
//   daylog-tool stats-item FILE FROM TO [--key K[=TARGET]]...
//                                  item statistics: for each keyword a line of it,
//                                  its target, its count and the percentage reached
//   daylog-tool export --format ics|csv [--no-holidays] FILE [OUT]
//                                  the document as iCalendar or CSV, to OUT or to
//                                  standard output
//   daylog-tool import CSV FILE    a new document FILE from a CSV table
//   daylog-tool --version

#include "core/calendar/holidays.h"
#include "core/calendar/newyear.h"
#include "core/export/csv.h"
#include "core/export/exporttarget.h"
#include "core/export/icalendar.h"
#include "core/grid/gridmodel.h"
#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/stats/stats.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "core/todo/todolist.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

constexpr int UsageError = 2;
constexpr int Failure = 1;

void out(const QString& s) {
    const QByteArray b = s.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void err(const QString& s) {
    const QByteArray b = (QStringLiteral("daylog-tool: ") + s + u'\n').toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

int usage(const QString& why) {
    err(why);
    std::fputs("使い方:\n"
               "  daylog-tool holidays FROM TO   (日付は YYYY-MM-DD)\n"
               "  daylog-tool new YEAR FILE\n"
               "  daylog-tool dump FILE\n"
               "  daylog-tool todo FILE FROM TO [--sort ORDER]\n"
               "    ORDER: date date-desc open-first done-first category text text-desc\n"
               "  daylog-tool search FILE FROM TO TEXT\n"
               "  daylog-tool stats-record FILE FROM TO [--key1 K]... [--key2 K]...\n"
               "    (--key1 は 50 個まで、--key2 は 10 個まで)\n"
               "  daylog-tool stats-item FILE FROM TO [--key K[=TARGET]]...\n"
               "    (--key は 50 個まで)\n"
               "  daylog-tool export --format ics|csv [--no-holidays] FILE [OUT]\n"
               "  daylog-tool import CSV FILE\n"
               "  daylog-tool --version\n",
               stderr);
    return UsageError;
}

QDate parseIsoDate(const QString& s) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("\\d{4}-\\d{2}-\\d{2}")));
    if (!form.match(s).hasMatch())
        return {};
    return QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
}

int holidays(const QStringList& args) {
    if (args.size() != 2)
        return usage(QStringLiteral("holidays には FROM と TO の二つの日付が要ります。"));
    const QDate from = parseIsoDate(args[0]), to = parseIsoDate(args[1]);
    if (!from.isValid() || !to.isValid())
        return usage(QStringLiteral("日付は YYYY-MM-DD の形の正しい日付で指定してください。"));
    QString text;
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        const QString name = Holiday_Get(d);
        if (!name.isEmpty())
            text += d.toString(QStringLiteral("yyyy-MM-dd")) + u'\t' + name + u'\n';
        if (text.size() > 65536) {
            out(text);
            text.clear();
        }
    }
    out(text);
    return 0;
}

int newDocument(const QStringList& args) {
    if (args.size() != 2)
        return usage(QStringLiteral("new には年度とファイル名が要ります。"));
    bool ok = false;
    const int year = args[0].toInt(&ok);
    if (!ok || year < 1000 || year > 9998)
        return usage(QStringLiteral("年度「%1」は 1000 から 9998 までの年で指定してください。")
                         .arg(args[0]));
    YearStore store;
    Store_New(store, year, Clock::today());
    const FileResult r = DocFiles::writeDocument(store, 20, args[1]);
    if (!r.ok()) {
        err(r.saveMessage(args[1]));
        return Failure;
    }
    return 0;
}

QString escaped(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            s += QStringLiteral("\\\\");
            break;
        case u'\t':
            s += QStringLiteral("\\t");
            break;
        case u'\n':
            s += QStringLiteral("\\n");
            break;
        case u'\r':
            s += QStringLiteral("\\r");
            break;
        default:
            s += c;
        }
    }
    return s;
}

bool loadStore(AppState& app, const QString& path);

int dump(const QStringList& args) {
    if (args.size() != 1)
        return usage(QStringLiteral("dump にはファイル名が一つ要ります。"));
    AppState app;
    if (!loadStore(app, args[0]))
        return Failure;
    QString text;
    for (int row = 0; row <= YearStore::DayRows; ++row) {
        text += QString::number(row);
        for (int c = 0; c <= StoreCol::RecordBack; ++c)
            text += u'\t' + escaped(app.store().text(row, c));
        text += u'\n';
    }
    out(text);
    return 0;
}

bool loadStore(AppState& app, const QString& path) {
    YearStore year;
    const FileResult r = DocFiles::readDocument(path, year);
    if (!r.ok()) {
        err(r.loadMessage(path));
        return false;
    }
    app.doc().replace(year);
    app.doc().setPath(path);
    setCurrentDateToToday(app);
    return true;
}

int todo(QStringList args) {
    std::optional<ToDoOrder> order;
    if (const qsizetype i = args.indexOf(QStringLiteral("--sort")); i >= 0) {
        if (i + 1 >= args.size())
            return usage(QStringLiteral("--sort には並べ方が要ります。"));
        static const std::pair<const char*, ToDoOrder> orders[] = {
            {"date", ToDoOrder::DateUp},          {"date-desc", ToDoOrder::DateDown},
            {"open-first", ToDoOrder::OpenFirst}, {"done-first", ToDoOrder::DoneFirst},
            {"category", ToDoOrder::Category},    {"text", ToDoOrder::TextUp},
            {"text-desc", ToDoOrder::TextDown}};
        for (const auto& [name, o] : orders)
            if (args[i + 1] == QLatin1String(name))
                order = o;
        if (!order)
            return usage(QStringLiteral("並べ方「%1」はありません。").arg(args[i + 1]));
        args.remove(i, 2);
    }
    if (args.size() != 3)
        return usage(QStringLiteral("todo にはファイル名と FROM と TO の日付が要ります。"));
    const QDate from = parseIsoDate(args[1]), to = parseIsoDate(args[2]);
    if (!from.isValid() || !to.isValid())
        return usage(QStringLiteral("日付は YYYY-MM-DD の形の正しい日付で指定してください。"));
    AppState app;
    if (!loadStore(app, args[0]))
        return Failure;
    GridModel list;
    if (!ToDo_ListShow(list, app, from, to)) {
        err(QStringLiteral("日付設定が不適切です"));
        return Failure;
    }
    if (order)
        ToDo_Sort(list, *order);
    using namespace ToDoList;
    QString text;
    for (int r = 1; r < list.rows(); ++r) {
        if (list.textMatrix(r, DateCol).isEmpty())
            continue; // the empty row of a range without items
        const bool done = list.cell(GridModel::CellChecked, r, DoneCol) == 1;
        text += escaped(list.textMatrix(r, DateCol)) + u'\t' + (done ? u'1' : u'0') + u'\t' +
                escaped(list.textMatrix(r, TimeCol)) + u'\t' +
                escaped(list.textMatrix(r, CategoryCol)) + u'\t' +
                escaped(list.textMatrix(r, TextCol)) + u'\n';
    }
    out(text);
    return 0;
}

// FILE FROM TO, the first three of `args`: the document loaded into `app` and the
// store rows of the two dates. 0 when all is well; otherwise the exit code, after the
// message.
int openRange(const QStringList& args, AppState& app, int& first, int& last) {
    const QDate from = parseIsoDate(args[1]), to = parseIsoDate(args[2]);
    if (!from.isValid() || !to.isValid())
        return usage(QStringLiteral("日付は YYYY-MM-DD の形の正しい日付で指定してください。"));
    if (!loadStore(app, args[0]))
        return Failure;
    if (from > to) {
        err(QStringLiteral("日付設定が不適切です"));
        return Failure;
    }
    first = Dates::rowOfDate(from, app.baseYear());
    last = Dates::rowOfDate(to, app.baseYear());
    return 0;
}

// Takes the options of `names` (each followed by its value) out of `args` into
// `values`, in the order given. False, after the usage message, when an option lacks
// its value or is not one of `names`.
bool takeOptions(QStringList& args, const QStringList& names, QHash<QString, QStringList>& values) {
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(QStringLiteral("--"))) {
            rest.append(args[i]);
        } else if (!names.contains(args[i])) {
            usage(QStringLiteral("オプション「%1」はありません。").arg(args[i]));
            return false;
        } else if (i + 1 >= args.size()) {
            usage(QStringLiteral("%1 には値が要ります。").arg(args[i]));
            return false;
        } else {
            values[args[i]].append(args[i + 1]);
            ++i;
        }
    }
    args = rest;
    return true;
}

int search(const QStringList& args) {
    if (args.size() != 4)
        return usage(
            QStringLiteral("search にはファイル名と FROM と TO の日付と検索項目が要ります。"));
    AppState app;
    int first = 0, last = 0;
    if (const int code = openRange(args, app, first, last))
        return code;
    const QString& keyword = args[3];
    if (keyword.isEmpty()) {
        err(QStringLiteral("検索項目を入力してください"));
        return Failure;
    }
    const Wildcard pattern = Wildcard::contains(keyword);
    if (!pattern.isValid()) {
        err(Stats_BadKeyword(keyword, pattern.error()));
        return Failure;
    }
    QString text;
    for (const QString& date : Search_Days(app, first, last, pattern))
        text += escaped(date) + u'\n';
    out(text);
    return 0;
}

int statsRecord(QStringList args) {
    const QString key1 = QStringLiteral("--key1"), key2 = QStringLiteral("--key2");
    QHash<QString, QStringList> keys;
    if (!takeOptions(args, {key1, key2}, keys))
        return UsageError;
    if (args.size() != 3)
        return usage(QStringLiteral("stats-record にはファイル名と FROM と TO の日付が要ります。"));
    if (keys[key1].size() > Stats::KeywordRows || keys[key2].size() > Stats::Key2Columns)
        return usage(QStringLiteral("--key1 は %1 個まで、--key2 は %2 個までです。")
                         .arg(Stats::KeywordRows)
                         .arg(Stats::Key2Columns));
    AppState app;
    int first = 0, last = 0;
    if (const int code = openRange(args, app, first, last))
        return code;
    GridModel grid;
    Kiroku_GridInit(grid);
    const QStringList& firsts = keys[key1];
    const QStringList& seconds = keys[key2];
    for (qsizetype k = 0; k < firsts.size(); ++k)
        grid.setTextMatrix(int(k) + 1, 1, firsts[k]);
    for (qsizetype c = 0; c < seconds.size(); ++c)
        grid.setTextMatrix(0, int(c) + 2, seconds[c]);
    if (const QString message = Kiroku_count(grid, app, first, last); !message.isEmpty()) {
        err(message);
        return Failure;
    }
    QString text;
    for (qsizetype k = 0; k < firsts.size(); ++k) {
        text += escaped(firsts[k]);
        for (qsizetype c = 0; c < seconds.size(); ++c)
            text += u'\t' + grid.textMatrix(int(k) + 1, int(c) + 2);
        text += u'\n';
    }
    out(text);
    return 0;
}

int statsItem(QStringList args) {
    const QString keyOption = QStringLiteral("--key");
    QHash<QString, QStringList> options;
    if (!takeOptions(args, {keyOption}, options))
        return UsageError;
    if (args.size() != 3)
        return usage(QStringLiteral("stats-item にはファイル名と FROM と TO の日付が要ります。"));
    const QStringList& given = options[keyOption];
    if (given.size() > Stats::KeywordRows)
        return usage(QStringLiteral("--key は %1 個までです。").arg(Stats::KeywordRows));
    AppState app;
    int first = 0, last = 0;
    if (const int code = openRange(args, app, first, last))
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
    if (const QString message = Koumoku_count(grid, app, first, last); !message.isEmpty()) {
        err(message);
        return Failure;
    }
    QString text;
    for (int k = 1; k <= int(given.size()); ++k) {
        const QString target = grid.textMatrix(k, 2);
        const QString count = grid.textMatrix(k, 3);
        const std::optional<double> goal = Koumoku_target(target);
        QString percent;
        if (!count.isEmpty() && goal)
            percent = QString::number(count.toInt() * 100.0 / *goal, 'f', 1);
        text += escaped(grid.textMatrix(k, 1)) + u'\t' + escaped(target) + u'\t' + count + u'\t' +
                percent + u'\n';
    }
    out(text);
    return 0;
}

int exportDocument(QStringList args) {
    QString format;
    bool withoutHolidays = false;
    QStringList files;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QStringLiteral("--format") && !args.isEmpty())
            format = args.takeFirst();
        else if (a == QStringLiteral("--no-holidays"))
            withoutHolidays = true;
        else if (a.startsWith(u'-') && a.size() > 1)
            return usage(QStringLiteral("export の不明なオプション「%1」です。").arg(a));
        else
            files.append(a);
    }
    if (format != QStringLiteral("ics") && format != QStringLiteral("csv"))
        return usage(QStringLiteral("export には --format ics か --format csv が要ります。"));
    if (files.isEmpty() || files.size() > 2)
        return usage(QStringLiteral("export にはファイル名と、あれば出力先が要ります。"));
    if (withoutHolidays && format != QStringLiteral("ics"))
        return usage(QStringLiteral("--no-holidays は --format ics にだけ使えます。"));
    if (files.size() == 2) {
        const FileResult target = ExportTarget::check(files[1], files[0]);
        if (!target.ok()) {
            err(target.exportMessage(files[1]));
            return Failure;
        }
    }
    AppState app;
    if (!loadStore(app, files[0]))
        return Failure;
    const QByteArray bytes =
        format == QStringLiteral("ics")
            ? Export_ICalendar(app.store(), app.baseYear(),
                               {withoutHolidays, Clock::currentDateTime().toUTC()})
            : Export_Csv(app.store(), app.baseYear());
    if (files.size() == 1) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : Failure;
    }
    const FileResult r = GridFile::writeAtomically(files[1], bytes, GridFile::Backup::None);
    if (!r.ok()) {
        err(r.exportMessage(files[1]));
        return Failure;
    }
    return 0;
}

int importDocument(const QStringList& args) {
    if (args.size() != 2)
        return usage(QStringLiteral("import には CSV ファイルと作る文書のファイル名が要ります。"));
    // Read as documents are: a named pipe or a device is refused, the size is bounded.
    QByteArray csv;
    const FileResult read = GridFile::readBytes(args[0], csv);
    if (!read.ok()) {
        err(QStringLiteral("「%1」を開けませんでした。%2").arg(args[0], read.reason()));
        return Failure;
    }
    YearStore store;
    CsvError error;
    if (!Import_Csv(csv, store, &error)) {
        err(QStringLiteral("「%1」を読み込めませんでした。%2").arg(args[0], error.message()));
        return Failure;
    }
    const FileResult r = DocFiles::writeDocument(store, 20, args[1]);
    if (!r.ok()) {
        err(r.saveMessage(args[1]));
        return Failure;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    QString clockError;
    if (!installClockFromEnvironment(&clockError)) {
        err(clockError);
        return UsageError;
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usage(QStringLiteral("コマンドがありません。"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--version") && args.isEmpty()) {
        out(QStringLiteral("daylog-tool " DAYLOG_VERSION "\n"));
        return 0;
    }
    if (command == QStringLiteral("holidays"))
        return holidays(args);
    if (command == QStringLiteral("new"))
        return newDocument(args);
    if (command == QStringLiteral("dump"))
        return dump(args);
    if (command == QStringLiteral("todo"))
        return todo(args);
    if (command == QStringLiteral("search"))
        return search(args);
    if (command == QStringLiteral("stats-record"))
        return statsRecord(args);
    if (command == QStringLiteral("stats-item"))
        return statsItem(args);
    if (command == QStringLiteral("export"))
        return exportDocument(args);
    if (command == QStringLiteral("import"))
        return importDocument(args);
    return usage(QStringLiteral("不明なコマンド「%1」です。").arg(command));
}
