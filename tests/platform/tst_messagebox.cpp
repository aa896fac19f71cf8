#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;
using MB = MessageBox;

Q_DECLARE_METATYPE(MessageBox::Button)
Q_DECLARE_METATYPE(MessageBox::Buttons)

namespace {

struct Seen {
    QStringList texts;   // the buttons as they read
    QString defaultText; // the button Return answers
    QList<QAbstractButton*> buttons;
};

// Shows a real box and, once it is the modal window, does `act` to it.
MB::Button showAndDo(MB::Buttons set, std::optional<MB::Button> defaultButton,
                     const std::function<void(QMessageBox*, const Seen&)>& act,
                     Seen* seen = nullptr) {
    Seen local;
    Seen& s = seen ? *seen : local;
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [&s, poll, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        s.buttons = box->buttons();
        for (QAbstractButton* b : s.buttons)
            s.texts << b->text();
        if (box->defaultButton())
            s.defaultText = box->defaultButton()->text();
        act(box, s);
    });
    poll->start();
    return defaultButton ? MB::show(nullptr, u"テスト"_s, set, *defaultButton, MB::Question)
                         : MB::show(nullptr, u"テスト"_s, set, MB::Question);
}

} // namespace

class TestMessageBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keysAndCloseBoxAnswerAsTheyShould_data();
    void keysAndCloseBoxAnswerAsTheyShould();
    void everyButtonAnswersWhatItReads();
    void scriptedDoubleRecordsTheDefaultAndAnswersAsBefore();
};

void TestMessageBox::keysAndCloseBoxAnswerAsTheyShould_data() {
    QTest::addColumn<MB::Buttons>("set");
    QTest::addColumn<int>("defaultButton"); // -1: the set's own
    QTest::addColumn<QString>("action");
    QTest::addColumn<MB::Button>("expected");

    QTest::newRow("OK, Escape") << MB::OkOnly << -1 << u"Escape"_s << MB::Ok;
    QTest::newRow("OK, Return") << MB::OkOnly << -1 << u"Return"_s << MB::Ok;
    QTest::newRow("OK, close box") << MB::OkOnly << -1 << u"close"_s << MB::Ok;
    QTest::newRow("yes/no, Escape is no") << MB::YesNo << -1 << u"Escape"_s << MB::No;
    QTest::newRow("yes/no, Return is yes") << MB::YesNo << -1 << u"Return"_s << MB::Yes;
    QTest::newRow("yes/no, default no, Return")
        << MB::YesNo << int(MB::No) << u"Return"_s << MB::No;
    QTest::newRow("yes/no/cancel, Escape is cancel, never no")
        << MB::YesNoCancel << int(MB::Yes) << u"Escape"_s << MB::Cancel;
    QTest::newRow("yes/no/cancel, close box is cancel")
        << MB::YesNoCancel << int(MB::Yes) << u"close"_s << MB::Cancel;
    QTest::newRow("yes/no/cancel, default yes, Return")
        << MB::YesNoCancel << int(MB::Yes) << u"Return"_s << MB::Yes;
    QTest::newRow("yes/no/cancel, default no, Return")
        << MB::YesNoCancel << int(MB::No) << u"Return"_s << MB::No;
    QTest::newRow("yes/no/cancel, default cancel, Return")
        << MB::YesNoCancel << int(MB::Cancel) << u"Return"_s << MB::Cancel;
    QTest::newRow("yes/no/cancel, the set's own default, Return")
        << MB::YesNoCancel << -1 << u"Return"_s << MB::Yes;
    QTest::newRow("overwrite, Escape is cancel")
        << MB::OverwriteSaveAsCancel << -1 << u"Escape"_s << MB::Cancel;
    QTest::newRow("overwrite, close box is cancel")
        << MB::OverwriteSaveAsCancel << int(MB::Overwrite) << u"close"_s << MB::Cancel;
    QTest::newRow("overwrite, Return on its own default saves elsewhere")
        << MB::OverwriteSaveAsCancel << -1 << u"Return"_s << MB::SaveAs;
    QTest::newRow("overwrite, default overwrite, Return")
        << MB::OverwriteSaveAsCancel << int(MB::Overwrite) << u"Return"_s << MB::Overwrite;
    QTest::newRow("overwrite, a default not in the set is the set's own")
        << MB::OverwriteSaveAsCancel << int(MB::Yes) << u"Return"_s << MB::SaveAs;
}

// The Qt box itself, offscreen: Return gives the default button, Escape and the close
// box give Cancel wherever Cancel is offered.
void TestMessageBox::keysAndCloseBoxAnswerAsTheyShould() {
    QFETCH(MB::Buttons, set);
    QFETCH(int, defaultButton);
    QFETCH(QString, action);
    QFETCH(MB::Button, expected);
    if (defaultButton == int(MB::Yes) && set == MB::OverwriteSaveAsCancel)
        QTest::ignoreMessage(QtWarningMsg,
                             "MessageBox: the default button is not one of the box's");
    const auto act = [action](QMessageBox* box, const Seen&) {
        if (action == u"close"_s)
            box->close();
        else
            QTest::keyClick(box, action == u"Escape"_s ? Qt::Key_Escape : Qt::Key_Return);
    };
    const std::optional<MB::Button> given =
        defaultButton < 0 ? std::nullopt : std::optional(MB::Button(defaultButton));
    QCOMPARE(showAndDo(set, given, act), expected);
    QVERIFY(!QApplication::activeModalWidget());
}

