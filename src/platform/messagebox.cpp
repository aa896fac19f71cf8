#include "platform/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtMessageBox : public MessageBox::Backend {
public:
    MessageBox::Button show(QWidget* parent, const MessageBox::Request& r) override {
        QMessageBox box(parent);
        box.setWindowTitle(r.title);
        box.setText(r.text);
        switch (r.icon) {
        case MessageBox::NoIcon:
            break;
        case MessageBox::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageBox::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageBox::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageBox::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        switch (r.buttons) {
        case MessageBox::OkOnly:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageBox::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageBox::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageBox::OverwriteSaveAsCancel: {
            QPushButton* overwrite =
                box.addButton(QStringLiteral("上書き"), QMessageBox::AcceptRole);
            QPushButton* saveAs =
                box.addButton(QStringLiteral("名前を付けて保存"), QMessageBox::ActionRole);
            QPushButton* cancel =
                box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            box.setDefaultButton(cancel);
            box.setEscapeButton(cancel);
            box.exec();
            if (box.clickedButton() == overwrite)
                return MessageBox::Overwrite;
            if (box.clickedButton() == saveAs)
                return MessageBox::SaveAs;
            return MessageBox::Cancel;
        }
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageBox::Yes;
        case QMessageBox::No:
            return MessageBox::No;
        case QMessageBox::Cancel:
            return MessageBox::Cancel;
        default:
            return r.buttons == MessageBox::OkOnly ? MessageBox::Ok : MessageBox::Cancel;
        }
    }
};

std::unique_ptr<MessageBox::Backend>& backend() {
    static std::unique_ptr<MessageBox::Backend> b = std::make_unique<QtMessageBox>();
    return b;
}

} // namespace

MessageBox::Button MessageBox::show(QWidget* parent, const QString& text, Buttons buttons,
                                    Icon icon, const QString& title) {
    return backend()->show(parent, {text, title.isEmpty() ? defaultTitle() : title, buttons, icon});
}

QString MessageBox::defaultTitle() {
    return QStringLiteral("DayLog");
}

void MessageBox::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<QtMessageBox>();
}

MessageBox::Button ScriptedMessageBox::show(QWidget*, const MessageBox::Request& request) {
    shown.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    switch (request.buttons) {
    case MessageBox::OkOnly:
        return MessageBox::Ok;
    case MessageBox::OverwriteSaveAsCancel:
        return MessageBox::Overwrite;
    default:
        return MessageBox::Yes;
    }
}
