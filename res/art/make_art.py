#!/usr/bin/env python3
# Draws Tarnlight's icon (res/tarnlight.ico) and toolbar strip (res/toolbar.bmp)
# from the character maps below. Edit a map, then regenerate with
#     python3 res/art/make_art.py
# and commit both outputs: the Windows build uses them as they are.
import os
import struct

# One character per colour of the standard 16-colour palette, in index order.
# In the icon maps a space marks a transparent pixel.
PALETTE = [
    ('k', (0, 0, 0)),        # black
    ('m', (128, 0, 0)),      # maroon
    ('g', (0, 128, 0)),      # green
    ('o', (128, 128, 0)),    # olive
    ('n', (0, 0, 128)),      # navy
    ('p', (128, 0, 128)),    # purple
    ('t', (0, 128, 128)),    # teal
    ('.', (192, 192, 192)),  # silver: the toolbar background
    ('d', (128, 128, 128)),  # dark grey
    ('r', (255, 0, 0)),      # red
    ('l', (0, 255, 0)),      # lime
    ('y', (255, 255, 0)),    # yellow
    ('b', (0, 0, 255)),      # blue
    ('f', (255, 0, 255)),    # fuchsia
    ('c', (0, 255, 255)),    # aqua
    ('w', (255, 255, 255)),  # white
]
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}
TRANSPARENT = ' '

ICON_32 = [
    "             tttttt             ",
    "            tcrrrrct            ",
    "           tcrrccrrct           ",
    "          tccrrccrrcct          ",
    "          tcccccrrccct          ",
    "          tccccrrcccct          ",
    "          tccccrrcccct          ",
    "          tcccccccccct          ",
    "          tccccrrcccct          ",
    "           tcccrrccct           ",
    "            tcccccct            ",
    "     kkkkkkkkttttttkkkkkkkk     ",
    "    kkyyyyyyyyykkyyyyyyyyykk    ",
    "   kwkyyyyyyyyykkyyyyyyyyykwk   ",
    "  kwwkyyyyyyyyykkyyyyyyyyykwwk  ",
    " kwwwkyyyyyyyyykkyyyyyyyyykwwwk ",
    "kkkkkkyyoooooyykkyyoooooyykkkkkk",
    "kyyyyyyyyyyyyttttttyyyyyyyyyyyyk",
    "kyyyyyyyyyyytcccccctyyyyyyyyyyyk",
    "kyyooooooootcccccccctooooooooyyk",
    "kyyyyyyyyytccrrrrrrcctyyyyyyyyyk",
    "kyyyyyyyyytccrrrrrrcctyyyyyyyyyk",
    "kyyoooooootcccccccccctoooooooyyk",
    "kyyyyyyyyytccrrrrrrcctyyyyyyyyyk",
    "kyyyyyyyyytccrrrrrrcctyyyyyyyyyk",
    "kyyoooooootcccccccccctoooooooyyk",
    "kyyyyyyyyyytcccccccctyyyyyyyyyyk",
    "kyyyyyyyyyyytcccccctyyyyyyyyyyyk",
    "kyyoooooooooottttttooooooooooyyk",
    "kyyyyyyyyyyyyyykkyyyyyyyyyyyyyyk",
    "kyyyyyyyyyyyyyykkyyyyyyyyyyyyyyk",
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk",
]

ICON_16 = [
    "      tttt      ",
    "     tcrrct     ",
    "    tcrccrct    ",
    "    tccccrct    ",
    "    tcccrcct    ",
    "    tcccccct    ",
    "     tccrct     ",
    "   kkkttttkkk   ",
    "  kkyyykkyyykk  ",
    " kwkyttttttykwk ",
    "kkkktcrrrrctkkkk",
    "kyyytcccccctyyyk",
    "kyyytcrrrrctyyyk",
    "kyyyyttttttyyyyk",
    "kyyyyyykkyyyyyyk",
    "kkkkkkkkkkkkkkkk",
]

# Toolbar images in button order; each is 16 x 16 on the silver background.
BLANK = ["." * 16] * 16

