# Sourced by play.sh and test.sh: starts a virtual X server when no display is set
# and stops it again when the calling script exits.
start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] && continue
    Xvfb ":${n}" -screen 0 1280x1024x24 +extension GLX -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":${n}"
    local i
    for i in $(seq 1 50); do
      if xdpyinfo >/dev/null 2>&1; then
        trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "Could not start Xvfb" >&2
  return 1
}
