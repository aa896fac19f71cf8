// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/dates.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace Cli {

namespace {

// The first error of a write to standard output (0: none yet).
int g_outError = 0;

struct Command {
    const char* name;
    const char* synopsis;
    const char* what;
};

// Every command with its arguments and what it does, in the order of the usage.
constexpr Command Commands[] = {
    {"holidays", "holidays FROM TO",
     "FROM から TO までの祝日を、一日一行「日付<TAB>名前」で書きます。"},
    {"new", "new [--force] YEAR FILE [--carry-from OLD [--carry-since DATE]]",
     "YEAR年4月に始まる年度の新しい文書を FILE に作ります。FILE がすでにあるときは\n"
     "--force を付けたときだけ置き換えます(元のファイルは FILE.bak に残ります)。\n"
     "--carry-from を付けると、前の年度の文書 OLD の未完了の ToDo のうち DATE\n"
     "(YYYY-MM-DD か YYYY/MM/DD、ないときは OLD の年度の 3月1日)以降のものを\n"
     "新しい年度の 4月1日に繰り越し、繰り越した数を書きます。同じ内容の ToDo は\n"
     "一度だけ繰り越します。OLD は変わりません。"},
    {"dump", "dump FILE", "文書の行 0〜366 を一行ずつタブ区切りで書きます。"},
    {"todo", "todo FILE FROM TO [--sort ORDER]",
     "期間の ToDo を日付・済(0/1)・時刻・分類・用件のタブ区切りで書きます。\n"
     "ORDER: date date-desc open-first done-first category text text-desc"},
    {"search", "search FILE FROM TO TEXT",
     "期間のうち TEXT(ワイルドカード可)を含む日の日付を一行ずつ書きます。"},
    {"search-years", "search-years TEXT FILE|FOLDER...",
     "文書 FILE とフォルダ FOLDER の中の文書(.dys、サブフォルダは見ません)の年度すべてから\n"
     "TEXT(ワイルドカード可)を含む項目を探し、一項目一行「ファイル<TAB>日付<TAB>項目<TAB>\n"
     "内容」を日付の順に書きます。読めないファイルは理由とともに標準エラーに書き、ほかの\n"
     "文書を探し続けます。一つも探せなかったときは 1 で終わります。"},
    {"sync", "sync FILE [--url URL --user NAME [--make]]",
     "文書をカレンダーサーバー(CalDAV)のカレンダーと双方向に同期し、受信・送信・削除した数と\n"
     "競合した日を書きます。--url はカレンダーのアドレス、--user はユーザー名で、一度\n"
     "同期すると文書の横の FILE.sync に残ります。パスワードは DAYLOG_CALDAV_PASSWORD か、\n"
     "デスクトップのキーリングから読みます。--make を付けると、--url のサーバーにこの年度の\n"
     "カレンダー(「2005年度」)を作って同期します。"},
    {"stats-record", "stats-record FILE FROM TO [--key1 K]... [--key2 K]... [--with FILE]...",
     "記録統計: --key1 ごとに一行、キーワードと --key2 ごとの数を書きます。\n"
     "--key1 は 50 個まで、--key2 は 10 個までです。--with でほかの年度の文書も\n"
     "同じ月日の範囲で数え、古い年度から順に、各行の前に「2005年度」とタブを付けて書きます。"},
    {"stats-item", "stats-item FILE FROM TO [--key K[=TARGET]]... [--with FILE]...",
     "項目統計: --key ごとに一行、キーワード・目標・回数・割合を書きます。\n"
     "--key は 50 個までです。--with は stats-record と同じです。"},
    {"export", "export --format ics|csv [--no-holidays] FILE [OUT]",
     "文書を iCalendar か CSV で OUT に書き出します。OUT がないか「-」のときは\n"
     "標準出力に書きます。"},
    {"import", "import CSV FILE",
     "CSV の年度から文書 FILE を作ります。CSV が「-」のときは標準入力から読みます。"},
    {"import-ics", "import-ics ICS FILE",
     "iCalendar ファイル ICS の予定・ToDo・日誌を文書 FILE の年度に書き足し、取り込んだ数と\n"
     "取り込まなかった数を書きます。ICS が「-」のときは標準入力から読みます。"},
};

const char* const Notes =
    "日付(FROM, TO)は YYYY-MM-DD の形で書きます。文書のファイル名に「-」は使えません\n"
    "(その名前のファイルは ./- と書きます)。「--」より後の引数はオプションとせず、\n"
    "そのまま読みます(「-」で始まる検索文字など)。\n"
    "終了コード: 0 成功、1 エラー、2 使い方の誤り。\n";

QString indented(const char* text) {
    return u"      "_s + QString::fromUtf8(text).replace(u"\n"_s, u"\n      "_s) + u'\n';
}

void write(const QByteArray& bytes, std::FILE* stream) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

} // namespace

void guardStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

void out(const QString& text) {
    outBytes(text.toUtf8());
}

void outBytes(const QByteArray& bytes) {
    if (g_outError || bytes.isEmpty())
        return;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()))
        g_outError = errno ? errno : EIO;
}

