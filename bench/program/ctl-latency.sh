#!/usr/bin/env bash
# How long one `tessarapane ctl state` takes, process start included, against
# the running program holding 20 xterms in split4 on a private desktop, beside
# `dbus-send --print-reply` of the same call (the floor for a command-line
# client): N calls of each, alternating, their median, p10 and p90 in
# milliseconds, and the shared objects one call of each initialises.
#
#   bench/program/ctl-latency.sh [--build DIR] [--program FILE] [--calls N] [--windows N]
#
# DIR is a configured Release build folder (default build-h8rel); the
# tessarapane target is built in it first, unless FILE names the executable
# to measure (the build folder then only provides tessarapane-wm-ready).
# N calls default to 20.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-h8rel
program=
calls=20
windows=20
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --program) program=$(realpath "$2"); shift 2 ;;
    --calls) calls=$2; shift 2 ;;
    --windows) windows=$2; shift 2 ;;
    *) sed -n '2,13p' "$0" >&2; exit 64 ;;
  esac
done

source bench/program/desktop.sh
choose_program

start_desktop "$windows"
start_program
"$program" ctl start split4
sleep 3  # the start's own settling ends first

command -v dbus-send >/dev/null || { echo "missing dbus-send" >&2; exit 69; }
# The call ctl makes, by the names the program registers.
bus_name() { sed -n "s/.*$1 = \"\(.*\)\";/\1/p" src/program/ControlBus.h; }
service=$(bus_name kControlServiceName) path=$(bus_name kControlObjectPath) interface=$(bus_name kControlInterface)
[ -n "$service" ] && [ -n "$path" ] && [ -n "$interface" ] ||
  { echo "the control bus names were not found in src/program/ControlBus.h" >&2; exit 1; }
dbus_send=(dbus-send --session --print-reply "--dest=$service" "$path" "$interface.State")
"${dbus_send[@]}" >/dev/null || { echo "dbus-send of the state call failed" >&2; exit 1; }

initialised() { LD_DEBUG=libs "$@" 2>&1 >/dev/null | grep -c 'calling init:' || true; }
ctl_libraries=$(initialised "$program" ctl state)
dbus_libraries=$(initialised "${dbus_send[@]}")
python3 - "$calls" "$ctl_libraries" "$dbus_libraries" "$program" "${dbus_send[@]}" <<'PY'
import statistics, subprocess, sys, time
calls, ctl_libraries, dbus_libraries, program = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
clients = {"ctl state": ([program, "ctl", "state"], ctl_libraries),
           "dbus-send": (sys.argv[5:], dbus_libraries)}
times = {name: [] for name in clients}
# Alternating, so a busy phase of the machine falls on both alike.
for _ in range(calls):
    for name, (command, _) in clients.items():
        started = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        times[name].append((time.perf_counter() - started) * 1000)
print(f"{calls} calls each of the state request, alternating ({program}):")
for name, (_, libraries) in clients.items():
    t = times[name]
    q = statistics.quantiles(t, n=10) if len(t) > 1 else [t[0], t[0]]
    print(f"  {name:10} median {statistics.median(t):7.2f} ms, p10 {q[0]:7.2f} ms, p90 {q[-1]:7.2f} ms; "
          f"{libraries} shared objects initialised per call")
ratio = statistics.median(times["ctl state"]) / statistics.median(times["dbus-send"])
print(f"  ctl state / dbus-send (medians): {ratio:.2f}x")
PY
