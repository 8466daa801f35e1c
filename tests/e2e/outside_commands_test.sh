#!/usr/bin/env bash
# Outside commands drive the real application: a client of the split timers' text protocol on
# 127.0.0.1 and quorvel-ctl start, split and reset a run and read its time and phase back.
# With the Control Server off (the default) nothing listens on the port; quorvel-ctl still
# reaches the window over its local socket. A second window waits for both until the first has
# gone. Every step waits for the window's answer.
. "$(dirname "$0")/xsession.sh"
ctl=$2
xs_scenario "$1"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# Sends each argument as one line over TCP and prints the replies of the queries, one a line.
tcp() {
    python3 - "$port" "$@" <<'PY'
import socket, sys
port, lines = int(sys.argv[1]), sys.argv[2:]
with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
    f = s.makefile("rwb")
    for line in lines:
        f.write(line.encode() + b"\r\n")
        f.flush()
        if line.startswith(("get", "ping")):
            print(f.readline().decode().rstrip("\r\n"))
PY
}
tcp_listens() { tcp ping >/dev/null 2>&1; }
ctl_answers() { [ "$("$ctl" ping 2>/dev/null)" = pong ]; }
# A split is ignored within a third of a second of the last: sent again until it is taken.
split_to() { # HOW INDEX
    [ "$($1 split getsplitindex | tail -n 1)" = "$2" ]
}
via_tcp() { tcp "$@"; }
via_ctl() { # the run command, then the query, as two calls of quorvel-ctl
    "$ctl" "$1" && "$ctl" "$2"
}

# ---- Off (the default): the local socket only ----
xs_settings "[Misc]" "AskBeforeLosingResults=N" "[Control]" "Port=$port"
xs_start_route "Quorvel - route.txt - Test route"
xs_wait_for "quorvel-ctl ping" ctl_answers
! tcp_listens || fail "port $port listens while the Control Server is off"
xs_quit
status=0 && "$ctl" ping 2>"$work/ctl-stderr" || status=$?
[ "$status" = 1 ] && grep -q "Quorvel is not running" "$work/ctl-stderr" ||
    fail "quorvel-ctl after quit: status $status, '$(cat "$work/ctl-stderr")'"

# ---- On: a protocol client on 127.0.0.1 and quorvel-ctl play a run ----
xs_settings "[Misc]" "AskBeforeLosingResults=N" "[Control]" "Server=Y" "Port=$port"
xs_launch "$route"
xs_wait_window "$app_pid" 60 || fail "the window did not appear again"
xs_wait_for "the Control Server on port $port" tcp_listens
[ "$(tcp getcurrenttimerphase)" = NotRunning ] || fail "phase before the start"
tcp starttimer
[ "$(tcp getcurrenttimerphase)" = Running ] || fail "starttimer did not start the run"
xs_wait_for "a split from quorvel-ctl" split_to via_ctl 1
xs_wait_for "a split from the protocol client" split_to via_tcp 2
time=$(tcp getcurrenttime)
[[ "$time" =~ ^00:00:[0-9]{2}\.[0-9]{2} ]] || fail "getcurrenttime says '$time'"
[ "$("$ctl" getlastsplittime)" != - ] || fail "no last split time"
[ "$("$ctl" getprevioussplitname)" = Second ] || fail "the last split is not Second"
"$ctl" reset
[ "$(tcp getcurrenttimerphase getsplitindex)" = $'NotRunning\n-1' ] || fail "reset did not reset"
[ "$(xs_attempts "$route")" = 8 ] || fail "the attempt is not counted in the file"

# ---- A window on another split file waits for the socket and the port, and takes them once
# the first window has gone ----
first_pid=$app_pid
sed '1s/^[0-9]*/42/' "$route" >"$work/other.txt"
xs_launch "$work/other.txt" "$work/stderr2"
xs_wait_window "$app_pid" 60 || fail "the second window did not appear"
[ "$("$ctl" getattemptcount)" = 8 ] || fail "the second window took the first one's socket"
xs_end "$first_pid"
xs_wait_for "the second window on the socket" eval '[ "$("$ctl" getattemptcount 2>/dev/null)" = 42 ]'
xs_wait_for "the second window on the port" eval '[ "$(tcp getattemptcount 2>/dev/null)" = 42 ]'
xs_quit
echo "PASS: a protocol client and quorvel-ctl started, split and reset a run and read it back"
