// SPDX-License-Identifier: GPL-3.0-or-later
// The iCalendar export over generated years, read back by a small reader of its own:
// every entry readable by strict clients, nothing a day holds left out, and UIDs that
// name the same entry in every export of a document and in no other document.

#include "core/calendar/newyear.h"
#include "core/export/icalendar.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

// A text with what iCalendar must carry: line breaks of every kind, blank lines and
// blanks, commas, semicolons, backslashes, a control character, characters outside
// the basic plane, combining marks, long lines; a quarter of them empty.
QString randomText(QRandomGenerator& rng) {
    static const QStringList pieces = {u"遠足"_s,
                                       u"Meeting"_s,
                                       u", "_s,
                                       u";"_s,
                                       u"\\"_s,
                                       u"\n"_s,
                                       u"\r\n"_s,
                                       u"\r"_s,
                                       u"  "_s,
                                       u"\t"_s,
                                       u"\u3000"_s,
                                       u"😀"_s,
                                       u"e\u0301"_s,
                                       u"\x01"_s,
                                       u"｜"_s,
                                       u"\n\n"_s,
                                       u"夏休みの宿題を出す"_s,
                                       QString(90, u'長'),
                                       QString(130, u'x') + u"é"_s};
    if (rng.bounded(4) == 0)
        return {};
    QString t;
    for (int n = 1 + rng.bounded(7); n > 0; --n)
        t += pieces[rng.bounded(int(pieces.size()))];
    return t;
}

QString randomItem(QRandomGenerator& rng) {
    static const QStringList times = {QString(), u"09:30"_s, u"23:45"_s, u"朝"_s};
    static const QStringList categories = {u"最重"_s, u"重要"_s, u"普通"_s,
                                           u"要軽"_s, u"自由"_s, QString()};
    return ToDo_ItemString(rng.bounded(2), times[rng.bounded(int(times.size()))],
                           categories[rng.bounded(int(categories.size()))], randomText(rng));
}

QString dayString(const std::vector<ToDoItem>& items) {
    QString s;
    for (const ToDoItem& i : items)
        s += ToDo_ItemString(i.done(), i.time, i.category, i.text);
    return s;
}

// A third of the days filled at random (or all of them), row 366 always.
void fill(YearStore& s, QRandomGenerator& rng, bool everyDay = false) {
    using namespace StoreCol;
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        if (!everyDay && r != YearStore::DayRows && rng.bounded(3) != 0)
            continue;
        s.set(r, Events, r == YearStore::DayRows ? u"入学式"_s : randomText(rng));
        s.set(r, Record, randomText(rng));
        for (int i = 0; i < 7; ++i) {
            s.set(r, SlotItem1 + i, randomText(rng));
            s.set(r, SlotText1 + i, randomText(rng));
        }
        QString todo;
        for (int k = rng.bounded(5); k > 0; --k)
            todo += randomItem(rng);
        if (!todo.isEmpty() && rng.bounded(3) == 0) // the same item twice
            todo += todo.left(todo.indexOf(u'|', 1) < 0 ? todo.size() : todo.indexOf(u'|', 1));
        s.set(r, ToDo, todo);
    }
}

// Between two exports, on some days: an item deleted, added, the items reordered, one
// ticked or unticked, one doubled; an event and a slot rewritten.
void edit(YearStore& s, QRandomGenerator& rng) {
    using namespace StoreCol;
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        std::vector<ToDoItem> items = ToDo_Parse(s.text(r, ToDo));
        if (items.empty() || rng.bounded(2) == 0)
            continue;
        const auto at = [&] { return items.begin() + rng.bounded(int(items.size())); };
        switch (rng.bounded(5)) {
        case 0:
            items.erase(at());
            break;
        case 1:
            items.insert(at(), ToDo_Parse(randomItem(rng)).front());
            break;
        case 2:
            std::shuffle(items.begin(), items.end(), rng);
            break;
        case 3: {
            ToDoItem& i = *at();
            i.flag = i.done() ? u"0"_s : u"1"_s;
            break;
        }
        default:
            items.push_back(*at());
        }
        s.set(r, ToDo, dayString(items));
        s.set(r, Events, s.text(r, Events) + u"（変更）"_s);
        s.set(r, SlotText1 + rng.bounded(7), randomText(rng));
    }
}

// A TEXT value as a client reads it; `bad` set for a comma or semicolon left bare.
QString unescape(QByteArrayView v, bool& bad) {
    QByteArray out;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == ',' || v[i] == ';')
            bad = true;
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        const char c = v[++i];
        out += c == 'n' || c == 'N' ? '\n' : c;
        bad = bad || !QByteArrayView("\\;,nN").contains(c);
    }
    return QString::fromUtf8(out);
}

