# Wine prefix helpers shared by the test run, the end-to-end journeys and the
# demo. Source it; every function takes absolute paths.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# wine_in PREFIX PROGRAM ARGS...: run a program in PREFIX, quietly.
wine_in() {
    local prefix=$1; shift
    WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" "$@"
}

# winpath PATH: a Unix path as Wine programs see it (drive Z: is /).
winpath() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

# prefix_create PREFIX CA_DER TRUSTCA_EXE: a fresh prefix ready for tests:
# no crash dialog, a virtual desktop (so drivers can find the program's
# windows), the UI font mapped to fonts that exist, the run's CA trusted, and
# web pages opened by a recorder instead of a browser.
prefix_create() {
    local prefix=$1 ca=$2 trustca=$3 recorder=${4:-}
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    wine_in "$prefix" wineboot -i >/dev/null 2>&1
    local reg="wine_in $prefix reg add"
    $reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    $reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
    $reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
    $reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'Segoe UI' /d 'Liberation Sans' /f >/dev/null
    # Liberation Sans has no symbols such as the banner's warning sign; Windows
    # falls back through font links, so link DejaVu Sans behind it.
    local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    $reg "$link" /v 'Liberation Sans' /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null
    $reg "$link" /v 'Segoe UI' /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null
    if [ -n "$recorder" ]; then
        # ShellExecute("open", "https://...") looks the scheme's command up here.
        local cmd="\"$(winpath "$recorder")\" \"%1\""
        $reg 'HKCR\https\shell\open\command' /ve /d "$cmd" /f >/dev/null
        $reg 'HKCR\http\shell\open\command' /ve /d "$cmd" /f >/dev/null
    fi
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    cp /usr/share/fonts/truetype/liberation2/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wine_in "$prefix" "$trustca" "$(winpath "$ca")"
    WINEPREFIX="$prefix" "$WINESERVER" -k 2>/dev/null || true
    WINEPREFIX="$prefix" "$WINESERVER" -w 2>/dev/null || true
}

# prefix_clone TEMPLATE COPY: an isolated copy (registry, credentials, windows).
# Never hard links: wineserver rewrites the registry files in place.
prefix_clone() {
    rm -rf "$2"
    cp -a "$1" "$2"
}

# prefix_server_start PREFIX: a persistent wineserver for PREFIX in the
# background; prints its PID so the caller can stop it.
prefix_server_start() {
    WINEPREFIX="$1" "$WINESERVER" -f -p >/dev/null 2>&1 &
    echo $!
}

# prefix_server_stop PREFIX PID: ends every process of PREFIX and its server.
prefix_server_stop() {
    WINEPREFIX="$1" "$WINESERVER" -k 2>/dev/null || true
    [ -n "${2:-}" ] && kill "$2" 2>/dev/null || true
    [ -n "${2:-}" ] && wait "$2" 2>/dev/null || true
}

# xvfb_start FILE: a private X server; writes the display (":N") to FILE and
# prints the server's PID.
xvfb_start() {
    local file=$1
    rm -f "$file.fd"
    Xvfb -displayfd 7 -screen 0 1280x800x24 -nolisten tcp 7>"$file.fd" >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$file.fd" ] && break
        sleep 0.1
    done
    printf ':%s' "$(tr -d '\n' < "$file.fd")" > "$file"
    echo $pid
}

# service_start STATE_DIR CERT_DIR [ARGS...]: the local update service with its
# CONNECT proxy, in the background; waits until it listens and prints its PID.
# STATE_DIR/ports.json then names the proxy and HTTPS ports.
service_start() {
    local state=$1 certs=$2; shift 2
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    mkdir -p "$state"
    rm -f "$state/ports.json"
    python3 "$here/tools/update_service.py" --state-dir "$state" --certs "$certs" "$@" \
        >>"$state/service.out" 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$state/ports.json" ] && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    echo $pid
}

# service_proxy_url STATE_DIR: the http_proxy value that reaches the service.
service_proxy_url() {
    python3 -c 'import json,sys; print("http://127.0.0.1:%d" % json.load(open(sys.argv[1]))["proxy"])' "$1/ports.json"
}
