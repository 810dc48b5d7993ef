#!/usr/bin/env bash
# The logo conversion side by side with ImageMagick on one 1024 x 768 24-bit picture:
# `krv857 logo convert` for each method and for grey, ImageMagick's `convert` doing the
# nearest equivalent, and a read-and-write-only floor (cp of the picture). Then the everyday
# job: `krv857 print` of the same picture as a photograph (JPEG, PNG, BMP) to a file, beside
# ImageMagick's conversion of it to a 512-dot-wide dithered bitmap. Prints the time of one
# whole process run of each, and the ratios.
#
# usage: scripts/bench-logo.sh [BUILD_DIR]   (default build/native; RUNS=N runs per command)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
krv=$build/krv857
magick=/usr/bin/convert
runs=${RUNS:-30}

[[ -x $krv ]] || { echo "no $krv: build the krv857 target first" >&2; exit 2; }
[[ -x $magick ]] || { echo "no $magick: apt-get install imagemagick" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pic=$work/picture.bmp
"$magick" -seed 7 -size 1024x768 plasma:fractal -type TrueColor "BMP3:$pic"
"$magick" "$pic" -quality 90 "$work/photo.jpg"
"$magick" "$pic" "$work/photo.png"

# Mean wall time of one run in microseconds.
time_us() {
    "$@" >/dev/null 2>&1  # warm the caches once
    local start end
    start=$(date +%s%N)
    for ((i = 0; i < runs; i++)); do "$@" >/dev/null 2>&1; done
    end=$(date +%s%N)
    echo $(((end - start) / runs / 1000))
}

declare -A t
t[floor]=$(time_us cp "$pic" "$work/copy.bmp")
out=$work/work.bmp
t[none]=$(time_us "$krv" logo convert --to mono --halftone none -o "$out" "$pic")
t[m3]=$(time_us "$krv" logo convert --to mono --halftone m3 -o "$out" "$pic")
t[m4]=$(time_us "$krv" logo convert --to mono --halftone m4 -o "$out" "$pic")
t[diffusion]=$(time_us "$krv" logo convert --to mono --halftone diffusion -o "$out" "$pic")
t[grey]=$(time_us "$krv" logo convert --to grey -o "$out" "$pic")
t[im_fs]=$(time_us "$magick" "$pic" -colorspace Gray -dither FloydSteinberg -monochrome \
    -type bilevel "BMP3:$work/im_fs.bmp")
t[im_o8]=$(time_us "$magick" "$pic" -colorspace Gray -ordered-dither o8x8 -type bilevel \
    "BMP3:$work/im_o8.bmp")
t[im_grey]=$(time_us "$magick" "$pic" -colorspace Gray -type Grayscale "BMP3:$work/im_grey.bmp")
for kind in jpg png; do
    t[print_$kind]=$(time_us "$krv" print "$work/photo.$kind" -o "$work/print.bin")
    t[im_print_$kind]=$(time_us "$magick" "$work/photo.$kind" -resize 512x -colorspace Gray \
        -dither FloydSteinberg -monochrome -type bilevel "BMP3:$work/im_print.bmp")
done
t[print_bmp]=$(time_us "$krv" print "$pic" -o "$work/print.bin")

ms() { awk -v u="$1" 'BEGIN { printf "%8.2f ms", u / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%6.1fx", a / b }'; }

echo "one run each, mean of $runs (1024 x 768, 24-bit):"
printf '  %-44s %s\n' "read-and-write floor (cp)" "$(ms "${t[floor]}")"
for m in none m3 m4 diffusion; do
    printf '  %-44s %s   %s of the floor\n' "krv857 logo convert --to mono --halftone $m" \
        "$(ms "${t[$m]}")" "$(ratio "${t[$m]}" "${t[floor]}")"
done
printf '  %-44s %s   %s of the floor\n' "krv857 logo convert --to grey" "$(ms "${t[grey]}")" \
    "$(ratio "${t[grey]}" "${t[floor]}")"
printf '  %-44s %s\n' "ImageMagick Floyd-Steinberg to 1-bit" "$(ms "${t[im_fs]}")"
printf '  %-44s %s\n' "ImageMagick ordered 8x8 to 1-bit" "$(ms "${t[im_o8]}")"
printf '  %-44s %s\n' "ImageMagick grey 8-bit" "$(ms "${t[im_grey]}")"
echo "speed-ups over ImageMagick (target >= 10x):"
printf '  %-44s %s\n' "diffusion vs Floyd-Steinberg" "$(ratio "${t[im_fs]}" "${t[diffusion]}")"
printf '  %-44s %s\n' "m3 vs ordered 8x8" "$(ratio "${t[im_o8]}" "${t[m3]}")"
printf '  %-44s %s\n' "m4 vs ordered 8x8" "$(ratio "${t[im_o8]}" "${t[m4]}")"
printf '  %-44s %s\n' "grey vs grey" "$(ratio "${t[im_grey]}" "${t[grey]}")"
echo "printing the picture as a photograph, 512 dots wide, error diffusion:"
for kind in jpg png; do
    printf '  %-44s %s\n' "krv857 print photo.$kind -o FILE" "$(ms "${t[print_$kind]}")"
    printf '  %-44s %s\n' "ImageMagick photo.$kind to a 512-dot 1-bit BMP" "$(ms "${t[im_print_$kind]}")"
done
printf '  %-44s %s\n' "krv857 print picture.bmp -o FILE" "$(ms "${t[print_bmp]}")"
echo "speed-ups of printing over ImageMagick (target >= 10x):"
for kind in jpg png; do
    printf '  %-44s %s\n' "photo.$kind" "$(ratio "${t[im_print_$kind]}" "${t[print_$kind]}")"
done
