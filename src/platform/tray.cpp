#include "platform/tray.h"

#include <QSystemTrayIcon>

namespace {

class QtTray : public Tray::Backend {
public:
    bool isAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void show(const QIcon& icon, const QString& tip) override {
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
        }
        m_icon->setIcon(icon);
        m_icon->setToolTip(tip);
        m_icon->show();
    }
    void hide() override {
        if (m_icon)
            m_icon->hide();
    }
    bool isShown() const override { return m_icon && m_icon->isVisible(); }

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
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
