# A program that dies with the display mode changed still gives the desktop
# its mode back within a second of its end. The wait status is the signal's,
# and for a signal the program reports as it dies, standard error says which
# and that the mode was restored. The ways: SIGSEGV, SIGABRT, SIGHUP,
# SIGQUIT, SIGKILL, and the X connection lost (xkill: status 1).
e2e_require_tools xkill
e2e_require_data
ulimit -c 0  # no core files in the run folder

# Ends the program with command $2 (run once it shows, with the program's
# pid or window last); its status $3, its line $4.
kill_with() { kill "-$1" "$E2E_PID"; }
kill_the_x_client() { xkill -id "$E2E_WINDOW" >/dev/null; }
ends_by()
{
    e2e_start_program
    e2e_wait_shown
    $2
    e2e_wait 5000 e2e_program_ended || e2e_fail "$1: the program did not end"
    E2E_WAY_AT=$(e2e_now_ms)  # counted from the end
    e2e_expect_desktop_back "$1"
    e2e_wait_exit 5000
    e2e_expect_equal "$E2E_EXIT_CODE" "$3" "$1: the wait status"
    [ -z "$4" ] || grep -qxF "$4" "$E2E_TMP/stderr.log" || e2e_fail "$1: no \"$4\": $(e2e_said)"
}
restored_after() { echo "marivelt: ended by signal $1 ($2); the display mode was restored"; }

ends_by SIGSEGV "kill_with SEGV" 139 "$(restored_after 11 "Segmentation fault")"
ends_by SIGABRT "kill_with ABRT" 134 "$(restored_after 6 Aborted)"
ends_by SIGHUP "kill_with HUP" 129 "$(restored_after 1 Hangup)"
ends_by SIGQUIT "kill_with QUIT" 131 "$(restored_after 3 Quit)"
# SIGKILL cannot be caught; the watcher reads it from /proc if it can: no line asserted.
ends_by SIGKILL "kill_with KILL" 137 ""
ends_by "lost X connection" kill_the_x_client 1 "marivelt: the connection to the X server was lost"
e2e_pass
