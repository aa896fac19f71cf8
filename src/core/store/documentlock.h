// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// A lock file beside an open document, so that a program on another computer (the
// documents may live in a shared or synced folder) learns who holds the document.
// The lock is advice, not enforcement: whether to open a held document anyway is the
// user's choice.
//
// The file is `<folder>/.~lock.<file name>#`, small UTF-8 text, one `key=value` a line:
//
//     DayLog-Lock 1
//     user=tanaka
//     host=pc-01
//     pid=4711
//     since=2026-12-08T09:30:00.000+09:00
//     boot=0f5c...            (this computer's boot id, where it has one)
//     start=123456            (the process's start, in clock ticks since boot)
//
// A reader takes the first line as the format and its version; later versions may add
// keys, which older readers skip. A damaged or foreign file reads as a holder with what
// could be read (possibly nothing): held by someone unknown.
class DocumentLock {
public:
    struct Holder {
        QString user;
        QString host;
        qint64 pid = 0;
        QDateTime since;   // invalid when unknown
        int version = 0;   // 0: not a lock file of ours, or unreadable
        QByteArray boot;   // the boot id of the holder's computer; empty when unknown
        qint64 start = -1; // the holder's process start, ticks since boot; -1 unknown

        // This very program: same computer, same boot and process.
        bool isThisProcess() const;
        // Left behind by a program that no longer runs: on this computer, and its
        // process is gone (or the process id now belongs to another process, started
        // since, or the computer has been restarted since). A lock of another computer
        // is never stale by our judgement.
        bool isStale() const;
        // The sentence that tells the user who holds the document `fileName`, e.g.
        // 「年度2005.dys」は tanaka さん（コンピューター: pc-01、2026/12/08 09:30 から）が
        // 開いています。 Whatever is unknown is left out.
        QString describe(const QString& fileName) const;
    };

    // What acquire() does about a lock someone else holds.
    enum class Takeover {
        IfFree, // only a missing lock, a stale one, or one of this process is replaced
        Always, // the user has chosen to open the document anyway
    };

    DocumentLock() = default;
    ~DocumentLock();
    DocumentLock(DocumentLock&& other) noexcept;
    DocumentLock& operator=(DocumentLock&& other) noexcept;
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

    // The lock file of the document at `docPath`: hidden, beside it.
    static QString lockPath(const QString& docPath);

    // Who holds the document; nullopt when there is no lock file. A lock file that
    // cannot be read (damaged, foreign, not a file, no permission) gives a holder with
    // whatever could be read. Reads at most a few kilobytes; never blocks on a pipe.
    static std::optional<Holder> holder(const QString& docPath);

    // Writes this program's lock beside `docPath` (atomically: a reader sees the old
    // file or the whole new one). Returns false, writing nothing, when another program
    // holds the document and `takeover` is IfFree, or when the lock cannot be written
    // (a read-only folder, a medium without room): the document can still be opened,
    // so that is no error for the user. Any lock this object held before is released.
    bool acquire(const QString& docPath, Takeover takeover = Takeover::IfFree);

    // Removes the lock file if it is still the one this object wrote (another program
    // may have taken the document over meanwhile). Nothing when nothing is held.
    void release();

    // The document was saved under another name: takes the lock beside `newDocPath`
    // and releases the old one. Returns what acquire() returns; the old lock goes
    // either way, since it no longer describes an open document.
    bool move(const QString& newDocPath, Takeover takeover = Takeover::IfFree);

    // The document whose lock this object holds; empty when none.
    QString docPath() const { return m_docPath; }
    bool isHeld() const { return !m_docPath.isEmpty(); }

    // The holder this program writes (user, computer, process, the clock's now).
    static Holder thisProcess();
    // The bytes of a lock file for `holder`, and a holder read from such bytes.
    static QByteArray format(const Holder& holder);
    static Holder parse(QByteArrayView bytes);

private:
    QString m_docPath;
    QByteArray m_written; // what we wrote, to know our own file again
};
