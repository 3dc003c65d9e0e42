#!/usr/bin/env bash
# Installs everything the build, the program and the tests need on a Debian 12 machine.
# Quick when all is present already.
set -euo pipefail

PACKAGES=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix cmake make ninja-build
  wine wine32:i386 wine64
  xvfb xauth x11-utils xdotool xclip xcompmgr imagemagick
  fonts-wqy-microhei fonts-wqy-zenhei fonts-arphic-uming fonts-wine locales
  googletest
  nginx-light
  python3 python3-pytest python3-pil
  curl wget
)

need_install=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_install=1
fi
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    need_install=1
    break
  fi
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ "$need_install" -eq 1 ]; then
  echo "install-deps: installing packages (one-time)"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${PACKAGES[@]}" >/dev/null
fi

# The program's texts are GBK; Wine picks code page 936 only when this locale exists.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  echo "install-deps: generating zh_CN.UTF-8 locale"
  if [ -f /etc/locale.gen ] && ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen zh_CN.UTF-8 >/dev/null 2>&1 || $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
exit 0
