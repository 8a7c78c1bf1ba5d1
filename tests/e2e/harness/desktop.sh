# desktop.sh — the desktop (E2E_DESKTOP: xvfb, xorg or compositor) and what
# stands on it: the program's window, an X window on $DISPLAY when the demo
# is an X client (E2E_DEMO), and its boxes (E2E_BOXES): SDL's X windows,
# zenity's dialogs, or where none can show, their words on standard error.
# A box is judged as a user would judge it: drawn on the screen, and
# answered with Return typed to whatever has the focus.

# The desktop as a user would find it changed: Xvfb's screen size (it cannot
# change modes), Xorg's whole RandR configuration (every output's mode,
# position and rotation, the screen's size), a compositor's desktop showing
# on half the screen or more (a box may stand on it: zenity's, at scale 2, a
# sixth of the screen).
e2e_desktop_state()
{
    case $E2E_DESKTOP in
    xvfb) xdpyinfo -display "$E2E_HOST_DISPLAY" | awk '/dimensions:/ { print $2; exit }' ;;
    xorg) xrandr --current ;;
    compositor) e2e_desktop_shown 50 && echo "the desktop" || echo "the desktop, covered" ;;
    esac
}
e2e_desktop_back() { [ "$(e2e_desktop_state)" = "$E2E_DESKTOP_BEFORE" ]; }

# The mode of Xorg's first connected output, as WIDTHxHEIGHT.
e2e_current_mode()
{
    xrandr --current | awk '/ connected/ { for (i = 3; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) {
        sub(/\+.*/, "", $i); print $i; exit } }'
}
e2e_mode_is() { [ "$(e2e_current_mode)" = "$1" ]; }

e2e_program_window() { xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null | head -n1; }
e2e_window_geometry()
{
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
}
# The id of a window named exactly $1. xwininfo reads the names SDL gives
# its message boxes; xdotool's --name search cannot.
e2e_window_named() { xwininfo -name "$1" 2>/dev/null | awk '/Window id:/ { print $4; exit }'; }
e2e_window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# The program's own window (carrying its pid), visible: E2E_WINDOW.
e2e_program_window_found()
{
    e2e_program_running || e2e_fail "the program ended before showing its window: $(e2e_said)"
    E2E_WINDOW=$(e2e_program_window)
    [ -n "$E2E_WINDOW" ]
}
e2e_wait_program_window() { e2e_wait 15000 e2e_program_window_found || e2e_fail "the program window did not appear"; }

e2e_program_covers_the_desktop() { e2e_program_running && ! e2e_desktop_shown 1; }
e2e_window_at() { [ "$(e2e_window_geometry "$E2E_WINDOW")" = "$1" ]; }

# Waits until the program covers the screen: its X window covers the X
# screen (800 x 600 at the top left, Xorg running 800 x 600; through
# Xwayland the output, whose mode it keeps); on a compositor, no desktop
# left.
e2e_wait_shown()
{
    local screen=800x600+0+0
    [ "$E2E_DESKTOP" = compositor ] && screen=$E2E_OUTPUT+0+0
    [ "$E2E_DEMO" = x11 ] && e2e_wait_program_window
    if [ "$E2E_DESKTOP" = compositor ]; then
        e2e_wait 15000 e2e_program_covers_the_desktop || e2e_fail "the program did not cover the screen: $(e2e_said)"
    fi
    if [ "$E2E_DEMO" = x11 ]; then
        e2e_wait 10000 e2e_window_at "$screen" ||
            e2e_fail "the program window is at $(e2e_window_geometry "$E2E_WINDOW"), not $screen"
    fi
    [ "$E2E_DESKTOP" != xorg ] || e2e_wait 10000 e2e_mode_is 800x600 ||
        e2e_fail "the display runs $(e2e_current_mode), not 800x600"
    [ "$E2E_DESKTOP" != compositor ] || [ "$E2E_DEMO" != x11 ] ||
        e2e_expect_equal "$(e2e_current_mode)" "$E2E_OUTPUT" "Xwayland's mode under the program"
}

# The program's zenity box (its pid), and whether a new screenshot (the one
# before it in the variable named $1) shows a dialog (Adwaita's light grey,
# over 10,000 pixels of it) drawn and still, not one mid-animation.
e2e_zenity_box() { pgrep -P "$E2E_PID" -x zenity | head -n1; }
e2e_dialog_drawn()
{
    ! e2e_new_shot_differs "$1" && convert "${!1}" -alpha off -fill white -opaque "#f6f5f4" -fill black +opaque white \
        -format "%[fx:mean * w * h > 10000]" info: | grep -qx 1
}

