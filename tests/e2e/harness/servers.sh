# servers.sh — Xvfb, Xorg with the dummy driver (modes really change),
# openbox, weston with or without Xwayland: each on a display of its own, so
# tests run side by side. E2E_HOST_DISPLAY is the X server tests type into
# and take pictures of (under weston, its output window's).

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
# gap can go unmanaged, leaving SDL waiting for ever for the map.
e2e_start_window_manager()
{
    e2e_require_tools openbox wmctrl xprop
    mkdir -p "$E2E_TMP/home"
    e2e_start_helper env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_CONFIG_DIRS \
        HOME="$E2E_TMP/home" openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1
    e2e_wait 10000 e2e_window_manager_answers || e2e_fail "openbox does not answer requests"
    E2E_WINDOW_MANAGER=openbox
}

# A runtime folder of the test's own (mode 700, as servers insist) for
# weston's socket and the sound servers'.
e2e_runtime_folder() { export XDG_RUNTIME_DIR="$E2E_TMP/runtime"; mkdir -p -m 700 "$XDG_RUNTIME_DIR"; }

# Weston names its output window only in UTF-8, which xdotool's search cannot read.
e2e_weston_window() { xdotool search --class "^Weston Compositor$" 2>/dev/null | head -n1 | grep .; }

# A desktop colour the program never shows: it covers the screen exactly when none is left.
E2E_DESKTOP_COLOUR="#ff00ff"

# Weston with an output of $1 x $2 on an Xvfb of that size (its x11 backend:
# the headless one has no seat, without which SDL 2.26's Wayland driver
# crashes), without panel, key repeat or animations and, when $3 is
# "xwayland", with Xwayland (E2E_XWAYLAND_DISPLAY). Keys typed on the Xvfb
# reach the client weston has focused.
e2e_start_weston()
{
    e2e_require_tools weston
    e2e_start_xvfb "${1}x${2}x24"
    e2e_runtime_folder
    E2E_WAYLAND_SOCKET=marivelt-e2e
    printf '[shell]\nbackground-color=0xff%s\npanel-position=none\nanimation=none\nclose-animation=none\n%b' \
        "${E2E_DESKTOP_COLOUR#\#}" '[keyboard]\nrepeat-rate=0\n[input-method]\npath=\n' >"$E2E_TMP/weston.ini"
    e2e_start_helper weston --backend=x11-backend.so --use-pixman --config="$E2E_TMP/weston.ini" --idle-time=0 \
        --width="$1" --height="$2" --socket="$E2E_WAYLAND_SOCKET" --log="$E2E_TMP/weston.log" \
        ${3:+--xwayland} >/dev/null 2>&1
    e2e_wait 10000 e2e_weston_window >/dev/null || e2e_fail "weston did not start: $(cat "$E2E_TMP/weston.log")"
    xdotool windowfocus --sync "$(e2e_weston_window)" || e2e_fail "could not focus weston's window"
    e2e_wait 10000 e2e_desktop_shown 99 || e2e_fail "weston did not draw its desktop"
    [ -n "${3:-}" ] || return 0
    e2e_wait 10000 grep -q 'listening on display' "$E2E_TMP/weston.log" || e2e_fail "weston started no Xwayland"
    E2E_XWAYLAND_DISPLAY=$(grep -o 'listening on display :[0-9]*' "$E2E_TMP/weston.log" | grep -o ':[0-9]*')
    # Xwayland itself starts with its first client.
    DISPLAY=$E2E_XWAYLAND_DISPLAY e2e_wait 15000 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xwayland does not answer"
}
