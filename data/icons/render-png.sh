#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG sizes of the program icon from hicolor/scalable/apps/daylog.svg into
# hicolor/NxN/apps/daylog.png. Run by hand after the drawing changes; the PNGs are kept
# in the repository so the build needs no SVG renderer. Needs rsvg-convert
# (librsvg2-bin) and optipng.
#
# As in Artwork::logo, the sheet's outline is never thinner than one pixel and the
# strokes of the day never thinner than 1.2 pixels, so the small sizes get wider strokes
# (in the drawing's 100 × 100 units) than the scalable picture.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
svg=hicolor/scalable/apps/daylog.svg
for size in 16 22 24 32 48 64 128 256; do
    outline=$(awk -v s="$size" 'BEGIN { w = 100 / s; printf "%.4g", (w > 2.5 ? w : 2.5) }')
    day=$(awk -v s="$size" 'BEGIN { w = 120 / s; printf "%.4g", (w > 6 ? w : 6) }')
    mkdir -p "hicolor/${size}x${size}/apps"
    out="hicolor/${size}x${size}/apps/daylog.png"
    sed -e "/id=\"sheet\"/,/\/>/ s/stroke-width=\"2.5\"/stroke-width=\"$outline\"/" \
        -e "/id=\"day\"/ s/stroke-width=\"6\"/stroke-width=\"$day\"/" "$svg" |
        rsvg-convert -w "$size" -h "$size" -o "$out"
    optipng -quiet -o7 -strip all "$out"
done
