#!/bin/sh
# End to end on Wayland: in a headless sway, `rekna --hotkey` calculates inside FeatherPad, a
# native Wayland Qt editor, through Rekna's wtype and wl-clipboard back-end; wtype moves the caret
# and saves. (mousepad takes typing, Ctrl+C and Ctrl+S from a virtual keyboard there, but pastes
# nothing, not even its own copy.) sway refuses to run as root: as root, the test runs the session as the user rekna-e2e
# (created when missing). Usage: hotkey_wayland_e2e.sh path/to/rekna
# Exit status 77 (skipped) when a tool is missing. The screenshot goes to $REKNA_E2E_SHOT, or to
# hotkey-wayland-e2e.png in the current folder.
set -u
rekna=$1
shot=${REKNA_E2E_SHOT:-$PWD/hotkey-wayland-e2e.png}

for tool in sway swaymsg wtype wl-copy wl-paste grim featherpad python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (apt-get install sway wtype wl-clipboard grim featherpad)"
        exit 77
    fi
done
for qt in qt6 qt5; do
    if ! ls /usr/lib/*/$qt/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1; then
        echo "SKIP: the Wayland platform of $qt is not installed (apt-get install qt6-wayland" \
            "qtwayland5)"
        exit 77
    fi
done

work=$(mktemp -d /tmp/rekna-wayland.XXXXXX)
chmod 755 "$work"
pids=""
user=""
if [ "$(id -u)" -eq 0 ]; then
    user=rekna-e2e
    if ! id -u "$user" >/dev/null 2>&1; then
        useradd -m "$user" || { echo "FAIL: cannot create the user $user"; exit 1; }
    fi
fi
# Runs a command as the session's user, with the environment given as NAME=VALUE words first.
as_user() {
    if [ -n "$user" ]; then runuser -u "$user" -- env "$@"; else env "$@"; fi
}

home=$work/home
run=$work/run
mkdir -p "$home" "$run" "$work/cfg"
chmod 700 "$run"
env="HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$run"
session=""

cleanup() {
    [ -n "$session" ] && as_user $session swaymsg exit >/dev/null 2>&1
    for p in $pids; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $1"
    for log in sway rekna editor; do
        echo "--- $log.log"; tail -n 20 "$work/$log.log" 2>/dev/null
    done
    screenshot
    exit 1
}

screenshot() {
    [ -n "$session" ] || return 0
    if as_user $session grim "$work/shot.png" 2>/dev/null && cp "$work/shot.png" "$shot"; then
        echo "screenshot: $shot"
    fi
}

# Waits up to 10 s for a command to succeed.
wait_for() {
    what=$1
    shift
    i=0
    while ! "$@" >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -ge 100 ] && fail "$what"
        sleep 0.1
    done
}

# The focused window's $1 ("app_id" or "name", its title), from sway's tree.
focused() {
    as_user $session swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("focused"):
        return n.get(sys.argv[1]) or ""
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        found = walk(c)
        if found is not None:
            return found
    return None
print(walk(json.load(sys.stdin)) or "")' "$1"
}
focused_is() { [ "$(focused app_id)" = "$1" ]; }
# The editor marks its title with "*" once the document changed.
changed() { case "$(focused name)" in \**) return 0 ;; *) return 1 ;; esac; }
unchanged() { ! changed; }
has_window() { as_user $session swaymsg -t get_tree | grep -q "\"app_id\": \"$1\""; }
sockets_up() { ls "$run"/wayland-? "$run"/sway-ipc.*.sock >/dev/null 2>&1; }

# Keys for the editor. They name the keys of Rekna's own wtype runs first, in the same order, so
# that every run gives the editor the same keymap; "s" comes after them.
keys() {
    as_user $session wtype -p Control_L -p Control_R -p Shift_L -p Shift_R -p Home -p End -p Up \
        -p Down -p Right -p c -p v -p s -s 30 "$@"
}
ctrl_key() { keys -P Control_L -M ctrl -k "$1" -m ctrl -p Control_L; }

# The editor's file must hold exactly $1 (printf format) once Ctrl+S saved it; a save the editor
# missed is asked for again.
expect_file() {
    printf "$1" >"$work/expected"
    tries=0
    while [ $tries -lt 3 ]; do
        ctrl_key s
        i=0
        while [ $i -lt 20 ]; do
            if cmp -s "$work/expected" "$work/t.txt"; then
                wait_for "the editor did not take the document as saved" unchanged
                return 0
            fi
            sleep 0.1
            i=$((i + 1))
        done
        tries=$((tries + 1))
    done
    echo "expected:"; od -c "$work/expected"
    echo "file:"; od -c "$work/t.txt"
    fail "$2"
}

# `rekna --hotkey` returns once Rekna took the press: the paste shows in the editor's title.
hotkey() {
    as_user $session "$rekna" --hotkey "$1" || fail "rekna --hotkey $1 was not taken"
    wait_for "rekna --hotkey $1 wrote nothing into the editor" changed
}

# The session's user must be able to run the program: copy it when the build tree is closed.
if [ -n "$user" ] && ! runuser -u "$user" -- test -x "$rekna"; then
    cp "$rekna" "$work/rekna" && chmod 755 "$work/rekna" && rekna=$work/rekna
fi
printf 'output HEADLESS-1 resolution 1280x800\nfocus_follows_mouse no\n' >"$work/sway.conf"
printf 'Rekna.初期設定ファイル\nHotKey.Calc=1\nFileBackUp=0\n' >"$work/cfg/rekna.ini"
printf 'a\n1+2\nb\n' >"$work/t.txt"
[ -n "$user" ] && chown -R "$user" "$home" "$run" "$work/cfg" "$work/t.txt" "$work"

as_user $env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids="$pids $!"
wait_for "sway did not start" sockets_up
display=$(basename "$(ls "$run"/wayland-? | head -n 1)")
session="$env WAYLAND_DISPLAY=$display SWAYSOCK=$(ls "$run"/sway-ipc.*.sock | head -n 1)"

as_user $session QT_QPA_PLATFORM=wayland "$rekna" "$work/cfg" >"$work/rekna.log" 2>&1 &
pids="$pids $!"
wait_for "Rekna did not open a Wayland window" has_window rekna

as_user $session QT_QPA_PLATFORM=wayland featherpad "$work/t.txt" >"$work/editor.log" 2>&1 &
pids="$pids $!"
wait_for "FeatherPad did not take the focus" focused_is featherpad

# The caret on "1+2": the answer is written after it.
ctrl_key Home
keys -k Down
hotkey calc
expect_file 'a\n1+2 \357\274\235 3\nb\n' "rekna --hotkey calc did not write the answer"

# The caret went to the next row with the paste: back on the row, the answer is taken out.
keys -k Up
hotkey delete
expect_file 'a\n1+2\nb\n' "rekna --hotkey delete did not remove the answer"

# The row replaced by its answer.
keys -k Up
hotkey replace
expect_file 'a\n3\nb\n' "rekna --hotkey replace did not replace the row"

focused_is featherpad || fail "the editor lost the focus"
screenshot
echo "PASS"
exit 0
