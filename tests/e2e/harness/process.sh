# process.sh — processes and deadlines: failing, skipping and passing, bounded
# waits, and the program and helpers a test starts, always reaped (by a
# watchdog too, should the test itself be killed).
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/marivelt-e2e-${E2E_NAME//[^A-Za-z0-9_-]/_}-XXXXXX")
E2E_PID= E2E_EXIT_CODE= E2E_HELPER_PIDS=() E2E_PROGRAM_ENV=()  # env arguments for the program

e2e_log() { printf '%s: %s\n' "$E2E_NAME" "$*" >&2; }
e2e_skip() { e2e_log "SKIP: $*"; exit 77; }  # CTest's "skipped"
e2e_pass() { e2e_log "passed"; exit 0; }
e2e_expect_equal() { [ "$1" = "$2" ] || e2e_fail "$3: expected \"$2\", got \"$1\""; }
e2e_fail()
{
    e2e_log "FAIL: $*"
    e2e_screenshot "$E2E_TMP/failure.png" 2>/dev/null &&
        e2e_log "the screen at the failure: $E2E_TMP/failure.png" && E2E_KEEP_TMP=1
    exit 1
}

e2e_require_tools()
{
    local tool
    for tool in "$@"; do command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"; done
}
# The program needs its Graphics (and, where named, its Sounds).
e2e_require_data()
{
    local folder
    for folder in Graphics "$@"; do [ -d "$E2E_RUN_DIR/$folder" ] || e2e_skip "no $E2E_RUN_DIR/$folder: build the assets"; done
}

e2e_now_ms() { date +%s%3N; }

# Runs a command until it succeeds or $1 milliseconds pass; false on timeout.
e2e_wait()
{
    local deadline=$(($(e2e_now_ms) + $1))
    shift
    until "$@"; do
        [ "$(e2e_now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

e2e_process_gone() { ! kill -0 "$1" 2>/dev/null; }

# Ends a process politely (waking it, should it be a frozen sound server),
# then for good, and reaps it.
e2e_stop_process()
{
    [ -n "$1" ] || return 0
    if kill -TERM "$1" 2>/dev/null; then
        kill -CONT "$1" 2>/dev/null
        e2e_wait 2000 e2e_process_gone "$1" || kill -KILL "$1"
    fi
    wait "$1" 2>/dev/null
    return 0
}

e2e_cleanup()
{
    local index
    e2e_stop_process "$E2E_PID"
    for ((index = ${#E2E_HELPER_PIDS[@]} - 1; index >= 0; index--)); do
        e2e_stop_process "${E2E_HELPER_PIDS[index]}"
    done
    kill -KILL "$E2E_WATCHDOG_PID" 2>/dev/null && wait "$E2E_WATCHDOG_PID" 2>/dev/null
    [ -n "${E2E_KEEP_TMP:-}" ] || rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
trap 'exit 2' INT TERM
(
    while kill -0 $$ 2>/dev/null; do sleep 1; done
    [ -f "$E2E_TMP/pids" ] && xargs -r kill -KILL <"$E2E_TMP/pids"
    rm -rf "$E2E_TMP"
) >/dev/null 2>&1 &
E2E_WATCHDOG_PID=$!

# Starts a helper in the background (a server, a recorder, a busy loop),
# stopped when the test ends, the last started first; sets E2E_HELPER_PID.
e2e_start_helper()
{
    "$@" &
    E2E_HELPER_PID=$!
    E2E_HELPER_PIDS+=("$E2E_HELPER_PID")
    echo "$E2E_HELPER_PID" >>"$E2E_TMP/pids"
}

# Starts the program (or E2E_LAUNCHER) with the given arguments in the run
# folder (or E2E_FOLDER) as a terminal would: SIGINT and SIGQUIT at their
# defaults, whatever this shell inherited. Sets E2E_PID.
e2e_start_program()
{
    (cd "${E2E_FOLDER:-$E2E_RUN_DIR}" &&
        exec env --default-signal=INT,QUIT "${E2E_PROGRAM_ENV[@]}" "${E2E_LAUNCHER:-$E2E_PROGRAM}" "$@") \
        >"$E2E_TMP/stdout.log" 2>"$E2E_TMP/stderr.log" &
    E2E_PID=$!
    echo "$E2E_PID" >>"$E2E_TMP/pids"
}

# The program is run from a copy of its data whose Fire2.bmp holds line $1,
# or with no $1 is missing.
e2e_spoil_texture()
{
    E2E_FOLDER="$E2E_TMP/spoilt"
    [ -d "$E2E_FOLDER/Graphics" ] || { mkdir -p "$E2E_FOLDER" && cp -a "$E2E_RUN_DIR/Graphics" "$E2E_FOLDER/"; } ||
        e2e_fail "could not copy the Graphics"
    rm -f "$E2E_FOLDER/Graphics/Fire2.bmp"
    [ $# -eq 0 ] || printf '%s\n' "$1" >"$E2E_FOLDER/Graphics/Fire2.bmp"
}

e2e_program_running() { [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; }
e2e_program_ended() { ! e2e_program_running; }
e2e_said() { cat "$E2E_TMP/stderr.log"; }

# Standard error less SDL's disk driver's and, on Wayland, libdecor's words.
e2e_said_itself()
{
    grep -v -e '^CRITICAL: You are using the SDL disk i/o audio driver!$' -e '^CRITICAL:  Writing to file \[.*\]\.$' \
        -e '^Couldn.t open plugin directory' -e '^No plugins found' "$E2E_TMP/stderr.log"
}

# Waits up to $1 ms for the program to end and sets E2E_EXIT_CODE; one still
# running then is killed, and the test fails.
e2e_wait_exit()
{
    e2e_wait "$1" e2e_program_ended || { e2e_stop_process "$E2E_PID"; E2E_PID=; e2e_fail "the program did not end within $1 ms"; }
    wait "$E2E_PID"
    E2E_EXIT_CODE=$? E2E_PID=
}
