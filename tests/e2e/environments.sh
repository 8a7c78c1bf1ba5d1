# environments.sh — the desktops the scenarios run on, one row each. The
# harness and the scenarios read these fields (E2E_SERVER, E2E_MANAGER, …),
# never a desktop's name.
#   server      none; xvfb:WxHxD, an Xvfb of that screen; xorg:CONF, Xorg with
#               the dummy driver and tests/e2e/CONF (its modes really change)
#   manager     the X window manager: openbox; killed, an openbox killed
#               before the demo starts (its check window left behind);
#               stuck, one that never maps the demo's window; - for none
#   compositor  weston, mutter (GNOME's) or kwin (KDE's), nested in the Xvfb;
#               - where the demo is the X server's own client
#   demo        how the demo reaches the screen: x11 (the X server, or the
#               compositor's Xwayland), wayland (the compositor's client)
#   xwayland    yes: the compositor runs Xwayland, and its DISPLAY is the
#               demo's, as on a desktop session
#   output      the desktop's size: the compositor's output, or the X
#               screen's mode at the start; scale, the compositor's
#   zenity      no: none on the demo's PATH (a desktop without it)
E2E_ENVIRONMENTS="
# name          server                      manager  compositor demo     xwayland output     scale zenity
none            none                        -        -          -        no       -          1     yes
xvfb            xvfb:800x600x16             openbox  -          x11      no       800x600    1     yes
xvfb640         xvfb:640x480x16             -        -          x11      no       640x480    1     yes
xvfb1024        xvfb:1024x768x24            openbox  -          x11      no       1024x768   1     yes
xvfb_wm_killed  xvfb:800x600x16             killed   -          x11      no       800x600    1     yes
xvfb_wm_stuck   xvfb:800x600x16             stuck    -          x11      no       800x600    1     yes
xorg            xorg:xorg-desktop.conf      openbox  -          x11      no       1920x1080  1     yes
xorg_no800      xorg:xorg-no-800x600.conf   -        -          x11      no       1920x1080  1     yes
xorg_144hz      xorg:xorg-144hz.conf        openbox  -          x11      no       1280x1024  1     yes
weston800       xvfb:800x600x24             -        weston     wayland  no       800x600    1     yes
weston1920      xvfb:1920x1080x24           -        weston     wayland  no       1920x1080  1     no
weston_hidpi    xvfb:1920x1080x24           -        weston     wayland  no       1920x1080  2     yes
xwayland        xvfb:1920x1080x24           -        weston     x11      yes      1920x1080  1     yes
gnome           xvfb:1920x1080x24           -        mutter     wayland  yes      1920x1080  1     yes
gnome_xwayland  xvfb:1920x1080x24           -        mutter     x11      yes      1920x1080  1     yes
kde             xvfb:1920x1080x24           -        kwin       wayland  yes      1920x1080  1     yes
kde_xwayland    xvfb:1920x1080x24           -        kwin       x11      yes      1920x1080  1     yes
"

# Reads environment $1's row into E2E_SERVER, E2E_MANAGER, E2E_COMPOSITOR,
# E2E_DEMO, E2E_XWAYLAND, E2E_OUTPUT, E2E_SCALE and E2E_ZENITY, and what
# follows from them: E2E_DESKTOP (none, xvfb, xorg or compositor, what
# the user's desktop is), E2E_BOXES (x11: SDL's own boxes, on an X server;
# zenity's dialogs; stderr: the words on standard error) and E2E_PICTURE,
# where the demo's 800 x 600 frame shows on the screen (WxH+X+Y).
e2e_environment()
{
    local row width height
    row=$(awk -v name="$1" '$1 == name { print; exit }' <<<"$E2E_ENVIRONMENTS")
    [ -n "$row" ] || return 1
    read -r _ E2E_SERVER E2E_MANAGER E2E_COMPOSITOR E2E_DEMO E2E_XWAYLAND E2E_OUTPUT E2E_SCALE E2E_ZENITY <<<"$row"
    case $E2E_SERVER:$E2E_COMPOSITOR in
    none:*) E2E_DESKTOP=none ;;
    xorg:*) E2E_DESKTOP=xorg ;;
    *:-) E2E_DESKTOP=xvfb ;;
    *) E2E_DESKTOP=compositor ;;
    esac
    # SDL tries its X11 box first wherever an X server answers.
    if [ "$E2E_DESKTOP" = none ]; then
        E2E_BOXES=stderr
    elif [ "$E2E_DEMO" = x11 ] || [ "$E2E_XWAYLAND" = yes ]; then
        E2E_BOXES=x11
    elif [ "$E2E_ZENITY" = yes ]; then
        E2E_BOXES=zenity
    else
        E2E_BOXES=stderr
    fi
    # On a compositor the picture is the output's largest 4:3 rectangle, centred.
    E2E_PICTURE=800x600+0+0
    if [ "$E2E_DESKTOP" = compositor ]; then
        e2e_geometry "$E2E_OUTPUT+0+0" width height _ _
        E2E_PICTURE=$(awk -v w="$width" -v h="$height" 'BEGIN { pw = w; ph = h
            if (w * 3 > h * 4) pw = int(h * 4 / 3); else ph = int(w * 3 / 4)
            printf "%dx%d+%d+%d\n", pw, ph, int((w - pw) / 2), int((h - ph) / 2) }')
    fi
}

# The fields of geometry $1 (WxH+X+Y) into the variables named $2 to $5.
e2e_geometry()
{
    local _fields
    IFS='x+' read -r -a _fields <<<"$1"
    printf -v "$2" '%s' "${_fields[0]}"
    printf -v "$3" '%s' "${_fields[1]}"
    [ "$4" = _ ] || printf -v "$4" '%s' "${_fields[2]}"
    [ "$5" = _ ] || printf -v "$5" '%s' "${_fields[3]}"
}
