// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testsupport.h"

#include "gui/app/viewregistry.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString manualText() {
    QFile f(TestEnvironment::manualPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The anchors the help window can scroll to: the anchor names of the manual as a
// rich-text document reads it.
QSet<QString> anchorsOf(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    QSet<QString> names;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                names.insert(name);
    return names;
}

QStringList captures(const QString& text, const QString& pattern) {
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured(1));
    return found;
}

QTextBrowser* helpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"ヘルプ"_s && w->isVisible())
            return qobject_cast<QTextBrowser*>(w);
    return nullptr;
}

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

// The manual and the way the windows reach it: every window has its section, the
// manual has an anchor for each section, its links and pictures are there, and it is
// found beside the program or where an installation puts it.
class TestHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWindowHasASectionThatTheManualHolds() {
        TestEnvironment env(at(2005, 5, 10));
        env.newYear(2005);
        registerViews(*env.nav, env.app);
        QStringList windows;
        CalendarWindow calendar(env.app, *env.nav);
        calendar.timer()->stop();
        windows << calendar.objectName();
        for (View v : {View::Diary, View::Weekly, View::Monthly, View::Main, View::ToDoList,
                       View::RecordStats, View::ItemStats, View::Search}) {
            NavWindow* w = env.nav->ensure(v);
            QVERIFY(w);
            windows << w->widget()->objectName();
        }
        auto* main = static_cast<MainWindow*>(env.nav->window(View::Main)->widget());
        windows << main->showAnnual(env.app.doc())->objectName();

        const QSet<QString> anchors = anchorsOf(manualText());
        QVERIFY2(!anchors.isEmpty(), qPrintable(TestEnvironment::manualPath()));
        QSet<QString> used;
        for (const QString& name : windows) {
            const QString section = Help::sectionOf(name);
            QVERIFY2(!section.isEmpty(), qPrintable(name + u" has no section"_s));
            used.insert(section);
        }
        for (const QString& section : Help::sections()) {
            QVERIFY2(anchors.contains(section), qPrintable(section + u" is no anchor"_s));
            QVERIFY2(used.contains(section), qPrintable(section + u" is no window's"_s));
        }
        QVERIFY(Help::sectionOf(u"ヘルプ"_s).isEmpty());
        QVERIFY(Help::sectionOf(QString()).isEmpty());
    }

    void theManualsLinksAndPicturesAreThere() {
        const QString html = manualText();
        const QSet<QString> anchors = anchorsOf(html);
        const QStringList links = captures(html, u"href=\"#([^\"]*)\""_s);
        QVERIFY(links.size() >= Help::sections().size()); // the table of contents
        for (const QString& link : links)
            QVERIFY2(anchors.contains(link), qPrintable(u"#"_s + link));

        const QDir doc = QFileInfo(TestEnvironment::manualPath()).dir();
        const QStringList pictures = captures(html, u"<img[^>]*src=\"([^\"]+)\""_s);
        QVERIFY(!pictures.isEmpty());
        for (const QString& picture : pictures) {
            QVERIFY2(!QDir::isAbsolutePath(picture), qPrintable(picture));
            QVERIFY2(QImage(doc.filePath(picture)).width() > 0, qPrintable(picture));
        }
        // Every picture kept with the manual is shown in it (and installed with it).
        QDirIterator it(doc.filePath(u"help"_s), {u"*.png"_s}, QDir::Files);
        while (it.hasNext()) {
            const QString name = u"help/"_s + QFileInfo(it.next()).fileName();
            QVERIFY2(pictures.contains(name), qPrintable(name + u" is not shown"_s));
        }
    }

    void theManualIsFoundBesideTheProgramOrInTheInstalledLayout() {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(u"bin"_s);
        QDir().mkpath(bin);
        const QString beside = bin + u"/daylogHelp.html"_s;
        const QString installed = prefix.filePath(u"share/daylog/daylogHelp.html"_s);

        // Neither: the one beside the program (which then says there is none).
        QCOMPARE(Help::helpPathIn(bin), beside);
        touch(installed);
        QCOMPARE(Help::helpPathIn(bin), installed);
        // A folder of that name is no manual.
        QDir().mkpath(beside);
        QCOMPARE(Help::helpPathIn(bin), installed);
        QDir(beside).removeRecursively();
        touch(beside);
        QCOMPARE(Help::helpPathIn(bin), beside);
    }

    void theHelpWindowShowsTheSectionAsked() {
        // The program's own help window, not the scripted one.
        Help::install(nullptr);
        const QString manual = TestEnvironment::manualPath();
        QString error;
        QVERIFY(Help::show(nullptr, manual, u"diary"_s, &error));
        QTextBrowser* browser = helpWindow();
        QVERIFY(browser);
        QVERIFY(QTest::qWaitForWindowExposed(browser));
        QCOMPARE(browser->source().toLocalFile(), QFileInfo(manual).absoluteFilePath());
        QCOMPARE(browser->source().fragment(), u"diary"_s);
        QVERIFY(browser->verticalScrollBar()->value() > 0);

        // The same window, at the top.
        QVERIFY(Help::show(nullptr, manual, QString(), &error));
        QCOMPARE(helpWindow(), browser);
        QVERIFY(browser->source().fragment().isEmpty());
        QCOMPARE(browser->verticalScrollBar()->value(), 0);

        const QString missing = QDir::temp().filePath(u"daylog-no-such-manual.html"_s);
        QVERIFY(!Help::show(nullptr, missing, u"diary"_s, &error));
        QVERIFY2(error.contains(missing), qPrintable(error));

        QPointer<QTextBrowser> gone = browser;
        QTest::keyClick(browser, Qt::Key_Escape); // Escape closes it
        QTRY_VERIFY(gone.isNull());
        Help::closeAll(); // nothing left to close
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
