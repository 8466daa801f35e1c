# Driving the real application in a private X server, sourced by each scenario: xs_scenario APP
# (work folder $work, removed at exit), xs_start_route (route file $route, the server, the
# application on it), xs_settings LINE..., xs_key KEY..., xs_game (another client's window has
# the focus), xs_press KEYCMD ACK... (a key once the input lockout is over, then its
# acknowledgement), xs_play N, xs_quit. Every wait is for a window, a trace line or a file.
set -euo pipefail
XS_XVFB_PID="" XS_WIN="" XS_SHOWN_NS=0
XS_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

xs_scenario() { # APP [PROGRAM...]: the programs needed besides Xvfb, xdotool and python3
    app=$1
    shift
    local p
    for p in Xvfb xdotool python3 "$@"; do
        command -v "$p" >/dev/null 2>&1 || { echo "SKIP: no $p"; exit 77; }
    done
    xs_begin
}
xs_begin() {
    # Under the sanitizers: one-time allocations of system libraries are not our leaks.
    export LSAN_OPTIONS="suppressions=$XS_HERE/lsan-system.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    work=$(mktemp -d)
    # A runtime folder of the scenario's own: the application's sockets and locks never meet
    # those of a Quorvel the developer is running.
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    app_pid="" game_pid="" ini="$work/config/quorvel/Quorvel.ini" route="$work/route.txt"
    trap xs_cleanup EXIT
}

xs_end() { # PID: ends it if it runs
    [ -n "$1" ] && kill -0 "$1" 2>/dev/null || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
xs_stop_server() { xs_end "$XS_XVFB_PID" && XS_XVFB_PID=""; }
xs_cleanup() { xs_end "$app_pid" && xs_end "$game_pid" && xs_stop_server && rm -rf "$work"; }

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
    local i status
    for ((i = 0; i < $1 * 10; i++)); do
        status=0 && "${@:2}" || status=$?
        case $status in 0) return 0 ;; 2) return 1 ;; esac
        sleep 0.1
    done
    return 1
}
xs_wait_for() { xs_poll 30 "${@:2}" || fail "no acknowledgement within 30 s: $1"; }

xs_start_server() {
    # -displayfd: the server picks a free display and tells us. -noreset: a server resetting
    # when its last client leaves turns away a client started again after a quit or a kill.
    XS_DISPLAY_FILE=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$XS_DISPLAY_FILE" \
        2>"${work:-/tmp}/xvfb.log" &
    XS_XVFB_PID=$!
    xs_poll 10 xs_server_told && export DISPLAY=":$(tr -d '[:space:]' <"$XS_DISPLAY_FILE")" ||
        { echo "Xvfb gave no display number" >&2; rm -f "$XS_DISPLAY_FILE"; return 1; }
    rm -f "$XS_DISPLAY_FILE"
    unset WAYLAND_DISPLAY
}
xs_server_told() {
    [ -s "$XS_DISPLAY_FILE" ] || { kill -0 "$XS_XVFB_PID" 2>/dev/null || return 2; return 1; }
}

xs_settings() { mkdir -p "${ini%/*}" && printf '%s\n' "$@" >"$ini"; }

xs_launch() { # SPLIT_FILE ("" for none) [STDERR]
    QUORVEL_TRACE_SPLITS=1 XDG_CONFIG_HOME="$work/config" "$app" ${1:+"$1"} >/dev/null \
        2>"${2:-$work/stderr}" &
    app_pid=$!
}

# No window manager runs here: windows are given the keyboard by us.
xs_focus() { timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

# Finds a visible window of PID titled TITLE (any title when empty); 2 when PID has ended.
xs_window_of() { # PID TITLE
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null || true); do
        if [ -z "$2" ] || [ "$(xdotool getwindowname "$id" 2>/dev/null || true)" = "$2" ]; then
            XS_WIN=$id XS_SHOWN_NS=$(xs_now_ns)
            xs_focus "$XS_WIN" || true
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
xs_key() { xdotool windowfocus "$XS_WIN" 2>/dev/null || true; xdotool key --delay 40 "$@"; }

# The game: xmessage does not name its process on its window, so it is found by its class.
xs_find_game() {
    game_win=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n 1 || true)
    [ -n "$game_win" ]
}
xs_game() {
    xmessage -geometry 300x100+700+500 "the game" &
    game_pid=$!
    xs_wait_for "the game's window" xs_find_game
    xs_focus "$game_win"
}
xs_end_game() { xs_end "$game_pid" && game_pid=""; }
xs_game_focused() { [ "$(xdotool getwindowfocus)" = "$game_win" ] || fail "the game lost the focus"; }
xs_game_key() { xs_game_focused && xdotool key --delay 40 "$1"; }

