// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/modaldialog.h"

#include <QDialog>

namespace {

class QtModalDialog : public ModalDialog::Backend {
public:
    int run(QDialog& dialog) override { return dialog.exec(); }
};

std::unique_ptr<ModalDialog::Backend>& current() {
    static std::unique_ptr<ModalDialog::Backend> b = std::make_unique<QtModalDialog>();
    return b;
}

} // namespace

int ModalDialog::run(QDialog& dialog) {
    return current()->run(dialog);
}

void ModalDialog::install(std::unique_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_unique<QtModalDialog>();
}
