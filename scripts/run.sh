#!/usr/bin/env bash
# Builds the program and starts it under Wine: on $DISPLAY when there is one,
# otherwise on a private Xvfb, where a screenshot is saved instead.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/install-deps.sh
BUILD="${LANSHI_BUILD_DIR:-$ROOT/build}"
bash scripts/build.sh "$BUILD"

export LANSHI_WINEPREFIX="${LANSHI_WINEPREFIX:-$BUILD/wineprefix}"
source scripts/wine-env.sh
lanshi_make_prefix

# The program writes its skin library beside itself: give it a folder of its own.
RUN_DIR="$BUILD/run"
mkdir -p "$RUN_DIR"
cp "$BUILD/app/program/LanshiDownloader.exe" "$RUN_DIR/"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the program on display $DISPLAY"
  exec wine "$RUN_DIR/LanshiDownloader.exe"
fi

echo "No display found: starting the program on a private Xvfb instead."
source scripts/xvfb.sh
lanshi_start_xvfb
trap 'wineserver -k 2>/dev/null; lanshi_stop_xvfb' EXIT
export LANSHI_BUILD_DIR="$BUILD"
/usr/bin/python3 - "$BUILD/screenshots/run.png" <<'PY'
import sys, time
sys.path.insert(0, "tests/ui")
from lanshi_ui import Driver, Program, VirtualDisplay, wine_env
env = wine_env()
display = VirtualDisplay(env)
driver = Driver(env)
program = Program(driver, sys.argv[1].replace("screenshots/run.png", "run"))
program.start()
time.sleep(1)
shot = display.screenshot(sys.argv[1])
print(f"The program is running on Xvfb display {display.name}; screenshot saved to {shot}")
program.stop()
driver.close()
display.close()
PY
