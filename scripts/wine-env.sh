# Sourced by the scripts that run our Windows programs under Wine:
#
#   source scripts/wine-env.sh
#   wine_start          # prefix ready, a display (Xvfb when none is set), cleanup on exit
#   wine64 prog.exe     # or "$WINE64" prog.exe
#   wine_screenshot out.png
#
# Only the 64-bit loader is used: this machine's kernel runs no 32-bit programs, so the
# `wine` wrapper (which prefers the 32-bit loader) is avoided.

WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

_wine_env_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# One prefix for every build folder: creating one takes 15 to 20 seconds.
export WINEPREFIX="${WINEPREFIX:-$_wine_env_root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# Creating a prefix would otherwise offer to download Mono and Gecko, which we do not use.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

wine64() { "$WINE64" "$@"; }

# Creates and boots the prefix once; later calls (also from concurrent test processes)
# find it ready and return at once.
wine_prefix_init() {
    local ready="$WINEPREFIX/.tessarin-ready"
    [ -e "$ready" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -e "$ready" ]; then
            echo "wine-env: creating the Wine prefix $WINEPREFIX" >&2
            "$WINE64" wineboot --init >/dev/null 2>&1 || true
            "$WINESERVER" -w
            if [ ! -e "$WINEPREFIX/system.reg" ]; then
                echo "wine-env: wineboot did not create $WINEPREFIX" >&2
                exit 1
            fi
            # Debian's Wine 8 looks for its own fonts (MS Sans Serif, Tahoma, the Marlett
            # caption glyphs) in a folder that does not exist; the prefix's font folder is
            # always searched.
            ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
            # Wine draws the title bars and frames itself: Xvfb has no window manager, and
            # screenshots should show the windows as Windows would.
            "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            "$WINESERVER" -w
            touch "$ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}

_wine_xvfb_pid=

# Starts Xvfb on a free display unless a display is already set.
wine_display_start() {
    [ -n "${DISPLAY:-}" ] && return 0
    local fifo display
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    # -displayfd picks a free display number and reports it once the server accepts
    # connections.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    _wine_xvfb_pid=$!
    read -r -t 30 display <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$display" ]; then
        echo "wine-env: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$display"
}

# Ends what wine_start started: the prefix's Wine processes and our Xvfb.
wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$_wine_xvfb_pid" ]; then
        kill "$_wine_xvfb_pid" 2>/dev/null || true
        wait "$_wine_xvfb_pid" 2>/dev/null || true
        _wine_xvfb_pid=
    fi
}

# Ready to run windowed programs: a display, the prefix, and a persistent wineserver with
# Wine's services, so that a series of short programs does not start them each time.
# Stops everything on exit (this replaces the caller's EXIT trap).
wine_start() {
    trap wine_stop EXIT
    wine_display_start
    wine_prefix_init
    # Exits with status 2 when a server for the prefix already runs, which serves as well.
    "$WINESERVER" -p || true
    # The services start with the first program. Started by a test, they would inherit its
    # output pipe and keep it open, and ctest would wait for them to the end.
    "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1
}

# Saves a picture of the whole display.
wine_screenshot() {
    import -display "$DISPLAY" -window root "$1"
}
