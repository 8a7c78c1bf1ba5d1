# screen.sh — screenshots of the host display, the scenes told by colour, and
# keys and the pointer there (XTEST: to the focused window). A step that
# finds something hands it back in the variable its caller names (whose
# own locals start with _, so that no name of a caller's is hidden).

e2e_key() { DISPLAY=$E2E_HOST_DISPLAY xdotool "$@"; }
e2e_screenshot() { DISPLAY=$E2E_HOST_DISPLAY xwd -root -silent | convert xwd:- "$1"; }

# A new screenshot into the variable named $1: the X server's own dump (a
# PNG would cost more than a check) of the screen, or of window $2.
e2e_take_shot()
{
    local _source=(-root) _path
    [ -n "${2:-}" ] && _source=(-id "$2")
    _path=$(mktemp "$E2E_TMP/shot-XXXXXX.xwd")
    DISPLAY=$E2E_HOST_DISPLAY xwd "${_source[@]}" -silent >"$_path" || e2e_fail "could not take a screenshot"
    printf -v "$1" '%s' "$_path"
}

# A new screenshot into the variable named $1; true when it differs from
# screenshot $2 (default: the one the variable held). compare exits 1 for
# pictures that differ, 0 for equal ones, 2 when it cannot compare, which
# fails the test.
e2e_new_shot_differs()
{
    local _other=${2:-${!1:-}} _status
    e2e_take_shot "$1"
    [ -n "$_other" ] || return 0
    compare -metric AE "$_other" "${!1}" null: >"$E2E_TMP/compare.log" 2>&1
    _status=$?
    case $_status in 0) return 1 ;; 1) return 0 ;; *) e2e_fail "compare failed: $(cat "$E2E_TMP/compare.log")" ;; esac
}

# Whether a new screenshot shows the bare desktop (E2E_DESKTOP_SHOT) over $1 %
# of the screen or more; every fourth pixel of every fourth row tells.
e2e_desktop_shown()
{
    local shot
    e2e_take_shot shot
    convert "$E2E_DESKTOP_SHOT" "$shot" -alpha off -sample 25% -compose difference -composite -threshold 1% \
        -format "%[fx:(1 - mean) * 100 >= $1]" info: | grep -qx 1
}

# Where box $1 (WxH+X+Y of the program's 800 x 600 frame) shows on the screen.
e2e_on_screen()
{
    local w h x y pw ph px py
    e2e_geometry "$1" w h x y
    e2e_geometry "$E2E_PICTURE" pw ph px py
    awk -v w="$w" -v h="$h" -v x="$x" -v y="$y" -v pw="$pw" -v ph="$ph" -v px="$px" -v py="$py" 'BEGIN {
        sx = pw / 800; sy = ph / 600; printf "%dx%d+%d+%d\n", w * sx, h * sy, px + x * sx, py + y * sy }'
}

# Colour measures of box $1 (WxH+X+Y of the program's 800 x 600) of
# screenshot $2: the fractions of its pixels lit (a channel above 23; the
# background is 0), blue-cyan (water, seas), orange-yellow (flame), brown
# (dirt, the stick) and grey (text, the funnel, tiles), then the lit
# pixels' centre in the program's pixels (-1 -1: none). Every other pixel of
# every other row gives the fractions within a few thousandths.
e2e_measure()
{
    local width height x y
    e2e_geometry "$1" width height x y
    convert "$2" -crop "$(e2e_on_screen "$1")" +repage -sample "$((width / 2))x$((height / 2))!" -depth 8 rgb:- |
        od -An -v -tu1 -w3 |
        awk -v W=$((width / 2)) -v X0="$x" -v Y0="$y" '
            { r = $1; g = $2; b = $3; n++
              max = r; if (g > max) max = g; if (b > max) max = b
              min = r; if (g < min) min = g; if (b < min) min = b
              if (max < 24) next
              lit++; sx += (n - 1) % W; sy += int((n - 1) / W)
              if (b > r + 40 && b > 70) blue++
              if (r > 150 && r > b + 90 && g > 40) orange++
              else if (r > g && g > b && r - b > 25 && max - min < 120) brown++
              if (max - min < 40 && max >= 60) grey++ }
            END { if (n == 0) { print "0 0 0 0 0 -1 -1"; exit }
                  printf "%.4f %.4f %.4f %.4f %.4f %d %d\n", lit / n, blue / n, orange / n,
                         brown / n, grey / n, lit ? X0 + 2 * sx / lit : -1, lit ? Y0 + 2 * sy / lit : -1 }'
}

# Which scene a screenshot shows: WATER, FIRE, EARTH, WIND or NONE, by the
# colours in a box left of the key-help panel and between the titles, where
# every scene draws at the initial view; measured there:
#   WATER  blue .066, orange 0, brown 0, grey .056
#   FIRE   orange .006, brown .009, blue 0, grey .0003, lit .021
#   EARTH  brown .24, blue .045-.051 (the planet), orange .004
#   WIND   grey .020-.022, brown .014-.017, blue 0, orange 0, lit .053
# The thresholds sit well inside those gaps, so the animation (flame,
# turning planet and funnel) never moves a scene across them.
E2E_SCENE_BOX=430x460+100+40 E2E_PANEL_BOX=265x430+535+30
e2e_scene_of()
{
    e2e_measure "$E2E_SCENE_BOX" "$1" | awk '{
        lit = $1; blue = $2; orange = $3; brown = $4; grey = $5
        if (brown >= 0.10 && blue >= 0.01) print "EARTH"
        else if (blue >= 0.03 && orange < 0.001 && brown < 0.01) print "WATER"
        else if (orange >= 0.002 && blue < 0.001 && brown < 0.05 && grey < 0.005) print "FIRE"
        else if (grey >= 0.005 && blue < 0.001 && orange < 0.001 && lit < 0.15) print "WIND"
        else print "NONE" }'
}

