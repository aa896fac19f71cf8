// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridfile.h"
#include "core/search/search.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class Wildcard;
class YearStore;

// Searching many year documents at once: every document given, or found in the folders
// given, read and searched on worker threads, each file's result reported as soon as
// it is known.

// The documents of `sources` in the order given: a file as it is named (whatever it
// is: reading it says whether it is a document), a folder's documents (the names
// ending ".dys", in any case, without going into sub-folders) in name order. A file
// reached twice (by two names of the same file) is listed once. A source that is
// neither a file nor a folder is left out and named in `missing`.
QStringList YearSearch_Files(const QStringList& sources, QStringList* missing = nullptr);

// What one document came to.
struct YearSearchResult {
    QString path; // as given or found
    int baseYear = 0;
    std::vector<SearchHit> hits; // by date, a day's fields in column order
    FileResult error;            // not ok: the file was not searched, and why
    bool searched() const { return error.ok(); }
};

// Searches the whole year in `store` (of the year beginning 1 April `baseYear`).
YearSearchResult YearSearch_Store(const QString& path, const YearStore& store, int baseYear,
                                  const Wildcard& pattern,
                                  SearchText texts = SearchText::ContextOnly);
// Reads the document at `path` and searches its whole year; a file that is not a
// readable document comes back with the reason.
YearSearchResult YearSearch_File(const QString& path, const Wildcard& pattern,
                                 SearchText texts = SearchText::ContextOnly);

// A search of many files on worker threads. `found` is called on a worker thread for
// every file as soon as it has been searched (or found unreadable), with the file's
// place in the list, in no set order and from several threads at once;
// `finished` once after the last one, also when cancelled. Destroying the search
// cancels it and waits for the files being read to be done: no call comes after.
class YearSearch {
public:
    using Found = std::function<void(qsizetype index, YearSearchResult result)>;
    using Finished = std::function<void(bool cancelled)>;

    YearSearch();
    ~YearSearch();
    YearSearch(const YearSearch&) = delete;
    YearSearch& operator=(const YearSearch&) = delete;

    // Starts searching `files` (a search running already is cancelled first).
    // `threads` 0: as many as the computer has cores.
    void start(const QStringList& files, const Wildcard& pattern, SearchText texts, Found found,
               Finished finished, int threads = 0);
    // No further file is started; the call returns at once.
    void cancel();
    // Waits until every file started has been reported.
    void wait();

private:
    struct Run;
    std::shared_ptr<Run> m_run;
};

// Searches `files` to the end on worker threads and returns their results in the order
// of `files`.
std::vector<YearSearchResult> YearSearch_All(const QStringList& files, const Wildcard& pattern,
                                             SearchText texts = SearchText::ContextOnly,
                                             int threads = 0);
