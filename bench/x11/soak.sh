#!/usr/bin/env bash
# Soak run of the real program on a private Xvfb + openbox desktop with a
# tray host (takes a few minutes; not part of the test suite). Under a
# running layout it opens and closes many xterms with `tessarapane ctl`
# calls in between (some sent back to back without waiting), switches
# desktops while one window is on every desktop, restarts the window
# manager, asks to leave the layout while no window manager runs, and finally
# checks that every surviving window is back at the frame it had before the
# layout took it (outer frame within 1 px, read with xwininfo and
# _NET_FRAME_EXTENTS, independently of the program). Prints a short summary;
# exits 1 when a window is out of place or a request that should have been
# carried out was not.
#
#   bench/x11/soak.sh [--build DIR] [--windows N] [--keep]
#
# DIR is a configured Release build folder (default build-rel); the program
# is built in it first.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-rel
windows=200
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: bench/x11/soak.sh [--build DIR] [--windows N] [--keep]" >&2; exit 64 ;;
  esac
done
for tool in Xvfb openbox xterm xprop xwininfo wmctrl xdotool dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup installs it)" >&2; exit 69; }
done
cmake --build "$build" --target tessarapane tessarapane-wm-ready >/dev/null
wm_ready=$build/tools/tessarapane-wm-ready
program=$(cd "$build" && find "$PWD/src" -type f -name tessarapane -perm -u+x | head -n 1)
[ -n "$program" ] || { echo "no tessarapane executable in $build" >&2; exit 1; }

work=$(mktemp -d /tmp/tessarapane-soak-XXXXXX)
pids=()
openbox_pid=""
cleanup() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  [ -z "$openbox_pid" ] || kill "$openbox_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  if [ "$keep" = 1 ]; then echo "work directory: $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

poll_until() {
  local seconds=$1; shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}
say() { printf 'soak: %s\n' "$*"; }

