#!/usr/bin/env bash
# Makes the fuzzing seed corpus in OUT, one folder per fuzz target: small archives from
# the engine's own writers (WRITER is the seed_writer program) and from the peer tools,
# and the hostile shapes the readers must handle. Inputs of targets that read several
# kinds start with the byte that picks the kind, in the order of tests/fuzz/CMakeLists.txt.
# Usage: fuzz-seeds.sh WRITER OUT
set -euo pipefail
writer=$(realpath "$1")
out=$(realpath -m "$2")
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir -p in/docs/empty
seq 1 400 > in/docs/numbers.txt
printf 'hello\n' > in/a.txt
: > in/docs/nothing
ln -s a.txt in/link
ln in/a.txt in/docs/hard.txt
truncate -s 3M sparse && printf 'middle' | dd of=sparse bs=1 seek=1048576 conv=notrunc status=none
{ head -c 1024 /dev/zero; printf 'after the zeros\n'; } > zeros

for t in zip package tar targz stream rar 7z probe; do mkdir -p "$out/$t"; done

# A byte that picks the kind, then the file.
picked() { { printf "\\$(printf %03o "$1")"; cat "$2"; } > "$3"; }
# Two bytes flipped in the middle of a copy.
damaged() {
    cp "$1" "$2"
    local at=$(( $(stat -c %s "$2") / 2 ))
    printf '\377\377' | dd of="$2" bs=1 seek="$at" conv=notrunc status=none
}

# Zip and the package.
"$writer" "$out/zip/ours.zip" "" in/a.txt in/docs
"$writer" "$out/zip/ours_aes.zip" pw in/a.txt in/docs
"$writer" "$out/package/ours.cfr" pw in/a.txt in/docs
(cd in && 7z a -tzip -ppw -mem=ZipCrypto "$out/zip/zipcrypto.zip" a.txt docs >/dev/null)
(cd in && 7z a -tzip -mm=BZip2 "$out/zip/bzip2.zip" a.txt docs >/dev/null)
(cd in && zip -qry "$out/zip/infozip.zip" a.txt link docs)
damaged "$out/zip/ours.zip" "$out/zip/damaged.zip"
python3 - "$out/zip" <<'PY'
import struct, sys, zlib
# One stored entry that three central-directory records all point at, and the same
# archive with its entry flagged as strongly encrypted (flags 0x41).
data = b"overlap" * 64
crc = zlib.crc32(data)
local = struct.pack("<IHHHHHIIIHH", 0x04034b50, 20, 0, 0, 0, 0, crc, len(data), len(data), 1, 0) + b"a" + data
def central(name, flags):
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 20, 20, flags, 0, 0, 0, crc, len(data),
                       len(data), len(name), 0, 0, 0, 0, 0, 0) + name
for file, names, flags in (("overlap.zip", [b"a", b"b", b"c"], 0), ("strong.zip", [b"a"], 0x41)):
    body = local if not flags else local[:6] + struct.pack("<H", flags) + local[8:]
    cd = b"".join(central(n, flags) for n in names)
    end = struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, len(names), len(names), len(cd), len(body), 0)
    open(f"{sys.argv[1]}/{file}", "wb").write(body + cd + end)
PY

# The tar family.
"$writer" "$out/tar/ours.tar" "" in/a.txt in/docs
bsdtar -cf "$out/tar/bsdtar_links.tar" -C in a.txt link docs
tar --format=gnu -Scf "$out/tar/gnu_sparse.tar" sparse
tar --format=posix -Scf "$out/tar/pax_sparse.tar" sparse
"$writer" "$out/targz/ours.tar.gz" "" in/a.txt in/docs
bsdtar -czf "$out/targz/bsdtar.tar.gz" -C in a.txt docs
head -c 200 "$out/targz/ours.tar.gz" > "$out/targz/truncated.tar.gz"

# Single streams; the picking byte is the place in ".gz|.bz2|.xz|.zst".
gzip -c zeros > zeros.gz && picked 0 zeros.gz "$out/stream/zeros.gz"
gzip -c zeros.gz > twice.gz && picked 0 twice.gz "$out/stream/twice.gz"
gzip -c "$out/tar/ours.tar" > tar.gz && picked 0 tar.gz "$out/stream/tar_inside.gz"
bzip2 -c zeros > zeros.bz2 && picked 1 zeros.bz2 "$out/stream/zeros.bz2"
xz -c zeros > zeros.xz && picked 2 zeros.xz "$out/stream/zeros.xz"
zstd -q -c zeros > zeros.zst && picked 3 zeros.zst "$out/stream/zeros.zst"

# Rar: no free tool writes it, so the project's own samples.
cp "$here"/tests/data/rar/*.rar "$out/rar/"

# 7z: plain through libarchive, encrypted through the plugin, and 7-Zip's own.
"$writer" "$out/7z/ours.7z" "" in/a.txt in/docs
"$writer" "$out/7z/ours_encrypted.7z" pw in/a.txt in/docs
(cd in && 7z a -ppw -mhe=on "$out/7z/names_encrypted.7z" a.txt docs >/dev/null)
(cd in && 7z a -ms=off "$out/7z/not_solid.7z" a.txt docs >/dev/null)
damaged "$out/7z/ours.7z" "$out/7z/damaged.7z"
damaged "$out/7z/ours_encrypted.7z" "$out/7z/damaged_encrypted.7z"

# The probes; the picking byte is the place in ".zip|.cfr|.rar|.7z|.tar|.tar.gz|.gz|.xz".
picked 0 "$out/zip/ours_aes.zip" "$out/probe/zip"
picked 1 "$out/package/ours.cfr" "$out/probe/cfr"
picked 2 "$out/rar/rar5_encrypted.rar" "$out/probe/rar"
picked 3 "$out/7z/names_encrypted.7z" "$out/probe/7z"
picked 5 "$out/targz/ours.tar.gz" "$out/probe/targz"
