#!/usr/bin/env bash
# Builds Lumaroth.exe and runs it under Wine against the bundled local update
# service, signed in with a demo account:
#
#   tools/demo.sh [--no-login] [--screenshots DIR]
#
# It installs missing packages (tools/setup.sh), builds the release exe, makes
# throwaway certificates and a Wine prefix that trusts them (cached in
# ~/.cache/lumaroth-demo, copied fresh for every run), starts the update
# service with the demo account, starts Lumaroth.exe, types the account into
# its login panel (unless --no-login: then type it yourself) and prints the
# update and check requests as the service receives them.
#
# With a display you see and use the window (in Wine's 1024x768 desktop); the
# demo ends when you choose "Exit" in the tray menu (the icon at the bottom
# right of Wine's desktop) or press Ctrl-C. Without $DISPLAY it runs on its
# own Xvfb and writes screenshots to a folder it names, until Ctrl-C.
# Everything it started is stopped when it ends.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

login=1
shots=""
while [ $# -gt 0 ]; do
    case $1 in
        --no-login) login=0 ;;
        --screenshots) shots=${2:?--screenshots needs a folder}; shift ;;
        -h|--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "demo.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
    esac
    shift
done

host=home.example.net user=demo key=demo-key-2026 address=203.0.113.7

bash "$root/tools/setup.sh"
source "$root/tests/harness/prefix.sh"
build=${LUMAROTH_BUILD_DIR:-$root/build/release}
echo "== building the release exe in $build"
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target Lumaroth trustca urlrecorder demo_login

# The prefix is slow to make (~30 s): keep one, with the certificates it
# trusts, and renew both when the certificates are about to expire.
cache=${XDG_CACHE_HOME:-$HOME/.cache}/lumaroth-demo
if [ ! -d "$cache/template/drive_c" ] ||
   ! openssl x509 -checkend 86400 -noout -in "$cache/certs/server.pem" >/dev/null 2>&1; then
    echo "== making certificates and a Wine prefix in $cache (once)"
    rm -rf "$cache"
    "$root/tools/make_certs.sh" "$cache/certs" >/dev/null
    prefix_create "$cache/template" "$cache/certs/ca.der" "$build/tools/trustca.exe" "$build/tools/urlrecorder.exe"
fi

source "$root/tests/harness/cleanup.sh"
run=$(mktemp -d /tmp/lumaroth-demo.XXXXXX)
on_exit echo -e "\n== stopped everything the demo started"
on_exit_dir "$run"
prefix_clone "$cache/template" "$run/prefix"
if [ -z "${DISPLAY:-}" ]; then
    xvfb_pid=$(xvfb_start "$run/display")
    on_exit_pid "$xvfb_pid"
    export DISPLAY
    DISPLAY=$(cat "$run/display")
    shots=${shots:-/tmp/lumaroth-demo-screenshots}
    echo "== no display: running on a private Xvfb ($DISPLAY); screenshots go to $shots"
fi
[ -n "$shots" ] && mkdir -p "$shots"
on_exit_prefix "$run/prefix"
prefix_server_start "$run/prefix" >/dev/null

mkdir -p "$run/service"
cat > "$run/service/config.json" <<JSON
{"accounts": [{"hostname": "$host", "username": "$user", "key": "$key", "blocked": false}],
 "address": "$address"}
JSON
service_pid=$(service_start "$run/service" "$cache/certs")
on_exit_pid "$service_pid"
[ -s "$run/service/ports.json" ] || { cat "$run/service/service.out" >&2; exit 1; }
export http_proxy
http_proxy=$(service_proxy_url "$run/service")
cat <<TEXT
== local update service for dynupdate.vexlumen.net, reached through $http_proxy
   demo account:  Hostname $host   Username $user   Key $key
   (it answers as the real service: "good $address" for a change, "nochg" after)
TEXT

# Each request, as the service logs it, on one line.
touch "$run/service/requests.log"
tail -n +1 -F "$run/service/requests.log" 2>/dev/null | python3 -u -c '
import json, sys, time
for line in sys.stdin:
    try:
        r = json.loads(line)
    except ValueError:
        continue
    kind = "update" if r.get("path") == "/" else "check " if r.get("path") == "/dyndns/getip" else r.get("path")
    host = (r.get("params") or {}).get("hostname", [""])[0]
    print("   %s  %s %-18s -> %s %s" % (time.strftime("%H:%M:%S"), kind, host, r.get("status"), r.get("reply")))
' &
on_exit_pid $!

echo "== starting Lumaroth.exe"
wine_in "$run/prefix" "$build/app/Lumaroth.exe" </dev/null &
app_pid=$!
on_exit_pid "$app_pid"
if [ $login -eq 1 ]; then
    if wine_in "$run/prefix" "$build/tests/e2e/demo_login.exe" "$host" "$user" "$key" </dev/null; then
        echo "== signed in as $user through the login panel"
    else
        echo "== the demo login failed; type the account into the window yourself"
    fi
fi
if [ -n "$shots" ]; then
    # Wine's 1024x768 desktop, now and then every 30 s while the demo runs.
    (
        while :; do
            import -display "$DISPLAY" -window root -crop 1024x768+0+0 "$shots/lumaroth-demo.png" 2>/dev/null || true
            sleep 30
        done
    ) &
    on_exit_pid $!
    echo "== screenshot: $shots/lumaroth-demo.png (renewed every 30 s)"
fi
if [ -n "$xvfb_pid" ]; then
    echo "== running headless; press Ctrl-C to stop"
else
    echo "== use the window; the tray menu's Exit (or Ctrl-C here) ends the demo"
fi
status=0
wait "$app_pid" || status=$?
echo "== Lumaroth.exe exited with code $status"
