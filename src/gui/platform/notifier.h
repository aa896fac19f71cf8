// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>

// The desktop's notification service: the freedesktop.org notification interface
// (org.freedesktop.Notifications on the session bus), which GNOME, KDE, Xfce and the
// notification daemons of other desktops offer. Reminders go through it where there is
// no notification area (Tray). Tests install a backend of their own.
class Notifier {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        // Whether the session has a notification service (running, or started by the
        // bus on the first message).
        virtual bool isAvailable() const = 0;
        // Hands a message to the service. `failed` runs later, once, if the service
        // refuses the message or does not answer: the message did not reach the user.
        // `clicked` runs when the user clicks the message (its default action).
        virtual void notify(const QString& title, const QString& text,
                            std::function<void()> failed, std::function<void()> clicked) = 0;
    };

    // What every message carries, as the service receives it.
    static constexpr QStringView AppName = u"デイログ";
    // The program's icon, by its name in the icon theme (data/icons, installed).
    static constexpr QStringView IconName = u"daylog";
    // The desktop entry (data/daylog.desktop), so the desktop knows whose message it is.
    static constexpr QStringView DesktopEntry = u"daylog";
    // As long as the notification area shows a message (Tray); a desktop may keep it
    // longer (GNOME keeps it in its message list).
    static constexpr int TimeoutMs = 15000;

    static bool isAvailable();
    static void notify(const QString& title, const QString& text,
                       std::function<void()> failed = {}, std::function<void()> clicked = {});

    // Installs a backend (tests); nullptr restores the D-Bus one.
    static void install(std::unique_ptr<Backend> backend);
};
