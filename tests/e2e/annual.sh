#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The annual table as a user reaches it: start DayLog with a document, open
# 表示 → 年間日程, type into the cell under the cursor (the current day's events),
# Enter, then ﾌｧｲﾙ → 上書き保存 of the main window; the text is in the file.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

doc=$work/year.dys
"$tool" new 2005 "$doc"

start
open_view y "DayLog.*"
text="Staff meeting"
xdotool type --delay 20 "$text"
xdotool key Return
shot annual-typed
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key s # 上書き保存
sleep 0.5
# 10 May 2005 is row 40; field 4 is Events.
events=$(field 40 4)
[ "$events" = "$text" ] || fail "the file's events of 10 May are '$events'"
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key c # 閉じる
calendar=$(wait_view デイログ) || fail "閉じる did not show the calendar"
xdotool windowactivate --sync "$calendar"
sleep 0.3
end_program
echo "PASS: what is typed in the annual table is saved"
