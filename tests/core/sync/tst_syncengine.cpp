// SPDX-License-Identifier: GPL-3.0-or-later
// A model of two-way sync: a desktop editing its year and a phone editing the same
// calendar collection on a server in memory, at random, with syncs in between, some of
// them cut off after any request, with any number of the requests done recorded. After every
// complete sync nothing typed on either side and not deleted since is missing from
// either side, both sides mean the same item by item, no day holds an item twice, and
// another sync plans nothing.
#include "core/calendar/holidays.h"
#include "core/store/yearstore.h"
#include "core/sync/syncapply.h"
#include "core/sync/syncplan.h"
#include "core/time/dates.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace Qt::StringLiterals;

namespace {

constexpr int BaseYear = 2005;

// The collection on the server: href → ETag and content; ETags from one counter.
class FakeServer {
public:
    SyncListing listing() const {
        SyncListing out;
        for (const auto& [href, r] : m_resources)
            out[href] = r.first;
        return out;
    }
    const std::map<QString, std::pair<QByteArray, QByteArray>>& resources() const {
        return m_resources;
    }
    QByteArray put(const QString& href, const QByteArray& body) {
        const QByteArray etag = '"' + QByteArray::number(++m_counter) + '"';
        m_resources[href] = {etag, body};
        return etag;
    }
    // A conditional PUT or DELETE as a CalDAV server answers it: false for 412.
    bool put(const SyncPut& p, QByteArray* etag) {
        const auto it = m_resources.find(p.href);
        if (p.create ? it != m_resources.end()
                     : it == m_resources.end() || it->second.first != p.ifMatch)
            return false;
        *etag = put(p.href, p.body);
        return true;
    }
    bool remove(const SyncDelete& d) {
        const auto it = m_resources.find(d.href);
        if (it == m_resources.end() || it->second.first != d.ifMatch)
            return false;
        m_resources.erase(it);
        return true;
    }
    void remove(const QString& href) { m_resources.erase(href); }

private:
    std::map<QString, std::pair<QByteArray, QByteArray>> m_resources;
    int m_counter = 0;
};

QString unfolded(QByteArray ics) {
    ics.replace("\r\n ", "");
    ics.replace("\r\n\t", "");
    return QString::fromUtf8(ics);
}

QStringList tokensOf(const QString& text) {
    static const QRegularExpression token(u"[dp]\\d+z"_s);
    QStringList out;
    for (auto it = token.globalMatch(text); it.hasNext();)
        out.append(it.next().captured());
    return out;
}

class Model {
public:
    explicit Model(quint64 seed) : m_rng(seed) {
        m_store.setDocumentId(QUuid::createUuid());
        m_store.set(0, 0, BaseYear);
        for (int row = 1; row <= YearStore::DayRows; ++row)
            m_store.set(row, StoreCol::Date, Dates::toStoreText(Dates::dateOfRow(row, BaseYear)));
        Holiday_Fill(m_store);
        m_saved.documentId = m_store.documentId();
        m_saved.link = {u"https://cal.example"_s, u"taro"_s,
                        u"https://cal.example/dav/taro/year/"_s};
        // 29 April and 3 May are holidays; row 366 is 1 April 2006.
        for (const QDate d : {QDate(2005, 4, 29), QDate(2005, 5, 3), QDate(2005, 7, 7),
                              QDate(2006, 3, 31), QDate(2006, 4, 1)})
            m_days.push_back(Dates::rowOfDate(d, BaseYear));
    }

    QString failure; // what went wrong, with the steps before it
    bool check(bool ok, const QString& what) {
        if (!ok && failure.isEmpty())
            failure = what + u"\nlast steps:\n"_s + m_log.join(u'\n');
        return ok;
    }
    void log(const QString& what) {
        m_log.append(u"%1: %2"_s.arg(m_step).arg(what));
        if (m_log.size() > 400)
            m_log.removeFirst();
    }

