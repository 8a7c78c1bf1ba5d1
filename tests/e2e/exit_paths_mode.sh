#!/bin/bash
# Every way out gives the desktop back: by the time the program's last box
# shows, its window is gone and the screen is in the desktop's mode; that box
# is the only one; once it is dismissed the program ends with the exit code
# of its way out and leaves nothing on the screen. Xvfb cannot change modes,
# so the size of its screen stands for the mode. The ways out: ESC, a window
# close, SIGINT, and a start-up that fails after the mode change (a texture
# missing, a texture that is no bitmap). SIGTERM has its own test.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xvfb 800x600x16
e2e_start_window_manager  # closes the window on request, as a desktop does
desktop=$(e2e_screen_size)
boxes=("Thank You!" "ERROR" "Error" "SHUTDOWN ERROR")

# The end of every way out: the box captioned $2 alone on a desktop-sized
# screen without the program's window, then exit code $3 once it is dismissed.
ends_with_box()
{
    local way=$1 caption=$2 code=$3 other
    e2e_wait_box "$caption"
    xdotool search --onlyvisible --pid "$E2E_PID" >/dev/null 2>&1 &&
        e2e_fail "$way: the program window is still on screen beside the \"$caption\" box"
    e2e_expect_equal "$(e2e_screen_size)" "$desktop" "$way: the screen size under the \"$caption\" box"
    for other in "${boxes[@]}"; do
        [ "$other" = "$caption" ] && continue
        [ -z "$(e2e_window_named "$other")" ] || e2e_fail "$way: a \"$other\" box beside the \"$caption\" box"
    done
    e2e_dismiss_box "$E2E_BOX"
    e2e_wait_exit 10
    e2e_expect_equal "$E2E_EXIT_CODE" "$code" "$way: the exit code"
    e2e_expect_equal "$(e2e_screen_size)" "$desktop" "$way: the screen size afterwards"
    for other in Marivelt "${boxes[@]}"; do
        [ -z "$(e2e_window_named "$other")" ] || e2e_fail "$way: a window \"$other\" outlived the program"
    done
    [ -s "$E2E_TMP/stderr.log" ] && e2e_fail "$way: the program wrote to standard error: $(cat "$E2E_TMP/stderr.log")"
    e2e_log "$way: ok"
}

e2e_start_program
e2e_wait_program_window
e2e_wait_focus_settled
e2e_press_escape
e2e_wait_box "Thank You!"
ends_with_box "ESC" "Thank You!" 27

e2e_start_program
e2e_wait_program_window
wmctrl -i -c "$E2E_WINDOW" || e2e_fail "wmctrl could not ask for the window to close"
ends_with_box "window close" "Thank You!" 0

# Started as from a terminal, where Ctrl+C sends SIGINT.
e2e_start_command "$E2E_RUN_DIR" "$E2E_PROGRAM"
e2e_wait_program_window
kill -INT "$E2E_PID"
ends_with_box "SIGINT" "Thank You!" 0

# Textures load after the mode change and the window; a missing one ends
# the start-up with "Initialization FAILED!" and no box of its own.
e2e_copy_run_folder missing-texture
rm "$E2E_COPY/Graphics/Fire2.bmp"
e2e_start_program "$E2E_COPY"
ends_with_box "a missing texture" "ERROR" 0

# One that is no bitmap gets the reader's own box first, while the program
# is still full screen, then the same end.
e2e_copy_run_folder undecodable-texture
printf 'not a bitmap\n' >"$E2E_COPY/Graphics/Fire2.bmp"
e2e_start_program "$E2E_COPY"
e2e_wait_box "Error"
e2e_dismiss_box "$E2E_BOX"
ends_with_box "an undecodable texture" "ERROR" 0

e2e_pass
