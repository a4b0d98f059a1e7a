#!/usr/bin/env bash
# Draws the wizard's artwork with ImageMagick into resources/: the page background, the application
# icon and the two 16 x 16 picture strips of the lists. The build does not run this; the pictures are
# committed. Run it again after changing a picture here and look at the results.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$here/resources}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The band colours; the title green of the pages, RGB(108,180,37), sits between them.
band_top='#62aa2c'
band_bottom='#117a6e'

# Points of a hexagon standing on a corner: centre x, centre y, radius.
hex() {
  awk -v cx="$1" -v cy="$2" -v r="$3" 'BEGIN { pi = atan2(0, -1); s = "";
    for (i = 0; i < 6; i++) { a = (-90 + 60 * i) * pi / 180; s = s sprintf("%.2f,%.2f ", cx + r * cos(a), cy + r * sin(a)) }
    print s }'
}
# Centre of honeycomb cell (column, row) in the band.
cell_centre() { awk -v c="$1" -v r="$2" 'BEGIN { w = 24.25; printf "%.2f %d\n", c * w + (r % 2) * w / 2 + 8, r * 21 + 12 }'; }

# --- Page background, 600 x 400 -------------------------------------------------------------------
# Left band (x 0..112): a green-to-teal gradient under a honeycomb that fades out downwards, the
# emblem at the top and the name along the bottom. The content area stays white for the texts; a
# faint tint at the top and a thin rule above the buttons (y 355) frame it.
cells=""
for row in $(seq 0 11); do
  for col in $(seq -1 5); do
    read -r cx cy < <(cell_centre "$col" "$row")
    alpha=$(awk -v r="$row" 'BEGIN { v = 0.28 - r * 0.026; if (v < 0) v = 0; printf "%.3f", v }')
    cells+="stroke rgba(255,255,255,$alpha) fill none polygon $(hex "$cx" "$cy" 12) "
  done
done
for lit in "0 1 0.14" "4 1 0.08" "3 3 0.12" "0 4 0.10" "2 5 0.08" "1 7 0.06" "3 8 0.05"; do
  read -r col row alpha <<<"$lit"
  read -r cx cy < <(cell_centre "$col" "$row")
  cells+="stroke none fill rgba(255,255,255,$alpha) polygon $(hex "$cx" "$cy" 11) "
done
read -r ex ey < <(cell_centre 2 2)
emblem="stroke none fill white polygon $(hex "$ex" "$ey" 25) "
emblem+="fill '#4c9a2e' rectangle 43,41 70,47 rectangle 53.5,41 59.5,69"

convert -size 600x400 xc:white \
  \( -size 113x400 gradient:"$band_top-$band_bottom" \) -geometry +0+0 -composite \
  -strokewidth 1.2 -draw "$cells" -strokewidth 1 -draw "$emblem" \
  -fill '#9fd063' -draw "rectangle 113,0 114,399" \
  \( -size 485x90 gradient:'#eef6e6-#ffffff' \) -geometry +115+0 -composite \
  -fill '#cfd9cf' -draw "rectangle 128,355 592,355" \
  \( -background none -fill 'rgba(255,255,255,0.88)' -font DejaVu-Sans-Bold -pointsize 19 -kerning 2 \
     label:Tarnwick -rotate -90 \) -gravity SouthWest -geometry +14+18 -composite -gravity NorthWest \
  -strip -sampling-factor 1x1 -quality 92 "$out/background.jpg"