struct Entry {
    QByteArray component, uid, start; // start: DTSTART's or DUE's value
    QStringList summaries, descriptions;
    int row = 0;
    QString kind; // "events", "record", "slot1".."slot7", "todo"
};

// Reads an export; what a strict client would refuse is added to `problems`.
std::vector<Entry> readExport(const QByteArray& ics, int baseYear, QStringList& problems) {
    QList<QByteArray> lines;
    const QList<QByteArray> physical = ics.split('\n');
    if (!physical.last().isEmpty())
        problems << u"the file does not end with CRLF"_s;
    for (qsizetype i = 0; i + 1 < physical.size(); ++i) {
        const QByteArray& l = physical[i];
        if (!l.endsWith('\r') || l.chopped(1).contains('\r'))
            problems << u"a line not ended by CRLF: "_s + QString::fromUtf8(l);
        const QByteArray content = l.chopped(1);
        if (content.size() > 75 || QString::fromUtf8(content).toUtf8() != content)
            problems << u"a line over 75 octets or cut inside a character: "_s +
                            QString::fromUtf8(content);
        if (content.startsWith(' ') && !lines.isEmpty())
            lines.last() += content.mid(1);
        else
            lines << content;
    }
    std::vector<Entry> entries;
    Entry* e = nullptr;
    for (const QByteArray& l : lines) {
        const qsizetype colon = l.indexOf(':');
        const QByteArray name = l.left(colon).split(';').front();
        const QByteArrayView value = QByteArrayView(l).sliced(colon + 1);
        if (name == "BEGIN" && value != "VCALENDAR") {
            e = &entries.emplace_back();
            e->component = value.toByteArray();
        } else if (name == "END") {
            e = nullptr;
        } else if (e && name == "UID") {
            e->uid = value.toByteArray();
        } else if (e && (name == "DTSTART" || name == "DUE")) {
            e->start = value.toByteArray();
        } else if (e && (name == "SUMMARY" || name == "DESCRIPTION")) {
            bool bad = false;
            (name == "SUMMARY" ? e->summaries : e->descriptions) << unescape(value, bad);
            if (bad)
                problems << u"a text badly escaped: "_s + QString::fromUtf8(l);
        }
    }
    // Each entry's day row and kind, from its start.
    for (Entry& x : entries) {
        const QString start = QString::fromLatin1(x.start);
        const QDateTime at = QDateTime::fromString(start, u"yyyyMMdd'T'HHmmss"_s);
        QDate day = at.isValid() ? at.date() : QDate::fromString(start, u"yyyyMMdd"_s);
        if (x.component == "VJOURNAL") {
            x.kind = u"record"_s;
        } else if (x.component == "VTODO") {
            x.kind = u"todo"_s;
        } else if (!at.isValid()) {
            x.kind = u"events"_s;
        } else { // slot n from 3n + 3 o'clock; slot 7 from midnight, the next day
            const int hour = at.time().hour();
            if (hour < 6)
                day = day.addDays(-1);
            x.kind = u"slot%1"_s.arg(hour < 6 ? 7 : (hour - 6) / 3 + 1);
        }
        x.row = Dates::rowOfDate(day, baseYear);
    }
    return entries;
}

// A text as a TEXT value carries it: one kind of line break, no control characters.
QString carried(const QString& text) {
    QString t = QString(text).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    t.removeIf([](QChar c) { return (c < u' ' && c != u'\n' && c != u'\t') || c == u'\x7F'; });
    return t;
}

QString firstVisibleLine(const QString& text) {
    for (const QString& l : carried(text).split(u'\n'))
        if (!l.trimmed().isEmpty())
            return l.trimmed();
    return {};
}

int characters(const QString& text) {
    QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, text);
    int n = 0;
    while (f.toNextBoundary() > 0)
        ++n;
    return n;
}

// Whether an entry holds `title` and `body` of its source as the export promises: a
// one-line summary, the title's first line or else a short start of the body's, and
// whatever the summary leaves out in the description.
QString whatIsLost(const Entry& e, const QString& title, const QString& body, bool bodyAlways) {
    if (e.summaries.size() != 1 || e.descriptions.size() > 1 || e.uid.isEmpty())
        return u"%1 summaries, %2 descriptions"_s.arg(e.summaries.size())
            .arg(e.descriptions.size());
    const QString s = e.summaries[0], d = e.descriptions.value(0);
    if (s.isEmpty() || s.contains(u'\n') || s != s.trimmed())
        return u"summary not one line"_s;
    const QString t = carried(title), b = carried(body);
    if (!firstVisibleLine(t).isEmpty()) {
        if (s != firstVisibleLine(t))
            return u"summary not the title"_s;
        if (s != t.trimmed() && !d.startsWith(t))
            return u"title left out"_s;
        return b.isEmpty() || d.endsWith(b) ? QString() : u"body left out"_s;
    }
    if (firstVisibleLine(b).isEmpty())
        return s == u"（無題）"_s && d == b ? QString() : u"blank text"_s;
    const QString start = s.endsWith(u'…') ? s.chopped(1) : s;
    if (!firstVisibleLine(b).startsWith(start) || characters(s) > ICalendar::SummaryLength)
        return u"summary not a short start of the body"_s;
    if (s == b.trimmed() && !bodyAlways)
        return d.isEmpty() ? QString() : u"a description too many"_s;
    return d == b ? QString() : u"body left out"_s;
}

