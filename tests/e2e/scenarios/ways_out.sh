# Every way out gives the desktop back within a second and ends as
# e2e_expect_end says, saying nothing else. The ways: ESC, a window close
# (where a window manager can ask for one: openbox, mutter, KWin), SIGINT
# (Ctrl+C), SIGTERM, and a start-up failing after the mode change (a missing
# texture: "ERROR" alone; one that is no bitmap: the reader's "Error" while
# still full screen, then "ERROR"). A sound server frozen or killed costs
# the sound, nothing else.
e2e_require_tools xwd convert od
e2e_require_data

said_only() { e2e_expect_said "$@" && e2e_log "$2: ok"; }

for way in ESC SIGINT SIGTERM close; do
    # a close is asked of an X window: weston asks only from its own menus
    [ "$way" = close ] && { [ "$E2E_DEMO" != x11 ] || [ "$E2E_COMPOSITOR" = weston ] || [ "$E2E_MANAGER" = killed ]; } &&
        continue
    e2e_sound_before_start
    e2e_start_program
    e2e_wait_shown
    [ "$way" = ESC ] && e2e_settle_focus
    e2e_sound_during_run
    sleep 0.3  # a frozen server's stream has stalled by now
    E2E_WAY_AT=$(e2e_now_ms)
    case $way in
    ESC) e2e_press_escape ;;
    close) wmctrl -i -c "$E2E_WINDOW" || e2e_fail "wmctrl could not ask for the window to close" ;;
    *) kill -"${way#SIG}" "$E2E_PID" ;;
    esac
    e2e_expect_end "Thank You!" "$([ "$way" = ESC ] && echo 27 || echo 0)" "$way"
    said_only "Thank You!: Thank you for trying Marivelt, the four elements in motion.
Made for the Elements demo contest." "$way"
done

# Textures load after the mode change and the window; a missing one ends
# the start-up with "Initialization FAILED!" and no box of its own.
e2e_spoil_texture
e2e_start_program
e2e_expect_end "ERROR" 0 "a missing texture"
said_only "ERROR: Initialization FAILED!" "a missing texture"

# One that is no bitmap gets the reader's box first, while the program is
# still full screen, then the same end.
e2e_spoil_texture "not a bitmap"
e2e_start_program
if [ "$E2E_BOXES" != stderr ]; then
    e2e_wait_box "Error"
    [ "$E2E_DESKTOP" != xorg ] || e2e_expect_equal "$(e2e_current_mode)" 800x600 "the mode under the reader's box"
    e2e_dismiss_box
fi
e2e_expect_end "ERROR" 0 "an undecodable texture"
said_only "Error: Unknown DIB file format.
ERROR: Initialization FAILED!" "an undecodable texture"
e2e_pass
