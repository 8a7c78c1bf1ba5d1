#!/bin/sh
# Starts Marivelt in its data folder, which lies relative to this launcher
# (games/ -> share/games/marivelt, the program in lib/games/marivelt), so an
# unpacked package works wherever it is. The arguments go to the program.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../share/games/marivelt" || exit 1
exec "$here/../lib/games/marivelt/marivelt" "$@"
