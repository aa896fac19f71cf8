// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annual/annuallayout.h"
#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "support/fixedclock.h"
#include "support/yearstores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using Damage = std::function<void(YearStore&)>;
Q_DECLARE_METATYPE(Damage)

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// "equal" or where two images differ first, for a failure message.
QByteArray firstDifference(const QByteArray& a, const QByteArray& b) {
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    if (i == a.size() && i == b.size())
        return "equal";
    return "differ at byte " + QByteArray::number(i) + ": \"" + a.mid(i, 40) + "\" / \"" +
           b.mid(i, 40) + '"';
}

bool sameStore(const YearStore& a, const YearStore& b) {
    for (int r = 0; r < YearStore::Rows; ++r)
        for (int c = 0; c < YearStore::Cols; ++c)
            if (!(a.at(r, c) == b.at(r, c)))
                return false;
    return true;
}

// A valid, filled year of 2005 as a 20-column file with one cell's text replaced.
QByteArray withCell(int row, int col, const QString& text) {
    QRandomGenerator rng(2005);
    GridData d;
    if (!GridFile::parse(DocFiles::documentImage(TestYears::filled(2005, rng), 20), d).ok())
        qFatal("the valid image does not parse");
    if (row >= 0)
        d.cells[size_t(row) * 20 + size_t(col)].text = text;
    return GridFile::serialize(d.rows, d.cols, d.cells);
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
    void onlyYearShapedGridsLoad_data();
    void onlyYearShapedGridsLoad();
    void savedAndLoadedDocumentKeepsTextsAndColours();
    void saveToMissingFolderFailsAndKeepsStore();
    void imageIsWhatTheGridsSavedAndReadsAsTheyRead();
    void theIdentityStaysWithTheDocumentAndOlderFilesGetOne();
    void damagedDocumentsAreRefused_data();
    void damagedDocumentsAreRefused();
    void writeRefusesWhatTheReaderWouldRefuse_data();
    void writeRefusesWhatTheReaderWouldRefuse();
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
    // The days of 2005 with their weekdays, as every document has them.
    for (int r = 1; r < rows && cols > 1; ++r) {
        const QDate d = Dates::dateOfRow(r, 2005);
        grid.setTextMatrix(r, 0, Dates::toStoreText(d));
        grid.setTextMatrix(r, 1, Dates::weekdayLetter(d));
    }
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

// The image made straight from the store is byte for byte what the grids saved: the
// buffer grid (20 columns) and the annual table (19), for years filled with every kind
// of value in every cell, rows and colours a file leaves out included. Read back, a
// valid one gives the store the copy from a loaded grid gave, whatever the store held
// before; through a file as well.
void TestDocumentFile::imageIsWhatTheGridsSavedAndReadsAsTheyRead() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator rng(seed);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"年度.dys"_s);
    for (int round = 0; round < 6; ++round) {
        const bool valid = round < 2;
        YearStore s = valid ? TestYears::filled(2004 + round * 4, rng) : TestYears::anything(rng);
        if (valid)
            s.set(0, 19, u"隅"_s);
        for (const int cols : {19, 20}) {
            GridModel grid(367, cols);
            if (cols == 19)
                Nen_GridInit(grid, 2005);
            else
                Annual_Layout(grid, 20); // the buffer grid's layout
            copyStoreToGrid(s, grid);
            const QByteArray image = DocFiles::documentImage(s, cols);
            QVERIFY2(image == grid.toFileImage(),
                     firstDifference(image, grid.toFileImage()).constData());
            QCOMPARE(DocFiles::imageBytes(s, cols), image.size());
            if (!valid)
                continue;

            GridData data;
            QVERIFY(GridFile::parse(image, data).ok());
            GridModel loaded;
            loaded.assignData(std::move(data));
            YearStore copied, parsed = TestYears::anything(rng), read = TestYears::anything(rng);
            copyGridToStore(loaded, copied);
            const FileResult r = DocFiles::parseDocument(image, parsed);
            QVERIFY2(r.ok(), qPrintable(r.reason()));
            QVERIFY(sameStore(parsed, copied));
            QCOMPARE(parsed.number(100, StoreCol::WeekdayFore),
                     s.number(100, StoreCol::WeekdayFore));
            QVERIFY(DocFiles::writeDocument(s, cols, path).ok());
            QCOMPARE(contents(path), image);
            QVERIFY(DocFiles::readDocument(path, read).ok());
            QVERIFY(sameStore(read, copied));
        }
    }
    QVERIFY(DocFiles::documentImage(YearStore(), 21).isEmpty());
    QCOMPARE(DocFiles::imageBytes(YearStore(), 18), -1);
}

