#!/bin/bash
# Sound cues reach the audio device: silence until a key with a cue is
# pressed, then SPACE's scene-change cue. SDL's disk driver stands in for a
# sound card and writes what it plays to a file.
source "$(dirname "$0")/lib.sh"

e2e_require_graphics
[ -f "$E2E_RUN_DIR/Sounds/ChangeScene.wav" ] || e2e_skip "no Sounds in $E2E_RUN_DIR: build the assets first"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$E2E_TMP/played.raw"

# True when the device has written anything but silence (S16 zeros).
played_sound() { [ -s "$SDL_DISKAUDIOFILE" ] && [ "$(tr -d '\000' <"$SDL_DISKAUDIOFILE" | head -c1 | wc -c)" -gt 0 ]; }

e2e_start_xvfb 800x600x16
e2e_start_program
e2e_wait_program_window
# The device opens with the window and plays silence until the first cue.
sleep 0.5
played_sound && e2e_fail "sound before any key"
e2e_wait_focus_settled  # SPACE, twice
e2e_wait_until 10 played_sound || e2e_fail "SPACE's cue was never played"
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_pass
