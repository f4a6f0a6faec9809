#!/usr/bin/env bash
# Builds the Windows installer from a 32-bit and a 64-bit BACKTWISTER.dll: the version comes
# from CMakeLists.txt, the company and product names from the DLL's version resource.
# usage: make-installer.sh DLL32 DLL64 OUT.exe
set -euo pipefail
fail() {
    echo "make-installer: $*" >&2
    exit 1
}
(($# == 3)) || { echo "usage: make-installer.sh DLL32 DLL64 OUT.exe" >&2; exit 2; }
root=$(cd "$(dirname "$0")/../.." && pwd)
for dll in "$1" "$2"; do
    [[ -f $dll ]] || fail "no such DLL: $dll"
done
[[ -d $(dirname -- "$3") ]] || fail "no such folder for the installer: $3"
command -v makensis >/dev/null || fail "makensis is not installed (run bash tools/install-deps.sh)"

version=$(sed -n 's/^project(Backtwister VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$root/CMakeLists.txt")
rc_value() { sed -n "s/^ *VALUE \"$1\", *\"\([^\"]*\)\".*/\1/p" "$root/resources/version.rc"; }
company=$(rc_value CompanyName)
product=$(rc_value ProductName)
[[ -n $version && -n $company && -n $product ]] ||
    fail "cannot read the version from CMakeLists.txt or the names from resources/version.rc"

# -WX: a warning (an unused function, a missing string) fails the build.
makensis -V2 -WX -NOCD "-DVERSION=$version" "-DCOMPANY=$company" "-DPRODUCT=$product" \
    "-DDLL32=$(realpath -- "$1")" "-DDLL64=$(realpath -- "$2")" "-DOUTFILE=$(realpath -m -- "$3")" \
    "$root/tools/installer/backtwister.nsi" >&2 || fail "makensis failed"
