#!/bin/sh
# Regenerates the gallery's bitmaps (resources 200-216) next to this script.
# The BMP files are kept in the repository, so a build never needs this; run
# it after changing gallery_artwork.py (or the pedal's artwork.py, whose
# materials and helpers it imports, or the pedal's full-face.bmp, which the
# splash card shows in miniature).
#
# Needs: python3 (standard library only), ImageMagick 6 `convert`, and the
# DejaVu fonts (Debian: imagemagick fonts-dejavu-core fonts-dejavu-extra).
#
#   make-gallery-artwork.sh            rewrite the BMPs and preview.png
#   make-gallery-artwork.sh --check    also print what identify says of each
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/gallery-art.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

command -v convert >/dev/null || { echo "make-gallery-artwork: ImageMagick's convert is missing" >&2; exit 1; }
command -v python3 >/dev/null || { echo "make-gallery-artwork: python3 is missing" >&2; exit 1; }

python3 "$here/gallery_artwork.py" "$here" "$work"
# preview.png: the bench with controls placed, the splash, the spool's and
# the knob's frames, read back from the BMPs just written.  Not part of the build.
python3 "$here/gallery_artwork.py" --preview "$here" "$work"

if [ "${1:-}" = "--check" ]; then
    for f in bench section-plate vslider-track vslider-handle hslider-track hslider-handle \
             selector rocker push-button led meter-off meter-on reel splash digits-amber \
             knob-strip knob-face; do
        identify -verbose "$here/$f.bmp" | awk -v f="$f.bmp" '
            /^  Geometry:/ { sub(/^ +/, ""); printf "%s  %s\n", f, $0 }'
        # bits per pixel and compression as stored in the BMP info header
        printf '%s  info header: %s bytes, bits per pixel: %s, compression: %s\n' "$f.bmp" \
            "$(od -An -tu4 -j14 -N4 "$here/$f.bmp" | tr -d ' ')" \
            "$(od -An -tu2 -j28 -N2 "$here/$f.bmp" | tr -d ' ')" \
            "$(od -An -tu4 -j30 -N4 "$here/$f.bmp" | tr -d ' ')"
        printf '%s  pure white pixels: %s\n' "$f.bmp" \
            "$(convert "$here/$f.bmp" -fill black +opaque '#ffffff' -fill white -opaque '#ffffff' \
                -format '%[fx:int(mean*w*h+0.5)]' info:)"
    done
fi
