#!/usr/bin/python3
"""Reads an exported iCalendar file with an independent library (Debian's
python3-icalendar) and checks every event and task in it against the CSV export of
the same document: check_ics.py YEAR.ics YEAR.csv. Prints what differs; exit 1."""
import csv
import datetime
import sys

from icalendar import Calendar

PRIORITY = {"最重": 1, "重要": 3, "普通": 5, "要軽": 9}


def todo_items(day_string):
    """The items of a ToDo day string: |flag,time,category,text|..."""
    items = []
    for part in day_string.split("|")[1:]:
        fields = part.split(",")
        flag, time, category = (fields + ["", "", ""])[:3]
        items.append((flag, time, category, ",".join(fields[3:])))
    return items


def main():
    ics_path, csv_path = sys.argv[1:3]
    with open(ics_path, "rb") as f:
        cal = Calendar.from_ical(f.read())
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    base_year = int(rows[0][0])
    last = datetime.date(base_year + 1, 3, 31)

    expected = {}
    for row in rows[1:]:
        day = datetime.datetime.strptime(row[0], "%Y/%m/%d").date()
        if day > last:
            continue
        key = day.strftime("%Y%m%d")
        uid = f"{base_year}-{key}-"
        if row[2]:
            expected[uid + "events@daylog"] = ("VEVENT", day, None, row[2], None)
        for i in range(7):
            title, content = row[4 + i], row[11 + i]
            if title or content:
                start = datetime.datetime.combine(day, datetime.time()) + datetime.timedelta(hours=6 + 3 * i)
                expected[uid + f"slot{i + 1}@daylog"] = ("VEVENT", start, start + datetime.timedelta(hours=3),
                                                         title or None, content or None)
        for k, (flag, time, category, text) in enumerate(todo_items(row[18]), 1):
            try:
                due = datetime.datetime.combine(day, datetime.datetime.strptime(time, "%H:%M").time())
            except ValueError:
                due = day
            expected[uid + f"todo{k}@daylog"] = ("VTODO", due, flag == "0", category, text)

    problems = []
    seen = set()
    for comp in cal.walk():
        if comp.name not in ("VEVENT", "VTODO"):
            continue
        uid = str(comp["UID"])
        if uid in seen:
            problems.append(f"{uid}: twice")
        seen.add(uid)
        if "DTSTAMP" not in comp:
            problems.append(f"{uid}: no DTSTAMP")
        want = expected.get(uid)
        if want is None or want[0] != comp.name:
            problems.append(f"{uid}: not expected")
            continue
        if comp.name == "VEVENT":
            start = comp.decoded("DTSTART")
            end = comp.decoded("DTEND")
            summary = str(comp["SUMMARY"]) if "SUMMARY" in comp else None
            description = str(comp["DESCRIPTION"]) if "DESCRIPTION" in comp else None
            if want[2] is None:  # all day
                got = (start, end, summary)
                exp = (want[1], want[1] + datetime.timedelta(days=1), want[3])
            else:
                if start.tzinfo is not None or end.tzinfo is not None:
                    problems.append(f"{uid}: not a floating time")
                got = (start, end, summary, description)
                exp = (want[1], want[2], want[3], want[4])
        else:
            due = comp.decoded("DUE")
            status = str(comp["STATUS"])
            category = comp.get("CATEGORIES")
            category = ",".join(str(c) for c in category.cats) if category is not None else ""
            priority = int(comp["PRIORITY"]) if "PRIORITY" in comp else None
            got = (due, status, category, priority, str(comp["SUMMARY"]))
            exp = (want[1], "NEEDS-ACTION" if want[2] else "COMPLETED", want[3],
                   PRIORITY.get(want[3]), want[4])
        if got != exp:
            problems.append(f"{uid}: {got!r} != {exp!r}")
    for uid in expected.keys() - seen:
        problems.append(f"{uid}: missing")
    for p in problems[:20]:
        print(p)
    print(f"{len(seen)} entries checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
