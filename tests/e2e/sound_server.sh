#!/bin/bash
# Sound through a real PulseAudio server, as a user hears it: a private
# server with a null sink whose monitor is recorded while SPACE and an arrow
# are pressed. The program's stream is up before its first cue, and from the
# recording: every chime heard, the first as promptly as the later ones
# (within 40 ms of their median delay); entering WIND plays the tornado with
# no tail of the chime; a held arrow restarts the whoosh without a step
# beyond those of the cue itself; and the server logs no error when the
# program closes its sound. When streams ran dry (dropouts: silence inside a
# sound, which a machine with far more work than cores causes in the test's
# own players too) the recording cannot be judged and the test is skipped.
#   sound_server.sh PROGRAM RUN_DIR CUE_CHECK quiet|busy
# "busy" keeps both cores busy with two endless loops throughout.
source "$(dirname "$0")/lib.sh"

CUE_CHECK=$3
LOAD=${4:-quiet}
RATE=44100  # the null sink's own rate: the monitor is recorded as it is

for tool in pulseaudio parec paplay pactl; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
e2e_require_graphics
[ -f "$E2E_RUN_DIR/Sounds/ChangeScene.wav" ] || e2e_skip "no Sounds in $E2E_RUN_DIR: build the assets first"

# The server's own runtime folder and home (mode 700, as it insists), and no
# client may start a server of its own.
PULSE_DIR="$E2E_TMP/pulse"
mkdir -m 700 "$PULSE_DIR" || e2e_fail "could not make $PULSE_DIR"
export XDG_RUNTIME_DIR="$PULSE_DIR" HOME="$PULSE_DIR" PULSE_CLIENTCONFIG="$PULSE_DIR/client.conf"
unset PULSE_SERVER PULSE_SINK
printf 'autospawn = no\n' >"$PULSE_CLIENTCONFIG"
e2e_start_helper pulseaudio -n --daemonize=no --exit-idle-time=-1 --load="module-null-sink sink_name=rec" \
    --load=module-native-protocol-unix --log-target=file:"$PULSE_DIR/server.log"
e2e_wait_until 15 pactl info >/dev/null 2>&1 || e2e_fail "the sound server did not start: $(cat "$PULSE_DIR/server.log")"

# The recorder starts recording a while after it is launched: wait until its
# file grows. Presses are timed against a marker played into the same sink,
# so that lag does not count. The marker goes through a player that is
# already connected and waits on a pipe: a process started for it would
# come a varying few hundred milliseconds late on a busy machine.
RECORDING="$E2E_TMP/recording.raw"
EVENTS="$E2E_TMP/events"
MARKER_PIPE="$E2E_TMP/marker.pipe"
e2e_start_helper parec -d rec.monitor --raw --format=s16le --rate=$RATE --channels=1 "$RECORDING"
PAREC_PID=$E2E_HELPER_PID
mkfifo "$MARKER_PIPE" || e2e_fail "could not make $MARKER_PIPE"
e2e_start_helper pacat --playback --device=rec --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=20 \
    "$MARKER_PIPE"
exec 7<>"$MARKER_PIPE"  # read-write: never blocks, whatever the player does
e2e_wait_until 15 test -s "$RECORDING" || e2e_fail "the recorder recorded nothing"
# 50 ms at a quarter of full scale, written by the shell itself.
MARKER=$(printf '\\x00\\x20%.0s' $(seq $((RATE / 20))))

if [ "$LOAD" = busy ]; then
    for _ in 1 2; do e2e_start_helper bash -c 'while :; do :; done'; done
fi

export SDL_AUDIODRIVER=pulseaudio
e2e_start_xvfb 800x600x16
e2e_start_program
e2e_wait_program_window
e2e_wait_scene WATER

note() { printf '%s %s\n' "$1" "$EPOCHREALTIME" >>"$EVENTS"; }

# Keys go through one xdotool that reads its commands from a pipe, so a
# press is sent the moment it is noted, not after a process has started.
KEYS_PIPE="$E2E_TMP/keys.pipe"
mkfifo "$KEYS_PIPE" || e2e_fail "could not make $KEYS_PIPE"
exec 9<>"$KEYS_PIPE"
e2e_start_helper xdotool "$KEYS_PIPE"
key() { printf '%s\n' "$*" >&9 || e2e_fail "xdotool is gone"; }

# A sound straight into the server, bypassing the program.
play_into_sink() { timeout 10 paplay --device=rec "$1" || e2e_fail "paplay could not play $1"; }

# SPACE, timed as the key goes down; $1 says what it should sound like.
press_space()
{
    note "$1"
    key keydown space
    sleep 0.25
    key keyup space
}

# A key with no action and no cue first: the first key through xdotool and
# the program's input pays for set-ups of its own, which are not the sound's.
key key q
sleep 0.5
note marker
printf "$MARKER" >&7
# The program's stream is up before any cue: the device opened at start-up.
pactl list sink-inputs | grep -q "application.process.id = \"$E2E_PID\"" ||
    e2e_fail "the program opened no sound stream before its first cue"
sleep 1
press_space chime  # WATER to FIRE: the first cue of the run
sleep 2.5          # room for a late first cue to be found and measured
press_space chime  # to EARTH
sleep 1.2
press_space wind   # to WIND: the tornado, 2.5 s long
sleep 3.2
for _ in 1 2 3; do  # to WATER, FIRE and EARTH
    press_space chime
    sleep 1.2
done
note hold
key keydown Left
sleep 1
note release
key keyup Left
sleep 1.2
note reference
play_into_sink "$E2E_RUN_DIR/Sounds/MoveAround.wav"
sleep 0.5

e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_stop_process "$PAREC_PID"

"$CUE_CHECK" "$RECORDING" "$RATE" "$EVENTS" >"$E2E_TMP/check" 2>&1
status=$?
while read -r line; do e2e_log "$LOAD: $line"; done <"$E2E_TMP/check"
if [ "$status" -eq 3 ]; then
    e2e_skip "the sound server's streams ran dry: the machine is too busy for this recording to be judged"
elif [ "$status" -ne 0 ]; then
    E2E_KEEP_TMP=1
    e2e_fail "the recording ($RECORDING) does not sound right"
fi
grep '^E:' "$PULSE_DIR/server.log" && e2e_fail "the sound server logged errors"
e2e_pass
