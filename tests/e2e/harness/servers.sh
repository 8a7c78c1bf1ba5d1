# servers.sh — the desktop of an environment (environments.sh): Xvfb, Xorg
# with the dummy driver (modes really change), openbox (also one killed, and
# one that never maps the demo), weston, mutter and KWin with or without
# Xwayland: each on a display of its own, so tests run side by side.
# E2E_HOST_DISPLAY is the X server tests type into and take pictures of
# (under a compositor, its output window's); DISPLAY is the X server the
# demo's X windows and boxes are on, where it has one.

# Starts an X server (it writes its display number to descriptor 3); waits
# up to $1 ms for it to answer.
e2e_start_x_server()
{
    local patience=$1 number="$E2E_TMP/display.$2"
    shift
    e2e_start_helper "$@" -displayfd 3 3>"$number" >"$E2E_TMP/$1.log" 2>&1
    e2e_wait "$patience" test -s "$number" || e2e_fail "$1 did not start: $(tail -n 20 "$E2E_TMP/$1.log")"
    export DISPLAY=":$(head -n1 "$number")"
    E2E_HOST_DISPLAY=$DISPLAY
    e2e_wait 10000 xdpyinfo >/dev/null 2>&1 || e2e_fail "$1 on $DISPLAY does not answer"
}

# -noreset: SDL must never connect during a server reset. -r: no key repeat,
# so a held key is one press and one release however long a loaded machine
# stretches the hold (a repeated ESC would reach the farewell box).
e2e_start_xvfb() { e2e_start_x_server 10000 Xvfb -screen 0 "$1" -noreset -nolisten tcp -r; }

# Xorg with tests/e2e/$1, as root, none of the machine's configuration.
e2e_start_xorg()
{
    e2e_require_tools Xorg xrandr xset
    [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || e2e_skip "the dummy driver is not installed"
    [ "$(id -u)" -eq 0 ] || e2e_skip "Xorg with the dummy driver needs root here"
    mkdir -p "$E2E_TMP/xorg.conf.d"
    e2e_start_x_server 20000 Xorg -config "$E2E_DIR/$1" -configdir "$E2E_TMP/xorg.conf.d" -noreset -nolisten tcp \
        -novtswitch -sharevts -logfile "$E2E_TMP/xorg.server.log"
    xset r off  # no key repeat, as on Xvfb
}

# True once openbox has handled a request of ours in its event loop: it is
# asked for a number of desktops other than the current one.
e2e_window_manager_answers()
{
    local count
    count=$(xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | awk '/= / { print $3 }')
    [ -n "$count" ] || return 1
    [ -n "${E2E_WM_DESKTOPS:-}" ] || E2E_WM_DESKTOPS=$((count == 1 ? 2 : 1))
    [ "$count" = "$E2E_WM_DESKTOPS" ] || { wmctrl -n "$E2E_WM_DESKTOPS" 2>/dev/null; false; }
}

# openbox with a home of its own (it writes a log there and would read a
# user's settings). The program starts only once it answers requests: it
# announces itself before its event loop runs, and a window mapped in that
# gap goes unmanaged.
e2e_start_openbox()
{
    e2e_require_tools openbox wmctrl xprop
    mkdir -p "$E2E_TMP/home"
    e2e_start_helper env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_CONFIG_DIRS \
        HOME="$E2E_TMP/home" openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1
    e2e_wait 10000 e2e_window_manager_answers || e2e_fail "openbox does not answer requests"
}

# A window manager that maps every window but the demo's, giving each the
# focus (tests/e2e/stuck_manager.cpp, built into E2E_STUCK_MANAGER).
e2e_start_stuck_manager()
{
    e2e_start_helper "$E2E_STUCK_MANAGER" "$E2E_TMP/stuck.log"
    e2e_wait 10000 grep -q '^managing' "$E2E_TMP/stuck.log" || e2e_fail "the stuck window manager did not start"
}

e2e_start_window_manager()
{
    case $E2E_MANAGER in
    openbox) e2e_start_openbox ;;
    # Killed the way a crash would: its check window's id stays on the root window.
    killed) e2e_start_openbox && kill -KILL "$E2E_HELPER_PID" && wait "$E2E_HELPER_PID" 2>/dev/null ;;
    stuck) e2e_start_stuck_manager ;;
    esac
}

