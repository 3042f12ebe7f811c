#!/usr/bin/env bash
# Installs missing packages (tools/setup.sh), builds the release configuration
# and runs every test under Wine: unit, integration (real registry, credential
# manager, WinHTTP, windows) and the end-to-end journeys that drive the real
# Lumaroth.exe against the local update service. Exits non-zero on any
# failure. Everything it starts in the background is stopped when it ends,
# also on failure or Ctrl-C.
#
#   tools/test.sh [ctest arguments...]     e.g. tools/test.sh -R Classify
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/setup.sh"
source "$root/tests/harness/prefix.sh"
source "$root/tests/harness/cleanup.sh"
cd "$root"
[ ${#WINE_LAUNCH[@]} -gt 0 ] ||
    echo "== setarch -R is not permitted here: Wine programs start with address randomisation," \
         "and about one start in 8,000 fails with \"failed to map the shared user data\""

started=$(date +%s)
# LUMAROTH_BUILD_DIR lets several checkouts' runs share a machine.
build=${LUMAROTH_BUILD_DIR:-$root/build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build"

run=$(mktemp -d /tmp/lumaroth-test.XXXXXX)
on_exit_dir "$run"
echo "== test run in $run"
xvfb_pid=$(xvfb_start "$run/display")
on_exit_pid "$xvfb_pid"
export DISPLAY=$(cat "$run/display")

"$root/tools/make_certs.sh" "$run/certs"
on_exit_prefix "$run/template"
prefix_create "$run/template" "$run/certs/ca.der" "$build/tools/trustca.exe" "$build/tools/urlrecorder.exe"
prefix_clone "$run/template" "$run/shared"
on_exit_prefix "$run/shared"
server_pid=$(prefix_server_start "$run/shared")
# Start the prefix's helper processes now, away from ctest's pipes.
WINEDEBUG=-all,err+all wine_in "$run/shared" cmd /c exit >"$run/warm-up.out" 2>&1 </dev/null ||
    { cat "$run/warm-up.out" >&2; exit 1; }

export LUMAROTH_RUN_DIR=$run
export LUMAROTH_TEMPLATE=$run/template
export LUMAROTH_PREFIX=$run/shared
export LUMAROTH_CERTS=$run/certs
export LUMAROTH_BUILD=$build

if [ -f "$root/tools/update_service.py" ]; then
    service_pid=$(service_start "$run/service" "$run/certs")
    on_exit_pid "$service_pid"
    [ -s "$run/service/ports.json" ] || { cat "$run/service/service.out" >&2; exit 1; }
    export LUMAROTH_SERVICE_DIR=$run/service
    export http_proxy=$(service_proxy_url "$run/service")
fi

echo "== prefix ready after $(( $(date +%s) - started )) s"
status=0
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@" || status=$?
# Every test program must have met the one server started above.
[ "$(prefix_server_pid "$run/shared")" = "$server_pid" ] ||
    echo "== the shared prefix's wineserver changed during the run (started $server_pid, now $(prefix_server_pid "$run/shared"))"
echo "== test command took $(( $(date +%s) - started )) s"
exit $status
