// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The reference model of the user model test: what every open document must hold
// after a sequence of user actions, as the program is meant to behave. It knows
// nothing of windows; the steps (steps.h) tell it what the user did and where.
//
// What it encodes:
// - Only edits change a document. Viewing, switching windows, stepping dates,
//   scrolling, copying and printing change nothing and mark nothing changed.
// - Every open document has its own changed state; saving one leaves the others.
// - Ending the program asks about each changed document, in the order they were
//   opened, naming it: Yes saves it, No lets its changes go, Cancel (Escape) ends
//   nothing. Yes saves at once, so an end cancelled later has saved the documents
//   answered Yes before.
// - The ToDo list is bound to the document it was filled from. While it holds no
//   edits of its own it shows that document as it is now. Its 保存 writes back only
//   what was changed in the list since 表示, merged with the document as it is now
//   (see ToDoListModel::merge), and then shows the document again.
// - Colour cells change only by a colour command.

#include <QDate>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace UserModel {

inline constexpr int Days = 366;       // store rows 1..366
inline constexpr int FirstTextCol = 2; // events
inline constexpr int TextFields = 16;  // store columns 2..17
inline constexpr int ToDoCol = 18;     // the day's ToDo items
inline constexpr int FirstColourCol = 19;
inline constexpr int ColourCols = 33; // store columns 19..51

// The name of a text field (index 0..15, store column index + 2), as lines print it.
inline QString fieldName(int field) {
    if (field == 0)
        return QStringLiteral("events");
    if (field == 1)
        return QStringLiteral("record");
    if (field < 9)
        return QStringLiteral("slot %1 title").arg(field - 1);
    return QStringLiteral("slot %1 content").arg(field - 8);
}

// The colour cells a grid column's text and background colours are kept in.
struct ColourCells {
    int fore, back;
};
inline ColourCells colourCellsOf(int gridCol) {
    if (gridCol == 2)
        return {20, 29};
    if (gridCol == 3)
        return {28, 51};
    if (gridCol >= 4 && gridCol <= 10)
        return {21 + gridCol - 4, 30 + gridCol - 4};
    return {37 + gridCol - 11, 44 + gridCol - 11};
}

// The name of a colour cell (store column 19..51).
inline QString colourName(int col) {
    if (col == 19)
        return QStringLiteral("weekday colour");
    static const char* const parts[] = {"text colour", "background"};
    for (int g = 2; g <= 17; ++g) {
        const ColourCells cells = colourCellsOf(g);
        for (int i = 0; i < 2; ++i)
            if ((i ? cells.back : cells.fore) == col)
                return fieldName(g - 2) + u' ' + QLatin1String(parts[i]);
    }
    return QStringLiteral("colour cell %1").arg(col);
}

struct Item {
    bool done = false;
    QString time, category, text;
    bool operator==(const Item& o) const = default;
    QString describe() const {
        QString s = (done ? QStringLiteral("[x] ") : QStringLiteral("[ ] "));
        if (!time.isEmpty())
            s += time + u' ';
        return s + u'\'' + text + u'\'';
    }
};
using Items = std::vector<Item>;

inline QString describe(const Items& items) {
    QStringList out;
    for (const Item& i : items)
        out << i.describe();
    return u'{' + out.join(QStringLiteral(", ")) + u'}';
}

// Everything the test compares of one year: the texts of columns 2..17, the ToDo
// items of column 18 and the colour cells 19..51 of the rows 1..366.
struct DocContent {
    int year = 0;
    std::vector<QString> texts = std::vector<QString>(size_t(Days + 1) * TextFields);
    std::vector<Items> todo = std::vector<Items>(size_t(Days + 1));
    std::vector<qint64> colours = std::vector<qint64>(size_t(Days + 1) * ColourCols);

    QString& text(int row, int field) { return texts[size_t(row) * TextFields + size_t(field)]; }
    const QString& text(int row, int field) const {
        return texts[size_t(row) * TextFields + size_t(field)];
    }
    qint64& colour(int row, int col) {
        return colours[size_t(row) * ColourCols + size_t(col - FirstColourCol)];
    }
    qint64 colour(int row, int col) const {
        return colours[size_t(row) * ColourCols + size_t(col - FirstColourCol)];
    }
    bool operator==(const DocContent& o) const = default;

    QDate dateOf(int row) const { return QDate(year, 3, 31).addDays(row); }
    int rowOf(const QDate& d) const { return int(QDate(year, 3, 31).daysTo(d)); }
    // Days 1 April .. 31 March (365 or 366).
    int daysInYear() const { return rowOf(QDate(year + 1, 3, 31)); }
};

