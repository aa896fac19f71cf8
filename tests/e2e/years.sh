#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The search of every year as a user reaches it from the keyboard: three years in one
# folder (and a file that is no document), the newest one open. 表示 → 検索, the
# text, すべての年度 (Alt+A), back to the text, Enter: each year's day is listed under
# its year, newest first; Down goes to the first day found, Down Down to the older
# year's, Enter opens that year in the diary, where the text goes on and is saved into
# that year's file.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

# record YEAR DATE TEXT: a year's document with TEXT as the record of DATE.
record() {
    "$tool" new "$1" "$work/$1.dys"
    "$tool" export --format csv "$work/$1.dys" "$work/$1.csv"
    sed -i "s#^\($2,[^,]*,\),,#\1,$3,#" "$work/$1.csv"
    grep -q "$3" "$work/$1.csv" || fail "no line of $2 in the CSV of $1"
    "$tool" import "$work/$1.csv" "$work/$1.dys.new" >/dev/null
    mv "$work/$1.dys.new" "$work/$1.dys"
    rm "$work/$1.csv"
}
record 2003 2003/06/12 "Class meeting about the trip."
record 2004 2004/05/10 "Class meeting again."
"$tool" new 2005 "$work/2005.dys"
echo "not a document" >"$work/notes.dys"
doc=$work/2005.dys
start

xdotool key --clearmodifiers alt+v
sleep 0.3
xdotool key f
search=$(wait_view 検索) || fail "表示 → 検索 did not open it"
xdotool windowactivate --sync "$search"
sleep 0.5
xdotool type --delay 20 "meeting"
xdotool key --clearmodifiers alt+a
sleep 0.2
xdotool key --clearmodifiers shift+Tab
sleep 0.2
xdotool key Return
sleep 1
shot search-years
# 2004's heading and day, 2003's heading and day, the file not searched.
xdotool key Down Down Down
sleep 0.2
xdotool key Return
diary=$(wait_window "日記 - 2003.dys") || fail "the day of 2003 did not open its year in the diary"
xdotool windowactivate --sync "$diary"
sleep 0.5
xdotool search --onlyvisible --name "$(view_pattern 検索)" >/dev/null 2>&1 && fail "the search window stayed open"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 20 " Bring the map."
xdotool key --clearmodifiers ctrl+s
sleep 0.5
close_view
end_program

line=$("$tool" dump "$work/2003.dys" | awk -F'\t' '$2 == "2003/06/12" { print $5 }')
[ "$line" = "Class meeting about the trip. Bring the map." ] || fail "2003's record of 12 June is '$line'"
echo "PASS: every year searched, the older year's day opened and written in its own file"
