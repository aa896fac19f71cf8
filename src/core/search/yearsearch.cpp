// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/yearsearch.h"

#include "core/search/wildcard.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

using namespace Qt::StringLiterals;

QStringList YearSearch_Files(const QStringList& sources, QStringList* missing) {
    QStringList files;
    QSet<QString> seen;
    auto add = [&](const QString& path) {
        const QFileInfo info(path);
        const QString key =
            info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        if (!seen.contains(key)) {
            seen.insert(key);
            files.append(path);
        }
    };
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (info.isDir()) {
            QDir dir(source);
            dir.setNameFilters({u"*"_s + QString::fromUtf16(DocFiles::DocumentExt)});
            dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
            dir.setSorting(QDir::Name);
            // Matched as the file dialogs do here: "*.dys" in any case.
            for (const QString& name : dir.entryList())
                add(dir.filePath(name));
        } else if (info.exists()) {
            add(source);
        } else if (missing) {
            missing->append(source);
        }
    }
    return files;
}

YearSearchResult YearSearch_Store(const QString& path, const YearStore& store, int baseYear,
                                  const Wildcard& pattern, SearchText texts) {
    YearSearchResult r;
    r.path = path;
    r.baseYear = baseYear;
    r.hits = Search_Hits(store, baseYear, 1, YearStore::DayRows, pattern, texts);
    return r;
}

YearSearchResult YearSearch_File(const QString& path, const Wildcard& pattern, SearchText texts) {
    YearStore store;
    const FileResult read = DocFiles::readDocument(path, store);
    if (!read.ok()) {
        YearSearchResult r;
        r.path = path;
        r.error = read;
        return r;
    }
    return YearSearch_Store(path, store, int(store.number(0, 0)), pattern, texts);
}

// One search: its files, taken one by one by the workers, and what they report to.
struct YearSearch::Run {
    QStringList files;
    Wildcard pattern;
    SearchText texts = SearchText::ContextOnly;
    Found found;
    Finished finished;
    std::atomic<qsizetype> next{0};
    std::atomic<bool> cancelled{false};
    std::atomic<int> working{0};
    std::vector<std::thread> workers;

    void work() {
        for (;;) {
            const qsizetype i = next.fetch_add(1);
            if (cancelled.load() || i >= files.size())
                break;
            // Read only, never detached: every worker shares the list.
            found(i, YearSearch_File(std::as_const(files).at(i), pattern, texts));
        }
        // The last worker out says the search is over.
        if (working.fetch_sub(1) == 1)
            finished(cancelled.load());
    }
};

YearSearch::YearSearch() = default;

YearSearch::~YearSearch() {
    cancel();
    wait();
}

void YearSearch::start(const QStringList& files, const Wildcard& pattern, SearchText texts,
                       Found found, Finished finished, int threads) {
    cancel();
    wait();
    auto run = std::make_shared<Run>();
    run->files = files;
    run->pattern = pattern;
    run->texts = texts;
    run->found = std::move(found);
    run->finished = std::move(finished);
    if (threads <= 0)
        threads = int(std::max(1u, std::thread::hardware_concurrency()));
    const int count = int(std::clamp<qsizetype>(files.size(), 1, threads));
    run->working = count;
    m_run = run;
    for (int i = 0; i < count; ++i)
        run->workers.emplace_back([run] { run->work(); });
}

void YearSearch::cancel() {
    if (m_run)
        m_run->cancelled = true;
}

void YearSearch::wait() {
    if (!m_run)
        return;
    for (std::thread& t : m_run->workers)
        if (t.joinable())
            t.join();
}

std::vector<YearSearchResult> YearSearch_All(const QStringList& files, const Wildcard& pattern,
                                             SearchText texts, int threads) {
    std::vector<YearSearchResult> results(size_t(files.size()));
    std::mutex lock;
    {
        YearSearch search;
        search.start(
            files, pattern, texts,
            [&](qsizetype i, YearSearchResult r) {
                const std::lock_guard<std::mutex> guard(lock);
                results[size_t(i)] = std::move(r);
            },
            [](bool) {}, threads);
        search.wait();
    }
    return results;
}
