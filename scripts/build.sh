#!/usr/bin/env bash
# Configures (once) and builds the project into a build folder.
#   scripts/build.sh <build dir> [extra cmake -D options...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:?build dir}"
shift
mkdir -p "$BUILD"
# i686 is the program's architecture; x86_64 where this machine runs no 32-bit code.
source "$ROOT/scripts/arch.sh"
# A build folder stays with the architecture it was configured for.
if [ -f "$BUILD/CMakeCache.txt" ] && ! grep -q "toolchain-mingw-$LANSHI_ARCH.cmake" "$BUILD/CMakeCache.txt"; then
  echo "build: $BUILD was configured for another architecture; configuring it afresh"
  rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles" "$BUILD/build.ninja"
fi
if [ ! -f "$BUILD/build.ninja" ] || [ "$#" -gt 0 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$LANSHI_ARCH.cmake" "$@" \
    >"$BUILD/configure.log" 2>&1 || { cat "$BUILD/configure.log"; exit 1; }
fi
echo "build: compiling into $BUILD"
ninja -C "$BUILD" >"$BUILD/build.log" 2>&1 || { tail -60 "$BUILD/build.log"; echo "build: FAILED"; exit 1; }
