#!/usr/bin/env bash
# Configures (once) and builds the project into a build folder.
#   scripts/build.sh <build dir> [extra cmake -D options...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:?build dir}"
shift
if [ ! -f "$BUILD/build.ninja" ] || [ "$#" -gt 0 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" "$@" >/dev/null
fi
ninja -C "$BUILD" | grep -v '^\[' || true
test "${PIPESTATUS[0]}" -eq 0
