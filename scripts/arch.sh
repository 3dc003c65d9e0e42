# Source this file: sets LANSHI_ARCH to the Windows architecture the tests can run.
# The program is a 32-bit (i686) program. Some virtual machines run no 32-bit Linux
# programs at all (the kernel answers "Exec format error", or a qemu-i386 binfmt
# handler stands in, under which Wine does not start): there the same sources are
# built for x86_64 and tested under 64-bit Wine. LANSHI_ARCH set beforehand wins.
lanshi_detect_arch() {
  if grep -qs '^interpreter .*qemu-i386' /proc/sys/fs/binfmt_misc/* 2>/dev/null; then
    echo x86_64
  elif [ -x /usr/lib/wine/wine ] && timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}
if [ -z "${LANSHI_ARCH:-}" ]; then
  LANSHI_ARCH="$(lanshi_detect_arch)"
fi
export LANSHI_ARCH
