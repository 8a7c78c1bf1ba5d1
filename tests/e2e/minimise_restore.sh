#!/bin/bash
# Minimised, the program keeps running with its window off the screen;
# restored, it covers the screen again and still answers ESC (exit code 27).
source "$(dirname "$0")/lib.sh"

window_geometry()
{
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print w "x" h "+" x "+" y }'
}
window_hidden() { ! e2e_window_viewable "$E2E_WINDOW"; }

e2e_require_graphics
e2e_start_xvfb 800x600x16
e2e_start_window_manager
e2e_start_program
e2e_wait_program_window
# A frame on the screen: the start-up is over, and the window manager has
# had the program's own requests (full screen, activation) before ours.
e2e_wait_scene WATER

xdotool windowminimize "$E2E_WINDOW" || e2e_fail "xdotool could not minimise the window"
e2e_wait_until 10 window_hidden || e2e_fail "the window stayed on screen"
sleep 0.5
e2e_program_running || e2e_fail "the program ended when minimised: $(cat "$E2E_TMP/stderr.log")"

wmctrl -i -a "$E2E_WINDOW" || e2e_fail "wmctrl could not restore the window"
e2e_wait_until 10 e2e_window_viewable "$E2E_WINDOW" || e2e_fail "the window did not come back"
e2e_wait_until 10 test "$(window_geometry "$E2E_WINDOW")" = "800x600+0+0" ||
    e2e_fail "the restored window is at $(window_geometry "$E2E_WINDOW"), not over the whole screen"

e2e_wait_focus_settled
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_pass
