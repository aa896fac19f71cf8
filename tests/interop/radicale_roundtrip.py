#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A full year's iCalendar export put to a real CalDAV server (Radicale, started here on
127.0.0.1 with a storage folder of its own) and read back: every event, task and
journal entry comes back with the same fields. A second export after ToDo items were
deleted and reordered, put over the first, leaves no item twice on the server.

    radicale_roundtrip.py DAYLOG_TOOL          (skips with 77 without radicale/icalendar)
"""
import csv
import io
import os
import random
import socket
import subprocess
import sys
import tempfile
import time
import base64
import urllib.error
import urllib.request

try:
    import icalendar
    import radicale  # noqa: F401  (only that the server is installed)
except ImportError as e:
    print(f"SKIP: {e}")
    sys.exit(77)

TOOL = sys.argv[1]
FIELDS = ("SUMMARY", "DESCRIPTION", "DTSTART", "DTEND", "DUE", "STATUS", "PRIORITY",
          "COMPLETED", "CATEGORIES")


def run(*args, stdin=None):
    r = subprocess.run([TOOL, *args], input=stdin, capture_output=True)
    if r.returncode != 0:
        sys.exit(f"FAIL: daylog-tool {' '.join(args)}: {r.stderr.decode()}")
    return r.stdout


def fill(doc, work, seed, todo_of):
    """The year's CSV with texts on most days, imported into the document."""
    path = os.path.join(work, "year.csv")
    run("export", "--format", "csv", doc, path)
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    rnd = random.Random(seed)
    for i, row in enumerate(rows[1:], start=1):
        if rnd.random() < 0.3:
            continue
        row[2] = row[2] or ("職員会議" if i % 7 == 1 else "")
        row[3] = f"{row[0]} の記録。\n二行目、カンマ; セミコロン\\ と長い文 " + "あ" * (i % 90)
        row[4] = "国語" if i % 3 else ""            # a slot with a title ...
        row[11] = "教科書 p.%d\n宿題あり" % i        # ... and content (also without a title)
        row[18] = todo_of(i)
    out = io.StringIO()
    w = csv.writer(out, lineterminator="\r\n")
    w.writerows(rows)
    with open(path, "w", encoding="utf-8-sig", newline="") as f:
        f.write(out.getvalue())
    run("import", path, doc)


def items(i, order):
    todo = [(0, "10:00", "普通", f"学年だより {i}"), (1, "", "重要", f"出欠の集計 {i}"),
            (0, "15:30", "要軽", f"教材の準備 {i}")]
    return "".join(f"|{d},{t},{c},{x}" for d, t, c, x in (todo[k] for k in order))


def export(doc, work, name):
    path = os.path.join(work, name)
    run("export", "--format", "ics", doc, path)
    with open(path, "rb") as f:
        return components(f.read())


def components(ics_bytes):
    cal = icalendar.Calendar.from_ical(ics_bytes)
    zones = [c for c in cal.walk("VTIMEZONE")]
    comps = [c for c in cal.subcomponents if c.name in ("VEVENT", "VTODO", "VJOURNAL")]
    return zones, comps


def fields(c):
    return {k: c[k].to_ical() if hasattr(c[k], "to_ical") else str(c[k])
            for k in FIELDS if k in c}


