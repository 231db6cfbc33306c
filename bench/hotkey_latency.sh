#!/usr/bin/env bash
# The time from a hot-key press to the answer in the editor: rekna and l3afpad run under Xvfb with
# openbox; on lines of "1+2", with and without the line selected, hotkey_press_ms.c (built here)
# presses Ctrl+Enter through XTest and waits for the editor's title to show "*", as it does once
# the text changed.
# Usage: bench/hotkey_latency.sh REKNA [PRESSES]
# Prints one line per kind: the fastest, the median and the slowest time in milliseconds.
set -euo pipefail
rekna=$1
presses=${2:-10}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cc -O2 -o "$work/press_ms" "$(dirname "$0")/hotkey_press_ms.c" -lX11 -lXtst
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display XDG_RUNTIME_DIR=$work
openbox >/dev/null 2>&1 &
sleep 1
printf 'Rekna.初期設定ファイル\nHotKey.Calc=1\nFileBackUp=0\n' >"$work/rekna.ini"
XDG_CONFIG_HOME=$work QT_QPA_PLATFORM=xcb "$rekna" "$work" >/dev/null 2>&1 &
xdotool search --sync --onlyvisible --name 'Rekna' >/dev/null
sleep 1
for _ in $(seq $((2 * presses + 1))); do echo '1+2'; done >"$work/t.txt"
XDG_CONFIG_HOME=$work/l3afpad l3afpad "$work/t.txt" >/dev/null 2>&1 &
editor=$(xdotool search --sync --onlyvisible --class L3afpad | head -n 1)
xdotool windowactivate --sync "$editor"
sleep 0.5
xdotool key ctrl+Home

# One press on the caret's line ($1: select it first); prints the milliseconds.
press() {
    xdotool key Home
    [ "$1" = select ] && xdotool key shift+End
    sleep 0.3
    "$work/press_ms" "$editor"
    xdotool key ctrl+s
    while xdotool getwindowname "$editor" | grep -q '^\*'; do sleep 0.05; done
    # The caret row's answer moves the caret to the next line already; a selection does not.
    [ "$1" = select ] && xdotool key Down
    sleep 0.2
}
summary() {
    sort -n | awk -v kind="$1" '{ t[NR] = $1 }
        END { printf "%s: fastest %d ms, median %d ms, slowest %d ms (%d presses)\n",
              kind, t[1], t[int((NR + 1) / 2)], t[NR], NR }'
}
for _ in $(seq "$presses"); do press select; done | summary "with a selection"
for _ in $(seq "$presses"); do press row; done | summary "without a selection"
