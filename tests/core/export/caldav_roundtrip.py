#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Two exports of one document through a real CalDAV server (Debian's radicale):
caldav_roundtrip.py FIRST.ics SECOND.ics. The first is uploaded as a whole calendar;
of the second, a client as a phone's uploads each entry that differs at the address
the server holds its UID at (a new one where it holds none). Every entry must be
taken, the server must hold each UID once and, for every UID of the second export,
its entry as the second export has it. Prints what differs; exit 1."""
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request
import xml.etree.ElementTree as ET
from base64 import b64encode

from icalendar.cal import Component

USER, PASSWORD = "daylog", "daylog"
AUTH = "Basic " + b64encode(f"{USER}:{PASSWORD}".encode()).decode()
ENTRY = re.compile(rb"BEGIN:(VEVENT|VTODO|VJOURNAL)\r\n.*?END:\1\r\n", re.S)


def entries(ics):
    """UID -> the entry's lines as exported, DTSTAMP left out."""
    out = {}
    for m in ENTRY.finditer(ics):
        text = m.group(0)
        uid = re.search(rb"\r\nUID:(.*?)\r\n", text).group(1).decode()
        out[uid] = re.sub(rb"DTSTAMP:[^\r]*\r\n", b"", text)
    return out


def meaning(entry):
    """An entry's properties as a reader takes them, in one order: the server may write
    them in another order, folded and escaped otherwise."""
    comp = Component.from_ical(entry.decode())
    return sorted((name, value.to_ical() if hasattr(value, "to_ical") else value)
                  for name, value in comp.property_items(recursive=False, sorted=False)
                  if name != "DTSTAMP")


def calendar(entry):
    return b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//DayLog test//JA\r\n" + entry + b"END:VCALENDAR\r\n"


def request(base, method, path, body=None, headers=None):
    req = urllib.request.Request(base + path, data=body, method=method,
                                 headers={"Authorization": AUTH, **(headers or {})})
    try:
        with urllib.request.urlopen(req, timeout=60) as r:
            return r.status, r.read()
    except urllib.error.HTTPError as e:
        return e.code, e.read()


def held(base, path):
    """UID -> (href, the entry's lines as the server holds them)."""
    query = (b'<?xml version="1.0"?><C:calendar-query xmlns:D="DAV:" '
             b'xmlns:C="urn:ietf:params:xml:ns:caldav"><D:prop><C:calendar-data/></D:prop>'
             b'<C:filter><C:comp-filter name="VCALENDAR"/></C:filter></C:calendar-query>')
    status, body = request(base, "REPORT", path, query,
                           {"Depth": "1", "Content-Type": "application/xml"})
    if status != 207:
        raise RuntimeError(f"REPORT: {status} {body[:200]!r}")
    out = {}
    ns = {"D": "DAV:", "C": "urn:ietf:params:xml:ns:caldav"}
    for response in ET.fromstring(body).findall("D:response", ns):
        href = response.find("D:href", ns).text
        data = response.find(".//C:calendar-data", ns).text.encode().replace(b"\r\n", b"\n")
        for uid, text in entries(data.replace(b"\n", b"\r\n")).items():
            if uid in out:
                raise RuntimeError(f"{uid}: held twice")
            out[uid] = (href, text)
    return out


def main():
    first, second = (open(p, "rb").read() for p in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as d, socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
        s.close()
        with open(os.path.join(d, "users"), "w") as f:
            f.write(f"{USER}:{PASSWORD}\n")
        with open(os.path.join(d, "config"), "w") as f:
            f.write(f"[server]\nhosts = 127.0.0.1:{port}\n[auth]\ntype = htpasswd\n"
                    f"htpasswd_filename = {d}/users\nhtpasswd_encryption = plain\n"
                    f"[storage]\nfilesystem_folder = {d}/collections\n"
                    f"[logging]\nlevel = warning\n")
        server = subprocess.Popen(["radicale", "--config", os.path.join(d, "config")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        try:
            return roundtrip(f"http://127.0.0.1:{port}", first, second, server)
        finally:
            server.terminate()
            server.wait(10)


def roundtrip(base, first, second, server):
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", int(base.rsplit(":", 1)[1])), 1).close()
            break
        except OSError:
            if server.poll() is not None:
                print(server.stderr.read().decode())
                return 1
            time.sleep(0.1)
    path = f"/{USER}/year/"
    problems = []
    status, body = request(base, "PUT", path, first, {"Content-Type": "text/calendar"})
    if status not in (201, 204):
        print(f"the whole calendar was refused: {status} {body[:300]!r}")
        return 1
    old, new = entries(first), entries(second)
    on_server = held(base, path)
    if set(on_server) != set(old):
        problems.append(f"{len(set(old) - set(on_server))} entries not taken, "
                        f"{len(set(on_server) - set(old))} not exported")
    uploaded = 0
    for uid, text in new.items():
        if uid in old and old[uid] == text:
            continue
        href = on_server[uid][0] if uid in on_server else path + f"new-{uploaded}.ics"
        status, body = request(base, "PUT", href, calendar(text), {"Content-Type": "text/calendar"})
        uploaded += 1
        if status not in (201, 204):
            problems.append(f"{uid}: {status} {body[:200]!r}")
    after = held(base, path)
    if set(after) != set(old) | set(new):
        problems.append(f"{len(after)} entries held, {len(set(old) | set(new))} expected")
    for uid, text in new.items():
        if uid not in after or meaning(after[uid][1]) != meaning(text):
            problems.append(f"{uid}: held as {after.get(uid, (None, b''))[1][:300]!r}, "
                            f"exported as {text[:300]!r}")
    for p in problems[:20]:
        print(p)
    print(f"{len(old)} entries, then {uploaded} uploaded again, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
