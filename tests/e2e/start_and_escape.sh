#!/bin/bash
# Started on an 800 x 600 x 16 screen, the program covers the whole screen,
# presents frames, takes held keys, and ESC ends it: the farewell box, then exit code 27 (the
# ESC key's code, carried by the last message it retrieved).
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
e2e_start_xvfb 800x600x16
e2e_start_program
e2e_wait_program_window

geometry=$(xwininfo -id "$E2E_WINDOW" | awk '
    /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print w "x" h "+" x "+" y }')
e2e_expect_equal "$geometry" "800x600+0+0" "the window's place on the screen"
e2e_wait_focus_settled

e2e_hold_key Left 0.5
e2e_hold_key space 0.3
e2e_program_running || e2e_fail "the program ended on held keys: $(cat "$E2E_TMP/stderr.log")"
if command -v xwd >/dev/null && command -v convert >/dev/null; then
    e2e_screenshot "$E2E_TMP/running.png"
    colours=$(convert "$E2E_TMP/running.png" -format %k info:)
    [ "$colours" -gt 1 ] || e2e_fail "the screen is one flat colour: no frame was presented"
else
    e2e_log "no xwd or convert: the picture is not checked"
fi

e2e_press_escape
e2e_wait_box "Thank You!"
e2e_program_running || e2e_fail "the program ended before the farewell box was dismissed"
xdotool search --onlyvisible --pid "$E2E_PID" >/dev/null 2>&1 &&
    e2e_fail "the program window is still on screen beside the farewell box"
e2e_dismiss_box "$E2E_BOX"
e2e_wait_exit 10
e2e_expect_equal "$E2E_EXIT_CODE" 27 "exit code after ESC"
e2e_pass
