// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What a document's file was when it was loaded or last saved: size, time of last
// modification and a hash of the content. It tells whether someone else has changed
// the file since, without reading the file whenever nothing points to a change.
struct FileIdentity {
    bool exists = false;
    qint64 size = -1;
    qint64 modifiedMs = 0; // last modification, ms since the epoch
    QByteArray digest;     // of the whole content (digestOf)

    // The file as it is now: stat and hash (no hash when it is missing or not a
    // regular file).
    static FileIdentity ofFile(const QString& path);
    // The file just written with `written`: its time from the disk, size and hash
    // from the bytes.
    static FileIdentity ofImage(const QString& path, const QByteArray& written);
    // Whether the file at `path` is no longer what this identity describes: compared by
    // size and time first, and by content (hash) only when those differ. A file that
    // was never there (exists == false) and still is not: unchanged. A file no longer
    // there is unchanged as well: writing it loses nothing another program wrote.
    bool changedOnDisk(const QString& path) const;

    // The digest kept of a content: enough to tell a change another program made (not
    // meant against anyone forging one), and fast enough to take at every save and
    // load of a full year.
    static QByteArray digestOf(QByteArrayView content);
};
