#!/usr/bin/env bash
# Builds the release: the 32-bit and the 64-bit BACKTWISTER.dll, each from a clean Release
# build, packed with the README and the install notes as out/backtwister-VERSION-windows.zip,
# and the Windows installer of the same two DLLs, out/backtwister-VERSION-setup.exe.
# Before packing, each DLL is checked: its machine type, its one export `main`, a version
# resource that names the product, and imports from Windows system libraries only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/install-deps.sh

version=$(sed -n 's/^project(Backtwister VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
name=backtwister-$version
out=$root/out/$name-windows.zip
installer=$root/out/$name-setup.exe

# What a DLL may import: libraries every Windows installation has.
system_libraries='^(kernel32|user32|gdi32|ole32|oleaut32|shell32|comdlg32|advapi32|msvcrt|msimg32|version|winmm)\.dll$'

failures=0
problem() {
    echo "release: $*" >&2
    failures=$((failures + 1))
}

# check_dll DLL MACHINE OBJDUMP: the checks every shipped DLL must pass.
check_dll() {
    local dll=$1 machine=$2 objdump=$3 headers imports
    headers=$("$objdump" -p "$dll")
    grep -q "file format $machine" <<<"$headers" || problem "$dll is not $machine"
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
    [[ -n $imports ]] || problem "$dll: no imports found"
    while read -r library; do
        [[ ${library,,} =~ $system_libraries ]] || problem "$dll imports $library, which is not a Windows system library"
    done <<<"$imports"
    # The export table lists [Ordinal/Name Pointer] entries such as "[   0] main".
    local exports
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | sed -n 's/^\s*\[ *[0-9]*\] //p')
    [[ $exports == main ]] || problem "$dll exports \"$exports\", not only main"
    local strings
    strings=$(strings -el "$dll")
    for text in Kelpworks "Kelpworks Backtwister" "$version" BACKTWISTER.dll; do
        grep -qxF "$text" <<<"$strings" || problem "$dll: the version resource lacks \"$text\""
    done
    echo "  $(basename "$(dirname "$dll")")/BACKTWISTER.dll: $machine, exports main, imports $(tr '\n' ' ' <<<"$imports")"
}

build() { # build FOLDER TOOLCHAIN
    cmake --no-warn-unused-cli -S . -B "$1" -DCMAKE_TOOLCHAIN_FILE="$2" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$1" -j2 --target BACKTWISTER >/dev/null
}

echo "== building the 32-bit and the 64-bit DLL =="
build build/release/win32 cmake/mingw-i686.cmake
build build/release/win64 cmake/mingw-x86_64.cmake

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/win32" "$stage/$name/win64" "$root/out"
cp build/release/win32/bin/BACKTWISTER.dll "$stage/$name/win32/"
cp build/release/win64/bin/BACKTWISTER.dll "$stage/$name/win64/"
cp README.md "$stage/$name/README.md"
sed 's/$/\r/' docs/INSTALL.txt >"$stage/$name/INSTALL.txt"  # Windows line ends for Notepad

echo "== checking the DLLs =="
check_dll "$stage/$name/win32/BACKTWISTER.dll" pei-i386 i686-w64-mingw32-objdump
check_dll "$stage/$name/win64/BACKTWISTER.dll" pei-x86-64 x86_64-w64-mingw32-objdump
if ((failures)); then
    echo "release: $failures problem(s), no archive written" >&2
    exit 1
fi

rm -f "$out" "$installer"
(cd "$stage" && zip -q -X -r "$out" "$name")
echo "== $out =="
unzip -l "$out"

echo "== $installer =="
bash tools/installer/make-installer.sh "$stage/$name/win32/BACKTWISTER.dll" "$stage/$name/win64/BACKTWISTER.dll" \
    "$installer"
for text in Kelpworks "Kelpworks Backtwister" "$version"; do
    strings -el "$installer" | grep -qxF "$text" || {
        rm -f "$installer"
        echo "release: the installer's version resource lacks \"$text\"" >&2
        exit 1
    }
done
echo "  $(stat -c %s "$installer") bytes"
