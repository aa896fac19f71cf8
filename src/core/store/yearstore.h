// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUuid>

#include <array>
#include <vector>

class GridModel;

// A cell of the year store: empty, a text or an integer.
class StoreValue {
public:
    StoreValue() = default;
    StoreValue(const QString& text) : m_text(text), m_kind(Text) {}
    StoreValue(const char16_t* text) : m_text(QString::fromUtf16(text)), m_kind(Text) {}
    StoreValue(qint64 number) : m_number(number), m_kind(Number) {}
    StoreValue(int number) : m_number(number), m_kind(Number) {}

    bool isEmpty() const { return m_kind == Empty; }
    bool isText() const { return m_kind == Text; }
    bool isNumber() const { return m_kind == Number; }
    // An empty cell gives the empty text, a number its decimal digits.
    QString toText() const;
    // A text gives its numeric value (0 when it does not start with a number).
    qint64 toNumber() const;
    bool operator==(const StoreValue& o) const;
    // Whether two values mean the same in store column `col`: the same text in a text
    // column (an empty cell and the empty text alike, the year as a number or as its
    // digits), the same number in a colour column (empty, 0 and "0" all mean "no
    // colour chosen").
    bool sameIn(int col, const StoreValue& o) const;

private:
    QString m_text;
    qint64 m_number = 0;
    enum Kind : quint8 { Empty, Text, Number } m_kind = Empty;
};

// Columns of the year store.
namespace StoreCol {
inline constexpr int Date = 0, Weekday = 1, Events = 2, Record = 3;
inline constexpr int SlotItem1 = 4;  // ..10
inline constexpr int SlotText1 = 11; // ..17
inline constexpr int ToDo = 18;
inline constexpr int WeekdayFore = 19, EventsFore = 20;
inline constexpr int SlotItemFore1 = 21; // ..27
inline constexpr int RecordFore = 28, EventsBack = 29;
inline constexpr int SlotItemBack1 = 30; // ..36
inline constexpr int SlotTextFore1 = 37; // ..43
inline constexpr int SlotTextBack1 = 44; // ..50
inline constexpr int RecordBack = 51;
inline constexpr int TextColumns = 19; // 0..18 hold texts
} // namespace StoreCol

// How the colour columns map onto grid cells of the same row: the text colour and
// (where there is one) the background colour of grid column `gridCol`.
struct ColorMapLine {
    int gridCol;
    int foreCol;
    int backCol; // -1: none
};
const std::array<ColorMapLine, 17>& cellColorMap();

// Headings of row 0, columns 1..18.
const std::array<QString, 19>& storeHeadings();

// All data of one document: one row per day of the year from 1 April, one column per
// kind of entry and its colours, and the document's identity.
//
// The identity is a random UUID made with the document (Store_New) and kept in its
// file, so that it stays the same across saves, renames and copies of the file: what
// the document exports to other programs is named after it (see icalendar.h). It is
// no cell: setting it is no edit, and two stores are the same (sameAs) by their cells.
//
// A store may have an observer (the document it belongs to): every write that changes
// what a cell means is reported to it, whoever makes it. In an observed store a write
// of a value that means the same as the cell's (see StoreValue::sameIn) is no change
// and is not made; a store without an observer takes every value as it is given.
class YearStore {
public:
    static constexpr int Rows = 369;
    static constexpr int Cols = 54;
    static constexpr int DayRows = 366; // rows 1..366 are days

    class Observer {
    public:
        virtual void storeWritten(int row, int col) = 0;
        // The whole store was replaced (assignment, clear).
        virtual void storeReplaced() = 0;

    protected:
        ~Observer() = default;
    };

    YearStore();
    // A copy holds the cells only, never the observer; assigning into an observed store
    // reports the replacement to its observer.
    YearStore(const YearStore& o) : m_cells(o.m_cells), m_documentId(o.m_documentId) {}
    YearStore& operator=(const YearStore& o);

    const StoreValue& at(int row, int col) const { return m_cells[index(row, col)]; }
    // False when nothing was written (an observed cell already meant `v`).
    bool set(int row, int col, const StoreValue& v);
    QString text(int row, int col) const { return at(row, col).toText(); }
    qint64 number(int row, int col) const { return at(row, col).toNumber(); }
    void clear();
    // Whether every cell means the same as `o`'s.
    bool sameAs(const YearStore& o) const;

    void setObserver(Observer* observer) { m_observer = observer; }

    // Null for a store that belongs to no document yet.
    const QUuid& documentId() const { return m_documentId; }
    void setDocumentId(const QUuid& id) { m_documentId = id; }

    static bool valid(int row, int col) { return row >= 0 && row < Rows && col >= 0 && col < Cols; }

private:
    static size_t index(int row, int col);
    std::vector<StoreValue> m_cells;
    QUuid m_documentId;
    Observer* m_observer = nullptr;
};

// Copies between the store and an annual-shaped grid (the annual grid or the buffer
// grid): every text of the grid's columns, and every mapped colour of rows 1..
void copyGridToStore(const GridModel& grid, YearStore& store);
void copyStoreToGrid(const YearStore& store, GridModel& grid);
