#!/usr/bin/env bash
# Settle benchmark: on one private Xvfb + openbox desktop, the time from the
# request to start a layout (split4) until every window has settled (outer
# frame within the frame-fit tolerance of its target), for several movers
# doing the same moves. See bench/README.md.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: bench/x11/settle-bench.sh [options]
  --build DIR          build directory with the benchmark programs (default: $BUILD_DIR or build-release)
  --counts "4 8 12 16 24 40"
                       numbers of xterms (default: those six)
  --repeats N          runs of each mover per count (default 5); median and min-max are reported
  --warmup N           untimed runs of each mover first (default 1): fresh xterms are still busy
  --movers LIST        comma-separated movers (default coordinator,wmctrl,raw); every repeat runs
                       each of them once, in this order, so slow phases of the machine hit all alike:
                         coordinator  the coordinator on the X11 backend (tessarapane_settle_driver)
                         wmctrl       a shell loop of wmctrl -i -r ID -e 0,x,y,w,h
                         raw          one xcb connection sending every _NET_MOVERESIZE_WINDOW (the floor)
                         NAME         an external command given with --command NAME=CMD
  --command NAME=CMD   a mover that runs CMD (through bash, on the private desktop) and is timed
                       until every window has settled
  --reset CMD          run after every run of an external command, before the windows are put back
                       (e.g. to make the started program leave its layout)
  --start-program CMD  a program started on the private desktop before any window (e.g. a daemon
                       the external command talks to); stopped at the end
  --ready CMD          polled until it succeeds (20 s at most) after --start-program
  --tray               start a tray host (trayer, no strut) before the program: without one the
                       program soon opens a modal message and refuses ctl requests
  --session-bus        start a private D-Bus session bus for the desktop (DBUS_SESSION_BUS_ADDRESS)
  --load               time everything while a parallel build of this project keeps the machine
                       busy: a throw-away build folder under the work directory, no compiler
                       cache, rebuilt from clean whenever it finishes; stopped at the end. It runs
                       at this script's niceness (start the script without nice for nice 0)
  --load-jobs N        parallel jobs of that build (default 2)
  --keep               keep the work directory (logs, plans, raw timings)
EOF
}

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/bench/x11/tray-host.sh"
BUILD=${BUILD_DIR:-$ROOT/build-release}
COUNTS="4 8 12 16 24 40"
REPEATS=5
WARMUP=1
MOVERS="coordinator,wmctrl,raw"
KIND=split4
START_PROGRAM=""
RESET=""
READY=""
KEEP=0
SESSION_BUS=0
TRAY=0
LOAD=0
LOAD_JOBS=2
declare -A COMMANDS=()

while [ $# -gt 0 ]; do
  case "$1" in
    --build) BUILD=$2; shift 2 ;;
    --counts) COUNTS=$2; shift 2 ;;
    --repeats) REPEATS=$2; shift 2 ;;
    --warmup) WARMUP=$2; shift 2 ;;
    --movers) MOVERS=$2; shift 2 ;;
    --command) COMMANDS["${2%%=*}"]="${2#*=}"; shift 2 ;;
    --start-program) START_PROGRAM=$2; shift 2 ;;
    --ready) READY=$2; shift 2 ;;
    --reset) RESET=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --session-bus) SESSION_BUS=1; shift ;;
    --tray) TRAY=1; shift ;;
    --load) LOAD=1; shift ;;
    --load-jobs) LOAD_JOBS=$2; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "unknown option $1" >&2; usage >&2; exit 64 ;;
  esac
done

DRIVER=$BUILD/bench/x11/tessarapane_settle_driver
RAW=$BUILD/bench/x11/tessarapane_raw_mover
WM_READY=$BUILD/tools/tessarapane-wm-ready
for program in "$DRIVER" "$RAW" "$WM_READY"; do
  [ -x "$program" ] || { echo "missing $program: build the targets tessarapane_settle_driver, tessarapane_raw_mover and tessarapane-wm-ready in $BUILD" >&2; exit 69; }
