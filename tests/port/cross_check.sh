#!/usr/bin/env bash
# Renders the same five views with the native program and with the Windows program under Wine, on
# virtual screens of the same size, and compares the screenshots pixel by pixel (image_diff): the
# start view, a view turned by the mouse, a view tilted up, a view after a fixed number of frames of
# forward movement, and a small room of several textures and slanted faces.
# Movement is made exact by queueing keys while the paused program is stopped: W down, Tab down
# (resume), N other key messages, W up; it handles one message a frame, so W is held for exactly
# N + 1 frames however fast it draws.
# Usage: cross_check.sh LINUX_PROGRAM WINDOWS_PROGRAM IMAGE_DIFF SCENE_DIR OUT_DIR
# Without a map.txt in SCENE_DIR the first four views are taken in the room as well.
# VELLMORA_TEST_DISPLAY picks the display number; otherwise Xvfb takes a free one.
set -uo pipefail
linux_program=$1
windows_program=$2
image_diff=$3
scene=$4
out=$5
width=640
height=480
for tool in Xvfb import xdotool convert wine; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
[ -f "$windows_program" ] || { echo "skipped: $windows_program has not been built (windows preset)"; exit 77; }
rm -rf "$out"
mkdir -p "$out/room"
out=$(cd "$out" && pwd)
export WINEPREFIX=$out/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LIBGL_ALWAYS_SOFTWARE=1

# A room seen from a back corner, turned right and down: walls and a floor in three textures, one
# wall slanted, so faces meet the light at many angles.
convert -size 16x16 pattern:checkerboard -auto-level +level-colors '#c03020,#e0c090' "$out/room/brick.bmp"
convert -size 8x8 gradient:'#2060c0'-'#f0f0f0' "$out/room/stone.png"
convert -size 4x4 xc:'#30a040' -fill '#f0d020' -draw 'point 1,1 point 2,2' "$out/room/moss.bmp"
cat >"$out/room/map.txt" <<'MAP'
-1 2.2 -3.9
10
0 1 2 0
0 2 3 0
4 5 6 0
4 6 7 0
8 9 10 1
8 10 11 1
12 13 14 2
12 14 15 2
16 17 18 1
16 18 19 1
20
-4 0 4 0 4
-4 3 4 0 0
4 3 4 4 0
4 0 4 4 4
4 0 4 0 3
4 3 4 0 0
3 3 -4 3 0
4 0 -4 3 3
-4 0 -4 0 3
-4 3 -4 0 0
-4 3 4 3 0
-4 0 4 3 3
-4 0 -4 0 0
-4 0 4 0 8
4 0 4 8 8
4 0 -4 8 0
-4 0 -4 0 2
4 0 -4 2 2
4 3 -4 2 0
-4 3 -4 0 0
3
%brick.bmp%
%stone.png%
%moss.bmp%
MAP

[ -f "$scene/map.txt" ] || scene=$out/room

server=
viewer=
stop() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null
    [ -n "$viewer" ] && wait "$viewer" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    [ -n "$server" ] && wait "$server" 2>/dev/null
    viewer=
    server=
}
trap 'stop; wineserver -k 2>/dev/null' EXIT

start_screen() {
    if [ -n "${VELLMORA_TEST_DISPLAY:-}" ]; then
        DISPLAY=$VELLMORA_TEST_DISPLAY
        Xvfb "$DISPLAY" -screen 0 ${width}x${height}x24 -nolisten tcp -noreset 2>/dev/null &
        server=$!
    else
        rm -f "$out/display"
        Xvfb -displayfd 3 -screen 0 ${width}x${height}x24 -nolisten tcp -noreset 3>"$out/display" 2>/dev/null &
        server=$!
        for _ in $(seq 300); do [ -s "$out/display" ] && break; sleep 0.1; done
        DISPLAY=:$(head -n1 "$out/display")
    fi
    export DISPLAY
    for _ in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 0.2
    kill -0 "$server" 2>/dev/null || { echo "FAIL: Xvfb did not start on $DISPLAY"; exit 1; }
}

# run NAME SETTLE_SECONDS DIRECTORY PROGRAM...: starts the program and waits for its window.
run() {
    local name=$1 settle=$2 directory=$3
    shift 3
    (cd "$directory" && exec "$@") >"$out/$name.log" 2>&1 &
    viewer=$!
    for _ in $(seq 600); do
        window=$(xdotool search --onlyvisible --name '^Vellmora$' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 "$viewer" 2>/dev/null || return 1
        sleep 0.1
    done
    xdotool windowfocus "$window" 2>/dev/null
    sleep "$settle"
}

shoot() { import -window root "$out/$1.png"; }

# tour BUILD SETTLE PROGRAM...: the four courtyard views, then the room.
tour() {
    local build=$1 settle=$2
    shift 2
    start_screen
    if ! run "$build" "$settle" "$scene" "$@"; then
        echo "FAIL: $build did not show its window"
        stop
        return 1
    fi
    shoot "$build-start"
    xdotool mousemove $((width / 2 + 120)) $((height / 2))
    sleep "$settle"
    shoot "$build-turned"
    xdotool mousemove $((width / 2)) $((height / 2 - 60))
    sleep "$settle"
    shoot "$build-tilted"
    xdotool key Tab
    sleep "$settle"
    local others=()
    for _ in $(seq 12); do others+=(keydown x keyup x); done
    kill -STOP "$viewer"
    xdotool keydown w keydown Tab keyup Tab "${others[@]}" keyup w
    sleep 0.5
    kill -CONT "$viewer"
    sleep "$settle"
    shoot "$build-moved"
    xdotool key Escape
    sleep 1
    stop
    start_screen
    run "$build-room" "$settle" "$out/room" "$@" || { echo "FAIL: $build did not show the room"; stop; return 1; }
    xdotool mousemove $((width / 2 + 150)) $((height / 2 + 60))
    sleep "$settle"
    shoot "$build-room"
    stop
}

DISPLAY=${VELLMORA_TEST_DISPLAY:-} wineboot -i >/dev/null 2>&1
wineserver -w
tour windows 4 wine "$(cd "$(dirname "$windows_program")" && pwd)/$(basename "$windows_program")" || exit 1
tour linux 1.5 "$(cd "$(dirname "$linux_program")" && pwd)/$(basename "$linux_program")" || exit 1

failures=0
for view in start turned tilted moved room; do
    printf '%-7s ' "$view"
    "$image_diff" "$out/windows-$view.png" "$out/linux-$view.png" || failures=$((failures + 1))
done
[ "$failures" -eq 0 ] && echo "the native and the Windows program draw the same pictures"
exit $((failures > 0))
