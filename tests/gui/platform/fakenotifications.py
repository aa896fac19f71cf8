#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for a desktop's notification service, for tst_notifier.

It owns org.freedesktop.Notifications on the bus that started it (or the session bus
named by DBUS_SESSION_BUS_ADDRESS), writes every Notify call as one JSON line to the
file named on its command line, refuses a message whose body is "断る", and on the
test's call (org.daylog.Test Click, Close) says a message was clicked or closed.
Needs Debian's python3-dbus and python3-gi (run with /usr/bin/python3).
"""

import json
import os
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
TEST = "org.daylog.Test"


def plain(value):
    """A D-Bus value as JSON, with its D-Bus type: [value, "Byte"]."""
    kind = type(value).__name__
    if isinstance(value, (int, dbus.Byte)):
        return [int(value), kind]
    return [str(value), kind]


class Notifications(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, PATH)
        self.log = log
        self.last_id = 0

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints,
               expire_timeout):
        if str(body) == "断る":
            raise dbus.exceptions.DBusException(
                "refused for the test", name="org.freedesktop.DBus.Error.Failed")
        self.last_id += 1
        entry = {
            "app_name": str(app_name),
            "replaces_id": int(replaces_id),
            "app_icon": str(app_icon),
            "summary": str(summary),
            "body": str(body),
            "actions": [str(a) for a in actions],
            "hints": {str(k): plain(v) for k, v in hints.items()},
            "expire_timeout": int(expire_timeout),
        }
        with open(self.log, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry, ensure_ascii=False) + "\n")
        return self.last_id

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, id, action_key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, id, reason):
        pass

    # What the user does to a message on the desktop, asked for by the test.
    @dbus.service.method(TEST, in_signature="us")
    def Click(self, id, action_key):
        self.ActionInvoked(id, action_key)

    @dbus.service.method(TEST, in_signature="u")
    def Close(self, id):
        self.NotificationClosed(id, 2)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    address = os.environ.get("DBUS_STARTER_ADDRESS") or os.environ["DBUS_SESSION_BUS_ADDRESS"]
    bus = dbus.bus.BusConnection(address)
    loop = GLib.MainLoop()
    # The bus going away (the test ends) ends the service.
    bus.call_on_disconnection(lambda _: loop.quit())
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    service = Notifications(bus, sys.argv[1])
    loop.run()
    del service, name


if __name__ == "__main__":
    main()
