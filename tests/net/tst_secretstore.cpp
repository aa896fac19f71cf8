// SPDX-License-Identifier: GPL-3.0-or-later
// Calendar passwords in a real desktop secret store: a D-Bus session of the test's own,
// first with no secret store on it, then with the desktop's keyring (gnome-keyring)
// unlocked on it. Passwords go in, come back, are replaced and removed there; without
// a store nothing is kept and the user is told why; no file of the user's ever holds
// a password in clear text; the tool syncs with the password it finds in the store.

#include "core/calendar/newyear.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/sync/syncstate.h"
#include "net/caldavclient.h"
#include "net/secretstore.h"
#include "support/radicalecalendar.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A bus that starts no service by itself: only what the test puts on it is there.
constexpr char BusConfig[] = "<busconfig>\n"
                             "  <type>session</type>\n"
                             "  <listen>unix:dir=%1</listen>\n"
                             "  <auth>EXTERNAL</auth>\n"
                             "  <policy context='default'>\n"
                             "    <allow send_destination='*' eavesdrop='true'/>\n"
                             "    <allow eavesdrop='true'/>\n"
                             "    <allow own='*'/>\n"
                             "  </policy>\n"
                             "</busconfig>\n";

// Every file below `dir` whose bytes hold `secret` (as UTF-8 or UTF-16, or what follows
// its last hyphen).
QStringList filesHolding(const QString& dir, const QString& secret) {
    QStringList out;
    const QByteArray utf8 = secret.toUtf8();
    const QByteArray utf16(reinterpret_cast<const char*>(secret.utf16()), secret.size() * 2);
    for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.readAll();
        // Its ASCII tail too: a settings file escapes the rest.
        if (bytes.contains(utf8) || bytes.contains(utf16) ||
            bytes.contains(secret.section(u'-', -1).toLatin1()))
            out << f.fileName();
    }
    return out;
}

} // namespace

class TestSecretStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_bus, m_keyring;
    bool m_ready = false;

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(u"dbus-daemon"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"gnome-keyring-daemon"_s).isEmpty())
            QSKIP("needs dbus-daemon and gnome-keyring");
        // The user's files, the bus and the keyring all in the test's own folder.
        for (const char* name : {"config", "data", "run", "bus"})
            QVERIFY(QDir(m_home.path()).mkpath(QString::fromLatin1(name)));
        QFile::setPermissions(m_home.filePath(u"run"_s),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8());
        qputenv("XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8());
        qputenv("XDG_RUNTIME_DIR", m_home.filePath(u"run"_s).toUtf8());
        QFile config(m_home.filePath(u"bus.conf"_s));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QString::fromLatin1(BusConfig).arg(m_home.filePath(u"bus"_s)).toUtf8());
        config.close();
        m_bus.start(u"dbus-daemon"_s, {u"--config-file="_s + config.fileName(), u"--nofork"_s,
                                       u"--print-address=1"_s});
        QVERIFY(m_bus.waitForStarted(10000));
        QVERIFY(m_bus.waitForReadyRead(10000));
        const QByteArray address = m_bus.readLine().trimmed();
        QVERIFY(!address.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        m_ready = true;
    }

    void cleanupTestCase() {
        for (QProcess* p : {&m_keyring, &m_bus})
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
            }
        // The keyring daemon forks away from the process that unlocked it.
        QProcess::execute(u"pkill"_s, {u"-f"_s, u"gnome-keyring-daemon.*"_s + m_home.path()});
    }

    void passwordsLiveOnlyInTheDesktopsStore() {
        QVERIFY(m_ready);
        const QString account = SecretStore::account(u"https://cal.example.org/dav/"_s, u"taro"_s);
        const QString secret = u"pässwörd-学校-gakko2005x"_s;

        // No store on the session: nothing kept, and the user is told.
        SecretStore::Result r = SecretStore::write(account, secret);
        QVERIFY(!r.ok());
        QVERIFY2(r.message().contains(u"パスワード"_s), qPrintable(r.message()));
        QVERIFY(!SecretStore::read(account).ok());
        QCOMPARE(filesHolding(m_home.path(), secret), QStringList());

        // The desktop's keyring, unlocked as a login would.
        m_keyring.setProgram(u"gnome-keyring-daemon"_s);
        m_keyring.setArguments({u"--unlock"_s, u"--components=secrets"_s,
                                u"--control-directory="_s + m_home.filePath(u"run"_s)});
        m_keyring.start();
        QVERIFY(m_keyring.waitForStarted(10000));
        m_keyring.write("login password of the test");
        m_keyring.closeWriteChannel();
        QVERIFY(m_keyring.waitForFinished(30000));
        // The daemon it leaves behind takes a moment to come onto the bus.
        QTRY_COMPARE_WITH_TIMEOUT(SecretStore::read(account).code, SecretStore::Result::NotFound,
                                  20000);
        r = SecretStore::write(account, secret);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        r = SecretStore::read(account);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QCOMPARE(r.secret, secret);
        // Another user of the same server is another account.
        const QString other = SecretStore::account(u"https://cal.example.org/"_s, u"hanako"_s);
        QCOMPARE(SecretStore::read(other).code, SecretStore::Result::NotFound);
        QVERIFY(SecretStore::write(other, u"other"_s).ok());
        QVERIFY(SecretStore::write(account, secret + u'!').ok());
        QCOMPARE(SecretStore::read(account).secret, secret + u'!');
        QCOMPARE(SecretStore::read(other).secret, u"other"_s);
        QVERIFY(SecretStore::remove(account).ok());
        QCOMPARE(SecretStore::read(account).code, SecretStore::Result::NotFound);
        QVERIFY(SecretStore::remove(account).ok());
        QCOMPARE(filesHolding(m_home.path(), secret), QStringList());
    }

    // The tool finds the password in the store when it is not given.
    void theToolSyncsWithTheStoredPassword() {
        QVERIFY(m_ready);
        if (!RadicaleServer::available())
            QSKIP("needs radicale");
        RadicaleServer server;
        QVERIFY2(server.start(), qPrintable(server.log()));
        QString why;
        const QString calendar = RadicaleCalendar::make(server, &why);
        QVERIFY2(!calendar.isEmpty(), qPrintable(why));

        QTemporaryDir dir;
        const QString path = dir.filePath(u"2005.dys"_s);
        YearStore store;
        Store_New(store, 2005, QDate());
        QVERIFY(DocFiles::writeDocument(store, 20, path).ok());
        const auto tool = [&](const QString& password) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(u"DAYLOG_CALDAV_PASSWORD"_s);
            if (!password.isEmpty())
                env.insert(u"DAYLOG_CALDAV_PASSWORD"_s, password);
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("DAYLOG_TOOL"),
                    {u"sync"_s, path, u"--url"_s, calendar, u"--user"_s, server.user()});
            p.waitForFinished(60000);
            return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
        };
        // Not in the store: a failure that says so.
        auto [code, err] = tool({});
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(u"パスワード"_s), qPrintable(err));
        const QString account = SecretStore::account(calendar, server.user());
        QVERIFY(SecretStore::write(account, server.password()).ok());
        std::tie(code, err) = tool({});
        QVERIFY2(code == 0, qPrintable(err));
        // The link is kept, the password is not.
        QVERIFY(QFile::exists(Sync_StatePath(path)));
        QCOMPARE(filesHolding(dir.path(), server.password()), QStringList());
        QVERIFY(SecretStore::remove(account).ok());
    }
};

QTEST_GUILESS_MAIN(TestSecretStore)
#include "tst_secretstore.moc"
