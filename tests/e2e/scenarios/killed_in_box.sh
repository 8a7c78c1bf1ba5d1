# The demo killed outright (SIGKILL) while one of its boxes is up: the
# desktop has its mode back within a second, although the box, shown from a
# child of the demo's, stays until it is answered. During the reader's
# "Error" box the display runs the demo's 800 x 600; during the farewell it
# runs the desktop's mode again already.
e2e_require_data
# The box, a child of the demo's, outlives it: the test ends it should it
# not go when answered.
kill_keeping_the_box()
{
    pgrep -P "$E2E_PID" >>"$E2E_TMP/pids"
    kill -KILL "$E2E_PID"
    E2E_WAY_AT=$(e2e_now_ms)
}
e2e_spoil_texture "not a bitmap"
e2e_start_program
e2e_wait_box "Error"
e2e_expect_equal "$(e2e_current_mode)" 800x600 "the mode under the reader's box"
kill_keeping_the_box
e2e_expect_desktop_back "SIGKILL during the reader's box"
e2e_wait_exit 5000
e2e_dismiss_box

E2E_FOLDER=
e2e_start_program
e2e_wait_shown
e2e_press_escape
e2e_wait_box "Thank You!"
kill_keeping_the_box
e2e_expect_desktop_back "SIGKILL during the farewell"
e2e_wait_exit 5000
e2e_dismiss_box
e2e_pass
