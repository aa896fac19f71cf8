// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStringDecoder>
#include <QTimer>
#include <QtEndian>

#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView Magic = "DLSI";
constexpr quint8 Version = 1;
constexpr char Ack = 0x06;
constexpr qsizetype HeaderBytes = 4 + 1 + 4;
constexpr quint32 MaxPayload = 256 * 1024;
constexpr quint32 MaxItems = 256;
// Connections served at once, and how long one may take to deliver its frame.
constexpr int MaxConnections = 8;
constexpr int FrameTimeoutMs = 5000;
// The longest socket path the system takes (sockaddr_un), with room to spare.
constexpr qsizetype MaxSocketPath = 100;

quint32 readU32(QByteArrayView bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.data() + at);
}

void appendU32(QByteArray& out, quint32 value) {
    char buf[4];
    qToBigEndian(value, buf);
    out.append(buf, 4);
}

// Whether the process at the other end of `socket` is the same user's.
bool peerIsThisUser(const QLocalSocket& socket) {
#ifdef SO_PEERCRED
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == ::getuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

QString socketPath(const QString& name) {
    return QFileInfo(name).isAbsolute() ? name : QDir(QDir::tempPath()).filePath(name);
}

// Whether a program listens on `name`: a socket a crashed program left refuses at once.
bool answers(const QString& name, int timeoutMs) {
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool connected = probe.waitForConnected(timeoutMs);
    probe.abort();
    return connected;
}

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName() {
    const QString name = u"daylog-"_s + QString::number(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        const QString path = QDir(runtime).filePath(name + u".socket"_s);
        if (QFile::encodeName(path).size() <= MaxSocketPath)
            return path;
    }
    return name;
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

bool SingleInstance::listen(const QString& name) {
    if (isListening())
        return m_server->fullServerName() == socketPath(name);
    // Programs starting at the same moment take turns here, so that none removes the
    // socket another has just begun to listen on.
    QLockFile turn(socketPath(name) + u".lock"_s);
    if (!turn.tryLock(FrameTimeoutMs))
        return false;
    delete m_server;
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptPending);
    if (m_server->listen(name))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError || answers(name, 1000))
        return false;
    // Nobody answers: the socket of a program that ended without closing it.
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

bool SingleInstance::handOver(const QString& name, const QStringList& request, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())) || !peerIsThisUser(socket))
        return false;
    socket.write(frame(request));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == Ack;
}

SingleInstance::Start SingleInstance::start(const QString& name, const QStringList& request,
                                            int timeoutMs) {
    if (handOver(name, request, timeoutMs))
        return Start::HandedOver;
    if (listen(name))
        return Start::Listening;
    // Another program started at the same moment and listens now.
    return handOver(name, request, timeoutMs) ? Start::HandedOver : Start::Failed;
}

QByteArray SingleInstance::frame(const QStringList& request) {
    QByteArray payload;
    appendU32(payload, quint32(request.size()));
    for (const QString& item : request) {
        const QByteArray utf8 = item.toUtf8();
        appendU32(payload, quint32(utf8.size()));
        payload += utf8;
    }
    QByteArray out = Magic.toByteArray();
    out.append(char(Version));
    appendU32(out, quint32(payload.size()));
    return out + payload;
}

std::optional<SingleInstance::Parsed> SingleInstance::parseFrame(QByteArrayView bytes, bool* bad) {
    *bad = false;
    // The header is checked as far as it has come, so garbage is refused at once.
    const qsizetype head = qMin(bytes.size(), Magic.size());
    if (bytes.first(head) != Magic.first(head) ||
        (bytes.size() > 4 && quint8(bytes.at(4)) != Version)) {
        *bad = true;
        return std::nullopt;
    }
    if (bytes.size() < HeaderBytes)
        return std::nullopt;
    const quint32 length = readU32(bytes, 5);
    if (length > MaxPayload || length < 4) {
        *bad = true;
        return std::nullopt;
    }
    if (bytes.size() < HeaderBytes + qsizetype(length))
        return std::nullopt;
    const QByteArrayView payload = bytes.sliced(HeaderBytes, length);
    const quint32 count = readU32(payload, 0);
    if (count > MaxItems) {
        *bad = true;
        return std::nullopt;
    }
    Parsed parsed;
    qsizetype at = 4;
    for (quint32 i = 0; i < count && !*bad; ++i) {
        if (payload.size() - at < 4) {
            *bad = true;
            break;
        }
        const quint32 size = readU32(payload, at);
        at += 4;
        if (size > quint32(payload.size() - at)) {
            *bad = true;
            break;
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString item = utf8(payload.sliced(at, size));
        *bad = utf8.hasError();
        parsed.request.append(item);
        at += size;
    }
    if (*bad || at != payload.size()) {
        *bad = true;
        return std::nullopt;
    }
    parsed.consumed = HeaderBytes + length;
    return parsed;
}

void SingleInstance::acceptPending() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // No more than one frame is ever held: a sender of more is held back.
        socket->setReadBufferSize(HeaderBytes + MaxPayload);
        const int open = int(m_server->findChildren<QLocalSocket*>().size());
        if (open > MaxConnections || !peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // A connection that does not deliver its frame in time is dropped.
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        timer->start(FrameTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    // What has come so far waits in the socket's own buffer: a frame is read only once
    // it is whole, and never more than one frame's limit is looked at.
    const QByteArray pending =
        socket->peek(qMin(socket->bytesAvailable(), HeaderBytes + MaxPayload));
    bool bad = false;
    const std::optional<Parsed> parsed = parseFrame(pending, &bad);
    if (bad) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (!parsed)
        return;
    socket->read(parsed->consumed);
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    qDeleteAll(socket->findChildren<QTimer*>());
    socket->write(&Ack, 1);
    socket->flush();
    socket->disconnectFromServer();
    QMetaObject::invokeMethod(
        this, [this, request = parsed->request] { Q_EMIT requested(request); },
        Qt::QueuedConnection);
}
