#!/usr/bin/env bash
# gen-journal.sh BUILD_DIR [--check]: the host kit guide's table of the
# runtime calls each export makes, as the journal writes them. The export
# table's test (test_host_exports) writes it beside itself after a whole run
# (BUILD_DIR/bin/journal-table.md); this puts it into docs/hostkit.md between
# the table's two markers, or with --check says whether the guide's copy is
# that table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 check=${2:-}
table=$build/bin/journal-table.md guide=$root/docs/hostkit.md
begin='<!-- the journal table' end='<!-- end of the journal table'
[ -s "$table" ] || { echo "gen-journal: no $table: run test_host_exports (all of it) first"; exit 1; }
spliced=$(mktemp)
trap 'rm -f "$spliced"' EXIT
awk -v table="$table" -v begin="$begin" -v end="$end" '
  index($0, begin) == 1 { print; while ((getline line < table) > 0) print line; skip = 1; next }
  index($0, end) == 1 { skip = 0 }
  !skip' "$guide" >"$spliced"
grep -q "^$begin" "$guide" || { echo "gen-journal: docs/hostkit.md has no line starting '$begin'"; exit 1; }
if [ "$check" = --check ]; then
  diff -u "$guide" "$spliced" ||
    { echo "docs/hostkit.md's journal table is stale: run scripts/gen-journal.sh $build"; exit 1; }
else
  cp "$spliced" "$guide"
fi
