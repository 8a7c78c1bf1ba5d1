# The Debian package CPack makes of this tree, as a user gets it. Debian's
# checker finds no error, warning or informational tag that the package
# does not override with its reason. Unpacked: its desktop entry valid and
# pointing at the launcher and icon it ships, its manual page readable; the
# launcher answers --help, --version and a wrong option on the terminal
# without touching the display, and, started from any folder, finds the
# program and its data: the first scene shows, SPACE changes it with its
# sound, ESC ends with exit code 27. CPack builds the whole project before
# packing it: in a built tree that takes seconds, so a run out of time means
# the tree was not built.   extra arguments: CPACK CPACK_CONFIG FOLDER
cpack=${E2E_EXTRA[0]} folder=${E2E_EXTRA[2]}
e2e_require_tools "$cpack" dpkg-shlibdeps file lintian dpkg dpkg-deb desktop-file-validate xwd convert od
rm -rf "$folder" && mkdir -p "$folder" || e2e_fail "cannot make $folder"
timeout 90 "$cpack" --config "${E2E_EXTRA[1]}" -G DEB -B "$folder" >"$folder/cpack.log" 2>&1 ||
    e2e_fail "cpack failed or ran out of time (is the build tree up to date?): $(tail -n 20 "$folder/cpack.log")"
e2e_expect_equal "$(find "$folder" -maxdepth 1 -name '*.deb' | wc -l)" 1 "packages made (the debug symbols go in a .ddeb)"
find "$folder" -maxdepth 1 -name '*.ddeb' | grep -q . || e2e_fail "no debug-symbol package beside the .deb"
allow_root=()
[ "$(id -u)" -ne 0 ] || allow_root=(--allow-root)  # lintian refuses root unless told; CI runs as root
lintian "${allow_root[@]}" --display-info --fail-on error,warning,info "$folder"/*.deb >"$E2E_TMP/lintian.log" 2>&1 ||
    e2e_fail "lintian: $(cat "$E2E_TMP/lintian.log")"
package=$(echo "$folder"/*.deb)
root="$E2E_TMP/root"
dpkg -x "$package" "$root" || e2e_fail "dpkg could not unpack $package"

# The desktop entry: the menu runs its Execs and finds Icon in the theme.
entry="$root/usr/share/applications/marivelt.desktop"
[ -f "$entry" ] || e2e_fail "no desktop entry at /usr/share/applications/marivelt.desktop"
desktop-file-validate "$entry" >"$E2E_TMP/validate.log" 2>&1 ||
    e2e_fail "the desktop entry is not valid: $(cat "$E2E_TMP/validate.log")"
grep -E ': (error|warning):' "$E2E_TMP/validate.log" && e2e_fail "the desktop entry draws warnings: $(cat "$E2E_TMP/validate.log")"
command=/usr/games/marivelt
e2e_expect_equal "$(sed -n 's/^Exec=//p' "$entry" | tr '\n' ' ')" "$command $command --window " "the entry's commands"
[ -x "$root$command" ] || e2e_fail "Exec=$command, but the package has no such program"
icon_name=$(sed -n 's/^Icon=//p' "$entry")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon_name.png" >/dev/null ||
    e2e_fail "Icon=$icon_name, but the package has no such icon in the hicolor theme"

if command -v man >/dev/null; then
    page="$root/usr/share/man/man6/marivelt.6.gz"
    MANWIDTH=80 man -l "$page" >"$E2E_TMP/man.txt" 2>"$E2E_TMP/man.log" ||
        e2e_fail "man cannot show $page: $(cat "$E2E_TMP/man.log")"
    grep -q 'marivelt - ' "$E2E_TMP/man.txt" || e2e_fail "the manual page has no NAME line: $(head "$E2E_TMP/man.txt")"
fi

# The command line, answered with no display at all (a program that tried
# to open one would say so): arguments | exit code | standard output.
answer()
{
    local status
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$root$command" "$@" >"$E2E_TMP/out.txt" 2>"$E2E_TMP/err.txt"
    status=$?
    echo "$status|$(cat "$E2E_TMP/out.txt")"
}
e2e_expect_equal "$(answer --version)" "0|marivelt $(dpkg-deb -f "$package" Version)" "--version's answer"
e2e_expect_equal "$(answer --fullscreen)" "2|" "a wrong option's answer"
e2e_expect_equal "$(cat "$E2E_TMP/err.txt")" "marivelt: unknown option '--fullscreen'; try 'marivelt --help'" "its message"
e2e_expect_equal "$(answer --window extra)" "2|" "a stray argument's answer"
e2e_expect_equal "$(cat "$E2E_TMP/err.txt")" "marivelt: unexpected argument 'extra'; try 'marivelt --help'" "its message"
e2e_expect_equal "$(answer --help | head -c2)" "0|" "--help's exit code"
for word in --window --help --version ESC SPACE; do
    grep -q -e "$word" "$E2E_TMP/out.txt" || e2e_fail "--help does not name $word: $(cat "$E2E_TMP/out.txt")"
done
[ ! -s "$E2E_TMP/err.txt" ] || e2e_fail "--help wrote to standard error: $(cat "$E2E_TMP/err.txt")"

# The installed program, started where there is no Graphics or Sounds.
E2E_FOLDER="$E2E_TMP/elsewhere" E2E_LAUNCHER="$root$command"
mkdir -p "$E2E_FOLDER"
e2e_start_program
e2e_wait_shown
e2e_wait_scene WATER shot
e2e_settle_focus
e2e_wait 10000 e2e_played_sound || e2e_fail "SPACE's cue was never played: the sounds were not found"
e2e_press_escape
e2e_expect_end "Thank You!" 27 "ESC"
e2e_pass
