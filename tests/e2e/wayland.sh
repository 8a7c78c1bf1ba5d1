#!/bin/bash
# Under a Wayland compositor (weston) the program covers the screen, presents
# frames through the compositor, takes held keys, and ESC ends it with exit
# code 27; the farewell box falls back to standard error.
#
# Weston runs nested in a private Xvfb (its x11 backend) rather than headless:
# weston's headless backend offers no wl_seat, and SDL 2.26's Wayland driver
# crashes in SDL_Init without one. The x11 backend gives weston a real seat,
# so ESC pressed on the X server reaches the program as a Wayland key event.
# The program itself sees no X display: it can only be a Wayland client.
#
# SDL shows boxes on Wayland through zenity, found on PATH. The program gets
# a PATH with nothing on it, so the farewell box takes the fallback every
# Wayland desktop without zenity gets, the same on every machine.
source "$(dirname "$0")/lib.sh"

E2E_WAYLAND_SOCKET=marivelt-e2e

command -v weston >/dev/null || e2e_skip "weston is not installed"
command -v xwd >/dev/null || e2e_skip "xwd is not installed: frames cannot be seen"
command -v compare >/dev/null || e2e_skip "imagemagick is not installed: frames cannot be compared"
e2e_require_graphics

# The desktop is one colour the program's first scene never shows, so its
# full-screen surface is on top exactly when none of it is left on screen.
E2E_DESKTOP_COLOUR="#ff00ff"

# Pixels of a picture in the desktop's colour.
desktop_pixels()
{
    convert "$1" -alpha off -fill black +opaque "$E2E_DESKTOP_COLOUR" -fill white -opaque "$E2E_DESKTOP_COLOUR" \
        -format '%[fx:round(mean * w * h)]' info:
}

# Pixels that differ between two pictures.
pixels_differing() { compare -metric AE "$1" "$2" null: 2>&1; }

# Weston names its window only in the UTF-8 property, which xdotool's name
# search does not read; its class is plain.
weston_output_window() { xdotool search --class "^Weston Compositor$" 2>/dev/null | head -n1 | grep .; }

# The desktop drawn: all of it but the pointer in the desktop's colour.
desktop_shown()
{
    e2e_screenshot "$E2E_TMP/desktop.png" &&
        [ "$(desktop_pixels "$E2E_TMP/desktop.png")" -ge $((800 * 600 * 99 / 100)) ]
}

# Weston with an output the size of the X screen, its only window, and a
# runtime folder of its own. It stands where the window manager stands in the
# other tests, and is stopped as one. No panel and no on-screen keyboard:
# nothing but the program and the plain desktop.
start_weston()
{
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    printf '[shell]\nbackground-color=0xff%s\npanel-position=none\n[input-method]\npath=\n' \
        "${E2E_DESKTOP_COLOUR#\#}" >"$E2E_TMP/weston.ini"
    weston --backend=x11-backend.so --use-pixman --config="$E2E_TMP/weston.ini" --idle-time=0 \
        --width=800 --height=600 --socket="$E2E_WAYLAND_SOCKET" --log="$E2E_TMP/weston.log" \
        >/dev/null 2>&1 &
    E2E_WM_PID=$!
    e2e_track "$E2E_WM_PID"
    e2e_wait_until 10 test -S "$XDG_RUNTIME_DIR/$E2E_WAYLAND_SOCKET" ||
        e2e_fail "weston did not start: $(cat "$E2E_TMP/weston.log")"
    e2e_wait_until 10 weston_output_window >/dev/null || e2e_fail "weston's output window did not appear"
    # Keys typed on the X server go to weston's window, which hands them to
    # the Wayland client it has focused.
    xdotool windowfocus --sync "$(weston_output_window)" || e2e_fail "could not focus weston's window"
    e2e_wait_until 10 desktop_shown || e2e_fail "weston did not draw its desktop"
}

start_wayland_program()
{
    mkdir "$E2E_TMP/empty-path"
    (cd "$E2E_RUN_DIR" && exec env -u DISPLAY PATH="$E2E_TMP/empty-path" SDL_VIDEODRIVER=wayland \
        WAYLAND_DISPLAY="$E2E_WAYLAND_SOCKET" "$E2E_PROGRAM") >"$E2E_TMP/stdout.log" 2>"$E2E_TMP/stderr.log" &
    E2E_PID=$!
    e2e_track "$E2E_PID"
}

# Weston activates a surface, giving it the keyboard, when it maps it, before
# it ever shows it: once the desktop is hidden, keys reach the program.
program_covers_screen()
{
    e2e_program_running || e2e_fail "the program ended before covering the screen: $(cat "$E2E_TMP/stderr.log")"
    e2e_screenshot "$E2E_TMP/running.png" && [ "$(desktop_pixels "$E2E_TMP/running.png")" -eq 0 ]
}

# A frame unlike the one the screen showed: the loop keeps presenting. (Two
# frames in a row can look alike: the water alternates two pictures, and the
# compositor may show every other frame.)
program_presents_new_frame()
{
    e2e_program_running || e2e_fail "the program ended while presenting frames: $(cat "$E2E_TMP/stderr.log")"
    e2e_screenshot "$E2E_TMP/later.png" && [ "$(pixels_differing "$E2E_TMP/running.png" "$E2E_TMP/later.png")" -gt 0 ]
}

e2e_start_xvfb 800x600x24
start_weston
start_wayland_program
e2e_wait_until 15 program_covers_screen || e2e_fail "the program did not cover the screen"
e2e_hold_key Left 0.5
e2e_wait_until 5 program_presents_new_frame || e2e_fail "the picture stood still: no frames were presented"

e2e_hold_key Escape 0.3
e2e_wait_exit 10
e2e_expect_equal "$E2E_EXIT_CODE" 27 "exit code after ESC"
grep -qxF "Thank You!: Thank you for trying Marivelt, the four elements in motion." "$E2E_TMP/stderr.log" ||
    e2e_fail "no farewell on standard error: $(cat "$E2E_TMP/stderr.log")"
e2e_pass