struct Export {
    std::vector<Entry> entries;
    std::map<std::tuple<int, QString, QString, QString, int>, QByteArray> todoUids;
    std::map<std::pair<int, QString>, QByteArray> uids;
    std::set<QByteArray> all;
};

// Exports `s` and checks every entry against the day it comes from: `problems` gets
// what is wrong.
Export exportAndCheck(const YearStore& s, int baseYear, QStringList& problems) {
    using namespace StoreCol;
    Export x;
    x.entries = readExport(Export_ICalendar(s, baseYear, {false, QDateTime::currentDateTimeUtc()}),
                           baseYear, problems);
    std::map<int, std::vector<const Entry*>> todos;
    for (const Entry& e : x.entries) {
        if (!x.all.insert(e.uid).second)
            problems << u"UID twice: "_s + QString::fromLatin1(e.uid);
        if (e.row < 1 || e.row > YearStore::DayRows) {
            problems << u"an entry of no day: "_s + QString::fromLatin1(e.start);
            continue;
        }
        if (e.kind == u"todo"_s) {
            todos[e.row].push_back(&e);
            continue;
        }
        x.uids[{e.row, e.kind}] = e.uid;
        QString lost;
        if (e.kind == u"events"_s)
            lost = whatIsLost(e, {}, s.text(e.row, Events), false);
        else if (e.kind == u"record"_s)
            lost = whatIsLost(e, {}, s.text(e.row, Record), true);
        else {
            const int i = e.kind.mid(4).toInt() - 1;
            lost = whatIsLost(e, s.text(e.row, SlotItem1 + i), s.text(e.row, SlotText1 + i), true);
        }
        if (!lost.isEmpty())
            problems << u"row %1 %2: %3"_s.arg(e.row).arg(e.kind, lost);
    }
    // What must be there: every text of a day, every ToDo item in its order.
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        QStringList kinds;
        if (!s.text(r, Events).isEmpty())
            kinds << u"events"_s;
        if (!s.text(r, Record).isEmpty())
            kinds << u"record"_s;
        for (int i = 0; i < 7; ++i)
            if (!s.text(r, SlotItem1 + i).isEmpty() || !s.text(r, SlotText1 + i).isEmpty())
                kinds << u"slot%1"_s.arg(i + 1);
        for (const QString& k : kinds)
            if (!x.uids.count({r, k}))
                problems << u"row %1 %2 missing"_s.arg(r).arg(k);
        const std::vector<ToDoItem> items = ToDo_Parse(s.text(r, ToDo));
        const std::vector<const Entry*>& got = todos[r];
        if (got.size() != items.size()) {
            problems << u"row %1: %2 tasks of %3"_s.arg(r).arg(got.size()).arg(items.size());
            continue;
        }
        std::map<std::tuple<QString, QString, QString>, int> seen;
        for (size_t k = 0; k < items.size(); ++k) {
            const ToDoItem& i = items[k];
            const int occurrence = ++seen[{i.time, i.category, i.text}];
            x.todoUids[{r, i.time, i.category, i.text, occurrence}] = got[k]->uid;
            if (const QString lost = whatIsLost(*got[k], i.text, {}, false); !lost.isEmpty())
                problems << u"row %1 task %2: %3"_s.arg(r).arg(k).arg(lost);
        }
    }
    return x;
}

// How many entries of `a` keep their UID in `b`; `problems` gets those that do not.
template <typename Map> int sameUids(const Map& a, const Map& b, QStringList& problems) {
    int kept = 0;
    for (const auto& [key, uid] : a) {
        const auto found = b.find(key);
        if (found == b.end())
            continue;
        ++kept;
        if (found->second != uid)
            problems << u"UID changed: "_s + QString::fromLatin1(uid) + u" → "_s +
                            QString::fromLatin1(found->second);
    }
    return kept;
}

