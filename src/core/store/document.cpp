// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/document.h"

#include "core/store/documentfile.h"

#include <QFileInfo>

#include <algorithm>

void CellRange::add(int row, int col) {
    if (isEmpty()) {
        *this = {row, col, row, col};
        return;
    }
    row1 = std::min(row1, row);
    row2 = std::max(row2, row);
    col1 = std::min(col1, col);
    col2 = std::max(col2, col);
}

Document::Document(QObject* parent) : QObject(parent) {
    m_store.setObserver(this);
}

Document::~Document() {
    m_store.setObserver(nullptr);
}

int Document::baseYear() const {
    // A 16-bit year, as it always was; a corner that is not a number gives 0.
    return int(qint16(m_store.number(0, 0)));
}

void Document::setPath(const QString& path) {
    if (path == m_path)
        return;
    m_path = path;
    Q_EMIT pathChanged(path);
}

bool Document::isUntitled() const {
    return DocFiles::isUntitled(m_path);
}

QString Document::displayName() const {
    return isUntitled() ? m_path : QFileInfo(m_path).fileName();
}

void Document::setChanged(bool changed) {
    if (m_changed == changed)
        return;
    m_changed = changed;
    Q_EMIT changedChanged(changed);
}

void Document::markEdited() {
    setChanged(true);
    Q_EMIT edited();
}

void Document::replace(const YearStore& year, bool changed) {
    m_replacing = true;
    m_store = year; // reported through storeReplaced
    m_replacing = false;
    // Every document has an identity (a new year and a file read bring theirs).
    if (m_store.documentId().isNull())
        m_store.setDocumentId(QUuid::createUuid());
    setChanged(changed);
}

void Document::beginBatch() {
    ++m_batch;
}

void Document::endBatch() {
    Q_ASSERT(m_batch > 0);
    if (--m_batch > 0 || m_pending.isEmpty())
        return;
    const CellRange range = m_pending;
    const bool edit = m_pendingEdit;
    m_pending = {};
    m_pendingEdit = false;
    report(range, edit);
}

void Document::storeWritten(int row, int col) {
    if (m_batch > 0) {
        m_pending.add(row, col);
        m_pendingEdit = true;
        return;
    }
    report({row, col, row, col}, true);
}

void Document::storeReplaced() {
    if (m_batch > 0) {
        m_pending = CellRange::all();
        m_pendingEdit = m_pendingEdit || !m_replacing;
        return;
    }
    report(CellRange::all(), !m_replacing);
}

void Document::report(const CellRange& range, bool edit) {
    if (edit)
        setChanged(true);
    Q_EMIT cellsChanged(range);
    if (edit)
        Q_EMIT edited();
}
