#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests under Wine (CTest) and the
# UI tests that drive the real program under Wine on a private virtual display.
#   --under-load  runs two busy loops (one per core of a two-core machine) beside
#                 everything, as a busy machine would; they end with the run.
# Further arguments go to pytest (e.g. -k download, -x).
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

LOAD_PIDS=()
cleanup() {
  [ ${#LOAD_PIDS[@]} -gt 0 ] && kill "${LOAD_PIDS[@]}" 2>/dev/null
  if [ -n "${LANSHI_XVFB_PID:-}" ]; then
    wineserver -k 2>/dev/null
    lanshi_stop_xvfb
  fi
}
trap cleanup EXIT
if [ "${1:-}" = "--under-load" ]; then
  shift
  for _ in 1 2; do
    (while :; do :; done) &
    LOAD_PIDS+=($!)
  done
  echo "test: two busy loops run beside the tests (pids ${LOAD_PIDS[*]})"
fi
bash scripts/install-deps.sh || exit 1

export LANSHI_BUILD_DIR="${LANSHI_BUILD_DIR:-$ROOT/build-test}"
# The tests' own update server listens here. Each checkout has a port of its own,
# taken from its path, so that two runs on one machine (two clones, two engineers)
# never answer each other's programs: every copy of the program asks its build's port
# at start. A port something else already listens on is passed over.
if [ -z "${LANSHI_TEST_UPDATE_PORT:-}" ]; then
  LANSHI_TEST_UPDATE_PORT=$(/usr/bin/python3 - "$ROOT" <<'PY'
import socket, sys, zlib
port = 29000 + zlib.crc32(sys.argv[1].encode()) % 3000
for _ in range(3000):
    with socket.socket() as s:
        try:
            s.bind(("127.0.0.1", port))
            break
        except OSError:
            port = 29000 + (port - 29000 + 1) % 3000
print(port)
PY
) || exit 1
fi
export LANSHI_TEST_UPDATE_PORT
echo "test: the tests' update server port is $LANSHI_TEST_UPDATE_PORT"
bash scripts/build.sh "$LANSHI_BUILD_DIR" -DLANSHI_UPDATE_SERVER="http://127.0.0.1:$LANSHI_TEST_UPDATE_PORT" \
  -DLANSHI_TEST_SEAMS=ON || exit 1

# Where the tests run a 64-bit build (this machine runs no 32-bit code), the 32-bit
# program is still built, so that what ships always compiles and links.
source scripts/arch.sh
if [ "$LANSHI_ARCH" != i686 ]; then
  echo "test: this machine runs no 32-bit programs; testing the $LANSHI_ARCH build, building the i686 program too"
  LANSHI_ARCH=i686 bash scripts/build.sh "$LANSHI_BUILD_DIR-i686" -DLANSHI_BUILD_TESTS=OFF \
    -DLANSHI_UPDATE_SERVER="http://127.0.0.1:$LANSHI_TEST_UPDATE_PORT" || exit 1
fi

# The zip a user downloads, for the architecture the tests run, made from the working
# tree as scripts/release.sh makes a release; a UI test unpacks it and runs it.
export LANSHI_RELEASE_DIST="$LANSHI_BUILD_DIR/release-dist"
LANSHI_RELEASE_ARCHES="$LANSHI_ARCH" LANSHI_RELEASE_WORK="$LANSHI_BUILD_DIR-release-worktree" LANSHI_UPDATE_SERVER="" \
  bash scripts/release.sh --worktree || exit 1

export LANSHI_WINEPREFIX="${LANSHI_WINEPREFIX:-$LANSHI_BUILD_DIR/wineprefix}"
source scripts/wine-env.sh
lanshi_make_prefix
source scripts/xvfb.sh
lanshi_start_xvfb || exit 1

echo "== unit tests (CTest under Wine) =="
# A fault of Wine's that is not ours to mend comes now and then on a busy machine: a
# crash of the GDI+ test program after all its tests passed, as it exits. A program
# that hangs is ended after 300 s (the fetch deadline test ends its own program sooner,
# naming the server it waited for); one that fails or hangs runs once more, and fails
# the run only when it fails twice. Each failed try is still printed.
ctest --test-dir "$LANSHI_BUILD_DIR" --output-on-failure --timeout 300 --repeat until-pass:2
unit=$?

echo "== UI tests (the real program under Wine, display $DISPLAY) =="
/usr/bin/python3 -m pytest "$ROOT/tests/ui" -q -p no:cacheprovider "$@"
ui=$?

echo "== summary: unit tests $([ $unit -eq 0 ] && echo passed || echo FAILED), UI tests $([ $ui -eq 0 ] && echo passed || echo FAILED) =="
[ $unit -eq 0 ] && [ $ui -eq 0 ]
