// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Each action done on the real windows and told to the model, with the line that
// says what the user did.

#include "action.h"
#include "driver.h"
#include "probe.h"

#include "support/testsupport.h"

#include <QDir>

namespace UserModel {

// A question the program asked in a step, and the document it was about (-1: none
// of the open documents; `named` when the question names it).
struct Asked {
    MessageBox::Request request;
    int doc = -1;
    bool named = false;
};

struct Failure {
    QString kind;
    QString text;
};

class Steps {
public:
    enum class Outcome { Done, Skipped, Failed };

    Steps(Model& model, Driver& driver, Probe& p, TestEnvironment& environment,
          const QString& documents, std::vector<Asked>& questions,
          std::function<Answer(const Asked&)>& answers)
        : m(model), d(driver), probe(p), env(environment), folder(documents), asked(questions),
          policy(answers) {}

    Failure failure;

    Outcome run(const Action& a, QString* line) {
        m_line = line;
        switch (a.kind) {
        case Kind::Switch:
            return switchTo(Screen(a.a));
        case Kind::CalendarMonth:
            return need(Screen::Calendar) ? step(arrow(d.calendar()->monthGrid(), a.a)) : skip();
        case Kind::CalendarDay:
            return need(Screen::Calendar) ? openDay(d.calendar()->monthGrid(), a.a) : skip();
        case Kind::MoveCaret:
            return m.view == Screen::Diary || m.view == Screen::Weekly || m.view == Screen::Monthly
                       ? moveCaret(a.a, a.b)
                       : skip();
        case Kind::DiaryMonth:
            return need(Screen::Diary) ? step(arrow(d.diary()->calendar(), a.a)) : skip();
        case Kind::DiaryDay:
            return need(Screen::Diary) ? pickDay(d.diary()->calendar(), a.a) : skip();
        case Kind::DiaryType:
            return need(Screen::Diary) ? diaryType(a.a, a.text) : skip();
        case Kind::DiaryAdd:
        case Kind::DiaryTick:
        case Kind::DiaryDelete:
            return need(Screen::Diary) ? items(d.diary()->todoGrid(), d.diaryDate(), a) : skip();
        case Kind::DiaryCopy:
            return need(Screen::Diary) ? diaryCopy() : skip();
        case Kind::DiaryPrint:
            return need(Screen::Diary) ? command(d.diary(), QStringLiteral("mnuPrint"),
                                                 QStringLiteral("diary: 印刷"))
                                       : skip();
        case Kind::WeeklyMonth:
            return need(Screen::Weekly) ? step(arrow(d.weekly()->calendar(), a.a)) : skip();
        case Kind::WeeklyDay:
            return need(Screen::Weekly) ? pickDay(d.weekly()->calendar(), a.a) : skip();
        case Kind::WeeklyEvents:
        case Kind::WeeklySlot:
            return need(Screen::Weekly) ? weeklyType(a) : skip();
        case Kind::WeeklyAdd:
        case Kind::WeeklyTick:
        case Kind::WeeklyDelete: {
            if (!need(Screen::Weekly) || !d.weekly()->dayGrid(a.a)->isEnabled())
                return skip();
            Action inDay = a;
            inDay.a = a.b;
            return items(d.weekly()->dayGrid(a.a), d.weeklyDate(a.a), inDay);
        }
        case Kind::MonthlyMonth:
            return need(Screen::Monthly) ? step(arrow(d.monthly()->page(), a.a)) : skip();
        case Kind::MonthlyType:
            return need(Screen::Monthly) ? monthlyType(a.a, a.text) : skip();
        case Kind::MonthlyDay:
            return need(Screen::Monthly) ? openDay(d.monthly()->page(), a.a) : skip();
        case Kind::TableType:
        case Kind::TableCopy:
        case Kind::TableColour:
        case Kind::TablePage:
        case Kind::TablePrint:
            return need(Screen::Main) ? table(a) : skip();
        case Kind::Open:
            return need(Screen::Main) ? open(a.text) : skip();
        case Kind::Activate:
        case Kind::Close:
            return need(Screen::Main) ? tableOf(a) : skip();
        case Kind::Save:
        case Kind::SaveAs:
            return need(a.a ? Screen::Main : Screen::Calendar) ? save(a) : skip();
        case Kind::End:
            return need(Screen::Calendar) && !m.list.modified ? end(a.answers) : skip();
        default:
            return list(a);
        }
    }

private:
    // ---- helpers ------------------------------------------------------------------

