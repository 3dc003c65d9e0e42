# Source this file: lanshi_start_xvfb starts a private Xvfb on the first free
# display from :40 and exports DISPLAY and LANSHI_DISPLAY; lanshi_stop_xvfb ends it.
lanshi_start_xvfb() {
  local n=40
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  LANSHI_XVFB_PID=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  export DISPLAY=":$n" LANSHI_DISPLAY=":$n"
}
lanshi_stop_xvfb() {
  [ -n "${LANSHI_XVFB_PID:-}" ] && kill "$LANSHI_XVFB_PID" 2>/dev/null || true
}
