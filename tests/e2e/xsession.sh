# Helpers for driving the real application in a private X server. Sourced, not run.
#
#   xs_require PROGRAM...        exits 77 (the test is reported skipped) when one is missing
#   xs_begin                     the work folder $work (removed at exit), a runtime folder when
#                                the session has none, the leak suppressions for system
#                                libraries, and an exit trap that ends $app_pid, $game_pid and
#                                the X server
#   fail MESSAGE...              prints the message and the application's $work/stderr; exits 1
#   xs_start_server              starts Xvfb on a free display, exports DISPLAY
#   xs_settings LINE...          writes the settings file $ini under $work/config/quorvel
#   xs_launch SPLIT_FILE         starts $app on the file (split trace on, stderr in
#                                $work/stderr, config under $work/config); sets app_pid
#   xs_wait_window PID [SECS]    waits until PID shows a window and focuses it; sets XS_WIN
#   xs_wait_titled PID TITLE     the same for a window titled TITLE, within 60 s
#   xs_key KEY...                focuses XS_WIN and types keys (xdotool key names)
#   xs_wait_for WHAT CMD...      waits up to 30 s until CMD succeeds; fails otherwise
#   xs_traced N                  the application has traced N split commands so far
#   xs_press KEYCMD ACK...       runs KEYCMD (a key press), waits for ACK, then lets the third
#                                of a second in which a second press is ignored run out
#   xs_wait_exit PID [SECS]      waits for PID to end; returns 1 on timeout
#   xs_quit                      Ctrl+Q; $app_pid must then end with status 0
#   xs_write_route PATH          a route of four splits whose stored run takes minutes per
#                                split, so that any run played here beats it
#   xs_row PATH N                line N of a file;  xs_attempts PATH: its attempt count
#   xs_stop_server               kills Xvfb (safe to call twice)

XS_XVFB_PID=""
XS_LOCKOUT=0.4  # a press within a third of a second of the last one taken is ignored
XS_WIN=""
XS_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

xs_require() {
    local program
    for program in "$@"; do
        command -v "$program" >/dev/null 2>&1 || { echo "SKIP: $program is not installed"; exit 77; }
    done
}

xs_begin() {
    # Under the sanitizers: one-time allocations of system libraries are not our leaks.
    export LSAN_OPTIONS="suppressions=$XS_HERE/lsan-system.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    work=$(mktemp -d)
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        export XDG_RUNTIME_DIR="$work/runtime"
        mkdir -m 700 "$XDG_RUNTIME_DIR"
    fi
    app_pid=""
    game_pid=""
    trap xs_cleanup EXIT
}

xs_cleanup() {
    local pid
    for pid in "$app_pid" "$game_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    xs_stop_server
    rm -rf "$work"
}

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/stderr" ] && sed 's/^/  app: /' "$work/stderr" >&2
    if [ -n "$XS_XVFB_PID" ] && ! kill -0 "$XS_XVFB_PID" 2>/dev/null; then
        echo "  the X server $DISPLAY has ended:" >&2
        sed 's/^/  Xvfb: /' "$work/xvfb.log" >&2
    fi
    exit 1
}

# Runs CMD every tenth of a second until it succeeds (0) or gives up (2), for at most SECS.
xs_poll() { # SECS CMD...
    local tries=$(($1 * 10)) i status
    shift
    for ((i = 0; i < tries; i++)); do
        status=0
        "$@" || status=$?
        [ "$status" -eq 0 ] && return 0
        [ "$status" -eq 2 ] && return 1
        sleep 0.1
    done
    return 1
}

xs_start_server() {
    # -displayfd lets the server pick a free display number and tell us which. -noreset: a
    # server resets when its last client leaves, and a client that connects during the reset
    # (the application started again after a quit or a kill) is turned away.
    XS_DISPLAY_FILE=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$XS_DISPLAY_FILE" \
        2>"${work:-/tmp}/xvfb.log" &
    XS_XVFB_PID=$!
    local told=0
    xs_poll 10 xs_server_told || told=1
    [ "$told" -eq 0 ] && export DISPLAY=":$(tr -d '[:space:]' <"$XS_DISPLAY_FILE")"
    rm -f "$XS_DISPLAY_FILE"
    [ "$told" -eq 0 ] || { echo "Xvfb gave no display number" >&2; return 1; }
    unset WAYLAND_DISPLAY
}
xs_server_told() {
    [ -s "$XS_DISPLAY_FILE" ] || { kill -0 "$XS_XVFB_PID" 2>/dev/null || return 2; return 1; }
}

xs_stop_server() {
    if [ -n "$XS_XVFB_PID" ]; then
        kill "$XS_XVFB_PID" 2>/dev/null || true
        wait "$XS_XVFB_PID" 2>/dev/null || true
        XS_XVFB_PID=""
    fi
}

xs_settings() {
    ini="$work/config/quorvel/Quorvel.ini"
    mkdir -p "${ini%/*}"
    printf '%s\n' "$@" >"$ini"
}

xs_launch() {
    QUORVEL_TRACE_SPLITS=1 XDG_CONFIG_HOME="$work/config" "$app" "$1" >"$work/stdout" \
        2>"$work/stderr" &
    app_pid=$!
}

# Finds a visible window of PID titled TITLE (any title when empty); 2 when PID has ended.
xs_window_of() { # PID TITLE
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null || true); do
        if [ -z "$2" ] || [ "$(xdotool getwindowname "$id" 2>/dev/null || true)" = "$2" ]; then
            XS_WIN=$id
            # No window manager runs here: give the window the keyboard ourselves.
            timeout 5 xdotool windowfocus --sync "$XS_WIN" 2>/dev/null || true
            return 0
        fi
    done
    kill -0 "$1" 2>/dev/null || return 2
    return 1
}
xs_wait_window() { xs_poll "${2:-30}" xs_window_of "$1" ""; }
xs_wait_titled() { xs_poll 60 xs_window_of "$1" "$2"; }

# Keys go through XTEST to the focused window: events sent straight to a window are marked
# synthetic, and the toolkit ignores those.
xs_key() {
    xdotool windowfocus "$XS_WIN" 2>/dev/null || true
    xdotool key --delay 40 "$@"
}

xs_ended() { ! kill -0 "$1" 2>/dev/null; }
xs_wait_exit() { xs_poll "${2:-20}" xs_ended "$1"; }

xs_wait_for() {
    local what=$1
    shift
    xs_poll 30 "$@" || fail "no acknowledgement within 30 s: $what"
}

xs_traced() {
    [ "$(grep -c '^quorvel-trace split=' "$work/stderr" 2>/dev/null)" -ge "$1" ]
}

xs_press() {
    local key=$1
    shift
    $key
    xs_wait_for "$key" "$@"
    sleep "$XS_LOCKOUT"
}

xs_quit() {
    xs_key ctrl+q
    xs_wait_exit "$app_pid" 30 || fail "the application did not quit on Ctrl+Q"
    local status=0
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
}

xs_write_route() {
    printf '%s\n' $'7\t0.00' $'Test route\tBest Splits\tOld run' \
        $'First\t1:00.00\t1:00.00' $'\t\t' $'Second\t1:00.00\t2:00.00' $'\t\t' \
        $'Third\t1:00.00\t3:00.00' $'\t\t' $'Last\t1:00.00\t4:00.00' $'\t\tslow finish' >"$1"
}

xs_row() { sed -n "$2p" "$1"; }
xs_attempts() { xs_row "$1" 1 | cut -f1; }
