// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A version-1 image: header, size line, the given cell lines and tail.
QByteArray image(const QByteArray& size, const QByteArray& cells,
                 const QByteArray& tail = "end\n") {
    return "DayLogGrid\t1\n" + size + '\n' + cells + tail;
}

// Data a failed read must leave as it was, compared through its image.
GridData sentinel() {
    GridData d{1, 2, std::vector<GridCell>(2)};
    d.cells[1] = {u"残す"_s, 7, 9};
    return d;
}

QByteArray imageOf(const GridData& d) {
    return GridFile::serialize(d.rows, d.cols, d.cells);
}

} // namespace

class TestGridFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void brokenImagesAreRefused_data();
    void brokenImagesAreRefused();
    void layoutIsExactAndEveryCutIsRefused();
    void textsComeBackExactly();
    void readRefuses_data();
    void readRefuses();
    void messagesNameFileAndReason_data();
    void messagesNameFileAndReason();
};

void TestGridFile::brokenImagesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");

    const int notGrid = FileResult::NotAGridFile, damaged = FileResult::Damaged,
              tooLarge = FileResult::TooLarge;
    auto row = [](const char* tag, const QByteArray& bytes, int code) {
        QTest::newRow(tag) << bytes << code;
    };
    auto cell = [](const QByteArray& line) { return image("1\t1", line + '\n'); };

    row("empty input", {}, notGrid);
    row("wrong magic", "DayLogGrix\t1\n1\t1\n0\t0\t\nend\n", notGrid);
    row("xml file", "<?xml version=\"1.0\"?>\n<grid rows=\"1\"/>\n", notGrid);
    row("png header", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), notGrid);
    row("newer version", "DayLogGrid\t2\n1\t1\n0\t0\t\nend\n", FileResult::NewerVersion);
    row("version 0", "DayLogGrid\t0\n1\t1\n0\t0\t\nend\n", damaged);
    row("version not a number", "DayLogGrid\t1a\n0\t0\nend\n", damaged);
    row("no size line", "DayLogGrid\t1\n", damaged);
    row("size without tab", image("1 1", "0\t0\t\n"), damaged);
    row("rows over bound", image("100001\t1", ""), tooLarge);
    row("cols over bound", image("1\t1001", ""), tooLarge);
    row("cells over bound", image("1001\t1000", ""), tooLarge);
    row("size at 32-bit limit", image("4294967295\t4294967295", ""), tooLarge);
    row("many cells, few bytes", image("1000\t1000", "0\t0\t\n"), damaged);
    row("fewer cells than size", image("2\t2", "0\t0\tabcdefghij\n0\t0\tabcdefghij\n"), damaged);
    row("missing end", image("1\t1", "0\t0\tabc\n", ""), damaged);
    row("more cells than size", image("1\t1", "0\t0\ta\n0\t0\tb\n"), damaged);
    row("data after end", image("1\t1", "0\t0\t\n", "end\nx"), damaged);
    row("colour not a number", cell("x\t0\ta"), damaged);
    row("colour empty", cell("\t0\ta"), damaged);
    row("fore colour 2^32", cell("4294967296\t0\ta"), damaged);
    row("back colour 2^32", cell("0\t4294967296\ta"), damaged);
    row("no text field", cell("0\t0"), damaged);
    row("unknown escape", cell("0\t0\ta\\qb"), damaged);
    row("trailing lone backslash", cell("0\t0\tab\\"), damaged);
    row("raw tab in text", cell("0\t0\ta\tb"), damaged);
    row("raw CR before LF", cell("0\t0\tab\r"), damaged);
    row("invalid UTF-8 bytes", cell("0\t0\t\xff\xfe"), damaged);
    row("overlong UTF-8", cell("0\t0\t\xc0\xaf"), damaged);
    row("UTF-8 cut inside a character", cell("0\t0\t\xe3\x81"), damaged);
    row("invalid UTF-8 beside an escape", cell("0\t0\ta\\n\xff"), damaged);
}

void TestGridFile::brokenImagesAreRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);

    GridData out = sentinel();
    const FileResult r = GridFile::parse(bytes, out);
    QCOMPARE(int(r.code), code);
    QCOMPARE(imageOf(out), imageOf(sentinel()));
}