    void step(int n) {
        m_step = n;
        const int r = int(m_rng.bounded(100));
        if (r < 40)
            desktopEdit();
        else if (r < 72)
            phoneEdit();
        else if (r < 75)
            bothSame();
        else if (r < 77)
            otherComputer();
        else
            sync(m_rng.bounded(4) != 0);
    }

    // A complete sync, then the checks.
    void finish() { sync(true); }

private:
    int pick(int n) { return int(m_rng.bounded(n)); }
    QString token(QChar side) { return side + QString::number(++m_tokens) + u'z'; }
    QString words(QChar side) {
        static const char16_t* const japanese[] = {u"会議", u"買い物", u"病院", u"メモ", u""};
        QString s = QString::fromUtf16(japanese[pick(5)]);
        const QString t = token(side);
        m_live.insert(t);
        return s.isEmpty() ? t : s + u' ' + t;
    }
    void kill(const QString& text) {
        for (const QString& t : tokensOf(text))
            m_live.erase(t);
    }

    // The desktop: lines of a day's texts added, replaced and removed; ToDo items added,
    // ticked, edited and removed.
    void desktopEdit() {
        const int row = m_days[size_t(pick(int(m_days.size())))];
        const int what = pick(10);
        if (what < 6) {
            static const int cols[] = {StoreCol::Events,        StoreCol::Record,
                                       StoreCol::SlotItem1,     StoreCol::SlotText1 + 3,
                                       StoreCol::SlotItem1 + 6, StoreCol::SlotText1 + 6};
            const int col = cols[what];
            QStringList lines = m_store.text(row, col).split(u'\n');
            if (lines == QStringList{QString()})
                lines.clear();
            const int op = lines.isEmpty() ? 0 : pick(3);
            if (op == 0) {
                lines.append(words(u'd'));
            } else {
                const int i = pick(int(lines.size()));
                kill(lines[i]);
                if (op == 1)
                    lines[i] = words(u'd');
                else
                    lines.removeAt(i);
            }
            m_store.set(row, col, lines.join(u'\n'));
            log(u"desktop row %1 column %2: %3"_s.arg(row).arg(col).arg(lines.join(u'/')));
            return;
        }
        std::vector<ToDoItem> items = ToDo_Parse(m_store.text(row, StoreCol::ToDo));
        const int op = items.empty() ? 0 : pick(4);
        if (op == 0) {
            static const char16_t* const times[] = {u"", u"09:30", u"朝", u"18:00"};
            static const char16_t* const cats[] = {u"", u"最重", u"重要", u"普通", u"要軽"};
            items.push_back({u"0"_s, QString::fromUtf16(times[pick(4)]),
                             QString::fromUtf16(cats[pick(5)]), words(u'd')});
        } else {
            ToDoItem& item = items[size_t(pick(int(items.size())))];
            if (op == 1) {
                item.flag = item.done() ? u"0"_s : u"1"_s;
            } else if (op == 2) {
                kill(item.text);
                item.text = words(u'd');
            } else {
                kill(item.text);
                items.erase(items.begin() + (&item - items.data()));
            }
        }
        QString day;
        for (const ToDoItem& i : items)
            day += ToDo_ItemString(i.done(), i.time, i.category, i.text);
        m_store.set(row, StoreCol::ToDo, day);
        log(u"desktop row %1 ToDo: %2"_s.arg(row).arg(day));
    }

