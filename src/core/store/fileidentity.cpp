// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/fileidentity.h"

#include "core/grid/gridfile.h"

#include <QFile>
#include <QHashFunctions>
#include <QtEndian>

namespace {

// The digest of a regular file's content; empty when it cannot be read.
QByteArray hashOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return FileIdentity::digestOf(content);
}

} // namespace

QByteArray FileIdentity::digestOf(QByteArrayView content) {
    // Told apart from a change another program made, not from an attacker: a fast
    // 64-bit hash (in memory only, for the time a document is open) with the length.
    const quint64 h = quint64(qHash(content, 0x5eed));
    QByteArray out(16, Qt::Uninitialized);
    qToBigEndian(h, out.data());
    qToBigEndian(quint64(content.size()), out.data() + 8);
    return out;
}

FileIdentity FileIdentity::ofFile(const QString& path) {
    const GridFile::FileStamp stamp = GridFile::stampOf(path);
    FileIdentity id;
    if (!stamp.exists)
        return id;
    id.exists = true;
    id.size = stamp.size;
    id.modifiedMs = stamp.modifiedMs;
    // Never opened unless regular: a named pipe would wait for a writer.
    if (stamp.regular)
        id.digest = hashOfFile(path);
    return id;
}

FileIdentity FileIdentity::ofImage(const QString& path, const QByteArray& written) {
    FileIdentity id;
    id.exists = true;
    id.size = written.size();
    id.modifiedMs = GridFile::stampOf(path).modifiedMs;
    id.digest = digestOf(written);
    return id;
}

bool FileIdentity::changedOnDisk(const QString& path) const {
    const GridFile::FileStamp now = GridFile::stampOf(path);
    // Nothing there: nothing another program wrote would be lost by writing it.
    if (!now.exists)
        return false;
    if (!exists)
        return true; // made since

    if (now.size != size)
        return true;
    if (now.modifiedMs == modifiedMs)
        return false;
    // The same size at another time: touched, or rewritten with the same length. Only
    // the content tells.
    if (!now.regular || digest.isEmpty())
        return true;
    const QByteArray hash = hashOfFile(path);
    return hash.isEmpty() || hash != digest;
}
