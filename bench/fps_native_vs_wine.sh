#!/usr/bin/env bash
# Frames per second of the native program and of the Windows program under Wine, drawing the same
# large scene (a textured, hilly grid of about 100 000 triangles) on the same virtual screen, one
# after the other. Mesa's heads-up display counts the frames of both (its figures go to a file),
# since Wine draws with OpenGL on Mesa too.
# The two take turns, a few rounds each, and the best round of each counts, so that other work on
# the machine weighs on both alike. Prints both rates and their ratio, native over Wine; fails if
# the native program is slower.
# Usage: bench/fps_native_vs_wine.sh [LINUX_PROGRAM [WINDOWS_PROGRAM]]   (run after both builds)
# VELLMORA_BENCH_DISPLAY picks the display number; otherwise Xvfb takes a free one.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_program=$(realpath "${1:-$root/build/linux/vellmora}")
windows_program=$(realpath "${2:-$root/build/windows/vellmora.exe}")
seconds=10
rounds=${VELLMORA_BENCH_ROUNDS:-3}
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server"; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX=$root/build/wine-bench WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

grid=224
convert -size 64x64 plasma:green-brown -seed 1 "$work/ground.png" 2>/dev/null ||
    convert -size 64x64 pattern:checkerboard "$work/ground.png"
convert -size 32x32 pattern:bricks "$work/rock.bmp"
awk -v n=$grid 'BEGIN {
    print 0, 12, -30
    print 2 * n * n
    for (z = 0; z < n; z++) for (x = 0; x < n; x++) {
        a = z * (n + 1) + x; b = a + 1; c = a + n + 1; d = c + 1; t = (x + z) % 7 == 0
        print a, c, d, t; print a, d, b, t
    }
    print (n + 1) * (n + 1)
    for (z = 0; z <= n; z++) for (x = 0; x <= n; x++)
        printf "%.3f %.3f %.3f %.3f %.3f\n", x - n / 2, 3 * sin(x / 7) * cos(z / 9), z - 20, x / 4, z / 4
    print 2; print "%ground.png%"; print "%rock.bmp%"
}' >"$work/map.txt"

if [ -n "${VELLMORA_BENCH_DISPLAY:-}" ]; then
    export DISPLAY=$VELLMORA_BENCH_DISPLAY
    Xvfb "$DISPLAY" -screen 0 1280x720x24 -nolisten tcp -noreset 2>/dev/null &
    server=$!
else
    Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    server=$!
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$work/display")
fi
sleep 1
[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }

# Median of the per-second counts, leaving out the first two seconds of loading.
measure() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    (cd "$work" && GALLIUM_HUD=simple,fps GALLIUM_HUD_PERIOD=1 GALLIUM_HUD_DUMP_DIR="$work/$name" \
        exec timeout -s INT -k 5 "$seconds" "$@") >/dev/null 2>&1
    tail -n +3 "$work/$name/fps" 2>/dev/null | sort -n |
        awk '{ v[NR] = $1 } END { if (NR == 0) print 0; else print v[int((NR + 1) / 2)] }'
}
best() { printf '%s\n' "$@" | sort -n | tail -n 1; }
native_rates=()
wine_rates=()
for round in $(seq "$rounds"); do
    native_rates+=("$(measure "native$round" "$linux_program")")
    wine_rates+=("$(measure "wine$round" wine "$windows_program")")
done
echo "rounds, native: ${native_rates[*]}; Wine: ${wine_rates[*]}"
native=$(best "${native_rates[@]}")
wine_rate=$(best "${wine_rates[@]}")
echo "frames per second, $(wc -l <"$work/map.txt") map lines, 1280x720: native $native, Wine $wine_rate"
awk -v n="$native" -v w="$wine_rate" 'BEGIN {
    if (w <= 0) { print "no frame rate from Wine"; exit 2 }
    printf "native / Wine = %.2f\n", n / w; exit !(n >= w) }'