    bool need(Screen s) const { return m.view == s; }
    Outcome skip() { return Outcome::Skipped; }
    void say(const QString& s) { *m_line = s; }
    Outcome step(bool ok) {
        if (ok)
            return Outcome::Done;
        failure = {QStringLiteral("driver"), d.error};
        return Outcome::Failed;
    }
    Outcome driverFailure(const QString& why) {
        d.error = why;
        return step(false);
    }
    Outcome shown(const QString& text) {
        failure = {QStringLiteral("shown"), text};
        return Outcome::Failed;
    }
    QString where(const QDate& date) const {
        return QStringLiteral(" on %1 (%2)")
            .arg(date.toString(QStringLiteral("yyyy/MM/dd")), m.docs[size_t(m.current)].name());
    }
    // The row of `date` in the current document, or 0 when it is not one of its days.
    int rowOf(const QDate& date) const {
        const DocContent& c = m.docs[size_t(m.current)].content;
        const int r = date.isValid() ? c.rowOf(date) : 0;
        return r >= 1 && r <= c.daysInYear() ? r : 0;
    }
    Outcome command(ViewWindow* w, const QString& name, const QString& text) {
        say(text);
        return step(d.trigger(w, name));
    }
    bool arrow(MonthGrid* g, int direction) {
        say(screenName(m.view) +
            (direction < 0 ? QStringLiteral(": previous month") : QStringLiteral(": next month")));
        return d.activate(g->window()) &&
               d.click(direction < 0 ? static_cast<QWidget*>(g->previousButton())
                                     : g->nextButton());
    }
    Outcome pickDay(MonthGrid* g, int day) {
        const int cell = Driver::cellOfDay(g, day);
        if (cell < 0)
            return skip();
        say(screenName(m.view) + QStringLiteral(": click day %1").arg(day));
        return step(d.activate(g->window()) && d.click(g->cell(cell)));
    }
    Outcome openDay(MonthGrid* g, int day) {
        const int cell = Driver::cellOfDay(g, day);
        if (cell < 0)
            return skip();
        say(screenName(m.view) + QStringLiteral(": click day %1 (opens the diary)").arg(day));
        if (!d.activate(g->window()) || !d.click(g->cell(cell)) || !d.waitActive(d.diary()))
            return step(false);
        m.view = Screen::Diary;
        return Outcome::Done;
    }

    // ---- views --------------------------------------------------------------------

    Outcome switchTo(Screen to) {
        static const std::map<std::pair<Screen, Screen>, const char*> menu = {
            {{Screen::Calendar, Screen::Diary}, "mnuNikki"},
            {{Screen::Calendar, Screen::Weekly}, "mnuShuu"},
            {{Screen::Calendar, Screen::Monthly}, "mnuTuki"},
            {{Screen::Calendar, Screen::Main}, "mnuNen"},
            {{Screen::Diary, Screen::Calendar}, "mnucalender"},
            {{Screen::Diary, Screen::Weekly}, "mnuShou"},
            {{Screen::Diary, Screen::Monthly}, "mnuTuki"},
            {{Screen::Diary, Screen::Main}, "mnuNen"},
            {{Screen::Weekly, Screen::Calendar}, "mnucalender"},
            {{Screen::Weekly, Screen::Diary}, "mnuNikki"},
            {{Screen::Weekly, Screen::Monthly}, "mnuTuki"},
            {{Screen::Weekly, Screen::Main}, "mnuNenkan"},
            {{Screen::Monthly, Screen::Calendar}, "mnucalender"},
            {{Screen::Monthly, Screen::Diary}, "mnuNikki"},
            {{Screen::Monthly, Screen::Weekly}, "mnuShuu"},
            {{Screen::Monthly, Screen::Main}, "mnuNenkan"},
            {{Screen::Main, Screen::Calendar}, "mnucalender"},
            {{Screen::Main, Screen::Diary}, "mnuNikki"},
            {{Screen::Main, Screen::Weekly}, "mnushuan"},
            {{Screen::Main, Screen::Monthly}, "mnutukinittei"},
        };
        const auto it = menu.find({m.view, to});
        if (it == menu.end())
            return skip();
        const QString name = QString::fromLatin1(it->second);
        say(screenName(m.view) + QStringLiteral(": open the ") + screenName(to) +
            QStringLiteral(" (") + name + u')');
        if (!d.trigger(d.view(m.view), name) || !d.waitActive(d.view(to)))
            return step(false);
        m.view = to;
        return Outcome::Done;
    }

