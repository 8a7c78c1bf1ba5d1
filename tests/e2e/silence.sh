#!/bin/bash
# Sound problems cost the sound and nothing else: with no Sounds folder, a
# file where the folder should be, empty or garbled WAV files, or no audio
# device, the program starts, SPACE changes the scene with no sound played,
# ESC ends it with exit code 27, and it says nothing on standard error. In a
# read-only working folder it runs as usual, sound included. In every case it
# leaves its working folder exactly as it found it.
source "$(dirname "$0")/lib.sh"

for tool in xwd convert od md5sum; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
e2e_require_graphics
[ -f "$E2E_RUN_DIR/Sounds/ChangeScene.wav" ] || e2e_skip "no Sounds in $E2E_RUN_DIR: build the assets first"
e2e_start_xvfb 800x600x16

# Everything about a folder but access times: names, kinds, sizes, modes,
# modification times and contents.
folder_state()
{
    (cd "$1" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort &&
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0r md5sum)
}

# SDL's disk driver stands in for a sound card and writes what it plays to a
# file; a played cue shows as anything but zeros (silent S16 samples).
played_sound() { [ -s "$SDL_DISKAUDIOFILE" ] && [ "$(tr -d '\000' <"$SDL_DISKAUDIOFILE" | head -c1 | wc -c)" -gt 0 ]; }

# One run in folder $2: starts, SPACE steps from WATER to FIRE and on to
# EARTH (settling the focus), ESC gives 27.
# $3 says whether a sound is to be heard: "sound" or "silence".
run_case()
{
    local name=$1 folder=$2 hearing=$3
    folder_state "$folder" >"$E2E_TMP/before"
    e2e_start_program "$folder"
    e2e_wait_program_window
    e2e_wait_scene WATER
    e2e_wait_focus_settled
    if [ "$hearing" = sound ]; then
        e2e_wait_until 10 played_sound || e2e_fail "$name: SPACE's cue was never played"
    else
        # A cue starts on the pass that changes the scene, before the new
        # scene's first frame; a second on, the device would have written it.
        sleep 1
        [ "$SDL_AUDIODRIVER" != disk ] || ! played_sound || e2e_fail "$name: a sound was played"
    fi
    e2e_press_escape
    e2e_expect_farewell 27 "$name: the exit code after ESC"
    # SDL's disk driver announces itself; that is the stand-in, not the program.
    grep -v -e '^CRITICAL: You are using the SDL disk i/o audio driver!$' \
        -e '^CRITICAL:  Writing to file \[.*\]\.$' "$E2E_TMP/stderr.log" >"$E2E_TMP/said"
    [ -s "$E2E_TMP/said" ] && e2e_fail "$name: standard error says: $(cat "$E2E_TMP/said")"
    folder_state "$folder" | diff "$E2E_TMP/before" - >"$E2E_TMP/changes" ||
        e2e_fail "$name: the working folder changed: $(cat "$E2E_TMP/changes")"
    e2e_log "$name: ok"
}

# Each case gets its own output file, so nothing from the one before counts.
use_disk_audio()
{
    export SDL_AUDIODRIVER=disk
    export SDL_DISKAUDIOFILE="$E2E_TMP/played-$1.raw"
}

e2e_copy_run_folder no-sounds
rm -r "$E2E_COPY/Sounds"
use_disk_audio no-sounds
run_case "no Sounds folder" "$E2E_COPY" silence

e2e_copy_run_folder sounds-file
rm -r "$E2E_COPY/Sounds"
printf 'not a folder\n' >"$E2E_COPY/Sounds"
use_disk_audio sounds-file
run_case "a file named Sounds" "$E2E_COPY" silence

e2e_copy_run_folder empty-wavs
for wav in "$E2E_COPY"/Sounds/*.wav; do : >"$wav"; done
use_disk_audio empty-wavs
run_case "empty WAV files" "$E2E_COPY" silence

e2e_copy_run_folder garbled-wavs
for wav in "$E2E_COPY"/Sounds/*.wav; do printf 'RIFF\377\377\377\377WAVEnot a sound\n' >"$wav"; done
use_disk_audio garbled-wavs
run_case "garbled WAV files" "$E2E_COPY" silence

e2e_copy_run_folder no-device
export SDL_AUDIODRIVER=nosuchdriver
run_case "no audio device" "$E2E_COPY" silence

# As root the modes stop nothing, and the folder's state shows any write.
e2e_copy_run_folder read-only
chmod -R a-w "$E2E_COPY"
use_disk_audio read-only
run_case "a read-only working folder" "$E2E_COPY" sound

e2e_pass