# A runtime folder of the test's own (mode 700, as servers insist) for the
# compositors' sockets and the sound servers'.
e2e_runtime_folder() { export XDG_RUNTIME_DIR="$E2E_TMP/runtime"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"; }

# A desktop colour the program never shows (weston's background, swaybg's on KWin).
E2E_DESKTOP_COLOUR="#ff00ff"
E2E_WAYLAND_SOCKET=marivelt-e2e

# A compositor's output: its one window on the test's Xvfb.
e2e_output_window() { xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1; exit }' | grep .; }

# True once a new screenshot is the same as the one before (in the variable
# named $1) and its centre is not black, as no compositor's desktop is: it
# is drawn. E2E_DESKTOP_SHOT, the bare desktop, is the environment's from
# then on.
e2e_desktop_drawn()
{
    ! e2e_new_shot_differs "$1" && [ "$(convert "${!1}" -format '%[fx:p{w/2,h/2}.intensity > 0.02]' info:)" = 1 ] &&
        E2E_DESKTOP_SHOT=${!1}
}

# Waits for compositor $1 (its log $E2E_TMP/$1.log) to take
# clients: its socket made, its output window focused (keys typed on the
# Xvfb reach the client it has focused) with the pointer on it, left of the
# middle (where a letterboxed picture has a bar), its desktop drawn.
e2e_wait_compositor()
{
    local output shot=
    e2e_wait 30000 test -S "$XDG_RUNTIME_DIR/$E2E_WAYLAND_SOCKET" || e2e_fail "$1 did not start: $(tail -n 20 "$E2E_TMP/$1.log")"
    e2e_wait 10000 e2e_output_window >/dev/null || e2e_fail "$1 shows no output window"
    output=$(e2e_output_window)
    xdotool windowfocus --sync "$output" mousemove --window "$output" --sync 100 300 ||
        e2e_fail "could not focus $1's window"
    e2e_wait 20000 e2e_desktop_drawn shot || e2e_fail "$1 did not draw its desktop: $(tail -n 20 "$E2E_TMP/$1.log")"
}

# Waits for the compositor's Xwayland on display $1 (with Xauthority $2, if
# any) to answer; it becomes E2E_XWAYLAND_DISPLAY.
e2e_wait_xwayland()
{
    [ -n "$1" ] || e2e_fail "the compositor named no Xwayland display"
    E2E_XWAYLAND_DISPLAY=$1 E2E_XWAYLAND_AUTHORITY=${2:-}
    DISPLAY=$1 XAUTHORITY=$E2E_XWAYLAND_AUTHORITY e2e_wait 15000 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xwayland on $1 does not answer"
}

# Weston with an output of $1 x $2 pixels on the Xvfb of that size (its x11
# backend: the headless one has no seat, without which SDL 2.26's Wayland
# driver crashes), scaled by E2E_SCALE, without panel, key repeat or
# animations, with Xwayland when E2E_XWAYLAND says so (its first client
# starts it).
e2e_start_weston()
{
    local scale=$E2E_SCALE
    e2e_require_tools weston
    e2e_runtime_folder
    printf '[shell]\nbackground-color=0xff%s\npanel-position=none\nanimation=none\nclose-animation=none\n%b' \
        "${E2E_DESKTOP_COLOUR#\#}" '[keyboard]\nrepeat-rate=0\n[input-method]\npath=\n' >"$E2E_TMP/weston.ini"
    e2e_start_helper weston --backend=x11-backend.so --use-pixman --config="$E2E_TMP/weston.ini" --idle-time=0 \
        --width="$(($1 / scale))" --height="$(($2 / scale))" --scale="$scale" --socket="$E2E_WAYLAND_SOCKET" \
        --log="$E2E_TMP/weston.log" $([ "$E2E_XWAYLAND" = no ] || echo --xwayland) >/dev/null 2>&1
    e2e_wait_compositor weston
    [ "$E2E_XWAYLAND" = yes ] || return 0
    e2e_wait 10000 grep -q 'listening on display' "$E2E_TMP/weston.log" || e2e_fail "weston started no Xwayland"
    e2e_wait_xwayland "$(grep -o 'listening on display :[0-9]*' "$E2E_TMP/weston.log" | grep -o ':[0-9]*')"
}

# GNOME's compositor, mutter, nested in the Xvfb of $1 x $2 with an output of
# that size, its own desktop; with Xwayland when E2E_XWAYLAND says so (its
# display named in the log, its Xauthority a file in the runtime folder).
# Needs the session bus run.sh starts.
e2e_start_mutter()
{
    e2e_require_tools mutter
    e2e_runtime_folder
    mkdir -p "$E2E_TMP/home"
    e2e_start_helper env HOME="$E2E_TMP/home" MUTTER_DEBUG_DUMMY_MODE_SPECS="${1}x${2}" mutter --nested --wayland \
        --wayland-display="$E2E_WAYLAND_SOCKET" $([ "$E2E_XWAYLAND" = yes ] || echo --no-x11) >"$E2E_TMP/mutter.log" 2>&1
    e2e_wait_compositor mutter
    [ "$E2E_XWAYLAND" = yes ] || return 0
    e2e_wait 10000 grep -q 'Using public X11 display' "$E2E_TMP/mutter.log" || e2e_fail "mutter started no Xwayland"
    e2e_wait_xwayland "$(sed -n 's/.*Using public X11 display \(:[0-9]*\),.*/\1/p' "$E2E_TMP/mutter.log")" \
        "$(compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth.*" | head -n1)"
}