xs_wait_exit() { xs_poll "${2:-20}" eval "! kill -0 $1 2>/dev/null"; }

# The trace is read from $XS_TRACE, the application's standard error unless set otherwise.
xs_trace() { cat "${XS_TRACE:-$work/stderr}" 2>/dev/null || true; }
xs_traced() { [ "$(xs_trace | grep -c '^quorvel-trace split=')" -ge "$1" ]; } # N splits taken

# A split, skip or undo within a third of a second of the last one taken (or of the window's
# showing) is ignored. The application's trace gives the time of the last one taken, on the
# monotonic clock the check reads too.
xs_now_ns() { python3 -c 'import time; print(time.monotonic_ns())'; }
xs_lockout_over() {
    local last
    last=$(xs_trace | sed -n 's/^quorvel-trace .* dispatched_ns=\([0-9]*\) .*/\1/p' | tail -n 1)
    [ "${last:-0}" -gt "$XS_SHOWN_NS" ] || last=$XS_SHOWN_NS
    [ "$(xs_now_ns)" -ge $((last + 340000000)) ]
}
xs_press() { xs_wait_for "the input lockout" xs_lockout_over && $1 && xs_wait_for "$1" "${@:2}"; }

xs_quit() {
    xs_key ctrl+q
    xs_wait_exit "$app_pid" 30 || fail "the application did not quit on Ctrl+Q"
    wait "$app_pid" || fail "exit status $?"
    app_pid=""
}

# The route written to $route, the server started, the application launched and its window
# (titled TITLE when given) shown.
xs_start_route() { # [TITLE]
    xs_write_route "$route"
    xs_start_server || fail "no X server"
    xs_launch "$route"
    xs_poll 60 xs_window_of "$app_pid" "${1:-}" || fail "the window did not appear"
}
# The start and N - 1 splits with Space, each acknowledged by its trace.
xs_play() { local n; for ((n = 1; n <= $1; n++)); do xs_press "xs_key space" xs_traced "$n"; done; }

xs_write_route() {
    printf '%s\n' $'7\t0.00' $'Test route\tBest Splits\tOld run' \
        $'First\t1:00.00\t1:00.00' $'\t\t' $'Second\t1:00.00\t2:00.00' $'\t\t' \
        $'Third\t1:00.00\t3:00.00' $'\t\t' $'Last\t1:00.00\t4:00.00' $'\t\tslow finish' >"$1"
}

xs_row() { sed -n "$2p" "$1"; }
xs_attempts() { xs_row "$1" 1 | cut -f1; }
# The time of a run played here: seconds ("4.56", "12.34"), not the stored run's minutes.
xs_seconds() { [[ "$1" =~ ^[0-9]{1,2}\.[0-9]{2}$ ]]; }
# The kept run's time of split N (1-based) of $route, which a run played here gives.
xs_kept() { xs_row "$route" $((2 * $1 + 1)) | cut -f3; }
# A whole run played here on the route of xs_write_route: counted once, kept to its last split.
xs_run_kept() {
    [ "$(xs_attempts "$route")" = 8 ] || fail "attempt count is '$(xs_attempts "$route")', not 8"
    [ "$(xs_row "$route" 9 | cut -f1)" = Last ] || fail "row 4 is '$(xs_row "$route" 9)'"
    xs_seconds "$(xs_kept 4)" || fail "the kept run ends at '$(xs_kept 4)', not the run played here"
}
xs_ini_has() {
    local line
    for line in "$@"; do
        grep -qx "$line" "$ini" || { cat "$ini" >&2; fail "Quorvel.ini lacks $line"; }
    done
}
