#include "grid/gridfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A version-1 image: header, size line, the given cell lines and tail.
QByteArray image(const QByteArray& size, const QByteArray& cells,
                 const QByteArray& tail = "end\n") {
    return "DayLogGrid\t1\n" + size + '\n' + cells + tail;
}

// Data a failed read must leave as it was.
GridData sentinel() {
    GridData d;
    d.rows = 1;
    d.cols = 2;
    d.cells.resize(2);
    d.cells[1].text = u"残す"_s;
    d.cells[1].fore = 7;
    return d;
}

void compareData(const GridData& a, const GridData& b) {
    QCOMPARE(a.rows, b.rows);
    QCOMPARE(a.cols, b.cols);
    QCOMPARE(a.cells.size(), b.cells.size());
    for (size_t i = 0; i < a.cells.size(); ++i) {
        QCOMPARE(a.cells[i].text, b.cells[i].text);
        QCOMPARE(a.cells[i].fore, b.cells[i].fore);
        QCOMPARE(a.cells[i].back, b.cells[i].back);
    }
}

bool hasJapanese(const QString& s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x3040; });
}

} // namespace

class TestGridFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void brokenImagesAreRefused_data();
    void brokenImagesAreRefused();
    void validImagesAreDecoded_data();
    void validImagesAreDecoded();
    void everyTruncationIsRefused();
    void readReportsMissingFileAndFolder();
    void readRefusesOversizedFiles_data();
    void readRefusesOversizedFiles();
    void readStopsOnEndlessDevice();
    void messagesNameFileAndReason_data();
    void messagesNameFileAndReason();
};

void TestGridFile::brokenImagesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");

    const int notGrid = FileResult::NotAGridFile, damaged = FileResult::Damaged,
              tooLarge = FileResult::TooLarge;
    auto cell = [](const QByteArray& line) { return image("1\t1", line + '\n'); };

    QTest::newRow("empty input") << QByteArray() << notGrid;
    QTest::newRow("wrong magic") << QByteArray("DayLogGrix\t1\n1\t1\n0\t0\t\nend\n") << notGrid;
    QTest::newRow("magic without tab") << QByteArray("DayLogGrid1\n0\t0\nend\n") << notGrid;
    QTest::newRow("xml file") << QByteArray("<?xml version=\"1.0\"?>\n<grid rows=\"1\"/>\n")
                              << notGrid;
    QTest::newRow("png header") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << notGrid;
    QTest::newRow("newer version") << QByteArray("DayLogGrid\t2\n1\t1\n0\t0\t\nend\n")
                                   << int(FileResult::NewerVersion);
    QTest::newRow("version 0") << QByteArray("DayLogGrid\t0\n1\t1\n0\t0\t\nend\n") << damaged;
    QTest::newRow("version not a number") << QByteArray("DayLogGrid\t1a\n0\t0\nend\n") << damaged;
    QTest::newRow("no size line") << QByteArray("DayLogGrid\t1\n") << damaged;
    QTest::newRow("size without tab") << image("1 1", "0\t0\t\n") << damaged;
    QTest::newRow("negative size") << image("-1\t1", "0\t0\t\n") << damaged;
    QTest::newRow("size with three fields") << image("1\t1\t1", "0\t0\t\n") << damaged;
    QTest::newRow("size missing cols") << image("1\t", "0\t0\t\n") << damaged;
    QTest::newRow("rows over bound") << image("100001\t1", "") << tooLarge;
    QTest::newRow("cols over bound") << image("1\t1001", "") << tooLarge;
    QTest::newRow("cells over bound") << image("1001\t1000", "") << tooLarge;
    QTest::newRow("size at 32-bit limit") << image("4294967295\t4294967295", "") << tooLarge;
    QTest::newRow("many cells few bytes") << image("1000\t1000", "0\t0\t\n") << damaged;
    QTest::newRow("cells cut short") << image("2\t2", "0\t0\tabcdefghij\n0\t0\tabcdefghij\n")
                                     << damaged;
    QTest::newRow("cut inside a cell line")
        << image("2\t2", "0\t0\ta\n0\t0\tb\n0\t0\tc\n0\t0", "") << damaged;
    QTest::newRow("missing end") << image("1\t1", "0\t0\tabc\n", "") << damaged;
    QTest::newRow("end in capitals") << image("1\t1", "0\t0\t\n", "END\n") << damaged;
    QTest::newRow("more cells than size") << image("1\t1", "0\t0\ta\n0\t0\tb\n") << damaged;
    QTest::newRow("data after end") << image("1\t1", "0\t0\t\n", "end\nx") << damaged;
    QTest::newRow("second end") << image("1\t1", "0\t0\t\n", "end\nend\n") << damaged;
    QTest::newRow("colour not a number") << cell("x\t0\ta") << damaged;
    QTest::newRow("colour negative") << cell("-1\t0\ta") << damaged;
    QTest::newRow("colour empty") << cell("\t0\ta") << damaged;
    QTest::newRow("fore colour 2^32") << cell("4294967296\t0\ta") << damaged;
    QTest::newRow("back colour 2^32") << cell("0\t4294967296\ta") << damaged;
    QTest::newRow("no text field") << cell("0\t0") << damaged;
    QTest::newRow("unknown escape") << cell("0\t0\ta\\qb") << damaged;
    QTest::newRow("trailing lone backslash") << cell("0\t0\tab\\") << damaged;
    QTest::newRow("raw tab in text") << cell("0\t0\ta\tb") << damaged;
    QTest::newRow("raw CR before LF") << cell("0\t0\tab\r") << damaged;
    QTest::newRow("invalid UTF-8 bytes") << cell("0\t0\t\xff\xfe") << damaged;
    QTest::newRow("overlong UTF-8") << cell("0\t0\t\xc0\xaf") << damaged;
    QTest::newRow("UTF-8 surrogate") << cell("0\t0\t\xed\xa0\x80") << damaged;
    QTest::newRow("UTF-8 cut inside a character") << cell("0\t0\t\xe3\x81") << damaged;
    QTest::newRow("invalid UTF-8 beside an escape") << cell("0\t0\ta\\n\xff") << damaged;
}

