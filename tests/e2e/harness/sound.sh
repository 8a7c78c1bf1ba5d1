# sound.sh — what the program plays into: nothing (SDL's dummy driver), SDL's
# disk driver (what was played, in a file), a private PulseAudio or PipeWire
# (with wireplumber and its PulseAudio service) recording into a null sink
# "rec", and a PulseAudio that stops answering (SIGSTOP) or dies.
E2E_SOUND_LOGS=()  # the running sound server's logs, one a process

e2e_start_pulseaudio()
{
    e2e_require_tools pulseaudio pactl parec pacat
    export HOME="$XDG_RUNTIME_DIR" PULSE_CLIENTCONFIG="$XDG_RUNTIME_DIR/client.conf"
    unset PULSE_SERVER PULSE_SINK
    printf 'autospawn = no\n' >"$PULSE_CLIENTCONFIG"  # no client starts a server of its own
    e2e_start_helper pulseaudio -n --daemonize=no --exit-idle-time=-1 --load="module-null-sink sink_name=rec" \
        --load=module-native-protocol-unix --log-target=file:"$E2E_TMP/pulse.log"
    E2E_SOUND_SERVER=$E2E_HELPER_PID E2E_SOUND_LOGS=("$E2E_TMP/pulse.log")
    e2e_wait 15000 pactl info >/dev/null 2>&1 || e2e_fail "PulseAudio did not start: $(cat "$E2E_TMP/pulse.log")"
}

# PipeWire, wireplumber (it links streams to sinks; on the runner's session
# bus, its Bluetooth off, which quits it without logind) and pipewire-pulse.
e2e_start_pipewire()
{
    local server
    e2e_require_tools pipewire wireplumber pipewire-pulse pactl parec pacat
    export HOME="$XDG_RUNTIME_DIR" && mkdir -m 700 "$XDG_RUNTIME_DIR/pulse"  # pipewire-pulse fails should a client make it first
    mkdir -p "$E2E_TMP/config/wireplumber/bluetooth.lua.d"
    echo 'bluez_monitor.enabled = false' >"$E2E_TMP/config/wireplumber/bluetooth.lua.d/51-no-bluetooth.lua"
    for server in pipewire wireplumber pipewire-pulse; do
        XDG_CONFIG_HOME="$E2E_TMP/config" e2e_start_helper "$server" >"$E2E_TMP/$server.log" 2>&1
        E2E_SOUND_LOGS+=("$E2E_TMP/$server.log")
        [ "$server" != pipewire ] || e2e_wait 10000 test -S "$XDG_RUNTIME_DIR/pipewire-0" || e2e_fail "PipeWire did not start"
    done
    e2e_wait 15000 pactl info >/dev/null 2>&1 || e2e_fail "pipewire-pulse did not start"
    pactl load-module module-null-sink sink_name=rec >/dev/null && pactl set-default-sink rec || e2e_fail "no sink made"
}

# The sound of environment $1, and the program told which driver to use.
e2e_start_sound()
{
    E2E_SOUND=$1
    case $1 in
    none) E2E_PROGRAM_ENV+=(SDL_AUDIODRIVER=dummy) ;;
    disk) E2E_PROGRAM_ENV+=(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_TMP/played.raw") ;;
    pulse* | frozen* | killed*) e2e_runtime_folder && e2e_start_pulseaudio && E2E_PROGRAM_ENV+=(SDL_AUDIODRIVER=pulseaudio) ;;
    pipewire) e2e_runtime_folder && e2e_start_pipewire && E2E_PROGRAM_ENV+=(SDL_AUDIODRIVER=pipewire) ;;
    pipewire_pulse) e2e_runtime_folder && e2e_start_pipewire && E2E_PROGRAM_ENV+=(SDL_AUDIODRIVER=pulseaudio) ;;
    *) e2e_fail "no sound environment \"$1\"" ;;
    esac
}

# The error lines of the sound server's logs (PulseAudio's "E:", PipeWire's
# "[E]", wireplumber's "E" and "C"), and a line for each log that is missing.
e2e_sound_server_errors()
{
    local log
    [ ${#E2E_SOUND_LOGS[@]} -gt 0 ] || echo "no sound server's log"
    for log in "${E2E_SOUND_LOGS[@]}"; do
        [ -f "$log" ] || echo "no $log"
        grep -s -E '^(E:|\[E\]|[EC] [0-9])' "$log"
    done
}

# Whether SDL's disk driver has written anything but silence (S16 zeros).
e2e_played_sound() { [ "$(tr -d '\000' <"$E2E_TMP/played.raw" 2>/dev/null | head -c1 | wc -c)" -gt 0 ]; }

# The server at a start (frozen, or answering: thawed, started anew after a
# kill), and what befalls it while the program runs.
e2e_sound_before_start()
{
    case $E2E_SOUND in
    frozen_before) kill -STOP "$E2E_SOUND_SERVER" ;;
    frozen_during) kill -CONT "$E2E_SOUND_SERVER" ;;
    killed_during) kill -0 "$E2E_SOUND_SERVER" 2>/dev/null || e2e_start_pulseaudio ;;
    esac
}
e2e_sound_during_run()
{
    case $E2E_SOUND in
    frozen_during) kill -STOP "$E2E_SOUND_SERVER" ;;
    killed_during) kill -KILL "$E2E_SOUND_SERVER" && wait "$E2E_SOUND_SERVER" 2>/dev/null ;;
    esac
}
