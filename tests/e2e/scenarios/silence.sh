# Sound problems cost the sound and nothing else: with no Sounds folder, a
# file in its place, empty or garbled WAVs, or no audio device, SPACE steps
# the scenes in silence, ESC gives 27, and standard error says nothing. In a
# read-only folder it runs as usual: silence until SPACE, then its cue. The
# working folder is always left as it was found.
e2e_require_tools xwd convert od md5sum
e2e_require_data Sounds

# Everything about a folder but access times.
folder_state()
{
    (cd "$1" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort &&
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0r md5sum)
}

# A run in a copy of the run folder that $3 spoils: $1 names the case, $2 is
# "sound" or "silence", further words are settings for the program.
run_case()
{
    local name=$1 hearing=$2 settings=("${E2E_PROGRAM_ENV[@]}")
    E2E_FOLDER="$E2E_TMP/case"
    rm -rf "$E2E_FOLDER" "$E2E_TMP/played.raw"
    mkdir -p "$E2E_FOLDER" && cp -a "$E2E_RUN_DIR/Graphics" "$E2E_RUN_DIR/Sounds" "$E2E_FOLDER/" &&
        (cd "$E2E_FOLDER" && eval "$3") || e2e_fail "$name: could not make the folder"
    folder_state "$E2E_FOLDER" >"$E2E_TMP/before"
    E2E_PROGRAM_ENV+=("${@:4}")
    e2e_start_program
    E2E_PROGRAM_ENV=("${settings[@]}")
    e2e_wait_shown
    e2e_wait_scene WATER shot
    ! e2e_played_sound || e2e_fail "$name: sound before any key"  # the device plays silence until a cue
    e2e_settle_focus  # SPACE, twice
    if [ "$hearing" = sound ]; then
        e2e_wait 10000 e2e_played_sound || e2e_fail "$name: SPACE's cue was never played"
    else
        sleep 1  # a cue starts before the new scene's first frame
        ! e2e_played_sound || e2e_fail "$name: a sound was played"
    fi
    e2e_press_escape
    e2e_expect_end "Thank You!" 27 "$name"
    [ -z "$(e2e_said_itself)" ] || e2e_fail "$name: standard error says: $(e2e_said_itself)"
    folder_state "$E2E_FOLDER" | diff "$E2E_TMP/before" - >"$E2E_TMP/changes" ||
        e2e_fail "$name: the working folder changed: $(cat "$E2E_TMP/changes")"
    chmod -R u+w "$E2E_FOLDER"
    e2e_log "$name: ok"
}

run_case "no Sounds folder" silence 'rm -r Sounds'
run_case "a file named Sounds" silence 'rm -r Sounds && printf "not a folder\n" >Sounds'
run_case "empty WAV files" silence 'for wav in Sounds/*.wav; do : >"$wav"; done'
run_case "garbled WAV files" silence 'for wav in Sounds/*.wav; do printf "RIFF\377\377\377\377WAVEnot a sound\n" >"$wav"; done'
run_case "no audio device" silence : SDL_AUDIODRIVER=nosuchdriver
run_case "a read-only working folder" sound 'chmod -R a-w .'  # as root, the folder's state shows any write
e2e_pass
