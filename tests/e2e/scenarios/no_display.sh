# With no display to reach (a text console, an ssh session: the environment
# a user's shell has there, nothing set for SDL), the program cannot even
# start its window system: it says so on standard error, since no box can be
# shown, and ends with 0.
e2e_start_program
e2e_wait_exit 15000
e2e_expect_equal "$E2E_EXIT_CODE" 0 "exit code without a display"
grep -qx "ERROR: Failed to register the window class!" "$E2E_TMP/stderr.log" ||
    e2e_fail "not the window class's words on standard error: $(e2e_said)"
e2e_pass