    // Clicks into a text box of the view and moves the caret (or the focus) with a key:
    // nothing is typed, nothing changes.
    Outcome moveCaret(int box, int key) {
        static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                                       Qt::Key_Home, Qt::Key_End,   Qt::Key_Tab};
        static const char* const names[] = {"←", "→", "↑", "↓", "Home", "End", "Tab"};
        QList<TextBox*> boxes;
        for (TextBox* b : d.view(m.view)->findChildren<TextBox*>())
            if (b->isVisible() && b->isEnabled())
                boxes << b;
        if (boxes.isEmpty())
            return skip();
        TextBox* b = boxes[box % boxes.size()];
        say(screenName(m.view) + QStringLiteral(": click box %1 and press %2")
                                     .arg(b->objectName(), QString::fromUtf8(names[key % 7])));
        if (!d.activate(b->window()) || !d.typeInto(b, QString()))
            return step(false);
        QTest::keyClick(b, keys[key % 7]);
        Driver::settle();
        return Outcome::Done;
    }

    static TextBox* diaryBox(DiaryWindow* w, int field) {
        if (field == 0)
            return w->eventsBox();
        if (field == 1)
            return w->recordBox();
        return field < 9 ? w->slotItemBox(field - 2) : w->slotTextBox(field - 9);
    }
    Outcome typeText(TextBox* box, const QDate& date, int field, const QString& text) {
        const int row = rowOf(date);
        say(screenName(m.view) + QStringLiteral(": type ") + fieldName(field) +
            QStringLiteral(" '") + text + u'\'' + where(date));
        if (!row)
            return shown(QStringLiteral("the %1 shows %2, not a day of the current document %3")
                             .arg(screenName(m.view), date.toString(Qt::ISODate),
                                  m.docs[size_t(m.current)].name()));
        if (!d.activate(box->window()) || !d.typeInto(box, text))
            return step(false);
        m.setText(m.current, row, field, m.cur().content.text(row, field) + text);
        return Outcome::Done;
    }
    Outcome diaryCopy() {
        say(QStringLiteral("diary: select the record (Ctrl+A) and コピー"));
        TextBox* box = d.diary()->recordBox();
        if (!d.activate(d.diary()) || !d.typeInto(box, QString()))
            return step(false);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        return step(d.trigger(d.diary(), QStringLiteral("mnuCopy")));
    }
    Outcome diaryType(int field, const QString& text) {
        return typeText(diaryBox(d.diary(), field), d.diaryDate(), field, text);
    }
    Outcome weeklyType(const Action& a) {
        TextBox* box = a.kind == Kind::WeeklyEvents ? d.weekly()->eventsBox(a.a)
                                                    : d.weekly()->slotBox(a.a, a.b);
        if (!box->isEnabled())
            return skip();
        return typeText(box, d.weeklyDate(a.a), a.kind == Kind::WeeklyEvents ? 0 : 2 + a.b, a.text);
    }
    Outcome monthlyType(int day, const QString& text) {
        const int cell = Driver::cellOfDay(d.monthly()->page(), day);
        if (cell < 0 || !d.monthly()->eventsBox(cell)->isVisible())
            return skip();
        const QDate date = Driver::monthShown(d.monthly()->page()).addDays(day - 1);
        return typeText(d.monthly()->eventsBox(cell), date, 0, text);
    }

