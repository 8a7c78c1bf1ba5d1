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
E2E_XORG_PID=
E2E_WM_PID=
E2E_PID=
E2E_EXIT_CODE=
E2E_WINDOW=
E2E_BOX=
E2E_HELPER_PIDS=()
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
    local index
    for ((index = ${#E2E_HELPER_PIDS[@]} - 1; index >= 0; index--)); do
        e2e_stop_process "${E2E_HELPER_PIDS[index]}"
    done
    e2e_stop_process "$E2E_WM_PID"
    e2e_stop_process "$E2E_XVFB_PID"
    e2e_stop_process "$E2E_XORG_PID"
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

# Starts a helper in the background (a sound server, a recorder, a busy
# loop); it is stopped when the test ends, the last started first. Sets
# E2E_HELPER_PID.
e2e_start_helper()
{
    "$@" &
    E2E_HELPER_PID=$!
    E2E_HELPER_PIDS+=("$E2E_HELPER_PID")
    e2e_track "$E2E_HELPER_PID"
}

# A private X server of the given size (e.g. 800x600x16) on a display number
# it picks itself, so tests can run side by side. -noreset: SDL must never
# connect during a server reset. -r: no auto-repeat, so a held key is one
# press and one release however long a loaded machine stretches the hold (a
# repeated ESC would otherwise reach the farewell box and dismiss it).
e2e_start_xvfb()
{
    local numberFile="$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 "$1" -noreset -nolisten tcp -r 3>"$numberFile" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_track "$E2E_XVFB_PID"
    e2e_wait_until 10 test -s "$numberFile" || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n1 "$numberFile")"
    e2e_wait_until 10 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb on $DISPLAY does not answer"
}

# True once the window manager has handled a request of ours in its event
# loop: it is asked for a number of desktops other than the current one.
e2e_window_manager_answers()
{
    local count
    count=$(xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | awk '/= / { print $3 }')
    [ -n "$count" ] || return 1
    [ -n "${E2E_WM_DESKTOPS:-}" ] || E2E_WM_DESKTOPS=$((count == 1 ? 2 : 1))
    [ "$count" = "$E2E_WM_DESKTOPS" ] && return 0
    wmctrl -n "$E2E_WM_DESKTOPS" 2>/dev/null
    return 1
}

# A real X server, where display modes really change: Xorg with the dummy
# driver and the configuration tests/e2e/$1, on a display number it picks
# itself as Xvfb does (the server binds the number's abstract socket, which
# only one server can hold). It runs as root; the folder of extra
# configuration is an empty one of its own, so the machine's does not count.
e2e_start_xorg()
{
    local numberFile="$E2E_TMP/display" config
    config="$(dirname "$(realpath "${BASH_SOURCE[0]}")")/$1"
    command -v Xorg >/dev/null || e2e_skip "Xorg is not installed (xserver-xorg-core)"
    command -v xrandr >/dev/null || e2e_skip "xrandr is not installed (x11-xserver-utils)"
    [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || e2e_skip "the dummy driver is not installed"
    [ "$(id -u)" -eq 0 ] || e2e_skip "Xorg with the dummy driver needs root here"
    mkdir "$E2E_TMP/xorg.conf.d"
    Xorg -displayfd 3 -config "$config" -configdir "$E2E_TMP/xorg.conf.d" -noreset -nolisten tcp -novtswitch \
        -sharevts -logfile "$E2E_TMP/xorg.log" 3>"$numberFile" >"$E2E_TMP/xorg.out" 2>&1 &
    E2E_XORG_PID=$!
    e2e_track "$E2E_XORG_PID"
    e2e_wait_until 20 test -s "$numberFile" || e2e_fail "Xorg did not start: $(tail -n 20 "$E2E_TMP/xorg.out")"
    export DISPLAY=":$(head -n1 "$numberFile")"
    e2e_wait_until 10 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xorg on $DISPLAY does not answer"
}

# The desktop's whole RandR configuration as xrandr prints it: every
# output's mode, position and rotation, and the screen's size.
e2e_randr_configuration() { xrandr --current; }

# The mode of the first connected output, as WIDTHxHEIGHT.
e2e_current_mode()
{
    xrandr --current | awk '/ connected/ { for (i = 3; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) {
        sub(/\+.*/, "", $i); print $i; exit } }'
}

# Milliseconds since the epoch.
e2e_now_ms() { date +%s%3N; }

# Runs a command until it succeeds or $1 milliseconds pass; false on timeout.
e2e_wait_ms()
{
    local deadline=$(($(e2e_now_ms) + $1))
    shift
    until "$@"; do
        [ "$(e2e_now_ms)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

# Waits for the program's window and for the display to run 800 x 600.
e2e_wait_full_screen()
{
    e2e_wait_program_window
    e2e_wait_until 10 e2e_mode_is 800x600 || e2e_fail "the display runs $(e2e_current_mode), not 800x600"
}

e2e_mode_is() { [ "$(e2e_current_mode)" = "$1" ]; }

# A window manager, for what only one does: closing windows on request.
# It gets a home of its own (it writes a log there and would read a user's
# settings), and the program starts only once it answers requests: it
# announces itself before its event loop runs, and a window mapped in that
# gap can go unmanaged, leaving SDL waiting for ever for the map.
e2e_start_window_manager()
{
    command -v openbox >/dev/null || e2e_skip "openbox is not installed"
    command -v wmctrl >/dev/null || e2e_skip "wmctrl is not installed"
    command -v xprop >/dev/null || e2e_skip "xprop is not installed"
    mkdir -p "$E2E_TMP/home"
    env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_CONFIG_DIRS HOME="$E2E_TMP/home" \
        openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    e2e_track "$E2E_WM_PID"
    e2e_wait_until 10 wmctrl -m >/dev/null 2>&1 || e2e_fail "openbox did not start"
    e2e_wait_until 10 e2e_window_manager_answers || e2e_fail "openbox does not answer requests"
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

# Starts any command in the background in a folder, as a user's terminal
# would: SIGINT at its default, whatever this shell inherited. Sets E2E_PID.
e2e_start_command()
{
    local folder=$1
    shift
    (cd "$folder" && exec env --default-signal=INT "$@") >"$E2E_TMP/stdout.log" 2>"$E2E_TMP/stderr.log" &
    E2E_PID=$!
    e2e_track "$E2E_PID"
}

# A copy of the run folder's data in the scratch folder, named $1, to be
# spoilt by the test; sets E2E_COPY to its path.
e2e_copy_run_folder()
{
    E2E_COPY="$E2E_TMP/$1"
    mkdir -p "$E2E_COPY" && cp -a "$E2E_RUN_DIR/Graphics" "$E2E_RUN_DIR/Sounds" "$E2E_COPY/" ||
        e2e_fail "could not copy the run folder to $E2E_COPY"
}

# --- What is on the screen ------------------------------------------------
# The scenes are told apart by colour in a box left of the key-help panel and
# between the two title lines, where every scene draws at the initial view:
E2E_SCENE_BOX=430x460+100+40
E2E_PANEL_BOX=265x430+535+30   # the key-help panel, right of the scenes
E2E_SHOT_COUNT=0

# A screenshot into the scratch folder, numbered; sets E2E_SHOT to its path.
# Kept as the X server's own dump: ImageMagick reads it as it is, and making
# a PNG of every one would cost more than the rest of a check. Of the whole
# screen, or of the window E2E_SHOT_WINDOW names: a windowed run's picture,
# in which the scenes lie where they lie on a full screen.
e2e_take_shot()
{
    local source=(-root)
    [ -n "${E2E_SHOT_WINDOW:-}" ] && source=(-id "$E2E_SHOT_WINDOW")
    E2E_SHOT_COUNT=$((E2E_SHOT_COUNT + 1))
    E2E_SHOT="$E2E_TMP/shot-$E2E_SHOT_COUNT.xwd"
    xwd "${source[@]}" -silent >"$E2E_SHOT" || e2e_fail "could not take a screenshot"
}

# Colour measures of a box of a screenshot (WxH+X+Y), one line:
#   lit blue orange brown grey cx cy
# the first five the fractions of the box's pixels that are lit (any channel
# above 23 of 255: the black background is 0, and 16-bit colour keeps it so),
# blue-cyan (water, the planet's seas), orange-yellow (flame), brown (dirt,
# the stick) and grey (text, the funnel, the pool's tiles); cx, cy the lit
# pixels' centre of mass in screen pixels, -1 -1 when nothing is lit. Every
# other pixel of every other row is enough: the fractions come out within a
# few thousandths of the whole box's, at a quarter of the time.
e2e_measure()
{
    local geometry=$1 width height x y
    width=${geometry%%x*}; height=${geometry#*x}; height=${height%%+*}
    x=${geometry#*+}; y=${x#*+}; x=${x%%+*}
    width=$((width / 2)) height=$((height / 2))
    convert "$2" -crop "$geometry" +repage -sample "${width}x${height}!" -depth 8 rgb:- |
        od -An -v -tu1 -w3 |
        awk -v W="$width" -v X0="$x" -v Y0="$y" '
            { r = $1; g = $2; b = $3; n++
              max = r; if (g > max) max = g; if (b > max) max = b
              min = r; if (g < min) min = g; if (b < min) min = b
              if (max < 24) next
              lit++; sx += (n - 1) % W; sy += int((n - 1) / W)
              if (b > r + 40 && b > 70) blue++
              if (r > 150 && r > b + 90 && g > 40) orange++
              else if (r > g && g > b && r - b > 25 && max - min < 120) brown++
              if (max - min < 40 && max >= 60) grey++ }
            END { if (n == 0) { print "0 0 0 0 0 -1 -1"; exit }
                  printf "%.4f %.4f %.4f %.4f %.4f %d %d\n", lit / n, blue / n, orange / n,
                         brown / n, grey / n, lit ? X0 + 2 * sx / lit : -1, lit ? Y0 + 2 * sy / lit : -1 }'
}

# Which scene a screenshot shows: WATER, FIRE, EARTH, WIND or NONE. Measured
# in the scene box at the initial view (fractions of its pixels):
#   WATER  blue .066, orange 0, brown 0, grey .056
#   FIRE   orange .006, brown .009, blue 0, grey .0003, lit .021
#   EARTH  brown .24, blue .045-.051 (the planet), orange .004
#   WIND   grey .020-.022, brown .014-.017, blue 0, orange 0, lit .053
# The thresholds sit well inside those gaps, so the animation (flame,
# turning planet and funnel) never moves a scene across them.
e2e_scene_of()
{
    e2e_measure "$E2E_SCENE_BOX" "$1" | awk '{
        lit = $1; blue = $2; orange = $3; brown = $4; grey = $5
        if (brown >= 0.10 && blue >= 0.01) print "EARTH"
        else if (blue >= 0.03 && orange < 0.001 && brown < 0.01) print "WATER"
        else if (orange >= 0.002 && blue < 0.001 && brown < 0.05 && grey < 0.005) print "FIRE"
        else if (grey >= 0.005 && blue < 0.001 && orange < 0.001 && lit < 0.15) print "WIND"
        else print "NONE" }'
}

# Waits up to $2 seconds (default 15) for the screen to show scene $1; sets
# E2E_SHOT to that screenshot. Fails naming what was on screen instead.
e2e_wait_scene()
{
    local deadline=$((SECONDS + ${2:-15})) shown
    while true; do
        e2e_take_shot
        shown=$(e2e_scene_of "$E2E_SHOT")
        [ "$shown" = "$1" ] && return 0
        e2e_program_running || e2e_fail "the program ended while $1 was awaited: $(cat "$E2E_TMP/stderr.log")"
        [ "$SECONDS" -lt "$deadline" ] ||
            e2e_fail "the screen shows $shown, not $1 ($(e2e_measure "$E2E_SCENE_BOX" "$E2E_SHOT"))"
        sleep 0.2
    done
}

# Waits until the picture in box $1 stops changing (two screenshots in a row
# measure the same), up to 10 s; sets E2E_MEASURE to the measures and
# E2E_SHOT to the screenshot. For still scenes only.
e2e_settled_measure()
{
    local deadline=$((SECONDS + 10)) previous=
    while true; do
        e2e_take_shot
        E2E_MEASURE=$(e2e_measure "$1" "$E2E_SHOT")
        [ "$E2E_MEASURE" = "$previous" ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "the picture did not settle: $E2E_MEASURE"
        previous=$E2E_MEASURE
        sleep 0.15
    done
}

# Holds a key down while a step runs, the step a wait for what the key does,
# then lets it go. A key acts on the idle passes it is held through, and on
# a loaded machine one pass can outlast a fixed short hold; held like this,
# no press goes unseen. For SPACE, which acts once per press however long
# it is held.
e2e_hold_key_during()
{
    local key=$1 status
    shift
    xdotool keydown "$key" || e2e_fail "xdotool could not press $key"
    "$@"
    status=$?
    xdotool keyup "$key"
    return "$status"
}

e2e_program_window_gone() { ! xdotool search --onlyvisible --pid "$E2E_PID" >/dev/null 2>&1; }

# Whether the X input focus is on the program's window. Without a window
# manager the focus follows the pointer, which is over the full-screen window.
e2e_program_has_x_focus()
{
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null) || return 0  # PointerRoot
    [ "$focus" = "$E2E_WINDOW" ]
}

# The scene after $1 in SPACE's order.
e2e_next_scene()
{
    case $1 in
    WATER) echo FIRE ;;
    FIRE) echo EARTH ;;
    EARTH) echo WIND ;;
    *) echo WATER ;;
    esac
}

# One SPACE press, held until the scene after the one on the screen shows.
e2e_step_scene()
{
    local deadline=$((SECONDS + 15)) shown
    while true; do
        e2e_take_shot
        shown=$(e2e_scene_of "$E2E_SHOT")
        [ "$shown" != NONE ] && break
        e2e_program_running || e2e_fail "the program ended before showing a scene: $(cat "$E2E_TMP/stderr.log")"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "no scene to step from ($(e2e_measure "$E2E_SCENE_BOX" "$E2E_SHOT"))"
        sleep 0.2
    done
    e2e_hold_key_during space e2e_wait_scene "$(e2e_next_scene "$shown")" 10
}

# Waits until the program has retrieved its last focus message; a test calls
# it after the window's last focus change (its start, a restore) and before
# ESC. The exit code after ESC is the parameter of the last message
# retrieved, and SDL hands a focus change over 200 ms late when it follows a
# display-mode change (showing or restoring the full-screen window sets the
# mode), at its first look at the X queue after that and behind the keys read
# in the same look: on a loaded machine ESC's key-down can come first, and
# the exit code is the focus message's 1. So: the X focus is on the window; a
# SPACE press that acts shows that the program has read the focus change from
# X; a second one, pressed after SDL's 200 ms, shows that it has looked at
# its queue since, and so has taken the message. It leaves the program two
# scenes on; keys pressed afterwards change no focus.
e2e_wait_focus_settled()
{
    e2e_wait_until 10 e2e_program_has_x_focus || e2e_fail "the program window never got the X focus"
    e2e_step_scene
    sleep 0.2
    e2e_step_scene
}

# ESC, held until the program's window goes (the farewell box follows), on a
# program whose focus has settled. Without auto-repeat the box sees only
# ESC's release, which does not dismiss it.
e2e_press_escape()
{
    xdotool keydown Escape || e2e_fail "xdotool could not press Escape"
    e2e_wait_until 15 e2e_program_window_gone
    local status=$?
    xdotool keyup Escape
    [ "$status" -eq 0 ] || e2e_fail "ESC held for 15 s left the program window on the screen"
}

# The farewell box appears and is dismissed, then the program ends with the
# given code: e2e_expect_farewell CODE WHAT
e2e_expect_farewell()
{
    e2e_wait_box "Thank You!"
    e2e_dismiss_box "$E2E_BOX"
    e2e_wait_exit 10
    e2e_expect_equal "$E2E_EXIT_CODE" "$1" "$2"
}
