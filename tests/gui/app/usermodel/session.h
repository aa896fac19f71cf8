// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One run of the program: a fresh program started with a document, a sequence of
// actions, and after every step the checks against the model: the questions asked,
// whether the program ended, every document file in the folder, the tables of the
// main window, the view shown, and (where the probe can see them) every open
// document in memory.

#include "steps.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <set>

namespace UserModel {

// The answers the user gives: the message box of the program asks here.
class UserAnswers : public MessageBox::Backend {
public:
    explicit UserAnswers(std::function<MessageBox::Button(const MessageBox::Request&)> answer)
        : m_answer(std::move(answer)) {}
    MessageBox::Button show(QWidget*, const MessageBox::Request& r) override { return m_answer(r); }

private:
    std::function<MessageBox::Button(const MessageBox::Request&)> m_answer;
};

// What Escape does in a message box: the box's Cancel button, or else its No button,
// or else its only button (the rule of QMessageBox::escapeButton()).
inline MessageBox::Button escapeButton(MessageBox::Buttons buttons) {
    switch (buttons) {
    case MessageBox::YesNoCancel:
    case MessageBox::OverwriteSaveAsCancel:
        return MessageBox::Cancel;
    case MessageBox::YesNo:
        return MessageBox::No;
    case MessageBox::OkOnly:
        break;
    }
    return MessageBox::Ok;
}

// A sequence to run: the year of the document the program starts with, and the
// actions.
struct Script {
    int firstYear = 2005;
    std::vector<Action> actions;

    // "2005|Kind,a,b,c,text,answers|…": what DAYLOG_MODEL_REPLAY takes.
    QString encode() const {
        QStringList words{QString::number(firstYear)};
        for (const Action& a : actions)
            words << UserModel::encode(a);
        return words.join(u'|');
    }
    static std::optional<Script> decode(const QString& text) {
        const QStringList words = text.split(u'|');
        Script s;
        s.firstYear = words[0].toInt();
        if (s.firstYear < 2005 || s.firstYear > 2007)
            return std::nullopt;
        for (qsizetype i = 1; i < words.size(); ++i) {
            const auto a = UserModel::decode(words[i]);
            if (!a)
                return std::nullopt;
            s.actions.push_back(*a);
        }
        return s;
    }
};

struct RunResult {
    enum Status { Passed, Failed, Abandoned } status = Passed;
    Failure failure;
    int failedAt = -1;       // index of the action that failed (-1: the session's end)
    QStringList lines;       // the steps done, readable
    std::vector<Action> run; // the actions done or passed over, in order
    int steps = 0;
};

class Session {
public:
    // `templates` holds 2005.dys, 2006.dys and 2007.dys; `tolerated` lists the kinds
    // of difference already reported, which are not reported again.
    Session(const QString& templates, int firstYear, const std::set<QString>& tolerated)
        : m_tolerated(tolerated) {
        for (int y = 2005; y <= 2007; ++y) {
            const QString name = QStringLiteral("%1.dys").arg(y);
            QFile::copy(QDir(templates).filePath(name), m_dir.filePath(name));
        }
        MessageBox::install(std::make_unique<UserAnswers>(
            [this](const MessageBox::Request& r) { return answer(r); }));
        m_startup = std::make_unique<Startup>(m_env.app);
        m_probe = std::make_unique<Probe>(*m_startup, m_env.app);
        m_driver = std::make_unique<Driver>(*m_startup);
        m_steps = std::make_unique<Steps>(m_model, *m_driver, *m_probe, m_env, m_dir.path(),
                                          m_asked, m_policy);
        QObject::connect(m_startup.get(), &Startup::programEnding, [this] { m_ended = true; });
        for (const QString& name : QDir(m_dir.path()).entryList({QStringLiteral("*.dys")})) {
            QString why;
            if (auto c = Probe::readFile(m_dir.filePath(name), &why))
                m_model.disk[m_dir.filePath(name)] = *c;
        }
        const QString first = m_dir.filePath(QStringLiteral("%1.dys").arg(firstYear));
        Doc doc;
        doc.path = first;
        doc.content = m_model.disk[first];
        m_model.docs.push_back(doc);
        m_policy = [](const Asked&) { return Answer::Escape; };
        m_startup->Main(first);
        m_started = m_driver->waitActive(m_startup->calendarWindow());
    }
    ~Session() {
        m_startup.reset(); // the windows go before the state they show
        Driver::settle();
    }

