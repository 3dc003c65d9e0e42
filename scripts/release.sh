#!/usr/bin/env bash
# Builds the program as shipped from the committed tree and writes dist/:
#   LanshiDownloader-<version>-win32.zip, LanshiDownloader-<version>-win64.zip, SHA256SUMS
# The same commit gives byte-identical archives.
#   LANSHI_UPDATE_SERVER=http://host:port   the update server of this build (default: none)
#   LANSHI_RELEASE_ARCHES="x86_64"          build only these (default: i686 x86_64)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
SERVER="${LANSHI_UPDATE_SERVER:-}"
ARCHES="${LANSHI_RELEASE_ARCHES:-i686 x86_64}"

# What ships is what is committed: uncommitted changes would make a zip no commit can give.
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: the tree has uncommitted changes; commit them first" >&2
  exit 1
fi
commit="$(git rev-parse HEAD)"
version="$(head -n1 VERSION)"

WORK="$ROOT/build-release"
rm -rf "$WORK/src"
mkdir -p "$WORK/src" "$ROOT/dist"
git archive --format=tar "$commit" | tar -x -C "$WORK/src"

for arch in $ARCHES; do
  case "$arch" in
    i686) suffix=win32 ;;
    x86_64) suffix=win64 ;;
    *) echo "release: unknown architecture $arch" >&2; exit 1 ;;
  esac
  build="$WORK/$arch"
  rm -rf "$build"
  LANSHI_ARCH="$arch" bash "$WORK/src/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release \
    -DLANSHI_BUILD_TESTS=OFF -DLANSHI_TEST_SEAMS=OFF -DLANSHI_UPDATE_SERVER="$SERVER"
  /usr/bin/python3 "$ROOT/scripts/release_zip.py" "$build/app/program/LanshiDownloader.exe" \
    "$ROOT/dist/LanshiDownloader-$version-$suffix.zip" "$version" "$suffix" "$SERVER"
done

(cd "$ROOT/dist" && sha256sum LanshiDownloader-"$version"-*.zip > SHA256SUMS && cat SHA256SUMS)
echo "release: dist/ holds version $version from commit ${commit:0:12}"
