#!/usr/bin/env bash
# How the DXT files here were made, and their reference decodings, by a tool
# other than ours (ImageMagick): 37x23 pixels, so the last block of each row
# and column is a partial one. Run from this folder; needs ImageMagick.
set -euo pipefail
# source.png: an ImageMagick plasma (convert -size 37x23 plasma:fractal -seed 3) with a
# white-to-black gradient as its alpha.
convert source.png -define dds:compression=dxt1 -define dds:mipmaps=0 dxt1.dds
convert source.png -define dds:compression=dxt5 -define dds:mipmaps=0 dxt5.dds
for f in dxt1 dxt5; do convert $f.dds -depth 8 rgba:$f.rgba; done
