#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The accessibility check of DayLog through the Linux accessibility stack (AT-SPI).

Run by tests/a11y/run.sh, which starts the program in a virtual display with its own
D-Bus session and accessibility bus; this script only talks to AT-SPI (python3-pyatspi).

For each window (the calendar, then every view opened from the calendar's 表示 menu)
it walks the window's accessible tree and collects every object a user reaches with the
keyboard or a screen reader acts on: showing, and focusable or with actions. Containers
(fillers, panels, scroll panes, tool and menu bars...) and scroll bars count only when
they take the focus; table cells never do (an empty cell is data, not a control). Such
an object is named when its accessible name is not empty or when another object labels
it (a LABELLED_BY relation). Extra checks: the calendar exposes the fixed date
(5月10日) in an accessible name; the annual table and the ToDo list expose a table with
rows and a cell with a text.

Exit status: 0 when every window passes, or with --report whatever the findings; 1
when a window has unnamed objects or an extra check fails; 2 when the check itself
could not run (a window did not open, the program went away, time ran out), with
--report too; 77 when pyatspi is missing.
"""

import argparse
import json
import re
import shutil
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError:  # pragma: no cover - the driver skips before this
    print("SKIP: python3-pyatspi is not installed", file=sys.stderr)
    sys.exit(77)

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

sys.dont_write_bytecode = True  # nothing written beside the sources
from a11ytree import (R, Walk, extents, interactive, labelled_by, near_label,  # noqa: E402
                      painted_area, safe)

# What a window is, how it is reached and which extra checks it gets. Titles are
# matched by containing one of the words, so "year.dys - デイログ" or "日記 - year.dys*"
# still match; the calendar's title must hold none of the other windows' words.
WINDOWS = [
    # key, label, calendar menu caption, title words, extra checks
    ("calendar", "カレンダー", None, ["デイログ"], ["date"]),
    ("diary", "日記", "日記", ["日記"], []),
    ("weekly", "週日程", "週日程", ["週日程"], []),
    ("monthly", "月日程", "月日程", ["月日程"], []),
    # The main window's caption is "DayLog" today ("DayLog - [path]").
    ("annual", "年間日程", "年間日程", ["年間日程", "DayLog"], ["table"]),
    ("todo", "ToDo一覧", "ToDo一覧", ["ToDo一覧"], ["table"]),
    ("recordstats", "記録統計", "記録統計", ["記録統計"], []),
    # The item statistics window is captioned スケジュール統計 today.
    ("itemstats", "項目統計", "項目統計", ["項目統計", "スケジュール統計"], []),
    ("search", "検索", "検索", ["検索"], []),
]
# Other top-level windows whose titles hold a window's word but are not that window.
NOT_A_VIEW = ["ヘルプ", "印刷プレビュー"]

class CheckError(Exception):
    """The check could not go on (as opposed to a finding about the program)."""


def log(*args):
    print(*args, flush=True)


def strip_mnemonic(text):
    """'日記(N)' / '開く(&O)...' → '日記' / '開く'."""
    text = re.sub(r"(\.\.\.|…)$", "", text or "")
    return re.sub(r"\s*\(&?[A-Za-z0-9]\)$", "", text).replace("&", "").strip()


class App:
    def __init__(self, args):
        self.args = args
        self.app = None
        self.desktop = pyatspi.Registry.getDesktop(0)

    def find(self, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            for i in range(safe(lambda: self.desktop.childCount, 0) or 0):
                app = safe(lambda i=i: self.desktop.getChildAtIndex(i))
                if app is None:
                    continue
                if self.args.pid:
                    ok = safe(app.get_process_id) == self.args.pid
                else:
                    ok = (safe(lambda: app.name, "") or "").lower() == self.args.app_name.lower()
                if ok:
                    # The windows come and go: ask the program every time.
                    safe(lambda: app.set_cache_mask(Atspi.Cache.NONE))
                    self.app = app
                    return app
            time.sleep(0.25)
        who = f"process {self.args.pid}" if self.args.pid else f"'{self.args.app_name}'"
        raise CheckError(f"the program ({who}) did not appear on the accessibility bus "
                         f"within {timeout:.0f} s (is QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 set, "
                         f"is the AT-SPI bus running?)")

    def alive(self):
        if self.args.pid:
            try:  # a program that ended stays a zombie until the driver waits for it
                with open(f"/proc/{self.args.pid}/stat", encoding="utf-8") as f:
                    if f.read().rsplit(")", 1)[1].split()[0] in ("Z", "X"):
                        return False
            except OSError:
                return False
        return self.app is not None and safe(lambda: self.app.childCount) is not None

    def frames(self):
        """(title, object, showing, active) of every top-level window."""
        safe(self.app.clearCache)
        out = []
        for i in range(safe(lambda: self.app.childCount, 0) or 0):
            w = safe(lambda i=i: self.app.getChildAtIndex(i))
            if w is None or safe(w.getRole) not in (R.ROLE_FRAME, R.ROLE_WINDOW):
                continue
            st = safe(w.getState)
            out.append((safe(lambda: w.name, "") or "", w,
                        bool(st and st.contains(R.STATE_SHOWING)),
                        bool(st and st.contains(R.STATE_ACTIVE))))
        return out


def title_matches(win, title):
    key, _, _, words, _ = win
    if any(w in title for w in NOT_A_VIEW):
        return False
    if not any(w in title for w in words):
        return False
    if key == "calendar":
        others = [w for s in WINDOWS if s[0] != "calendar" for w in s[3]]
        return not any(w in title for w in others)
    return True


def wait_window(app, win, timeout, before=()):
    """The showing top-level window of win: the active one first, then one that was
    not showing before."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if not app.alive():
            raise CheckError("the program is gone from the accessibility bus")
        found = [(t, w, act) for t, w, showing, act in app.frames()
                 if showing and title_matches(win, t)]
        if found:
            found.sort(key=lambda f: (not f[2], f[0] in before))
            return found[0][0], found[0][1]
        time.sleep(0.2)
    return None, None


def find_menu_item(root, caption, max_depth=6):
    stack = [(root, 0)]
    while stack:
        obj, depth = stack.pop()
        role = safe(obj.getRole)
        if role in (R.ROLE_MENU_ITEM, R.ROLE_CHECK_MENU_ITEM, R.ROLE_RADIO_MENU_ITEM) and \
                strip_mnemonic(safe(lambda: obj.name, "")) == caption:
            return obj
        if depth >= max_depth:
            continue
        # Menus live in the menu bar; do not wander into the window's contents.
        if depth == 1 and role != R.ROLE_MENU_BAR:
            continue
        for i in range(safe(lambda: obj.childCount, 0) or 0):
            c = safe(lambda i=i: obj.getChildAtIndex(i))
            if c is not None:
                stack.append((c, depth + 1))
    return None


def press(obj):
    act = safe(obj.queryAction)
    if act is None:
        return False
    names = [safe(lambda i=i: act.getName(i), "") for i in range(safe(lambda: act.nActions, 0) or 0)]
    if not names:
        return False
    idx = next((i for i, n in enumerate(names) if n.lower() in ("press", "click", "activate")), 0)
    return bool(safe(lambda: act.doAction(idx), False))


def xdotool_menu(title, item_name):
    """Fallback: 表示 through the keyboard, Alt+V and the item's mnemonic."""
    m = re.search(r"\(&?([A-Za-z0-9])\)", item_name or "")
    if not m or not shutil.which("xdotool"):
        return False
    try:
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", re.escape(title)],
                             capture_output=True, text=True, timeout=10).stdout.split()
        if not ids:
            return False
        subprocess.run(["xdotool", "windowactivate", "--sync", ids[0]], timeout=10)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "--clearmodifiers", "alt+v"], timeout=10)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", m.group(1).lower()], timeout=10)
        return True
    except (subprocess.SubprocessError, OSError):
        return False


