#!/bin/sh
# Regenerates the editor bitmaps (resources 128-133) next to this script.
# The BMP files are kept in the repository, so a build never needs this;
# run it after changing artwork.py.
#
# Needs: python3 (standard library only), ImageMagick 6 `convert`, and the
# DejaVu fonts (Debian: imagemagick fonts-dejavu-core fonts-dejavu-extra).
#
#   resources/make-artwork.sh            rewrite the BMPs and preview.png
#   resources/make-artwork.sh --check    also print what identify says of each
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/backtwister-art.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

command -v convert >/dev/null || { echo "make-artwork: ImageMagick's convert is missing" >&2; exit 1; }
command -v python3 >/dev/null || { echo "make-artwork: python3 is missing" >&2; exit 1; }

python3 "$here/artwork.py" "$here" "$work"

# Preview for people: the face with the footswitch off and on, as the editor
# draws them, and the full face with the strips beside it (2x).
convert "$here/face.bmp" \( "$here/footswitch.bmp" -crop 70x70+0+0 +repage \) \
    -geometry +120+95 -composite "$work/off.png"
convert "$here/face.bmp" \( "$here/footswitch.bmp" -crop 70x70+0+70 +repage \) \
    -geometry +120+95 -composite "$work/on.png"
convert "$here/knob-strip.bmp" -crop 37x43 +repage "$work/knob-%02d.png"
bg='#202024'
convert "$work/knob-00.png" "$work/knob-20.png" "$work/knob-40.png" "$work/knob-60.png" "$work/knob-79.png" \
    +append "$work/knobs.png"
convert \( "$work/knobs.png" "$here/unit-labels.bmp" -bordercolor "$bg" -border 3 \
            -background "$bg" -gravity center -append \) \
        \( "$here/digits.bmp" -bordercolor "$bg" -border 3 \) \
        -background "$bg" -gravity center +append -filter point -resize 160% "$work/strips.png"
convert \( "$work/off.png" "$work/on.png" +append \) \
        \( "$here/full-face.bmp" \( "$work/strips.png" -gravity center -background "$bg" -extent 320x240 \) +append \) \
        -append -filter point -resize 200% "$here/preview.png"

if [ "${1:-}" = "--check" ]; then
    for f in full-face footswitch knob-strip unit-labels digits face; do
        identify -verbose "$here/$f.bmp" | awk -v f="$f.bmp" '
            /^  Geometry:|^  Class:|^  Type:|^  Colors:/ { sub(/^ +/, ""); printf "%s  %s\n", f, $0 }'
        # bits per pixel and compression as stored in the BMP info header
        printf '%s  bits per pixel: %s, compression: %s\n' "$f.bmp" \
            "$(od -An -tu2 -j28 -N2 "$here/$f.bmp" | tr -d ' ')" \
            "$(od -An -tu4 -j30 -N4 "$here/$f.bmp" | tr -d ' ')"
    done
fi
