#pragma once

#include <QList>
#include <QString>

#include <memory>

class QWidget;

// Every message box of the program goes through here, so tests can answer them.
class MessageBox {
public:
    enum Button { Ok, Yes, No, Cancel, Overwrite, SaveAs };
    // OverwriteSaveAsCancel: "上書き", "名前を付けて保存", "キャンセル".
    enum Buttons { OkOnly, YesNo, YesNoCancel, OverwriteSaveAsCancel };
    enum Icon { NoIcon, Information, Warning, Critical, Question };

    struct Request {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    class Backend {
    public:
        virtual ~Backend() = default;
        virtual Button show(QWidget* parent, const Request& request) = 0;
    };

    // Shows a message; an empty title gives the program's default title.
    static Button show(QWidget* parent, const QString& text, Buttons buttons = OkOnly,
                       Icon icon = NoIcon, const QString& title = {});
    static QString defaultTitle();

    // Installs a backend (tests); nullptr restores the Qt message box.
    static void install(std::unique_ptr<Backend> backend);
};

// Test double: records every message and answers from a queue (Ok, or the first
// button of the box, when the queue is empty).
class ScriptedMessageBox : public MessageBox::Backend {
public:
    MessageBox::Button show(QWidget* parent, const MessageBox::Request& request) override;
    QList<MessageBox::Request> shown;
    QList<MessageBox::Button> answers;
};
