#include "grid/gridmodel.h"
#include "platform/clock.h"
#include "store/appstate.h"
#include "store/documentfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A valid grid file of the given shape with `corner` in cell (0,0).
QString writeGrid(const QTemporaryDir& dir, const QString& name, int rows, int cols,
                  const QString& corner) {
    GridModel grid(rows, cols);
    grid.setTextMatrix(0, 0, corner);
    const QString path = dir.filePath(name);
    return grid.saveGrid(path).ok() ? path : QString();
}
} // namespace

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
    void onlyYearShapedGridsAreDocuments_data();
    void onlyYearShapedGridsAreDocuments();
    void savedAndLoadedDocumentKeepsTextsAndColours();
    void documentOfNineteenColumnsLoads();
    void failedLoadLeavesBufferAsItWas_data();
    void failedLoadLeavesBufferAsItWas();
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
    QTest::newRow("dot in folder") << u"/my.data/plan"_s << dys << u"/my.data/plan.dys"_s;
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
    QTest::newRow("lone quote") << u"\""_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestDocumentFile::commandLineLosesOnlyItsQuotes() {
    QFETCH(QString, commandLine);
    QFETCH(QString, path);
    QCOMPARE(commandLineDocPath(commandLine), path);
}

void TestDocumentFile::onlyYearShapedGridsAreDocuments_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("corner");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("20 columns") << 367 << 20 << u"2005"_s << true;
    QTest::newRow("19 columns") << 367 << 19 << u"2005"_s << true;
    QTest::newRow("year with blanks") << 367 << 20 << u" 2005 "_s << true;
    QTest::newRow("366 rows") << 366 << 20 << u"2005"_s << false;
    QTest::newRow("368 rows") << 368 << 20 << u"2005"_s << false;
    QTest::newRow("18 columns") << 367 << 18 << u"2005"_s << false;
    QTest::newRow("21 columns") << 367 << 21 << u"2005"_s << false;
    QTest::newRow("empty corner") << 367 << 20 << QString() << false;
    QTest::newRow("word in corner") << 367 << 20 << u"年度"_s << false;
    QTest::newRow("year then text") << 367 << 20 << u"2005年"_s << false;
    QTest::newRow("negative year") << 367 << 20 << u"-2005"_s << false;
    QTest::newRow("year 0") << 367 << 20 << u"0"_s << false;
}

void TestDocumentFile::onlyYearShapedGridsAreDocuments() {
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QString, corner);
    QFETCH(bool, accepted);
    GridData data;
    data.rows = rows;
    data.cols = cols;
    data.cells.resize(size_t(rows) * size_t(cols));
    data.cells.front().text = corner;
    const FileResult r = DocFiles::checkDocumentShape(data);
    QCOMPARE(r.code, accepted ? FileResult::Ok : FileResult::NotADocument);
}

void TestDocumentFile::savedAndLoadedDocumentKeepsTextsAndColours() {
    QTemporaryDir dir;
    AppState app;
    app.BaseYear = 2005;
    app.DocPath = dir.filePath(u"diary2005.dys"_s);
    setCurrentDateToToday(app);
    Store_New(app);
    YearStore& s = app.store;
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        for (int c = StoreCol::Record; c < StoreCol::TextColumns; ++c)
            s.set(r, c, QStringLiteral("%1:%2 a\tb\nc\\d\r記録").arg(r).arg(c));
        for (int c = StoreCol::EventsFore; c <= StoreCol::RecordBack; ++c)
            s.set(r, c, qint64(r % 3 == 0 ? 0x80000005 : 0xFFFFFF - r * c));
    }
    QVERIFY(Store_Save(app).ok());

    AppState loaded;
    const FileResult r = DocFiles::loadDocument(app.DocPath, loaded.buffer);
    QVERIFY2(r.ok(), qPrintable(r.loadMessage(app.DocPath)));
    Store_FromBuffer(loaded);
    QCOMPARE(loaded.BaseYear, 2005);
    QCOMPARE(loaded.currentDate(), QDate(2006, 2, 10));
    for (int row = 0; row <= YearStore::DayRows; ++row)
        for (int c = 0; c < StoreCol::TextColumns; ++c)
            QCOMPARE(loaded.store.text(row, c), s.text(row, c));
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        QCOMPARE(loaded.store.number(row, StoreCol::WeekdayFore),
                 qint64(loaded.buffer.cellAt(row, StoreCol::Weekday).fore));
        QCOMPARE(loaded.store.number(row, StoreCol::WeekdayFore),
                 s.number(row, StoreCol::WeekdayFore));
        for (int c = StoreCol::EventsFore; c <= StoreCol::RecordBack; ++c)
            QCOMPARE(loaded.store.number(row, c), s.number(row, c));
    }
}

