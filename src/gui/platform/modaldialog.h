// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QDialog;

// The program's own modal dialogs run through here, so tests can work them: a test's
// backend is handed the dialog itself, works its controls as the user would and closes
// it, where the real one waits for the user.
class ModalDialog {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        // Shows `dialog` and returns once it is closed: QDialog::Accepted or Rejected.
        virtual int run(QDialog& dialog) = 0;
    };
    static int run(QDialog& dialog);
    // Installs a backend (tests); nullptr restores QDialog::exec.
    static void install(std::unique_ptr<Backend> backend);
};