void err(const QString& text) {
    write((u"daylog-tool: "_s + text + u'\n').toUtf8(), stderr);
}

QString writeMessage(const QString& path, const FileResult& r) {
    return u"「%1」に書き込めませんでした。%2"_s.arg(path, r.reason());
}

QDate parseIsoDate(const QString& s) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("\\d{4}-\\d{2}-\\d{2}")));
    if (!form.match(s).hasMatch())
        return {};
    return QDate::fromString(s, QStringLiteral("yyyy-MM-dd"));
}

QString dateUsage() {
    return QStringLiteral("日付は YYYY-MM-DD の形の正しい日付で指定してください。");
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

int openRange(const QString& command, const QStringList& args, AppState& app, int& first,
              int& last) {
    const QDate from = parseIsoDate(args[1]), to = parseIsoDate(args[2]);
    if (!from.isValid() || !to.isValid())
        return usage(dateUsage(), command);
    if (!documentName(command, args[0]))
        return UsageError;
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

bool lockDocument(DocumentLock& lock, const QString& path) {
    if (lock.acquire(path))
        return true;
    const std::optional<DocumentLock::Holder> holder = DocumentLock::holder(path);
    if (!holder || holder->isStale() || holder->isThisProcess())
        return true;
    err(holder->describe(QFileInfo(path).fileName()) + u"閉じてから、もう一度実行してください。"_s);
    return false;
}

int finish(int code) {
    int error = g_outError;
    errno = 0;
    if (!error && std::fflush(stdout) != 0)
        error = errno ? errno : EIO;
    if (!error && std::ferror(stdout))
        error = EIO;
    errno = 0;
    if (std::fclose(stdout) != 0 && !error)
        error = errno ? errno : EIO;
    if (!error)
        return code;
    err(u"標準出力に書き込めませんでした（%1）。"_s.arg(GridFile::systemErrorText(error)));
    return code == Success ? Failure : code;
}

QString usageText(const QString& command) {
    for (const Command& c : Commands)
        if (command == QLatin1String(c.name))
            return u"使い方: daylog-tool "_s + QString::fromUtf8(c.synopsis) + u'\n' +
                   indented(c.what) + u'\n' + QString::fromUtf8(Notes);
    QString text = u"使い方: daylog-tool コマンド [引数]...\n"
                   u"        daylog-tool --help | --version\n\nコマンド:\n"_s;
    for (const Command& c : Commands)
        text += u"  "_s + QString::fromUtf8(c.synopsis) + u'\n' + indented(c.what);
    text += u"\n  --help, -h    この使い方を表示します"
            u"(daylog-tool コマンド --help はそのコマンドの使い方)。\n"
            u"  --version     版を表示します。\n\n"_s;
    return text + QString::fromUtf8(Notes);
}

int help(const QString& command) {
    out(usageText(command));
    return Success;
}

int usage(const QString& why, const QString& command) {
    err(why);
    write(usageText(command).toUtf8(), stderr);
    return UsageError;
}

bool split(const QString& command, const QStringList& args, const QStringList& valued,
           const QStringList& flags, Arguments& out) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded || !a.startsWith(u'-') || a == u"-"_s) {
            out.rest.append(a);
            continue;
        }
        if (a == u"--"_s) {
            optionsEnded = true;
            continue;
        }
        if (a == u"--help"_s || a == u"-h"_s) {
            out.help = true;
            return true;
        }
        QString name = a;
        std::optional<QString> value;
        if (const qsizetype eq = a.indexOf(u'='); a.startsWith(u"--"_s) && eq > 2) {
            name = a.left(eq);
            value = a.mid(eq + 1);
        }
        if (valued.contains(name)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    usage(u"%1 には値が要ります。"_s.arg(name), command);
                    return false;
                }
                value = args[++i];
            }
            out.values[name].append(*value);
        } else if (flags.contains(name) && !value) {
            out.flags.append(name);
        } else if (flags.contains(name)) {
            usage(u"%1 には値を付けません。"_s.arg(name), command);
            return false;
        } else {
            usage(u"オプション「%1」はありません。「-」で始まる引数は「--」の後に書いてください。"_s
                      .arg(a),
                  command);
            return false;
        }
    }
    return true;
}

bool documentName(const QString& command, const QString& path) {
    if (!isStdio(path))
        return true;
    usage(u"文書は標準入力・標準出力(「-」)では読み書きできません。"
          u"「-」という名前のファイルは ./- と書いてください。"_s,
          command);
    return false;
}

FileResult readStdin(QByteArray& out) {
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FileResult::failure(FileResult::Unreadable, GridFile::systemErrorText(errno));
        if (n == 0)
            break;
        if (bytes.size() + n > GridFile::MaxFileBytes)
            return FileResult::failure(FileResult::TooLarge,
                                       u"%1 バイト以上"_s.arg(bytes.size() + n));
        bytes.append(buffer, n);
    }
    out = std::move(bytes);
    return FileResult::success();
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

} // namespace Cli
