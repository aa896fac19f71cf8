// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/messagebox.h"
#include "support/doubles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;
using MB = MessageBox;

Q_DECLARE_METATYPE(MessageBox::Buttons)

namespace {

// Shows a real box and, once it is the modal window, does `act` to it.
MB::Button showAndDo(MB::Buttons set, std::optional<MB::Button> defaultButton,
                     const std::function<void(QMessageBox*)>& act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        act(box);
    });
    poll->start();
    return defaultButton ? MB::show(nullptr, u"テスト"_s, set, *defaultButton, MB::Question)
                         : MB::show(nullptr, u"テスト"_s, set, MB::Question);
}

// What a button should answer, by what it is and reads; nullopt for a stranger.
std::optional<MB::Button> meaning(QMessageBox* box, QAbstractButton* button) {
    const QString text = button->text();
    switch (box->standardButton(button)) {
    case QMessageBox::Ok:
        return MB::Ok;
    case QMessageBox::Yes:
        return MB::Yes;
    case QMessageBox::No:
        return MB::No;
    default:
        return text == u"キャンセル"_s         ? std::optional(MB::Cancel)
               : text == u"上書き"_s           ? std::optional(MB::Overwrite)
               : text == u"名前を付けて保存"_s ? std::optional(MB::SaveAs)
                                               : std::nullopt;
    }
}

} // namespace

class TestMessageBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWayOfClosingABoxAnswersAsItShould_data();
    void everyWayOfClosingABoxAnswersAsItShould();
    void scriptedDoubleRecordsTheDefaultAndAnswersAsBefore();
};

void TestMessageBox::everyWayOfClosingABoxAnswersAsItShould_data() {
    QTest::addColumn<MB::Buttons>("set");
    QTest::addColumn<QList<int>>("buttons"); // what the box offers
    QTest::addColumn<int>("ownDefault");     // what Return gives unless told otherwise
    QTest::addColumn<int>("escape");         // what Escape and the close box give
    QTest::newRow("OK") << MB::OkOnly << QList<int>{MB::Ok} << int(MB::Ok) << int(MB::Ok);
    QTest::newRow("yes/no") << MB::YesNo << QList<int>{MB::Yes, MB::No} << int(MB::Yes)
                            << int(MB::No);
    QTest::newRow("yes/no/cancel: Escape is cancel, never no")
        << MB::YesNoCancel << QList<int>{MB::Yes, MB::No, MB::Cancel} << int(MB::Yes)
        << int(MB::Cancel);
    QTest::newRow("overwrite: its own default saves elsewhere")
        << MB::OverwriteSaveAsCancel << QList<int>{MB::Overwrite, MB::SaveAs, MB::Cancel}
        << int(MB::SaveAs) << int(MB::Cancel);
}

// The Qt box itself, offscreen. Return gives the default button (the set's own unless
// another of the box's is chosen); Escape and the close box give Cancel wherever it
// is offered, whatever the default; a click gives the button clicked, which reads
// what it answers (キャンセル, 上書き, 名前を付けて保存).
void TestMessageBox::everyWayOfClosingABoxAnswersAsItShould() {
    QFETCH(MB::Buttons, set);
    QFETCH(QList<int>, buttons);
    QFETCH(int, ownDefault);
    QFETCH(int, escape);
    const auto key = [](Qt::Key k) { return [k](QMessageBox* box) { QTest::keyClick(box, k); }; };
    const auto answers = [&](std::optional<MB::Button> given,
                             const std::function<void(QMessageBox*)>& act) {
        const int answer = showAndDo(set, given, act);
        return !QApplication::activeModalWidget() ? answer : -1;
    };

    QList<std::optional<MB::Button>> defaults = {std::nullopt};
    for (const int b : buttons)
        defaults << MB::Button(b);
    for (const auto& given : defaults) {
        QCOMPARE(answers(given, key(Qt::Key_Return)), given ? int(*given) : ownDefault);
        QCOMPARE(answers(given, key(Qt::Key_Escape)), escape);
        QCOMPARE(answers(given, [](QMessageBox* box) { box->close(); }), escape);
    }
    const MB::Button stranger = set == MB::OverwriteSaveAsCancel ? MB::Yes : MB::Overwrite;
    QTest::ignoreMessage(QtWarningMsg, "MessageBox: the default button is not one of the box's");
    QCOMPARE(answers(stranger, key(Qt::Key_Return)), ownDefault);

    QList<int> offered;
    for (int i = 0; i < buttons.size(); ++i) {
        std::optional<MB::Button> reads;
        const int answer = answers(std::nullopt, [&](QMessageBox* box) {
            QCOMPARE(box->buttons().size(), buttons.size());
            reads = meaning(box, box->buttons().at(i));
            QTest::mouseClick(box->buttons().at(i), Qt::LeftButton);
        });
        QVERIFY(reads);
        QCOMPARE(answer, int(*reads));
        offered << answer;
    }
    std::sort(offered.begin(), offered.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(offered, buttons);
}

// Tests script answers as before: the queue first, then the box's first button; what
// they see includes the title (the program's when none is given) and the default.
void TestMessageBox::scriptedDoubleRecordsTheDefaultAndAnswersAsBefore() {
    auto owned = std::make_unique<ScriptedMessageBox>();
    ScriptedMessageBox* scripted = owned.get();
    MB::install(std::move(owned));
    QCOMPARE(MB::show(nullptr, u"a"_s), MB::Ok);
    QCOMPARE(MB::show(nullptr, u"b"_s, MB::YesNo), MB::Yes);
    QCOMPARE(MB::show(nullptr, u"c"_s, MB::OverwriteSaveAsCancel, MB::Warning), MB::Overwrite);
    scripted->answers = {MB::Cancel, MB::SaveAs};
    QCOMPARE(MB::show(nullptr, u"d"_s, MB::YesNoCancel, MB::Cancel, MB::Question, u"題"_s),
             MB::Cancel);
    QCOMPARE(MB::show(nullptr, u"e"_s, MB::OverwriteSaveAsCancel, MB::Overwrite), MB::SaveAs);
    QCOMPARE(MB::show(nullptr, u"f"_s, MB::YesNoCancel), MB::Yes);

    const auto row = [](const QString& text, const QString& title, MB::Buttons buttons,
                        MB::Icon icon, MB::Button defaultButton) {
        return u"%1|%2|%3|%4|%5"_s.arg(text, title).arg(buttons).arg(icon).arg(defaultButton);
    };
    QStringList got;
    for (const MB::Request& r : scripted->shown)
        got << row(r.text, r.title, r.buttons, r.icon, r.defaultButton);
    const QString title = MB::defaultTitle();
    QCOMPARE(got,
             (QStringList{row(u"a"_s, title, MB::OkOnly, MB::NoIcon, MB::Ok),
                          row(u"b"_s, title, MB::YesNo, MB::NoIcon, MB::Yes),
                          row(u"c"_s, title, MB::OverwriteSaveAsCancel, MB::Warning, MB::SaveAs),
                          row(u"d"_s, u"題"_s, MB::YesNoCancel, MB::Question, MB::Cancel),
                          row(u"e"_s, title, MB::OverwriteSaveAsCancel, MB::NoIcon, MB::Overwrite),
                          row(u"f"_s, title, MB::YesNoCancel, MB::NoIcon, MB::Yes)}));
    MB::install(nullptr);
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