# --- The private desktop -------------------------------------------------------

Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
poll_until 20 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
dbus-daemon --session --nofork --print-address=4 4>"$work/bus" 2>"$work/bus.log" &
pids+=($!)
poll_until 20 test -s "$work/bus" || { echo "the session bus did not start" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

cat >"$work/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <desktops><number>4</number></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard></keyboard>
  <mouse></mouse>
</openbox_config>
EOF

client_list() {
  xprop -root -notype _NET_CLIENT_LIST | sed -n 's/.*# //p' | tr ',' '\n' | sed 's/ //g' | grep -v '^$' || true
}

# Starts openbox and waits until it answers requests: it announces itself
# (_NET_SUPPORTING_WM_CHECK) before its event loop runs, a client started in
# that gap may lose its first map request, and after a restart the root
# still names the previous instance's check window.
start_openbox() {
  openbox --sm-disable --config-file "$work/rc.xml" >>"$work/openbox.log" 2>&1 &
  openbox_pid=$!
  "$wm_ready" --timeout 20 || { echo "openbox is not ready (see $work/openbox.log)" >&2; exit 1; }
}
start_openbox
source bench/x11/tray-host.sh
tray_host_start "$work/trayer.log"
pids+=($!)
poll_until 20 tray_host_listed || { echo "the tray host (trayer) did not come up" >&2; exit 1; }

# The outer frame of a client as the window manager shows it: the client's
# root position and size grown by _NET_FRAME_EXTENTS. "x y width height".
witness() {
  local info extents l r t b
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
  awk -v l="$l" -v r="$r" -v t="$t" -v b="$b" '
    /Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
    /^ *Width:/ {w=$2} /^ *Height:/ {h=$2}
    END {print x-l, y-t, w+l+r, h+t+b}' <<<"$info"
}

# Opens an xterm and prints its window once it is listed and framed.
open_xterm() {
  local title=$1 geometry=$2 before id
  before=$(client_list | sort)
  xterm -title "$title" -geometry "$geometry" >/dev/null 2>>"$work/xterm.log" &
  echo "$!" >"$work/pid.$title"
  local deadline=$((SECONDS + 20))
  while :; do
    id=$(comm -13 <(echo "$before") <(client_list | sort) | head -n1)
    if [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q =; then
      echo "$id" | tee "$work/id.$title"
      return 0
    fi
    if [ $SECONDS -ge $deadline ]; then
      { echo "no window for $title; its client: $(xdotool search --name "^$title\$" 2>&1 | head -n1)"
        xwininfo -root -tree | grep -F "\"$title\"" || true; } >>"$work/missing.log"
      return 1
    fi
    sleep 0.02
  done
}
# Closes an xterm and waits until its window has left the list: the server
# hands the next client the same window number.
close_xterm() {
  local pid id
  pid=$(cat "$work/pid.$1")
  id=$(cat "$work/id.$1")
  kill "$pid" 2>/dev/null || true
  poll_until 10 sh -c "! xprop -root -notype _NET_CLIENT_LIST | grep -qw '$id'" || true
}

declare -A original=()  # window -> "x y width height" before the layout took it
survivors=()
for i in 0 1 2 3; do
  id=$(open_xterm "base$i" "80x24+$((40 + 160 * i))+$((30 + 90 * i))") || { echo "base window $i did not appear" >&2; exit 1; }
  survivors+=("$id")
  original[$id]=$(witness "$id")
done

"$program" 2>"$work/tessarapane.log" &
pids+=($!)
program_pid=$!
poll_until 30 "$program" ctl state || { echo "the program did not answer" >&2; exit 1; }

ctl_ok=0
ctl_failed=0
ctl() {
  if "$program" ctl "$@" >>"$work/ctl.log" 2>&1; then ctl_ok=$((ctl_ok + 1)); else
    ctl_failed=$((ctl_failed + 1)); echo "ctl $* failed" >>"$work/ctl.log"; fi
}
managed_count() {
  "$program" ctl state | python3 -c 'import json,sys; s=json.load(sys.stdin)
print(sum(len(p["windows"]) for p in s["panes"]) + len(s["tiles"]))'
}

start=$SECONDS
ctl start split4
say "split4 over ${#survivors[@]} windows; opening and closing $windows more"

# --- Windows come and go under the layout ---------------------------------------

open_now=()
opened=0
requests=(state "move right" "start split4" grid "start stackFocus" "move left" "start split4")
for ((n = 0; n < windows; n++)); do
  geometry="40x10+$(((n * 137) % 1100 + 10))+$(((n * 89) % 700 + 10))"
  if ((n >= windows - 3)); then
    # The last few stay open. Their frame before the layout takes them is
    # witnessed while the program is held; it takes them in afterwards.
    kill -STOP "$program_pid"
    id=$(open_xterm "churn$n" "$geometry") || { kill -CONT "$program_pid"; echo "window $n did not appear" >&2; exit 1; }
    original[$id]=$(witness "$id")
    kill -CONT "$program_pid"
    survivors+=("$id")
    opened=$((opened + 1))
    continue
  fi
  id=$(open_xterm "churn$n" "$geometry") || { echo "window $n did not appear" >&2; exit 1; }
  opened=$((opened + 1))
  open_now+=("churn$n")
  if ((${#open_now[@]} > 5)); then close_xterm "${open_now[0]}"; open_now=("${open_now[@]:1}"); fi
  if ((n % 7 == 0)); then
    ctl ${requests[$(((n / 7) % ${#requests[@]}))]}
  fi
  if ((n % 25 == 0)); then
    # Back to back, without waiting for the first answer.
    "$program" ctl grid >>"$work/ctl.log" 2>&1 &
    first=$!
    ctl start stackFocus
    if wait "$first"; then ctl_ok=$((ctl_ok + 1)); else ctl_failed=$((ctl_failed + 1)); echo "ctl grid (back to back) failed" >>"$work/ctl.log"; fi
    ctl start split4
  fi
done
for title in "${open_now[@]}"; do close_xterm "$title"; done
sleep 1
say "opened and closed $((opened - 3)) windows in $((SECONDS - start)) s; the layout holds $(managed_count) windows"

# --- Requests sent back to back ----------------------------------------------------

flood_before=$ctl_failed
for ((n = 0; n < 50; n++)); do
  "$program" ctl grid >>"$work/ctl.log" 2>&1 & a=$!
  "$program" ctl start stackFocus >>"$work/ctl.log" 2>&1 & b=$!
  "$program" ctl start split4 >>"$work/ctl.log" 2>&1 & c=$!
  for pid in $a $b $c; do
    if wait "$pid"; then ctl_ok=$((ctl_ok + 1)); else ctl_failed=$((ctl_failed + 1)); fi
  done
done
ctl start split4
sleep 1
say "150 requests sent three at a time: $((ctl_failed - flood_before)) refused or failed; the layout holds $(managed_count) windows"

# --- A desktop switch with a window on every desktop ----------------------------

xdotool set_desktop_for_window "$(printf %d "${survivors[0]}")" -1
wmctrl -s 1
sleep 2
wmctrl -s 0
sleep 2
after_switch=$(managed_count)
say "after a desktop switch with a window on every desktop the layout holds $after_switch windows"

# --- The window manager restarts -------------------------------------------------

kill "$openbox_pid"; wait "$openbox_pid" 2>/dev/null || true
sleep 0.5
start_openbox
sleep 2
after_restart=$(managed_count)
say "after the window manager restarted the layout holds $after_restart windows"

# Leaving while no window manager runs: refused, carried out once one runs.
kill "$openbox_pid"; wait "$openbox_pid" 2>/dev/null || true
sleep 0.5
if "$program" ctl exit >>"$work/ctl.log" 2>&1; then exit_without_wm="answered success"; else exit_without_wm="refused"; fi
start_openbox
poll_until 10 sh -c "'$program' ctl state | grep -q '\"layout\": *null'" && left="left" || left="still running"
say "ctl exit without a window manager: $exit_without_wm; once openbox ran again the layout was $left"
[ "$left" = left ] || ctl exit
sleep 1

# --- Every survivor is back -------------------------------------------------------

in_place=0
worst=0
for id in "${survivors[@]}"; do
  now=$(witness "$id") || now="gone"
  read -r ox oy ow oh <<<"${original[$id]}"
  read -r nx ny nw nh <<<"$now 0 0 0 0"
  off=$(awk -v a="$ox $oy $ow $oh" -v b="$nx $ny $nw $nh" 'BEGIN {split(a,p," "); split(b,q," "); m=0
    for (i = 1; i <= 4; i++) {d = p[i] - q[i]; if (d < 0) d = -d; if (d > m) m = d}; print m}')
  ((off > worst)) && worst=$off
  if ((off <= 1)); then in_place=$((in_place + 1)); else say "window $id: before ${original[$id]}, now $now"; fi
done

say "summary: $opened windows opened, $ctl_ok ctl requests carried out, $ctl_failed refused or failed;"
say "summary: $in_place of ${#survivors[@]} surviving windows back at their frames (worst edge off by $worst px);"
say "summary: program $(kill -0 "$program_pid" 2>/dev/null && echo "still running" || echo "ended"), $((SECONDS - start)) s"
((in_place == ${#survivors[@]} && ctl_failed == 0)) && [ "$left" = left ] && [ "$exit_without_wm" = refused ]
