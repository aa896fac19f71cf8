// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real calendar server for tests: Radicale (Debian's package, run with
// /usr/bin/python3) on 127.0.0.1, on a free port, with a storage folder of its own and
// one user with a plain-text password. start() returns once the server answers; stop()
// ends it (SIGTERM), kill() ends it as a crash would (SIGKILL), and start() again
// brings it back on the same port and storage. With `tls` it speaks HTTPS with a
// certificate made here for 127.0.0.1 (openssl), which no system trusts: certificate()
// is what a client must be told to trust.
//
//     RadicaleServer server;
//     if (!RadicaleServer::available()) QSKIP("no radicale");
//     QVERIFY2(server.start(), qPrintable(server.log()));

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

class RadicaleServer {
public:
    struct Options {
        QString user = QStringLiteral("teacher");
        QString password = QStringLiteral("secret");
        bool tls = false;
        // Whether a PUT of a whole collection is taken, as Radicale does; without, it
        // is refused with 405, as most servers do.
        bool wholeCollectionPut = true;
    };

    RadicaleServer() = default;
    explicit RadicaleServer(Options options) : m_options(std::move(options)) {}
    ~RadicaleServer() { stop(); }
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // Whether this machine can run the server (and make a certificate, for `tls`).
    static bool available(bool tls = false) {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QStringLiteral("import radicale")});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
            return false;
        return !tls || QFile::exists(QStringLiteral("/usr/bin/openssl"));
    }

    // Starts the server (again, after stop or kill) and waits until it takes
    // connections, at most 30 s; false with the reason in log() when it does not.
    bool start() {
        if (running())
            return true;
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        if (m_port == 0 && !prepare())
            return false;
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->setStandardOutputFile(file(QStringLiteral("server.log")), QIODevice::Append);
        if (m_options.wholeCollectionPut)
            m_process->start(QStringLiteral("/usr/bin/python3"),
                             {QStringLiteral("-m"), QStringLiteral("radicale"),
                              QStringLiteral("--config"), file(QStringLiteral("config"))});
        else
            m_process->start(QStringLiteral("/usr/bin/python3"),
                             {QStringLiteral("-c"), QString::fromLatin1(RefusingCollectionPut),
                              file(QStringLiteral("config"))});
        if (!m_process->waitForStarted(10000))
            return fail(QStringLiteral("python3 did not start"));
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            if (m_process->state() != QProcess::Running)
                return fail(QStringLiteral("the server ended at once"));
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
            if (probe.waitForConnected(500))
                return true;
            m_process->waitForFinished(50);
        }
        return fail(QStringLiteral("the server did not answer in 30 s"));
    }

    void stop() {
        if (!m_process)
            return;
        if (m_process->state() != QProcess::NotRunning) {
            m_process->terminate();
            if (!m_process->waitForFinished(10000)) {
                m_process->kill();
                m_process->waitForFinished(5000);
            }
        }
        m_process.reset();
    }

    // Ends the server at once, as a crash or a pulled cable would.
    void kill() {
        if (!m_process)
            return;
        m_process->kill();
        m_process->waitForFinished(5000);
        m_process.reset();
    }

    bool restart() {
        stop();
        return start();
    }

    bool running() const { return m_process && m_process->state() == QProcess::Running; }
    QUrl url() const {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                        .arg(m_options.tls ? QStringLiteral("https") : QStringLiteral("http"))
                        .arg(m_port));
    }
    QString user() const { return m_options.user; }
    QString password() const { return m_options.password; }
    QString storage() const { return file(QStringLiteral("storage")); }
    QList<QSslCertificate> certificate() const {
        return QSslCertificate::fromPath(file(QStringLiteral("cert.pem")));
    }
    // What went wrong, and what the server wrote.
    QString log() const {
        QFile f(file(QStringLiteral("server.log")));
        const QString written =
            f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(4000)) : QString();
        return m_error + u'\n' + written;
    }

private:
    // Radicale's own server with every PUT of a collection refused.
    static constexpr char RefusingCollectionPut[] =
        "import sys, radicale, radicale.server\n"
        "from radicale import config\n"
        "class Refusing(radicale.Application):\n"
        "    def __call__(self, environ, start_response):\n"
        "        if environ['REQUEST_METHOD'] == 'PUT' and environ['PATH_INFO'].endswith('/'):\n"
        "            start_response('405 Method Not Allowed', [('Content-Length', '0')])\n"
        "            return [b'']\n"
        "        return super().__call__(environ, start_response)\n"
        "radicale.server.Application = Refusing\n"
        "radicale.server.serve(config.load([(sys.argv[1], False)]))\n";

    QString file(const QString& name) const { return m_dir.filePath(name); }

    bool fail(const QString& why) {
        m_error = why;
        stop();
        return false;
    }

    // The port, the user file, the certificate and the configuration, once.
    bool prepare() {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return fail(QStringLiteral("no free port"));
        m_port = probe.serverPort();
        probe.close();
        QDir().mkpath(storage());
        if (!write(QStringLiteral("users"), m_options.user + u':' + m_options.password + u'\n'))
            return fail(QStringLiteral("cannot write the user file"));
        if (m_options.tls && !makeCertificate())
            return false;
        const QString config =
            QStringLiteral(R"([server]
hosts = 127.0.0.1:%1
ssl = %2
certificate = %3
key = %4
[auth]
type = htpasswd
htpasswd_filename = %5
htpasswd_encryption = plain
[rights]
type = owner_only
[storage]
filesystem_folder = %6
[web]
type = none
[logging]
level = warning
)")
                .arg(m_port)
                .arg(m_options.tls ? QStringLiteral("True") : QStringLiteral("False"))
                .arg(file(QStringLiteral("cert.pem")), file(QStringLiteral("key.pem")),
                     file(QStringLiteral("users")), storage());
        return write(QStringLiteral("config"), config) ||
               fail(QStringLiteral("cannot write the configuration"));
    }

    bool makeCertificate() {
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("/usr/bin/openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                       QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=DayLog test server"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                       file(QStringLiteral("key.pem")), QStringLiteral("-out"),
                       file(QStringLiteral("cert.pem"))});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return fail(QStringLiteral("openssl could not make a certificate: ") +
                        QString::fromUtf8(openssl.readAll()));
        return true;
    }

    bool write(const QString& name, const QString& text) {
        QFile f(file(name));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(text.toUtf8()) == text.toUtf8().size();
    }

    Options m_options;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
    std::unique_ptr<QProcess> m_process;
    QString m_error;
};
