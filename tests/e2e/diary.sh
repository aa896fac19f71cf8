#!/usr/bin/env bash
# The diary as a user reaches it: start DayLog with a document in a virtual display
# with a window manager, open 表示 → 日記 from the keyboard, type into the record box
# (where the focus must be), close the diary, save, end; the text is in the file and
# a second start shows it again.
#
# Needs Xvfb, openbox, xdotool and xclip (scripts/test installs them). Set
# DAYLOG_E2E_SHOTS to a folder to keep screenshots (imagemagick's import).
set -euo pipefail

program=${DAYLOG_PROGRAM:?}
tool=${DAYLOG_TOOL:?}
for need in Xvfb openbox xdotool xclip; do
    command -v "$need" >/dev/null || { echo "SKIP: $need is not installed"; exit 77; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export HOME=$work # a fresh configuration for the window manager and Qt
export DAYLOG_NOW=2005-05-10T09:30:00
export QT_QPA_PLATFORM=xcb
# The X keyboard library reads past the end of a string it was given sized; strict
# string checks flag that inside the system library, not in the program.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0
unset QT_SCALE_FACTOR
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number.
display=$((50 + RANDOM % 200))
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/program.log" ] && sed 's/^/program: /' "$work/program.log" >&2
    [ -n "${DAYLOG_E2E_SHOTS:-}" ] && import -window root "$DAYLOG_E2E_SHOTS/failure.png" || true
    exit 1
}
# wait_window TITLE: the id of the visible window with that exact title.
wait_window() {
    local id=""
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
shot() {
    [ -n "${DAYLOG_E2E_SHOTS:-}" ] && import -window root "$DAYLOG_E2E_SHOTS/$1.png" || true
}
start() {
    "$program" "$doc" >"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
    calendar=$(wait_window デイログ) || fail "the calendar window did not appear"
    xdotool windowactivate --sync "$calendar"
    sleep 0.3
}
open_diary() {
    xdotool key --clearmodifiers alt+v
    sleep 0.3
    xdotool key n
    diary=$(wait_window 日記) || fail "表示 → 日記 did not open the diary"
    xdotool windowactivate --sync "$diary"
    sleep 0.5
}
close_diary() {
    xdotool key --clearmodifiers alt+f
    sleep 0.3
    xdotool key x # 閉じる
    calendar=$(wait_window デイログ) || fail "閉じる did not show the calendar"
    xdotool windowactivate --sync "$calendar"
    sleep 0.3
}
end_program() {
    xdotool key --clearmodifiers alt+f
    sleep 0.3
    xdotool key x
    # The program is this shell's child: once it has ended it stays a zombie until
    # waited for.
    for _ in $(seq 300); do
        state=$(ps -o stat= -p "$program_pid" 2>/dev/null || true)
        if [ -z "$state" ] || [[ "$state" == Z* ]]; then
            wait "$program_pid" || fail "the program ended with status $?: $(cat "$work/program.log")"
            return 0
        fi
        sleep 0.1
    done
    ps -o pid,stat,cmd -p "$program_pid" >&2; cat "$work/program.log" >&2
    fail "終了 did not end the program"
}

doc=$work/year.dys
"$tool" new 2005 "$doc"

# First run: type into the record box the diary opens with.
start
open_diary
text="Walked to school, then the staff meeting."
xdotool type --delay 20 "$text"
shot diary-typed
close_diary
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key s # 上書き保存
sleep 0.5
shot saved
end_program

# 10 May 2005 is row 40; the dump's fields are row, Date, Weekday, Events, Record.
record=$("$tool" dump "$doc" | awk -F'\t' '$1 == "40" { print $5 }')
[ "$record" = "$text" ] || fail "the file's record of 10 May is '$record'"

# Second run: the diary shows it again (read back through the clipboard).
start
open_diary
xdotool key --clearmodifiers ctrl+a
xdotool key --clearmodifiers ctrl+c
sleep 0.3
shown=$(xclip -o -selection clipboard 2>/dev/null || true)
shot diary-second-start
[ "$shown" = "$text" ] || fail "the second start shows '$shown'"
close_diary
end_program
echo "PASS: the record typed in the diary is saved and shown again"
