#!/usr/bin/env bash
# X requests the running program sends to start a layout and to leave it: on
# a private Xvfb + openbox desktop with N xterms, the program talks to the
# server through bench/program/x-request-counter.py; once it is idle,
# `tessarapane ctl start KIND` runs, and the requests from just before the
# command until 1.5 s after it returned are counted; then the same for
# `tessarapane ctl exit`.
#
#   bench/program/start-requests.sh [--build DIR] [--program FILE] [--windows N] [--layout KIND|grid] [--idle S]
#
# DIR is a configured Release build folder (default build-h8rel); the
# tessarapane target is built in it first, unless FILE names the executable
# to measure (the build folder then only provides tessarapane-wm-ready).
# Idle means no request for S seconds in a row (default 3).
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-h8rel
program=
windows=12
layout=split4
idle=3
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --program) program=$(realpath "$2"); shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --layout) layout=$2; shift 2 ;;
    --idle) idle=$2; shift 2 ;;
    *) sed -n '2,14p' "$0" >&2; exit 64 ;;
  esac
done
[[ "$windows" =~ ^[1-9][0-9]*$ ]] || { echo "--windows takes a positive number" >&2; exit 64; }
[[ "$idle" =~ ^[1-9][0-9]*$ ]] || { echo "--idle takes a whole number of seconds" >&2; exit 64; }

source bench/program/desktop.sh
choose_release_program
start_desktop "$windows"
start_counted_program

requests() { cat "$work/requests"; }

# Waits until the count has not moved for $idle seconds (60 s at most).
wait_idle() {
  local last now still=0 deadline=$((SECONDS + 60))
  last=$(requests)
  while ((still < idle * 5)); do
    ((SECONDS < deadline)) || { echo "the program did not become idle within 60 s" >&2; return 1; }
    sleep 0.2  # the counter writes its file every 0.2 s
    now=$(requests)
    if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0 last=$now; fi
  done
}

# Runs `ctl "$@"`, waits 1.5 s after it returned, and prints the requests
# counted from just before the command, and the command's own time in ms.
count_command() {
  local before after started ended
  before=$(requests)
  started=$(date +%s%N)
  "$program" ctl "$@" >/dev/null || { echo "ctl $* failed; the program said:" >&2; tail -n 20 "$work/tessarapane.log" >&2; return 1; }
  ended=$(date +%s%N)
  sleep 1.5
  sleep 0.3  # the counter's next write
  after=$(requests)
  echo "$((after - before)) $(((ended - started) / 1000000))"
}

if [ "$layout" = grid ]; then start_command=(grid); else start_command=(start "$layout"); fi
wait_idle
counted=$(count_command "${start_command[@]}")
read -r start_requests start_ms <<<"$counted"
held=$("$program" ctl state | grep -o '"id": *[0-9]*' | sort -u | wc -l)
wait_idle
counted=$(count_command exit)
read -r exit_requests exit_ms <<<"$counted"
kill -0 "$program_pid" || { echo "the program ended during the measurement" >&2; exit 1; }

per_window() { awk -v r="$1" -v n="$windows" 'BEGIN { printf "%.1f", r / n }'; }
echo "$windows xterms on one Xvfb 1440x900 + openbox desktop; the layout held $held windows"
echo "ctl ${start_command[*]} (returned after $start_ms ms) and 1.5 s after: $start_requests X requests," \
  "$(per_window "$start_requests") per window"
echo "ctl exit (returned after $exit_ms ms) and 1.5 s after: $exit_requests X requests," \
  "$(per_window "$exit_requests") per window"
