#!/usr/bin/env bash
# The GNOME Shell agent on a real, headless GNOME Shell: it is found on the
# session bus, lists real Wayland clients (foot), places one exactly, brings
# another to the front, closes one, and reports what happened.
#
#   tests/wayland/gnome-agent.sh
#
# Runs in a private home, runtime folder, session bus and system bus (the
# shell refuses to start without one); exits 0 when every check held.
set -euo pipefail
cd "$(dirname "$0")/../.."
uuid=agent@tessarapane.org

if [ "${1:-}" != --inside ]; then
  for tool in gnome-shell foot gdbus gsettings dbus-daemon dbus-run-session python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup installs it)" >&2; exit 77; }
  done
  work=$(mktemp -d /tmp/tessarapane-gnome-XXXXXX)
  trap 'kill "$(cat "$work/system-bus.pid" 2>/dev/null)" 2>/dev/null || true; rm -rf "$work"' EXIT
  export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
  export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
  mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  cp -r "data/gnome-shell/$uuid" "$XDG_DATA_HOME/gnome-shell/extensions/"
  dbus-daemon --session --address="unix:path=$work/system-bus" --fork --print-pid >"$work/system-bus.pid"
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system-bus
  export TESSARAPANE_WORK=$work
  # The buses' own chatter goes to a log; the checks speak on fd 3.
  exec 3>&2
  exec dbus-run-session -- "$0" --inside 2>>"$work/bus.log"
fi

work=$TESSARAPANE_WORK
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT
fail() { { echo "FAIL: $*"; echo "--- shell log:"; tail -n 30 "$work/shell.log"; } >&3; exit 1; }
started=$(date +%s%N)
ms() { echo $(( ($(date +%s%N) - started) / 1000000 )); }

# dconf-service is started by the bus: it must see the private home.
dbus-update-activation-environment HOME XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR
gsettings set org.gnome.shell enabled-extensions "['$uuid']"
gsettings set org.gnome.shell disable-user-extensions false

display=tessarapane-wl
TESSARAPANE_AGENT_TEST=1 gnome-shell --headless --virtual-monitor 1440x900 --wayland --no-x11 --wayland-display="$display" >"$work/shell.log" 2>&1 &
pids+=($!)

agent() {  # agent METHOD [ARGS...]: the answer's one value, unquoted (true/false for a boolean)
  gdbus call --session --dest org.tessarapane.Agent --object-path /org/tessarapane/Agent \
    --method "org.tessarapane.Agent1.$1" "${@:2}" | python3 -c '
import ast, sys
value = sys.stdin.read().strip()[1:-2]
print(ast.literal_eval(value) if value.startswith("\x27") else value)'
}
until_true() {  # until_true SECONDS COMMAND...: polls every 0.1 s
  local deadline=$(( $(date +%s) + $1 )); shift
  until "$@" 2>/dev/null; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
windows() { agent ListWindows; }
count_foot() { [ "$(windows | python3 -c 'import json,sys; print(sum(w["appId"] == "foot" for w in json.load(sys.stdin)))')" = "$1" ]; }

until_true 30 agent ListWindows >/dev/null || fail "the agent did not appear on the session bus"
echo "agent answered after $(ms) ms"
monitors=$(agent Monitors)
python3 -c 'import json,sys; m=json.loads(sys.argv[1]); assert len(m)==1 and m[0]["frame"]==[0,0,1440,900] and m[0]["primary"], m' "$monitors" \
  || fail "monitors: $monitors"

id_of() { windows | python3 -c 'import json,sys; print([w["id"] for w in json.load(sys.stdin) if w["title"] == sys.argv[1]][0])' "$1"; }
# A window is listed before it is first drawn; once shown, it takes the focus.
focused_is() { windows | python3 -c 'import json,sys; assert [w["id"] for w in json.load(sys.stdin) if w["focused"]] == [int(sys.argv[1])]' "$1"; }
for title in first second; do
  WAYLAND_DISPLAY=$display foot --title "$title" --app-id foot sleep 600 >>"$work/foot.log" 2>&1 &
  pids+=($!)
  until_true 20 id_of "$title" >/dev/null || fail "the $title foot window did not appear: $(windows)"
  until_true 10 focused_is "$(id_of "$title")" || fail "the $title window did not take the focus: $(windows)"
done
count_foot 2 || fail "not two foot windows: $(windows)"
first=$(id_of first) second=$(id_of second)

# Placed exactly: the frame asked for is the frame the agent lists.
[ "$(agent MoveResize "$first" 100 80 600 400)" = true ] || fail "MoveResize refused"
frame_is() { [ "$(windows | python3 -c 'import json,sys; print([w["frame"] for w in json.load(sys.stdin) if w["id"] == int(sys.argv[1])][0])' "$1")" = "$2" ]; }
until_true 5 frame_is "$first" "[100, 80, 600, 400]" || fail "the first window is not at 100,80 600x400: $(windows)"
[ "$(agent MoveResize 999999 0 0 10 10)" = false ] || fail "an unknown window was moved"

# Brought to the front and focused.
[ "$(agent Activate "$first")" = true ] || fail "Activate refused"
front_is() { windows | python3 -c 'import json,sys; w=json.load(sys.stdin); assert w[-1]["id"] == int(sys.argv[1]) and w[-1]["focused"]' "$1"; }
until_true 5 front_is "$first" || fail "the first window is not in front and focused: $(windows)"

# Closed, and the end is reported.
gdbus monitor --session --dest org.tessarapane.Agent >"$work/signals.log" 2>&1 &
pids+=($!)
sleep 0.3
[ "$(agent Close "$second")" = true ] || fail "Close refused"
until_true 5 count_foot 1 || fail "the second window did not close: $(windows)"
until_true 5 grep -q "WindowEvent ('destroyed', uint64 $second)" "$work/signals.log" || fail "no destroyed event: $(cat "$work/signals.log")"
echo "all checks held after $(ms) ms"
