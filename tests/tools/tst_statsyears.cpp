// SPDX-License-Identifier: GPL-3.0-or-later
// daylog-tool stats-record and stats-item over several generated years (--with): each
// year's lines are that year's own statistics over the same days of the school year.

#include "core/stats/yearstats.h"
#include "core/time/dates.h"
#include "support/yearfolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QStringList out;
    QString err;
};

Run tool(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("DAYLOG_TOOL"), args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestStatsYears : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachYearCountsAsOnItsOwn() {
        const YearFolder folder(2003, 2005, 20051208);
        const QString y2003 = folder.documents[0], y2004 = folder.documents[1],
                      y2005 = folder.documents[2];
        const std::map<int, QString> files{{2003, y2003}, {2004, y2004}, {2005, y2005}};
        // Ranges of the school year, named in one year: a month, spring to winter, the
        // whole year, one ending on 29 February (2003's year has it, the others not).
        struct Range {
            int named;
            QDate from, to;
        };
        const QList<Range> ranges = {{2005, QDate(2005, 5, 1), QDate(2005, 5, 31)},
                                     {2004, QDate(2004, 4, 10), QDate(2004, 12, 20)},
                                     {2005, QDate(2005, 4, 1), QDate(2006, 3, 31)},
                                     {2003, QDate(2003, 9, 1), QDate(2004, 2, 29)}};
        const QStringList items{u"--key"_s, u"保護者会=10"_s, u"--key"_s,
                                u"会議"_s,  u"--key"_s,       u"𠮷田さん=3"_s};
        const QStringList records{u"--key1"_s, u"授業"_s, u"--key1"_s, u"遠足"_s,
                                  u"--key2"_s, u"会議"_s, u"--key2"_s, u"A-12"_s};
        int counted = 0;
        for (const Range& range : ranges) {
            // The same days in the year of `baseYear`.
            const auto dates = [&](int baseYear) {
                const StatsRange same =
                    Stats_SameDays({range.named, Dates::rowOfDate(range.from, range.named),
                                    Dates::rowOfDate(range.to, range.named)},
                                   baseYear);
                return QStringList{Dates::dateOfRow(same.first, baseYear).toString(Qt::ISODate),
                                   Dates::dateOfRow(same.last, baseYear).toString(Qt::ISODate)};
            };
            for (const auto& [command, keys] :
                 {std::pair{u"stats-item"_s, items}, std::pair{u"stats-record"_s, records}}) {
                QStringList with;
                for (const auto& [baseYear, file] : files)
                    if (baseYear != range.named)
                        with << u"--with"_s << file;
                const Run all = tool(QStringList{command, files.at(range.named)} +
                                     dates(range.named) + keys + with);
                QVERIFY2(all.exitCode == 0, qPrintable(all.err));
                QStringList expected;
                for (const auto& [baseYear, file] : files) {
                    const Run one = tool(QStringList{command, file} + dates(baseYear) + keys);
                    QVERIFY2(one.exitCode == 0, qPrintable(one.err));
                    for (const QString& line : one.out)
                        expected << u"%1年度\t"_s.arg(baseYear) + line;
                }
                QCOMPARE(all.out, expected);
                counted += int(std::count_if(all.out.begin(), all.out.end(), [](const QString& l) {
                    return l.contains(QRegularExpression(u"\t[1-9]"_s));
                }));
            }
        }
        QVERIFY(counted > 10); // the words are there to be counted
        // A year given twice, a damaged one: refused with the reason, nothing written.
        Run r = tool({u"stats-item"_s, y2005, u"2005-04-01"_s, u"2006-03-31"_s, u"--key"_s,
                      u"会議"_s, u"--with"_s, folder.documents[2]});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"その年度はもう数えています"_s), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        r = tool({u"stats-record"_s, y2005, u"2005-04-01"_s, u"2006-03-31"_s, u"--key1"_s,
                  u"会議"_s, u"--with"_s, folder.dir.filePath(u"broken.dys"_s)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"broken.dys"_s), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStatsYears)
#include "tst_statsyears.moc"
