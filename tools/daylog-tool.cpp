// SPDX-License-Identifier: GPL-3.0-or-later
// daylog-tool: the command-line companion. Works on documents without a display.
// `daylog-tool --help` prints the commands (Cli::usageText in commandline.cpp); every
// command follows the conventions of a command-line program: --help, "--" and "-",
// every write checked, exit code 0, 1 for an error, 2 for a usage error.

#include "core/calendar/holidays.h"
#include "core/export/csv.h"
#include "core/export/exporttarget.h"
#include "core/export/icalendar.h"
#include "core/export/icsimport.h"
#include "core/grid/gridmodel.h"
#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/stats/stats.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "core/todo/todolist.h"

#include "commandline.h"
#include "commands.h"
#include "yearcommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

namespace {

using Cli::dateUsage;
using Cli::err;
using Cli::escaped;
using Cli::Failure;
using Cli::loadStore;
using Cli::openRange;
using Cli::out;
using Cli::parseIsoDate;
using Cli::UsageError;

int holidays(const QStringList& args) {
    const QString name = QStringLiteral("holidays");
    Cli::Arguments a;
    if (!Cli::split(name, args, {}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() != 2)
        return Cli::usage(QStringLiteral("holidays には FROM と TO の二つの日付が要ります。"),
                          name);
    const QDate from = parseIsoDate(a.rest[0]), to = parseIsoDate(a.rest[1]);
    if (!from.isValid() || !to.isValid())
        return Cli::usage(dateUsage(), name);
    if (from > to) {
        err(QStringLiteral("日付設定が不適切です"));
        return Failure;
    }
    QString text;
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        const QString holiday = Holiday_Get(d);
        if (!holiday.isEmpty())
            text += d.toString(QStringLiteral("yyyy-MM-dd")) + u'\t' + holiday + u'\n';
        if (text.size() > 65536) {
            out(text);
            text.clear();
        }
    }
    out(text);
    return 0;
}

int dump(const QStringList& args) {
    const QString name = QStringLiteral("dump");
    Cli::Arguments a;
    if (!Cli::split(name, args, {}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() != 1)
        return Cli::usage(QStringLiteral("dump にはファイル名が一つ要ります。"), name);
    if (!Cli::documentName(name, a.rest[0]))
        return UsageError;
    AppState app;
    if (!loadStore(app, a.rest[0]))
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

int todo(const QStringList& given) {
    const QString name = QStringLiteral("todo"), sort = QStringLiteral("--sort");
    Cli::Arguments a;
    if (!Cli::split(name, given, {sort}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    const QStringList& args = a.rest;
    std::optional<ToDoOrder> order;
    if (a.values.contains(sort)) {
        const QString wanted = a.values[sort].last();
        static const std::pair<const char*, ToDoOrder> orders[] = {
            {"date", ToDoOrder::DateUp},          {"date-desc", ToDoOrder::DateDown},
            {"open-first", ToDoOrder::OpenFirst}, {"done-first", ToDoOrder::DoneFirst},
            {"category", ToDoOrder::Category},    {"text", ToDoOrder::TextUp},
            {"text-desc", ToDoOrder::TextDown}};
        for (const auto& [word, o] : orders)
            if (wanted == QLatin1String(word))
                order = o;
        if (!order)
            return Cli::usage(QStringLiteral("並べ方「%1」はありません。").arg(wanted), name);
    }
    if (args.size() != 3)
        return Cli::usage(QStringLiteral("todo にはファイル名と FROM と TO の日付が要ります。"),
                          name);
    const QDate from = parseIsoDate(args[1]), to = parseIsoDate(args[2]);
    if (!from.isValid() || !to.isValid())
        return Cli::usage(dateUsage(), name);
    if (!Cli::documentName(name, args[0]))
        return UsageError;
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
int search(const QStringList& given) {
    const QString name = QStringLiteral("search");
    Cli::Arguments a;
    if (!Cli::split(name, given, {}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    const QStringList& args = a.rest;
    if (args.size() != 4)
        return Cli::usage(
            QStringLiteral("search にはファイル名と FROM と TO の日付と検索項目が要ります。"),
            name);
    AppState app;
    int first = 0, last = 0;
    if (const int code = openRange(name, args, app, first, last))
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

int exportDocument(const QStringList& args) {
    const QString name = QStringLiteral("export"), formatOption = QStringLiteral("--format"),
                  noHolidays = QStringLiteral("--no-holidays");
    Cli::Arguments a;
    if (!Cli::split(name, args, {formatOption}, {noHolidays}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    const QString format = a.values.value(formatOption).value(0);
    const QStringList& files = a.rest;
    if (format != QStringLiteral("ics") && format != QStringLiteral("csv"))
        return Cli::usage(QStringLiteral("export には --format ics か --format csv が要ります。"),
                          name);
    if (files.isEmpty() || files.size() > 2)
        return Cli::usage(QStringLiteral("export にはファイル名と、あれば出力先が要ります。"),
                          name);
    const bool withoutHolidays = a.has(noHolidays);
    if (withoutHolidays && format != QStringLiteral("ics"))
        return Cli::usage(QStringLiteral("--no-holidays は --format ics にだけ使えます。"), name);
    if (!Cli::documentName(name, files[0]))
        return UsageError;
    // Standard output too is never a DayLog file (">> 2026.dys").
    const bool toStdout = files.size() == 1 || Cli::isStdio(files[1]);
    const QString target = toStdout ? QStringLiteral("/dev/stdout") : files[1];
    const QString targetName = toStdout ? QStringLiteral("標準出力") : files[1];
    if (const FileResult check = ExportTarget::check(target, files[0]); !check.ok()) {
        err(check.exportMessage(targetName));
        return Failure;
    }
    AppState app;
    if (!loadStore(app, files[0]))
        return Failure;
    const QByteArray bytes =
        format == QStringLiteral("ics")
            ? Export_ICalendar(app.store(), app.baseYear(),
                               {withoutHolidays, Clock::currentDateTime().toUTC()})
            : Export_Csv(app.store(), app.baseYear());
    if (toStdout) {
        Cli::outBytes(bytes);
        return 0;
    }
    const FileResult r = GridFile::writeAtomically(files[1], bytes, GridFile::Backup::None);
    if (!r.ok()) {
        err(r.exportMessage(files[1]));
        return Failure;
    }
    return 0;
}

// Reads a file to import, or standard input for "-", as documents are read: a named
// pipe or a device is refused, the size is bounded. `name` is what messages call it.
bool readSource(const QString& source, QByteArray& bytes, QString& name) {
    const bool fromStdin = Cli::isStdio(source);
    name = fromStdin ? QStringLiteral("標準入力") : source;
    const FileResult read = fromStdin ? Cli::readStdin(bytes) : GridFile::readBytes(source, bytes);
    if (!read.ok())
        err(QStringLiteral("「%1」を開けませんでした。%2").arg(name, read.reason()));
    return read.ok();
}

int importDocument(const QStringList& args) {
    const QString name = QStringLiteral("import");
    Cli::Arguments a;
    if (!Cli::split(name, args, {}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() != 2)
        return Cli::usage(
            QStringLiteral("import には CSV ファイルと作る文書のファイル名が要ります。"), name);
    const QString &source = a.rest[0], &path = a.rest[1];
    if (!Cli::documentName(name, path))
        return UsageError;
    QByteArray csv;
    QString sourceName;
    if (!readSource(source, csv, sourceName))
        return Failure;
    YearStore store;
    CsvError error;
    if (!Import_Csv(csv, store, &error)) {
        err(QStringLiteral("「%1」を読み込めませんでした。%2").arg(sourceName, error.message()));
        return Failure;
    }
    DocumentLock lock;
    if (!Cli::lockDocument(lock, path))
        return Failure;
    // A document written again from its CSV stays the same document: its identity
    // (which names what it exports to calendars) is kept.
    if (YearStore before; QFileInfo::exists(path) && DocFiles::readDocument(path, before).ok() &&
                          !before.documentId().isNull())
        store.setDocumentId(before.documentId());
    const FileResult r = DocFiles::writeDocument(store, 20, path);
    if (!r.ok()) {
        err(Cli::writeMessage(path, r));
        return Failure;
    }
    return 0;
}

// Adds an iCalendar file's entries to an existing document; the document is written
// only when something was added. The summary goes to standard output.
int importIcs(const QStringList& args) {
    const QString name = QStringLiteral("import-ics");
    Cli::Arguments a;
    if (!Cli::split(name, args, {}, {}, a))
        return UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() != 2)
        return Cli::usage(
            QStringLiteral("import-ics には iCalendar ファイルと文書のファイル名が要ります。"),
            name);
    const QString &source = a.rest[0], &path = a.rest[1];
    if (!Cli::documentName(name, path))
        return UsageError;
    QByteArray ics;
    QString sourceName;
    if (!readSource(source, ics, sourceName))
        return Failure;
    DocumentLock lock;
    if (!Cli::lockDocument(lock, path))
        return Failure;
    AppState app;
    if (!loadStore(app, path))
        return Failure;
    IcsImportSummary summary;
    QString error;
    if (!Import_ICalendar(ics, app.store(), app.baseYear(), summary, &error)) {
        err(QStringLiteral("「%1」を読み込めませんでした。%2").arg(sourceName, error));
        return Failure;
    }
    if (summary.added() > 0) {
        if (const FileResult r = DocFiles::writeDocument(app.store(), 20, path); !r.ok()) {
            err(Cli::writeMessage(path, r));
            return Failure;
        }
    }
    out(summary.text() + u'\n');
    return 0;
}

// The command named first in `args`, with the rest of them.
int run(QStringList args) {
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("コマンドがありません。"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h"))
        return Cli::help(args.value(0));
    if (command == QStringLiteral("--version")) {
        if (!args.isEmpty())
            return Cli::usage(QStringLiteral("--version の後に引数は要りません。"));
        out(QStringLiteral("daylog-tool " DAYLOG_VERSION "\n"));
        return 0;
    }
    static const std::pair<const char*, int (*)(const QStringList&)> commands[] = {
        {"holidays", holidays},
        {"new", YearCommands::newDocument},
        {"dump", dump},
        {"todo", todo},
        {"search", search},
        {"search-years", searchYears},
        {"sync", syncDocument},
        {"stats-record", statsRecord},
        {"stats-item", statsItem},
        {"export", exportDocument},
        {"import", importDocument},
        {"import-ics", importIcs},
    };
    for (const auto& [name, function] : commands)
        if (command == QLatin1String(name))
            return function(args);
    if (command.startsWith(u'-'))
        return Cli::usage(QStringLiteral("オプション「%1」はありません。").arg(command));
    return Cli::usage(QStringLiteral("不明なコマンド「%1」です。").arg(command));
}

} // namespace

int main(int argc, char** argv) {
    Cli::guardStandardStreams();
    QCoreApplication core(argc, argv);
    QString clockError;
    if (!installClockFromEnvironment(&clockError)) {
        err(clockError);
        return UsageError;
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // Whatever the command came to, what it wrote must have reached standard output.
    return Cli::finish(run(args));
}
