#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The diary as a user reaches it: start DayLog with a document, open 表示 → 日記 from
# the keyboard, type into the record box (where the focus must be), close the diary,
# save, end; the text is in the file and a second start shows it again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

# A folder and name with blanks and Japanese, given as one argument as a file manager
# starts the program from its desktop entry (Exec=daylog %f).
mkdir "$work/my documents"
doc="$work/my documents/日記 2005 年度.dys"
"$tool" new 2005 "$doc"

# First run: type into the record box the diary opens with.
start
open_view n 日記
text="Walked to school, then the staff meeting."
xdotool type --delay 20 "$text"
shot diary-typed
close_view
save
end_program

# 10 May 2005 is row 40.
record=$(field 40 5)
[ "$record" = "$text" ] || fail "the file's record of 10 May is '$record'"

# Second run: the diary shows it again (read back through the clipboard).
start
open_view n 日記
xdotool key --clearmodifiers ctrl+a
xdotool key --clearmodifiers ctrl+c
sleep 0.3
shown=$(xclip -o -selection clipboard 2>/dev/null || true)
shot diary-second-start
[ "$shown" = "$text" ] || fail "the second start shows '$shown'"
close_view
end_program
echo "PASS: the record typed in the diary is saved and shown again"
