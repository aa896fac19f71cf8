#include "store/fileidentity.h"

#include "grid/gridfile.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// The hash of a regular file's content; empty when it cannot be read.
QByteArray hashOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

} // namespace

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
        id.sha1 = hashOfFile(path);
    return id;
}

FileIdentity FileIdentity::ofImage(const QString& path, const QByteArray& written) {
    FileIdentity id;
    id.exists = true;
    id.size = written.size();
    id.modifiedMs = GridFile::stampOf(path).modifiedMs;
    id.sha1 = QCryptographicHash::hash(written, QCryptographicHash::Sha1);
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
    if (!now.regular || sha1.isEmpty())
        return true;
    const QByteArray hash = hashOfFile(path);
    return hash.isEmpty() || hash != sha1;
}
