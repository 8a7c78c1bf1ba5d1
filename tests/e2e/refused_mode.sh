#!/bin/bash
# A 640 x 480 screen has no 800 x 600 mode: the program says so in one box
# captioned "ERROR", makes no window, leaves the screen as it was and ends
# with exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 640x480x16
e2e_start_program
e2e_wait_box "ERROR"
xdotool search --onlyvisible --pid "$E2E_PID" >/dev/null 2>&1 && e2e_fail "a program window was made"
e2e_dismiss_box "$E2E_BOX"
e2e_wait_exit 10
e2e_expect_equal "$E2E_EXIT_CODE" 0 "exit code after the refused mode"
e2e_expect_equal "$(e2e_screen_size)" "640x480" "the screen size afterwards"
e2e_expect_equal "$(e2e_window_named "ERROR")" "" "the box after dismissal"
e2e_pass
