#!/bin/bash
# On a real X server, every way out the program takes itself gives the
# desktop its mode back before its last box shows: ESC, a window close,
# SIGINT, SIGTERM, and a texture that cannot be read after the switch (the
# reader's box still full screen at 800 x 600, then "ERROR" on the desktop).
# Afterwards every output's mode, position and rotation and the screen's
# size are as they were, and the exit code is the way out's.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xorg xorg-desktop.conf
e2e_start_window_manager  # closes the window on request, as a desktop does
e2e_expect_equal "$(e2e_current_mode)" 1920x1080 "the desktop's mode"
desktop=$(e2e_randr_configuration)

# The box captioned $2 on the desktop as it was, then exit code $3.
ends_with_box()
{
    local way=$1 caption=$2 code=$3
    e2e_wait_box "$caption"
    e2e_expect_equal "$(e2e_randr_configuration)" "$desktop" "$way: the desktop under the \"$caption\" box"
    e2e_dismiss_box "$E2E_BOX"
    e2e_wait_exit 10
    e2e_expect_equal "$E2E_EXIT_CODE" "$code" "$way: the exit code"
    e2e_expect_equal "$(e2e_randr_configuration)" "$desktop" "$way: the desktop afterwards"
    [ -s "$E2E_TMP/stderr.log" ] && e2e_fail "$way: the program wrote to standard error: $(cat "$E2E_TMP/stderr.log")"
    e2e_log "$way: 800x600 during, $(e2e_current_mode) under the box and after"
}

e2e_start_program
e2e_wait_full_screen
e2e_press_escape
ends_with_box "ESC" "Thank You!" 27

e2e_start_program
e2e_wait_full_screen
wmctrl -i -c "$E2E_WINDOW" || e2e_fail "wmctrl could not ask for the window to close"
ends_with_box "window close" "Thank You!" 0

e2e_start_command "$E2E_RUN_DIR" "$E2E_PROGRAM"
e2e_wait_full_screen
kill -INT "$E2E_PID"
ends_with_box "SIGINT" "Thank You!" 0

e2e_start_program
e2e_wait_full_screen
kill -TERM "$E2E_PID"
ends_with_box "SIGTERM" "Thank You!" 0

e2e_copy_run_folder undecodable-texture
printf 'not a bitmap\n' >"$E2E_COPY/Graphics/Fire2.bmp"
e2e_start_program "$E2E_COPY"
e2e_wait_box "Error"
e2e_expect_equal "$(e2e_current_mode)" 800x600 "the mode under the reader's box"
e2e_dismiss_box "$E2E_BOX"
ends_with_box "an undecodable texture" "ERROR" 0

e2e_pass
