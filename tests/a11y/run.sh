#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The accessibility check through the real Linux accessibility stack: DayLog in a
# virtual display with a window manager (tests/e2e/common.bash), its own D-Bus session
# and AT-SPI bus, and tests/a11y/check.py walking every window's accessible tree.
#
#   tests/a11y/run.sh [check.py arguments...]     e.g. --report, --only calendar, --tree
#
# Needs DAYLOG_PROGRAM and DAYLOG_TOOL (ctest sets them), Xvfb, openbox, xdotool,
# xclip, dbus-run-session, at-spi2-core and python3-pyatspi (scripts/test installs
# them); skips (77) without them. Exits 0 when the check passes (always with --report
# unless the check could not run), 1 otherwise.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python=/usr/bin/python3

skip() { echo "SKIP: $*"; exit 77; }
[ -x "$python" ] && "$python" -c 'import pyatspi' >/dev/null 2>&1 ||
    skip "python3-pyatspi is not installed"
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session (package dbus) is not installed"
launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    /usr/lib/at-spi2/at-spi-bus-launcher; do
    [ -x "$candidate" ] && { launcher=$candidate; break; }
done
[ -n "$launcher" ] || skip "at-spi-bus-launcher (package at-spi2-core) is not installed"

# Everything below runs in a D-Bus session of its own, which ends with this script:
# nothing reaches the user's desktop session or its accessibility bus.
if [ -z "${DAYLOG_A11Y_IN_SESSION:-}" ]; then
    unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_PID
    export DAYLOG_A11Y_IN_SESSION=1
    exec dbus-run-session -- bash "${BASH_SOURCE[0]}" "$@"
fi

# Xvfb with openbox, a fresh HOME and runtime folder, DAYLOG_NOW=2005-05-10T09:30:00,
# the sanitizers' settings, fail() and a trap that ends what it started.
source "$here/../e2e/common.bash"

atspi_group=""
end_all() {
    local status=$?
    # The program first, then the accessibility bus: the launcher, its bus and the
    # registry the bus started, all in the process group setsid gave the launcher.
    if [ -n "${program_pid:-}" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -n "$atspi_group" ] && [ "$atspi_group" != "$(ps -o pgid= -p $$ | tr -d ' ')" ]; then
        kill -TERM -- "-$atspi_group" 2>/dev/null || true
        sleep 0.2
        kill -KILL -- "-$atspi_group" 2>/dev/null || true
    fi
    cleanup
    exit "$status"
}
trap end_all EXIT
trap 'exit 143' TERM INT HUP

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export PYTHONDONTWRITEBYTECODE=1
export QT_ACCESSIBILITY=1
unset NO_AT_BRIDGE

# The accessibility bus, started now rather than on the program's request, in a process
# group of its own so that the registry daemon (which the bus starts and leaves to init)
# ends with it.
if command -v setsid >/dev/null; then
    setsid "$launcher" --launch-immediately >"$work/atspi.log" 2>&1 &
else
    "$launcher" --launch-immediately >"$work/atspi.log" 2>&1 &
fi
launcher_pid=$!
pids+=("$launcher_pid")
sleep 0.1
atspi_group=$(ps -o pgid= -p "$launcher_pid" 2>/dev/null | tr -d ' ' || true)
bus=""
for _ in $(seq 100); do
    if command -v dbus-send >/dev/null; then
        bus=$(timeout 5 dbus-send --session --print-reply=literal --dest=org.a11y.Bus \
            /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ' || true)
    else
        [ -S "$XDG_RUNTIME_DIR/at-spi/bus_${DISPLAY#:}" ] && bus=unix:path=$XDG_RUNTIME_DIR/at-spi/bus_${DISPLAY#:}
    fi
    [ -n "$bus" ] && break
    kill -0 "$launcher_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$bus" ] || fail "the AT-SPI bus did not start: $(cat "$work/atspi.log")"

doc=$work/year.dys
timeout 30 "$tool" new 2005 "$doc" || fail "daylog-tool new 2005 did not make the document"
# Something in it to read: a record and ToDo items of the day the clock says (10 May),
# which the diary, the annual table and the ToDo list of that month show.
timeout 30 "$tool" export --format csv "$doc" "$work/year.csv" ||
    fail "daylog-tool export did not write the CSV"
sed -i 's#^2005/05/10,火,,,#2005/05/10,火,,職員会議の記録,#; s#^\(2005/05/10,.*\),\(\r\{0,1\}\)$#\1,"|0,10:00,普通,学年だより|1,,重要,出欠の集計"\2#' "$work/year.csv"
timeout 30 "$tool" import "$work/year.csv" "$doc" >/dev/null ||
    fail "daylog-tool import did not take the CSV"
"$program" "$doc" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

set +e
timeout -k 10 "${DAYLOG_A11Y_TIMEOUT:-270}" "$python" "$here/check.py" --pid "$program_pid" \
    --timeout "$(( ${DAYLOG_A11Y_TIMEOUT:-270} - 20 ))" "$@"
status=$?
set -e

alive=yes
state=$(ps -o stat= -p "$program_pid" 2>/dev/null || true)
{ [ -z "$state" ] || [[ "$state" == Z* ]]; } && alive=no
if [ "$alive" = no ]; then
    wait "$program_pid" 2>/dev/null && rc=0 || rc=$?
    fail "the program ended during the check (status $rc)"
fi
report=no
for arg in "$@"; do [ "$arg" = --report ] && report=yes; done
case $status in
0) if [ "$report" = yes ]; then
       echo "DONE: accessibility check in --report mode (findings, if any, listed above)"
   else
       echo "PASS: accessibility check"
   fi ;;
1) echo "FAIL: accessibility check: unnamed objects or failed checks (see above;" \
    "tests/a11y/run.sh --report to only list them)" >&2
    exit 1 ;;
77) skip "the checker found no pyatspi" ;;
124 | 137) fail "the checker did not finish within ${DAYLOG_A11Y_TIMEOUT:-270} s" ;;
*) fail "the checker could not check every window (status $status)" ;;
esac
