// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/export/csv.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/store/documentlock.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandLineConventions_data();
    void commandLineConventions();
};

// Both programs as command-line programs: help and version on standard output with
// exit code 0, unknown options and other usage errors 2 with the usage on standard
// error, "-" for standard input and output where a file is read or written (never for
// a document), "--" before arguments that begin with "-", every write checked (also
// to standard output on a full disk), an existing document never replaced unasked,
// and each error in Japanese. Arguments "@name" are files in the row's own folder,
// which holds doc.dys (2005, "-記録 です" on 10 May, open ToDo items on 1 February,
// 1 and 20 March (the same task) and 31 March, a done one on 1 March), broken.dys (it,
// cut short), doc.csv (its CSV), doc.ics (an event on 1 June 2005 and one in 2007) and
// dir/. An effect "4/1:TEXT/TEXT…" lists the texts of a document's 1 April ToDo items,
// all of them open.
// Exit code -1: the program keeps running; it is ended once the effects are there.
void TestCommandLine::commandLineConventions_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("env"); // NAME=VALUE, or NAME to unset it
    QTest::addColumn<QString>("input");   // a file of the folder as standard input
    QTest::addColumn<QString>("output");  // "/dev/full", or ">>name": appended to a file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outHas");      // empty: nothing on standard output
    QTest::addColumn<QString>("errHas");      // empty: nothing on standard error; "*": any
    QTest::addColumn<QStringList>("effects"); // name=absent|present|same|csv|YEAR|4/1:TEXTS

    const QString tool = u"daylog-tool"_s, daylog = u"daylog"_s, usage = u"使い方"_s;
    auto row = [&](const char* name, const QString& program, const QStringList& args, int code,
                   const QString& outHas, const QString& errHas, const QStringList& effects = {},
                   const QString& input = {}, const QString& output = {},
                   const QStringList& env = {}) {
        QTest::newRow(name) << program << args << env << input << output << code << outHas << errHas
                            << effects;
    };
    const QStringList noDisplay{u"QT_QPA_PLATFORM=xcb"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s};
    const QString full = u"/dev/full"_s,
                  disk = u"標準出力に書き込めませんでした（ディスクがいっぱいです）"_s;
    const QStringList range{u"2005-04-01"_s, u"2006-04-01"_s};

    // Help, version and usage errors.
    row("--help", tool, {u"--help"_s}, 0, u"使い方: daylog-tool コマンド"_s, {});
    row("-h", tool, {u"-h"_s}, 0, u"import CSV FILE"_s, {});
    row("export --help", tool, {u"export"_s, u"--help"_s}, 0, u"export --format ics|csv"_s, {});
    row("--help among the arguments", tool,
        QStringList{u"stats-item"_s, u"@doc.dys"_s} + range + QStringList{u"-h"_s}, 0,
        u"stats-item FILE FROM TO"_s, {});
    row("--version", tool, {u"--version"_s}, 0, u"daylog-tool " DAYLOG_VERSION ""_s, {});
    row("no command", tool, {}, 2, {}, u"コマンドがありません"_s);
    row("unknown command", tool, {u"print"_s}, 2, {}, u"不明なコマンド「print」"_s);
    row("unknown option", tool, {u"--bogus"_s}, 2, {}, u"オプション「--bogus」はありません"_s);
    row("unknown option of a command", tool, {u"dump"_s, u"-x"_s, u"@doc.dys"_s}, 2, {},
        u"オプション「-x」はありません"_s);
    row("holidays, one date", tool, {u"holidays"_s, u"2006-01-01"_s}, 2, {}, usage);
    row("holidays, short month", tool, {u"holidays"_s, u"2006-1-01"_s, u"2006-02-01"_s}, 2, {},
        usage);
    row("holidays, 30 February", tool, {u"holidays"_s, u"2006-01-01"_s, u"2006-02-30"_s}, 2, {},
        usage);
    row("new, year not a number", tool, {u"new"_s, u"heisei"_s, u"@x.dys"_s}, 2, {}, usage,
        {u"x.dys=absent"_s});
    row("search, no text", tool, QStringList{u"search"_s, u"@doc.dys"_s} + range, 2, {}, usage);
    row("search, two texts", tool,
        QStringList{u"search"_s, u"@doc.dys"_s} + range + QStringList{u"a"_s, u"b"_s}, 2, {},
        usage);
    row("search, date form", tool,
        {u"search"_s, u"@doc.dys"_s, u"2005/04/01"_s, u"2006-04-01"_s, u"a"_s}, 2, {}, usage);
    row("stats-record, no dates", tool, {u"stats-record"_s, u"@doc.dys"_s}, 2, {}, usage);
    row("stats-record, a key without its value", tool,
        QStringList{u"stats-record"_s, u"@doc.dys"_s} + range + QStringList{u"--key1"_s}, 2, {},
        u"--key1 には値が要ります"_s);
    row("stats-record, unknown option", tool,
        QStringList{u"stats-record"_s, u"@doc.dys"_s} + range + QStringList{u"--key"_s, u"a"_s}, 2,
        {}, u"オプション「--key」"_s);
    QStringList elevenKey2 = QStringList{u"stats-record"_s, u"@doc.dys"_s} + range;
    for (int c = 0; c < 11; ++c)
        elevenKey2 << u"--key2"_s << QString::number(c);
    row("stats-record, eleven second keywords", tool, elevenKey2, 2, {}, usage);
    row("stats-item, invalid date", tool,
        {u"stats-item"_s, u"@doc.dys"_s, u"2005-04-01"_s, u"2006-02-29"_s}, 2, {}, usage);
    row("stats-item, extra argument", tool,
        QStringList{u"stats-item"_s, u"@doc.dys"_s} + range + QStringList{u"x"_s}, 2, {}, usage);
    row("malformed DAYLOG_NOW", tool, {u"--version"_s}, 2, {}, u"DAYLOG_NOW"_s, {}, {}, {},
        {u"DAYLOG_NOW=2006-02-10"_s});
    row("holidays, FROM after TO", tool, {u"holidays"_s, u"2026-05-01"_s, u"2026-04-30"_s}, 1, {},
        u"日付設定が不適切です"_s);

    // "--" and "-".
    row("a text beginning with -", tool,
        QStringList{u"search"_s, u"@doc.dys"_s} + range + QStringList{u"-記録"_s}, 2, {},
        u"「--」の後"_s);
    row("-- before it", tool,
        QStringList{u"search"_s, u"--"_s, u"@doc.dys"_s} + range + QStringList{u"-記録"_s}, 0,
        u"2005/05/10\n"_s, {});
    row("export to -", tool, {u"export"_s, u"--format"_s, u"csv"_s, u"@doc.dys"_s, u"-"_s}, 0,
        u"2005,曜日,今日の行事"_s, {}, {u"-=absent"_s});
    row("export --format=csv into a file", tool,
        {u"export"_s, u"--format=csv"_s, u"@doc.dys"_s, u"@out.csv"_s}, 0, {}, {},
        {u"out.csv=csv"_s});
    row("import from -", tool, {u"import"_s, u"-"_s, u"@new.dys"_s}, 0, {}, {},
        {u"new.dys=2005"_s, u"-=absent"_s}, u"doc.csv"_s);
    row("import of an empty standard input", tool, {u"import"_s, u"-"_s, u"@new.dys"_s}, 1, {},
        u"「標準入力」を読み込めませんでした。ファイルが空です"_s, {u"new.dys=absent"_s});
    row("a document is never -", tool, {u"dump"_s, u"-"_s}, 2, {}, u"./-"_s);
    row("new into -", tool, {u"new"_s, u"2026"_s, u"-"_s}, 2, {}, u"./-"_s, {u"-=absent"_s});
    row("import-ics from -", tool, {u"import-ics"_s, u"-"_s, u"@doc.dys"_s}, 0,
        u"取り込んだもの: 行事 1件、時間帯 0件、ToDo 0件、記録 0件\n年度の外の日付のもの: 1件"_s,
        {}, {u"doc.dys.bak=2005"_s, u"-=absent"_s}, u"doc.ics"_s);
    row("import-ics of a CSV file", tool, {u"import-ics"_s, u"@doc.csv"_s, u"@doc.dys"_s}, 1, {},
        u"BEGIN:VCALENDAR で始まっていません"_s, {u"doc.dys=same"_s, u"doc.dys.bak=absent"_s});
    row("import into -", tool, {u"import"_s, u"@doc.csv"_s, u"-"_s}, 2, {}, u"./-"_s,
        {u"-=absent"_s});

    // Every write checked.
    row("export to a full disk", tool, {u"export"_s, u"--format"_s, u"csv"_s, u"@doc.dys"_s}, 1, {},
        disk, {}, {}, full);
    row("export - to a full disk", tool,
        {u"export"_s, u"--format"_s, u"ics"_s, u"@doc.dys"_s, u"-"_s}, 1, {}, disk, {}, {}, full);
    row("dump to a full disk", tool, {u"dump"_s, u"@doc.dys"_s}, 1, {}, disk, {}, {}, full);
    row("holidays to a full disk", tool, {u"holidays"_s, u"2000-01-01"_s, u"2030-12-31"_s}, 1, {},
        disk, {}, {}, full);
    row("help to a full disk", tool, {u"--help"_s}, 1, {}, disk, {}, {}, full);
    row("export appended to the document", tool,
        {u"export"_s, u"--format"_s, u"csv"_s, u"@doc.dys"_s}, 1, {},
        u"「標準出力」に書き出せませんでした"_s, {u"doc.dys=same"_s}, {}, u">>doc.dys"_s);

    // sync: a document with no calendar yet, half a link, a server that is not there, a
    // damaged document; none of them writes anything.
    row("sync without a link", tool, {u"sync"_s, u"@doc.dys"_s}, 1, {},
        u"同期先が決まっていません"_s, {u"doc.dys=same"_s, u"doc.dys.sync=absent"_s});
    row("sync, --url without --user", tool,
        {u"sync"_s, u"@doc.dys"_s, u"--url"_s, u"http://127.0.0.1:9/cal/"_s}, 2, {}, usage,
        {u"doc.dys=same"_s});
    row("sync, no server", tool,
        {u"sync"_s, u"@doc.dys"_s, u"--url"_s, u"http://127.0.0.1:9/cal/"_s, u"--user"_s, u"t"_s},
        1, u"受信 0件"_s, u"サーバーに接続できませんでした"_s, {u"doc.dys=same"_s}, {}, {},
        {u"DAYLOG_CALDAV_PASSWORD=pw"_s});
    row("sync of a damaged document", tool, {u"sync"_s, u"@broken.dys"_s}, 1, {},
        u"開けませんでした"_s, {u"broken.dys.sync=absent"_s});

    // new never replaces a file unasked.
    row("new onto a document", tool, {u"new"_s, u"2026"_s, u"@doc.dys"_s}, 1, {},
        u"「"_s + u"@doc.dys"_s + u"」はすでにあります。置き換えるときは --force"_s,
        {u"doc.dys=same"_s, u"doc.dys.bak=absent"_s});
    row("new --force", tool, {u"new"_s, u"--force"_s, u"2026"_s, u"@doc.dys"_s}, 0, {}, {},
        {u"doc.dys=2026"_s, u"doc.dys.bak=2005"_s});
    row("new", tool, {u"new"_s, u"2026"_s, u"@年度 2026.dys"_s}, 0, {}, {},
        {u"年度 2026.dys=2026"_s});

    // new carrying the open ToDo items of the year before, each task once.
    row("new --carry-from", tool,
        {u"new"_s, u"2006"_s, u"@next.dys"_s, u"--carry-from"_s, u"@doc.dys"_s}, 0,
        u"2件のToDoを2006/04/01に繰り越しました。同じ内容のToDo 1件は重ねて繰り越していません。"_s,
        {}, {u"next.dys=4/1:報告書, 提出/年度末"_s, u"doc.dys=same"_s});
    row("new --carry-since", tool,
        {u"new"_s, u"--carry-since=2006/02/01"_s, u"2006"_s, u"@next.dys"_s, u"--carry-from"_s,
         u"@doc.dys"_s},
        0, u"3件のToDoを2006/04/01に繰り越しました。"_s, {},
        {u"next.dys=4/1:二月の用事/報告書, 提出/年度末"_s});
    row("new --carry-from, not the year before", tool,
        {u"new"_s, u"2007"_s, u"@next.dys"_s, u"--carry-from"_s, u"@doc.dys"_s}, 1, {},
        u"は2005年度の文書です。2007年度に繰り越せるのは前の年度（2006年度）"_s,
        {u"next.dys=absent"_s});
    row("new --carry-from, a damaged document", tool,
        {u"new"_s, u"2006"_s, u"@next.dys"_s, u"--carry-from"_s, u"@broken.dys"_s}, 1, {},
        u"ファイル「@broken.dys」を開けませんでした。"_s, {u"next.dys=absent"_s});
    row("new --carry-since, a day of another year", tool,
        {u"new"_s, u"2006"_s, u"@next.dys"_s, u"--carry-from"_s, u"@doc.dys"_s, u"--carry-since"_s,
         u"2006-04-01"_s},
        1, {}, u"年度（2005/04/01〜2006/03/31）の日ではありません"_s, {u"next.dys=absent"_s});
    row("new --carry-since alone", tool,
        {u"new"_s, u"2006"_s, u"@next.dys"_s, u"--carry-since"_s, u"2006-03-01"_s}, 2, {},
        u"--carry-from と一緒に"_s, {u"next.dys=absent"_s});

    // Errors in Japanese.
    row("import of a missing file", tool, {u"import"_s, u"@no.csv"_s, u"@x.dys"_s}, 1, {},
        u"ファイルが見つかりません"_s, {u"x.dys=absent"_s});
    row("import of a folder", tool, {u"import"_s, u"@dir"_s, u"@x.dys"_s}, 1, {},
        u"ファイルを読み込めません（フォルダです）"_s);
    row("new into a missing folder", tool, {u"new"_s, u"2026"_s, u"@no/x.dys"_s}, 1, {},
        u"書き込めません（フォルダ「"_s);
    row("new onto a folder", tool, {u"new"_s, u"2026"_s, u"@dir"_s}, 1, {},
        u"書き込めません（フォルダです）"_s);

    // A document a running program has open is not written under it: that program's
    // next save would undo what the tool wrote.
    const QString held = u"開いています。閉じてから、もう一度実行してください。"_s;
    row("import-ics into an open document", tool, {u"import-ics"_s, u"@doc.ics"_s, u"@open.dys"_s},
        1, {}, held, {u"open.dys=same"_s});
    row("import over an open document", tool, {u"import"_s, u"@doc.csv"_s, u"@open.dys"_s}, 1, {},
        held, {u"open.dys=same"_s});
    row("sync of an open document", tool,
        {u"sync"_s, u"@open.dys"_s, u"--url"_s, u"http://127.0.0.1:9/cal/"_s, u"--user"_s, u"u"_s},
        1, {}, held, {u"open.dys=same"_s, u"open.dys.sync=absent"_s});

    // The program itself: help and version without a display, its file names.
    row("daylog --help", daylog, {u"--help"_s}, 0, u"使い方: daylog"_s, {}, {}, {}, {}, noDisplay);
    row("daylog -h", daylog, {u"-h"_s}, 0, u"--version"_s, {}, {}, {}, {}, noDisplay);
    row("daylog --version", daylog, {u"--version"_s}, 0, u"daylog " DAYLOG_VERSION "\n"_s, {}, {},
        {}, {}, noDisplay);
    row("daylog --version to a full disk", daylog, {u"--version"_s}, 1, {}, disk, {}, {}, full,
        noDisplay);
    row("daylog, unknown option", daylog, {u"--bogus"_s}, 2, {},
        u"オプション「--bogus」はありません"_s);
    row("daylog FILE", daylog, {u"@年度 2005.dys"_s}, -1, u"*"_s, u"*"_s,
        {u".~lock.年度 2005.dys#=present"_s});
    row("daylog -- FILE", daylog, {u"--"_s, u"-年度.dys"_s}, -1, u"*"_s, u"*"_s,
        {u".~lock.-年度.dys#=present"_s});
}

