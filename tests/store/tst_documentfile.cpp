#include "grid/gridmodel.h"
#include "platform/clock.h"
#include "store/appstate.h"
#include "store/documentfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDocumentFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(2006, 2, 10), QTime(9, 30))));
    }
    void cleanup() { Clock::install(nullptr); }
    void savePathTakesTheKindsExtension_data();
    void savePathTakesTheKindsExtension();
    void commandLineLosesOnlyItsQuotes_data();
    void commandLineLosesOnlyItsQuotes();
    void onlyYearShapedGridsLoad_data();
    void onlyYearShapedGridsLoad();
    void savedAndLoadedDocumentKeepsTextsAndColours();
    void saveToMissingFolderFailsAndKeepsStore();
};

void TestDocumentFile::savePathTakesTheKindsExtension_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("path");

    const QString dys = u".dys"_s;
    QTest::newRow("own extension") << u"/data/diary2006.dys"_s << dys << u"/data/diary2006.dys"_s;
    QTest::newRow("other extension") << u"/data/plan.txt"_s << dys << u"/data/plan.dys"_s;
    QTest::newRow("no extension") << u"/data/plan"_s << dys << u"/data/plan.dys"_s;
    QTest::newRow("two-letter extension") << u"/data/plan.md"_s << dys << u"/data/plan.md.dys"_s;
    QTest::newRow("dots in title") << u"/data/a.b.c.txt"_s << dys << u"/data/a.b.c.dys"_s;
    QTest::newRow("no folder") << u"plan.txt"_s << dys << u"plan.dys"_s;
    QTest::newRow("record template") << u"/data/rec.dys"_s << u".dyy"_s << u"/data/rec.dyy"_s;
}

void TestDocumentFile::savePathTakesTheKindsExtension() {
    QFETCH(QString, chosen);
    QFETCH(QString, ext);
    QFETCH(QString, path);
    QCOMPARE(DocFiles::savePath(chosen, ext), path);
}

void TestDocumentFile::commandLineLosesOnlyItsQuotes_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("path");

    QTest::newRow("quoted") << u"\"/my data/a.dys\""_s << u"/my data/a.dys"_s;
    QTest::newRow("unquoted with blank") << u"/my data/a.dys"_s << u"/my data/a.dys"_s;
    QTest::newRow("text after the quote") << u"\"/a.dys\" -x"_s << u"/a.dys\" -"_s;
}

void TestDocumentFile::commandLineLosesOnlyItsQuotes() {
    QFETCH(QString, commandLine);
    QFETCH(QString, path);
    QCOMPARE(commandLineDocPath(commandLine), path);
}

// Grid files of several shapes: only 367 rows of 19 or 20 columns with a year in (0,0) load.
void TestDocumentFile::onlyYearShapedGridsLoad_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("corner");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("20 columns") << 367 << 20 << u"2005"_s << true;
    QTest::newRow("19 columns, annual window") << 367 << 19 << u"2005"_s << true;
    QTest::newRow("year with blanks") << 367 << 20 << u" 2005 "_s << true;
    QTest::newRow("366 rows") << 366 << 20 << u"2005"_s << false;
    QTest::newRow("18 columns") << 367 << 18 << u"2005"_s << false;
    QTest::newRow("21 columns") << 367 << 21 << u"2005"_s << false;
    QTest::newRow("empty corner") << 367 << 20 << QString() << false;
    QTest::newRow("year then text") << 367 << 20 << u"2005年"_s << false;
    QTest::newRow("negative year") << 367 << 20 << u"-2005"_s << false;
}