// Pins the byte layout; a file cut anywhere is refused, except that the final line
// end may be missing.
void TestGridFile::layoutIsExactAndEveryCutIsRefused() {
    std::vector<GridCell> cells(2);
    cells[0] = {u"a\\b\tc\r\n日本"_s, 255, 0x80000005};
    cells[1].back = 0xFFFFFFFF;
    const QByteArray full = GridFile::serialize(1, 2, cells);
    QCOMPARE(full, QByteArray("DayLogGrid\t1\n1\t2\n255\t2147483653\ta\\\\b\\tc\\r\\n日本\n"
                              "0\t4294967295\t\nend\n"));

    for (qsizetype n = 0; n <= full.size(); ++n) {
        GridData out = sentinel();
        const FileResult r = GridFile::parse(full.first(n), out);
        const bool complete = n >= full.size() - 1;
        QVERIFY2(r.ok() == complete, qPrintable(u"%1 of %2 bytes"_s.arg(n).arg(full.size())));
        QCOMPARE(imageOf(out), complete ? full : imageOf(sentinel()));
    }
}

void TestGridFile::textsComeBackExactly() {
    // Characters a decoder might treat specially: byte order marks at the start, a
    // character outside the basic plane, the first and last of each UTF-8 length.
    std::vector<GridCell> cells(1);
    cells[0].text = u"\uFEFF\uFEFF元日 𠮷 \u0080\u07FF\u0800\uFFFD\U0010FFFF"_s;
    GridData out;
    QVERIFY(GridFile::parse(GridFile::serialize(1, 1, cells), out).ok());
    QCOMPARE(out.cells[0].text, cells[0].text);
}

// `size` of a sparse file that starts with a valid image, or a special path.
void TestGridFile::readRefuses_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("code");

    QTest::newRow("missing file") << u"missing"_s << 0LL << int(FileResult::NotFound);
    QTest::newRow("folder") << u"folder"_s << 0LL << int(FileResult::Unreadable);
    // Not opened at all: a device may be endless, a named pipe would wait for a writer.
    QTest::newRow("endless device") << u"/dev/zero"_s << 0LL << int(FileResult::Unreadable);
    QTest::newRow("named pipe") << u"fifo"_s << 0LL << int(FileResult::Unreadable);
    QTest::newRow("at the bound: read, then damaged")
        << u"sparse"_s << GridFile::MaxFileBytes << int(FileResult::Damaged);
    QTest::newRow("one byte over")
        << u"sparse"_s << GridFile::MaxFileBytes + 1 << int(FileResult::TooLarge);
    QTest::newRow("16 GiB") << u"sparse"_s << (qint64(16) << 30) << int(FileResult::TooLarge);
}

void TestGridFile::readRefuses() {
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(int, code);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = kind == u"folder"_s ? dir.path() : dir.filePath(u"表.dlg"_s);
    if (kind.startsWith(u'/')) {
        path = kind;
        if (!QFile::exists(path))
            QSKIP("no such device");
    } else if (kind == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"sparse"_s) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(image("1\t1", "0\t0\t\n")) > 0);
        if (!f.resize(size))
            QSKIP("this file system cannot hold the sparse file");
    }
    GridData out = sentinel();
    QCOMPARE(int(GridFile::read(path, out).code), code);
    QCOMPARE(imageOf(out), imageOf(sentinel()));
}

void TestGridFile::messagesNameFileAndReason_data() {
    QTest::addColumn<int>("code");
    for (int c = FileResult::NotFound; c <= FileResult::ProtectedTarget; ++c)
        QTest::addRow("code %d", c) << c;
}

void TestGridFile::messagesNameFileAndReason() {
    QFETCH(int, code);

    const QString path = u"/tmp/予定 表.dlg"_s;
    const FileResult r = FileResult::failure(FileResult::Code(code), u"理由"_s);
    const QString reason = r.reason();
    QVERIFY(std::any_of(reason.begin(), reason.end(), [](QChar c) { return c >= u'\u3040'; }));
    const QString load = r.loadMessage(path);
    QVERIFY(load.contains(path) && load.contains(reason) && load.contains(u"開けません"_s));
    QVERIFY(r.saveMessage(path).contains(path) && r.saveMessage(path).contains(reason));
    QVERIFY(r.exportMessage(path).contains(path) && r.exportMessage(path).contains(reason));
}

QTEST_GUILESS_MAIN(TestGridFile)
#include "tst_gridfile.moc"
