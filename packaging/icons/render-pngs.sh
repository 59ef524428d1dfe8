#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from stripwise2.svg (ImageMagick).
# The PNGs are committed; run this again after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    # Drawn at four times the size, then reduced, so that small sizes stay crisp.
    convert -background none -density $((96 * size * 4 / 256)) stripwise2.svg \
        -resize "${size}x${size}" -depth 8 -strip "PNG32:stripwise2-${size}.png"
done
