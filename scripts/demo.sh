#!/usr/bin/env bash
# The main job: builds OrvexC.dll and says where the library, its header and
# its import library are.
set -eu
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh
cmake --preset default >/dev/null
cmake --build --preset default --target OrvexC
echo
echo "OrvexC.dll:      $PWD/build/default/bin/OrvexC.dll"
echo "header:          $PWD/include/OrvexC.h"
echo "import library:  $PWD/build/default/lib/libOrvexC.dll.a"
