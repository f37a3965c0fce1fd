#!/usr/bin/env bash
# Two clean clones of the committed HEAD, packaged in different folders at
# different times, must give the same SHA256SUMS and the same zip, byte for
# byte. Not part of the default suite: it builds both programs twice.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for place in one/orvane "two/a longer/path"; do
  git clone -q "$source" "$work/$place"
  (cd "$work/$place" && CCACHE_DISABLE=1 ORVANE_SKIP_DEPS=1 bash scripts/package.sh >/dev/null)
  sleep 2  # another second in any time stamp
done
fail=0
for f in SHA256SUMS "$(cd "$work/one/orvane/dist" && ls ./*.zip)"; do
  if cmp "$work/one/orvane/dist/$f" "$work/two/a longer/path/dist/$f"; then echo "ok: $f"; else fail=1; fi
done
cat "$work/one/orvane/dist/SHA256SUMS"
exit $fail
