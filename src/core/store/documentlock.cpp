// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/documentlock.h"

#include "core/time/clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The texts the user reads.
const QString SomeoneElse = u"ほかの利用者"_s;
const QString Honorific = u" さん"_s;
const QString ComputerLabel = u"コンピューター: "_s;
const QString SinceSuffix = u" から"_s;
const QString HoldsSentence = u"「%1」は%2が開いています。"_s;

constexpr QByteArrayView Magic = "DayLog-Lock";
constexpr int Version = 1;
// Nothing of ours is longer; a reader reads no further than this.
constexpr qsizetype MaxLockBytes = 4096;
constexpr qsizetype MaxValueChars = 200;

// A value as it may stand on one line: no control characters, bounded.
QString cleanValue(const QString& value) {
    QString out;
    out.reserve(qMin(value.size(), MaxValueChars));
    for (const QChar c : value) {
        if (out.size() >= MaxValueChars)
            break;
        const auto cat = c.category();
        if (cat != QChar::Other_Control && cat != QChar::Separator_Line &&
            cat != QChar::Separator_Paragraph)
            out.append(c);
    }
    return out.trimmed();
}

bool sameHost(const QString& host) {
    return !host.isEmpty() && host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

QByteArray readSmallFile(const char* path) {
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(MaxLockBytes);
}

// This computer's boot id (Linux); empty where there is none.
QByteArray bootId() {
    static const QByteArray id = readSmallFile("/proc/sys/kernel/random/boot_id").trimmed();
    return id;
}

// When process `pid` started, in clock ticks since boot (Linux); -1 when unknown.
qint64 processStart(qint64 pid) {
    if (pid <= 0)
        return -1;
    const QByteArray stat =
        readSmallFile(QByteArray("/proc/" + QByteArray::number(pid) + "/stat").constData());
    // "pid (name) state ppid ...": the name may hold blanks and parentheses, so the
    // fields are counted from the last ')'. The start is field 22, the 20th after it.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    if (fields.size() < 20)
        return -1;
    bool ok = false;
    const qint64 start = fields.at(19).toLongLong(&ok);
    return ok && start >= 0 ? start : -1;
}

QString userName() {
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    QString name = qEnvironmentVariable("USER");
    return name.isEmpty() ? qEnvironmentVariable("LOGNAME") : name;
}

// The bytes of the lock file at `path`, at most MaxLockBytes of them. `exists` tells
// whether there is anything at that path; what cannot be read (a folder, a pipe, no
// permission) exists but reads as nothing. Never blocks: a pipe is opened without
// waiting for a writer and refused.
QByteArray readLock(const QString& path, bool* exists) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        struct stat st {};
        *exists = errno != ENOENT && errno != ENOTDIR ? true : ::lstat(name.constData(), &st) == 0;
        return {};
    }
    *exists = true;
    QByteArray bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(MaxLockBytes);
        qsizetype got = 0;
        while (got < MaxLockBytes) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(MaxLockBytes - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    return bytes;
}

enum class Created { Yes, Exists, Failed };

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Creates the lock file only if there is none, whole: the content is written to a
// hidden file of its own and linked to the lock's name, which fails when the name is
// taken. Where the file system has no links, the file is created exclusively and
// written in place.
Created createExclusive(const QString& lock, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(lock);
    {
        QTemporaryFile tmp(lock + u".XXXXXX"_s);
        if (!tmp.open())
            return Created::Failed;
        tmp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (tmp.write(bytes) != bytes.size() || !tmp.flush())
            return Created::Failed;
        if (::link(QFile::encodeName(tmp.fileName()).constData(), name.constData()) == 0)
            return Created::Yes;
        if (errno == EEXIST)
            return Created::Exists;
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EXDEV &&
            errno != EMLINK)
            return Created::Failed;
    }
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == EEXIST ? Created::Exists : Created::Failed;
    const bool written = writeAll(fd, bytes);
    if (::close(fd) != 0 || !written) {
        ::unlink(name.constData());
        return Created::Failed;
    }
    return Created::Yes;
}

bool replaceFile(const QString& lock, const QByteArray& bytes) {
    QSaveFile f(lock);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}

} // namespace

bool DocumentLock::Holder::isThisProcess() const {
    const Holder me = thisProcess();
    return sameHost(host) && pid == me.pid && (boot.isEmpty() || boot == me.boot) &&
           (start < 0 || start == me.start);
}

bool DocumentLock::Holder::isStale() const {
    if (version < 1 || pid <= 0 || pid > INT_MAX || !sameHost(host))
        return false;
    // The computer has been restarted since: every process of then is gone.
    if (!boot.isEmpty() && !bootId().isEmpty() && boot != bootId())
        return true;
    if (::kill(pid_t(pid), 0) == -1 && errno == ESRCH)
        return true;
    // The number now belongs to another process, started after the holder.
    const qint64 now = start >= 0 ? processStart(pid) : -1;
    return now >= 0 && now != start;
}

QString DocumentLock::Holder::describe(const QString& fileName) const {
    QStringList details;
    if (!host.isEmpty())
        details << ComputerLabel + host;
    if (since.isValid())
        details << since.toLocalTime().toString(u"yyyy/MM/dd HH:mm"_s) + SinceSuffix;
    QString who = user.isEmpty() ? SomeoneElse : u" "_s + user + Honorific;
    if (!details.isEmpty())
        who += u"（"_s + details.join(u"、"_s) + u"）"_s;
    return HoldsSentence.arg(fileName, who);
}

