// SPDX-License-Identifier: GPL-3.0-or-later
#include "yearcommands.h"

#include "core/calendar/newyear.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "core/todo/carryover.h"

#include "commandline.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

using namespace Qt::StringLiterals;

namespace YearCommands {

namespace {

// A day given as YYYY-MM-DD (the tool's form) or YYYY/MM/DD (the document's).
QDate parseDay(const QString& s) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(u"(\\d{4})([-/])(\\d{2})\\2(\\d{2})"_s));
    const QRegularExpressionMatch m = form.match(s);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
}

// What carrying into 1 April of a year of `baseYear` did, for standard output.
QString summary(const CarryResult& r, int baseYear) {
    QString text = u"%1件のToDoを%2に繰り越しました。"_s.arg(r.added).arg(
        Dates::toStoreText(QDate(baseYear, 4, 1)));
    if (r.present > 0)
        text += u"同じ内容のToDo %1件は重ねて繰り越していません。"_s.arg(r.present);
    return text + u'\n';
}

} // namespace

int newDocument(const QStringList& args) {
    const QString name = u"new"_s, force = u"--force"_s, carryFrom = u"--carry-from"_s,
                  carrySince = u"--carry-since"_s;
    Cli::Arguments a;
    if (!Cli::split(name, args, {carryFrom, carrySince}, {force}, a))
        return Cli::UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() != 2)
        return Cli::usage(u"new には年度とファイル名が要ります。"_s, name);
    bool ok = false;
    const int year = a.rest[0].toInt(&ok);
    if (!ok || year < DocLimits::FirstYear || year > DocLimits::LastYear)
        return Cli::usage(u"年度「%1」は %2 から %3 までの年で指定してください。"_s.arg(a.rest[0])
                              .arg(DocLimits::FirstYear)
                              .arg(DocLimits::LastYear),
                          name);
    const QString& path = a.rest[1];
    if (!Cli::documentName(name, path))
        return Cli::UsageError;
    const QString old = a.values.value(carryFrom).value(0);
    const QString sinceText = a.values.value(carrySince).value(0);
    if (a.values.value(carryFrom).size() > 1 || a.values.value(carrySince).size() > 1)
        return Cli::usage(u"--carry-from と --carry-since はそれぞれ一度だけ指定できます。"_s,
                          name);
    if (a.values.contains(carrySince) && !a.values.contains(carryFrom))
        return Cli::usage(u"--carry-since は --carry-from と一緒に指定してください。"_s, name);
    QDate since;
    if (a.values.contains(carrySince)) {
        since = parseDay(sinceText);
        if (!since.isValid())
            return Cli::usage(
                u"--carry-since の日付は YYYY-MM-DD か YYYY/MM/DD の形の正しい日付で指定してください。"_s,
                name);
    }
    if (a.values.contains(carryFrom) && !Cli::documentName(name, old))
        return Cli::UsageError;
    // A file there is replaced only when asked to (a folder is left to the write's
    // own message).
    const QFileInfo there(path);
    if ((there.exists() || there.isSymLink()) && !there.isDir() && !a.has(force)) {
        Cli::err(
            u"「%1」はすでにあります。置き換えるときは --force を付けてください。"_s.arg(path));
        return Cli::Failure;
    }
    YearStore store;
    Store_New(store, year, Clock::today());
    std::optional<CarryResult> carried;
    if (a.values.contains(carryFrom)) {
        YearStore before;
        if (const FileResult r = DocFiles::readDocument(old, before); !r.ok()) {
            Cli::err(r.loadMessage(old));
            return Cli::Failure;
        }
        const int oldYear = Carry_BaseYear(before);
        if (!Carry_IsYearBefore(oldYear, year)) {
            Cli::err(u"「%1」は%2年度の文書です。%3年度に繰り越せるのは前の年度（%4年度）の"
                     u"文書のToDoだけです。"_s.arg(old)
                         .arg(oldYear)
                         .arg(year)
                         .arg(year - 1));
            return Cli::Failure;
        }
        const QDate first(oldYear, 4, 1), last(oldYear + 1, 3, 31);
        if (!since.isValid())
            since = Carry_DefaultSince(oldYear);
        if (since < first || since > last) {
            Cli::err(
                u"--carry-since の日付「%1」は「%2」の年度（%3〜%4）の日ではありません。"_s.arg(
                    sinceText, old, Dates::toStoreText(first), Dates::toStoreText(last)));
            return Cli::Failure;
        }
        carried = Carry_Add(store, Carry_OpenItems(before, since));
        if (!carried->ok()) {
            Cli::err(u"ToDoを繰り越せませんでした。"_s + carried->refusal);
            return Cli::Failure;
        }
    }
    const FileResult r = DocFiles::writeDocument(store, 20, path);
    if (!r.ok()) {
        Cli::err(Cli::writeMessage(path, r));
        return Cli::Failure;
    }
    if (carried)
        Cli::out(summary(*carried, year));
    return Cli::Success;
}

} // namespace YearCommands
