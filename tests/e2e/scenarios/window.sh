# --window on a desktop larger than the demo, under a window manager: an
# ordinary framed 800 x 600 window, not full screen; the desktop keeps its
# state (on Xorg every output's mode, position and rotation) and no
# display-mode watcher is started; the demo runs in the window as full
# screen. ESC ends it with exit code 27, the frame's close button with 0.
e2e_require_tools xwd convert od
e2e_require_data
e2e_start_program --window
e2e_wait_program_window
e2e_geometry "$(e2e_window_geometry "$E2E_WINDOW")" width height _ _
e2e_expect_equal "${width}x$height" "800x600" "the window's size"
! xprop -id "$E2E_WINDOW" _NET_WM_STATE | grep -q FULLSCREEN || e2e_fail "the window asked to be full screen"
# A window manager frames the windows it manages, never a full-screen one.
frame_extents() { xprop -id "$E2E_WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.* = //p'; }
framed() { [ -n "$(frame_extents)" ] && [ "$(frame_extents)" != "0, 0, 0, 0" ]; }
e2e_wait 5000 framed ||
    e2e_fail "the window has no frame (_NET_FRAME_EXTENTS: $(frame_extents))"
E2E_PICTURE=$(e2e_window_geometry "$E2E_WINDOW")  # the frame shows in the window, placed by now
e2e_wait_scene WATER shot
e2e_expect_equal "$(e2e_desktop_state)" "$E2E_DESKTOP_BEFORE" "the desktop while the demo runs"
e2e_expect_equal "$(ps --ppid "$E2E_PID" -o comm= | tr '\n' ' ')" "" "the processes the windowed demo started"
e2e_settle_focus
e2e_press_escape
e2e_expect_end "Thank You!" 27 "ESC"

e2e_start_program --window
e2e_wait_program_window
wmctrl -i -c "$E2E_WINDOW" || e2e_fail "wmctrl could not ask for the window to close"
e2e_expect_end "Thank You!" 0 "a window close"
e2e_pass
