#include "store/fileidentity.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(&f);
    return h.result();
}

} // namespace

FileIdentity FileIdentity::ofFile(const QString& path) {
    FileIdentity id;
    const QFileInfo info(path);
    if (!info.isFile())
        return id;
    id.exists = true;
    id.size = info.size();
    id.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    id.sha1 = hashOf(path);
    return id;
}

FileIdentity FileIdentity::ofImage(const QString& path, const QByteArray& written) {
    FileIdentity id;
    const QFileInfo info(path);
    id.exists = info.isFile();
    id.size = written.size();
    id.modifiedMs = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
    id.sha1 = QCryptographicHash::hash(written, QCryptographicHash::Sha1);
    return id;
}

bool FileIdentity::changedOnDisk(const QString& path) const {
    const QFileInfo info(path);
    if (!info.exists())
        return false; // nothing there to be overwritten
    if (!exists)
        return true; // a file appeared where there was none
    if (info.size() == size && info.lastModified().toMSecsSinceEpoch() == modifiedMs)
        return false;
    return info.size() != size || hashOf(path) != sha1;
}
