// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class AppState;
class Document;
class Navigator;

// Keeps a recovery copy of every open document with unsaved changes, each under its
// own name: written at most every 30 seconds after an edit, with what the open views
// hold of it and have not stored yet. A document's copy is removed when it is saved
// and when the user lets its changes go; nothing else removes it.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int DelayMs = 30000;

    RecoveryKeeper(AppState& app, Navigator& nav, QObject* parent = nullptr);

    // Writes the copy of every document with unsaved changes now; false when one
    // could not be written (said to the user once).
    bool writeNow();
    // Removes the copy of `doc`.
    void discard(Document* doc);
    // The program ends: no copy is written any more.
    void stop();

    QTimer* timer() { return &m_timer; }
    // The copy written last for `doc` (empty when there is none).
    QString copyOf(const Document* doc) const { return m_written.value(doc); }

private:
    void edited();
    bool write(Document& doc);

    AppState& m_app;
    Navigator& m_nav;
    QTimer m_timer;
    // The copy last written for each document (a document's path may change by then).
    QHash<const Document*, QString> m_written;
    bool m_stopped = false;
    bool m_warned = false;
};
