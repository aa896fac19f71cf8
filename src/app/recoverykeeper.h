#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class AppState;
class Navigator;

// Keeps the recovery copy of the open document: written at most every 30 seconds
// after an edit while the document has unsaved changes, with what the open views hold
// and have not stored yet; removed when the document is saved and when the user ends
// the program without saving.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int DelayMs = 30000;

    RecoveryKeeper(AppState& app, Navigator& nav, QObject* parent = nullptr);

    // Writes the copy now (nothing while the document has no unsaved changes); false
    // when it could not be written.
    bool writeNow();
    // Removes the copy.
    void discard();

    QTimer* timer() { return &m_timer; }

private:
    void edited();
    void docChangedChanged(bool changed);

    AppState& m_app;
    Navigator& m_nav;
    QTimer m_timer;
    // The copy last written (the document's path may change by then).
    QString m_written;
    bool m_warned = false;
};
