# The same speed on any display: on a monitor that refreshes 144 times a
# second the demo still takes its 60 steps a second, each swap presenting
# one: 60 ± 3 swaps a second over three seconds, counted by a library
# preloaded into it.   extra argument: the swap log library
e2e_require_data
E2E_PROGRAM_ENV+=(LD_PRELOAD="${E2E_EXTRA[0]}" MARIVELT_SWAP_LOG="$E2E_TMP/swaps")
e2e_start_program
e2e_wait_shown
e2e_wait_scene WATER shot
sleep 4
rate=$(awk '{ t[NR] = $1 } END { from = t[NR] - 3000000; for (i = 1; i <= NR; i++) if (t[i] > from) n++
    printf "%.1f\n", n / 3 }' "$E2E_TMP/swaps")
e2e_log "$rate swaps a second on a display at $(xrandr --current | awk '/\*/ { print $2; exit }') Hz"
awk -v r="$rate" 'BEGIN { exit !(r >= 57 && r <= 63) }' || e2e_fail "$rate swaps a second, not 60 ± 3"
e2e_press_escape
e2e_expect_end "Thank You!" 27 "ESC"
e2e_pass