void TestGridFile::brokenImagesAreRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);

    GridData out = sentinel();
    const FileResult r = GridFile::parse(bytes, out);
    QCOMPARE(int(r.code), code);
    QVERIFY(!r.reason().isEmpty());
    compareData(out, sentinel());
}

void TestGridFile::validImagesAreDecoded_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<quint32>("lastFore");
    QTest::addColumn<quint32>("lastBack");

    QTest::newRow("final newline") << image("1\t2", "0\t0\t\n5\t6\tx\n") << 1 << 2 << u"x"_s
                                   << 5u << 6u;
    QTest::newRow("no final newline") << image("2\t1", "0\t0\t\n5\t6\tx\n", "end") << 2 << 1
                                      << u"x"_s << 5u << 6u;
    QTest::newRow("empty grid") << image("0\t0", "") << 0 << 0 << QString() << 0u << 0u;
    QTest::newRow("escapes") << image("1\t1", "1\t2\ta\\tb\\nc\\rd\\\\e\n") << 1 << 1
                             << u"a\tb\nc\rd\\e"_s << 1u << 2u;
    QTest::newRow("largest colours") << image("1\t1", "4294967295\t4294967295\t\n") << 1 << 1
                                     << QString() << 0xFFFFFFFFu << 0xFFFFFFFFu;
    QTest::newRow("japanese and emoji")
        << image("1\t1", u"0\t0\t予定\\n会議 🗓\n"_s.toUtf8()) << 1 << 1 << u"予定\n会議 🗓"_s
        << 0u << 0u;
}

void TestGridFile::validImagesAreDecoded() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QString, lastText);
    QFETCH(quint32, lastFore);
    QFETCH(quint32, lastBack);

    GridData out = sentinel();
    const FileResult r = GridFile::parse(bytes, out);
    QVERIFY2(r.ok(), qPrintable(r.reason()));
    QCOMPARE(out.rows, rows);
    QCOMPARE(out.cols, cols);
    QCOMPARE(out.cells.size(), size_t(rows) * size_t(cols));
    if (!out.cells.empty()) {
        QCOMPARE(out.cells.back().text, lastText);
        QCOMPARE(out.cells.back().fore, lastFore);
        QCOMPARE(out.cells.back().back, lastBack);
        QCOMPARE(out.cells.front().text, QString());
    }
}