# Whether a new screenshot (into the variable named $2) shows scene $1.
e2e_scene_is()
{
    e2e_take_shot "$2"
    [ "$(e2e_scene_of "${!2}")" = "$1" ] && return 0
    e2e_program_running || e2e_fail "the program ended while $1 was awaited: $(e2e_said)"
    return 1
}

# Waits up to $3 ms (15 s) for scene $1 on the screen; the variable named
# $2 gets the screenshot that shows it.
e2e_wait_scene()
{
    e2e_wait "${3:-15000}" e2e_scene_is "$1" "$2" ||
        e2e_fail "the screen shows $(e2e_scene_of "${!2}"), not $1 ($(e2e_measure "$E2E_SCENE_BOX" "${!2}"))"
}

# True when a new screenshot measures box $1 as the variable named $2 holds;
# the variable gets the new measure either way.
e2e_measure_unchanged()
{
    local _shot _measure
    e2e_take_shot _shot
    _measure=$(e2e_measure "$1" "$_shot")
    [ "$_measure" = "${!2}" ] && return 0
    printf -v "$2" '%s' "$_measure"
    return 1
}

# Waits until the picture in box $1 stops changing (two screenshots in a row
# measure the same), up to 10 s; the variable named $2 gets the measure.
e2e_settled_measure()
{
    printf -v "$2" '%s' ""
    e2e_wait 10000 e2e_measure_unchanged "$1" "$2" || e2e_fail "the picture did not settle: ${!2}"
}

# Holds key $1 for $2 s: across idle passes (a key pressed and released
# between two does nothing).
e2e_hold_key() { e2e_key keydown "$1" && sleep "$2" && e2e_key keyup "$1"; }

# Holds key $1 while a step waits for what it does: on a loaded machine a
# pass can outlast any fixed short hold.
e2e_hold_key_during()
{
    local key=$1 status
    shift
    e2e_key keydown "$key" || e2e_fail "xdotool could not press $key"
    "$@"
    status=$?
    e2e_key keyup "$key"
    return "$status"
}

# The scene on the screen, the one two screenshots in a row show (a window
# just restored shows a picture of its own until its next frame), into the
# variable named $1.
e2e_scene_shown_twice()
{
    local _shot
    e2e_take_shot _shot
    printf -v "$1" '%s' "$(e2e_scene_of "$_shot")"
    [ "${!1}" != NONE ] && e2e_scene_is "${!1}" _shot
}

# One SPACE press, held until the scene after the one on the screen shows.
e2e_step_scene()
{
    local shown next shot
    e2e_wait 15000 e2e_scene_shown_twice shown || e2e_fail "no scene to step from"
    case $shown in WATER) next=FIRE ;; FIRE) next=EARTH ;; EARTH) next=WIND ;; *) next=WATER ;; esac
    e2e_hold_key_during space e2e_wait_scene "$next" shot 10000
}

e2e_focus_is_the_window() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$E2E_WINDOW" ] || ! xdotool getwindowfocus >/dev/null 2>&1; }

# Waits until the program has taken its last focus message, before ESC: the
# exit code is the last message's parameter, and SDL hands an X focus change
# over 200 ms late after a mode change, behind keys read with it (ESC's
# key-down first, the exit code is the focus message's 1). So: the X focus
# is on the window (no focus at all: it follows the pointer); a SPACE press
# that acts shows the change was read, a second after SDL's 200 ms that it
# was taken. Leaves two scenes on.
e2e_settle_focus()
{
    if [ "$E2E_DEMO" = x11 ]; then
        e2e_wait 10000 e2e_focus_is_the_window || e2e_fail "the program window never got the X focus"
    fi
    e2e_step_scene
    sleep 0.2
    e2e_step_scene
}

e2e_program_window_gone() { [ -z "$(e2e_program_window)" ]; }
e2e_program_gone_from_screen() { e2e_program_ended || e2e_desktop_back; }

# ESC, held until the program's window goes (with no key repeat the box
# sees only its release, which does not dismiss it); sets E2E_WAY_AT, when
# the way out was taken.
e2e_press_escape()
{
    local status gone=e2e_program_gone_from_screen
    E2E_WAY_AT=$(e2e_now_ms)
    [ "$E2E_DEMO" = x11 ] && gone=e2e_program_window_gone
    e2e_key keydown Escape || e2e_fail "xdotool could not press Escape"
    e2e_wait 15000 "$gone"
    status=$?
    e2e_key keyup Escape
    [ "$status" -eq 0 ] || e2e_fail "ESC held for 15 s left the program on the screen"
}