// Runs a calendar program with a home of its own in `dir`: its exit code (-1 for a
// crash or a time-out) and what it wrote.
int runClient(const QString& program, const QStringList& args, const QTemporaryDir& dir,
              QString& output) {
    const QString exe = QStandardPaths::findExecutable(program);
    if (exe.isEmpty()) {
        output = program + u" is needed (scripts/test installs it)"_s;
        return -1;
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, dir.path());
    env.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
    env.insert(u"XDG_DATA_HOME"_s, dir.filePath(u"data"_s));
    env.insert(u"XDG_CACHE_HOME"_s, dir.filePath(u"cache"_s));
    env.insert(u"LANG"_s, u"C.UTF-8"_s);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(exe, args);
    const bool finished = p.waitForFinished(90000);
    output = QString::fromUtf8(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestICalendar : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Generated years (with and without 29 February), exported, edited (ToDo items
    // added, deleted, reordered, ticked; texts rewritten) and exported again, and a
    // second document of the same year with the same texts.
    void everyEntryIsReadableCompleteAndKeepsItsUid() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator rng(seed);
        for (int round = 0; round < 6; ++round) {
            const int baseYear = 2003 + round; // 2003 and 2007 have 29 February
            YearStore a;
            Store_New(a, baseYear, QDate());
            fill(a, rng);
            QStringList problems;
            const Export first = exportAndCheck(a, baseYear, problems);
            // Row 366 is the year's last day or the next 1 April.
            QVERIFY(first.uids.count({YearStore::DayRows, u"events"_s}));
            edit(a, rng);
            const Export second = exportAndCheck(a, baseYear, problems);
            const int kept = sameUids(first.uids, second.uids, problems) +
                             sameUids(first.todoUids, second.todoUids, problems);
            QVERIFY(kept > 100);

            YearStore b;
            Store_New(b, baseYear, QDate());
            for (int r = 1; r <= YearStore::DayRows; ++r)
                for (int c = StoreCol::Events; c < StoreCol::TextColumns; ++c)
                    b.set(r, c, a.at(r, c));
            const Export other = exportAndCheck(b, baseYear, problems);
            QCOMPARE(other.entries.size(), second.entries.size());
            for (const QByteArray& uid : other.all)
                if (second.all.count(uid))
                    problems << u"two documents share "_s + QString::fromLatin1(uid);
            QVERIFY2(problems.isEmpty(),
                     qPrintable(u"round %1, %2 problems:\n"_s.arg(round).arg(problems.size()) +
                                problems.mid(0, 20).join(u'\n')));
        }
    }

    // A whole year with every day filled, imported by a strict calendar program, and
    // events by another: every event and task is taken, and neither fails.
    void calendarProgramsImportAWholeYear() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator rng(seed);
        YearStore s;
        Store_New(s, 2005, QDate());
        fill(s, rng, true);
        const QByteArray ics = Export_ICalendar(s, 2005, {false, QDateTime::currentDateTimeUtc()});
        const int events = int(ics.count("BEGIN:VEVENT\r\n")),
                  tasks = int(ics.count("BEGIN:VTODO\r\n"));
        QVERIFY(events > 2000 && tasks > 500);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"year.ics"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ics) == ics.size());
        file.close();

        QString out;
        QVERIFY(QDir(dir.path()).mkpath(u"calcurse"_s));
        const int calcurse =
            runClient(u"calcurse"_s,
                      {u"-D"_s, dir.filePath(u"calcurse"_s), u"-i"_s, file.fileName()}, dir, out);
        QVERIFY2(calcurse == 0, qPrintable(out));
        const QRegularExpressionMatch m =
            QRegularExpression(u"(\\d+) apps / (\\d+) events / (\\d+) todos / (\\d+) skipped"_s)
                .match(out);
        QVERIFY2(m.hasMatch(), qPrintable(out));
        QCOMPARE(m.captured(1).toInt() + m.captured(2).toInt(), events);
        QCOMPARE(m.captured(3).toInt(), tasks);
        QCOMPARE(m.captured(4).toInt(), 0);

        // Events only, each written as a file of its own, which takes longer: the days
        // of a third of a year.
        YearStore part;
        Store_New(part, 2005, QDate());
        fill(part, rng);
        const QByteArray some =
            Export_ICalendar(part, 2005, {false, QDateTime::currentDateTimeUtc()});
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(some) == some.size());
        file.close();
        const QString vdir = dir.filePath(u"khal"_s);
        QVERIFY(QDir(dir.path()).mkpath(u"khal"_s) && QDir(dir.path()).mkpath(u"config/khal"_s));
        QFile config(dir.filePath(u"config/khal/config"_s));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[calendars]\n[[year]]\npath = " + vdir.toUtf8() +
                     "\ntype = calendar\n[locale]\ndefault_timezone = Asia/Tokyo\n"
                     "local_timezone = Asia/Tokyo\n");
        config.close();
        const int khal = runClient(
            u"khal"_s, {u"import"_s, u"--batch"_s, u"-a"_s, u"year"_s, file.fileName()}, dir, out);
        QVERIFY2(khal == 0, qPrintable(out));
        QCOMPARE(QDir(vdir).entryList({u"*.ics"_s}, QDir::Files).size(),
                 some.count("BEGIN:VEVENT\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestICalendar)
#include "tst_icalendar.moc"
