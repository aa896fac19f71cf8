// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The buttons that read the same whatever the translation of Qt's own.
const QString OverwriteText = u"上書き"_s;
const QString SaveAsText = u"名前を付けて保存"_s;
const QString CancelText = u"キャンセル"_s;

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
        // Each button is known by what it answers: exec()'s own result is a standard
        // button's code or, for a button with a text of ours, an index.
        QHash<QAbstractButton*, MessageBox::Button> answers;
        for (const MessageBox::Button b : MessageBox::buttonsOf(r.buttons))
            answers.insert(add(box, b), b);
        for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
            if (it.value() == r.defaultButton)
                box.setDefaultButton(qobject_cast<QPushButton*>(it.key()));
            if (it.value() == MessageBox::escapeButton(r.buttons))
                box.setEscapeButton(it.key());
        }
        box.exec();
        // No button clicked (the box closed some other way) is the escape answer.
        return answers.value(box.clickedButton(), MessageBox::escapeButton(r.buttons));
    }

private:
    static QAbstractButton* add(QMessageBox& box, MessageBox::Button b) {
        switch (b) {
        case MessageBox::Ok:
            return box.addButton(QMessageBox::Ok);
        case MessageBox::Yes:
            return box.addButton(QMessageBox::Yes);
        case MessageBox::No:
            return box.addButton(QMessageBox::No);
        case MessageBox::Cancel: {
            QPushButton* cancel = box.addButton(QMessageBox::Cancel);
            cancel->setText(CancelText);
            return cancel;
        }
        case MessageBox::Overwrite:
            return box.addButton(OverwriteText, QMessageBox::AcceptRole);
        case MessageBox::SaveAs:
            return box.addButton(SaveAsText, QMessageBox::ActionRole);
        }
        return nullptr;
    }
};

std::unique_ptr<MessageBox::Backend>& backend() {
    static std::unique_ptr<MessageBox::Backend> b = std::make_unique<QtMessageBox>();
    return b;
}

} // namespace

MessageBox::Button MessageBox::show(QWidget* parent, const QString& text, Buttons buttons,
                                    Icon icon, const QString& title) {
    return show(parent, text, buttons, naturalDefault(buttons), icon, title);
}

MessageBox::Button MessageBox::show(QWidget* parent, const QString& text, Buttons buttons,
                                    Button defaultButton, Icon icon, const QString& title) {
    if (!buttonsOf(buttons).contains(defaultButton)) {
        qWarning("MessageBox: the default button is not one of the box's");
        defaultButton = naturalDefault(buttons);
    }
    return backend()->show(
        parent, {text, title.isEmpty() ? defaultTitle() : title, buttons, icon, defaultButton});
}

QString MessageBox::defaultTitle() {
    return QStringLiteral("DayLog");
}

QList<MessageBox::Button> MessageBox::buttonsOf(Buttons buttons) {
    switch (buttons) {
    case OkOnly:
        return {Ok};
    case YesNo:
        return {Yes, No};
    case YesNoCancel:
        return {Yes, No, Cancel};
    case OverwriteSaveAsCancel:
        return {Overwrite, SaveAs, Cancel};
    }
    return {Ok};
}

MessageBox::Button MessageBox::naturalDefault(Buttons buttons) {
    return buttons == OverwriteSaveAsCancel ? SaveAs : buttonsOf(buttons).constFirst();
}

MessageBox::Button MessageBox::escapeButton(Buttons buttons) {
    const QList<Button> set = buttonsOf(buttons);
    return set.contains(Cancel) ? Cancel : set.contains(No) ? No : Ok;
}

void MessageBox::install(std::unique_ptr<Backend> b) {
    backend() = b ? std::move(b) : std::make_unique<QtMessageBox>();
}
