// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The program's icon in the notification area. A backend reports clicks through
// the two signals of Tray::instance().
class Tray : public QObject {
    Q_OBJECT
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        virtual bool isAvailable() const = 0;
        virtual void show(const QIcon& icon, const QString& tip) = 0;
        virtual void hide() = 0;
        virtual bool isShown() const = 0;
        // A message from the icon; an icon not shown appears for the message only.
        virtual void showMessage(const QIcon& icon, const QString& title, const QString& text) = 0;
    };

    static Tray& instance();
    static void install(std::unique_ptr<Backend> backend);

    bool isAvailable() const { return m_backend->isAvailable(); }
    void show(const QIcon& icon, const QString& tip) { m_backend->show(icon, tip); }
    void hide() { m_backend->hide(); }
    bool isShown() const { return m_backend->isShown(); }
    void showMessage(const QIcon& icon, const QString& title, const QString& text) {
        m_backend->showMessage(icon, title, text);
    }

Q_SIGNALS:
    void leftClicked();
    void rightClicked();

private:
    Tray();
    std::unique_ptr<Backend> m_backend;
};
