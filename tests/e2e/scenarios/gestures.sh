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

# The picture the command after $1 leaves on a fresh start, into the
# variable named $1.
picture_after()
{
    local _into=$1 shot
    shift
    e2e_start_program
    e2e_wait_shown
    e2e_wait_scene WATER shot
    "$@" || e2e_fail "$*: xdotool failed"
    sleep 0.6  # the steps it stands for played, at most a quarter of a second of them
    e2e_take_shot "$_into"
    kill -TERM "$E2E_PID"
    e2e_expect_end "Thank You!" 0 "$*"
}
distance() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }

# Gesture $1 leaves a picture nearer that of key $2 than that of key $3,
# each held $4 s: about as many passes as the gesture's steps.
nearer()
{
    local done like unlike near far
    picture_after done "$1"
    picture_after like e2e_hold_key "$2" "$4"
    picture_after unlike e2e_hold_key "$3" "$4"
    near=$(distance "$done" "$like") far=$(distance "$done" "$unlike")
    e2e_log "$1: $near from $2 held, $far from $3 held"
    awk -v n="$near" -v f="$far" 'BEGIN { exit !(n < f) }' || e2e_fail "$1 left a picture nearer $3's ($far) than $2's ($near)"
}

nearer drag_left e w 0.33
nearer drag_up w e 0.33
nearer wheel_away v c 0.17

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
