#!/usr/bin/env bash
# How the 16-bit bitmaps here were made, and their reference decodings: by
# tools other than ours (ffmpeg, ImageMagick), each file decoded to RGBA by
# the tool that wrote it. Run from this folder; needs ffmpeg and ImageMagick.
set -euo pipefail
# source.png: 37x23, an ImageMagick plasma (convert -size 37x23 plasma:fractal -seed 3).
ffmpeg -loglevel error -y -i source.png -pix_fmt rgb555le plain555.bmp      # no masks (5-5-5)
ffmpeg -loglevel error -y -i source.png -pix_fmt rgb565le masks565.bmp      # 40-byte header, masks after it
convert source.png -define bmp:subtype=RGB565 masks565v5.bmp                # masks inside a 124-byte header
convert source.png -define bmp:subtype=RGB555 masks555v5.bmp
for f in plain555 masks565; do ffmpeg -loglevel error -y -i $f.bmp -f rawvideo -pix_fmt rgba $f.rgba; done
for f in masks565v5 masks555v5; do convert $f.bmp -depth 8 rgba:$f.rgba; done
