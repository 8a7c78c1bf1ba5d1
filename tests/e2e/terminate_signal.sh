#!/bin/bash
# SIGTERM (as from a terminal or a session ending) is a request to end: the
# window goes, the screen is as before, the farewell box, then exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xvfb 800x600x16
e2e_start_program
e2e_wait_program_window
kill -TERM "$E2E_PID"
e2e_wait_box "Thank You!"
xdotool search --onlyvisible --pid "$E2E_PID" >/dev/null 2>&1 &&
    e2e_fail "the program window is still on screen beside the farewell box"
e2e_expect_equal "$(e2e_screen_size)" "800x600" "the screen size after the program"
e2e_dismiss_box "$E2E_BOX"
e2e_wait_exit 10
e2e_expect_equal "$E2E_EXIT_CODE" 0 "exit code after SIGTERM"
e2e_pass
