// SPDX-License-Identifier: GPL-3.0-or-later
// Grid files on disk: reads that never wait on something that is not a regular file,
// and atomic writes that keep the version replaced as a backup.
//
// A save of "dir/name" works with temporary files "dir/.name.daylog-XXXXXX" (six
// letters or digits): one for the new content and, while the backup is being made,
// one more name for the old file. Only files of that form, regular and of the user's
// own, are ever removed as left over from a save that was killed.

#include "core/grid/gridfile.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tr(const char* utf8) {
    return QString::fromUtf8(utf8);
}

GridFile::WriteHook g_writeHook = nullptr;
GridFile::CallHook g_callHook = nullptr;

// The calls of a save that change what is on disk, each announced to the call hook
// first: a test can stop a save before any of them.
namespace Disk {
void announce(const char* call) {
    if (g_callHook)
        g_callHook(call);
}
int create(int dirfd, const char* name, mode_t mode) {
    announce("open");
    return ::openat(dirfd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
}
qint64 write(int fd, const char* data, qint64 size) {
    announce("write");
    return g_writeHook ? g_writeHook(fd, data, size) : ::write(fd, data, size_t(size));
}
int chmod(int fd, mode_t mode) {
    announce("fchmod");
    return ::fchmod(fd, mode);
}
int chown(int fd, uid_t owner, gid_t group) {
    announce("fchown");
    return ::fchown(fd, owner, group);
}
int sync(int fd) {
    announce("fsync");
    return ::fsync(fd);
}
int link(int dirfd, const char* from, const char* to) {
    announce("link");
    return ::linkat(dirfd, from, dirfd, to, 0);
}
int rename(int dirfd, const char* from, const char* to) {
    announce("rename");
    return ::renameat(dirfd, from, dirfd, to);
}
int unlink(int dirfd, const char* name) {
    announce("unlink");
    return ::unlinkat(dirfd, name, 0);
}
} // namespace Disk

constexpr int RandomChars = 6;
// Room for the prefix's dots, ".daylog-" and the random letters within a file name of
// 255 bytes.
constexpr qsizetype MaxNameInPrefix = 240;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now: 0, or the error close(2) reports.
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) != 0 && errno != EINTR ? errno : 0;
    }

private:
    int m_fd;
};

GridFile::FileStamp stampFrom(const struct stat& st) {
    const qint64 ms = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return {true, S_ISREG(st.st_mode), qint64(st.st_size), ms};
}

// What a path that is not a regular file is, for the message.
QString kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return tr("フォルダです");
    if (S_ISFIFO(mode))
        return tr("名前付きパイプです");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return tr("装置ファイルです");
    if (S_ISSOCK(mode))
        return tr("ソケットです");
    return tr("通常のファイルではありません");
}

FileResult writeError(int error) {
    if (error == ENOSPC || error == EDQUOT)
        return FileResult::failure(FileResult::NoSpace, GridFile::systemErrorText(error));
    return FileResult::failure(FileResult::WriteFailed, GridFile::systemErrorText(error));
}

