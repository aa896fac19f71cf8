// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/recovery.h"

#include "core/store/documentfile.h"
#include "core/store/yearstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QString& folderSet() {
    static QString f;
    return f;
}

// Makes `folder` and every missing folder above it readable by the user only (0700),
// so that no one else can list the copies or read them; the copies' folder, when it
// is there already and the user's own, is made so as well. False when it cannot be
// made.
bool makePrivateFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList missing;
    QString at = clean;
    while (!QFileInfo(at).exists()) {
        missing.prepend(at);
        const QString up = QFileInfo(at).path();
        if (up == at)
            break;
        at = up;
    }
    for (const QString& f : missing)
        if (::mkdir(QFile::encodeName(f).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    struct stat st;
    const QByteArray native = QFile::encodeName(clean);
    if (::stat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if ((st.st_mode & 077) != 0 && st.st_uid == ::geteuid())
        ::chmod(native.constData(), st.st_mode & 0700);
    return true;
}
} // namespace

namespace Recovery {

QString folder() {
    if (!folderSet().isEmpty())
        return folderSet();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(u"recovery"_s);
}

void setFolder(const QString& f) {
    folderSet() = f;
}

QString copyPath(const QString& docPath) {
    const QDir dir(folder());
    if (DocFiles::isUntitled(docPath)) {
        const QString number = docPath.mid(QStringView(DocFiles::UntitledPrefix).size());
        if (number.isEmpty() || number == u"0"_s)
            return dir.filePath(u"untitled.dys"_s);
        return dir.filePath(u"untitled-"_s + number + u".dys"_s);
    }
    // The document's name for people, and a hash of its full path to keep two
    // documents of the same name apart.
    const QFileInfo info(docPath);
    const QByteArray hash =
        QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return dir.filePath(info.completeBaseName() + u'-' + QString::fromLatin1(hash) + u".dys"_s);
}

FileResult write(const YearStore& store, const QString& path) {
    const FileResult r = DocFiles::checkWritable(store, 20);
    if (!r.ok())
        return r;
    if (!makePrivateFolder(QFileInfo(path).absolutePath()))
        return FileResult::failure(
            FileResult::WriteFailed,
            u"フォルダ「%1」を作成できません。"_s.arg(QFileInfo(path).absolutePath()));
    return GridFile::writeAtomically(path, DocFiles::documentImage(store, 20),
                                     GridFile::Backup::None, GridFile::Access::OwnerOnly);
}

QStringList otherUntitledCopies() {
    const QDir dir(folder());
    QStringList out;
    const QFileInfoList found =
        dir.entryInfoList({u"untitled-*.dys"_s}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& f : found)
        out.append(f.absoluteFilePath());
    return out;
}

bool hasNewerCopy(const QString& docPath) {
    const QFileInfo copy(copyPath(docPath));
    if (!copy.isFile())
        return false;
    if (DocFiles::isUntitled(docPath))
        return true;
    const QFileInfo doc(docPath);
    return !doc.exists() || copy.lastModified() > doc.lastModified();
}

void remove(const QString& docPath) {
    QFile::remove(copyPath(docPath));
}

} // namespace Recovery
