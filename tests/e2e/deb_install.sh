#!/bin/bash
# The Debian package as a user gets it: unpacked, its desktop entry valid and
# pointing at the launcher and icon it ships, and the launcher, started from
# any folder, finds the program and its data: the first scene shows, SPACE
# changes it with its sound, ESC ends with exit code 27.
#
# deb_install.sh PACKAGE.deb
# deb_install.sh BUILD/CPackConfig.cmake [CPACK]   builds the package first
source "$(dirname "$0")/lib.sh" "$1" "$(dirname "$1")"

for tool in dpkg dpkg-deb desktop-file-validate xwd convert od; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done

package=$E2E_PROGRAM
if [ "${package##*.}" != deb ]; then
    cpack=${2:-cpack}
    command -v "$cpack" >/dev/null || e2e_skip "cpack is not installed"
    # CPack builds the whole project before packing it: in a built tree that
    # takes seconds, so a run out of time means the tree was not built.
    timeout 60 "$cpack" --config "$package" -G DEB -B "$E2E_TMP/package" >"$E2E_TMP/cpack.log" 2>&1 ||
        e2e_fail "cpack failed or ran out of time (is the build tree up to date?): $(tail -n 20 "$E2E_TMP/cpack.log")"
    package=$(find "$E2E_TMP/package" -maxdepth 1 -name '*.deb' | head -n1)
    [ -n "$package" ] || e2e_fail "cpack made no .deb: $(tail -n 20 "$E2E_TMP/cpack.log")"
fi
[ -f "$package" ] || e2e_fail "no package at $package"

root="$E2E_TMP/root"
dpkg -x "$package" "$root" || e2e_fail "dpkg could not unpack $package"

# --- The desktop entry ---
entry="$root/usr/share/applications/marivelt.desktop"
[ -f "$entry" ] || e2e_fail "no desktop entry at /usr/share/applications/marivelt.desktop"
desktop-file-validate "$entry" >"$E2E_TMP/validate.log" 2>&1 ||
    e2e_fail "the desktop entry is not valid: $(cat "$E2E_TMP/validate.log")"
grep -E ': (error|warning):' "$E2E_TMP/validate.log" &&
    e2e_fail "the desktop entry draws warnings: $(cat "$E2E_TMP/validate.log")"
# The menu runs Exec from the PATH and finds Icon in the icon theme.
command_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$root/usr/bin/$command_name" ] || e2e_fail "Exec=$command_name, but /usr/bin has no such program"
icon_name=$(sed -n 's/^Icon=//p' "$entry")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon_name.png" >/dev/null ||
    e2e_fail "Icon=$icon_name, but the package has no such icon in the hicolor theme"

# --- The installed program ---
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$E2E_TMP/played.raw"
played_sound() { [ -s "$SDL_DISKAUDIOFILE" ] && [ "$(tr -d '\000' <"$SDL_DISKAUDIOFILE" | head -c1 | wc -c)" -gt 0 ]; }

mkdir -p "$E2E_TMP/elsewhere"  # no Graphics or Sounds here: the launcher must find its own
e2e_start_xvfb 800x600x16
e2e_start_command "$E2E_TMP/elsewhere" "$root/usr/bin/$command_name"
e2e_wait_program_window
e2e_wait_scene WATER
e2e_wait_focus_settled
e2e_wait_until 10 played_sound || e2e_fail "SPACE's cue was never played: the sounds were not found"
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_pass
