# Source this file: sets up the Wine environment the program and the tests run in,
# and creates the private prefix on first use.
#   LANSHI_WINEPREFIX  prefix to use (default: <repo>/build/wineprefix)
_lanshi_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${LANSHI_WINEPREFIX:-$_lanshi_root/build/wineprefix}"
source "$_lanshi_root/scripts/arch.sh"
if [ "$LANSHI_ARCH" = x86_64 ]; then
  # No 32-bit programs on this machine: the 64-bit build runs under 64-bit Wine,
  # reached under the usual names "wine" and "wineserver".
  export WINEARCH=win64
  export PATH="$_lanshi_root/scripts/wine64:$PATH"
  export WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 936 inside Wine: the program's texts are GBK.
export LANG=zh_CN.UTF-8

# Bumped whenever the settings below change, so that existing prefixes take them.
_lanshi_prefix_version="settings-2"

lanshi_prefix_ready() {
  [ "$(cat "$WINEPREFIX/.lanshi-ready" 2>/dev/null)" = "$_lanshi_prefix_version" ]
}

lanshi_make_prefix() {
  lanshi_prefix_ready && return 0
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating Wine prefix at $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Font replacements, chosen to look and measure as a Chinese Windows does: its
  # 宋体 (SimSun, also the dialog font) is a Song face with 12-pixel lines at 9 pt,
  # AR PL UMing is the Song/Ming face Debian packages; 微软雅黑 is a Hei face, as
  # is WenQuanYi Micro Hei. Unmanaged windows: no 2 s stall on hiding windows
  # without a window manager.
  local reg="$WINEPREFIX/lanshi.reg"
  /usr/bin/python3 - "$reg" <<'PY'
import sys
text = """Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"宋体"="AR PL UMing CN"
"SimSun"="AR PL UMing CN"
"新宋体"="AR PL UMing CN"
"NSimSun"="AR PL UMing CN"
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="Y"
"""
with open(sys.argv[1], "w", encoding="utf-16") as f:
    f.write(text.replace("\n", "\r\n"))
PY
  wine regedit /S "$reg" >/dev/null 2>&1
  # Wine draws caption buttons with Marlett; Debian ships it apart from Wine's own search path.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  wineserver -w
  echo "$_lanshi_prefix_version" > "$WINEPREFIX/.lanshi-ready"
}
