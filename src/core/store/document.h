// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/documentlock.h"
#include "core/store/fileidentity.h"
#include "core/store/yearstore.h"

#include <QObject>
#include <QString>

// A block of store cells that changed: rows row1..row2, columns col1..col2 (store
// columns, colours included).
struct CellRange {
    int row1 = 0, col1 = 0, row2 = -1, col2 = -1;
    bool isEmpty() const { return row2 < row1 || col2 < col1; }
    bool contains(int row, int col) const {
        return row >= row1 && row <= row2 && col >= col1 && col <= col2;
    }
    bool intersectsRows(int first, int last) const {
        return !isEmpty() && row1 <= last && row2 >= first;
    }
    void add(int row, int col);
    static CellRange all() { return {0, 0, YearStore::Rows - 1, YearStore::Cols - 1}; }
};

// One open year: the year store of one file, the file's path (or the untitled name
// "nikki…" of a document never saved), whether it holds changes not saved yet, and
// what the file on disk was when it was loaded or last saved.
//
// Every window that shows the year reads this one object and writes its edits into it.
// Any write into the store that changes a cell is an edit: the document is then
// changed and says which cells changed. Loading, saving, viewing and copying are not
// edits.
class Document : public QObject, private YearStore::Observer {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    const YearStore& store() const { return m_store; }
    // Writes through it are the document's edits.
    YearStore& store() { return m_store; }

    // The year in cell (0,0): the calendar year of the document's 1 April.
    int baseYear() const;

    QString path() const { return m_path; }
    void setPath(const QString& path);
    bool isUntitled() const;
    // The file name for messages ("年度2005.dys"), or the untitled name.
    QString displayName() const;

    bool isChanged() const { return m_changed; }
    void setChanged(bool changed);
    // The user changed a page that shows this document and has not stored it yet: an
    // edit that reaches the store later.
    void markEdited();

    // What the file was when this document was loaded from it or saved to it.
    const FileIdentity& identity() const { return m_identity; }
    void setIdentity(const FileIdentity& identity) { m_identity = identity; }

    // The lock file that tells other programs this document is open here.
    DocumentLock& lock() { return m_lock; }

    // The document takes a whole year (a file read, a recovery copy, a new year)
    // without that being an edit: it is unchanged afterwards unless `changed`. A year
    // without a document identity gets a new one.
    void replace(const YearStore& year, bool changed = false);

    // Writes made while a batch is open are reported as one change when the outermost
    // batch closes.
    void beginBatch();
    void endBatch();
    class Batch {
    public:
        explicit Batch(Document& d) : m_doc(d) { m_doc.beginBatch(); }
        ~Batch() { m_doc.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Document& m_doc;
    };

Q_SIGNALS:
    // Cells changed (by an edit or a replacement).
    void cellsChanged(const CellRange& range);
    // The changed state turned on or off.
    void changedChanged(bool changed);
    // Every edit, also when the document was changed already.
    void edited();
    void pathChanged(const QString& path);

private:
    void storeWritten(int row, int col) override;
    void storeReplaced() override;
    void report(const CellRange& range, bool edit);

    YearStore m_store;
    QString m_path;
    FileIdentity m_identity;
    DocumentLock m_lock;
    bool m_changed = false;
    int m_batch = 0;
    bool m_replacing = false;
    CellRange m_pending;
    bool m_pendingEdit = false;
};