    // Runs the actions `next` gives until it gives none, then ends the program as a
    // user would who keeps everything: the list closed with its edits saved, the
    // calendar shown, 終了 answered はい for every document.
    RunResult run(const std::function<std::optional<Action>(const Model&)>& next) {
        RunResult r;
        if (!m_started)
            return fail(r, {QStringLiteral("driver"), QStringLiteral("the program did not start")});
        int index = 0;
        while (auto a = next(m_model)) {
            r.run.push_back(*a);
            if (!doStep(*a, r, index++))
                return r;
        }
        std::vector<Action> epilogue;
        if (m_model.list.open)
            epilogue.push_back(act(Kind::ListClose, 0, 0, 0, {}, {Answer::Yes}));
        epilogue.push_back(act(Kind::Switch, int(Screen::Calendar)));
        epilogue.push_back(act(Kind::End, 0, 0, 0, {}, {Answer::Yes}));
        for (const Action& a : epilogue)
            if (!doStep(a, r, -1))
                return r;
        if (!m_model.ended)
            return fail(
                r, {QStringLiteral("not-ended"), QStringLiteral("終了 did not end the program")});
        return r;
    }

private:
    RunResult& fail(RunResult& r, const Failure& f, int at = -1) {
        r.status = m_tolerated.count(f.kind) ? RunResult::Abandoned : RunResult::Failed;
        r.failure = f;
        r.failedAt = at;
        return r;
    }
    // Whether a difference of this kind (after whichever step) was reported already.
    bool tolerated(const QString& kind) const {
        return std::any_of(m_tolerated.begin(), m_tolerated.end(), [&](const QString& t) {
            return t == kind || t.startsWith(kind + u'@');
        });
    }

    // Runs one action and the checks; false when the session is over.
    bool doStep(const Action& a, RunResult& r, int index) {
        if (m_model.ended)
            return false;
        m_model.expected.clear();
        m_asked.clear();
        m_policy = [](const Asked&) { return Answer::Escape; };
        QString line;
        m_steps->failure = {};
        const Steps::Outcome o = m_steps->run(a, &line);
        if (o == Steps::Outcome::Skipped)
            return true;
        r.lines << (index < 0 ? QStringLiteral("(end of session) ") : QString()) + line;
        ++r.steps;
        std::optional<Failure> f;
        if (o == Steps::Outcome::Failed)
            f = m_steps->failure;
        else
            f = check();
        if (f) {
            // A difference in what the program does is told apart by the step that
            // showed it; one in a file by what is wrong there.
            if (!f->kind.startsWith(QLatin1String("file-")))
                f->kind += u'@' + kindName(a.kind);
            fail(r, *f, index);
            return false;
        }
        if (m_model.ended)
            return false;
        const QDate shown = m_driver->shownDate(m_model.view);
        if (shown.isValid())
            m_model.focus = shown;
        return true;
    }

    MessageBox::Button answer(const MessageBox::Request& r) {
        Asked q{r};
        // The document a question is about: the one whose name it gives (the longest
        // name given, as "2005" is part of "2005-3"), else the current one.
        qsizetype best = 0;
        for (const Doc& doc : m_model.docs) {
            if (!doc.open)
                continue;
            for (const QString& name : {doc.name(), QFileInfo(doc.path).completeBaseName()})
                if (name.size() > best && (r.text.contains(name) || r.title.contains(name))) {
                    best = name.size();
                    q.doc = doc.id;
                    q.named = true;
                }
        }
        if (!q.named)
            if (const auto id = m_model.openDocAt(m_probe->currentPath()))
                q.doc = *id;
        m_asked.push_back(q);
        if (r.buttons == MessageBox::OkOnly)
            return MessageBox::Ok;
        switch (m_policy(q)) {
        case Answer::Yes:
            return MessageBox::Yes;
        case Answer::No:
            return MessageBox::No;
        case Answer::Escape:
            break;
        }
        return escapeButton(r.buttons);
    }

    QString openNames() const {
        QStringList names;
        for (int id : m_model.openDocs())
            names << m_model.docs[size_t(id)].name();
        return names.join(QStringLiteral(", "));
    }
    QString docName(int id) const {
        return id < 0 ? QStringLiteral("none of the open documents")
                      : m_model.docs[size_t(id)].name();
    }

