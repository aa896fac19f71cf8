// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ToDo list's steps (part of Steps, steps.h).

namespace UserModel {

inline Steps::Outcome Steps::list(const Action& a) {
    ToDoListModel& l = m.list;
    const QString name = QStringLiteral("ToDo list: ");
    if (a.kind == Kind::ListOpen) {
        if (m.view != Screen::Calendar && m.view != Screen::Diary)
            return skip();
        say(screenName(m.view) + QStringLiteral(": open the ToDo list"));
        if (!d.trigger(d.view(m.view), m.view == Screen::Calendar
                                           ? QStringLiteral("mnuToDo")
                                           : QStringLiteral("tb_ToDo一覧")) ||
            !d.waitActive(d.list()))
            return step(false);
        if (!l.open) {
            l.open = true;
            l.year = m.cur().content.year;
            // It opens with a month of the current document listed (the month of the
            // program's current date: the window's test checks which).
            m.listOpened(d.list()->fromPicker()->date(), d.list()->toPicker()->date());
        }
        return Outcome::Done;
    }
    if (!l.open)
        return skip();
    ToDoListWindow* w = d.list();
    const DocContent& year = m.doc(l.shown ? l.doc : m.current).content;
    auto dateOf = [&](int row) { return year.dateOf(std::clamp(row, 1, year.daysInYear())); };
    auto ymd = [](const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); };
    const Answer answer = a.answers.empty() ? Answer::Yes : a.answers[0];
    switch (a.kind) {
    case Kind::ListShow: {
        if (l.year != m.cur().content.year)
            return skip();
        const QDate from = dateOf(a.a), to = dateOf(std::max(a.a, a.b));
        say(name + QStringLiteral("表示 %1 - %2").arg(ymd(from), ymd(to)) +
            (l.modified ? QStringLiteral(", answering ") + answerName(answer) : QString()));
        if (!d.activate(w))
            return step(false);
        w->fromPicker()->setDate(from);
        w->toPicker()->setDate(to);
        policy = [answer](const Asked&) { return answer; };
        if (!d.click(w->showButton()))
            return step(false);
        m.listShow(from, to, answer);
        return Outcome::Done;
    }
    case Kind::ListSave:
        if (!l.shown || !m.doc(l.doc).open)
            return skip();
        say(name + QStringLiteral("保存"));
        if (!d.activate(w) || !d.click(w->saveButton()))
            return step(false);
        m.listSave();
        return Outcome::Done;
    case Kind::ListClose:
        say(name + QStringLiteral("閉じる") +
            (l.modified ? QStringLiteral(", answering ") + answerName(answer) : QString()));
        policy = [answer](const Asked&) { return answer; };
        if (!d.trigger(w, QStringLiteral("mnuUnload")))
            return step(false);
        m.listClose(answer);
        return Outcome::Done;
    default:
        break;
    }
    // The rows: what the user acts on must be what the model has.
    if (!l.shown || !m.doc(l.doc).open || a.a >= int(l.rows.size()))
        return skip();
    ListRow& row = l.rows[size_t(a.a)];
    const int r = a.a + 1;
    const bool item = !row.item.text.isEmpty();
    Grid* g = w->grid();
    // Before a row is used: the list is in front (a view beside it has stored its page
    // into the document) and shows what the model has.
    auto ready = [&]() -> std::optional<Outcome> {
        if (!d.activate(w))
            return step(false);
        if (const auto f = checkList()) {
            failure = *f;
            return Outcome::Failed;
        }
        return std::nullopt;
    };
    switch (a.kind) {
    case Kind::ListTick:
        if (!item || row.item.done)
            return skip();
        say(name + QStringLiteral("tick row %1 ").arg(r) + row.item.describe());
        if (const auto o = ready())
            return *o;
        if (!d.keyInGrid(g, r, ListColumns.check, Qt::Key_Space))
            return step(false);
        row.item.done = true;
        break;
    case Kind::ListRedate: {
        const QDate to = dateOf(a.b);
        if (!item || to == row.date)
            return skip();
        say(name +
            QStringLiteral("re-date row %1 %2 to %3").arg(r).arg(row.item.describe(), ymd(to)));
        if (const auto o = ready())
            return *o;
        if (!d.editDate(g, r, ListDateCol, to))
            return step(false);
        row.date = to;
        break;
    }
    case Kind::ListRetype:
        if (!item)
            return skip();
        say(name +
            QStringLiteral("type '%1' over row %2 %3").arg(a.text).arg(r).arg(row.item.describe()));
        if (const auto o = ready())
            return *o;
        if (!d.typeInGrid(g, r, ListColumns.text, a.text))
            return step(false);
        row.item.text = a.text;
        break;
    case Kind::ListDelete:
        say(name + QStringLiteral("delete row %1 %2").arg(r).arg(row.item.describe()));
        if (const auto o = ready())
            return *o;
        if (!d.place(g, r, ListColumns.text) || !d.trigger(w, QStringLiteral("mnuDel")))
            return step(false);
        l.rows.erase(l.rows.begin() + a.a);
        m.listEdited();
        return Outcome::Done;
    case Kind::ListAdd: {
        const QDate date = dateOf(a.b);
        say(name + QStringLiteral("add '%1' on %2 at row %3").arg(a.text, ymd(date)).arg(r));
        if (const auto o = ready())
            return *o;
        if (!d.place(g, r, ListColumns.text) || !d.trigger(w, QStringLiteral("mnuAdd")) ||
            !d.editDate(g, r, ListDateCol, date) || !d.typeInGrid(g, r, ListColumns.text, a.text))
            return step(false);
        l.rows.insert(l.rows.begin() + a.a, ListRow{date, Item{false, {}, {}, a.text}, -1, true});
        m.listEdited();
        return Outcome::Done;
    }
    default:
        return skip();
    }
    row.edited = true;
    m.listEdited();
    return Outcome::Done;
}

} // namespace UserModel
