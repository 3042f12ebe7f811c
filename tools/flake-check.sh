#!/usr/bin/env bash
# Runs the test command N times in a row, each run in a fresh run folder with
# its own X server, prefixes and update service (tools/test.sh makes them),
# and sums up which tests failed and how often. Not a test itself.
#
#   tools/flake-check.sh N [ctest arguments...]    e.g. tools/flake-check.sh 10 -L e2e
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:?usage: flake-check.sh N [ctest arguments...]}
shift
logs=$(mktemp -d /tmp/lumaroth-flake.XXXXXX)
echo "== $runs runs of tools/test.sh $*; logs in $logs"

passed=0 failed=0
declare -A failures=()
for i in $(seq 1 "$runs"); do
    log=$logs/run-$i.log
    start=$(date +%s)
    if "$root/tools/test.sh" "$@" >"$log" 2>&1; then
        passed=$((passed + 1))
        echo "run $i: passed ($(( $(date +%s) - start )) s)"
        continue
    fi
    failed=$((failed + 1))
    # ctest's summary: "The following tests FAILED:" then "  12 - name (Failed)".
    names=$(sed -n '/The following tests FAILED:/,$p' "$log" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p')
    for t in $names; do failures[$t]=$(( ${failures[$t]:-0} + 1 )); done
    echo "run $i: FAILED ($(( $(date +%s) - start )) s): ${names:-no test named, see the log}" | tr '\n' ' '
    echo "($log)"
done

echo "$passed passed, $failed failed"
for t in "${!failures[@]}"; do
    echo "  $t failed in ${failures[$t]} of $runs runs"
done | sort
[ "$failed" -eq 0 ]
