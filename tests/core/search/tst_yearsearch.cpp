// SPDX-License-Identifier: GPL-3.0-or-later
// The search of many years on worker threads: every file reported once whatever the
// number of threads, and nothing started after a cancel. Also built alone with
// ThreadSanitizer (scripts/test, DAYLOG_THREAD_CHECK).

#include "core/search/yearsearch.h"
#include "support/yearfolder.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

class TestYearSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The worker search reports every file once, whatever the number of threads, and a
    // search cancelled or dropped early reports nothing afterwards.
    void everyFileIsReportedOnceAndCancellingStops() {
        const YearFolder folder(2001, 2008, 7);
        const QStringList files = YearSearch_Files({folder.dir.path()});
        QCOMPARE(files.size(), 10); // eight years, the damaged file, the foreign one
        const Wildcard pattern = Wildcard::contains(u"授業"_s);
        const auto each = folder.searchEach(u"授業"_s);
        for (int threads : {1, 2, 5}) {
            const auto all = YearSearch_All(files, pattern, SearchText::Whole, threads);
            QCOMPARE(all.size(), size_t(files.size()));
            int searched = 0;
            for (size_t i = 0; i < all.size(); ++i) {
                QCOMPARE(all[i].path, files[qsizetype(i)]);
                if (!all[i].searched())
                    continue;
                const auto& own = each[size_t(searched++)];
                QCOMPARE(all[i].baseYear, own.baseYear);
                QCOMPARE(all[i].hits.size(), own.hits.size());
                for (size_t k = 0; k < own.hits.size(); ++k)
                    QCOMPARE(all[i].hits[k].text, own.hits[k].text);
            }
            QCOMPARE(searched, 8);
        }
        // Each worker's first file is held until the search has been cancelled: no
        // worker may start another one after that.
        std::atomic<int> reported{0}, finished{0}, finishedCancelled{0};
        std::atomic<bool> cancelled{false};
        {
            YearSearch search;
            search.start(
                files, pattern, SearchText::ContextOnly,
                [&](qsizetype, YearSearchResult) {
                    ++reported;
                    while (!cancelled)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                },
                [&](bool wasCancelled) {
                    ++finished;
                    finishedCancelled += wasCancelled;
                },
                2);
            search.cancel();
            cancelled = true;
            search.wait();
            QCOMPARE(finished.load(), 1);
            QCOMPARE(finishedCancelled.load(), 1);
            QVERIFY(reported <= 2); // not one more file after the cancel

            // A search started over a running one replaces it: the first one stops
            // where it was, the new one reports every file.
            std::atomic<int> reports{0};
            finished = 0;
            const auto count = [&](qsizetype, YearSearchResult) { ++reports; };
            const auto end = [&](bool) { ++finished; };
            search.start(files, pattern, SearchText::ContextOnly, count, end);
            search.start(files, pattern, SearchText::ContextOnly, count, end);
            search.wait();
            QCOMPARE(finished.load(), 2);
            QVERIFY(reports >= files.size() && reports <= 2 * files.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestYearSearch)
#include "tst_yearsearch.moc"
