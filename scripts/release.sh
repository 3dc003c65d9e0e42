#!/usr/bin/env bash
# Builds the program as shipped from the committed tree and writes dist/:
#   LanshiDownloader-<version>-win32.zip, LanshiDownloader-<version>-win64.zip, SHA256SUMS
# The same commit gives byte-identical archives.
#   LANSHI_UPDATE_SERVER=http://host:port   the update server of this build (default: none)
#   LANSHI_RELEASE_ARCHES="x86_64"          build only these (default: i686 x86_64)
#   LANSHI_RELEASE_DIST=<folder>            write there instead of dist/
#   --worktree                              pack the working tree as it is, uncommitted
#                                           changes included (for the tests, never to ship);
#                                           LANSHI_RELEASE_WORK=<folder> builds there
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
SERVER="${LANSHI_UPDATE_SERVER:-}"
ARCHES="${LANSHI_RELEASE_ARCHES:-i686 x86_64}"
DIST="${LANSHI_RELEASE_DIST:-$ROOT/dist}"
FROM=commit
if [ "${1:-}" = "--worktree" ]; then
  FROM=worktree
elif [ -n "${1:-}" ]; then
  echo "release: unknown argument $1" >&2
  exit 2
fi
# The address becomes a string in the program: a host name or address and a port, no more.
if [ -n "$SERVER" ] && ! [[ "$SERVER" =~ ^http://[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]{1,5})?$ ]]; then
  echo "release: LANSHI_UPDATE_SERVER must read http://host or http://host:port (no path, no trailing slash), not '$SERVER'" >&2
  exit 2
fi

bash "$ROOT/scripts/install-deps.sh" >/dev/null

# A release builds from a copy of the commit, so that nothing left in this checkout
# (build folders, generated files, stray edits) can reach the archive. The working tree
# is built where it is, into a build folder that is kept (incremental, for the tests).
if [ "$FROM" = commit ]; then
  # What ships is what is committed: uncommitted changes would make a zip no commit can give.
  if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release: the tree has uncommitted changes; commit them first" >&2
    exit 1
  fi
  commit="$(git rev-parse HEAD)"
  WORK="$ROOT/build-release"
  SRC="$WORK/src"
  rm -rf "$WORK"
  mkdir -p "$SRC"
  git archive --format=tar "$commit" | tar -x -C "$SRC"
  origin="commit ${commit:0:12}"
else
  WORK="${LANSHI_RELEASE_WORK:-$ROOT/build-release-worktree}"
  SRC="$ROOT"
  origin="the working tree (not for shipping)"
fi
mkdir -p "$DIST"
version="$(head -n1 "$SRC/VERSION")"

zips=()
for arch in $ARCHES; do
  case "$arch" in
    i686) suffix=win32 ;;
    x86_64) suffix=win64 ;;
    *) echo "release: unknown architecture $arch" >&2; exit 1 ;;
  esac
  build="$WORK/$arch"
  LANSHI_ARCH="$arch" bash "$SRC/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release \
    -DLANSHI_BUILD_TESTS=OFF -DLANSHI_TEST_SEAMS=OFF -DLANSHI_UPDATE_SERVER="$SERVER"
  zip="LanshiDownloader-$version-$suffix.zip"
  /usr/bin/python3 "$SRC/scripts/release_zip.py" "$build/app/program/LanshiDownloader.exe" \
    "$DIST/$zip" "$version" "$suffix" "$SERVER"
  zips+=("$zip")
done

(cd "$DIST" && sha256sum "${zips[@]}" > SHA256SUMS && cat SHA256SUMS)
echo "release: $DIST holds version $version from $origin"
