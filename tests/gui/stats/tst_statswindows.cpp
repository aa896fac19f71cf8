// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/stats/stats.h"
#include "core/store/documentfile.h"
#include "gui/grid/gridcolors.h"
#include "gui/stats/itemstatswindow.h"
#include "gui/stats/recordstatswindow.h"
#include "gui/stats/yearpicker.h"
#include "support/yearstores.h"

#include <QComboBox>
#include <QPushButton>

#include <QDateEdit>
#include <QMenuBar>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10);

template <class Window> struct StatsFixture {
    explicit StatsFixture(View view, const char* menuItem) {
        f.calendar->action(QString::fromLatin1(menuItem))->trigger();
        w = static_cast<Window*>(f.env.nav->window(view)->widget());
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the statistics window did not become active");
    }
    GridModel& t() { return w->table(); }
    void record(const QDate& d, const QString& text) {
        f.env.app.store().set(f.row(d), StoreCol::Record, text);
    }
    void slot(const QDate& d, int slot, const QString& text) {
        f.env.app.store().set(f.row(d), StoreCol::SlotItem1 + slot, text);
    }
    // Types into the cursor cell and ends with Enter, as the user does.
    void typeCell(const QString& text) {
        ViewFixture::typeInGrid(w->grid(), text);
        QTest::keyClick(w->grid()->editor(), Qt::Key_Return);
    }
    QString path(const QString& name) const { return f.env.printFolder.filePath(name); }

    ViewFixture f;
    Window* w = nullptr;
};

using Record = StatsFixture<RecordStatsWindow>;
using Item = StatsFixture<ItemStatsWindow>;
Record openRecord() {
    return Record(View::RecordStats, "mnuKiroku");
}

// A year whose slot titles follow a pattern of its own, in a document file.
YearStore slotYear(int baseYear) {
    const QStringList titles{u"国語"_s, u"算数"_s, u"理科"_s, QString(), u"国語(補習)"_s};
    YearStore year = TestYears::valid(baseYear);
    for (int r = 1; r <= YearStore::DayRows; ++r)
        for (int i = 0; i < 7; ++i)
            year.set(r, StoreCol::SlotItem1 + i, titles[(r * (baseYear % 7 + 1) + i) % 5]);
    return year;
}

QString menuText(QMainWindow* w, const QString& name) {
    if (QAction* a = w->findChild<QAction*>(name))
        return a->text();
    if (QMenu* m = w->findChild<QMenu*>(name))
        return m->title();
    return u"<none>"_s;
}

} // namespace

class TestStatsWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theRecordWindowOpensBesideWithTheYearToPickAndItsCommands() {
        Record r(View::RecordStats, "mnuKiroku");
        QCOMPARE(r.w->objectName(), u"記録統計"_s);
        QCOMPARE(r.w->windowTitle(), u"記録統計 - nikki0[*]"_s);
        QVERIFY(r.f.calendar->isVisible());
        QCOMPARE(r.w->fromPicker()->minimumDate(), QDate(2005, 4, 1));
        QCOMPARE(r.w->toPicker()->maximumDate(), QDate(2006, 3, 31));
        QCOMPARE(r.w->fromPicker()->date(), QDate(2005, 4, 1));
        QCOMPARE(r.w->toPicker()->date(), May10);
        QCOMPARE(r.w->focusWidget(), r.w->grid());
        QCOMPARE(r.t().rows(), 51);
        QCOMPARE(r.t().cols(), 12);
        QCOMPARE(r.t().textMatrix(0, 1), u"キー１　＼キー２"_s);
        QCOMPARE(r.t().textMatrix(50, 0), u"50"_s);
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(1, 1)); // the first keyword
        QCOMPARE(r.w->grid()->accessibleName(), u"キーワード"_s);
        QCOMPARE(r.w->fromPicker()->accessibleName(), u"開始日"_s);
        QCOMPARE(r.w->toPicker()->accessibleName(), u"終了日"_s);

        const std::pair<const char16_t*, const char16_t*> captions[] = {
            {u"mnuFile", u"ﾌｧｲﾙ(&F)"},
            {u"mnuSave", u"キーワード保存(&S)"},
            {u"mnuKeyopen", u"キーワード読み込み(&O)"},
            {u"mnuPrint", u"印刷(&P)"},
            {u"mnuClose", u"閉じる(&X)"},
            {u"mnuSettei", u"設定(&S)"},
            {u"mnuKey1", u"キーワード1(&T)"},
            {u"mnuKey2", u"キーワード2(&Y)"},
            {u"mnuToukei", u"統計(&T)"},
        };
        for (const auto& [name, caption] : captions)
            QCOMPARE(menuText(r.w, QString::fromUtf16(name)), QString::fromUtf16(caption));
        QStringList keys;
        for (QAction* a : r.w->toolBar()->actions())
            if (!a->isSeparator())
                keys << a->objectName();
        QCOMPARE(keys, QStringList({u"tb_キーワード読み込み"_s, u"tb_キーワード保存"_s,
                                    u"tb_印刷"_s, u"tb_統計"_s}));

        // Asked for again while open, it comes to the front as it is.
        r.t().setTextMatrix(1, 1, u"国語"_s);
        r.f.calendar->action(u"mnuKiroku"_s)->trigger();
        QCOMPARE(r.t().textMatrix(1, 1), u"国語"_s);
        // Closed and opened again, it starts afresh.
        r.w->action(u"mnuClose"_s)->trigger();
        QVERIFY(!r.w->isVisible());
        r.f.calendar->action(u"mnuKiroku"_s)->trigger();
        QCOMPARE(r.t().textMatrix(1, 1), QString());
    }

    void anotherYearOpenedMeanwhileIsTheOneCounted() {
        Record r = openRecord();
        r.t().setTextMatrix(1, 1, u"国語"_s);
        r.t().setTextMatrix(0, 2, u"の授業"_s);
        // The main window opened a document of the next year while this stayed open.
        r.f.env.newYear(2006);
        r.f.env.app.setCurrentDate(QDate(2006, 6, 1));
        r.record(QDate(2006, 5, 1), u"国語の授業"_s);
        r.w->count();
        QCOMPARE(r.w->fromPicker()->date(), QDate(2006, 4, 1));
        QCOMPARE(r.w->toPicker()->maximumDate(), QDate(2007, 3, 31));
        QCOMPARE(r.t().textMatrix(1, 2), u"1"_s);
        QCOMPARE(r.t().textMatrix(1, 1), u"国語"_s); // the keywords stay
    }

    // Every kind of cell of both tables, clicked and typed into as a user does: a
    // keyword cell looks like a cell to write in and takes the text, a count looks
    // read-only and takes nothing, and no other cell changes either way.
    void aClickedKeywordTakesWhatIsTypedAndACountNothing_data() {
        QTest::addColumn<bool>("record");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("keyword");
        QTest::newRow("record, first keyword") << true << 3 << 1 << true;
        QTest::newRow("record, second keyword in the heading row") << true << 0 << 4 << true;
        QTest::newRow("record, count") << true << 3 << 4 << false;
        QTest::newRow("record, count beside a keyword") << true << 1 << 2 << false;
        QTest::newRow("item, keyword") << false << 3 << 1 << true;
        QTest::newRow("item, target") << false << 3 << 2 << true;
        QTest::newRow("item, count") << false << 3 << 3 << false;
    }

    void aClickedKeywordTakesWhatIsTypedAndACountNothing() {
        QFETCH(bool, record);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, keyword);
        ViewFixture f;
        f.calendar->action(record ? u"mnuKiroku"_s : u"mnuKoumoku"_s)->trigger();
        auto* w = static_cast<StatsWindow*>(
            f.env.nav->window(record ? View::RecordStats : View::ItemStats)->widget());
        QVERIFY(QTest::qWaitForWindowActive(w));
        Grid* g = w->grid();
        GridModel& t = w->table();
        // Where the cell is on screen: the table is not scrolled yet.
        QRect cell;
        int x = 0, y = 0;
        for (int c = 0; c <= col; ++c) {
            const int width = Twips::toPixels(t.colWidth(c), g->logicalDpiX());
            if (c == col)
                cell.setRect(x, 0, width, 0);
            x += width;
        }
        for (int r = 0; r <= row; ++r) {
            const int height = Twips::toPixels(t.rowHeight(r), g->logicalDpiY());
            if (r == row) {
                cell.setTop(y);
                cell.setHeight(height);
            }
            y += height;
        }
        const QColor base = g->palette().color(QPalette::Base);
        const QColor shown = g->viewport()->grab().toImage().pixelColor(cell.center());
        QCOMPARE(shown == base, keyword);
        QCOMPARE(t.isEditable(row, col), keyword);
        QCOMPARE(bool(t.flags(t.index(row, col)) & Qt::ItemIsEditable), keyword);

        auto texts = [&t] {
            QStringList all;
            for (int r = 0; r < t.rows(); ++r)
                for (int c = 0; c < t.cols(); ++c)
                    all << t.textMatrix(r, c);
            return all;
        };
        const QStringList before = texts();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(std::pair(t.row(), t.col()), std::pair(row, col));
        ViewFixture::typeInGrid(g, u"国語"_s);
        QCOMPARE(g->isEditing(), keyword);
        if (keyword)
            QTest::keyClick(g->editor(), Qt::Key_Return);
        QStringList expected = before;
        if (keyword)
            expected[row * t.cols() + col] = u"国語"_s;
        QCOMPARE(texts(), expected);
        // Delete empties a keyword, never a count.
        g->setCursor(row, col);
        t.setTextMatrix(row, col, u"7"_s);
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(t.textMatrix(row, col), keyword ? QString() : u"7"_s);
    }

    void theSettingsCommandsPutTheCursorOnTheKeywordsAndTheKeysMoveAlong() {
        Record r = openRecord();
        r.w->grid()->setCursor(5, 5);
        r.w->action(u"mnuKey1"_s)->trigger();
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(1, 1));
        r.typeCell(u"国語"_s);
        r.typeCell(u"算数"_s);
        QCOMPARE(r.t().textMatrix(2, 1), u"算数"_s);
        QCOMPARE(r.w->focusWidget(), r.w->grid());

        r.w->action(u"mnuKey2"_s)->trigger();
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(0, 2));
        ViewFixture::typeInGrid(r.w->grid(), u"の授業"_s);
        QTest::keyClick(r.w->grid()->editor(), Qt::Key_Tab);
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(0, 3));
        QTest::keyClick(r.w->grid(), Qt::Key_Down);
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(1, 3));
        // Up from the first row goes back to the keyword above.
        QTest::keyClick(r.w->grid(), Qt::Key_Up);
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(0, 3));
        QCOMPARE(r.t().textMatrix(0, 2), u"の授業"_s);

        Item i(View::ItemStats, "mnuKoumoku");
        i.w->grid()->setCursor(4, 3);
        i.w->action(u"mnuKey"_s)->trigger();
        QCOMPARE(std::pair(i.t().row(), i.t().col()), std::pair(1, 1));
    }

    void countingUsesThePickedDaysAndClearsWhatDroppedToZero() {
        Record r = openRecord();
        r.record(QDate(2005, 4, 1), u"国語の授業と国語の宿題"_s);
        r.record(QDate(2005, 4, 2), u"国語の宿題"_s);
        r.record(May10, u"国語 の授業"_s);
        r.t().setTextMatrix(1, 1, u"国語"_s);
        r.t().setTextMatrix(0, 2, u"の授業"_s);
        r.t().setTextMatrix(0, 3, u"の宿題"_s);
        r.w->action(u"tb_統計"_s)->trigger();
        QCOMPARE(r.t().textMatrix(1, 2), u"1"_s); // the leftmost column only
        QCOMPARE(r.t().textMatrix(1, 3), u"1"_s);

        r.w->fromPicker()->setDate(QDate(2005, 4, 2));
        r.w->action(u"mnuToukei"_s)->trigger();
        QCOMPARE(r.t().textMatrix(1, 2), QString());
        QCOMPARE(r.t().textMatrix(1, 3), u"1"_s);
        QVERIFY(r.f.env.messages->shown.isEmpty());

        // A keyword being typed counts as typed.
        r.w->action(u"mnuKey1"_s)->trigger();
        r.w->grid()->setCursor(2, 1);
        ViewFixture::typeInGrid(r.w->grid(), u"国語"_s);
        r.w->action(u"mnuToukei"_s)->trigger();
        QCOMPARE(r.t().textMatrix(2, 3), u"1"_s);
    }

    void aKeywordThatCannotBeMatchedIsNamedAndNothingIsCounted() {
        Record r = openRecord();
        r.record(May10, u"国語の授業"_s);
        r.t().setTextMatrix(1, 1, u"国語"_s);
        r.t().setTextMatrix(0, 2, u"の授業"_s);
        r.w->count();
        QCOMPARE(r.t().textMatrix(1, 2), u"1"_s);
        r.t().setTextMatrix(0, 3, u"[z-a]"_s);
        r.w->count();
        QCOMPARE(r.f.env.messages->shown.size(), 1);
        QVERIFY(r.f.env.messages->shown[0].text.contains(u"国語[z-a]"_s));
        QCOMPARE(r.t().textMatrix(1, 2), u"1"_s); // the last table stays
    }

    void templatesKeepTheKeywordsAndALoadEmptiesTheCounts() {
        Record r = openRecord();
        r.record(May10, u"国語の授業"_s);
        r.w->action(u"mnuKey1"_s)->trigger();
        r.typeCell(u"国語"_s);
        r.t().setTextMatrix(0, 2, u"の授業"_s);
        r.w->count();
        QCOMPARE(r.t().textMatrix(1, 2), u"1"_s);

        r.f.env.files->answers << r.path(u"keys.txt"_s);
        r.w->action(u"tb_キーワード保存"_s)->trigger();
        QCOMPARE(r.f.env.files->asked[0].title, u"名前を付けて保存"_s);
        QCOMPARE(r.f.env.files->asked[0].filter,
                 QString::fromUtf16(DocFiles::RecordTemplateFilter));
        QVERIFY(QFile::exists(r.path(u"keys.dyy"_s)));
        QCOMPARE(r.f.env.files->asked[0].start, DocFiles::dialogFolder(r.f.env.app.docPath()));

        r.w->close();
        r.f.calendar->action(u"mnuKiroku"_s)->trigger();
        QCOMPARE(r.t().textMatrix(1, 1), QString());
        r.f.env.files->answers << r.path(u"keys.dyy"_s);
        r.w->action(u"mnuKeyopen"_s)->trigger();
        QCOMPARE(r.f.env.files->asked[1].filter,
                 QString::fromUtf16(DocFiles::RecordTemplateFilter));
        QCOMPARE(r.t().textMatrix(1, 1), u"国語"_s);
        QCOMPARE(r.t().textMatrix(0, 2), u"の授業"_s);
        QCOMPARE(r.t().textMatrix(1, 2), QString()); // counts do not come back
        // The keywords still take typing, the counts still do not.
        QVERIFY(r.t().isEditable(1, 1) && r.t().isEditable(0, 2) && !r.t().isEditable(1, 2));
        QVERIFY(r.f.env.messages->shown.isEmpty());
    }

    void aTemplateThatCannotBeLoadedIsReportedAndTheTableStays() {
        Record r = openRecord();
        r.t().setTextMatrix(1, 1, u"国語"_s);
        r.t().setTextMatrix(1, 2, u"7"_s);
        QFile damaged(r.path(u"damaged.dyy"_s));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("DayLogGrid\t1\n51\t12\n0\t0\tonly one cell\n");
        damaged.close();
        // An item template has the wrong shape for the record table.
        GridModel items;
        Koumoku_GridInit(items);
        QVERIFY(Template_Write(items, r.path(u"items.dyz"_s)).ok());

        const QString tries[] = {r.path(u"missing.dyy"_s), r.path(u"damaged.dyy"_s),
                                 r.path(u"items.dyz"_s)};
        for (const QString& file : tries) {
            r.f.env.files->answers << file;
            r.w->openTemplate();
            QVERIFY(!r.f.env.messages->shown.isEmpty());
            const QString text = r.f.env.messages->shown.last().text;
            QVERIFY2(text.contains(file) && text.contains(u"\n"_s), qPrintable(text));
            QCOMPARE(r.t().textMatrix(1, 1), u"国語"_s);
            QCOMPARE(r.t().textMatrix(1, 2), u"7"_s);
        }
        QCOMPARE(r.f.env.messages->shown.size(), 3);
        QVERIFY(r.f.env.messages->shown.last().text.contains(u"テンプレートではありません"_s));
    }

    void printingGivesTheSelectedBlockWithTheHeadings() {
        Record r = openRecord();
        r.t().setTextMatrix(1, 1, u"KEYA"_s);
        r.t().setTextMatrix(2, 1, u"KEYB"_s);
        r.t().setTextMatrix(0, 2, u"COLX"_s);
        r.t().setTextMatrix(0, 3, u"COLY"_s);
        r.t().setColWidth(-1, 1500); // wide enough for the keywords
        r.t().setTextMatrix(1, 2, u"111"_s);
        r.t().setTextMatrix(2, 3, u"222"_s);
        r.t().select(2, 2, 1, 2);
        r.w->action(u"tb_印刷"_s)->trigger();
        QCOMPARE(r.f.env.printer->files.size(), 1);
        const QString text = TestEnvironment::pdfText(r.f.env.printer->files[0]);
        for (const QString& expected : {u"KEYA"_s, u"KEYB"_s, u"COLX"_s, u"111"_s, u"番号"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
        for (const QString& absent : {u"COLY"_s, u"222"_s})
            QVERIFY2(!text.contains(absent), qPrintable(absent));
        for (int c = 0; c < r.t().cols(); ++c)
            QVERIFY(!r.t().colHidden(c));
        QVERIFY(r.f.env.messages->shown.isEmpty());
    }

    void theItemWindowCountsSlotTitlesAgainstTargets() {
        Item i(View::ItemStats, "mnuKoumoku");
        QCOMPARE(i.w->objectName(), u"項目統計"_s);
        QCOMPARE(i.w->windowTitle(), u"スケジュール統計 - nikki0[*]"_s);
        QCOMPARE(menuText(i.w, u"mnuOpen"_s), u"キーワード読み込み(&O)"_s);
        QCOMPARE(menuText(i.w, u"mnuKey"_s), u"キーワード(&K)"_s);
        QCOMPARE(i.t().cols(), 4);

        for (int d = 0; d < 5; ++d)
            i.slot(QDate(2005, 4, 11 + d), 0, u"国語"_s);
        i.slot(QDate(2005, 4, 11), 3, u"国語"_s);
        i.w->action(u"mnuKey"_s)->trigger();
        i.typeCell(u"国語"_s);
        i.typeCell(u"算数"_s);
        i.w->grid()->setCursor(1, 2);
        i.typeCell(u"12"_s);
        i.typeCell(u"5"_s);

        i.w->action(u"tb_統計"_s)->trigger();
        QCOMPARE(i.t().textMatrix(1, 3), u"6"_s);
        QCOMPARE(i.t().cell(GridModel::CellFloodPercent, 1, 3), 50);
        QCOMPARE(i.t().floodColor(), Stats::BarColor);
        QCOMPARE(i.t().textMatrix(2, 3), QString());
        QCOMPARE(i.t().cell(GridModel::CellFloodPercent, 2, 3), -1);

        // A load keeps keywords, empties targets, counts and bars.
        QVERIFY(Template_Write(i.t(), i.path(u"items.dyz"_s)).ok());
        i.f.env.files->answers << i.path(u"items.dyz"_s);
        i.w->action(u"tb_キーワード読み込み"_s)->trigger();
        QCOMPARE(i.f.env.files->asked[0].filter, QString::fromUtf16(DocFiles::ItemTemplateFilter));
        QCOMPARE(i.t().textMatrix(2, 1), u"算数"_s);
        QCOMPARE(i.t().textMatrix(1, 2), QString());
        QCOMPARE(i.t().textMatrix(1, 3), QString());
        QCOMPARE(i.t().cell(GridModel::CellFloodPercent, 1, 3), -1);
    }

    // Two other years chosen in the item statistics, one of them open with changes not
    // saved, the other changed on disk after it was chosen: 統計 gives each year its
    // column, oldest first, with the counts and bars of that year's own table over the
    // whole school year. A damaged file and a year chosen already are refused with a
    // message and change nothing; a year taken out takes its column along. The record
    // statistics repeat the second keywords typed over the other years.
    void otherYearsCountInColumnsOfTheirOwn() {
        Item i(View::ItemStats, "mnuKoumoku");
        YearPicker* years = i.w->yearPicker();
        QCOMPARE(years->list()->accessibleName(), u"比べる年度"_s);
        QCOMPARE(years->addButton()->accessibleName(), u"年度を追加"_s);
        QCOMPARE(years->removeButton()->accessibleName(), u"年度を外す"_s);
        for (QWidget* w :
             {static_cast<QWidget*>(years->list()), static_cast<QWidget*>(years->addButton())})
            QVERIFY(w->focusPolicy() & Qt::TabFocus);
        const QStringList keys{u"国語"_s, u"算数"_s, u"理*"_s},
            targets{u"300"_s, QString(), u"50"_s};
        for (int k = 0; k < 3; ++k) {
            i.t().setTextMatrix(k + 1, 1, keys[k]);
            i.t().setTextMatrix(k + 1, 2, targets[k]);
        }
        i.f.env.app.store() = slotYear(2005);
        const QString file2003 = i.path(u"2003.dys"_s), file2004 = i.path(u"2004.dys"_s);
        QVERIFY(DocFiles::writeDocument(slotYear(2003), 19, file2003).ok());
        QVERIFY(DocFiles::writeDocument(slotYear(2004), 19, file2004).ok());
        for (const QString& file : {file2004, file2003}) {
            i.f.env.files->answers << file;
            years->addButton()->click();
        }
        QCOMPARE(i.f.env.files->asked.size(), 2);
        QCOMPARE(i.f.env.files->asked[0].filter, QString::fromUtf16(DocFiles::OpenDocumentFilter));
        QCOMPARE(i.f.env.files->asked[0].start, DocFiles::dialogFolder(i.f.env.app.docPath()));
        QCOMPARE(years->chosen().size(), 2);
        QVERIFY(i.f.env.messages->shown.isEmpty());

        // 2004 is open with a change; 2003 changes on disk.
        Document* open = i.f.env.app.addDocument();
        YearStore year2004;
        QVERIFY(DocFiles::readDocument(file2004, year2004).ok());
        open->replace(year2004);
        open->setPath(file2004);
        open->store().set(1, StoreCol::SlotItem1, u"理論"_s); // an empty slot before
        YearStore year2003 = slotYear(2003);
        year2003.set(300, StoreCol::SlotItem1 + 3, u"国語"_s); // an empty slot before
        QVERIFY(DocFiles::writeDocument(year2003, 19, file2003).ok());
        i.w->fromPicker()->setDate(QDate(2005, 4, 1));
        i.w->toPicker()->setDate(QDate(2006, 3, 31));
        i.w->action(u"tb_統計"_s)->trigger();
        QVERIFY(i.f.env.messages->shown.isEmpty());

        const std::pair<int, const YearStore*> counted[] = {
            {2003, &year2003}, {2004, &open->store()}, {2005, &i.f.env.app.store()}};
        QCOMPARE(i.t().cols(), 6);
        for (int y = 0; y < 3; ++y) {
            const auto [baseYear, store] = counted[y];
            GridModel one;
            Koumoku_GridInit(one);
            for (int k = 0; k < 3; ++k) {
                one.setTextMatrix(k + 1, 1, keys[k]);
                one.setTextMatrix(k + 1, 2, targets[k]);
            }
            Koumoku_count(one, *store, 1, Dates::rowOfDate(QDate(baseYear + 1, 3, 31), baseYear));
            QCOMPARE(i.t().textMatrix(0, 3 + y), u"%1年度"_s.arg(baseYear));
            for (int k = 1; k <= 50; ++k) {
                QCOMPARE(i.t().textMatrix(k, 3 + y), one.textMatrix(k, 3));
                QCOMPARE(i.t().cell(GridModel::CellFloodPercent, k, 3 + y),
                         one.cell(GridModel::CellFloodPercent, k, 3));
            }
            QVERIFY(!i.t().textMatrix(1, 3 + y).isEmpty());
        }

        // Kept as a template, the table is the current year's; read back, the keywords
        // stay over every year, targets and counts are emptied.
        GridModel kept;
        i.f.env.files->answers << i.path(u"keys.dyz"_s) << i.path(u"keys.dyz"_s);
        i.w->action(u"tb_キーワード保存"_s)->trigger();
        QVERIFY(kept.loadGrid(i.path(u"keys.dyz"_s)).ok());
        QCOMPARE(kept.cols(), 4);
        QCOMPARE(kept.textMatrix(0, 3), u"回数"_s);
        for (int k = 1; k <= 3; ++k)
            for (int c = 1; c < 4; ++c)
                QCOMPARE(kept.textMatrix(k, c), i.t().textMatrix(k, c == 3 ? 5 : c));
        i.w->action(u"tb_キーワード読み込み"_s)->trigger();
        QCOMPARE(i.t().cols(), 6);
        QCOMPARE(i.t().textMatrix(3, 1), u"理*"_s);
        QCOMPARE(i.t().textMatrix(1, 2), QString());
        QCOMPARE(i.t().textMatrix(1, 4), QString());

        auto texts = [&i] {
            QStringList all;
            for (int r = 0; r < i.t().rows(); ++r)
                for (int c = 0; c < i.t().cols(); ++c)
                    all << i.t().textMatrix(r, c);
            return all;
        };
        const QStringList before = texts();
        const QString damaged = i.path(u"damaged.dys"_s), again = i.path(u"again.dys"_s);
        QFile bad(damaged);
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("DayLogGrid\t1\n367\t19\n") > 0);
        bad.close();
        QVERIFY(QFile::copy(file2003, again));
        for (const QString& file : {damaged, again}) {
            i.f.env.files->answers << file;
            years->addButton()->click();
            const MessageBox::Request shown = i.f.env.messages->shown.last();
            QVERIFY2(shown.text.contains(file) && shown.text.contains(u"\n"_s),
                     qPrintable(shown.text));
            QCOMPARE(shown.icon, file == damaged ? MessageBox::Critical : MessageBox::Warning);
            QCOMPARE(years->chosen().size(), 2);
            QCOMPARE(texts(), before);
        }
        QVERIFY(i.f.env.messages->shown.last().text.contains(u"2003年度"_s));

        years->list()->setCurrentIndex(0); // 2004
        years->removeButton()->click();
        QCOMPARE(i.t().cols(), 5);
        QCOMPARE(i.t().textMatrix(0, 3), u"2003年度"_s);
        QCOMPARE(i.t().textMatrix(0, 4), u"2005年度"_s);
        QCOMPARE(i.t().textMatrix(3, 1), u"理*"_s);

        Record r = openRecord();
        r.f.env.files->answers << file2003;
        r.w->yearPicker()->addButton()->click();
        QCOMPARE(r.t().cols(), 22);
        r.w->action(u"mnuKey2"_s)->trigger();
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(1, 2));
        r.typeCell(u"の授業"_s);
        QCOMPARE(r.t().textMatrix(1, 12), u"の授業"_s);
        QVERIFY(!r.t().isEditable(1, 12));
        r.w->action(u"mnuKey1"_s)->trigger();
        QCOMPARE(std::pair(r.t().row(), r.t().col()), std::pair(2, 1));
    }

    void statisticsOpenFromEveryView() {
        ViewFixture f;
        struct From {
            View view;
            const char16_t* record;
            const char16_t* item;
        };
        for (const From& from : {From{View::Weekly, u"mnuKiroku", u"mnuKoumoku"},
                                 From{View::Monthly, u"mnuKiroku", u"mnuKoumoku"},
                                 From{View::Main, u"kiroku", u"koumoko"}}) {
            f.env.nav->open(from.view);
            auto* view = static_cast<ViewWindow*>(f.env.nav->window(from.view)->widget());
            for (const auto& [name, target] : {std::pair(from.record, View::RecordStats),
                                               std::pair(from.item, View::ItemStats)}) {
                QAction* a = view->action(QString::fromUtf16(name));
                QVERIFY(a && a->isEnabled());
                a->trigger();
                QVERIFY(f.env.nav->window(target)->widget()->isVisible());
                QVERIFY(view->isVisible());
                f.env.nav->closeWindow(f.env.nav->window(target));
            }
        }
    }
};

QTEST_MAIN(TestStatsWindows)
#include "tst_statswindows.moc"
