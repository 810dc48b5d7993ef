#!/usr/bin/env bash
# krv857 under valgrind on a sample of what users give it: inputs that are no file (a folder, a
# pipe, /dev/zero), damaged pictures, a full device as output, a logo download whose second
# source is bad, and the everyday jobs from pictures of each kind, decoded and drawn. Each
# command must end with the exit status it owes (so nothing hangs or crashes) and valgrind must
# find no error and no definite leak.
#
#   scripts/tool-sample.sh [KRV857]   (default build/native/krv857)
set -uo pipefail
cd "$(dirname "$0")/.."

krv=${1:-build/native/krv857}
[[ -x $krv ]] || { echo "no $krv: build the krv857 target first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -seed 5 -size 160x120 plasma:fractal -alpha set -channel A -evaluate set 70% +channel \
    "$work/photo.png"
convert "$work/photo.png" -background white -flatten -quality 85 "$work/photo.jpg"
convert "$work/photo.jpg" -type TrueColor "BMP3:$work/photo.bmp"
head -c 900 "$work/photo.png" >"$work/cut.png"
head -c 600 "$work/photo.jpg" >"$work/cut.jpg"
echo "not a picture" >"$work/text.bmp"
mkfifo "$work/fifo"
mkdir "$work/folder"

status=0
n=0
# expect STATUS ARGS...: one command under valgrind.
expect() {
    local want=$1
    shift
    n=$((n + 1))
    local log="$work/$n.log"
    timeout 120 valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
        "$krv" "$@" >/dev/null 2>"$log"
    local got=$?
    if [ "$got" -ne "$want" ]; then
        echo "krv857 $*: exit $got, expected $want"
        sed 's/^/    /' "$log"
        status=1
    fi
}

expect 1 devmode show "$work/folder"
expect 1 devmode show /dev/zero
expect 1 firmware "$work/fifo" -o "$work/x.bin"
expect 1 print "$work/cut.png" -o "$work/x.bin"
expect 1 print "$work/cut.jpg" -o "$work/x.bin"
expect 1 print "$work/text.bmp" -o "$work/x.bin"
expect 1 print "$work/photo.png" -o /dev/full
expect 1 logo download --mode mono -o "$work/x.bin" "$work/photo.png" "$work/cut.png"
expect 2 topbottom --line0 $'\xff' -o "$work/x.bin"
expect 1 topbottom --line0 $'\xf0\x9f\x98\x80' -o "$work/x.bin"
for picture in photo.png photo.jpg photo.bmp; do
    expect 0 print "$work/$picture" -o "$work/print.bin"
    expect 0 decode "$work/print.bin" --png "$work/print.png"
done
expect 0 logo download --mode grey -o "$work/logo.bin" "$work/photo.png" "$work/photo.jpg"
expect 0 decode "$work/logo.bin" --png "$work/logo.png"
expect 0 logo convert --to mono -o "$work/work.bmp" "$work/photo.jpg"
expect 0 backside --text AB --logo "$work/photo.png" -o "$work/back.bin"
expect 0 watermark convert "$work/photo.png" "$work/watermark.bmp"
expect 0 barcode --font 8 --data '{C1234' -o "$work/barcode.bin"
expect 0 decode "$work/barcode.bin"

[ $status -eq 0 ] && echo "krv857: $n commands clean under valgrind"
exit $status
