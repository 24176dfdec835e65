#!/usr/bin/env bash
# Runs scripts/run as on a server without a display, then checks what it reported and saved: exit
# code 0, at least three screenshots at absolute paths, none of them blank.
# Usage: headless_run_test.sh SOURCE_DIR SCREENSHOT_CHECK SCREENSHOT_DIR [--windows]
# With --windows it runs the Windows program under Wine, and skips (status 77) while that program
# has not been built.
set -uo pipefail
source_dir=$1
check=$2
shots=$3
mode=${4:-}

if [ "$mode" = --windows ] && [ ! -f "$source_dir/build/windows/vellmora.exe" ]; then
    echo "SKIP: build/windows/vellmora.exe has not been built (cmake --build --preset windows)"
    exit 77
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$shots"
output=$(env -u DISPLAY -u WAYLAND_DISPLAY VELLMORA_RUN_PREBUILT=1 VELLMORA_RUN_SCREENSHOTS="$shots" \
    "$source_dir/scripts/run" ${mode:+"$mode"} 2>&1)
status=$?
printf '%s\n' "$output"

[ $status -eq 0 ] || fail "scripts/run ended with status $status"
grep -qx "exit code: 0" <<<"$output" || fail "scripts/run did not report the viewer's exit code 0"
mapfile -t files < <(sed -n 's/^screenshot: //p' <<<"$output")
[ ${#files[@]} -ge 3 ] || fail "expected at least three screenshots, found ${#files[@]}"
for file in "${files[@]}"; do
    [[ $file == /* ]] || fail "not an absolute path: $file"
    [ -f "$file" ] || fail "no such screenshot: $file"
done
"$check" "${files[@]}" || fail "a screenshot is blank or shows no textures"
