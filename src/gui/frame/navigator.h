// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QWidget;

// The program's top-level windows.
enum class View {
    Calendar, // the hub
    Diary,
    Weekly,
    Monthly,
    Main,        // the main window with the annual tables
    ToDoList,    // opens beside the current view
    RecordStats, // opens beside the current view
    ItemStats,   // opens beside the current view
    Search,      // opens beside the current view
};

// What the navigator asks of each window it owns.
class Document;

class NavWindow {
public:
    virtual ~NavWindow() = default;
    virtual QWidget* widget() = 0;
    // Writes what the user typed into the year store; the page stays and can be
    // typed on.
    virtual void storePage() = 0;
    // Writes what the user typed into the year store before the window is hidden.
    virtual void leavePage() = 0;
    // Shows the current date's page from the store, the keyboard focus where the user
    // writes.
    virtual void enterPage() = 0;
    // Before the program ends: a window with edits of its own (not in a document yet)
    // asks what to do with them. False when the user chose not to go on.
    virtual bool settleEdits() { return true; }
    // Before `doc` closes: a window holding edits of its own for it asks what to do
    // with them. False when the user chose to keep the document open.
    virtual bool settleEditsOf(const Document* doc) {
        Q_UNUSED(doc);
        return true;
    }
};

// Owns the top-level windows and switches between them. A window is created on first
// use from the factory registered for it. The views (calendar, diary, weekly,
// monthly, main window) replace one another: the view that is left stores its page,
// the target is shown, then the view that was left is hidden. The ToDo list, the
// statistics and the search window open beside the current view, which stores its
// page first. Windows ask for one another by name here and never know each other.
class Navigator : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<NavWindow*()>;

    explicit Navigator(QObject* parent = nullptr);
    ~Navigator() override;

    void registerView(View view, Factory factory);
    // A window that exists already (the calendar window made by start-up).
    void adopt(View view, NavWindow* window);

    // Whether the window can be opened (a factory is registered or it exists).
    bool has(View view) const;
    // The window if it has been created, nullptr otherwise.
    NavWindow* window(View view) const;
    // The window, created now if it does not exist yet; nullptr when it cannot be.
    NavWindow* ensure(View view);

    // Opens a window by the switch rules above. False when it cannot be opened.
    bool open(View view);
    // A view's close box: the view stores its page and the calendar is shown; a
    // window beside the views stores its page and is hidden.
    void closeWindow(NavWindow* window);

    // The view shown now (nullptr before start-up shows the first one).
    NavWindow* current() const { return m_current; }
    View currentView() const { return m_currentView; }
    // Windows in the order they were created.
    QList<NavWindow*> loadOrder() const { return m_order; }
    // Every loaded window in the order it was loaded: the navigator's own and the
    // ones other windows made and announced (the main window's annual windows).
    void addLoaded(QWidget* window);
    QList<QWidget*> loadedWindows() const;

    // The program ends: every question about unsaved work has been answered.
    void requestEnd() {
        m_ending = true;
        Q_EMIT endRequested();
    }
    bool ending() const { return m_ending; }
    // Whether a top-level widget is one of the navigator's windows.
    bool owns(const QWidget* topLevel) const;

    static bool opensBeside(View view);

    // Opening a document file as the main window's 開く does (a file open already comes
    // to the front): it becomes the current document. The view shown stores its page
    // first. False when it was not opened (the user was told why).
    using DocumentOpener = std::function<bool(const QString& path)>;
    void setDocumentOpener(DocumentOpener opener) { m_opener = std::move(opener); }
    bool openDocument(const QString& path);

Q_SIGNALS:
    // A window was registered or adopted: what can be opened has changed.
    void viewsChanged();
    void endRequested();
    void windowCreated(View view, NavWindow* window);
    void switched(View view);

private:
    std::map<View, Factory> m_factories;
    std::map<View, NavWindow*> m_windows;
    QList<NavWindow*> m_order;
    QList<QPointer<QWidget>> m_widgets; // owned, in creation order
    QList<QPointer<QWidget>> m_loaded;  // every loaded window, in load order
    DocumentOpener m_opener;
    NavWindow* m_current = nullptr;
    View m_currentView = View::Calendar;
    bool m_ending = false;
};

// Closes every loaded window but the first loaded one, from the last loaded back; each
// window's own close handling runs (a view shows the calendar, an annual window may
// refuse, and so on).
void Forms_UnloadAll(Navigator& nav);