OPEN_FILE_1 = [
    "..rr......kkk...",
    ".rrr.....k...k.k",
    "..rr..........kk",
    "..rr.........kkk",
    "..rr............",
    ".rrrr...........",
    "................",
    ".kkkk...........",
    "kyyyyk..........",
    "kywwyykkkkkkk...",
    "kywyyyyyyyyyk...",
    "kyyykkkkkkkkkkkk",
    "kyykyyyyyyyyyyk.",
    "kykyyyyyyyyyyk..",
    "kkyyyyyyyyyyk...",
    "kkkkkkkkkkkkk...",
]

OPEN_FILE_2 = [
    ".rrr......kkk...",
    "rr.rr....k...k.k",
    "...rr.........kk",
    "..rr.........kkk",
    ".rr.............",
    "rrrrr...........",
    "................",
    ".kkkk...........",
    "kyyyyk..........",
    "kywwyykkkkkkk...",
    "kywyyyyyyyyyk...",
    "kyyykkkkkkkkkkkk",
    "kyykyyyyyyyyyyk.",
    "kykyyyyyyyyyyk..",
    "kkyyyyyyyyyyk...",
    "kkkkkkkkkkkkk...",
]

SAVE = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".knkwwwwwwwwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwddddddwknk.",
    ".knkwwwwwwwwknk.",
    ".knkwddddddwknk.",
    ".knkwwwwwwwwknk.",
    ".knkkkkkkkkkknk.",
    ".knnnnnnnnnnnnk.",
    ".knnkkkkkkkknnk.",
    ".knnk.kk...knnk.",
    ".knnk.kk...knnk.",
    ".knnk.kk...knnk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

UNDO = [
    "................",
    "................",
    "................",
    "......bbbb......",
    "....bbbbbbbb....",
    "...bbb....bbb...",
    "..bbb......bbb..",
    "..bb........bb..",
    "bbbbbb......bb..",
    ".bbbb.......bb..",
    "..bb........bb..",
    "............bb..",
    "...........bbb..",
    ".........bbbb...",
    "................",
    "................",
]

CUT = [
    "................",
    "....k.....k.....",
    "....k.....k.....",
    "....kk...kk.....",
    ".....k...k......",
    ".....kk.kk......",
    "......kkk.......",
    ".......k........",
    "......n.n.......",
    ".....n...n......",
    "..nnn.....nnn...",
    ".n...n...n...n..",
    ".n...n...n...n..",
    ".n...n...n...n..",
    "..nnn.....nnn...",
    "................",
]

COPY = [
    "................",
    "kkkkkk..........",
    "kwwwwkk.........",
    "kwwwwkwk........",
    "kwwwwkkkk.......",
    "kwkkkwkkkkkkk...",
    "kwwwwwkwwwwwkk..",
    "kwkkkkkwwwwwkwk.",
    "kwwwwwkwwwwwkkkk",
    "kwkkkkkwkkkkkkwk",
    "kkkkkkkwwwwwwwwk",
    "......kwkkkkkkwk",
    "......kwwwwwwwwk",
    "......kwkkkkkwwk",
    "......kwwwwwwwwk",
    "......kkkkkkkkkk",
]

PASTE = [
    "....kkkk........",
    "kkkkdwwdkkkk....",
    "kookddddkook....",
    "koookkkkoook....",
    "kooooooooook....",
    "koooookkkkkkk...",
    "koooookwwwwwkk..",
    "koooookwwwwwkwk.",
    "koooookwwwwwkkkk",
    "koooookwkkkkkkwk",
    "koooookwwwwwwwwk",
    "koooookwkkkkkkwk",
    "koooookwwwwwwwwk",
    "koooookwkkkkkwwk",
    "kkkkkkkwwwwwwwwk",
    "......kkkkkkkkkk",
]

CLEAR = [
    "................",
    ".......k........",
    "..k....k....k...",
    "...k...k...k....",
    "....k.....k.....",
    "................",
    "................",
    ".kkk.......kkk..",
    "................",
    "................",
    "....k.....k.....",
    "...k...k...k....",
    "..k....k....k...",
    ".......k........",
    "................",
    "................",
]

COMPARE = [
    "................",
    "kkkkkk..........",
    "kwwwwkk.........",
    "kwwwwkwk........",
    "kwwwwkkkk.......",
    "kwrrrwkkkkkkk...",
    "kwrrrwkwwwwwkk..",
    "kwwwwwkwwwwwkwk.",
    "kwrrrrkwwwwwkkkk",
    "kwrrrrkwbbbbbbwk",
    "kkkkkkkwbbbbbbwk",
    "......kwwwwwwwwk",
    "......kwbbbbbbwk",
    "......kwbbbbbbwk",
    "......kwwwwwwwwk",
    "......kkkkkkkkkk",
]

