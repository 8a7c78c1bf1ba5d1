#!/bin/bash
# --window on a desktop larger than the demo, under a window manager: an
# ordinary framed 800 x 600 window, not full screen, the screen keeping its
# size; the demo runs in it as it does full screen, and ESC ends it with the
# farewell box and exit code 27. Closed by its frame's close button instead,
# it ends with the farewell box and exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xvfb 1024x768x24
e2e_start_window_manager
desktop=$(e2e_screen_size)
e2e_start_command "$E2E_RUN_DIR" "$E2E_PROGRAM" --window
e2e_wait_program_window

size=$(xwininfo -id "$E2E_WINDOW" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
e2e_expect_equal "$size" "800x600" "the window's size"
xprop -id "$E2E_WINDOW" _NET_WM_STATE | grep -q FULLSCREEN && e2e_fail "the window asked to be full screen"
# A window manager frames the windows it manages, never a full-screen one.
frame_extents() { xprop -id "$E2E_WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.* = //p'; }
framed() { local extents; extents=$(frame_extents); [ -n "$extents" ] && [ "$extents" != "0, 0, 0, 0" ]; }
e2e_wait_until 5 framed || e2e_fail "the window has no frame (_NET_FRAME_EXTENTS: $(frame_extents))"

E2E_SHOT_WINDOW=$E2E_WINDOW
e2e_wait_scene WATER
e2e_expect_equal "$(e2e_screen_size)" "$desktop" "the screen's size while the demo runs"

e2e_wait_focus_settled
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_expect_equal "$(e2e_screen_size)" "$desktop" "the screen's size after the demo"

e2e_start_command "$E2E_RUN_DIR" "$E2E_PROGRAM" --window
e2e_wait_program_window
wmctrl -i -c "$E2E_WINDOW" || e2e_fail "wmctrl could not ask for the window to close"
e2e_expect_farewell 0 "exit code after a window close"
e2e_pass
