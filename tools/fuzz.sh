#!/usr/bin/env bash
# Builds the libFuzzer targets natively (preset "fuzz") and runs each for
# SECONDS (default 20), one after the other, starting from the seed corpus in
# tests/fuzz/corpus/<target>. New inputs collect in build/fuzz/corpus; a
# failing input is written to build/fuzz/findings. Prints the executions per
# target and exits non-zero when any target found a crash or a broken property.
#
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-20}
targets=(fuzz_reply fuzz_account_blob fuzz_state_time fuzz_login_fields)

cmake --preset fuzz >/dev/null
cmake --build build/fuzz >/dev/null

mkdir -p build/fuzz/findings
status=0
for target in "${targets[@]}"; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    log=build/fuzz/$target.log
    if build/fuzz/tests/fuzz/$target "$corpus" "tests/fuzz/corpus/$target" -max_total_time="$seconds" \
           -print_final_stats=1 -artifact_prefix=build/fuzz/findings/$target- >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf 'fuzz: %-18s %-6s %12s executions in %ss\n' "$target" "$result" "${runs:-?}" "$seconds"
    [ "$result" = ok ] || tail -n 30 "$log"
done
exit $status
