#pragma once

#include <QWidget>

// The first working window after start-up, titled "デイログ". The calendar window
// takes its place.
class PlaceholderWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlaceholderWindow(QWidget* parent = nullptr);
};
