#!/bin/bash
# On a real X server, a program that dies with the display mode changed
# still gives the desktop its mode back: within a second of its end every
# output's mode, position and rotation and the screen's size are as before
# the start. The wait status is the signal's, and for a signal the program
# reports as it dies, standard error says which one and that the mode was
# restored. The ways: SIGSEGV, SIGABRT, SIGHUP, SIGQUIT, SIGKILL, and the X
# connection lost (xkill), which ends the program with status 1.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
command -v xkill >/dev/null || e2e_skip "xkill is not installed (x11-utils)"
e2e_start_xorg xorg-desktop.conf
e2e_expect_equal "$(e2e_current_mode)" 1920x1080 "the desktop's mode"
desktop=$(e2e_randr_configuration)
ulimit -c 0  # no core files in the run folder

desktop_back() { [ "$(e2e_randr_configuration)" = "$desktop" ]; }

# Ends the running program with $2 (a command), then checks its status $3,
# the desktop within a second, and the line on standard error ($4, or none).
ends_by()
{
    local way=$1 ending=$2 status=$3 line=$4 ended back
    e2e_wait_full_screen
    $ending
    e2e_wait_ms 5000 e2e_program_ended || e2e_fail "$way: the program did not end"
    ended=$(e2e_now_ms)
    e2e_wait_ms 1000 desktop_back ||
        e2e_fail "$way: the desktop is not back a second after the end: $(e2e_randr_configuration)"
    back=$(e2e_now_ms)
    e2e_wait_exit 5
    e2e_expect_equal "$E2E_EXIT_CODE" "$status" "$way: the wait status"
    if [ -n "$line" ]; then
        grep -qxF "$line" "$E2E_TMP/stderr.log" || e2e_fail "$way: no \"$line\": $(cat "$E2E_TMP/stderr.log")"
    fi
    e2e_log "$way: 800x600 during, $(e2e_current_mode) after, back within $((back - ended)) ms of the end;" \
        "standard error: $(tr '\n' ' ' <"$E2E_TMP/stderr.log")"
}

restored_after() { echo "marivelt: ended by signal $1 ($2); the display mode was restored"; }
kill_with() { kill -"$1" "$E2E_PID"; }
lose_x_connection() { xkill -id "$E2E_WINDOW" >/dev/null || e2e_fail "xkill failed"; }

e2e_start_program
ends_by SIGSEGV "kill_with SEGV" 139 "$(restored_after 11 "Segmentation fault")"
e2e_start_program
ends_by SIGABRT "kill_with ABRT" 134 "$(restored_after 6 Aborted)"
e2e_start_program
ends_by SIGHUP "kill_with HUP" 129 "$(restored_after 1 Hangup)"
# A background job starts with SIGQUIT ignored; a terminal's program does not.
e2e_start_command "$E2E_RUN_DIR" env --default-signal=QUIT "$E2E_PROGRAM"
ends_by SIGQUIT "kill_with QUIT" 131 "$(restored_after 3 Quit)"
# SIGKILL cannot be caught: the watcher reads the signal from /proc while it
# still can, so the line is not asserted.
e2e_start_program
ends_by SIGKILL "kill_with KILL" 137 ""
e2e_start_program
ends_by "lost X connection" lose_x_connection 1 "marivelt: the connection to the X server was lost"
e2e_pass
