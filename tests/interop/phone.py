#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A phone's calendar app, scripted: it edits a CalDAV collection between two syncs the
way such an app does (its own PRODID, a fresh DTSTAMP and SEQUENCE, the properties in
its own order), through python3-caldav.

    phone.py COLLECTION_URL USER PASSWORD COMMAND [ARGS...]

Commands (TEXT is found in an entry's SUMMARY or DESCRIPTION; exactly one must hold
it, or the command fails):
    tick TEXT                      the task done (STATUS, COMPLETED, PERCENT-COMPLETE)
    untick TEXT                    the task open again
    add-event YYYY-MM-DD SUMMARY   an all-day event of that day
    add-timed YYYY-MM-DD HH:MM HH:MM SUMMARY
                                   a timed event of that day
    add-todo YYYY-MM-DD SUMMARY    a task due that day
    edit TEXT NEW                  the entry's DESCRIPTION (or SUMMARY without one) NEW
    delete TEXT                    the entry deleted
    dump                           every entry, one JSON object a line: kind, uid,
                                   date, summary, description, done
Exit status: 0 done, 1 failed (with the reason), 77 without python3-caldav.
"""
import datetime
import json
import sys
import uuid

try:
    import caldav
    import icalendar
except ImportError as e:
    print(f"SKIP: {e}")
    sys.exit(77)

PRODID = "-//Scripted phone//calendar app 1.0//EN"


def component(obj):
    cal = icalendar.Calendar.from_ical(obj.data)
    for c in cal.walk():
        if c.name in ("VEVENT", "VTODO", "VJOURNAL"):
            return cal, c
    return cal, None


def entries(calendar):
    objects = calendar.events() + calendar.todos(include_completed=True)
    objects += calendar.journals()
    for obj in objects:
        cal, c = component(obj)
        if c is not None:
            yield obj, cal, c


def text_of(c):
    return f"{c.get('SUMMARY', '')}\n{c.get('DESCRIPTION', '')}"


def the_one(calendar, text):
    found = [(o, cal, c) for o, cal, c in entries(calendar) if text in text_of(c)]
    if len(found) != 1:
        sys.exit(f"FAIL: {len(found)} entries hold {text!r}")
    return found[0]


def save(obj, cal, c):
    """Written back as a phone app writes it."""
    cal["PRODID"] = PRODID
    c["DTSTAMP"] = icalendar.vDatetime(datetime.datetime.now(datetime.timezone.utc))
    c["SEQUENCE"] = int(c.get("SEQUENCE", 0)) + 1
    obj.data = cal.to_ical()
    obj.save()


def new_entry(calendar, kind, fill):
    cal = icalendar.Calendar()
    cal.add("PRODID", PRODID)
    cal.add("VERSION", "2.0")
    c = icalendar.cal.Component()
    c.name = kind
    c.add("UID", f"{uuid.uuid4()}@phone.example")
    c.add("DTSTAMP", datetime.datetime.now(datetime.timezone.utc))
    fill(c)
    cal.add_component(c)
    if kind == "VEVENT":
        calendar.save_event(cal.to_ical())
    else:
        calendar.save_todo(cal.to_ical())


def day(text):
    return datetime.date.fromisoformat(text)


def main(argv):
    if len(argv) < 5:
        sys.exit(__doc__)
    url, user, password, command, args = argv[1], argv[2], argv[3], argv[4], argv[5:]
    client = caldav.DAVClient(url=url, username=user, password=password)
    calendar = caldav.Calendar(client=client, url=url)
    if command in ("tick", "untick"):
        obj, cal, c = the_one(calendar, args[0])
        for key in ("STATUS", "COMPLETED", "PERCENT-COMPLETE"):
            c.pop(key, None)
        if command == "tick":
            c.add("STATUS", "COMPLETED")
            c.add("COMPLETED", datetime.datetime.now(datetime.timezone.utc))
            c.add("PERCENT-COMPLETE", 100)
        else:
            c.add("STATUS", "NEEDS-ACTION")
        save(obj, cal, c)
    elif command == "add-event":
        def fill(c):
            c.add("SUMMARY", args[1])
            c.add("DTSTART", day(args[0]))
            c.add("DTEND", day(args[0]) + datetime.timedelta(days=1))
        new_entry(calendar, "VEVENT", fill)
    elif command == "add-timed":
        def fill(c):
            d = day(args[0])
            start = datetime.datetime.combine(d, datetime.time.fromisoformat(args[1]))
            end = datetime.datetime.combine(d, datetime.time.fromisoformat(args[2]))
            c.add("SUMMARY", args[3])
            c.add("DTSTART", start)
            c.add("DTEND", end)
        new_entry(calendar, "VEVENT", fill)
    elif command == "add-todo":
        def fill(c):
            c.add("SUMMARY", args[1])
            c.add("DUE", day(args[0]))
            c.add("STATUS", "NEEDS-ACTION")
        new_entry(calendar, "VTODO", fill)
    elif command == "edit":
        obj, cal, c = the_one(calendar, args[0])
        key = "DESCRIPTION" if "DESCRIPTION" in c else "SUMMARY"
        c.pop(key)
        c.add(key, args[1])
        save(obj, cal, c)
    elif command == "delete":
        obj, _, _ = the_one(calendar, args[0])
        obj.delete()
    elif command == "name":
        print(calendar.get_display_name())
    elif command == "dump":
        for _, _, c in entries(calendar):
            start = c.get("DTSTART") or c.get("DUE")
            print(json.dumps({
                "kind": c.name, "uid": str(c.get("UID")),
                "date": str(start.dt)[:10] if start else "",
                "summary": str(c.get("SUMMARY", "")),
                "description": str(c.get("DESCRIPTION", "")),
                "done": str(c.get("STATUS", "")) == "COMPLETED"}, ensure_ascii=False))
    else:
        sys.exit(f"FAIL: unknown command {command}")


if __name__ == "__main__":
    main(sys.argv)