done
[[ "$REPEATS" =~ ^[1-9][0-9]*$ ]] || { echo "--repeats takes a positive number" >&2; exit 64; }
[[ "$LOAD_JOBS" =~ ^[1-9][0-9]*$ ]] || { echo "--load-jobs takes a positive number" >&2; exit 64; }
for tool in Xvfb openbox xterm xprop wmctrl; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup installs it)" >&2; exit 69; }
done
IFS=, read -r -a MOVER_LIST <<<"$MOVERS"
for mover in "${MOVER_LIST[@]}"; do
  case "$mover" in
    coordinator|wmctrl|raw) ;;
    *) [ -n "${COMMANDS[$mover]+set}" ] || { echo "mover $mover needs --command $mover=CMD" >&2; exit 64; } ;;
  esac
done

WORK=$(mktemp -d /tmp/tessarapane-settle-XXXXXX)
PIDS=()
LOAD_PID=""
cleanup() {
  stop_load
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "$KEEP" = 1 ]; then echo "work directory: $WORK" >&2; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
# The load build runs in a session of its own: an interrupt must end it too.
trap 'exit 130' INT
trap 'exit 143' TERM

# Polls "$@" until it succeeds, at most $1 seconds.
poll_until() {
  local seconds=$1; shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}

start_desktop() {
  Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  PIDS+=($!)
  poll_until 20 test -s "$WORK/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$WORK/display")"
  # Openbox without key bindings, placing new windows where they ask.
  cat >"$WORK/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <resistance><strength>0</strength><screen_edge_strength>0</screen_edge_strength></resistance>
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <desktops><number>1</number></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard></keyboard>
  <mouse></mouse>
</openbox_config>
EOF
  if [ "$SESSION_BUS" = 1 ]; then
    dbus-daemon --session --nofork --print-address=4 4>"$WORK/bus" 2>"$WORK/bus.log" &
    PIDS+=($!)
    poll_until 20 test -s "$WORK/bus" || { echo "the session bus did not start" >&2; exit 1; }
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/bus")
    export DBUS_SESSION_BUS_ADDRESS
  fi
  XDG_CONFIG_HOME=$WORK XDG_CACHE_HOME=$WORK openbox --sm-disable --config-file "$WORK/rc.xml" 2>"$WORK/openbox.log" &
  PIDS+=($!)
  # Ready means answering requests, not only announced (xprop exits 0 even
  # when the property is missing).
  "$WM_READY" --timeout 20 || { echo "openbox is not ready (see $WORK/openbox.log)" >&2; exit 1; }
  if [ "$TRAY" = 1 ]; then
    tray_host_start "$WORK/trayer.log"
    PIDS+=($!)
    poll_until 20 tray_host_listed || { echo "the tray host (trayer) did not come up" >&2; exit 1; }
  fi
  if [ -n "$START_PROGRAM" ]; then
    bash -c "$START_PROGRAM" >"$WORK/program.log" 2>&1 &
    PIDS+=($!)
    if [ -n "$READY" ]; then poll_until 20 bash -c "$READY" || { echo "the started program is not ready" >&2; exit 1; }; fi
  fi
}

client_list() {
  xprop -root -notype _NET_CLIENT_LIST | sed -n 's/.*# //p' | tr ',' '\n' | sed 's/ //g' | grep -v '^$' || true
}

# The _NET_WM_PID of window $1; nothing when the window is gone or has none.
window_pid() {
  xprop -id "$1" -notype _NET_WM_PID 2>/dev/null | sed -n 's/^_NET_WM_PID = \([0-9]*\)$/\1/p'
}

# Starts $1 xterms at scattered places; their windows go to $WORK/windows.
# A window is taken as one of them by its _NET_WM_PID, not by being new in
# the list: the server hands new windows the numbers of windows just closed.
start_xterms() {
  local count=$1 i id pid found=0
  local -A ours=() taken=()
  XTERM_PIDS=()
  for ((i = 0; i < count; i++)); do
    xterm -geometry "20x5+$(((i * 137) % 1250 + 10))+$(((i * 89) % 760 + 10))" 2>>"$WORK/xterm.log" &
    XTERM_PIDS+=($!)
    PIDS+=($!)
    ours[$!]=1
  done
  : >"$WORK/windows"
  local deadline=$((SECONDS + 60))
  while :; do
    # Windows not taken yet are asked again each round: one of another
    # client may be closed and its number reused by one of these.
    for id in $(client_list); do
      [ -z "${taken[$id]+set}" ] || continue
      pid=$(window_pid "$id")
      if [ -n "$pid" ] && [ -n "${ours[$pid]+set}" ]; then
        taken[$id]=1
        echo "$id" >>"$WORK/windows"
        found=$((found + 1))
      fi
    done
    [ "$found" -ge "$count" ] && break
    [ $SECONDS -lt $deadline ] || { echo "only $found of $count xterms appeared (windows listed with their _NET_WM_PID)" >&2; exit 1; }
    sleep 0.1
  done
}

