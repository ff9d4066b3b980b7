#!/usr/bin/env bash
# gen-reference.sh [OUT.md [OUT.html]]: the reference from the public headers,
# in Markdown (default docs/reference.md, the copy kept in the repository)
# and, when named, as one HTML page with an index. The build writes both into
# its docs/ folder; a test compares its Markdown with docs/reference.md.
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