    // The diary's or a weekly day's ToDo items: a.a is the item (add: a.b the time).
    Outcome items(Grid* g, const QDate& date, const Action& a) {
        const int row = rowOf(date);
        if (!row)
            return skip();
        const Items& model = m.cur().content.todo[size_t(row)];
        const std::vector<GridItem> seen = Driver::itemsIn(*g->model(), DayGridColumns);
        Items shownItems;
        for (const GridItem& i : seen)
            shownItems.push_back(i.item);
        const QString view = screenName(m.view);
        if (a.kind == Kind::DiaryAdd || a.kind == Kind::WeeklyAdd) {
            const int free = Driver::freeRowAfter(*g->model(), DayGridColumns, seen);
            if (free < 0)
                return skip();
            Item item{false, QString(), QString(), a.text};
            const bool timed = a.kind == Kind::DiaryAdd && a.b >= 0;
            if (timed)
                item.time = QStringLiteral("%1:%2")
                                .arg(a.b / 60, 2, 10, QChar(u'0'))
                                .arg(a.b % 60, 2, 10, QChar(u'0'));
            say(view + QStringLiteral(": add ToDo ") + item.describe() + where(date));
            if (shownItems != model)
                return shown(view + QStringLiteral(" shows the ToDo items ") +
                             describe(shownItems) + QStringLiteral(", the document holds ") +
                             describe(model));
            if (!d.activate(g->window()) ||
                (timed && !d.typeInGrid(g, free, 1,
                                        QStringLiteral("%1:%2").arg(a.b / 60).arg(a.b % 60, 2, 10,
                                                                                  QChar(u'0')))) ||
                !d.typeInGrid(g, free, 3, a.text))
                return step(false);
            m.addItem(m.current, row, item);
            return Outcome::Done;
        }
        if (a.a >= int(model.size()) || (a.kind != Kind::DiaryDelete &&
                                         a.kind != Kind::WeeklyDelete && model[size_t(a.a)].done))
            return skip();
        const bool tick = a.kind == Kind::DiaryTick || a.kind == Kind::WeeklyTick;
        say(view + (tick ? QStringLiteral(": tick ToDo ") : QStringLiteral(": delete ToDo ")) +
            model[size_t(a.a)].describe() + where(date));
        if (shownItems != model)
            return shown(view + QStringLiteral(" shows the ToDo items ") + describe(shownItems) +
                         QStringLiteral(", the document holds ") + describe(model));
        const int r = seen[size_t(a.a)].row;
        if (!d.activate(g->window()) ||
            !(tick ? d.keyInGrid(g, r, 0, Qt::Key_Space) : d.keyInGrid(g, r, 1, Qt::Key_Delete, 3)))
            return step(false);
        if (tick)
            m.tickItem(m.current, row, a.a);
        else
            m.deleteItem(m.current, row, a.a);
        return Outcome::Done;
    }

    // ---- the main window ----------------------------------------------------------

