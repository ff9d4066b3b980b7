#!/bin/sh
# Exit status 0 when this machine can run 32-bit x86 programs, and so 32-bit
# Wine. Some virtual machines run 64-bit user code only: there the kernel
# refuses every i386 program with "Exec format error".
[ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
