#!/bin/sh
# Builds the disc images of the fastest-file search tests and, for each, the listing of its
# files as isoinfo reads them: "extent<TAB>size<TAB>path" with the names shortened as the
# search shortens them (".;1", then ";1", removed). The listings are the tests' oracle.
# Usage: make-fixtures.sh OUTDIR [SEEDDIR]  (SEEDDIR: also write fuzzer seeds there)
set -eu
out=$1
seeds=${2:-}
if [ -n "$seeds" ]; then
    mkdir -p "$seeds"
    seeds=$(cd "$seeds" && pwd)
fi
rm -rf "$out"
mkdir -p "$out/src"
cd "$out"

# One listing per image; $2 is "-J" for the Joliet tree, $3 the disc sector of the image start.
listing() {
    isoinfo -N "${3:-0}" -l ${2:-} -i "$1.iso" | awk '
        /^Directory listing of / { dir = substr($0, 22); next }
        /^-/ {
            open = index($0, "[");
            rest = substr($0, open + 1);
            split(rest, f, " ");
            name = substr(rest, index(rest, "]") + 3);
            sub(/ $/, "", name);
            sub(/\.;1$/, "", name);
            sub(/;1$/, "", name);
            print f[1] "\t" $5 "\t" dir name;
        }' >"$1.list"
    [ -s "$1.list" ] || { echo "no files listed in $1.iso" >&2; exit 1; }
}

# Small tree shared by the plain, Joliet, Rock Ridge and damaged images.
b=src/basic
mkdir -p "$b/SUB/CHILD"
printf 'readme\n' >"$b/README.TXT"
printf 'data without extension\n' >"$b/DATA"
head -c 3000 /dev/zero >"$b/SUB/Long file name.bin"
head -c 500 /dev/zero >"$b/SUB/CHILD/Z.BIN"
genisoimage -quiet -no-pad -o plain.iso "$b"
listing plain
genisoimage -quiet -no-pad -J -o joliet.iso "$b"
listing joliet -J
xorriso -as mkisofs -quiet -R -no-pad -o rockridge.iso "$b" 2>/dev/null
listing rockridge

# The same tree with SUB\CHILD's record pointing back at the root directory.
cp plain.iso cycle.iso
python3 - cycle.iso <<'PY'
import struct, sys
path = sys.argv[1]
img = bytearray(open(path, 'rb').read())
def sector(n): return img[n * 2048:(n + 1) * 2048]
def records(extent):
    s, o = sector(extent), 0
    while o < 2048 and s[o]:
        yield extent * 2048 + o, s[o + 33:o + 33 + s[o + 32]]
        o += s[o]
root = struct.unpack_from('<I', img, 16 * 2048 + 158)[0]
sub = next(a for a, n in records(root) if n == b'SUB')
child = next(a for a, n in records(struct.unpack_from('<I', img, sub + 2)[0]) if n == b'CHILD')
struct.pack_into('<I', img, child + 2, root)
struct.pack_into('>I', img, child + 6, root)
open(path, 'wb').write(img)
PY

# Ten levels of 31-character folders (beyond ISO 9660's eight, not relocated), one file in
# each; the paths of the three deepest files, which lie farthest out, exceed 259 characters.
d=src/deep
p=$d
for n in 1 2 3 4 5 6 7 8 9 10; do
    i=$(printf %02d $n)
    p=$p/LEVEL_${i}_FOLDER_WITH_LONG_NAME
    mkdir -p "$p"
    head -c $((n * 100)) /dev/zero >"$p/FILE_$i.BIN"
done
printf 'top\n' >"$d/TOP.BIN"
genisoimage -quiet -no-pad -l -D -o deep.iso "$d" 2>/dev/null
listing deep

# 300 files in one folder: the folder's records span several sectors.
m=src/many/MANY
mkdir -p "$m"
i=1
while [ $i -le 300 ]; do
    head -c $(( (i * 37) % 1000 + 1 )) /dev/zero >"$m/file number $i with a long name.bin"
    i=$((i + 1))
done
genisoimage -quiet -no-pad -J -o many.iso src/many
listing many -J

# Two big files, the smaller one placed farther out.
o=src/order
mkdir -p "$o"
head -c 3145728 /dev/zero >"$o/BIG.BIN"
head -c 1048576 /dev/zero >"$o/SMALL.BIN"
printf '%s 10\n%s 1\n' "$PWD/$o/SMALL.BIN" "$PWD/$o/BIG.BIN" >order.sort
genisoimage -quiet -no-pad -J -sort order.sort -o order.iso "$o"
listing order -J

# The page test's disc: its tree is copied to a drive of the Wine prefix, so that the
# found file exists there; the smaller file lies farther out.
g=src/page/QMCDFS
mkdir -p "$g"
head -c 2097152 /dev/zero >"$g/BIG.BIN"
head -c 1048576 /dev/zero >"$g/SMALL.BIN"
printf '%s 10\n%s 1\n' "$PWD/$g/SMALL.BIN" "$PWD/$g/BIG.BIN" >page.sort
genisoimage -quiet -no-pad -J -sort page.sort -o page.iso src/page
listing page -J

# The data track of an enhanced CD, mastered to start at sector 600 behind the audio.
genisoimage -quiet -no-pad -J -C 0,600 -o enhanced.iso "$b" 2>/dev/null
listing enhanced -J 600

if [ -n "$seeds" ]; then
    # A seed is an image from sector 16 on (the fuzzer's sector 16 is its first byte).
    for image in plain joliet rockridge cycle deep; do
        tail -c +32769 $image.iso >"$seeds/$image"
    done
fi
echo fixtures done
