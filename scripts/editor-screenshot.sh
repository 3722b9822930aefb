#!/usr/bin/env bash
# Makes docs/screenshots/editor.png: a copy of the built program with a small
# book, under Xvfb, its first personal contact opened in the editor. Needs
# xvfb and xdotool (scripts/setup.sh installs both) and a build in build/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/fb" "$work/program"
cp "$top/build/orvanta-contacts" "$work/program/"
printf '%s\r\n' BEGIN:VCARD VERSION:3.0 'N:Okafor;Amara;J.;;' END:VCARD \
    BEGIN:VCARD VERSION:3.0 'N:Lindqvist;Erik;;;' END:VCARD \
    BEGIN:VCARD VERSION:3.0 'N:Moreau;Claire;;;' END:VCARD >"$work/book.vcf"
"$work/program/orvanta-contacts" --import "$work/book.vcf"

# Inside Xvfb, without a window manager: the window is centred on a
# 1024x700 screen at 62,70; Personal, the first row, Edit, then the
# framebuffer (an XWD file) cropped to the window.
cat >"$work/inside.sh" <<'INSIDE'
"$1/program/orvanta-contacts" &
for _ in $(seq 100); do xdotool search --name "Orvanta Contacts" >/dev/null && break; sleep 0.2; done
sleep 2
for point in "110 145" "260 217" "118 201" "1020 696"; do
    xdotool mousemove $point click 1
    sleep 0.8
done
python3 - "$1/fb/Xvfb_screen0" "$2" <<'PYTHON'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
endian = '>' if struct.unpack('>I', data[:4])[0] < 10000 else '<'
h = struct.unpack(endian + '25I', data[:100])
start, bpl, msb = h[0] + h[19] * 12, h[12], h[7] == 1
x0, y0, w, hh = 62, 70, 900, 560
rows = b''
for y in range(y0, y0 + hh):
    line = data[start + y * bpl + 4 * x0:start + y * bpl + 4 * (x0 + w)]
    rows += b'\0' + b''.join(bytes(line[i + 1:i + 4] if msb else line[i:i + 3][::-1])
                             for i in range(0, len(line), 4))
def chunk(kind, body):
    return (struct.pack('>I', len(body)) + kind + body +
            struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))
open(sys.argv[2], 'wb').write(
    b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, hh, 8, 2, 0, 0, 0)) +
    chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))
PYTHON
kill %1
INSIDE
xvfb-run -a -s "-screen 0 1024x700x24 -fbdir $work/fb" \
    bash "$work/inside.sh" "$work" "$top/docs/screenshots/editor.png"
echo "wrote docs/screenshots/editor.png"
