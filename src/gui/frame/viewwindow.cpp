// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/viewwindow.h"

#include "core/store/appstate.h"
#include "core/store/document.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/textbox.h"
#include "gui/frame/viewcommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// Stores always go to the date and the document of the page shown, even if the
// current date or document has been changed meanwhile.
class PageDateScope {
public:
    PageDateScope(AppState& app, const QDate& pageDate, Document* pageDoc)
        : m_app(app), m_saved(app.currentDate()), m_doc(app, pageDoc) {
        if (pageDate.isValid())
            m_app.setCurrentDate(pageDate);
    }
    ~PageDateScope() { m_app.setCurrentDate(m_saved); }
    PageDateScope(const PageDateScope&) = delete;
    PageDateScope& operator=(const PageDateScope&) = delete;

private:
    AppState& m_app;
    QDate m_saved;
    AppState::QuietCurrent m_doc;
};

// Where the user was typing, so that showing the page afresh leaves it there.
struct Caret {
    QPointer<QWidget> focus;
    int position = -1;
    int anchor = -1;
    int scroll = 0;

    static Caret of(QWidget* window) {
        Caret c;
        c.focus = window->focusWidget();
        if (auto* box = qobject_cast<TextBox*>(c.focus.data())) {
            c.position = box->textCursor().position();
            c.anchor = box->textCursor().anchor();
            c.scroll = box->verticalScrollBar()->value();
        }
        return c;
    }
    void restore() const {
        auto* box = qobject_cast<TextBox*>(focus.data());
        if (!box || position < 0)
            return;
        QTextCursor cursor = box->textCursor();
        const int end = int(box->document()->characterCount()) - 1;
        cursor.setPosition(std::min(anchor, end));
        cursor.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
        box->verticalScrollBar()->setValue(scroll);
    }
};

int g_releaseDelay = 30000;

} // namespace

void ViewWindow::setReleaseDelay(int ms) {
    g_releaseDelay = ms;
}

ViewWindow::ViewWindow(AppState& app, Navigator& nav, const QString& objectName,
                       const QString& caption, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_nav(nav), m_caption(caption) {
    setObjectName(objectName);
    setWindowTitle(caption);
    // Every window says which document it shows, and whether it holds unsaved changes.
    // Queued: a derived window's own document is known only after its constructor.
    auto title = [this] {
        QMetaObject::invokeMethod(this, &ViewWindow::showTitle, Qt::QueuedConnection);
    };
    connect(&m_app, &AppState::currentChanged, this, title);
    connect(&m_app, &AppState::documentPathChanged, this, title);
    connect(&m_app, &AppState::docChangedChanged, this, title);
    title();
    // Another window of the program comes to the front, also straight after another
    // program's window (the view has had no deactivation of its own then): the page
    // goes into the document first, as whatever is done there may change it.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (!focus || focus == windowHandle())
            return;
        const QWidgetList all = QApplication::topLevelWidgets();
        const auto it = std::find_if(all.begin(), all.end(),
                                     [focus](QWidget* w) { return w->windowHandle() == focus; });
        if (it != all.end())
            storeForWindow(*it);
    });
    // The document of the page changed in another window of the program.
    connect(&m_app, &AppState::documentCellsChanged, this, [this](Document* doc) {
        if (doc != m_pageDoc || m_storing || !isVisible() || isActiveWindow())
            return;
        m_pageOlder = true;
        if (m_refreshQueued)
            return;
        m_refreshQueued = true; // once for a whole save of the ToDo list
        QTimer::singleShot(0, this, [this] {
            m_refreshQueued = false;
            refreshPage();
        });
    });
}

void ViewWindow::showEvent(QShowEvent* event) {
    showTitle();
    QMainWindow::showEvent(event);
}

const Document* ViewWindow::titleDocument() const {
    return &m_app.doc();
}

void ViewWindow::showTitle() {
    const Document* doc = titleDocument();
    if (!doc || !m_app.owns(doc)) {
        setWindowTitle(m_caption);
        setWindowModified(false);
        return;
    }
    const QString name = doc->displayName() + QStringLiteral("[*]");
    setWindowTitle(captionLast() ? name + QStringLiteral(" - ") + m_caption
                                 : m_caption + QStringLiteral(" - ") + name);
    setWindowModified(doc->isChanged());
}

void ViewWindow::storeForWindow(QWidget* other) {
    // Only another window of the program counts; the view's own dialogs and other
    // programs do not.
    if (!isVisible() || m_stale || !followsActivation() || !other || other == this ||
        !m_nav.owns(other))
        return;
    storePage();
    m_stale = true;
}

void ViewWindow::refreshPage() {
    // Only a stored page: one with edits not stored yet is never shown over.
    if (!m_stale || !m_pageOlder || isActiveWindow() || !isVisible() || !pageOfADate() ||
        !followsActivation())
        return;
    if (m_pageDoc != &m_app.doc() || m_pageDate != m_app.currentDate())
        return;
    reload();
    m_stale = true; // still stored: nothing of it is stored again until it is active
}

void ViewWindow::buildCommands(std::vector<Command> table) {
    bool helpKey = false;
    for (Command& c : table) {
        if (c.opens && !c.run && c.kind != Command::Kind::Tool)
            c.run = [this, view = *c.opens] { openCommand(view); };
        helpKey = helpKey || c.key == QKeySequence(QKeySequence::HelpContents);
    }
    // F1 opens the manual at the window's section in every window, with a help menu
    // item or without one.
    if (!helpKey) {
        auto* help = new QAction(this);
        help->setShortcut(QKeySequence::HelpContents);
        connect(help, &QAction::triggered, this, [this] { ViewCommands::help(this); });
        addAction(help);
    }
    m_commands.build(this, table, m_nav);
    connect(&m_nav, &Navigator::viewsChanged, this, [this] { m_commands.updateEnabled(m_nav); });
}

