// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One thing a user does, with what it needs to be done again the same way. Its
// numbers are relative to what the program shows (the n-th item of the day shown,
// the n-th open document), so that a step still means something when steps before
// it are left out; a step that no longer applies is passed over.

#include "model.h"

#include "gui/platform/messagebox.h"

#include <QColor>
#include <QRandomGenerator>

#include <functional>
#include <optional>
#include <vector>

namespace UserModel {

enum class Kind {
    Switch,        // a: the view to go to, from the view's 表示 menu
    CalendarMonth, // a: -1 or +1
    CalendarDay,   // a: day of the month shown (opens the diary)
    MoveCaret,     // a: a text box of the view, b: a key that moves the caret or the focus
    DiaryMonth,    // a: -1 or +1
    DiaryDay,      // a: day of the month shown
    DiaryType,     // a: field, text
    DiaryAdd,      // text; b: minutes after midnight or -1
    DiaryTick,     // a: item
    DiaryDelete,   // a: item
    DiaryCopy,
    DiaryPrint,
    WeeklyMonth,  // a: -1 or +1
    WeeklyDay,    // a: day of the month shown
    WeeklyEvents, // a: day of the week 0..6, text
    WeeklySlot,   // a: day 1..6, b: slot, text
    WeeklyAdd,    // a: day, text
    WeeklyTick,   // a: day, b: item
    WeeklyDelete, // a: day, b: item
    MonthlyMonth, // a: -1 or +1
    MonthlyType,  // a: day of the month, text
    MonthlyDay,   // a: day of the month (opens the diary)
    TableType,    // a: row, b: column, text
    TablePage,    // a: -1 or +1
    TableCopy,    // a: row, b: column
    TableColour,  // a: row, b: column, c: colour
    TablePrint,
    Open,     // text: file name
    Activate, // a: open document
    Close,    // a: open document, answers[0]
    Save,     // a: 0 calendar, 1 main window
    SaveAs,   // a: as Save, text: new file name
    ListOpen,
    ListShow, // a, b: first and last day (rows of the year), answers[0]
    ListSave,
    ListTick,   // a: row
    ListRedate, // a: row, b: day (row of the year)
    ListRetype, // a: row, text
    ListDelete, // a: row
    ListAdd,    // a: row, b: day, text
    ListClose,  // answers[0]
    End,        // answers: for the open documents in order
};

// The kind's name, as failure kinds carry it.
inline QString kindName(Kind k) {
    static const char* const names[] = {
        "Switch",       "CalendarMonth", "CalendarDay",  "MoveCaret",   "DiaryMonth", "DiaryDay",
        "DiaryType",    "DiaryAdd",      "DiaryTick",    "DiaryDelete", "DiaryCopy",  "DiaryPrint",
        "WeeklyMonth",  "WeeklyDay",     "WeeklyEvents", "WeeklySlot",  "WeeklyAdd",  "WeeklyTick",
        "WeeklyDelete", "MonthlyMonth",  "MonthlyType",  "MonthlyDay",  "TableType",  "TablePage",
        "TableCopy",    "TableColour",   "TablePrint",   "Open",        "Activate",   "Close",
        "Save",         "SaveAs",        "ListOpen",     "ListShow",    "ListSave",   "ListTick",
        "ListRedate",   "ListRetype",    "ListDelete",   "ListAdd",     "ListClose",  "End",
    };
    return QLatin1String(names[int(k)]);
}

struct Action {
    Kind kind = Kind::Switch;
    int a = 0, b = 0, c = 0;
    QString text;
    std::vector<Answer> answers;
};

// An action as one word of a replayable script: "Kind,a,b,c,text,answers" with the
// answers as letters (Y はい, N いいえ, E Escape).
inline QString encode(const Action& a) {
    QString answers;
    for (Answer x : a.answers)
        answers += x == Answer::Yes ? u'Y' : x == Answer::No ? u'N' : u'E';
    return QStringLiteral("%1,%2,%3,%4,%5,%6")
        .arg(kindName(a.kind))
        .arg(a.a)
        .arg(a.b)
        .arg(a.c)
        .arg(a.text, answers);
}
inline std::optional<Action> decode(const QString& word) {
    const QStringList f = word.trimmed().split(u',');
    if (f.size() != 6)
        return std::nullopt;
    Action a;
    int k = 0;
    while (kindName(Kind(k)) != f[0])
        if (++k > int(Kind::End))
            return std::nullopt;
    a.kind = Kind(k);
    a.a = f[1].toInt();
    a.b = f[2].toInt();
    a.c = f[3].toInt();
    a.text = f[4];
    for (const QChar c : f[5])
        a.answers.push_back(c == u'Y' ? Answer::Yes : c == u'N' ? Answer::No : Answer::Escape);
    return a;
}

inline Action act(Kind kind, int a = 0, int b = 0, int c = 0, const QString& text = {},
                  std::vector<Answer> answers = {}) {
    return {kind, a, b, c, text, std::move(answers)};
}

// The colours a colour command may choose.
inline QColor paletteColour(int i) {
    static const QColor colours[] = {QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255),
                                     QColor(200, 100, 0), QColor(128, 0, 128)};
    return colours[i % 5];
}
// As the program keeps colours: red in the low byte.
inline qint64 storedColour(const QColor& c) {
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}

