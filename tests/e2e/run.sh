#!/bin/bash
# run.sh SCENARIO ENVIRONMENT PROGRAM RUN_DIR [EXTRA...]
# One scenario (scenarios/SCENARIO.sh) on one environment, DISPLAY[+SOUND].
# Displays: none; xvfb (800 x 600 x 16), xvfb640 (no 800 x 600), xvfb1024;
# xorg (the dummy driver at 1920 x 1080: modes really change), xorg_no800
# (a monitor without 800 x 600); Wayland compositors, the program their
# client: weston800, weston1920 (without zenity, so boxes have no way to
# show), weston_hidpi (1920 x 1080 pixels at scale 2), gnome (mutter), kde
# (KWin); and xwayland, gnome_xwayland, kde_xwayland: the same with
# Xwayland, the program given both displays, as on a desktop session.
# openbox runs on xvfb, xvfb1024 and xorg.
set -u
# wireplumber, mutter and KWin need a session bus: their tests run inside one.
if [[ $2 == *pipewire* || $2 == gnome* || $2 == kde* ]] && [[ -z ${E2E_SESSION_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null || { echo "$1[$2]: SKIP: dbus-run-session is not installed" >&2; exit 77; }
    E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
E2E_DIR=$(dirname "$(realpath "$0")") E2E_NAME="$1[$2]" E2E_EXTRA=("${@:5}")
E2E_PROGRAM=$(realpath "$3") E2E_RUN_DIR=$(realpath "$4")
for part in process servers desktop screen shape sound; do source "$E2E_DIR/harness/$part.sh"; done
unset WAYLAND_DISPLAY

display=${2%%+*} sound=none
[[ $2 == *+* ]] && sound=${2#*+}
E2E_X_CLIENT=1 E2E_DESKTOP=xvfb E2E_BOXES=x11
E2E_PROGRAM_ENV=(SDL_VIDEODRIVER=x11)  # a missing display fails loudly, with no fallback
case $display in
none) E2E_DESKTOP=none E2E_BOXES=stderr E2E_PROGRAM_ENV+=(DISPLAY=:none) ;;
xvfb) e2e_start_xvfb 800x600x16 && e2e_start_window_manager ;;
xvfb640) e2e_start_xvfb 640x480x16 ;;
xvfb1024) e2e_start_xvfb 1024x768x24 && e2e_start_window_manager ;;
xorg) E2E_DESKTOP=xorg && e2e_start_xorg xorg-desktop.conf && e2e_start_window_manager ;;
xorg_no800) E2E_DESKTOP=xorg && e2e_start_xorg xorg-no-800x600.conf ;;
weston800) E2E_DESKTOP=compositor && e2e_start_weston 800 600 ;;
weston1920 | xwayland) E2E_DESKTOP=compositor && e2e_start_weston 1920 1080 "${display#weston1920}" ;;
weston_hidpi) E2E_DESKTOP=compositor && e2e_start_weston 1920 1080 "" 2 ;;
gnome | gnome_xwayland) E2E_DESKTOP=compositor && e2e_start_mutter "${display#gnome}" ;;
kde | kde_xwayland) E2E_DESKTOP=compositor && e2e_start_kwin "${display#kde}" ;;
*) e2e_fail "no display environment \"$display\"" ;;
esac
if [ "$E2E_DESKTOP" = compositor ]; then
    # The largest 4:3 rectangle of the output, centred: the picture's place.
    E2E_PICTURE=1440x1080+240+0
    [ "$display" = weston800 ] && E2E_PICTURE=800x600+0+0
    if [ -n "${E2E_XWAYLAND_DISPLAY:-}" ]; then
        export DISPLAY=$E2E_XWAYLAND_DISPLAY XAUTHORITY=$E2E_XWAYLAND_AUTHORITY  # the program's X server
        E2E_FULL_SCREEN=1920x1080+0+0  # its window covers the output, which keeps its mode
        E2E_PROGRAM_ENV=(-u SDL_VIDEODRIVER WAYLAND_DISPLAY="$E2E_WAYLAND_SOCKET")
    else
        # SDL shows boxes on Wayland through zenity, found on PATH; with
        # nothing on it they take the fallback every Wayland desktop without
        # zenity gets, their words on standard error.
        E2E_X_CLIENT=0 E2E_BOXES=zenity
        E2E_PROGRAM_ENV=(-u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$E2E_WAYLAND_SOCKET")
        if [ "$display" = weston1920 ]; then
            mkdir "$E2E_TMP/empty-path" && E2E_PROGRAM_ENV+=(PATH="$E2E_TMP/empty-path") && E2E_BOXES=stderr
        else
            # zenity's accessibility bridge finds its bus through a file in
            # $HOME, which tests side by side share: a box without it.
            e2e_require_tools zenity && E2E_PROGRAM_ENV+=(NO_AT_BRIDGE=1)
        fi
    fi
fi
[ "$E2E_DESKTOP" != xorg ] || e2e_expect_equal "$(e2e_current_mode)" 1920x1080 "the desktop's mode"
e2e_start_sound "$sound"
[ "$E2E_DESKTOP" = none ] || E2E_DESKTOP_BEFORE=$(e2e_desktop_state)
source "$E2E_DIR/scenarios/$1.sh"
