// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>

#include <memory>
#include <optional>

class QWidget;

// The colour dialog goes through here, so tests can choose the colour.
class ColorDialog {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        // nullopt when cancelled.
        virtual std::optional<QColor> choose(QWidget* parent, const QColor& initial) = 0;
    };
    static std::optional<QColor> choose(QWidget* parent, const QColor& initial = Qt::black);
    static void install(std::unique_ptr<Backend> backend);
};
