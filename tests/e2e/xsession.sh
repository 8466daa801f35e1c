# Helpers for driving the real application in a private X server. Sourced, not run.
#
#   xs_require PROGRAM...        exits 77 (the test is reported skipped) when one is missing
#   xs_begin                     the common start of a test: the work folder $work (removed
#                                at exit), a runtime folder when the session has none, the
#                                leak suppressions for system libraries, and an exit trap that
#                                ends $app_pid and $game_pid (when set) and the X server
#   fail MESSAGE...              prints the message and the application's $work/stderr; exits 1
#   xs_start_server              starts Xvfb on a free display, exports DISPLAY
#   xs_wait_window PID [SECS]    waits until PID maps a window; sets XS_WIN
#   xs_wait_titled PID TITLE     waits until PID shows a window titled TITLE; sets XS_WIN
#   xs_key KEY...                focuses XS_WIN and types keys (xdotool key names)
#   xs_wait_for WHAT CMD...      waits until CMD succeeds (the application's acknowledgement)
#   xs_traced N                  the application has traced N split commands so far
#                                (QUORVEL_TRACE_SPLITS=1, its stderr in $work/stderr)
#   xs_press KEYCMD ACK...       runs KEYCMD (a key press), waits for ACK, then lets the third
#                                of a second in which a second press is ignored run out
#   xs_wait_exit PID [SECS]      waits for PID to end; returns 1 on timeout
#   xs_quit                      Ctrl+Q; $app_pid must then end with status 0
#   xs_write_route PATH          a route of four splits whose stored run takes minutes per
#                                split, so that any run played here beats it
#   xs_stop_server               kills Xvfb (safe to call twice; call it from a trap)

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

xs_start_server() {
    local fdfile
    fdfile=$(mktemp)
    # -displayfd lets the server pick a free display number and tell us which. -noreset: a
    # server resets when its last client leaves, and a client that connects during the reset
    # (the application started again after a quit or a kill) is turned away.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" 2>"${work:-/tmp}/xvfb.log" &
    XS_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        if [ -s "$fdfile" ]; then
            break
        fi
        if ! kill -0 "$XS_XVFB_PID" 2>/dev/null; then
            echo "Xvfb did not start" >&2
            rm -f "$fdfile"
            return 1
        fi
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        echo "Xvfb gave no display number within 10 s" >&2
        rm -f "$fdfile"
        return 1
    fi
    export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
    rm -f "$fdfile"
    unset WAYLAND_DISPLAY
}

xs_stop_server() {
    if [ -n "$XS_XVFB_PID" ]; then
        kill "$XS_XVFB_PID" 2>/dev/null || true
        wait "$XS_XVFB_PID" 2>/dev/null || true
        XS_XVFB_PID=""
    fi
}

xs_wait_window() {
    local pid=$1 secs=${2:-30} i
    XS_WIN=""
    for i in $(seq 1 $((secs * 10))); do
        XS_WIN=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
        if [ -n "$XS_WIN" ]; then
            # No window manager runs here: give the window the keyboard ourselves.
            timeout 5 xdotool windowfocus --sync "$XS_WIN" 2>/dev/null ||
                xdotool windowfocus "$XS_WIN" 2>/dev/null || true
            return 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "the application ended before showing its window" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "no window within ${secs} s" >&2
    return 1
}

# Keys go through XTEST to the focused window: events sent straight to a window are marked
# synthetic, and the toolkit ignores those.
xs_key() {
    xdotool windowfocus "$XS_WIN" 2>/dev/null || true
    xdotool key --delay 40 "$@"
}

xs_wait_exit() {
    local pid=$1 secs=${2:-20} i
    for i in $(seq 1 $((secs * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

xs_wait_titled() {
    local pid=$1 title=$2 id
    for _ in $(seq 1 600); do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
            if [ "$(xdotool getwindowname "$id" 2>/dev/null || true)" = "$title" ]; then
                XS_WIN=$id
                timeout 5 xdotool windowfocus --sync "$XS_WIN" 2>/dev/null || true
                return 0
            fi
        done
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

xs_wait_for() {
    local what=$1
    shift
    for _ in $(seq 1 300); do
        "$@" && return 0
        sleep 0.1
    done
    fail "no acknowledgement within 30 s: $what"
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
