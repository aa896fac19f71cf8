#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sync as a user sets it up, from the keyboard: a calendar server (Radicale) on
# 127.0.0.1; ﾌｧｲﾙ → 同期の設定: the server's address, user and password, カレンダーを探す,
# a new calendar for the year, OK, and はい to sync at once; a scripted phone ticks a
# task on the server; F9 syncs again: the year holds the task ticked, and the diary
# shows it so.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
/usr/bin/python3 -c "import radicale, caldav" 2>/dev/null || { echo "SKIP: radicale or python3-caldav missing"; exit 77; }
phone=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/interop/phone.py

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
echo "teacher:secret" >"$work/users"
/usr/bin/python3 -m radicale --storage-filesystem-folder "$work/storage" \
    --server-hosts "127.0.0.1:$port" --auth-type htpasswd \
    --auth-htpasswd-filename "$work/users" --auth-htpasswd-encryption plain \
    --logging-level warning >"$work/radicale.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null && break
    sleep 0.1
done

doc=$work/2005.dys
"$tool" new 2005 "$doc"
"$tool" export --format csv "$doc" "$work/y.csv"
sed -i 's#^\(2005/05/10,.*\),\(\r\{0,1\}\)$#\1,"|0,10:00,普通,Class newsletter|0,,重要,Attendance"\2#' "$work/y.csv"
"$tool" import "$work/y.csv" "$work/y.dys" >/dev/null && mv "$work/y.dys" "$doc"
start

xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key l
dialog=$(wait_window 同期の設定) || fail "ﾌｧｲﾙ → 同期の設定 did not open it"
xdotool windowactivate --sync "$dialog"
sleep 0.3
xdotool type --delay 10 "http://127.0.0.1:$port/"
xdotool key Tab
xdotool type --delay 10 "teacher"
xdotool key Tab
xdotool type --delay 10 "secret"
xdotool key --clearmodifiers alt+k # not into a keyring: there is none here
xdotool key --clearmodifiers alt+f # カレンダーを探す
sleep 2
shot sync-settings
xdotool key End                    # the last choice: a new calendar for the year
sleep 0.2
xdotool key Return                 # OK
question=$(wait_window "デイログ") || true
sleep 1
xdotool key Return                 # はい: sync now
sleep 3
shot sync-first
xdotool key Return                 # the report
sleep 0.5
[ -f "$doc.sync" ] || fail "no sync state beside the document after the first sync"
collection=$(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["link"]["collection"])' "$doc.sync")
/usr/bin/python3 "$phone" "$collection" teacher secret dump | grep -q '"summary": "Class newsletter"' \
    || fail "the task is not on the server after the first sync"

/usr/bin/python3 "$phone" "$collection" teacher secret tick "Class newsletter"
calendar=$(wait_view デイログ) || fail "the calendar is not shown"
xdotool windowactivate --sync "$calendar"
xdotool key F9
sleep 3
shot sync-second
xdotool key Return
sleep 0.5
open_view n 日記
shot sync-diary
close_view
end_program

done=$("$tool" todo "$doc" 2005-05-10 2005-05-10 | awk -F'\t' '$5 == "Class newsletter" { print $2 }')
[ "$done" = "1" ] || fail "the task ticked on the phone is '$done' in the year"
echo "PASS: linked through the dialog, synced, and the task ticked on the phone came back ticked"
