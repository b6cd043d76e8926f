#!/bin/sh
# Re-renders the PNG icons from the SVG after it changes; the PNGs are committed so a
# build needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" org.tonquill.Tonquill.svg -o "org.tonquill.Tonquill-$size.png"
done