# KDE's compositor, KWin, in the Xvfb of $1 x $2 with an output of that size,
# swaybg drawing its desktop (Plasma's would; KWin alone shows black); with
# Xwayland when E2E_XWAYLAND says so (its display given to the programs it
# starts). Debian's kwin_wayland carries a file capability a container may
# refuse to honour ("Operation not permitted"): a copy, without it, runs.
# Needs the session bus run.sh starts.
e2e_start_kwin()
{
    e2e_require_tools kwin_wayland swaybg
    e2e_runtime_folder
    mkdir -p "$E2E_TMP/home" "$E2E_TMP/kwin"
    cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin/" || e2e_fail "could not copy kwin_wayland"
    printf '#!/bin/sh\necho "$DISPLAY" >"%s/kwin/display"\nexec swaybg -c "%s"\n' "$E2E_TMP" "$E2E_DESKTOP_COLOUR" \
        >"$E2E_TMP/kwin/desktop" && chmod +x "$E2E_TMP/kwin/desktop"
    e2e_start_helper env -u XDG_CONFIG_HOME HOME="$E2E_TMP/home" "$E2E_TMP/kwin/kwin_wayland" --x11-display "$DISPLAY" \
        --width "$1" --height "$2" --socket "$E2E_WAYLAND_SOCKET" $([ "$E2E_XWAYLAND" = no ] || echo --xwayland) \
        "$E2E_TMP/kwin/desktop" >"$E2E_TMP/kwin.log" 2>&1
    e2e_wait_compositor kwin
    [ "$E2E_XWAYLAND" = yes ] || return 0
    e2e_wait 10000 test -s "$E2E_TMP/kwin/display" || e2e_fail "kwin started no Xwayland"
    e2e_wait_xwayland "$(cat "$E2E_TMP/kwin/display")"
}

# The desktop of the environment, and the demo told where it is: no display
# at all, as a text console or an ssh session has none; the X server itself
# (SDL_VIDEODRIVER set, so a missing display fails loudly); or a compositor,
# the demo its Wayland client or through its Xwayland, with both displays as
# a desktop session has them.
e2e_start_desktop()
{
    local width height
    case $E2E_SERVER in
    none) E2E_PROGRAM_ENV=(-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER); return ;;
    xvfb:*) e2e_start_xvfb "${E2E_SERVER#xvfb:}" ;;
    xorg:*) e2e_start_xorg "${E2E_SERVER#xorg:}" ;;
    esac
    e2e_start_window_manager
    E2E_PROGRAM_ENV=(SDL_VIDEODRIVER=x11)
    [ "$E2E_COMPOSITOR" != - ] || return 0
    e2e_geometry "$E2E_OUTPUT+0+0" width height _ _
    "e2e_start_$E2E_COMPOSITOR" "$width" "$height"
    # env's own options first, then the settings.
    E2E_PROGRAM_ENV=()
    if [ "$E2E_XWAYLAND" = yes ]; then
        export DISPLAY=$E2E_XWAYLAND_DISPLAY XAUTHORITY=$E2E_XWAYLAND_AUTHORITY
    else
        E2E_PROGRAM_ENV+=(-u DISPLAY)
    fi
    if [ "$E2E_DEMO" = x11 ]; then
        E2E_PROGRAM_ENV+=(-u SDL_VIDEODRIVER)  # SDL's first choice with an X server
    else
        E2E_PROGRAM_ENV+=(SDL_VIDEODRIVER=wayland)
    fi
    E2E_PROGRAM_ENV+=(WAYLAND_DISPLAY="$E2E_WAYLAND_SOCKET")
    if [ "$E2E_ZENITY" = no ]; then
        mkdir "$E2E_TMP/empty-path" && E2E_PROGRAM_ENV+=(PATH="$E2E_TMP/empty-path")
    else
        # zenity's accessibility bridge finds its bus through a file in
        # $HOME, which tests side by side share: a box without it.
        E2E_PROGRAM_ENV+=(NO_AT_BRIDGE=1)
    fi
}
