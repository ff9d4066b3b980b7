#!/usr/bin/env bash
# Makes 32-bit x86 programs, and so 32-bit Wine, run on this machine, and says
# in one line how: natively, or emulated by qemu-user.
#
# Some virtual machines run 64-bit user code only: their kernel refuses every
# i386 program with "Exec format error". There, qemu-user (8.1 or later: older
# releases take about a minute of CPU to start each Wine process) is installed,
# from the distribution's backports suite when its own release is older, and
# registered with binfmt_misc as the interpreter of i386 ELF programs. Flag F
# opens the interpreter once, at registration, so it serves every mount
# namespace. Does nothing where 32-bit programs already run. Debian, as root;
# needs 32-bit Wine installed (scripts/ensure-tools.sh).
#
#   --emulated  registers qemu-user even where the kernel runs 32-bit code, so
#               that a native machine tests the emulated path (and says so)
#   --native    removes what --emulated registered (only that: an entry the
#               machine needs to run 32-bit code at all stays)
set -eu
force=${1:-}
case "$force" in ""|--emulated|--native) ;; *) echo "usage: ensure-32bit.sh [--emulated|--native]" >&2; exit 2 ;; esac
wine32=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
qemu=/usr/bin/qemu-i386-static
minimum=8.1
# Left by --emulated: the entry is ours to remove.
forced=/run/orvexc-emulated-32bit

runs_32bit() { "$wine32" --version >/dev/null 2>&1; }
emulated() { [ -f "$entry" ] && head -1 "$entry" | grep -qx enabled; }
say_mode() {
  if emulated; then
    echo "32-bit programs: emulated by $("$qemu" --version | head -1 | cut -d" " -f1,3) (binfmt_misc entry qemu-i386)"
  else
    echo "32-bit programs: native"
  fi
}

[ -x "$wine32" ] || { echo "ensure-32bit: $wine32 is missing (install wine32)" >&2; exit 1; }
if [ "$force" = --native ]; then
  if [ -f "$forced" ]; then
    [ -f "$entry" ] && echo -1 >"$entry"
    rm -f "$forced"
  fi
  runs_32bit || { echo "ensure-32bit: this kernel runs no 32-bit code: it stays emulated" >&2; exit 1; }
  say_mode
  exit 0
fi
if [ "$force" = --emulated ] && emulated; then say_mode; exit 0; fi
if [ "$force" != --emulated ] && runs_32bit; then say_mode; exit 0; fi
[ "$force" = --emulated ] && ! [ -f "$entry" ] && runs_32bit && touch "$forced"

# ---- qemu-user at $minimum or later -----------------------------------------
installed=$(dpkg-query -W -f '${Version}' qemu-user-static 2>/dev/null || true)
if [ -z "$installed" ] || dpkg --compare-versions "${installed#*:}" lt "$minimum"; then
  export DEBIAN_FRONTEND=noninteractive
  candidate() { apt-cache policy qemu-user-static | awk '/Candidate:/ { print $2 }'; }
  # A list that fails to update (a mirror mid-sync) leaves the others usable.
  update() { apt-get update -q >/dev/null || echo "apt-get update failed for some lists; going on with the others"; }
  update
  target=()
  if dpkg --compare-versions "$(candidate | sed 's/^[0-9]*://')" lt "$minimum"; then
    . /etc/os-release
    suite=$VERSION_CODENAME-backports
    if ! grep -rqs "$suite" /etc/apt/sources.list /etc/apt/sources.list.d/; then
      echo "adding the $suite suite to apt's sources"
      printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$suite" >/etc/apt/sources.list.d/"$suite".sources
      update
    fi
    target=(-t "$suite")
  fi
  echo "installing qemu-user-static ${target[*]}"
  apt-get install -y -q --no-install-recommends "${target[@]}" qemu-user-static >/dev/null
fi

# ---- the binfmt_misc entry for i386 ELF programs ------------------------------
[ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
if [ -f "$entry" ] && ! grep -qx "interpreter $qemu" "$entry"; then
  echo -1 >"$entry"   # someone else's entry for another interpreter
fi
if [ ! -f "$entry" ]; then
  # ELF, 32-bit, little-endian, version 1, executable or shared object, i386.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s' ":qemu-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register"
fi
emulated || echo 1 >"$entry"

runs_32bit || { echo "ensure-32bit: $wine32 still does not run under $qemu" >&2; exit 1; }
[ -f "$forced" ] && echo "ensure-32bit: qemu-user registered for i386 programs on a machine that runs them natively (--native removes it)"
say_mode
