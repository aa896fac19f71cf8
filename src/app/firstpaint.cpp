#include "app/firstpaint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && w->window()->objectName() == QStringLiteral("カレンダー")) {
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
    bool m_seen = false;
};

} // namespace

void watchFirstPaint(QApplication& app) {
    if (qEnvironmentVariableIsSet("DAYLOG_BENCH_FIRST_PAINT"))
        app.installEventFilter(new FirstPaint(&app));
}
