#!/usr/bin/env bash
# clean-room.sh [REVISION] — the README's test command on a fresh Debian 12.
#
# Builds a minimal bookworm root with debootstrap, clones this repository
# into it at REVISION (default HEAD), and runs tools/test.sh there as root,
# which must install everything it needs by itself. Prints the result and the
# wall time; the whole log is kept beside the scratch folder. Whatever happens,
# the root's mounts and processes are taken down and the root is removed.
#
# Needs root, debootstrap and the Debian mirror; takes a while, so it is not
# part of CI. Run it before landing anything that touches dependencies or
# install scripts.
set -euo pipefail

[ "$(id -u)" -eq 0 ] || { echo "clean-room.sh: run it as root (debootstrap, chroot and mounts need it)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "clean-room.sh: debootstrap is not installed" >&2; exit 2; }

repo=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)
revision=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")

# The mirrors this machine's apt uses, so the root gets what the host gets;
# none is named here.
mirror_of()
{
    local sources=() file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] && sources+=("$file")  # awk stops at the first file it cannot open
    done
    [ ${#sources[@]} -gt 0 ] || return 0
    awk -v suite="$1" '
        /^URIs:/ { uri = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) { print uri; exit } }
        /^deb / { for (i = 2; i <= NF; i++) if ($i == suite) { print $(i - 1); exit } }' "${sources[@]}" | head -n1
}
mirror=$(mirror_of bookworm)
security=$(mirror_of bookworm-security)
[ -n "$mirror" ] || {
    echo "clean-room.sh: no Debian bookworm mirror in this machine's apt sources (/etc/apt/sources.list*)" >&2
    exit 2
}

scratch=${TMPDIR:-/var/tmp}
work=$(mktemp -d "$scratch/marivelt-clean-room-XXXXXX")
root=$work/root
log=$work.log
mounted=()

# Ends what still runs inside the root (an X server a failed test left, say),
# by process id, then unmounts in reverse order and removes the root.
cleanup()
{
    local pid index
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null
    done
    for ((index = ${#mounted[@]} - 1; index >= 0; index--)); do
        umount "${mounted[index]}" 2>/dev/null || umount --lazy "${mounted[index]}"
    done
    if grep -q " $root/" /proc/mounts; then
        echo "clean-room.sh: mounts left under $root; not removing it" >&2
        return
    fi
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

bind_mount()
{
    mkdir -p "$root$1"
    mount --bind "$1" "$root$1"
    mounted+=("$root$1")
}

started=$SECONDS
echo "clean-room: debootstrap bookworm (minbase) from $mirror into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; echo "clean-room.sh: debootstrap failed; log: $log" >&2; exit 1; }
{
    echo "deb $mirror bookworm main"
    echo "deb $mirror bookworm-updates main"
    [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
for folder in /proc /sys /dev /dev/pts /dev/shm; do
    bind_mount "$folder"
done

echo "clean-room: cloning $repo at $revision"
git clone --quiet "$repo" "$root/root/marivelt"
git -C "$root/root/marivelt" checkout --quiet --detach "$revision"
booted=$((SECONDS - started))

echo "clean-room: tools/test.sh (log: $log)"
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb /bin/bash -c 'cd /root/marivelt && tools/test.sh' >>"$log" 2>&1 || status=$?

elapsed=$((SECONDS - started))
sed -n '/tests passed, /p; /The following tests FAILED:/,/^Errors while running/p; /^run_fuzz.sh:/p' "$log"
if [ "$status" -eq 0 ]; then
    result="passed"
else
    result="FAILED (exit $status)"
fi
printf 'clean-room: tools/test.sh at %s %s; wall time %d min %02d s (%d s to make the root)\n' \
    "${revision:0:12}" "$result" $((elapsed / 60)) $((elapsed % 60)) "$booted"
echo "clean-room: log kept in $log"
exit "$status"
