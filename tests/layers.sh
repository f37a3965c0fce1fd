#!/usr/bin/env bash
# Every #include of a project header runs to the same layer or one below it.
set -euo pipefail
src=${1:?usage: layers.sh SRC_DIR}

rank() {
  case $1 in
    platform/*) echo 0 ;;
    resources/*) echo 1 ;;
    ui/toolkit/*) echo 2 ;;
    ui/controls/* | ui/win32/*) echo 3 ;;
    repair/* | settings/* | menuext/* | browsers/*) echo 4 ;;
    app/* | cli/*) echo 5 ;;
    *) echo "unplaced: $1" >&2; echo 9 ;;
  esac
}

bad=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  from=$(rank "$rel")
  while IFS= read -r header; do
    to=$(rank "$header")
    if [ "$to" -gt "$from" ]; then
      echo "$rel includes $header, a layer above it" >&2
      bad=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file" | grep '/' || true)
done < <(find "$src" -name '*.cpp' -o -name '*.h')
exit $bad
