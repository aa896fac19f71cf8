// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/firstpaint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    FirstPaint(const QString& window, QObject* parent) : QObject(parent), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && (m_window.isEmpty() || w->window()->objectName() == m_window)) {
                m_seen = true;
                // After this paint has been delivered.
                QTimer::singleShot(0, [] {
                    std::fputs("first-paint\n", stdout);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            }
        }
        return false;
    }

private:
    QString m_window;
    bool m_seen = false;
};

} // namespace

void watchFirstPaint(QApplication& app, const QString& window) {
    if (qEnvironmentVariableIsSet("DAYLOG_BENCH_FIRST_PAINT"))
        app.installEventFilter(new FirstPaint(window, &app));
}
