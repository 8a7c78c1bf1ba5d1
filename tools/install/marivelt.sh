#!/bin/sh
# Starts Marivelt in its data folder, which lies relative to this launcher,
# so an unpacked package works wherever it is.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../share/marivelt" || exit 1
exec "$here/../lib/marivelt/marivelt" "$@"
