# Wine prefix helpers shared by the test run, the end-to-end journeys and the
# demo. Source it; every function takes absolute paths.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# Every Wine program and server starts through WINE_LAUNCH: without address
# randomisation (personality ADDR_NO_RANDOMIZE). Debian's Wine 8 has no
# wine64-preloader, which elsewhere reserves Wine's fixed areas before
# anything else is mapped. Its loader is linked at 0x7d000000, and the kernel
# starts the loader's brk heap at a random page of the 1 GiB above it; about
# once in 8,000 processes that heap covers 0x7ffe0000, where Wine must map the
# shared user data, and Wine ends the process with "failed to map the shared
# user data: c0000018" before the program ran. Without randomisation the heap
# starts right after the loader, 47 MiB below. The personality is inherited
# through fork and exec: the programs a test starts with CreateProcessW and
# Wine's own helper processes start without randomisation too. Where the
# personality cannot be set (a container whose seccomp profile forbids it)
# programs start as they are; tools/test.sh says so.
WINE_LAUNCH=(setarch "$(uname -m)" -R)
setarch "$(uname -m)" -R true 2>/dev/null || WINE_LAUNCH=()

# wine_in PREFIX PROGRAM ARGS...: run a program in PREFIX; quietly unless the
# caller set WINEDEBUG. Test programs run with Wine's error channel on
# (-all,err+all): -all alone also hides why a program never started, such as
# a DLL that did not load.
wine_in() {
    local prefix=$1; shift
    WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" \
        "${WINE_LAUNCH[@]}" "$WINE" "$@"
}

# wineserver_in PREFIX ARGS...: PREFIX's wineserver (-p, -k, -w).
wineserver_in() {
    local prefix=$1; shift
    WINEPREFIX="$prefix" "${WINE_LAUNCH[@]}" "$WINESERVER" "$@"
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
    wineserver_in "$prefix" -k 2>/dev/null || true
    wineserver_in "$prefix" -w 2>/dev/null || true
}

# prefix_clone TEMPLATE COPY: an isolated copy (registry, credentials, windows).
# Never hard links: wineserver rewrites the registry files in place.
prefix_clone() {
    rm -rf "$2"
    cp -a "$1" "$2"
}

# prefix_server_start PREFIX: a persistent wineserver for PREFIX, accepting
# connections when this returns; prints its PID. Without -f, wineserver forks
# into the background only once its socket listens, and exits with status 2
# when a server of PREFIX already runs. (Started with -f in the background
# instead, a Wine program started right after may find no socket yet and start
# a server of its own, which Debian's wrapper runs with -p0: the persistent
# one exits with status 2 unseen, and the prefix's server and helper processes
# then stop after every program and start again under the next one.)
prefix_server_start() {
    local status=0
    wineserver_in "$1" -p >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        echo "prefix_server_start: wineserver for $1 did not start (status $status;" \
             "2 means another server of that prefix runs: pid $(prefix_server_pid "$1"))" >&2
        return 1
    fi
    prefix_server_pid "$1"
}

# prefix_server_stop PREFIX: ends every process of PREFIX and its server;
# wineserver -k returns once the server has saved the registry and exited.
prefix_server_stop() {
    wineserver_in "$1" -k 2>/dev/null || true
}

# prefix_server_dir PREFIX: the folder with the socket and lock of PREFIX's
# server: Debian's Wine keeps them under the private folder that
# PREFIX/wineserver names, upstream Wine under /tmp/.wine-UID; either way in
# server-DEV-INODE of the prefix folder.
prefix_server_dir() {
    local base=/tmp/.wine-$(id -u)
    [ -f "$1/wineserver" ] && base=${TMPDIR:-/tmp}/$(cat "$1/wineserver")
    printf '%s/server-%s-%x' "$base" "$(stat -c %D "$1")" "$(stat -c %i "$1")"
}

# prefix_server_pid PREFIX: the PID of the server holding PREFIX's lock, if any.
prefix_server_pid() {
    local lock
    lock=$(prefix_server_dir "$1")/lock
    [ -e "$lock" ] || return 0
    awk -v ino=":$(stat -c %i "$lock")\$" '$2 == "POSIX" && $6 ~ ino { print $5; exit }' /proc/locks
}

# wine_status_report PREFIX STATUS OUT ERR NAME: explains an exit status that
# is not the test's own verdict (the program never got to gtest's summary in
# OUT), and a program that wrote nothing at all to OUT or ERR. Wine cuts
# NTSTATUS exit codes to 8 bits.
wine_status_report() {
    local prefix=$1 status=$2 output=$3 errors=$4 name=$5 why pid
    [ "$status" -eq 0 ] && return 0
    grep -q '^\[==========\] .* ran\.' "$output" 2>/dev/null && return 0
    case $status in
        3) why="abort()" ;;
        5) why="0xc0000005, access violation" ;;
        53) why="0xc0000135, a DLL was not found" ;;
        66) why="0xc0000142, a DLL failed to initialise" ;;
        123) why="0xc000007b, a DLL of the wrong architecture" ;;
        126|127) why="wine could not be run" ;;
        *) why="" ; [ "$status" -gt 128 ] && why="killed by signal $((status - 128))" ;;
    esac
    echo "$name: Wine ended it with status $status${why:+ ($why)} before gtest's summary"
    if grep -q 'failed to map the shared user data' "$errors" 2>/dev/null; then
        local randomised=on
        [ ${#WINE_LAUNCH[@]} -gt 0 ] && randomised=off
        echo "$name: it never ran: 0x7ffe0000 was taken in the new process" \
             "(address randomisation $randomised; see WINE_LAUNCH in tests/harness/prefix.sh)"
    fi
    if [ ! -s "$output" ] && [ ! -s "$errors" ]; then
        pid=$(prefix_server_pid "$prefix")
        if [ -n "$pid" ]; then
            echo "$name: it wrote nothing; the wineserver of $prefix (pid $pid) was up for $(ps -o etimes= -p "$pid" | tr -d ' ') s"
        else
            echo "$name: it wrote nothing; no wineserver ran for $prefix"
        fi
    fi
}

# xvfb_start FILE: a private X server; writes the display (":N") to FILE and
# prints the server's PID. Xvfb writes the display number to -displayfd only
# once it accepts connections; under load that can take long, so wait for it
# (or for Xvfb's end) rather than for a fixed time.
xvfb_start() {
    local file=$1
    rm -f "$file.fd"
    Xvfb -displayfd 7 -screen 0 1280x800x24 -nolisten tcp 7>"$file.fd" >"$file.log" 2>&1 &
    local pid=$!
    until [ -s "$file.fd" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "xvfb_start: Xvfb ended before accepting connections:" >&2
            cat "$file.log" >&2
            return 1
        fi
        sleep 0.1
    done
    printf ':%s' "$(tr -d '\n' < "$file.fd")" > "$file"
    echo $pid
}

# stop_pid PID: stops a background process and waits until it is gone. wait
# only reaps the shell's own children; a server started inside a command
# substitution is not one, so its end is polled.
stop_pid() {
    kill "$1" 2>/dev/null || return 0
    wait "$1" 2>/dev/null && return 0
    local i
    for i in $(seq 1 50); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null
    return 0
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
    # Until it listens or ends: python's start takes seconds on a loaded machine.
    until [ -s "$state/ports.json" ]; do
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    echo $pid
}

# service_proxy_url STATE_DIR: the http_proxy value that reaches the service.
service_proxy_url() {
    python3 -c 'import json,sys; print("http://127.0.0.1:%d" % json.load(open(sys.argv[1]))["proxy"])' "$1/ports.json"
}
