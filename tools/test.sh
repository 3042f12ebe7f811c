#!/usr/bin/env bash
# Builds the release configuration and runs every test under Wine: unit,
# integration (real registry, credential manager, WinHTTP, windows) and the
# end-to-end journeys that drive the real Lumaroth.exe against the local
# update service. Exits non-zero on any failure. Everything it starts in the
# background is stopped when it ends, also on failure or Ctrl-C.
#
#   tools/test.sh [ctest arguments...]     e.g. tools/test.sh -R Classify
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tests/harness/prefix.sh"
cd "$root"

started=$(date +%s)
# LUMAROTH_BUILD_DIR lets several checkouts' runs share a machine.
build=${LUMAROTH_BUILD_DIR:-$root/build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build"

run=$(mktemp -d /tmp/lumaroth-test.XXXXXX)
xvfb_pid="" server_pid="" service_pid=""
cleanup() {
    local status=$?
    trap - EXIT INT TERM
    # A killed child's wait fails; under set -e that would end the cleanup
    # early and turn the run's status into 143.
    set +e
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    [ -n "$server_pid" ] && prefix_server_stop "$run/shared" "$server_pid"
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$run"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== test run in $run"
xvfb_pid=$(xvfb_start "$run/display")
export DISPLAY=$(cat "$run/display")

"$root/tools/make_certs.sh" "$run/certs"
prefix_create "$run/template" "$run/certs/ca.der" "$build/tools/trustca.exe" "$build/tools/urlrecorder.exe"
prefix_clone "$run/template" "$run/shared"
server_pid=$(prefix_server_start "$run/shared")
# Start the prefix's helper processes now, away from ctest's pipes.
wine_in "$run/shared" cmd /c exit >/dev/null 2>&1 </dev/null || true

export LUMAROTH_RUN_DIR=$run
export LUMAROTH_TEMPLATE=$run/template
export LUMAROTH_PREFIX=$run/shared
export LUMAROTH_CERTS=$run/certs
export LUMAROTH_BUILD=$build

if [ -f "$root/tools/update_service.py" ]; then
    service_pid=$(service_start "$run/service" "$run/certs")
    export LUMAROTH_SERVICE_DIR=$run/service
    export http_proxy=$(service_proxy_url "$run/service")
fi

echo "== prefix ready after $(( $(date +%s) - started )) s"
status=0
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@" || status=$?
echo "== test command took $(( $(date +%s) - started )) s"
exit $status
