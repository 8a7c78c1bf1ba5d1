# A display with no 800 x 600 (a small Xvfb, an Xorg monitor that cannot
# show it, a Wayland output of another size whose compositor emulates no
# modes): one box captioned "ERROR" (with no way to show it, its words on
# standard error), no window, the desktop untouched, exit code 0.
[ "$E2E_DEMO" = x11 ] || E2E_PROGRAM_ENV+=(SDL_VIDEO_WAYLAND_MODE_EMULATION=0)
[ "$E2E_DESKTOP" != xorg ] || ! xrandr --current | grep -q '^ *800x600 ' || e2e_fail "the server offers 800x600 after all"
e2e_start_program
if [ "$E2E_BOXES" != stderr ]; then
    e2e_wait_box "ERROR"
    [ "$E2E_DEMO" != x11 ] || [ -z "$(e2e_program_window)" ] || e2e_fail "a program window was made"
    e2e_expect_equal "$(e2e_desktop_state)" "$E2E_DESKTOP_BEFORE" "the desktop under the box"
    e2e_dismiss_box
fi
e2e_wait_exit 10000
e2e_expect_equal "$E2E_EXIT_CODE" 0 "exit code after the refused mode"
e2e_expect_equal "$(e2e_desktop_state)" "$E2E_DESKTOP_BEFORE" "the desktop afterwards"
[ "$E2E_BOXES" != x11 ] || e2e_expect_equal "$(e2e_window_named "ERROR")" "" "the box after dismissal"
e2e_expect_said "ERROR: Your video card does not support FULLSCREEN operation!" "the refused mode"
e2e_pass
