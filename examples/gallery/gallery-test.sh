#!/usr/bin/env bash
# The gallery loads in the project's host like any plug-in: its identity and parameters, and
# a picture of its editor with every control drawn, the tape menu and the sample name included.
# usage: gallery-test.sh GALLERY.dll
set -uo pipefail
dll=$1
host=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/backtwister-host
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
failed() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

info=$(timeout 120 "$host" info "$dll" 2>&1) || failed "info: $info"
grep -q 'Control Bench' <<<"$info" || failed "info does not name the gallery: $info"
grep -qE 'parameters: *10' <<<"$info" || failed "info does not list 10 parameters"

if timeout 120 "$host" editor "$dll" --seconds 1.5 --shot "$work/gallery.png" 2>"$work/stderr"; then
    size=$(identify -format '%wx%h' "$work/gallery.png")
    [[ $size == 640x400 ]] || failed "the picture is $size, wanted 640x400"
    # Each section shows its controls: the inner areas are not the bare floor colour.
    for area in 188x142+18+74 188x142+228+74 188x142+438+74 188x142+18+254 188x142+228+254 188x142+438+254; do
        colours=$(convert "$work/gallery.png" -crop "$area" +repage -format '%k' info:)
        ((colours > 20)) || failed "section $area shows only $colours colours: no controls drawn"
    done
    # The tape menu's raised box and the sample name's sunk one, each with its text in it.
    menu=$(convert "$work/gallery.png" -format '%[pixel:p{452,164}]' info:)
    [[ $menu == "srgb(52,64,66)" ]] || failed "no tape menu box at (450, 162): $menu"
    for area in 160x24+450+162 112x24+78+338; do
        colours=$(convert "$work/gallery.png" -crop "$area" +repage -format '%k' info:)
        ((colours > 8)) || failed "the box $area shows only $colours colours: no text"
    done
else
    failed "editor: $(head -c 300 "$work/stderr")"
fi
((failures == 0)) && echo "gallery: all checks passed"
exit $((failures > 0))
