#!/bin/bash
# run.sh SCENARIO DESKTOP SOUND PROGRAM RUN_DIR [EXTRA...]
# One scenario (scenarios/SCENARIO.sh) on one desktop of environments.sh,
# with one sound environment (sound.sh): the servers are the test's own, so
# tests run side by side.
set -u
E2E_DIR=$(dirname "$(realpath "$0")")
source "$E2E_DIR/environments.sh"
e2e_environment "$2" || { echo "$1[$2]: no desktop \"$2\"" >&2; exit 1; }
# wireplumber, mutter and KWin need a session bus: their tests run inside one.
if { [[ $3 == pipewire* ]] || [ "$E2E_COMPOSITOR" = mutter ] || [ "$E2E_COMPOSITOR" = kwin ]; } &&
    [[ -z ${E2E_SESSION_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null || { echo "$1[$2]: SKIP: dbus-run-session is not installed" >&2; exit 77; }
    E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
E2E_NAME="$1[$2+$3]" E2E_EXTRA=("${@:6}")
E2E_PROGRAM=$(realpath "$4") E2E_RUN_DIR=$(realpath "$5")
for part in process servers desktop screen shape sound; do source "$E2E_DIR/harness/$part.sh"; done
unset WAYLAND_DISPLAY

e2e_start_desktop
[ "$E2E_DESKTOP" != xorg ] || e2e_expect_equal "$(e2e_current_mode)" "$E2E_OUTPUT" "the desktop's mode"
e2e_start_sound "$3"
[ "$E2E_DESKTOP" = none ] || E2E_DESKTOP_BEFORE=$(e2e_desktop_state)
source "$E2E_DIR/scenarios/$1.sh"