bool writeAll(int fd, const char* data, qint64 size, int& error) {
    while (size > 0) {
        const qint64 chunk = std::min<qint64>(size, qint64(1) << 30);
        const qint64 n = Disk::write(fd, data, chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// The file a save of `path` replaces: `path`, or the last target of its symbolic links.
QByteArray resolveLinks(QByteArray path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return path;
        target.truncate(n);
        if (!target.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            target.prepend(slash >= 0 ? path.left(slash + 1) : QByteArray());
        }
        path = target;
    }
    return path;
}

QByteArray temporaryPrefix(const QByteArray& name) {
    return '.' + name.left(MaxNameInPrefix) + ".daylog-";
}

bool isTemporaryOf(const char* entry, const QByteArray& prefix) {
    const size_t length = std::strlen(entry);
    if (length != size_t(prefix.size()) + RandomChars ||
        std::memcmp(entry, prefix.constData(), size_t(prefix.size())) != 0)
        return false;
    return std::all_of(entry + prefix.size(), entry + length, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

QByteArray temporaryName(const QByteArray& prefix) {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = prefix;
    for (int i = 0; i < RandomChars; ++i)
        name += Letters[QRandomGenerator::global()->bounded(int(sizeof(Letters) - 1))];
    return name;
}

// Removes what killed saves of the same file left behind: regular files of the user's
// own with a temporary name of that file.
void removeLeftovers(int dirfd, const QByteArray& prefix) {
    const int listing = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    std::vector<QByteArray> found;
    while (const dirent* entry = ::readdir(dir))
        if (isTemporaryOf(entry->d_name, prefix))
            found.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const QByteArray& name : found) {
        struct stat st;
        if (::fstatat(dirfd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            Disk::unlink(dirfd, name.constData());
    }
}

// A new file of a temporary name in the folder, open for writing.
int createTemporary(int dirfd, const QByteArray& prefix, mode_t mode, QByteArray& name,
                    int& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(prefix);
        const int fd = Disk::create(dirfd, name.constData(), mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    error = EEXIST;
    return -1;
}

// A copy of `name` under a temporary name, with its permissions, flushed to disk.
bool copyToTemporary(int dirfd, const QByteArray& name, const struct stat& current,
                     const QByteArray& prefix, QByteArray& copy) {
    Fd in(::openat(dirfd, name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    int error = 0;
    Fd out(in.get() < 0 ? -1 : createTemporary(dirfd, prefix, 0600, copy, error));
    if (out.get() < 0)
        return false;
    std::vector<char> buffer(size_t(1) << 20);
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!writeAll(out.get(), buffer.data(), n, error)) {
            ok = false;
            break;
        }
    }
    ok = ok && Disk::chmod(out.get(), current.st_mode & 0777) == 0 && Disk::sync(out.get()) == 0 &&
         out.close() == 0;
    if (!ok)
        Disk::unlink(dirfd, copy.constData());
    return ok;
}

// Makes "<name>.bak" the file now at `name`, replacing the old backup in one step: a
// second name for the file (a copy where links are impossible) under a temporary
// name, renamed over the backup. False when no backup could be made.
bool makeBackup(int dirfd, const QByteArray& name, const struct stat& current,
                const QByteArray& prefix) {
    const QByteArray bak = name + ".bak";
    struct stat old;
    // Already the backup: a save was killed between its two renames.
    if (::fstatat(dirfd, bak.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
        old.st_dev == current.st_dev && old.st_ino == current.st_ino)
        return true;
    QByteArray second;
    bool made = false;
    for (int attempt = 0; attempt < 100 && !made; ++attempt) {
        second = temporaryName(prefix);
        made = Disk::link(dirfd, name.constData(), second.constData()) == 0;
        if (!made && errno != EEXIST)
            break;
    }
    if (!made && !copyToTemporary(dirfd, name, current, prefix, second))
        return false;
    if (Disk::rename(dirfd, second.constData(), bak.constData()) != 0) {
        Disk::unlink(dirfd, second.constData());
        return false;
    }
    return true;
}

} // namespace

namespace GridFile {

QString systemErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return tr("アクセスする権限がありません");
    case EROFS:
        return tr("読み取り専用の場所です");
    case ENOENT:
        return tr("ファイルまたはフォルダがありません");
    case ENOTDIR:
        return tr("途中の名前がフォルダではありません");
    case EISDIR:
        return tr("フォルダです");
    case ENAMETOOLONG:
        return tr("名前が長すぎます");
    case ENOSPC:
        return tr("ディスクがいっぱいです");
    case EDQUOT:
        return tr("ディスクの使用量が上限に達しています");
    case EIO:
        return tr("入出力エラーが起きました");
    case EFBIG:
        return tr("ファイルが大きすぎます");
    case ELOOP:
        return tr("シンボリックリンクが多すぎます");
    case EMFILE:
    case ENFILE:
        return tr("開いているファイルが多すぎます");
    case ENOMEM:
        return tr("メモリが足りません");
    case EEXIST:
        return tr("同じ名前のものがすでにあります");
    case EBUSY:
    case ETXTBSY:
        return tr("使用中です");
    case EBADF:
        return tr("ファイルが開かれていません");
    case EPIPE:
        return tr("書き込み先が閉じられています");
    case ENXIO:
    case ENODEV:
        return tr("装置がありません");
    case EAGAIN:
        return tr("今は読み書きできません");
    case EINVAL:
        return tr("この場所には読み書きできません");
    default:
        return tr("システムのエラーです（エラー番号 %1）").arg(error);
    }
}

void setWriteHook(WriteHook hook) {
    g_writeHook = hook;
}

void setCallHook(CallHook hook) {
    g_callHook = hook;
}

QString backupPath(const QString& path) {
    return path + QStringLiteral(".bak");
}

FileStamp stampOf(const QString& path) {
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

FileResult readBytes(const QString& path, QByteArray& out, FileStamp* stamp) {
    if (path.isEmpty())
        return FileResult::failure(FileResult::NotFound);
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR
                   ? FileResult::failure(FileResult::NotFound)
                   : FileResult::failure(FileResult::Unreadable, systemErrorText(errno));
    // Nothing but a regular file is opened: a named pipe would wait for a writer, a
    // device could be endless or act on being opened.
    if (!S_ISREG(st.st_mode))
        return FileResult::failure(FileResult::Unreadable, kindOf(st.st_mode));
    if (st.st_size > MaxFileBytes)
        return FileResult::failure(FileResult::TooLarge, tr("%1 バイト").arg(st.st_size));
    // Should the path have become something else since, O_NONBLOCK keeps the open from
    // waiting and the check after it refuses it.
    Fd fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return FileResult::failure(FileResult::Unreadable, systemErrorText(errno));
    if (::fstat(fd.get(), &st) != 0)
        return FileResult::failure(FileResult::Unreadable, systemErrorText(errno));
    if (!S_ISREG(st.st_mode))
        return FileResult::failure(FileResult::Unreadable, kindOf(st.st_mode));
    // Read at most one byte past the bound, so a file that grows while read cannot
    // make us read without limit. The buffer takes the size found and one byte more
    // (which tells that it grew), not the bound's size.
    qint64 capacity = std::min<qint64>(st.st_size, MaxFileBytes) + 1;
    QByteArray bytes(capacity, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == capacity) {
            if (capacity > MaxFileBytes)
                break;
            capacity = std::min<qint64>(capacity * 2 + 65536, MaxFileBytes + 1);
            bytes.resize(capacity);
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(capacity - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FileResult::failure(FileResult::Unreadable, systemErrorText(errno));
        if (n == 0)
            break;
        got += n;
    }
    if (got > MaxFileBytes)
        return FileResult::failure(FileResult::TooLarge, tr("%1 バイト以上").arg(got));
    bytes.truncate(got);
    out = std::move(bytes);
    if (stamp) {
        *stamp = stampFrom(st);
        stamp->size = got;
    }
    return FileResult::success();
}

FileResult writeAtomically(const QString& path, const QByteArray& bytes, Backup backup,
                           Access access) {
    if (path.isEmpty())
        return FileResult::failure(FileResult::WriteFailed, tr("ファイル名がありません"));
    const QByteArray target = resolveLinks(QFile::encodeName(path));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : target.left(slash);
    const QByteArray name = target.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..")
        return FileResult::failure(FileResult::WriteFailed, systemErrorText(EISDIR));

    Fd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        const int error = errno;
        if (error == ENOENT)
            return FileResult::failure(
                FileResult::WriteFailed,
                tr("フォルダ「%1」がありません").arg(QFile::decodeName(folder)));
        if (error == ENOTDIR)
            return FileResult::failure(
                FileResult::WriteFailed,
                tr("「%1」はフォルダではありません").arg(QFile::decodeName(folder)));
        return writeError(error);
    }
    struct stat current {};
    const bool exists = ::fstatat(dir.get(), name.constData(), &current, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return writeError(errno);
    if (exists && !S_ISREG(current.st_mode))
        return FileResult::failure(FileResult::WriteFailed, kindOf(current.st_mode));
    if (exists && ::faccessat(dir.get(), name.constData(), W_OK, AT_EACCESS) != 0)
        return errno == EACCES ? FileResult::failure(FileResult::WriteFailed,
                                                     tr("書き込みが禁止されたファイルです"))
                               : writeError(errno);

    const QByteArray prefix = temporaryPrefix(name);
    removeLeftovers(dir.get(), prefix);

    // A replacement is made private first and given the old file's permissions once
    // its content is written; a new file gets the umask's.
    QByteArray temporary;
    int error = 0;
    Fd file(createTemporary(dir.get(), prefix, exists || access == Access::OwnerOnly ? 0600 : 0666,
                            temporary, error));
    if (file.get() < 0)
        return writeError(error);
    const auto fail = [&](int why) {
        Disk::unlink(dir.get(), temporary.constData());
        return writeError(why);
    };
    if (!writeAll(file.get(), bytes.constData(), bytes.size(), error))
        return fail(error);
    if (access == Access::OwnerOnly) {
        if (Disk::chmod(file.get(), 0600) != 0)
            return fail(errno);
    } else if (exists) {
        // The owner can be kept by root only, the group by a member of it.
        if (Disk::chown(file.get(), current.st_uid, current.st_gid) != 0 &&
            Disk::chown(file.get(), uid_t(-1), current.st_gid) != 0) {
            // a file of the user's own group, then
        }
        if (Disk::chmod(file.get(), current.st_mode & 0777) != 0)
            return fail(errno);
    }
    if (Disk::sync(file.get()) != 0 && errno != EINVAL)
        return fail(errno);
    if ((error = file.close()) != 0)
        return fail(error);

    // A backup that cannot be made does not stop the save: the old file is still
    // whole until the rename below.
    if (backup == Backup::Keep && exists)
        makeBackup(dir.get(), name, current, prefix);
    if (Disk::rename(dir.get(), temporary.constData(), name.constData()) != 0)
        return fail(errno);
    if (Disk::sync(dir.get()) != 0 && errno != EINVAL && errno != EROFS)
        return writeError(errno);
    return FileResult::success();
}

} // namespace GridFile
