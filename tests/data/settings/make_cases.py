#!/usr/bin/env python3
"""Writes the reader cases whose inputs hold bytes a text editor would not keep: CR, NUL, tabs,
binary data, a missing last line feed. Their NAME.expected files are written by hand."""
from pathlib import Path

here = Path(__file__).resolve().parent

cases = {
    # CR LF is a line end; a CR anywhere else, or a CR at the end without LF, is an ordinary byte.
    "crlf": b"WIDTH = 1024\r\n"
            b"MAP_NAME = x.bmp\r\n"
            b"TEXTURE_NAME = a\rb.bmp\r\n"
            b"STRAFE_LEFT = Q\r\r\n"
            b"# comment = 1\r\n"
            b"\r\n"
            b"HEIGHT = 480\r\n"
            b"MOVE_UP = Z\r",

    "last_line_without_lf": b"WIDTH = 1024\nHEIGHT = 480",

    # An editor's UTF-8 byte-order mark opens the file: skipped. Anywhere else it is text.
    "byte_order_mark": b"\xef\xbb\xbfWIDTH = 1024\n"
                       b"\xef\xbb\xbfHEIGHT = 480\n"
                       b"MAP_NAME = \xef\xbb\xbfx.bmp\n",

    # A NUL ends a line's text; the rest of that line up to its LF is dropped.
    "nul_bytes": b"\0WIDTH = 5\n"
                 b"HEIGHT = 7\0 = 9\n"
                 b"MAP_NAME = ab\0cd\n"
                 b"TEXTURE_NAME\0 = x\n"
                 b"\0\0\0\n"
                 b"MAX_DETAIL = 12\n"
                 b"STRAFE_LEFT = \0\r\n"
                 b"MIN_DETAIL = 4\0",

    # Tabs are not spaces: they stay in keys and values. The number conversions skip them.
    "tabs": b"WIDTH\t= 1024\n"
            b"\tHEIGHT = 480\n"
            b"MAX_DETAIL = \t12\n"
            b"MAP_NAME = a\tb.bmp\n"
            b"LOCAL_DETAIL =\t2.5\n"
            b"TRANS_SPEED = \v\f7\n"
            b"MIN_DETAIL = 5\t# five\n",
}


def binary_case():
    data = bytearray(b"BM\x36\x10\x00\x00\x00\x00\x00\x00\x36\x04\x00\x00\x28\x00\x00\x00")
    data += bytes(range(256))             # ends line 1 at 0x0A; 0x0B.. starts line 2
    data += bytes(range(255, -1, -1))     # line 2 runs to its 0x0A; line 3 is cut by its NUL
    data += b"\nWIDTH = 640\n"
    data += b"\xff\xfe=\x01\n"
    data += b"\x80" * 5000 + b"HEIGHT=\xff7\n"
    data += b"\r\nTEXTURE_NAME=\x80\x81\xfe.bmp\r\n"
    state = 12345                         # a tail of noise without '=' or LF and no final LF
    for _ in range(4000):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        byte = (state >> 16) & 0xFF
        data.append(0x3C if byte in (0x0A, 0x3D) else byte)
    return bytes(data)


cases["binary"] = binary_case()

for name, data in cases.items():
    (here / f"{name}.ini").write_bytes(data)