void TestCommandLine::commandLineConventions() {
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QStringList, env);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QString, outHas);
    QFETCH(QString, errHas);
    QFETCH(QStringList, effects);

    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner)); // a runtime folder too
    AppState app;
    app.setCurrentDate(QDate(2005, 4, 1));
    Store_New(app, 2005);
    app.store().set(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::Record, u"-記録 です"_s);
    auto toDo = [&](int m, int d, const QString& items) {
        app.store().set(Dates::rowOfDate(QDate(2006, m, d), 2005), StoreCol::ToDo, items);
    };
    const QString report = ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"報告書, 提出"_s);
    toDo(2, 1, ToDo_ItemString(false, u"09:00"_s, u"重要"_s, u"二月の用事"_s));
    toDo(3, 1, report + ToDo_ItemString(true, {}, {}, u"済んだ用事"_s));
    toDo(3, 20, report);
    toDo(3, 31, ToDo_ItemString(false, {}, {}, u"年度末"_s));
    for (const QString& name : {u"doc.dys"_s, u"年度 2005.dys"_s, u"-年度.dys"_s, u"open.dys"_s})
        QVERIFY(DocFiles::writeDocument(app.store(), 20, dir.filePath(name)).ok());
    // Held by this test, a program that runs while the tool does.
    QFile lock(DocumentLock::lockPath(dir.filePath(u"open.dys"_s)));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(DocumentLock::format(DocumentLock::thisProcess()));
    lock.close();
    QFile csv(dir.filePath(u"doc.csv"_s));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write(Export_Csv(app.store(), 2005));
    csv.close();
    QFile ics(dir.filePath(u"doc.ics"_s));
    QVERIFY(ics.open(QIODevice::WriteOnly));
    ics.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//JA\r\n"
              "BEGIN:VEVENT\r\nUID:a@test\r\nDTSTART;VALUE=DATE:20050601\r\nSUMMARY:運動会\r\n"
              "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:b@test\r\nDTSTART;VALUE=DATE:20070601\r\n"
              "SUMMARY:運動会\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ics.close();
    QVERIFY(QDir(dir.path()).mkdir(u"dir"_s));
    QFile docFile(dir.filePath(u"doc.dys"_s));
    QVERIFY(docFile.open(QIODevice::ReadOnly));
    const QByteArray doc = docFile.readAll();
    QFile broken(dir.filePath(u"broken.dys"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(doc.left(doc.size() / 2));
    broken.close();

    for (QString& a : args)
        if (a.startsWith(u'@'))
            a = dir.filePath(a.mid(1));
    errHas.replace(u"@"_s, dir.path() + u'/');
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DAYLOG_NOW"_s, u"2006-02-10T09:30:00"_s);
    for (const QString& e :
         {u"HOME"_s, u"XDG_RUNTIME_DIR"_s, u"XDG_DATA_HOME"_s, u"XDG_CONFIG_HOME"_s})
        environment.insert(e, dir.path());
    for (const QString& e : env) {
        if (e.contains(u'='))
            environment.insert(e.section(u'=', 0, 0), e.section(u'=', 1));
        else
            environment.remove(e);
    }
    p.setProcessEnvironment(environment);
    p.setWorkingDirectory(dir.path());
    if (!input.isEmpty())
        p.setStandardInputFile(dir.filePath(input));
    else
        p.setStandardInputFile(QProcess::nullDevice());
    if (output.startsWith(u">>"_s))
        p.setStandardOutputFile(dir.filePath(output.mid(2)), QIODevice::Append);
    else if (!output.isEmpty())
        p.setStandardOutputFile(output);
    p.start(qEnvironmentVariable(program == u"daylog"_s ? "DAYLOG_PROGRAM" : "DAYLOG_TOOL"), args);
    QVERIFY(p.waitForStarted());

    // What each effect says of a file in the folder; empty when it holds.
    auto unmet = [&] {
        QStringList wrong;
        for (const QString& effect : effects) {
            const QString path = dir.filePath(effect.section(u'=', 0, 0));
            const QString want = effect.section(u'=', 1);
            QFile f(path);
            const bool there = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
            const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            YearStore year;
            bool holds = false;
            if (want == u"absent"_s)
                holds = !there;
            else if (want == u"present"_s)
                holds = there;
            else if (want == u"same"_s)
                holds = bytes == doc;
            else if (want == u"csv"_s)
                holds = bytes.startsWith("\xEF\xBB\xBF"
                                         "2005,");
            else if (want.startsWith(u"4/1:"_s) && DocFiles::readDocument(path, year).ok()) {
                QStringList open;
                for (const ToDoItem& item : ToDo_Parse(year.text(1, StoreCol::ToDo)))
                    open.append(item.done() ? u"(done)"_s : item.text);
                holds = open.join(u'/') == want.mid(4);
            } else
                holds = DocFiles::readDocument(path, year).ok() && year.text(0, 0) == want;
            if (!holds)
                wrong.append(effect);
        }
        return wrong;
    };
    if (exitCode == -1) {
        QTRY_VERIFY_WITH_TIMEOUT(unmet().isEmpty() || p.state() == QProcess::NotRunning, 60000);
        QVERIFY2(p.state() == QProcess::Running, p.readAllStandardError().constData());
        p.terminate();
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        return;
    }
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(p.exitCode() == exitCode, qPrintable(u"exit %1\n"_s.arg(p.exitCode()) + err));
    QVERIFY2(outHas.isEmpty() ? out.isEmpty() : out.contains(outHas), qPrintable(out));
    QVERIFY2(errHas.isEmpty() ? err.isEmpty() : err.contains(errHas), qPrintable(err));
    // A usage error of the arguments shows the usage; the help and a failure do not add
    // it (a malformed DAYLOG_NOW is no matter of the arguments).
    if (exitCode != 2 || env.isEmpty())
        QCOMPARE(err.contains(u"使い方"_s), exitCode == 2);
    const QStringList wrong = unmet();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u", "_s)));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
