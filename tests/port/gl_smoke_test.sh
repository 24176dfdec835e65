#!/usr/bin/env bash
# Runs port_gl_smoke without a display (it must fail start-up with E_FAIL's low byte and one line
# saying why), then on Xvfb with Mesa's software renderer: screenshots the screen, checks the
# pixels that show Direct3D 9's rules, and closes the program with Escape.
# Usage: gl_smoke_test.sh PROGRAM [SCREENSHOT]; VELLMORA_TEST_DISPLAY picks the display number.
set -uo pipefail
program=$1
shot=${2:-$(mktemp --suffix=.png)}
for tool in Xvfb import convert xdotool od; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

errors=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 5 ] || fail "without a display the exit status is $status, not 5"
[ "$(printf '%s\n' "$errors" | wc -l)" -eq 1 ] && [[ $errors == *"no display"* ]] ||
    fail "without a display stderr says: $errors"

workdir=$(mktemp -d)
if [ -n "${VELLMORA_TEST_DISPLAY:-}" ]; then
    display=$VELLMORA_TEST_DISPLAY
    Xvfb "$display" -screen 0 320x240x24 -nolisten tcp -noreset 2>/dev/null &
else
    exec 3>"$workdir/display"
    Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp -noreset 2>/dev/null &
fi
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$workdir"' EXIT
# A busy machine (a fresh Wine prefix being built beside us) can take many seconds to start Xvfb.
ready=
for _ in $(seq 300); do
    [ -z "${VELLMORA_TEST_DISPLAY:-}" ] && [ -s "$workdir/display" ] && display=:$(head -n1 "$workdir/display")
    [ -n "${display:-}" ] && DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && ready=1 && break
    sleep 0.1
done
[ -n "$ready" ] || { echo "FAIL: Xvfb did not take connections within 30 s"; exit 1; }
export DISPLAY=$display LIBGL_ALWAYS_SOFTWARE=1

"$program" &
viewer=$!
for _ in $(seq 300); do
    xdotool search --name "Port smoke" >/dev/null 2>&1 && break
    kill -0 "$viewer" 2>/dev/null || break
    sleep 0.1
done
pixel() { od -An -tu1 -j $((($2 * 320 + $1) * 3)) -N3 "$workdir/shot.rgb" | tr -s ' ' | sed 's/^ //'; }
# The window may map before its first frame is presented: shoot until the textured quad shows.
for _ in $(seq 50); do
    import -window root "$shot" && convert "$shot" -depth 8 "rgb:$workdir/shot.rgb" &&
        [ "$(pixel 11 11)" != "0 0 0" ] && break
    sleep 0.2
done
expect() {  # x y "r g b" what, each channel within 1
    local got want
    got=$(pixel "$1" "$2")
    read -r -a g <<<"$got"
    read -r -a w <<<"$3"
    for i in 0 1 2; do
        if [ $((g[i] - w[i])) -gt 1 ] || [ $((w[i] - g[i])) -gt 1 ]; then
            fail "$4: pixel ($1, $2) is ($got), not ($3)"
            return
        fi
    done
}
expect 11 11 "255 0 0" "first texel row is v = 0 and B, G, R, A bytes give red"
expect 31 11 "0 255 0" "texture second column"
expect 11 31 "0 0 255" "texture second row"
expect 31 31 "255 255 255" "texture last texel"
expect 30 15 "255 0 0" "point sampling up to the texel edge"
expect 51 11 "255 0 0" "wrap addressing"
expect 10 50 "0 0 0" "left edge a quarter pixel past 10"
expect 11 50 "0 0 255" "first pixel inside the left edge"
expect 90 50 "255 255 255" "last pixel inside the right edge"
expect 91 50 "0 0 0" "right edge a quarter pixel past 90"
expect 50 10 "0 0 0" "top edge a quarter pixel past 10"
expect 50 90 "255 255 255" "last pixel inside the bottom edge"
expect 50 91 "0 0 0" "bottom edge"
expect 150 50 "217 217 217" "slanted quad: ambient 64/255 plus 0.6 of the light"
expect 150 150 "64 64 64" "quad lit from behind: ambient only"
expect 20 150 "255 255 255" "near quad"
expect 50 150 "255 255 255" "near quad wins where the far one is drawn after it"
expect 80 150 "217 217 217" "far quad where nothing covers it"
expect 230 20 "0 0 0" "counter-clockwise triangle culled"
expect 230 120 "255 255 255" "clockwise triangle drawn"

xdotool key Escape
for _ in $(seq 50); do
    kill -0 "$viewer" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$viewer" 2>/dev/null; then
    fail "Escape did not close the program"
    kill "$viewer"
else
    wait "$viewer"
    status=$?
    [ "$status" -eq 0 ] || fail "exit status after Escape is $status"
fi
[ "$failures" -eq 0 ] && echo "all pixels as Direct3D 9 draws them"
exit $((failures > 0))
