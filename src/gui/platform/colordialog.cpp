// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/colordialog.h"

#include <QColorDialog>

namespace {

class QtColorDialog : public ColorDialog::Backend {
public:
    std::optional<QColor> choose(QWidget* parent, const QColor& initial) override {
        const QColor c = QColorDialog::getColor(initial, parent, QStringLiteral("色の設定"));
        if (!c.isValid())
            return std::nullopt;
        return c;
    }
};

std::unique_ptr<ColorDialog::Backend>& current() {
    static std::unique_ptr<ColorDialog::Backend> b = std::make_unique<QtColorDialog>();
    return b;
}

} // namespace

std::optional<QColor> ColorDialog::choose(QWidget* parent, const QColor& initial) {
    return current()->choose(parent, initial);
}

void ColorDialog::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtColorDialog>();
}
