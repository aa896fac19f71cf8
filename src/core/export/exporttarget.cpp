// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/exporttarget.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool hasDayLogExtension(const QString& path) {
    for (const QStringView ext : {u".dys", u".dyy", u".dyz"})
        if (path.endsWith(ext, Qt::CaseInsensitive))
            return true;
    return false;
}

// Whether the regular file at `path` begins as every DayLog file does. Nothing else
// is opened: a named pipe would wait for a writer.
bool beginsLikeDayLogFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    char head[11] = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool found = regular && ::read(fd, head, sizeof(head)) == sizeof(head) &&
                       QByteArrayView(head, sizeof(head)) == QByteArrayView("DayLogGrid\t");
    ::close(fd);
    return found;
}

FileResult refused(const QString& why) {
    return FileResult::failure(FileResult::ProtectedTarget, why);
}

} // namespace

namespace ExportTarget {

FileResult check(const QString& path, const QString& source) {
    const QFileInfo target(path);
    if (hasDayLogExtension(path) ||
        (target.isSymLink() && hasDayLogExtension(target.canonicalFilePath())))
        return refused(u"文書やテンプレートの名前（.dys .dyy .dyz）です"_s);
    const GridFile::FileStamp stamp = GridFile::stampOf(path);
    if (!stamp.exists)
        return FileResult::success();
    struct stat to, from;
    if (!source.isEmpty() && ::stat(QFile::encodeName(path).constData(), &to) == 0 &&
        ::stat(QFile::encodeName(source).constData(), &from) == 0 && to.st_dev == from.st_dev &&
        to.st_ino == from.st_ino)
        return refused(u"書き出す文書そのものです"_s);
    if (stamp.regular && beginsLikeDayLogFile(path))
        return refused(u"DayLogの文書かテンプレートです"_s);
    return FileResult::success();
}

} // namespace ExportTarget
