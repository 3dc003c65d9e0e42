# Source this file: lanshi_start_xvfb starts a private Xvfb on a free display and
# exports DISPLAY and LANSHI_DISPLAY; lanshi_stop_xvfb ends it.
lanshi_start_xvfb() {
  # Xvfb takes the first free display itself and tells which: engineers starting
  # theirs at the same moment cannot end up sharing one.
  local answer
  answer="$(mktemp)"
  # -r: no key repeat. A key press and its release from xdotool can lie seconds apart
  # on a busy machine, and the server would repeat the key meanwhile ("/drop////").
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -r 3>"$answer" >/dev/null 2>&1 &
  LANSHI_XVFB_PID=$!
  for _ in $(seq 400); do [ -s "$answer" ] && break; sleep 0.05; done
  local n
  n="$(tr -d '[:space:]' <"$answer")"
  rm -f "$answer"
  if [ -z "$n" ]; then
    echo "xvfb: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$n" LANSHI_DISPLAY=":$n"
}
lanshi_stop_xvfb() {
  [ -n "${LANSHI_XVFB_PID:-}" ] && kill "$LANSHI_XVFB_PID" 2>/dev/null || true
}
