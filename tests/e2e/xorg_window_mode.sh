#!/bin/bash
# --window on a real X server, whose modes really change: the desktop keeps
# its whole configuration (every output's mode, position and rotation, and
# the screen's size) while the demo runs in its 800 x 600 window and after
# it, and no display-mode watcher is started. ESC ends the demo with the
# farewell box and exit code 27.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xorg xorg-desktop.conf
e2e_start_window_manager
e2e_expect_equal "$(e2e_current_mode)" 1920x1080 "the desktop's mode"
desktop=$(e2e_randr_configuration)

e2e_start_command "$E2E_RUN_DIR" "$E2E_PROGRAM" --window
e2e_wait_program_window
E2E_SHOT_WINDOW=$E2E_WINDOW
e2e_wait_scene WATER
size=$(xwininfo -id "$E2E_WINDOW" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
e2e_expect_equal "$size" "800x600" "the window's size"
e2e_expect_equal "$(e2e_randr_configuration)" "$desktop" "the desktop while the demo runs"
children=$(ps --ppid "$E2E_PID" -o comm= | tr '\n' ' ')
e2e_expect_equal "$children" "" "the processes the windowed demo started"

e2e_wait_focus_settled
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_expect_equal "$(e2e_randr_configuration)" "$desktop" "the desktop afterwards"
e2e_pass