    Outcome table(const Action& a) {
        AnnualWindow* w = d.main()->activeAnnual();
        if (!w)
            return shown(QStringLiteral("the main window shows no table"));
        Grid* g = w->grid();
        const int days = m.cur().content.daysInYear();
        const int row = std::clamp(a.a, 1, days), col = std::clamp(a.b, 2, 17);
        const QDate date =
            QDate::fromString(w->model().textMatrix(row, 0), QStringLiteral("yyyy/MM/dd"));
        if (a.kind == Kind::TablePage) {
            const bool up = a.a < 0;
            say(QStringLiteral("main window: ") +
                (up ? QStringLiteral("Page Up") : QStringLiteral("Page Down")));
            if (!d.activate(d.main()))
                return step(false);
            g->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(g, up ? Qt::Key_PageUp : Qt::Key_PageDown);
            Driver::settle();
            return Outcome::Done;
        }
        if (a.kind == Kind::TablePrint)
            return command(d.main(), QStringLiteral("mnuFilePrint"),
                           QStringLiteral("main window: 印刷"));
        if (rowOf(date) != row)
            return shown(
                QStringLiteral("the table in front shows %1 in row %2: not the current document %3")
                    .arg(date.toString(Qt::ISODate))
                    .arg(row)
                    .arg(m.cur().name()));
        if (a.kind == Kind::TableType) {
            say(QStringLiteral("main window: type '") + a.text + QStringLiteral("' into ") +
                fieldName(col - 2) + where(date));
            if (!d.activate(d.main()) || !d.typeInGrid(g, row, col, a.text))
                return step(false);
            m.setText(m.current, row, col - 2, a.text);
            return Outcome::Done;
        }
        const int row2 = std::min(row + 1, days), col2 = std::min(col + 1, 17);
        if (!d.activate(d.main()) || !d.place(g, row, col))
            return step(false);
        g->setCursor(row2, col2, true);
        if (a.kind == Kind::TableCopy) {
            say(QStringLiteral("main window: Ctrl+C on ") + fieldName(col - 2) + where(date));
            env.clipboard->clear();
            QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
            Driver::settle();
            if (env.clipboard->content.isEmpty())
                return driverFailure(QStringLiteral("Ctrl+C copied nothing"));
            return Outcome::Done;
        }
        const bool fore = a.c % 2 == 0;
        const QColor colour = paletteColour(a.c / 2);
        say(QStringLiteral("main window: %1 %2 on %3 and the next day/column")
                .arg(fore ? QStringLiteral("文字色") : QStringLiteral("バック"), colour.name(),
                     fieldName(col - 2)) +
            where(date));
        env.colors->answers = {colour};
        if (!d.trigger(d.main(), fore ? QStringLiteral("tb_文字色") : QStringLiteral("tb_バック")))
            return step(false);
        if (!env.colors->answers.isEmpty()) {
            env.colors->answers.clear();
            return driverFailure(QStringLiteral("the colour dialog was not asked"));
        }
        m.colour(m.current, row, col, row2, col2, fore, storedColour(colour));
        return Outcome::Done;
    }

    // The table of an open document (nullptr when none shows it).
    QMdiSubWindow* tableFor(int doc) {
        for (const Probe::Table& t : probe.tables())
            if (t.path == m.doc(doc).path)
                return t.window;
        return nullptr;
    }
    std::optional<int> activeDoc() {
        for (const Probe::Table& t : probe.tables())
            if (t.active)
                return m.openDocAt(t.path);
        return std::nullopt;
    }

    Outcome open(const QString& name) {
        const QString path = QDir(folder).filePath(name);
        if (!m.disk.count(path))
            return skip();
        say(QStringLiteral("main window: ﾌｧｲﾙ → 開く ") + name +
            (m.openDocAt(path) ? QStringLiteral(" (open already)") : QString()));
        env.files->answers = {path};
        if (!d.trigger(d.main(), QStringLiteral("mnuFileOpen")))
            return step(false);
        if (!env.files->answers.isEmpty())
            return driverFailure(QStringLiteral("the open dialog was not asked"));
        m.open(path);
        return Outcome::Done;
    }

    Outcome tableOf(const Action& a) {
        const std::vector<int> open = m.openDocs();
        if (open.size() < 2)
            return skip();
        const int doc = open[size_t(a.a) % open.size()];
        const bool close = a.kind == Kind::Close;
        if (!close && doc == m.current)
            return skip();
        say(QStringLiteral("main window: ") +
            (close ? QStringLiteral("close the table of ")
                   : QStringLiteral("click the table of ")) +
            m.doc(doc).name() +
            (close ? QStringLiteral(", answering ") + answerName(a.answers[0]) : QString()));
        QMdiSubWindow* sub = tableFor(doc);
        if (!sub)
            return shown(QStringLiteral("no table shows ") + m.doc(doc).path);
        if (!d.activate(d.main()))
            return step(false);
        if (!close) {
            if (!d.trigger(d.main(), QStringLiteral("mnuWindowTileVertical")) ||
                !d.click(static_cast<AnnualWindow*>(sub->widget())->grid()->viewport()))
                return step(false);
            if (d.main()->activeAnnual() != sub->widget())
                return driverFailure(QStringLiteral("the table clicked did not come to the front"));
            m.current = doc;
            return Outcome::Done;
        }
        policy = [answer = a.answers[0]](const Asked&) { return answer; };
        sub->close();
        Driver::settle();
        if (m.close(doc, a.answers[0]) && !m.ended && doc == m.current)
            if (const auto now = activeDoc())
                m.current = *now;
        return Outcome::Done;
    }

