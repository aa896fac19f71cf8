#include "store/recovery.h"

#include "store/documentfile.h"
#include "store/yearstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {
QString& folderSet() {
    static QString f;
    return f;
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
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return FileResult::failure(
            FileResult::WriteFailed,
            u"フォルダ「%1」を作成できません。"_s.arg(QFileInfo(path).absolutePath()));
    return GridFile::writeAtomically(path, DocFiles::documentImage(store, 20),
                                     GridFile::Backup::None);
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
