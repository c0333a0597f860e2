# Sourced by the benchmarks that run the program: a tray host for it.
# Without one the program, some seconds after its start, tells the user in a
# modal message that no tray shows its icon, and refuses every ctl request
# but `state` until that is dismissed.

# tray_host_start LOG: trayer on $DISPLAY in the background ($! is its pid),
# docked at the top right without a strut, so the work area stays whole.
tray_host_start() {
  command -v trayer >/dev/null || { echo "missing trayer (scripts/setup installs it)" >&2; return 1; }
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    --SetDockType true --SetPartialStrut false --transparent false --tint 0x303030 >"$1" 2>&1 &
}

# tray_host_listed: whether the window manager lists trayer's panel.
tray_host_listed() {
  local panel
  panel=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "panel": ("panel" "trayer").*/\1/p' | head -n 1)
  [ -n "$panel" ] && xprop -root _NET_CLIENT_LIST | grep -qw "$panel"
}