class Server:
    def __init__(self, work):
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        self.port = s.getsockname()[1]
        s.close()
        users = os.path.join(work, "users")
        with open(users, "w") as f:
            f.write("teacher:secret\n")
        self.auth = "Basic " + base64.b64encode(b"teacher:secret").decode()
        self.proc = subprocess.Popen(
            ["/usr/bin/python3", "-m", "radicale", "--storage-filesystem-folder",
             os.path.join(work, "storage"), "--server-hosts", f"127.0.0.1:{self.port}",
             "--auth-type", "htpasswd", "--auth-htpasswd-filename", users,
             "--auth-htpasswd-encryption", "plain", "--logging-level", "warning"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = f"http://127.0.0.1:{self.port}/teacher/year/"
        for _ in range(100):
            try:
                self.request("MKCOL", self.base, body=(
                    b'<?xml version="1.0"?><D:mkcol xmlns:D="DAV:" '
                    b'xmlns:C="urn:ietf:params:xml:ns:caldav"><D:set><D:prop>'
                    b'<D:resourcetype><D:collection/><C:calendar/></D:resourcetype>'
                    b'</D:prop></D:set></D:mkcol>'))
                return
            except urllib.error.HTTPError as e:
                sys.exit(f"FAIL: the CalDAV server refused the calendar: {e}")
            except OSError:
                time.sleep(0.1)
        sys.exit("FAIL: the CalDAV server did not start")

    def request(self, method, url, body=None, ctype="application/xml"):
        headers = {"Authorization": self.auth}
        if body:
            headers["Content-Type"] = ctype
        req = urllib.request.Request(url, data=body, method=method, headers=headers)
        with urllib.request.urlopen(req, timeout=30) as r:
            return r.read()

    def put_all(self, zones, comps):
        for c in comps:
            cal = icalendar.Calendar()
            cal.add("PRODID", "-//test//radicale round trip//EN")
            cal.add("VERSION", "2.0")
            for z in zones:
                cal.add_component(z)
            cal.add_component(c)
            uid = str(c["UID"])
            name = urllib.request.quote(uid.replace("/", "_").replace("@", "_"), safe="")
            self.request("PUT", self.base + name + ".ics", cal.to_ical(), "text/calendar")

    def everything(self):
        return components(self.request("GET", self.base))[1]

    def stop(self):
        self.proc.terminate()
        self.proc.wait(10)


def main():
    with tempfile.TemporaryDirectory() as work:
        doc = os.path.join(work, "2005.dys")
        run("new", "2005", doc)
        fill(doc, work, 1, lambda i: items(i, [0, 1, 2]) if i % 4 == 0 else "")
        zones, first = export(doc, work, "first.ics")
        kinds = {k: sum(1 for c in first if c.name == k) for k in ("VEVENT", "VTODO", "VJOURNAL")}
        if not all(kinds.values()):
            sys.exit(f"FAIL: the export lacks a kind of item: {kinds}")
        server = Server(work)
        try:
            server.put_all(zones, first)
            back = {str(c["UID"]): c for c in server.everything()}
            if len(back) != len(first):
                sys.exit(f"FAIL: {len(first)} items put, {len(back)} read back")
            for c in first:
                got = back.get(str(c["UID"]))
                if got is None or got.name != c.name or fields(got) != fields(c):
                    sys.exit(f"FAIL: {c.name} {c['UID']} came back as "
                             f"{fields(got) if got is not None else 'nothing'}, "
                             f"not {fields(c)}")
            # ToDo items deleted (the first of a day) and reordered, exported again and
            # put over the first export.
            fill(doc, work, 1, lambda i: items(i, [2, 1]) if i % 4 == 0 else "")
            zones, second = export(doc, work, "second.ics")
            server.put_all(zones, second)
            on_server = server.everything()
            uids = [str(c["UID"]) for c in on_server]
            expected = {str(c["UID"]) for c in first} | {str(c["UID"]) for c in second}
            if len(uids) != len(set(uids)) or set(uids) != expected:
                sys.exit(f"FAIL: {len(uids)} items on the server, {len(expected)} expected")
            seen = {}
            for c in on_server:
                if c.name != "VTODO":
                    continue
                key = (str(c.get("SUMMARY")), fields(c).get("DUE", fields(c).get("DTSTART")))
                if key in seen:
                    sys.exit(f"FAIL: the task {key} is twice on the server "
                             f"({seen[key]} and {c['UID']})")
                seen[key] = str(c["UID"])
        finally:
            server.stop()
        print(f"PASS: {kinds['VEVENT']} events, {kinds['VTODO']} tasks and "
              f"{kinds['VJOURNAL']} journal entries came back equal; the second export "
              f"left no task twice")


main()
