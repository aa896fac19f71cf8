// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/navigator.h"

#include <QWidget>

Navigator::Navigator(QObject* parent) : QObject(parent) {}

Navigator::~Navigator() {
    // Windows go in the reverse order of their creation.
    for (qsizetype i = m_widgets.size() - 1; i >= 0; --i)
        delete m_widgets[i].data();
}

void Navigator::registerView(View view, Factory factory) {
    m_factories[view] = std::move(factory);
    Q_EMIT viewsChanged();
}

void Navigator::adopt(View view, NavWindow* window) {
    if (!window || m_windows.count(view))
        return;
    m_windows[view] = window;
    m_order.append(window);
    m_widgets.append(window->widget());
    m_loaded.append(window->widget());
    Q_EMIT windowCreated(view, window);
    Q_EMIT viewsChanged();
}

bool Navigator::has(View view) const {
    return m_windows.count(view) || m_factories.count(view);
}

NavWindow* Navigator::window(View view) const {
    const auto it = m_windows.find(view);
    return it == m_windows.end() ? nullptr : it->second;
}

NavWindow* Navigator::ensure(View view) {
    if (NavWindow* w = window(view))
        return w;
    const auto it = m_factories.find(view);
    if (it == m_factories.end())
        return nullptr;
    NavWindow* w = it->second();
    adopt(view, w);
    return w;
}

bool Navigator::openDocument(const QString& path) {
    if (!m_opener)
        return false;
    if (m_current)
        m_current->storePage();
    return m_opener(path);
}

bool Navigator::opensBeside(View view) {
    switch (view) {
    case View::ToDoList:
    case View::RecordStats:
    case View::ItemStats:
    case View::Search:
        return true;
    default:
        return false;
    }
}

bool Navigator::open(View view) {
    NavWindow* target = ensure(view);
    if (!target)
        return false;
    if (opensBeside(view)) {
        if (m_current)
            m_current->storePage();
        target->enterPage();
        return true;
    }
    NavWindow* left = m_current;
    if (left && left != target)
        left->leavePage();
    m_current = target;
    m_currentView = view;
    target->enterPage();
    if (left && left != target)
        left->widget()->hide();
    Q_EMIT switched(view);
    return true;
}

void Navigator::closeWindow(NavWindow* window) {
    if (!window)
        return;
    if (window == m_current) {
        if (m_currentView != View::Calendar && has(View::Calendar))
            open(View::Calendar);
        return;
    }
    window->leavePage();
    window->widget()->hide();
}

bool Navigator::owns(const QWidget* topLevel) const {
    if (!topLevel)
        return false;
    for (const auto& w : m_widgets)
        if (w.data() == topLevel)
            return true;
    return false;
}

void Navigator::addLoaded(QWidget* window) {
    if (window)
        m_loaded.append(window);
}

QList<QWidget*> Navigator::loadedWindows() const {
    QList<QWidget*> out;
    for (const auto& w : m_loaded)
        if (w)
            out.append(w.data());
    return out;
}

void Forms_UnloadAll(Navigator& nav) {
    const QList<QWidget*> windows = nav.loadedWindows();
    for (qsizetype i = windows.size() - 1; i >= 1 && !nav.ending(); --i) {
        const QList<QWidget*> now = nav.loadedWindows();
        if (now.contains(windows[i]))
            windows[i]->close();
    }
}
