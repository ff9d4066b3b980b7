#!/usr/bin/env bash
# Installs what building and testing OrvexC.dll needs, when it is missing:
# the i686 mingw-w64 cross compiler (posix threads), 32-bit Wine, Xvfb,
# CMake, unzip, GoogleTest's sources, LLVM's tools (dlltool, llvm-rc), clang with
# libFuzzer and lld (the native fuzzing of the menu script parser, modules
# built for the Microsoft ABI), and Wine's development files
# (libwine-dev:i386: the Windows headers and import libraries those modules
# are built and tested against), and a font with CJK characters (the demo
# host's frame window and screenshots of titles in code pages 932, 936, 949
# and 950: Wine takes it for its own fonts' missing characters). Then makes
# 32-bit programs run (scripts/ensure-32bit.sh: natively, or emulated where
# the kernel runs no 32-bit code). With --bench, also what scripts/bench.sh times where 32-bit
# code is only emulated: the x86_64 cross compiler and 64-bit Wine. Debian,
# as root.
set -eu
here=$(dirname "$0")
apt_install() {
  [ $# -gt 0 ] || return 0
  echo "installing: $*"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror caught mid-sync fails a list or a download now and then. The
  # other lists stay usable; but where the security suite's i386 list is the
  # one missing, its amd64 updates no longer match any i386 package of the
  # same name, so the install then keeps to the release's own versions.
  local try pin=() codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  for try in 1 2 3; do
    if ! apt-get update -q; then
      echo "apt-get update failed for some lists; installing from the others"
      [ -z "$codename" ] || pin=(-t "$codename")
    fi
    apt-get install -y -q --no-install-recommends "${pin[@]}" "$@" && return 0
    [ $try = 3 ] || { echo "apt-get install failed (try $try of 3); trying again in $((try * 15)) s"; sleep $((try * 15)); }
  done
  return 1
}
missing=()
command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686-posix mingw-w64-i686-dev)
command -v wine >/dev/null || missing+=(wine)
dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32)
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
command -v cmake >/dev/null || missing+=(cmake)
command -v unzip >/dev/null || missing+=(unzip)  # the SDK archive test
command -v xmllint >/dev/null || missing+=(libxml2-utils)  # its property sheet check
{ command -v llvm-dlltool && command -v llvm-rc; } >/dev/null || missing+=(llvm)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
command -v clang++ >/dev/null || missing+=(clang)
command -v lld-link >/dev/null || missing+=(lld)
{ command -v clang++ >/dev/null && [ -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; } ||
  missing+=(libclang-rt-14-dev)
[ -n "$(fc-list :lang=ja 2>/dev/null)" ] || missing+=(fonts-wqy-microhei)
apt_install "${missing[@]}"
# Wine's Windows headers and import libraries are files only. The package
# also asks for the i386 C library's headers, which cannot be installed
# where the i386 lists lag behind the amd64 ones; the files are then
# unpacked where the package puts them.
windows_sdk=/usr/include/wine/wine/windows/windows.h
if [ ! -f $windows_sdk ] && ! apt_install libwine-dev:i386; then
  echo "unpacking libwine-dev:i386's files without its dependencies"
  unpack=$(mktemp -d) && chmod a+rwx "$unpack"  # apt downloads as _apt
  (cd "$unpack" && apt-get download libwine-dev:i386 && dpkg-deb -x libwine-dev_*_i386.deb /)
  rm -rf "$unpack"
  [ -f $windows_sdk ] || { echo "ensure-tools: libwine-dev:i386 could not be unpacked"; exit 1; }
fi
"$here/ensure-32bit.sh"
if [ "${1:-}" = --bench ] && "$here/ensure-32bit.sh" | grep -q emulated; then
  more=()
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || more+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
  [ -x /usr/lib/wine/wine64 ] || more+=(wine64)
  apt_install "${more[@]}"
fi
