#!/usr/bin/env bash
# Builds everything and runs every test: the window-free core natively under ASan and UBSan,
# then the Windows build (DLL, host tool, GUI) with its tests under Wine on a virtual display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

bash tools/install-deps.sh
source tools/wine-env.sh

echo "== native core (ASan + UBSan) =="
cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure

echo "== 32-bit Windows build under Wine =="
cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"
wine_env "$root/build/win32"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win32 --output-on-failure --timeout 900 || status=$?
wineserver -k 2>/dev/null || true
exit $status
