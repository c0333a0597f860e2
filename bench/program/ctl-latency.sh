#!/usr/bin/env bash
# How long one `tessarapane ctl state` takes, process start included, against
# the running program holding 20 xterms in split4 on a private desktop: N
# calls one after the other, their median, p10 and p90 in milliseconds, and
# the shared libraries one call loads.
#
#   bench/program/ctl-latency.sh [--build DIR] [--program FILE] [--calls N] [--windows N]
#
# DIR is a configured Release build folder (default build-h8rel); the
# tessarapane target is built in it first, unless FILE names the executable
# to measure (the build folder then only provides tessarapane-wm-ready).
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-h8rel
program=
calls=200
windows=20
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --program) program=$(realpath "$2"); shift 2 ;;
    --calls) calls=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    *) sed -n '2,11p' "$0" >&2; exit 64 ;;
  esac
done

source bench/program/desktop.sh
choose_program

start_desktop "$windows"
start_program
"$program" ctl start split4
sleep 3  # the start's own settling ends first

libraries=$(LD_DEBUG=libs "$program" ctl state 2>&1 >/dev/null | grep -c 'calling init:' || true)
python3 - "$program" "$calls" "$libraries" <<'PY'
import statistics, subprocess, sys, time
program, calls, libraries = sys.argv[1], int(sys.argv[2]), sys.argv[3]
times = []
for _ in range(calls):
    started = time.perf_counter()
    subprocess.run([program, "ctl", "state"], stdout=subprocess.DEVNULL, check=True)
    times.append((time.perf_counter() - started) * 1000)
q = statistics.quantiles(times, n=10)
print(f"{program} ctl state, {calls} calls: median {statistics.median(times):.2f} ms, "
      f"p10 {q[0]:.2f} ms, p90 {q[-1]:.2f} ms; {libraries} shared objects initialised per call")
PY
