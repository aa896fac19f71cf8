// The floor of the start-up measurement: a bare Qt window with a 367 × 19 table,
// reporting its first paint the way the program does.

#include "app/firstpaint.h"

#include <QApplication>
#include <QTableWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    watchFirstPaint(app, QString());
    QTableWidget table(367, 19);
    table.show();
    return app.exec();
}