// A file cut anywhere is refused; only the final line end may be missing.
void TestGridFile::everyTruncationIsRefused() {
    std::vector<GridCell> cells(4);
    cells[0].text = u"a\\b\tc"_s;
    cells[1].fore = 255;
    cells[2].text = u"日本\r\n語"_s;
    cells[3].back = 0x80000005;
    const QByteArray full = GridFile::serialize(2, 2, cells);

    for (qsizetype n = 0; n < full.size(); ++n) {
        GridData out = sentinel();
        const FileResult r = GridFile::parse(full.first(n), out);
        if (n == full.size() - 1) {
            QVERIFY2(r.ok(), qPrintable(r.reason()));
            QCOMPARE(out.cells[2].text, cells[2].text);
        } else {
            QVERIFY2(!r.ok(), qPrintable(u"accepted %1 of %2 bytes"_s.arg(n).arg(full.size())));
            compareData(out, sentinel());
        }
    }
}

void TestGridFile::readReportsMissingFileAndFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    GridData out = sentinel();
    QCOMPARE(GridFile::read(dir.filePath(u"無い.dlg"_s), out).code, FileResult::NotFound);
    QCOMPARE(GridFile::read(dir.path(), out).code, FileResult::Unreadable);
    compareData(out, sentinel());
}

// `size` bytes: a valid image padded with zeros by a sparse resize.
void TestGridFile::readRefusesOversizedFiles_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("code");

    QTest::newRow("at the bound, read and parsed") << GridFile::MaxFileBytes
                                                   << int(FileResult::Damaged);
    QTest::newRow("one byte over") << GridFile::MaxFileBytes + 1 << int(FileResult::TooLarge);
    QTest::newRow("16 GiB") << (qint64(16) << 30) << int(FileResult::TooLarge);
}

void TestGridFile::readRefusesOversizedFiles() {
    QFETCH(qint64, size);
    QFETCH(int, code);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"big.dlg"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.write(image("1\t1", "0\t0\t\n")) > 0);
    if (!f.resize(size))
        QSKIP("this file system cannot hold the sparse file");
    f.close();

    GridData out = sentinel();
    QCOMPARE(int(GridFile::read(path, out).code), code);
    compareData(out, sentinel());
}

// A device without a size must not be read without limit.
void TestGridFile::readStopsOnEndlessDevice() {
    const QString zero = u"/dev/zero"_s;
    if (!QFile::exists(zero))
        QSKIP("no /dev/zero");
    GridData out = sentinel();
    const FileResult r = GridFile::read(zero, out);
    QVERIFY(r.code == FileResult::TooLarge || r.code == FileResult::NotAGridFile);
    compareData(out, sentinel());
}

void TestGridFile::messagesNameFileAndReason_data() {
    QTest::addColumn<int>("code");
    for (int c = FileResult::NotFound; c <= FileResult::Unsupported; ++c)
        QTest::addRow("code %d", c) << c;
}

void TestGridFile::messagesNameFileAndReason() {
    QFETCH(int, code);

    const QString path = QDir::toNativeSeparators(u"/tmp/予定 表.dlg"_s);
    const FileResult r = FileResult::failure(FileResult::Code(code), u"detail"_s);
    QVERIFY(hasJapanese(r.reason()));
    const QString load = r.loadMessage(path);
    QVERIFY(load.contains(path));
    QVERIFY(load.contains(r.reason()));
    QVERIFY(load.contains(u"開けませんでした"_s));
    QVERIFY(r.saveMessage(path).contains(path));
    QVERIFY(r.saveMessage(path).contains(r.reason()));
}

QTEST_GUILESS_MAIN(TestGridFile)
#include "tst_gridfile.moc"