    std::optional<Failure> check() {
        // The questions: one for each the model expects, about the same document.
        std::vector<Asked> questions;
        for (const Asked& q : m_asked) {
            if (q.request.buttons == MessageBox::OkOnly)
                return Failure{QStringLiteral("message"),
                               QStringLiteral("the program said: ") + q.request.text};
            questions.push_back(q);
        }
        QStringList expected, asked;
        bool same = questions.size() == m_model.expected.size();
        for (size_t i = 0; i < m_model.expected.size(); ++i) {
            const int doc = m_model.expected[i].doc;
            expected << (doc < 0 ? QStringLiteral("the ToDo list") : docName(doc));
            same = same && (doc < 0 || questions[i].doc == doc);
        }
        for (const Asked& q : questions)
            asked << u'"' + q.request.text + QStringLiteral("\" (") + q.request.title +
                         QStringLiteral(") about ") + docName(q.doc) +
                         (q.named ? QString() : QStringLiteral(", not named"));
        bool missing = questions.size() < m_model.expected.size();
        for (const Expected& e : m_model.expected)
            missing = missing ||
                      std::none_of(questions.begin(), questions.end(),
                                   [&](const Asked& q) { return e.doc < 0 || q.doc == e.doc; });
        if (!same)
            return Failure{
                missing ? QStringLiteral("questions-missing")
                        : QStringLiteral("questions-unexpected"),
                QStringLiteral("expected questions about [%1]; the program asked [%2]")
                    .arg(expected.join(QStringLiteral(", ")), asked.join(QStringLiteral("; ")))};
        for (size_t i = 0; i < questions.size(); ++i)
            if (m_model.expected[i].doc >= 0 && !questions[i].named &&
                !tolerated(QStringLiteral("question-unnamed")))
                return Failure{QStringLiteral("question-unnamed"),
                               QStringLiteral("the question about %1 does not name it: ")
                                       .arg(docName(questions[i].doc)) +
                                   asked[qsizetype(i)]};
        if (m_ended != m_model.ended)
            return Failure{m_ended ? QStringLiteral("ended") : QStringLiteral("not-ended"),
                           m_ended ? QStringLiteral("the program ended; the model goes on")
                                   : QStringLiteral("the program goes on; the model ended")};
        if (const auto f = checkFiles())
            return f;
        if (m_ended)
            return std::nullopt;
        if (m_driver->shownView() != m_model.view)
            return Failure{QStringLiteral("view"),
                           QStringLiteral("the program shows another view than the ") +
                               screenName(m_model.view)};
        if (const auto f = checkTables())
            return f;
        // A view's page reaches its document when the page is stored, as the view is
        // left: documents in memory are compared while no page is shown.
        if ((m_model.view == Screen::Calendar || m_model.view == Screen::Main))
            return checkMemory();
        return std::nullopt;
    }

    // Every open document in memory: the same documents, each holding what the model
    // says, changed when the model says so, and the same one current.
    std::optional<Failure> checkMemory() {
        const auto memory = m_probe->documents();
        const std::vector<int> open = m_model.openDocs();
        if (memory.size() != open.size())
            return Failure{QStringLiteral("memory-open"),
                           QStringLiteral("%1 documents are open, the model has %2")
                               .arg(memory.size())
                               .arg(open.size())};
        for (int id : open) {
            const Doc& doc = m_model.doc(id);
            const auto it = memory.find(doc.path);
            if (it == memory.end())
                return Failure{QStringLiteral("memory-open"),
                               doc.path + QStringLiteral(" is not open")};
            if (it->second.changed != doc.changed)
                return Failure{QStringLiteral("memory-changed"),
                               doc.name() + (doc.changed ? QStringLiteral(" is not marked changed")
                                                         : QStringLiteral(" is marked changed"))};
            if (const auto f = compare(QStringLiteral("open ") + doc.name(), doc.content,
                                       it->second.content, QStringLiteral("memory")))
                return f;
        }
        if (m_probe->currentPath() != m_model.cur().path)
            return Failure{QStringLiteral("memory-current"),
                           QStringLiteral("the current document is %1, not %2")
                               .arg(m_probe->currentPath(), m_model.cur().path)};
        // The calendar names the document it shows, marked while it holds changes.
        const QString title = m_model.cur().name() +
                              (m_model.cur().changed ? QStringLiteral("*") : QString()) +
                              QStringLiteral(" - デイログ");
        if (m_model.view == Screen::Calendar && m_probe->calendarTitle() != title)
            return Failure{QStringLiteral("title"),
                           QStringLiteral("the calendar is titled %1, not %2")
                               .arg(m_probe->calendarTitle(), title)};
        return std::nullopt;
    }

    std::optional<Failure> checkTables() {
        if (!m_probe->mainWindow())
            return std::nullopt;
        std::map<int, int> tables;
        QStringList seen;
        for (const Probe::Table& t : m_probe->tables()) {
            seen << QFileInfo(t.path).fileName();
            const auto id = m_model.openDocAt(t.path);
            if (!id)
                return Failure{QStringLiteral("tables"),
                               QStringLiteral("a table is titled %1, which is not open (open: %2)")
                                   .arg(QFileInfo(t.path).fileName(), openNames())};
            ++tables[*id];
            if (t.active && m_model.view == Screen::Main && *id != m_model.current)
                return Failure{
                    QStringLiteral("tables"),
                    QStringLiteral("the table in front is %1; the current document is %2")
                        .arg(docName(*id), m_model.cur().name())};
        }
        for (int id : m_model.openDocs())
            if (tables[id] != 1)
                return Failure{QStringLiteral("tables"),
                               QStringLiteral("%1 tables show %2 (tables: %3)")
                                   .arg(tables[id])
                                   .arg(docName(id), seen.join(QStringLiteral(", ")))};
        return std::nullopt;
    }

