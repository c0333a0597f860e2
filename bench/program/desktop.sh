# Sourced by the bench/program scripts: a private desktop (Xvfb, a session
# bus, openbox, a tray host) with N xterms, the program on it, and
# everything stopped again on exit. The caller has set `build` (a configured build folder) and
# `program` (the tessarapane executable) and is in the project's root.

source bench/x11/tray-host.sh

work=$(mktemp -d /tmp/tessarapane-bench-XXXXXX)
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

# The tessarapane executable of a build folder, built first with the
# window-manager probe the desktop needs.
built_program() {
  cmake --build "$1" --target tessarapane tessarapane-wm-ready >/dev/null
  local found
  found=$(cd "$1" && find "$PWD/src" -type f -name tessarapane -perm -u+x | head -n 1)
  [ -n "$found" ] || { echo "no tessarapane executable in $1" >&2; return 1; }
  echo "$found"
}

# choose_program: $program when given (--program), else the one built in
# $build; the readiness probe is built either way.
choose_program() {
  if [ -z "$program" ]; then
    program=$(built_program "$build")
  else
    cmake --build "$build" --target tessarapane-wm-ready >/dev/null
  fi
}

# start_desktop WINDOWS: sets DISPLAY, DBUS_SESSION_BUS_ADDRESS and private
# XDG folders, and waits until the window manager lists every xterm.
start_desktop() {
  local windows=$1 i
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
  "$build/tools/tessarapane-wm-ready" --timeout 20 || { echo "openbox is not ready (see $work/openbox.log)" >&2; return 1; }
  tray_host_start "$work/trayer.log"
  pids+=($!)
  poll_until 20 "the tray host (trayer)" tray_host_listed
  local listed
  listed=$(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | wc -l)
  for ((i = 0; i < windows; i++)); do
    xterm -title "xterm $i" -geometry "40x10+$(((i * 137) % 1100 + 10))+$(((i * 89) % 700 + 10))" 2>>"$work/xterm.log" &
    pids+=($!)
  done
  poll_until 60 "$windows xterms" sh -c \
    "[ \$(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | wc -l) -ge $((listed + windows)) ]"
}

# choose_release_program: choose_program, with a word when $build is not a
# Release build (its timings would not mean much).
choose_release_program() {
  choose_program
  grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" ||
    echo "warning: $build is not a Release build" >&2
}

# start_counted_program: the program reaching the server through
# bench/program/x-request-counter.py, which keeps the requests sent so far in
# $work/requests. Qt's shared-memory images pass file descriptors, which the
# counter does not forward; ctl itself talks D-Bus only and keeps the real
# display.
start_counted_program() {
  bench/program/x-request-counter.py "$DISPLAY" "$work/requests" >"$work/counter-display" 2>"$work/counter.log" &
  pids+=($!)
  poll_until 20 "the request counter" test -s "$work/requests"
  start_program DISPLAY="$(head -n 1 "$work/counter-display")" QT_XCB_NO_MITSHM=1
}

# start_program [ENV=VALUE...]: the program in the background (its pid in
# `program_pid`), once it answers `ctl state`.
start_program() {
  env "$@" "$program" 2>"$work/tessarapane.log" &
  program_pid=$!
  pids+=($program_pid)
  poll_until 30 "the program" "$program" ctl state
}
