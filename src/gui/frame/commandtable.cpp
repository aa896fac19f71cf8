// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/commandtable.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace Cmd {

Command menu(const QString& name, const QString& caption) {
    Command c;
    c.kind = Command::Kind::Menu;
    c.name = name;
    c.caption = caption;
    return c;
}

Command popup(const QString& name, const QString& caption) {
    Command c = menu(name, caption);
    c.kind = Command::Kind::Popup;
    return c;
}

Command item(const QString& name, const QString& caption, std::function<void()> run,
             const QKeySequence& key) {
    Command c;
    c.kind = Command::Kind::Item;
    c.name = name;
    c.caption = caption;
    c.run = std::move(run);
    c.key = key;
    return c;
}

Command check(const QString& name, const QString& caption, bool checked,
              std::function<void()> run) {
    Command c = item(name, caption, std::move(run));
    c.checked = checked;
    return c;
}

Command opens(const QString& name, const QString& caption, View view, const QKeySequence& key) {
    return opens(name, caption, view, nullptr, key);
}

Command opens(const QString& name, const QString& caption, View view, std::function<void()> run,
              const QKeySequence& key) {
    Command c = item(name, caption, std::move(run), key);
    c.opens = view;
    return c;
}

Command separator(const QString& name) {
    Command c;
    c.kind = Command::Kind::Separator;
    c.name = name;
    return c;
}

Command barItem(const QString& name, const QString& caption, std::function<void()> run,
                const QKeySequence& key) {
    Command c = item(name, caption, std::move(run), key);
    c.kind = Command::Kind::BarItem;
    return c;
}

Command tool(const QString& key, ToolIcon icon, const QString& menuItem, const QString& tip) {
    Command c;
    c.kind = Command::Kind::Tool;
    c.name = key;
    c.icon = icon;
    c.runs = menuItem;
    c.tip = tip;
    return c;
}

Command toolAction(const QString& key, ToolIcon icon, std::function<void()> run,
                   std::optional<View> opens, const QString& tip) {
    Command c;
    c.kind = Command::Kind::Tool;
    c.name = key;
    c.icon = icon;
    c.run = std::move(run);
    c.opens = opens;
    c.tip = tip;
    return c;
}

Command toolWithout(const QString& key, ToolIcon icon, const QString& tip) {
    Command c;
    c.kind = Command::Kind::Tool;
    c.name = key;
    c.icon = icon;
    c.tip = tip;
    c.disabled = true;
    return c;
}

Command toolSeparator() {
    Command c;
    c.kind = Command::Kind::ToolSeparator;
    return c;
}

} // namespace Cmd

void CommandSet::updateEnabled(const Navigator& nav) {
    for (const auto& [action, view] : m_opening)
        action->setEnabled(nav.has(view));
}

void CommandSet::build(QMainWindow* window, const std::vector<Command>& table,
                       const Navigator& nav) {
    QMenu* menu = nullptr;
    auto enabledFor = [&](const Command& c) { return !c.opens || nav.has(*c.opens); };
    auto makeAction = [&](const Command& c, QObject* parent) {
        auto* a = new QAction(c.caption, parent);
        a->setObjectName(c.name);
        if (!c.key.isEmpty()) {
            a->setShortcut(c.key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        if (!c.tip.isEmpty())
            a->setToolTip(c.tip);
        if (c.checked) {
            a->setCheckable(true);
            a->setChecked(*c.checked);
        }
        if (c.run)
            QObject::connect(a, &QAction::triggered, window, c.run);
        if (c.opens)
            m_opening.append({a, *c.opens});
        a->setEnabled(enabledFor(c));
        return a;
    };

    for (const Command& c : table) {
        switch (c.kind) {
        case Command::Kind::Menu:
            menu = window->menuBar()->addMenu(c.caption);
            menu->setObjectName(c.name);
            m_menus.insert(c.name, menu);
            break;
        case Command::Kind::Popup:
            menu = new QMenu(c.caption, window);
            menu->setObjectName(c.name);
            m_menus.insert(c.name, menu);
            break;
        case Command::Kind::Item: {
            Q_ASSERT(menu);
            QAction* a = makeAction(c, menu);
            menu->addAction(a);
            m_actions.insert(c.name, a);
            break;
        }
        case Command::Kind::Separator: {
            Q_ASSERT(menu);
            QAction* s = menu->addSeparator();
            if (!c.name.isEmpty())
                s->setObjectName(c.name);
            break;
        }
        case Command::Kind::BarItem: {
            QAction* a = makeAction(c, window->menuBar());
            window->menuBar()->addAction(a);
            m_actions.insert(c.name, a);
            menu = nullptr;
            break;
        }
        case Command::Kind::Tool: {
            if (!m_toolBar) {
                m_toolBar = new QToolBar(window);
                m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
                m_toolBar->setMovable(false);
                m_toolBar->setFloatable(false);
                m_toolBar->setIconSize(QSize(24, 24));
                m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
                m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
                window->addToolBar(Qt::TopToolBarArea, m_toolBar);
            }
            auto* a = new QAction(toolIcon(c.icon), c.name, m_toolBar);
            a->setObjectName(QStringLiteral("tb_") + c.name);
            a->setData(c.name);
            a->setToolTip(c.tip.isEmpty() ? c.name : c.tip);
            if (!c.runs.isEmpty()) {
                QAction* target = m_actions.value(c.runs);
                Q_ASSERT(target);
                if (target) {
                    QObject::connect(a, &QAction::triggered, target, &QAction::trigger);
                    a->setEnabled(target->isEnabled());
                    QObject::connect(target, &QAction::enabledChanged, a, &QAction::setEnabled);
                }
            } else {
                if (c.run)
                    QObject::connect(a, &QAction::triggered, window, c.run);
                if (c.opens)
                    m_opening.append({a, *c.opens});
                a->setEnabled(enabledFor(c) && !c.disabled);
            }
            m_toolBar->addAction(a);
            m_actions.insert(QStringLiteral("tb_") + c.name, a);
            break;
        }
        case Command::Kind::ToolSeparator:
            if (m_toolBar)
                m_toolBar->addSeparator();
            break;
        }
    }
}
