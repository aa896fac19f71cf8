// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The platform services as tests script them: a clock that stands still
// (fixedclock.h), message boxes
// and dialogs that answer from a list and remember what they were asked, a clipboard
// in memory, a printer that writes PDF files, help, a notification area and a desktop
// notification service that only record; the program's own modal dialogs worked by a
// script. TestEnvironment (testsupport.h) installs them.

#include "gui/platform/clipboard.h"
#include "gui/platform/colordialog.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/help.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/modaldialog.h"
#include "gui/platform/notifier.h"
#include "gui/platform/printer.h"
#include "gui/platform/tray.h"
#include "support/fixedclock.h"

#include <QColor>
#include <QDateTime>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <optional>

// Test double: a notification area that is there or not, and remembers the icon.
class ScriptedTray : public Tray::Backend {
public:
    bool isAvailable() const override { return available; }
    void show(const QIcon&, const QString& t) override {
        shown = true;
        tip = t;
    }
    void hide() override { shown = false; }
    bool isShown() const override { return shown; }
    void showMessage(const QIcon&, const QString& title, const QString& text) override {
        messages.append(title + u'\n' + text);
    }
    bool available = true;
    QStringList messages; // "title\ntext"

    bool shown = false;
    QString tip;
};

// Test double: a desktop notification service that is there or not, and takes or
// refuses each message.
class ScriptedNotifier : public Notifier::Backend {
public:
    bool isAvailable() const override { return available; }
    void notify(const QString& title, const QString& text, std::function<void()> failed,
                std::function<void()> clicked) override {
        if (refuse) {
            if (failed)
                failed();
            return;
        }
        messages.append(title + u'\n' + text);
        lastClicked = std::move(clicked);
    }
    bool available = true;
    bool refuse = false;               // the service refuses every message
    QStringList messages;              // "title\ntext"
    std::function<void()> lastClicked; // what a click on the last message does
};

// Test double: records what was shown; the help file is `path` (none by default).
class ScriptedHelp : public Help::Backend {
public:
    bool show(QWidget*, const QString& p, const QString& section, QString*) override {
        shown.append(p);
        sections.append(section);
        return true;
    }
    void closeAll() override { ++closed; }
    QString helpPath() const override { return path; }
    QString path;
    QList<QString> shown;
    QList<QString> sections;
    int closed = 0;
};

// Test double: answers from a queue (cancel when empty) and counts the requests.
class ScriptedColorDialog : public ColorDialog::Backend {
public:
    std::optional<QColor> choose(QWidget*, const QColor&) override {
        ++asked;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QList<std::optional<QColor>> answers;
    int asked = 0;
};

// Test double: every job is printed to a new PDF file in `folder`; `cancel` makes
// the next job end as if the user had cancelled the dialog.
class PdfPrinter : public Printer::Backend {
public:
    explicit PdfPrinter(const QString& folder) : m_folder(folder) {}
    Printer::Result print(QWidget* parent, const QString& title,
                          QPageLayout::Orientation orientation,
                          const Printer::PaintJob& job) override;
    QList<QString> files;
    QList<QPageLayout::Orientation> orientations;
    bool cancel = false;

private:
    QString m_folder;
};

// Test double: an in-memory clipboard.
class ScriptedClipboard : public Clipboard::Backend {
public:
    bool hasText() const override { return holdsText; }
    QString text() const override { return content; }
    void clear() override {
        content.clear();
        holdsText = false;
    }
    void setText(const QString& text) override {
        content = text;
        holdsText = true;
    }
    QString content;
    bool holdsText = false;
};

// Test double: records every request and answers from a queue (cancel when empty).
class ScriptedFileDialog : public FileDialog::Backend {
public:
    QString ask(QWidget* parent, const FileDialog::Request& request) override;
    QList<FileDialog::Request> asked;
    QList<QString> answers;
};

// Test double: records every message (its default button too) and answers from a
// queue (Ok, or the first button of the box, when the queue is empty).
class ScriptedMessageBox : public MessageBox::Backend {
public:
    MessageBox::Button show(QWidget* parent, const MessageBox::Request& request) override;
    QList<MessageBox::Request> shown;
    QList<MessageBox::Button> answers;
};

// Test double: the program's own modal dialogs, each shown and handed to the next
// script of the queue, which works its controls as a user would and closes it; with
// the queue empty (or a script that leaves it open) the dialog is closed as Escape
// closes it. Records the dialogs' names.
class ScriptedDialogs : public ModalDialog::Backend {
public:
    int run(QDialog& dialog) override;
    QStringList asked;
    QList<std::function<void(QDialog&)>> scripts;
};