class Result:
    def __init__(self, win):
        self.key, self.label = win[0], win[1]
        self.title = ""
        self.seen = self.showing = self.interactive = 0
        self.unnamed = []
        self.extra = []          # (name, passed, detail)
        self.notes = []
        self.error = None
        self.info_leaves = 0     # unnamed showing leaf fillers/panels (painted widgets)

    @property
    def failed(self):
        return bool(self.unnamed) or any(not ok for _, ok, _ in self.extra)

    def as_dict(self):
        return {"window": self.key, "label": self.label, "title": self.title,
                "seen": self.seen, "showing": self.showing, "interactive": self.interactive,
                "unnamed": self.unnamed, "extra": [{"check": n, "passed": ok, "detail": d}
                                                   for n, ok, d in self.extra],
                "notes": self.notes, "error": self.error,
                "painted_areas": self.info_leaves}


def check_table(walk, args):
    """A table (Table interface) with rows and a cell holding a text."""
    tables = [n for n in walk.nodes if "Table" in n.interfaces and n.showing]
    if not tables:
        focus_fillers = [n for n in walk.nodes if n.showing and n.focusable and
                         n.role in (R.ROLE_FILLER, R.ROLE_PANEL, R.ROLE_UNKNOWN)]
        hint = (f"; the grid is probably the focusable {focus_fillers[0].role_name} at "
                f"{focus_fillers[0].path}" if focus_fillers else "")
        return False, "no object with the Table interface" + hint
    details = []
    for t in tables:
        tab = safe(t.obj.queryTable)
        if tab is None:
            continue
        rows = safe(lambda: tab.nRows, 0) or 0
        cols = safe(lambda: tab.nColumns, 0) or 0
        texts = []
        if rows > 0 and cols > 0:
            # Every row of a short table, about sixty spread over a long one.
            sample_rows = sorted(set(range(0, rows, max(1, rows // 60))) | {rows - 1})
            for r in sample_rows:
                for c in range(min(cols, args.table_columns)):
                    cell = safe(lambda r=r, c=c: tab.getAccessibleAt(r, c))
                    name = (safe(lambda: cell.name, "") or "") if cell is not None else ""
                    if name.strip():
                        texts.append(f"({r},{c}) {name.strip()[:30]!r}")
        details.append(f"{t.role_name} at {t.path}: {rows}×{cols}, "
                       f"{len(texts)} sampled cells with text" +
                       (f" e.g. {', '.join(texts[:3])}" if texts else ""))
        if rows > 0 and texts:
            return True, "; ".join(details)
    return False, "; ".join(details) or "the Table interface did not answer"


def check_date(walk, args):
    hits = [n for n in walk.nodes if args.date in n.name]
    if hits:
        return True, f"{len(hits)} object(s), e.g. {hits[0].role_name} {hits[0].name!r} at {hits[0].path}"
    in_desc = [n for n in walk.nodes if args.date in n.description]
    if in_desc:
        return False, (f"only in a description: {in_desc[0].role_name} at {in_desc[0].path}")
    # Where the day cells probably are: the object with the most unnamed leaf children.
    counts = {}
    for n in walk.nodes:
        if n.parent is not None and n.children == 0 and not n.name.strip():
            counts.setdefault(id(n.parent), [n.parent, 0])[1] += 1
    best = max(counts.values(), key=lambda x: x[1], default=None)
    hint = (f"; {best[1]} unnamed leaf objects under {best[0].role_name} at {best[0].path} "
            f"(the day cells?)" if best else "")
    return False, f"no object's name holds {args.date!r}" + hint


def examine(result, frame, win, args, deadline):
    walk = Walk(frame, args.max_depth, args.max_nodes, args.max_children,
                min(deadline, time.monotonic() + args.window_timeout))
    by_parent = {}
    for n in walk.nodes:
        by_parent.setdefault(id(n.parent), []).append(n)
    result.seen = len(walk.nodes)
    result.showing = sum(1 for n in walk.nodes if n.showing)
    for n in walk.nodes:
        if painted_area(n):
            result.info_leaves += 1
        if not interactive(n, n.parent is None):
            continue
        result.interactive += 1
        if n.name.strip():
            continue
        labels = labelled_by(n)
        if labels is not None and any(lbl.strip() for lbl in labels):
            continue
        result.unnamed.append({
            "role": n.role_name, "path": n.path, "description": n.description,
            "near": near_label(n, by_parent), "focusable": n.focusable,
            "actions": [a for a in n.actions if a], "extents": extents(n),
            "labelled_by": labels})
    for what in win[4]:
        if what == "date":
            result.extra.append(("date " + args.date, *check_date(walk, args)))
        elif what == "table":
            result.extra.append(("table with text cells", *check_table(walk, args)))
    if walk.truncated:
        result.notes.append("walk stopped: " + ", ".join(walk.truncated))
    if "time limit reached" in walk.truncated:
        raise CheckError(f"the walk ran out of time after {len(walk.nodes)} objects "
                         f"(--window-timeout {args.window_timeout:.0f} s, --timeout)")
    if walk.sampled:
        result.notes.append("sampled: " + "; ".join(walk.sampled[:5]) +
                            (f" (+{len(walk.sampled) - 5} more)" if len(walk.sampled) > 5 else ""))
    if walk.errors:
        result.notes.append(f"{walk.errors} objects did not answer")
    if args.tree:
        for n in walk.nodes:
            flags = ("F" if n.focusable else "-") + ("S" if n.showing else "-")
            log(f"    {flags} {n.path} name={n.name!r} desc={n.description!r} "
                f"actions={[a for a in n.actions if a]} children={n.children}")


def close_window(app, frame, win, calendar_win, timeout):
    if not app.alive():
        raise CheckError("the program went away from the accessibility bus")
    item = find_menu_item(frame, "閉じる")
    if item is None or not press(item):
        return f"no 閉じる menu item to press in {win[1]}"
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        frames = app.frames()
        still = any(w == frame and showing for _, w, showing, _ in frames)
        cal = any(showing and title_matches(calendar_win, t) for t, _, showing, _ in frames)
        if not still and cal:
            return None
        time.sleep(0.2)
    return f"閉じる did not close {win[1]} and show the calendar within {timeout:.0f} s"


def summarise(unnamed):
    """'16× text (beside の行事, 記　　録, 1, …), 1× push button '前の月'' — by role and
    description, with the labels beside them."""
    groups = {}
    for u in unnamed:
        kind = u["role"] + (" (focusable container: a custom widget?)"
                            if u["role"] in ("filler", "panel", "frame", "unknown") else "")
        g = groups.setdefault((kind, u["description"]), [0, []])
        g[0] += 1
        if u["near"] and u["near"] not in g[1]:
            g[1].append(u["near"])
    out = []
    for (kind, desc), (n, near) in sorted(groups.items(), key=lambda kv: -kv[1][0]):
        text = f"{n}× {kind}"
        if desc:
            text += f" description {desc!r}"
        if near:
            shown = ", ".join(near[:5]) + (", …" if len(near) > 5 else "")
            text += f" (beside labels {shown})"
        out.append(text)
    return "; ".join(out)


def report(results, args):
    log("")
    log("=" * 78)
    log("Accessibility check: per window")
    log("=" * 78)
    for r in results:
        log(f"\n== {r.label} [{r.key}]  title: {r.title or '-'}")
        if r.error:
            log(f"   ERROR: {r.error}")
            continue
        log(f"   objects seen {r.seen} (showing {r.showing}), focusable/actionable "
            f"{r.interactive}, unnamed {len(r.unnamed)}")
        for u in r.unnamed:
            bits = [u["role"], f"path={u['path']}"]
            if u["description"]:
                bits.append(f"description={u['description']!r}")
            if u["near"]:
                bits.append(f"beside label {u['near']!r}")
            if u["extents"]:
                bits.append("at x={} y={} {}×{}".format(*u["extents"]))
            bits.append("focusable" if u["focusable"] else "not focusable")
            if u["actions"]:
                bits.append("actions=" + "/".join(u["actions"]))
            if u["labelled_by"] is not None:
                bits.append("labelled by an empty label")
            log("     - " + "  ".join(bits))
        for name, ok, detail in r.extra:
            log(f"   check {name}: {'PASS' if ok else 'FAIL'} — {detail}")
        if r.info_leaves:
            log(f"   (info, not counted: {r.info_leaves} painted areas that tell AT-SPI "
                f"nothing — unnamed leaf fillers/panels, neither focusable nor actionable, "
                f"such as day cells and headings)")
        for note in r.notes:
            log(f"   note: {note}")
    log("")
    log("Summary")
    log("(interactive: showing, focusable or actionable; painted: info only, see above)")
    log(f"{'window':<12} {'seen':>5} {'showing':>7} {'interactive':>11} {'unnamed':>7} "
        f"{'painted':>7}  extra checks")
    for r in results:
        if r.error:
            log(f"{r.key:<12} {'-':>5} {'-':>7} {'-':>11} {'-':>7} {'-':>7}  ERROR: {r.error}")
            continue
        extra = ", ".join(f"{n}: {'PASS' if ok else 'FAIL'}" for n, ok, _ in r.extra) or "-"
        log(f"{r.key:<12} {r.seen:>5} {r.showing:>7} {r.interactive:>11} {len(r.unnamed):>7} "
            f"{r.info_leaves:>7}  {extra}")
    log("")
    for r in results:
        if r.unnamed:
            log(f"unnamed in {r.key}: {summarise(r.unnamed)}")
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump([r.as_dict() for r in results], f, ensure_ascii=False, indent=1)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--report", action="store_true",
                   help="print the findings and exit 0 whatever they are")
    p.add_argument("--pid", type=int, help="the program's process id (else found by name)")
    p.add_argument("--app-name", default="DayLog", help="the application's accessible name")
    p.add_argument("--only", action="append", default=[],
                   help="check only this window (key; repeatable): " +
                   " ".join(s[0] for s in WINDOWS))
    p.add_argument("--date", default="5月10日", help="the date the calendar must name")
    p.add_argument("--timeout", type=float, default=240, help="seconds for the whole check")
    p.add_argument("--window-timeout", type=float, default=45, help="seconds to walk one window")
    p.add_argument("--open-timeout", type=float, default=30, help="seconds for a window to open")
    p.add_argument("--call-timeout", type=int, default=10, help="seconds for one AT-SPI call")
    p.add_argument("--settle", type=float, default=0.5,
                   help="seconds to let a window lay itself out after it appears")
    p.add_argument("--max-depth", type=int, default=30)
    p.add_argument("--max-nodes", type=int, default=3000, help="objects walked per window")
    p.add_argument("--max-children", type=int, default=100,
                   help="children walked per object (the first and the last ones)")
    p.add_argument("--table-columns", type=int, default=8, help="columns sampled per table row")
    p.add_argument("--tree", action="store_true", help="also print every object walked")
    p.add_argument("--json", help="write the findings to this file as JSON")
    args = p.parse_args()

    start = time.monotonic()
    deadline = start + args.timeout
    pyatspi.setTimeout(args.call_timeout * 1000, max(args.call_timeout * 1000, 30000))
    app = App(args)
    results = []
    infra = False
    try:
        app.find(min(60, args.timeout))
        calendar_win = WINDOWS[0]
        title, calendar = wait_window(app, calendar_win, args.open_timeout)
        if calendar is None:
            raise CheckError("the calendar (a window titled with デイログ) is not showing; "
                             "windows: " + repr([t for t, *_ in app.frames()]))
        log(f"calendar: {title!r}")
        for win in WINDOWS:
            key, label, caption = win[0], win[1], win[2]
            if args.only and key not in args.only:
                continue
            result = Result(win)
            results.append(result)
            if time.monotonic() > deadline:
                result.error = f"not checked: the {args.timeout:.0f} s of the whole check ran out"
                infra = True
                continue
            try:
                if caption is None:
                    frame, result.title = calendar, title
                else:
                    ctitle, cal = wait_window(app, calendar_win, 10)
                    if cal is None:
                        raise CheckError("the calendar is not showing to open it from")
                    before = {t for t, _, showing, _ in app.frames() if showing}
                    item = find_menu_item(cal, caption)
                    if item is None:
                        raise CheckError(f"the calendar has no menu item {caption}")
                    item_name = safe(lambda: item.name, "")
                    log(f"{label}: 表示 → {item_name}")
                    pressed = press(item)
                    result.title, frame = wait_window(app, win, args.open_timeout if pressed else 2,
                                                      before)
                    if frame is None and xdotool_menu(ctitle, item_name):
                        result.notes.append("opened through the keyboard (the menu item's "
                                            "action did not open it)")
                        result.title, frame = wait_window(app, win, args.open_timeout, before)
                    if frame is None:
                        raise CheckError(
                            f"表示 → {item_name} did not show a window titled with "
                            f"{' or '.join(win[3])} within {args.open_timeout:.0f} s; showing: "
                            + repr([t for t, _, s, _ in app.frames() if s]))
                    time.sleep(args.settle)
                t0 = time.monotonic()
                examine(result, frame, win, args, deadline)
                if not app.alive():
                    raise CheckError("the program went away from the accessibility bus "
                                     "while its window was walked")
                log(f"{label}: walked {result.seen} objects in {time.monotonic() - t0:.1f} s")
                if caption is not None:
                    problem = close_window(app, frame, win, calendar_win, 15)
                    if problem:
                        raise CheckError(problem)
            except CheckError as e:
                result.error = str(e)
                infra = True
                log(f"{label}: ERROR: {e}")
                if not app.alive():
                    break
    except CheckError as e:
        log(f"ERROR: {e}")
        report(results, args)
        return 2
    report(results, args)
    failed = [r.key for r in results if r.failed]
    log(f"\nchecked in {time.monotonic() - start:.0f} s")
    if infra:
        log("ERROR: some windows could not be checked (see above)")
        return 2
    if failed:
        if args.report:
            log(f"REPORT: findings in {', '.join(failed)} (--report: not failing)")
            return 0
        log(f"FAIL: findings in {', '.join(failed)}")
        return 1
    log("PASS: every focusable or actionable object is named and the extra checks pass")
    return 0


if __name__ == "__main__":
    sys.exit(main())
