// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/frame/navigator.h"
#include "gui/frame/toolicons.h"

#include <QHash>
#include <QKeySequence>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// One line of a window's command table: a menu, one of its items or separators, a
// pop-up menu, or a toolbar button, with the caption, shortcut, tool tip and action.
// The table is the one place where a window's menu and toolbar texts are written.
struct Command {
    enum class Kind { Menu, Popup, Item, Separator, BarItem, Tool, ToolSeparator };
    Kind kind = Kind::Item;
    QString name;    // objectName; a toolbar button's name is its key ("印刷")
    QString caption; // menu text with its mnemonic ("印刷(&P)")
    QKeySequence key;
    QString tip;
    std::function<void()> run;
    // The window the command opens: it stays disabled while that window cannot be
    // opened.
    std::optional<View> opens;
    // A toolbar button that runs a menu item names it here.
    QString runs;
    // A button shown but without an action in this window.
    bool disabled = false;
    // A check item: set, the item is checkable and starts in this state.
    std::optional<bool> checked;
    ToolIcon icon = ToolIcon::None;
};

// Shorthands for writing a table.
namespace Cmd {
Command menu(const QString& name, const QString& caption);
Command popup(const QString& name, const QString& caption);
Command item(const QString& name, const QString& caption, std::function<void()> run,
             const QKeySequence& key = {});
// A check item, ticked or not at first; `run` reads the new state from the action.
Command check(const QString& name, const QString& caption, bool checked, std::function<void()> run);
// An item that opens another window: the window's own way of opening it
// (ViewWindow::openCommand) unless `run` is given.
Command opens(const QString& name, const QString& caption, View view, const QKeySequence& key = {});
Command opens(const QString& name, const QString& caption, View view, std::function<void()> run,
              const QKeySequence& key = {});
Command separator(const QString& name = {});
// A menu-bar entry without a menu (runs at once).
Command barItem(const QString& name, const QString& caption, std::function<void()> run,
                const QKeySequence& key = {});
// A toolbar button running the menu item `menuItem`.
Command tool(const QString& key, ToolIcon icon, const QString& menuItem, const QString& tip = {});
// A toolbar button with an action of its own.
Command toolAction(const QString& key, ToolIcon icon, std::function<void()> run,
                   std::optional<View> opens = std::nullopt, const QString& tip = {});
// A toolbar button shown without an action in this window (disabled).
Command toolWithout(const QString& key, ToolIcon icon, const QString& tip = {});
Command toolSeparator();
} // namespace Cmd

// The menus, pop-up menus and toolbar built from a command table.
class CommandSet {
public:
    void build(QMainWindow* window, const std::vector<Command>& table, const Navigator& nav);
    // Enables the commands whose window can now be opened (and disables the others).
    void updateEnabled(const Navigator& nav);

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QMenu* menu(const QString& name) const { return m_menus.value(name); }
    QToolBar* toolBar() const { return m_toolBar; }
    const QHash<QString, QAction*>& actions() const { return m_actions; }

private:
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
    QList<std::pair<QAction*, View>> m_opening;
    QToolBar* m_toolBar = nullptr;
};
