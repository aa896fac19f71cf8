// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A folder of year documents as a user keeps them, for the search of every year:
// years filled at random from a small vocabulary (so that the same words turn up in
// every year), a damaged document, a file that is no document, files the search must
// not look at (another extension, a sub-folder), and what the search of each year on
// its own finds.

#include "core/calendar/newyear.h"
#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/todo/todostring.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <array>
#include <vector>

struct YearFolder {
    // Years first..last (in files "<year>.dys"), filled from `seed`.
    YearFolder(int first, int last, quint32 seed) {
        QRandomGenerator rng(seed);
        for (int year = first; year <= last; ++year) {
            YearStore store;
            Store_New(store, year, QDate());
            fill(store, rng);
            const QString path = dir.filePath(QString::number(year) + QStringLiteral(".dys"));
            DocFiles::writeDocument(store, 20, path);
            documents.push_back(path);
        }
        // A document cut off in the middle, and a text that is no document.
        QFile whole(documents.front());
        whole.open(QIODevice::ReadOnly);
        write(QStringLiteral("broken.dys"), whole.read(whole.size() / 2));
        write(QStringLiteral("memo.dys"), "保護者会 memo\n");
        // Never looked at: another kind of file, a document in a sub-folder.
        write(QStringLiteral("notes.txt"), "保護者会\n");
        QDir(dir.path()).mkdir(QStringLiteral("old"));
        QFile::copy(documents.back(), dir.filePath(QStringLiteral("old/copy.dys")));
    }

    // Random words in random texts of random days: records, events, slots and ToDo items.
    static void fill(YearStore& store, QRandomGenerator& rng) {
        static const std::array<QString, 8> words = {
            QStringLiteral("保護者会"),   QStringLiteral("遠足"),     QStringLiteral("授業"),
            QStringLiteral("会議"),       QStringLiteral("𠮷田さん"), QStringLiteral("面談\t3組"),
            QStringLiteral("提出\n締切"), QStringLiteral("A-12")};
        auto text = [&] {
            QString t;
            for (int n = 1 + rng.bounded(3); n > 0; --n)
                t += words[size_t(rng.bounded(int(words.size())))] + u' ';
            return t;
        };
        for (int n = 0; n < 120; ++n) {
            const int row = 1 + rng.bounded(YearStore::DayRows);
            if (store.text(row, StoreCol::Date).isEmpty())
                continue; // the 366th row of a year without 29 February
            switch (rng.bounded(4)) {
            case 0:
                store.set(row, StoreCol::Record, text());
                break;
            case 1:
                store.set(row, StoreCol::Events, text());
                break;
            case 2:
                store.set(row, StoreCol::SlotItem1 + rng.bounded(14), text());
                break;
            default:
                store.set(row, StoreCol::ToDo,
                          ToDo_ItemString(rng.bounded(2), QStringLiteral("10:00"),
                                          QStringLiteral("普通"), text()));
            }
        }
    }

    void write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    // What the search of one year finds in each document, as written.
    struct Found {
        QString path;
        int baseYear;
        std::vector<SearchHit> hits;
    };
    std::vector<Found> searchEach(const QString& text) const {
        std::vector<Found> found;
        const Wildcard pattern = Wildcard::contains(text);
        for (const QString& path : documents) {
            YearStore store;
            DocFiles::readDocument(path, store);
            const int year = int(store.number(0, 0));
            found.push_back(
                {path, year,
                 Search_Hits(store, year, 1, YearStore::DayRows, pattern, SearchText::Whole)});
        }
        return found;
    }

    QTemporaryDir dir;
    std::vector<QString> documents; // oldest first
};
