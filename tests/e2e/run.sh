#!/bin/bash
# run.sh SCENARIO ENVIRONMENT PROGRAM RUN_DIR [EXTRA...]
# One scenario (scenarios/SCENARIO.sh) on one environment, DISPLAY[+SOUND].
# Displays: none; xvfb (800 x 600 x 16), xvfb640 (no 800 x 600), xvfb1024;
# xorg (the dummy driver at 1920 x 1080: modes really change), xorg_no800
# (a monitor without 800 x 600); weston800, weston1920 (the program a
# Wayland client); xwayland (weston at 1920 x 1080 with Xwayland, the program
# given both displays, as on a GNOME or KDE Wayland session). openbox runs
# on xvfb, xvfb1024 and xorg.
# Sounds: none, disk (SDL's disk driver), pulse, pulse_busy, pipewire
# (SDL's pipewire driver), pipewire_pulse (SDL's pulseaudio driver), and a
# PulseAudio frozen_before the start, frozen_during the run or killed_during it.
set -u
# wireplumber needs a session bus: a PipeWire test runs inside one.
if [[ $2 == *pipewire* && -z ${E2E_SESSION_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null || { echo "$1[$2]: SKIP: dbus-run-session is not installed" >&2; exit 77; }
    E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
E2E_DIR=$(dirname "$(realpath "$0")") E2E_NAME="$1[$2]" E2E_EXTRA=("${@:5}")
E2E_PROGRAM=$(realpath "$3") E2E_RUN_DIR=$(realpath "$4")
for part in process servers desktop screen sound; do source "$E2E_DIR/harness/$part.sh"; done
unset WAYLAND_DISPLAY

display=${2%%+*} sound=none
[[ $2 == *+* ]] && sound=${2#*+}
E2E_X_CLIENT=1 E2E_DESKTOP=xvfb
E2E_PROGRAM_ENV=(SDL_VIDEODRIVER=x11)  # a missing display fails loudly, with no fallback
case $display in
none) E2E_DESKTOP=none E2E_PROGRAM_ENV+=(DISPLAY=:none) ;;
xvfb) e2e_start_xvfb 800x600x16 && e2e_start_window_manager ;;
xvfb640) e2e_start_xvfb 640x480x16 ;;
xvfb1024) e2e_start_xvfb 1024x768x24 && e2e_start_window_manager ;;
xorg) E2E_DESKTOP=xorg && e2e_start_xorg xorg-desktop.conf && e2e_start_window_manager ;;
xorg_no800) E2E_DESKTOP=xorg && e2e_start_xorg xorg-no-800x600.conf ;;
weston800 | weston1920)
    E2E_DESKTOP=weston E2E_X_CLIENT=0
    if [ "$display" = weston800 ]; then e2e_start_weston 800 600; else e2e_start_weston 1920 1080 && E2E_SCALE="2.4 1.8"; fi
    # SDL shows boxes on Wayland through zenity, found on PATH: with nothing
    # on it the boxes take the fallback every Wayland desktop without zenity
    # gets, their words on standard error, the same on every machine.
    mkdir "$E2E_TMP/empty-path"
    E2E_PROGRAM_ENV=(-u DISPLAY PATH="$E2E_TMP/empty-path" SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$E2E_WAYLAND_SOCKET") ;;
xwayland)
    E2E_DESKTOP=weston E2E_SCALE="2.4 1.8"
    e2e_start_weston 1920 1080 xwayland
    export DISPLAY=$E2E_XWAYLAND_DISPLAY  # the program's X server, where its windows are
    E2E_PROGRAM_ENV=(-u SDL_VIDEODRIVER WAYLAND_DISPLAY="$E2E_WAYLAND_SOCKET") ;;
*) e2e_fail "no display environment \"$display\"" ;;
esac
[ "$E2E_DESKTOP" != xorg ] || e2e_expect_equal "$(e2e_current_mode)" 1920x1080 "the desktop's mode"
e2e_start_sound "$sound"
[ "$E2E_DESKTOP" = none ] || E2E_DESKTOP_BEFORE=$(e2e_desktop_state)
source "$E2E_DIR/scenarios/$1.sh"
