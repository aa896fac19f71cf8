#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The keyboard alone, from a fresh start with a document: the calendar's days take the
# keys (Page Down to December, Enter opens the 10th in the diary), a record is typed,
# Alt+Right steps to the next day and another is typed, Ctrl+S saves in the diary, the
# ToDo list and the search open from the diary's 表示 menu and Escape closes them.
# The file holds both days' records.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

doc="$work/keys.dys"
"$tool" new 2005 "$doc"
start # the clock says 10 May 2005; the calendar's focus is on that day

for _ in 1 2 3 4 5 6 7; do
    xdotool key --clearmodifiers Next
    sleep 0.1
done
shot keyboard-december
xdotool key --clearmodifiers Return
diary=$(wait_view 日記) || fail "Enter on a day did not open the diary"
xdotool windowactivate --sync "$diary"
sleep 0.5
first="Parents evening for class 3-2."
xdotool type --delay 20 "$first"
xdotool key --clearmodifiers alt+Right
sleep 0.5
second="Marked the December tests."
xdotool type --delay 20 "$second"
shot keyboard-next-day
xdotool key --clearmodifiers ctrl+s
sleep 0.5

# 表示 → ToDo一覧 and 表示 → 検索, each closed with Escape.
for item in "t ToDo一覧" "f 検索"; do
    set -- $item
    xdotool key --clearmodifiers alt+v
    sleep 0.3
    xdotool key "$1"
    window=$(wait_view "$2") || fail "表示 → $2 did not open it from the diary"
    xdotool windowactivate --sync "$window"
    sleep 0.4
    shot "keyboard-$1"
    xdotool key --clearmodifiers Escape
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$(view_pattern "$2")" >/dev/null 2>&1 || break
        sleep 0.1
    done
    xdotool search --onlyvisible --name "$(view_pattern "$2")" >/dev/null 2>&1 &&
        fail "Escape did not close $2"
    diary=$(wait_view 日記) || fail "the diary is gone after closing $2"
    xdotool windowactivate --sync "$diary"
    sleep 0.3
done

# Saved with Ctrl+S: the title carries no change mark, and the file both texts.
xdotool search --onlyvisible --name '^日記 - keys\.dys$' >/dev/null ||
    fail "the diary's title is not '日記 - keys.dys' after Ctrl+S"
# 10 December 2005 is row 254, the 11th row 255.
[ "$(field 254 5)" = "$first" ] || fail "the file's record of 10 December is '$(field 254 5)'"
[ "$(field 255 5)" = "$second" ] || fail "the file's record of 11 December is '$(field 255 5)'"
close_view
end_program
echo "PASS: a day opened, typed, stepped, saved and the side windows closed, by keys alone"