void TestDocumentFile::onlyYearShapedGridsLoad() {
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QString, corner);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"grid.dys"_s);
    GridModel grid(rows, cols);
    grid.setTextMatrix(0, 0, corner);
    grid.setTextMatrix(5, StoreCol::SlotText1, u"買い物"_s);
    grid.setForeColorAt(5, StoreCol::Weekday, 255);
    grid.setBackColorAt(5, StoreCol::Record, 0xC0FFC0);
    QVERIFY(grid.saveGrid(path).ok());

    AppState app;
    YearStore year;
    year.set(7, 3, u"前の内容"_s);
    const FileResult r = DocFiles::readDocument(path, year);
    if (!accepted) {
        QCOMPARE(r.code, FileResult::NotADocument);
        QCOMPARE(year.text(0, 0), QString());
        QCOMPARE(year.text(7, 3), u"前の内容"_s);
        return;
    }
    QVERIFY(r.ok());
    app.doc().replace(year);
    QVERIFY(!app.docChanged());
    setCurrentDateToToday(app);
    QCOMPARE(app.baseYear(), 2005);
    QCOMPARE(app.currentDate(), QDate(2006, 2, 10));
    QCOMPARE(app.store().text(5, StoreCol::SlotText1), u"買い物"_s);
    QCOMPARE(app.store().number(5, StoreCol::WeekdayFore), 255);
    QCOMPARE(app.store().number(5, StoreCol::RecordBack), 0xC0FFC0);

    // Saved again from the calendar's side, every document has the twentieth column.
    app.doc().setPath(dir.filePath(u"again.dys"_s));
    QVERIFY(DocFiles::writeDocument(app.store(), 20, app.docPath()).ok());
    GridModel again;
    QVERIFY(again.loadGrid(app.docPath()).ok());
    QCOMPARE(again.cols(), 20);
    QCOMPARE(again.textMatrix(5, StoreCol::SlotText1), u"買い物"_s);
}

void TestDocumentFile::savedAndLoadedDocumentKeepsTextsAndColours() {
    QTemporaryDir dir;
    AppState app;
    app.doc().setPath(dir.filePath(u"diary2005.dys"_s));
    setCurrentDateToToday(app, 2005);
    Store_New(app, 2005);
    YearStore& s = app.store();
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        for (int c = StoreCol::Record; c < StoreCol::TextColumns; ++c)
            s.set(r, c, QStringLiteral("%1:%2 a\tb\nc\\d\r記録").arg(r).arg(c));
        for (int c = StoreCol::EventsFore; c <= StoreCol::RecordBack; ++c)
            s.set(r, c, qint64(r % 3 == 0 ? 0x80000005 : 0xFFFFFF - r * c));
    }
    QVERIFY(DocFiles::writeDocument(app.store(), 20, app.docPath()).ok());

    AppState loaded;
    YearStore year;
    const FileResult r = DocFiles::readDocument(app.docPath(), year);
    QVERIFY2(r.ok(), qPrintable(r.loadMessage(app.docPath())));
    loaded.doc().replace(year);
    setCurrentDateToToday(loaded);
    QCOMPARE(loaded.baseYear(), 2005);
    QCOMPARE(loaded.currentDate(), QDate(2006, 2, 10));
    GridModel file;
    QVERIFY(file.loadGrid(app.docPath()).ok());
    for (int row = 0; row <= YearStore::DayRows; ++row)
        for (int c = 0; c < StoreCol::TextColumns; ++c)
            QCOMPARE(loaded.store().text(row, c), s.text(row, c));
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        QCOMPARE(loaded.store().number(row, StoreCol::WeekdayFore),
                 qint64(file.cellAt(row, StoreCol::Weekday).fore));
        QCOMPARE(loaded.store().number(row, StoreCol::WeekdayFore),
                 s.number(row, StoreCol::WeekdayFore));
        for (int c = StoreCol::EventsFore; c <= StoreCol::RecordBack; ++c)
            QCOMPARE(loaded.store().number(row, c), s.number(row, c));
    }
}

void TestDocumentFile::saveToMissingFolderFailsAndKeepsStore() {
    QTemporaryDir dir;
    AppState app;
    setCurrentDateToToday(app, 2005);
    Store_New(app, 2005);
    app.store().set(10, StoreCol::Record, u"消えない記録"_s);
    app.doc().setPath(dir.filePath(u"missing/diary.dys"_s));
    const FileResult r = DocFiles::writeDocument(app.store(), 20, app.docPath());
    QCOMPARE(r.code, FileResult::WriteFailed);
    QVERIFY(!QFile::exists(app.docPath()));
    QCOMPARE(app.store().text(10, StoreCol::Record), u"消えない記録"_s);
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
