// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/document.h"
#include "gui/frame/commandtable.h"
#include "gui/frame/navigator.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <vector>

class AppState;

// The base of every top-level window the navigator switches between. A view loads
// its page for the current date from the year store and stores it back; it declares
// its menus and toolbar in one command table.
//
// The page is stored whenever the user may go on elsewhere: before the current date
// changes, before another window is opened, when the view is closed, and when it
// loses activation to another window of the program. When it comes back after that,
// it shows the store again, with what the user typed and what other windows stored
// meanwhile. Dialogs the view opens itself do not count as going elsewhere.
class ViewWindow : public QMainWindow, public NavWindow {
    Q_OBJECT
public:
    ViewWindow(AppState& app, Navigator& nav, const QString& objectName, const QString& caption,
               QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    void storePage() override;
    void leavePage() override;
    void enterPage() override;

    // A window hidden this long gives back what the window system holds for it (its
    // native window and the image it is painted into); shown again, it makes them
    // anew. 0: at once.
    static void setReleaseDelay(int ms);

    QAction* action(const QString& name) const { return m_commands.action(name); }
    QToolBar* toolBar() const { return m_commands.toolBar(); }
    QMenu* commandMenu(const QString& name) const { return m_commands.menu(name); }
    AppState& app() const { return m_app; }
    // The window's own caption (the frame may add the active child window's).
    QString caption() const { return m_caption; }
    Navigator& navigator() const { return m_nav; }

    // What the page holds of `doc` that is not stored yet, written into `snapshot` (a
    // copy of the program's state holding a copy of `doc`) for a recovery copy. The
    // widgets are only read: cursor, selection and an open cell editor stay as they
    // are, and the text of a cell being edited is not part of it.
    void copyUnstoredPage(AppState& snapshot, const Document& doc);
    // The document whose page the window shows (nullptr before the first).
    Document* pageDocument() const { return m_pageDoc; }

protected:
    // The page into `snapshot`'s store without touching the widgets; the snapshot's
    // current date is the page's.
    virtual void copyPage(AppState& snapshot) { Q_UNUSED(snapshot); }
    // The page of the current date from the store.
    virtual void loadFromStore() = 0;
    // The page back into the store, for the current date.
    virtual void storeBack() = 0;
    // The widget that takes the keyboard focus when the view opens.
    virtual QWidget* writingWidget() const { return nullptr; }
    // The document the title names (nullptr: the caption alone). The title reads
    // "日記 - 2005.dys", or with the caption last "2005.dys - デイログ", and "*" after
    // the name while the document holds unsaved changes.
    virtual const Document* titleDocument() const;
    virtual bool captionLast() const { return false; }
    // Shows the title afresh (the document, its name or its changed state changed).
    void showTitle();
    // Whether the page is one date's (stored for the date it shows, whatever the
    // current date is by then); the main window's page is a whole document.
    virtual bool pageOfADate() const { return true; }
    // Whether the page is stored when another window of the program takes over and
    // shown afresh on return. A window whose page is its own (the ToDo list, the
    // statistics, the search) keeps it as it is, and asked for again while it is open
    // it only comes to the front.
    virtual bool followsActivation() const { return true; }

    // Builds the menus and toolbar; an item that opens a window without an action of
    // its own opens it through openCommand.
    void buildCommands(std::vector<Command> table);
    // ﾌｧｲﾙ → 上書き保存 of a view: the page goes into the document, which is then saved
    // as the calendar saves it.
    Command saveCommand();
    // 表示 → 前の日 (Alt+Left) and 次の日 (Alt+Right) of a view of days: the page is
    // stored and the day before or after shown, inside the year.
    Command previousDayCommand();
    Command nextDayCommand();
    void stepDay(int days);
    // 表示 → ToDo一覧 and 検索, beside the view.
    static Command toDoListCommand();
    static Command searchCommand();
    // How this window opens another from its menu: the page is stored first.
    virtual void openCommand(View view) { openView(view); }
    // Sizes the window to `preferred`, or smaller to fit the screen with its title
    // bar (a 1366 × 768 screen included), and centres it.
    void placeOnScreen(const QSize& preferred);
    // The date of the page shown (invalid before the first).
    QDate pageDate() const { return m_pageDate; }

    // Stores the page, lets `change` move the current date, and shows the new date's
    // page.
    void changeDate(const std::function<void()>& change);
    // Stores the page, then opens another window (nothing else when it cannot be
    // opened yet).
    void openView(View view);
    // Stores the page, then opens another window at `date` (nothing else when it
    // cannot be opened yet).
    void openViewAt(View view, const QDate& date);

    // The user changed the page (typed, picked a colour): its document holds changes
    // from now on, though they reach it when the page is stored.
    void markChanged();

    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Escape that nothing in the window took closes a window beside the views.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void storeNow();
    void reload();
    // A page on screen behind another window of the program is shown afresh when its
    // document changes there.
    void refreshPage();
    // `other`, a window of the program, comes to the front: the page goes into the
    // document and is not stored again until this window is active.
    void storeForWindow(QWidget* other);

    AppState& m_app;
    Navigator& m_nav;
    QString m_caption;
    CommandSet m_commands;
    // The date and document whose page the widgets show; stores always go there.
    QDate m_pageDate;
    QPointer<Document> m_pageDoc;
    // The page has been stored and the window has not been active since: its widgets
    // may be older than the store, so they are shown afresh, never stored.
    bool m_stale = true;
    // The document has changed since the page was shown.
    bool m_pageOlder = true;
    bool m_refreshQueued = false;
    bool m_storing = false;
};
