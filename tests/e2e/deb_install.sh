#!/bin/bash
# The Debian package as a user gets it: unpacked, its desktop entry valid and
# pointing at the launcher and icon it ships, its manual page readable; the
# launcher answers --help, --version and a wrong option on the terminal
# without touching the display, and, started from any folder, finds the
# program and its data: the first scene shows, SPACE changes it with its
# sound, ESC ends with exit code 27.
#
# deb_install.sh FOLDER   the folder holding the one .deb (see deb_package.sh)
source "$(dirname "$0")/lib.sh" "$1" "$1"

for tool in dpkg dpkg-deb desktop-file-validate xwd convert od; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done

package=$(find "$E2E_PROGRAM" -maxdepth 1 -name '*.deb' | head -n1)
[ -n "$package" ] || e2e_fail "no package in $E2E_PROGRAM"

root="$E2E_TMP/root"
dpkg -x "$package" "$root" || e2e_fail "dpkg could not unpack $package"

# --- The desktop entry ---
entry="$root/usr/share/applications/marivelt.desktop"
[ -f "$entry" ] || e2e_fail "no desktop entry at /usr/share/applications/marivelt.desktop"
desktop-file-validate "$entry" >"$E2E_TMP/validate.log" 2>&1 ||
    e2e_fail "the desktop entry is not valid: $(cat "$E2E_TMP/validate.log")"
grep -E ': (error|warning):' "$E2E_TMP/validate.log" &&
    e2e_fail "the desktop entry draws warnings: $(cat "$E2E_TMP/validate.log")"
# The menu runs Exec, the main one and the windowed action's, and finds Icon
# in the icon theme.
command=/usr/games/marivelt
e2e_expect_equal "$(sed -n 's/^Exec=//p' "$entry" | tr '\n' ' ')" "$command $command --window " "the entry's commands"
[ -x "$root$command" ] || e2e_fail "Exec=$command, but the package has no such program"
icon_name=$(sed -n 's/^Icon=//p' "$entry")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon_name.png" >/dev/null ||
    e2e_fail "Icon=$icon_name, but the package has no such icon in the hicolor theme"

# --- The manual page ---
if command -v man >/dev/null; then
    page="$root/usr/share/man/man6/marivelt.6.gz"
    MANWIDTH=80 man -l "$page" >"$E2E_TMP/man.txt" 2>"$E2E_TMP/man.log" ||
        e2e_fail "man cannot show $page: $(cat "$E2E_TMP/man.log")"
    grep -q 'marivelt - ' "$E2E_TMP/man.txt" || e2e_fail "the manual page has no NAME line: $(head "$E2E_TMP/man.txt")"
fi

# --- The command line, answered before any display is touched ---
# No display at all: had the program tried to open one, it would say so.
version=$(dpkg-deb -f "$package" Version)
answer()
{
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$root$command" "$@" >"$E2E_TMP/out.txt" 2>"$E2E_TMP/err.txt"
    status=$?
    out=$(cat "$E2E_TMP/out.txt") err=$(cat "$E2E_TMP/err.txt")
}
answer --help
e2e_expect_equal "$status:$err" "0:" "--help's exit code and standard error"
for word in --window --help --version ESC SPACE; do
    grep -q -e "$word" "$E2E_TMP/out.txt" || e2e_fail "--help does not name $word: $out"
done
answer --version
e2e_expect_equal "$status:$out:$err" "0:marivelt $version:" "--version's exit code and answer"
answer --fullscreen
e2e_expect_equal "$status:$out" "2:" "a wrong option's exit code and standard output"
e2e_expect_equal "$err" "marivelt: unknown option '--fullscreen'; try 'marivelt --help'" "a wrong option's message"
answer --window extra
e2e_expect_equal "$status:$out" "2:" "a stray argument's exit code and standard output"
e2e_expect_equal "$err" "marivelt: unexpected argument 'extra'; try 'marivelt --help'" "a stray argument's message"

# --- The installed program ---
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$E2E_TMP/played.raw"
played_sound() { [ -s "$SDL_DISKAUDIOFILE" ] && [ "$(tr -d '\000' <"$SDL_DISKAUDIOFILE" | head -c1 | wc -c)" -gt 0 ]; }

mkdir -p "$E2E_TMP/elsewhere"  # no Graphics or Sounds here: the launcher must find its own
e2e_start_xvfb 800x600x16
e2e_start_command "$E2E_TMP/elsewhere" "$root$command"
e2e_wait_program_window
e2e_wait_scene WATER
e2e_wait_focus_settled
e2e_wait_until 10 played_sound || e2e_fail "SPACE's cue was never played: the sounds were not found"
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_pass
