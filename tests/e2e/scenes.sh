#!/bin/bash
# What the user sees: the four scenes in turn, one SPACE press each and back
# to the first, each told by its colours; J hides the key-help panel and
# shows it again; each arrow key moves the picture its own way; ESC ends
# with exit code 27.
source "$(dirname "$0")/lib.sh"

for tool in xwd convert od; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
e2e_require_graphics
e2e_start_xvfb 800x600x16
e2e_start_program
e2e_wait_program_window

# --- SPACE steps through the scenes, once per press ---
# SPACE is held until the next scene shows, which on a loaded machine can
# take many passes, and a while longer: the scene must stay while SPACE is
# held and after it is let go. A press that stepped more than once lands on
# another scene, or keeps changing it. Each scene is told by its colours,
# so the four screenshots also differ from one another.
scene_stays() { e2e_wait_scene "$1" 10 && sleep 0.3 && e2e_wait_scene "$1" 0; }
e2e_wait_scene WATER
shots=("$E2E_SHOT")
for next in FIRE EARTH WIND WATER; do
    e2e_hold_key_during space scene_stays "$next"
    shots+=("$E2E_SHOT")
    sleep 0.3
    e2e_wait_scene "$next" 0
done

# --- J: the key-help panel ---
panel_lit() { e2e_measure "$E2E_PANEL_BOX" "$1" | awk '{ print $1 }'; }
panel_visible() { awk -v lit="$1" 'BEGIN { exit !(lit >= 0.03) }'; }  # shown: .092
panel_hidden() { awk -v lit="$1" 'BEGIN { exit !(lit < 0.002) }'; }   # hidden: 0

lit=$(panel_lit "${shots[4]}")
panel_visible "$lit" || e2e_fail "no key-help panel at the start (lit $lit)"

# J acts on every frame while it is held, so a short tap flips the panel an
# unknown number of times. Tapped until the panel has flipped: each tap has
# about even odds, so twelve tries all failing means J does nothing.
tap_j_until()
{
    local wanted=$1 hold
    for hold in 0.03 0.05 0.07 0.04 0.06 0.03 0.05 0.07 0.04 0.06 0.03 0.05; do
        e2e_hold_key j "$hold"
        sleep 0.2
        e2e_settled_measure "$E2E_PANEL_BOX"
        "$wanted" "${E2E_MEASURE%% *}" && return 0
    done
    e2e_fail "twelve taps of J never left the panel ${wanted#panel_} (lit ${E2E_MEASURE%% *})"
}
tap_j_until panel_hidden
[ "$(e2e_scene_of "$E2E_SHOT")" = WATER ] || e2e_fail "the scene went with the panel"

# --- Arrows move the picture ---
# With the panel hidden the whole width between the titles holds only the
# pool, which stands still, so its centre of mass is where the picture is.
# A pass moves it 0.1 world units, about 16 pixels, so 8 pixels is half a
# pass. A hold of 0.15 s spans several passes, unless the machine is so
# loaded that one frame outlasts it: a hold that moved nothing at all is
# tried again, longer.
view_box=800x480+0+35
e2e_settled_measure "$view_box"
read -r _ _ _ _ _ x y <<<"$E2E_MEASURE"
[ "$x" -ge 0 ] || e2e_fail "nothing on the screen with the panel hidden"

# key, expected direction of the picture's move on the screen (dx dy signs)
for move in "Left 1 0" "Right -1 0" "Up 0 1" "Down 0 -1"; do
    read -r key sx sy <<<"$move"
    for hold in 0.15 0.3 0.5; do
        e2e_hold_key "$key" "$hold"
        sleep 0.2
        e2e_settled_measure "$view_box"
        read -r _ _ _ _ _ nx ny <<<"$E2E_MEASURE"
        [ "$nx" -ge 0 ] || e2e_fail "$key moved the picture off the screen"
        dx=$((nx - x)) dy=$((ny - y))
        [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ] && break
        e2e_log "$key held for $hold s moved nothing; holding it longer"
    done
    along=$((sx * dx + sy * dy))       # the move in the expected direction
    across=$((sy * dx + sx * dy))      # and at right angles to it
    [ "$along" -ge 8 ] || e2e_fail "$key moved the picture by ($dx, $dy) pixels"
    [ $((across < 0 ? -across : across)) -le $((along / 2)) ] ||
        e2e_fail "$key moved the picture askew, by ($dx, $dy) pixels"
    x=$nx y=$ny
done

tap_j_until panel_visible

# --- ESC ---
# The first two SPACE steps above, the second pressed well after the first
# had shown, settled the focus as e2e_wait_focus_settled does.
e2e_press_escape
e2e_expect_farewell 27 "exit code after ESC"
e2e_pass