Command ViewWindow::saveCommand() {
    return Cmd::item(
        u"mnuSave"_s, u"上書き保存(&S)"_s,
        [this] {
            storePage();
            Store_SaveDoc(this, m_app);
        },
        QKeySequence::Save);
}

Command ViewWindow::previousDayCommand() {
    return Cmd::item(
        u"mnuPrevDay"_s, u"前の日(&B)"_s, [this] { stepDay(-1); },
        QKeySequence(Qt::ALT | Qt::Key_Left));
}

Command ViewWindow::nextDayCommand() {
    return Cmd::item(
        u"mnuNextDay"_s, u"次の日(&A)"_s, [this] { stepDay(+1); },
        QKeySequence(Qt::ALT | Qt::Key_Right));
}

void ViewWindow::stepDay(int days) {
    const QDate day = m_app.currentDate().addDays(days);
    const int base = m_app.baseYear();
    if (day < QDate(base, 4, 1) || day > QDate(base + 1, 3, 31))
        return;
    changeDate([this, day] { m_app.setCurrentDate(day); });
}

Command ViewWindow::toDoListCommand() {
    return Cmd::opens(u"mnuToDo"_s, u"ToDo一覧(&T)"_s, View::ToDoList);
}

Command ViewWindow::searchCommand() {
    return Cmd::opens(u"mnuKensaku"_s, u"検索(&F)"_s, View::Search);
}

void ViewWindow::placeOnScreen(const QSize& preferred) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    constexpr int TitleBar = 30;
    resize(std::min(preferred.width(), area.width() - 16),
           std::min(preferred.height(), area.height() - TitleBar - 8));
    move(area.x() + (area.width() - width()) / 2,
         area.y() + std::max(0, (area.height() - height() - TitleBar) / 2));
}

void ViewWindow::storeNow() {
    if (m_stale)
        return;
    if (!pageOfADate()) {
        storeBack();
        return;
    }
    // The document of the page is gone (closed): there is nothing it could still hold.
    if (!m_pageDoc)
        return;
    PageDateScope scope(m_app, m_pageDate, m_pageDoc);
    const QScopedValueRollback storing(m_storing, true);
    storeBack();
}

void ViewWindow::reload() {
    const Caret caret = Caret::of(this);
    loadFromStore();
    m_pageDate = m_app.currentDate();
    m_pageDoc = &m_app.doc();
    m_stale = false;
    m_pageOlder = false;
    caret.restore();
}

void ViewWindow::storePage() {
    if (m_stale || !followsActivation())
        return;
    storeNow();
    // Storing may have emptied parts of the page (the ToDo grid): show it again.
    reload();
}

void ViewWindow::leavePage() {
    storeNow();
    m_stale = true;
}

void ViewWindow::enterPage() {
    // A window beside the views, asked for again while it is open, comes to the
    // front as it is.
    if (!followsActivation() && isVisible()) {
        raise();
        activateWindow();
        return;
    }
    storeNow();
    m_stale = true;
    Store_ClampDay(m_app);
    reload();
    if (isMinimized())
        showNormal();
    else
        show(); // a maximised window stays maximised
    raise();
    activateWindow();
    if (QWidget* w = writingWidget())
        w->setFocus(Qt::OtherFocusReason);
}

void ViewWindow::changeDate(const std::function<void()>& change) {
    storeNow();
    m_stale = true;
    change();
    Store_ClampDay(m_app);
    reload();
}

void ViewWindow::openView(View view) {
    storePage();
    m_nav.open(view);
}

void ViewWindow::openViewAt(View view, const QDate& date) {
    if (!m_nav.has(view)) {
        storePage();
        return;
    }
    // Stored once here: storing again on the way out could move the date.
    storeNow();
    m_stale = true;
    m_app.setCurrentDate(date);
    m_nav.open(view);
}

void ViewWindow::copyUnstoredPage(AppState& snapshot, const Document& doc) {
    // A page stored and not shown since has nothing the store does not have.
    if (m_stale || !isVisible() || m_pageDoc != &doc)
        return;
    if (pageOfADate()) {
        if (!m_pageDate.isValid())
            return;
        snapshot.setCurrentDate(m_pageDate);
    }
    copyPage(snapshot);
}

void ViewWindow::markChanged() {
    if (m_pageDoc)
        m_pageDoc->markEdited();
}

void ViewWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && followsActivation()) {
        if (!isActiveWindow()) {
            storeForWindow(QApplication::activeWindow());
        } else if (m_stale && isVisible() && !m_pageOlder) {
            m_stale = false; // the page shows what the document holds
        } else if (m_stale && isVisible()) {
            // After the other windows have had their activation events.
            QTimer::singleShot(0, this, [this] {
                if (m_stale && isVisible() && isActiveWindow())
                    reload();
            });
        }
    }
    QMainWindow::changeEvent(event);
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        !followsActivation()) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void ViewWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (event->spontaneous())
        return; // minimised: still on the desktop
    QTimer::singleShot(g_releaseDelay, this, [this] {
        if (!isVisible() && testAttribute(Qt::WA_WState_Created))
            destroy();
    });
}

void ViewWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_nav.closeWindow(this);
}
