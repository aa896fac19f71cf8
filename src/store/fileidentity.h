#pragma once

#include <QByteArray>
#include <QString>

// What a file on disk was at one moment: whether it existed, its size, its last
// modification and a hash of its content. A document keeps the identity of its file as
// it was loaded or last saved, so that a change made by another program is noticed
// before the document is written over it.
struct FileIdentity {
    bool exists = false;
    qint64 size = -1;
    qint64 modifiedMs = 0; // last modification, ms since the epoch
    QByteArray sha1;       // of the whole content

    static FileIdentity ofFile(const QString& path);
    // The identity of a file just written with `written`.
    static FileIdentity ofImage(const QString& path, const QByteArray& written);
    // Whether the file at `path` is no longer what this identity describes: compared by
    // size and time first, and by content only when those differ (a file touched but
    // not changed is the same). A file that was not there and still is not: unchanged.
    bool changedOnDisk(const QString& path) const;
};
