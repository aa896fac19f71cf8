// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/tray.h"

#include <QSystemTrayIcon>
#include <QTimer>

namespace {

class QtTray : public Tray::Backend {
public:
    bool isAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void show(const QIcon& icon, const QString& tip) override {
        m_forMessage = false;
        ensureIcon();
        m_icon->setIcon(icon);
        m_icon->setToolTip(tip);
        m_icon->show();
    }
    void hide() override {
        m_forMessage = false;
        if (m_icon)
            m_icon->hide();
    }
    bool isShown() const override { return m_icon && m_icon->isVisible() && !m_forMessage; }
    void showMessage(const QIcon& icon, const QString& title, const QString& text) override {
        ensureIcon();
        if (!m_icon->isVisible()) {
            // Shown for the message only, and taken away again after it.
            m_forMessage = true;
            m_icon->setIcon(icon);
            m_icon->setToolTip(QStringLiteral("デイログ"));
            m_icon->show();
            QTimer::singleShot(MessageMs + 5000, m_icon.get(), [this] {
                if (m_forMessage)
                    hide();
            });
        }
        m_icon->showMessage(title, text, icon, MessageMs);
    }

private:
    static constexpr int MessageMs = 15000;

    void ensureIcon() {
        if (!m_icon) {
            m_icon = std::make_unique<QSystemTrayIcon>();
            QObject::connect(m_icon.get(), &QSystemTrayIcon::activated,
                             [](QSystemTrayIcon::ActivationReason reason) {
                                 if (reason == QSystemTrayIcon::Trigger ||
                                     reason == QSystemTrayIcon::DoubleClick)
                                     Q_EMIT Tray::instance().leftClicked();
                                 else if (reason == QSystemTrayIcon::Context)
                                     Q_EMIT Tray::instance().rightClicked();
                             });
            // A click on a message brings the program up like a click on the icon.
            QObject::connect(m_icon.get(), &QSystemTrayIcon::messageClicked,
                             [] { Q_EMIT Tray::instance().leftClicked(); });
        }
    }

    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_forMessage = false;
};

} // namespace

Tray::Tray() : m_backend(std::make_unique<QtTray>()) {}

Tray& Tray::instance() {
    static Tray* tray = new Tray; // lives for the whole run
    return *tray;
}

void Tray::install(std::unique_ptr<Backend> backend) {
    Tray& t = instance();
    if (t.m_backend)
        t.m_backend->hide();
    t.m_backend = backend ? std::move(backend) : std::make_unique<QtTray>();
}
