# SPDX-License-Identifier: GPL-3.0-or-later
"""The accessible tree of one window as the accessibility check sees it: a walk with
limits on depth, size and time, what counts as a control a user reaches, its name or
label, and the hints that say which widget an object is. Used by check.py."""

import time

import pyatspi
from gi.repository import GLib

R = pyatspi
# Containers and decorations: counted only when they take the focus.
PASSIVE_ROLES = {
    R.ROLE_FILLER, R.ROLE_PANEL, R.ROLE_SCROLL_PANE, R.ROLE_VIEWPORT, R.ROLE_MENU_BAR,
    R.ROLE_TOOL_BAR, R.ROLE_STATUS_BAR, R.ROLE_LAYERED_PANE, R.ROLE_SEPARATOR,
    R.ROLE_POPUP_MENU, R.ROLE_SPLIT_PANE, R.ROLE_LABEL, R.ROLE_SCROLL_BAR, R.ROLE_FRAME,
    R.ROLE_WINDOW, R.ROLE_ROOT_PANE, R.ROLE_GLASS_PANE, R.ROLE_INTERNAL_FRAME,
    R.ROLE_REDUNDANT_OBJECT, R.ROLE_SECTION, R.ROLE_GROUPING,
}
# Data, not controls: never counted as unnamed.
DATA_ROLES = {R.ROLE_TABLE_CELL, R.ROLE_TABLE_ROW}


def safe(fn, default=None):
    try:
        return fn()
    except (GLib.GError, NotImplementedError, LookupError, AttributeError, RuntimeError):
        return default


def role_name(obj):
    return safe(obj.getRoleName, "?") or "?"


class Node:
    """What the walk keeps of one accessible object."""

    __slots__ = ("obj", "role", "role_name", "name", "description", "path", "showing",
                 "focusable", "actions", "interfaces", "children", "parent", "index")

    def __init__(self, obj, path, parent, index):
        self.obj = obj
        self.path = path
        self.parent = parent
        self.index = index
        self.role = safe(obj.getRole, R.ROLE_INVALID)
        self.role_name = role_name(obj)
        self.name = safe(lambda: obj.name, "") or ""
        self.description = safe(lambda: obj.description, "") or ""
        st = safe(obj.getState)
        self.showing = bool(st and st.contains(R.STATE_SHOWING))
        self.focusable = bool(st and st.contains(R.STATE_FOCUSABLE))
        self.interfaces = set(safe(obj.get_interfaces, []) or [])
        self.actions = []
        if "Action" in self.interfaces:
            act = safe(obj.queryAction)
            if act is not None:
                n = safe(lambda: act.nActions, 0) or 0
                self.actions = [safe(lambda i=i: act.getName(i), "") for i in range(n)]
        self.children = safe(lambda: obj.childCount, 0) or 0


class Walk:
    """One window's tree, walked depth-first with limits on depth, size and time."""

    def __init__(self, root, max_depth, max_nodes, max_children, deadline):
        self.nodes = []
        self.truncated = []
        self.sampled = []
        self.errors = 0
        stack = [(root, role_name(root), None, 0, 0)]
        while stack:
            obj, path, parent, index, depth = stack.pop()
            if time.monotonic() > deadline:
                self.truncated.append("time limit reached")
                break
            if len(self.nodes) >= max_nodes:
                self.truncated.append(f"{max_nodes} objects reached")
                break
            try:
                node = Node(obj, path, parent, index)
            except GLib.GError:
                self.errors += 1
                continue
            self.nodes.append(node)
            # Hidden subtrees (closed popup menus, hidden scroll bars) hold nothing
            # showing; their roots are counted, their contents not walked.
            if (parent is not None and not node.showing) or node.children == 0:
                continue
            if depth >= max_depth:
                self.truncated.append(f"depth {max_depth} at {path}")
                continue
            indices = list(range(node.children))
            if node.children > max_children:
                # A table exposes every cell as a child: the first ones and the last.
                tail = max(1, max_children // 5)
                indices = indices[:max(1, max_children - tail)] + indices[-tail:]
                self.sampled.append(f"{path}: {len(indices)} of {node.children} children")
            children = []
            for i in indices:
                child = safe(lambda i=i: obj.getChildAtIndex(i))
                if child is None:
                    self.errors += 1
                    continue
                children.append((child, f"{path}/{role_name(child)}[{i}]", node, i, depth + 1))
            stack.extend(reversed(children))


def interactive(node, is_root):
    if is_root or not node.showing or node.role in DATA_ROLES:
        return False
    if node.focusable:
        return True
    if node.role in PASSIVE_ROLES:
        return False
    return any(a for a in node.actions)


def labelled_by(node):
    """Names of the objects that label this one, or None without such a relation."""
    rels = safe(node.obj.getRelationSet, []) or []
    names = None
    for rel in rels:
        if safe(rel.getRelationType) != R.RELATION_LABELLED_BY:
            continue
        names = names or []
        for i in range(safe(rel.getNTargets, 0) or 0):
            target = safe(lambda i=i: rel.getTarget(i))
            names.append((safe(lambda: target.name, "") or "") if target is not None else "")
    return names


def near_label(node, by_parent):
    """The text of a label just before the object among its siblings (at most two
    places back), a hint at which widget it is."""
    siblings = by_parent.get(id(node.parent), [])
    pos = next((k for k, s in enumerate(siblings) if s is node), None)
    if pos is None:
        return ""
    for k in range(pos - 1, max(pos - 3, -1), -1):
        s = siblings[k]
        if s.role == R.ROLE_LABEL and s.name.strip():
            return s.name
    return ""


def extents(node):
    comp = safe(node.obj.queryComponent)
    if comp is None:
        return None
    e = safe(lambda: comp.getExtents(R.DESKTOP_COORDS))
    return None if e is None else (e.x, e.y, e.width, e.height)


def painted_area(n):
    """A widget that paints itself and tells AT-SPI nothing: a showing, unnamed leaf
    filler or panel of some size, neither focusable nor actionable, that is not a tool
    bar separator or the viewport of a text box, list or grid."""
    if not n.showing or n.parent is None or n.children or n.name.strip() or n.focusable \
            or any(n.actions) or n.role not in (R.ROLE_FILLER, R.ROLE_PANEL):
        return False
    p = n.parent
    if p.focusable or p.role in (R.ROLE_TOOL_BAR, R.ROLE_TEXT, R.ROLE_LIST, R.ROLE_TABLE,
                                 R.ROLE_TREE_TABLE, R.ROLE_SCROLL_PANE):
        return False
    e = extents(n)
    return e is not None and e[2] >= 16 and e[3] >= 16
