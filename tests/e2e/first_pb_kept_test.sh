#!/usr/bin/env bash
# A first launch with no settings plays a run that beats the kept run, then Backspace (Reset).
# The defaults keep a personal best: if the reset still asks, Return takes its default, Save.
. "$(dirname "$0")/xsession.sh"
xs_scenario "$1"

xs_start_route
main_window=$XS_WIN
xs_play 5 # start, then four splits: seconds against the kept 4:00.00
xs_key BackSpace
# The run kept, or a question first: a second window of the application, where Return saves.
kept_or_answered() {
    xs_seconds "$(xs_kept 4)" && return 0
    local question
    question=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null |
        grep -vx "$main_window" | head -n 1 || true)
    [ -n "$question" ] && { xs_focus "$question" || true; xdotool key Return; }
    return 1
}
xs_wait_for "the personal best in the split file" kept_or_answered
XS_WIN=$main_window
xs_quit
xs_ini_has 'AutoSaveBestRun=Y' 'AutoSaveBestSplits=Y' 'AskBeforeLosingResults=Y'
echo "PASS: the first launch's personal best is in the split file"
