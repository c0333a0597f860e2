#!/usr/bin/env bash
# How often a window mapped right after the window manager starts is lost:
# N fresh Xvfb + openbox desktops; on each, xlogo starts as soon as the gate
# says the manager is there, and the run counts the desktops where its
# window was not viewable 10 s later.
#   bench/x11/wm-readiness.sh [--build DIR] [--runs N] [--gate answers|announced]
# "answers" waits for tessarapane-wm-ready (a frame-extents request answered),
# "announced" only for _NET_SUPPORTING_WM_CHECK, as the test harness once did.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build runs=60 gate=answers
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --gate) gate=$2; shift 2 ;;
    *) sed -n '2,9p' "$0" >&2; exit 64 ;;
  esac
done
wm_ready=$build/tools/tessarapane-wm-ready
[ -x "$wm_ready" ] || { echo "missing $wm_ready: build the target tessarapane-wm-ready in $build" >&2; exit 69; }

work=$(mktemp -d /tmp/tessarapane-readiness-XXXXXX)
pids=()
stop() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true; pids=(); }
trap 'stop; rm -rf "$work"' EXIT
printf '<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard></keyboard></openbox_config>\n' >"$work/rc.xml"

announced() {
  local deadline=$((SECONDS + 20))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.01
  done
}

lost=0 slowest=0
for ((i = 1; i <= runs; i++)); do
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  pids+=($!)
  until [ -s "$work/display" ]; do sleep 0.01; done
  export DISPLAY=":$(head -n1 "$work/display")"
  start=$(date +%s%N)
  openbox --sm-disable --config-file "$work/rc.xml" 2>/dev/null &
  pids+=($!)
  if [ "$gate" = answers ]; then
    "$wm_ready" --timeout 20 || exit 1
  else
    announced || { echo "openbox did not announce itself (_NET_SUPPORTING_WM_CHECK) within 20 s" >&2; exit 1; }
  fi
  waited=$((($(date +%s%N) - start) / 1000000))
  [ "$waited" -gt "$slowest" ] && slowest=$waited
  xlogo -geometry 100x100+10+10 2>/dev/null &
  pids+=($!)
  viewable=0
  for _ in $(seq 100); do
    if xwininfo -name xlogo 2>/dev/null | grep -q "IsViewable"; then viewable=1; break; fi
    sleep 0.1
  done
  [ "$viewable" = 1 ] || lost=$((lost + 1))
  stop
done
echo "gate=$gate: $lost of $runs desktops lost the first window; longest gate wait ${slowest} ms"
