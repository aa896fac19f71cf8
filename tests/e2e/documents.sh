#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Several documents and several programs, as a user meets them:
# 1. a second start on the same file hands it to the running program and ends at once:
#    one calendar;
# 2. a file another program changed while it is open is not written over: 上書き保存
#    asks, and after キャンセル the other program's change is still on disk;
# 3. ending with two changed documents asks about each by name; Return twice saves both.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

# wait_gone PID: the process has ended (within 15 s); its status is returned.
wait_gone() {
    for _ in $(seq 150); do
        kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
        sleep 0.1
    done
    return 124
}
calendars() { xdotool search --onlyvisible --name "$(view_pattern デイログ)" 2>/dev/null | wc -l; }

# --- 1. One program per user ------------------------------------------------------
doc=$work/2005.dys
"$tool" new 2005 "$doc"
start
"$program" "$doc" >"$work/second.log" 2>&1 &
second=$!
status=0
wait_gone "$second" || status=$?
[ "$status" = 0 ] || fail "the second start did not hand over and end (status $status): $(cat "$work/second.log")"
"$program" >"$work/third.log" 2>&1 &
third=$!
status=0
wait_gone "$third" || status=$?
[ "$status" = 0 ] || fail "a second start without a file did not end (status $status)"
sleep 0.5
[ "$(calendars)" = 1 ] || fail "$(calendars) calendar windows after the second start"
kill -0 "$program_pid" || fail "the first program ended"
shot documents-one-program

# --- 2. A file changed on disk by another program ------------------------------------
# Another program writes the document: the record of 10 May (row 40) changes. (The
# tool itself refuses a document the program holds, so the new file is made beside it
# and moved over it, as a program that does not look at the lock would.)
"$tool" export --format csv "$doc" "$work/year.csv"
sed -i 's|^2005/05/10,火,,,|2005/05/10,火,,Written elsewhere,|' "$work/year.csv"
"$tool" import "$work/year.csv" "$work/elsewhere.dys"
mv -f "$work/elsewhere.dys" "$doc"
[ "$(field 40 5)" = "Written elsewhere" ] || fail "the tool did not change the file"

open_view n 日記
xdotool type --delay 20 "Typed here"
close_view
save
question=$(wait_window DayLog) || fail "上書き保存 wrote over the changed file without a question"
shot documents-changed-on-disk
xdotool windowactivate --sync "$question" key Escape
sleep 0.5
[ "$(field 40 5)" = "Written elsewhere" ] || fail "キャンセル still wrote the file: '$(field 40 5)'"
# The program goes on with what was typed; it ends without saving (いいえ).
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key x
question=$(wait_window 2005.dys) || fail "the end question does not name 2005.dys"
xdotool windowactivate --sync "$question" key n
wait_gone "$program_pid" || fail "いいえ did not end the program"
[ "$(field 40 5)" = "Written elsewhere" ] || fail "いいえ wrote the file"

# --- 3. Ending with two changed documents -----------------------------------------
this=$work/this.dys
last=$work/last.dys
"$tool" new 2005 "$this"
"$tool" new 2004 "$last"
doc=$this
start
open_view n 日記
xdotool type --delay 20 "This year"
close_view
open_view y "DayLog.*"
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key o # 開く...
dialog=$(wait_window 開く) || fail "開く did not show the file dialog"
xdotool windowactivate --sync "$dialog"
xdotool type --delay 10 "$last"
xdotool key Return
sleep 1
# The opened year's table is in front, its cursor on 10 May 2004 (row 40).
xdotool type --delay 20 "Last year"
xdotool key Return
shot documents-two-tables
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key c # 閉じる: the calendar
calendar=$(wait_view デイログ) || fail "閉じる did not show the calendar"
xdotool windowactivate --sync "$calendar"
sleep 0.3
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key x
first=$(wait_window this.dys) || fail "the first end question does not name this.dys"
shot documents-end-question
xdotool windowactivate --sync "$first" key Return
second=$(wait_window last.dys) || fail "the second end question does not name last.dys"
xdotool windowactivate --sync "$second" key Return
wait_gone "$program_pid" || fail "the program did not end after both questions"
doc=$this
[ "$(field 40 5)" = "This year" ] || fail "this year's record is '$(field 40 5)'"
doc=$last
[ "$(field 40 4)" = "Last year" ] || fail "last year's events are '$(field 40 4)'"
echo "PASS: one program per user, a changed file is asked about, every changed document is asked about by name"
