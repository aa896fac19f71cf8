// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the start-up measurement: a bare Qt window with a 367 × 19 table,
// reporting its first paint the way the program does. With the argument "ja" the
// table's headings are Japanese, so the floor also loads and shapes a Japanese font.

#include "gui/app/firstpaint.h"

#include <QApplication>
#include <QTableWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    watchFirstPaint(app, QString());
    QTableWidget table(367, 19);
    if (QApplication::arguments().contains(QStringLiteral("ja"))) {
        QStringList headings;
        for (int c = 0; c < 19; ++c)
            headings.append(QStringLiteral("項目%1").arg(c + 1));
        table.setHorizontalHeaderLabels(headings);
    }
    table.show();
    return app.exec();
}
