#!/usr/bin/env bash
# Makes the pictures in docs/screenshots: a copy of the built program with a
# small book, under Xvfb, clicked through with xdotool, the framebuffer cropped
# to the window. Needs xvfb and xdotool (scripts/setup.sh installs both) and a
# build in build/.
#   main-window.png       Personal contacts, the first one shown on the tabs
#   main-window-dark.png  the same with a dark desktop colour scheme
#   main-window-de.png    the same in German
#   editor.png            the first personal contact opened in the editor
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
shots="$top/docs/screenshots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/fb" "$work/program"
cp "$top/build/orvanta-contacts" "$work/program/"

# The book: personal contacts in the order the list shows them, and a few
# business ones.
card() { # last first middle guardian category
    printf '%s\r\n' BEGIN:VCARD VERSION:3.0 "N:$1;$2;$3;;" "FN:$2 $1" \
        ${4:+"X-ORVANTA-GUARDIAN:$4"} "CATEGORIES:$5" END:VCARD
}
{
    card Okafor Amara J. "Chidi Okafor" Personal
    for name in Lindqvist:Erik Moreau:Claire Castillo:Rosa Jensen:Quentin Quinn:Ada \
        López:Julia Schäfer:Xavier Morrison:Liam Müller:Fatima García:Maria \
        Davidson:Quentin Patel:Priya Thompson:Nora Ishikawa:Isaac Yamamoto:Kai \
        Young:Tereza Nakamura:Aaron Eriksen:Isaac Haugen:Øyvind Xu:Xavier \
        Williams:Ingrid Novák:Jakub Harrison:Nora Vogel:Quentin Kim:Yara \
        Gómez:Kai Dubois:Élise; do
        card "${name%%:*}" "${name#*:}" "" "" Personal
    done
    for name in Brennan:Siobhan Ferreira:Tiago Adeyemi:Kunle; do
        card "${name%%:*}" "${name#*:}" "" "" Business
    done
} >"$work/book.vcf"
XDG_CONFIG_HOME="$work/config" "$work/program/orvanta-contacts" --import "$work/book.vcf" >/dev/null

# A dark colour scheme as a desktop hands it to Qt programs: the KDE platform
# theme built into Qt reads the palette from kdeglobals.
mkdir -p "$work/dark"
cat >"$work/dark/kdeglobals" <<'COLOURS'
[Colors:Window]
BackgroundNormal=42,46,50
ForegroundNormal=230,232,234
[Colors:View]
BackgroundNormal=30,33,36
BackgroundAlternate=38,42,46
ForegroundNormal=230,232,234
ForegroundLink=110,170,240
ForegroundVisited=170,140,230
[Colors:Button]
BackgroundNormal=55,60,66
ForegroundNormal=230,232,234
[Colors:Selection]
BackgroundNormal=45,120,200
ForegroundNormal=255,255,255
[Colors:Tooltip]
BackgroundNormal=30,33,36
ForegroundNormal=230,232,234
COLOURS

# Inside Xvfb, without a window manager: the window is centred on a
# 1024x700 screen at 62,70; the points given are clicked in turn, then the
# framebuffer (an XWD file) is cropped to the window.
cat >"$work/inside.sh" <<'INSIDE'
work=$1 png=$2
shift 2
"$work/program/orvanta-contacts" &
for _ in $(seq 100); do xdotool search --name "Orvanta Contacts" >/dev/null && break; sleep 0.2; done
sleep 2
for point in "$@" "1020 696"; do
    xdotool mousemove $point click 1
    sleep 0.8
done
python3 - "$work/fb/Xvfb_screen0" "$png" <<'PYTHON'
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
wait
INSIDE

# shot NAME [VARIABLE=VALUE...] -- [POINT...]: the program started with those
# variables added to an English, light, otherwise empty desktop.
shot() {
    local name=$1 settings=()
    shift
    while [ "$1" != -- ]; do settings+=("$1"); shift; done
    shift
    env -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u LC_ALL -u LC_MESSAGES \
        LANG=en_US.UTF-8 LANGUAGE=en XDG_CONFIG_HOME="$work/config" "${settings[@]}" \
        xvfb-run -a -s "-screen 0 1024x700x24 -fbdir $work/fb" \
        bash "$work/inside.sh" "$work" "$shots/$name" "$@"
    echo "wrote docs/screenshots/$name"
    sleep 2 # the next Xvfb starts once this one has left its display
}

# Personal, then the first row; the editor's shot then presses Edit.
personal=("110 145" "260 217")
shot main-window.png -- "${personal[@]}"
shot main-window-dark.png XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 \
    XDG_CONFIG_DIRS="$work/dark" -- "${personal[@]}"
shot main-window-de.png LANG=de_DE.UTF-8 LANGUAGE=de -- "${personal[@]}"
shot editor.png -- "${personal[@]}" "118 201"
