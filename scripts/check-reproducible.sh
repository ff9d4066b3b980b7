#!/usr/bin/env bash
# Builds the SDK archives of the committed HEAD in two fresh clones at
# different paths and compares them byte for byte (the binaries in them
# too, through the archives). Takes a few minutes; CI does not run it.
#   scripts/check-reproducible.sh [WORK_DIR]   (default: a new folder in $TMPDIR)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$(mktemp -d "${TMPDIR:-/tmp}/orvexc-repro.XXXXXX")}
commit=$(git -C "$root" rev-parse HEAD)
for clone in one a-second-clone-elsewhere; do
  dir=$work/$clone
  rm -rf "$dir"
  git clone -q "$root" "$dir" && git -C "$dir" checkout -q "$commit"
  cmake --preset default -S "$dir" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$dir/build/default" -j2 --target OrvexC_msvc_implib OrvexCHostKit_msvc_implib OrvexC_reference \
    OrvexC OrvexCHostKit OrvexCHostKitC ResourceManager orvexc-demo-host orvexc-menu-check >/dev/null
  (cd "$dir/build/default" && cpack >/dev/null)
  echo "$clone: $(tr '\n' ' ' <"$dir/build/default/package/SHA256SUMS")"
done
if diff -r "$work/one/build/default/package" "$work/a-second-clone-elsewhere/build/default/package" \
     --exclude=_CPack_Packages; then
  echo "reproducible: the archives of $commit are identical"
else
  echo "NOT reproducible: the archives of $commit differ"; exit 1
fi