    Outcome save(const Action& a) {
        const QString where = a.a ? QStringLiteral("main window: ") : QStringLiteral("calendar: ");
        if (a.kind == Kind::Save) {
            say(where + QStringLiteral("上書き保存 (") + m.cur().name() + u')');
            if (!d.trigger(d.view(m.view),
                           a.a ? QStringLiteral("mnuFileSave") : QStringLiteral("mnuSave")))
                return step(false);
            m.save(m.current);
            return Outcome::Done;
        }
        const QString path = QDir(folder).filePath(a.text);
        if (m.disk.count(path) || QFile::exists(path))
            return skip();
        say(where + QStringLiteral("名前を付けて保存 ") + m.cur().name() + QStringLiteral(" as ") +
            a.text);
        env.files->answers = {path};
        if (!d.trigger(d.view(m.view),
                       a.a ? QStringLiteral("mnuFileSaveAs") : QStringLiteral("mnuAsSave")))
            return step(false);
        if (!env.files->answers.isEmpty())
            return driverFailure(QStringLiteral("the save dialog was not asked"));
        m.saveAs(m.current, path);
        return Outcome::Done;
    }

    Outcome end(const std::vector<Answer>& answers) {
        const std::vector<int> open = m.openDocs();
        std::map<int, Answer> byDoc;
        QStringList said;
        for (size_t i = 0; i < open.size(); ++i) {
            byDoc[open[i]] = answers[i % answers.size()];
            if (m.doc(open[i]).changed)
                said << m.doc(open[i]).name() + u' ' + answerName(byDoc[open[i]]);
        }
        say(QStringLiteral("calendar: 終了") +
            (said.isEmpty() ? QString()
                            : QStringLiteral(", answering ") + said.join(QStringLiteral(", "))));
        policy = [byDoc](const Asked& q) {
            return byDoc.count(q.doc) ? byDoc.at(q.doc) : Answer::Yes;
        };
        if (!d.trigger(d.calendar(), QStringLiteral("mnuEnd")))
            return step(false);
        m.end(byDoc);
        return Outcome::Done;
    }

    // ---- the ToDo list ------------------------------------------------------------

    QString listRows() const {
        QStringList out;
        for (const ListRow& r : m.list.rows)
            out << r.date.toString(QStringLiteral("yyyy/MM/dd")) + u' ' + r.item.describe();
        return out.join(QStringLiteral("; "));
    }
    // What the list shows, as the model has it.
    std::optional<Failure> checkList() {
        GridModel& g = d.list()->list();
        QStringList seen;
        for (int r = 1; r < g.rows(); ++r)
            seen << g.textMatrix(r, ListDateCol) + u' ' +
                        Item{g.cell(GridModel::CellChecked, r, ListColumns.check) == 1,
                             g.textMatrix(r, ListColumns.time),
                             g.textMatrix(r, ListColumns.category),
                             g.textMatrix(r, ListColumns.text)}
                            .describe();
        if (seen.join(QStringLiteral("; ")) == listRows())
            return std::nullopt;
        return Failure{QStringLiteral("shown"),
                       QStringLiteral("the ToDo list shows %1; the model has %2")
                           .arg(seen.join(QStringLiteral("; ")), listRows())};
    }

    Outcome list(const Action& a);

    Model& m;
    Driver& d;
    Probe& probe;
    TestEnvironment& env;
    QString folder;
    std::vector<Asked>& asked;                   // the questions of the step
    std::function<Answer(const Asked&)>& policy; // how the user answers them
    QString* m_line = nullptr;
};

} // namespace UserModel

#include "liststeps.h"