// A document's identity is kept in its file (version 2) where a reader of version 1
// looks at nothing: the file reads there as the same year. It stays across saves and
// renames; a version 1 file gets one from its place, the same each time it is read,
// which its next save keeps; two new documents never share one.
void TestDocumentFile::theIdentityStaysWithTheDocumentAndOlderFilesGetOne() {
    QRandomGenerator rng(2005);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"年度.dys"_s), renamed = dir.filePath(u"改名.dys"_s);
    YearStore made = TestYears::filled(2005, rng), other;
    Store_New(other, 2005, QDate());
    made.setDocumentId(QUuid::createUuid());
    QVERIFY(!other.documentId().isNull() && other.documentId() != made.documentId());
    for (const int cols : {19, 20}) {
        QVERIFY(DocFiles::writeDocument(made, cols, path).ok());
        YearStore read, again;
        QVERIFY(DocFiles::readDocument(path, read).ok());
        QCOMPARE(read.documentId(), made.documentId());
        QVERIFY(QFile::rename(path, renamed));
        QVERIFY(DocFiles::writeDocument(read, cols, renamed).ok());
        QVERIFY(DocFiles::readDocument(renamed, again).ok());
        QCOMPARE(again.documentId(), made.documentId());

        // What a version 1 reader sees: the same grid with row 0's colours all 0.
        GridData v2;
        QVERIFY(GridFile::parse(contents(renamed), v2).ok());
        YearStore anonymous = read;
        anonymous.setDocumentId({});
        const QByteArray oldImage = DocFiles::documentImage(anonymous, cols);
        QVERIFY(oldImage != contents(renamed));
        for (int c = 0; c < cols; ++c)
            v2.cells[size_t(c)].fore = 0;
        QVERIFY2(GridFile::serialize(v2.rows, v2.cols, v2.cells) == oldImage,
                 firstDifference(GridFile::serialize(v2.rows, v2.cols, v2.cells), oldImage));
        QVERIFY(QFile::remove(renamed));

        // A version 1 file: an identity from its place, kept by its next save.
        QVERIFY(writeFile(path, oldImage) && writeFile(renamed, oldImage));
        YearStore first, second, elsewhere;
        QVERIFY(DocFiles::readDocument(path, first).ok());
        QVERIFY(DocFiles::readDocument(path, second).ok());
        QVERIFY(DocFiles::readDocument(renamed, elsewhere).ok());
        QVERIFY(!first.documentId().isNull());
        QCOMPARE(second.documentId(), first.documentId());
        QVERIFY(elsewhere.documentId() != first.documentId());
        QVERIFY(first.sameAs(again));
        QVERIFY(DocFiles::writeDocument(first, cols, path).ok());
        QVERIFY(QFile::remove(renamed) && QFile::rename(path, renamed));
        QVERIFY(DocFiles::readDocument(renamed, second).ok());
        QCOMPARE(second.documentId(), first.documentId());
        QVERIFY(QFile::remove(renamed));
    }
}

// One valid, filled document damaged in one way at a time, and paths that are no
// file: each refused with a reason that names what was found where, the store as it
// was.
void TestDocumentFile::damagedDocumentsAreRefused_data() {
    QTest::addColumn<QString>("kind"); // "bytes", or what the path is
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");

    const int damaged = FileResult::Damaged, notDocument = FileResult::NotADocument,
              unreadable = FileResult::Unreadable;
    auto bytes = [](const char* tag, const QByteArray& b, int code, const QString& reason) {
        QTest::newRow(tag) << u"bytes"_s << b << code << reason;
    };
    bytes("a date a day late", withCell(100, 0, u"2005/07/10"_s), damaged,
          u"表の 100 行目の日付が「2005/07/10」で、2005/07/09 ではありません"_s);
    bytes("a date written otherwise", withCell(100, 0, u"2005-07-09"_s), damaged,
          u"100 行目の日付が「2005-07-09」"_s);
    bytes("the last date empty", withCell(366, 0, QString()), damaged,
          u"366 行目の日付が「」で、2006/04/01"_s);
    bytes("another day's weekday", withCell(100, 1, u"日"_s), damaged,
          u"表の 100 行目（2005/07/09）の曜日が「日」で、「土」ではありません"_s);
    bytes("a year before 1000", withCell(0, 0, u"999"_s), notDocument, u"年度「999」"_s);
    bytes("a year after 9998", withCell(0, 0, u"9999"_s), notDocument, u"年度「9999」"_s);
    bytes("a year with a word", withCell(0, 0, u"2005年"_s), notDocument, u"年度「2005年」"_s);
    bytes("another year", withCell(0, 0, u"2006"_s), damaged,
          u"表の 1 行目の日付が「2005/04/01」で、2006/04/01 ではありません"_s);
    bytes("a NUL in a record", withCell(200, StoreCol::Record, u"朝"_s + QChar(0) + u"夜"_s),
          damaged, u"表の 200 行目（2005/10/17）の「記録」の欄に NUL 文字があります"_s);
    bytes("a NUL in a heading", withCell(0, StoreCol::ToDo, QString(QChar(0))), damaged,
          u"表の 0 行目（見出し）の「ToDo」の欄に NUL"_s);
    bytes("a NUL in the weekday colour", withCell(9, 19, QString(QChar(0))), damaged,
          u"9 行目（2005/04/09）の「曜日の色」の欄に NUL"_s);
    bytes("366 rows", GridModel(366, 20).toFileImage(), notDocument, u"366 行 × 20 列"_s);
    bytes("cut short", withCell(-1, 0, {}).chopped(4), damaged, u"途中で切れて"_s);
    QTest::newRow("a named pipe") << u"fifo"_s << QByteArray() << unreadable << u"名前付きパイプ"_s;
    QTest::newRow("a folder") << u"folder"_s << QByteArray() << unreadable << u"フォルダ"_s;
    QTest::newRow("a device") << u"/dev/null"_s << QByteArray() << unreadable << u"装置ファイル"_s;
    QTest::newRow("missing") << u"missing"_s << QByteArray() << int(FileResult::NotFound)
                             << u"見つかりません"_s;
}

