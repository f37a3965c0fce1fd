#!/usr/bin/env bash
# Builds the release: dist/orvane-<version>-win64.zip (orvane.exe, orvane-cli.exe,
# README.txt, LICENSE, SHA256SUMS) and dist/SHA256SUMS beside it. The same
# commit gives the same bytes in any folder at any time: the programs carry no
# build path and no link time, and the zip has a fixed order, time and mode.
# ORVANE_PACKAGE_BUILD names another build folder (default build/package).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
[ "${ORVANE_SKIP_DEPS:-0}" = 1 ] || bash scripts/deps.sh
build=${ORVANE_PACKAGE_BUILD:-$root/build/package}
dist=$root/dist

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target orvane orvane-cli

version=$(sed -n 's/^project(orvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# The zip's file time: the commit's, so that a rebuild of the same commit matches.
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)}

stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage" "$dist"
cp "$build/orvane.exe" "$build/orvane-cli.exe" "$stage/"
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/README.txt >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE"
(cd "$stage" && sha256sum orvane.exe orvane-cli.exe README.txt LICENSE >SHA256SUMS)

zip=orvane-$version-win64.zip
python3 - "$stage" "$dist/$zip" "$stamp" <<'PY'
import sys, time, zipfile
stage, out, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
when = time.gmtime(max(stamp, 315532800))[:6]  # zip times start in 1980
with zipfile.ZipFile(out, "w") as z:
    for name in ["orvane.exe", "orvane-cli.exe", "README.txt", "LICENSE", "SHA256SUMS"]:
        info = zipfile.ZipInfo(name, date_time=when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # archive attribute only
        with open(f"{stage}/{name}", "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
PY
(cd "$dist" && sha256sum "$zip" >SHA256SUMS)
echo "$dist/$zip"
cat "$dist/SHA256SUMS"
