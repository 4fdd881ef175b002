#!/usr/bin/env bash
# Draws the splash picture resources/pictures/splash.jpg: a calm dusk over a lake with the title.
# Run by developers when the artwork changes; the result is committed.
# Needs ImageMagick 6 (package imagemagick) and the fonts of fonts-urw-base35.
# The label "Version 3.1" is drawn over (141, 222)-(221, 242) in black, so that stretch of water
# stays light and plain.
set -euo pipefail
cd "$(dirname "$0")/.."

out=resources/pictures/splash.jpg
fonts=/usr/share/fonts/opentype/urw-base35
title_font=$fonts/P052-Roman.otf
tag_font=$fonts/URWGothic-Book.otf
w=362
h=260
horizon=176
sun_x=292
sun_y=143

for font in "$title_font" "$tag_font"; do
    [[ -f $font ]] || { echo "missing $font: install fonts-urw-base35" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Sky: deep indigo overhead, lavender, then apricot at the horizon.
convert \
    -size ${w}x70 gradient:'#27335e'-'#5b5688' \
    -size ${w}x60 gradient:'#5b5688'-'#b58aa6' \
    -size ${w}x$((horizon - 130)) gradient:'#b58aa6'-'#f1b994' \
    -append "$tmp/sky.png"

# A few faint stars in the darkest part of the sky.
convert "$tmp/sky.png" -fill '#ffffff' \
    -draw "fill-opacity 0.55 point 38,22 point 91,48 point 142,14 point 317,31 point 340,62" \
    -draw "fill-opacity 0.35 point 66,71 point 203,9 point 251,40 point 24,96 point 296,11" \
    "$tmp/sky.png"

# The low sun with a wide soft glow.
convert -size ${w}x${h} xc:'#ffe3bf00' -fill '#ffe3bf' \
    -draw "circle $sun_x,$sun_y $((sun_x + 70)),$sun_y" -channel A -evaluate multiply 0.4 \
    +channel -blur 0x28 "$tmp/glow.png"
convert -size ${w}x${h} xc:'#fff3dc00' -fill '#fff3dc' \
    -draw "circle $sun_x,$sun_y $((sun_x + 16)),$sun_y" -blur 0x0.8 "$tmp/sun.png"

# Two ranges of gentle hills: far and misty, then nearer and darker.
convert -size ${w}x${h} xc:'#a9829f00' -fill '#a9829f' -draw "path '
    M 0,$horizon L 0,150 C 40,138 80,136 120,146 C 150,153 175,149 205,140
    C 240,130 280,134 310,147 C 330,155 350,152 362,148 L 362,$horizon Z'" \
    -blur 0x0.6 "$tmp/far.png"
convert -size ${w}x${h} xc:'#6f5a8300' -fill '#6f5a83' -draw "path '
    M 0,$horizon L 0,160 C 30,155 60,153 95,161 C 120,166 150,169 185,163
    C 215,158 240,166 262,172 L 290,$horizon Z'" \
    -draw "path 'M 300,$horizon C 320,170 345,166 362,165 L 362,$horizon Z'" \
    -blur 0x0.6 "$tmp/near.png"

# The lake: light and still, lightest towards the viewer.
convert -size ${w}x$((h - horizon)) gradient:'#e9b49a'-'#f6e7dd' "$tmp/water.png"

# The hills and the sun mirrored in the water, softened and faint.
convert -size ${w}x${h} xc:none "$tmp/far.png" -composite "$tmp/near.png" -composite \
    "$tmp/sun.png" -composite -crop ${w}x$horizon+0+0 +repage -flip \
    -crop ${w}x$((h - horizon))+0+0 +repage -blur 0x2.5 \
    -channel A -evaluate multiply 0.45 +channel "$tmp/mirror.png"

# Sun path: short broken strokes of light under the sun, kept right of the label.
convert -size ${w}x$((h - horizon)) xc:'#fff4e200' -fill none -stroke '#fff4e2' -strokewidth 1.6 \
    -draw "stroke-opacity 0.9 line $((sun_x - 16)),4 $((sun_x + 14)),4" \
    -draw "stroke-opacity 0.8 line $((sun_x - 12)),9 $((sun_x + 18)),9" \
    -draw "stroke-opacity 0.7 line $((sun_x - 20)),15 $((sun_x + 8)),15" \
    -draw "stroke-opacity 0.6 line $((sun_x - 9)),22 $((sun_x + 22)),22" \
    -draw "stroke-opacity 0.5 line $((sun_x - 18)),30 $((sun_x + 12)),30" \
    -draw "stroke-opacity 0.4 line $((sun_x - 6)),39 $((sun_x + 20)),39" \
    -draw "stroke-opacity 0.3 line $((sun_x - 14)),49 $((sun_x + 10)),49" \
    -draw "stroke-opacity 0.2 line $((sun_x - 4)),61 $((sun_x + 16)),61" \
    -blur 0x0.9 "$tmp/path.png"

# Faint ripples near the far shore only.
convert -size ${w}x$((h - horizon)) xc:'#fbe9dc00' -fill none -stroke '#fbe9dc' -strokewidth 1 \
    -draw "stroke-opacity 0.5 line 20,6 110,6 line 150,11 215,11 line 40,17 95,17" \
    -draw "stroke-opacity 0.35 line 120,23 190,23 line 10,29 60,29" \
    -blur 0x0.7 "$tmp/ripples.png"

convert "$tmp/water.png" "$tmp/mirror.png" -composite "$tmp/ripples.png" -composite \
    "$tmp/path.png" -composite "$tmp/lake.png"

# The title, with a soft shadow to lift it off the sky, and a quiet line beneath.
convert -size ${w}x${h} xc:'#1c224400' -font "$title_font" -pointsize 60 -kerning 3 \
    -gravity north -fill '#1c2244' -annotate +1+44 'Tolvane' \
    -channel A -evaluate multiply 0.5 +channel -blur 0x3 "$tmp/shadow.png"
convert -size ${w}x${h} xc:none -font "$title_font" -pointsize 60 -kerning 3 \
    -gravity north -fill '#fff6ea' -annotate +0+42 'Tolvane' \
    -font "$tag_font" -pointsize 10 -kerning 4 -fill '#f4dde4' \
    -annotate +0+110 'BREATH  ·  RHYTHM  ·  STILLNESS' "$tmp/title.png"

convert -size ${w}x${h} xc:none "$tmp/sky.png" -composite "$tmp/glow.png" -composite \
    "$tmp/sun.png" -composite "$tmp/far.png" -composite "$tmp/near.png" -composite \
    "$tmp/lake.png" -geometry +0+$horizon -composite \
    "$tmp/shadow.png" -geometry +0+0 -composite "$tmp/title.png" -composite \
    -background '#000000' -flatten -alpha off \
    -strip -colorspace sRGB -type TrueColor -interlace none -sampling-factor 2x2,1x1,1x1 \
    -quality 92 "$out"

echo "$out"