# Ends the xterms and waits until the window manager no longer lists their
# windows, so the next count's plan does not take them.
stop_xterms() {
  local left
  kill "${XTERM_PIDS[@]}" 2>/dev/null || true
  wait "${XTERM_PIDS[@]}" 2>/dev/null || true
  local deadline=$((SECONDS + 20))
  while left=$(grep -cxFf <(client_list) "$WORK/windows"); do
    [ $SECONDS -lt $deadline ] || { echo "$left closed xterm windows still listed after 20 s" >&2; exit 1; }
    sleep 0.05
  done
}

# The --load build: this project compiled from clean into a folder of its
# own, over and over, until stop_load. No compiler cache, so every round
# compiles for real. The loop has a process group of its own (setsid), so
# stopping it ends the compilers too.
start_load() {
  local dir=$WORK/load-build
  CCACHE_DISABLE=1 cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARAPANE_TESTS=OFF \
    -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= >"$WORK/load.log" 2>&1 ||
    { echo "the load build did not configure (see $WORK/load.log with --keep)" >&2; exit 1; }
  : >"$WORK/load.rounds"
  setsid bash -c 'while :; do
      CCACHE_DISABLE=1 cmake --build "$1" --clean-first -j "$2" >>"$3" 2>&1
      echo $? >>"$4"
      sleep 0.5
    done' load "$dir" "$LOAD_JOBS" "$WORK/load.log" "$WORK/load.rounds" </dev/null &
  LOAD_PID=$!
  # A failing build would leave the machine idle: its first compile must start.
  poll_until 60 grep -Eq '^\[[0-9]+/[0-9]+\] Building' "$WORK/load.log" ||
    { echo "the load build did not start compiling" >&2; exit 1; }
  if grep -qv '^0$' "$WORK/load.rounds"; then echo "the load build failed" >&2; exit 1; fi
}

stop_load() {
  [ -n "$LOAD_PID" ] || return 0
  kill -- -"$LOAD_PID" 2>/dev/null || kill "$LOAD_PID" 2>/dev/null || true
  wait "$LOAD_PID" 2>/dev/null || true
  LOAD_PID=""
}

# Times an external command on the private desktop, from just before it runs
# until every window of the plan has settled (a watcher connected beforehand
# starts its clock on a line from this script). Prints milliseconds.
time_command() {
  local plan=$1; shift
  local ms
  coproc WATCH { "$RAW" watch "$plan"; }
  local watch_pid=$WATCH_PID watch_out watch_in
  # Copies of the watcher's pipes: bash closes its own (and unsets WATCH) as
  # soon as the watcher ends, which happens before a command that returns
  # after the windows have settled (ctl waits for its request) is done.
  exec {watch_out}<&"${WATCH[0]}" {watch_in}>&"${WATCH[1]}"
  read -r -u "$watch_out" ready
  [ "$ready" = ready ] || { echo "the watcher did not start" >&2; return 1; }
  echo go >&"$watch_in"
  "$@" >>"$WORK/commands.log" 2>&1
  read -r -u "$watch_out" ms || ms=""
  exec {watch_out}<&- {watch_in}>&-
  [ -n "$ms" ] || { echo "the windows did not settle" >&2; return 1; }
  wait "$watch_pid" 2>/dev/null || true
  echo "$ms"
}

wmctrl_loop() {
  local id geometry
  while read -r id geometry; do wmctrl -i -r "$id" -e "0,$geometry"; done <"$1"
}

