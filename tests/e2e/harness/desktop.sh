# desktop.sh — the desktop (E2E_DESKTOP: xvfb, xorg or compositor) and what
# stands on it: the program's window, an X window on $DISPLAY when
# E2E_X_CLIENT is 1, and its boxes (E2E_BOXES): X windows, zenity's dialogs
# (Wayland), or where none can show, their words on standard error.

# The desktop as a user would find it changed: Xvfb's screen size (it cannot
# change modes), Xorg's whole RandR configuration (every output's mode,
# position and rotation, the screen's size), a compositor's desktop showing
# on half the screen or more (a box may stand on it: zenity's, at scale 2, a
# sixth of the screen).
e2e_desktop_state()
{
    case $E2E_DESKTOP in
    xvfb) xdpyinfo | awk '/dimensions:/ { print $2; exit }' ;;
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
# Waits for the program's own window (carrying its pid) visible; sets E2E_WINDOW.
e2e_wait_program_window()
{
    e2e_wait 15000 eval 'e2e_program_running || e2e_fail "the program ended before showing its window: $(e2e_said)"
        E2E_WINDOW=$(e2e_program_window); [ -n "$E2E_WINDOW" ]' || e2e_fail "the program window did not appear"
}

# Waits until the program covers the screen: its X window E2E_FULL_SCREEN
# (800 x 600 at the top left, Xorg running 800 x 600; through Xwayland the
# output's size, its mode kept); on a compositor, no desktop left.
E2E_FULL_SCREEN=800x600+0+0
e2e_wait_shown()
{
    [ "$E2E_X_CLIENT" = 1 ] && e2e_wait_program_window
    if [ "$E2E_DESKTOP" = compositor ]; then
        e2e_wait 15000 eval 'e2e_program_running && ! e2e_desktop_shown 1' ||
            e2e_fail "the program did not cover the screen: $(e2e_said)"
    fi
    if [ "$E2E_X_CLIENT" = 1 ]; then
        e2e_wait 10000 eval '[ "$(e2e_window_geometry "$E2E_WINDOW")" = "$E2E_FULL_SCREEN" ]' ||
            e2e_fail "the program window is at $(e2e_window_geometry "$E2E_WINDOW"), not $E2E_FULL_SCREEN"
    fi
    [ "$E2E_DESKTOP" != xorg ] || e2e_wait 10000 eval '[ "$(e2e_current_mode)" = 800x600 ]' ||
        e2e_fail "the display runs $(e2e_current_mode), not 800x600"
    [ "$E2E_DESKTOP" != compositor ] || [ "$E2E_X_CLIENT" != 1 ] || e2e_expect_equal "$(e2e_current_mode)" \
        "${E2E_FULL_SCREEN%%+*}" "Xwayland's mode under the program"
}

# The program's zenity box (its pid), and whether a new screenshot shows a
# dialog (Adwaita's light grey, over 10,000 pixels of it) drawn and still,
# two screenshots in a row the same, not one mid-animation.
e2e_zenity_box() { pgrep -P "$E2E_PID" -x zenity | head -n1; }
e2e_dialog_drawn()
{
    ! e2e_new_shot_differs && convert "$E2E_SHOT" -alpha off -fill white -opaque "#f6f5f4" -fill black +opaque white \
        -format "%[fx:mean * w * h > 10000]" info: | grep -qx 1
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

# Waits for a box captioned $1 on screen; sets E2E_BOX (an X window, or a
# zenity process whose words are added to $E2E_TMP/boxes.log).
e2e_wait_box()
{
    local caption=$1 words
    if [ "$E2E_BOXES" = zenity ]; then
        e2e_wait 15000 eval 'E2E_BOX=$(e2e_zenity_box); [ -n "$E2E_BOX" ] ||
            { e2e_program_running || e2e_fail "the program ended without a \"$caption\" box: $(e2e_said)"; false; }' ||
            e2e_fail "no zenity box \"$caption\" appeared"
        words=$(e2e_zenity_words "$E2E_BOX")
        echo "$words" >>"$E2E_TMP/boxes.log"
        [[ $words == "$caption: "* ]] || e2e_fail "a box other than \"$caption\": $words"
        e2e_wait 15000 e2e_dialog_drawn || e2e_fail "the \"$caption\" box never showed"
        return
    fi
    e2e_wait 15000 eval 'E2E_BOX=$(e2e_window_named "$caption"); [ -n "$E2E_BOX" ] && e2e_window_viewable "$E2E_BOX" ||
        { e2e_program_running || e2e_fail "the program ended without a \"$caption\" box: $(e2e_said)"; false; }' ||
        e2e_fail "no \"$caption\" box appeared"
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

# Return to box E2E_BOX: into it (X), or typed to the compositor, which
# hands it to the dialog it has focused; zenity then ends.
e2e_dismiss_box()
{
    if [ "$E2E_BOXES" = zenity ]; then
        local shown=$E2E_SHOT
        e2e_key key Return || e2e_fail "could not press Return"
        e2e_wait 10000 eval '! kill -0 "$E2E_BOX" 2>/dev/null' || e2e_fail "the box took no Return"
        # A loaded compositor can show it a while after zenity has ended; a
        # box after it is looked for once the screen has changed.
        e2e_wait 10000 e2e_new_shot_differs "$shown" ||
            e2e_fail "the answered box stayed on the screen"
    else
        xdotool key --window "$E2E_BOX" Return 2>/dev/null || e2e_fail "could not press Return in box $E2E_BOX"
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
        if [ "$E2E_X_CLIENT" = 1 ]; then
            [ -z "$(e2e_program_window)" ] || e2e_fail "$way: the program window is still on screen beside the box"
            for other in "${E2E_CAPTIONS[@]}"; do
                [ "$other" = "$caption" ] || [ -z "$(e2e_window_named "$other")" ] ||
                    e2e_fail "$way: a \"$other\" box beside the \"$caption\" box"
            done
        fi
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
    for other in Marivelt "${E2E_CAPTIONS[@]}"; do
        [ "$E2E_X_CLIENT" != 1 ] || [ -z "$(e2e_window_named "$other")" ] ||
            e2e_fail "$way: a window \"$other\" outlived the program"
    done
    E2E_WAY_AT=
}
