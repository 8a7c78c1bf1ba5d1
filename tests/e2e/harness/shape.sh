# shape.sh — the picture's shape on a compositor's output: the program's
# frame in E2E_PICTURE (the largest 4:3 rectangle, centred), black bars
# beside it. The reference is the same frame drawn by the headless snapshot
# tool at 800 x 600, brought to the picture's size.

# The brightest channel (0-255) outside E2E_PICTURE on screenshot $1.
e2e_bars_brightest()
{
    local width height x y
    e2e_geometry "$E2E_PICTURE" width height x y
    convert "$1" -alpha off -fill black -draw "rectangle $x,$y $((x + width - 1)),$((y + height - 1))" \
        -format '%[fx:round(maxima * 255)]' info:
}

# How far the picture on screenshot $1 is from PNG $2 brought to its size:
# the root mean square of the difference (0-1) at a third of that size,
# where a pixel's worth of rasterisation differs little and text or an edge
# out of place a lot.
e2e_picture_distance()
{
    local width height small
    e2e_geometry "$E2E_PICTURE" width height _ _
    small="$((width / 3))x$((height / 3))"
    convert "$1" -alpha off -crop "$E2E_PICTURE" +repage -resize "$small!" "$E2E_TMP/picture.png" &&
        convert "$2" -resize "${width}x$height!" -resize "$small!" "$E2E_TMP/reference.png" || return 1
    compare -metric RMSE "$E2E_TMP/picture.png" "$E2E_TMP/reference.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
}

# The planet's width over its height on screenshot $1 (EARTH), in box
# 220x170+290+28 of the frame, above the mound: its lit pixels that are
# not the dirt's red-brown.
e2e_planet_aspect()
{
    convert "$1" -alpha off -crop "$(e2e_on_screen 220x170+290+28)" +repage -depth 8 txt:- |
        awk -F '[ ,:()]+' 'NR > 1 { x = $1; y = $2; r = $4; g = $5; b = $6
            max = r; if (g > max) max = g; if (b > max) max = b
            if (max < 40 || (r > b + 10 && r >= g)) next
            if (!n++) { x0 = x1 = x; y0 = y1 = y }
            if (x < x0) x0 = x; if (x > x1) x1 = x; if (y < y0) y0 = y; if (y > y1) y1 = y }
            END { if (n) printf "%.4f %d %d\n", (x1 - x0 + 1) / (y1 - y0 + 1), x1 - x0 + 1, y1 - y0 + 1; else print "0 0 0" }'
}

# WATER on the screen, in the variable named $1, and the bars beside it black.
e2e_water_between_black_bars() { e2e_wait_scene WATER "$1" && [ "$(e2e_bars_brightest "${!1}")" = 0 ]; }

# On a compositor, the screen (WATER before any key) shows the first WATER
# frame (the pool's texture alternates: frame 1 or 2) in its place with
# black bars; snapshot tool $1 draws the reference. The pointer moves a
# pixel first: mutter may keep drawing the cursor over a new full-screen
# surface until the pointer moves on it. Measured: the frame in place 0.006,
# two pixels off-centre 0.049, twenty 0.088, stretched to 16:9 0.118.
E2E_PICTURE_TOLERANCE=0.03
e2e_check_picture()
{
    local frame distance best=1 bars shot
    [ "$E2E_DESKTOP" = compositor ] || return 0
    e2e_key mousemove_relative --sync 1 0 || e2e_fail "xdotool could not move the pointer"
    e2e_wait 5000 e2e_water_between_black_bars shot
    bars=$(e2e_bars_brightest "$shot")
    for frame in 1 2; do
        "$1" --run-dir "$E2E_RUN_DIR" 0 "$frame" "$E2E_TMP/water$frame.png" >/dev/null || e2e_fail "the snapshot tool failed"
        distance=$(e2e_picture_distance "$shot" "$E2E_TMP/water$frame.png") || e2e_fail "could not compare the picture"
        best=$(awk -v a="$distance" -v b="$best" 'BEGIN { print (a < b ? a : b) }')
    done
    E2E_SHAPE="bars $bars, distance $best"
    e2e_log "the picture at $E2E_PICTURE: $E2E_SHAPE"
    [ "$bars" = 0 ] || e2e_fail "the bars beside the picture at $E2E_PICTURE are not black ($E2E_SHAPE)"
    awk -v d="$best" -v t="$E2E_PICTURE_TOLERANCE" 'BEGIN { exit !(d <= t) }' ||
        e2e_fail "the picture at $E2E_PICTURE is not the frame ($E2E_SHAPE; at most $E2E_PICTURE_TOLERANCE)"
}

# On a compositor, screenshot $2 (EARTH) shows the planet as round as the
# snapshot tool $1 draws it (perspective makes it a little taller), within 2 %.
e2e_check_planet()
{
    local screen drawn
    [ "$E2E_DESKTOP" = compositor ] || return 0
    "$1" --run-dir "$E2E_RUN_DIR" 2 1 "$E2E_TMP/earth.png" >/dev/null || e2e_fail "the snapshot tool failed"
    screen=$(e2e_planet_aspect "$2")
    drawn=$(E2E_PICTURE=800x600+0+0 e2e_planet_aspect "$E2E_TMP/earth.png")
    e2e_log "the planet's width / height: on the screen $screen, drawn $drawn"
    awk -v s="${screen%% *}" -v d="${drawn%% *}" 'BEGIN { exit !(s > 0 && s / d >= 0.98 && s / d <= 1.02) }' ||
        e2e_fail "the planet is not round: width / height $screen on the screen, $drawn as drawn"
}
