// SPDX-License-Identifier: GPL-3.0-or-later
// The reminders as a desktop without a notification area (GNOME) gets them: through
// the notification service on the session bus. A private bus (dbus-daemon, with a
// configuration of the test's own) and a fake service in Python (fakenotifications.py,
// python3-dbus and python3-gi) stand for the desktop's; without them the test skips. A
// click on a message brings what its sender asked for (the calendar).

#include "gui/platform/notifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString Python = u"/usr/bin/python3"_s;
const QString FakeService =
    QStringLiteral(DAYLOG_SOURCE_DIR "/tests/gui/platform/fakenotifications.py");
constexpr int StartMs = 15000; // a Python service started by the bus, under the sanitizers

// A session bus that listens in the test's folder and starts only the services
// described there.
const char16_t BusConfig[] =
    u"<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    u" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    u"<busconfig>\n"
    u"  <type>session</type>\n"
    u"  <listen>unix:dir=%1</listen>\n"
    u"  <servicedir>%1/services</servicedir>\n"
    u"  <policy context=\"default\">\n"
    u"    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
    u"    <allow eavesdrop=\"true\"/>\n"
    u"    <allow own=\"*\"/>\n"
    u"  </policy>\n"
    u"</busconfig>\n";

bool write(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

} // namespace

class TestNotifier : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QProcess check;
        check.start(Python, {u"-c"_s, u"import dbus, dbus.service, gi.repository.GLib"_s});
        if (!check.waitForFinished(30000) || check.exitStatus() != QProcess::NormalExit ||
            check.exitCode() != 0)
            QSKIP("needs /usr/bin/python3 with python3-dbus and python3-gi");
        const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        if (daemon.isEmpty())
            QSKIP("needs dbus-daemon");
        QVERIFY(m_dir.isValid());
        // A session bus of the test's own.
        QVERIFY(QDir(m_dir.path()).mkpath(u"services"_s));
        QVERIFY(
            write(m_dir.filePath(u"bus.conf"_s), QString::fromUtf16(BusConfig).arg(m_dir.path())));
        m_bus.start(daemon, {u"--config-file="_s + m_dir.filePath(u"bus.conf"_s), u"--nofork"_s,
                             u"--print-address=1"_s});
        QVERIFY(m_bus.waitForStarted(10000));
        while (!m_bus.canReadLine())
            QVERIFY2(m_bus.waitForReadyRead(10000), "dbus-daemon printed no address");
        const QByteArray address = m_bus.readLine().trimmed();
        QVERIFY(!address.isEmpty());
        // Read when the program first reaches the session bus, which is after this.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase() {
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.terminate();
            m_bus.waitForFinished(5000);
        }
    }

    // A session without a notification service has none. A service the bus starts on
    // the first message (as notification daemons are installed) counts as there; the
    // message starts it and arrives as the desktop shows it: the program's name and
    // icon, title, text and timeout. A message the service refuses is said back, so
    // that the program shows it itself.
    void theServiceGetsEachMessageOrSaysItRefusedIt() {
        QVERIFY(!Notifier::isAvailable());
        QVERIFY(write(m_dir.filePath(u"services/org.freedesktop.Notifications.service"_s),
                      u"[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=%1 %2 %3\n"_s.arg(
                          Python, FakeService, log())));
        QDBusConnection::sessionBus().interface()->call(u"ReloadConfig"_s);
        QTRY_VERIFY(Notifier::isAvailable());

        bool failed = false;
        Notifier::notify(u"まもなくToDoの時刻です"_s, u"10:00　職員会議"_s, [&] { failed = true; });
        QTRY_COMPARE_WITH_TIMEOUT(received().size(), 1, StartMs);
        const QJsonObject m = received()[0];
        QCOMPARE(m[u"app_name"_s].toString(), u"デイログ"_s);
        QCOMPARE(m[u"app_icon"_s].toString(), u"daylog"_s);
        QCOMPARE(m[u"summary"_s].toString(), u"まもなくToDoの時刻です"_s);
        QCOMPARE(m[u"body"_s].toString(), u"10:00　職員会議"_s);
        QCOMPARE(m[u"replaces_id"_s].toInt(), 0);
        QCOMPARE(m[u"expire_timeout"_s].toInt(), Notifier::TimeoutMs);
        QCOMPARE(m[u"hints"_s][u"desktop-entry"_s].toArray(),
                 QJsonArray({u"daylog"_s, u"String"_s}));
        QCOMPARE(m[u"hints"_s][u"urgency"_s].toArray(), QJsonArray({1, u"Byte"_s}));

        Notifier::notify(u"ToDoの時刻になりました"_s, u"断る"_s, [&] { failed = true; });
        QTRY_VERIFY_WITH_TIMEOUT(failed, StartMs);
        QCOMPARE(received().size(), 1);

        // A message that can be clicked has the default action; a click on it runs what
        // its sender gave, each time, until it is closed; another action does nothing.
        QCOMPARE(m[u"actions"_s].toArray(), QJsonArray());
        int clicks = 0;
        Notifier::notify(u"ToDoの時刻になりました"_s, u"10:00　職員会議"_s, {}, [&] { ++clicks; });
        QTRY_COMPARE_WITH_TIMEOUT(received().size(), 2, StartMs);
        QCOMPARE(received()[1][u"actions"_s].toArray(), QJsonArray({u"default"_s, u"開く"_s}));
        const auto user = [](const QString& what, const QVariantList& args) {
            QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.Notifications"_s,
                                                               u"/org/freedesktop/Notifications"_s,
                                                               u"org.daylog.Test"_s, what);
            call.setArguments(args);
            QVERIFY(QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage);
        };
        // (The message's number reaches the program just after the service took it:
        // clicked until it has.)
        for (int tries = 0; clicks == 0 && tries < 50; ++tries) {
            user(u"Click"_s, {uint(2), u"default"_s});
            QTest::qWait(200);
        }
        QVERIFY(clicks >= 1);
        const int first = clicks;
        user(u"Click"_s, {uint(1), u"default"_s}); // not a message that can be clicked
        user(u"Click"_s, {uint(2), u"other"_s});
        user(u"Click"_s, {uint(2), u"default"_s});
        QTRY_COMPARE(clicks, first + 1);
        user(u"Close"_s, {uint(2)});
        user(u"Click"_s, {uint(2), u"default"_s});
        QTest::qWait(300);
        QCOMPARE(clicks, first + 1);
    }

private:
    QString log() const { return m_dir.filePath(u"received.jsonl"_s); }

    // What the service has received, one message a line.
    QList<QJsonObject> received() const {
        QList<QJsonObject> out;
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                out.append(QJsonDocument::fromJson(line).object());
        return out;
    }

    QTemporaryDir m_dir;
    QProcess m_bus;
};

QTEST_MAIN(TestNotifier)
#include "tst_notifier.moc"
