# screen.sh — screenshots of the host display, the scenes told by colour, and
# keys held there (XTEST: to the focused window). E2E_PICTURE: where the
# program's 800 x 600 frame shows on the screen (WxH+X+Y).
E2E_PICTURE=${E2E_PICTURE:-800x600+0+0} E2E_SHOT_COUNT=0

e2e_key() { DISPLAY=$E2E_HOST_DISPLAY xdotool "$@"; }
e2e_screenshot() { DISPLAY=$E2E_HOST_DISPLAY xwd -root -silent | convert xwd:- "$1"; }

# A numbered screenshot, the X server's own dump (a PNG would cost more than
# a check), of the screen or of window E2E_SHOT_WINDOW; sets E2E_SHOT.
e2e_take_shot()
{
    local source=(-root)
    [ -n "${E2E_SHOT_WINDOW:-}" ] && source=(-id "$E2E_SHOT_WINDOW")
    E2E_SHOT="$E2E_TMP/shot-$((++E2E_SHOT_COUNT)).xwd"
    DISPLAY=$E2E_HOST_DISPLAY xwd "${source[@]}" -silent >"$E2E_SHOT" || e2e_fail "could not take a screenshot"
}

# Takes a new screenshot; true when it differs from screenshot $1 (default:
# the one before it). compare exits 1 for pictures that differ, 0 for equal
# ones, 2 when it cannot compare, which fails the test.
e2e_new_shot_differs()
{
    local other=${1:-${E2E_SHOT:-}}
    e2e_take_shot
    [ -n "$other" ] || return 0
    compare -metric AE "$other" "$E2E_SHOT" null: >"$E2E_TMP/compare.log" 2>&1
    case $? in 0) return 1 ;; 1) return 0 ;; *) e2e_fail "compare failed: $(cat "$E2E_TMP/compare.log")" ;; esac
}

# Whether a new screenshot shows the bare desktop (E2E_DESKTOP_SHOT) over $1 %
# of the screen or more; every fourth pixel of every fourth row tells.
e2e_desktop_shown()
{
    e2e_take_shot
    convert "$E2E_DESKTOP_SHOT" "$E2E_SHOT" -alpha off -sample 25% -compose difference -composite -threshold 1% \
        -format "%[fx:(1 - mean) * 100 >= $1]" info: | grep -qx 1
}

# Where box $1 (WxH+X+Y of the program's 800 x 600 frame) shows on the screen.
e2e_on_screen()
{
    awk -v box="$1" -v picture="$E2E_PICTURE" 'BEGIN { split(box, b, /[x+]/); split(picture, p, /[x+]/)
        sx = p[1] / 800; sy = p[2] / 600
        printf "%dx%d+%d+%d\n", b[1] * sx, b[2] * sy, p[3] + b[3] * sx, p[4] + b[4] * sy }'
}

# Colour measures of box $1 (WxH+X+Y of the program's 800 x 600) of
# screenshot $2: the fractions of its pixels lit (a channel above 23; the
# background is 0), blue-cyan (water, seas), orange-yellow (flame), brown
# (dirt, the stick) and grey (text, the funnel, tiles), then the lit
# pixels' centre in the program's pixels (-1 -1: none). Every other pixel of
# every other row gives the fractions within a few thousandths.
e2e_measure()
{
    local width=${1%%x*} height=${1#*x} x=${1#*+} y
    height=${height%%+*} y=${x#*+} x=${x%%+*}
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

# Whether a new screenshot shows scene $1 (E2E_SHOWN: the one it shows).
e2e_scene_is()
{
    e2e_take_shot
    E2E_SHOWN=$(e2e_scene_of "$E2E_SHOT")
    [ "$E2E_SHOWN" = "$1" ] || { e2e_program_running || e2e_fail "the program ended while $1 was awaited: $(e2e_said)"; false; }
}

# Waits up to $2 ms (15 s) for scene $1 on the screen; E2E_SHOT shows it.
e2e_wait_scene()
{
    e2e_wait "${2:-15000}" e2e_scene_is "$1" ||
        e2e_fail "the screen shows $E2E_SHOWN, not $1 ($(e2e_measure "$E2E_SCENE_BOX" "$E2E_SHOT"))"
}

# Waits until the picture in box $1 stops changing (two screenshots in a row
# measure the same), up to 10 s; sets E2E_MEASURE and E2E_SHOT.
e2e_settled_measure()
{
    local box=$1 previous=
    e2e_wait 10000 eval 'e2e_take_shot; E2E_MEASURE=$(e2e_measure "$box" "$E2E_SHOT")
        [ "$E2E_MEASURE" = "$previous" ] || { previous=$E2E_MEASURE; false; }' ||
        e2e_fail "the picture did not settle: $E2E_MEASURE"
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

# One SPACE press, held until the scene after the one on the screen shows.
# The scene on the screen is the one two screenshots in a row show: a window
# just restored shows a picture of its own until its next frame.
e2e_step_scene()
{
    local next
    e2e_wait 15000 eval 'e2e_scene_is NONE; [ "$E2E_SHOWN" != NONE ] && e2e_scene_is "$E2E_SHOWN"' ||
        e2e_fail "no scene to step from ($(e2e_measure "$E2E_SCENE_BOX" "$E2E_SHOT"))"
    case $E2E_SHOWN in WATER) next=FIRE ;; FIRE) next=EARTH ;; EARTH) next=WIND ;; *) next=WATER ;; esac
    e2e_hold_key_during space e2e_wait_scene "$next" 10000
}

# Waits until the program has taken its last focus message, before ESC: the
# exit code is the last message's parameter, and SDL hands an X focus change
# over 200 ms late after a mode change, behind keys read with it (ESC's
# key-down first, the exit code is the focus message's 1). So: the X focus
# is on the window; a SPACE press that acts shows the change was read, a
# second after SDL's 200 ms that it was taken. Leaves two scenes on.
e2e_settle_focus()
{
    if [ "$E2E_X_CLIENT" = 1 ]; then  # no focus at all: it follows the pointer
        e2e_wait 10000 eval '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$E2E_WINDOW" ] ||
            ! xdotool getwindowfocus >/dev/null 2>&1' || e2e_fail "the program window never got the X focus"
    fi
    e2e_step_scene
    sleep 0.2
    e2e_step_scene
}

# ESC, held until the program's window goes (with no key repeat the box
# sees only its release, which does not dismiss it); sets E2E_WAY_AT.
e2e_press_escape()
{
    local status
    E2E_WAY_AT=$(e2e_now_ms)
    e2e_key keydown Escape || e2e_fail "xdotool could not press Escape"
    if [ "$E2E_X_CLIENT" = 1 ]; then
        e2e_wait 15000 eval '[ -z "$(e2e_program_window)" ]'
    else
        e2e_wait 15000 eval 'e2e_program_ended || e2e_desktop_back'
    fi
    status=$?
    e2e_key keyup Escape
    [ "$status" -eq 0 ] || e2e_fail "ESC held for 15 s left the program on the screen"
}
