#!/usr/bin/env bash
# Runs a test at another display scale, in a copy of the run's template prefix
# whose HKCU\Control Panel\Desktop LogPixels is DPI (Wine reads it when a
# process starts):
#   run_at_dpi.sh DPI PROGRAM.exe [ARGS...]   a test program, with its own
#                                             wineserver and X server
#   run_at_dpi.sh DPI --journey RUN_JOURNEY.sh NAME DRIVER LUMAROTH
#                                             a journey, whose own copy is
#                                             made from this one
# Needs LUMAROTH_RUN_DIR and LUMAROTH_TEMPLATE (tools/test.sh exports them).
# Everything started here is stopped, and the copy removed, also on failure.
set -uo pipefail
dpi=${1:?usage: run_at_dpi.sh DPI PROGRAM [ARGS...] | DPI --journey RUN_JOURNEY NAME DRIVER EXE}
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/harness/prefix.sh"
: "${LUMAROTH_RUN_DIR:?run the tests through tools/test.sh}" "${LUMAROTH_TEMPLATE:?}"

work=$LUMAROTH_RUN_DIR/dpi-$dpi-$$
source "$here/harness/cleanup.sh"
mkdir -p "$work"
on_exit_dir "$work"
prefix_clone "$LUMAROTH_TEMPLATE" "$work/prefix"
wine_in "$work/prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1 </dev/null
# Written to user.reg only when the prefix's server ends.
wineserver_in "$work/prefix" -k 2>/dev/null || true
wineserver_in "$work/prefix" -w 2>/dev/null || true

if [ "${1:-}" = --journey ]; then
    shift
    export LUMAROTH_SCREENSHOT_DIR=${LUMAROTH_SCREENSHOT_DIR:-$LUMAROTH_RUN_DIR/screenshots}
    LUMAROTH_TEMPLATE="$work/prefix" LUMAROTH_RUN_DIR="$work" bash "$@"
    exit $?
fi

xvfb_pid=$(xvfb_start "$work/display") || exit 1
on_exit_pid "$xvfb_pid"
export DISPLAY
DISPLAY=$(cat "$work/display")
on_exit_prefix "$work/prefix"
prefix_server_start "$work/prefix" >/dev/null || exit 1
LUMAROTH_PREFIX="$work/prefix" bash "$here/harness/wine-run.sh" "$@"
