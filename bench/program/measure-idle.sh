#!/usr/bin/env bash
# Idle cost of the running program: on a private Xvfb + openbox desktop with
# 20 xterms in a split4 layout, the CPU time the program uses over 60 seconds
# of nothing happening (utime + stime from /proc/PID/stat) and its resident
# memory (VmRSS, VmHWM from /proc/PID/status).
#
#   bench/program/measure-idle.sh [--build DIR] [--windows N] [--seconds S] [--layout KIND|grid]
#
# DIR is a configured Release build folder (default build-h8rel); the
# tessarapane target is built in it first.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-h8rel
windows=20
seconds=60
layout=split4
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --layout) layout=$2; shift 2 ;;
    *) sed -n '2,11p' "$0" >&2; exit 64 ;;
  esac
done

cmake --build "$build" --target tessarapane tessarapane-wm-ready >/dev/null
program=$(find "$build/src" -type f -name tessarapane -perm -u+x | head -n 1)
[ -n "$program" ] || { echo "no tessarapane executable in $build" >&2; exit 1; }
grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" ||
  echo "warning: $build is not a Release build" >&2

work=$(mktemp -d /tmp/tessarapane-idle-XXXXXX)
pids=()
stop_all() {
  local status=$? i
  trap - EXIT
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do wait "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$work"
  exit "$status"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

poll_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || { echo "gave up waiting for $what" >&2; return 1; }
    sleep 0.05
  done
}

Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
poll_until 20 Xvfb grep -q . "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/dbus.log" &
pids+=($!)
poll_until 20 "the session bus" grep -q . "$work/bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
cat >"$work/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
</openbox_config>
XML
openbox --sm-disable --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
pids+=($!)
"$build/tools/tessarapane-wm-ready" --timeout 20 || { echo "openbox is not ready (see $work/openbox.log)" >&2; exit 1; }

for ((i = 0; i < windows; i++)); do
  xterm -title "xterm $i" -geometry "40x10+$(((i * 137) % 1100 + 10))+$(((i * 89) % 700 + 10))" 2>>"$work/xterm.log" &
  pids+=($!)
done
poll_until 60 "$windows xterms" sh -c \
  "[ \$(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | wc -l) -ge $windows ]"

"$program" 2>"$work/tessarapane.log" &
pid=$!
pids+=($pid)
poll_until 30 "the program" "$program" ctl state
if [ "$layout" = grid ]; then "$program" ctl grid; else "$program" ctl start "$layout"; fi
held=$("$program" ctl state | grep -o '"id": *[0-9]*' | sort -u | wc -l)
# The start's own work (frame enforcement, restacking) ends within a few
# seconds; the idle window begins after it.
sleep 10

ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
started=$(date +%s.%N)
sleep "$seconds"
after=$(ticks)
ended=$(date +%s.%N)
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
kill -0 "$pid" || { echo "the program ended during the measurement" >&2; exit 1; }

awk -v b="$before" -v a="$after" -v hz="$hz" -v s="$started" -v e="$ended" -v rss="$rss" -v hwm="$hwm" \
  -v n="$held" -v layout="$layout" 'BEGIN {
  wall = e - s
  cpu = (a - b) / hz
  printf "layout %s holding %d windows; idle %.1f s\n", layout, n, wall
  printf "cpu: %.2f s of %.1f s = %.3f %% of one core (goal < 0.1 %%)\n", cpu, wall, 100 * cpu / wall
  printf "resident memory: VmRSS %.1f MB, peak VmHWM %.1f MB (goal < 60 MB)\n", rss / 1024, hwm / 1024
}'
