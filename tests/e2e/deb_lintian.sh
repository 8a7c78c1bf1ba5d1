#!/bin/bash
# Debian's own package checker finds no error and no warning in the package;
# an informational tag counts too unless the package overrides it with its
# reason.
#
# deb_lintian.sh FOLDER   the folder holding the one .deb
source "$(dirname "$0")/lib.sh" "$1" "$1"

command -v lintian >/dev/null || e2e_skip "lintian is not installed"
package=$(find "$E2E_PROGRAM" -maxdepth 1 -name '*.deb' | head -n1)
[ -n "$package" ] || e2e_fail "no package in $E2E_PROGRAM"

# Lintian refuses root unless told; the tests run as root on CI machines.
allow_root=()
[ "$(id -u)" -eq 0 ] && allow_root=(--allow-root)
lintian "${allow_root[@]}" --display-info --fail-on error,warning,info "$package" >"$E2E_TMP/lintian.log" 2>&1 ||
    e2e_fail "lintian on $(basename "$package"): $(cat "$E2E_TMP/lintian.log")"
e2e_pass
