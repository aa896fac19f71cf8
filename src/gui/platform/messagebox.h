// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <memory>

class QWidget;

// Every message box of the program goes through here, so tests can answer them.
class MessageBox {
public:
    enum Button { Ok, Yes, No, Cancel, Overwrite, SaveAs };
    // The buttons of a box, as they read: OkOnly "OK"; YesNo "はい" "いいえ";
    // YesNoCancel "はい" "いいえ" "キャンセル"; OverwriteSaveAsCancel "上書き"
    // "名前を付けて保存" "キャンセル".
    enum Buttons { OkOnly, YesNo, YesNoCancel, OverwriteSaveAsCancel };
    // Every box carries the icon of its kind: Question for a question about the user's
    // own work (save? close? restore? replace?); Warning for a danger from elsewhere (the
    // file changed on disk, another computer holds it, no recovery copy) and for what
    // cannot be done as asked (a refused paste, a missing or unsuitable input); Critical
    // for what failed (a file not opened, saved, exported or printed); Information for
    // plain information. A box about a document names its file, in the text or, where
    // the text is a fixed one, as the title.
    enum Icon { NoIcon, Information, Warning, Critical, Question };

    struct Request {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        // The button Return answers. Escape and the close box answer escapeButton().
        Button defaultButton = Ok;
    };

    class Backend {
    public:
        virtual ~Backend() = default;
        virtual Button show(QWidget* parent, const Request& request) = 0;
    };

    // Shows a message; an empty title gives the program's default title. The default
    // button is the set's own: Ok, Yes, or for OverwriteSaveAsCancel 名前を付けて保存,
    // which loses nothing.
    static Button show(QWidget* parent, const QString& text, Buttons buttons = OkOnly,
                       Icon icon = NoIcon, const QString& title = {});
    // The same with the button Return answers; it must be one of the box's.
    static Button show(QWidget* parent, const QString& text, Buttons buttons, Button defaultButton,
                       Icon icon = NoIcon, const QString& title = {});
    static QString defaultTitle();

    // The buttons of a set, in the order they read; what a box gives by itself, and
    // what Escape and the close box answer: Cancel where the set has it, else No,
    // else Ok. Never No where Cancel is offered.
    static QList<Button> buttonsOf(Buttons buttons);
    static Button naturalDefault(Buttons buttons);
    static Button escapeButton(Buttons buttons);

    // Installs a backend (tests); nullptr restores the Qt message box.
    static void install(std::unique_ptr<Backend> backend);
};
