#!/bin/sh
# Regenerates zembrovale.ico: a drive above a nearly full green-to-red gauge on a dark tile,
# drawn natively at 48, 32 and 16 pixels (scaling one picture down blurs the small sizes).
# Needs ImageMagick; /usr/local/bin/convert may be a stand-in, so the real one is named.
set -eu

CONVERT=/usr/bin/convert
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Scales a coordinate of the 48-pixel design to size $1, rounded to a whole pixel.
px() {
    echo $((($1 * $2 + 24) / 48))
}

draw() {
    s=$1
    last=$((s - 1))
    radius=$(px 6 "$s")

    # Drive body with a dark slot and a green activity light.
    dl=$(px 5 "$s"); dt=$(px 7 "$s"); dr=$(px 42 "$s"); db=$(px 25 "$s")
    sl=$(px 9 "$s"); st=$(px 15 "$s"); sr=$(px 28 "$s"); sb=$(px 17 "$s")
    ll=$(px 33 "$s"); lt=$(px 14 "$s"); lr=$(px 37 "$s"); lb=$(px 18 "$s")

    # Gauge: frame, then a gradient filled to about four fifths.
    gl=$(px 5 "$s"); gt=$(px 30 "$s"); gr=$(px 42 "$s"); gb=$(px 41 "$s")
    inset=$((s >= 32 ? 2 : 1))
    fl=$((gl + inset)); ft=$((gt + inset)); fb=$((gb - inset))
    fw=$(((gr - gl - 2 * inset + 1) * 4 / 5)); fh=$((fb - ft + 1))
    half=$((fw / 2))

    "$CONVERT" -size "${fh}x${half}" gradient:'#f9c21b'-'#2fb344' -rotate 90 "$work/low.png"
    "$CONVERT" -size "${fh}x$((fw - half))" gradient:'#e5322d'-'#f9c21b' -rotate 90 \
        "$work/high.png"
    "$CONVERT" "$work/low.png" "$work/high.png" +append "$work/bar.png"

    "$CONVERT" -size "${s}x${s}" xc:none \
        -fill '#1d2430' -draw "roundrectangle 0,0 $last,$last $radius,$radius" \
        -fill '#aeb8c4' -draw "roundrectangle $dl,$dt $dr,$db $inset,$inset" \
        -fill '#3a4452' -draw "rectangle $sl,$st $sr,$sb" \
        -fill '#41e05a' -draw "rectangle $ll,$lt $lr,$lb" \
        -fill '#0b0f15' -draw "rectangle $gl,$gt $gr,$gb" \
        "$work/bar.png" -geometry "+$fl+$ft" -composite \
        -depth 8 -type TrueColorAlpha "PNG32:$work/icon$s.png"
}

for size in 48 32 16; do
    draw "$size"
done

# Without the explicit type ImageMagick may store the small images with a palette.
"$CONVERT" "$work/icon48.png" "$work/icon32.png" "$work/icon16.png" \
    -depth 8 -type TrueColorAlpha "$here/zembrovale.ico"