// Clicking each button of each set answers that button; the new set reads 上書き,
// 名前を付けて保存, キャンセル, and キャンセル reads so in every set.
void TestMessageBox::everyButtonAnswersWhatItReads() {
    for (const MB::Buttons set :
         {MB::OkOnly, MB::YesNo, MB::YesNoCancel, MB::OverwriteSaveAsCancel}) {
        const QList<MB::Button> offered = MB::buttonsOf(set);
        QList<int> answered;
        QStringList byText; // "text=answer"

        for (int i = 0; i < offered.size(); ++i) {
            Seen seen;
            const MB::Button answer = showAndDo(
                set, std::nullopt,
                [i](QMessageBox*, const Seen& s) {
                    QTest::mouseClick(s.buttons.at(i), Qt::LeftButton);
                },
                &seen);
            QCOMPARE(seen.buttons.size(), offered.size());
            answered << int(answer);
            byText << seen.texts.at(i) + u'=' + QString::number(int(answer));
        }
        QList<int> want;
        for (const MB::Button b : offered)
            want << int(b);
        std::sort(answered.begin(), answered.end());
        std::sort(want.begin(), want.end());
        QCOMPARE(answered, want);
        const auto reads = [](const QString& text, MB::Button b) {
            return text + u'=' + QString::number(int(b));
        };
        if (set == MB::YesNoCancel)
            QVERIFY(byText.contains(reads(u"キャンセル"_s, MB::Cancel)));
        if (set == MB::OverwriteSaveAsCancel) {
            byText.sort();
            QStringList texts = {reads(u"上書き"_s, MB::Overwrite),
                                 reads(u"名前を付けて保存"_s, MB::SaveAs),
                                 reads(u"キャンセル"_s, MB::Cancel)};
            texts.sort();
            QCOMPARE(byText, texts);
        }
    }
}

// Tests script answers as before: the queue first, then Ok or the box's first button;
// what they see includes the default button.
void TestMessageBox::scriptedDoubleRecordsTheDefaultAndAnswersAsBefore() {
    auto owned = std::make_unique<ScriptedMessageBox>();
    ScriptedMessageBox* scripted = owned.get();
    MB::install(std::move(owned));
    QCOMPARE(MB::show(nullptr, u"a"_s), MB::Ok);
    QCOMPARE(MB::show(nullptr, u"b"_s, MB::YesNo), MB::Yes);
    QCOMPARE(MB::show(nullptr, u"c"_s, MB::YesNoCancel, MB::Question), MB::Yes);
    QCOMPARE(MB::show(nullptr, u"d"_s, MB::OverwriteSaveAsCancel, MB::Warning), MB::Overwrite);
    scripted->answers = {MB::Cancel, MB::SaveAs};
    QCOMPARE(MB::show(nullptr, u"e"_s, MB::YesNoCancel, MB::Cancel, MB::Question, u"題"_s),
             MB::Cancel);
    QCOMPARE(MB::show(nullptr, u"f"_s, MB::OverwriteSaveAsCancel, MB::Overwrite), MB::SaveAs);
    QCOMPARE(MB::show(nullptr, u"g"_s, MB::YesNoCancel), MB::Yes);

    const auto row = [](const QString& text, const QString& title, MB::Buttons buttons,
                        MB::Icon icon, MB::Button defaultButton) {
        return u"%1|%2|%3|%4|%5"_s.arg(text, title)
            .arg(int(buttons))
            .arg(int(icon))
            .arg(int(defaultButton));
    };
    QStringList got;
    for (const MB::Request& r : scripted->shown)
        got << row(r.text, r.title, r.buttons, r.icon, r.defaultButton);
    const QString title = MB::defaultTitle();
    const QStringList want = {
        row(u"a"_s, title, MB::OkOnly, MB::NoIcon, MB::Ok),
        row(u"b"_s, title, MB::YesNo, MB::NoIcon, MB::Yes),
        row(u"c"_s, title, MB::YesNoCancel, MB::Question, MB::Yes),
        row(u"d"_s, title, MB::OverwriteSaveAsCancel, MB::Warning, MB::SaveAs),
        row(u"e"_s, u"題"_s, MB::YesNoCancel, MB::Question, MB::Cancel),
        row(u"f"_s, title, MB::OverwriteSaveAsCancel, MB::NoIcon, MB::Overwrite),
        row(u"g"_s, title, MB::YesNoCancel, MB::NoIcon, MB::Yes),
    };
    QCOMPARE(got, want);
    MB::install(nullptr);
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