struct Doc {
    int id = 0; // order of opening
    QString path;
    DocContent content;
    bool changed = false;
    bool open = true;
    QString name() const { return QFileInfo(path).fileName(); }
};

// A row of the ToDo list: a day's item, or a row without text (no item).
struct ListRow {
    QDate date;
    Item item;
    int originRow = -1; // the day it was shown for at 表示 (-1: added in the list)
    bool edited = false;
};

struct ToDoListModel {
    bool open = false;
    int year = 0; // the year its date fields offer
    bool shown = false;
    int doc = -1; // the document it was filled from
    QDate from, to;
    std::vector<ListRow> rows;
    std::map<int, Items> base; // the items of each day of the range at 表示
    bool modified = false;

    // Fills the list from `d` for its range: the days in order, each day's items in
    // stored order; one row without text when the range has no item.
    void fill(const DocContent& d) {
        rows.clear();
        base.clear();
        for (int r = std::max(1, d.rowOf(from)); r <= std::min(Days, d.rowOf(to)); ++r) {
            base[r] = d.todo[size_t(r)];
            for (const Item& i : d.todo[size_t(r)])
                rows.push_back({d.dateOf(r), i, r, false});
        }
        if (rows.empty())
            rows.push_back({});
        modified = false;
    }

    // The document after 保存: for each day of the range, the list's rows of that day
    // in list order (a row unchanged since 表示 only while its item is still in the
    // document), then the document's items of the day that were not shown at 表示,
    // in document order; a row moved to a day outside the range is added after that
    // day's items.
    DocContent merge(const DocContent& now) const {
        DocContent out = now;
        const int first = std::max(1, now.rowOf(from)), last = std::min(Days, now.rowOf(to));
        for (int r = first; r <= last; ++r) {
            Items left = now.todo[size_t(r)], result;
            auto take = [](Items& pool, const Item& i) {
                const auto it = std::find(pool.begin(), pool.end(), i);
                if (it == pool.end())
                    return false;
                pool.erase(it);
                return true;
            };
            for (const ListRow& row : rows) {
                if (row.item.text.isEmpty() || now.rowOf(row.date) != r)
                    continue;
                if (!row.edited && row.originRow == r) {
                    if (take(left, row.item))
                        result.push_back(row.item);
                } else {
                    result.push_back(row.item);
                }
            }
            Items atShow = base.count(r) ? base.at(r) : Items();
            for (const Item& i : now.todo[size_t(r)])
                if (!take(atShow, i))
                    result.push_back(i);
            out.todo[size_t(r)] = result;
        }
        for (const ListRow& row : rows) {
            const int r = now.rowOf(row.date);
            if (!row.item.text.isEmpty() && (r < first || r > last) && r >= 1 && r <= Days)
                out.todo[size_t(r)].push_back(row.item);
        }
        return out;
    }
};

enum class Screen { Calendar, Diary, Weekly, Monthly, Main };

inline QString screenName(Screen v) {
    switch (v) {
    case Screen::Calendar:
        return QStringLiteral("calendar");
    case Screen::Diary:
        return QStringLiteral("diary");
    case Screen::Weekly:
        return QStringLiteral("weekly");
    case Screen::Monthly:
        return QStringLiteral("monthly");
    case Screen::Main:
        return QStringLiteral("main window");
    }
    return {};
}

// How the user answers a question.
enum class Answer { Yes, No, Escape };

inline QString answerName(Answer a) {
    switch (a) {
    case Answer::Yes:
        return QStringLiteral("はい");
    case Answer::No:
        return QStringLiteral("いいえ");
    case Answer::Escape:
        return QStringLiteral("Escape");
    }
    return {};
}

// A question the program is expected to ask in a step: about a document (the end,
// closing its table) or about the ToDo list's unsaved edits.
struct Expected {
    int doc = -1; // -1: the ToDo list's question
};

struct Model {
    std::vector<Doc> docs;              // every document opened in the session, closed ones too
    std::map<QString, DocContent> disk; // what every file must hold
    int diskVersion = 0;                // counts the changes of `disk`
    int current = 0;
    Screen view = Screen::Calendar;
    ToDoListModel list;
    bool ended = false;
    QDate focus;                    // the day the views last showed (for choosing actions)
    std::vector<Expected> expected; // the questions of the step being run

    Doc& doc(int id) { return docs[size_t(id)]; }
    Doc& cur() { return doc(current); }
    std::vector<int> openDocs() const {
        std::vector<int> out;
        for (const Doc& d : docs)
            if (d.open)
                out.push_back(d.id);
        return out;
    }
    std::optional<int> openDocAt(const QString& path) const {
        for (const Doc& d : docs)
            if (d.open && d.path == path)
                return d.id;
        return std::nullopt;
    }

