#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The statistics and the search as a user reaches them from the keyboard: a record is
# typed in the diary; 表示 → 記録統計 counts it for two keywords typed into the
# table (設定 → キーワード1 / キーワード2, 統計) and the table is kept with
# ﾌｧｲﾙ → キーワード保存; 表示 → 検索 finds the day, and Enter on it opens the diary,
# where the text goes on.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

doc=$work/year.dys
"$tool" new 2005 "$doc"
start

open_view n 日記
xdotool type --delay 20 "Science lesson outside."
close_view

# Record statistics: key 1 "Science", key 2 " lesson", counted over 1 April to today.
xdotool key --clearmodifiers alt+v
sleep 0.3
xdotool key k
stats=$(wait_view 記録統計) || fail "表示 → 記録統計 did not open it"
xdotool windowactivate --sync "$stats"
sleep 0.5
xdotool key --clearmodifiers alt+s
sleep 0.3
xdotool key t # キーワード1
sleep 0.3
xdotool type --delay 20 "Science"
xdotool key Return
xdotool key --clearmodifiers alt+s
sleep 0.3
xdotool key y # キーワード2
sleep 0.3
xdotool type --delay 20 " lesson"
xdotool key Tab
xdotool key Down
xdotool key F5 # 統計
sleep 0.5
shot stats-counted
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key s # キーワード保存
dialog=$(wait_window 名前を付けて保存) || fail "キーワード保存 did not ask for a name"
sleep 0.5
xdotool type --delay 10 "$work/keys"
xdotool key Return
for _ in $(seq 50); do [ -f "$work/keys.dyy" ] && break; sleep 0.1; done
[ -f "$work/keys.dyy" ] || fail "the template was not written as keys.dyy"
# Cell (1, 2) of a 12-column table is the 15th cell: line 17 of the file.
count=$(sed -n 17p "$work/keys.dyy" | cut -f3)
[ "$count" = "1" ] || fail "the count saved with the keywords is '$count'"
key1=$(sed -n 16p "$work/keys.dyy" | cut -f3)
[ "$key1" = "Science" ] || fail "the first keyword saved is '$key1'"
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key x # 閉じる
sleep 0.5

# Search: the day is found and opens in the diary.
calendar=$(wait_view デイログ) || fail "the calendar is not shown"
xdotool windowactivate --sync "$calendar"
sleep 0.3
xdotool key --clearmodifiers alt+v
sleep 0.3
xdotool key f
search=$(wait_view 検索) || fail "表示 → 検索 did not open it"
xdotool windowactivate --sync "$search"
sleep 0.5
xdotool type --delay 20 "lesson"
xdotool key Return
sleep 0.3
shot search-found
xdotool key Down Return
diary=$(wait_view 日記) || fail "the day found did not open in the diary"
xdotool windowactivate --sync "$diary"
sleep 0.5
xdotool search --onlyvisible --name "$(view_pattern 検索)" >/dev/null 2>&1 && fail "the search window stayed open"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 20 " Then rain."
close_view
save
end_program

record=$(field 40 5)
[ "$record" = "Science lesson outside. Then rain." ] || fail "the file's record of 10 May is '$record'"
echo "PASS: the record is counted, the keywords kept, and the day found and opened"
