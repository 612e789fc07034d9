#!/usr/bin/env bash
# Builds the archives that ZipArchiveTest reads, each written by a different
# tool, into the folder given as $1: make_zip_fixtures.sh <out-dir>.
# content/ holds the original files so the test can compare byte for byte.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out/content/skin/images"
cd "$out/content"

python3 - <<'PY'
import random
rng = random.Random(20261210)
words = ["Window", "Button", "Label", "name", "text", "pos", "normalimage", "hotimage",
         "<", ">", "/>", "=", '"', "0,0,10,10", "#FF336699", "true", "\n", "  "]
# Compressible but not trivially so: the deflated stream spans several
# 16 KiB input pieces.
with open("skin/MainWnd.xml", "w") as f:
    f.write("".join(rng.choice(words) + " " for _ in range(120000)))
with open("skin/images/noise.bin", "wb") as f:
    f.write(bytes(rng.randrange(256) for _ in range(40000)))
with open("skin/ExitWnd.xml", "w") as f:
    f.write('<?xml version="1.0" encoding="utf-8"?>\n<Window size="300,150" />\n')
open("skin/empty.txt", "wb").close()
with open("skin/\u76ae\u80a4.txt", "w", encoding="utf-8") as f:
    f.write("named in UTF-8\n")
PY

# A fixed modification time, so the test can check the times read back.
touch -d '2021-03-04 05:06:07 UTC' skin/ExitWnd.xml

ascii_files=(skin/MainWnd.xml skin/ExitWnd.xml skin/empty.txt skin/images/noise.bin)

# Debian's zip, seekable output; its local headers carry "UT" timestamps.
zip -q "$out/zip_plain.zip" "${ascii_files[@]}"
# Debian's zip writing to a pipe: sizes and CRCs follow the data in
# descriptors, and the local headers carry zeros.
zip -q -X - "${ascii_files[@]}" | cat > "$out/zip_piped.zip"
# Debian's zip reading the entry from a pipe (entry name "-").
cat skin/MainWnd.xml | zip -q -fz- "$out/zip_stdin.zip" - 

# Python's zipfile, stored and deflated, including a UTF-8 flagged name.
TZ=UTC python3 - "$out" <<'PY'
import sys, zipfile
out = sys.argv[1]
names = ["skin/MainWnd.xml", "skin/ExitWnd.xml", "skin/empty.txt", "skin/images/noise.bin",
         "skin/\u76ae\u80a4.txt"]
for method, file in ((zipfile.ZIP_STORED, "py_stored.zip"), (zipfile.ZIP_DEFLATED, "py_deflated.zip")):
    with zipfile.ZipFile(out + "/" + file, "w", method) as z:
        for n in names:
            z.write(n, n)
# A comment of 65,000 bytes pushes the end record far from the end.
with zipfile.ZipFile(out + "/comment.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.write("skin/ExitWnd.xml", "skin/ExitWnd.xml")
    z.comment = bytes((i * 7) % 251 for i in range(65000)).replace(b"PK", b"pk")
PY

# 7-Zip, deflate.
7z a -tzip -mx=9 -bd -bso0 "$out/sevenzip.zip" "${ascii_files[@]}" >/dev/null

# An archive behind a 100 KiB stub whose offsets were not adjusted, as when a
# self-extractor is simply concatenated with an archive.
head -c 102400 /dev/zero | tr '\0' 'M' > "$out/stub.bin"
cat "$out/stub.bin" "$out/zip_plain.zip" > "$out/stub.zip"
rm "$out/stub.bin"
