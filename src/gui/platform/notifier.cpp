// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/notifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include <map>

using namespace Qt::StringLiterals;

namespace {

const QString Service = u"org.freedesktop.Notifications"_s;
const QString Path = u"/org/freedesktop/Notifications"_s;
const QString Interface = u"org.freedesktop.Notifications"_s;
// How long the service may take to take a message (one the bus starts first needs a
// moment); the clock goes on meanwhile, the call does not block.
constexpr int AnswerMs = 10000;

// The service's signals of the messages sent in this run: a click on one (its default
// action) runs what its sender gave; one closed is forgotten.
class Clicks : public QObject {
    Q_OBJECT

public:
    void add(uint id, std::function<void()> clicked) {
        if (!m_connected) {
            QDBusConnection bus = QDBusConnection::sessionBus();
            m_connected = bus.connect(Service, Path, Interface, u"ActionInvoked"_s, this,
                                      SLOT(actionInvoked(uint, QString))) &&
                          bus.connect(Service, Path, Interface, u"NotificationClosed"_s, this,
                                      SLOT(notificationClosed(uint, uint)));
        }
        m_waiting[id] = std::move(clicked);
    }

private Q_SLOTS:
    void actionInvoked(uint id, const QString& action) {
        const auto it = m_waiting.find(id);
        if (it == m_waiting.end() || action != u"default"_s)
            return;
        // Kept until the message is closed: a desktop that keeps it may be clicked again.
        const std::function<void()> clicked = it->second;
        clicked();
    }
    void notificationClosed(uint id, uint) { m_waiting.erase(id); }

private:
    std::map<uint, std::function<void()>> m_waiting;
    bool m_connected = false;
};

Clicks& clicks() {
    static Clicks* c = new Clicks;
    return *c;
}

class DBusNotifier : public Notifier::Backend {
public:
    bool isAvailable() const override {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        QDBusConnectionInterface* busInterface = bus.isConnected() ? bus.interface() : nullptr;
        if (!busInterface)
            return false;
        if (busInterface->isServiceRegistered(Service).value())
            return true;
        // A notification daemon the bus starts on the first message (dunst, mako,
        // xfce4-notifyd, notification-daemon) is not registered until then.
        return busInterface->activatableServiceNames().value().contains(Service);
    }

    void notify(const QString& title, const QString& text, std::function<void()> failed,
                std::function<void()> clicked) override {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, u"Notify"_s);
        const QVariantMap hints{
            {u"desktop-entry"_s, Notifier::DesktopEntry.toString()},
            {u"urgency"_s, QVariant::fromValue(uchar(1))}, // normal
        };
        // Notify(app_name, replaces_id, app_icon, summary, body, actions, hints,
        // expire_timeout), the method of the freedesktop.org notification interface.
        // The default action is a click on the message itself: it brings the calendar.
        const QStringList actions = clicked ? QStringList{u"default"_s, u"開く"_s} : QStringList();
        call << Notifier::AppName.toString() << uint(0) << Notifier::IconName.toString() << title
             << text << actions << hints << Notifier::TimeoutMs;
        const QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, AnswerMs);
        auto* watcher = new QDBusPendingCallWatcher(pending);
        QObject::connect(
            watcher, &QDBusPendingCallWatcher::finished,
            [failed = std::move(failed), clicked = std::move(clicked)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (!w->isError()) {
                    const QDBusPendingReply<uint> id = *w;
                    if (clicked && id.isValid())
                        clicks().add(id.value(), clicked);
                    return;
                }
                qWarning("Notifier: the notification service refused a message: %s",
                         qPrintable(w->error().message()));
                if (failed)
                    failed();
            });
    }
};

std::unique_ptr<Notifier::Backend>& backend() {
    static std::unique_ptr<Notifier::Backend> b = std::make_unique<DBusNotifier>();
    return b;
}

} // namespace

bool Notifier::isAvailable() {
    return backend()->isAvailable();
}

void Notifier::notify(const QString& title, const QString& text, std::function<void()> failed,
                      std::function<void()> clicked) {
    backend()->notify(title, text, std::move(failed), std::move(clicked));
}

void Notifier::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<DBusNotifier>();
}

#include "notifier.moc"