// Picks the next action at random, among those that make sense for `m`.
class Generator {
public:
    explicit Generator(quint64 seed) : m_rng(quint32(seed ^ (seed >> 32))) {}

    Action next(const Model& m) {
        m_choices.clear();
        ++m_serial;
        const Doc& cur = m.docs[size_t(m.current)];
        const QDate focus = m.focus.isValid() ? m.focus : cur.content.dateOf(40);
        const int focusRow = std::clamp(cur.content.rowOf(focus), 1, cur.content.daysInYear());
        auto dir = [this] { return m_rng.bounded(2) ? 1 : -1; };
        auto near = [&](int lo, int hi) {
            return std::clamp(focusRow + lo + int(m_rng.bounded(hi - lo + 1)), 1,
                              cur.content.daysInYear());
        };
        auto day = [&] { return std::clamp(focus.day() - 5 + int(m_rng.bounded(14)), 1, 31); };
        auto views = [&](double w) {
            for (Screen s :
                 {Screen::Calendar, Screen::Diary, Screen::Weekly, Screen::Monthly, Screen::Main})
                if (s != m.view)
                    add(s == Screen::Calendar ? 2 * w : w, act(Kind::Switch, int(s)));
        };
        const int open = int(m.openDocs().size());
        switch (m.view) {
        case Screen::Calendar:
            views(1.5);
            add(1, act(Kind::CalendarMonth, dir()));
            add(2, act(Kind::CalendarDay, day()));
            add(1.5, act(Kind::Save, 0));
            add(0.4, act(Kind::SaveAs, 0, 0, 0, newName(cur)));
            if (!m.list.open)
                add(2, act(Kind::ListOpen));
            if (!m.list.modified)
                add(1.5, act(Kind::End, 0, 0, 0, {}, answers(4)));
            break;
        case Screen::Diary:
            views(1);
            add(1, act(Kind::DiaryMonth, dir()));
            add(2, act(Kind::DiaryDay, day()));
            add(8, act(Kind::DiaryType, int(m_rng.bounded(TextFields)), 0, 0, words()));
            add(3, act(Kind::DiaryAdd, 0, m_rng.bounded(2) ? int(m_rng.bounded(24 * 60)) : -1, 0,
                       item()));
            add(1.5, act(Kind::DiaryTick, int(m_rng.bounded(3))));
            add(1, act(Kind::DiaryDelete, int(m_rng.bounded(3))));
            add(0.3, act(Kind::DiaryCopy));
            add(0.5, act(Kind::MoveCaret, int(m_rng.bounded(64)), int(m_rng.bounded(7))));
            add(0.1, act(Kind::DiaryPrint));
            if (!m.list.open)
                add(1, act(Kind::ListOpen));
            break;
        case Screen::Weekly: {
            views(1);
            const int e = int(m_rng.bounded(7)), e6 = 1 + int(m_rng.bounded(6));
            add(1, act(Kind::WeeklyMonth, dir()));
            add(1.5, act(Kind::WeeklyDay, day()));
            add(3, act(Kind::WeeklyEvents, e, 0, 0, words()));
            add(3, act(Kind::WeeklySlot, e6, int(m_rng.bounded(7)), 0, words()));
            add(2, act(Kind::WeeklyAdd, e, 0, 0, item()));
            add(1, act(Kind::WeeklyTick, e, int(m_rng.bounded(3))));
            add(1, act(Kind::WeeklyDelete, e, int(m_rng.bounded(3))));
            add(0.5, act(Kind::MoveCaret, int(m_rng.bounded(64)), int(m_rng.bounded(7))));
            break;
        }
        case Screen::Monthly:
            views(0.7);
            add(1, act(Kind::MonthlyMonth, dir()));
            add(5, act(Kind::MonthlyType, day(), 0, 0, words()));
            add(1, act(Kind::MonthlyDay, day()));
            add(0.5, act(Kind::MoveCaret, int(m_rng.bounded(64)), int(m_rng.bounded(7))));
            break;
        case Screen::Main: {
            views(1);
            const int col = 2 + int(m_rng.bounded(TextFields));
            add(5, act(Kind::TableType, near(-5, 12), col, 0, words()));
            add(1, act(Kind::TablePage, dir()));
            add(1, act(Kind::TableCopy, near(-5, 12), col));
            add(0.5,
                act(Kind::TableColour, near(-5, 12), std::min(col, 16), int(m_rng.bounded(10))));
            add(0.1, act(Kind::TablePrint));
            std::vector<QString> closed, opened;
            for (const auto& [path, content] : m.disk)
                (m.openDocAt(path) ? opened : closed).push_back(QFileInfo(path).fileName());
            if (!closed.empty() && open < 4)
                add(2.5, act(Kind::Open, 0, 0, 0, closed[m_rng.bounded(quint32(closed.size()))]));
            if (!opened.empty())
                add(0.6, act(Kind::Open, 0, 0, 0, opened[m_rng.bounded(quint32(opened.size()))]));
            if (open >= 2) {
                add(2, act(Kind::Activate, int(m_rng.bounded(open))));
                add(1, act(Kind::Close, int(m_rng.bounded(open)), 0, 0, {}, answers(1)));
            }
            add(1.5, act(Kind::Save, 1));
            add(0.4, act(Kind::SaveAs, 1, 0, 0, newName(cur)));
            break;
        }
        }
        if (m.list.open) {
            const int rows = int(m.list.rows.size());
            const ToDoListModel& l = m.list;
            auto listDay = [&](int lo, int hi) { return near(lo, hi); };
            const int first = listDay(-10, 5);
            add(2, act(Kind::ListShow, first,
                       std::min(first + int(m_rng.bounded(26)), cur.content.daysInYear()), 0, {},
                       answers(1)));
            if (l.shown) {
                add(1.5, act(Kind::ListSave));
                const int row = rows ? int(m_rng.bounded(rows)) : 0;
                int inRange = l.from.isValid() ? cur.content.rowOf(l.from) : focusRow;
                if (l.from.isValid())
                    inRange += int(m_rng.bounded(quint32(l.from.daysTo(l.to) + 1)));
                add(1, act(Kind::ListTick, row));
                add(1.5, act(Kind::ListRedate, row, m_rng.bounded(3) ? listDay(-15, 40) : inRange));
                add(1, act(Kind::ListRetype, row, 0, 0, item()));
                add(0.7, act(Kind::ListDelete, row));
                add(1, act(Kind::ListAdd, row, m_rng.bounded(3) ? inRange : listDay(-20, 40), 0,
                           item()));
            }
            add(0.7, act(Kind::ListClose, 0, 0, 0, {}, answers(1)));
        }
        double total = 0;
        for (const auto& c : m_choices)
            total += c.first;
        double pick = m_rng.generateDouble() * total;
        for (const auto& c : m_choices) {
            if (pick < c.first)
                return c.second;
            pick -= c.first;
        }
        return m_choices.back().second;
    }

    QRandomGenerator& rng() { return m_rng; }

private:
    void add(double weight, Action a) { m_choices.push_back({weight, std::move(a)}); }
    std::vector<Answer> answers(int n) {
        std::vector<Answer> out;
        for (int i = 0; i < n; ++i) {
            const quint32 r = m_rng.bounded(10);
            out.push_back(r < 5 ? Answer::Yes : r < 8 ? Answer::No : Answer::Escape);
        }
        return out;
    }
    QString words() {
        static const QString pool =
            QStringLiteral("あいうえおかきくけこ日月火水木金土春夏秋冬山川会議");
        QString s;
        for (int i = 0, n = 1 + int(m_rng.bounded(3)); i < n; ++i)
            s += pool[qsizetype(m_rng.bounded(quint32(pool.size())))];
        return s;
    }
    // Every item gets a text of its own, so that two items never look alike.
    QString item() { return QStringLiteral("用件%1").arg(m_serial); }
    QString newName(const Doc& d) {
        return QStringLiteral("%1-%2.dys").arg(d.content.year).arg(m_serial);
    }

    QRandomGenerator m_rng;
    int m_serial = 0;
    std::vector<std::pair<double, Action>> m_choices;
};

} // namespace UserModel
