# lib.sh — shared steps of the end-to-end tests: a private Xvfb, the program
# started in its run folder, its window and message boxes found and dismissed,
# bounded waits, screenshots, and cleanup that reaps everything started.
#
# A test script sources this file with the program and the run folder as its
# two arguments, then calls the steps below. Every wait is bounded. What a
# test starts is stopped when it ends (TERM, then KILL), and a watchdog stops
# it too should the test itself be killed, so nothing outlives a test.

set -u

E2E_PROGRAM=$(realpath "$1")
E2E_RUN_DIR=$(realpath "$2")
E2E_NAME=$(basename "$0" .sh)
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/marivelt-e2e-$E2E_NAME-XXXXXX")
E2E_XVFB_PID=
E2E_WM_PID=
E2E_PID=
E2E_EXIT_CODE=
E2E_WINDOW=
E2E_BOX=
export SDL_VIDEODRIVER=x11    # a missing display fails loudly, no fallback
export SDL_AUDIODRIVER=dummy  # no sound card here
unset WAYLAND_DISPLAY

E2E_SKIP=77  # CTest's "skipped"

e2e_log() { printf '%s: %s\n' "$E2E_NAME" "$*" >&2; }

e2e_screenshot() { xwd -root -silent | convert xwd:- "$1"; }

e2e_fail()
{
    e2e_log "FAIL: $*"
    if [ -n "${DISPLAY:-}" ] && e2e_screenshot "$E2E_TMP/failure.png" 2>/dev/null; then
        e2e_log "the screen at the failure: $E2E_TMP/failure.png"
        E2E_KEEP_TMP=1
    fi
    exit 1
}

e2e_skip() { e2e_log "SKIP: $*"; exit "$E2E_SKIP"; }

e2e_pass() { e2e_log "passed"; exit 0; }

e2e_expect_equal()
{
    [ "$1" = "$2" ] || e2e_fail "$3: expected \"$2\", got \"$1\""
}

# Ends a process politely, then for good, and reaps it.
e2e_stop_process()
{
    local pid=$1
    [ -n "$pid" ] || return 0
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null
        for _ in $(seq 20); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    return 0
}

# Remembers a started process for the watchdog.
e2e_track() { printf '%s\n' "$1" >>"$E2E_TMP/pids"; }

e2e_cleanup()
{
    e2e_stop_process "$E2E_PID"
    e2e_stop_process "$E2E_WM_PID"
    e2e_stop_process "$E2E_XVFB_PID"
    kill -KILL "$E2E_WATCHDOG_PID" 2>/dev/null
    wait "$E2E_WATCHDOG_PID" 2>/dev/null
    [ -n "${E2E_KEEP_TMP:-}" ] || rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
trap 'exit 2' INT TERM

# Should this script be killed outright (a CTest timeout), its processes
# must not outlive it.
(
    while kill -0 $$ 2>/dev/null; do sleep 1; done
    [ -f "$E2E_TMP/pids" ] && xargs -r kill -KILL <"$E2E_TMP/pids"
    rm -rf "$E2E_TMP"
) >/dev/null 2>&1 &
E2E_WATCHDOG_PID=$!

# Runs a command until it succeeds or `seconds` pass; false on timeout.
e2e_wait_until()
{
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# A private X server of the given size (e.g. 800x600x16) on a display number
# it picks itself, so tests can run side by side. -noreset: SDL must never
# connect during a server reset.
e2e_start_xvfb()
{
    local numberFile="$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 "$1" -noreset -nolisten tcp 3>"$numberFile" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_track "$E2E_XVFB_PID"
    e2e_wait_until 10 test -s "$numberFile" || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n1 "$numberFile")"
    e2e_wait_until 10 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb on $DISPLAY does not answer"
}

# A window manager, for what only one does: closing windows on request.
e2e_start_window_manager()
{
    command -v openbox >/dev/null || e2e_skip "openbox is not installed"
    command -v wmctrl >/dev/null || e2e_skip "wmctrl is not installed"
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    e2e_track "$E2E_WM_PID"
    e2e_wait_until 10 wmctrl -m >/dev/null 2>&1 || e2e_fail "openbox did not start"
}

# The screen's size as WIDTHxHEIGHT.
e2e_screen_size() { xdpyinfo | awk '/dimensions:/ { print $2; exit }'; }

# The program needs its Graphics to get as far as its window.
e2e_require_graphics()
{
    [ -d "$E2E_RUN_DIR/Graphics" ] || e2e_skip "no Graphics in $E2E_RUN_DIR: build the assets first"
}

# Starts the program in the background, in the run folder unless told otherwise.
e2e_start_program()
{
    local folder=${1:-$E2E_RUN_DIR}
    (cd "$folder" && exec "$E2E_PROGRAM") >"$E2E_TMP/stdout.log" 2>"$E2E_TMP/stderr.log" &
    E2E_PID=$!
    e2e_track "$E2E_PID"
}

e2e_program_running() { kill -0 "$E2E_PID" 2>/dev/null; }
e2e_program_ended() { ! e2e_program_running; }

# Waits for the program's own window, the one carrying its pid, visible;
# sets E2E_WINDOW.
e2e_wait_program_window()
{
    local deadline=$((SECONDS + 15))
    E2E_WINDOW=
    while [ -z "$E2E_WINDOW" ]; do
        e2e_program_running || e2e_fail "the program ended before showing its window: $(cat "$E2E_TMP/stderr.log")"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "the program window did not appear"
        E2E_WINDOW=$(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null | head -n1)
        [ -n "$E2E_WINDOW" ] || sleep 0.1
    done
}

# The id of a window named exactly $1. xwininfo reads the names SDL gives
# its message boxes; xdotool's --name search cannot.
e2e_window_named() { xwininfo -name "$1" 2>/dev/null | awk '/Window id:/ { print $4; exit }'; }

e2e_window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Waits for a message box captioned $1 on screen; sets E2E_BOX.
e2e_wait_box()
{
    local deadline=$((SECONDS + 15))
    while true; do
        E2E_BOX=$(e2e_window_named "$1")
        if [ -n "$E2E_BOX" ] && e2e_window_viewable "$E2E_BOX"; then
            return 0
        fi
        e2e_program_running || e2e_fail "the program ended without a \"$1\" box: $(cat "$E2E_TMP/stderr.log")"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "no \"$1\" box appeared"
        sleep 0.1
    done
}

# Return is the box's OK button.
e2e_dismiss_box() { xdotool key --window "$1" Return || e2e_fail "could not press Return in box $1"; }

# Waits up to $1 seconds for the program to end and sets E2E_EXIT_CODE; one
# still running then is killed, and the test fails.
e2e_wait_exit()
{
    if ! e2e_wait_until "$1" e2e_program_ended; then
        e2e_stop_process "$E2E_PID"
        E2E_PID=
        e2e_fail "the program did not end within $1 s"
    fi
    wait "$E2E_PID"
    E2E_EXIT_CODE=$?
    E2E_PID=
}

# Holds a key on the keyboard (XTEST: it goes to the focused window). Held
# long enough to span idle passes: a key pressed and released between two
# passes does nothing.
e2e_hold_key() { xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1"; }
