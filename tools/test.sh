#!/usr/bin/env bash
# Builds everything and runs every test: the window-free core natively under ASan and UBSan,
# under ThreadSanitizer and under a short libFuzzer run, then the 32-bit Windows build (DLL,
# host tool, GUI, validator, LMMS), a plug-in made from the template, and the 64-bit build
# with their tests under Wine on a virtual display, and last the Windows installer built
# from both.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"
fuzz_runs="${BACKTWISTER_FUZZ_RUNS:-2000}"

bash tools/install-deps.sh
source tools/wine-env.sh

echo "== native core (ASan + UBSan) =="
cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure

echo "== native core under ThreadSanitizer (clang) =="
cmake --no-warn-unused-cli -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DBACKTWISTER_TSAN=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target tsan_tests
ctest --test-dir build/tsan -R '^tsan_tests$' --output-on-failure

echo "== libFuzzer on the record's entries: $fuzz_runs inputs, seed 1 =="
cmake --no-warn-unused-cli -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DBACKTWISTER_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build/fuzz -j"$jobs" --target entry_fuzzer
# The inputs of faults found before run first (tests/fuzz/regressions); new inputs go to build/.
mkdir -p build/fuzz/findings build/fuzz/corpus
if ! build/fuzz/tests/fuzz/entry_fuzzer -seed=1 -runs="$fuzz_runs" -artifact_prefix=build/fuzz/findings/ \
    -print_final_stats=1 build/fuzz/corpus tests/fuzz/regressions >build/fuzz/short-run.log 2>&1; then
    tail -n 60 build/fuzz/short-run.log
    echo "the fuzzer found a fault; its input is in build/fuzz/findings"
    exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' build/fuzz/short-run.log

status=0
# The Windows tests drive real windows with xdotool on a virtual display; a machine that stalls
# for seconds can lose a gesture. A test program that fails runs once more (the log keeps both
# runs); one that fails twice fails the build.
retry=(--repeat until-pass:2)
echo "== 32-bit Windows build under Wine =="
cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"
wine_env "$root/build/win32" win32
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win32 "${retry[@]}" --output-on-failure --timeout 900 || status=$?
wineserver -k 2>/dev/null || true

# Plug-in number two: made from the template in a project of its own, built on the libraries,
# and run through the 32-bit pass's host tool.
echo "== a new plug-in from the template =="
bash tools/tests/new-plugin-test.sh build/new-plugin build/win32 || status=$?

# The 64-bit DLL at its boundary: the core, the ABI tests with the editor clicked for real,
# the editors closed inside their gestures, and the validator. The toolkit's own tests and the
# host tool's script run in the 32-bit pass.
echo "== 64-bit Windows build under Wine =="
cmake --no-warn-unused-cli -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 -j"$jobs" --target BACKTWISTER backtwister-host core_tests abi_tests GALLERY \
    gallery_close_tests
wine_env "$root/build/win64" win64
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win64 "${retry[@]}" \
    -R '^(core_tests|abi_tests|abi_editor_closed_inside|gallery_close_tests|validator)$' \
    --output-on-failure --timeout 900 || status=$?
wineserver -k 2>/dev/null || true

# The installer of both DLLs, installed and uninstalled silently in fresh 64- and 32-bit prefixes.
echo "== Windows installer under Wine =="
bash tools/tests/installer-test.sh build/installer-test build/win32 build/win64 || status=$?
exit $status
