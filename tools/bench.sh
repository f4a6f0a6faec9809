#!/usr/bin/env bash
# Runs the audio benchmarks: natively (Release, no sanitizers) and through the DLL under Wine.
# BACKTWISTER_BENCH_RUNS=N repeats the audio benchmark N times each (figures move with the
# machine's load: compare the best runs and look at the spread).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
runs="${BACKTWISTER_BENCH_RUNS:-1}"
# On one processor: a run the scheduler moves between cores refills their caches mid-measure,
# which the streaming block path feels and the cache-resident loop hardly does.
pin=()
if command -v taskset >/dev/null; then
    pin=(taskset -c "$(($(nproc) - 1))")
fi
bash tools/install-deps.sh
source tools/wine-env.sh

cmake --no-warn-unused-cli -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBACKTWISTER_SANITIZE=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench -j2 --target process_bench >/dev/null
for _ in $(seq "$runs"); do "${pin[@]}" build/bench/bench/process_bench; done

cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j2 --target process_bench editor_bench BACKTWISTER >/dev/null
wine_env "$root/build/win32"
for _ in $(seq "$runs"); do "${pin[@]}" wine build/win32/bench/process_bench.exe build/win32/bin/BACKTWISTER.dll; done
# A Wine server started without a display would serve the editor's windows too: let it end.
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    "wine build/win32/bench/editor_bench.exe build/win32/bin/BACKTWISTER.dll; wineserver -w"
