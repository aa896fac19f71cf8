// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/notifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

const QString Service = u"org.freedesktop.Notifications"_s;
const QString Path = u"/org/freedesktop/Notifications"_s;
const QString Interface = u"org.freedesktop.Notifications"_s;
// How long the service may take to take a message (one the bus starts first needs a
// moment); the clock goes on meanwhile, the call does not block.
constexpr int AnswerMs = 10000;

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

    void notify(const QString& title, const QString& text, std::function<void()> failed) override {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, u"Notify"_s);
        const QVariantMap hints{
            {u"desktop-entry"_s, Notifier::DesktopEntry.toString()},
            {u"urgency"_s, QVariant::fromValue(uchar(1))}, // normal
        };
        // Notify(app_name, replaces_id, app_icon, summary, body, actions, hints,
        // expire_timeout), the method of the freedesktop.org notification interface.
        call << Notifier::AppName.toString() << uint(0) << Notifier::IconName.toString() << title
             << text << QStringList() << hints << Notifier::TimeoutMs;
        const QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, AnswerMs);
        auto* watcher = new QDBusPendingCallWatcher(pending);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                         [failed = std::move(failed)](QDBusPendingCallWatcher* w) {
                             w->deleteLater();
                             if (!w->isError())
                                 return;
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

void Notifier::notify(const QString& title, const QString& text, std::function<void()> failed) {
    backend()->notify(title, text, std::move(failed));
}

void Notifier::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<DBusNotifier>();
}
