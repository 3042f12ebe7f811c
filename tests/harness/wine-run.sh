#!/usr/bin/env bash
# Runs a Windows test program under Wine in the test run's shared prefix
# (CMAKE_CROSSCOMPILING_EMULATOR). tools/test.sh makes the prefix and its
# wineserver and exports LUMAROTH_PREFIX; see tests/harness/prefix.sh.
#
# The program's output goes through files: Wine's helper processes
# (services.exe, explorer.exe) inherit the standard handles of whichever
# program started them and outlive it, and ctest would wait on the pipe
# until they exit. Standard error stays apart: test discovery parses the
# standard output of --gtest_list_tests.
if [ -z "${LUMAROTH_PREFIX:-}" ]; then
    echo "wine-run.sh: LUMAROTH_PREFIX is not set; run the tests with tools/test.sh" >&2
    exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/prefix.sh"
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
WINEDEBUG=${WINEDEBUG:--all,err+all} wine_in "$LUMAROTH_PREFIX" "$@" >"$out" 2>"$out.err" </dev/null
status=$?
cat "$out"
cat "$out.err" >&2
wine_status_report "$LUMAROTH_PREFIX" "$status" "$out" "$out.err" "wine-run.sh: $(basename "$1")" >&2
# A crash that winedbg reports (the prefix has no crash dialog) sometimes
# ends the process with status 0: a crash report, or gtest's run started but
# never summed up, fails the test whatever the status.
if [ "$status" -eq 0 ] && { grep -q '^Unhandled exception' "$out" "$out.err" ||
        { grep -q '^\[==========\] Running' "$out" && ! grep -q '^\[==========\] .* ran\.' "$out"; }; }; then
    echo "wine-run.sh: $(basename "$1") crashed or stopped before gtest's summary, yet Wine's status was 0" >&2
    status=1
fi
rm -f "$out" "$out.err"
exit $status
