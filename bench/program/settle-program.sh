#!/usr/bin/env bash
# The running program as a mover of the X11 settle benchmark
# (bench/x11/settle-bench.sh): the time from `tessarapane ctl start split4` —
# the ctl process start included — until every window has settled, beside
# the coordinator driver and the raw-xcb floor.
#
#   bench/program/settle-program.sh [--build DIR] [settle-bench options...]
#
# DIR is a configured Release build folder (default build-h8rel); tessarapane
# and the benchmark's programs are built in it first. Other options go to
# settle-bench.sh (e.g. --repeats 3, --counts "12 40").
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-h8rel
if [ "${1:-}" = --build ]; then
  build=$2
  shift 2
fi
cmake --build "$build" --target tessarapane tessarapane_settle_driver tessarapane_raw_mover tessarapane-wm-ready >/dev/null
program=$(cd "$build" && find "$PWD/src" -type f -name tessarapane -perm -u+x | head -n 1)
[ -n "$program" ] || { echo "no tessarapane executable in $build" >&2; exit 1; }

# ctl finds the program on the benchmark desktop's own session bus; settings
# stay in a private folder, so no remembered layout comes back at start.
work=$(mktemp -d /tmp/tessarapane-settle-program-XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

bench/x11/settle-bench.sh --build "$build" --session-bus --tray \
  --start-program "exec '$program'" --ready "'$program' ctl state" \
  --command program="'$program' ctl start split4" --reset "'$program' ctl exit" \
  --movers coordinator,program,wmctrl,raw "$@"
