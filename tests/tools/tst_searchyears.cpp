// SPDX-License-Identifier: GPL-3.0-or-later
// daylog-tool search-years over a folder of generated years, against the search of
// each year on its own.

#include "core/time/dates.h"
#include "support/yearfolder.h"

#include <QProcess>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QStringList out;
    QString err;
};

Run searchYears(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("DAYLOG_TOOL"), QStringList{u"search-years"_s} + args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString escaped(QString t) {
    return t.replace(u"\\"_s, u"\\\\"_s)
        .replace(u"\t"_s, u"\\t"_s)
        .replace(u"\n"_s, u"\\n"_s)
        .replace(u"\r"_s, u"\\r"_s);
}

} // namespace

class TestSearchYears : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every document of the folder searched, one line per matching field in date order,
    // exactly what the search of each year finds; the damaged and the foreign file named
    // with their reasons; other files and sub-folders left alone.
    void theFolderIsSearchedAsEachYearOnItsOwn() {
        const YearFolder folder(2021, 2025, 20261208);
        for (const QString& text : {u"保護者会"_s, u"面談\t3"_s, u"提出*締切"_s, u"#-"_s, u"𠮷"_s,
                                    u"ありえない"_s, u"の日"_s}) {
            QStringList expected;
            std::vector<std::pair<QDate, QString>> lines;
            for (const auto& year : folder.searchEach(text))
                for (const SearchHit& hit : year.hits)
                    lines.push_back({hit.date, escaped(year.path) + u'\t' +
                                                   Dates::toStoreText(hit.date) + u'\t' +
                                                   Search_FieldName(hit.column) + u'\t' +
                                                   escaped(hit.text)});
            std::stable_sort(lines.begin(), lines.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& line : lines)
                expected << line.second;
            const Run r = searchYears({text, folder.dir.path()});
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(r.out, expected);
            QVERIFY2(r.err.contains(u"broken.dys」は探しませんでした。ファイルが壊れています"_s),
                     qPrintable(r.err));
            QVERIFY(
                r.err.contains(u"memo.dys」は探しませんでした。DayLogのファイルではありません"_s));
            QVERIFY(!r.err.contains(u"notes.txt"_s) && !r.out.join(u'\n').contains(u"old/"_s));
            QCOMPARE(r.err.count(u'\n'), 2);
        }
        // The words are in every year: the test means something.
        QVERIFY(searchYears({u"保護者会"_s, folder.dir.path()}).out.size() > 100);

        // Files named one by one, one of them twice: searched once each, in date order.
        const Run named =
            searchYears({u"会議"_s, folder.documents[3], folder.documents[1], folder.documents[3]});
        QCOMPARE(named.exitCode, 0);
        QVERIFY(!named.out.isEmpty());
        QVERIFY(std::is_sorted(named.out.begin(), named.out.end(), [](auto& a, auto& b) {
            return a.section(u'\t', 1, 1) < b.section(u'\t', 1, 1);
        }));
        QCOMPARE(named.out.filter(folder.documents[3]).size() +
                     named.out.filter(folder.documents[1]).size(),
                 named.out.size());
        QCOMPARE(named.out.size(), qsizetype(folder.searchEach(u"会議"_s)[1].hits.size() +
                                             folder.searchEach(u"会議"_s)[3].hits.size()));

        // Nothing searchable: failure with the reasons; usage errors as everywhere.
        const Run none = searchYears(
            {u"会議"_s, folder.dir.filePath(u"memo.dys"_s), folder.dir.filePath(u"missing.dys"_s)});
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.out.isEmpty());
        QVERIFY(none.err.contains(u"missing.dys」はありません"_s));
        QVERIFY(none.err.contains(u"探せる文書がありませんでした"_s));
        QCOMPARE(searchYears({u"会議["_s, folder.dir.path()}).exitCode, 1);
        QCOMPARE(searchYears({QString(), folder.dir.path()}).exitCode, 1);
        QCOMPARE(searchYears({u"会議"_s}).exitCode, 2);
        QCOMPARE(searchYears({u"会議"_s, u"-"_s}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestSearchYears)
#include "tst_searchyears.moc"
