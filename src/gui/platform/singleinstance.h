// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QLocalServer;
class QLocalSocket;

// One program per user: the first program listens on a local socket of the user's; a
// second start hands its request (the absolute path of the document it was asked to
// open, or nothing: "come to the front") to the running program and ends at once.
//
// A request travels in one frame, all integers big-endian:
//
//     "DLSI"  version (1 byte, 1)  payload length (4 bytes, at most 256 KiB)
//     payload: item count (4 bytes, at most 256), then per item its length in bytes
//              (4 bytes) and its UTF-8 text
//
// The running program answers a whole, valid frame with one byte, 0x06, and only then
// acts on it. Anything else (a wrong header, a length over the limits, a payload that
// does not add up or is not UTF-8, a frame that does not arrive in whole within a few
// seconds) closes the connection without an answer. Only a process of the same user
// is listened to or handed to.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Start {
        Listening,  // this is the running program now
        HandedOver, // a running program took the request: end at once
        Failed,     // something answers on the name but took nothing (hangs, another
                    // user's, or a stranger): run on without being found
    };

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The user's socket: in XDG_RUNTIME_DIR when it is set, else a name Qt places in
    // the temporary folder; it holds the user id either way.
    static QString serverName();

    // Listens on `name`. A socket left by a program that crashed (nobody answers on
    // it) is removed and listened on again. Of two programs doing this at the same
    // moment exactly one listens: the other gets false and hands over.
    bool listen(const QString& name);
    bool isListening() const;

    // Hands `request` to the program listening on `name`; true once that program has
    // taken it whole, false when none answers, it is another user's, or it does not
    // answer within `timeoutMs`.
    static bool handOver(const QString& name, const QStringList& request, int timeoutMs);

    // What start-up does: hands the request over if a program runs, else listens;
    // if another program started at the same moment listens first, hands over to it.
    Start start(const QString& name, const QStringList& request, int timeoutMs);

    // The frame of a request, and a request read from the start of `bytes`: the
    // request and the bytes it took, nullopt while incomplete; `bad` set when the bytes
    // can never become a valid frame.
    static QByteArray frame(const QStringList& request);
    struct Parsed {
        QStringList request;
        qsizetype consumed = 0;
    };
    static std::optional<Parsed> parseFrame(QByteArrayView bytes, bool* bad);

Q_SIGNALS:
    // A second program's request (queued: after it has been answered).
    void requested(const QStringList& request);

private:
    void acceptPending();
    void readFrom(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
};