    // ---- edits -----------------------------------------------------------------

    void edited(int id) {
        doc(id).changed = true;
        followDocument();
    }
    void setText(int id, int row, int field, const QString& text) {
        doc(id).content.text(row, field) = text;
        edited(id);
    }
    void addItem(int id, int row, const Item& item) {
        doc(id).content.todo[size_t(row)].push_back(item);
        edited(id);
    }
    void tickItem(int id, int row, int k) {
        doc(id).content.todo[size_t(row)][size_t(k)].done = true;
        edited(id);
    }
    void deleteItem(int id, int row, int k) {
        Items& items = doc(id).content.todo[size_t(row)];
        items.erase(items.begin() + k);
        edited(id);
    }
    void colour(int id, int row1, int col1, int row2, int col2, bool fore, qint64 value) {
        for (int r = row1; r <= row2; ++r)
            for (int c = col1; c <= col2; ++c) {
                const ColourCells cells = colourCellsOf(c);
                doc(id).content.colour(r, fore ? cells.fore : cells.back) = value;
            }
        edited(id);
    }

    // ---- documents -------------------------------------------------------------

    void save(int id) {
        Doc& d = doc(id);
        disk[d.path] = d.content;
        ++diskVersion;
        d.changed = false;
    }
    void saveAs(int id, const QString& path) {
        doc(id).path = path;
        save(id);
    }
    // ﾌｧｲﾙ → 開く: a file already open only comes to the front.
    void open(const QString& path) {
        if (const auto id = openDocAt(path)) {
            current = *id;
            return;
        }
        Doc d;
        d.id = int(docs.size());
        d.path = path;
        d.content = disk.at(path);
        docs.push_back(d);
        current = d.id;
    }
    // Closing a table. The ToDo list's unsaved edits of its document are asked about
    // first. Unchanged, it just closes. Changed, the question asks whether to end the
    // program: Yes lets this document's changes go and ends the program as 終了 does
    // (the list's other edits, then every other changed document asked about, all
    // answered `answer`); No or Escape keeps everything open.
    bool close(int id, Answer answer) {
        if (list.shown && list.doc == id && !settleList(answer))
            return false;
        if (doc(id).changed)
            expected.push_back({id});
        if (!doc(id).changed) {
            doc(id).open = false;
            return true;
        }
        if (answer != Answer::Yes)
            return false;
        settleList(answer); // the list's edits of other documents
        doc(id).changed = false;
        end({});
        return true;
    }
    // Ending the program: a question for each changed document in turn, until one is
    // answered Escape.
    void end(const std::map<int, Answer>& answers) {
        for (int id : openDocs()) {
            if (!doc(id).changed)
                continue;
            expected.push_back({id});
            const Answer a = answers.count(id) ? answers.at(id) : Answer::Yes;
            if (a == Answer::Escape)
                return;
            if (a == Answer::Yes)
                save(id);
        }
        ended = true;
        for (Doc& d : docs)
            d.open = false;
    }

    // ---- the ToDo list ---------------------------------------------------------

    // While the list holds no edits it shows its document as it is now.
    void followDocument() {
        if (list.shown && !list.modified && doc(list.doc).open)
            list.fill(doc(list.doc).content);
    }
    void listSave() {
        if (!list.shown)
            return;
        Doc& d = doc(list.doc);
        const DocContent merged = list.merge(d.content);
        if (!(merged == d.content)) {
            d.content = merged;
            d.changed = true;
        }
        list.fill(d.content);
    }
    // Asks about the list's unsaved edits; false when the user cancels.
    bool settleList(Answer a) {
        if (!list.modified)
            return true;
        expected.push_back({-1});
        if (a == Answer::Escape)
            return false;
        if (a == Answer::Yes)
            listSave();
        list.modified = false;
        // Saved or let go: from then on it shows its document as it is.
        followDocument();
        return true;
    }
    void listShow(const QDate& from, const QDate& to, Answer a) {
        if (!settleList(a))
            return;
        list.shown = true;
        list.doc = current;
        list.from = from;
        list.to = to;
        list.fill(cur().content);
    }
    void listOpened(const QDate& from, const QDate& to) {
        list.shown = true;
        list.doc = current;
        list.from = from;
        list.to = to;
        list.fill(cur().content);
    }
    void listEdited() { list.modified = true; }
    void listClose(Answer a) {
        if (!settleList(a))
            return;
        list = ToDoListModel();
    }
};

} // namespace UserModel
