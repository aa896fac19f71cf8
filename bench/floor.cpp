// The floor of the start-up measurement: a bare Qt window with a 367 × 19 table,
// reporting its first paint the way the program does.

#include <QApplication>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>

namespace {
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::fputs("first-paint\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaint watch;
    app.installEventFilter(&watch);
    QTableWidget table(367, 19);
    table.show();
    return app.exec();
}
