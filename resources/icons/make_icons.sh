#!/usr/bin/env bash
# Builds the Lexbin program icon: a note sheet with a folded corner, a few
# text lines and a red pin.
#
#   lexbin-32.png  32x32, 4-bit palette PNG (transparent background)
#   lexbin-16.png  16x16, 4-bit palette PNG (transparent background)
#   lexbin.ico     both images in one Windows icon
#   lexbin-48.png  the 16x16 art, each pixel 3x3 (desktop theme sizes, same palette)
#   lexbin-64.png, lexbin-128.png, lexbin-256.png  the 32x32 art scaled 2, 4 and 8 times
#   lexbin.svg     the 32x32 art as squares, for the theme's scalable size
#
# The pixel art lives below as XPM text; ImageMagick turns it into the PNGs.
# Re-running the script rewrites the files with identical content.
# Needs: bash, awk, ImageMagick 6 (convert).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One palette for both sizes.
#   .  transparent          k  outline          w  paper
#   g  folded flap          G  flap edge        l  text line
#   R  pin rim              r  pin              d  pin shade
#   h  pin highlight        s  pin shadow on paper
#   p  paper shade          W  pin glint
palette='". c None",
"k c #2B2D3A",
"w c #FFFFFF",
"g c #D6DAE3",
"G c #9AA1B2",
"l c #3F5480",
"R c #6E0F14",
"r c #E0332B",
"d c #A81D1E",
"h c #FFA294",
"s c #C9CDD8",
"p c #E8ECF3",
"W c #FFF3EE",'

cat > "$work/lexbin-32.xpm" <<XPM
/* XPM */
static char *lexbin_32[] = {
"32 32 13 1",
$palette
"................................",
"..............RRRR..............",
".............RhhrrR.............",
"............RhWrrrrR............",
".....kkkkkkkRhrrrrrRkkkkkkk.....",
".....kwwwwwwRrrrrrdRswwwwpk.....",
".....kwwwwwwwRrrddRsswwwwpk.....",
".....kwwwwwwwwRRRRsswwwwwpk.....",
".....kwwwwwwwwwssssswwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwllllllllllllllllwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwllllllllllllllwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwllllllllllllllllwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwlllllllllllwwwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwwwwwwwwwwwwwwwwwwpk.....",
".....kwwllllllllllwwwwwwwpk.....",
".....kwwwwwwwwwwwwwwGGGGGGk.....",
".....kwwwwwwwwwwwwwwGggggk......",
".....kwwwwwwwwwwwwwwGgggk.......",
".....kwwwwwwwwwwwwwwGggk........",
".....kwwwwwwwwwwwwwwGgk.........",
".....kppppppppppppppGk..........",
".....kkkkkkkkkkkkkkkk...........",
"................................"
};
XPM

cat > "$work/lexbin-16.xpm" <<XPM
/* XPM */
static char *lexbin_16[] = {
"16 16 13 1",
$palette
"......RRRR......",
".....RWhrdR.....",
"..kkkRrrrdRkkk..",
"..kwwwRRRRswpk..",
"..kwwwwwwwwwpk..",
"..kwlllllllwpk..",
"..kwwwwwwwwwpk..",
"..kwllllwwwwpk..",
"..kwwwwwwwwwpk..",
"..kwlllllllwpk..",
"..kwwwwwwGGGGk..",
"..kwllllwGggk...",
"..kwwwwwwGgk....",
"..kppppppGk.....",
"..kkkkkkkk......",
"................"
};
XPM

# PNG8 = indexed colour with binary (tRNS) transparency; bit depth 4 holds
# up to 16 palette entries. Dates and other ancillary chunks are left out so
# that the output is the same on every run.
for size in 32 16; do
    convert "$work/lexbin-$size.xpm" \
        -strip \
        -define png:bit-depth=4 \
        -define png:color-type=3 \
        -define png:exclude-chunks=date,time \
        "PNG8:$here/lexbin-$size.png"
done

convert "$here/lexbin-16.png" "$here/lexbin-32.png" "$here/lexbin.ico"

# The larger theme sizes: whole multiples of the drawn pixels, so no new colours appear.
for scaled in 16:48 32:64 32:128 32:256; do
    from=${scaled%%:*}
    size=${scaled##*:}
    convert "$work/lexbin-$from.xpm" \
        -filter point -resize "${size}x${size}" \
        -strip \
        -define png:bit-depth=4 \
        -define png:color-type=3 \
        -define png:exclude-chunks=date,time \
        "PNG8:$here/lexbin-$size.png"
done

# The scalable icon: one square per run of same-coloured pixels of the 32x32 art, row by row.
awk '
    /^"[.a-zA-Z] c / {
        key = substr($0, 2, 1)
        colour[key] = $3
        sub(/",?$/, "", colour[key])
        next
    }
    /^"[^" ]+",?$/ && length($0) >= 34 {
        row = substr($0, 2, 32)
        x = 0
        while (x < 32) {
            key = substr(row, x + 1, 1)
            run = 1
            while (x + run < 32 && substr(row, x + run + 1, 1) == key) run++
            if (colour[key] != "None")
                printf "  <rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"%s\"/>\n", x, y, run, colour[key]
            x += run
        }
        y++
    }
    BEGIN {
        y = 0
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        print "<!-- Made by make_icons.sh from the 32x32 pixel art. -->"
        print "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\" shape-rendering=\"crispEdges\">"
    }
    END { print "</svg>" }
' "$work/lexbin-32.xpm" >"$here/lexbin.svg"
