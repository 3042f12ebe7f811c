#!/usr/bin/env bash
# Resource benchmark: builds the release configuration, prints the size and
# sections of Lumaroth.exe and runs it signed in against the local update
# service beside a bare Win32 window that makes the same 5-second check (and
# the same window again with common controls 6 loaded):
# resident and anonymous memory after 20 s idle, CPU time over 60 s idle,
# handle, GDI object and window counts over the cycles and panel rebuilds, the
# WM_NULL round trip, also while the server stalls an update, and the time to
# the result of an update through a tunnel that trickles every byte (about the
# program's 30 s deadline) with the thread count then. Figures only.
#
#   tools/bench.sh [CYCLES]        (default 200)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tests/harness/prefix.sh"
cycles=${1:-200}
build=${LUMAROTH_BUILD_DIR:-$root/build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target Lumaroth bench barewindow barewindowcontrols trustca >/dev/null

source "$root/tests/harness/cleanup.sh"
run=$(mktemp -d /tmp/lumaroth-bench.XXXXXX)
on_exit_dir "$run"
xvfb_pid=$(xvfb_start "$run/display")
on_exit_pid "$xvfb_pid"
export DISPLAY=$(cat "$run/display")
"$root/tools/make_certs.sh" "$run/certs" >/dev/null
on_exit_prefix "$run/prefix"
prefix_create "$run/prefix" "$run/certs/ca.der" "$build/tools/trustca.exe"
prefix_server_start "$run/prefix" >/dev/null
service_pid=$(service_start "$run/service" "$run/certs")
on_exit_pid "$service_pid"
cat > "$run/service/config.json" <<JSON
{"accounts": [{"hostname": "bench.example.net", "username": "bench", "key": "bench-key"}],
 "address": "203.0.113.77"}
JSON
export http_proxy=$(service_proxy_url "$run/service")

echo "Lumaroth.exe: $(stat -c %s "$build/app/Lumaroth.exe") bytes; bare window: $(stat -c %s "$build/tools/barewindow.exe") bytes"
x86_64-w64-mingw32-objdump -h "$build/app/Lumaroth.exe" | while read -r index name size _; do
    if [[ $index =~ ^[0-9]+$ ]]; then printf '  %-8s %7d\n' "$name" "$((16#$size))"; fi
done
out=$run/bench.out
wine_in "$run/prefix" "$build/tools/bench.exe" "$(winpath "$build/app/Lumaroth.exe")" \
    "$(winpath "$build/tools/barewindow.exe")" "$cycles" "$(winpath "$run/service/config.json")" \
    "$(winpath "$build/tools/barewindowcontrols.exe")" >"$out" 2>&1 </dev/null || true
cat "$out"
echo "update requests served: $(wc -l < "$run/service/requests.log" 2>/dev/null || echo 0)"
