// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"
#include "gui/grid/gridcommands.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/messagebox.h"
#include "support/doubles.h"

#include <QtTest>

// Cut, copy and paste of grid blocks through the clipboard, with the messages of a
// refused paste.
class TestGridCommands : public QObject {
    Q_OBJECT

    ScriptedClipboard* clip = nullptr;
    ScriptedMessageBox* messages = nullptr;

    static void fill(GridModel& g) {
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                g.setTextMatrix(r, c, QStringLiteral("%1%2").arg(QChar(u'A' + c)).arg(r));
    }

private Q_SLOTS:
    void init() {
        auto c = std::make_unique<ScriptedClipboard>();
        clip = c.get();
        Clipboard::install(std::move(c));
        auto m = std::make_unique<ScriptedMessageBox>();
        messages = m.get();
        MessageBox::install(std::move(m));
    }
    void cleanup() {
        Clipboard::install(nullptr);
        MessageBox::install(nullptr);
    }

    void cutPutsTheBlockOnTheClipboardAndPasteWritesItBack() {
        GridModel g(6, 5);
        fill(g);
        Grid_Cut(1, 1, 2, 2, g);
        QCOMPARE(clip->content, QStringLiteral("B1\tC1\r\nB2\tC2\r\n"));
        QCOMPARE(g.textMatrix(1, 1), QString());
        QCOMPARE(g.textMatrix(2, 2), QString());
        Grid_Paste(3, 4, g.cols(), g.rows(), g);
        QCOMPARE(g.textMatrix(4, 3), QStringLiteral("B1"));
        QCOMPARE(g.textMatrix(5, 4), QStringLiteral("C2"));
        QVERIFY(messages->shown.isEmpty());

        Grid_Copy(3, 4, 3, 4, g);
        QCOMPARE(clip->content, QStringLiteral("B1\r\n"));
        Grid_PasteAdd(0, 0, 0, 0, g);
        QCOMPARE(g.textMatrix(0, 0), QStringLiteral("A0B1"));
    }

    void aRefusedPasteSaysWhyAndWritesNothing_data() {
        QTest::addColumn<bool>("holdsText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("コピー先の範囲が不適当です");
        QTest::newRow("no text") << false << QString() << 1 << 1
                                 << QStringLiteral("コピーが正しくできていません。");
        QTest::newRow("past the last row")
            << true << QStringLiteral("x\r\ny\r\n") << 5 << 0 << range;
        QTest::newRow("past the last column")
            << true << QStringLiteral("x\ty\r\n") << 0 << 4 << range;
        QTest::newRow("more than 400 lines")
            << true << QStringLiteral("x\r\n").repeated(401) << 0 << 0 << range;
        QTest::newRow("more than 56 fields")
            << true << QStringLiteral("x\t").repeated(56) + QStringLiteral("\r\n") << 0 << 0
            << range;
    }
    void aRefusedPasteSaysWhyAndWritesNothing() {
        QFETCH(bool, holdsText);
        QFETCH(QString, text);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, message);
        GridModel g(6, 5);
        fill(g);
        GridModel before(6, 5);
        fill(before);
        if (holdsText)
            clip->setText(text);
        Grid_Paste(col, row, 0, 0, g);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown[0].text, message);
        QCOMPARE(messages->shown[0].buttons, MessageBox::OkOnly);
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                QCOMPARE(g.textMatrix(r, c), before.textMatrix(r, c));
    }

    void textWithoutALineEndWritesNothingAndSaysNothing() {
        GridModel g(3, 3);
        clip->setText(QStringLiteral("x"));
        Grid_Paste(1, 1, 0, 0, g);
        QCOMPARE(g.textMatrix(1, 1), QString());
        QVERIFY(messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestGridCommands)
#include "tst_gridcommands.moc"
