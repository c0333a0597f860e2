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
  --counts "12 40"     numbers of xterms
  --repeats N          runs of each mover per count (default 5); medians are reported
  --warmup N           untimed runs of each mover first (default 1): fresh xterms are still busy
  --movers LIST        comma-separated movers, in the order run (default coordinator,wmctrl,raw):
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
  --session-bus        start a private D-Bus session bus for the desktop (DBUS_SESSION_BUS_ADDRESS)
  --keep               keep the work directory (logs, plans, raw timings)
EOF
}

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build-release}
COUNTS="12 40"
REPEATS=5
WARMUP=1
MOVERS="coordinator,wmctrl,raw"
KIND=split4
START_PROGRAM=""
RESET=""
READY=""
KEEP=0
SESSION_BUS=0
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
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "$KEEP" = 1 ]; then echo "work directory: $WORK" >&2; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

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
  if [ -n "$START_PROGRAM" ]; then
    bash -c "$START_PROGRAM" >"$WORK/program.log" 2>&1 &
    PIDS+=($!)
    if [ -n "$READY" ]; then poll_until 20 bash -c "$READY" || { echo "the started program is not ready" >&2; exit 1; }; fi
  fi
}

client_list() {
  xprop -root -notype _NET_CLIENT_LIST | sed -n 's/.*# //p' | tr ',' '\n' | sed 's/ //g' | grep -v '^$' || true
}

# Starts $1 xterms at scattered places; their windows go to $WORK/windows.
start_xterms() {
  local count=$1 i before
  before=$(client_list | sort)
  XTERM_PIDS=()
  for ((i = 0; i < count; i++)); do
    xterm -geometry "20x5+$(((i * 137) % 1250 + 10))+$(((i * 89) % 760 + 10))" 2>>"$WORK/xterm.log" &
    XTERM_PIDS+=($!)
    PIDS+=($!)
  done
  local deadline=$((SECONDS + 60))
  while :; do
    comm -13 <(echo "$before") <(client_list | sort) >"$WORK/windows"
    [ "$(wc -l <"$WORK/windows")" -ge "$count" ] && break
    [ $SECONDS -lt $deadline ] || { echo "only $(wc -l <"$WORK/windows") of $count xterms appeared" >&2; exit 1; }
    sleep 0.1
  done
}

stop_xterms() {
  kill "${XTERM_PIDS[@]}" 2>/dev/null || true
  wait "${XTERM_PIDS[@]}" 2>/dev/null || true
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

start_desktop
: >"$WORK/results"
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
  for ((run = 1 - WARMUP; run <= REPEATS; run++)); do
    for mover in "${MOVER_LIST[@]}"; do
      "$RAW" scatter "$WORK/start.plan" >/dev/null
      # A run that does not settle (a very busy machine) is left out and told.
      if ! ms=$(run_mover "$mover" "$WORK/plan"); then
        echo "warning: $mover with $count windows did not settle; run left out" >&2
        continue
      fi
      if [ "$run" -ge 1 ]; then echo "$count $mover $ms" >>"$WORK/results"; fi
    done
  done
  "$RAW" scatter "$WORK/start.plan" >/dev/null
  stop_xterms
done

# Prints one table of statistic $1 ("median" or "fastest") per count and mover, with ratios to raw.
table() {
  local statistic=$1 count mover
  echo "settle time to $KIND, $statistic of $REPEATS runs (ms), one Xvfb 1440x900 + openbox desktop"
  printf '%-8s' windows
  for mover in "${MOVER_LIST[@]}"; do printf '%14s' "$mover"; done
  for mover in "${MOVER_LIST[@]}"; do [ "$mover" = raw ] || printf '%16s' "$mover/raw"; done
  echo
  for count in $COUNTS; do
    declare -A value=()
    for mover in "${MOVER_LIST[@]}"; do
      value[$mover]=$(awk -v c="$count" -v m="$mover" '$1 == c && $2 == m { print $3 }' "$WORK/results" | "$statistic")
    done
    printf '%-8s' "$count"
    for mover in "${MOVER_LIST[@]}"; do printf '%14s' "${value[$mover]}"; done
    for mover in "${MOVER_LIST[@]}"; do
      [ "$mover" = raw ] && continue
      if [ -n "${value[raw]:-}" ]; then
        printf '%16s' "$(awk -v a="${value[$mover]}" -v b="${value[raw]}" 'BEGIN { printf "%.2fx", a / b }')"
      else
        printf '%16s' "-"
      fi
    done
    echo
    unset value
  done
}
fastest() { sort -n | head -n1; }

table median
# Load from elsewhere only ever adds time: the fastest runs compare the movers
# themselves on a busy machine.
table fastest
echo "all runs (count mover ms):"
sed 's/^/  /' "$WORK/results"
