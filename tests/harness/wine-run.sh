#!/usr/bin/env bash
# Runs a Windows test program under Wine in the test run's shared prefix
# (CMAKE_CROSSCOMPILING_EMULATOR). tools/test.sh makes the prefix and exports
# LUMAROTH_PREFIX; see tests/harness/prefix.sh.
#
# The program's output goes through a file: Wine's helper processes
# (services.exe, explorer.exe) inherit the standard handles of whichever
# program started them and outlive it, and ctest would wait on the pipe
# until they exit.
if [ -z "${LUMAROTH_PREFIX:-}" ]; then
    echo "wine-run.sh: LUMAROTH_PREFIX is not set; run the tests with tools/test.sh" >&2
    exit 2
fi
export WINEPREFIX="$LUMAROTH_PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
