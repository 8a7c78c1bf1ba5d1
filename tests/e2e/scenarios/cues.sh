# Sound as a user hears it: a real server's sink recorded while SPACE and an
# arrow are pressed. The stream is up before the first cue; every chime is
# heard, the first as promptly as the rest (within 40 ms of their median);
# WIND's tornado has no tail of the chime; a held arrow restarts the whoosh
# without a step beyond the cue's own; the server logs no error. Streams
# that ran dry (silence inside a sound, as a machine with far more work than
# cores causes in the test's own players too) leave nothing to judge, nor
# does a check that fails while the machine kept a ready process waiting
# long enough to lose a key press: skipped. "...busy" keeps both cores busy
# throughout.
#   extra argument: marivelt_cue_check
e2e_require_tools xwd convert od
e2e_require_data Sounds
RATE=44100 recording="$E2E_TMP/recording.raw" events="$E2E_TMP/events"

# The recorder starts late: wait until its file grows. Presses are timed
# against a marker played into the sink by a player already connected (one
# started for it would come a varying few hundred ms late).
e2e_start_helper parec -d rec.monitor --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=20 "$recording"
recorder=$E2E_HELPER_PID
mkfifo "$E2E_TMP/marker.pipe" "$E2E_TMP/keys.pipe" "$E2E_TMP/probe.pipe" || e2e_fail "could not make the pipes"
e2e_start_helper pacat --playback --device=rec --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=20 \
    "$E2E_TMP/marker.pipe"
exec 7<>"$E2E_TMP/marker.pipe"  # read-write: never blocks, whatever the player does
e2e_wait 15000 test -s "$recording" || e2e_fail "the recorder recorded nothing"
if [[ $E2E_SOUND == *busy ]]; then
    for _ in 1 2; do e2e_start_helper bash -c 'while :; do :; done'; done
fi
# A process that wakes every 10 ms and notes when: how long the machine keeps
# a ready process waiting, as it may keep the keys' sender or the program.
e2e_start_helper bash -c 'exec 3<>"$1"; while :; do read -t 0.01 -u 3; echo "$EPOCHREALTIME"; done >"$2"' probe \
    "$E2E_TMP/probe.pipe" "$E2E_TMP/probe"

e2e_start_program
e2e_wait_shown
e2e_wait_scene WATER shot
# One xdotool reads keys from a pipe: a press goes the moment it is noted.
exec 9<>"$E2E_TMP/keys.pipe"
DISPLAY=$E2E_HOST_DISPLAY e2e_start_helper xdotool "$E2E_TMP/keys.pipe"
note() { printf '%s %s\n' "$1" "$EPOCHREALTIME" >>"$events"; }
key() { printf '%s\n' "$*" >&9 || e2e_fail "xdotool is gone"; }
press_space() { note "$1"; key keydown space; sleep 0.25; key keyup space; }  # $1: what it should sound like

# First a key with no action: the first key pays for set-ups not the sound's.
key key q
sleep 0.5
note marker
printf "$(printf '\\x00\\x20%.0s' $(seq $((RATE / 20))))" >&7  # 50 ms at a quarter of full scale
# The stream is up before any cue: its client carries the program's pid.
clients=" $(pactl list sink-inputs | awk '/^\tClient:/ { printf "%s ", $2 }')"
pactl list clients | awk -v pid="\"$E2E_PID\"" -v clients="$clients" '/^Client #/ { id = substr($2, 2) }
    /application.process.id = / && $3 == pid && index(clients, " " id " ") { found = 1 } END { exit !found }' ||
    e2e_fail "the program opened no sound stream before its first cue"
sleep 1
# To FIRE (the run's first cue, with room for a late one), EARTH, WIND (the
# 2.5 s tornado), WATER, FIRE and EARTH: each press and the pause after it.
for step in "chime 2.5" "chime 1.2" "wind 3.2" "chime 1.2" "chime 1.2" "chime 1.2"; do
    press_space "${step% *}"
    sleep "${step#* }"
done
note hold
key keydown Left
sleep 1
note release
key keyup Left
sleep 1.2
note reference  # the whoosh straight into the server, as it sounds by itself
timeout 10 paplay --device=rec "$E2E_RUN_DIR/Sounds/MoveAround.wav" || e2e_fail "paplay could not play the reference"
sleep 0.5
e2e_press_escape
e2e_expect_end "Thank You!" 27 "ESC"
e2e_stop_process "$recorder"

"${E2E_EXTRA[0]}" "$recording" "$RATE" "$events" "$E2E_TMP/probe" >"$E2E_TMP/check" 2>&1
status=$?
while read -r line; do e2e_log "$line"; done <"$E2E_TMP/check"
errors=$(e2e_sound_server_errors)
[ -z "$errors" ] || e2e_fail "the sound server logged errors: $errors"
[ "$status" -ne 3 ] || e2e_skip "too busy to judge the recording (streams ran dry, or a press may be lost)"
[ "$status" -eq 0 ] || { E2E_KEEP_TMP=1; e2e_fail "the recording ($recording) does not sound right"; }
e2e_pass