    // Every document file of the folder holds what the model says it must.
    std::optional<Failure> checkFiles() {
        const QStringList files = QDir(m_dir.path()).entryList({QStringLiteral("*.dys")});
        for (const auto& [path, content] : m_model.disk)
            if (!files.contains(QFileInfo(path).fileName()))
                return Failure{QStringLiteral("file-missing"), path + QStringLiteral(" is gone")};
        for (const QString& name : files) {
            const QString path = m_dir.filePath(name);
            if (!m_model.disk.count(path))
                return Failure{QStringLiteral("file-extra"),
                               QStringLiteral("a file was written that the user never saved: ") +
                                   name};
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                return Failure{QStringLiteral("file-missing"),
                               path + QStringLiteral(" cannot be read")};
            const QByteArray hash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
            FileSeen& seen = m_files[path];
            if (seen.hash == hash && seen.diskVersion == m_model.diskVersion)
                continue; // compared already, and neither side has changed since
            QString why;
            const auto read = Probe::readFile(path, &why);
            if (!read)
                return Failure{QStringLiteral("file-missing"), why};
            if (const auto diff =
                    compare(name, m_model.disk.at(path), *read, QStringLiteral("file")))
                return diff;
            seen = {hash, m_model.diskVersion};
        }
        return std::nullopt;
    }

    // The first difference between what a document must hold and what it holds.
    std::optional<Failure> compare(const QString& what, const DocContent& want,
                                   const DocContent& got, const QString& prefix) const {
        auto day = [&](int row) { return want.dateOf(row).toString(QStringLiteral("yyyy/MM/dd")); };
        if (want.year != got.year)
            return Failure{
                prefix + QStringLiteral("-year"),
                QStringLiteral("%1 is of %2, not %3").arg(what).arg(got.year).arg(want.year)};
        for (int r = 1; r <= Days; ++r) {
            for (int f = 0; f < TextFields; ++f) {
                const QString& w = want.text(r, f);
                const QString& g = got.text(r, f);
                if (w != g)
                    return Failure{prefix + (!w.isEmpty() && !g.contains(w)
                                                 ? QStringLiteral("-text-lost")
                                                 : QStringLiteral("-text-other")),
                                   QStringLiteral("%1 %2 %3: expected '%4', found '%5'")
                                       .arg(what, day(r), fieldName(f), w, g)};
            }
            const Items& w = want.todo[size_t(r)];
            const Items& g = got.todo[size_t(r)];
            if (w != g) {
                QString kind = QStringLiteral("-todo-order");
                for (const Item& i : w)
                    if (std::count(g.begin(), g.end(), i) < std::count(w.begin(), w.end(), i))
                        kind = QStringLiteral("-todo-lost");
                if (kind.endsWith(QStringLiteral("order")) && g.size() > w.size())
                    kind = QStringLiteral("-todo-extra");
                return Failure{prefix + kind, QStringLiteral("%1 %2 ToDo: expected %3, found %4")
                                                  .arg(what, day(r), describe(w), describe(g))};
            }
        }
        if (tolerated(prefix + QStringLiteral("-colour")))
            return std::nullopt;
        for (int r = 1; r <= Days; ++r)
            for (int c = FirstColourCol; c < FirstColourCol + ColourCols; ++c)
                if (want.colour(r, c) != got.colour(r, c))
                    return Failure{prefix + QStringLiteral("-colour"),
                                   QStringLiteral("%1 %2 %3: expected %4, found %5")
                                       .arg(what, day(r), colourName(c))
                                       .arg(QString::number(want.colour(r, c), 16),
                                            QString::number(got.colour(r, c), 16))};
        return std::nullopt;
    }

    std::set<QString> m_tolerated;
    TestEnvironment m_env;
    QTemporaryDir m_dir;
    Model m_model;
    std::vector<Asked> m_asked;
    std::function<Answer(const Asked&)> m_policy;
    std::unique_ptr<Startup> m_startup;
    std::unique_ptr<Probe> m_probe;
    std::unique_ptr<Driver> m_driver;
    std::unique_ptr<Steps> m_steps;
    struct FileSeen {
        QByteArray hash;
        int diskVersion = -1;
    };
    std::map<QString, FileSeen> m_files; // the files found as the model has them
    bool m_ended = false;
    bool m_started = false;
};

} // namespace UserModel
