#!/bin/sh
# End to end: Rekna's hot keys calculate inside l3afpad, a GTK text editor, under Xvfb with the
# openbox window manager; xdotool types the keys. Usage: hotkey_e2e.sh path/to/rekna
# Exit status 77 (skipped) when a tool is missing. REKNA_E2E_SHOT=file.png keeps a screenshot.
set -u
rekna=$1

for tool in xvfb-run Xvfb openbox l3afpad xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (apt-get install xvfb xauth openbox l3afpad xdotool)"
        exit 77
    fi
done

if [ -z "${REKNA_E2E_DISPLAY:-}" ]; then
    REKNA_E2E_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
        sh "$0" "$@"
fi

work=$(mktemp -d)
pids=""
cleanup() {
    for p in $pids; do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $1"
    [ -n "${REKNA_E2E_SHOT:-}" ] && import -window root "$REKNA_E2E_SHOT" 2>/dev/null
    exit 1
}

# The editor's file ($3, t.txt without it) must hold exactly $1 (printf format) once Ctrl+S
# saved it.
expect_file() {
    file=${3:-$work/t.txt}
    xdotool key --clearmodifiers ctrl+s
    i=0
    while [ $i -lt 30 ]; do
        if [ "$(od -An -c "$file")" = "$(printf "$1" | od -An -c)" ]; then return 0; fi
        sleep 0.2
        i=$((i + 1))
    done
    echo "expected:"; printf "$1" | od -c
    echo "file:"; od -c "$file"
    fail "$2"
}

openbox >"$work/openbox.log" 2>&1 &
pids="$pids $!"
sleep 1

printf 'Rekna.初期設定ファイル\nHotKey.Calc=1\nFileBackUp=0\n' >"$work/rekna.ini"
XDG_CONFIG_HOME="$work" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb \
    "$rekna" "$work" >"$work/rekna.log" 2>&1 &
pids="$pids $!"
xdotool search --sync --onlyvisible --name 'Rekna' >/dev/null || fail "Rekna did not open"
sleep 1

printf 'a\n1+2\nb\n' >"$work/t.txt"
l3afpad "$work/t.txt" >"$work/l3afpad.log" 2>&1 &
pids="$pids $!"
editor=$(xdotool search --sync --onlyvisible --class L3afpad | head -n 1)
xdotool windowactivate --sync "$editor"
sleep 0.5
xdotool key ctrl+Home Down
sleep 0.3

# Left Ctrl+Enter on the caret row writes its answer after it.
xdotool key ctrl+Return
sleep 1
expect_file 'a\n1+2 \357\274\235 3\nb\n' "left Ctrl+Enter did not write the answer"

# Ctrl+Shift+Enter on that row takes it out again.
xdotool key Up
sleep 0.3
xdotool key ctrl+shift+Return
sleep 1
expect_file 'a\n1+2\nb\n' "Ctrl+Shift+Enter did not remove the answer"

# Right Ctrl+Enter replaces the row by its answer.
xdotool key Up
sleep 0.3
xdotool keydown Control_R
sleep 0.2
xdotool key Return
sleep 0.2
xdotool keyup Control_R
sleep 1
expect_file 'a\n3\nb\n' "right Ctrl+Enter did not replace the row"

# The same through the command a desktop's own key binding runs.
xdotool key Up
sleep 0.3
XDG_RUNTIME_DIR="$work" "$rekna" --hotkey calc || fail "rekna --hotkey calc was not taken"
sleep 1
expect_file 'a\n3 \357\274\235 3\nb\n' "rekna --hotkey calc did not write the answer"
xdotool key Up
sleep 0.3
XDG_RUNTIME_DIR="$work" "$rekna" --hotkey delete || fail "rekna --hotkey delete was not taken"
sleep 1
expect_file 'a\n3\nb\n' "rekna --hotkey delete did not remove the answer"

# A line the editor wraps into screen rows is never cut: on its first and its last screen row
# nothing is written; a short line in the same editor is calculated.
long=1
n=2
while [ $n -le 120 ]; do long="$long + $n"; n=$((n + 1)); done
mkdir -p "$work/wrap/l3afpad"
printf '0.8.18.1.11\n600\n400\nMonospace 12\n1\n0\n0\n8\n' >"$work/wrap/l3afpad/l3afpadrc"
printf 'a\n%s\n1+2\n' "$long" >"$work/w.txt"
XDG_CONFIG_HOME="$work/wrap" l3afpad "$work/w.txt" >"$work/l3afpad-wrap.log" 2>&1 &
pids="$pids $!"
sleep 1
wrapped=$(xdotool search --sync --onlyvisible --name 'w.txt' | head -n 1)
xdotool windowactivate --sync "$wrapped"
sleep 0.5
xdotool key ctrl+Home Down
sleep 0.3
xdotool key ctrl+Return
sleep 1
xdotool key ctrl+End Up Up
sleep 0.3
xdotool key ctrl+Return
sleep 1
expect_file "a\n$long\n1+2\n" "a wrapped line was cut" "$work/w.txt"
xdotool key ctrl+End Up
sleep 0.3
xdotool key ctrl+Return
sleep 1
expect_file "a\n$long\n1+2 \357\274\235 3\n" "a short line in a wrapping editor was not written" \
    "$work/w.txt"

# A terminal gets Ctrl+Enter as if nobody had grabbed it.
if command -v xterm >/dev/null 2>&1; then
    xterm -e sh -c "stty raw -echo; dd bs=1 count=1 of='$work/xterm.out' 2>/dev/null" &
    pids="$pids $!"
    term=$(xdotool search --sync --onlyvisible --class XTerm | head -n 1)
    xdotool windowactivate --sync "$term"
    sleep 1
    xdotool key ctrl+Return
    i=0
    while [ ! -s "$work/xterm.out" ] && [ $i -lt 20 ]; do sleep 0.2; i=$((i + 1)); done
    [ -s "$work/xterm.out" ] || fail "xterm did not receive Ctrl+Enter"
else
    echo "xterm is not installed: the pass-through to terminals is not checked"
fi

[ -n "${REKNA_E2E_SHOT:-}" ] && import -window root "$REKNA_E2E_SHOT"
echo "PASS"
exit 0
