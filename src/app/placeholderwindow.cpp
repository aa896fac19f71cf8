#include "app/placeholderwindow.h"

#include "app/artwork.h"

PlaceholderWindow::PlaceholderWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("カレンダー"));
    setWindowTitle(QStringLiteral("デイログ"));
    setWindowIcon(Artwork::programIcon());
    resize(480, 360);
}