    // The phone: what a calendar program does to the resources.
    void phoneEdit() {
        const auto& all = m_server.resources();
        const int what = pick(10);
        if (all.empty() || what < 2) {
            phoneAdd();
            return;
        }
        auto it = all.begin();
        std::advance(it, pick(int(all.size())));
        const QString href = it->first;
        QStringList lines = unfolded(it->second.second).split(u"\r\n"_s, Qt::SkipEmptyParts);
        const qsizetype begin =
            lines.indexOf(QRegularExpression(u"^BEGIN:V(EVENT|TODO|JOURNAL)"_s));
        const auto end = [&] {
            return lines.indexOf(QRegularExpression(u"^END:V(EVENT|TODO|JOURNAL)"_s));
        };
        const auto find = [&](const QString& name) -> qsizetype {
            for (qsizetype i = begin + 1; i < end(); ++i)
                if (lines[i].startsWith(name + u':') || lines[i].startsWith(name + u';'))
                    return i;
            return -1;
        };
        const auto set = [&](const QString& name, const QString& value) {
            if (const qsizetype i = find(name); i >= 0) {
                kill(lines[i]);
                lines[i] = name + u':' + value;
            } else {
                lines.insert(end(), name + u':' + value);
            }
        };
        if (what == 2) {
            kill(lines.join(u'\n'));
            m_server.remove(href);
            log(u"phone deletes "_s + href);
            return;
        }
        if (what == 3 && lines[begin] == u"BEGIN:VTODO") {
            const bool done = lines.contains(u"STATUS:COMPLETED"_s);
            set(u"STATUS"_s, done ? u"NEEDS-ACTION"_s : u"COMPLETED"_s);
            if (const qsizetype i = find(u"COMPLETED"_s); i >= 0)
                lines.removeAt(i);
            else
                lines.insert(find(u"STATUS"_s), u"COMPLETED:20050601T120000Z"_s);
        } else if (what == 4 || what == 5) {
            set(u"SUMMARY"_s, words(u'p'));
        } else if (what == 6) {
            const qsizetype i = find(u"DESCRIPTION"_s);
            if (i >= 0)
                lines[i] += u"\\n"_s + words(u'p');
            else
                set(u"DESCRIPTION"_s, words(u'p'));
        }
        // Every edit rewrites the object in the phone's own way.
        lines.replaceInStrings(QRegularExpression(u"^PRODID:.*"_s), u"PRODID:-//Phone//1.0//EN"_s);
        lines.replaceInStrings(QRegularExpression(u"^DTSTAMP:.*"_s),
                               u"DTSTAMP:2005%1T101010Z"_s.arg(1000 + m_step % 8000));
        std::reverse(lines.begin() + begin + 1, lines.begin() + end());
        // Some drop what they do not know (then a slot's title of several lines cannot be
        // told from its content: not done to slots here).
        if (pick(8) == 0 && !href.contains(u"-slot"))
            lines.removeIf([](const QString& l) { return l.startsWith(u"X-DAYLOG-"); });
        m_server.put(href, (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
        log(u"phone edit %1 of %2: %3"_s.arg(what).arg(href, lines.join(u'/')));
    }

    void phoneAdd() {
        static const QDate days[] = {QDate(2005, 4, 29), QDate(2005, 5, 3), QDate(2005, 7, 7),
                                     QDate(2006, 3, 31)};
        const QString date = days[pick(4)].toString(u"yyyyMMdd"_s);
        const QString uid = u"phone-%1@example.org"_s.arg(++m_tokens);
        QString body = u"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//1.0//EN\r\n"_s;
        const int kind = pick(4);
        const QString description =
            pick(2) ? u"DESCRIPTION:"_s + words(u'p') + u"\r\n"_s : QString();
        if (kind == 0)
            body +=
                u"BEGIN:VEVENT\r\nUID:%1\r\nDTSTAMP:20050501T000000Z\r\nDTSTART;VALUE=DATE:%2\r\n"
                u"SUMMARY:%3\r\n%4END:VEVENT\r\n"_s.arg(uid, date, words(u'p'), description);
        else if (kind == 1)
            body += u"BEGIN:VEVENT\r\nUID:%1\r\nDTSTAMP:20050501T000000Z\r\nDTSTART:%2T101500\r\n"
                    u"DTEND:%2T110000\r\nSUMMARY:%3\r\n%4END:VEVENT\r\n"_s.arg(
                        uid, date, words(u'p'), description);
        else if (kind == 2)
            body += u"BEGIN:VTODO\r\nUID:%1\r\nDTSTAMP:20050501T000000Z\r\nDUE;VALUE=DATE:%2\r\n"
                    u"SUMMARY:%3\r\n%4PRIORITY:%5\r\nEND:VTODO\r\n"_s
                        .arg(uid, date, words(u'p'), description)
                        .arg(1 + pick(9));
        else
            body += u"BEGIN:VJOURNAL\r\nUID:%1\r\nDTSTAMP:20050501T000000Z\r\nDTSTART;VALUE=DATE:"
                    u"%2\r\nSUMMARY:%3\r\n%4END:VJOURNAL\r\n"_s.arg(uid, date, words(u'p'),
                                                                    description);
        body += u"END:VCALENDAR\r\n"_s;
        m_server.put(u"/dav/taro/year/"_s + uid.section(u'@', 0, 0) + u".ics"_s, body.toUtf8());
        log(u"phone adds "_s + QString(body).replace(u"\r\n"_s, u"/"_s));
    }

    // The same change made on both sides (an item ticked, a line added) is no conflict.
    void bothSame() {
        sync(true);
        const SyncResources local = Sync_LocalResources(m_store, BaseYear, &m_saved);
        std::vector<QString> own;
        for (const auto& [uid, r] : local)
            if (!r.foreign)
                own.push_back(uid);
        if (own.empty() || !failure.isEmpty())
            return;
        const QString uid = own[size_t(pick(int(own.size())))];
        ICalendarEntry e = local.at(uid).entry;
        const std::optional<SyncUid> at = Sync_OwnUid(uid, m_store.documentId(), BaseYear);
        if (e.kind == ICalendarEntry::ToDo)
            e.done = !e.done;
        else
            e.text = e.text + u'\n' + words(u'd');
        SyncDoc(m_store, BaseYear, m_saved.items).setOwn(*at, &e);
        SyncResource r = Sync_Resource(e, m_store.documentId(), QDateTime::currentDateTimeUtc());
        m_server.put(m_saved.items.at(uid).href,
                     r.ics.replace("PRODID:-//DayLog", "PRODID:-//Phone"));
        const int before = m_conflicts;
        sync(true);
        check(m_conflicts == before,
              u"the same change on both sides made a conflict: %1"_s.arg(uid));
    }

    // An entry another computer with this document made: on the server, unknown to this
    // state, the same here or not here at all.
    void otherComputer() {
        sync(true);
        std::vector<QString> own;
        for (const auto& [uid, item] : m_saved.items)
            if (!item.foreign)
                own.push_back(uid);
        if (own.empty() || !failure.isEmpty())
            return;
        const QString uid = own[size_t(pick(int(own.size())))];
        if (pick(2)) {
            const std::optional<SyncUid> at = Sync_OwnUid(uid, m_store.documentId(), BaseYear);
            SyncDoc(m_store, BaseYear, m_saved.items).setOwn(*at, nullptr);
        }
        m_saved.items.erase(uid);
        log(u"made on another computer: "_s + uid);
        sync(true);
    }

    void sync(bool complete) {
        if (!failure.isEmpty())
            return;
        const SyncListing listing = m_server.listing();
        SyncBodies bodies;
        for (const QString& href : Sync_HrefsToFetch(m_saved, listing))
            bodies[href] = m_server.resources().at(href).second;
        const SyncPlan plan = Sync_Plan(m_store, BaseYear, m_saved, listing, bodies,
                                        QDateTime(QDate(2005, 6, 1), QTime(9, 0), Qt::UTC));
        QString error;
        if (!check(Sync_Apply(m_store, plan, &error), error))
            return;
        m_conflicts += int(plan.conflicts.size());
        log(u"sync%1: %2 edits, %3 PUTs, %4 DELETEs, %5 conflicts"_s
                .arg(complete ? u""_s : u" cut off"_s)
                .arg(plan.edits.size())
                .arg(plan.puts.size())
                .arg(plan.deletes.size())
                .arg(plan.conflicts.size()));
        for (const auto& e : plan.edits)
            log(u"  edit row %1 col %2: %3"_s.arg(e.row).arg(e.col).arg(e.text));
        // Cut off after `done` requests. The state as planned is written once the
        // document holding the edits is saved; the requests' successes are written with
        // it or lost (`recorded` of them kept).
        const int requests = int(plan.puts.size() + plan.deletes.size());
        const int done = complete ? requests : pick(requests + 1);
        const int recorded = complete ? requests : pick(done + 1);
        SyncState state = plan.state;
        saveState(state);
        int n = 0;
        for (const SyncPut& p : plan.puts) {
            QByteArray etag;
            if (n++ >= done)
                break;
            log(u"  PUT %1 create=%2 %3"_s.arg(p.href).arg(p.create).arg(
                QString::fromUtf8(p.body).replace(u"\r\n"_s, u"/"_s)));
            if (!check(m_server.put(p, &etag), u"PUT %1 refused"_s.arg(p.href)))
                return;
            Sync_PutDone(state, p, pick(5) ? etag : QByteArray()); // some servers give none
            if (n == recorded)
                saveState(state);
        }
        for (const SyncDelete& d : plan.deletes) {
            if (n++ >= done)
                break;
            log(u"  DELETE %1"_s.arg(d.href));
            if (!check(m_server.remove(d), u"DELETE %1 refused"_s.arg(d.href)))
                return;
            Sync_DeleteDone(state, d);
            if (n == recorded)
                saveState(state);
        }
        log(u"  %1 requests done, %2 of them recorded"_s.arg(std::min(done, requests))
                .arg(recorded));
        if (complete)
            verify();
    }

    // The state as it is read back: from its file now and then (written as the program
    // writes it), else from its JSON.
    void saveState(const SyncState& state) {
        QString error;
        SyncState back;
        if (++m_saves % 64 == 0) {
            const QString doc = m_dir.filePath(u"2005.dys"_s);
            check(Sync_WriteState(doc, state, BaseYear, &error) &&
                      Sync_ReadState(doc, m_store, BaseYear, back, &error),
                  u"state not kept: "_s + error);
        } else {
            check(SyncState::fromJson(state.toJson(BaseYear), BaseYear, back, &error),
                  u"state not read: "_s + error);
        }
        check(back == state, u"state changed on its way to disk"_s);
        m_saved = back;
    }

    void verify() {
        if (!failure.isEmpty())
            return;
        // Nothing lost: every live text on both sides.
        QString doc;
        for (int row = 1; row <= YearStore::DayRows; ++row)
            for (int col = StoreCol::Events; col <= StoreCol::ToDo; ++col)
                doc += m_store.text(row, col) + u'\n';
        QString server;
        for (const auto& [href, r] : m_server.resources())
            server += unfolded(r.second);
        for (const QString& t : m_live)
            if (!check(doc.contains(t) && server.contains(t),
                       u"%1 lost (document %2, server %3)"_s.arg(t)
                           .arg(doc.contains(t))
                           .arg(server.contains(t))))
                return;
        // Nothing twice in a day.
        for (const int row : m_days) {
            for (int col = StoreCol::Events; col < StoreCol::ToDo; ++col) {
                // Lines with something typed in them: those of the items (times alone may
                // be alike).
                QStringList lines =
                    m_store.text(row, col).split(u'\n').filter(QRegularExpression(u"[dp]\\d+z"_s));
                const qsizetype n = lines.size();
                lines.removeDuplicates();
                if (!check(lines.size() == n,
                           u"a line twice: row %1 column %2: %3"_s.arg(row).arg(col).arg(
                               m_store.text(row, col))))
                    return;
            }
            QStringList items;
            for (const ToDoItem& i : ToDo_Parse(m_store.text(row, StoreCol::ToDo)))
                items.append(i.time + u'|' + i.text);
            const qsizetype n = items.size();
            items.removeDuplicates();
            if (!check(items.size() == n, u"a ToDo item twice on row %1"_s.arg(row)))
                return;
        }
        // Both sides mean the same, item by item.
        const SyncResources local = Sync_LocalResources(m_store, BaseYear, &m_saved);
        std::set<QString> seen;
        for (const auto& [href, r] : m_server.resources()) {
            auto& [etag, item] = m_read[href];
            if (etag != r.first) {
                etag = r.first;
                item = Sync_ReadServer(r.second, m_store.documentId(), BaseYear);
            }
            const auto it = local.find(item.uid);
            seen.insert(item.uid);
            if (!check(it != local.end(),
                       u"only on the server: %1 %2 %3"_s.arg(href, item.uid, item.problem)))
                return;
            if (item.shape == SyncServerItem::Foreign
                    ? !check(it->second.foreign, u"foreign item not whole: "_s + item.uid)
                    : !check(item.shape == SyncServerItem::Own &&
                                 Sync_SameMeaning(item.entry, it->second.entry),
                             u"sides differ: %1\n%2\n%3"_s.arg(item.uid, it->second.entry.text,
                                                               item.entry.text)))
                return;
        }
        for (const auto& [uid, r] : local)
            if (!check(seen.count(uid), u"only in the document: "_s + uid))
                return;
        // Nothing more to do.
        const SyncListing listing = m_server.listing();
        SyncBodies bodies;
        for (const QString& href : Sync_HrefsToFetch(m_saved, listing))
            bodies[href] = m_server.resources().at(href).second;
        const SyncPlan again = Sync_Plan(m_store, BaseYear, m_saved, listing, bodies, {});
        check(again.isEmpty() && again.conflicts.empty(),
              u"a second sync plans %1 edits, %2 PUTs, %3 DELETEs"_s.arg(again.edits.size())
                  .arg(again.puts.size())
                  .arg(again.deletes.size()));
    }

    QRandomGenerator64 m_rng;
    YearStore m_store;
    FakeServer m_server;
    SyncState m_saved;
    QTemporaryDir m_dir;
    std::vector<int> m_days;
    std::set<QString> m_live;
    QStringList m_log;
    int m_tokens = 0;
    int m_step = 0;
    int m_conflicts = 0;
    int m_saves = 0;
    std::map<QString, std::pair<QByteArray, SyncServerItem>> m_read; // by href, with its ETag
};

} // namespace

class TestSyncEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomDesktopAndPhone();
};

// DAYLOG_SYNC_SEED and DAYLOG_SYNC_STEPS choose the run: a number, or "random" for a
// new seed each time (printed when it fails). Without it the runs are the same every
// time, so that a suite run fails only on a change of the code.
void TestSyncEngine::randomDesktopAndPhone() {
    const QString given = qEnvironmentVariable("DAYLOG_SYNC_SEED");
    const quint64 seed = given == u"random"_s ? QRandomGenerator::global()->generate64()
                         : given.isEmpty()    ? quint64(20051208)
                                              : given.toULongLong();
    const int steps = qEnvironmentVariableIntValue("DAYLOG_SYNC_STEPS");
    const int runs = 2;
    for (int run = 0; run < runs; ++run) {
        Model model(seed + quint64(run));
        int n = 0;
        for (; n < (steps > 0 ? steps : 850) && model.failure.isEmpty(); ++n)
            model.step(n);
        model.finish();
        if (!model.failure.isEmpty())
            qWarning().noquote() << model.failure;
        QVERIFY2(model.failure.isEmpty(),
                 qPrintable(u"DAYLOG_SYNC_SEED=%1 step %2: %3"_s.arg(seed + quint64(run))
                                .arg(n)
                                .arg(model.failure.section(u'\n', 0, 0))));
    }
}

QTEST_GUILESS_MAIN(TestSyncEngine)
#include "tst_syncengine.moc"