void TestDocumentFile::damagedDocumentsAreRefused() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QString path = dir.filePath(u"年度.dys"_s);
    if (kind == u"bytes"_s)
        QVERIFY(writeFile(path, bytes));
    else if (kind == u"fifo"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"folder"_s)
        QVERIFY(QDir().mkdir(path));
    else if (kind.startsWith(u'/'))
        path = kind;

    QRandomGenerator rng(7);
    const YearStore before = TestYears::anything(rng);
    YearStore out = before;
    FileIdentity identity;
    identity.size = 42;
    const FileResult r = DocFiles::readDocument(path, out, &identity);
    QCOMPARE(int(r.code), code);
    QVERIFY2(r.reason().contains(reason), qPrintable(r.reason()));
    const QString message = r.loadMessage(path);
    QVERIFY(message.contains(path) && message.contains(r.reason()));
    QVERIFY(sameStore(out, before));
    QCOMPARE(identity.size, 42);
    if (kind == u"bytes"_s) {
        YearStore parsed = before;
        QCOMPARE(int(DocFiles::parseDocument(bytes, parsed).code), code);
        QVERIFY(sameStore(parsed, before));
    }
}

// A store the reader would refuse is not written: the file there stays as it was,
// with no backup or temporary file made.
void TestDocumentFile::writeRefusesWhatTheReaderWouldRefuse_data() {
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    const int writeFailed = FileResult::WriteFailed;
    // One text shared by many cells: the image would be far larger than the reader
    // takes, without the test holding it.
    QTest::newRow("larger than the reader takes") << Damage([](YearStore& s) {
        for (int r = 1; r <= 320; ++r)
            s.set(r, StoreCol::Record, QString(75000, u'記'));
    }) << 20 << int(FileResult::TooLarge) << u"バイトまでです"_s;
    QTest::newRow("a NUL") << Damage([](YearStore& s) {
        s.set(150, StoreCol::Record, u"a"_s + QChar(0));
    }) << 19 << writeFailed
                           << u"150 行目（2005/08/28）の「記録」の欄に NUL 文字があります。"
                              "このまま保存すると開けなくなります"_s;
    QTest::newRow("a wrong date") << Damage([](YearStore& s) {
        s.set(10, StoreCol::Date, u"2005/04/11"_s);
    }) << 20 << writeFailed << u"10 行目の日付が「2005/04/11」"_s;
    QTest::newRow("no year") << Damage([](YearStore& s) { s.set(0, 0, StoreValue()); }) << 20
                             << writeFailed << u"年度「」"_s;
    QTest::newRow("21 columns") << Damage([](YearStore&) {}) << 21 << int(FileResult::Unsupported)
                                << u"21"_s;
}

void TestDocumentFile::writeRefusesWhatTheReaderWouldRefuse() {
    QFETCH(Damage, damage);
    QFETCH(int, cols);
    QFETCH(int, code);
    QFETCH(QString, reason);
    YearStore s = TestYears::valid(2005);
    damage(s);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"年度.dys"_s);
    QVERIFY(writeFile(path, "前の内容"));
    FileIdentity written;
    const FileResult r = DocFiles::writeDocument(s, cols, path, &written);
    QCOMPARE(int(r.code), code);
    QVERIFY2(r.reason().contains(reason), qPrintable(r.reason()));
    QCOMPARE(int(DocFiles::checkWritable(s, cols).code), code);
    QCOMPARE(contents(path), QByteArray("前の内容"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"年度.dys"_s});
    QVERIFY(!written.exists);
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
