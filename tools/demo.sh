#!/usr/bin/env bash
# Hear what Backtwister does: builds the plug-in and the host tool for 32-bit Windows, speaks
# a count from one to ten, plays it through the plug-in under Wine and draws the spectrograms
# of both, then opens the editor as a host does and takes its picture. Writes
# out/demo-input.wav, out/demo-reversed.wav, out/demo-spectrogram.png and out/editor.png.
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
build=$(realpath -m -- "${BACKTWISTER_BUILD:-$root/build/win32}")
out=$root/out
tail_seconds=2  # the last second of speech comes back reversed up to two seconds later

if [[ -f $root/tools/install-deps.sh ]]; then
    echo "== installing what the build needs"
    bash "$root/tools/install-deps.sh"
fi

for tool in cmake i686-w64-mingw32-g++-posix wine espeak-ng sox convert; do
    command -v "$tool" >/dev/null || { echo "demo: $tool is not installed (run bash tools/install-deps.sh)" >&2; exit 1; }
done

echo "== building the plug-in and the host tool in $build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target BACKTWISTER backtwister-host

echo "== speaking the input"
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
espeak-ng -v en -s 125 -g 8 -w "$scratch/speech.wav" \
    "One, two, three, four, five, six, seven, eight, nine, ten."
sox "$scratch/speech.wav" -r 44100 -c 2 -b 16 "$out/demo-input.wav" pad 0.3 0.3 norm -3

echo "== playing it through Backtwister (first run prepares a Wine prefix)"
BACKTWISTER_BUILD=$build "$root/tools/backtwister-host" render \
    "$out/demo-input.wav" "$out/demo-reversed.wav" --tail "$tail_seconds"

echo "== drawing the spectrograms"
# The input is padded by the tail so that both pictures share one time scale.
sox "$out/demo-input.wav" -n remix 1 pad 0 "$tail_seconds" \
    spectrogram -x 1000 -y 257 -c "" -t "input: a spoken count" -o "$scratch/input.png"
sox "$out/demo-reversed.wav" -n remix 1 \
    spectrogram -x 1000 -y 257 -c "" -t "output: Backtwister, reversed in one-second chunks" \
    -o "$scratch/reversed.png"
convert "$scratch/input.png" "$scratch/reversed.png" -append +repage "$out/demo-spectrogram.png"

echo "== opening the editor and taking its picture"
BACKTWISTER_BUILD=$build "$root/tools/backtwister-host" editor --seconds 1.5 --shot "$out/editor.png"

cat <<EOF

Done. Listen to the input, then the output:
  $out/demo-input.wav
  $out/demo-reversed.wav
Input above output, as spectrograms:
  $out/demo-spectrogram.png
The editor, as a host shows it:
  $out/editor.png
EOF
