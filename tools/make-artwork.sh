#!/bin/sh
# SPDX-License-Identifier: MIT
# Draws the window's artwork (icon, banner, tool-bar pictures) into
# src/ui/resources with ImageMagick 6, and renders the desktop icons into
# packaging/icons. The PNG files are committed; run this
# again only to change the artwork.
#
# Each picture is drawn at four times its size and scaled down, which gives
# smooth edges without hand-made anti-aliasing.
set -eu

IM=${IM:-/usr/bin/convert}
FONTS=/usr/share/fonts/truetype/liberation
OUT=$(cd "$(dirname "$0")/../src/ui/resources" && pwd)
ICONS=$(cd "$(dirname "$0")/../packaging/icons" && pwd)
SVG=$ICONS/ombrel.svg
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

INK='#1f3b57'      # deep slate blue: outlines and the name
CANOPY='#2a7f8f'   # teal umbrella
ACCENT='#e0872b'   # warm orange

# The umbrella with a key for a handle, on a transparent ground, comes from the
# one artwork of every icon, packaging/icons/ombrel.svg (rendered with
# rsvg-convert, Debian librsvg2-bin).
umbrella() {
  rsvg-convert -w "$2" -h "$2" "$SVG" -o "$1"
}

# Desktop icons for the hicolor theme, full colour.
for size in 16 32 48 64 128 256; do
  umbrella "$TMP/icon-$size.png" "$size"
  "$IM" "$TMP/icon-$size.png" -strip -define png:exclude-chunk=date,time "PNG32:$ICONS/ombrel-$size.png"
done

# Window icon, 32 x 32 and 16 x 16, 16 colours each, from the same drawing.
umbrella "$TMP/umbrella.png" 128
"$IM" "$TMP/icon-32.png" -colors 16 -strip -define png:exclude-chunk=date,time "PNG32:$OUT/icon32.png"
"$IM" "$TMP/icon-16.png" -colors 16 -strip -define png:exclude-chunk=date,time "PNG32:$OUT/icon16.png"

# Banner, 761 x 76: the name in serif on the left, a line of explanation,
# and the umbrella on the right over a fading rule. The lower left corner
# stays plain: the hover caption is written there.
W=3044; H=304
"$IM" -size ${W}x${H} xc:white \
  \( -size ${W}x14 gradient:"$CANOPY"-white \) -geometry +0+272 -composite \
  \( -size 2100x14 gradient:"$ACCENT"-white -rotate 0 \) -geometry +820+248 -composite \
  -font "$FONTS/LiberationSerif-Bold.ttf" -pointsize 190 -fill "$INK" \
  -annotate +80+168 'Ombrel' \
  -font "$FONTS/LiberationSerif-Italic.ttf" -pointsize 84 -fill "$CANOPY" \
  -annotate +820+160 'keeps your web-site logins under cover' \
  \( "$TMP/umbrella.png" -resize 272x272 \) -geometry +2700+8 -composite \
  -filter Lanczos -resize 761x76! -depth 8 "$OUT/banner.png"

# Tool-bar pictures, about 66 x 64 each, on white like the tool bar.
tool() { "$IM" -size 264x264 xc:white "$@"; }

# New: a page with a folded corner and a green plus.
tool -fill white -stroke "$INK" -strokewidth 10 \
  -draw "path 'M 46,18 L 160,18 L 212,70 L 212,246 L 46,246 Z'" \
  -fill '#dde6ee' -draw "path 'M 160,18 L 160,70 L 212,70 Z'" \
  -stroke '#9fb3c8' -strokewidth 8 \
  -draw "line 78,100 180,100" -draw "line 78,130 180,130" -draw "line 78,160 130,160" \
  -stroke '#1d6b2f' -strokewidth 8 -fill '#38a852' -draw "circle 190,196 190,252" \
  -stroke white -strokewidth 18 -draw "line 190,168 190,224" -draw "line 162,196 218,196" \
  -filter Lanczos -resize 66x62! -depth 8 "$OUT/new.png"

# Save: a diskette.
tool -fill "$INK" -stroke '#0f2233' -strokewidth 8 \
  -draw "path 'M 30,22 L 206,22 L 242,58 L 242,242 L 30,242 Z'" \
  -stroke none -fill '#c9d3dc' -draw "rectangle 74,22 190,100" \
  -fill "$INK" -draw "rectangle 156,36 178,88" \
  -fill white -draw "roundrectangle 58,136 214,242 10,10" \
  -stroke '#9fb3c8' -strokewidth 7 \
  -draw "line 80,170 192,170" -draw "line 80,200 192,200" \
  -filter Lanczos -resize 65x67! -depth 8 "$OUT/save.png"

# Delete: a bold red cross.
tool -stroke '#8e1b1b' -strokewidth 62 -draw "line 56,56 208,208" -draw "line 208,56 56,208" \
  -stroke '#d93434' -strokewidth 44 -draw "line 56,56 208,208" -draw "line 208,56 56,208" \
  -filter Lanczos -resize 67x66! -depth 8 "$OUT/delete.png"

# Open Site: a globe with an arrow leaving it.
tool -fill '#3f8fd8' -stroke "$INK" -strokewidth 10 -draw "circle 118,146 118,246" \
  -fill none -stroke '#e8f2fb' -strokewidth 7 \
  -draw "ellipse 118,146 44,100 0,360" -draw "line 18,146 218,146" \
  -draw "ellipse 118,146 100,36 180,360" -draw "line 118,46 118,246" \
  -stroke "$ACCENT" -strokewidth 22 -draw "line 150,114 222,42" \
  -stroke none -fill "$ACCENT" -draw "polygon 248,16 246,100 164,18" \
  -filter Lanczos -resize 66x63! -depth 8 "$OUT/opensite.png"

echo "artwork written to $OUT and $ICONS"
