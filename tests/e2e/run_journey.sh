#!/usr/bin/env bash
# Runs one end-to-end journey in isolation:
#   run_journey.sh NAME DRIVER_EXE LUMAROTH_EXE
# A copy of the run's template prefix with its own wineserver, its own X
# server (screen reads of one journey never see another's windows) and its
# own update service; driver.exe runs only the journey's test. Everything
# started here is stopped by PID, and the copy removed, also on failure.
# Needs LUMAROTH_RUN_DIR, LUMAROTH_TEMPLATE and LUMAROTH_CERTS (tools/test.sh
# exports them). Screenshots (PNG) go to LUMAROTH_SCREENSHOT_DIR, else to
# $LUMAROTH_RUN_DIR/screenshots.
set -uo pipefail
name=${1:?usage: run_journey.sh NAME DRIVER_EXE LUMAROTH_EXE}
driver=${2:?driver.exe}
exe=${3:?Lumaroth.exe}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../harness/prefix.sh"
source "$here/../harness/cleanup.sh"
: "${LUMAROTH_RUN_DIR:?run the journeys through tools/test.sh}" "${LUMAROTH_TEMPLATE:?}" "${LUMAROTH_CERTS:?}"

work=$LUMAROTH_RUN_DIR/e2e-$name
shots=${LUMAROTH_SCREENSHOT_DIR:-$LUMAROTH_RUN_DIR/screenshots}
rm -rf "$work"
mkdir -p "$work/shots" "$shots"
on_exit_dir "$work"
prefix_clone "$LUMAROTH_TEMPLATE" "$work/prefix"
xvfb_pid=$(xvfb_start "$work/display") || exit 1
on_exit_pid "$xvfb_pid"
export DISPLAY
DISPLAY=$(cat "$work/display")
on_exit_prefix "$work/prefix"
server_pid=$(prefix_server_start "$work/prefix") || exit 1
service_pid=$(service_start "$work/service" "$LUMAROTH_CERTS")
on_exit_pid "$service_pid"
if [ ! -s "$work/service/ports.json" ]; then
    echo "run_journey: the update service did not start:" >&2
    cat "$work/service/service.out" >&2
    exit 1
fi
export http_proxy
http_proxy=$(service_proxy_url "$work/service")
export E2E_SERVICE_DIR E2E_SHOT_DIR LUMAROTH_EXE
E2E_SERVICE_DIR=$(winpath "$work/service")
E2E_SHOT_DIR=$(winpath "$work/shots")
LUMAROTH_EXE=$(winpath "$exe")

# Wine's helper processes inherit the standard handles and outlive the
# driver: its output goes through a file, not ctest's pipe.
WINEDEBUG=${WINEDEBUG:--all,err+all} wine_in "$work/prefix" "$driver" --gtest_filter="Journey.$name" \
    >"$work/driver.out" 2>"$work/driver.err" </dev/null
status=$?
cat "$work/driver.out" "$work/driver.err"
wine_status_report "$work/prefix" "$status" "$work/driver.out" "$work/driver.err" "run_journey: driver.exe"
# A name that matches no test passes with "0 tests": count that as failure.
if [ "$status" -eq 0 ] && ! grep -q '\[  PASSED  \] 1 test' "$work/driver.out"; then
    status=1
fi
[ "$(prefix_server_pid "$work/prefix")" = "$server_pid" ] ||
    echo "run_journey: the prefix's wineserver changed (started $server_pid, now $(prefix_server_pid "$work/prefix"))"

for bmp in "$work"/shots/*.bmp; do
    [ -e "$bmp" ] && convert "$bmp" "$shots/$(basename "${bmp%.bmp}").png"
done
if [ "$status" -ne 0 ]; then
    import -display "$DISPLAY" -window root "$shots/failed-$name.png" 2>/dev/null || true
    echo "--- last requests the service received ($work/service/requests.log):"
    tail -n 15 "$work/service/requests.log" 2>/dev/null
    echo "--- screen at the failure: $shots/failed-$name.png"
fi
exit $status