void TestDocumentFile::documentOfNineteenColumnsLoads() {
    QTemporaryDir dir;
    GridModel annual(367, 19);
    annual.setTextMatrix(0, 0, u"2004"_s);
    annual.setTextMatrix(5, StoreCol::ToDo, u"買い物"_s);
    annual.setForeColorAt(5, StoreCol::Weekday, 255);
    annual.setBackColorAt(5, StoreCol::Record, 0xC0FFC0);
    const QString path = dir.filePath(u"annual.dys"_s);
    QVERIFY(annual.saveGrid(path).ok());

    AppState app;
    QVERIFY(DocFiles::loadDocument(path, app.buffer).ok());
    Store_FromBuffer(app);
    QCOMPARE(app.BaseYear, 2004);
    QCOMPARE(app.currentDate(), QDate(2005, 2, 10));
    QCOMPARE(app.store.text(5, StoreCol::ToDo), u"買い物"_s);
    QCOMPARE(app.store.number(5, StoreCol::WeekdayFore), 255);
    QCOMPARE(app.store.number(5, StoreCol::RecordBack), 0xC0FFC0);
}

// `kind` 0: missing file, 1: not a grid file, 2: truncated, 3..: a grid of the wrong shape.
void TestDocumentFile::failedLoadLeavesBufferAsItWas_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");

    QTest::newRow("missing") << 0 << int(FileResult::NotFound);
    QTest::newRow("foreign file") << 1 << int(FileResult::NotAGridFile);
    QTest::newRow("truncated") << 2 << int(FileResult::Damaged);
    QTest::newRow("too few rows") << 3 << int(FileResult::NotADocument);
    QTest::newRow("no year") << 4 << int(FileResult::NotADocument);
}

void TestDocumentFile::failedLoadLeavesBufferAsItWas() {
    QFETCH(int, kind);
    QFETCH(int, code);
    QTemporaryDir dir;
    QString path = dir.filePath(u"bad.dys"_s);
    if (kind == 1 || kind == 2) {
        QByteArray bytes = "Hello, world\n";
        if (kind == 2) {
            GridModel doc(367, 20);
            doc.setTextMatrix(0, 0, u"2005"_s);
            bytes = doc.toFileImage();
            bytes.chop(bytes.size() / 2);
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    } else if (kind == 3) {
        path = writeGrid(dir, u"short.dys"_s, 366, 20, u"2005"_s);
    } else if (kind == 4) {
        path = writeGrid(dir, u"noyear.dys"_s, 367, 20, u"年度"_s);
    }

    AppState app;
    app.buffer.setTextMatrix(7, 3, u"前の内容"_s);
    app.buffer.setForeColorAt(7, 3, 0x1234);
    const FileResult r = DocFiles::loadDocument(path, app.buffer);
    QCOMPARE(int(r.code), code);
    QCOMPARE(app.buffer.rows(), 367);
    QCOMPARE(app.buffer.cols(), 20);
    QCOMPARE(app.buffer.textMatrix(7, 3), u"前の内容"_s);
    QCOMPARE(app.buffer.cellAt(7, 3).fore, 0x1234u);
}

void TestDocumentFile::saveToMissingFolderFailsAndKeepsStore() {
    QTemporaryDir dir;
    AppState app;
    app.BaseYear = 2005;
    setCurrentDateToToday(app);
    Store_New(app);
    app.store.set(10, StoreCol::Record, u"消えない記録"_s);
    app.DocPath = dir.filePath(u"missing/diary.dys"_s);
    const FileResult r = Store_Save(app);
    QCOMPARE(r.code, FileResult::WriteFailed);
    QVERIFY(!QFile::exists(app.DocPath));
    QCOMPARE(app.store.text(10, StoreCol::Record), u"消えない記録"_s);
    QCOMPARE(app.store.text(316, StoreCol::Date), u"2006/02/10"_s);
    QCOMPARE(app.store.number(316, StoreCol::WeekdayFore), 16711935);
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
