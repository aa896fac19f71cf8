// daylog-tool: the command-line companion. Works on documents without a display.
//
//   daylog-tool holidays FROM TO   every public holiday from FROM to TO (YYYY-MM-DD)
//   daylog-tool new YEAR FILE      a new document for the year that starts in April YEAR
//   daylog-tool dump FILE          the year store of a document, one line per row
//   daylog-tool --version

#include "calendar/holidays.h"
#include "platform/clock.h"
#include "store/appstate.h"
#include "store/dates.h"
#include "store/documentfile.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

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
    AppState app;
    app.BaseYear = year;
    app.DocPath = args[1];
    setCurrentDateToToday(app);
    Store_New(app);
    const FileResult r = Store_Save(app);
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

int dump(const QStringList& args) {
    if (args.size() != 1)
        return usage(QStringLiteral("dump にはファイル名が一つ要ります。"));
    AppState app;
    app.DocPath = args[0];
    const FileResult r = DocFiles::loadDocument(app.DocPath, app.buffer);
    if (!r.ok()) {
        err(r.loadMessage(app.DocPath));
        return Failure;
    }
    Store_FromBuffer(app);
    QString text;
    for (int row = 0; row <= YearStore::DayRows; ++row) {
        text += QString::number(row);
        for (int c = 0; c <= StoreCol::RecordBack; ++c)
            text += u'\t' + escaped(app.store.text(row, c));
        text += u'\n';
    }
    out(text);
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
    return usage(QStringLiteral("不明なコマンド「%1」です。").arg(command));
}