# Whether X box $1 is drawn on the screen: where it stands, not black (as
# the full-screen window over a box is) but its own colour, with bright
# pixels on it (its words or, on a 16-bit screen, its background).
e2e_x_box_drawn()
{
    local shot
    e2e_take_shot shot
    convert "$shot" -alpha off -crop "$(e2e_window_geometry "$1")" +repage -depth 8 txt:- |
        awk -F '[ ,:()]+' 'NR > 1 { r = $4; g = $5; b = $6; n++
            max = r; if (g > max) max = g; if (b > max) max = b
            if (max >= 24) lit++; if (max >= 150) bright++ }
            END { exit !(n > 0 && lit / n >= 0.9 && bright >= 20) }'
}

# The caption and text a zenity box $1 was given, as "CAPTION: TEXT".
e2e_zenity_words()
{
    local arguments index title= text=
    mapfile -d '' arguments <"/proc/$1/cmdline"
    for ((index = 0; index + 1 < ${#arguments[@]}; index++)); do
        case ${arguments[index]} in
        --title) title=${arguments[index + 1]} ;;
        --text) text=${arguments[index + 1]} ;;
        esac
    done
    echo "$title: $text"
}

# E2E_BOX: the box captioned $1, once it is there (an X window, mapped; a
# zenity process); failing should the program end first.
e2e_box_found()
{
    if [ "$E2E_BOXES" = zenity ]; then
        E2E_BOX=$(e2e_zenity_box)
    else
        E2E_BOX=$(e2e_window_named "$1")
        [ -n "$E2E_BOX" ] && ! e2e_window_viewable "$E2E_BOX" && E2E_BOX=
    fi
    [ -n "$E2E_BOX" ] && return 0
    e2e_program_running || e2e_fail "the program ended without a \"$1\" box: $(e2e_said)"
    return 1
}

# Waits for a box captioned $1 drawn on the screen; sets E2E_BOX (an X
# window, or a zenity process whose words are added to $E2E_TMP/boxes.log).
e2e_wait_box()
{
    local caption=$1 words shot=
    e2e_wait 15000 e2e_box_found "$caption" || e2e_fail "no \"$caption\" box appeared"
    if [ "$E2E_BOXES" = zenity ]; then
        words=$(e2e_zenity_words "$E2E_BOX")
        echo "$words" >>"$E2E_TMP/boxes.log"
        [[ $words == "$caption: "* ]] || e2e_fail "a box other than \"$caption\": $words"
        e2e_wait 15000 e2e_dialog_drawn shot || e2e_fail "the \"$caption\" box never showed"
    else
        e2e_wait 15000 e2e_x_box_drawn "$E2E_BOX" || e2e_fail "the \"$caption\" box is mapped but not drawn on the screen"
    fi
}

# What the boxes said: zenity's words, else standard error's (less SDL's own).
e2e_boxes_said() { if [ "$E2E_BOXES" = zenity ]; then cat "$E2E_TMP/boxes.log" 2>/dev/null; else e2e_said_itself; fi; }

# The boxes said $1 (an X box's words are its own), and standard error holds
# nothing else; for way $2. The words kept are cleared for the next way.
e2e_expect_said()
{
    [ "$E2E_BOXES" = x11 ] || e2e_expect_equal "$(e2e_boxes_said)" "$1" "$2: what the boxes said"
    [ "$E2E_BOXES" = stderr ] || e2e_expect_equal "$(e2e_said_itself)" "" "$2: what the program said on standard error"
    rm -f "$E2E_TMP/boxes.log"
}

e2e_box_has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((E2E_BOX))" ]; }  # xwininfo says hex, xdotool decimal
e2e_box_gone() { e2e_process_gone "$E2E_BOX"; }
e2e_x_box_gone() { ! e2e_window_viewable "$E2E_BOX"; }

# Return typed to whatever has the focus, once box E2E_BOX has it (an X box:
# the X server says so; with no window manager to give it the focus, the
# keys go to the window under the pointer, where a user puts it; zenity's:
# the compositor gives it the dialog it shows); the box then goes.
e2e_dismiss_box()
{
    local shown=
    if [ "$E2E_BOXES" = zenity ]; then
        e2e_take_shot shown
        e2e_key key Return || e2e_fail "could not press Return"
        e2e_wait 10000 e2e_box_gone || e2e_fail "the box took no Return"
        # A loaded compositor can show it a while after zenity has ended; a
        # box after it is looked for once the screen has changed.
        e2e_wait 10000 e2e_new_shot_differs shot "$shown" || e2e_fail "the answered box stayed on the screen"
    else
        if [ "$E2E_COMPOSITOR" = - ] && { [ "$E2E_MANAGER" = - ] || [ "$E2E_MANAGER" = killed ]; }; then
            e2e_key mousemove --window "$E2E_BOX" 10 10 || e2e_fail "could not move the pointer onto the box"
        else
            e2e_wait 10000 e2e_box_has_focus || e2e_fail "the box never got the keyboard's focus"
        fi
        e2e_key key Return || e2e_fail "could not press Return"
        e2e_wait 10000 e2e_x_box_gone || e2e_fail "the box took no Return"
    fi
}

# The desktop back within a second of E2E_WAY_AT (ms) for way $1 (on a
# compositor, weston 1.7 s late even after a killed X client, within three).
e2e_expect_desktop_back()
{
    local within=1000
    [ "$E2E_DESKTOP" = compositor ] && within=3000
    e2e_wait $((E2E_WAY_AT + within - $(e2e_now_ms))) e2e_desktop_back ||
        e2e_fail "$1: the desktop is not back $within ms after the way out: $(e2e_desktop_state)"
    e2e_log "$1: the desktop back $(($(e2e_now_ms) - E2E_WAY_AT)) ms after the way out"
}

E2E_CAPTIONS=("Thank You!" "ERROR" "Error" "SHUTDOWN ERROR")  # one box shows at a time

# No X window but box $1 of the program's is on the screen (for way $2).
e2e_expect_box_alone()
{
    local other
    [ "$E2E_BOXES" = x11 ] || return 0
    [ "$E2E_DEMO" != x11 ] || [ -z "$(e2e_program_window)" ] ||
        e2e_fail "$2: the program window is still on screen beside the box"
    for other in "${E2E_CAPTIONS[@]}"; do
        [ "$other" = "$1" ] || [ -z "$(e2e_window_named "$other")" ] || e2e_fail "$2: a \"$other\" box beside the \"$1\" box"
    done
}

# The end of way $3 taken at E2E_WAY_AT (unset for a failed start): the
# desktop back, box $1 alone with the window gone and the desktop as before
# (with no way to show it, its words on standard error); dismissed, exit
# code $2 within 2 s, the desktop as before, no window left.
e2e_expect_end()
{
    local caption=$1 code=$2 way=$3 other dismissed
    [ -z "${E2E_WAY_AT:-}" ] || e2e_expect_desktop_back "$way"
    if [ "$E2E_BOXES" != stderr ]; then
        e2e_wait_box "$caption"
        e2e_program_running || e2e_fail "$way: the program ended before its \"$caption\" box was dismissed"
        e2e_expect_box_alone "$caption" "$way"
        [ "$E2E_DESKTOP" = compositor ] ||
            e2e_expect_equal "$(e2e_desktop_state)" "$E2E_DESKTOP_BEFORE" "$way: the desktop under the \"$caption\" box"
        e2e_dismiss_box
    else
        e2e_wait 15000 grep -q "^$caption: " "$E2E_TMP/stderr.log" || e2e_fail "$way: no \"$caption\" words: $(e2e_said)"
    fi
    dismissed=$(e2e_now_ms)
    e2e_wait_exit 10000
    [ $(($(e2e_now_ms) - dismissed)) -le 2000 ] || e2e_fail "$way: the program ended over 2 s after its box was dismissed"
    e2e_expect_equal "$E2E_EXIT_CODE" "$code" "$way: the exit code"
    e2e_wait 2000 e2e_desktop_back
    e2e_expect_equal "$(e2e_desktop_state)" "$E2E_DESKTOP_BEFORE" "$way: the desktop afterwards"
    [ "$E2E_BOXES" != x11 ] || for other in Marivelt "${E2E_CAPTIONS[@]}"; do
        [ -z "$(e2e_window_named "$other")" ] || e2e_fail "$way: a window \"$other\" outlived the program"
    done
    E2E_WAY_AT=
}
