#!/usr/bin/env bash
# The processor time a typed key costs the real program: rekna runs under Xvfb with openbox on a
# memo, xdotool moves the caret to the end of a line and types digits, each taken back with
# Backspace; the program's utime+stime from /proc/PID/stat before and after gives the figure.
# Usage: bench/window_key_cpu.sh REKNA MEMO top|end [KEYS] [SETTLE_SECONDS]
set -euo pipefail
rekna=$1
memo=$2
where=$3
keys=${4:-100}
settle=${5:-8}
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# Waits until the program has used no processor time for a second, at most IDLE_LIMIT seconds
# (default 120): a program that never rests is reported, not waited for.
idle() {
  local last now waited=0
  last=$(ticks)
  while sleep 1; now=$(ticks); [ "$now" != "$last" ]; do
    last=$now
    waited=$((waited + 1))
    if [ "$waited" -ge "${IDLE_LIMIT:-120}" ]; then
      echo "window_key_cpu: rekna still busy after ${waited} s" >&2
      return 0
    fi
  done
}
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$home"' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display HOME=$home XDG_CONFIG_HOME=$home/.config
openbox >/dev/null 2>&1 &
sleep 1
"$rekna" "$memo" >/dev/null 2>&1 &
pid=$!
sleep "$settle"
idle
win=$(xdotool search --sync --pid "$pid" | tail -1)
xdotool windowactivate --sync "$win" 2>/dev/null || true
xdotool mousemove --window "$win" 200 200 click 1
sleep 0.5
if [ "$where" = top ]; then
  xdotool key ctrl+Home
  for _ in $(seq 13); do xdotool key Down; done
else
  xdotool key ctrl+End
  for _ in $(seq 11); do xdotool key Up; done
fi
xdotool key End
idle
# SHOT=file.png: the screen with one digit typed, to see where the keys go.
if [ -n "${SHOT:-}" ]; then
  xdotool key 9
  sleep 1
  import -window root "$SHOT"
  xdotool key BackSpace
  sleep 1
fi
idle0=$(ticks)
sleep 2
idle1=$(ticks)
before=$(ticks)
start=$(date +%s.%N)
for _ in $(seq $((keys / 2))); do
  xdotool key --delay 40 9 BackSpace
done
idle
after=$(ticks)
end=$(date +%s.%N)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v k="$keys" -v idle=$((idle1 - idle0)) \
  -v s="$start" -v e="$end" 'BEGIN {
    printf "keys=%d cpu_ms_per_key=%.2f idle_ticks_per_2s=%d wall_s=%.1f\n", k, t * 1000 / hz / k, idle, e - s }'
