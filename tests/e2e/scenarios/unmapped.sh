# A window manager that never maps the demo's window (stuck, or busy for
# good): SDL waits for the map, and a second later the demo goes on without
# it. Asked to end (SIGTERM), it ends as ever: its farewell box, which the
# window manager does map, answered; exit code 0. A demo still waiting for
# the map could not end.
e2e_require_data
e2e_start_program
e2e_wait 15000 grep -q '^refused' "$E2E_TMP/stuck.log" || e2e_fail "the demo's window was never asked to be mapped"
kill -TERM "$E2E_PID"
e2e_expect_end "Thank You!" 0 SIGTERM
e2e_pass
