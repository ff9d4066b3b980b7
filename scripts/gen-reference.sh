#!/usr/bin/env bash
# gen-reference.sh [OUT.md [OUT.html [NO-CRT.md]]]: the reference from the
# public headers, in Markdown (default docs/reference.md, the copy kept in the
# repository) and, when named, as one HTML page with an index; and the list
# of the C functions OrvexC.dll gives a module, from OrvexC.def (NO-CRT.md;
# by default the guide's copy, between its two list markers). The build
# writes all three into its docs/ folder; a test compares them with the
# repository's.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
md=${1:-$root/docs/reference.md}
tmp=$md.tmp
awk -f "$here/reference-lib.awk" -f "$here/reference.awk" \
  "$root/include/OrvexC.h" "$root/include/OrvexCRT.h" >"$tmp"
mv "$tmp" "$md"
if [ $# -ge 2 ]; then
  awk -f "$here/reference-lib.awk" -f "$here/reference-html.awk" "$md" >"$2.tmp"
  mv "$2.tmp" "$2"
fi
list=$(awk -f "$here/no-crt.awk" "$root/OrvexC.def")
if [ $# -ge 3 ]; then
  printf '%s\n' "$list" >"$3"
elif [ $# -eq 0 ]; then
  guide=$root/docs/guide.md
  awk -v list="$list" '/^<!-- end of the C function list -->$/ { skip = 0 }
    !skip { print } /^<!-- the C function list, from OrvexC.def/ { print list; skip = 1 }' "$guide" >"$guide.tmp"
  mv "$guide.tmp" "$guide"
fi