# --- Application icon: the emblem at 16, 32 and 48 pixels ------------------------------------------
# Drawn 8 times larger and reduced; the T sits on whole pixels of each size so the small ones stay
# crisp. ImageMagick stores these sizes as BMP entries, which every resource compiler accepts.
k=8
icon_image() {  # size
  local s=$1 n=$(($1 * k)) c r t
  c=$(awk -v n="$n" 'BEGIN { printf "%.2f", n / 2 }')
  r=$(awk -v n="$n" 'BEGIN { printf "%.2f", n / 2 - 2 }')
  case $s in  # bar left, right, top, bottom; stem left, right, bottom
    16) t="4 12 4 6 7 9 12" ;;
    32) t="9 23 8 13 13 19 25" ;;
    48) t="13 35 12 19 20 28 37" ;;
  esac
  t=$(awk -v k="$k" -v t="$t" 'BEGIN { split(t, v, " ");
      printf "rectangle %d,%d %d,%d rectangle %d,%d %d,%d", v[1]*k, v[3]*k, v[2]*k-1, v[4]*k-1,
             v[5]*k, v[3]*k, v[6]*k-1, v[7]*k-1 }')
  convert -size "${n}x${n}" gradient:"$band_top-$band_bottom" \
    \( -size "${n}x${n}" xc:black -fill white -draw "polygon $(hex "$c" "$c" "$r")" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill white -draw "$t" -filter Box -resize "${s}x${s}" "$work/icon-$s.png"
}
for s in 16 32 48; do icon_image "$s"; done
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$out/TarnwickSetup.ico"

# --- List pictures: 32 x 16 strips of two 16 x 16 pictures, magenta transparent -------------------
scale_points() {
  awk -v k="$k" '{ for (i = 1; i <= NF; i++) { split($i, p, ","); printf "%s%.1f,%.1f", (i > 1 ? " " : ""), p[1] * k, p[2] * k } }' <<<"$1"
}
face() { echo "fill '$1' polygon $(scale_points "$2")"; }
line() { echo "line $(scale_points "$1")"; }
# Drawn 8 times larger on transparency and reduced; then pixels that are mostly transparent become
# magenta and the rest is flattened onto white, the background of both lists.
picture() {  # name, draw commands
  convert -size $((16 * k))x$((16 * k)) xc:none -strokewidth "$k" -stroke '#25452a' -draw "$2" \
    -filter Box -resize 16x16 "$work/$1.png"
  convert -size 16x16 xc:'#ff00ff' \( "$work/$1.png" -background white -alpha remove \) \
    \( "$work/$1.png" -alpha extract -threshold 40% \) -composite "$work/$1-keyed.png"
}
picture component "stroke-width $((k * 3 / 4))
  $(face '#a6d96a' '8,1.5 14.5,4.5 8,7.5 1.5,4.5')
  $(face '#5aa832' '1.5,4.5 8,7.5 8,14.5 1.5,11.5')
  $(face '#1b7f6e' '8,7.5 14.5,4.5 14.5,11.5 8,14.5')"
picture library "stroke-width $((k * 3 / 4))
  $(face '#3b72b8' '1.5,4.5 5.5,4.5 5.5,14.5 1.5,14.5')
  $(face '#c0492f' '5.5,1.5 9.5,1.5 9.5,14.5 5.5,14.5')
  $(face '#4c9a2e' '9.5,3.5 12.5,3.5 12.5,14.5 9.5,14.5')
  $(face '#e0a526' '12.5,6.5 14.5,6.5 14.5,14.5 12.5,14.5')
  stroke none
  $(face '#d8e6f5' '2,7 5,7 5,8 2,8')
  $(face '#f3d3c8' '6,4 9,4 9,5 6,5') $(face '#f3d3c8' '6,11 9,11 9,12 6,12')
  $(face '#d9eccb' '10,6 12,6 12,7 10,7')"
picture tick "stroke '#1f8f33' stroke-width $((k * 5 / 2)) stroke-linecap round stroke-linejoin round fill none
  polyline $(scale_points '3,8.5 6.5,12 13,4')"
picture cross "stroke '#d0302b' stroke-width $((k * 5 / 2)) stroke-linecap round
  $(line '4,4 12,12') $(line '12,4 4,12')"
# BMP3 with true colour: a plain 24-bit BITMAPINFOHEADER bitmap, as the resource compiler expects.
convert "$work/component-keyed.png" "$work/library-keyed.png" +append -type TrueColor BMP3:"$out/components.bmp"
convert "$work/tick-keyed.png" "$work/cross-keyed.png" +append -type TrueColor BMP3:"$out/progress.bmp"