run_mover() {
  local mover=$1 plan=$2
  case "$mover" in
    coordinator) "$DRIVER" start "$KIND" "$plan" 2>>"$WORK/driver.log" ;;
    raw) "$RAW" move "$plan" ;;
    wmctrl) time_command "$plan" wmctrl_loop "$WORK/wmctrl.args" ;;
    *)
      time_command "$plan" bash -c "${COMMANDS[$mover]}"
      if [ -n "$RESET" ]; then bash -c "$RESET" >>"$WORK/commands.log" 2>&1 || echo "warning: the reset failed" >&2; fi
      ;;
  esac
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

[ "$LOAD" = 0 ] || start_load
start_desktop
: >"$WORK/results"
: >"$WORK/loadavg"
for count in $COUNTS; do
  start_xterms "$count"
  # Let every xterm finish mapping and sizing itself, then take the start.
  sleep 1
  # shellcheck disable=SC2046
  "$RAW" frames $(cat "$WORK/windows") >"$WORK/start.plan"
  "$DRIVER" plan "$KIND" >"$WORK/plan"
  moves=$(grep -c '^move' "$WORK/plan" || true)
  [ "$moves" -eq "$count" ] || echo "warning: the plan moves $moves windows, not $count" >&2
  "$RAW" wmctrl "$WORK/plan" >"$WORK/wmctrl.args"
  # Repeat by repeat, every mover once: a busy phase of the machine falls on
  # all movers alike instead of on the one that happens to run then.
  for ((run = 1 - WARMUP; run <= REPEATS; run++)); do
    for mover in "${MOVER_LIST[@]}"; do
      "$RAW" scatter "$WORK/start.plan" >/dev/null
      # A run that does not settle (a very busy machine) is left out and told.
      if ! ms=$(run_mover "$mover" "$WORK/plan"); then
        echo "warning: $mover with $count windows did not settle; run left out" >&2
        continue
      fi
      if [ "$run" -ge 1 ]; then
        echo "$count $mover $ms" >>"$WORK/results"
        cut -d' ' -f1 /proc/loadavg >>"$WORK/loadavg"
      fi
    done
  done
  "$RAW" scatter "$WORK/start.plan" >/dev/null
  stop_xterms
done
if [ "$LOAD" = 1 ]; then
  load_rounds=$(grep -c . "$WORK/load.rounds" || true)
  load_failed=$(grep -cv '^0$' "$WORK/load.rounds" || true)
  stop_load
  [ "$load_failed" = 0 ] || echo "warning: $load_failed of $load_rounds rounds of the load build failed" >&2
fi

# One markdown table: per count and mover the median and the range of the
# timed runs, and the ratio of the mover's median to raw's.
table() {
  local count mover stats raw_median
  echo "settle time to $KIND in ms, $REPEATS runs per mover, one Xvfb 1440x900 + openbox desktop"
  if [ "$LOAD" = 1 ]; then
    echo "under load: this project built from clean with -j$LOAD_JOBS, over and over ($load_rounds builds finished)"
  fi
  echo "1-minute load average at the timed runs: $(sort -n "$WORK/loadavg" | sed -n '1p;$p' | paste -sd- | sed 's/-/–/')"
  echo
  echo "| windows | mover | median | min–max | ratio of medians to raw |"
  echo "|---|---|---|---|---|"
  # A count given twice has one row per mover, over the runs of both.
  for count in $(tr ' ' '\n' <<<"$COUNTS" | awk 'NF && !seen[$1]++'); do
    raw_median=$(awk -v c="$count" '$1 == c && $2 == "raw" { print $3 }' "$WORK/results" | median)
    for mover in "${MOVER_LIST[@]}"; do
      stats=$(awk -v c="$count" -v m="$mover" '$1 == c && $2 == m { print $3 }' "$WORK/results" | sort -n |
        awk -v raw="$raw_median" -v repeats="$REPEATS" '
          { v[NR] = $1 }
          END {
            if (NR == 0) { print "no run settled | - | -"; exit }
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            note = NR < repeats ? sprintf(" (%d of %d runs)", NR, repeats) : ""
            ratio = raw == "nan" || raw == 0 ? "-" : sprintf("%.2fx", median / raw)
            printf "%.1f ms%s | %.1f–%.1f ms | %s\n", median, note, v[1], v[NR], ratio
          }')
      echo "| $count | $mover | $stats |"
    done
  done
}

table
echo
echo "all runs (count mover ms):"
sed 's/^/  /' "$WORK/results"