DocumentLock::~DocumentLock() {
    release();
}

DocumentLock::DocumentLock(DocumentLock&& other) noexcept
    : m_docPath(std::exchange(other.m_docPath, {})), m_written(std::exchange(other.m_written, {})) {
}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept {
    if (this != &other) {
        release();
        m_docPath = std::exchange(other.m_docPath, {});
        m_written = std::exchange(other.m_written, {});
    }
    return *this;
}

QString DocumentLock::lockPath(const QString& docPath) {
    const QFileInfo info(docPath);
    return info.absolutePath() + u"/.~lock."_s + info.fileName() + u'#';
}

std::optional<DocumentLock::Holder> DocumentLock::holder(const QString& docPath) {
    bool exists = false;
    const QByteArray bytes = readLock(lockPath(docPath), &exists);
    if (!exists)
        return std::nullopt;
    return parse(bytes);
}

bool DocumentLock::acquire(const QString& docPath, Takeover takeover) {
    release();
    if (docPath.isEmpty())
        return false;
    const QString lock = lockPath(docPath);
    const QByteArray bytes = format(thisProcess());
    bool taken = false;
    if (takeover == Takeover::Always) {
        taken = replaceFile(lock, bytes);
    } else {
        // A lock left by a crash (or by this program) is removed and the creation
        // tried again; a few rounds settle a race with another program doing the same.
        for (int round = 0; round < 3 && !taken; ++round) {
            const Created created = createExclusive(lock, bytes);
            if (created == Created::Failed)
                return false;
            taken = created == Created::Yes;
            if (taken)
                break;
            bool exists = false;
            const QByteArray found = readLock(lock, &exists);
            if (!exists)
                continue;
            const Holder h = parse(found);
            if (!h.isStale() && !h.isThisProcess())
                return false;
            // Removed only while it is still the file judged: another program may
            // have replaced it with a live lock of its own meanwhile.
            bool still = false;
            if (readLock(lock, &still) == found && still)
                QFile::remove(lock);
        }
    }
    if (!taken)
        return false;
    m_docPath = docPath;
    m_written = bytes;
    return true;
}

void DocumentLock::release() {
    if (m_docPath.isEmpty())
        return;
    const QString lock = lockPath(m_docPath);
    bool exists = false;
    if (readLock(lock, &exists) == m_written && exists)
        QFile::remove(lock);
    m_docPath.clear();
    m_written.clear();
}

bool DocumentLock::move(const QString& newDocPath, Takeover takeover) {
    if (isHeld() && lockPath(newDocPath) == lockPath(m_docPath))
        return acquire(newDocPath, takeover);
    DocumentLock next;
    const bool taken = next.acquire(newDocPath, takeover);
    release();
    if (taken)
        *this = std::move(next);
    return taken;
}

DocumentLock::Holder DocumentLock::thisProcess() {
    Holder h;
    h.user = cleanValue(userName());
    h.host = cleanValue(QSysInfo::machineHostName());
    h.pid = QCoreApplication::applicationPid();
    h.since = Clock::currentDateTime();
    h.version = Version;
    h.boot = bootId();
    h.start = processStart(h.pid);
    return h;
}

QByteArray DocumentLock::format(const Holder& h) {
    QByteArray out = Magic.toByteArray() + ' ' + QByteArray::number(Version) + '\n';
    out += "user=" + cleanValue(h.user).toUtf8() + '\n';
    out += "host=" + cleanValue(h.host).toUtf8() + '\n';
    out += "pid=" + QByteArray::number(h.pid) + '\n';
    const QDateTime since = h.since.toOffsetFromUtc(h.since.offsetFromUtc());
    out += "since=" + since.toString(Qt::ISODateWithMs).toUtf8() + '\n';
    if (!h.boot.isEmpty())
        out += "boot=" + h.boot + '\n';
    if (h.start >= 0)
        out += "start=" + QByteArray::number(h.start) + '\n';
    return out;
}

DocumentLock::Holder DocumentLock::parse(QByteArrayView bytes) {
    Holder h;
    const QList<QByteArray> lines =
        bytes.first(qMin(bytes.size(), MaxLockBytes)).toByteArray().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (i == 0) {
            const QList<QByteArray> head = line.split(' ');
            bool ok = false;
            const int version = head.size() == 2 && head.at(0) == Magic ? head.at(1).toInt(&ok) : 0;
            h.version = ok && version >= 1 ? version : 0;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.first(eq);
        const QByteArray value = line.mid(eq + 1);
        bool ok = false;
        if (key == "user") {
            h.user = cleanValue(QString::fromUtf8(value));
        } else if (key == "host") {
            h.host = cleanValue(QString::fromUtf8(value));
        } else if (key == "pid") {
            const qint64 pid = value.toLongLong(&ok);
            h.pid = ok && pid > 0 && pid <= INT_MAX ? pid : 0;
        } else if (key == "since") {
            const QDateTime since =
                QDateTime::fromString(QString::fromLatin1(value.left(64)), Qt::ISODateWithMs);
            h.since = since.isValid() ? since : QDateTime();
        } else if (key == "boot") {
            const bool plain =
                value.size() <= 64 && std::all_of(value.begin(), value.end(), [](char c) {
                    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == '-';
                });
            h.boot = plain ? value : QByteArray();
        } else if (key == "start") {
            const qint64 start = value.toLongLong(&ok);
            h.start = ok && start >= 0 ? start : -1;
        }
    }
    return h;
}
