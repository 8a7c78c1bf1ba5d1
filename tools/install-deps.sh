#!/usr/bin/env bash
# Installs the Debian packages Marivelt needs that are not there yet.
#   tools/install-deps.sh          what building and running the demo needs
#   tools/install-deps.sh --web    also what the web page's build and server need
#   tools/install-deps.sh --tests  also what the tests, fuzzer and benchmarks need
set -euo pipefail

# file: CPack's dependency step (dpkg-shlibdeps) needs it to make the package.
# libwebp-dev: the snapshot tool, built by default, writes animated WebP.
# mutter, kwin-wayland: GNOME's and KDE's compositors for the end-to-end
# tests (without their recommends, no desktop shell comes along); zenity:
# the boxes SDL shows on Wayland; swaybg: a desktop behind KWin; procps:
# the tests find processes (ps, pgrep); chromium-driver and python3-selenium:
# the browser tests drive the page through WebDriver.
packages=(build-essential cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev
          libgl1-mesa-dri libstb-dev libfreetype-dev fonts-dejavu-core libx11-dev libxrandr-dev file
          libwebp-dev)
# emscripten brings Debian's node and python3 for its own tools.
if [[ "${1:-}" == "--web" || "${1:-}" == "--tests" ]]; then
    packages+=(emscripten python3)
fi
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev valgrind
               xvfb xauth xfonts-base xdotool x11-utils x11-apps imagemagick openbox wmctrl
               weston xwayland desktop-file-utils dpkg-dev lintian
               xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils pulseaudio pulseaudio-utils
               pipewire pipewire-pulse wireplumber dbus-daemon mutter kwin-wayland zenity swaybg procps
               chromium chromium-driver python3-selenium)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
