#!/bin/bash
# Builds the Debian package of this tree once, into a folder of its own, for
# the tests that unpack it and check it.
#
# deb_package.sh BUILD/CPackConfig.cmake CPACK FOLDER
source "$(dirname "$0")/lib.sh" "$1" "$(dirname "$1")"

cpack=$2
folder=$3
command -v "$cpack" >/dev/null || e2e_skip "cpack is not installed"
command -v dpkg-shlibdeps >/dev/null || e2e_skip "dpkg-dev is not installed"
command -v file >/dev/null || e2e_skip "file is not installed (CPack's dependency step needs it)"

rm -rf "$folder"
mkdir -p "$folder" || e2e_fail "cannot make $folder"
# CPack builds the whole project before packing it: in a built tree that
# takes seconds, so a run out of time means the tree was not built.
timeout 90 "$cpack" --config "$E2E_PROGRAM" -G DEB -B "$folder" >"$folder/cpack.log" 2>&1 ||
    e2e_fail "cpack failed or ran out of time (is the build tree up to date?): $(tail -n 20 "$folder/cpack.log")"
count=$(find "$folder" -maxdepth 1 -name '*.deb' | wc -l)
e2e_expect_equal "$count" 1 "packages made (the debug symbols go in a .ddeb)"
find "$folder" -maxdepth 1 -name '*.ddeb' | grep -q . || e2e_fail "no debug-symbol package beside the .deb"
e2e_pass
