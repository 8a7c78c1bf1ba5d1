#!/bin/bash
# On a real X server whose monitor has no 800 x 600 mode, the program says
# so in one box captioned "ERROR", makes no window, leaves the desktop's
# configuration untouched and ends with exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_start_xorg xorg-no-800x600.conf
xrandr --current | grep -q '^ *800x600 ' && e2e_fail "the server offers 800x600 after all"
e2e_expect_equal "$(e2e_current_mode)" 1920x1080 "the desktop's mode"
desktop=$(e2e_randr_configuration)
e2e_start_program
e2e_wait_box "ERROR"
xdotool search --onlyvisible --pid "$E2E_PID" >/dev/null 2>&1 && e2e_fail "a program window was made"
e2e_expect_equal "$(e2e_randr_configuration)" "$desktop" "the desktop under the box"
e2e_dismiss_box "$E2E_BOX"
e2e_wait_exit 10
e2e_expect_equal "$E2E_EXIT_CODE" 0 "exit code after the refused mode"
e2e_expect_equal "$(e2e_randr_configuration)" "$desktop" "the desktop afterwards"
[ -s "$E2E_TMP/stderr.log" ] && e2e_fail "the program wrote to standard error: $(cat "$E2E_TMP/stderr.log")"
e2e_pass
