#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A run that does not end normally: type into the diary, leave it unsaved for the
# recovery copy to be written, kill the program outright; the next start offers the
# unsaved changes and Yes brings the text back into the diary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

doc=$work/year.dys
"$tool" new 2005 "$doc"
copies=$HOME/.local/share/DayLog/DayLog/recovery

start
open_view n 日記
text="Parents' evening moved to Thursday."
xdotool type --delay 20 "$text"
shot recovery-typed
# The copy is written within half a minute of the first keystroke.
for _ in $(seq 600); do
    compgen -G "$copies/year-*.dys" >/dev/null && break
    sleep 0.1
done
compgen -G "$copies/year-*.dys" >/dev/null || fail "no recovery copy in $copies a minute after typing"
sleep 1
shot recovery-before-kill
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
[ -z "$(field 40 5)" ] || fail "the document itself was written"

# Next start: the question comes before the calendar.
"$program" "$doc" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
question=$(wait_window DayLog) || fail "the recovery question did not appear"
xdotool windowactivate --sync "$question"
sleep 0.3
shot recovery-question
xdotool key --clearmodifiers Return
calendar=$(wait_view デイログ) || fail "the calendar window did not appear after the answer"
xdotool windowactivate --sync "$calendar"
sleep 0.3
open_view n 日記
xdotool key --clearmodifiers ctrl+a
xdotool key --clearmodifiers ctrl+c
sleep 0.3
shown=$(xclip -o -selection clipboard 2>/dev/null || true)
shot recovery-restored
[ "$shown" = "$text" ] || fail "the restored diary shows '$shown'"
close_view

# Saved now: the copy goes, and the file has the text.
save
compgen -G "$copies/*.dys" >/dev/null && fail "the recovery copy is still there after the save"
end_program
[ "$(field 40 5)" = "$text" ] || fail "the saved record of 10 May is '$(field 40 5)'"

# A shutdown (SIGTERM) does not wait the half minute: the copy is written before the
# program ends.
start
open_view n 日記
late="Typed just before the shutdown."
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$late"
sleep 0.3
kill -TERM "$program_pid"
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "SIGTERM did not end the program"
wait "$program_pid" 2>/dev/null || true
copy=$(compgen -G "$copies/year-*.dys" | head -1) || fail "no recovery copy after SIGTERM"
record=$("$tool" dump "$copy" | awk -F'\t' '$1 == 40 { print $5 }')
[ "$record" = "$late" ] || fail "the copy written at SIGTERM holds '$record'"
[ "$(stat -c %a "$copies")" = 700 ] || fail "the recovery folder is $(stat -c %a "$copies"), not private"
[ "$(stat -c %a "$copy")" = 600 ] || fail "the recovery copy is $(stat -c %a "$copy"), not private"
[ "$(field 40 5)" = "$text" ] || fail "SIGTERM wrote the document itself"
echo "PASS: a killed run's unsaved diary text is offered and restored at the next start; a shutdown writes the copy first"
