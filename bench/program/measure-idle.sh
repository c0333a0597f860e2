#!/usr/bin/env bash
# Idle cost of the running program: on a private Xvfb + openbox desktop with
# 20 xterms in a split4 layout, over 60 seconds of nothing happening, the CPU
# time the program uses (utime + stime from /proc/PID/stat), the X requests
# it sends (counted by bench/program/x-request-counter.py between it and the
# server) and its resident memory (VmRSS, VmHWM from /proc/PID/status).
#
#   bench/program/measure-idle.sh [--build DIR] [--program FILE] [--windows N] [--seconds S] [--layout KIND|grid]
#
# DIR is a configured Release build folder (default build-h8rel); the
# tessarapane target is built in it first, unless FILE names the executable
# to measure (the build folder then only provides tessarapane-wm-ready).
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-h8rel
program=
windows=20
seconds=60
layout=split4
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --program) program=$(realpath "$2"); shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --layout) layout=$2; shift 2 ;;
    *) sed -n '2,13p' "$0" >&2; exit 64 ;;
  esac
done

source bench/program/desktop.sh
choose_release_program
start_desktop "$windows"
start_counted_program
pid=$program_pid
if [ "$layout" = grid ]; then "$program" ctl grid; else "$program" ctl start "$layout"; fi
held=$("$program" ctl state | grep -o '"id": *[0-9]*' | sort -u | wc -l)
# The start's own work (frame enforcement, restacking) ends within a few
# seconds, and the periodic sweep 15 s after the start reads once what that
# work changed; the idle window begins after both.
sleep 20

ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
requests_before=$(cat "$work/requests")
started=$(date +%s.%N)
sleep "$seconds"
after=$(ticks)
ended=$(date +%s.%N)
sleep 0.3  # the counter writes its file every 0.2 s
requests_after=$(cat "$work/requests")
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
kill -0 "$pid" || { echo "the program ended during the measurement" >&2; exit 1; }

awk -v b="$before" -v a="$after" -v hz="$hz" -v s="$started" -v e="$ended" -v rss="$rss" -v hwm="$hwm" \
  -v n="$held" -v layout="$layout" -v rb="$requests_before" -v ra="$requests_after" 'BEGIN {
  wall = e - s
  cpu = (a - b) / hz
  printf "layout %s holding %d windows; idle %.1f s\n", layout, n, wall
  printf "cpu: %.2f s of %.1f s = %.3f %% of one core (goal < 0.1 %%)\n", cpu, wall, 100 * cpu / wall
  printf "X requests: %d in %.1f s = %.1f per minute\n", ra - rb, wall, (ra - rb) * 60 / wall
  printf "resident memory: VmRSS %.1f MB, peak VmHWM %.1f MB (goal < 60 MB)\n", rss / 1024, hwm / 1024
}'