OPTIONS = [
    "................",
    ".k.......kk.....",
    "..k.....kddk....",
    "...d.....kddk...",
    "....d.....kddk..",
    ".....d...ookddk.",
    "......d.oo..kdk.",
    ".......do....k..",
    "......ood.......",
    ".....oo..rm.....",
    "....oo...mrm....",
    "...oo.....mrm...",
    "..oo.......mrm..",
    ".oo.........mrm.",
    ".o...........mr.",
    "................",
]

HELP = [
    ".bbbb...........",
    "bb..bb..........",
    "....bb..........",
    "...bb...........",
    "..bb............",
    "..bb............",
    "................",
    "..bb..kkk..kkk..",
    "..bb..kdk..kdk..",
    ".....kkkkkkkkkk.",
    ".....kddkkkkddk.",
    "....kkkkk..kkkkk",
    "....kbbbk..kbbbk",
    "....kbcbk..kbcbk",
    "....kbbbk..kbbbk",
    "....kkkkk..kkkkk",
]

# Never shown: the toolbar is told of fifteen images only.
UNUSED = ["." * 16] * 15 + ["." * 15 + "k"]

TOOLBAR = [
    BLANK, OPEN_FILE_1, OPEN_FILE_2, SAVE, BLANK, UNDO, CUT, COPY,
    PASTE, CLEAR, BLANK, COMPARE, BLANK, OPTIONS, HELP, UNUSED,
]


def check_map(rows, width, height, allowed):
    if len(rows) != height:
        raise ValueError("map has %d rows, wants %d" % (len(rows), height))
    for y, row in enumerate(rows):
        if len(row) != width:
            raise ValueError("row %d is %d wide, wants %d: %r" % (y, len(row), width, row))
        for ch in row:
            if ch not in allowed:
                raise ValueError("row %d: unknown colour %r" % (y, ch))


def palette_bytes():
    return b"".join(struct.pack("<4B", b, g, r, 0) for _, (r, g, b) in PALETTE)


def pack_row_4bpp(indices):
    # Rows of a device-independent bitmap are padded to whole 32-bit words.
    if len(indices) % 2:
        indices = indices + [0]
    data = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))
    return data + b"\0" * (-len(data) % 4)


def pack_row_1bpp(bits):
    data = bytearray((len(bits) + 7) // 8)
    for i, bit in enumerate(bits):
        if bit:
            data[i // 8] |= 0x80 >> (i % 8)
    return bytes(data) + b"\0" * (-len(data) % 4)


def info_header(width, height, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       image_size, 0, 0, colours_used, 0)


def icon_image(rows):
    size = len(rows)
    check_map(rows, size, size, set(INDEX) | {TRANSPARENT})
    colour = b""
    mask = b""
    for row in reversed(rows):  # bottom-up
        colour += pack_row_4bpp([INDEX.get(ch, 0) for ch in row])
        mask += pack_row_1bpp([ch == TRANSPARENT for ch in row])
    # An icon's header counts the colour and mask planes together: twice the height.
    return info_header(size, 2 * size, len(colour) + len(mask), 0) + palette_bytes() + colour + mask


def make_icon(maps):
    images = [icon_image(rows) for rows in maps]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, image in zip(maps, images):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def make_toolbar(images):
    for rows in images:
        check_map(rows, 16, 16, set(INDEX))
    width, height = 16 * len(images), 16
    pixels = b""
    for y in reversed(range(height)):
        pixels += pack_row_4bpp([INDEX[rows[y][x]] for rows in images for x in range(16)])
    header_size = 14 + 40 + 4 * len(PALETTE)
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    return file_header + info_header(width, height, len(pixels), len(PALETTE)) + palette_bytes() + pixels


def main():
    res_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outputs = [
        ("tarnlight.ico", make_icon([ICON_32, ICON_16])),
        ("toolbar.bmp", make_toolbar(TOOLBAR)),
    ]
    for name, data in outputs:
        with open(os.path.join(res_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
