# The mouse stands for keys: a sideways drag turns the scene as E does, a
# vertical one as W does, the wheel turned away zooms in as V does, and a
# click without a drag steps the scene as SPACE does. Each is judged by the
# picture it leaves: from a fresh start at WATER, nearer the picture the
# keys it stands for leave than the picture of the other keys.
e2e_require_tools xwd convert compare
e2e_require_data

drag() { e2e_key mousemove 400 300 mousedown 1 && for _ in 1 2 3 4 5 6; do e2e_key mousemove_relative -- "$1" "$2"; sleep 0.02; done && e2e_key mouseup 1; }
drag_left() { drag -10 0; }   # 60 pixels, 20 steps of a degree
drag_up() { drag 0 -10; }
wheel_away() { e2e_key mousemove 400 300 click --repeat 5 4; }  # 5 notches, 10 steps of zoom
hold() { e2e_hold_key "$1" "$2"; }  # held for about as many passes as the gesture's steps
hold_e() { hold e 0.33; }
hold_w() { hold w 0.33; }
hold_v() { hold v 0.17; }
hold_c() { hold c 0.17; }

# The picture action $1 leaves on a fresh start, into the variable named $2.
picture_after()
{
    local shot
    e2e_start_program
    e2e_wait_shown
    e2e_wait_scene WATER shot
    "$1" || e2e_fail "$1: xdotool failed"
    sleep 0.6  # the steps it stands for played, at most a quarter of a second of them
    e2e_take_shot "$2"
    kill -TERM "$E2E_PID"
    e2e_expect_end "Thank You!" 0 "$1"
}
distance() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }

# Action $1 leaves a picture nearer that of $2 than that of $3.
nearer()
{
    local done like unlike near far
    picture_after "$1" done
    picture_after "$2" like
    picture_after "$3" unlike
    near=$(distance "$done" "$like") far=$(distance "$done" "$unlike")
    e2e_log "$1: $near from $2, $far from $3"
    awk -v n="$near" -v f="$far" 'BEGIN { exit !(n < f) }' || e2e_fail "$1 left a picture nearer $3 ($far) than $2 ($near)"
}

nearer drag_left hold_e hold_w
nearer drag_up hold_w hold_e
nearer wheel_away hold_v hold_c

# A click steps WATER to FIRE, and nothing more.
e2e_start_program
e2e_wait_shown
e2e_wait_scene WATER shot
e2e_key mousemove 400 300 click 1 || e2e_fail "xdotool could not click"
e2e_wait_scene FIRE shot 10000
sleep 0.5
e2e_wait_scene FIRE shot 0
kill -TERM "$E2E_PID"
e2e_expect_end "Thank You!" 0 "a click"
e2e_pass
