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
  apt-get update -q
  apt-get install -y -q --no-install-recommends "$@"
}
missing=()
command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686-posix mingw-w64-i686-dev)
command -v wine >/dev/null || missing+=(wine wine32)
dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32)
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
command -v cmake >/dev/null || missing+=(cmake)
command -v unzip >/dev/null || missing+=(unzip)  # the SDK archive test
command -v xmllint >/dev/null || missing+=(libxml2-utils)  # its property sheet check
{ command -v llvm-dlltool && command -v llvm-rc; } >/dev/null || missing+=(llvm)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
command -v clang++ >/dev/null || missing+=(clang)
command -v lld-link >/dev/null || missing+=(lld)
dpkg -s libwine-dev:i386 >/dev/null 2>&1 || missing+=(libwine-dev:i386)
{ command -v clang++ >/dev/null && [ -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; } ||
  missing+=(libclang-rt-14-dev)
[ -n "$(fc-list :lang=ja 2>/dev/null)" ] || missing+=(fonts-wqy-microhei)
apt_install "${missing[@]}"
"$here/ensure-32bit.sh"
if [ "${1:-}" = --bench ] && "$here/ensure-32bit.sh" | grep -q emulated; then
  more=()
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || more+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
  [ -x /usr/lib/wine/wine64 ] || more+=(wine64)
  apt_install "${more[@]}"
fi
