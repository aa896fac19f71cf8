# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end runs (tests/e2e/*.sh): a virtual display with a window
# manager, and the steps a user takes through the keyboard. Sourced, not run.
#
# Needs Xvfb, openbox, xdotool and xclip (scripts/test installs them). Set
# DAYLOG_E2E_SHOTS to a folder to keep screenshots (imagemagick's import);
# week_and_month.sh leaves the calendar window there as calendar.png.

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
export LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp
# DAYLOG_E2E_SCALE=2 runs the program at twice the size on a screen twice as large, to
# look at the screenshots (a whole number).
if [ -n "${DAYLOG_E2E_SCALE:-}" ]; then
    export QT_SCALE_FACTOR=$DAYLOG_E2E_SCALE
else
    unset QT_SCALE_FACTOR
fi
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
# A screen of the same size in logical pixels at any scale, as a high-density screen is.
scale=${DAYLOG_E2E_SCALE:-1}
Xvfb "$DISPLAY" -screen 0 "$((1366 * scale))x$((768 * scale))x24" -nolisten tcp >/dev/null 2>&1 &
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
# view_pattern CAPTION: the title of a window of the program, which carries the
# document's name: "CAPTION - name" or "name - CAPTION" ("*" after a changed name).
view_pattern() { echo "^($1 - .+|.+ - $1)\$"; }
# wait_view CAPTION: the id of the visible program window with that caption.
wait_view() { wait_window_matching "$(view_pattern "$1")"; }
wait_window_matching() {
    local id=""
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
shot() {
    [ -n "${DAYLOG_E2E_SHOTS:-}" ] && import -window root "$DAYLOG_E2E_SHOTS/$1.png" || true
}
# window_shot NAME ID: one window alone, without the window manager's frame (the
# software centres' picture, data/screenshots/, is taken so).
window_shot() {
    [ -n "${DAYLOG_E2E_SHOTS:-}" ] && import -window "$2" "$DAYLOG_E2E_SHOTS/$1.png" || true
}
start() {
    "$program" "$doc" >"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
    calendar=$(wait_view デイログ) || fail "the calendar window did not appear"
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

# open_view KEY TITLE: 表示 → the item with mnemonic KEY, waiting for its window.
open_view() {
    xdotool key --clearmodifiers alt+v
    sleep 0.3
    xdotool key "$1"
    view=$(wait_view "$2") || fail "表示 → $2 did not open it"
    xdotool windowactivate --sync "$view"
    sleep 0.5
}
# close_view: the view's ﾌｧｲﾙ → 閉じる, back to the calendar.
close_view() {
    xdotool key --clearmodifiers alt+f
    sleep 0.3
    xdotool key x
    calendar=$(wait_view デイログ) || fail "閉じる did not show the calendar"
    xdotool windowactivate --sync "$calendar"
    sleep 0.3
}
# save: the calendar's ﾌｧｲﾙ → 上書き保存.
save() {
    xdotool key --clearmodifiers alt+f
    sleep 0.3
    xdotool key s
    sleep 0.5
}
# field ROW N: field N of a row of the document's dump (1 row, 2 Date, 4 Events, 5 Record).
field() {
    "$tool" dump "$doc" | awk -F'\t' -v row="$1" -v n="$2" '$1 == row { print $n }'
}
