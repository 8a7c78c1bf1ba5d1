# What the user sees: the four scenes in turn, one SPACE press each and back
# to the first, each told by its colours; J hides the key-help panel and
# shows it again; each arrow key moves the picture its own way; ESC ends
# with exit code 27.
e2e_require_tools xwd convert od
e2e_require_data
e2e_start_program
e2e_wait_shown

# SPACE is held until the next scene shows, and a while longer: the scene
# must stay while SPACE is held and after it is let go. A press that stepped
# more than once lands on another scene, or keeps changing it.
scene_stays() { e2e_wait_scene "$1" shot 10000 && sleep 0.3 && e2e_wait_scene "$1" shot 0; }
e2e_wait_scene WATER shot
for next in FIRE EARTH WIND WATER; do
    e2e_hold_key_during space scene_stays "$next"
    sleep 0.3
    e2e_wait_scene "$next" shot 0
done

panel_visible() { awk -v lit="$1" 'BEGIN { exit !(lit >= 0.03) }'; }  # shown: .092
panel_hidden() { awk -v lit="$1" 'BEGIN { exit !(lit < 0.002) }'; }   # hidden: 0
lit=$(e2e_measure "$E2E_PANEL_BOX" "$shot" | awk '{ print $1 }')
panel_visible "$lit" || e2e_fail "no key-help panel at the start (lit $lit)"
# J acts on every frame while it is held, so a short tap flips the panel an
# unknown number of times; each tap has about even odds, so twelve all
# failing means J does nothing.
tap_j_until()
{
    local hold
    for hold in 0.03 0.05 0.07 0.04 0.06 0.03 0.05 0.07 0.04 0.06 0.03 0.05; do
        e2e_hold_key j "$hold"
        sleep 0.2
        e2e_settled_measure "$E2E_PANEL_BOX" measure
        "$1" "${measure%% *}" && return 0
    done
    e2e_fail "twelve taps of J never left the panel ${1#panel_} (lit ${measure%% *})"
}
tap_j_until panel_hidden
e2e_take_shot shot
[ "$(e2e_scene_of "$shot")" = WATER ] || e2e_fail "the scene went with the panel"

# With the panel hidden the view box holds only the still pool, so its
# centre of mass is where the picture is. A pass moves it about 16 pixels,
# so 8 is half a pass; a hold that moved nothing (one frame outlasting it
# on a loaded machine) is tried again, longer.
view_box=800x480+0+35
e2e_settled_measure "$view_box" measure
read -r _ _ _ _ _ x y <<<"$measure"
[ "$x" -ge 0 ] || e2e_fail "nothing on the screen with the panel hidden"
for move in "Left 1 0" "Right -1 0" "Up 0 1" "Down 0 -1"; do  # key, the picture's move (dx dy signs)
    read -r key sx sy <<<"$move"
    for hold in 0.15 0.3 0.5; do
        e2e_hold_key "$key" "$hold"
        sleep 0.2
        e2e_settled_measure "$view_box" measure
        read -r _ _ _ _ _ nx ny <<<"$measure"
        [ "$nx" -ge 0 ] || e2e_fail "$key moved the picture off the screen"
        dx=$((nx - x)) dy=$((ny - y))
        [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ] && break
        e2e_log "$key held for $hold s moved nothing; holding it longer"
    done
    along=$((sx * dx + sy * dy)) across=$((sy * dx + sx * dy))
    [ "$along" -ge 8 ] || e2e_fail "$key moved the picture by ($dx, $dy) pixels"
    [ $((across < 0 ? -across : across)) -le $((along / 2)) ] || e2e_fail "$key moved the picture askew, by ($dx, $dy)"
    x=$nx y=$ny
done
tap_j_until panel_visible

# The first two SPACE steps, the second well after the first, settled the focus.
e2e_press_escape
e2e_expect_end "Thank You!" 27 "ESC"
e2e_pass
