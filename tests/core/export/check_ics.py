#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads an exported iCalendar file with an independent library (Debian's
python3-icalendar) and checks every event, journal entry and task in it against the
CSV export of the same document: check_ics.py YEAR.ics YEAR.csv. Prints what differs;
exit 1."""
import csv
import datetime
import re
import sys

from icalendar import Calendar

PRIORITY = {"最重": 1, "重要": 3, "普通": 5, "要軽": 9}
SUMMARY_LENGTH = 40
UID = re.compile(r"^([0-9a-f]{32})-(\d{8})-(events|record|slot[1-7]|todo-[0-9a-f]{12}(?:-\d+)?)@daylog$")


def todo_items(day_string):
    """The items of a ToDo day string: |flag,time,category,text|..."""
    items = []
    for part in day_string.split("|")[1:]:
        fields = part.split(",")
        flag, time, category = (fields + ["", "", ""])[:3]
        items.append((flag, time, category, ",".join(fields[3:])))
    return items


def lines(text):
    return text.replace("\r\n", "\n").replace("\r", "\n")


def first_line(text):
    for line in lines(text).split("\n"):
        if line.strip():
            return line.strip()
    return ""


def summary(title, body, always):
    """SUMMARY and DESCRIPTION as the export makes them (texts without combining
    characters: a character is a code point)."""
    title, body = lines(title), lines(body)
    if first_line(title):
        s = first_line(title)
        description = body if body else None
        if s != title.strip():
            description = title + ("\n\n" + body if body else "")
        return s, description
    s = first_line(body)
    if not s:
        return "（無題）", body or None
    cut = len(s) > SUMMARY_LENGTH
    if cut:
        s = s[:SUMMARY_LENGTH - 1].rstrip() + "…"
    return s, body if (always or cut or s != body.strip()) else None


def main():
    ics_path, csv_path = sys.argv[1:3]
    with open(ics_path, "rb") as f:
        cal = Calendar.from_ical(f.read())
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))

    expected = {}  # (date, kind) -> what
    todos = {}  # date -> [item…] in order
    for row in rows[1:]:
        day = datetime.datetime.strptime(row[0], "%Y/%m/%d").date()
        key = day.strftime("%Y%m%d")
        if row[2]:
            expected[(key, "events")] = ("VEVENT", day, None) + summary("", row[2], False)
        if row[3]:
            expected[(key, "record")] = ("VJOURNAL", day, None) + summary("", row[3], True)
        for i in range(7):
            title, content = row[4 + i], row[11 + i]
            if title or content:
                start = datetime.datetime.combine(day, datetime.time()) + datetime.timedelta(hours=6 + 3 * i)
                expected[(key, f"slot{i + 1}")] = ("VEVENT", start, start + datetime.timedelta(hours=3)) + \
                    summary(title, content, True)
        for flag, time, category, text in todo_items(row[18]):
            try:
                due = datetime.datetime.combine(day, datetime.datetime.strptime(time, "%H:%M").time())
            except ValueError:
                due = day
            todos.setdefault(key, []).append((due, flag == "0", category, summary(text, "", False)))

    problems = []
    seen = set()
    ids = set()
    found = 0
    for comp in cal.walk():
        if comp.name not in ("VEVENT", "VTODO", "VJOURNAL"):
            continue
        found += 1
        uid = str(comp["UID"])
        if uid in seen:
            problems.append(f"{uid}: twice")
        seen.add(uid)
        if "DTSTAMP" not in comp:
            problems.append(f"{uid}: no DTSTAMP")
        m = UID.match(uid)
        if not m:
            problems.append(f"{uid}: not a UID of the export")
            continue
        ids.add(m.group(1))
        key, kind = m.group(2), m.group(3)
        got_summary = comp.get("SUMMARY")
        got_summary = (str(got_summary), str(comp["DESCRIPTION"]) if "DESCRIPTION" in comp else None) \
            if got_summary is not None else None
        if comp.name == "VTODO":
            if not kind.startswith("todo-") or not todos.get(key):
                problems.append(f"{uid}: not expected")
                continue
            due, open_, category, texts = todos[key].pop(0)
            got_category = comp.get("CATEGORIES")
            got_category = ",".join(str(c) for c in got_category.cats) if got_category is not None else ""
            got = (comp.decoded("DUE"), str(comp["STATUS"]), got_category,
                   int(comp["PRIORITY"]) if "PRIORITY" in comp else None, got_summary)
            exp = (due, "NEEDS-ACTION" if open_ else "COMPLETED", category, PRIORITY.get(category), texts)
        else:
            want = expected.pop((key, kind), None)
            if want is None or want[0] != comp.name:
                problems.append(f"{uid}: not expected")
                continue
            start = comp.decoded("DTSTART")
            if want[2] is None:  # all day
                end = comp.decoded("DTEND") if comp.name == "VEVENT" else None
                got = (start, end, got_summary)
                exp = (want[1], want[1] + datetime.timedelta(days=1) if comp.name == "VEVENT" else None,
                       want[3:])
            else:
                end = comp.decoded("DTEND")
                if start.tzinfo is not None or end.tzinfo is not None:
                    problems.append(f"{uid}: not a floating time")
                got = (start, end, got_summary)
                exp = (want[1], want[2], want[3:])
        if got != exp:
            problems.append(f"{uid}: {got!r} != {exp!r}")
    if len(ids) > 1:
        problems.append(f"UIDs of {len(ids)} documents")
    for key, kind in expected:
        problems.append(f"{key} {kind}: missing")
    for key, items in todos.items():
        for item in items:
            problems.append(f"{key} task {item!r}: missing")
    for p in problems[:20]:
        print(p)
    print(f"{found} entries checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
