#!/bin/bash
# Closing the window through the window manager ends the program like a
# close request should: the farewell box, then exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xvfb 800x600x16
e2e_start_window_manager
e2e_start_program
e2e_wait_program_window
wmctrl -i -c "$E2E_WINDOW" || e2e_fail "wmctrl could not ask for the window to close"
e2e_expect_farewell 0 "exit code after a window close"
e2e_pass
