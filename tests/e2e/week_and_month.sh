#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The weekly and the monthly view as a user reaches them: start DayLog with a
# document, open 表示 → 週日程, type into the box that has the focus (the events of
# the current day), close, save; then the same through 表示 → 月日程. Each text is in
# the day's events in the file.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

doc=$work/year.dys
"$tool" new 2005 "$doc"

start
open_view w 週日程
week="Home visits"
xdotool type --delay 20 "$week"
shot weekly-typed
close_view
save
# 10 May 2005 is row 40; field 4 is Events.
events=$(field 40 4)
[ "$events" = "$week" ] || fail "after the week, the file's events of 10 May are '$events'"

open_view m 月日程
month=" and sports day"
xdotool type --delay 20 "$month"
shot monthly-typed
close_view
save
events=$(field 40 4)
[ "$events" = "$week$month" ] || fail "after the month, the file's events of 10 May are '$events'"
window_shot calendar "$calendar"
end_program
echo "PASS: what is typed in the weekly and the monthly view is saved"
